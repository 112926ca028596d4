#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <iostream>
#include <set>
#include <string>

#include "app/forms.h"
#include "app/messages.h"
#include "app/win32/main_window.h"
#include "cardservice/status_catalogue.h"
#include "tests/support/station_fixture.h"

namespace {

using testing_support::U8;

// Every text the station can put in front of the clerk: the windows' captions and initial texts,
// the list items, the result boxes' and the messages' texts of every path of every workflow.
std::u16string StationTexts() {
  std::u16string texts;
  for (const app::forms::Window* window : {&app::forms::MainWindow(), &app::forms::SettingsDialog()}) {
    texts += window->caption;
    for (const app::forms::Control& control : window->controls) texts += control.text;
  }
  for (std::u16string_view message : {app::kPortNotSetWarning,
                                      app::kOpenPortFailed,
                                      app::kSimulatorCaptionMark,
                                      app::kCannotWriteSettings,
                                      app::kSettingsFileReadOnly,
                                      app::kClearReadOnly,
                                      app::kProgramFolderMustBeWritable,
                                      app::kSettingsNameIsFolder,
                                      app::kSettingsFileInUse,
                                      app::kCannotLoadLibrary,
                                      app::kSystemErrorNumber,
                                      app::kSystemErrorWithoutText,
                                      app::kPutVendorLibrary,
                                      app::kIntoProgramFolder,
                                      app::kReaderDriver,
                                      app::kReaderMissingBeside,
                                      app::kReaderPresentBeside,
                                      app::kNotALibrary,
                                      app::kOtherProcessor,
                                      app::kTake32BitPackage,
                                      app::kTake64BitPackage,
                                      app::kMissingOperation})
    texts += message;
  for (const cardservice::StatusEntry& entry : cardservice::StatusCatalogue()) texts += entry.message;

  // The workflows against a recording library and a fake window, one fresh station per path.
  struct Workflow : testing_support::StationTest {
    using StationTest::card;
    using StationTest::station;
    using StationTest::view;
    void TestBody() override {}
  };
  const std::function<void(Workflow&)> paths[] = {
      [](Workflow& run) { run.station.Load(); },
      [](Workflow& run) { run.card.status["csOpenCom"] = -1, run.station.ClickQuery(); },
      [](Workflow& run) { run.card.status["csGetHospID"] = -1, run.station.ClickQuery(); },
      [](Workflow& run) { run.card.status["csGetCardNo"] = -1, run.station.ClickQuery(); },
      [](Workflow& run) { run.card.status["hisGetBasicData"] = -1, run.station.ClickQuery(); },
      [](Workflow& run) { run.station.ClickSamAuth(); },
      [](Workflow& run) { run.card.status["csVerifySAMDC"] = -1, run.station.ClickSamAuth(); },
      [](Workflow& run) { run.view.serviceItem = u"21", run.station.ClickWrite(); },
      [](Workflow& run) { run.view.serviceItem = u"YB", run.station.ClickWrite(); },
  };
  const auto collect = [&texts](Workflow& run) {
    for (const auto& [box, text] : run.view.boxes) texts += text;
    for (const std::u16string& message : run.view.messages) texts += message;
    for (const auto* items : {&run.view.serviceItems, &run.view.callModes})
      for (const std::u16string& item : *items) texts += item;
  };
  for (const auto& path : paths) {
    Workflow run;
    path(run);
    collect(run);
  }
  // Every verdict, and the one for an outcome the station does not know.
  for (std::int32_t outcome : {3000, 3333, 3003, 3004, 3444, 1}) {
    for (const char16_t* mode : {u"有對話框", u"無對話框"}) {
      Workflow run;
      run.view.callMode = mode;
      run.card.status["vantoGetAdultPrevent"] = outcome;
      run.card.status["vantoGetAdultPreventSilence"] = outcome;
      run.station.ClickQuery();
      collect(run);
    }
  }
  return texts;
}

// The characters a control must draw: the texts without their line breaks.
std::u16string DrawnCharacters(const std::u16string& texts) {
  std::set<char16_t> characters(texts.begin(), texts.end());
  std::u16string drawn;
  for (char16_t character : characters)
    if (character >= u' ') drawn += character;
  return drawn;
}

// Whatever the desk's system locale (the test runs on zh_TW, ja_JP and en_US), every control's font
// as Windows really makes it is an outline face in the Traditional Chinese character set that holds
// every character the station shows, and not a raster face, a face of the locale's own script or a
// Western face that draws the Chinese text as empty boxes.
TEST(StationFont, EveryControlDrawsEveryTextOfTheStation) {
  const std::u16string characters = DrawnCharacters(StationTexts());
  ASSERT_GT(characters.size(), 200u);
  const std::wstring wide(characters.begin(), characters.end());

  testing_support::TempDir dir;
  dir.Write("VANTOQuery.ini", testing_support::SettingsFile("3"));
  const settings::PortSettingStore store(dir.path());
  std::vector<std::string> events;
  testing_support::RecordingCardService card(events);
  win32ui::MainWindow window(store, card);
  ASSERT_NE(window.hwnd(), nullptr);
  window.OpenSettingsDialog();
  ASSERT_NE(window.OpenDialog(), nullptr);

  std::set<std::string> faces;
  for (const win32ui::FormWindow* form : {static_cast<const win32ui::FormWindow*>(&window),
                                          static_cast<const win32ui::FormWindow*>(window.OpenDialog())}) {
    for (const app::forms::Control& control : form->description().controls) {
      if (control.kind == app::forms::ControlKind::VerticalScrollBar) continue;  // it shows no text
      SCOPED_TRACE(control.name);
      HWND hwnd = form->Control(control.name);
      ASSERT_NE(hwnd, nullptr);
      HDC dc = GetDC(hwnd);
      HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
      TEXTMETRICW metrics{};
      ASSERT_TRUE(GetTextMetricsW(dc, &metrics));
      wchar_t face[LF_FACESIZE] = {};
      GetTextFaceW(dc, LF_FACESIZE, face);
      const std::string faceName = U8(std::u16string(face, face + lstrlenW(face)));
      // The face the font mapper really took, by the name its own file gives it; only outline faces
      // have one.
      std::string family = "(no outline face)";
      if (const UINT size = GetOutlineTextMetricsW(dc, 0, nullptr)) {
        std::vector<char> outline(size);
        auto* outlineMetrics = reinterpret_cast<OUTLINETEXTMETRICW*>(outline.data());
        if (GetOutlineTextMetricsW(dc, size, outlineMetrics)) {
          const auto* name = reinterpret_cast<const wchar_t*>(
              outline.data() + reinterpret_cast<std::uintptr_t>(outlineMetrics->otmpFamilyName));
          family = U8(std::u16string(name, name + lstrlenW(name)));
        }
      }
      faces.insert(faceName + " → " + family);
      EXPECT_EQ(metrics.tmCharSet, CHINESEBIG5_CHARSET) << faceName;
      EXPECT_NE(metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE), 0)
          << faceName << " is a raster font";
      std::vector<WORD> glyphs(wide.size());
      ASSERT_EQ(GetGlyphIndicesW(dc, wide.c_str(), static_cast<int>(wide.size()), glyphs.data(),
                                 GGI_MARK_NONEXISTING_GLYPHS),
                wide.size());
      std::u16string missing;
      for (size_t i = 0; i < glyphs.size(); ++i)
        if (glyphs[i] == 0xFFFF) missing += characters[i];
      EXPECT_EQ(U8(missing), "") << missing.size() << " characters without a glyph in " << faceName;
      SelectObject(dc, previous);
      ReleaseDC(hwnd, dc);
    }
  }
  // The log tells which face the font mapper chose on this desk.
  for (const std::string& face : faces) std::cout << "face: " << face << "\n";
}

}  // namespace
