#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "app/forms.h"

namespace win32_testing {

// Runs the messages that are waiting, through the station's own key handling, as its loop does.
void Pump();

// One key press and release sent to the window with the focus, with the modifiers held meanwhile.
void Press(UINT key, std::initializer_list<UINT> modifiers = {});

// The window's class, as Windows names it.
std::wstring ClassName(HWND window);

// The class Windows gives a described control.
std::wstring_view ExpectedClass(app::forms::ControlKind kind);

// The window's place in its parent's inner area.
RECT PlaceInParent(HWND window);

// The described place in pixels at the screen's density.
RECT ExpectedPlace(const app::forms::TwipRect& place, int dpi);

// Every top-level window; every window inside `window`, however deep.
std::vector<HWND> TopLevelWindows();
std::vector<HWND> Descendants(HWND window);

// Pixels as 0x00RRGGBB, top row first.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  COLORREF At(int x, int y) const;
};

// A picture of a top-level window as the screen shows it, written as a PNG file and kept in
// `picture` when given. False when it could not be taken or written. Needs a graphics driver that
// draws, such as Wine's X11 driver.
bool SavePicture(HWND window, const std::filesystem::path& file, Picture* picture = nullptr);

// A memory picture to paint into, white at first.
class Canvas {
 public:
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

}  // namespace win32_testing
