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

TEST_F(PortDialogTest, FailedWriteIsReportedWithWhatToDoAndTheDialogStillCloses) {
  std::string folderLines = "\n程式所在的資料夾必須讓櫃檯人員可以寫入：";
  folderLines.append(U8(settings::DisplayPath(dir.path() / "gone")));
  const struct {
    const char* name;
    std::filesystem::path folder;
    bool directory;
    std::string lines;  // after the first
  } rows[] = {
      {"directory", dir.path(), true,
       "\nVANTOQuery.ini 是一個資料夾，不是設定檔：請資訊人員將它移走或改名。"},
      // An administrator locks the port by making the file read-only; the folder is writable.
      {"read-only file", dir.path(), false,
       "\n設定檔 VANTOQuery.ini 是唯讀的檔案，埠號沒有儲存。"
       "\n要修改埠號，請資訊人員在檔案的「內容」中取消「唯讀」屬性，再按一次「確定」。"},
      {"folder that takes no file", dir.path() / "gone", false, folderLines},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    events.clear();
    const settings::PortSettingStore rowStore{row.folder};
    app::PortDialog rowDialog{dialogView, rowStore, view};
    const bool existingFolder = std::filesystem::exists(row.folder);
    if (row.directory) {
      std::filesystem::remove(rowStore.FilePath());
      std::filesystem::create_directory(rowStore.FilePath());
    } else if (existingFolder) {
      dir.Write("VANTOQuery.ini", SettingsFile("3"));
      std::filesystem::permissions(rowStore.FilePath(), std::filesystem::perms::owner_read);
    }
    rowDialog.Load();
    dialogView.portText.assign(1, u'5');
    rowDialog.ClickOk();
    EXPECT_EQ(events,
              (std::vector<std::string>{
                  "message 無法寫入設定檔：" + U8(settings::DisplayPath(rowStore.FilePath())) + row.lines,
                  "close"}));
    if (!row.directory && existingFolder) {
      EXPECT_EQ(dir.Read("VANTOQuery.ini"), SettingsFile("3"));
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      EXPECT_EQ(entry.path().filename(), "VANTOQuery.ini") << "a probe left behind";
    if (existingFolder) {
      std::filesystem::permissions(rowStore.FilePath(), std::filesystem::perms::owner_all);
      std::filesystem::remove(rowStore.FilePath());
    }
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
