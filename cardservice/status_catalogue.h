#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace cardservice {

struct StatusEntry {
  std::int16_t code;
  std::u16string_view message;
};

// Every status code the station can explain, in ascending order.
std::span<const StatusEntry> StatusCatalogue();

// The message for exactly this code; nothing for a code that is not listed.
std::optional<std::u16string_view> StatusMessage(std::int16_t code);

}  // namespace cardservice
