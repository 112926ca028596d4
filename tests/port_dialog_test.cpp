#include <gtest/gtest.h>

#include "app/port_dialog.h"
#include "settings/program_directory.h"
#include "tests/support/station_fixture.h"

namespace {

using testing_support::SettingsFile;
using testing_support::U8;

class FakeDialogView : public app::PortDialogView {
 public:
  explicit FakeDialogView(std::vector<std::string>& events) : events_(events) {}
  std::u16string portText;
  void SetPortText(const std::u16string& text) override { portText = text; }
  std::u16string PortText() const override { return portText; }
  void ShowMessage(const std::u16string& text) override { events_.push_back("message " + U8(text)); }
  void Close() override { events_.push_back("close"); }

 private:
  std::vector<std::string>& events_;
};

class PortDialogTest : public testing_support::StationTest {
 protected:
  FakeDialogView dialogView{events};
  app::PortDialog dialog{dialogView, store, view};
};

TEST_F(PortDialogTest, OpeningShowsTheStoredValueOrOne) {
  const struct {
    std::string file;
    std::string shown;
  } rows[] = {{SettingsFile("7"), "7"}, {SettingsFile(""), "1"}, {"", "1"}, {SettingsFile("abc"), "abc"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    dir.Write("VANTOQuery.ini", row.file);
    dialogView.portText.clear();
    dialog.Load();
    EXPECT_EQ(U8(dialogView.portText), row.shown);
    EXPECT_FALSE(view.enabled);
  }
}

TEST_F(PortDialogTest, OkWritesThePortBoxAndCloses) {
  std::filesystem::remove(store.FilePath());
  dialog.Load();
  dialog.ScrollChanged(12);
  dialog.ClickOk();
  EXPECT_EQ(dir.Read("VANTOQuery.ini"), SettingsFile("12"));
  EXPECT_EQ(events, std::vector<std::string>{"close"});
  dialog.Unload();
  EXPECT_TRUE(view.enabled);
}

TEST_F(PortDialogTest, FailedWriteIsReportedAndTheDialogStillCloses) {
  const struct {
    const char* name;
    bool directory;
  } rows[] = {
      {"directory", true},
      // An administrator locks the port by making the file read-only.
      {"read-only file", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    events.clear();
    std::filesystem::remove(store.FilePath());
    if (row.directory) {
      std::filesystem::create_directory(store.FilePath());
    } else {
      dir.Write("VANTOQuery.ini", SettingsFile("3"));
      std::filesystem::permissions(store.FilePath(), std::filesystem::perms::owner_read);
    }
    dialog.Load();
    dialogView.portText = u"5";
    dialog.ClickOk();
    EXPECT_EQ(events,
              (std::vector<std::string>{
                  "message 無法寫入設定檔：" + U8(settings::DisplayPath(store.FilePath())) +
                      "\n程式所在的資料夾必須讓櫃檯人員可以寫入：" + U8(settings::DisplayPath(dir.path())),
                  "close"}));
    if (!row.directory) {
      EXPECT_EQ(dir.Read("VANTOQuery.ini"), SettingsFile("3"));
    }
    std::filesystem::permissions(store.FilePath(), std::filesystem::perms::owner_all);
    std::filesystem::remove(store.FilePath());
  }
}

TEST_F(PortDialogTest, CancelWarnsOnlyWhenNothingIsStored) {
  dialog.ClickCancel();
  dir.Write("VANTOQuery.ini", SettingsFile(""));
  dialog.ClickCancel();
  EXPECT_EQ(events,
            (std::vector<std::string>{"close", "message 讀卡機連接埠未完成設定將無法正常使用!!", "close"}));
  EXPECT_EQ(dir.Read("VANTOQuery.ini"), SettingsFile(""));
}

}  // namespace
