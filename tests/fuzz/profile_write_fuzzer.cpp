// The settings writer on any file, section, key and value: a file, then optionally a NUL and a
// section, a NUL and a key, a NUL and a value.

#include <algorithm>
#include <cctype>
#include <set>
#include <utility>

#include "settings/profile_file.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

namespace fs = std::filesystem;
using fuzz_support::Require;

const std::string kPortSection = "\xc5\xaa\xa5\x64\xbe\xf7\xb3\x73\xb1\xb5\xb0\xf0";

std::string Read(const std::string& section, const std::string& key, const fs::path& file) {
  const settings::ProfileReading reading = settings::ReadProfileFile(section, key, "", 256, file);
  return std::to_string(reading.result) + ":" + reading.value;
}

// The sections and keys that the file may hold: what stands between brackets and before '=' signs.
std::vector<std::pair<std::string, std::string>> NamesIn(std::string_view bytes) {
  std::set<std::string> sections = {"", kPortSection}, keys = {"COM"};
  std::size_t start = 0;
  while (start < bytes.size() && sections.size() + keys.size() < 14) {
    const std::size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
    const std::string_view line = bytes.substr(start, end - start);
    const std::size_t open = line.find('['), close = line.rfind(']');
    if (open != line.npos && close != line.npos && close > open)
      sections.insert(std::string(line.substr(open + 1, close - open - 1)));
    keys.insert(std::string(line.substr(0, line.find('='))));
    start = end + 1;
  }
  std::vector<std::pair<std::string, std::string>> names;
  for (const auto& section : sections)
    for (const auto& key : keys) names.emplace_back(section, key);
  return names;
}

bool StartsWithBracket(std::string_view name) {
  const std::size_t first = name.find_first_not_of(" \t\v\f\x1A");
  return first != name.npos && name[first] == '[';
}

// Whether two section names may name the same section: equal but for blanks around them and the
// case of ASCII letters, or holding other bytes, which this does not decode.
bool MaybeSameSection(std::string_view a, std::string_view b) {
  const auto trim = [](std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t\v\f\x1A");
    return first == s.npos ? std::string_view()
                           : s.substr(first, s.find_last_not_of(" \t\v\f\x1A") + 1 - first);
  };
  a = trim(a);
  b = trim(b);
  const auto wide = [](char c) { return static_cast<unsigned char>(c) >= 0x80; };
  if (std::any_of(a.begin(), a.end(), wide) || std::any_of(b.begin(), b.end(), wide)) return true;
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

std::size_t FilesIn(const fs::path& dir) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = fuzz_support::Parts(data, size, 4);
  const std::string& before = *parts[0];
  const std::string section = parts[1].value_or(kPortSection);
  const std::string key = parts[2].value_or("COM");
  const std::string value = parts[3].value_or("7");

  const fs::path dir = fuzz_support::WorkDir() / "write";
  fs::remove_all(dir);
  fs::create_directories(dir / "alone");
  const fs::path file = dir / "t.ini", again = dir / "again.ini", alone = dir / "alone" / "t.ini";
  fuzz_support::WriteFile(file, before);
  fuzz_support::WriteFile(again, before);
  const auto names = NamesIn(before);
  std::vector<std::string> readings;
  for (const auto& [s, k] : names) readings.push_back(Read(s, k, file));

  const bool written = settings::WriteProfileFile(section, key, value, file, fuzz_support::Piece(size));
  Require(written == settings::WriteProfileFile(section, key, value, alone),
          "a write fails for its text alone, whatever the file holds");
  Require(written == settings::WriteProfileFile(section, key, value, again),
          "a write in large pieces succeeds as one in small pieces");
  Require(fuzz_support::ReadFile(file) == fuzz_support::ReadFile(again),
          "a write in large pieces writes the same bytes");
  Require(FilesIn(dir) == 3 && FilesIn(dir / "alone") == (written ? 1 : 0), "no other file is left behind");
  if (!written) {
    Require(fuzz_support::ReadFile(file) == before, "a refused write leaves the file as it was");
    return 0;
  }
  // A key that begins with a bracket may write a line that reads as a section's header, as it does
  // with the Windows function; then the file reads otherwise, by design. So does a key written at
  // the start of a file whose code page 950 bytes begin as the UTF-8 byte-order mark does: the
  // file then reads as UTF-8.
  const auto madeMark = [](const std::string& was, const fs::path& now) {
    return !was.starts_with("\xEF\xBB\xBF") && fuzz_support::ReadFile(now).starts_with("\xEF\xBB\xBF");
  };
  if (StartsWithBracket(key) || madeMark(before, file) || madeMark("", alone)) return 0;
  const std::string readBack = Read(section, key, file);
  Require(readBack == Read(section, key, alone), "the key reads back as from a file of its own");
  // A plain value reads back as it was written, less the blanks around it, under a key that has no
  // '=' of its own to end its name early.
  const std::size_t first = value.find_first_not_of(" \t\v\f\x1A");
  const std::string trimmed =
      first == value.npos ? "" : value.substr(first, value.find_last_not_of(" \t\v\f\x1A") + 1 - first);
  const bool plain = key.find('=') == key.npos && trimmed.size() < 256 &&
                     trimmed.find_first_of("\"'") == trimmed.npos &&
                     std::all_of(trimmed.begin(), trimmed.end(), [](char c) { return c >= ' ' && c <= '~'; });
  if (plain) Require(readBack == std::to_string(trimmed.size()) + ":" + trimmed, "a plain value reads back");
  // A key with an '=' of its own writes a line whose name ends there: it may set another key of its
  // section. Other sections' keys read as before.
  const bool otherKeys = key.find('=') != key.npos;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (otherKeys && MaybeSameSection(names[i].first, section)) continue;
    const std::string now = Read(names[i].first, names[i].second, file);
    if (now != readings[i] && now != readBack)
      std::fprintf(stderr, "[%s] %s: was %s, now %s\n", names[i].first.c_str(), names[i].second.c_str(),
                   readings[i].c_str(), now.c_str());
    Require(now == readings[i] || now == readBack, "every other key reads as before");
  }
  return 0;
}
