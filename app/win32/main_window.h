#pragma once

#include <memory>

#include "app/station.h"
#include "app/station_view.h"
#include "app/win32/busy_window.h"
#include "app/win32/form_window.h"
#include "app/win32/settings_dialog.h"

namespace win32ui {

// The station's main window VANTOQFrm01. Its behaviour lives in app::Station; creating it runs the
// station's start-up, which may open the settings dialog.
class MainWindow : public FormWindow, public app::StationView {
 public:
  // `endsProgram`: closing the window ends the message loop.
  MainWindow(const settings::PortSettingStore& store, cardservice::CardService& card,
             bool endsProgram = false);
  ~MainWindow() override;

  // Shows the window with the show command, then an open settings dialog over it, active.
  void Show(int how);
  // The settings dialog while it is open.
  SettingsDialog* OpenDialog() const;

  // app::StationView
  void SetBoxText(app::Box box, const std::u16string& text) override;
  std::u16string ServiceItemText() const override;
  std::u16string CallModeText() const override;
  void AppendListItems(const std::vector<std::u16string>& serviceItems,
                       const std::vector<std::u16string>& callModes) override;
  void ShowMessage(const std::u16string& text) override;
  void SetEnabled(bool enabled) override;
  void OpenSettingsDialog() override;
  void ResetFonts() override;
  void SetCaption(const std::u16string& caption) override;
  void BeginLibraryWork() override;
  void EndLibraryWork() override;

 protected:
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Command(std::string_view control, WORD code) override;

 private:
  const settings::PortSettingStore& store_;
  app::Station station_;
  std::unique_ptr<SettingsDialog> dialog_;
  HWND lastFocus_ = nullptr;
  BusyWindow busy_;
  bool endsProgram_;
};

}  // namespace win32ui
