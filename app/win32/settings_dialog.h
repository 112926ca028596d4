#pragma once

#include "app/port_dialog.h"
#include "app/win32/form_window.h"

namespace win32ui {

// The settings dialog: modeless, at a fixed place on the screen, built at construction and shown
// then, or by its owner after the owner itself when the owner is not shown yet; destroyed when it
// closes. Owned by the main window, it stays in front of it and out of the taskbar.
class SettingsDialog : public FormWindow, public app::PortDialogView {
 public:
  SettingsDialog(const settings::PortSettingStore& store, app::StationView& mainWindow, HWND owner);
  ~SettingsDialog() override;

  // app::PortDialogView
  void SetPortText(const std::u16string& text) override;
  std::u16string PortText() const override;
  void ShowMessage(const std::u16string& text) override;
  void Close() override;

 protected:
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Command(std::string_view control, WORD code) override;
  void Scroll(std::string_view control, WORD code) override;

 private:
  app::PortDialog logic_;
};

}  // namespace win32ui
