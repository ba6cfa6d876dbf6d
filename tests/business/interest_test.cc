#include "business/interest.h"

#include <gtest/gtest.h>

#include <random>

#include "support/amount_testing.h"

namespace {

DATE Day(unsigned d, unsigned m, unsigned y) { return DateFromYmd(y, m, d); }

// Each delay is split over the rows of the rates and every part is rounded on its own.
TEST(Interest, StatutoryInterestOverTheRows) {
  struct CASE {
    const char* what;
    const char* amount;
    DATE due, paid;
    const char* interest;
  } cases[] = {
      {"paid on the due date", "1000", Day(15, 3, 2010), Day(15, 3, 2010), "0"},
      {"paid before the due date", "1000", Day(15, 3, 2010), Day(5, 3, 2010), "0"},
      {"no due date", "1000", 0, Day(15, 2, 2013), "0"},
      {"no payment date", "1000", Day(1, 3, 2013), 0, "0"},
      {"the first day late counts", "36500", Day(15, 3, 2010), Day(16, 3, 2010), "13"},
      {"thirty days at 13 %", "1000", Day(31, 12, 2008), Day(30, 1, 2009), "10.68"},
      // 14 days at 11.5 % (4.4109) and 17 days at 13 % (6.0547).
      {"two rows", "1000", Day(30, 11, 2008), Day(31, 12, 2008), "10.46"},
      // 222 days at 20 % (0.121643) and 191 at 16 % (0.083726): 0.12 + 0.08.
      {"parts rounded", "1", Day(14, 12, 2001), Day(31, 1, 2003), "0.20"},
      {"a leap year counts 366 days of 365", "1000", Day(31, 12, 2011), Day(31, 12, 2012),
       "130.36"},
      {"days before the first row bear nothing", "1000", Day(1, 1, 1990), Day(14, 8, 1992), "0"},
      {"from the first row", "1000", Day(1, 1, 1990), Day(15, 8, 1992), "1.64"},
      // 24.07.2002 is the last day at 20 %, 25.07.2002 the first at 16 %.
      {"across a row boundary", "36500", Day(23, 7, 2002), Day(25, 7, 2002), "36"},
      {"a negative amount", "-36500", Day(23, 7, 2002), Day(25, 7, 2002), "-36"},
  };
  for (const CASE& c : cases)
    EXPECT_EQ(InterestDue(A(c.amount), c.due, c.paid), A(c.interest)) << c.what;
}

TEST(Interest, GrowsWithTheDelay) {
  std::mt19937 rng(1992);
  const DATE first = Day(1, 1, 1992), last = Day(31, 12, 2030);
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

}  // namespace
