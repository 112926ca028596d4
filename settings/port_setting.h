#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace settings {

// The reader's port number in "VANTOQuery.ini" beside the program: section "讀卡機連接埠", key
// "COM". Nothing is cached; every read goes to the file.
class PortSettingStore {
 public:
  static constexpr std::uint32_t kCapacity = 256;

  struct Reading {
    std::uint32_t copied = 0;  // 0: nothing stored (and an empty default)
    std::u16string value;
  };

  explicit PortSettingStore(std::filesystem::path programDirectory);

  Reading Read(std::u16string_view defaultText = {}) const;
  // False when the file could not be written; the old file is then unchanged.
  bool Write(std::u16string_view value) const;

  const std::filesystem::path& FilePath() const { return file_; }

 private:
  std::filesystem::path file_;
};

}  // namespace settings
