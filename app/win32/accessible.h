#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace win32ui {

// The answer to WM_GETOBJECT for the window's client object: Windows' standard object for its class,
// with `name` as its name where that is not empty and `role` as its role where that is not zero.
// None for any other object, or when no object could be made: the caller then leaves the message to
// Windows.
std::optional<LRESULT> ClientObject(HWND window, WPARAM wParam, LPARAM lParam, const std::wstring& name,
                                    long role = 0);

// Marks the control as a live region, whose new texts screen readers announce without the focus
// coming to it; the caller raises AnnounceChange when its text has changed. Nothing where Windows
// offers no annotation service.
void MarkLiveRegion(HWND control);
void AnnounceChange(HWND control);

}  // namespace win32ui
