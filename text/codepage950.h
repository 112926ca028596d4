#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// Conversions between UTF-16 text and the Traditional Chinese ANSI code page (950, Big5) that the
// card library and the settings file speak. Both directions work on explicit lengths, so NUL
// characters pass through like any other. Bytes that are not valid Big5 become '?', as do characters
// that code page 950 cannot hold.
std::string ToCodePage950(std::u16string_view text);
std::u16string FromCodePage950(std::string_view bytes);

// The code page 950 bytes of the longest run of whole characters from the start of `text` that
// fits in `maxBytes`: a double-byte character is never cut in half.
std::string ToCodePage950Fitted(std::u16string_view text, std::size_t maxBytes);

}  // namespace text
