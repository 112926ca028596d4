#include <gtest/gtest.h>

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
  EXPECT_EQ(UnavailableMessage([&] { library.csOpenCom(0); }), "無法載入讀卡服務元件：" + U8(settings::DisplayPath(file)));
  // Still not there at the next click: the same message, no crash.
  EXPECT_EQ(UnavailableMessage([&] { library.csCloseCom(); }), "無法載入讀卡服務元件：" + U8(settings::DisplayPath(file)));
}

TEST(CardLibraryTest, FileThatIsNoLibraryIsReportedLikeAMissingOne) {
  TempDir dir;
  const auto file = dir.Write(CardLibrary::FileName(), "not a library");
  CardLibrary library(file);
  EXPECT_EQ(UnavailableMessage([&] { library.csOpenCom(0); }), "無法載入讀卡服務元件：" + U8(settings::DisplayPath(file)));
}

TEST(CardLibraryTest, MissingOperationIsReportedByName) {
  CardLibrary library(settings::FileBeside(settings::ProgramDirectory(), PARTIAL_LIBRARY_NAME));
  EXPECT_EQ(library.csOpenCom(0), 0);
  char buffer[10] = {};
  std::int32_t length = 10;
  EXPECT_EQ(UnavailableMessage([&] { library.csGetHospID(buffer, &length); }), "讀卡服務元件缺少功能：csGetHospID");
  EXPECT_EQ(library.csCloseCom(), 0);
}

}  // namespace
