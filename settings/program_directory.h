#pragma once

#include <filesystem>
#include <string>

namespace settings {

// The directory that holds the running program, as the operating system reports the program's
// file (GetModuleFileNameW, /proc/self/exe); not the current directory.
std::filesystem::path ProgramDirectory();

// A directory followed by one separator and a file name. A root directory keeps its own separator,
// so its files get two in a row, which still names them.
std::filesystem::path FileBeside(const std::filesystem::path& directory, std::string_view name);

// A path as the user reads it in a message.
std::u16string DisplayPath(const std::filesystem::path& file);

}  // namespace settings
