#include "text/codepage950.h"

namespace text {

std::string ToCodePage950Fitted(std::u16string_view text, std::size_t maxBytes) {
  std::string fitted;
  for (char16_t c : text) {
    const std::string bytes = ToCodePage950(std::u16string_view(&c, 1));
    if (fitted.size() + bytes.size() > maxBytes) break;
    fitted += bytes;
  }
  return fitted;
}

}  // namespace text
