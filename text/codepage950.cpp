#include "text/codepage950.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <bit>
#include <cerrno>
#endif

#include <stdexcept>

namespace text {

#ifdef _WIN32

namespace {
constexpr UINT kCodePage = 950;
}

std::string ToCodePage950(std::u16string_view text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int count =
      WideCharToMultiByte(kCodePage, 0, wide, static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(count), '\0');
  WideCharToMultiByte(kCodePage, 0, wide, static_cast<int>(text.size()), bytes.data(), count, nullptr,
                      nullptr);
  return bytes;
}

std::u16string FromCodePage950(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int count =
      MultiByteToWideChar(kCodePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::u16string text(static_cast<size_t>(count), u'\0');
  MultiByteToWideChar(kCodePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                      reinterpret_cast<wchar_t*>(text.data()), count);
  return text;
}

#else

namespace {

// One iconv conversion, continuing past input that the converter rejects: `skip` tells how many
// input bytes to drop at such a place, and '?' goes to the output in their stead.
template <typename Out, typename SkipFn>
Out Convert(const char* to, const char* from, std::string_view input, Out replacement, SkipFn skip) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1))
    throw std::runtime_error(std::string("iconv cannot convert to ") + to);
  Out output;
  char* in = const_cast<char*>(input.data());
  size_t inLeft = input.size();
  std::string chunk(4 * input.size() + 16, '\0');
  while (inLeft > 0) {
    char* out = chunk.data();
    size_t outLeft = chunk.size();
    const size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
    const auto produced = static_cast<size_t>(out - chunk.data());
    output.append(reinterpret_cast<const typename Out::value_type*>(chunk.data()),
                  produced / sizeof(typename Out::value_type));
    if (rc != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    const size_t drop = std::min(inLeft, skip(in, inLeft));
    in += drop;
    inLeft -= drop;
    output += replacement;
  }
  iconv_close(cd);
  return output;
}

}  // namespace

static_assert(std::endian::native == std::endian::little, "the text is handed to iconv as UTF-16LE");

std::string ToCodePage950(std::u16string_view text) {
  const std::string_view raw(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
  // Each UTF-16 unit that Big5 cannot hold becomes one '?', as on Windows: a character outside the
  // BMP (a surrogate pair) gives two.
  return Convert<std::string>("CP950", "UTF-16LE", raw, std::string("?"),
                              [](const char*, size_t) { return size_t{2}; });
}

std::u16string FromCodePage950(std::string_view bytes) {
  // Windows takes a lead byte and the byte after it as one (invalid) character unless that byte is
  // NUL; a lone byte that is no character at all stands alone.
  return Convert<std::u16string>(
      "UTF-16LE", "CP950", bytes, std::u16string(u"?"), [](const char* at, size_t left) {
        const auto lead = static_cast<unsigned char>(at[0]);
        const bool pair = lead >= 0x81 && lead <= 0xFE && left >= 2 && at[1] != '\0';
        return size_t{pair ? 2u : 1u};
      });
}

#endif

}  // namespace text
