#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace win32ui {

// Windows' wide characters are UTF-16 code units, as are the station's texts.
inline std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
inline std::wstring Wide(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// A window's whole text.
inline std::u16string WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return std::u16string(text.begin(), text.end());
}

}  // namespace win32ui
