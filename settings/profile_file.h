#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace settings {

// What a private-profile read hands back: the function's result and the buffer's text up to its
// first NUL. The two differ by one when a double-byte character did not fit: the result then
// says capacity minus one, as the Windows function does, although one byte fewer was copied.
struct ProfileReading {
  std::uint32_t result = 0;
  std::string value;
};

// How many bytes of a file are read at a time. Tests make it small, to put line breaks at its edges.
inline constexpr std::size_t kReadPiece = 1 << 17;

// Our own reader and writer of private-profile files, made to read and write them as the Windows
// functions GetPrivateProfileStringA and WritePrivateProfileStringA do. Names and values are code
// page 950 bytes. A file that begins with a byte-order mark (UTF-8, UTF-16 of either byte order) is
// read and written in that encoding, any other as code page 950, whatever the system's code page.
// The file is understood as text, never as raw bytes, so a Big5 trail byte that happens to be
// '[' , ']' or an ASCII letter is never taken for one. A read stops at the key it
// looks for; neither keeps a copy of the file, only a piece of its bytes and the lines at hand.
ProfileReading ReadProfileFile(std::string_view section, std::string_view key, std::string_view defaultValue,
                               std::uint32_t capacity, const std::filesystem::path& file,
                               std::size_t piece = kReadPiece);

// Sets the key's value, leaving every other line of the file byte for byte as it was. The new file
// replaces the old one only once it is complete; a symbolic link is written through. Returns false
// when it could not be written or may not be: a file its owner may not write, a directory, a pipe,
// or a name or value that does not fit on one line. The old file then stays as it was.
bool WriteProfileFile(std::string_view section, std::string_view key, std::string_view value,
                      const std::filesystem::path& file, std::size_t piece = kReadPiece);

// Whether a name or value can be written: a CR, LF or NUL in it would end its line early.
bool FitsOnOneLine(std::string_view text);

}  // namespace settings
