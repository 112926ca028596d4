#include "settings/private_profile.h"

namespace settings {

ProfileReading ReadPrivateProfile(std::string_view section, std::string_view key,
                                  std::string_view defaultValue, std::uint32_t capacity,
                                  const std::filesystem::path& file) {
  return ReadProfileFile(section, key, defaultValue, capacity, file);
}

bool WritePrivateProfile(std::string_view section, std::string_view key, std::string_view value,
                         const std::filesystem::path& file) {
  return WriteProfileFile(section, key, value, file);
}

}  // namespace settings
