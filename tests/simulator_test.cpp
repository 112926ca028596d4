#include <gtest/gtest.h>

#include <chrono>

#include "cardservice/card_library.h"
#include "settings/program_directory.h"
#include "simulator/scenario.h"
#include "tests/support/station_fixture.h"
#include "text/utf8.h"

namespace {

using app::Box;
using cardservice::CardLibrary;
using testing_support::U8;

// The station with the real simulator copied into a program directory of its own, so that every
// test starts with a freshly loaded library.
class SimulatorTest : public ::testing::Test {
 protected:
  SimulatorTest() {
    std::filesystem::copy_file(settings::FileBeside(settings::ProgramDirectory(), CardLibrary::FileName()),
                               dir.path() / CardLibrary::FileName());
    dir.Write("VANTOQuery.ini", testing_support::SettingsFile("1"));
  }
  void Scenario(std::string_view text) { dir.Write("cardsim.ini", text); }
  std::string Message() const { return U8(view.Box(Box::Message)); }

  testing_support::TempDir dir;
  settings::PortSettingStore store{dir.path()};
  std::vector<std::string> events;
  testing_support::FakeStationView view{events};
  CardLibrary library{settings::FileBeside(dir.path(), CardLibrary::FileName())};
  app::Station station{view, store, library};
};

TEST_F(SimulatorTest, DefaultScenarioIsAnEligiblePatient) {
  station.ClickQuery();
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(U8(view.Box(Box::HospId)), "3501200000");
  EXPECT_EQ(U8(view.Box(Box::SamId)), "100000000001");
  EXPECT_EQ(U8(view.Box(Box::CardId)), "000012345678");
  EXPECT_EQ(U8(view.Box(Box::Asid)), "A123456789");
  EXPECT_EQ(U8(view.Box(Box::Birthday)), "0550815");
  EXPECT_TRUE(Message().starts_with("3000：請確定民眾符合實施成人預防保健資格，\r\n"));
}

TEST_F(SimulatorTest, ScenarioChoosesTheVerdictInBothModes) {
  for (const char* mode : {"有對話框", "無對話框"}) {
    for (const auto& [outcome, start] : std::vector<std::pair<std::string, std::string>>{
             {"3333", "3333：成人預防保健「Brisa」方案: \r\n"},
             {"3003", "3003：該民眾符合實施成人預防保健資格，但B、C型肝炎篩檢年齡不符。"},
             {"3004", "3004：該民眾符合實施成人預防保健資格，但已做B、C型肝炎篩檢過。"},
             {"3444", "3444：該民眾已有完成成人預防保健服務之紀錄。"},
             {"9012", "9012：作業異常，請查明是院內環境或是Serovia系統異常。"}}) {
      SCOPED_TRACE(std::string(mode) + " " + outcome);
      view.callMode = text::FromUtf8(mode);
      Scenario("[eligibility]\noutcome = " + outcome + "\n");
      station.ClickQuery();
      EXPECT_TRUE(Message().starts_with(start)) << Message();
    }
  }
}

TEST_F(SimulatorTest, WhatTheReaderLacksShowsAsItsStatus) {
  const struct {
    const char* name;
    std::string scenario;
    std::string message;
    std::vector<std::u16string> boxes;  // message boxes
  } rows[] = {
      {"wrong port", "[reader]\nport = 4\n", "", {u"開啟 COM Port 失敗"}},
      {"no SAM card", "[reader]\nsam_card = no\n", "4012：讀取醫療院所代號異常", {}},
      {"no patient card", "[reader]\npatient_card = no\n", "4013：請確定已置入健保卡", {}},
      {"forced status", "[status]\ncsGetCardNo = 9999\n", "9999：讀取安全模組卡號異常", {}},
      {"SAM not yet authenticated",
       "[reader]\nsam_authenticated = no\n",
       "4050：作業異常，請查明是院內環境或是Serovia系統異常。",
       {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    view.messages.clear();
    Scenario(row.scenario);
    station.ClickQuery();
    EXPECT_EQ(Message(), row.message);
    EXPECT_EQ(view.messages, row.boxes);
  }
}

TEST_F(SimulatorTest, ScenarioPatientIsCutOutOfTheBasicData) {
  const struct {
    const char* name;
    std::string patientName;
  } rows[] = {
      {"Big5 name", "陳美玲"},
      // Bytes that code page 950 cannot convert, as a damaged card may hold them.
      {"unconvertible name", "\\x81\\x81\\x81\\x81\\x81\\x81\\x81\\x81\\x81\\xff\\xa4\\xff\\xa4"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Scenario("[patient]\ncard_number = 900000000123\nname = " + row.patientName +
             "\nid_number = B234567890\nbirth_date = 0701231\n[sam]\nhospital_code = 1234\n");
    station.ClickQuery();
    EXPECT_EQ(U8(view.Box(Box::CardId)), "900000000123");
    EXPECT_EQ(U8(view.Box(Box::Asid)), "B234567890");
    EXPECT_EQ(U8(view.Box(Box::Birthday)), "0701231");
    EXPECT_EQ(U8(view.Box(Box::HospId)), "1234      ");
  }
}

TEST_F(SimulatorTest, AuthenticationUnlocksEligibilityAndTheServiceLog) {
  Scenario("[reader]\nsam_authenticated = no\n");
  view.serviceItem = u"21：40歲以上未滿65歲者，每三年補助乙次";
  station.ClickWrite();
  EXPECT_EQ(U8(view.messages.back()), "寫卡完成：4050");

  station.ClickSamAuth();
  EXPECT_EQ(Message(), "0：讀卡機安全模組認證完成!\r\n");

  station.ClickQuery();
  EXPECT_TRUE(Message().starts_with("3000："));
  station.ClickWrite();
  view.serviceItem = u"YB：退掛";
  station.ClickWrite();
  EXPECT_EQ(U8(view.messages.back()), "寫卡完成：0");

  const std::string log = dir.Read("cardsim-log.txt");
  EXPECT_NE(log.find(" INS 000012345678"), std::string::npos) << log;
  EXPECT_NE(log.find(" UN 000012345678"), std::string::npos) << log;
}

TEST_F(SimulatorTest, AuthenticationFailuresComeFromTheScenario) {
  const struct {
    std::string scenario;
    std::string shown;
  } rows[] = {
      {"[reader]\nsam_card = no\n", "未置入安全模組卡"},
      {"[status]\ncsVerifySAMDC = 4051\n", "安全模組與IDC認證失敗"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.scenario);
    view.messages.clear();
    Scenario(row.scenario);
    station.ClickSamAuth();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(U8(view.messages[0]), row.shown);
  }
}

TEST_F(SimulatorTest, LogWithoutPatientCard) {
  Scenario("[reader]\npatient_card = no\n");
  view.serviceItem = u"YB：退掛";
  station.ClickWrite();
  EXPECT_EQ(U8(view.messages.back()), "寫卡完成：4013");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "cardsim-log.txt"));
}

TEST(ScenarioTest, DelaysAndTheLibrarysOwnWindow) {
  const struct {
    const char* name;
    std::string text;
    std::map<std::string, std::int32_t> delays;  // operation -> milliseconds it works
    bool window;
  } rows[] = {
      {"none", "", {{"csOpenCom", 0}, {"vantoGetAdultPrevent", 0}}, false},
      {"per operation",
       "[delay]\ncsOpenCom = 2000\nvantoGetAdultPreventSilence = 3000 ; the data centre\n",
       {{"csOpenCom", 2000}, {"vantoGetAdultPreventSilence", 3000}, {"csCloseCom", 0}},
       false},
      {"all, one named otherwise",
       "[delay]\nall = 500\ncsCloseCom = 0\n",
       {{"csOpenCom", 500}, {"csVerifySAMDC", 500}, {"csCloseCom", 0}},
       false},
      {"nonsense passed over",
       "[delay]\nall = soon\ncsOpenCom = -5\ncsGetHospID = 12x\nhisGetBasicData = 40\n",
       {{"csOpenCom", 0}, {"csGetHospID", 0}, {"hisGetBasicData", 40}},
       false},
      {"a delay is no forced status", "[delay]\ncsOpenCom = 9\n", {{"csOpenCom", 9}}, false},
      {"window", "[eligibility]\nwindow = yes\noutcome = 3003\n", {{"vantoGetAdultPrevent", 0}}, true},
      {"no window", "[eligibility]\nwindow = no\n", {}, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    testing_support::TempDir dir;
    dir.Write("cardsim.ini", row.text);
    const simulator::Scenario scenario = simulator::LoadScenario(dir.path() / "cardsim.ini");
    for (const auto& [operation, milliseconds] : row.delays) {
      EXPECT_EQ(scenario.Delay(operation), milliseconds) << operation;
      EXPECT_FALSE(scenario.Forced(operation).has_value()) << operation;
    }
    EXPECT_EQ(scenario.eligibilityWindow, row.window);
  }
}

// Notepad's encodings: an example typed into a file saved otherwise than the note says still works.
TEST(ScenarioTest, EveryEncodingOfNotepadIsRead) {
  const std::u16string text = u"[eligibility]\r\noutcome = 3003\r\n[patient]\r\nname = 陳美玲\r\n";
  const auto utf16 = [&text](bool bigEndian) {
    std::string bytes;
    for (const char16_t unit : u"\uFEFF" + text) {
      const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
      bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
  };
  const struct {
    const char* name;
    std::string bytes;
  } rows[] = {
      {"UTF-8", text::ToUtf8(text)},
      {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + text::ToUtf8(text)},
      {"UTF-16 little-endian (Notepad's Unicode)", utf16(false)},
      {"UTF-16 big-endian", utf16(true)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    testing_support::TempDir dir;
    dir.Write("cardsim.ini", row.bytes);
    const simulator::Scenario scenario = simulator::LoadScenario(dir.path() / "cardsim.ini");
    EXPECT_EQ(scenario.eligibility, 3003);
    EXPECT_EQ(scenario.name, text::ToCodePage950Fitted(u"陳美玲", 20) + std::string(14, ' '));
  }
}

// The delay holds the caller inside each call, as a real reader does.
TEST_F(SimulatorTest, SlowReaderHoldsEachCall) {
  Scenario("[delay]\nall = 100\ncsVerifySAMDC = 300\n");
  const auto start = std::chrono::steady_clock::now();
  station.ClickSamAuth();  // csOpenCom, csVerifySAMDC, csCloseCom
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  EXPECT_EQ(Message(), "0：讀卡機安全模組認證完成!\r\n");
}

}  // namespace
