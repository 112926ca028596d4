// The exported operations of the simulated card service library. One virtual reader per loaded
// library: the scenario is read afresh at each csOpenCom (and by the log operations, which reach
// the reader without an open port); the SAM's authentication lasts while the library is loaded.
// Each operation first works as long as the scenario's delay for it says, on the caller's thread.

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <fstream>
#include <thread>

#include "cardservice/card_api.h"
#include "cardservice/simulator_mark.h"
#include "settings/program_directory.h"
#include "simulator/library_place.h"
#include "simulator/library_window.h"
#include "simulator/scenario.h"

#ifdef _WIN32
#define SIMULATOR_EXPORT __declspec(dllexport)
#else
#define SIMULATOR_EXPORT __attribute__((visibility("default")))
#endif

namespace {

using simulator::Scenario;

// Statuses of the library's catalogue for what the reader lacks.
constexpr std::int32_t kPortNotFound = -1;
constexpr std::int32_t kTimeout = 4000;
constexpr std::int32_t kNoSamCard = 4012;
constexpr std::int32_t kNoPatientCard = 4013;
constexpr std::int32_t kSamNotAuthenticated = 4050;

struct Reader {
  Scenario scenario;
  bool portOpen = false;
  bool samVerified = false;  // by csVerifySAMDC while the library is loaded

  bool SamAuthenticated() const { return samVerified || scenario.samAuthenticated; }
};

Reader& TheReader() {
  static Reader reader;
  return reader;
}

void Reload() {
  TheReader().scenario =
      simulator::LoadScenario(settings::FileBeside(simulator::LibraryDirectory(), "cardsim.ini"));
}

// The time the operation takes, as a real reader and data centre take seconds.
void Work(const char* operation) {
  if (const std::int32_t delay = TheReader().scenario.Delay(operation); delay > 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(delay));
}

// Copies as much of `value` as the caller's buffer holds; the library never writes past it.
void Fill(char* buf, const std::int32_t* len, const std::string& value) {
  if (!buf || !len || *len <= 0) return;
  std::memcpy(buf, value.data(), std::min(value.size(), static_cast<size_t>(*len)));
}

// The first status that applies: forced by the scenario, or what the reader lacks for the operation.
struct Needs {
  bool port = true;
  bool sam = false;
  bool patient = false;
  bool authenticated = false;
};

std::int32_t Check(const char* operation, Needs needs) {
  Work(operation);
  const Reader& reader = TheReader();
  if (const auto forced = reader.scenario.Forced(operation)) return *forced;
  if (needs.port && !reader.portOpen) return kTimeout;
  if (needs.sam && !reader.scenario.samCardInserted) return kNoSamCard;
  if (needs.patient && !reader.scenario.patientCardInserted) return kNoPatientCard;
  if (needs.authenticated && !reader.SamAuthenticated()) return kSamNotAuthenticated;
  return 0;
}

std::int32_t Eligibility(const char* operation) {
  const std::int32_t status =
      Check(operation, {.port = true, .sam = true, .patient = true, .authenticated = true});
  return status != 0 ? status : TheReader().scenario.eligibility;
}

// The interactive calls may show their answer in a window of their own first.
std::int32_t InteractiveEligibility(const char* operation) {
  const std::int32_t status = Eligibility(operation);
  if (TheReader().scenario.eligibilityWindow) {
    const std::string digits = std::to_string(status);
    simulator::ShowLibraryWindow(u"成人預防保健資格查詢：" + std::u16string(digits.begin(), digits.end()));
  }
  return status;
}

// The silent calls answer like the interactive ones and hand back the outcome, card and identity
// number in their three buffers.
std::int32_t SilentEligibility(const char* operation, char* b1, const std::int32_t* l1, char* b2,
                               const std::int32_t* l2, char* b3, const std::int32_t* l3) {
  const std::int32_t status = Eligibility(operation);
  Fill(b1, l1, std::to_string(status));
  Fill(b2, l2, TheReader().scenario.cardNumber);
  Fill(b3, l3, TheReader().scenario.idNumber);
  return status;
}

std::int16_t ServiceLog(const char* operation, const char* entry) {
  Reload();
  const std::int32_t status =
      Check(operation, {.port = false, .sam = true, .patient = true, .authenticated = true});
  if (status != 0) return static_cast<std::int16_t>(status);
  const std::time_t now = std::time(nullptr);
  char stamp[32] = {};
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
  std::ofstream log(settings::FileBeside(simulator::LibraryDirectory(), "cardsim-log.txt"), std::ios::app);
  log << stamp << ' ' << entry << ' ' << TheReader().scenario.cardNumber << '\n';
  return log ? 0 : static_cast<std::int16_t>(5068);  // the catalogue's "預防保健資料寫入失敗"
}

}  // namespace

extern "C" {

SIMULATOR_EXPORT int32_t CARD_API_CALL csOpenCom(int16_t port) {
  Reload();
  Work("csOpenCom");
  Reader& reader = TheReader();
  if (const auto forced = reader.scenario.Forced("csOpenCom")) return *forced;
  if (reader.scenario.port && *reader.scenario.port != port) return kPortNotFound;
  reader.portOpen = true;
  return 0;
}

SIMULATOR_EXPORT int32_t CARD_API_CALL csCloseCom(void) {
  Work("csCloseCom");
  TheReader().portOpen = false;
  return TheReader().scenario.Forced("csCloseCom").value_or(0);
}

SIMULATOR_EXPORT int32_t CARD_API_CALL csGetHospID(char* buf, int32_t* len) {
  const std::int32_t status = Check("csGetHospID", {.sam = true});
  if (status == 0) Fill(buf, len, TheReader().scenario.hospitalCode);
  return status;
}

SIMULATOR_EXPORT int32_t CARD_API_CALL csGetCardNo(int32_t selector, char* buf, int32_t* len) {
  // Selector 1 is the SAM card; any other asks for the patient's card.
  const bool sam = selector == 1;
  const std::int32_t status = Check("csGetCardNo", {.sam = sam, .patient = !sam});
  if (status == 0) Fill(buf, len, sam ? TheReader().scenario.samNumber : TheReader().scenario.cardNumber);
  return status;
}

SIMULATOR_EXPORT int32_t CARD_API_CALL hisGetBasicData(char* buf, int32_t* len) {
  const std::int32_t status = Check("hisGetBasicData", {.patient = true});
  if (status == 0) Fill(buf, len, TheReader().scenario.BasicData());
  return status;
}

SIMULATOR_EXPORT int32_t CARD_API_CALL vantoGetAdultPrevent(void) {
  return InteractiveEligibility("vantoGetAdultPrevent");
}

SIMULATOR_EXPORT int32_t CARD_API_CALL vantoGetAdultPreventSilence(char* b1, int32_t* l1, char* b2,
                                                                   int32_t* l2, char* b3, int32_t* l3) {
  return SilentEligibility("vantoGetAdultPreventSilence", b1, l1, b2, l2, b3, l3);
}

SIMULATOR_EXPORT int16_t CARD_API_CALL csVerifySAMDC(void) {
  const std::int32_t status = Check("csVerifySAMDC", {.sam = true});
  if (status == 0) TheReader().samVerified = true;
  return static_cast<std::int16_t>(status);
}

SIMULATOR_EXPORT int16_t CARD_API_CALL vantoInsAdultLog(void) {
  return ServiceLog("vantoInsAdultLog", "INS");
}

SIMULATOR_EXPORT int16_t CARD_API_CALL vantoUnAdultLog(void) { return ServiceLog("vantoUnAdultLog", "UN"); }

SIMULATOR_EXPORT int32_t CARD_API_CALL hisGetRegisterPrevent(char* buf, int32_t* len) {
  const std::int32_t status = Check("hisGetRegisterPrevent", {.patient = true});
  if (status == 0) Fill(buf, len, std::string(126, ' '));
  return status;
}

SIMULATOR_EXPORT int32_t CARD_API_CALL vantoGetBCPrevent(void) {
  return InteractiveEligibility("vantoGetBCPrevent");
}

SIMULATOR_EXPORT int32_t CARD_API_CALL vantoGetBCPreventSilence(char* b1, int32_t* l1, char* b2, int32_t* l2,
                                                                char* b3, int32_t* l3) {
  return SilentEligibility("vantoGetBCPreventSilence", b1, l1, b2, l2, b3, l3);
}

#ifndef _WIN32
// The station's caption marks the simulator; on Windows its version resource names it instead.
SIMULATOR_EXPORT int ZIROZE_SIMULATOR_MARK_FUNCTION(void) { return 1; }
#endif

}  // extern "C"
