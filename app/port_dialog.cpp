#include "app/port_dialog.h"

#include "app/messages.h"
#include "settings/program_directory.h"

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
    view_.ShowMessage(std::u16string(kCannotWriteSettings) + settings::DisplayPath(store_.FilePath()) +
                      u"\n" + std::u16string(kProgramFolderMustBeWritable) +
                      settings::DisplayPath(store_.FilePath().parent_path()));
  }
  view_.Close();
}

void PortDialog::ClickCancel() {
  if (store_.Read().copied == 0) view_.ShowMessage(std::u16string(kPortNotSetWarning));
  view_.Close();
}

void PortDialog::Unload() { mainWindow_.SetEnabled(true); }

}  // namespace app
