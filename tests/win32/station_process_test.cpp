#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <fstream>
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

constexpr auto kPatience = std::chrono::seconds(30);

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
  HWND WaitForWindow(std::wstring_view className, std::u16string_view caption) const {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
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

// A clinic may unpack the station into a folder whose name the desk's ANSI code page cannot spell;
// its settings file there is found and written all the same, in the same bytes on every locale.
TEST(StationProcess, FolderNamedOutsideTheCodePageKeepsItsPort) {
  using cardservice::CardLibrary;
  testing_support::TempDir dir;
  const std::filesystem::path folder = dir.path() / std::filesystem::path(u"診所ü");
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  const std::filesystem::path built = settings::ProgramDirectory();
  for (const char* file : {"ZIROZE01.exe", CardLibrary::FileName()})
    std::filesystem::copy_file(settings::FileBeside(built, file), folder / file);
  const std::filesystem::path settingsFile = folder / "VANTOQuery.ini";
  std::ofstream(settingsFile, std::ios::binary) << testing_support::SettingsFile("3");

  StationProcess station(folder / "ZIROZE01.exe");
  ASSERT_TRUE(station.started()) << GetLastError();
  HWND main = station.WaitForWindow(L"", app::forms::MainWindow().caption);
  ASSERT_NE(main, nullptr);
  // The stored port was found: no dialog at start, so the main window takes the clicks.
  std::this_thread::sleep_for(std::chrono::seconds(1));
  ASSERT_TRUE(IsWindowEnabled(main)) << "the settings dialog opened at start";

  const int dpi = win32ui::ScreenDpi();
  const app::forms::Window& mainDescribed = app::forms::MainWindow();
  const app::forms::Control* setting = app::forms::FindControl(mainDescribed, "btnSetting");
  PostMessageW(FindChild(main, L"Button", setting->text, PlaceInWindow(mainDescribed, *setting, dpi)),
               BM_CLICK, 0, 0);
  const app::forms::Window& described = app::forms::SettingsDialog();
  HWND dialog = station.WaitForWindow(L"", described.caption);
  ASSERT_NE(dialog, nullptr);
  const auto find = [&](std::string_view name) {
    const app::forms::Control* control = app::forms::FindControl(described, name);
    return FindChild(dialog, win32_testing::ExpectedClass(control->kind), std::nullopt,
                     PlaceInWindow(described, *control, dpi));
  };
  EXPECT_EQ(StationProcess::Text(find("Text1")), u"3");
  DWORD_PTR ignored = 0;
  ASSERT_TRUE(SendMessageTimeoutW(dialog, WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(find("VScroll1")),
                                  SMTO_ABORTIFHUNG, 30000, &ignored));
  // The scroll bar steps from one, whatever is stored.
  EXPECT_EQ(StationProcess::Text(find("Text1")), u"2");
  ASSERT_TRUE(SendMessageTimeoutW(find("OKButton"), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 30000, &ignored));
  EXPECT_FALSE(IsWindow(dialog));

  std::ifstream written(settingsFile, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), testing_support::SettingsFile("2"));
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(station.handle(), 30000), WAIT_OBJECT_0);
}

}  // namespace
