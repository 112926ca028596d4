#pragma once

#include <windows.h>

#include <functional>

namespace win32ui {

// Keeps a window from taking input while the card library works: a wait cursor and the window
// disabled. Before the window takes input again, the mouse and keyboard messages queued for it and
// its controls meanwhile are removed, so that nothing the user did while it hung is replayed.
class BusyWindow {
 public:
  BusyWindow() = default;
  BusyWindow(const BusyWindow&) = delete;
  BusyWindow& operator=(const BusyWindow&) = delete;

  void Begin(HWND window);
  // Returns the control that had the keyboard focus when the work began, for the caller to give it
  // back; none when the focus lay elsewhere.
  HWND End();
  bool busy() const { return busy_; }

  // Runs `show`, a modal message box, with the window as it was before the work began. A message box
  // disables its owner and enables it again before it closes, so that the owner is activated again;
  // an owner that is already disabled would leave the activation to another program's window. The
  // box is modal, so the window still takes no input; input queued before it is removed first.
  void Pause(const std::function<void()>& show);

  // The wait cursor, for WM_SETCURSOR while the window is busy.
  static HCURSOR WaitCursor();

 private:
  HWND window_ = nullptr;
  HWND focus_ = nullptr;
  bool busy_ = false;
  bool wasEnabled_ = true;
  bool wasActive_ = false;
};

// Removes the queued mouse and keyboard messages of `window` and of every window inside it, and
// the clicks posted to them.
void DropQueuedInput(HWND window);

}  // namespace win32ui
