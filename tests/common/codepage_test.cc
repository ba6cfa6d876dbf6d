#include "common/codepage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "common/text.h"

namespace {

TEST(CodePageTest, CollationIsAPermutationWithTheDocumentedWeights) {
  for (int cp = 0; cp < kCodePageCount; ++cp) {
    std::set<int> weights;
    for (int b = 0; b < 256; ++b) weights.insert(collation_weight(cp, static_cast<uint8_t>(b)));
    EXPECT_EQ(weights.size(), 256u) << cp;
    for (int i = 0; i < kBoxCount; ++i)
      EXPECT_EQ(collation_weight(cp, CODE_PAGES[cp].codes[kLetterCount + i]), 245 + i) << cp;
  }
  // In the data code page: "A" 65 ... "Ź" 99, "a" 106 ... "ź" 140, each letter after its base.
  const char* capitals = "AĄBCĆDEĘFGHIJKLŁMNŃOÓPQRSŚTUVWXYZŻŹ"_pl;
  const char* smalls = "aąbcćdeęfghijklłmnńoópqrsśtuvwxyzżź"_pl;
  for (int i = 0; i < 35; ++i) {
    EXPECT_EQ(collation_weight(kCodePageWindows, static_cast<uint8_t>(capitals[i])), 65 + i);
    EXPECT_EQ(collation_weight(kCodePageWindows, static_cast<uint8_t>(smalls[i])), 106 + i);
  }
  // Bytes outside letters and boxes keep their relative order.
  EXPECT_LT(collation_weight(kCodePageLatin2, '0'), collation_weight(kCodePageLatin2, '9'));
  EXPECT_EQ(collation_weight(kCodePageLatin2, ' '), ' ');
}

TEST(CodePageTest, ComparisonFollowsPolishOrder) {
  EXPECT_LT(compare_text("Zorza", "Żaba"_pl), 0);
  EXPECT_LT(compare_text("Żaba"_pl, "Źrebię"_pl), 0);
  EXPECT_GT(compare_char('a', static_cast<uint8_t>("Ź"_pl[0])), 0);
  EXPECT_LT(compare_text("Lato", "Łąka"_pl), 0);
  EXPECT_LT(compare_text("Łąka"_pl, "Mak"), 0);
  EXPECT_EQ(compare_text("abc", "abc"), 0);
  EXPECT_LT(compare_text("ab", "abc"), 0);  // the end of a text weighs least
  EXPECT_EQ(compare_prefix("abcX", "abcY", 3), 0);
  EXPECT_NE(compare_prefix("abcX", "abcY", 4), 0);
  EXPECT_EQ(compare_text_nocase("ŻÓŁW"_pl, "żółw"_pl), 0);
  EXPECT_LT(compare_text_nocase("ala", "ĄLA"_pl), 0);
  EXPECT_EQ(compare_prefix_nocase("KOTek", "kotEK", 5), 0);
  // A box character sorts after every letter.
  EXPECT_GT(compare_char(box_char(0), static_cast<uint8_t>("ź"_pl[0])), 0);
}

TEST(CodePageTest, ConversionRoundTripsEveryLetterAndBoxBetweenAllStandards) {
  for (int from = 1; from < kCodePageCount; ++from) {
    for (int to = 0; to < kCodePageCount; ++to) {
      for (int i = 0; i < kLetterCount + kBoxCount; ++i) {
        uint8_t src = CODE_PAGES[from].codes[i];
        // In "ISO Latin 2" ł and ż share their codes with box characters and travel as those.
        bool shadowed = i < kLetterCount && collation_weight(from, src) >= 245;
        int expect_index = i;
        if (shadowed) expect_index = kLetterCount + (src == 0xB3 ? 1 : 4);
        EXPECT_EQ(convert_char(from, to, src), CODE_PAGES[to].codes[expect_index])
            << from << "->" << to << " index " << i;
      }
    }
  }
}

TEST(CodePageTest, ConversionLeavesOtherBytesAlone) {
  for (int b = 0; b < 0x80; ++b)
    EXPECT_EQ(convert_char(kCodePageWindows, kCodePageLatin2, static_cast<uint8_t>(b)), b);
  EXPECT_EQ(convert_char(kCodePageWindows, kCodePageLatin2, 0xB9), 0xA5);  // ą on the screen
  EXPECT_EQ(convert_char(kCodePageLatin2, kCodePageWindows, 0xA5), 0xB9);  // and back
  EXPECT_EQ(convert_char(kCodePageWindows, kCodePageLatin2, 0xE9), 0xE9);  // é is no Polish letter
  EXPECT_EQ(convert_char(kCodePageWindows, 0, 0xB9), 'a');
  EXPECT_EQ(convert_char(kCodePageWindows, kCodePageWindows, 0xB9), 0xB9);
  EXPECT_EQ(convert_char(kCodePageWindows, 99, 0xB9), 0xB9);
  // ISO Latin 2 ś (0xB6) reaches Windows ś even though the weights of its row are shifted.
  EXPECT_EQ(convert_char(7, kCodePageWindows, 0xB6), 0x9C);
  char text[] = "Zażółć gęślą jaźń";
  std::string data = Utf8ToCp1250(text);
  std::string screen = convert_string(kCodePageWindows, kCodePageLatin2, data);
  EXPECT_EQ(screen, "Za\xBE\xA2\x88\x86 g\xA9\x98l\xA5 ja\xAB\xE4");
  EXPECT_EQ(convert_string(kCodePageLatin2, kCodePageWindows, screen), data);
}

TEST(CodePageTest, CaseAndLetterClasses) {
  std::string up = Utf8ToCp1250("zażółć GĘŚLĄ jaźń 1x");
  text_to_upper(up.data());
  EXPECT_EQ(Cp1250ToUtf8(up), "ZAŻÓŁĆ GĘŚLĄ JAŹŃ 1X");
  text_to_lower(up.data());
  EXPECT_EQ(Cp1250ToUtf8(up), "zażółć gęślą jaźń 1x");
  EXPECT_EQ(to_upper_in(kCodePageLatin2, 0xA5), 0xA4);  // ą -> Ą in code page 852
  EXPECT_TRUE(is_letter(static_cast<uint8_t>("ł"_pl[0])));
  EXPECT_TRUE(is_letter('Q'));
  EXPECT_FALSE(is_letter('5'));
  EXPECT_FALSE(is_letter('['));
  EXPECT_FALSE(is_letter(0xE9));  // é
  EXPECT_TRUE(is_alnum('5'));
  EXPECT_TRUE(is_letter_in(0, 'a'));
  EXPECT_FALSE(is_letter_in(0, 0x8F));
  EXPECT_TRUE(is_box_char(box_char(10)));
  EXPECT_FALSE(is_box_char(static_cast<uint8_t>("Ż"_pl[0])));
}

TEST(CodePageTest, BoxCharactersAndTheirAsciiForm) {
  EXPECT_EQ(box_char(1), 0xF4);
  EXPECT_EQ(box_char(4), 0xF5);
  EXPECT_EQ(box_char(11), ' ');
  EXPECT_EQ(box_char(-1), ' ');
  std::string t = "┌──┬┐│a│└┴┘"_pl;
  box_to_ascii(t.data());
  EXPECT_EQ(t, "----- a ---");
}

TEST(CodePageTest, FindTextWithWholeWordsAndCase) {
  EXPECT_EQ(find_text("abc abcd", "abc", true, true), 0);
  EXPECT_EQ(find_text("abc abcd", "bcd", true, true), -1);
  EXPECT_EQ(find_text("abc abcd", "bcd", true, false), 5);
  EXPECT_EQ(find_text("xabc abc", "abc", true, true), 5);
  EXPECT_EQ(find_text("Ala ma KOTA", "kota", false, false), 7);
  EXPECT_EQ(find_text("Ala ma KOTA", "kota", true, false), -1);
  EXPECT_EQ(find_text("ŻÓŁW"_pl, "żół"_pl, false, false), 0);
  EXPECT_EQ(find_text("", "a", true, false), -1);
  EXPECT_EQ(find_text("a", "", true, false), -1);
  EXPECT_EQ(find_text("ab", "abc", true, false), -1);
  // A Polish letter is part of a word: "łąka" does not stand alone in "złąka".
  EXPECT_EQ(find_text("złąka łąka"_pl, "łąka"_pl, true, true), 6);
}

}  // namespace
