#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace settings {

// A settings file read a piece at a time, so that a large file is never held whole. Only a regular
// file is read: a directory or a pipe of that name reads as unreadable and never blocks.
class FileReader {
 public:
  enum class State { Missing, Open, Unreadable };

  explicit FileReader(const std::filesystem::path& file);
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  State state() const { return state_; }
  // Reads at most `count` bytes into `into`; 0 at the end of the file or when reading failed, which
  // the state then tells.
  std::size_t Read(char* into, std::size_t count);

 private:
  State state_ = State::Missing;
#ifdef _WIN32
  void* handle_ = nullptr;  // a HANDLE; null when there is none
#else
  int fd_ = -1;
#endif
};

// The new contents of a file, written to a new file beside it that replaces it only once complete,
// so that a crash or a full disk never leaves a truncated file behind. A symbolic link is written
// through: its final target is replaced and the link stays. A file that its owner may not write, or
// that is no regular file, is never replaced. An existing file's permissions carry over.
class FileReplacement {
 public:
  explicit FileReplacement(const std::filesystem::path& file);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // False when the file may not be replaced; nothing is written then.
  bool possible() const { return possible_; }
  // The file whose bytes are replaced: the given one, or the final target of a link.
  const std::filesystem::path& target() const { return target_; }

  void Append(std::string_view bytes);
  // Puts the new file in place of the old one; false when any step failed, the old file then
  // staying as it was. Without Commit the old file is left alone.
  bool Commit();

 private:
  bool Flush();

  bool possible_ = false;
  bool failed_ = false;
  bool created_ = false;  // the new file exists and is ours to remove
  std::filesystem::path target_;
  std::filesystem::path temp_;
  std::string pending_;
#ifdef _WIN32
  void* out_ = nullptr;  // a HANDLE; null when there is none
#else
  int fd_ = -1;
#endif
};

}  // namespace settings
