#include "settings/profile_file.h"

#include <optional>
#include <vector>

#include "settings/file_replace.h"
#include "text/codepage950.h"
#include "text/utf8.h"

namespace settings {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The blanks that the Windows functions trim around names and values: blank, tab, vertical tab,
// form feed and the DOS end-of-file mark.
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f' || c == u'\x1A'; }

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::u16string_view UpToNul(std::u16string_view s) { return s.substr(0, s.find(u'\0')); }

// Names match regardless of letter case, as the Windows functions compare them; the letters here
// are those that code page 950 can hold (Latin, Greek, Cyrillic, full-width Latin).
char16_t Upper(char16_t c) {
  if ((c >= u'a' && c <= u'z') || (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) || (c >= 0x430 && c <= 0x44F) ||
      (c >= 0xFF41 && c <= 0xFF5A))
    return static_cast<char16_t>(c - 32);
  if (c == 0x3C2) return 0x3A3;
  if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 80);
  return c;
}

bool SameName(std::u16string_view stored, std::u16string_view wanted) {
  stored = UpToNul(stored);
  if (stored.size() != wanted.size()) return false;
  for (size_t i = 0; i < stored.size(); ++i)
    if (Upper(stored[i]) != Upper(wanted[i])) return false;
  return true;
}

// A file with a UTF-8 byte-order mark is read and written as UTF-8, as the Windows functions do;
// any other file holds code page 950.
struct Encoding {
  bool utf8 = false;
  std::u16string Decode(std::string_view bytes) const {
    return utf8 ? text::FromUtf8(bytes) : text::FromCodePage950(bytes);
  }
  std::string Encode(std::u16string_view s) const { return utf8 ? text::ToUtf8(s) : text::ToCodePage950(s); }
};

enum class LineKind { Other, Section, Key };

struct Line {
  std::string_view raw;  // the line's bytes, its line break included
  LineKind kind = LineKind::Other;
  std::u16string name;
  std::optional<std::u16string> value;  // a key line without '=' has no value
};

Line ParseLine(std::string_view raw, std::string_view content, const Encoding& encoding) {
  Line line;
  line.raw = raw;
  const std::u16string decoded = encoding.Decode(content);
  const std::u16string_view s = Trim(decoded);
  if (s.empty()) return line;
  if (s.front() == u'[') {
    const size_t close = s.rfind(u']');
    if (close != std::u16string_view::npos && close > 0) {
      line.kind = LineKind::Section;
      line.name = Trim(s.substr(1, close - 1));
      return line;
    }
  }
  line.kind = LineKind::Key;
  const size_t equals = s.find(u'=');
  line.name = Trim(s.substr(0, equals));
  if (equals != std::u16string_view::npos) line.value = std::u16string(Trim(s.substr(equals + 1)));
  return line;
}

struct Profile {
  Encoding encoding;
  std::string_view preamble;  // the byte-order mark, if any
  std::vector<Line> lines;
  std::string lineBreak = "\r\n";  // the file's own, for the lines we add
};

Profile Parse(std::string_view bytes) {
  Profile profile;
  if (bytes.starts_with(kUtf8Mark)) {
    profile.encoding.utf8 = true;
    profile.preamble = bytes.substr(0, kUtf8Mark.size());
    bytes.remove_prefix(kUtf8Mark.size());
  }
  bool breakSeen = false;
  while (!bytes.empty()) {
    // Each line keeps its own break (CR LF, LF or a lone CR); a blank line is a line of its own.
    const size_t end = std::min(bytes.find_first_of("\r\n"), bytes.size());
    const size_t breakLength = end == bytes.size() ? 0 : bytes.substr(end, 2) == "\r\n" ? 2 : 1;
    if (!breakSeen && breakLength > 0) {
      breakSeen = true;
      profile.lineBreak = std::string(bytes.substr(end, breakLength));
    }
    profile.lines.push_back(
        ParseLine(bytes.substr(0, end + breakLength), bytes.substr(0, end), profile.encoding));
    bytes.remove_prefix(end + breakLength);
  }
  return profile;
}

constexpr size_t kNotFound = std::string::npos;

// Where a section's lines are in the file: its header and the line after its last key line.
// Lines before the first header form a section with an empty name.
struct SectionPlace {
  size_t header = 0;  // index of the header line, or kNotFound for the unnamed section
  size_t end = 0;
};

std::optional<SectionPlace> FindSection(const Profile& profile, std::u16string_view name) {
  std::optional<SectionPlace> found;
  if (name.empty()) found = SectionPlace{kNotFound, 0};
  for (size_t i = 0; i < profile.lines.size(); ++i) {
    const Line& line = profile.lines[i];
    if (line.kind == LineKind::Section) {
      if (found) break;
      if (SameName(line.name, name)) found = SectionPlace{i, i + 1};
    } else if (found && line.kind == LineKind::Key) {
      found->end = i + 1;
    }
  }
  return found;
}

// The index of the section's first line for `key`, or kNotFound.
size_t FindKey(const Profile& profile, const std::optional<SectionPlace>& section, std::u16string_view key) {
  if (!section) return kNotFound;
  const size_t first = section->header == kNotFound ? 0 : section->header + 1;
  for (size_t i = first; i < section->end; ++i) {
    const Line& line = profile.lines[i];
    if (line.kind == LineKind::Key && SameName(line.name, key)) return i;
  }
  return kNotFound;
}

std::u16string QueryName(std::string_view bytes) {
  return std::u16string(Trim(text::FromCodePage950(bytes)));
}

// The buffer of capacity `capacity` characters that the Windows function fills with `value`: one
// pair of matching quotes around it is dropped, the rest cut to leave room for the NUL.
std::u16string CopyEntry(std::u16string_view value, size_t capacity) {
  value = UpToNul(value);
  bool quoted = false;
  if (value.size() > 1 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    quoted = true;
    value.remove_prefix(1);
  }
  std::u16string buffer(value.substr(0, capacity - 1));
  if (quoted && capacity >= value.size() && !buffer.empty()) buffer.pop_back();
  return buffer;
}

}  // namespace

ProfileReading ReadProfileFile(std::string_view section, std::string_view key, std::string_view defaultValue,
                               std::uint32_t capacity, const std::filesystem::path& file) {
  if (capacity == 0) return {};
  std::u16string fallback = text::FromCodePage950(defaultValue);
  while (!fallback.empty() && fallback.back() == u' ') fallback.pop_back();

  const FileContents contents = ReadWholeFile(file);
  std::u16string value;
  if (contents.state == FileState::Unreadable) {
    value = UpToNul(fallback).substr(0, capacity - 1);
  } else {
    const Profile profile = Parse(contents.bytes);
    const std::optional<SectionPlace> place = FindSection(profile, QueryName(section));
    const size_t found = FindKey(profile, place, QueryName(key));
    const Line* line = found != kNotFound ? &profile.lines[found] : nullptr;
    value = CopyEntry(line && line->value ? *line->value : fallback, capacity);
  }

  ProfileReading reading{0, text::ToCodePage950(value)};
  if (reading.value.size() < capacity) {
    reading.result = static_cast<std::uint32_t>(reading.value.size());
    return reading;
  }
  // Too long for the buffer: only whole characters go in, and the result says the buffer is full.
  return {capacity - 1, text::ToCodePage950Fitted(value, capacity - 1)};
}

bool WriteProfileFile(std::string_view section, std::string_view key, std::string_view value,
                      const std::filesystem::path& file) {
  const FileContents contents = ReadWholeFile(file);
  if (contents.state == FileState::Unreadable) return false;
  const Profile profile = Parse(contents.bytes);
  const std::u16string sectionName = QueryName(section);
  const std::u16string keyName = QueryName(key);
  std::u16string newValue = text::FromCodePage950(value);
  newValue.erase(0, std::min(newValue.find_first_not_of(u" \t\v\f\x1A\r\n"), newValue.size()));

  const std::optional<SectionPlace> place = FindSection(profile, sectionName);
  const size_t found = FindKey(profile, place, keyName);

  // The line for the key goes in place of its old line, after the section's last line, or into a
  // new section at the end of the file.
  if (found != kNotFound && profile.lines[found].value && UpToNul(*profile.lines[found].value) == newValue) {
    return true;  // nothing to change
  }
  auto withBreak = [&](std::string_view raw) {
    const bool broken = !raw.empty() && (raw.back() == '\n' || raw.back() == '\r');
    return std::string(raw) + (broken ? "" : profile.lineBreak);
  };
  const std::string keyLine = profile.encoding.Encode(keyName + u"=" + newValue) + profile.lineBreak;

  std::string out(profile.preamble);
  if (found == kNotFound && place && place->end == 0) out += keyLine;
  for (size_t i = 0; i < profile.lines.size(); ++i) {
    const Line& line = profile.lines[i];
    if (i == found) {
      // The key keeps its own spelling, the line its own line break.
      const size_t contentEnd = std::min(line.raw.find_first_of("\r\n"), line.raw.size());
      out += profile.encoding.Encode(std::u16string(UpToNul(line.name)) + u"=" + newValue);
      out += line.raw.substr(contentEnd);
      continue;
    }
    const bool keyAfter = found == kNotFound && place && i + 1 == place->end;
    const bool sectionAfter = !place && i + 1 == profile.lines.size();
    out += keyAfter || sectionAfter ? withBreak(line.raw) : std::string(line.raw);
    if (keyAfter) out += keyLine;
  }
  if (!place) out += profile.encoding.Encode(u"[" + sectionName + u"]") + profile.lineBreak + keyLine;
  return ReplaceFileContents(file, out);
}

}  // namespace settings
