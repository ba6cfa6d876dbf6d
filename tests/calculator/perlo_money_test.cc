// The calculator's amount texts: shown with the field separators, typed with them.
#include "calculator/perlo_money.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "common/text.h"
#include "support/amount_testing.h"

namespace {

TEST(PerloMoneyTest, FormatGroupsThousandsRoundsAndAppendsTheCurrency) {
  EXPECT_EQ(PerloFormatAmount(A("1234.5")), "1 234,50 zł"_pl);
  EXPECT_EQ(PerloFormatAmount(AMOUNT()), "0,00 zł"_pl);
  EXPECT_EQ(PerloFormatAmount(A("999.995")), "1 000,00 zł"_pl);
  EXPECT_EQ(PerloFormatAmount(A("-1234567.891")), "-1 234 567,89 zł"_pl);
  EXPECT_EQ(PerloFormatAmount(A("-0.004")), "0,00 zł"_pl);  // rounds to nothing: no sign
  PerloSetSeparators('.', ',');
  EXPECT_EQ(PerloFormatAmount(A("1234567.5")), "1,234,567.50 zł"_pl);
  EXPECT_EQ(PerloFormatAmountWith(A("1234567.5"), ',', ' '), "1 234 567,50 zł"_pl);
}

TEST(PerloMoneyTest, ReadsTypedAmountsWithSeparatorsAndCurrency) {
  EXPECT_EQ(PerloParseAmount("1 234,5"), A("1234.5"));
  EXPECT_EQ(PerloParseAmount("1 234,50 zł"_pl), A("1234.5"));
  EXPECT_EQ(PerloParseAmount(" \t\n-12,34567"), A("-12.3456"));  // the fifth decimal cut
  EXPECT_EQ(PerloParseAmount("+7"), A("7"));
  EXPECT_EQ(PerloParseAmount("12 34 5"), A("12345"));  // the separator anywhere
  EXPECT_EQ(PerloParseAmount(",5"), A("0.5"));
  EXPECT_EQ(PerloParseAmount("zł"_pl), AMOUNT());
  // "." is not the decimal separator here: reading stops before it.
  PERLO_AMOUNT_READ r = PerloReadAmount("1234.50");
  EXPECT_EQ(r.value, A("1234"));
  EXPECT_EQ(r.end, 4u);
  EXPECT_FALSE(PerloReadAmount(" - zł"_pl).digits);
  // Beyond 99 999 999 999.9999 an amount is too large and held at the limit.
  EXPECT_FALSE(PerloReadAmount("99 999 999 999,9999").too_large);
  r = PerloReadAmount("-123 456 789 012 345 678 901 234,5");
  EXPECT_TRUE(r.too_large);
  EXPECT_EQ(r.value, -kPerloLimit);
  PerloSetSeparators('.', ',');
  EXPECT_EQ(PerloParseAmount("1,234.5"), A("1234.5"));
}

TEST(PerloMoneyTest, SeparatorsFromTheLocale) {
  EXPECT_EQ(PerloSeparatorFromLocale("", true, ' '), ' ');
  EXPECT_EQ(PerloSeparatorFromLocale(nullptr, true, ','), ',');
  EXPECT_EQ(PerloSeparatorFromLocale("5", false, ','), ',');            // a digit is ignored
  EXPECT_EQ(PerloSeparatorFromLocale("\xC2\xA0", true, ' '), '\xA0');   // no-break space
  EXPECT_EQ(PerloSeparatorFromLocale("\xE2\x80\xAF", true, ' '), ' ');  // no 1250 form
  EXPECT_EQ(PerloSeparatorFromLocale("\xC2", true, ' '), ' ');          // cut sequence
  PerloSetSeparators('7', 0);
  EXPECT_EQ(PerloDecimalSeparator(), ',');
  EXPECT_EQ(PerloThousandsSeparator(), ' ');
  // The C locale leaves both monetary separators empty: the defaults hold.
  PerloSetSeparators('.', '\'');
  PerloLoadSeparators();
  EXPECT_EQ(PerloDecimalSeparator(), ',');
  EXPECT_EQ(PerloThousandsSeparator(), ' ');
}

TEST(PerloMoneyTest, ShownAmountsReadBackUnchanged) {
  std::mt19937_64 rng(7);
  std::uniform_int_distribution<int64_t> cents(-10000000000LL, 10000000000LL);
  for (char thousands : {' ', '.', '\xA0'}) {
    PerloSetSeparators(',', thousands);
    for (int i = 0; i < 500; ++i) {
      const AMOUNT v = AMOUNT::FromRaw(cents(rng) * 100);
      ASSERT_EQ(PerloParseAmount(PerloFormatAmount(v)), v) << PerloFormatAmount(v);
    }
  }
}

}  // namespace
