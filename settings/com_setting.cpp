#include "settings/com_setting.h"

#include <charconv>
#include <cmath>
#include <string>

namespace settings {

std::optional<std::int16_t> PortArgumentFor(std::u16string_view storedValue) {
  std::string ascii;
  for (char16_t c : storedValue) {
    if (c > 0x7F) return std::nullopt;
    ascii += static_cast<char>(c);
  }
  const size_t first = ascii.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  const size_t last = ascii.find_last_not_of(" \t");
  std::string_view number = std::string_view(ascii).substr(first, last - first + 1);
  if (number.starts_with('+')) {
    number.remove_prefix(1);
    if (number.starts_with('-')) return std::nullopt;
  }
  // from_chars ignores the locale, so a decimal point is a point whatever the desk's language.
  double value = 0;
  const auto [end, error] =
      std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::general);
  if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value))
    return std::nullopt;

  // The default rounding mode takes halves to the even neighbour.
  const double rounded = std::nearbyint(value - 1);
  if (!(rounded >= -32768 && rounded <= 32767)) return std::nullopt;
  return static_cast<std::int16_t>(rounded);
}

}  // namespace settings
