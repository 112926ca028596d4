#pragma once

#include <cstdint>
#include <string>

#include "text/codepage950.h"
#include "text/fixed_field.h"

namespace app {

// A buffer of exactly N bytes that the card library fills in place, passed with its length N. Its
// text is all N bytes converted, NULs included, fitted to N characters.
class LibraryBuffer {
 public:
  explicit LibraryBuffer(std::int32_t size) : bytes_(static_cast<size_t>(size), '\0'), length_(size) {}

  char* data() { return bytes_.data(); }
  std::int32_t* length() {
    length_ = static_cast<std::int32_t>(bytes_.size());
    return &length_;
  }
  std::u16string Field() const { return text::FitField(text::FromCodePage950(bytes_), bytes_.size()); }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
  std::int32_t length_;
};

}  // namespace app
