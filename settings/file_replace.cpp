#include "settings/file_replace.h"

#include <fstream>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#include <cstdio>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace settings {

FileContents ReadWholeFile(const std::filesystem::path& file) {
  std::error_code error;
  const auto status = std::filesystem::status(file, error);
  if (status.type() == std::filesystem::file_type::not_found) return {FileState::Missing, {}};
  if (error || status.type() != std::filesystem::file_type::regular) return {FileState::Unreadable, {}};
  std::ifstream in(file, std::ios::binary);
  if (!in) return {FileState::Unreadable, {}};
  std::string bytes;
  char chunk[4096];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
    bytes.append(chunk, static_cast<size_t>(in.gcount()));
  if (in.bad()) return {FileState::Unreadable, {}};
  return {FileState::Read, std::move(bytes)};
}

namespace {

std::filesystem::path TemporaryBeside(const std::filesystem::path& file) {
  static std::mt19937 random{std::random_device{}()};
  auto name = file;
  name += ".new" + std::to_string(random() % 1000000);
  return name;
}

#ifdef _WIN32

// Windows keeps the new file's attributes as the folder gives them.
bool WriteNew(const std::filesystem::path& temp, std::string_view bytes, const std::filesystem::path&) {
  FILE* out = _wfopen(temp.c_str(), L"wbx");
  if (!out) return false;
  const bool written = fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  const bool flushed = fflush(out) == 0;
  return fclose(out) == 0 && written && flushed;
}

bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

#else

bool WriteNew(const std::filesystem::path& temp, std::string_view bytes, const std::filesystem::path& file) {
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = true;
  struct stat old {};
  if (stat(file.c_str(), &old) == 0) ok = fchmod(fd, old.st_mode & 07777) == 0;
  for (size_t done = 0; ok && done < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<size_t>(n);
  }
  ok = ok && fsync(fd) == 0;
  return close(fd) == 0 && ok;
}

bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) {
  return rename(from.c_str(), to.c_str()) == 0;
}

#endif

}  // namespace

bool ReplaceFileContents(const std::filesystem::path& file, std::string_view bytes) {
  const auto temp = TemporaryBeside(file);
  if (WriteNew(temp, bytes, file) && Rename(temp, file)) return true;
  std::error_code ignored;
  std::filesystem::remove(temp, ignored);
  return false;
}

}  // namespace settings
