#include "tests/win32/window_support.h"

#include "app/win32/form_window.h"
#include "app/win32/twips.h"

namespace win32_testing {

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (win32ui::FormWindow::PreTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Press(UINT key, std::initializer_list<UINT> modifiers) {
  BYTE state[256];
  GetKeyboardState(state);
  for (UINT modifier : modifiers) state[modifier] |= 0x80;
  SetKeyboardState(state);
  HWND focus = GetFocus();
  const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  PostMessageW(focus, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
  Pump();
  PostMessageW(GetFocus(), WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | 0xC0000000u));
  Pump();
  for (UINT modifier : modifiers) state[modifier] &= 0x7f;
  SetKeyboardState(state);
}

std::wstring ClassName(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

std::wstring_view ExpectedClass(app::forms::ControlKind kind) {
  using enum app::forms::ControlKind;
  switch (kind) {
    case CommandButton:
    case Frame:
      return L"Button";
    case Label:
      return L"Static";
    case TextBox:
    case MultiLineTextBox:
      return L"Edit";
    case DropDownCombo:
      return L"ComboBox";
    case VerticalScrollBar:
      return L"ScrollBar";
  }
  return L"";
}

RECT PlaceInParent(HWND window) {
  RECT place;
  GetWindowRect(window, &place);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&place), 2);
  return place;
}

RECT ExpectedPlace(const app::forms::TwipRect& place, int dpi) {
  const int left = win32ui::TwipsToPixels(place.left, dpi);
  const int top = win32ui::TwipsToPixels(place.top, dpi);
  return {left, top, left + win32ui::TwipsToPixels(place.width, dpi),
          top + win32ui::TwipsToPixels(place.height, dpi)};
}

namespace {

BOOL CALLBACK Collect(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(&Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> windows;
  EnumChildWindows(window, &Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

}  // namespace win32_testing
