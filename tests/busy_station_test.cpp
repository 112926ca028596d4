#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/station_fixture.h"

namespace {

using testing_support::StationTest;
using Click = void (app::Station::*)();

struct Button {
  const char* name;
  Click click;
};

const Button kButtons[] = {
    {"btnQuery", &app::Station::ClickQuery},     {"btnSAMAuth", &app::Station::ClickSamAuth},
    {"btnWrite", &app::Station::ClickWrite},     {"btnClean", &app::Station::ClickClean},
    {"btnSetting", &app::Station::ClickSetting},
};

// The three workflows that call the library, with what each leaves for the user to see.
class BusyStationTest : public StationTest {
 protected:
  BusyStationTest() {
    card.ScriptEligiblePatient();
    card.status["csVerifySAMDC"] = 4012;  // so that the authentication shows a message box too
    view.serviceItem = u"YB：退掛";
  }
  struct Outcome {
    std::vector<std::string> events;
    std::map<app::Box, std::u16string> boxes;
    int dialogsOpened;
    int fontResets;
  };
  Outcome Run(Click click) {
    events.clear();
    view.boxes.clear();
    view.libraryWork.clear();
    view.dialogsOpened = 0;
    view.fontResets = 0;
    (station.*click)();
    return {events, view.boxes, view.dialogsOpened, view.fontResets};
  }
};

// Whatever button is clicked while a workflow is inside the library, the workflow runs once as it
// would alone, and nothing else starts.
TEST_F(BusyStationTest, NoClickStartsAnythingWhileAWorkflowIsInsideTheLibrary) {
  for (const Button& workflow : {kButtons[0], kButtons[1], kButtons[2]}) {
    card.whileInside = nullptr;
    const Outcome alone = Run(workflow.click);
    for (const Button& nested : kButtons) {
      SCOPED_TRACE(std::string(workflow.name) + " clicked again through " + nested.name);
      int clicks = 0;
      card.whileInside = [&](const std::string&) {
        if (clicks++ == 0) (station.*nested.click)();
      };
      const Outcome busy = Run(workflow.click);
      EXPECT_GE(clicks, 1);
      EXPECT_EQ(busy.events, alone.events);
      EXPECT_EQ(busy.boxes, alone.boxes);
      EXPECT_EQ(busy.dialogsOpened, 0);
      EXPECT_EQ(busy.fontResets, alone.fontResets);

      // One stretch of library work from before the first call to after the last event.
      ASSERT_EQ(view.libraryWork.size(), 1u);
      EXPECT_EQ(view.libraryWork[0].begin, 0u);
      EXPECT_EQ(view.libraryWork[0].end, events.size());

      // Once the workflow has ended, the same click counts again.
      card.whileInside = nullptr;
      const size_t before = events.size();
      (station.*nested.click)();
      EXPECT_TRUE(events.size() > before || view.dialogsOpened == 1 || view.fontResets > busy.fontResets);
    }
  }
}

TEST_F(BusyStationTest, LibraryWorkEndsOnEveryPath) {
  const struct {
    const char* name;
    Click click;
    std::u16string serviceItem;
    std::set<std::string> missing;
    bool throws;
    size_t stretches;
  } rows[] = {
      {"query", &app::Station::ClickQuery, u"", {}, false, 1},
      {"query, library without the operation", &app::Station::ClickQuery, u"", {"hisGetBasicData"}, false, 1},
      {"query, unexpected failure", &app::Station::ClickQuery, u"", {}, true, 1},
      {"authentication, unexpected failure", &app::Station::ClickSamAuth, u"", {}, true, 1},
      {"log write", &app::Station::ClickWrite, u"21：", {}, false, 1},
      {"log write, library without the operation",
       &app::Station::ClickWrite,
       u"21：",
       {"vantoInsAdultLog"},
       false,
       1},
      {"log write, unexpected failure", &app::Station::ClickWrite, u"YB：", {}, true, 1},
      {"log write without a code calls nothing", &app::Station::ClickWrite, u"請選擇", {}, false, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    view.serviceItem = row.serviceItem;
    card.missing = row.missing;
    std::u16string captionInside;
    card.whileInside = [&](const std::string&) {
      captionInside = view.caption;
      if (row.throws) throw std::runtime_error("reader gone");
    };
    view.libraryWork.clear();
    view.caption.clear();
    if (row.throws) {
      EXPECT_THROW((station.*row.click)(), std::runtime_error);
    } else {
      (station.*row.click)();
    }
    EXPECT_EQ(view.libraryWork.size(), row.stretches);
    EXPECT_FALSE(view.Busy());
    // A library without its one operation is never inside a call.
    if (!captionInside.empty()) {
      EXPECT_EQ(captionInside, u"DoravelSerovia - 作業中，請稍候…");
    }
    EXPECT_EQ(view.caption, row.stretches ? u"DoravelSerovia" : u"");
    // The station takes the next click.
    card.missing.clear();
    card.whileInside = nullptr;
    const int resets = view.fontResets;
    station.ClickClean();
    EXPECT_EQ(view.fontResets, resets + 1);
  }
}

TEST_F(BusyStationTest, CaptionNamesTheSimulatorFromTheStart) {
  for (const bool simulator : {false, true}) {
    card.simulator = simulator;
    station.Load();
    EXPECT_EQ(view.caption, simulator ? u"DoravelSerovia - 模擬讀卡機" : u"DoravelSerovia");
  }
}

}  // namespace
