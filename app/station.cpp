#include "app/station.h"

#include <optional>
#include <vector>

#include "app/forms.h"
#include "app/library_buffer.h"
#include "app/library_failure_text.h"
#include "app/messages.h"
#include "cardservice/status_catalogue.h"
#include "settings/com_setting.h"
#include "text/fixed_field.h"
#include "text/mid_mbcs.h"

namespace app {
namespace {

using cardservice::CardServiceUnavailable;

const std::vector<std::u16string> kServiceItems = {
    u"21：40歲以上未滿65歲者，每三年補助乙次",
    u"22：65歲以上者，每年補助乙次",
    u"25：罹患小兒麻痺且年在35歲以上者，每年補助乙次",
    u"27：身分別為原住民且55歲以上未滿65歲，每一年補助乙次",
    u"YB：退掛",
};
const std::vector<std::u16string> kCallModes = {u"有對話框", u"無對話框"};
constexpr std::u16string_view kInteractiveMode = u"有對話框";

// The verdict that follows the eligibility call's status in txtMessage.
std::u16string_view Verdict(std::int32_t status) {
  switch (status) {
    case 3000:
      return u"：請確定民眾符合實施成人預防保健資格，\r\n"
             u"提醒您!成人預防保健 B、C 肝炎篩檢是必須搭配成人預防保健服務實施，否則不予補助!";
    case 3333:
      return u"：成人預防保健「Brisa」方案: \r\n"
             u"1.四十歲以上未滿六十五歲者，每三年補助一次。 \r\n"
             u"2.六十五歲以上者，每年補助一次。\r\n"
             u"3.罹患小兒麻痺且年在三十五歲以上者，每年補助一次。\r\n"
             u"4.五十五歲以上原住民，每年補助一次。\r\n"
             u"成人預防保健服務加入B、C型肝炎篩檢，執行條件為民國55年或以後出生且滿45歲，"
             u"可搭配成人預防保健服務，但終身接受1次檢查。";
    case 3003:
      return u"：該民眾符合實施成人預防保健資格，但B、C型肝炎篩檢年齡不符。";
    case 3004:
      return u"：該民眾符合實施成人預防保健資格，但已做B、C型肝炎篩檢過。";
    case 3444:
      return u"：該民眾已有完成成人預防保健服務之紀錄。";
    default:
      return u"：作業異常，請查明是院內環境或是Serovia系統異常。";
  }
}

}  // namespace

// One button's work: while it lives the station runs it, and no other button's work starts. A click
// that arrives meanwhile, through a message loop inside the work, is dropped.
class Station::Workflow {
 public:
  explicit Workflow(bool& running) : running_(running), starts_(!running) { running_ = true; }
  ~Workflow() {
    if (starts_) running_ = false;
  }
  Workflow(const Workflow&) = delete;
  Workflow& operator=(const Workflow&) = delete;
  bool starts() const { return starts_; }

 private:
  bool& running_;
  const bool starts_;
};

// From the first library call of a click to its end the window is busy, whichever way the work ends.
// The caption says so meanwhile: the boxes just emptied must not be read as a result.
class Station::LibraryWork {
 public:
  explicit LibraryWork(const Station& station) : station_(station) {
    station_.view_.SetCaption(station_.Caption() + std::u16string(kWorkingCaptionMark));
    station_.view_.BeginLibraryWork();
  }
  ~LibraryWork() {
    station_.view_.EndLibraryWork();
    station_.view_.SetCaption(station_.Caption());
  }
  LibraryWork(const LibraryWork&) = delete;
  LibraryWork& operator=(const LibraryWork&) = delete;

 private:
  const Station& station_;
};

Station::Station(StationView& view, const settings::PortSettingStore& store, cardservice::CardService& card)
    : view_(view), store_(store), card_(card) {}

std::u16string Station::Caption() const {
  std::u16string caption(forms::MainWindow().caption);
  if (simulator_) caption += kSimulatorCaptionMark;
  return caption;
}

void Station::Load() {
  simulator_ = card_.IsSimulator();
  view_.SetCaption(Caption());
  view_.ResetFonts();
  if (store_.Read().copied == 0) view_.OpenSettingsDialog();
  view_.AppendListItems(kServiceItems, kCallModes);
}

void Station::ClearFields() {
  for (Box box : {Box::SamId, Box::HospId, Box::CardId, Box::Asid, Box::Birthday, Box::Message})
    Show(box, u"");
}

void Station::ClickClean() {
  const Workflow workflow(running_);
  if (!workflow.starts()) return;
  view_.ResetFonts();
  ClearFields();
}

void Station::ClickSetting() {
  const Workflow workflow(running_);
  if (workflow.starts()) view_.OpenSettingsDialog();
}

std::int16_t Station::GetComSetting() {
  const settings::PortSettingStore::Reading reading = store_.Read();
  if (reading.copied > 0) {
    // A value that is no usable number counts as nothing stored instead of stopping the program.
    if (const auto argument = settings::PortArgumentFor(reading.value)) return *argument;
  }
  view_.ShowMessage(std::u16string(kPortNotSetWarning));
  return 0;
}

void Station::ProcessErrorCode(std::int16_t iErrCode) {
  if (const auto message = cardservice::StatusMessage(iErrCode)) view_.ShowMessage(std::u16string(*message));
}

void Station::Show(Box box, std::u16string_view text) { view_.SetBoxText(box, text::UpToFirstNul(text)); }

template <typename Body>
void Station::WithPort(std::int16_t port, Body body) {
  bool opened = false;
  bool closing = false;
  try {
    if (card_.csOpenCom(port) != 0) {
      view_.ShowMessage(std::u16string(kOpenPortFailed));
    } else {
      opened = true;
      body();
    }
    closing = true;
    card_.csCloseCom();
  } catch (const CardServiceUnavailable& unavailable) {
    view_.ShowMessage(UnavailableText(unavailable));
    if (opened && !closing) {
      try {
        card_.csCloseCom();
      } catch (const CardServiceUnavailable&) {
        // Nothing more to tell: the missing operation has been reported.
      }
    }
  }
}

void Station::ClickQuery() {
  const Workflow workflow(running_);
  if (!workflow.starts()) return;
  view_.ResetFonts();
  ClearFields();
  const std::int16_t port = GetComSetting();
  const LibraryWork work(*this);
  WithPort(port, [this] { QueryOnOpenPort(); });
}

void Station::QueryOnOpenPort() {
  LibraryBuffer hospital(10);
  std::int32_t status = card_.csGetHospID(hospital.data(), hospital.length());
  if (status != 0) return Show(Box::Message, DecimalText(status) + u"：讀取醫療院所代號異常");
  Show(Box::HospId, hospital.Field());

  LibraryBuffer sam(12);
  status = card_.csGetCardNo(1, sam.data(), sam.length());
  if (status != 0) return Show(Box::Message, DecimalText(status) + u"：讀取安全模組卡號異常");
  Show(Box::SamId, sam.Field());

  LibraryBuffer basic(72);
  status = card_.hisGetBasicData(basic.data(), basic.length());
  if (status != 0) return Show(Box::Message, DecimalText(status) + u"：請確定已置入健保卡");
  // Byte positions, not characters: the name in bytes 13 to 32 is double-byte text. They are cut
  // from the returned bytes, since a name the code page cannot convert would shift the text.
  const std::string& basicData = basic.Bytes();
  Show(Box::CardId, text::FitField(text::MidBytes(basicData, 1, 12), 12));
  Show(Box::Asid, text::FitField(text::MidBytes(basicData, 33, 10), 10));
  Show(Box::Birthday, text::FitField(text::MidBytes(basicData, 43, 7), 7));

  if (view_.CallModeText() == kInteractiveMode) {
    status = card_.vantoGetAdultPrevent();
  } else {
    LibraryBuffer first(256), second(256), third(256);
    status = card_.vantoGetAdultPreventSilence(first.data(), first.length(), second.data(), second.length(),
                                               third.data(), third.length());
  }
  Show(Box::Message, DecimalText(status) + std::u16string(Verdict(status)));
}

void Station::ClickSamAuth() {
  const Workflow workflow(running_);
  if (!workflow.starts()) return;
  const std::int16_t port = GetComSetting();
  const LibraryWork work(*this);
  WithPort(port, [this] {
    const std::int16_t status = card_.csVerifySAMDC();
    if (status != 0) return ProcessErrorCode(status);
    Show(Box::Message, DecimalText(status) + u"：讀卡機安全模組認證完成!\r\n");
  });
}

void Station::ClickWrite() {
  const Workflow workflow(running_);
  if (!workflow.starts()) return;
  const std::u16string code = view_.ServiceItemText().substr(0, 2);
  const bool inserts = code == u"21" || code == u"22" || code == u"25" || code == u"27";
  const bool withdraws = !inserts && code == u"YB";
  std::optional<LibraryWork> work;
  if (inserts || withdraws) work.emplace(*this);
  std::int16_t status = 0;
  try {
    if (inserts) {
      status = card_.vantoInsAdultLog();
    } else if (withdraws) {
      status = card_.vantoUnAdultLog();
    }
  } catch (const CardServiceUnavailable& unavailable) {
    view_.ShowMessage(UnavailableText(unavailable));
    return;
  }
  view_.ShowMessage(u"寫卡完成：" + DecimalText(status));
}

}  // namespace app
