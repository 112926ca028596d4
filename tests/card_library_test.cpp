#include <gtest/gtest.h>

#include <functional>
#include <type_traits>

#include "cardservice/card_api.h"
#include "cardservice/card_library.h"
#include "settings/program_directory.h"
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
    return U8(unavailable.message());
  }
  return "(no failure)";
}

// The first line names the library; on Windows a second one gives the system's reason with its
// number, and a third what to do where the station can tell.
TEST(CardLibraryTest, LibraryThatDoesNotLoadIsReportedWithItsPathAndCause) {
  TempDir dir;
  const auto missing = dir.path() / CardLibrary::FileName();
  const auto noLibrary = dir.Write("no-library.dll", "not a library");
  const auto standIns = settings::ProgramDirectory() / "stand-ins";
  const struct {
    const char* name;
    std::filesystem::path file;
    std::string windowsErrorNumber;  // empty: not on Windows
    std::string windowsAdvice;       // empty: the second line ends the message
  } rows[] = {
      {"missing", missing, "126", ""},
      {"not a library", noLibrary, "193", ""},
#ifdef _WIN32
      {"built for the other processor", standIns / "other-processor" / CardLibrary::FileName(), "193",
       sizeof(void*) == 8 ? "這是 32 位元的讀卡服務元件，請改用 32 位元的套件（win32）。"
                          : "這是 64 位元的讀卡服務元件，請改用 64 位元的套件（win64）。"},
      {"its reader driver missing", settings::ProgramDirectory() / READER_IMPORTING_LIBRARY_NAME, "126",
       "讀卡服務元件本身存在，但它所需要的其他 DLL 找不到。"},
#endif
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    CardLibrary library(row.file);
    const std::string message = UnavailableMessage([&] { library.csOpenCom(0); });
    std::string expected = "無法載入讀卡服務元件：" + U8(settings::DisplayPath(row.file));
#ifdef _WIN32
    ASSERT_TRUE(message.starts_with(expected + "\n")) << message;
    const std::string cause = message.substr(expected.size() + 1);
    const std::string number = "（錯誤碼 " + row.windowsErrorNumber + "）";
    const auto end = cause.find(number);
    ASSERT_NE(end, std::string::npos) << cause;
    EXPECT_GT(end, 0u) << "no text of the system's before the number";
    EXPECT_EQ(cause.find("%1"), std::string::npos) << "the file's place in the system's text not filled";
    EXPECT_EQ(cause.substr(end + number.size()), row.windowsAdvice.empty() ? "" : "\n" + row.windowsAdvice);
#else
    EXPECT_EQ(message, expected);
#endif
    // Still not there at the next click: the same message, no crash.
    EXPECT_EQ(UnavailableMessage([&] { library.csCloseCom(); }), message);
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
