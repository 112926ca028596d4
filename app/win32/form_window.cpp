#include "app/win32/form_window.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <exception>

#include "app/win32/accessible.h"
#include "app/win32/message_box.h"
#include "app/win32/twips.h"
#include "app/win32/wide.h"
#include "text/utf8.h"

namespace win32ui {
namespace {

using app::forms::Colour;
using app::forms::ControlKind;

constexpr wchar_t kFormProperty[] = L"ZIROZE01.FormWindow";
// Below them lie IDOK and IDCANCEL, which IsDialogMessage sends for Enter and Escape.
constexpr int kFirstControlId = 1000;
constexpr UINT_PTR kFrameSubclass = 1;
constexpr UINT_PTR kControlSubclass = 2;
// The focus mark around a scroll bar, as wide as the Linux station's, one pixel away from the bar.
constexpr int kFocusMarkWidth = 2;
constexpr COLORREF kFocusMarkColour = RGB(0, 0, 160);

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

COLORREF ColourRef(const Colour& colour) {
  if (colour.source == Colour::Source::SystemScrollBar) return GetSysColor(COLOR_SCROLLBAR);
  if (colour.source == Colour::Source::SystemWindowText) return GetSysColor(COLOR_WINDOWTEXT);
  return RGB(colour.rgb.red, colour.rgb.green, colour.rgb.blue);
}

// A user32 function that older Windows lack (the per-monitor ones came with Windows 10 1607); none
// there, so that the program still starts on them.
template <typename Function>
Function User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

// The density Windows gives the window: its monitor's under per-monitor awareness, else the system's.
int WindowDpi(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
  const UINT dpi = getDpiForWindow ? getDpiForWindow(window) : 0;
  return dpi > 0 ? static_cast<int>(dpi) : ScreenDpi();
}

// A system size at a density; scaled from the system's own where Windows cannot say.
int SystemMetric(int index, int dpi) {
  using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
  static const auto forDpi = User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
  if (forDpi) return forDpi(index, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, ScreenDpi());
}

// A control's window in its container, in pixels at `dpi`. A combo's window also holds its
// dropped-down list; KeepClosedHeight sets its closed height afterwards.
RECT WindowPlace(const app::forms::Control& control, int dpi) {
  const int left = TwipsToPixels(control.place.left, dpi);
  const int top = TwipsToPixels(control.place.top, dpi);
  const int height = TwipsToPixels(control.place.height, dpi);
  return {left, top, left + TwipsToPixels(control.place.width, dpi),
          top + (control.kind == ControlKind::DropDownCombo ? height * 8 : height)};
}

struct Styles {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

Styles ControlStyles(const app::forms::Control& control) {
  const DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  switch (control.kind) {
    case ControlKind::CommandButton:
      return {L"BUTTON", child | WS_TABSTOP | BS_PUSHBUTTON, 0};
    case ControlKind::Label:
      return {L"STATIC", child | SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::Frame:
      return {L"BUTTON", child | WS_CLIPCHILDREN | BS_GROUPBOX, WS_EX_CONTROLPARENT};
    case ControlKind::TextBox:
      return {L"EDIT", child | WS_TABSTOP | ES_AUTOHSCROLL | (control.readOnly ? ES_READONLY : 0u),
              WS_EX_CLIENTEDGE};
    case ControlKind::MultiLineTextBox:
      // Without ES_AUTOHSCROLL long lines wrap at the box's width.
      return {L"EDIT", child | WS_TABSTOP | ES_MULTILINE | (control.readOnly ? ES_READONLY : 0u),
              WS_EX_CLIENTEDGE};
    case ControlKind::DropDownCombo:
      return {L"COMBOBOX", child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0};
    case ControlKind::VerticalScrollBar:
      return {L"SCROLLBAR", child | WS_TABSTOP | SBS_VERT, 0};
  }
  return {L"STATIC", child, 0};
}

bool Overlap(const RECT& a, const RECT& b) {
  RECT both;
  return IntersectRect(&both, &a, &b) != FALSE;
}

// True when `a` lies in front of `b`, its sibling.
bool InFront(HWND a, HWND b) {
  for (HWND next = GetWindow(a, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT))
    if (next == b) return true;
  return false;
}

std::u16string ErrorText(const std::exception& error) {
  return u"程式發生錯誤：" + text::FromUtf8(error.what());
}

}  // namespace

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

FormWindow::FormWindow(const app::forms::Window& description) : description_(description) {}

FormWindow::~FormWindow() {
  Destroy();
  for (const auto& [key, font] : fonts_) DeleteObject(font);
  for (const auto& [colour, brush] : brushes_) DeleteObject(brush);
  for (HICON icon : icons_)
    if (icon) DestroyIcon(icon);
}

void FormWindow::Destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
}

HWND FormWindow::Control(std::string_view name) const {
  for (size_t i = 0; i < controls_.size(); ++i)
    if (description_.controls[i].name == name) return controls_[i];
  return nullptr;
}

bool FormWindow::RegisterClass() const {
  const std::wstring name = Wide(description_.name);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(Instance(), name.c_str(), &existing)) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &FormWindow::Procedure;
  windowClass.hInstance = Instance();
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.lpszClassName = name.c_str();
  if (description_.icon) {
    // The program's icon is its first icon resource.
    windowClass.hIcon = static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXICON),
                                                      GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  }
  return RegisterClassExW(&windowClass) != 0;
}

bool FormWindow::Create(HWND owner) {
  dpi_ = ScreenDpi();
  if (!RegisterClass()) return false;

  using Border = app::forms::Window::Border;
  DWORD style = WS_CAPTION | WS_CLIPCHILDREN;
  DWORD exStyle = WS_EX_CONTROLPARENT;
  style |= description_.border == Border::FixedDialog ? WS_POPUP : WS_OVERLAPPED;
  if (description_.border == Border::FixedDialog || !description_.icon) exStyle |= WS_EX_DLGMODALFRAME;
  if (description_.closeButton || description_.minimizeButton || description_.maximizeButton)
    style |= WS_SYSMENU;
  if (description_.minimizeButton) style |= WS_MINIMIZEBOX;
  if (description_.maximizeButton) style |= WS_MAXIMIZEBOX;
  // An owned window has no taskbar button; without an owner only a tool window has none.
  if (description_.inTaskbar) owner = nullptr;
  if (!description_.inTaskbar && !owner) exStyle |= WS_EX_TOOLWINDOW;

  const RECT outer = OuterRect(style, exStyle);
  int left = CW_USEDEFAULT;
  int top = CW_USEDEFAULT;
  if (description_.screenPlace) {
    left = TwipsToPixels(description_.screenPlace->first, dpi_) + outer.left;
    top = TwipsToPixels(description_.screenPlace->second, dpi_) + outer.top;
  }
  const std::wstring className = Wide(description_.name);
  const std::wstring caption = Wide(description_.caption);
  if (!CreateWindowExW(exStyle, className.c_str(), caption.c_str(), style, left, top,
                       outer.right - outer.left, outer.bottom - outer.top, owner, nullptr, Instance(), this))
    return false;
  // Creation fits the window to the screen before the window can say otherwise (WM_GETMINMAXINFO
  // comes before WM_NCCREATE); now it can.
  SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  for (size_t i = 0; i < description_.controls.size(); ++i) {
    HWND control = CreateControl(description_.controls[i], static_cast<int>(i));
    if (!control) {
      Destroy();
      return false;
    }
    controls_.push_back(control);
  }
  PutLaterControlsInFront();
  // Created where Windows chose, the window may lie on a monitor of another density.
  if (const int dpi = WindowDpi(hwnd_); dpi != dpi_) {
    RECT place;
    GetWindowRect(hwnd_, &place);
    ChangeDpi(dpi, place);
  }
  return true;
}

RECT FormWindow::OuterRect(DWORD style, DWORD exStyle) const {
  RECT outer{0, 0, TwipsToPixels(description_.clientWidth, dpi_),
             TwipsToPixels(description_.clientHeight, dpi_)};
  AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  return outer;
}

HWND FormWindow::CreateControl(const app::forms::Control& control, int index) {
  HWND parent = control.container == description_.name ? hwnd_ : Control(control.container);
  if (!parent) return nullptr;
  const Styles styles = ControlStyles(control);
  const RECT place = WindowPlace(control, dpi_);
  const std::wstring text = Wide(control.text);
  HWND window = CreateWindowExW(styles.exStyle, styles.className, text.c_str(), styles.style, place.left,
                                place.top, place.right - place.left, place.bottom - place.top, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index)),
                                Instance(), nullptr);
  if (!window) return nullptr;
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font(control.font)), FALSE);
  switch (control.kind) {
    case ControlKind::Frame:
      SetWindowSubclass(window, &FormWindow::FrameProcedure, kFrameSubclass,
                        reinterpret_cast<DWORD_PTR>(this));
      break;
    case ControlKind::DropDownCombo: {
      SetWindowTextW(window, text.c_str());
      KeepClosedHeight(window, TwipsToPixels(control.place.height, dpi_));
      // The focus lies in the combo's field, where screen readers ask for the name too.
      COMBOBOXINFO parts{};
      parts.cbSize = sizeof(parts);
      if (GetComboBoxInfo(window, &parts) && parts.hwndItem)
        SetWindowSubclass(parts.hwndItem, &FormWindow::ControlProcedure, kControlSubclass,
                          reinterpret_cast<DWORD_PTR>(this));
      break;
    }
    case ControlKind::VerticalScrollBar: {
      SCROLLINFO info{};
      info.cbSize = sizeof(info);
      info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
      info.nMin = control.scroll.minimum;
      info.nMax = control.scroll.maximum;
      info.nPos = control.scroll.initial;
      SetScrollInfo(window, SB_CTL, &info, FALSE);
      break;
    }
    default:
      break;
  }
  if (control.kind != ControlKind::Frame)
    SetWindowSubclass(window, &FormWindow::ControlProcedure, kControlSubclass,
                      reinterpret_cast<DWORD_PTR>(this));
  return window;
}

void FormWindow::KeepClosedHeight(HWND combo, int height) const {
  // A combo sizes its closed field to its font; the height of its selection field sets it instead.
  // How that height adds up to the closed one differs between systems (Wine reads back more than
  // it was given), so each try corrects by what the last one missed.
  const auto closedHeight = [combo] {
    RECT closed;
    GetWindowRect(combo, &closed);
    return static_cast<int>(closed.bottom - closed.top);
  };
  const LRESULT item = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  if (item == CB_ERR) return;
  int requested = static_cast<int>(item);
  for (int attempt = 0; attempt < 4; ++attempt) {
    const int missing = height - closedHeight();
    if (missing == 0 || requested + missing < 1) return;
    requested += missing;
    SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), requested);
  }
}

void FormWindow::PutLaterControlsInFront() {
  // Windows puts the first-created child in front; the description wants a later control in front
  // of an earlier one it overlaps. Only overlapping siblings move, so that elsewhere each label
  // stays just before its box in window order, where screen readers look for it.
  for (size_t later = 0; later < controls_.size(); ++later) {
    RECT laterPlace;
    GetWindowRect(controls_[later], &laterPlace);
    for (size_t earlier = 0; earlier < later; ++earlier) {
      if (GetParent(controls_[earlier]) != GetParent(controls_[later])) continue;
      RECT earlierPlace;
      GetWindowRect(controls_[earlier], &earlierPlace);
      if (!Overlap(laterPlace, earlierPlace) || !InFront(controls_[earlier], controls_[later])) continue;
      HWND before = GetWindow(controls_[earlier], GW_HWNDPREV);
      SetWindowPos(controls_[later], before ? before : HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
}

HFONT FormWindow::Font(const app::forms::Font& font) {
  const std::string key =
      std::string(font.family) + "/" + std::to_string(font.points) + (font.bold ? "/b" : "");
  if (const auto found = fonts_.find(key); found != fonts_.end()) return found->second;
  LOGFONTW logical{};
  logical.lfHeight = -static_cast<LONG>(std::lround(font.points * dpi_ / 72.0));
  logical.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  // "MS Sans Serif" is a raster font of Western characters only. Asked for in the Traditional Chinese
  // character set, the font mapper takes an outline Big5 face that holds the station's texts on any
  // system locale; with the default set its choice would follow the desk's locale.
  logical.lfCharSet = CHINESEBIG5_CHARSET;
  logical.lfQuality = DEFAULT_QUALITY;
  const std::wstring family = Wide(font.family);
  lstrcpynW(logical.lfFaceName, family.c_str(), LF_FACESIZE);
  HFONT created = CreateFontIndirectW(&logical);
  if (!created) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  fonts_[key] = created;
  return created;
}

void FormWindow::ApplyFont(std::string_view name) {
  const app::forms::Control* control = app::forms::FindControl(description_, name);
  if (HWND window = Control(name); window && control)
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font(control->font)), TRUE);
}

HBRUSH FormWindow::Brush(const Colour& colour) const {
  switch (colour.source) {
    case Colour::Source::PlatformDefault:
      return GetSysColorBrush(COLOR_3DFACE);
    case Colour::Source::SystemScrollBar:
      return GetSysColorBrush(COLOR_SCROLLBAR);
    case Colour::Source::SystemWindowText:
      return GetSysColorBrush(COLOR_WINDOWTEXT);
    case Colour::Source::Fixed:
      break;
  }
  const COLORREF rgb = ColourRef(colour);
  if (const auto found = brushes_.find(rgb); found != brushes_.end()) return found->second;
  HBRUSH brush = CreateSolidBrush(rgb);
  if (!brush) return GetSysColorBrush(COLOR_3DFACE);
  brushes_[rgb] = brush;
  return brush;
}

const app::forms::Control* FormWindow::Described(HWND window) const {
  for (size_t i = 0; i < controls_.size(); ++i)
    if (controls_[i] == window) return &description_.controls[i];
  return nullptr;
}

LRESULT FormWindow::ControlColour(UINT message, WPARAM wParam, LPARAM lParam) {
  const app::forms::Control* control = Described(reinterpret_cast<HWND>(lParam));
  const auto source = [](const Colour& colour) { return colour.source; };
  if (!control || (source(control->background) == Colour::Source::PlatformDefault &&
                   source(control->foreground) == Colour::Source::PlatformDefault))
    return DefWindowProcW(hwnd_, message, wParam, lParam);
  HDC dc = reinterpret_cast<HDC>(wParam);
  LRESULT brush = 0;
  if (source(control->background) == Colour::Source::PlatformDefault) {
    brush = DefWindowProcW(hwnd_, message, wParam, lParam);
  } else {
    SetBkColor(dc, ColourRef(control->background));
    brush = reinterpret_cast<LRESULT>(Brush(control->background));
  }
  if (source(control->foreground) != Colour::Source::PlatformDefault)
    SetTextColor(dc, ColourRef(control->foreground));
  return brush;
}

LRESULT FormWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      // IDOK and IDCANCEL, which IsDialogMessage makes of Enter and Escape, belong to no control.
      const int index = static_cast<int>(LOWORD(wParam)) - kFirstControlId;
      if (!lParam || index < 0 || index >= static_cast<int>(controls_.size())) return 0;
      const app::forms::Control& control = description_.controls[static_cast<size_t>(index)];
      // A list left behind keeps its text highlighted as if it still had the focus.
      if (control.kind == ControlKind::DropDownCombo && HIWORD(wParam) == CBN_KILLFOCUS)
        SendMessageW(reinterpret_cast<HWND>(lParam), CB_SETEDITSEL, 0, MAKELPARAM(-1, 0));
      Command(control.name, HIWORD(wParam));
      return 0;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
      if (const app::forms::Control* control = Described(reinterpret_cast<HWND>(lParam)))
        Scroll(control->name, LOWORD(wParam));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
      return ControlColour(message, wParam, lParam);
    case WM_ERASEBKGND:
      PaintBackground(reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_PRINTCLIENT:
      // Themed controls draw what lies behind their corners through this (DrawThemeParentBackground).
      PaintBackground(reinterpret_cast<HDC>(wParam));
      PaintFocusMark(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      if (HDC dc = BeginPaint(hwnd_, &paint)) {
        PaintFocusMark(dc);
        EndPaint(hwnd_, &paint);
      }
      return 0;
    }
    case WM_DPICHANGED:
      if (lParam) ChangeDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_GETMINMAXINFO: {
      // The window keeps its described size on a screen smaller than itself, as Windows would
      // otherwise cut it down to the screen's.
      const RECT outer = OuterRect(static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)),
                                   static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)));
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMaxTrackSize.x = std::max(limits->ptMaxTrackSize.x, outer.right - outer.left);
      limits->ptMaxTrackSize.y = std::max(limits->ptMaxTrackSize.y, outer.bottom - outer.top);
      return 0;
    }
    default:
      return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

FormWindow* FormWindow::OwnerOf(HWND window) {
  HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
  return root ? static_cast<FormWindow*>(GetPropW(root, kFormProperty)) : nullptr;
}

LRESULT CALLBACK FormWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = window;
    SetPropW(window, kFormProperty, self);
  }
  auto* self = static_cast<FormWindow*>(GetPropW(window, kFormProperty));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    RemovePropW(window, kFormProperty);
    self->hwnd_ = nullptr;
    self->controls_.clear();
    return DefWindowProcW(window, message, wParam, lParam);
  }
  // No exception may cross Windows' own frames: it ends as a message instead of a crash.
  try {
    return self->Handle(message, wParam, lParam);
  } catch (const std::exception& error) {
    ShowStationMessage(window, ErrorText(error));
    return 0;
  }
}

LRESULT CALLBACK FormWindow::ControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR, DWORD_PTR owner) {
  auto* self = reinterpret_cast<FormWindow*>(owner);
  switch (message) {
    case WM_GETOBJECT: {
      // A combo's field answers with the combo's name.
      const app::forms::Control* control = self->Described(window);
      if (!control) control = self->Described(GetParent(window));
      if (!control) break;
      const std::u16string name = app::forms::SpokenName(self->description_, *control);
      if (const auto object = ClientObject(window, wParam, lParam, Wide(name))) return *object;
      break;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
      self->InvalidateFocusMark(window);
      return result;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, &FormWindow::ControlProcedure, kControlSubclass);
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::FrameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR owner) {
  auto* self = reinterpret_cast<FormWindow*>(owner);
  switch (message) {
    // What the frame's controls report belongs to the window, which knows them all.
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
      if (self->hwnd_) return SendMessageW(self->hwnd_, message, wParam, lParam);
      break;
    case WM_ERASEBKGND: {
      // A frame is a panel of its own colour, not a line drawn over the window's background; what
      // its themed line leaves open comes from the window, which paints the frame's area alike.
      RECT area;
      GetClientRect(frame, &area);
      const app::forms::Control* control = self->Described(frame);
      FillRect(reinterpret_cast<HDC>(wParam), &area,
               self->Brush(control ? control->background : app::forms::Colour{}));
      return 1;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(frame, &FormWindow::FrameProcedure, kFrameSubclass);
      break;
    default:
      break;
  }
  return DefSubclassProc(frame, message, wParam, lParam);
}

void FormWindow::MoveFocus(bool backwards) {
  const std::vector<const app::forms::Control*> order = app::forms::TabOrder(description_);
  if (order.empty()) return;
  // The focus may lie in a part of a control, such as a combo's edit field.
  const app::forms::Control* current = nullptr;
  for (HWND window = GetFocus(); window && !current && window != hwnd_; window = GetParent(window))
    current = Described(window);
  int position = -1;
  for (size_t i = 0; i < order.size(); ++i)
    if (order[i] == current) position = static_cast<int>(i);
  const int count = static_cast<int>(order.size());
  if (position < 0 && backwards) position = 0;
  for (int step = 1; step <= count; ++step) {
    const int next = ((position + (backwards ? -step : step)) % count + count) % count;
    HWND window = Control(order[static_cast<size_t>(next)]->name);
    if (!window || !IsWindowVisible(window) || !IsWindowEnabled(window)) continue;
    SetFocus(window);
    ShowFocusCues();
    // Arriving by Tab selects a field's whole text, as in a dialog.
    if (order[static_cast<size_t>(next)]->kind == ControlKind::DropDownCombo) {
      SendMessageW(window, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    } else if (SendMessageW(window, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
      SendMessageW(window, EM_SETSEL, 0, -1);
    }
    return;
  }
}

void FormWindow::ShowFocusCues() const {
  // Windows hides focus rectangles until the keyboard is used, and only the dialog manager clears
  // that by itself.
  if (HWND root = GetAncestor(hwnd_, GA_ROOT))
    SendMessageW(root, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void FormWindow::PaintBackground(HDC dc) const {
  RECT area;
  GetClientRect(hwnd_, &area);
  FillRect(dc, &area, Brush(description_.background));
  for (size_t i = 0; i < controls_.size(); ++i) {
    const app::forms::Control& control = description_.controls[i];
    if (control.kind != ControlKind::Frame || GetParent(controls_[i]) != hwnd_) continue;
    RECT frame;
    GetWindowRect(controls_[i], &frame);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&frame), 2);
    FillRect(dc, &frame, Brush(control.background));
  }
}

bool FormWindow::FocusMarkPlace(HWND control, RECT& place) const {
  const app::forms::Control* described =
      control && GetParent(control) == hwnd_ ? Described(control) : nullptr;
  if (!described || described->kind != ControlKind::VerticalScrollBar) return false;
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&place), 2);
  const int outside = MulDiv(kFocusMarkWidth, dpi_, 96) + 1;
  InflateRect(&place, outside, outside);
  return true;
}

void FormWindow::PaintFocusMark(HDC dc) const {
  HWND focus = GetFocus();
  RECT place;
  if (!IsWindowVisible(focus) || !FocusMarkPlace(focus, place)) return;
  HBRUSH brush = CreateSolidBrush(kFocusMarkColour);
  if (!brush) return;
  for (int line = MulDiv(kFocusMarkWidth, dpi_, 96); line > 0; --line) {
    FrameRect(dc, &place, brush);
    InflateRect(&place, -1, -1);
  }
  DeleteObject(brush);
}

void FormWindow::InvalidateFocusMark(HWND control) const {
  // The mark lies on the window around the control, whether the focus came or went.
  RECT place;
  if (hwnd_ && FocusMarkPlace(control, place)) InvalidateRect(hwnd_, &place, TRUE);
}

void FormWindow::PlaceControl(size_t index) {
  const app::forms::Control& control = description_.controls[index];
  HWND window = controls_[index];
  const RECT place = WindowPlace(control, dpi_);
  SetWindowPos(window, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (control.kind == ControlKind::DropDownCombo)
    KeepClosedHeight(window, TwipsToPixels(control.place.height, dpi_));
}

void FormWindow::ChangeDpi(int dpi, const RECT& suggested) {
  if (dpi <= 0 || !hwnd_) return;
  dpi_ = dpi;
  // The fonts made for the old density go once no control uses them.
  std::map<std::string, HFONT> old;
  old.swap(fonts_);
  for (size_t i = 0; i < controls_.size(); ++i) {
    SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(Font(description_.controls[i].font)),
                 FALSE);
    PlaceControl(i);
  }
  for (const auto& [key, font] : old) DeleteObject(font);
  // Windows' suggestion keeps the window where it was on the screen; the inner area keeps its
  // twips, whatever borders the new density gives the window.
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT outer, inner;
  GetWindowRect(hwnd_, &outer);
  GetClientRect(hwnd_, &inner);
  const int width = TwipsToPixels(description_.clientWidth, dpi_);
  const int height = TwipsToPixels(description_.clientHeight, dpi_);
  if (inner.right != width || inner.bottom != height)
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left + width - inner.right,
                 outer.bottom - outer.top + height - inner.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetIcons();
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void FormWindow::SetIcons() {
  if (!description_.icon) return;
  // The icon file holds an image for each common density; Windows picks the one of this size.
  const int sizes[2][2] = {{SystemMetric(SM_CXICON, dpi_), SystemMetric(SM_CYICON, dpi_)},
                           {SystemMetric(SM_CXSMICON, dpi_), SystemMetric(SM_CYSMICON, dpi_)}};
  for (int which = 0; which < 2; ++which) {
    auto* icon = static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(1), IMAGE_ICON, sizes[which][0],
                                               sizes[which][1], LR_DEFAULTCOLOR));
    if (!icon) continue;
    SendMessageW(hwnd_, WM_SETICON, which == 0 ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    if (icons_[which]) DestroyIcon(icons_[which]);
    icons_[which] = icon;
  }
}

bool FormWindow::PreTranslate(MSG& message) {
  FormWindow* form = OwnerOf(message.hwnd);
  if (!form || !form->hwnd_) return false;
  if (message.message == WM_KEYDOWN && !(GetKeyState(VK_MENU) & 0x8000)) {
    const bool control = GetKeyState(VK_CONTROL) & 0x8000;
    HWND focus = GetFocus();
    if (message.wParam == VK_TAB && !control) {
      form->MoveFocus(GetKeyState(VK_SHIFT) & 0x8000);
      return true;
    }
    // A focused button is pressed once by Enter; IsDialogMessage would send IDOK instead, which
    // presses nothing.
    const app::forms::Control* focused = form->Described(focus);
    if (message.wParam == VK_RETURN && !control && focused && focused->kind == ControlKind::CommandButton) {
      form->ShowFocusCues();
      SendMessageW(form->hwnd_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED),
                   reinterpret_cast<LPARAM>(focus));
      return true;
    }
    wchar_t className[16] = {};
    if (message.wParam == 'A' && control && !(GetKeyState(VK_SHIFT) & 0x8000) &&
        GetClassNameW(focus, className, 16) && lstrcmpiW(className, L"Edit") == 0) {
      SendMessageW(focus, EM_SETSEL, 0, -1);
      return true;
    }
  }
  return IsDialogMessageW(form->hwnd_, &message) != FALSE;
}

int RunMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (FormWindow::PreTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace win32ui
