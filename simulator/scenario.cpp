#include "simulator/scenario.h"

#include <charconv>
#include <fstream>
#include <iterator>

#include "text/utf8.h"

namespace simulator {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::optional<std::int32_t> Number(std::string_view s) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (error != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return value;
}

bool Yes(std::string_view s) { return s == "yes" || s == "true" || s == "1"; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A field of the card's data: the text in code page 950, cut to whole characters and blank-padded.
// "\xHH" puts the byte HH on the card as it is, so that a card can hold bytes the code page cannot
// convert; such a field is cut at its width wherever that falls.
std::string Field(std::string_view utf8, size_t width) {
  std::string bytes;
  if (utf8.find("\\x") == std::string_view::npos) {
    bytes = text::ToCodePage950Fitted(text::FromUtf8(utf8), width);
  } else {
    std::string run;
    for (size_t i = 0; i < utf8.size(); ++i) {
      if (utf8.substr(i, 2) == "\\x" && i + 3 < utf8.size() && HexDigit(utf8[i + 2]) >= 0 &&
          HexDigit(utf8[i + 3]) >= 0) {
        bytes += text::ToCodePage950(text::FromUtf8(run)) +
                 static_cast<char>(HexDigit(utf8[i + 2]) * 16 + HexDigit(utf8[i + 3]));
        run.clear();
        i += 3;
      } else {
        run += utf8[i];
      }
    }
    bytes += text::ToCodePage950(text::FromUtf8(run));
  }
  bytes.resize(width, ' ');
  return bytes;
}

void Apply(Scenario& scenario, std::string_view section, std::string_view key, std::string_view value) {
  if (section == "status") {
    if (const auto status = Number(value)) scenario.forcedStatus[std::string(key)] = *status;
    return;
  }
  if (section == "delay") {
    const auto milliseconds = Number(value);
    if (!milliseconds || *milliseconds < 0) return;
    if (key == "all") {
      scenario.allDelay = *milliseconds;
    } else {
      scenario.delays[std::string(key)] = *milliseconds;
    }
    return;
  }
  const std::map<std::string_view, std::pair<std::string*, size_t>> fields = {
      {"hospital_code", {&scenario.hospitalCode, 10}},
      {"sam_number", {&scenario.samNumber, 12}},
      {"card_number", {&scenario.cardNumber, 12}},
      {"name", {&scenario.name, 20}},
      {"id_number", {&scenario.idNumber, 10}},
      {"birth_date", {&scenario.birthDate, 7}},
      {"sex", {&scenario.sex, 1}},
      {"issue_date", {&scenario.issueDate, 7}},
      {"cancel_mark", {&scenario.cancelMark, 1}},
      {"emergency_phone", {&scenario.emergencyPhone, 14}},
  };
  if (const auto field = fields.find(key); field != fields.end()) {
    *field->second.first = Field(value, field->second.second);
  } else if (key == "port") {
    const auto port = Number(value);
    scenario.port = port ? std::optional<std::int16_t>(static_cast<std::int16_t>(*port)) : std::nullopt;
  } else if (key == "sam_card") {
    scenario.samCardInserted = Yes(value);
  } else if (key == "patient_card") {
    scenario.patientCardInserted = Yes(value);
  } else if (key == "sam_authenticated") {
    scenario.samAuthenticated = Yes(value);
  } else if (key == "outcome") {
    if (const auto outcome = Number(value)) scenario.eligibility = *outcome;
  } else if (key == "window") {
    scenario.eligibilityWindow = Yes(value);
  }
}

// The file's text as UTF-8. Notepad saves "Unicode" as UTF-16 with a byte-order mark, in either byte
// order, and UTF-8 with or without one.
std::string Utf8Text(std::string_view content) {
  const bool littleEndian = content.starts_with("\xFF\xFE");
  if (!littleEndian && !content.starts_with("\xFE\xFF")) {
    if (content.starts_with("\xEF\xBB\xBF")) content.remove_prefix(3);
    return std::string(content);
  }
  std::u16string text;
  for (size_t i = 2; i + 1 < content.size(); i += 2) {
    const auto first = static_cast<unsigned char>(content[i]);
    const auto second = static_cast<unsigned char>(content[i + 1]);
    text += static_cast<char16_t>(littleEndian ? first | second << 8 : first << 8 | second);
  }
  return text::ToUtf8(text);
}

}  // namespace

std::string Scenario::BasicData() const {
  auto pad = [](std::string field, size_t width) {
    field.resize(width, ' ');
    return field;
  };
  return pad(cardNumber, 12) + pad(name, 20) + pad(idNumber, 10) + pad(birthDate, 7) + pad(sex, 1) +
         pad(issueDate, 7) + pad(cancelMark, 1) + pad(emergencyPhone, 14);
}

std::optional<std::int32_t> Scenario::Forced(const std::string& operation) const {
  const auto found = forcedStatus.find(operation);
  if (found == forcedStatus.end()) return std::nullopt;
  return found->second;
}

std::int32_t Scenario::Delay(const std::string& operation) const {
  const auto found = delays.find(operation);
  return found == delays.end() ? allDelay : found->second;
}

Scenario LoadScenario(const std::filesystem::path& file) {
  Scenario scenario;
  std::ifstream in(file, std::ios::binary);
  if (!in) return scenario;
  const std::string content =
      Utf8Text(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
  std::string_view rest = content;
  std::string section;
  while (!rest.empty()) {
    const size_t end = std::min(rest.find('\n'), rest.size());
    const std::string_view line = Trim(rest.substr(0, end));
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[' && line.back() == ']') {
      section = std::string(Trim(line.substr(1, line.size() - 2)));
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    std::string_view value = Trim(line.substr(equals + 1));
    if (const size_t comment = value.find(" ;"); comment != std::string_view::npos)
      value = Trim(value.substr(0, comment));
    Apply(scenario, section, Trim(line.substr(0, equals)), value);
  }
  return scenario;
}

}  // namespace simulator
