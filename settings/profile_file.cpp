#include "settings/profile_file.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

#include "settings/file_replace.h"
#include "text/codepage950.h"
#include "text/utf8.h"

namespace settings {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

// The blanks that the Windows functions trim around names and values: blank, tab, vertical tab,
// form feed and the DOS end-of-file mark.
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f' || c == u'\x1A'; }
bool IsBlankByte(char c) { return IsBlank(static_cast<unsigned char>(c)); }
bool IsBreak(char c) { return c == '\r' || c == '\n'; }

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

// The text of a UTF-16 file is held the way UTF-8 writes characters, but one UTF-16 unit at a time
// (each half of a surrogate pair on its own, and a lone one too): its line breaks, brackets and
// blanks are then single bytes as in the other files, and every unit goes back to the file as it
// came, whatever it is.
void AppendUnit(std::string& held, char16_t unit) {
  if (unit < 0x80) {
    held += static_cast<char>(unit);
  } else if (unit < 0x800) {
    held += static_cast<char>(0xC0 | (unit >> 6));
    held += static_cast<char>(0x80 | (unit & 0x3F));
  } else {
    held += static_cast<char>(0xE0 | (unit >> 12));
    held += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
    held += static_cast<char>(0x80 | (unit & 0x3F));
  }
}

std::u16string UnitsOf(std::string_view held) {
  std::u16string units;
  for (std::size_t i = 0; i < held.size();) {
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(held[at]); };
    const std::size_t length = byte(i) < 0x80 ? 1 : byte(i) < 0xE0 ? 2 : 3;
    if (i + length > held.size()) break;
    if (length == 1) units += byte(i);
    if (length == 2) units += static_cast<char16_t>(((byte(i) & 0x1F) << 6) | (byte(i + 1) & 0x3F));
    if (length == 3)
      units += static_cast<char16_t>(((byte(i) & 0x0F) << 12) | ((byte(i + 1) & 0x3F) << 6) |
                                     (byte(i + 2) & 0x3F));
    i += length;
  }
  return units;
}

// How a file's bytes are text, as its byte-order mark says. A file with a UTF-8 or a UTF-16 mark
// (Notepad's "Unicode", or its big-endian kind) is read and written in that encoding, as the
// Windows functions do; any other file holds code page 950.
enum class FileText { CodePage950, Utf8, Utf16Le, Utf16Be };

struct Encoding {
  FileText text = FileText::CodePage950;

  bool Utf16() const { return text == FileText::Utf16Le || text == FileText::Utf16Be; }
  std::string_view Mark() const {
    return text == FileText::Utf8      ? kUtf8Mark
           : text == FileText::Utf16Le ? kUtf16LeMark
           : text == FileText::Utf16Be ? kUtf16BeMark
                                       : std::string_view();
  }
  std::u16string Decode(std::string_view bytes) const {
    // ASCII bytes are themselves in every encoding, and most lines hold nothing else.
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
      return std::u16string(bytes.begin(), bytes.end());
    if (Utf16()) return UnitsOf(bytes);
    return text == FileText::Utf8 ? text::FromUtf8(bytes) : text::FromCodePage950(bytes);
  }
  std::string Encode(std::u16string_view s) const {
    if (Utf16()) {
      std::string held;
      for (char16_t unit : s) AppendUnit(held, unit);
      return held;
    }
    return text == FileText::Utf8 ? text::ToUtf8(s) : text::ToCodePage950(s);
  }
  // Bytes of a UTF-16 file as they were held, back in the file's own byte order.
  std::string FileBytes(std::string_view held) const {
    std::string bytes;
    bytes.reserve(held.size() * 2);
    for (char16_t unit : UnitsOf(held)) {
      const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
      bytes += text == FileText::Utf16Le ? low : high;
      bytes += text == FileText::Utf16Le ? high : low;
    }
    return bytes;
  }
};

// The lines of a file as the Windows functions split them, at CR LF, a lone CR or a lone LF, each
// with its own break. Only a piece of the file and the line at hand are held at a time.
class LineReader {
 public:
  using Sink = std::function<void(std::string_view)>;

  LineReader(FileReader& file, std::size_t piece) : file_(file), piece_(std::max<std::size_t>(piece, 1)) {}

  bool failed() const { return file_.state() == FileReader::State::Unreadable; }

  // Takes a byte-order mark off the start of the file and tells what it says. The text of a UTF-16
  // file is held as UnitsOf reads it from then on.
  FileText TakeMark() {
    while (size_ - pos_ < kUtf8Mark.size() && Fill()) {
    }
    if (Held().starts_with(kUtf8Mark)) {
      pos_ += kUtf8Mark.size();
      return FileText::Utf8;
    }
    const bool little = Held().starts_with(kUtf16LeMark);
    if (!little && !Held().starts_with(kUtf16BeMark)) return FileText::CodePage950;
    text_ = little ? FileText::Utf16Le : FileText::Utf16Be;
    const std::string raw(Held().substr(kUtf16LeMark.size()));
    pos_ = size_ = 0;
    Hold(raw);
    if (end_) Hold({});
    return text_;
  }

  // The first line's break, without taking the line; CR LF when the file has none.
  std::string_view FirstBreak() {
    for (std::size_t i = 0;; ++i) {
      while (pos_ + i + 1 >= size_ && Fill()) {
      }
      if (pos_ + i >= size_) return "\r\n";
      const char c = buffer_[pos_ + i];
      if (c == '\n') return "\n";
      if (c == '\r') return pos_ + i + 1 < size_ && buffer_[pos_ + i + 1] == '\n' ? "\r\n" : "\r";
    }
  }

  // The next line with its break; false at the end of the file. The view holds until the next call.
  bool Next(std::string_view& line) {
    std::size_t searched = 0;  // bytes after pos_ known to hold no break
    for (;;) {
      std::size_t i = pos_ + searched;
      while (i < size_ && !IsBreak(buffer_[i])) ++i;
      if (i < size_ && (buffer_[i] == '\n' || i + 1 < size_ || end_)) {
        const std::size_t end = i + (buffer_[i] == '\r' && i + 1 < size_ && buffer_[i + 1] == '\n' ? 2 : 1);
        line = Take(end - pos_);
        return true;
      }
      // A CR at the end of what is held may be the first half of CR LF.
      searched = i - pos_;
      if (!Fill()) {
        if (pos_ == size_) return false;
        line = Take(size_ - pos_);
        return true;
      }
    }
  }

  // Hands the lines before the next one whose first non-blank byte is '[' to `skipped`; false when
  // the file ends first. Only such a line can be a section's header, and finding its bracket takes
  // one search of the bytes rather than a look at every line.
  bool SkipToBracketLine(const Sink& skipped) {
    std::size_t searched = 0;  // bytes after pos_ known to hold no bracket and no break
    for (;;) {
      for (std::size_t from = pos_ + searched; from < size_;) {
        const void* hit = std::memchr(buffer_.data() + from, '[', size_ - from);
        if (!hit) break;
        const std::size_t bracket = static_cast<std::size_t>(static_cast<const char*>(hit) - buffer_.data());
        std::size_t start = bracket;
        while (start > pos_ && IsBlankByte(buffer_[start - 1])) --start;
        // Blanks cannot be the second byte of a character, so the bracket begins its line's text.
        if (start == pos_ || IsBreak(buffer_[start - 1])) {
          skipped(Take(start - pos_));
          return true;
        }
        from = bracket + 1;
      }
      // Whole lines without a header go on at once; the unfinished last one waits for more bytes.
      std::size_t lineStart = size_;
      while (lineStart > pos_ + searched && !IsBreak(buffer_[lineStart - 1])) --lineStart;
      if (lineStart == pos_ + searched) lineStart = pos_;
      skipped(Take(lineStart - pos_));
      searched = size_ - pos_;
      if (!Fill()) {
        skipped(Take(size_ - pos_));
        return false;
      }
    }
  }

  // Hands everything not yet taken to `rest`.
  void Rest(const Sink& rest) {
    do rest(Take(size_ - pos_));
    while (Fill());
  }

  // Whether the last byte taken ended a line: a line added after it needs no break of its own.
  bool EndsWithBreak() const { return IsBreak(last_); }

 private:
  std::string_view Held() const { return {buffer_.data() + pos_, size_ - pos_}; }

  std::string_view Take(std::size_t count) {
    const std::string_view taken(buffer_.data() + pos_, count);
    pos_ += count;
    if (count > 0) last_ = taken.back();
    return taken;
  }

  // Reads one more piece behind what is held; false at the end of the file or when reading failed.
  bool Fill() {
    if (end_) return false;
    if (pos_ > 0) {
      std::memmove(buffer_.data(), buffer_.data() + pos_, size_ - pos_);
      size_ -= pos_;
      pos_ = 0;
    }
    if (text_ == FileText::Utf16Le || text_ == FileText::Utf16Be) {
      const std::size_t before = size_;
      std::string raw;
      while (size_ == before && !end_) {
        raw.resize(piece_);
        raw.resize(file_.Read(raw.data(), piece_));
        end_ = raw.empty();
        Hold(raw);
      }
      return size_ > before;
    }
    if (buffer_.size() < size_ + piece_) buffer_.resize(std::max(buffer_.size() * 2, size_ + piece_));
    const std::size_t n = file_.Read(buffer_.data() + size_, piece_);
    size_ += n;
    end_ = n == 0;
    return !end_;
  }

  // Puts the units of raw UTF-16 bytes behind what is held; an odd byte waits for its partner, and
  // at the end of the file (empty `raw`) stands for a unit of its own, as if a zero byte followed.
  void Hold(std::string_view raw) {
    std::string units;
    const auto take = [&](unsigned char first, unsigned char second) {
      AppendUnit(units, static_cast<char16_t>(text_ == FileText::Utf16Le ? first | second << 8
                                                                         : first << 8 | second));
    };
    std::size_t i = 0;
    if (odd_ && !raw.empty()) {
      take(*odd_, static_cast<unsigned char>(raw[0]));
      odd_.reset();
      i = 1;
    }
    for (; i + 1 < raw.size(); i += 2)
      take(static_cast<unsigned char>(raw[i]), static_cast<unsigned char>(raw[i + 1]));
    if (i < raw.size()) odd_ = static_cast<unsigned char>(raw[i]);
    if (raw.empty() && odd_) {
      take(*odd_, 0);
      odd_.reset();
    }
    if (buffer_.size() < size_ + units.size())
      buffer_.resize(std::max(buffer_.size() * 2, size_ + units.size()));
    std::memcpy(buffer_.data() + size_, units.data(), units.size());
    size_ += units.size();
  }

  FileReader& file_;
  const std::size_t piece_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;   // the next byte to take, always the start of a line
  std::size_t size_ = 0;  // the end of the bytes held
  bool end_ = false;
  char last_ = '\n';
  FileText text_ = FileText::CodePage950;
  std::optional<unsigned char> odd_;  // the first byte of a UTF-16 unit whose second is still to come
};

enum class LineKind { Other, Section, Key };

struct Line {
  LineKind kind = LineKind::Other;
  std::u16string name;
  std::optional<std::u16string> value;  // a key line without '=' has no value
};

std::string_view Content(std::string_view raw) {
  return raw.substr(0, std::min(raw.find_first_of("\r\n"), raw.size()));
}

Line ParseLine(std::string_view raw, const Encoding& encoding) {
  Line line;
  const std::u16string decoded = encoding.Decode(Content(raw));
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

std::string_view TrimBytes(std::string_view s) {
  while (!s.empty() && IsBlankByte(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlankByte(s.back())) s.remove_suffix(1);
  return s;
}

bool SameAsciiName(std::string_view stored, std::u16string_view wanted) {
  stored = stored.substr(0, stored.find('\0'));
  if (stored.size() != wanted.size()) return false;
  for (size_t i = 0; i < stored.size(); ++i)
    if (Upper(static_cast<unsigned char>(stored[i])) != Upper(wanted[i])) return false;
  return true;
}

// What kind of line it is and whether its name is `wanted`. A line of ASCII bytes, as most are, is
// looked at as it is: decoding every line of a large file would cost far more than reading it.
struct Glance {
  LineKind kind = LineKind::Other;
  bool named = false;
};

Glance GlanceAt(std::string_view raw, const Encoding& encoding, std::u16string_view wanted) {
  const std::string_view content = Content(raw);
  if (!std::all_of(content.begin(), content.end(),
                   [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    const Line line = ParseLine(raw, encoding);
    return {line.kind, line.kind != LineKind::Other && SameName(line.name, wanted)};
  }
  const std::string_view s = TrimBytes(content);
  if (s.empty()) return {};
  if (s.front() == '[') {
    const size_t close = s.rfind(']');
    if (close != std::string_view::npos && close > 0)
      return {LineKind::Section, SameAsciiName(TrimBytes(s.substr(1, close - 1)), wanted)};
  }
  return {LineKind::Key, SameAsciiName(TrimBytes(s.substr(0, s.find('='))), wanted)};
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

// The key's first line in the first section of that name; lines before the first header form a
// section with an empty name. The file is read no further than that section.
struct Entry {
  bool readable = true;
  bool found = false;
  std::optional<std::u16string> value;
};

Entry FindEntry(FileReader& file, std::size_t piece, std::u16string_view section, std::u16string_view key) {
  if (file.state() == FileReader::State::Missing) return {};
  LineReader lines(file, piece);
  const Encoding encoding{lines.TakeMark()};
  bool inSection = section.empty();
  std::string_view raw;
  for (;;) {
    if (!inSection && !lines.SkipToBracketLine([](std::string_view) {})) break;
    if (!lines.Next(raw)) break;
    const Glance glance = GlanceAt(raw, encoding, inSection ? key : section);
    if (glance.kind == LineKind::Section) {
      if (inSection) break;
      inSection = glance.named;
    } else if (inSection && glance.kind == LineKind::Key && glance.named) {
      return {true, true, ParseLine(raw, encoding).value};
    }
  }
  return {!lines.failed(), false, std::nullopt};
}

enum class Composed { Ready, Unchanged, Failed };

// The new contents of the file into `out`. The old file is closed again before it is replaced,
// since Windows replaces no file that is open.
Composed Compose(std::string_view section, std::string_view key, std::string_view value, FileReplacement& out,
                 std::size_t piece) {
  FileReader reader(out.target());
  if (reader.state() == FileReader::State::Unreadable) return Composed::Failed;

  const std::u16string sectionName = QueryName(section);
  const std::u16string keyName = QueryName(key);
  std::u16string newValue = text::FromCodePage950(value);
  newValue.erase(0, std::min(newValue.find_first_not_of(u" \t\v\f\x1A"), newValue.size()));

  LineReader lines(reader, piece);
  const Encoding encoding{lines.TakeMark()};
  out.Append(encoding.Mark());
  // What is held goes to the new file in the old file's encoding.
  const auto put = [&out, &encoding](std::string_view held) {
    if (encoding.Utf16())
      out.Append(encoding.FileBytes(held));
    else
      out.Append(held);
  };
  // The file's own line break, for the lines we add.
  const std::string lineBreak(lines.FirstBreak());
  const std::string keyLine = encoding.Encode(keyName + u"=" + newValue) + lineBreak;

  // The key's line goes in place of its old line, after the section's last line (before the blank
  // lines that follow it), or into a new section at the end of the file.
  bool inSection = sectionName.empty();
  std::string blanks;  // blank lines of the section not yet passed on
  bool placed = false;
  std::string_view raw;
  for (;;) {
    if (!inSection && !lines.SkipToBracketLine(put)) break;
    if (!lines.Next(raw)) break;
    const Glance glance = GlanceAt(raw, encoding, inSection ? keyName : sectionName);
    if (!inSection) {
      put(raw);
      inSection = glance.kind == LineKind::Section && glance.named;
      continue;
    }
    if (glance.kind == LineKind::Other) {
      blanks += raw;
      continue;
    }
    if (glance.kind == LineKind::Key && !glance.named) {
      put(blanks);
      blanks.clear();
      put(raw);
      continue;
    }
    if (glance.kind == LineKind::Key) {
      const Line line = ParseLine(raw, encoding);
      if (line.value && UpToNul(*line.value) == newValue) return Composed::Unchanged;
      // The key keeps its own spelling, the line its own line break.
      put(blanks);
      put(encoding.Encode(std::u16string(UpToNul(line.name)) + u"=" + newValue));
      put(raw.substr(Content(raw).size()));
    } else {
      put(keyLine);
      put(blanks);
      put(raw);
    }
    placed = true;
    lines.Rest(put);
    break;
  }
  if (lines.failed()) return Composed::Failed;
  if (!placed) {
    // Blank lines follow a line that has its break; the file's last line may have none.
    if (blanks.empty() && !lines.EndsWithBreak()) put(lineBreak);
    if (!inSection) put(encoding.Encode(u"[" + sectionName + u"]") + lineBreak);
    put(keyLine);
    put(blanks);
  }
  return Composed::Ready;
}

}  // namespace

bool FitsOnOneLine(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) == text.npos;
}

ProfileReading ReadProfileFile(std::string_view section, std::string_view key, std::string_view defaultValue,
                               std::uint32_t capacity, const std::filesystem::path& file, std::size_t piece) {
  if (capacity == 0) return {};
  std::u16string fallback = text::FromCodePage950(defaultValue);
  while (!fallback.empty() && fallback.back() == u' ') fallback.pop_back();

  FileReader reader(file);
  const Entry entry = FindEntry(reader, piece, QueryName(section), QueryName(key));
  const std::u16string value = entry.readable && entry.value ? CopyEntry(*entry.value, capacity)
                               : entry.readable              ? CopyEntry(fallback, capacity)
                                                : std::u16string(UpToNul(fallback).substr(0, capacity - 1));

  ProfileReading reading{0, text::ToCodePage950(value)};
  if (reading.value.size() < capacity) {
    reading.result = static_cast<std::uint32_t>(reading.value.size());
    return reading;
  }
  // Too long for the buffer: only whole characters go in, and the result says the buffer is full.
  return {capacity - 1, text::ToCodePage950Fitted(value, capacity - 1)};
}

bool WriteProfileFile(std::string_view section, std::string_view key, std::string_view value,
                      const std::filesystem::path& file, std::size_t piece) {
  // A line break would end the line early and start another of the caller's making.
  if (!FitsOnOneLine(section) || !FitsOnOneLine(key) || !FitsOnOneLine(value)) return false;
  FileReplacement out(file);
  if (!out.possible()) return false;
  switch (Compose(section, key, value, out, piece)) {
    case Composed::Unchanged:
      return true;
    case Composed::Failed:
      return false;
    case Composed::Ready:
      break;
  }
  return out.Commit();
}

}  // namespace settings
