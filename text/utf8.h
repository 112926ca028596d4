#pragma once

#include <string>
#include <string_view>

namespace text {

// UTF-8 for the files that people write by hand (the simulator's scenario, settings files saved with
// a byte-order mark). Malformed input becomes U+FFFD.
std::u16string FromUtf8(std::string_view bytes);
std::string ToUtf8(std::u16string_view text);

}  // namespace text
