#include "business/words.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>

#include "common/text.h"
#include "support/amount_testing.h"

namespace {
std::string Words(AMOUNT a) { return Cp1250ToUtf8(AmountInWords(a)); }
std::string Number(int64_t n) { return Cp1250ToUtf8(NumberInWords(n)); }

// The Polish rule as a grammar book gives it: "one" only for exactly one; the "few" form for
// numbers ending in 2, 3 or 4 except 12, 13 and 14; the "many" form for everything else.
int PolishForm(int64_t n) {
  if (n == 1) return 0;
  const int64_t last = n % 10, lastTwo = n % 100;
  if (last >= 2 && last <= 4 && !(lastTwo >= 12 && lastTwo <= 14)) return 1;
  return 2;
}

// An independent reader of numbers in words: each word adds its value to the current group, a
// scale word closes the group; the scale word's form must agree with the group it closes.
bool ParseWords(const std::string& text, int64_t* out, std::string* why) {
  static const auto tables = [] {
    std::map<std::string, int64_t> values;
    std::map<std::string, std::pair<int64_t, int>> scales;  // size and form
    const char* rows[] = {
        "jeden dwa trzy cztery pięć sześć siedem osiem dziewięć",
        "dziesięć jedenaście dwanaście trzynaście czternaście piętnaście szesnaście siedemnaście "
        "osiemnaście dziewiętnaście",
        "dwadzieścia trzydzieści czterdzieści pięćdziesiąt sześćdziesiąt siedemdziesiąt "
        "osiemdziesiąt dziewięćdziesiąt",
        "sto dwieście trzysta czterysta pięćset sześćset siedemset osiemset dziewięćset"};
    const int64_t first[] = {1, 10, 20, 100}, step[] = {1, 1, 10, 100};
    for (int r = 0; r < 4; ++r) {
      std::istringstream in(rows[r]);
      std::string w;
      for (int64_t v = first[r]; in >> w; v += step[r]) values[w] = v;
    }
    std::istringstream in(
        "tysiąc tysiące tysięcy milion miliony milionów miliard miliardy "
        "miliardów bilion biliony bilionów");
    std::string w;
    for (int i = 0; in >> w; ++i) {
      int64_t size = 1000;
      for (int k = 0; k < i / 3; ++k) size *= 1000;
      scales[w] = {size, i % 3};
    }
    return std::make_pair(values, scales);
  }();
  const auto& [kValues, kScales] = tables;
  if (text.empty() || text.front() == ' ' || text.back() == ' ' ||
      text.find("  ") != std::string::npos) {
    *why = "blanks";
    return false;
  }
  std::istringstream in(text);
  std::string word;
  int64_t total = 0, group = 0, lastScale = INT64_MAX, sign = 1;
  bool first = true;
  while (in >> word) {
    if (first && word == "minus") {
      sign = -1;
      first = false;
      continue;
    }
    if (word == "zero") {
      if (!(in >> word).fail()) {
        *why = "zero not alone";
        return false;
      }
      *out = 0;
      return sign == 1;
    }
    first = false;
    if (auto v = kValues.find(word); v != kValues.end()) {
      group += v->second;
    } else if (auto s = kScales.find(word); s != kScales.end()) {
      if (group == 0 || s->second.first >= lastScale) {
        *why = "scale order";
        return false;
      }
      if (PolishForm(group) != s->second.second) {
        *why = "form of " + word;
        return false;
      }
      total += group * s->second.first;
      lastScale = s->second.first;
      group = 0;
    } else {
      *why = "unknown word " + word;
      return false;
    }
  }
  *out = sign * (total + group);
  return true;
}
}  // namespace

TEST(AmountInWords, WorkedAmounts) {
  EXPECT_EQ(Words(A("1234.56")),
            "jeden tysiąc dwieście trzydzieści cztery złote, pięćdziesiąt sześć groszy");
  EXPECT_EQ(Words(A("1000.00")), "jeden tysiąc złotych");
  EXPECT_EQ(Words(A("0.50")), "zero złotych, pięćdziesiąt groszy");
  EXPECT_EQ(Words(A("12.00")), "dwanaście złotych");
  EXPECT_EQ(Words(A("22.01")), "dwadzieścia dwa złote, jeden grosz");
}

TEST(AmountInWords, FormsRoundingAndSign) {
  EXPECT_EQ(Words(A("1.00")), "jeden złoty");
  EXPECT_EQ(Words(A("0")), "zero złotych");
  EXPECT_EQ(Words(A("2.02")), "dwa złote, dwa grosze");
  EXPECT_EQ(Words(A("112.12")), "sto dwanaście złotych, dwanaście groszy");
  // Rounded to grosze first: 0.995 becomes one złoty, 0.0049 nothing at all.
  EXPECT_EQ(Words(A("0.995")), "jeden złoty");
  EXPECT_EQ(Words(A("0.0049")), "zero złotych");
  EXPECT_EQ(Words(A("-12.50")), "minus dwanaście złotych, pięćdziesiąt groszy");
  // The sign of an amount under one złoty is kept too.
  EXPECT_EQ(Words(A("-0.50")), "minus zero złotych, pięćdziesiąt groszy");
}

TEST(NumberInWords, ScalesGroupsAndTheRange) {
  EXPECT_EQ(Number(-7), "minus siedem");
  EXPECT_EQ(Number(1001001), "jeden milion jeden tysiąc jeden");
  EXPECT_EQ(Number(22000), "dwadzieścia dwa tysiące");
  // Beyond fifteen digits there is no text; the texts are in the data code page.
  EXPECT_EQ(Number(1000000000000000), "");
  EXPECT_EQ(Number(INT64_MIN), "");
  EXPECT_EQ(NumberInWords(5), "pięć"_plv);
}

TEST(NumberInWords, ReadsBackThroughAnIndependentParser) {
  std::string why;
  int64_t back = -1;
  for (int64_t n = 0; n <= 2000; ++n) {
    ASSERT_TRUE(ParseWords(Number(n), &back, &why)) << n << ": " << why;
    ASSERT_EQ(back, n);
  }
  std::mt19937_64 rng(1000000007);
  for (int i = 0; i < 20000; ++i) {
    // Every magnitude equally often, with runs of zero groups now and then.
    int64_t limit = 1;
    for (int d = 1 + static_cast<int>(rng() % 15); d > 0; --d) limit *= 10;
    int64_t n = static_cast<int64_t>(rng() % static_cast<uint64_t>(limit));
    if (i % 5 == 0) n -= n % 1000000;
    if (i % 7 == 0) n = -n;
    const std::string text = Number(n);
    ASSERT_TRUE(ParseWords(text, &back, &why)) << n << ": " << text << ": " << why;
    ASSERT_EQ(back, n) << text;
  }
}

TEST(PluralForm, AgreesWithThePolishRule) {
  for (int64_t n = 0; n <= 1000000; ++n) ASSERT_EQ(PluralForm(n), PolishForm(n)) << n;
  EXPECT_EQ(PluralForm(-1), 0);
  EXPECT_EQ(PluralForm(-22), 1);
  EXPECT_EQ(PluralForm(-12), 2);
  EXPECT_STREQ(PluralForm(3, "grosz", "grosze", "groszy"), "grosze");
  EXPECT_STREQ(PluralForm(1, "grosz", "grosze", "groszy"), "grosz");
  EXPECT_STREQ(PluralForm(113, "grosz", "grosze", "groszy"), "groszy");
}
