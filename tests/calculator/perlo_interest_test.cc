// Interest over the calculator's two tables (the computation itself is the program's, tested
// with the statutory rates in business/interest_test.cc) and the split of a total paid.
#include "calculator/perlo_interest.h"

#include <gtest/gtest.h>

#include <random>

#include "calculator/perlo_money.h"
#include "support/amount_testing.h"

namespace {

DATE Day(unsigned d, unsigned m, unsigned y) { return DateFromYmd(y, m, d); }

TEST(PerloInterestTest, TaxInterestOverItsRowsInDateOrder) {
  int count;
  const INTEREST_RATE* rows = PerloRates(kPerloTaxInterest, &count);
  for (int i = 1; i < count; ++i)
    ASSERT_LT(DateFromYmd(rows[i - 1].year, rows[i - 1].month, rows[i - 1].day),
              DateFromYmd(rows[i].year, rows[i].month, rows[i].day))
        << i;
  EXPECT_EQ(PerloRates(kPerloStatutory, &count), INTEREST_RATES);
  const PERLO_TABLE T = kPerloTaxInterest, S = kPerloStatutory;
  // 1-23.12 at 14.5 % (23 days: 9.1370), 24-31.12 at 13 % (8 days: 2.8493).
  EXPECT_EQ(PerloInterest(A("1000"), Day(30, 11, 2008), Day(31, 12, 2008), T), A("11.99"));
  EXPECT_EQ(PerloInterest(A("1000"), Day(30, 11, 2008), Day(31, 12, 2008), S), A("10.46"));
  // 3.3287 + 9.9726 + 9.5890 + 19.8493 + 8.4383 + 8.0547 + 49.5890.
  EXPECT_EQ(PerloInterest(A("1000"), Day(31, 12, 2012), Day(31, 12, 2013), T), A("108.82"));
  // The last row runs on to the payment.
  EXPECT_EQ(PerloInterest(A("12345.67"), Day(1, 1, 1993), Day(19, 4, 2014), T), A("77000.56"));
  EXPECT_EQ(PerloInterest(A("12345.67"), Day(1, 1, 1990), Day(19, 4, 2014), S), A("66203.81"));
  // The largest amount over the longest span stays within 64 bits.
  EXPECT_GT(PerloInterest(kPerloLimit, Day(1, 1, 1), Day(31, 12, 9999), T), kPerloLimit);
}

TEST(PerloInterestTest, SplitFindsTheLargestPrincipal) {
  EXPECT_EQ(PerloSplit(A("1010.46"), Day(30, 11, 2008), Day(31, 12, 2008), kPerloStatutory),
            A("1000"));
  EXPECT_EQ(PerloSplit(A("1010.455"), Day(30, 11, 2008), Day(31, 12, 2008), kPerloStatutory),
            A("1000"));
  EXPECT_EQ(PerloSplit(A("500"), Day(1, 1, 2013), Day(1, 1, 2013), kPerloStatutory), A("500"));
  EXPECT_EQ(PerloSplit(A("-5"), Day(1, 1, 2012), Day(1, 1, 2013), kPerloStatutory), AMOUNT());
  std::mt19937 rng(4);
  std::uniform_int_distribution<int64_t> grosze(0, 100000000);
  std::uniform_int_distribution<int> day(Day(1, 1, 1992), Day(31, 12, 2014));
  for (int i = 0; i < 300; ++i) {
    const PERLO_TABLE table = i % 2 ? kPerloTaxInterest : kPerloStatutory;
    const DATE due = static_cast<DATE>(day(rng)), paid = static_cast<DATE>(day(rng));
    const AMOUNT total = AMOUNT::FromRaw(grosze(rng) * 100);
    const AMOUNT p = PerloSplit(total, due, paid, table);
    auto sum = [&](AMOUNT a) { return RoundTo(a + PerloInterest(a, due, paid, table), 2); };
    ASSERT_LE(sum(p), total) << i;
    ASSERT_GT(sum(p + kPerloGrosz), total) << i;
    // A principal comes back from its own total.
    ASSERT_EQ(PerloSplit(sum(p), due, paid, table), p) << i;
  }
}

}  // namespace
