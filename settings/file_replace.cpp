#include "settings/file_replace.h"

#include <algorithm>
#include <optional>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace settings {
namespace {

namespace fs = std::filesystem;

// Bytes gathered before they go to the new file: a small file is written in one go, a large one
// never held whole.
constexpr std::size_t kWriteBatch = 1 << 20;

// Where a chain of symbolic links ends; nothing for a loop or a link that cannot be read.
std::optional<fs::path> FinalTarget(fs::path file) {
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code error;
    if (fs::symlink_status(file, error).type() != fs::file_type::symlink) return file;
    const fs::path target = fs::read_symlink(file, error);
    if (error) return std::nullopt;
    file = target.is_absolute() ? target : file.parent_path() / target;
  }
  return std::nullopt;
}

// Whether an existing file may be replaced: a regular file that its owner may write (the lock an
// administrator puts on it) and that we may write.
bool MayReplace(const fs::path& file) {
  std::error_code error;
  const fs::file_status status = fs::status(file, error);
  if (status.type() == fs::file_type::not_found) return true;
  if (error || status.type() != fs::file_type::regular) return false;
  if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) return false;
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesW(file.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_READONLY);
#else
  return access(file.c_str(), W_OK) == 0;
#endif
}

fs::path TemporaryBeside(const fs::path& file) {
  static std::mt19937 random{std::random_device{}()};
  auto name = file;
  name += ".new" + std::to_string(random() % 1000000);
  return name;
}

}  // namespace

#ifdef _WIN32

FileReader::FileReader(const fs::path& file) {
  // Wide paths throughout: the name means the same file whatever the desk's ANSI code page.
  HANDLE handle =
      CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    // A directory of that name cannot be opened this way: it reads as unreadable.
    const DWORD error = GetLastError();
    state_ =
        error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? State::Missing : State::Unreadable;
    return;
  }
  // Only a file on a disk; a pipe or a device of that name would block or answer nonsense.
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    state_ = State::Unreadable;
    return;
  }
  handle_ = handle;
  state_ = State::Open;
}

FileReader::~FileReader() {
  if (handle_) CloseHandle(handle_);
}

std::size_t FileReader::Read(char* into, std::size_t count) {
  if (!handle_) return 0;
  DWORD n = 0;
  if (!ReadFile(handle_, into, static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30)), &n, nullptr)) {
    state_ = State::Unreadable;
    return 0;
  }
  return n;
}

#else

FileReader::FileReader(const fs::path& file) {
  // Not blocking: opening a pipe would otherwise wait for a writer.
  fd_ = open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) {
    state_ = errno == ENOENT || errno == ENOTDIR ? State::Missing : State::Unreadable;
    return;
  }
  struct stat info {};
  if (fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd_);
    fd_ = -1;
    state_ = State::Unreadable;
    return;
  }
  state_ = State::Open;
}

FileReader::~FileReader() {
  if (fd_ >= 0) close(fd_);
}

std::size_t FileReader::Read(char* into, std::size_t count) {
  if (fd_ < 0) return 0;
  for (;;) {
    const ssize_t n = read(fd_, into, count);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno == EINTR) continue;
    state_ = State::Unreadable;
    return 0;
  }
}

#endif

FileReplacement::FileReplacement(const fs::path& file) {
  const std::optional<fs::path> target = FinalTarget(file);
  if (!target || !MayReplace(*target)) return;
  target_ = *target;
  temp_ = TemporaryBeside(target_);
  possible_ = true;
}

void FileReplacement::Append(std::string_view bytes) {
  pending_ += bytes;
  if (pending_.size() >= kWriteBatch) Flush();
}

#ifdef _WIN32

bool FileReplacement::Flush() {
  if (!possible_ || failed_) return false;
  if (!out_) {
    // CREATE_NEW: never a file that someone else made meanwhile.
    HANDLE out =
        CreateFileW(temp_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    created_ = out != INVALID_HANDLE_VALUE;
    failed_ = !created_;
    if (failed_) return false;
    out_ = out;
  }
  for (std::size_t done = 0; done < pending_.size();) {
    DWORD n = 0;
    const auto count = static_cast<DWORD>(std::min<std::size_t>(pending_.size() - done, 1u << 30));
    if (!WriteFile(out_, pending_.data() + done, count, &n, nullptr) || n == 0) {
      failed_ = true;
      break;
    }
    done += n;
  }
  pending_.clear();
  return !failed_;
}

bool FileReplacement::Commit() {
  bool ok = Flush();
  if (out_) {
    ok = FlushFileBuffers(out_) && ok;
    ok = CloseHandle(out_) && ok;
    out_ = nullptr;
  }
  // Windows keeps the new file's attributes as the folder gives them.
  ok = ok && MoveFileExW(temp_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  failed_ = !ok;
  possible_ = false;
  if (ok) created_ = false;
  return ok;
}

FileReplacement::~FileReplacement() {
  if (out_) CloseHandle(out_);
  if (created_) DeleteFileW(temp_.c_str());
}

#else

bool FileReplacement::Flush() {
  if (!possible_ || failed_) return false;
  if (fd_ < 0) {
    fd_ = open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    created_ = fd_ >= 0;
    struct stat old {};
    if (fd_ < 0 || (stat(target_.c_str(), &old) == 0 && fchmod(fd_, old.st_mode & 07777) != 0)) {
      failed_ = true;
      return false;
    }
  }
  for (std::size_t done = 0; done < pending_.size();) {
    const ssize_t n = write(fd_, pending_.data() + done, pending_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      failed_ = true;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  pending_.clear();
  return !failed_;
}

bool FileReplacement::Commit() {
  bool ok = Flush() && fsync(fd_) == 0;
  if (fd_ >= 0) ok = close(fd_) == 0 && ok;
  fd_ = -1;
  ok = ok && rename(temp_.c_str(), target_.c_str()) == 0;
  failed_ = !ok;
  possible_ = false;
  if (ok) created_ = false;
  return ok;
}

FileReplacement::~FileReplacement() {
  if (fd_ >= 0) close(fd_);
  std::error_code ignored;
  if (created_) fs::remove(temp_, ignored);
}

#endif

}  // namespace settings
