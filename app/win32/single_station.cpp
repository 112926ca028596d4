#include "app/win32/single_station.h"

namespace win32ui {
namespace {

// "Local\" is the namespace of the user's session: a station in another session, such as another
// user's on the same computer, is not this one's concern.
constexpr wchar_t kMutexName[] = L"Local\\ZIROZE01.Station";
constexpr wchar_t kMainWindowProperty[] = L"ZIROZE01.Station.MainWindow";
constexpr DWORD kStartingPatience = 10000;  // milliseconds
constexpr DWORD kPollInterval = 100;

BOOL CALLBACK FindMarked(HWND window, LPARAM found) {
  if (!GetPropW(window, kMainWindowProperty) || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

HWND RunningMainWindow() {
  HWND found = nullptr;
  EnumWindows(&FindMarked, reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

StationClaim::StationClaim() {
  mutex_ = CreateMutexW(nullptr, FALSE, kMutexName);
  // A mutex that exists but is not ours to open (another user's in this session) is a running
  // station too.
  if (!mutex_) {
    first_ = GetLastError() != ERROR_ACCESS_DENIED;
  } else {
    first_ = GetLastError() != ERROR_ALREADY_EXISTS;
  }
}

StationClaim::~StationClaim() {
  if (mutex_) CloseHandle(mutex_);
}

void StationClaim::MarkMainWindow(HWND window) {
  SetPropW(window, kMainWindowProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(1)));
}

UINT StationClaim::ComeToFrontMessage() {
  static const UINT message = RegisterWindowMessageW(L"ZIROZE01.Station.ComeToFront");
  return message;
}

void StationClaim::BringRunningToFront() {
  HWND main = nullptr;
  for (DWORD waited = 0; !(main = RunningMainWindow()) && waited < kStartingPatience; waited += kPollInterval)
    Sleep(kPollInterval);
  if (!main) return;
  // This process was just started by the user and may set the foreground window; it hands that
  // right on to the running station, which restores itself and knows which of its windows goes in
  // front. Posted, as the running station may be blocked in the card library: it comes when the
  // call returns, and this process does not wait for it.
  DWORD process = 0;
  GetWindowThreadProcessId(main, &process);
  AllowSetForegroundWindow(process);
  PostMessageW(main, ComeToFrontMessage(), 0, 0);
}

void StationClaim::ComeToFront(HWND main) {
  if (IsIconic(main)) ShowWindow(main, SW_RESTORE);
  // The window that was active last of the station's: its open settings dialog, a box, or itself.
  HWND front = GetLastActivePopup(main);
  if (!front || !IsWindowVisible(front)) front = main;
  SetForegroundWindow(front);
}

}  // namespace win32ui
