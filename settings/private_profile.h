#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "settings/profile_file.h"

namespace settings {

// The private-profile functions of the platform: kernel32's GetPrivateProfileStringA and
// WritePrivateProfileStringA on Windows, our own faithful implementation elsewhere.
ProfileReading ReadPrivateProfile(std::string_view section, std::string_view key,
                                  std::string_view defaultValue, std::uint32_t capacity,
                                  const std::filesystem::path& file);
bool WritePrivateProfile(std::string_view section, std::string_view key, std::string_view value,
                         const std::filesystem::path& file);

}  // namespace settings
