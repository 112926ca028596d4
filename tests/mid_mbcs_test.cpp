#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "text/fixed_field.h"
#include "text/mid_mbcs.h"

namespace {

using testing_support::U8;
using text::FitField;
using text::MidMbcs;

TEST(MidMbcsTest, TakesBytesNotCharacters) {
  const struct {
    std::u16string str;
    size_t start, length;
    std::string expected;
  } rows[] = {
      {u"abcde", 4, 7, "de"},
      {u"abcde", 6, 1, ""},
      {u"abcde", 1, 0, ""},
      {u"abcde", 5, 1, "e"},
      {u"王小明AB", 1, 4, "王小"},
      {u"王小明AB", 7, 2, "AB"},
      {u"王小明AB", 3, 4, "小明"},
      // Slices that split a double-byte character go to the converter as they are.
      {u"王小明AB", 4, 3, "p明"},  // the trail byte of 小 (a4 70) alone is the letter p
      {u"王小明AB", 1, 3, "王?"},
      {u"A王", 2, 1, "?"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(U8(row.str) + " " + std::to_string(row.start) + " " + std::to_string(row.length));
    EXPECT_EQ(U8(MidMbcs(row.str, row.start, row.length)), row.expected);
  }
}

TEST(FitFieldTest, PadsWithBlanksOrCuts) {
  EXPECT_EQ(FitField(u"12", 5), u"12   ");
  EXPECT_EQ(FitField(u"1234567", 5), u"12345");
  EXPECT_EQ(FitField(u"中文", 3), u"中文 ");
  EXPECT_EQ(FitField(u"", 2), u"  ");
}

TEST(UpToFirstNulTest, StopsWhereTheEditControlStops) {
  EXPECT_EQ(text::UpToFirstNul(std::u16string(u"12\0 34", 6)), u"12");
  EXPECT_EQ(text::UpToFirstNul(u"1234"), u"1234");
}

}  // namespace
