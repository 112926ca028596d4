#pragma once

#include <string>

#include "app/station_view.h"
#include "settings/port_setting.h"

namespace app {

// What the settings dialog's behaviour sees of its window.
class PortDialogView {
 public:
  virtual ~PortDialogView() = default;
  virtual void SetPortText(const std::u16string& text) = 0;  // Text1
  virtual std::u16string PortText() const = 0;
  virtual void ShowMessage(const std::u16string& text) = 0;
  virtual void Close() = 0;  // leads to Unload
};

// The settings dialog's behaviour: the port box loaded from the store, stepped by the scroll bar,
// written by OK. While the dialog is open the main window is disabled.
class PortDialog {
 public:
  PortDialog(PortDialogView& view, const settings::PortSettingStore& store, StationView& mainWindow);

  void Load();
  void ScrollChanged(int value);
  void ClickOk();
  void ClickCancel();
  void Unload();

 private:
  PortDialogView& view_;
  const settings::PortSettingStore& store_;
  StationView& mainWindow_;
};

}  // namespace app
