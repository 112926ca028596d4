#include <gtest/gtest.h>

#include "tests/support/station_fixture.h"

namespace {

using app::Box;
using testing_support::StationTest;
using testing_support::U8;
using Events = std::vector<std::string>;

const std::string kOpen = "csOpenCom(2)";
const std::string kHosp = "csGetHospID(len=10)";
const std::string kSam = "csGetCardNo(1,len=12)";
const std::string kBasic = "hisGetBasicData(len=72)";
const std::string kInteractive = "vantoGetAdultPrevent()";
const std::string kSilent = "vantoGetAdultPreventSilence(len=256,len=256,len=256)";
const std::string kClose = "csCloseCom()";

// Basic data: card number, a double-byte name (bytes 13-32), identity number, birth date, the rest.
const std::string kBasicData = std::string("000012345678") + "\xa4\xfd\xa4\x70\xa9\xfa" +
                               std::string(14, ' ') + "A123456789" + "0550815" + "M1050301 0223456789    ";

class QueryTest : public StationTest {
 protected:
  QueryTest() {
    card.bytes["csGetHospID"] = "3501200000";
    card.bytes["csGetCardNo"] = "100000000001";
    card.bytes["hisGetBasicData"] = kBasicData;
    card.status["vantoGetAdultPrevent"] = 3000;
    card.status["vantoGetAdultPreventSilence"] = 3000;
  }
};

TEST_F(QueryTest, EligiblePatientFillsEveryBox) {
  view.boxes[Box::Message] = u"old";
  station.ClickQuery();
  EXPECT_EQ(events, (Events{kOpen, kHosp, kSam, kBasic, kInteractive, kClose}));
  EXPECT_EQ(U8(view.Box(Box::HospId)), "3501200000");
  EXPECT_EQ(U8(view.Box(Box::SamId)), "100000000001");
  EXPECT_EQ(U8(view.Box(Box::CardId)), "000012345678");
  EXPECT_EQ(U8(view.Box(Box::Asid)), "A123456789");
  EXPECT_EQ(U8(view.Box(Box::Birthday)), "0550815");
  EXPECT_EQ(U8(view.Box(Box::Message)),
            "3000：請確定民眾符合實施成人預防保健資格，\r\n"
            "提醒您!成人預防保健 B、C 肝炎篩檢是必須搭配成人預防保健服務實施，否則不予補助!");
  EXPECT_EQ(view.fontResets, 1);
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(QueryTest, EachVerdictFollowsItsStatus) {
  const struct {
    std::int32_t status;
    std::string message;
  } rows[] = {
      {3333,
       "3333：成人預防保健「Brisa」方案: \r\n1.四十歲以上未滿六十五歲者，每三年補助一次。 \r\n"
       "2.六十五歲以上者，每年補助一次。\r\n3.罹患小兒麻痺且年在三十五歲以上者，每年補助一次。\r\n"
       "4.五十五歲以上原住民，每年補助一次。\r\n成人預防保健服務加入B、C型肝炎篩檢，執行條件為民國55年或以後"
       "出生且滿45歲，可搭配成人預防保健服務，但終身接受1次檢查。"},
      {3003, "3003：該民眾符合實施成人預防保健資格，但B、C型肝炎篩檢年齡不符。"},
      {3004, "3004：該民眾符合實施成人預防保健資格，但已做B、C型肝炎篩檢過。"},
      {3444, "3444：該民眾已有完成成人預防保健服務之紀錄。"},
      {0, "0：作業異常，請查明是院內環境或是Serovia系統異常。"},
      {-1, "-1：作業異常，請查明是院內環境或是Serovia系統異常。"},
      // A 32-bit outcome whose low 16 bits are 3000 is not an eligible patient.
      {68536, "68536：作業異常，請查明是院內環境或是Serovia系統異常。"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.status);
    card.status["vantoGetAdultPrevent"] = row.status;
    station.ClickQuery();
    EXPECT_EQ(U8(view.Box(Box::Message)), row.message);
  }
}

TEST_F(QueryTest, PlanRulesAreSixLinesWithoutTrailingBreak) {
  card.status["vantoGetAdultPrevent"] = 3333;
  station.ClickQuery();
  const std::string message = U8(view.Box(Box::Message));
  size_t breaks = 0;
  for (size_t at = message.find("\r\n"); at != std::string::npos; at = message.find("\r\n", at + 2)) ++breaks;
  EXPECT_EQ(breaks, 5u);
  EXPECT_FALSE(message.ends_with("\r\n"));
  EXPECT_TRUE(message.starts_with("3333："));
}

TEST_F(QueryTest, FailingStepShowsItsTextAndClosesThePort) {
  const struct {
    const char* name;
    std::string operation;
    std::int32_t status;
    Events calls;
    std::string message;
    bool hospShown, samShown;
  } rows[] = {
      {"hospital code time-out",
       "csGetHospID",
       4000,
       {kOpen, kHosp, kClose},
       "4000：讀取醫療院所代號異常",
       false,
       false},
      {"hospital code -1",
       "csGetHospID",
       -1,
       {kOpen, kHosp, kClose},
       "-1：讀取醫療院所代號異常",
       false,
       false},
      {"hospital code 65536 is no success",
       "csGetHospID",
       65536,
       {kOpen, kHosp, kClose},
       "65536：讀取醫療院所代號異常",
       false,
       false},
      {"SAM number",
       "csGetCardNo",
       4012,
       {kOpen, kHosp, kSam, kClose},
       "4012：讀取安全模組卡號異常",
       true,
       false},
      {"SAM number -1",
       "csGetCardNo",
       -1,
       {kOpen, kHosp, kSam, kClose},
       "-1：讀取安全模組卡號異常",
       true,
       false},
      {"basic data",
       "hisGetBasicData",
       4013,
       {kOpen, kHosp, kSam, kBasic, kClose},
       "4013：請確定已置入健保卡",
       true,
       true},
      {"basic data -1",
       "hisGetBasicData",
       -1,
       {kOpen, kHosp, kSam, kBasic, kClose},
       "-1：請確定已置入健保卡",
       true,
       true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    events.clear();
    card.status = {{row.operation, row.status}};
    view.boxes[Box::CardId] = u"left from before";
    station.ClickQuery();
    EXPECT_EQ(events, row.calls);
    EXPECT_EQ(U8(view.Box(Box::Message)), row.message);
    EXPECT_EQ(view.Box(Box::HospId).empty(), !row.hospShown);
    EXPECT_EQ(view.Box(Box::SamId).empty(), !row.samShown);
    EXPECT_EQ(view.Box(Box::CardId), u"");
    EXPECT_EQ(view.Box(Box::Birthday), u"");
    EXPECT_TRUE(view.messages.empty());
  }
}

TEST_F(QueryTest, PortThatFailsToOpenShowsOnlyTheMessageBox) {
  for (std::int32_t status : {-1, 1, 65536}) {
    SCOPED_TRACE(status);
    events.clear();
    card.status = {{"csOpenCom", status}};
    station.ClickQuery();
    EXPECT_EQ(events, (Events{kOpen, "message 開啟 COM Port 失敗", kClose}));
    EXPECT_TRUE(view.AllBoxesEmpty());
  }
}

TEST_F(QueryTest, OnlyTheExactInteractiveTextChoosesTheInteractiveCall) {
  const struct {
    std::u16string mode;
    std::string call;
  } rows[] = {
      {u"有對話框", kInteractive},
      {u"無對話框", kSilent},
      {u"", kSilent},
      {u"有對話框 ", kSilent},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(U8(row.mode));
    events.clear();
    view.callMode = row.mode;
    station.ClickQuery();
    EXPECT_EQ(events, (Events{kOpen, kHosp, kSam, kBasic, row.call, kClose}));
    EXPECT_TRUE(U8(view.Box(Box::Message)).starts_with("3000："));
  }
}

TEST_F(QueryTest, FieldsAreCutByBytePosition) {
  const struct {
    const char* name;
    std::string basicData;
    std::string card, id, birthday;
  } rows[] = {
      {"double-byte name", kBasicData, "000012345678", "A123456789", "0550815"},
      // A double-byte character in the identity number: fewer characters, padded with blanks.
      {"double-byte identity",
       std::string("000012345678") + std::string(20, ' ') +
           "\xa4\xa4"
           "12345678" +
           "0550815" + std::string(23, ' '),
       "000012345678", "中12345678 ", "0550815"},
      // A rare character of a name, from the code page's user-defined area, keeps its two bytes.
      {"user-defined character in the name",
       std::string("000012345678") + "\xfa\x40\xa4\x70" + std::string(16, ' ') + "A123456789" + "0550815" +
           std::string(23, ' '),
       "000012345678", "A123456789", "0550815"},
      // Bytes that the code page cannot convert become fewer characters; the fields behind them
      // must not move.
      {"unconvertible name",
       std::string("000012345678") + std::string(20, '\x81') + "A123456789" + "0550815" +
           std::string(23, ' '),
       "000012345678", "A123456789", "0550815"},
      {"lead bytes before 0xFF",
       std::string("000012345678") + std::string(10, '\xff') + "\xa4\xff\xa4\xff" +
           "\xa4\xff\xa4\xff\xa4\xff" + "A123456789" + "0550815" + std::string(23, ' '),
       "000012345678", "A123456789", "0550815"},
      // The library filled only part of the buffer: a text box shows what comes before the NULs.
      {"partly filled", std::string("0000123"), "0000123", "", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    card.bytes["hisGetBasicData"] = row.basicData;
    station.ClickQuery();
    EXPECT_EQ(U8(view.Box(Box::CardId)), row.card);
    EXPECT_EQ(U8(view.Box(Box::Asid)), row.id);
    EXPECT_EQ(U8(view.Box(Box::Birthday)), row.birthday);
  }
}

TEST_F(QueryTest, BufferTextsAreShownUntrimmedUpToTheirFirstNul) {
  card.bytes["csGetHospID"] = "35012  ";
  card.bytes["csGetCardNo"] = std::string(
      "1000\0"
      "0000001",
      12);
  station.ClickQuery();
  EXPECT_EQ(U8(view.Box(Box::HospId)), "35012  ");
  EXPECT_EQ(U8(view.Box(Box::SamId)), "1000");
}

TEST_F(QueryTest, MissingOperationIsReportedAndThePortStillClosed) {
  const struct {
    std::string missing;
    Events calls;
  } rows[] = {
      {"csOpenCom", {"missing csOpenCom", "message 讀卡服務元件缺少功能：csOpenCom"}},
      {"csGetCardNo",
       {kOpen, kHosp, "missing csGetCardNo", "message 讀卡服務元件缺少功能：csGetCardNo", kClose}},
      {"csCloseCom",
       {kOpen, kHosp, kSam, kBasic, kInteractive, "missing csCloseCom",
        "message 讀卡服務元件缺少功能：csCloseCom"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.missing);
    events.clear();
    card.missing = {row.missing};
    station.ClickQuery();
    EXPECT_EQ(events, row.calls);
  }
}

TEST_F(QueryTest, NoStoredPortWarnsAndOpensPortZero) {
  dir.Write("VANTOQuery.ini", "");
  station.ClickQuery();
  EXPECT_EQ(events, (Events{"message 讀卡機連接埠未完成設定將無法正常使用!!", "csOpenCom(0)", kHosp, kSam,
                            kBasic, kInteractive, kClose}));
}

}  // namespace
