#include "common/text.h"

#include <gtest/gtest.h>

TEST(PolishLiterals, BecomeWindows1250AtCompileTime) {
  static_assert("ąćęłńóśżź"_plv == "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\xBF\x9F");
  static_assert("ĄĆĘŁŃÓŚŻŹ"_plv == "\xA5\xC6\xCA\xA3\xD1\xD3\x8C\xAF\x8F");
  static_assert("─│┌┬┐├┼┤└┴┘"_plv == "\xC4\xF4\xDA\xC2\xF5\xC3\xC5\xB4\xC0\xC1\xD9");
  EXPECT_STREQ("Hasło"_pl, "Has\xB3o");
  EXPECT_EQ("a\tb"_plv.size(), 3u);
}

TEST(PolishLiterals, Utf8RoundTripsThroughWindows1250) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  std::string back = Utf8ToCp1250(Cp1250ToUtf8(all));
  // The five bytes Windows-1250 leaves unused come back as "?".
  for (int b = 1; b < 256; ++b) {
    bool unused = b == 0x81 || b == 0x83 || b == 0x88 || b == 0x90 || b == 0x98;
    EXPECT_EQ(static_cast<uint8_t>(back[b - 1]), unused ? '?' : b) << b;
  }
  EXPECT_EQ(Cp1250ToUtf8("Za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1"), "Zażółć gęślą jaźń");
  EXPECT_EQ(Utf8ToCp1250("\xE2\x82"), "?");          // cut sequence
  EXPECT_EQ(Utf8ToCp1250("\xF0\x9F\x98\x80"), "?");  // outside the code page
}
