#include <gtest/gtest.h>

#include <set>
#include <type_traits>

#include "cardservice/status_catalogue.h"
#include "tests/support/station_fixture.h"

namespace {

using cardservice::StatusCatalogue;
using cardservice::StatusMessage;
using testing_support::U8;

TEST(StatusCatalogueTest, NinetySixUniqueCodesInAscendingOrder) {
  const auto catalogue = StatusCatalogue();
  EXPECT_EQ(catalogue.size(), 96u);
  for (size_t i = 1; i < catalogue.size(); ++i) EXPECT_LT(catalogue[i - 1].code, catalogue[i].code);
  EXPECT_EQ(catalogue.front().code, -1);
  EXPECT_EQ(catalogue.back().code, 9092);
}

TEST(StatusCatalogueTest, TextsAreExact) {
  const struct {
    std::int16_t code;
    std::string text;
  } rows[] = {
      {-1, "找不到COM PORT"},
      {0, "成功"},
      {4000, "讀卡機tmieout"},
      {4012, "未置入安全模組卡"},
      {5052, "有新生兒出生日期 , 但無新生兒胞胎註記資料"},
      {5061, "同意器官捐贈及安寧緩和醫療註記寫入失敗寫入失敗 "},
      {5087, "刪除「孕婦產前檢查(限女性)」全部11 組的資料失敗"},
      {5107, "使用者輸入兩次新PIN 值，兩次PIN 值不合"},
      {6014, "IDC 驗證簽章失敗"},
      {9001, "送至IDC Message Header 檢核不符"},
      {9081, "卡片可用次數大於3次, 未達可更新標準"},
      {9092, "其他"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.code);
    const auto message = StatusMessage(row.code);
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(U8(*message), row.text);
  }
}

TEST(StatusCatalogueTest, NeighboursThatAreNotListedHaveNoText) {
  for (std::int16_t code : {3999, 4001, 4011, 9093, 32767, -32768, -2, 1}) {
    SCOPED_TRACE(code);
    EXPECT_FALSE(StatusMessage(code).has_value());
  }
}

class ProcessErrorCodeTest : public testing_support::StationTest {};

TEST_F(ProcessErrorCodeTest, ShowsTheTextAloneOrNothing) {
  // The caller's code stays as it was: the operation cannot reach it.
  static_assert(
      std::is_same_v<decltype(&app::Station::ProcessErrorCode), void (app::Station::*)(std::int16_t)>);
  station.ProcessErrorCode(4012);
  station.ProcessErrorCode(0);
  station.ProcessErrorCode(4001);
  EXPECT_EQ(view.messages, (std::vector<std::u16string>{u"未置入安全模組卡", u"成功"}));
  EXPECT_TRUE(events.size() == 2u);
}

}  // namespace
