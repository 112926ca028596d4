#include "tests/support/temp_dir.h"

#include <fstream>
#include <iterator>
#include <random>

#include "text/utf8.h"

namespace testing_support {

TempDir::TempDir() {
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() /
          ("ziroze-test-" + std::to_string(random()) + std::to_string(random()));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                               ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::Write(std::string_view name, std::string_view bytes) const {
  const auto file = path_ / std::string(name);
  std::ofstream(file, std::ios::binary) << bytes;
  return file;
}

std::string TempDir::Read(std::string_view name) const {
  std::ifstream in(path_ / std::string(name), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string U8(std::u16string_view text) { return text::ToUtf8(text); }

}  // namespace testing_support
