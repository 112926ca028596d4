#include "app/win32/busy_window.h"

#include <vector>

namespace win32ui {
namespace {

BOOL CALLBACK Collect(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

// The cursor of whatever window of ours lies under the mouse, as it would show on the next move.
void RefreshCursor() {
  POINT point;
  if (!GetCursorPos(&point)) return;
  HWND under = WindowFromPoint(point);
  if (!under || GetWindowThreadProcessId(under, nullptr) != GetCurrentThreadId()) return;
  const LPARAM where = MAKELPARAM(point.x, point.y);
  const LRESULT hit = SendMessageW(under, WM_NCHITTEST, 0, where);
  SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
               MAKELPARAM(static_cast<WORD>(hit), WM_MOUSEMOVE));
}

}  // namespace

HCURSOR BusyWindow::WaitCursor() { return LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)); }  // IDC_WAIT

void BusyWindow::Begin(HWND window) {
  if (busy_ || !window) return;
  busy_ = true;
  window_ = window;
  // Disabling the window takes the focus from it; it is given back when the work ends.
  HWND focus = GetFocus();
  focus_ = focus && IsChild(window, focus) ? focus : nullptr;
  wasEnabled_ = IsWindowEnabled(window) != FALSE;
  wasActive_ = GetActiveWindow() == window;
  EnableWindow(window, FALSE);
  SetCursor(WaitCursor());
}

HWND BusyWindow::End() {
  if (!busy_) return nullptr;
  busy_ = false;
  if (!IsWindow(window_)) return nullptr;
  DropQueuedInput(window_);
  if (wasEnabled_) EnableWindow(window_, TRUE);
  // A window the library showed meanwhile handed the activation on when it closed, and a disabled
  // window cannot take it, so another program's window did. Windows lets the window take it back
  // unless the user has since turned to that program.
  if (wasActive_ && wasEnabled_ && !GetActiveWindow()) SetForegroundWindow(window_);
  RefreshCursor();
  return focus_ && IsWindow(focus_) ? focus_ : nullptr;
}

void BusyWindow::Pause(const std::function<void()>& show) {
  if (!busy_) return show();
  HWND window = window_;
  if (HWND focus = End()) SetFocus(focus);
  show();
  Begin(window);
}

void DropQueuedInput(HWND window) {
  std::vector<HWND> windows{window};
  EnumChildWindows(window, &Collect, reinterpret_cast<LPARAM>(&windows));
  constexpr struct {
    UINT first, last;
  } kInput[] = {
      {WM_KEYFIRST, WM_KEYLAST},
      {WM_MOUSEFIRST, WM_MOUSELAST},
      {WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK},  // the caption's close box and the window's border
      // Clicks as automation tools post them, to a button or as the button's notification; the
      // station itself only ever sends these.
      {BM_CLICK, BM_CLICK},
      {WM_COMMAND, WM_COMMAND},
  };
  MSG message;
  for (HWND each : windows)
    for (const auto& range : kInput)
      while (PeekMessageW(&message, each, range.first, range.last, PM_REMOVE | PM_NOYIELD)) {
      }
}

}  // namespace win32ui
