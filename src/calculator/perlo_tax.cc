#include "calculator/perlo_tax.h"

#include "calculator/perlo_money.h"

namespace {

constexpr AMOUNT Zl(int64_t whole, int64_t grosze = 0) {
  return AMOUNT::FromRaw(whole * AMOUNT::kScale + grosze * 100);
}
// A rate in percent as the fraction it multiplies by: Rate(19) is 0.19.
constexpr AMOUNT Rate(int64_t percent) { return AMOUNT::FromRaw(percent * 100); }

constexpr PERLO_TAX_SCALE kScales[] = {
    {1995, 1995, Zl(12400), Rate(21), Zl(165, 60), Zl(24800), Zl(2438, 40), Rate(33), Zl(6530, 40),
     Rate(45)},
    {1996, 1996, Zl(16380), Rate(21), Zl(218, 40), Zl(32760), Zl(3221, 40), Rate(33), Zl(8626, 80),
     Rate(45)},
    {1997, 1997, Zl(20868), Rate(20), Zl(278, 20), Zl(41736), Zl(3895, 40), Rate(32), Zl(10573, 16),
     Rate(44)},
    {1998, 1998, Zl(25252), Rate(19), Zl(336, 60), Zl(50504), Zl(4461, 28), Rate(30), Zl(12036, 88),
     Rate(40)},
    {1999, 1999, Zl(29624), Rate(19), Zl(394, 80), Zl(59248), Zl(5233, 76), Rate(30), Zl(14120, 96),
     Rate(40)},
    {2000, 2000, Zl(32736), Rate(19), Zl(436, 20), Zl(65472), Zl(5783, 64), Rate(30), Zl(15604, 44),
     Rate(40)},
    {2001, 2001, Zl(37024), Rate(19), Zl(493, 32), Zl(74048), Zl(6541, 24), Rate(30), Zl(17648, 44),
     Rate(40)},
    {2002, 2002, Zl(37024), Rate(19), Zl(518, 16), Zl(74048), Zl(6516, 40), Rate(30), Zl(17623, 60),
     Rate(40)},
    {2003, 2006, Zl(37024), Rate(19), Zl(530, 8), Zl(74048), Zl(6504, 48), Rate(30), Zl(17611, 68),
     Rate(40)},
    {2007, 2007, Zl(43405), Rate(19), Zl(572, 54), Zl(85528), Zl(7674, 41), Rate(30), Zl(20311, 31),
     Rate(40)},
    {2008, 2008, Zl(44490), Rate(19), Zl(586, 85), Zl(85528), Zl(7866, 25), Rate(30), Zl(20177, 65),
     Rate(40)},
    {2009, 2014, Zl(85528), Rate(18), Zl(556, 2), Zl(0), Zl(0), Rate(0), Zl(14839, 2), Rate(32)},
};

}  // namespace

const PERLO_TAX_SCALE* PerloTaxScale(int year) {
  for (const PERLO_TAX_SCALE& s : kScales)
    if (year >= s.first_year && year <= s.last_year) return &s;
  return nullptr;
}

AMOUNT PerloTax(int year, AMOUNT income) {
  const PERLO_TAX_SCALE* s = PerloTaxScale(year);
  if (s == nullptr) return AMOUNT();
  AMOUNT tax;
  if (income <= s->limit1) {
    tax = income * s->rate1 - s->less1;
    if (tax <= AMOUNT()) tax = AMOUNT();
  } else if (!s->limit2.IsZero() && income <= s->limit2) {
    tax = s->base2 + (income - s->limit1) * s->rate2;
  } else {
    const AMOUNT last = s->limit2.IsZero() ? s->limit1 : s->limit2;
    tax = s->base3 + (income - last) * s->rate3;
  }
  return RoundTo(tax, 2);
}

AMOUNT PerloIncomeFromTax(int year, AMOUNT tax) {
  const AMOUNT target = RoundTo(tax, 2);
  AMOUNT low;
  AMOUNT high = AMOUNT::FromInt(kPerloIncomeSearchLimit);
  while (low < high) {
    // low + (high - low) / 2 is (low + high) / 2 for the non-negative bounds, without the sum.
    const AMOUNT mid = RoundTo(low + (high - low) / 2, 2);
    if (PerloTax(year, mid) > target || mid == low) high = RoundTo(mid - kPerloGrosz, 2);
    else low = mid;
  }
  return low;
}
