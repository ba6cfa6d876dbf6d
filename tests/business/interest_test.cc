#include "business/interest.h"

#include <gtest/gtest.h>

#include <random>

#include "business/amount_testing.h"

TEST(Interest, ThirtyDaysAtThirteenPercent) {
  EXPECT_EQ(InterestDue(A("1000.00"), DateFromYmd(2008, 12, 31), DateFromYmd(2009, 1, 30)),
            A("10.68"));
}

TEST(Interest, DelaySpanningTwoRatesIsSplitByDays) {
  // 14 days at 11.5 % (4.41) and 17 days at 13 % (6.05).
  EXPECT_EQ(InterestDue(A("1000.00"), DateFromYmd(2008, 11, 30), DateFromYmd(2008, 12, 31)),
            A("10.46"));
}

TEST(Interest, NoneWhenPaidInTimeOrDatesMissing) {
  const DATE due = DateFromYmd(2010, 3, 15);
  EXPECT_EQ(InterestDue(A("1000.00"), due, due), AMOUNT());
  EXPECT_EQ(InterestDue(A("1000.00"), due, due - 10), AMOUNT());
  EXPECT_EQ(InterestDue(A("1000.00"), due, 0), AMOUNT());
  EXPECT_EQ(InterestDue(A("1000.00"), 0, due), AMOUNT());
  // One day late.
  EXPECT_EQ(InterestDue(A("36500.00"), due, due + 1), A("13.00"));
}

TEST(Interest, YearAlwaysCountsThreeHundredSixtyFiveDays) {
  // The leap year 2012 in full: 366 days at 13 %.
  EXPECT_EQ(InterestDue(A("1000.00"), DateFromYmd(2011, 12, 31), DateFromYmd(2012, 12, 31)),
            A("130.36"));
}

TEST(Interest, EachPeriodIsRoundedOnItsOwn) {
  // 1.00 over 15.12.2001 .. 24.07.2002 (20 %, 222 days) and 25.07.2002 .. 31.01.2003 (16 %,
  // 191 days): 0.121643 -> 0.12 and 0.083726 -> 0.08.
  EXPECT_EQ(InterestDue(A("1.00"), DateFromYmd(2001, 12, 14), DateFromYmd(2003, 1, 31)),
            A("0.20"));
  // Before the first period there is no rate.
  EXPECT_EQ(InterestDue(A("1000.00"), DateFromYmd(1990, 1, 1), DateFromYmd(1992, 8, 14)),
            AMOUNT());
  EXPECT_EQ(InterestDue(A("1000.00"), DateFromYmd(1990, 1, 1), DateFromYmd(1992, 8, 15)),
            A("1.64"));
}

TEST(Interest, GrowsWithTheDelay) {
  std::mt19937 rng(1992);
  const DATE first = DateFromYmd(1992, 1, 1);
  const DATE last = DateFromYmd(2030, 12, 31);
  for (int i = 0; i < 300; ++i) {
    const AMOUNT amount = AMOUNT::FromRaw(static_cast<int64_t>(rng() % 100000000) * 100);
    const DATE due = first + rng() % (last - first);
    AMOUNT previous;
    DATE paid = due;
    for (int step = 0; step < 20 && paid < last; ++step) {
      paid += 1 + rng() % 200;
      const AMOUNT now = InterestDue(amount, due, paid);
      ASSERT_GE(now, previous) << due << " " << paid;
      previous = now;
    }
  }
}
