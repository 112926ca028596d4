#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "settings/profile_file.h"
#include "tests/support/temp_dir.h"

namespace {

using settings::ReadProfileFile;
using settings::WriteProfileFile;
using testing_support::TempDir;

const std::string kBig5Section = "\xc5\xaa\xa5\x64\xbe\xf7\xb3\x73\xb1\xb5\xb0\xf0";

// A file as Notepad saves it as "Unicode" (or its big-endian kind): the mark, then UTF-16 units.
std::string Utf16(std::u16string_view text, bool little = true) {
  std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
  for (char16_t unit : text) {
    const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
    bytes += little ? low : high;
    bytes += little ? high : low;
  }
  return bytes;
}

struct ReadRow {
  const char* name;
  std::optional<std::string> file;  // none: no file at all
  std::string section, key;
  std::uint32_t result;
  std::string value;
  std::string defaultValue = "";
};

TEST(ProfileReadTest, ReadsAsTheWindowsFunctionDoes) {
  const std::string a254(254, 'a');
  const ReadRow rows[] = {
      {"missing file", std::nullopt, "Sec", "COM", 0, ""},
      {"missing file, default", std::nullopt, "Sec", "COM", 1, "7", "7"},
      {"default loses trailing blanks", "", "Sec", "COM", 2, " 7", " 7  "},
      {"empty file", "", "Sec", "COM", 0, ""},
      {"section missing", "[Other]\r\nCOM=4\r\n", "Sec", "COM", 0, ""},
      {"key missing", "[Sec]\r\nPORT=4\r\n", "Sec", "COM", 0, ""},
      {"empty value", "[Sec]\r\nCOM=\r\n", "Sec", "COM", 0, ""},
      {"key without equals sign", "[Sec]\r\nCOM\r\n", "Sec", "COM", 0, ""},
      {"CR LF", "[Sec]\r\nCOM=4\r\n", "Sec", "COM", 1, "4"},
      {"LF", "[Sec]\nCOM=4\n", "Sec", "COM", 1, "4"},
      {"lone CR", "[Sec]\rCOM=4\r", "Sec", "COM", 1, "4"},
      {"no final break", "[Sec]\nCOM=4", "Sec", "COM", 1, "4"},
      {"blanks and tabs around", " \t[Sec] \n \tCOM \t= \t4 2\t \n", "Sec", "COM", 3, "4 2"},
      {"blanks inside the brackets", "[ Sec\t]\nCOM=4\n", "Sec", "COM", 1, "4"},
      {"other ASCII case", "[sEC]\ncom=4\n", "Sec", "COM", 1, "4"},
      {"Big5 section", "[" + kBig5Section + "]\r\nCOM=3\r\n", kBig5Section, "COM", 1, "3"},
      {"text after the bracket", "[Sec] ; note\nCOM=4\n", "Sec", "COM", 1, "4"},
      {"bracket line without ]", "[Sec]\nCOM=4\n[Other\nCOM=5\n", "Sec", "COM", 1, "4"},
      {"Big5 trail byte is no ]", "[Sec]\n[Other\xa4\x5d\nCOM=5\n", "Sec", "COM", 1, "5"},
      {"keys before any section", "COM=9\n[Sec]\nCOM=4\n", "Sec", "COM", 1, "4"},
      {"first duplicate section wins", "[Sec]\nA=1\n[Sec]\nCOM=4\n", "Sec", "COM", 0, ""},
      {"first duplicate key wins", "[Sec]\nCOM=4\nCOM=5\n", "Sec", "COM", 1, "4"},
      {"comment lines are keys", "[Sec]\n;COM=5\nCOM=4\n", "Sec", ";COM", 1, "5"},
      {"one pair of quotes dropped", "[Sec]\nCOM=\"4\"\n", "Sec", "COM", 1, "4"},
      {"unmatched quotes kept", "[Sec]\nCOM='4\"\n", "Sec", "COM", 3, "'4\""},
      {"NUL ends the value", std::string("[Sec]\nCOM=4\0 5\n", 15), "Sec", "COM", 1, "4"},
      {"NUL ends the name", std::string("[Sec]\nCO\0X=4\n", 13), "Sec", "CO", 1, "4"},
      {"UTF-8 byte-order mark",
       "\xef\xbb\xbf[\xe8\xae\x80\xe5\x8d\xa1\xe6\xa9\x9f\xe9\x80\xa3\xe6\x8e\xa5\xe5\x9f\xa0]\nCOM=4\n",
       kBig5Section, "COM", 1, "4"},
      // 上 and 不 are 0A 4E and 0D 4E: no line break.
      {"UTF-16 byte-order mark", Utf16(u"[讀卡機連接埠]\r\n上=1\r\nCOM=上不\r\n"), kBig5Section, "COM", 4,
       "\xa4\x57\xa4\xa3"},
      {"UTF-16 name", Utf16(u"[Sec]\n上=5\n"), "Sec", "\xa4\x57", 1, "5"},
      {"UTF-16 big-endian", Utf16(u"[Sec]\rCOM=4\r", false), "Sec", "COM", 1, "4"},
      {"UTF-16 odd last byte", Utf16(u"[Sec]\r\nCOM=4") + "5", "Sec", "COM", 2, "45"},
      {"UTF-16 mark alone", Utf16(u""), "Sec", "COM", 0, ""},
      {"UTF-16 without its mark", Utf16(u"[Sec]\r\nCOM=4\r\n").substr(2), "Sec", "COM", 0, ""},
      {"255 bytes fit", "[Sec]\nCOM=" + a254 + "b\n", "Sec", "COM", 255, a254 + "b"},
      {"longer values are cut", "[Sec]\nCOM=" + a254 + "bcdef\n", "Sec", "COM", 255, a254 + "b"},
      {"a double-byte character at byte 255 stays out", "[Sec]\nCOM=" + a254 + "\xa4\xa4z\n", "Sec", "COM",
       255, a254},
      {"quoted 255 characters lose one", "[Sec]\nCOM=\"" + a254 + "b\"\n", "Sec", "COM", 254, a254},
  };
  for (const ReadRow& row : rows) {
    // Small pieces put every line break and bracket at the edge of what is held.
    for (size_t piece : {size_t{1}, size_t{2}, size_t{3}, settings::kReadPiece}) {
      SCOPED_TRACE(std::string(row.name) + ", pieces of " + std::to_string(piece));
      TempDir dir;
      const auto file = dir.path() / "t.ini";
      if (row.file) dir.Write("t.ini", *row.file);
      const auto reading = ReadProfileFile(row.section, row.key, row.defaultValue, 256, file, piece);
      EXPECT_EQ(reading.result, row.result);
      EXPECT_EQ(reading.value, row.value);
      EXPECT_EQ(std::filesystem::exists(file), row.file.has_value());
    }
  }
}

TEST(ProfileReadTest, DirectoryReadsAsTheDefault) {
  TempDir dir;
  EXPECT_EQ(ReadProfileFile("Sec", "COM", "", 256, dir.path()).result, 0u);
}

TEST(ProfileWriteTest, ChangesOnlyTheKeyLine) {
  const struct {
    const char* name;
    std::optional<std::string> before;
    std::string section, value, after;
  } rows[] = {
      {"creates the file", std::nullopt, kBig5Section, "1", "[" + kBig5Section + "]\r\nCOM=1\r\n"},
      {"empty file", "", "Sec", "1", "[Sec]\r\nCOM=1\r\n"},
      {"replaces the value", "x=1\n[Sec]\n; c\n  COM = 4\t\nz=2\n\n\n[B]\nq=1", "Sec", "5",
       "x=1\n[Sec]\n; c\nCOM=5\nz=2\n\n\n[B]\nq=1"},
      {"keeps the key's spelling", "[SEC]\r\ncom=4\r\n", "Sec", "5", "[SEC]\r\ncom=5\r\n"},
      {"first of duplicate keys", "[Sec]\nCOM=4\nCOM=6\n", "Sec", "5", "[Sec]\nCOM=5\nCOM=6\n"},
      {"key without value", "[Sec]\r\nCOM\r\n", "Sec", "5", "[Sec]\r\nCOM=5\r\n"},
      {"adds the key after the section's last line", "[Sec]\r\nA=1\r\n\r\n[B]\r\nq=1\r\n", "Sec", "5",
       "[Sec]\r\nA=1\r\nCOM=5\r\n\r\n[B]\r\nq=1\r\n"},
      {"adds the key to an empty section", "[Sec]\n[B]\n", "Sec", "5", "[Sec]\nCOM=5\n[B]\n"},
      {"section's last line without a break", "[Sec]\nA=1", "Sec", "5", "[Sec]\nA=1\nCOM=5\n"},
      {"appends the section", "[A]\nk=1\n", "Sec", "5", "[A]\nk=1\n[Sec]\nCOM=5\n"},
      {"appends after a last line without break", "[A]\nk=1", "Sec", "5", "[A]\nk=1\n[Sec]\nCOM=5\n"},
      {"lone CR file", "[A]\rk=1\r", "Sec", "5", "[A]\rk=1\r[Sec]\rCOM=5\r"},
      {"same value changes nothing", "[Sec]\n COM = 5 \n", "Sec", "5", "[Sec]\n COM = 5 \n"},
      {"leading blanks of the value dropped", "[Sec]\nCOM=4\n", "Sec", "  7", "[Sec]\nCOM=7\n"},
      {"UTF-8 file stays UTF-8", "\xef\xbb\xbf[A]\r\n", kBig5Section, "2",
       "\xef\xbb\xbf[A]\r\n[\xe8\xae\x80\xe5\x8d\xa1\xe6\xa9\x9f\xe9\x80\xa3\xe6\x8e\xa5\xe5\x9f\xa0]\r\nCOM="
       "2\r\n"},
      // Windows rewrites the whole file; we keep every other unit, even a lone surrogate.
      {"UTF-16 file stays UTF-16", Utf16(u"; 註\r\n[Sec]\r\nCOM=4\r\nB=\xD800x\n\r\n[上]\r\nq=1"), "Sec", "5",
       Utf16(u"; 註\r\n[Sec]\r\nCOM=5\r\nB=\xD800x\n\r\n[上]\r\nq=1")},
      {"appends to a UTF-16 file", Utf16(u"[A]\r\nk=上"), kBig5Section, "2",
       Utf16(u"[A]\r\nk=上\r\n[讀卡機連接埠]\r\nCOM=2\r\n")},
      {"UTF-16 big-endian stays so", Utf16(u"[Sec]\nCOM=4\n", false), "Sec", "5",
       Utf16(u"[Sec]\nCOM=5\n", false)},
      {"UTF-16 odd last byte", Utf16(u"[Sec]\r\nCOM=4\r\n") + "A", "Sec", "5", Utf16(u"[Sec]\r\nCOM=5\r\nA")},
  };
  for (const auto& row : rows) {
    for (size_t piece : {size_t{1}, size_t{2}, size_t{3}, settings::kReadPiece}) {
      SCOPED_TRACE(std::string(row.name) + ", pieces of " + std::to_string(piece));
      TempDir dir;
      if (row.before) dir.Write("t.ini", *row.before);
      EXPECT_TRUE(WriteProfileFile(row.section, "COM", row.value, dir.path() / "t.ini", piece));
      EXPECT_EQ(dir.Read("t.ini"), row.after);
      EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    }
  }
}

TEST(ProfileWriteTest, RefusedWriteLeavesTheFileAsItWas) {
  const std::string before = "[Sec]\r\nCOM=1\r\n";
  const struct {
    const char* name;
    std::string section, key, value;
    bool readOnly = false;
  } rows[] = {
      {"line feed in the value", "Sec", "COM", "2\n[Other]"},
      {"CR in the value", "Sec", "COM", "2\rX=1"},
      {"NUL in the value", "Sec", "COM", std::string("2\0X", 3)},
      {"line feed in the key", "Sec", "X\nCOM", "2"},
      {"CR in the section", "Sec\r", "COM", "2"},
      {"NUL in the section", std::string("Sec\0", 4), "COM", "2"},
      // An administrator locks the port this way; the Windows function then fails.
      {"read-only file", "Sec", "COM", "2", true},
      {"read-only file, same value", "Sec", "COM", "1", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    const auto file = dir.Write("t.ini", before);
    if (row.readOnly) std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    EXPECT_FALSE(WriteProfileFile(row.section, row.key, row.value, file));
    EXPECT_EQ(dir.Read("t.ini"), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    // Windows removes no read-only file.
    std::filesystem::permissions(file, std::filesystem::perms::owner_all);
  }
}

#ifndef _WIN32
TEST(ProfileWriteTest, WritesThroughSymbolicLinks) {
  const struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> links;  // link, what it names
    std::string target;  // the file that the links end at, in the directory
    bool exists = true;
  } rows[] = {
      {"link beside its target", {{"t.ini", "real.ini"}}, "real.ini"},
      {"link into another directory", {{"t.ini", "sub/real.ini"}}, "sub/real.ini"},
      {"link by absolute path", {{"t.ini", "@/sub/real.ini"}}, "sub/real.ini"},
      {"chain of links", {{"t.ini", "sub/link.ini"}, {"sub/link.ini", "../real.ini"}}, "real.ini"},
      {"link to a file not yet there", {{"t.ini", "sub/real.ini"}}, "sub/real.ini", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "sub");
    if (row.exists) dir.Write(row.target, "; kept\n[Sec]\nCOM=1\n");
    for (const auto& [link, named] : row.links) {
      const std::string to = named.starts_with('@') ? dir.path().string() + named.substr(1) : named;
      std::filesystem::create_symlink(to, dir.path() / link);
    }
    ASSERT_TRUE(WriteProfileFile("Sec", "COM", "2", dir.path() / "t.ini"));
    EXPECT_EQ(dir.Read(row.target), row.exists ? "; kept\n[Sec]\nCOM=2\n" : "[Sec]\r\nCOM=2\r\n");
    for (const auto& [link, named] : row.links) EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / link));
    EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator(dir.path()), {}),
              static_cast<std::ptrdiff_t>(row.links.size() + 2));
  }
}

TEST(ProfileWriteTest, KeepsPermissions) {
  TempDir dir;
  const auto file = dir.Write("t.ini", "[Sec]\nCOM=1\n");
  std::filesystem::permissions(file, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::owner_write |
                                         std::filesystem::perms::group_read);
  ASSERT_TRUE(WriteProfileFile("Sec", "COM", "2", file));
  EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                std::filesystem::perms::group_read);
}

#endif

TEST(ProfileWriteTest, FailureLeavesTheOldFileAsItWas) {
  TempDir dir;
  // A path that is a directory, and a file in a directory that does not exist.
  std::filesystem::create_directory(dir.path() / "t.ini");
  EXPECT_FALSE(WriteProfileFile("Sec", "COM", "2", dir.path() / "t.ini"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "t.ini"));
#ifndef _WIN32
  // A pipe is neither waited on nor replaced.
  ASSERT_EQ(mkfifo((dir.path() / "p.ini").c_str(), 0600), 0);
  EXPECT_EQ(ReadProfileFile("Sec", "COM", "", 256, dir.path() / "p.ini").result, 0u);
  EXPECT_FALSE(WriteProfileFile("Sec", "COM", "2", dir.path() / "p.ini"));
  EXPECT_EQ(std::filesystem::status(dir.path() / "p.ini").type(), std::filesystem::file_type::fifo);
  std::filesystem::remove(dir.path() / "p.ini");
#endif
  EXPECT_FALSE(WriteProfileFile("Sec", "COM", "2", dir.path() / "none" / "t.ini"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

#ifndef _WIN32
TEST(ProfileWriteTest, UnwritableDirectoryLeavesTheOldFile) {
  // Not even root may create files in /proc.
  EXPECT_FALSE(WriteProfileFile("Sec", "COM", "2", "/proc/VANTOQuery.ini"));
  if (geteuid() == 0) GTEST_SKIP() << "root writes into any other directory";
  TempDir dir;
  const auto file = dir.Write("t.ini", "[Sec]\nCOM=1\n");
  std::filesystem::permissions(dir.path(),
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  EXPECT_FALSE(WriteProfileFile("Sec", "COM", "2", file));
  EXPECT_EQ(dir.Read("t.ini"), "[Sec]\nCOM=1\n");
}
#endif

}  // namespace
