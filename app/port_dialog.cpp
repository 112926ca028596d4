#include "app/port_dialog.h"

#include "app/messages.h"
#include "settings/program_directory.h"
#include "settings/write_obstacle.h"

namespace app {

PortDialog::PortDialog(PortDialogView& view, const settings::PortSettingStore& store, StationView& mainWindow)
    : view_(view), store_(store), mainWindow_(mainWindow) {}

void PortDialog::Load() {
  const settings::PortSettingStore::Reading reading = store_.Read(view_.PortText());
  view_.SetPortText(reading.copied > 0 ? reading.value : u"1");
  mainWindow_.SetEnabled(false);
}

void PortDialog::ScrollChanged(int value) { view_.SetPortText(DecimalText(value)); }

void PortDialog::ClickOk() {
  // The user must know when the port was not saved; the dialog still closes.
  if (!store_.Write(view_.PortText())) {
    const std::filesystem::path& file = store_.FilePath();
    std::u16string message = std::u16string(kCannotWriteSettings) + settings::DisplayPath(file);
    // What the person who can change it must do, line by line, as far as the station can tell.
    const settings::WriteObstacle obstacle = settings::FindWriteObstacle(file);
    if (obstacle.readOnlyFile)
      message += u"\n" + std::u16string(kSettingsFileReadOnly) + u"\n" + std::u16string(kClearReadOnly);
    if (obstacle.folderNotWritable)
      message +=
          u"\n" + std::u16string(kProgramFolderMustBeWritable) + settings::DisplayPath(file.parent_path());
    if (!obstacle.readOnlyFile && !obstacle.folderNotWritable)
      message +=
          u"\n" + std::u16string(obstacle.folderOfThatName ? kSettingsNameIsFolder : kSettingsFileInUse);
    view_.ShowMessage(message);
  }
  view_.Close();
}

void PortDialog::ClickCancel() {
  if (store_.Read().copied == 0) view_.ShowMessage(std::u16string(kPortNotSetWarning));
  view_.Close();
}

void PortDialog::Unload() { mainWindow_.SetEnabled(true); }

}  // namespace app
