#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace settings {

enum class FileState { Missing, Read, Unreadable };

struct FileContents {
  FileState state = FileState::Missing;
  std::string bytes;
};

FileContents ReadWholeFile(const std::filesystem::path& file);

// Writes `bytes` to a new file beside `file` and renames it over `file`, so that a crash or a full
// disk never leaves a truncated file behind. An existing file's permissions carry over.
bool ReplaceFileContents(const std::filesystem::path& file, std::string_view bytes);

}  // namespace settings
