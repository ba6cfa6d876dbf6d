#include <gtest/gtest.h>

#include <random>

#include "calculator/perlo_interest.h"

namespace {

PERLO_MONEY Zl(double v) { return PERLO_MONEY::FromDouble(v); }
PERLO_DAY Day(unsigned d, unsigned m, unsigned y) { return PerloDayFromDmy(d, m, y); }

TEST(PerloInterestTest, TablesAreInDateOrderAndComplete) {
  for (PERLO_TABLE t : {kPerloStatutory, kPerloTaxInterest}) {
    int count;
    const PERLO_RATE* rows = PerloRates(t, &count);
    EXPECT_EQ(count, t == kPerloStatutory ? 15 : 73);
    for (int i = 0; i < count; ++i) {
      ASSERT_NE(PerloDayFromDmy(rows[i].day, rows[i].month, rows[i].year), 0u) << i;
      if (i > 0) {
        ASSERT_LT(PerloDayFromDmy(rows[i - 1].day, rows[i - 1].month, rows[i - 1].year),
                  PerloDayFromDmy(rows[i].day, rows[i].month, rows[i].year)) << i;
      }
    }
  }
}

TEST(PerloInterestTest, NothingDueOnOrBeforeTheDueDate) {
  PERLO_MONEY amount = Zl(1000);
  EXPECT_EQ(PerloInterest(amount, Day(1, 3, 2013), Day(1, 3, 2013), kPerloTaxInterest),
            PERLO_MONEY());
  EXPECT_EQ(PerloInterest(amount, Day(1, 3, 2013), Day(15, 2, 2013), kPerloStatutory),
            PERLO_MONEY());
  EXPECT_EQ(PerloInterest(amount, 0, Day(15, 2, 2013), kPerloStatutory), PERLO_MONEY());
  EXPECT_EQ(PerloInterest(amount, Day(1, 3, 2013), 0, kPerloStatutory), PERLO_MONEY());
  // The first day late counts: 1000 × 13 % / 365 = 0.356.
  EXPECT_EQ(PerloInterest(amount, Day(1, 3, 2013), Day(2, 3, 2013), kPerloStatutory),
            Zl(0.36));
}

TEST(PerloInterestTest, PeriodSplitByRowsEachPartRounded) {
  // 14 days at 11.5 % (4.4109) and 17 days at 13 % (6.0547).
  EXPECT_EQ(PerloInterest(Zl(1000), Day(30, 11, 2008), Day(31, 12, 2008), kPerloStatutory),
            Zl(10.46));
  // 53 days at 20 % (3.1169), 191 at 16 % (8.9863), 29 at 13 % (1.1085): the rounded parts
  // give 13.22 where the unrounded sum would round to 13.21.
  EXPECT_EQ(PerloInterest(Zl(107.33), Day(1, 6, 2002), Day(1, 3, 2003), kPerloStatutory),
            Zl(13.22));
  // Seven rows of tax interest through 2013:
  // 3.3287 + 9.9726 + 9.5890 + 19.8493 + 8.4383 + 8.0547 + 49.5890.
  EXPECT_EQ(PerloInterest(Zl(1000), Day(31, 12, 2012), Day(31, 12, 2013), kPerloTaxInterest),
            Zl(108.82));
  // Days before the first row bear nothing: only 15..31.08.1992 at 60 %.
  EXPECT_EQ(PerloInterest(Zl(1000), Day(1, 1, 1990), Day(31, 8, 1992), kPerloStatutory),
            Zl(27.95));
  // Whole tables, the last row running on to the payment.
  EXPECT_EQ(PerloInterest(Zl(12345.67), Day(1, 1, 1993), Day(19, 4, 2014), kPerloTaxInterest),
            Zl(77000.56));
  EXPECT_EQ(PerloInterest(Zl(12345.67), Day(1, 1, 1990), Day(19, 4, 2014), kPerloStatutory),
            Zl(66203.81));
}

TEST(PerloInterestTest, RowBoundaries) {
  // 24.07.2002 is the last day at 20 %, 25.07.2002 the first at 16 %.
  EXPECT_EQ(PerloInterest(Zl(36500), Day(23, 7, 2002), Day(24, 7, 2002), kPerloStatutory),
            Zl(20));
  EXPECT_EQ(PerloInterest(Zl(36500), Day(24, 7, 2002), Day(25, 7, 2002), kPerloStatutory),
            Zl(16));
  EXPECT_EQ(PerloInterest(Zl(36500), Day(23, 7, 2002), Day(25, 7, 2002), kPerloStatutory),
            Zl(36));
  EXPECT_EQ(PerloInterest(Zl(-36500), Day(23, 7, 2002), Day(25, 7, 2002), kPerloStatutory),
            Zl(-36));
}

TEST(PerloInterestTest, SplitFindsTheLargestPrincipal) {
  EXPECT_EQ(PerloSplit(Zl(1010.46), Day(30, 11, 2008), Day(31, 12, 2008), kPerloStatutory),
            Zl(1000));
  EXPECT_EQ(PerloSplit(Zl(1010.455), Day(30, 11, 2008), Day(31, 12, 2008), kPerloStatutory),
            Zl(1000));
  EXPECT_EQ(PerloSplit(Zl(500), Day(1, 1, 2013), Day(1, 1, 2013), kPerloStatutory), Zl(500));
  EXPECT_EQ(PerloSplit(Zl(-5), Day(1, 1, 2012), Day(1, 1, 2013), kPerloStatutory),
            PERLO_MONEY());

  std::mt19937 rng(4);
  std::uniform_int_distribution<int64_t> grosze(0, 100000000);
  std::uniform_int_distribution<int> day(PerloDayFromDmy(1, 1, 1992), PerloDayFromDmy(31, 12, 2014));
  for (int i = 0; i < 300; ++i) {
    PERLO_TABLE table = i % 2 ? kPerloTaxInterest : kPerloStatutory;
    PERLO_DAY due = static_cast<PERLO_DAY>(day(rng));
    PERLO_DAY paid = static_cast<PERLO_DAY>(day(rng));
    PERLO_MONEY total = PERLO_MONEY::FromRaw(grosze(rng) * 100);
    PERLO_MONEY p = PerloSplit(total, due, paid, table);
    auto sum = [&](PERLO_MONEY a) { return (a + PerloInterest(a, due, paid, table)).Round2(); };
    ASSERT_LE(sum(p), total) << i;
    ASSERT_GT(sum(p + kPerloGrosz), total) << i;
    // A principal comes back from its own total (or a larger one with the same total).
    PERLO_MONEY back = PerloSplit(sum(p), due, paid, table);
    ASSERT_EQ(back, p) << i;
  }
}

}  // namespace
