#pragma once

#include <windows.h>

namespace win32ui {

// One station at a time in the user's session: a second would open the same reader, and show its
// windows exactly over the first one's. The first process holds the claim for as long as it runs.
class StationClaim {
 public:
  StationClaim();
  ~StationClaim();
  StationClaim(const StationClaim&) = delete;
  StationClaim& operator=(const StationClaim&) = delete;

  // False when a station already runs in this session.
  bool first() const { return first_; }

  // Marks the claimant's main window, for a later start to find.
  static void MarkMainWindow(HWND window);
  // Asks the running station to come to the front. Waits a few seconds for a station that is still
  // starting.
  static void BringRunningToFront();
  // The request, which the main window answers with ComeToFront: restored if minimised, with its
  // open settings dialog (or message box) in front.
  static UINT ComeToFrontMessage();
  static void ComeToFront(HWND main);

 private:
  HANDLE mutex_ = nullptr;
  bool first_ = true;
};

}  // namespace win32ui
