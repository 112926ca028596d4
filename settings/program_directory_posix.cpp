#include "settings/program_directory.h"

#include "text/utf8.h"

namespace settings {

std::filesystem::path ProgramDirectory() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path(error);
  const std::string& name = self.native();
  return std::filesystem::path(name.substr(0, name.rfind('/')));
}

std::filesystem::path FileBeside(const std::filesystem::path& directory, std::string_view name) {
  return std::filesystem::path(directory.native() + "/" + std::string(name));
}

std::u16string DisplayPath(const std::filesystem::path& file) { return text::FromUtf8(file.native()); }

}  // namespace settings
