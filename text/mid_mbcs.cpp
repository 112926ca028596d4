#include "text/mid_mbcs.h"

#include "text/codepage950.h"

namespace text {

std::u16string MidMbcs(std::u16string_view str, std::size_t start, std::size_t length) {
  const std::string bytes = ToCodePage950(str);
  if (start < 1 || start > bytes.size()) return {};
  return FromCodePage950(std::string_view(bytes).substr(start - 1, length));
}

}  // namespace text
