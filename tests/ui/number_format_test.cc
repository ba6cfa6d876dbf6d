#include "ui/number_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "support/amount_testing.h"

namespace {
std::string Grouped(std::string text) {
  group_thousands(text.data());
  return text;
}
}  // namespace

// The defaults (comma and blank) first.
TEST(NumberFormatTest, AmountsShowTheirDecimalsAndSign) {
  EXPECT_EQ(format_amount(A("1234567.5"), 2), "1 234 567,50");
  EXPECT_EQ(format_amount(A("-0.5"), 0), "-1");
  EXPECT_EQ(format_amount(A("0"), 2), "0,00");
  EXPECT_EQ(format_amount(A("0.05"), 1), "0,1");
  EXPECT_EQ(format_amount(A("-1234.5678"), 4), "-1 234,5678");
  EXPECT_EQ(format_amount(A("-1234.5678"), 3), "-1 234,568");
  EXPECT_EQ(format_amount(A("999.995"), 2), "1 000,00");
  EXPECT_EQ(format_amount(A("123"), 0), "123");
  EXPECT_EQ(format_amount(A("123456"), 0), "123 456");
  // Negative decimal counts show whole numbers.
  EXPECT_EQ(format_amount(A("123.6"), -2), "124");
  // The extremes fit the buffer.
  char text[kAmountTextSize];
  format_amount(AMOUNT::FromRaw(INT64_MIN), 9, text);
  EXPECT_LT(std::strlen(text), kAmountTextSize);
  EXPECT_EQ(std::string(text).substr(0, 5), "-922 ");
}

TEST(NumberFormatTest, FourDecimalsReadBackExactly) {
  // With four decimals every stored digit shows; reading the text back gives the value.
  std::mt19937_64 rng(31337);
  for (int i = 0; i < 20000; ++i) {
    const int64_t raw = static_cast<int64_t>(rng() % (uint64_t{1} << 52)) - (int64_t{1} << 51);
    std::string text = format_amount(AMOUNT::FromRaw(raw), 4);
    std::string digits;
    for (char c : text)
      if (c != ' ' && c != ',') digits += c;
    ASSERT_EQ(std::stoll(digits), raw) << text;
  }
}

TEST(NumberFormatTest, GroupingInPlaceKeepsTheLength) {
  EXPECT_EQ(Grouped("   1234567,50"), " 1 234 567,50");
  EXPECT_EQ(Grouped("    -1234"), "   -1 234");
  EXPECT_EQ(Grouped("  123"), "  123");
  // Digits already grouped are grouped again the same way.
  EXPECT_EQ(Grouped(" 1 234 567,50"), " 1 234 567,50");
  // No room for the separators: left as it was.
  EXPECT_EQ(Grouped("1234567,50"), "1234567,50");
  set_number_format(',', 0);
  EXPECT_EQ(Grouped("   1234567,50"), "   1234567,50");
  set_number_format(',', '.');
  EXPECT_EQ(Grouped("      1234567"), "    1.234.567");
}

TEST(NumberFormatTest, GroupingAPlainTextMatchesFormatting) {
  std::mt19937_64 rng(5);
  for (int i = 0; i < 5000; ++i) {
    const AMOUNT value =
        AMOUNT::FromRaw(static_cast<int64_t>(rng() % 2000000000000) - 1000000000000);
    const int decimals = static_cast<int>(rng() % 5);
    set_number_format(',', ' ');
    const std::string grouped = format_amount(value, decimals);
    set_number_format(',', 0);
    const std::string plain = format_amount(value, decimals);
    set_number_format(',', ' ');
    std::string padded = std::string(20 - plain.size(), ' ') + plain;
    group_thousands(padded.data());
    ASSERT_EQ(padded, std::string(20 - grouped.size(), ' ') + grouped) << plain;
  }
}
