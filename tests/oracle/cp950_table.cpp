// Code page 950 as Windows converts it, for the differential tests of our own conversion:
//   B <bytes> <UTF-16 units>   for every single byte and every lead-and-trail byte pair
//   U <unit> <bytes>           for every BMP code unit
#include <windows.h>

#include <cstdio>
#include <string>

static void Decode(const std::string& bytes) {
  wchar_t wide[8] = {};
  const int n = MultiByteToWideChar(950, 0, bytes.data(), static_cast<int>(bytes.size()), wide, 8);
  std::printf("B ");
  for (unsigned char c : bytes) std::printf("%02x", c);
  std::printf(" ");
  for (int i = 0; i < n; ++i) std::printf("%04x", static_cast<unsigned>(wide[i]));
  std::printf("\n");
}

int main() {
  for (int b = 0; b < 256; ++b) Decode(std::string(1, static_cast<char>(b)));
  for (int lead = 0x81; lead <= 0xFE; ++lead)
    for (int trail = 0; trail < 256; ++trail) Decode({static_cast<char>(lead), static_cast<char>(trail)});
  for (int unit = 0; unit < 0x10000; ++unit) {
    const wchar_t wide = static_cast<wchar_t>(unit);
    char bytes[8] = {};
    const int n = WideCharToMultiByte(950, 0, &wide, 1, bytes, 8, nullptr, nullptr);
    std::printf("U %04x ", unit);
    for (int i = 0; i < n; ++i) std::printf("%02x", static_cast<unsigned char>(bytes[i]));
    std::printf("\n");
  }
  return 0;
}
