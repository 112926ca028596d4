#include <gtest/gtest.h>

#include <functional>
#include <type_traits>

#include "app/library_failure_text.h"
#include "app/station.h"
#include "cardservice/card_api.h"
#include "cardservice/card_library.h"
#include "settings/program_directory.h"
#include "tests/support/fake_station_view.h"
#include "tests/support/temp_dir.h"

namespace {

using cardservice::CardLibrary;
using cardservice::CardServiceUnavailable;
using testing_support::TempDir;
using testing_support::U8;

std::string UnavailableMessage(const std::function<void()>& call) {
  try {
    call();
  } catch (const CardServiceUnavailable& unavailable) {
    return U8(app::UnavailableText(unavailable));
  }
  return "(no failure)";
}

// A file with a Windows program's headers for a processor the station is never built for (ARM64).
std::string OtherProcessorProgram() {
  std::string bytes(512, '\0');
  bytes.replace(0, 2, "MZ");
  bytes[0x3C] = 0x40;
  bytes.replace(0x40, 6, std::string("PE\0\0\x64\xAA", 6));
  return bytes;
}

// The first line names the library, a second one gives the system's reason (on Windows with its
// number), and a third what to do.
TEST(CardLibraryTest, LibraryThatDoesNotLoadIsReportedWithItsPathCauseAndRemedy) {
  TempDir dir;
  const auto missing = dir.path() / CardLibrary::FileName();
  const auto noLibrary = dir.Write("no-library.dll", "not a library");
  const auto otherProgram = dir.Write("other-program.dll", OtherProcessorProgram());
  const auto standIns = settings::ProgramDirectory() / "stand-ins";
  const std::string vendorLibrary = CardLibrary::FileName();
  const struct {
    const char* name;
    std::filesystem::path file;
    std::string windowsErrorNumber;  // empty: any
    std::string advice;
  } rows[] = {
      {"missing", missing, "126",
       "找不到這個檔案：請資訊人員將讀卡服務廠商提供的 " + vendorLibrary + " 放到程式所在的資料夾：" +
           U8(settings::DisplayPath(dir.path()))},
      {"not a library", noLibrary, "193",
       "這個檔案不是 DLL，不是讀卡服務元件：請換成讀卡服務廠商提供的 " + vendorLibrary + "。"},
      {"a program for neither processor", otherProgram, "",
       "這個 DLL 不是給本程式的處理器用的，不是本程式能載入的讀卡服務元件：請換成讀卡服務廠商提供的 " +
           vendorLibrary + "。"},
#ifdef _WIN32
      {"built for the other processor", standIns / "other-processor" / CardLibrary::FileName(), "193",
       sizeof(void*) == 8 ? "這是 32 位元的讀卡服務元件，請改用 32 位元的套件（win32）。"
                          : "這是 64 位元的讀卡服務元件，請改用 64 位元的套件（win64）。"},
      {"its reader driver missing", settings::ProgramDirectory() / READER_IMPORTING_LIBRARY_NAME, "126",
       "讀卡服務元件所需的讀卡機驅動程式 Reader.dll "
       "不在它的資料夾內，請資訊人員將廠商提供的驅動程式放到這個資料夾：" +
           U8(settings::DisplayPath(settings::ProgramDirectory()))},
#endif
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    CardLibrary library(row.file);
    const std::string message = UnavailableMessage([&] { library.csOpenCom(0); });
    const std::string expected = "無法載入讀卡服務元件：" + U8(settings::DisplayPath(row.file)) + "\n";
    ASSERT_TRUE(message.starts_with(expected)) << message;
    const std::string cause = message.substr(expected.size());
    const auto end = cause.find('\n');
    ASSERT_NE(end, std::string::npos) << cause;
    EXPECT_EQ(cause.substr(end + 1), row.advice);
    EXPECT_GT(end, 0u) << "no text of the system's";
#ifdef _WIN32
    EXPECT_EQ(cause.find("%1"), std::string::npos) << "the file's place in the system's text not filled";
    const std::string number = "（錯誤碼 " + row.windowsErrorNumber;
    const auto at = cause.find(number);
    ASSERT_NE(at, std::string::npos) << cause;
    EXPECT_GT(at, 0u) << "no text of the system's before the number";
#endif
    // Still not there at the next click: the same message, no crash.
    EXPECT_EQ(UnavailableMessage([&] { library.csCloseCom(); }), message);
  }
}

// The simulator answers every patient as eligible unless told otherwise: a desk must see it in the
// main window's caption, and must not see the mark with any other library.
TEST(CardLibraryTest, OnlyTheSimulatorMarksTheCaption) {
  TempDir dir;
  const auto beside = [](const char* name) {
    return settings::FileBeside(settings::ProgramDirectory(), name);
  };
  const struct {
    const char* name;
    std::filesystem::path file;
    std::string caption;
  } rows[] = {
      {"the simulator", beside(CardLibrary::FileName()), "DoravelSerovia - 模擬讀卡機"},
      {"a library with every operation", beside(UNMASKING_LIBRARY_NAME), "DoravelSerovia"},
      {"a library with some operations", beside(PARTIAL_LIBRARY_NAME), "DoravelSerovia"},
      {"no library", dir.path() / CardLibrary::FileName(), "DoravelSerovia"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    settings::PortSettingStore store{dir.path()};
    std::vector<std::string> events;
    testing_support::FakeStationView view{events};
    CardLibrary library(row.file);
    app::Station station{view, store, library};
    station.Load();
    EXPECT_EQ(U8(view.caption), row.caption);
  }
}

TEST(CardLibraryTest, MissingOperationIsReportedByName) {
  CardLibrary library(settings::FileBeside(settings::ProgramDirectory(), PARTIAL_LIBRARY_NAME));
  EXPECT_EQ(library.csOpenCom(0), 0);
  char buffer[10] = {};
  std::int32_t length = 10;
  EXPECT_EQ(UnavailableMessage([&] { library.csGetHospID(buffer, &length); }),
            "讀卡服務元件缺少功能：csGetHospID");
  EXPECT_EQ(library.csCloseCom(), 0);
}

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
struct FloatingPointControlWords {
  std::uint16_t x87 = 0;
  std::uint32_t sse = 0;
  static FloatingPointControlWords Now() {
    FloatingPointControlWords words;
    asm volatile("fnstcw %0" : "=m"(words.x87));
#ifdef __x86_64__
    asm volatile("stmxcsr %0" : "=m"(words.sse));
#endif
    return words;
  }
};

// A library that unmasks floating-point exceptions would end the station at its next division by
// zero; the binding gives the station its own control words back after every call.
TEST(CardLibraryTest, LibraryCallKeepsTheFloatingPointControl) {
  CardLibrary library(settings::FileBeside(settings::ProgramDirectory(), UNMASKING_LIBRARY_NAME));
  const FloatingPointControlWords before = FloatingPointControlWords::Now();
  EXPECT_NE(library.csOpenCom(0), before.x87) << "the stand-in left the control word alone";
  const FloatingPointControlWords after = FloatingPointControlWords::Now();
  EXPECT_EQ(after.x87, before.x87);
  EXPECT_EQ(after.sse, before.sse);
}
#endif

}  // namespace

#if defined(_WIN32) && defined(__i386__)
#include <windows.h>

// Pushes `argumentBytes` of zeros, calls `operation` and returns how far the stack pointer moved:
// 0 when the operation popped its own arguments, as __stdcall requires; minus the argument bytes
// for a __cdecl function.
extern "C" int StackDrift(void* operation, int argumentBytes);
asm(R"(
  .text
  .globl _StackDrift
_StackDrift:
  push %ebp
  mov %esp, %ebp
  push %esi
  push %edi
  mov %esp, %esi
  mov 12(%ebp), %edi
  shr $2, %edi
1:
  test %edi, %edi
  jz 2f
  push $0
  dec %edi
  jmp 1b
2:
  call *8(%ebp)
  mov %esp, %eax
  sub %esi, %eax
  lea -8(%ebp), %esp
  pop %edi
  pop %esi
  pop %ebp
  ret
)");

namespace {

// The clinics' library is called as __stdcall: the simulator must be one, and so must the binding's
// view of every operation.
static_assert(std::is_same_v<csOpenCom_t, int32_t(__stdcall*)(int16_t)>);
static_assert(std::is_same_v<vantoGetAdultPreventSilence_t,
                             int32_t(__stdcall*)(char*, int32_t*, char*, int32_t*, char*, int32_t*)>);

TEST(CardLibraryTest, SimulatorOperationsPopTheirOwnArguments) {
  testing_support::TempDir dir;
  HMODULE library = LoadLibraryW(
      settings::FileBeside(settings::ProgramDirectory(), CardLibrary::FileName()).wstring().c_str());
  ASSERT_NE(library, nullptr);
  const struct {
    const char* name;
    int argumentBytes;
  } rows[] = {{"csOpenCom", 4},
              {"csGetHospID", 8},
              {"csGetCardNo", 12},
              {"hisGetBasicData", 8},
              {"hisGetRegisterPrevent", 8},
              {"vantoGetAdultPreventSilence", 24},
              {"vantoGetBCPreventSilence", 24},
              {"csCloseCom", 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    void* operation = reinterpret_cast<void*>(GetProcAddress(library, row.name));
    ASSERT_NE(operation, nullptr) << "not exported under its plain name";
    EXPECT_EQ(StackDrift(operation, row.argumentBytes), 0);
  }
}

}  // namespace
#endif
