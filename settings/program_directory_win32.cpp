#include "settings/program_directory.h"

#include <windows.h>

namespace settings {

std::filesystem::path ProgramDirectory() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (n < name.size()) {
      name.resize(n);
      break;
    }
    name.resize(name.size() * 2);
  }
  return std::filesystem::path(name.substr(0, name.find_last_of(L"\\/")));
}

std::filesystem::path FileBeside(const std::filesystem::path& directory, std::string_view name) {
  return std::filesystem::path(directory.native() + L"\\" + std::wstring(name.begin(), name.end()));
}

std::u16string DisplayPath(const std::filesystem::path& file) {
  return std::u16string(file.native().begin(), file.native().end());
}

}  // namespace settings
