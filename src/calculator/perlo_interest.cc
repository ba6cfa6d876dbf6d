#include "calculator/perlo_interest.h"

#include <iterator>

#include "calculator/perlo_money.h"

namespace {

// A yearly percentage from its ten-thousandths.
constexpr AMOUNT P(int64_t raw) { return AMOUNT::FromRaw(raw); }

constexpr INTEREST_RATE kTaxInterest[] = {
    {1993, 3, 1, P(693500)},   {1994, 5, 13, P(657000)},  {1995, 2, 21, P(693500)},
    {1995, 5, 29, P(584000)},  {1995, 9, 18, P(547500)},  {1996, 1, 8, P(511000)},
    {1998, 1, 1, P(540000)},   {1998, 5, 21, P(520000)},  {1998, 7, 17, P(480000)},
    {1998, 10, 29, P(440000)}, {1998, 12, 10, P(400000)}, {1999, 1, 21, P(340000)},
    {1999, 11, 18, P(410000)}, {2000, 2, 24, P(430000)},  {2000, 8, 31, P(460000)},
    {2001, 3, 1, P(440000)},   {2001, 3, 29, P(420000)},  {2001, 6, 28, P(390000)},
    {2001, 8, 23, P(370000)},  {2001, 10, 26, P(340000)}, {2001, 11, 29, P(310000)},
    {2002, 1, 31, P(270000)},  {2002, 4, 26, P(250000)},  {2002, 5, 30, P(240000)},
    {2002, 6, 27, P(230000)},  {2002, 8, 29, P(210000)},  {2002, 9, 26, P(200000)},
    {2002, 10, 24, P(180000)}, {2002, 11, 28, P(175000)}, {2003, 1, 30, P(170000)},
    {2003, 2, 27, P(160000)},  {2003, 3, 27, P(155000)},  {2003, 4, 25, P(145000)},
    {2003, 5, 29, P(140000)},  {2003, 6, 26, P(135000)},  {2004, 7, 1, P(145000)},
    {2004, 7, 29, P(150000)},  {2004, 8, 26, P(160000)},  {2005, 3, 31, P(150000)},
    {2005, 4, 28, P(140000)},  {2005, 6, 30, P(130000)},  {2005, 7, 28, P(125000)},
    {2005, 9, 1, P(120000)},   {2006, 2, 1, P(115000)},   {2006, 3, 1, P(110000)},
    {2007, 4, 26, P(115000)},  {2007, 6, 28, P(120000)},  {2007, 8, 30, P(125000)},
    {2007, 11, 29, P(130000)}, {2008, 1, 31, P(135000)},  {2008, 2, 28, P(140000)},
    {2008, 3, 27, P(145000)},  {2008, 6, 26, P(150000)},  {2008, 11, 27, P(145000)},
    {2008, 12, 24, P(130000)}, {2009, 1, 28, P(115000)},  {2009, 2, 26, P(110000)},
    {2009, 3, 26, P(105000)},  {2009, 6, 25, P(100000)},  {2010, 11, 9, P(120000)},
    {2011, 1, 20, P(125000)},  {2011, 4, 6, P(130000)},   {2011, 5, 12, P(135000)},
    {2011, 6, 9, P(140000)},   {2012, 5, 10, P(145000)},  {2012, 11, 8, P(140000)},
    {2012, 12, 6, P(135000)},  {2013, 1, 10, P(130000)},  {2013, 2, 7, P(125000)},
    {2013, 3, 7, P(115000)},   {2013, 5, 9, P(110000)},   {2013, 6, 6, P(105000)},
    {2013, 7, 4, P(100000)},
};

}  // namespace

const INTEREST_RATE* PerloRates(PERLO_TABLE table, int* count) {
  if (table == kPerloTaxInterest) {
    *count = static_cast<int>(std::size(kTaxInterest));
    return kTaxInterest;
  }
  *count = kInterestRateCount;
  return INTEREST_RATES;
}

AMOUNT PerloInterest(AMOUNT amount, DATE due, DATE paid, PERLO_TABLE table) {
  int count;
  const INTEREST_RATE* rows = PerloRates(table, &count);
  return InterestOver(rows, count, amount, due, paid);
}

AMOUNT PerloSplit(AMOUNT total, DATE due, DATE paid, PERLO_TABLE table) {
  const AMOUNT target = RoundTo(total, 2);
  AMOUNT low;
  AMOUNT high = target;
  while (low < high) {
    // low + (high - low) / 2 is (low + high) / 2 for the non-negative bounds, without the sum.
    const AMOUNT mid = RoundTo(low + (high - low) / 2, 2);
    const AMOUNT sum = RoundTo(mid + PerloInterest(mid, due, paid, table), 2);
    if (sum > target || mid == low) high = mid - kPerloGrosz;
    else low = mid;
  }
  return low;
}
