#include "calculator/perlo_tax.h"

namespace {

constexpr PERLO_TAX_SCALE kScales[] = {
    {1995, 1995, 12400, 0.21, 165.60, 24800, 2438.40, 0.33, 6530.40, 0.45},
    {1996, 1996, 16380, 0.21, 218.40, 32760, 3221.40, 0.33, 8626.80, 0.45},
    {1997, 1997, 20868, 0.20, 278.20, 41736, 3895.40, 0.32, 10573.16, 0.44},
    {1998, 1998, 25252, 0.19, 336.60, 50504, 4461.28, 0.30, 12036.88, 0.40},
    {1999, 1999, 29624, 0.19, 394.80, 59248, 5233.76, 0.30, 14120.96, 0.40},
    {2000, 2000, 32736, 0.19, 436.20, 65472, 5783.64, 0.30, 15604.44, 0.40},
    {2001, 2001, 37024, 0.19, 493.32, 74048, 6541.24, 0.30, 17648.44, 0.40},
    {2002, 2002, 37024, 0.19, 518.16, 74048, 6516.40, 0.30, 17623.60, 0.40},
    {2003, 2006, 37024, 0.19, 530.08, 74048, 6504.48, 0.30, 17611.68, 0.40},
    {2007, 2007, 43405, 0.19, 572.54, 85528, 7674.41, 0.30, 20311.31, 0.40},
    {2008, 2008, 44490, 0.19, 586.85, 85528, 7866.25, 0.30, 20177.65, 0.40},
    {2009, 2014, 85528, 0.18, 556.02, 0, 0, 0, 14839.02, 0.32},
};

}  // namespace

const PERLO_TAX_SCALE* PerloTaxScale(int year) {
  for (const PERLO_TAX_SCALE& s : kScales)
    if (year >= s.first_year && year <= s.last_year) return &s;
  return nullptr;
}

PERLO_MONEY PerloTax(int year, PERLO_MONEY income) {
  const PERLO_TAX_SCALE* s = PerloTaxScale(year);
  if (s == nullptr) return PERLO_MONEY();
  PERLO_MONEY limit1 = PERLO_MONEY::FromDouble(s->limit1);
  PERLO_MONEY tax;
  if (income <= limit1) {
    tax = income.MulDouble(s->rate1) - PERLO_MONEY::FromDouble(s->less1);
    if (tax <= PERLO_MONEY()) tax = PERLO_MONEY();
  } else if (s->limit2 > 0 && income <= PERLO_MONEY::FromDouble(s->limit2)) {
    tax = PERLO_MONEY::FromDouble(s->base2) + (income - limit1).MulDouble(s->rate2);
  } else {
    PERLO_MONEY last = PERLO_MONEY::FromDouble(s->limit2 > 0 ? s->limit2 : s->limit1);
    tax = PERLO_MONEY::FromDouble(s->base3) + (income - last).MulDouble(s->rate3);
  }
  return tax.Round2();
}

PERLO_MONEY PerloIncomeFromTax(int year, PERLO_MONEY tax) {
  PERLO_MONEY target = tax.Round2();
  PERLO_MONEY low;
  PERLO_MONEY high = PERLO_MONEY::FromInt(kPerloIncomeSearchLimit);
  while (low < high) {
    // low + (high - low) / 2 is (low + high) / 2 for the non-negative bounds, without the sum.
    PERLO_MONEY mid = (low + (high - low).DivInt(2)).Round2();
    if (PerloTax(year, mid) > target || mid == low)
      high = (mid - kPerloGrosz).Round2();
    else
      low = mid;
  }
  return low;
}
