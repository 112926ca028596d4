#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <optional>
#include <thread>

#include "app/forms.h"
#include "app/win32/twips.h"
#include "app/win32/wide.h"
#include "cardservice/card_library.h"
#include "settings/program_directory.h"
#include "tests/support/station_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/window_support.h"

namespace {

using testing_support::U8;

constexpr std::chrono::milliseconds kPatience = std::chrono::seconds(30);

// The built station as a process of its own, ended at the latest when the test ends.
class StationProcess {
 public:
  explicit StationProcess(const std::filesystem::path& program) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring commandLine = L"\"" + program.native() + L"\"";
    started_ = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              program.parent_path().c_str(), &startup, &process_);
  }
  ~StationProcess() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  bool started() const { return started_; }
  HANDLE handle() const { return process_.hProcess; }

  // A visible top-level window of the process with that class (any when empty) and caption.
  HWND WaitForWindow(std::wstring_view className, std::u16string_view caption,
                     std::chrono::milliseconds patience = kPatience) const {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (std::chrono::steady_clock::now() < deadline) {
      for (HWND window : win32_testing::TopLevelWindows()) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != process_.dwProcessId || !IsWindowVisible(window)) continue;
        if (!className.empty() &&
            lstrcmpiW(win32_testing::ClassName(window).c_str(), std::wstring(className).c_str()) != 0)
          continue;
        if (Text(window) == caption) return window;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return nullptr;
  }

  // A window's text, asked of the window itself across the process boundary.
  static std::u16string Text(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 10000, &length))
      return u"(no answer)";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 10000, &copied);
    text.resize(copied);
    return std::u16string(text.begin(), text.end());
  }

 private:
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

// The control of the window with that class and caption at that place in the window's inner area,
// found as a user's automation tool finds it.
HWND FindChild(HWND window, std::wstring_view className, std::optional<std::u16string_view> caption,
               const RECT& place) {
  for (HWND child : win32_testing::Descendants(window)) {
    if (lstrcmpiW(win32_testing::ClassName(child).c_str(), std::wstring(className).c_str()) != 0) continue;
    RECT found;
    GetWindowRect(child, &found);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&found), 2);
    if (EqualRect(&found, &place) && (!caption || StationProcess::Text(child) == *caption)) return child;
  }
  return nullptr;
}

// The described place of a control in its window's inner area.
RECT PlaceInWindow(const app::forms::Window& window, const app::forms::Control& control, int dpi) {
  RECT place = win32_testing::ExpectedPlace(control.place, dpi);
  if (const app::forms::Control* container = app::forms::FindControl(window, control.container)) {
    const RECT outer = PlaceInWindow(window, *container, dpi);
    OffsetRect(&place, outer.left, outer.top);
  }
  return place;
}

TEST(StationProcess, QueryShowsTheSimulatorsHospitalCodeAndVerdict) {
  using cardservice::CardLibrary;
  testing_support::TempDir dir;
  const std::filesystem::path built = settings::ProgramDirectory();
  for (const char* file : {"ZIROZE01.exe", CardLibrary::FileName()})
    std::filesystem::copy_file(settings::FileBeside(built, file), dir.path() / file);
  dir.Write("VANTOQuery.ini", testing_support::SettingsFile("3"));

  StationProcess station(dir.path() / "ZIROZE01.exe");
  ASSERT_TRUE(station.started()) << GetLastError();
  const app::forms::Window& described = app::forms::MainWindow();
  HWND main = station.WaitForWindow(L"", described.caption);
  ASSERT_NE(main, nullptr) << "no window \"DoravelSerovia\"";

  const int dpi = win32ui::ScreenDpi();
  const auto find = [&](std::string_view name) {
    const app::forms::Control* control = app::forms::FindControl(described, name);
    return FindChild(main, win32_testing::ExpectedClass(control->kind), control->text,
                     PlaceInWindow(described, *control, dpi));
  };
  for (const app::forms::Control& control : described.controls)
    EXPECT_NE(find(control.name), nullptr) << control.name;

  DWORD_PTR ignored = 0;
  ASSERT_TRUE(SendMessageTimeoutW(find("btnQuery"), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 30000, &ignored));
  // The result boxes now show text, so they are found by their kind and place alone.
  const auto shown = [&](std::string_view name) {
    const app::forms::Control* control = app::forms::FindControl(described, name);
    HWND box = FindChild(main, win32_testing::ExpectedClass(control->kind), std::nullopt,
                         PlaceInWindow(described, *control, dpi));
    return box ? U8(StationProcess::Text(box)) : "(no box)";
  };
  EXPECT_EQ(shown("txtHOSPID"), "3501200000");
  EXPECT_EQ(shown("txtCardID"), "000012345678");
  EXPECT_TRUE(shown("txtMessage").starts_with("3000：請確定民眾符合實施成人預防保健資格，\r\n"))
      << shown("txtMessage");

  // A log write answers in a message box of the program's title, closed by its OK button.
  PostMessageW(find("btnWrite"), BM_CLICK, 0, 0);
  HWND box = station.WaitForWindow(L"#32770", u"ZIROZE01");
  ASSERT_NE(box, nullptr) << "no message box";
  bool textShown = false;
  for (HWND child : win32_testing::Descendants(box))
    textShown = textShown || StationProcess::Text(child) == u"寫卡完成：0";
  EXPECT_TRUE(textShown);
  EXPECT_EQ(GetWindow(box, GW_OWNER), main);
  PostMessageW(box, WM_COMMAND, IDOK, 0);

  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(station.handle(), 30000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(station.handle(), &code);
  EXPECT_EQ(code, 0u);
}

TEST(StationProcess, FirstStartShowsTheSettingsDialogInFront) {
  using cardservice::CardLibrary;
  testing_support::TempDir dir;
  const std::filesystem::path built = settings::ProgramDirectory();
  for (const char* file : {"ZIROZE01.exe", CardLibrary::FileName()})
    std::filesystem::copy_file(settings::FileBeside(built, file), dir.path() / file);

  StationProcess station(dir.path() / "ZIROZE01.exe");
  ASSERT_TRUE(station.started()) << GetLastError();
  HWND main = station.WaitForWindow(L"", app::forms::MainWindow().caption);
  const app::forms::Window& described = app::forms::SettingsDialog();
  HWND dialog = station.WaitForWindow(L"", described.caption);
  ASSERT_NE(main, nullptr);
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(IsWindowEnabled(main));
  EXPECT_EQ(GetForegroundWindow(), dialog);
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), main);

  const int dpi = win32ui::ScreenDpi();
  const auto find = [&](std::string_view name) {
    const app::forms::Control* control = app::forms::FindControl(described, name);
    return FindChild(dialog, win32_testing::ExpectedClass(control->kind), control->text,
                     PlaceInWindow(described, *control, dpi));
  };
  HWND ok = find("OKButton");
  ASSERT_NE(ok, nullptr);
  DWORD_PTR ignored = 0;
  ASSERT_TRUE(SendMessageTimeoutW(ok, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 30000, &ignored));
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "VANTOQuery.ini"));

  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(station.handle(), 30000), WAIT_OBJECT_0);
}

// The station driven from another process, with a slow simulator whose eligibility call shows a
// window of its own: clicks, Space, Enter and BM_CLICK on 查詢 while the query works, before,
// through and after that window, start no second query; one more click afterwards does.
TEST(StationProcess, InputWhileTheCardWorksStartsNoSecondQuery) {
  using cardservice::CardLibrary;
  using std::chrono::milliseconds;
  testing_support::TempDir dir;
  const std::filesystem::path built = settings::ProgramDirectory();
  for (const char* file : {"ZIROZE01.exe", CardLibrary::FileName()})
    std::filesystem::copy_file(settings::FileBeside(built, file), dir.path() / file);
  dir.Write("VANTOQuery.ini", testing_support::SettingsFile("3"));
  dir.Write("cardsim.ini", "[delay]\nall = 200\n[eligibility]\nwindow = yes\n");

  StationProcess station(dir.path() / "ZIROZE01.exe");
  ASSERT_TRUE(station.started()) << GetLastError();
  const app::forms::Window& described = app::forms::MainWindow();
  HWND main = station.WaitForWindow(L"", described.caption);
  ASSERT_NE(main, nullptr);
  const app::forms::Control* control = app::forms::FindControl(described, "btnQuery");
  HWND query = FindChild(main, win32_testing::ExpectedClass(control->kind), control->text,
                         PlaceInWindow(described, *control, win32ui::ScreenDpi()));
  ASSERT_NE(query, nullptr);
  const auto useQuery = [query] {
    PostMessageW(query, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(query, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    for (const UINT key : {VK_SPACE, VK_RETURN}) {
      PostMessageW(query, WM_KEYDOWN, key, 1);
      PostMessageW(query, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    }
    PostMessageW(query, BM_CLICK, 0, 0);
  };
  const auto answerLibraryWindow = [&](milliseconds patience) {
    HWND window = station.WaitForWindow(L"#32770", u"VANTOCSAPI", patience);
    if (!window) return false;
    EXPECT_FALSE(IsWindowEnabled(main));
    useQuery();  // through the library window's message loop
    std::this_thread::sleep_for(milliseconds(300));
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 100 && IsWindow(window); ++i) std::this_thread::sleep_for(milliseconds(10));
    useQuery();  // while the port is closed
    return true;
  };

  PostMessageW(query, BM_CLICK, 0, 0);
  std::this_thread::sleep_for(milliseconds(300));
  useQuery();  // while the reader is read
  EXPECT_TRUE(answerLibraryWindow(kPatience));
  // A second query would read the reader again and show the library's window once more.
  EXPECT_FALSE(answerLibraryWindow(milliseconds(3000)));
  EXPECT_TRUE(IsWindowEnabled(main));

  PostMessageW(query, BM_CLICK, 0, 0);
  EXPECT_TRUE(answerLibraryWindow(kPatience));
  EXPECT_FALSE(answerLibraryWindow(milliseconds(3000)));

  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(station.handle(), 30000), WAIT_OBJECT_0);
}

}  // namespace
