#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "settings/profile_file.h"

namespace settings {

// The private-profile reads and writes of the station, on every platform through our own store
// rather than kernel32's GetPrivateProfileStringA and WritePrivateProfileStringA: those convert the
// Big5 names, the file's text and the path through the desk's ANSI code page, so that a desk of
// another system locale would not find the stored port, nor a folder that code page cannot spell.
ProfileReading ReadPrivateProfile(std::string_view section, std::string_view key,
                                  std::string_view defaultValue, std::uint32_t capacity,
                                  const std::filesystem::path& file);
bool WritePrivateProfile(std::string_view section, std::string_view key, std::string_view value,
                         const std::filesystem::path& file);

}  // namespace settings
