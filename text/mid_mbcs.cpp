#include "text/mid_mbcs.h"

#include "text/codepage950.h"

namespace text {

std::u16string MidMbcs(std::u16string_view str, std::size_t start, std::size_t length) {
  return MidBytes(ToCodePage950(str), start, length);
}

std::u16string MidBytes(std::string_view bytes, std::size_t start, std::size_t length) {
  if (start < 1 || start > bytes.size()) return {};
  return FromCodePage950(bytes.substr(start - 1, length));
}

}  // namespace text
