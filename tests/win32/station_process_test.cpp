#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <thread>

#include "app/forms.h"
#include "app/messages.h"
#include "app/win32/twips.h"
#include "app/win32/wide.h"
#include "cardservice/card_library.h"
#include "settings/program_directory.h"
#include "tests/support/station_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/window_support.h"
#include "version.h"

namespace {

using testing_support::U8;

constexpr std::chrono::milliseconds kPatience = std::chrono::seconds(30);

// The built station as a process of its own, ended at the latest when the test ends.
class StationProcess {
 public:
  // Started in its own folder unless a working directory is given.
  explicit StationProcess(const std::filesystem::path& program, std::filesystem::path workingDirectory = {}) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring commandLine = L"\"" + program.native() + L"\"";
    if (workingDirectory.empty()) workingDirectory = program.parent_path();
    started_ = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              workingDirectory.c_str(), &startup, &process_);
  }
  ~StationProcess() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.hProcess, 99);
      WaitForSingleObject(process_.hProcess, 30000);
    }
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

// The main window's caption beside the simulator, which marks it.
std::u16string SimulatorCaption() {
  return std::u16string(app::forms::MainWindow().caption) + std::u16string(app::kSimulatorCaptionMark);
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
  HWND main = station.WaitForWindow(L"", SimulatorCaption());
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

// A vendor's library loads its reader driver by plain name when the port opens. The station finds
// the driver beside itself wherever it is started from, and never takes one from the current
// directory (a download folder, say).
TEST(StationProcess, LibraryFindsItsReaderDriverInTheProgramsFolderOnly) {
  const std::filesystem::path built = settings::ProgramDirectory();
  const struct {
    const char* name;
    bool besideProgram;
    std::string outcome;
  } rows[] = {
      {"beside the program", true, "0：讀卡機安全模組認證完成!\r\n"},
      {"only in the working directory", false, "message 開啟 COM Port 失敗"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    testing_support::TempDir program, working;
    std::filesystem::copy_file(settings::FileBeside(built, "ZIROZE01.exe"), program.path() / "ZIROZE01.exe");
    std::filesystem::copy_file(settings::FileBeside(built, READER_LOADING_LIBRARY_NAME),
                               program.path() / cardservice::CardLibrary::FileName());
    std::filesystem::copy_file(built / "stand-ins" / "Reader.dll",
                               (row.besideProgram ? program : working).path() / "Reader.dll");
    program.Write("VANTOQuery.ini", testing_support::SettingsFile("3"));

    StationProcess station(program.path() / "ZIROZE01.exe", working.path());
    ASSERT_TRUE(station.started()) << GetLastError();
    const app::forms::Window& described = app::forms::MainWindow();
    HWND main = station.WaitForWindow(L"", described.caption);
    ASSERT_NE(main, nullptr);
    const int dpi = win32ui::ScreenDpi();
    const auto find = [&](std::string_view name, std::optional<std::u16string_view> caption) {
      const app::forms::Control* control = app::forms::FindControl(described, name);
      return FindChild(main, win32_testing::ExpectedClass(control->kind), caption,
                       PlaceInWindow(described, *control, dpi));
    };
    // The authentication opens the port; a failed opening answers in a message box.
    PostMessageW(find("btnSAMAuth", app::forms::FindControl(described, "btnSAMAuth")->text), BM_CLICK, 0, 0);
    std::string outcome = "(nothing)";
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (outcome == "(nothing)" && std::chrono::steady_clock::now() < deadline) {
      for (HWND window : win32_testing::TopLevelWindows()) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != GetProcessId(station.handle()) || !IsWindowVisible(window) ||
            lstrcmpiW(win32_testing::ClassName(window).c_str(), L"#32770") != 0)
          continue;
        for (HWND child : win32_testing::Descendants(window))
          if (lstrcmpiW(win32_testing::ClassName(child).c_str(), L"Static") == 0 &&
              !StationProcess::Text(child).empty())
            outcome = "message " + U8(StationProcess::Text(child));
        PostMessageW(window, WM_COMMAND, IDOK, 0);
      }
      if (HWND box = find("txtMessage", std::nullopt); box && !StationProcess::Text(box).empty())
        outcome = U8(StationProcess::Text(box));
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ(outcome, row.outcome);

    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(station.handle(), 30000), WAIT_OBJECT_0);
  }
}

TEST(StationProcess, FirstStartShowsTheSettingsDialogInFront) {
  using cardservice::CardLibrary;
  testing_support::TempDir dir;
  const std::filesystem::path built = settings::ProgramDirectory();
  for (const char* file : {"ZIROZE01.exe", CardLibrary::FileName()})
    std::filesystem::copy_file(settings::FileBeside(built, file), dir.path() / file);

  StationProcess station(dir.path() / "ZIROZE01.exe");
  ASSERT_TRUE(station.started()) << GetLastError();
  HWND main = station.WaitForWindow(L"", SimulatorCaption());
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

// A second station ends; the running one comes to the front, restored, its open dialog in front.
TEST(StationProcess, SecondStartBringsTheRunningStationToTheFront) {
  testing_support::TempDir dir;
  for (const char* file : {"ZIROZE01.exe", cardservice::CardLibrary::FileName()})
    std::filesystem::copy_file(settings::FileBeside(settings::ProgramDirectory(), file), dir.path() / file);
  StationProcess running(dir.path() / "ZIROZE01.exe");
  HWND main = running.WaitForWindow(L"", SimulatorCaption());
  HWND dialog = running.WaitForWindow(L"", app::forms::SettingsDialog().caption);
  ASSERT_TRUE(main && dialog);
  ShowWindow(main, SW_MINIMIZE);
  StationProcess second(dir.path() / "ZIROZE01.exe");
  ASSERT_EQ(WaitForSingleObject(second.handle(), 30000), WAIT_OBJECT_0);
  for (int tries = 0; tries < 50 && GetForegroundWindow() != dialog; ++tries) Sleep(100);
  EXPECT_FALSE(IsIconic(main));
  EXPECT_EQ(GetForegroundWindow(), dialog);
}

// The unpacked package that check_package.sh names, read as a new IT person reads it.
class PackageNote : public ::testing::Test {
 protected:
  void SetUp() override {
    const wchar_t* folder = _wgetenv(L"ZIROZE_PACKAGE_DIR");
    if (!folder || !*folder) GTEST_SKIP() << "ZIROZE_PACKAGE_DIR names no unpacked package";
    package = folder;
  }
  std::filesystem::path package;
};

// A cardsim.ini example of the note: the result it promises, and the file's lines.
struct NoteExample {
  std::string code;
  std::string scenario;
  bool operator==(const NoteExample&) const = default;
};

// The examples of one language's part of the note: a line "<heading> <code> (...)", then the
// file's indented lines.
std::vector<NoteExample> Examples(std::string_view part, std::string_view heading) {
  std::vector<NoteExample> examples;
  bool open = false;
  while (!part.empty()) {
    const size_t end = std::min(part.find('\n'), part.size());
    std::string_view line = part.substr(0, end);
    part.remove_prefix(std::min(end + 1, part.size()));
    if (line.ends_with('\r')) line.remove_suffix(1);
    const size_t indent = line.find_first_not_of(' ');
    const std::string_view text = indent == std::string_view::npos ? "" : line.substr(indent);
    if (text.starts_with(std::string(heading) + " ") && text.size() >= heading.size() + 5) {
      examples.push_back({std::string(text.substr(heading.size() + 1, 4)), ""});
      open = true;
    } else if (open && indent > 0 && !text.empty() &&
               ((text.front() == '[' && text.back() == ']') || text.find(" = ") != std::string_view::npos)) {
      examples.back().scenario += std::string(text) + "\r\n";
    } else {
      open = false;
    }
  }
  return examples;
}

TEST_F(PackageNote, VersionResourceNamesTheMaker) {
  const std::wstring program = (package / "ZIROZE01.exe").native();
  DWORD ignored = 0;
  std::vector<char> info(GetFileVersionInfoSizeW(program.c_str(), &ignored));
  ASSERT_FALSE(info.empty()) << GetLastError();
  ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
  const WORD numbers[] = {ZIROZE_VERSION_NUMBERS};
  EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(numbers[1], numbers[0])));
  EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(numbers[3], numbers[2])));

  for (const auto& [name, expected] : std::vector<std::pair<std::wstring, std::string>>{
           {L"CompanyName", ZIROZE_COMPANY_CXX},
           {L"ProductName", "ZIROZE01"},
           {L"FileDescription", sizeof(void*) == 4 ? "ZIROZE01 成人預防保健服務資格查詢（32 位元）"
                                                   : "ZIROZE01 成人預防保健服務資格查詢（64 位元）"},
           {L"FileVersion", ZIROZE_VERSION_TEXT},
           {L"ProductVersion", ZIROZE_VERSION_TEXT},
           {L"LegalCopyright", ZIROZE_COPYRIGHT_CXX},
           {L"OriginalFilename", "ZIROZE01.exe"}}) {
    wchar_t* value = nullptr;
    const std::wstring key = L"\\StringFileInfo\\040404B0\\" + name;
    ASSERT_TRUE(VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &size))
        << U8(std::u16string(name.begin(), name.end()));
    EXPECT_EQ(U8(std::u16string(value, value + wcsnlen(value, size))), expected);
  }
}

// The note's trial: the packed simulator beside the packed program in a folder of another name, the
// first start's dialog answered, then each example of the note as cardsim.ini in UTF-8 as Notepad
// saves it, and the result it promises in txtMessage.
TEST_F(PackageNote, SimulatorTrialGivesEachExamplesResult) {
  std::ifstream in(package / "INSTALL.txt", std::ios::binary);
  const std::string note((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t english = note.find("\r\nZIROZE01 adult preventive care");
  ASSERT_NE(english, std::string::npos);
  const auto chinese = Examples(std::string_view(note).substr(0, english), "查詢結果");
  const auto examples = Examples(std::string_view(note).substr(english), "Result");
  EXPECT_EQ(chinese, examples);
  std::set<std::string> codes;
  for (const NoteExample& example : examples) codes.insert(example.code);
  EXPECT_EQ(codes.size(), examples.size());
  for (const char* verdict : {"3000", "3003", "3004", "3333", "3444"})
    EXPECT_TRUE(codes.contains(verdict)) << verdict;
  EXPECT_EQ(examples.size(), 6u) << "one example per verdict and a failure";

  testing_support::TempDir dir;
  const std::filesystem::path folder = dir.path() / "ZIROZE01";
  std::filesystem::create_directory(folder);
  std::filesystem::copy_file(package / "ZIROZE01.exe", folder / "ZIROZE01.exe");
  std::filesystem::copy_file(package / "simulator" / "VANTOCSAPI.dll", folder / "VANTOCSAPI.dll");

  StationProcess station(folder / "ZIROZE01.exe");
  ASSERT_TRUE(station.started()) << GetLastError();
  const int dpi = win32ui::ScreenDpi();
  const app::forms::Window& settings = app::forms::SettingsDialog();
  HWND dialog = station.WaitForWindow(L"", settings.caption);
  ASSERT_NE(dialog, nullptr) << "no 環境設定 at the first start";
  const app::forms::Control* ok = app::forms::FindControl(settings, "OKButton");
  DWORD_PTR ignored = 0;
  ASSERT_TRUE(SendMessageTimeoutW(
      FindChild(dialog, win32_testing::ExpectedClass(ok->kind), ok->text, PlaceInWindow(settings, *ok, dpi)),
      BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 30000, &ignored));

  const app::forms::Window& described = app::forms::MainWindow();
  HWND main = station.WaitForWindow(L"", SimulatorCaption());
  ASSERT_NE(main, nullptr);
  const auto find = [&](std::string_view name, std::optional<std::u16string_view> caption) {
    const app::forms::Control* control = app::forms::FindControl(described, name);
    return FindChild(main, win32_testing::ExpectedClass(control->kind), caption,
                     PlaceInWindow(described, *control, dpi));
  };
  HWND query = find("btnQuery", app::forms::FindControl(described, "btnQuery")->text);
  ASSERT_NE(query, nullptr);
  for (const NoteExample& example : examples) {
    SCOPED_TRACE(example.code);
    std::ofstream(folder / "cardsim.ini", std::ios::binary) << "\xEF\xBB\xBF" << example.scenario;
    ASSERT_TRUE(SendMessageTimeoutW(query, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 30000, &ignored));
    HWND box = find("txtMessage", std::nullopt);
    const std::string message = box ? U8(StationProcess::Text(box)) : "(no box)";
    EXPECT_TRUE(message.starts_with(example.code + "：")) << message;
  }

  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(station.handle(), 30000), WAIT_OBJECT_0);
  EXPECT_TRUE(std::filesystem::exists(folder / "VANTOQuery.ini")) << "the port chosen is not stored";
}

// The station where its Windows Installer package put it (check_msi.sh names the folder): the first
// start asks for the port and stores it beside the program, in the folder the clerk may write.
TEST(InstalledStation, FirstStartStoresThePortBesideTheProgram) {
  const wchar_t* folder = _wgetenv(L"ZIROZE_INSTALLED_DIR");
  if (!folder || !*folder) GTEST_SKIP() << "ZIROZE_INSTALLED_DIR names no installed station";
  const std::filesystem::path installed = folder;
  StationProcess station(installed / "ZIROZE01.exe");
  ASSERT_TRUE(station.started()) << GetLastError();
  const app::forms::Window& settings = app::forms::SettingsDialog();
  HWND dialog = station.WaitForWindow(L"", settings.caption);
  ASSERT_NE(dialog, nullptr) << "no 環境設定 at the first start";
  const app::forms::Control* ok = app::forms::FindControl(settings, "OKButton");
  DWORD_PTR ignored = 0;
  ASSERT_TRUE(SendMessageTimeoutW(FindChild(dialog, win32_testing::ExpectedClass(ok->kind), ok->text,
                                            PlaceInWindow(settings, *ok, win32ui::ScreenDpi())),
                                  BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 30000, &ignored));
  HWND main = station.WaitForWindow(L"", app::forms::MainWindow().caption);
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(station.handle(), 30000), WAIT_OBJECT_0);
  EXPECT_TRUE(std::filesystem::exists(installed / "VANTOQuery.ini")) << "the port chosen is not stored";
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
  HWND main = station.WaitForWindow(L"", SimulatorCaption());
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
  HWND main = station.WaitForWindow(L"", SimulatorCaption());
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
