#include "text/codepage950.h"

#include <windows.h>

namespace text {

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

}  // namespace text
