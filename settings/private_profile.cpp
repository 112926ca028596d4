#include "settings/private_profile.h"

#ifdef _WIN32
#include <windows.h>

#include <string>
#endif

namespace settings {

#ifdef _WIN32

namespace {

// The A functions take the path in the machine's own code page.
std::string AnsiPath(const std::filesystem::path& file) {
  const std::wstring& wide = file.native();
  const int count = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(count > 0 ? count : 1), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, ansi.data(), count, nullptr, nullptr);
  return ansi;
}

}  // namespace

ProfileReading ReadPrivateProfile(std::string_view section, std::string_view key,
                                  std::string_view defaultValue, std::uint32_t capacity,
                                  const std::filesystem::path& file) {
  std::string buffer(capacity, '\0');
  const DWORD result = GetPrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                                std::string(defaultValue).c_str(), buffer.data(), capacity,
                                                AnsiPath(file).c_str());
  buffer.resize(buffer.find('\0') == std::string::npos ? buffer.size() : buffer.find('\0'));
  return {result, buffer};
}

bool WritePrivateProfile(std::string_view section, std::string_view key, std::string_view value,
                         const std::filesystem::path& file) {
  // The A function would cut the text at a NUL and write a line break into the file as it is.
  if (!FitsOnOneLine(section) || !FitsOnOneLine(key) || !FitsOnOneLine(value)) return false;
  // A read-only file is an administrator's lock on the port: refused here, whatever the function
  // would make of it, and so is a directory of that name.
  const DWORD attributes = GetFileAttributesW(file.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
    return false;
  return WritePrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                    std::string(value).c_str(), AnsiPath(file).c_str()) != 0;
}

#else

ProfileReading ReadPrivateProfile(std::string_view section, std::string_view key,
                                  std::string_view defaultValue, std::uint32_t capacity,
                                  const std::filesystem::path& file) {
  return ReadProfileFile(section, key, defaultValue, capacity, file);
}

bool WritePrivateProfile(std::string_view section, std::string_view key, std::string_view value,
                         const std::filesystem::path& file) {
  return WriteProfileFile(section, key, value, file);
}

#endif

}  // namespace settings
