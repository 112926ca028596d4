#include <gtest/gtest.h>

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

TEST(CardLibraryTest, MissingLibraryIsReportedWithItsPath) {
  TempDir dir;
  const auto file = dir.path() / CardLibrary::FileName();
  CardLibrary library(file);
  EXPECT_EQ(UnavailableMessage([&] { library.csOpenCom(0); }),
            "無法載入讀卡服務元件：" + U8(settings::DisplayPath(file)));
  // Still not there at the next click: the same message, no crash.
  EXPECT_EQ(UnavailableMessage([&] { library.csCloseCom(); }),
            "無法載入讀卡服務元件：" + U8(settings::DisplayPath(file)));
}

TEST(CardLibraryTest, FileThatIsNoLibraryIsReportedLikeAMissingOne) {
  TempDir dir;
  const auto file = dir.Write(CardLibrary::FileName(), "not a library");
  CardLibrary library(file);
  EXPECT_EQ(UnavailableMessage([&] { library.csOpenCom(0); }),
            "無法載入讀卡服務元件：" + U8(settings::DisplayPath(file)));
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
