#include "text/codepage950.h"

#include <unicode/ucnv.h>
#include <unicode/utf16.h>

#include <stdexcept>

namespace text {

namespace {

// ICU's "windows-950" is Microsoft's code page 950 with its user-defined area and its best-fit
// mappings. Where the converter rejects input we go on as Windows does, with '?' in its stead.
class Converter {
 public:
  Converter() {
    UErrorCode error = U_ZERO_ERROR;
    converter_ = ucnv_open("windows-950", &error);
    if (U_FAILURE(error))
      throw std::runtime_error(std::string("ICU has no windows-950: ") + u_errorName(error));
    ucnv_setFallback(converter_, true);
    ucnv_setToUCallBack(converter_, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
    ucnv_setFromUCallBack(converter_, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
  }
  ~Converter() { ucnv_close(converter_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  std::u16string ToUnicode(std::string_view bytes) {
    std::u16string text(bytes.size() + 1, u'\0');
    const char* source = bytes.data();
    const char* const end = source + bytes.size();
    UChar* target = reinterpret_cast<UChar*>(text.data());
    while (source < end) {
      UErrorCode error = U_ZERO_ERROR;
      ucnv_toUnicode(converter_, &target, reinterpret_cast<UChar*>(text.data() + text.size()), &source, end,
                     nullptr, true, &error);
      if (!U_FAILURE(error)) break;
      // Windows takes a lead byte and the byte after it as one invalid character, unless that byte
      // is NUL; ICU leaves the second byte for the next character.
      char bad[8];
      int8_t length = sizeof bad;
      UErrorCode ignored = U_ZERO_ERROR;
      ucnv_getInvalidChars(converter_, bad, &length, &ignored);
      const auto lead = static_cast<unsigned char>(bad[0]);
      if (length == 1 && lead >= 0x81 && lead <= 0xFE && source < end && *source != '\0') ++source;
      *target++ = u'?';
      ucnv_resetToUnicode(converter_);
    }
    text.resize(static_cast<size_t>(target - reinterpret_cast<UChar*>(text.data())));
    return text;
  }

  // One character at a time: ICU silently drops the characters that Unicode calls ignorable where
  // Windows writes '?' for them as for every UTF-16 unit that code page 950 cannot hold.
  std::string FromUnicode(std::u16string_view text) {
    std::string bytes;
    for (size_t i = 0; i < text.size();) {
      const bool pair = i + 1 < text.size() && U16_IS_LEAD(text[i]) && U16_IS_TRAIL(text[i + 1]);
      const int32_t units = pair ? 2 : 1;
      char out[8];
      UErrorCode error = U_ZERO_ERROR;
      const int32_t length = ucnv_fromUChars(converter_, out, sizeof out,
                                             reinterpret_cast<const UChar*>(&text[i]), units, &error);
      if (U_FAILURE(error) || length == 0) {
        bytes.append(static_cast<size_t>(units), '?');
        ucnv_resetFromUnicode(converter_);
      } else {
        bytes.append(out, static_cast<size_t>(length));
      }
      i += static_cast<size_t>(units);
    }
    return bytes;
  }

 private:
  UConverter* converter_ = nullptr;
};

// The station has one thread; the converter is made once.
Converter& TheConverter() {
  static Converter converter;
  return converter;
}

}  // namespace

std::string ToCodePage950(std::u16string_view text) { return TheConverter().FromUnicode(text); }

std::u16string FromCodePage950(std::string_view bytes) { return TheConverter().ToUnicode(bytes); }

}  // namespace text
