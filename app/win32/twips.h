#pragma once

#include <windows.h>

namespace win32ui {

// The windows were designed in twips. At 96 dots per inch a pixel is 15 twips, cut off as the Qt
// front end cuts it so that both lay out alike; at any other density the screen's own scale applies.
inline int TwipsToPixels(int twips, int dpi) { return dpi == 96 ? twips / 15 : MulDiv(twips, dpi, 1440); }

// The screen's dots per inch, as the program sees it when it declares itself DPI aware.
int ScreenDpi();

}  // namespace win32ui
