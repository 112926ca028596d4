#pragma once

#include <filesystem>

namespace settings {

// What stands in the way of writing a file, looked into after a write has failed: the store's write
// says only that it failed, and the old file is left as it was.
struct WriteObstacle {
  bool readOnlyFile = false;       // the file is there, and read-only (its owner may not write it)
  bool folderNotWritable = false;  // no new file can be made in its folder
  bool folderOfThatName = false;   // a folder has the file's name
};

WriteObstacle FindWriteObstacle(const std::filesystem::path& file);

}  // namespace settings
