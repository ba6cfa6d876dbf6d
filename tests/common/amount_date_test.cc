#include <gtest/gtest.h>

#include <random>

#include "common/amount.h"
#include "common/date.h"

namespace {

TEST(AmountTest, FromDoubleRoundsHalfAwayFromZero) {
  EXPECT_EQ(AMOUNT::FromDouble(12.3).Raw(), 123000);
  EXPECT_EQ(AMOUNT::FromDouble(0.00005).Raw(), 1);
  EXPECT_EQ(AMOUNT::FromDouble(-0.00005).Raw(), -1);
  EXPECT_EQ(AMOUNT::FromDouble(0.00004999).Raw(), 0);
  EXPECT_EQ(AMOUNT::FromDouble(1.005).Raw(), 10050);
  EXPECT_EQ(AMOUNT::FromDouble(-7.38).Raw(), -73800);
}

TEST(AmountTest, ProductsAndQuotientsTruncateTowardZero) {
  AMOUNT price = AMOUNT::FromRaw(12345);   // 1.2345
  AMOUNT third = AMOUNT::FromRaw(3333);    // 0.3333
  EXPECT_EQ((price * third).Raw(), 4114);  // 0.41145885 -> 0.4114
  EXPECT_EQ((-price * third).Raw(), -4114);
  EXPECT_EQ((AMOUNT::FromInt(1) / AMOUNT::FromInt(3)).Raw(), 3333);
  EXPECT_EQ((AMOUNT::FromInt(-2) / AMOUNT::FromInt(3)).Raw(), -6666);
  EXPECT_EQ((AMOUNT::FromRaw(10) / 3).Raw(), 3);
  EXPECT_EQ((AMOUNT::FromRaw(-10) / 3).Raw(), -3);
  EXPECT_EQ((AMOUNT::FromRaw(10) * 3).Raw(), 30);
  EXPECT_EQ((AMOUNT::FromInt(5) / AMOUNT()).Raw(), 0);
  // Large values keep exact intermediate products.
  AMOUNT big = AMOUNT::FromInt(900000000000LL);  // 9e11, raw 9e15
  EXPECT_EQ((big * AMOUNT::FromInt(2)).Raw(), 18000000000000000LL);
  EXPECT_EQ((big / AMOUNT::FromInt(3)).Raw(), 3000000000000000LL);
}

TEST(AmountTest, RoundToAndTruncTo) {
  EXPECT_EQ(RoundTo(AMOUNT::FromRaw(12345), 2).Raw(), 12300);
  EXPECT_EQ(RoundTo(AMOUNT::FromRaw(12350), 2).Raw(), 12400);
  EXPECT_EQ(RoundTo(AMOUNT::FromRaw(-12350), 2).Raw(), -12400);
  EXPECT_EQ(RoundTo(AMOUNT::FromRaw(-12349), 2).Raw(), -12300);
  EXPECT_EQ(RoundTo(AMOUNT::FromRaw(15000), 0).Raw(), 20000);
  EXPECT_EQ(RoundTo(AMOUNT::FromRaw(12345), 4).Raw(), 12345);
  EXPECT_EQ(RoundTo(AMOUNT::FromRaw(12345), 3).Raw(), 12350);
  EXPECT_EQ(TruncTo(AMOUNT::FromRaw(-12399), 2).Raw(), -12300);
  std::mt19937_64 rng(7);
  for (int i = 0; i < 20000; ++i) {
    int64_t raw = static_cast<int64_t>(rng() % 2000000001) - 1000000000;
    for (int d = 0; d < 4; ++d) {
      AMOUNT r = RoundTo(AMOUNT::FromRaw(raw), d);
      int64_t unit = d == 0 ? 10000 : d == 1 ? 1000 : d == 2 ? 100 : 10;
      ASSERT_EQ(r.Raw() % unit, 0);
      ASSERT_LE(std::llabs(r.Raw() - raw), unit / 2) << raw << " " << d;
      ASSERT_EQ(RoundTo(AMOUNT::FromRaw(-raw), d).Raw(), -r.Raw());  // symmetric
    }
  }
}

TEST(DateTest, DayNumbersOfTheProlepticCalendar) {
  EXPECT_EQ(DateFromYmd(1, 1, 1), 1u);
  EXPECT_EQ(DateFromYmd(2000, 1, 1), 730120u);
  EXPECT_NE(DateFromYmd(2012, 2, 29), 0u);
  EXPECT_NE(DateFromYmd(2000, 2, 29), 0u);
  for (DATE impossible : {DateFromYmd(2013, 2, 31), DateFromYmd(2013, 2, 29),
                          DateFromYmd(1900, 2, 29), DateFromYmd(2014, 13, 1), DateFromYmd(0, 1, 1)})
    EXPECT_EQ(impossible, 0u);
  EXPECT_EQ(DateWeekday(DateFromYmd(2014, 4, 19)), 6u);  // Saturday
  EXPECT_EQ(DateWeekday(DateFromYmd(2026, 12, 7)), 1u);  // Monday
  EXPECT_EQ(DateWeekday(DateFromYmd(1, 1, 1)), 1u);
  EXPECT_EQ(DateWeekday(0), 0u);
  // Every day of four centuries goes there and back.
  DATE d = DateFromYmd(1800, 1, 1);
  for (DATE n = d; n < DateFromYmd(2200, 12, 31); ++n) {
    DateParts p = DateToYmd(n);
    ASSERT_EQ(DateFromYmd(p.year, p.month, p.day), n);
  }
  DateParts last = DateToYmd(DateFromYmd(9999, 12, 31));
  EXPECT_EQ(last.year, 9999u);
  EXPECT_EQ(last.day, 31u);
}

TEST(DateTest, DisplayAndStoredForms) {
  DATE d = DateFromYmd(2014, 4, 9);
  EXPECT_EQ(DateToDisplay(d), "09.04.2014");
  EXPECT_EQ(DateToStored(d), "20140409");
  EXPECT_EQ(DateToDisplay(0), "");
  EXPECT_EQ(DateToStored(0), "        ");
  EXPECT_EQ(DateFromStored("20140409", 8), d);
  EXPECT_EQ(DateFromStored("        ", 8), 0u);
  EXPECT_EQ(DateFromStored("20130231", 8), 0u);  // impossible: empty
  EXPECT_EQ(DateFromStored("2014040", 7), 0u);
  EXPECT_EQ(DateFromStored("2014-4-9", 8), 0u);
  EXPECT_EQ(DateFromDisplay("09.04.2014"), d);
  EXPECT_EQ(DateFromDisplay(" 9. 4.2014"), d);
  EXPECT_EQ(DateFromDisplay("31.02.2013"), 0u);
  EXPECT_EQ(DateFromDisplay("09.04"), 0u);
  EXPECT_EQ(DateFromDisplay("09.04.2014x"), 0u);
  EXPECT_EQ(DateFromDisplay("  .  .    "), 0u);
  EXPECT_NE(DateToday(), 0u);
}

}  // namespace
