#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "text/codepage950.h"

namespace simulator {

// The virtual reader's contents, from "cardsim.ini" (UTF-8, or UTF-16 with a byte-order mark) beside
// the library. Texts are held as
// the code page 950 bytes the library hands out.
struct Scenario {
  std::optional<std::int16_t> port;  // the port argument the reader answers on; any when unset
  bool samCardInserted = true;
  bool patientCardInserted = true;
  bool samAuthenticated = true;  // false: the SAM must first be authenticated with the data centre

  std::string hospitalCode = "3501200000";
  std::string samNumber = "100000000001";

  std::string cardNumber = "000012345678";
  std::string name = text::ToCodePage950(u"王小明");
  std::string idNumber = "A123456789";
  std::string birthDate = "0550815";
  std::string sex = "M";
  std::string issueDate = "1050301";
  std::string cancelMark = " ";
  std::string emergencyPhone = "0223456789";

  std::int32_t eligibility = 3000;
  // The interactive eligibility calls show a window of their own and return when it is closed.
  bool eligibilityWindow = false;
  std::map<std::string, std::int32_t> forcedStatus;  // operation name -> status

  // How long each operation works before it answers, in milliseconds: by operation name, or `all`
  // for every operation not named.
  std::map<std::string, std::int32_t> delays;
  std::int32_t allDelay = 0;

  // The 72 bytes of the patient's basic data, every field blank-padded to its width.
  std::string BasicData() const;
  std::optional<std::int32_t> Forced(const std::string& operation) const;
  std::int32_t Delay(const std::string& operation) const;
};

// The scenario in `file`; the default one (everything in place, the patient eligible) when the
// file is missing. Lines that make no sense are passed over.
Scenario LoadScenario(const std::filesystem::path& file);

}  // namespace simulator
