#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace settings {

// The port argument of csOpenCom for a stored port number: the number minus one, a fraction
// rounded half to even. Nothing when the value is no number or the result does not fit 16 bits.
std::optional<std::int16_t> PortArgumentFor(std::u16string_view storedValue);

}  // namespace settings
