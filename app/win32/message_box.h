#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace win32ui {

// The station's one kind of message box: modal, the text alone, one OK button, no icon, titled with
// the program's title, owned by the active window (`fallback` when none of ours is active). Returns
// when the user has closed it.
void ShowStationMessage(HWND fallback, const std::u16string& text);

// Tests answer the boxes themselves: while a hook is set, it receives each text instead of a box.
void SetMessageHook(std::function<void(const std::u16string&)> hook);

}  // namespace win32ui
