// Code page 950 conversion, the byte-position cuts of the card's basic data and field fitting, on
// any bytes: the input is a library buffer, its first two bytes also a cut's start and length.

#include <algorithm>

#include "tests/fuzz/fuzz_support.h"
#include "text/codepage950.h"
#include "text/fixed_field.h"
#include "text/mid_mbcs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using fuzz_support::Require;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string text = text::FromCodePage950(bytes);
  Require(text.size() <= bytes.size(), "no byte becomes more than one character");
  const std::string back = text::ToCodePage950(text);

  const std::size_t room = size > 0 ? data[0] % 80 : 0;
  const std::string fitted = text::ToCodePage950Fitted(text, room);
  Require(fitted.size() <= room && back.starts_with(fitted), "whole characters from the start that fit");
  for (std::size_t length : {7u, 10u, 12u, 72u})
    Require(text::FitField(text, length).size() == length, "a field holds its length");

  // The basic data as the library leaves it: 72 bytes, NULs after what it wrote. Where its text
  // converts back to the same bytes, cutting the text and cutting the bytes agree.
  std::string basic = bytes.substr(0, 72);
  basic.resize(72, '\0');
  const std::u16string basicText = text::FitField(text::FromCodePage950(basic), 72);
  const std::size_t start = size > 1 ? 1 + data[1] % 72 : 1;
  const std::size_t count = size > 2 ? data[2] % (74 - start) : 0;
  const std::pair<std::size_t, std::size_t> cuts[] = {{1, 12}, {33, 10}, {43, 7}, {start, count}};
  const bool lossless = text::ToCodePage950(text::FromCodePage950(basic)) == basic;
  for (const auto& [first, length] : cuts) {
    const std::u16string fromBytes = text::FitField(text::MidBytes(basic, first, length), length);
    Require(fromBytes.size() == length, "a cut field holds its length");
    if (lossless)
      Require(fromBytes == text::FitField(text::MidMbcs(basicText, first, length), length),
              "a cut from the bytes is the cut from their text");
  }

  // Any UTF-16 text through MidMbcs.
  std::u16string units(size / 2, u'\0');
  std::copy_n(data, units.size() * 2, reinterpret_cast<std::uint8_t*>(units.data()));
  Require(text::MidMbcs(units, start, count).size() <= count, "a cut of n bytes is at most n characters");
  return 0;
}
