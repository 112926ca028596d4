#include "tests/win32/window_support.h"

#include <array>
#include <cstdint>
#include <fstream>

#include "app/win32/form_window.h"
#include "app/win32/twips.h"

#include <algorithm>

namespace win32_testing {

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (win32ui::FormWindow::PreTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Press(UINT key, std::initializer_list<UINT> modifiers) {
  BYTE state[256];
  GetKeyboardState(state);
  for (UINT modifier : modifiers) state[modifier] |= 0x80;
  SetKeyboardState(state);
  HWND focus = GetFocus();
  const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  PostMessageW(focus, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
  Pump();
  PostMessageW(GetFocus(), WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | 0xC0000000u));
  Pump();
  for (UINT modifier : modifiers) state[modifier] &= 0x7f;
  SetKeyboardState(state);
}

std::wstring ClassName(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

std::wstring_view ExpectedClass(app::forms::ControlKind kind) {
  using enum app::forms::ControlKind;
  switch (kind) {
    case CommandButton:
    case Frame:
      return L"Button";
    case Label:
      return L"Static";
    case TextBox:
    case MultiLineTextBox:
      return L"Edit";
    case DropDownCombo:
      return L"ComboBox";
    case VerticalScrollBar:
      return L"ScrollBar";
  }
  return L"";
}

RECT PlaceInParent(HWND window) {
  RECT place;
  GetWindowRect(window, &place);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&place), 2);
  return place;
}

RECT ExpectedPlace(const app::forms::TwipRect& place, int dpi) {
  const int left = win32ui::TwipsToPixels(place.left, dpi);
  const int top = win32ui::TwipsToPixels(place.top, dpi);
  return {left, top, left + win32ui::TwipsToPixels(place.width, dpi),
          top + win32ui::TwipsToPixels(place.height, dpi)};
}

namespace {

BOOL CALLBACK Collect(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

std::uint32_t Crc(const std::string& bytes) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
    return table;
  }();
  std::uint32_t crc = 0xffffffffu;
  for (unsigned char byte : bytes) crc = table[(crc ^ byte) & 0xff] ^ (crc >> 8);
  return crc ^ 0xffffffffu;
}

std::string BigEndian(std::uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
          static_cast<char>(value)};
}

std::string Chunk(const std::string& type, const std::string& data) {
  return BigEndian(static_cast<std::uint32_t>(data.size())) + type + data + BigEndian(Crc(type + data));
}

// A PNG of 8-bit RGB rows; the image data is deflate's stored blocks, which need no compressor.
std::string Png(int width, int height, const std::uint32_t* bgra) {
  std::string raw;
  for (int y = 0; y < height; ++y) {
    raw.push_back('\0');
    for (int x = 0; x < width; ++x) {
      const std::uint32_t pixel =
          bgra[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
      raw.push_back(static_cast<char>(pixel >> 16));
      raw.push_back(static_cast<char>(pixel >> 8));
      raw.push_back(static_cast<char>(pixel));
    }
  }
  std::string deflated = "\x78\x01";
  std::uint32_t a = 1, b = 0;
  for (unsigned char byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
    const size_t length = std::min<size_t>(65535, raw.size() - at);
    deflated.push_back(at + length >= raw.size() ? '\1' : '\0');
    deflated.push_back(static_cast<char>(length & 0xff));
    deflated.push_back(static_cast<char>(length >> 8));
    deflated.push_back(static_cast<char>(~length & 0xff));
    deflated.push_back(static_cast<char>((~length >> 8) & 0xff));
    deflated.append(raw, at, length);
    if (raw.empty()) break;
  }
  deflated += BigEndian((b << 16) | a);
  const std::string header = BigEndian(static_cast<std::uint32_t>(width)) +
                             BigEndian(static_cast<std::uint32_t>(height)) + std::string("\x08\x02\0\0\0", 5);
  return "\x89PNG\r\n\x1a\n" + Chunk("IHDR", header) + Chunk("IDAT", deflated) + Chunk("IEND", "");
}

}  // namespace

COLORREF Picture::At(int x, int y) const {
  const std::uint32_t pixel =
      pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
  return RGB((pixel >> 16) & 0xff, (pixel >> 8) & 0xff, pixel & 0xff);
}

Canvas::Canvas(int width, int height) {
  HDC screen = GetDC(nullptr);
  dc_ = CreateCompatibleDC(screen);
  bitmap_ = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  old_ = SelectObject(dc_, bitmap_);
  const RECT all{0, 0, width, height};
  FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

Canvas::~Canvas() {
  SelectObject(dc_, old_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

bool SavePicture(HWND window, const std::filesystem::path& file, Picture* picture) {
  RECT place;
  if (!GetWindowRect(window, &place)) return false;
  const int width = place.right - place.left;
  const int height = place.bottom - place.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (!dc || !bitmap) {
    if (dc) DeleteDC(dc);
    return false;
  }
  HGDIOBJ old = SelectObject(dc, bitmap);
  // What the screen shows where the window lies, so it must be drawn and in front.
  SetForegroundWindow(window);
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  HDC screen = GetDC(nullptr);
  const bool copied = BitBlt(dc, 0, 0, width, height, screen, place.left, place.top, SRCCOPY) != FALSE;
  ReleaseDC(nullptr, screen);
  GdiFlush();
  const std::string png = Png(width, height, static_cast<const std::uint32_t*>(pixels));
  if (picture) {
    const auto* first = static_cast<const std::uint32_t*>(pixels);
    *picture = {width, height, {first, first + static_cast<size_t>(width) * static_cast<size_t>(height)}};
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  if (!copied) return false;
  std::ofstream out(file, std::ios::binary);
  out << png;
  return static_cast<bool>(out);
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(&Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> windows;
  EnumChildWindows(window, &Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

}  // namespace win32_testing
