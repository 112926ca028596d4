#include "app/win32/settings_dialog.h"

#include <oleacc.h>

#include <algorithm>

#include "app/win32/accessible.h"
#include "app/win32/message_box.h"
#include "app/win32/wide.h"

namespace win32ui {

SettingsDialog::SettingsDialog(const settings::PortSettingStore& store, app::StationView& mainWindow,
                               HWND owner)
    : FormWindow(app::forms::SettingsDialog()), logic_(*this, store, mainWindow) {
  if (!Create(owner)) return;
  logic_.Load();
  // At start-up the main window is not shown yet; it shows the dialog over itself when it is.
  if (!owner || IsWindowVisible(owner)) ShowWindow(hwnd(), SW_SHOW);
}

SettingsDialog::~SettingsDialog() { Destroy(); }

void SettingsDialog::SetPortText(const std::u16string& text) {
  SetWindowTextW(Control("Text1"), Wide(text).c_str());
}

std::u16string SettingsDialog::PortText() const { return WindowText(Control("Text1")); }

void SettingsDialog::ShowMessage(const std::u16string& text) { ShowStationMessage(hwnd(), text); }

void SettingsDialog::Close() {
  if (!hwnd()) return;
  // The main window is enabled before the dialog goes, so that Windows activates it in its place.
  logic_.Unload();
  DestroyWindow(hwnd());
}

LRESULT SettingsDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) SetFocus(Control("VScroll1"));
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_GETOBJECT:
      // A window of our own class is a plain client to screen readers; this one is a dialog.
      if (const auto object = ClientObject(hwnd(), wParam, lParam, {}, ROLE_SYSTEM_DIALOG)) return *object;
      return FormWindow::Handle(message, wParam, lParam);
    default:
      return FormWindow::Handle(message, wParam, lParam);
  }
}

void SettingsDialog::Command(std::string_view control, WORD code) {
  if (control == "OKButton" && code == BN_CLICKED) return logic_.ClickOk();
  if (control == "CancelButton" && code == BN_CLICKED) return logic_.ClickCancel();
  // The port box only shows the number: whatever reaches it hands the focus to the scroll bar.
  if (control == "Text1" && code == EN_SETFOCUS) SetFocus(Control("VScroll1"));
}

void SettingsDialog::Scroll(std::string_view control, WORD code) {
  const app::forms::Control* described = app::forms::FindControl(description(), control);
  HWND bar = Control(control);
  if (!described || !bar) return;
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  if (!GetScrollInfo(bar, SB_CTL, &info)) return;
  const int step = described->scroll.step;
  int value = info.nPos;
  switch (code) {
    // The down arrow raises the number, as in the Qt front end.
    case SB_LINEDOWN:
    case SB_PAGEDOWN:
      value += step;
      break;
    case SB_LINEUP:
    case SB_PAGEUP:
      value -= step;
      break;
    case SB_THUMBPOSITION:
      value = info.nTrackPos;
      break;
    case SB_TOP:
      value = info.nMin;
      break;
    case SB_BOTTOM:
      value = info.nMax;
      break;
    default:
      return;
  }
  value = std::clamp(value, info.nMin, info.nMax);
  if (value == info.nPos) return;
  SetScrollPos(bar, SB_CTL, value, TRUE);
  logic_.ScrollChanged(value);
}

}  // namespace win32ui
