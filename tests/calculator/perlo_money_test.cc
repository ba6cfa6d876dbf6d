#include <gtest/gtest.h>

#include <random>
#include <string>

#include "calculator/perlo_money.h"
#include "common/text.h"

namespace {

class PerloMoneyTest : public ::testing::Test {
 protected:
  void SetUp() override { PerloResetSeparators(); }
  void TearDown() override { PerloResetSeparators(); }
};

PERLO_MONEY Raw(int64_t raw) { return PERLO_MONEY::FromRaw(raw); }

TEST_F(PerloMoneyTest, ConversionsAndFactorsRoundThenTruncate) {
  EXPECT_EQ(PERLO_MONEY::FromInt(12).Raw(), 120000);
  EXPECT_EQ(PERLO_MONEY::FromDouble(0.00005).Raw(), 1);
  EXPECT_EQ(PERLO_MONEY::FromDouble(-0.00005).Raw(), -1);
  EXPECT_EQ(PERLO_MONEY::FromDouble(165.60).Raw(), 1656000);
  // The factor is made fixed point first: 0.000049 is nothing, 0.00005 one ten-thousandth.
  EXPECT_EQ(PERLO_MONEY::FromInt(1000000).MulDouble(0.000049).Raw(), 0);
  EXPECT_EQ(PERLO_MONEY::FromInt(1000000).MulDouble(0.00005).Raw(), 1000000);
  // 3089.02 × 0.18 = 556.0236 exactly; 1.2345 × 0.3333 = 0.41145885 truncated.
  EXPECT_EQ(Raw(30890200).MulDouble(0.18).Raw(), 5560236);
  EXPECT_EQ(Raw(12345).MulDouble(0.3333).Raw(), 4114);
  EXPECT_EQ(Raw(-12345).MulDouble(0.3333).Raw(), -4114);
  EXPECT_EQ(Raw(-7).DivInt(2).Raw(), -3);
  EXPECT_EQ(Raw(7).DivInt(0).Raw(), 0);
}

TEST_F(PerloMoneyTest, RoundingToTheGroszLooksAtTheThirdDecimal) {
  EXPECT_EQ(Raw(49).Round2().Raw(), 0);       // 0.0049
  EXPECT_EQ(Raw(50).Round2().Raw(), 100);     // 0.0050
  EXPECT_EQ(Raw(149).Round2().Raw(), 100);    // 0.0149
  EXPECT_EQ(Raw(-50).Round2().Raw(), -100);
  EXPECT_EQ(Raw(-49).Round2().Raw(), 0);
  EXPECT_EQ(Raw(12345).Round2().Raw(), 12300);
  EXPECT_EQ(Raw(12350).Round2().Raw(), 12400);
}

TEST_F(PerloMoneyTest, FormatGroupsThousandsAndAppendsTheCurrency) {
  EXPECT_EQ(PerloFormatAmount(PERLO_MONEY::FromDouble(1234.5)), "1 234,50 zł"_pl);
  EXPECT_EQ(PerloFormatAmount(PERLO_MONEY()), "0,00 zł"_pl);
  EXPECT_EQ(PerloFormatAmount(PERLO_MONEY::FromDouble(999.995)), "1 000,00 zł"_pl);
  EXPECT_EQ(PerloFormatAmount(PERLO_MONEY::FromDouble(-1234567.891)), "-1 234 567,89 zł"_pl);
  EXPECT_EQ(PerloFormatAmount(PERLO_MONEY::FromDouble(123456)), "123 456,00 zł"_pl);
  // A value that rounds to nothing shows no sign.
  EXPECT_EQ(PerloFormatAmount(Raw(-40)), "0,00 zł"_pl);
  PerloSetSeparators('.', ',');
  EXPECT_EQ(PerloFormatAmount(PERLO_MONEY::FromDouble(1234567.5)), "1,234,567.50 zł"_pl);
}

TEST_F(PerloMoneyTest, ReadsTypedAmountsWithSeparatorsAndCurrency) {
  EXPECT_EQ(PerloParseAmount("1 234,5").Raw(), 12345000);
  EXPECT_EQ(PerloParseAmount("1 234,50 zł"_pl).Raw(), 12345000);
  EXPECT_EQ(PerloParseAmount("1234,5zł"_pl).Raw(), 12345000);
  EXPECT_EQ(PerloParseAmount(" \t\n-12,34567").Raw(), -123456);  // fifth decimal cut
  EXPECT_EQ(PerloParseAmount("+7").Raw(), 70000);
  EXPECT_EQ(PerloParseAmount("12 34 5").Raw(), 123450000);  // the separator anywhere
  EXPECT_EQ(PerloParseAmount(",5").Raw(), 5000);
  EXPECT_EQ(PerloParseAmount("zł"_pl).Raw(), 0);
  EXPECT_EQ(PerloParseAmount("").Raw(), 0);
  // "." is not the decimal separator here: reading stops before it.
  PERLO_AMOUNT_READ r = PerloReadAmount("1234.50");
  EXPECT_EQ(r.value.Raw(), 12340000);
  EXPECT_EQ(r.end, 4u);
  EXPECT_TRUE(r.digits);
  EXPECT_FALSE(PerloReadAmount(" - zł"_pl).digits);

  PerloSetSeparators('.', ',');
  EXPECT_EQ(PerloParseAmount("1,234.5").Raw(), 12345000);
  EXPECT_EQ(PerloParseAmount("1 234.5").Raw(), 10000);
}

TEST_F(PerloMoneyTest, HugeAmountsAreHeldAtTheLimit) {
  PERLO_AMOUNT_READ r = PerloReadAmount("99 999 999 999,9999");
  EXPECT_EQ(r.value.Raw(), PERLO_MONEY::kLimitRaw);
  EXPECT_FALSE(r.clamped);
  r = PerloReadAmount("-123 456 789 012 345 678 901 234,5");
  EXPECT_EQ(r.value.Raw(), -PERLO_MONEY::kLimitRaw);
  EXPECT_TRUE(r.clamped);
  EXPECT_TRUE(PerloReadAmount("100 000 000 000").clamped);
}

TEST_F(PerloMoneyTest, SeparatorsFromTheLocale) {
  EXPECT_EQ(PerloSeparatorFromLocale("", true, ' '), ' ');
  EXPECT_EQ(PerloSeparatorFromLocale(nullptr, true, ','), ',');
  EXPECT_EQ(PerloSeparatorFromLocale(".", true, ','), '.');
  EXPECT_EQ(PerloSeparatorFromLocale("5", false, ','), ',');  // a digit is ignored
  EXPECT_EQ(PerloSeparatorFromLocale("\xC2\xA0", true, ' '), '\xA0');      // no-break space
  EXPECT_EQ(PerloSeparatorFromLocale("\xE2\x80\xAF", true, ' '), ' ');    // no 1250 form
  EXPECT_EQ(PerloSeparatorFromLocale("\xC2", true, ' '), ' ');            // cut sequence
  EXPECT_EQ(PerloSeparatorFromLocale("\xA0", false, ' '), '\xA0');
  PerloSetSeparators('7', 0);
  EXPECT_EQ(PerloDecimalSeparator(), ',');
  EXPECT_EQ(PerloThousandsSeparator(), ' ');
  // The C locale leaves both monetary separators empty: the defaults hold.
  PerloSetSeparators('.', '\'');
  PerloLoadSeparators();
  EXPECT_EQ(PerloDecimalSeparator(), ',');
  EXPECT_EQ(PerloThousandsSeparator(), ' ');
}

TEST_F(PerloMoneyTest, ShownAmountsReadBackUnchanged) {
  std::mt19937_64 rng(7);
  std::uniform_int_distribution<int64_t> cents(-10000000000LL, 10000000000LL);
  for (char thousands : {' ', '.', '\xA0'}) {
    PerloSetSeparators(',', thousands);
    for (int i = 0; i < 500; ++i) {
      PERLO_MONEY v = Raw(cents(rng) * 100);
      std::string shown = PerloFormatAmount(v);
      ASSERT_EQ(PerloParseAmount(shown), v) << shown;
    }
  }
}

}  // namespace
