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

// Each period is split over the rows of its table and every part is rounded on its own.
TEST(PerloInterestTest, InterestOverTheRowsOfTheTables) {
  const PERLO_TABLE S = kPerloStatutory, T = kPerloTaxInterest;
  struct CASE {
    const char* what;
    double amount;
    PERLO_DAY due, paid;
    PERLO_TABLE table;
    double interest;
  } cases[] = {
      {"paid on the due date", 1000, Day(1, 3, 2013), Day(1, 3, 2013), T, 0},
      {"paid before the due date", 1000, Day(1, 3, 2013), Day(15, 2, 2013), S, 0},
      {"no due date", 1000, 0, Day(15, 2, 2013), S, 0},
      {"no payment date", 1000, Day(1, 3, 2013), 0, S, 0},
      // 1000 × 13 % / 365 = 0.356.
      {"the first day late counts", 1000, Day(1, 3, 2013), Day(2, 3, 2013), S, 0.36},
      // 14 days at 11.5 % (4.4109) and 17 days at 13 % (6.0547).
      {"two rows", 1000, Day(30, 11, 2008), Day(31, 12, 2008), S, 10.46},
      // 53 days at 20 % (3.1169), 191 at 16 % (8.9863), 29 at 13 % (1.1085): the rounded parts
      // give 13.22 where the unrounded sum would round to 13.21.
      {"parts rounded", 107.33, Day(1, 6, 2002), Day(1, 3, 2003), S, 13.22},
      // 3.3287 + 9.9726 + 9.5890 + 19.8493 + 8.4383 + 8.0547 + 49.5890.
      {"seven rows of tax interest", 1000, Day(31, 12, 2012), Day(31, 12, 2013), T, 108.82},
      // Only 15..31.08.1992 at 60 %.
      {"days before the first row bear nothing", 1000, Day(1, 1, 1990), Day(31, 8, 1992), S, 27.95},
      // The last row runs on to the payment.
      {"the whole tax table", 12345.67, Day(1, 1, 1993), Day(19, 4, 2014), T, 77000.56},
      {"the whole statutory table", 12345.67, Day(1, 1, 1990), Day(19, 4, 2014), S, 66203.81},
      // 24.07.2002 is the last day at 20 %, 25.07.2002 the first at 16 %.
      {"last day of a row", 36500, Day(23, 7, 2002), Day(24, 7, 2002), S, 20},
      {"first day of a row", 36500, Day(24, 7, 2002), Day(25, 7, 2002), S, 16},
      {"across a row boundary", 36500, Day(23, 7, 2002), Day(25, 7, 2002), S, 36},
      {"a negative amount", -36500, Day(23, 7, 2002), Day(25, 7, 2002), S, -36},
  };
  for (const CASE& c : cases)
    EXPECT_EQ(PerloInterest(Zl(c.amount), c.due, c.paid, c.table), Zl(c.interest)) << c.what;
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
