#pragma once

#include <windows.h>

namespace win32ui {

// Keeps a window from taking input while the card library works: a wait cursor and the window
// disabled. Before the window takes input again, the mouse and keyboard messages queued for it and
// its controls meanwhile are removed, so that nothing the user did while it hung is replayed.
//
// Windows the library (or the station's own message boxes) shows meanwhile in this thread take only
// the input made after they appeared: Windows gives queued keys to whatever window has the focus
// when they are read, so that a key pressed while the call worked would otherwise answer a window
// nobody has seen yet. While such a window is shown the station's window is disabled, so that
// clicking it leaves the window in front; the moment it goes, the station's window is enabled, since
// Windows hands the activation only to an enabled window, and it takes no input until the work ends.
class BusyWindow {
 public:
  BusyWindow() = default;
  ~BusyWindow();
  BusyWindow(const BusyWindow&) = delete;
  BusyWindow& operator=(const BusyWindow&) = delete;

  void Begin(HWND window);
  // Returns the control that had the keyboard focus when the work began, for the caller to give it
  // back; none when the focus lay elsewhere.
  HWND End();
  bool busy() const { return busy_; }

  // The wait cursor, for WM_SETCURSOR while the window is busy.
  static HCURSOR WaitCursor();

 private:
  static LRESULT CALLBACK FilterInput(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK WindowChanging(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK WindowChanged(int code, WPARAM wParam, LPARAM lParam);
  // A window shown or hidden in this thread that is not the station's own.
  bool IsOtherTopLevel(HWND window) const;
  void Unhook();

  HWND window_ = nullptr;
  HWND focus_ = nullptr;
  bool busy_ = false;
  bool wasEnabled_ = true;
  bool wasActive_ = false;
  // When the newest of the other windows appeared, in the time of MSG.time; input made earlier is
  // not theirs.
  DWORD shownAt_ = 0;
  HHOOK hooks_[3] = {};
};

// Removes the queued mouse and keyboard messages of `window` and of every window inside it, and
// the clicks posted to them.
void DropQueuedInput(HWND window);

}  // namespace win32ui
