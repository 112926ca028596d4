#include "app/win32/busy_window.h"

#include <vector>

namespace win32ui {
namespace {

struct MessageRange {
  UINT first, last;
  // Made by the user's keys and mouse, as opposed to posted by a program.
  bool userInput;
};
constexpr MessageRange kInput[] = {
    {WM_KEYFIRST, WM_KEYLAST, true},
    {WM_MOUSEFIRST, WM_MOUSELAST, true},
    {WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, true},  // the caption's close box and the window's border
    // Clicks as automation tools post them, to a button or as the button's notification; the
    // station itself only ever sends these.
    {BM_CLICK, BM_CLICK, false},
    {WM_COMMAND, WM_COMMAND, false},
};

const MessageRange* InputRange(UINT message) {
  for (const MessageRange& range : kInput)
    if (message >= range.first && message <= range.last) return &range;
  return nullptr;
}

// The one busy window of this thread whose hooks run.
thread_local BusyWindow* hooked = nullptr;

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

BusyWindow::~BusyWindow() { Unhook(); }

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
  shownAt_ = GetTickCount();
  if (!hooked) {
    hooked = this;
    const DWORD thread = GetCurrentThreadId();
    hooks_[0] = SetWindowsHookExW(WH_GETMESSAGE, &BusyWindow::FilterInput, nullptr, thread);
    hooks_[1] = SetWindowsHookExW(WH_CALLWNDPROC, &BusyWindow::WindowChanging, nullptr, thread);
    hooks_[2] = SetWindowsHookExW(WH_CALLWNDPROCRET, &BusyWindow::WindowChanged, nullptr, thread);
  }
}

HWND BusyWindow::End() {
  if (!busy_) return nullptr;
  busy_ = false;
  Unhook();
  if (!IsWindow(window_)) return nullptr;
  DropQueuedInput(window_);
  if (wasEnabled_) EnableWindow(window_, TRUE);
  // Windows activates the window again when a window shown meanwhile goes; should another program's
  // window have taken the activation instead, Windows lets the window take it back unless the user
  // has since turned to that program.
  if (wasActive_ && wasEnabled_ && !GetActiveWindow()) SetForegroundWindow(window_);
  RefreshCursor();
  return focus_ && IsWindow(focus_) ? focus_ : nullptr;
}

void BusyWindow::Unhook() {
  for (HHOOK& hook : hooks_) {
    if (hook) UnhookWindowsHookEx(hook);
    hook = nullptr;
  }
  if (hooked == this) hooked = nullptr;
}

bool BusyWindow::IsOtherTopLevel(HWND window) const {
  if (!window || GetAncestor(window, GA_ROOT) != window || window == window_) return false;
  // Windows that never take the activation, such as tooltips, take no keys either.
  return !(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
}

LRESULT CALLBACK BusyWindow::FilterInput(int code, WPARAM wParam, LPARAM lParam) {
  auto* message = reinterpret_cast<MSG*>(lParam);
  BusyWindow* self = hooked;
  if (code == HC_ACTION && self && self->busy_) {
    if (const MessageRange* range = InputRange(message->message)) {
      const bool forStation = message->hwnd && GetAncestor(message->hwnd, GA_ROOT) == self->window_;
      // Times wrap around; their difference does not.
      const bool madeBefore = static_cast<LONG>(message->time - self->shownAt_) < 0;
      if (forStation || (range->userInput && madeBefore)) message->message = WM_NULL;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK BusyWindow::WindowChanging(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  BusyWindow* self = hooked;
  if (code == HC_ACTION && self && self->busy_ && sent->message == WM_WINDOWPOSCHANGING &&
      self->IsOtherTopLevel(sent->hwnd)) {
    const UINT flags = reinterpret_cast<const WINDOWPOS*>(sent->lParam)->flags;
    if ((flags & SWP_SHOWWINDOW) && !IsWindowVisible(sent->hwnd)) {
      self->shownAt_ = GetTickCount();
      EnableWindow(self->window_, FALSE);
    } else if ((flags & SWP_HIDEWINDOW) && IsWindowVisible(sent->hwnd) && GetActiveWindow() == sent->hwnd &&
               self->wasEnabled_) {
      // A window that goes hands the activation to its owner, or to the next window below it, only
      // when that window is enabled; a disabled one would leave it to another program.
      EnableWindow(self->window_, TRUE);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK BusyWindow::WindowChanged(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  BusyWindow* self = hooked;
  // The wait cursor belongs to the station's window; a window that appears under the mouse shows its
  // own at once, not on the next move.
  if (code == HC_ACTION && self && self->busy_ && sent->message == WM_WINDOWPOSCHANGED &&
      self->IsOtherTopLevel(sent->hwnd) &&
      (reinterpret_cast<const WINDOWPOS*>(sent->lParam)->flags & SWP_SHOWWINDOW))
    RefreshCursor();
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void DropQueuedInput(HWND window) {
  std::vector<HWND> windows{window};
  EnumChildWindows(window, &Collect, reinterpret_cast<LPARAM>(&windows));
  MSG message;
  for (HWND each : windows)
    for (const MessageRange& range : kInput)
      while (PeekMessageW(&message, each, range.first, range.last, PM_REMOVE | PM_NOYIELD)) {
      }
}

}  // namespace win32ui
