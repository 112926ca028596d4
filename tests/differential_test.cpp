// Our own code page 950 conversion and private-profile store against the real Windows functions,
// run under Wine as on a desk in Taiwan (code page 950).

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "settings/profile_file.h"
#include "tests/support/temp_dir.h"
#include "text/codepage950.h"

namespace {

using testing_support::TempDir;

std::string Hex(std::string_view bytes) {
  if (bytes.empty()) return ".";
  static const char* digits = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  return hex;
}

std::string Unhex(const std::string& hex) {
  std::string bytes;
  if (hex == ".") return bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

std::string Units(std::u16string_view text) {
  char four[5];
  std::string hex;
  for (char16_t c : text) {
    std::snprintf(four, sizeof four, "%04x", static_cast<unsigned>(c));
    hex += four;
  }
  return hex;
}

// The Windows path of a file here, as Wine sees it.
std::string WindowsPath(const std::filesystem::path& file) {
  std::string path = "Z:" + std::filesystem::absolute(file).string();
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// Runs one of the Windows oracle programs under Wine; returns its output lines.
std::vector<std::string> RunOracle(const std::string& program, const std::vector<std::string>& commands = {}) {
  TempDir dir;
  std::string argument;
  if (!commands.empty()) {
    std::string all;
    for (const auto& command : commands) all += command + "\n";
    argument = " '" + WindowsPath(dir.Write("commands.txt", all)) + "'";
  }
  const auto output = dir.path() / "answers.txt";
  const std::string command = std::string(WINE_RUN) + " " + WINE_LOADER + " " + ORACLE_DIR + "/" + program +
                              argument + " > '" + output.string() + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::ifstream in(output);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// Where our conversion and Windows part on purpose, with the reason.
struct KnownDifference {
  const char* reason;
  std::function<bool(const std::string& input, const std::string& windows, const std::string& ours)> applies;
};

TEST(Cp950DifferentialTest, AgreesWithMultiByteToWideCharAndBack) {
  const std::vector<std::string> table = RunOracle("cp950_table.exe");
  ASSERT_GT(table.size(), 90000u);
  auto privateUse = [](const std::string& units) {
    if (units.size() != 4) return false;
    const int unit = std::stoi(units, nullptr, 16);
    return unit >= 0xE000 && unit <= 0xF8FF;
  };
  const std::vector<KnownDifference> known = {
      {"user-defined characters: Windows maps the EUDC area (lead bytes 81-A0, FA-FE) and the byte FF to the "
       "Private Use Area; glibc's CP950 has no mapping for them",
       [&](const std::string& input, const std::string& windows, const std::string& ours) {
         return (input[0] == 'B' && privateUse(windows) && ours == "003f") ||
                (input[0] == 'U' && privateUse(input.substr(1)) && ours == "3f");
       }},
      {"best fit: WideCharToMultiByte writes a look-alike for a character that Big5 lacks; iconv writes '?'",
       [](const std::string& input, const std::string& windows, const std::string& ours) {
         return input[0] == 'U' && ours == "3f" && windows != "3f";
       }},
      {"Big5 holds four box-drawing characters twice; Windows writes the F9 copy, glibc the A2 one, and both "
       "read either copy back as the same character",
       [](const std::string& input, const std::string&, const std::string&) {
         return input == "U2550" || input == "U255e" || input == "U2561" || input == "U256a";
       }},
  };
  std::map<std::string, std::vector<std::string>> differences;
  for (const std::string& line : table) {
    std::istringstream in(line);
    std::string kind, input, windows;
    in >> kind >> input >> windows;
    std::string ours;
    if (kind == "B") {
      ours = Units(text::FromCodePage950(Unhex(input)));
    } else {
      const std::u16string unit(1, static_cast<char16_t>(std::stoi(input, nullptr, 16)));
      ours = Hex(text::ToCodePage950(unit));
      if (ours == ".") ours.clear();
    }
    if (ours == windows) continue;
    std::string reason = "unexplained";
    for (const auto& difference : known) {
      if (difference.applies(kind + input, windows, ours)) {
        reason = difference.reason;
        break;
      }
    }
    differences[reason].push_back(kind + " " + input + ": windows " + windows + ", ours " + ours);
  }
  for (const auto& [reason, rows] : differences) {
    std::string sample;
    for (size_t i = 0; i < rows.size() && i < 12; ++i) sample += "\n  " + rows[i];
    if (reason == "unexplained") {
      ADD_FAILURE() << rows.size() << " differences:" << sample;
    } else {
      std::cout << rows.size() << " known differences (" << reason << "):" << sample << "\n";
    }
  }
}

}  // namespace
