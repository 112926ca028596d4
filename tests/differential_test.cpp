// Our own code page 950 conversion and private-profile store against the real Windows functions,
// run under Wine as on a desk in Taiwan (code page 950).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
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
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
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
std::vector<std::string> RunOracle(const std::string& program,
                                   const std::vector<std::string>& commands = {}) {
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

TEST(Cp950DifferentialTest, AgreesWithMultiByteToWideCharAndBack) {
  const std::vector<std::string> table = RunOracle("cp950_table.exe");
  ASSERT_GT(table.size(), 90000u);
  size_t differences = 0;
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
    if (ours != windows && ++differences <= 20) {
      ADD_FAILURE() << kind << " " << input << ": windows " << windows << ", ours " << ours;
    }
  }
  EXPECT_EQ(differences, 0u) << "of " << table.size() << " conversions";
}

// One file of the corpus with every name in it that the real functions see.
struct CorpusFile {
  std::filesystem::path path;
  std::vector<std::pair<std::string, std::vector<std::string>>> sections;  // name, key names
};

std::vector<std::string> SplitList(const std::string& list) {
  std::vector<std::string> names;
  if (list == ".") return names;
  std::istringstream in(list);
  for (std::string name; std::getline(in, name, ',');) names.push_back(Unhex(name));
  return names;
}

// The sections and keys of each file, as GetPrivateProfileSectionNamesA and GetPrivateProfileStringA
// with no key name list them.
std::vector<CorpusFile> Enumerate(const std::vector<std::filesystem::path>& files) {
  std::vector<std::string> commands;
  for (const auto& file : files) commands.push_back("S " + Hex(WindowsPath(file)));
  const auto sectionLists = RunOracle("profile_oracle.exe", commands);
  std::vector<CorpusFile> corpus;
  commands.clear();
  for (size_t i = 0; i < files.size(); ++i) {
    CorpusFile entry{files[i], {}};
    for (const auto& section : SplitList(sectionLists.at(i))) {
      entry.sections.push_back({section, {}});
      commands.push_back("K " + Hex(section) + " " + Hex(WindowsPath(files[i])));
    }
    corpus.push_back(entry);
  }
  const auto keyLists = RunOracle("profile_oracle.exe", commands);
  size_t next = 0;
  for (auto& entry : corpus)
    for (auto& [section, keys] : entry.sections) keys = SplitList(keyLists.at(next++));
  return corpus;
}

std::vector<std::filesystem::path> CorpusFiles() {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(CORPUS_DIR)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::string Bytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool IsUtf16(std::string_view bytes) {
  return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
}

const std::string kPortSection = "\xc5\xaa\xa5\x64\xbe\xf7\xb3\x73\xb1\xb5\xb0\xf0";

struct Read {
  std::string section, key, def;
  std::uint32_t capacity;
  std::filesystem::path file;
  std::string Command() const {
    return "R " + Hex(section) + " " + Hex(key) + " " + Hex(def) + " " + std::to_string(capacity) + " " +
           Hex(WindowsPath(file));
  }
  std::string Ours() const {
    const auto reading = settings::ReadProfileFile(section, key, def, capacity, file);
    return std::to_string(reading.result) + " " + Hex(reading.value);
  }
  std::string Describe() const {
    return file.filename().string() + " [" + section + "] " + key + " default '" + def + "' capacity " +
           std::to_string(capacity);
  }
};

// Every name in the file and a few that are not, in other case and with blanks around.
std::vector<Read> ReadsOf(const CorpusFile& file, const std::filesystem::path& path) {
  std::vector<std::string> sections = {kPortSection, "Sec", "SEC", " sec\t", "Missing", ""};
  std::vector<std::string> keys = {"COM", "com", " COM ", "A", "Missing"};
  for (const auto& [section, names] : file.sections) {
    sections.push_back(section);
    keys.insert(keys.end(), names.begin(), names.end());
  }
  std::vector<Read> reads;
  for (const auto& section : sections)
    for (const auto& key : keys)
      for (const std::string def : {"", "dflt  "})
        for (std::uint32_t capacity : {256u, 8u}) reads.push_back({section, key, def, capacity, path});
  return reads;
}

TEST(ProfileDifferentialTest, ReadsAgreeWithGetPrivateProfileStringA) {
  const auto corpus = Enumerate(CorpusFiles());
  ASSERT_GE(corpus.size(), 20u);
  std::vector<Read> reads;
  for (const auto& file : corpus) {
    const auto more = ReadsOf(file, file.path);
    reads.insert(reads.end(), more.begin(), more.end());
  }
  std::vector<std::string> commands;
  for (const auto& read : reads) commands.push_back(read.Command());
  const auto answers = RunOracle("profile_oracle.exe", commands);
  ASSERT_EQ(answers.size(), reads.size());
  size_t failures = 0;
  for (size_t i = 0; i < reads.size(); ++i) {
    if (answers[i] == reads[i].Ours()) continue;
    if (++failures <= 25)
      ADD_FAILURE() << reads[i].Describe() << ": windows " << answers[i] << ", ours " << reads[i].Ours();
  }
  EXPECT_EQ(failures, 0u) << "of " << reads.size() << " reads";
  std::cout << reads.size() << " reads compared on " << corpus.size() << " files\n";
}

TEST(ProfileDifferentialTest, WrittenFilesReadBackAsTheWindowsFunctionWritesThem) {
  const auto corpus = Enumerate(CorpusFiles());
  const struct {
    std::string section, key, value;
  } writes[] = {
      {kPortSection, "COM", "2"}, {"Sec", "A", "9"},       {"sec", "NEW", "x y"},
      {"Brand New", "K", "v"},    {" SEC ", " a ", "  7"}, {"Sec", "V300", "short"},
  };
  TempDir dir;
  std::vector<std::string> commands;
  std::vector<Read> reads;
  std::vector<std::pair<std::filesystem::path, std::filesystem::path>> created;  // ours, theirs
  std::vector<std::pair<std::filesystem::path, std::filesystem::path>> utf16;    // ours, theirs
  int n = 0;
  for (const auto& file : corpus) {
    for (const auto& write : writes) {
      const auto ours = dir.path() / ("ours" + std::to_string(n) + ".ini");
      const auto theirs = dir.path() / ("theirs" + std::to_string(n++) + ".ini");
      std::filesystem::copy_file(file.path, ours);
      std::filesystem::copy_file(file.path, theirs);
      if (IsUtf16(Bytes(file.path))) utf16.push_back({ours, theirs});
      ASSERT_TRUE(settings::WriteProfileFile(write.section, write.key, write.value, ours));
      commands.push_back("W " + Hex(write.section) + " " + Hex(write.key) + " " + Hex(write.value) + " " +
                         Hex(WindowsPath(theirs)));
      CorpusFile names = file;
      names.sections.push_back({write.section, {write.key}});
      for (const auto& read : ReadsOf(names, ours)) {
        if (read.capacity != 256 || !read.def.empty()) continue;
        reads.push_back(read);
        reads.push_back(read);
        reads.back().file = theirs;
      }
    }
    // A new file: there the bytes themselves must agree.
    const auto ours = dir.path() / ("new-ours" + std::to_string(n) + ".ini");
    const auto theirs = dir.path() / ("new-theirs" + std::to_string(n++) + ".ini");
    ASSERT_TRUE(settings::WriteProfileFile(kPortSection, "COM", "3", ours));
    commands.push_back("W " + Hex(kPortSection) + " " + Hex("COM") + " " + Hex("3") + " " +
                       Hex(WindowsPath(theirs)));
    created.push_back({ours, theirs});
  }
  const size_t firstRead = commands.size();
  for (const auto& read : reads) commands.push_back(read.Command());
  const auto answers = RunOracle("profile_oracle.exe", commands);
  ASSERT_EQ(answers.size(), commands.size());
  for (size_t i = 0; i < firstRead; ++i) EXPECT_EQ(answers[i], "1") << commands[i];

  size_t failures = 0;
  for (size_t i = 0; i < reads.size(); i += 2) {
    const std::string& ours = answers[firstRead + i];
    const std::string& theirs = answers[firstRead + i + 1];
    if (ours == theirs) continue;
    if (++failures <= 25)
      ADD_FAILURE() << reads[i].Describe() << ": after our write " << ours << ", after theirs " << theirs;
  }
  EXPECT_EQ(failures, 0u) << "of " << reads.size() / 2 << " reads";
  std::cout << firstRead << " writes, " << reads.size() / 2 << " reads compared after them\n";
  for (const auto& [ours, theirs] : created) EXPECT_EQ(Bytes(ours), Bytes(theirs));
  // A file in UTF-16 stays in UTF-16, in its own byte order.
  for (const auto& [ours, theirs] : utf16) {
    const std::string bytes = Bytes(ours);
    EXPECT_EQ(bytes.substr(0, 2), Bytes(theirs).substr(0, 2)) << ours;
    EXPECT_EQ(bytes.size() % 2, 0u) << ours;
  }
}

}  // namespace
