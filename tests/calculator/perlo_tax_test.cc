#include <gtest/gtest.h>

#include <random>

#include "calculator/perlo_money.h"
#include "calculator/perlo_tax.h"

namespace {

AMOUNT Zl(double v) { return AMOUNT::FromDouble(v); }

TEST(PerloTaxTest, FirstBracketNeverBelowZero) {
  EXPECT_EQ(PerloTax(1995, AMOUNT()), AMOUNT());
  EXPECT_EQ(PerloTax(1995, Zl(500)), AMOUNT());
  EXPECT_EQ(PerloTax(1995, Zl(-5000)), AMOUNT());
  EXPECT_EQ(PerloTax(1995, Zl(1000)), Zl(44.40));  // 210.00 - 165.60
}

// Around each limit: the limit itself by the lower bracket, one złoty on either side by the
// rate of its own bracket.
TEST(PerloTaxTest, LimitsBelongToTheLowerBracket) {
  struct CASE {
    int year;
    double limit, below, at, above;
  } cases[] = {
      {1995, 12400, 2438.40 - 0.21, 2438.40, 2438.40 + 0.33},
      {2005, 74048, 17611.68 - 0.30, 17611.68, 17611.68 + 0.40},
      {2014, 85528, 14839.02 - 0.18, 14839.02, 14839.02 + 0.32},
  };
  for (const CASE& c : cases) {
    SCOPED_TRACE(c.year);
    EXPECT_EQ(PerloTax(c.year, Zl(c.limit - 1)), Zl(c.below));
    EXPECT_EQ(PerloTax(c.year, Zl(c.limit)), Zl(c.at));
    EXPECT_EQ(PerloTax(c.year, Zl(c.limit + 1)), Zl(c.above));
  }
}

TEST(PerloTaxTest, ScaleByYear) {
  EXPECT_EQ(PerloTax(1994, Zl(50000)), AMOUNT());
  EXPECT_EQ(PerloTax(2015, Zl(50000)), AMOUNT());
  EXPECT_EQ(PerloTaxScale(2003), PerloTaxScale(2006));
  // 100 000 in 1999: 14120.96 + 40 % of 40 752. The grosz: 3221.40 + 33 % of 3620.03 = 4416.0099.
  EXPECT_EQ(PerloTax(1999, Zl(100000)), Zl(30421.76));
  EXPECT_EQ(PerloTax(1996, Zl(20000.03)), Zl(4416.01));
}

TEST(PerloTaxTest, BackwardSearchEdges) {
  // Beyond the searched range the answer is its end.
  EXPECT_EQ(PerloIncomeFromTax(2014, Zl(10000000)), AMOUNT::FromInt(1000000));
  // No income has a negative tax.
  EXPECT_EQ(PerloIncomeFromTax(2014, Zl(-1)), AMOUNT());
  // The target is rounded to the grosz first: 0.004 means 0.
  EXPECT_EQ(PerloIncomeFromTax(2014, AMOUNT::FromRaw(40)), Zl(3089.02));
  EXPECT_EQ(PerloIncomeFromTax(2014, AMOUNT::FromRaw(50)), Zl(3089.08));
}

// The income found is the largest whose tax does not exceed the target, for targets that
// are taxes of some income and for arbitrary ones (the search rounds its target to the grosz).
TEST(PerloTaxTest, BackwardSearchAgreesWithTheForwardTax) {
  std::mt19937_64 rng(2014);
  std::uniform_int_distribution<int> year(kPerloFirstTaxYear, kPerloLastTaxYear);
  std::uniform_int_distribution<int64_t> grosze(0, 100000000);  // 0 .. 1 000 000.00
  const AMOUNT cap = AMOUNT::FromInt(kPerloIncomeSearchLimit);
  for (int i = 0; i < 1500; ++i) {
    int y = year(rng);
    AMOUNT target = (i % 2 == 0)
                        ? PerloTax(y, AMOUNT::FromRaw(grosze(rng) * 100))
                        : RoundTo(AMOUNT::FromRaw(grosze(rng) * 40), 2);  // up to 400 000.00
    AMOUNT income = PerloIncomeFromTax(y, target);
    ASSERT_LE(PerloTax(y, income), target) << y << " " << target.Raw();
    if (income < cap)
      ASSERT_GT(PerloTax(y, income + kPerloGrosz), target) << y << " " << target.Raw();
    else ASSERT_LE(PerloTax(y, cap), target);
  }
}

TEST(PerloTaxTest, LargestTaxFreeIncomeOfEveryYear) {
  for (int y = kPerloFirstTaxYear; y <= kPerloLastTaxYear; ++y) {
    AMOUNT free_income = PerloIncomeFromTax(y, AMOUNT());
    EXPECT_EQ(PerloTax(y, free_income), AMOUNT()) << y;
    EXPECT_EQ(PerloTax(y, free_income + kPerloGrosz), kPerloGrosz) << y;
  }
}

}  // namespace
