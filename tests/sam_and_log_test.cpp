#include <gtest/gtest.h>

#include "app/messages.h"
#include "tests/support/station_fixture.h"

namespace {

using app::Box;
using testing_support::StationTest;
using testing_support::U8;
using Events = std::vector<std::string>;

const std::string kSuccess = "0：讀卡機安全模組認證完成!\r\n";

class SamAuthTest : public StationTest {};

TEST_F(SamAuthTest, OutcomeOfTheAuthentication) {
  const struct {
    const char* name;
    std::int32_t open;
    std::int16_t verify;
    Events calls;
  } rows[] = {
      {"success", 0, 0, {"csOpenCom(2)", "csVerifySAMDC()", "csCloseCom()"}},
      {"no SAM card",
       0,
       4012,
       {"csOpenCom(2)", "csVerifySAMDC()", "message 未置入安全模組卡", "csCloseCom()"}},
      {"port not found",
       0,
       -1,
       {"csOpenCom(2)", "csVerifySAMDC()", "message 找不到COM PORT", "csCloseCom()"}},
      {"code outside the catalogue", 0, 1, {"csOpenCom(2)", "csVerifySAMDC()", "csCloseCom()"}},
      {"open fails -1", -1, 0, {"csOpenCom(2)", "message 開啟 COM Port 失敗", "csCloseCom()"}},
      {"open fails 1", 1, 0, {"csOpenCom(2)", "message 開啟 COM Port 失敗", "csCloseCom()"}},
      {"open fails beyond 16 bits", 65536, 0, {"csOpenCom(2)", "message 開啟 COM Port 失敗", "csCloseCom()"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    events.clear();
    view.boxes[Box::Message] = u"earlier";
    card.status = {{"csOpenCom", row.open}, {"csVerifySAMDC", row.verify}};
    station.ClickSamAuth();
    EXPECT_EQ(events, row.calls);
    const bool success = row.open == 0 && row.verify == 0;
    EXPECT_EQ(U8(view.Box(Box::Message)), success ? kSuccess : "earlier");
  }
}

TEST_F(SamAuthTest, FailureAfterSuccessKeepsTheSuccessText) {
  station.ClickSamAuth();
  card.status["csVerifySAMDC"] = 4051;
  station.ClickSamAuth();
  EXPECT_EQ(U8(view.Box(Box::Message)), kSuccess);
  EXPECT_EQ(view.messages, std::vector<std::u16string>{u"安全模組與IDC認證失敗"});
}

TEST_F(SamAuthTest, LeavesTheQueryBoxesAndFontsAlone) {
  view.boxes[Box::CardId] = u"000012345678";
  view.boxes[Box::HospId] = u"3501200000";
  station.ClickSamAuth();
  EXPECT_EQ(view.Box(Box::CardId), u"000012345678");
  EXPECT_EQ(view.Box(Box::HospId), u"3501200000");
  EXPECT_EQ(view.fontResets, 0);
}

TEST_F(SamAuthTest, MissingVerificationIsReportedAndThePortClosed) {
  card.missing = {"csVerifySAMDC"};
  station.ClickSamAuth();
  EXPECT_EQ(events, (Events{"csOpenCom(2)", "missing csVerifySAMDC",
                            "message 讀卡服務元件缺少功能：csVerifySAMDC", "csCloseCom()"}));
}

class ServiceLogTest : public StationTest {};

TEST_F(ServiceLogTest, ItemCodeChoosesTheCall) {
  const struct {
    std::u16string item;
    Events calls;
  } rows[] = {
      {u"21：40歲以上未滿65歲者，每三年補助乙次", {"vantoInsAdultLog()"}},
      {u"22：65歲以上者，每年補助乙次", {"vantoInsAdultLog()"}},
      {u"25：罹患小兒麻痺且年在35歲以上者，每年補助乙次", {"vantoInsAdultLog()"}},
      {u"27：身分別為原住民且55歲以上未滿65歲，每一年補助乙次", {"vantoInsAdultLog()"}},
      {u"YB：退掛", {"vantoUnAdultLog()"}},
      {u"21 typed by hand", {"vantoInsAdultLog()"}},
      {u"YBX", {"vantoUnAdultLog()"}},
      {u"請選擇", {}},
      {u"yb：退掛", {}},
      {u"2", {}},
      {u"", {}},
      {u"23：", {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(U8(row.item));
    events.clear();
    view.serviceItem = row.item;
    station.ClickWrite();
    Events expected = row.calls;
    expected.push_back("message 寫卡完成：0");
    EXPECT_EQ(events, expected);
  }
}

TEST_F(ServiceLogTest, StatusIsShownAsItIs) {
  for (std::int16_t status : {4000, -1, 4050}) {
    SCOPED_TRACE(status);
    view.messages.clear();
    card.status["vantoUnAdultLog"] = status;
    view.serviceItem = u"YB：退掛";
    station.ClickWrite();
    EXPECT_EQ(view.messages, std::vector<std::u16string>{u"寫卡完成：" + app::DecimalText(status)});
  }
}

TEST_F(ServiceLogTest, NeverTouchesPortOrSettingsOrBoxes) {
  dir.Write("VANTOQuery.ini", "");  // no port stored: no warning either
  view.serviceItem = u"22：65歲以上者，每年補助乙次";
  station.ClickWrite();
  EXPECT_EQ(events, (Events{"vantoInsAdultLog()", "message 寫卡完成：0"}));
  EXPECT_TRUE(view.AllBoxesEmpty());
}

TEST_F(ServiceLogTest, MissingOperationIsReportedInsteadOfAStatus) {
  card.missing = {"vantoInsAdultLog"};
  view.serviceItem = u"21：";
  station.ClickWrite();
  EXPECT_EQ(view.messages, std::vector<std::u16string>{u"讀卡服務元件缺少功能：vantoInsAdultLog"});
}

}  // namespace
