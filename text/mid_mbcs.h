#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// The text of `length` code page 950 bytes of `str`, beginning at the 1-based byte `start`. The cut
// is not moved to a character boundary: half a double-byte character goes to the converter as it is.
std::u16string MidMbcs(std::u16string_view str, std::size_t start, std::size_t length);

// The same cut from code page 950 bytes themselves. Bytes that do not convert shrink the text, so
// positions in bytes that a library returned hold only in those bytes, never in their text.
std::u16string MidBytes(std::string_view bytes, std::size_t start, std::size_t length);

}  // namespace text
