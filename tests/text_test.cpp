#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "text/codepage950.h"
#include "text/utf8.h"

namespace {

using testing_support::U8;
using text::FromCodePage950;
using text::ToCodePage950;

TEST(CodePage950Test, RoundTrips) {
  const struct {
    std::u16string text;
    std::string bytes;
  } rows[] = {
      {u"", ""},
      {u"COM", "COM"},
      {u"讀卡機連接埠", "\xc5\xaa\xa5\x64\xbe\xf7\xb3\x73\xb1\xb5\xb0\xf0"},
      {u"王小明 A1", "\xa4\xfd\xa4\x70\xa9\xfa A1"},
      {u"：、。「」", "\xa1\x47\xa1\x42\xa1\x43\xa1\x75\xa1\x76"},
      {std::u16string(u"a\0中\0", 4), std::string("a\0\xa4\xa4\0", 5)},
      {u"\ue000\uf8f8", "\xfa\x40\xff"},  // the user-defined area, as Windows maps it
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.bytes);
    EXPECT_EQ(ToCodePage950(row.text), row.bytes);
    EXPECT_EQ(U8(FromCodePage950(row.bytes)), U8(row.text));
  }
}

TEST(CodePage950Test, WhatTheCodePageCannotHoldBecomesAQuestionMark) {
  EXPECT_EQ(ToCodePage950(u"a\u0e01b"), "a?b");       // no Thai in Big5
  EXPECT_EQ(ToCodePage950(u"x\U0001F600y"), "x??y");  // one for each half of a surrogate pair
  EXPECT_EQ(ToCodePage950(std::u16string(u"\xd800z", 2)), "?z");
}

TEST(CodePage950Test, InvalidBytesDoNotStopTheConversion) {
  EXPECT_EQ(U8(FromCodePage950("\xa4")), "?");  // a lead byte at the end
  EXPECT_EQ(U8(FromCodePage950("\x81\x30"
                               "A")),
            "?A");  // a lead byte and an invalid trail byte
  EXPECT_EQ(U8(FromCodePage950(std::string("\xa4\0B", 3))), std::string("?\0B", 3));
}

TEST(Utf8Test, RoundTripsAndRepairs) {
  EXPECT_EQ(text::ToUtf8(text::FromUtf8("王小明 \xf0\x9f\x98\x80")), "王小明 \xf0\x9f\x98\x80");
  EXPECT_EQ(text::FromUtf8("a\xff"
                           "b"),
            u"a\uFFFDb");
  EXPECT_EQ(text::FromUtf8("\xe4\xb8"), u"\uFFFD\uFFFD");
  EXPECT_EQ(text::FromUtf8("\xc0\xaf"), u"\uFFFD\uFFFD");  // an overlong form is no character
}

}  // namespace
