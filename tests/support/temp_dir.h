#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace testing_support {

// A fresh directory that is removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path Write(std::string_view name, std::string_view bytes) const;
  std::string Read(std::string_view name) const;

 private:
  std::filesystem::path path_;
};

// UTF-8 for readable test failures.
std::string U8(std::u16string_view text);

}  // namespace testing_support
