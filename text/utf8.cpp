#include "text/utf8.h"

namespace text {

std::u16string FromUtf8(std::string_view bytes) {
  std::u16string text;
  size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const int extra = lead < 0x80           ? 0
                      : (lead >> 5) == 0x6  ? 1
                      : (lead >> 4) == 0xE  ? 2
                      : (lead >> 3) == 0x1E ? 3
                                            : -1;
    char32_t cp = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
    bool ok = extra >= 0 && i + static_cast<size_t>(extra) < bytes.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const auto cont = static_cast<unsigned char>(bytes[i + static_cast<size_t>(k)]);
      ok = (cont & 0xC0) == 0x80;
      cp = (cp << 6) | (cont & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    ok = ok && cp >= kMinimum[extra < 0 ? 0 : extra] && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
    if (!ok) {
      text += u'\uFFFD';
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      text += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      text += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      text += static_cast<char16_t>(cp);
    }
    i += static_cast<size_t>(extra) + 1;
  }
  return text;
}

std::string ToUtf8(std::u16string_view text) {
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (cp >= 0xD800 && cp < 0xE000) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      bytes += static_cast<char>(cp);
    } else if (cp < 0x800) {
      bytes += static_cast<char>(0xC0 | (cp >> 6));
      bytes += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      bytes += static_cast<char>(0xE0 | (cp >> 12));
      bytes += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      bytes += static_cast<char>(0xF0 | (cp >> 18));
      bytes += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      bytes += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return bytes;
}

}  // namespace text
