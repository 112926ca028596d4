#pragma once

#include <string>

namespace simulator {

// A small window of the library's own with `text` and an OK button, shown from inside a call, which
// returns when the window is closed. Its message loop runs meanwhile and does not disable the
// calling program's windows, as a library's own window would not. Shown only where the library can
// open windows: on Windows, and on Linux inside a Qt Widgets program.
void ShowLibraryWindow(const std::u16string& text);

}  // namespace simulator
