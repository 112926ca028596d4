#include "settings/write_obstacle.h"

#include <fstream>
#include <random>
#include <string>

namespace settings {
namespace {

namespace fs = std::filesystem;

// Whether a new file can be made beside `file`, as the store makes its new file before it replaces
// the old one: a probe of a name of its own, removed again.
bool FolderTakesNewFile(const fs::path& file) {
  static std::mt19937 random{std::random_device{}()};
  std::error_code error;
  fs::path probe = file;
  for (int attempt = 0; attempt < 8; ++attempt) {
    probe = file;
    probe += ".probe" + std::to_string(random() % 1000000);
    if (!fs::exists(probe, error)) break;
  }
  bool made = false;
  {
    std::ofstream out(probe, std::ios::binary);
    made = static_cast<bool>(out);
  }
  if (made) fs::remove(probe, error);
  return made;
}

}  // namespace

WriteObstacle FindWriteObstacle(const fs::path& file) {
  WriteObstacle obstacle;
  std::error_code error;
  const fs::file_status status = fs::status(file, error);
  // On Windows the read-only attribute shows as no write permission for anyone.
  obstacle.readOnlyFile = status.type() == fs::file_type::regular &&
                          (status.permissions() & fs::perms::owner_write) == fs::perms::none;
  obstacle.folderOfThatName = status.type() == fs::file_type::directory;
  obstacle.folderNotWritable = !FolderTakesNewFile(file);
  return obstacle;
}

}  // namespace settings
