#include <gtest/gtest.h>

#include <windows.h>

#include <oleacc.h>
#include <uxtheme.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

#include "app/forms.h"
#include "app/win32/main_window.h"
#include "app/win32/message_box.h"
#include "app/win32/twips.h"
#include "app/win32/wide.h"
#include "cardservice/card_library.h"
#include "settings/program_directory.h"
#include "tests/support/recording_card_service.h"
#include "tests/support/station_fixture.h"
#include "tests/win32/window_support.h"
#include "text/utf8.h"

namespace {

using app::forms::ControlKind;
using testing_support::SettingsFile;
using testing_support::TempDir;
using testing_support::U8;
using win32_testing::Press;
using win32_testing::Pump;

const std::vector<std::string> kServiceItems = {
    "21：40歲以上未滿65歲者，每三年補助乙次",
    "22：65歲以上者，每年補助乙次",
    "25：罹患小兒麻痺且年在35歲以上者，每年補助乙次",
    "27：身分別為原住民且55歲以上未滿65歲，每一年補助乙次",
    "YB：退掛",
};
const std::vector<std::string> kCallModes = {"有對話框", "無對話框"};

std::string Text(HWND window) { return U8(win32ui::WindowText(window)); }

std::vector<std::string> Items(HWND combo) {
  std::vector<std::string> items;
  const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring item(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
    item.resize(
        static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
    items.push_back(U8(std::u16string(item.begin(), item.end())));
  }
  return items;
}

LOGFONTW FontOf(HWND window) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof(font), &font);
  return font;
}

// The window's inner area, every control's place and every font as described, at that density.
void ExpectLaidOutAt(const win32ui::FormWindow& form, int dpi) {
  const app::forms::Window& described = form.description();
  RECT inner;
  GetClientRect(form.hwnd(), &inner);
  EXPECT_EQ(inner.right, win32ui::TwipsToPixels(described.clientWidth, dpi)) << described.name;
  EXPECT_EQ(inner.bottom, win32ui::TwipsToPixels(described.clientHeight, dpi)) << described.name;
  for (const app::forms::Control& control : described.controls) {
    SCOPED_TRACE(control.name);
    HWND hwnd = form.Control(control.name);
    const RECT place = win32_testing::PlaceInParent(hwnd);
    const RECT expected = win32_testing::ExpectedPlace(control.place, dpi);
    EXPECT_TRUE(EqualRect(&place, &expected)) << place.left << "," << place.top << " "
                                              << place.right - place.left << "x" << place.bottom - place.top;
    if (control.kind != ControlKind::VerticalScrollBar) {  // a scroll bar shows no text
      const LOGFONTW font = FontOf(hwnd);
      EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
      EXPECT_EQ(font.lfHeight, -MulDiv(135, dpi, 720));
      EXPECT_EQ(font.lfWeight, FW_NORMAL);
    }
  }
}

// What a screen reader reads of the window's client object: its name and role.
std::pair<std::string, long> Accessible(HWND window) {
  IAccessible* object = nullptr;
  const HRESULT found = AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                                   __uuidof(IAccessible), reinterpret_cast<void**>(&object));
  if (FAILED(found) || !object)
    return {"(no object: " + std::to_string(static_cast<unsigned long>(found)) + ")", 0};
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  std::string text = "(no name)";
  if (object->get_accName(self, &name) == S_OK && name) {
    text = U8(std::u16string(name, name + SysStringLen(name)));
    SysFreeString(name);
  }
  VARIANT role;
  VariantInit(&role);
  const long roleValue = SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4 ? role.lVal : 0;
  VariantClear(&role);
  object->Release();
  return {text, roleValue};
}

// Records the UI-state changes sent to any window of this thread.
class UiStateChanges {
 public:
  UiStateChanges() {
    changes_ = &seen;
    hook_ = SetWindowsHookExW(WH_CALLWNDPROC, &Record, nullptr, GetCurrentThreadId());
  }
  ~UiStateChanges() {
    if (hook_) UnhookWindowsHookEx(hook_);
    changes_ = nullptr;
  }
  UiStateChanges(const UiStateChanges&) = delete;
  UiStateChanges& operator=(const UiStateChanges&) = delete;

  std::vector<std::pair<HWND, WPARAM>> seen;

 private:
  static LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && changes_ && sent->message == WM_CHANGEUISTATE)
      changes_->emplace_back(sent->hwnd, sent->wParam);
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline std::vector<std::pair<HWND, WPARAM>>* changes_ = nullptr;
  HHOOK hook_ = nullptr;
};

// The windows of a station in this process, with the message boxes answered by the test.
class Win32WindowTest : public ::testing::Test {
 protected:
  Win32WindowTest() {
    win32ui::SetMessageHook([this](const std::u16string& text) { messages.push_back(U8(text)); });
  }
  ~Win32WindowTest() override {
    window.reset();
    Pump();
    win32ui::SetMessageHook(nullptr);
  }

  void Start(std::optional<std::string> settingsFile, cardservice::CardService* service = nullptr) {
    window.reset();
    Pump();
    std::filesystem::remove(store.FilePath());
    if (settingsFile) dir.Write("VANTOQuery.ini", *settingsFile);
    window = std::make_unique<win32ui::MainWindow>(store, service ? *service : card);
    ASSERT_NE(window->hwnd(), nullptr);
    window->Show(SW_SHOWNORMAL);
    Pump();
  }
  HWND Control(std::string_view name) const {
    HWND control = window->Control(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  HWND Dialog() const { return window->OpenDialog() ? window->OpenDialog()->hwnd() : nullptr; }
  HWND DialogControl(std::string_view name) const {
    HWND control = window->OpenDialog() ? window->OpenDialog()->Control(name) : nullptr;
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  // The described control that has the focus, or of which the focused window is a part.
  std::string Focused() const {
    for (HWND focus = GetFocus(); focus; focus = GetParent(focus)) {
      for (win32ui::FormWindow* form : {static_cast<win32ui::FormWindow*>(window.get()),
                                        static_cast<win32ui::FormWindow*>(window->OpenDialog())}) {
        if (!form) continue;
        for (const auto& control : form->description().controls)
          if (form->Control(control.name) == focus) return std::string(control.name);
      }
    }
    return "(none)";
  }
  static void Click(HWND button) {
    SendMessageW(button, BM_CLICK, 0, 0);
    Pump();
  }
  int Calls(std::string_view name) const {
    return static_cast<int>(
        std::ranges::count_if(events, [name](const std::string& event) { return event.starts_with(name); }));
  }

  TempDir dir;
  settings::PortSettingStore store{dir.path()};
  std::vector<std::string> events;
  testing_support::RecordingCardService card{events};
  std::unique_ptr<win32ui::MainWindow> window;
  std::vector<std::string> messages;
};

TEST(TwipsTest, PixelsAtEachDensity) {
  const struct {
    const char* name;
    int twips;
    int dpi;
    int pixels;
  } rows[] = {
      {"window width at 96", 12330, 96, 822},        {"part of a pixel cut off at 96", 2055, 96, 137},
      {"pixel and a half at 120", 2055, 120, 171},   {"window width at 144", 12330, 144, 1233},
      {"dialog's left edge at 120", 2760, 120, 230},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(win32ui::TwipsToPixels(row.twips, row.dpi), row.pixels);
  }
}

TEST_F(Win32WindowTest, EveryDescribedControlIsThere) {
  Start(SettingsFile("3"));
  Click(Control("btnSetting"));
  ASSERT_NE(Dialog(), nullptr);
  const int dpi = win32ui::ScreenDpi();
  for (const win32ui::FormWindow* form : {static_cast<const win32ui::FormWindow*>(window.get()),
                                          static_cast<const win32ui::FormWindow*>(window->OpenDialog())}) {
    const app::forms::Window& described = form->description();
    ExpectLaidOutAt(*form, dpi);
    for (const app::forms::Control& control : described.controls) {
      SCOPED_TRACE(control.name);
      HWND hwnd = form->Control(control.name);
      ASSERT_NE(hwnd, nullptr);
      EXPECT_EQ(lstrcmpiW(win32_testing::ClassName(hwnd).c_str(),
                          std::wstring(win32_testing::ExpectedClass(control.kind)).c_str()),
                0)
          << U8(std::u16string(win32_testing::ClassName(hwnd).begin(), win32_testing::ClassName(hwnd).end()));
      // The port box shows the stored port as soon as the dialog opens.
      EXPECT_EQ(Text(hwnd), control.name == "Text1" ? "3" : U8(control.text));
      HWND container = control.container == described.name ? form->hwnd() : form->Control(control.container);
      EXPECT_EQ(GetParent(hwnd), container);
      const RECT expected = win32_testing::ExpectedPlace(control.place, dpi);
      const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
      const bool takesFocus = control.kind != ControlKind::Label && control.kind != ControlKind::Frame;
      EXPECT_EQ((style & WS_TABSTOP) != 0, takesFocus);
      const int id = GetDlgCtrlID(hwnd);
      EXPECT_TRUE(id != IDOK && id != IDCANCEL) << id;
      switch (control.kind) {
        case ControlKind::CommandButton:
          EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
          break;
        case ControlKind::Frame:
          EXPECT_EQ(style & BS_TYPEMASK, BS_GROUPBOX);
          break;
        case ControlKind::TextBox:
        case ControlKind::MultiLineTextBox:
          EXPECT_EQ((style & ES_READONLY) != 0, control.readOnly);
          EXPECT_EQ((style & ES_MULTILINE) != 0, control.kind == ControlKind::MultiLineTextBox);
          if (control.kind == ControlKind::MultiLineTextBox) {
            EXPECT_EQ(style & (ES_AUTOHSCROLL | WS_HSCROLL | WS_VSCROLL), 0);
          }
          break;
        case ControlKind::DropDownCombo:
          EXPECT_EQ(style & 3, CBS_DROPDOWN);
          break;
        case ControlKind::VerticalScrollBar: {
          EXPECT_EQ(style & SBS_VERT, SBS_VERT);
          SCROLLINFO info{};
          info.cbSize = sizeof(info);
          info.fMask = SIF_ALL;
          GetScrollInfo(hwnd, SB_CTL, &info);
          EXPECT_EQ(info.nMin, control.scroll.minimum);
          EXPECT_EQ(info.nMax, control.scroll.maximum);
          EXPECT_EQ(info.nPos, control.scroll.initial);
          break;
        }
        case ControlKind::Label:
          break;
      }
      // Screen readers name a box by the label just before it among its siblings. Where the
      // label lies elsewhere or under the box, the name is given explicitly instead.
      const app::forms::Control* label =
          control.label.empty() ? nullptr : app::forms::FindControl(described, control.label);
      const RECT labelPlace = label ? win32_testing::ExpectedPlace(label->place, dpi) : RECT{};
      RECT overlap;
      if (label && label->container == control.container && &control > described.controls.data() &&
          &control - 1 == label && !IntersectRect(&overlap, &labelPlace, &expected)) {
        EXPECT_EQ(GetWindow(hwnd, GW_HWNDPREV), form->Control(control.label));
      }
    }
  }
}

TEST_F(Win32WindowTest, WindowsHaveTheirBordersPlacesAndColours) {
  Start(SettingsFile("3"));
  Click(Control("btnSetting"));
  ASSERT_NE(Dialog(), nullptr);
  const int dpi = win32ui::ScreenDpi();
  const struct {
    const char* name;
    HWND window;
    const app::forms::Window& described;
  } rows[] = {
      {"main window", window->hwnd(), app::forms::MainWindow()},
      {"settings dialog", Dialog(), app::forms::SettingsDialog()},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Text(row.window), U8(row.described.caption));
    RECT inner;
    GetClientRect(row.window, &inner);
    EXPECT_EQ(inner.right, win32ui::TwipsToPixels(row.described.clientWidth, dpi));
    EXPECT_EQ(inner.bottom, win32ui::TwipsToPixels(row.described.clientHeight, dpi));
    const LONG style = GetWindowLongW(row.window, GWL_STYLE);
    const LONG exStyle = GetWindowLongW(row.window, GWL_EXSTYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_EQ(style & WS_SYSMENU, WS_SYSMENU);
    EXPECT_EQ(GetClassLongPtrW(row.window, GCLP_HICON) != 0, row.described.icon);
    EXPECT_EQ((exStyle & WS_EX_DLGMODALFRAME) != 0, !row.described.icon);
    // Out of the taskbar by being owned by the main window.
    EXPECT_EQ(GetWindow(row.window, GW_OWNER) != nullptr, !row.described.inTaskbar);
    if (row.described.screenPlace) {
      POINT corner{0, 0};
      ClientToScreen(row.window, &corner);
      EXPECT_EQ(corner.x, win32ui::TwipsToPixels(row.described.screenPlace->first, dpi));
      EXPECT_EQ(corner.y, win32ui::TwipsToPixels(row.described.screenPlace->second, dpi));
    }
  }

  // The colours each window and label asks for when it is drawn.
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageW(window->hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(192, 255, 192));
  const struct {
    const char* label;
    COLORREF background;
    std::optional<COLORREF> text;
  } labels[] = {
      {"Label7", RGB(255, 224, 192), RGB(0, 0, 255)},
      // On the system's scroll-bar colour, in the system's text colour: readable in any scheme.
      {"Label1", GetSysColor(COLOR_SCROLLBAR), GetSysColor(COLOR_WINDOWTEXT)},
      {"Label5", GetSysColor(COLOR_SCROLLBAR), GetSysColor(COLOR_WINDOWTEXT)},
      {"Label8", GetSysColor(COLOR_3DFACE), GetSysColor(COLOR_WINDOWTEXT)},
  };
  for (const auto& row : labels) {
    SCOPED_TRACE(row.label);
    HWND label = Control(row.label);
    SetTextColor(dc, RGB(1, 2, 3));
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
        GetParent(label), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label)));
    LOGBRUSH logical{};
    ASSERT_NE(GetObjectW(brush, sizeof(logical), &logical), 0);
    EXPECT_EQ(logical.lbColor, row.background);
    EXPECT_EQ(GetBkColor(dc), row.background);
    EXPECT_EQ(GetTextColor(dc), row.text.value_or(RGB(1, 2, 3)));
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST(IconTest, HoldsAnImageForEachCommonDensity) {
  // Windows takes the image of the size it needs (16 and 32 pixels at 100 %, 24 and 48 at 150 %,
  // 256 in large views); a missing one is stretched from another and blurs.
#pragma pack(push, 2)
  struct Entry {
    BYTE width, height, colours, reserved;
    WORD planes, bits;
    DWORD bytes;
    WORD id;
  };
#pragma pack(pop)
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  ASSERT_NE(found, nullptr);
  const auto* group = static_cast<const WORD*>(LockResource(LoadResource(nullptr, found)));
  ASSERT_NE(group, nullptr);
  const auto* entries = reinterpret_cast<const Entry*>(group + 3);
  std::vector<std::pair<int, int>> images;  // size, bits per pixel
  for (WORD i = 0; i < group[2]; ++i)
    images.emplace_back(entries[i].width ? entries[i].width : 256, entries[i].bits);
  std::ranges::sort(images);
  // The program's own 16-colour image stays the 32-pixel one.
  const std::vector<std::pair<int, int>> expected = {{16, 32}, {20, 32}, {24, 32}, {32, 4},
                                                     {40, 32}, {48, 32}, {256, 32}};
  EXPECT_EQ(images, expected);
}

TEST_F(Win32WindowTest, LaterControlsLieInFrontOfTheFrames) {
  Start(SettingsFile("3"));
  for (const char* name : {"btnSAMAuth", "btnWrite", "txtMessage"}) {
    SCOPED_TRACE(name);
    const RECT place = win32_testing::PlaceInParent(Control(name));
    const POINT middle{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
    EXPECT_EQ(ChildWindowFromPointEx(window->hwnd(), middle, CWP_SKIPINVISIBLE), Control(name));
  }
}

TEST_F(Win32WindowTest, StartsWithEmptyBoxesAndFilledLists) {
  const struct {
    const char* name;
    std::optional<std::string> file;
    bool portStored;
  } rows[] = {
      {"port stored", SettingsFile("3"), true},
      {"no settings file", std::nullopt, false},
      {"section without the key", "[" + testing_support::kPortSection + "]\r\n", false},
      {"empty value", SettingsFile(""), false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    messages.clear();
    Start(row.file);
    EXPECT_EQ(Text(Control("Combo1")), "請選擇");
    EXPECT_EQ(Items(Control("Combo1")), kServiceItems);
    EXPECT_EQ(Text(Control("Combo2")), "有對話框");
    EXPECT_EQ(Items(Control("Combo2")), kCallModes);
    for (const char* box : {"txtHOSPID", "txtSAMID", "txtCardID", "txtASID", "txtBirthday", "txtMessage"})
      EXPECT_EQ(Text(Control(box)), "") << box;
    EXPECT_TRUE(IsWindowVisible(window->hwnd()));
    EXPECT_EQ(IsWindowEnabled(window->hwnd()) != FALSE, row.portStored);
    EXPECT_EQ(Dialog() != nullptr, !row.portStored);
    if (Dialog()) {
      // In front of the main window, active, with the focus on the scroll bar.
      EXPECT_TRUE(IsWindowVisible(Dialog()));
      EXPECT_EQ(GetActiveWindow(), Dialog());
      EXPECT_EQ(Focused(), "VScroll1");
      EXPECT_EQ(Text(DialogControl("Text1")), "1");
      bool mainBehind = false;
      for (HWND next = GetWindow(Dialog(), GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT))
        mainBehind = mainBehind || next == window->hwnd();
      EXPECT_TRUE(mainBehind);
      SendMessageW(Dialog(), WM_CLOSE, 0, 0);
      Pump();
    }
    EXPECT_TRUE(IsWindowEnabled(window->hwnd()));
    EXPECT_EQ(GetActiveWindow(), window->hwnd());
    EXPECT_EQ(Focused(), "btnSetting");
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(events.empty());
  }
}

TEST_F(Win32WindowTest, ClearEmptiesTheBoxesAndResetsOnlyItsFonts) {
  Start(SettingsFile("3"));
  card.bytes["csGetHospID"] = "3501200000";
  card.status["vantoGetAdultPrevent"] = 3333;
  Click(Control("btnQuery"));
  EXPECT_EQ(Text(Control("txtHOSPID")), "3501200000");
  EXPECT_NE(Text(Control("txtMessage")).find("\r\n"), std::string::npos);

  // Typing into a list's field as in any Windows program: Ctrl+A selects what it shows.
  SetFocus(Control("Combo1"));
  Press('A', {VK_CONTROL});
  Press('X');
  Press('Y');
  EXPECT_EQ(Text(Control("Combo1")), "xy");

  HFONT other = CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Courier New");
  for (const char* name :
       {"btnQuery", "txtMessage", "Label7", "btnWrite", "Label8", "Combo1", "Frame1", "Combo2"})
    SendMessageW(Control(name), WM_SETFONT, reinterpret_cast<WPARAM>(other), FALSE);
  Click(Control("btnClean"));
  for (const char* box : {"txtHOSPID", "txtSAMID", "txtCardID", "txtASID", "txtBirthday", "txtMessage"})
    EXPECT_EQ(Text(Control(box)), "") << box;
  EXPECT_EQ(Text(Control("Combo1")), "xy");
  EXPECT_EQ(Items(Control("Combo1")).size(), 5u);
  for (const char* name : {"btnQuery", "txtMessage", "Label7"})
    EXPECT_STREQ(FontOf(Control(name)).lfFaceName, L"MS Sans Serif") << name;
  for (const char* name : {"btnWrite", "Label8", "Combo1", "Frame1", "Combo2"})
    EXPECT_STREQ(FontOf(Control(name)).lfFaceName, L"Courier New") << name;
  window.reset();
  DeleteObject(other);
}

TEST_F(Win32WindowTest, TabFollowsTheTabIndexesAcrossContainers) {
  const struct {
    const char* name;
    bool dialog;
    const char* start;
    bool backwards;
    std::vector<std::string> visits;
  } rows[] = {
      {"main window",
       false,
       "btnSetting",
       false,
       {"txtHOSPID", "txtCardID", "txtASID", "txtBirthday", "txtSAMID", "btnQuery", "btnClean", "txtMessage",
        "btnSAMAuth", "btnWrite", "Combo1", "Combo2", "btnSetting"}},
      {"main window backwards", false, "btnSetting", true, {"Combo2", "Combo1", "btnWrite"}},
      // Arriving at the port box lands on the scroll bar again.
      {"dialog", true, "OKButton", false, {"CancelButton", "VScroll1", "VScroll1"}},
      {"dialog backwards", true, "VScroll1", true, {"CancelButton", "OKButton", "VScroll1", "CancelButton"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Start(SettingsFile("3"));
    if (row.dialog) Click(Control("btnSetting"));
    SetFocus(row.dialog ? DialogControl(row.start) : Control(row.start));
    ASSERT_EQ(Focused(), row.start);
    std::vector<std::string> visits;
    for (size_t i = 0; i < row.visits.size(); ++i) {
      if (row.backwards) {
        Press(VK_TAB, {VK_SHIFT});
      } else {
        Press(VK_TAB);
      }
      visits.push_back(Focused());
    }
    EXPECT_EQ(visits, row.visits);
    EXPECT_TRUE(events.empty());
  }
}

TEST_F(Win32WindowTest, EnterAndEscapePressOnlyAFocusedButton) {
  const struct {
    const char* name;
    bool dialog;
    const char* focus;
    UINT key;
    int queries;
    bool dialogOpenAfter;
  } rows[] = {
      {"Enter in a result box", false, "txtHOSPID", VK_RETURN, 0, false},
      {"Enter in the message box", false, "txtMessage", VK_RETURN, 0, false},
      {"Escape in a list's field", false, "Combo1", VK_ESCAPE, 0, false},
      {"Enter on the query button", false, "btnQuery", VK_RETURN, 1, false},
      {"Space on the query button", false, "btnQuery", VK_SPACE, 1, false},
      {"Escape on the query button", false, "btnQuery", VK_ESCAPE, 0, false},
      {"Enter on the scroll bar", true, "VScroll1", VK_RETURN, 0, true},
      {"Escape on the scroll bar", true, "VScroll1", VK_ESCAPE, 0, true},
      {"Enter on the cancel button", true, "CancelButton", VK_RETURN, 0, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    events.clear();
    messages.clear();
    Start(SettingsFile("3"));
    if (row.dialog) Click(Control("btnSetting"));
    SetFocus(row.dialog ? DialogControl(row.focus) : Control(row.focus));
    ASSERT_EQ(Focused(), row.focus);
    Press(row.key);
    EXPECT_EQ(Calls("csOpenCom"), row.queries);
    EXPECT_EQ(Dialog() != nullptr, row.dialogOpenAfter);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(IsWindowEnabled(window->hwnd()) != FALSE, !row.dialogOpenAfter);
  }
}

TEST_F(Win32WindowTest, DialogStepsFromOneWhateverIsStored) {
  Start(SettingsFile("7"));
  Click(Control("btnSetting"));
  ASSERT_NE(Dialog(), nullptr);
  EXPECT_FALSE(IsWindowEnabled(window->hwnd()));
  // A close request to the disabled main window changes nothing.
  SendMessageW(window->hwnd(), WM_CLOSE, 0, 0);
  Pump();
  EXPECT_TRUE(IsWindow(window->hwnd()));
  ASSERT_NE(Dialog(), nullptr);
  HWND text1 = DialogControl("Text1");
  HWND scroll = DialogControl("VScroll1");
  EXPECT_EQ(Text(text1), "7");
  ASSERT_EQ(GetFocus(), scroll);
  Press(VK_DOWN);
  EXPECT_EQ(Text(text1), "2");
  Press(VK_UP);
  EXPECT_EQ(Text(text1), "1");
  Press(VK_UP);
  EXPECT_EQ(Text(text1), "1");
  // What a click on the scroll bar's arrows sends.
  const auto step = [&](WORD code) {
    SendMessageW(Dialog(), WM_VSCROLL, code, reinterpret_cast<LPARAM>(scroll));
    Pump();
  };
  for (int i = 0; i < 30; ++i) step(SB_LINEDOWN);
  EXPECT_EQ(Text(text1), "20");
  for (int i = 0; i < 30; ++i) step(SB_LINEUP);
  EXPECT_EQ(Text(text1), "1");
  step(SB_LINEDOWN);
  Click(DialogControl("OKButton"));
  EXPECT_EQ(Dialog(), nullptr);
  EXPECT_TRUE(IsWindowEnabled(window->hwnd()));
  EXPECT_EQ(dir.Read("VANTOQuery.ini"), SettingsFile("2"));
  EXPECT_TRUE(messages.empty());
}

TEST_F(Win32WindowTest, DialogLeavesWithoutWriting) {
  const std::string warning = "讀卡機連接埠未完成設定將無法正常使用!!";
  const struct {
    const char* name;
    std::optional<std::string> file;
    const char* button;
    std::vector<std::string> messages;
  } rows[] = {
      {"cancel, nothing stored", std::nullopt, "CancelButton", {warning}},
      {"cancel, port stored", SettingsFile("4"), "CancelButton", {}},
      {"close box, nothing stored", std::nullopt, nullptr, {}},
      {"close box, port stored", SettingsFile("4"), nullptr, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    messages.clear();
    Start(row.file);
    if (!Dialog()) Click(Control("btnSetting"));
    ASSERT_NE(Dialog(), nullptr);
    if (row.button) {
      Click(DialogControl(row.button));
    } else {
      SendMessageW(Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
      Pump();
    }
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(window->hwnd()));
    EXPECT_EQ(messages, row.messages);
    if (row.file) {
      EXPECT_EQ(dir.Read("VANTOQuery.ini"), *row.file);
    } else {
      EXPECT_FALSE(std::filesystem::exists(store.FilePath()));
    }
  }
}

TEST_F(Win32WindowTest, FocusNeverStaysInThePortBox) {
  Start(SettingsFile("7"));
  Click(Control("btnSetting"));
  HWND text1 = DialogControl("Text1");
  SetFocus(text1);
  EXPECT_EQ(Focused(), "VScroll1");
  SetFocus(DialogControl("OKButton"));
  PostMessageW(text1, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageW(text1, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  Pump();
  EXPECT_EQ(Focused(), "VScroll1");
  for (UINT key : {UINT{'9'}, UINT{'8'}, UINT{VK_BACK}, UINT{VK_DELETE}}) Press(key);
  EXPECT_EQ(Text(text1), "7");
  // Activation puts the focus on the scroll bar again.
  SetFocus(DialogControl("OKButton"));
  SetActiveWindow(window->hwnd());
  SetActiveWindow(Dialog());
  Pump();
  EXPECT_EQ(Focused(), "VScroll1");
}

TEST_F(Win32WindowTest, ReopeningReloadsThePortBox) {
  Start(SettingsFile("7"));
  Click(Control("btnSetting"));
  Press(VK_DOWN);
  SendMessageW(Dialog(), WM_CLOSE, 0, 0);
  Pump();
  dir.Write("VANTOQuery.ini", SettingsFile("9"));
  Click(Control("btnSetting"));
  EXPECT_EQ(Text(DialogControl("Text1")), "9");
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_POS;
  GetScrollInfo(DialogControl("VScroll1"), SB_CTL, &info);
  EXPECT_EQ(info.nPos, 1);
}

TEST_F(Win32WindowTest, ButtonsWorkThroughTheSimulatorLibrary) {
  using cardservice::CardLibrary;
  std::filesystem::copy_file(settings::FileBeside(settings::ProgramDirectory(), CardLibrary::FileName()),
                             dir.path() / CardLibrary::FileName());
  CardLibrary library(settings::FileBeside(dir.path(), CardLibrary::FileName()));
  const struct {
    const char* name;
    const char* serviceItem;
    const char* button;
    const char* box;
    std::string shown;
    std::vector<std::string> messages;
  } rows[] = {
      {"query", nullptr, "btnQuery", "txtHOSPID", "3501200000", {}},
      {"query's verdict",
       nullptr,
       "btnQuery",
       "txtMessage",
       "3000：請確定民眾符合實施成人預防保健資格，\r\n",
       {}},
      {"query's birth date", nullptr, "btnQuery", "txtBirthday", "0550815", {}},
      {"authentication", nullptr, "btnSAMAuth", "txtMessage", "0：讀卡機安全模組認證完成!\r\n", {}},
      {"log write", "22：65歲以上者，每年補助乙次", "btnWrite", "txtMessage", "", {"寫卡完成：0"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    messages.clear();
    Start(SettingsFile("3"), &library);
    if (row.serviceItem)
      SetWindowTextW(Control("Combo1"), win32ui::Wide(text::FromUtf8(row.serviceItem)).c_str());
    Click(Control(row.button));
    EXPECT_TRUE(Text(Control(row.box)).starts_with(row.shown)) << Text(Control(row.box));
    EXPECT_EQ(messages, row.messages);
  }
  EXPECT_NE(dir.Read("cardsim-log.txt").find(" INS 000012345678"), std::string::npos);
  window.reset();  // before the library it uses
}

TEST_F(Win32WindowTest, UnexpectedFailureEndsInAMessage) {
  // A library that fails in a way the workflows do not handle: the window says so and lives on.
  struct FailingCard : testing_support::RecordingCardService {
    using RecordingCardService::RecordingCardService;
    std::int32_t csOpenCom(std::int16_t) override { throw std::runtime_error("reader gone"); }
  } failing{events};
  Start(SettingsFile("3"), &failing);
  Click(Control("btnQuery"));
  EXPECT_EQ(messages, std::vector<std::string>{"程式發生錯誤：reader gone"});
  EXPECT_TRUE(IsWindow(window->hwnd()));
  window.reset();  // before the library it uses
}

TEST_F(Win32WindowTest, KeyboardMovesShowTheFocus) {
  const struct {
    const char* name;
    bool dialog;
    const char* start;
    UINT key;
    std::initializer_list<UINT> modifiers;
  } rows[] = {
      {"Tab", false, "btnSetting", VK_TAB, {}},
      {"Shift+Tab", false, "btnSetting", VK_TAB, {VK_SHIFT}},
      {"Enter on a button", false, "btnClean", VK_RETURN, {}},
      {"Tab in the dialog", true, "OKButton", VK_TAB, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Start(SettingsFile("3"));
    if (row.dialog) Click(Control("btnSetting"));
    HWND top = row.dialog ? Dialog() : window->hwnd();
    SetFocus(row.dialog ? DialogControl(row.start) : Control(row.start));
    UiStateChanges changes;
    Press(row.key, row.modifiers);
    const std::pair<HWND, WPARAM> cleared{top, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS)};
    EXPECT_NE(std::ranges::find(changes.seen, cleared), changes.seen.end());
  }
}

TEST_F(Win32WindowTest, OnlyTheFocusedControlLooksFocused) {
  // The scroll bar's focus shows as a frame around it, on the dialog.
  Start(SettingsFile("3"));
  Click(Control("btnSetting"));
  ASSERT_NE(Dialog(), nullptr);
  RECT inner;
  GetClientRect(Dialog(), &inner);
  const RECT bar = win32_testing::PlaceInParent(DialogControl("VScroll1"));
  const auto beside = [&] {
    win32_testing::Canvas canvas(inner.right, inner.bottom);
    SendMessageW(Dialog(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()),
                 PRF_CLIENT | PRF_ERASEBKGND);
    return canvas.At(bar.left - 2, (bar.top + bar.bottom) / 2);
  };
  SetFocus(DialogControl("VScroll1"));
  EXPECT_EQ(beside(), RGB(0, 0, 160));
  SetFocus(DialogControl("OKButton"));
  EXPECT_EQ(beside(), GetSysColor(COLOR_3DFACE));
  SendMessageW(Dialog(), WM_CLOSE, 0, 0);
  Pump();

  // A list that lost the focus shows no selection, however the focus left.
  const struct {
    const char* name;
    std::function<void()> leave;
  } rows[] = {
      {"Tab", [] { Press(VK_TAB); }},
      {"click on a button", [this] { SetFocus(Control("btnWrite")); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    HWND combo = Control("Combo1");
    SetFocus(combo);
    SendMessageW(combo, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    row.leave();
    Pump();
    DWORD start = 0, end = 0;
    SendMessageW(combo, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_NE(Focused(), "Combo1");
    EXPECT_EQ(start, end);
  }
}

TEST_F(Win32WindowTest, ThemedControlsGetTheColourBehindThem) {
  // What a themed control asks its parent to paint behind its corners.
  Start(SettingsFile("3"));
  const COLORREF frame = GetSysColor(COLOR_3DFACE);
  const struct {
    const char* control;
    COLORREF behind;
  } rows[] = {
      {"btnWrite", frame},    // the window's, over Frame1
      {"btnSAMAuth", frame},  // the window's, over Frame1
      {"txtMessage", frame},  // the window's, over Frame2
      {"Frame1", frame},      // inside and outside its line alike
      {"btnQuery", frame},    // Frame1's own
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.control);
    const RECT place = win32_testing::PlaceInParent(Control(row.control));
    win32_testing::Canvas canvas(place.right - place.left, place.bottom - place.top);
    DrawThemeParentBackground(Control(row.control), canvas.dc(), nullptr);
    EXPECT_EQ(canvas.At(0, 0), row.behind);
    EXPECT_EQ(canvas.At(place.right - place.left - 1, place.bottom - place.top - 1), row.behind);
  }
}

TEST_F(Win32WindowTest, EveryControlTellsScreenReadersItsName) {
  Start(SettingsFile("3"));
  Click(Control("btnSetting"));
  ASSERT_NE(Dialog(), nullptr);
  for (const win32ui::FormWindow* form : {static_cast<const win32ui::FormWindow*>(window.get()),
                                          static_cast<const win32ui::FormWindow*>(window->OpenDialog())}) {
    for (const app::forms::Control& control : form->description().controls) {
      SCOPED_TRACE(control.name);
      // Buttons, labels and frames are named by their captions; boxes, lists and the scroll bar by
      // their labels or their own spoken names.
      std::u16string expected = app::forms::SpokenName(form->description(), control);
      if (expected.empty()) expected = control.text;
      HWND hwnd = form->Control(control.name);
      EXPECT_EQ(Accessible(hwnd).first, U8(expected));
      COMBOBOXINFO parts{};
      parts.cbSize = sizeof(parts);
      if (control.kind == ControlKind::DropDownCombo && GetComboBoxInfo(hwnd, &parts)) {
        EXPECT_EQ(Accessible(parts.hwndItem).first, U8(expected)) << "field";
      }
    }
  }
  EXPECT_EQ(Accessible(Dialog()), std::pair(std::string("環境設定"), long{ROLE_SYSTEM_DIALOG}));
  EXPECT_EQ(Accessible(window->hwnd()), std::pair(std::string("DoravelSerovia"), long{ROLE_SYSTEM_CLIENT}));
}

TEST_F(Win32WindowTest, DensityChangeLaysOutAsAStartAtThatDensity) {
  const int start = win32ui::ScreenDpi();
  for (const int dpi : {144, 120, 192}) {
    SCOPED_TRACE(dpi);
    Start(SettingsFile("3"));
    Click(Control("btnSetting"));
    ASSERT_NE(Dialog(), nullptr);
    for (const win32ui::FormWindow* form : {static_cast<const win32ui::FormWindow*>(window.get()),
                                            static_cast<const win32ui::FormWindow*>(window->OpenDialog())}) {
      SCOPED_TRACE(form->description().name);
      for (const int to : {dpi, start}) {
        // Windows suggests a place, and a size scaled from the present one.
        RECT suggested;
        GetWindowRect(form->hwnd(), &suggested);
        OffsetRect(&suggested, 10, 20);
        suggested.right = suggested.left + MulDiv(suggested.right - suggested.left, to, form->dpi());
        suggested.bottom = suggested.top + MulDiv(suggested.bottom - suggested.top, to, form->dpi());
        SendMessageW(form->hwnd(), WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
        Pump();
        ExpectLaidOutAt(*form, to);
        RECT place;
        GetWindowRect(form->hwnd(), &place);
        EXPECT_EQ(place.left, suggested.left);
        EXPECT_EQ(place.top, suggested.top);
      }
    }
  }
}

// Input as Windows queues it for a window: a click on the control, or a key for the control that
// had the focus.
void QueueInput(HWND control, std::string_view input) {
  if (input == "click") {
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    return;
  }
  const UINT key = input == "Space" ? VK_SPACE : VK_RETURN;
  const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  PostMessageW(control, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
  PostMessageW(control, WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | 0xC0000000u));
}

// A click, Space or Enter on a button runs its workflow once: the same input made again while the
// library works is removed from the queue when the call returns, and a click that a window of the
// library delivers meanwhile starts nothing; afterwards the focus is back on the button and the next
// input counts.
TEST_F(Win32WindowTest, InputWhileTheLibraryWorksIsDropped) {
  HCURSOR wait = LoadCursorW(nullptr, MAKEINTRESOURCEW(32514));  // IDC_WAIT
  for (const auto& button : testing_support::kLibraryButtons) {
    for (const char* input : {"click", "Space", "Enter"}) {
      for (const bool nestedLoop : {false, true}) {
        SCOPED_TRACE(std::string(button.button) + " " + input +
                     (nestedLoop ? " through a nested loop" : " queued"));
        events.clear();
        Start(SettingsFile("3"));
        SetWindowTextW(Control("Combo1"), win32ui::Wide(text::FromUtf8(kServiceItems[0])).c_str());
        HWND target = Control(button.button);
        SetFocus(target);
        ASSERT_EQ(Focused(), button.button);
        bool inside = false;
        card.whileInside = [&](const std::string& operation) {
          if (operation != button.firstCall || inside) return;
          inside = true;
          EXPECT_FALSE(IsWindowEnabled(window->hwnd()));
          EXPECT_EQ(GetCursor(), wait);
          // Windows takes the focus from a window that is disabled; Wine leaves it on the control.
          SetFocus(nullptr);
          // Clicks on every button, and the input itself, as they would arrive meanwhile.
          QueueInput(target, input);
          if (!nestedLoop) return;
          for (const auto& control : app::forms::MainWindow().controls) {
            if (control.kind != ControlKind::CommandButton) continue;
            HWND other = Control(control.name);
            PostMessageW(window->hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(other), BN_CLICKED),
                         reinterpret_cast<LPARAM>(other));
          }
          Pump();
        };
        if (std::string_view(input) == "click") {
          Click(target);
        } else {
          Press(std::string_view(input) == "Space" ? VK_SPACE : VK_RETURN);
        }
        Pump();
        EXPECT_TRUE(inside);
        EXPECT_EQ(Calls(button.firstCall), 1);
        EXPECT_EQ(Dialog(), nullptr);
        EXPECT_TRUE(IsWindowEnabled(window->hwnd()));
        EXPECT_EQ(Focused(), button.button);

        card.whileInside = nullptr;
        Press(VK_SPACE);
        EXPECT_EQ(Calls(button.firstCall), 2);
      }
    }
  }
}

int CALLBACK FontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// A message box of this thread, answered by OK once it shows; one that takes no input is ended
// instead, as it would hold the test forever.
HWND answeredBox = nullptr;
void CALLBACK AnswerMessageBox(HWND, UINT, UINT_PTR, DWORD) {
  for (HWND top : win32_testing::TopLevelWindows()) {
    if (GetWindowThreadProcessId(top, nullptr) != GetCurrentThreadId() || !IsWindowVisible(top) ||
        win32_testing::ClassName(top) != L"#32770")
      continue;
    answeredBox = top;
    if (IsWindowEnabled(top)) {
      PostMessageW(top, WM_COMMAND, IDOK, 0);
    } else {
      EndDialog(top, IDOK);
    }
  }
}

// A message box shown while the library work runs takes its input; the window is busy again until
// the work ends, and then active with its focus where it was.
TEST_F(Win32WindowTest, MessageBoxDuringTheWorkTakesItsInput) {
  win32ui::SetMessageHook(nullptr);
  Start(SettingsFile("3"));
  card.status["csOpenCom"] = -1;  // "開啟 COM Port 失敗" before csCloseCom
  bool closing = false;
  card.whileInside = [&](const std::string& operation) {
    if (operation != "csCloseCom") return;
    closing = true;
    EXPECT_EQ(GetActiveWindow(), window->hwnd());
  };
  answeredBox = nullptr;
  // The box runs its own loop; a timer of this thread answers it from there.
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, &AnswerMessageBox);
  SetFocus(Control("btnQuery"));
  Click(Control("btnQuery"));
  KillTimer(nullptr, timer);
  EXPECT_NE(answeredBox, nullptr);
  EXPECT_TRUE(closing);
  EXPECT_EQ(events, (std::vector<std::string>{"csOpenCom(2)", "csCloseCom()"}));
  EXPECT_TRUE(IsWindowEnabled(window->hwnd()));
  EXPECT_EQ(GetActiveWindow(), window->hwnd());
  EXPECT_EQ(Focused(), "btnQuery");
}

// Before the library blocks, the window is drawn: nothing of it is left to draw.
TEST_F(Win32WindowTest, WindowIsDrawnBeforeTheLibraryBlocks) {
  Start(SettingsFile("3"));
  int inside = 0;
  card.whileInside = [&](const std::string&) {
    if (inside++) return;
    for (HWND each : win32_testing::Descendants(window->hwnd()))
      EXPECT_FALSE(GetUpdateRect(each, nullptr, FALSE)) << U8(win32ui::WindowText(each));
    EXPECT_FALSE(GetUpdateRect(window->hwnd(), nullptr, FALSE));
  };
  Click(Control("btnQuery"));
  EXPECT_TRUE(inside);
}

void TypeSpace() { keybd_event(VK_SPACE, 0, 0, 0), keybd_event(VK_SPACE, 0, KEYEVENTF_KEYUP, 0); }

// Presses Space in the library's window at first sight; ends it if the key never arrives.
int libraryWindowSeen = 0;
void CALLBACK TypeIntoLibraryWindow(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = FindWindowW(nullptr, L"library");
  if (box && libraryWindowSeen++ == 0) TypeSpace();
  if (box && libraryWindowSeen > 40) EndDialog(box, IDCANCEL);
}

// A key pressed while the library works, before its window shows, never reaches that window; one
// pressed once it shows does, and when it closes the main window is active again, focus kept.
TEST_F(Win32WindowTest, KeysTypedAheadNeverReachTheLibrarysWindow) {
  Start(SettingsFile("3"));
  SetFocus(Control("btnQuery"));
  libraryWindowSeen = 0;
  int answer = 0;
  card.whileInside = [&](const std::string& operation) {
    if (operation != "vantoGetAdultPrevent") return;
    TypeSpace();
    Sleep(50);  // the key is older than the window by more than the clock's step
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &TypeIntoLibraryWindow);
    answer = MessageBoxW(nullptr, L"", L"library", MB_OKCANCEL);  // the library's own, unowned
    KillTimer(nullptr, timer);
  };
  Click(Control("btnQuery"));
  EXPECT_EQ(libraryWindowSeen, 1);
  EXPECT_EQ(answer, IDOK);
  EXPECT_EQ(GetActiveWindow(), window->hwnd());
  EXPECT_EQ(Focused(), "btnQuery");
}

// The library's own windows of this thread, and the main window they found.
struct LibraryWindows {
  HWND main = nullptr;
  HWND query = nullptr;
  std::map<HWND, int> seen;  // each window with the ticks it has been open
  bool mainEnabledMeanwhile = false;
} libraryWindows;

// Clicks and keys on 查詢 that reach the station through the library's window, then its OK.
void CALLBACK UseLibraryWindow(HWND, UINT, UINT_PTR, DWORD) {
  for (HWND top : win32_testing::TopLevelWindows()) {
    if (GetWindowThreadProcessId(top, nullptr) != GetCurrentThreadId() || !IsWindowVisible(top) ||
        win32_testing::ClassName(top) != L"#32770")
      continue;
    const int ticks = libraryWindows.seen[top]++;
    if (ticks == 0) {
      libraryWindows.mainEnabledMeanwhile = IsWindowEnabled(libraryWindows.main) != FALSE;
      for (const char* input : {"click", "Space", "Enter"}) QueueInput(libraryWindows.query, input);
      PostMessageW(libraryWindows.main, WM_COMMAND,
                   MAKEWPARAM(GetDlgCtrlID(libraryWindows.query), BN_CLICKED),
                   reinterpret_cast<LPARAM>(libraryWindows.query));
    } else if (ticks == 2) {
      PostMessageW(top, WM_COMMAND, IDOK, 0);
    }
  }
}

// The simulator's own window runs its message loop inside the interactive eligibility call, and
// disables no window of the station: what reaches 查詢 through it starts no second query, and the
// query ends with its verdict once the window is closed, the main window active again.
TEST_F(Win32WindowTest, InputThroughTheLibrarysOwnWindowStartsNothing) {
  using cardservice::CardLibrary;
  std::filesystem::copy_file(settings::FileBeside(settings::ProgramDirectory(), CardLibrary::FileName()),
                             dir.path() / CardLibrary::FileName());
  dir.Write("cardsim.ini", "[eligibility]\nwindow = yes\n");
  CardLibrary library(settings::FileBeside(dir.path(), CardLibrary::FileName()));
  Start(SettingsFile("1"), &library);
  libraryWindows = {};
  libraryWindows.main = window->hwnd();
  libraryWindows.query = Control("btnQuery");
  SetFocus(Control("btnQuery"));
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, &UseLibraryWindow);
  Press(VK_SPACE);
  KillTimer(nullptr, timer);
  Pump();
  EXPECT_EQ(libraryWindows.seen.size(), 1u);
  EXPECT_FALSE(libraryWindows.mainEnabledMeanwhile);
  EXPECT_TRUE(Text(Control("txtMessage")).starts_with("3000：")) << Text(Control("txtMessage"));
  EXPECT_TRUE(IsWindowEnabled(window->hwnd()));
  EXPECT_EQ(GetActiveWindow(), window->hwnd());
  EXPECT_EQ(Focused(), "btnQuery");
  window.reset();  // before the library it uses
}

// The README's picture of the station after a query, made when ZIROZE_SCREENSHOT_DIR names a folder.
TEST_F(Win32WindowTest, Screenshot) {
  const char* folder = std::getenv("ZIROZE_SCREENSHOT_DIR");
  if (!folder || !*folder) GTEST_SKIP() << "ZIROZE_SCREENSHOT_DIR not set";
  // Without Marlett the caption's close box is drawn as the letter "r".
  LOGFONTW marlett{};
  marlett.lfCharSet = DEFAULT_CHARSET;
  wcscpy(marlett.lfFaceName, L"Marlett");
  bool haveMarlett = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &marlett, FontFound, reinterpret_cast<LPARAM>(&haveMarlett), 0);
  ReleaseDC(nullptr, screen);
  EXPECT_TRUE(haveMarlett) << "no Marlett font for the title bar's buttons";
  Start(SettingsFile("3"));
  card.ScriptEligiblePatient();
  Click(Control("btnQuery"));
  // The picture in Windows' classic look beside the one in the visual style.
  const char* theme = std::getenv("ZIROZE_WINE_THEME");
  const std::string suffix = theme && std::string_view(theme) == "classic" ? "-classic" : "";
  const std::filesystem::path file = std::filesystem::path(folder) / ("win32-station" + suffix + ".png");
  win32_testing::Picture picture;
  ASSERT_TRUE(win32_testing::SavePicture(window->hwnd(), file, &picture)) << file.string();
  // A frame is one panel of its colour: none of the window's green shows inside it.
  POINT inner{0, 0};
  ClientToScreen(window->hwnd(), &inner);
  RECT outer;
  GetWindowRect(window->hwnd(), &outer);
  for (const char* name : {"Frame1", "Frame2"}) {
    RECT frame = win32_testing::PlaceInParent(Control(name));
    OffsetRect(&frame, inner.x - outer.left, inner.y - outer.top);
    int green = 0, panel = 0;
    for (int y = frame.top; y < frame.bottom; ++y) {
      for (int x = frame.left; x < frame.right; ++x) {
        green += picture.At(x, y) == RGB(192, 255, 192);
        panel += picture.At(x, y) == GetSysColor(COLOR_3DFACE);
      }
    }
    EXPECT_EQ(green, 0) << name;
    EXPECT_GT(panel, 0) << name << ": the picture shows no frame";
  }
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // As the station's own thread: screen readers' objects travel through COM.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const int result = RUN_ALL_TESTS();
  if (SUCCEEDED(com)) CoUninitialize();
  return result;
}
