#include "calculator/perlo_interest.h"

#include <algorithm>

namespace {

constexpr PERLO_RATE kStatutory[] = {
    {15, 8, 1992, 60},   {1, 5, 1993, 54},   {15, 12, 1995, 46},   {1, 1, 1997, 35},
    {15, 4, 1998, 33},   {1, 2, 1999, 24},   {15, 5, 1999, 21},    {1, 11, 2000, 30},
    {15, 12, 2001, 20},  {25, 7, 2002, 16},  {1, 2, 2003, 13},     {25, 9, 2003, 12.25},
    {10, 1, 2005, 13.5}, {15, 10, 2005, 11.5}, {15, 12, 2008, 13},
};

constexpr PERLO_RATE kTaxInterest[] = {
    {1, 3, 1993, 69.35},  {13, 5, 1994, 65.7},  {21, 2, 1995, 69.35}, {29, 5, 1995, 58.4},
    {18, 9, 1995, 54.75}, {8, 1, 1996, 51.1},   {1, 1, 1998, 54},     {21, 5, 1998, 52},
    {17, 7, 1998, 48},    {29, 10, 1998, 44},   {10, 12, 1998, 40},   {21, 1, 1999, 34},
    {18, 11, 1999, 41},   {24, 2, 2000, 43},    {31, 8, 2000, 46},    {1, 3, 2001, 44},
    {29, 3, 2001, 42},    {28, 6, 2001, 39},    {23, 8, 2001, 37},    {26, 10, 2001, 34},
    {29, 11, 2001, 31},   {31, 1, 2002, 27},    {26, 4, 2002, 25},    {30, 5, 2002, 24},
    {27, 6, 2002, 23},    {29, 8, 2002, 21},    {26, 9, 2002, 20},    {24, 10, 2002, 18},
    {28, 11, 2002, 17.5}, {30, 1, 2003, 17},    {27, 2, 2003, 16},    {27, 3, 2003, 15.5},
    {25, 4, 2003, 14.5},  {29, 5, 2003, 14},    {26, 6, 2003, 13.5},  {1, 7, 2004, 14.5},
    {29, 7, 2004, 15},    {26, 8, 2004, 16},    {31, 3, 2005, 15},    {28, 4, 2005, 14},
    {30, 6, 2005, 13},    {28, 7, 2005, 12.5},  {1, 9, 2005, 12},     {1, 2, 2006, 11.5},
    {1, 3, 2006, 11},     {26, 4, 2007, 11.5},  {28, 6, 2007, 12},    {30, 8, 2007, 12.5},
    {29, 11, 2007, 13},   {31, 1, 2008, 13.5},  {28, 2, 2008, 14},    {27, 3, 2008, 14.5},
    {26, 6, 2008, 15},    {27, 11, 2008, 14.5}, {24, 12, 2008, 13},   {28, 1, 2009, 11.5},
    {26, 2, 2009, 11},    {26, 3, 2009, 10.5},  {25, 6, 2009, 10},    {9, 11, 2010, 12},
    {20, 1, 2011, 12.5},  {6, 4, 2011, 13},     {12, 5, 2011, 13.5},  {9, 6, 2011, 14},
    {10, 5, 2012, 14.5},  {8, 11, 2012, 14},    {6, 12, 2012, 13.5},  {10, 1, 2013, 13},
    {7, 2, 2013, 12.5},   {7, 3, 2013, 11.5},   {9, 5, 2013, 11},     {6, 6, 2013, 10.5},
    {4, 7, 2013, 10},
};

PERLO_DAY RowDay(const PERLO_RATE& r) { return PerloDayFromDmy(r.day, r.month, r.year); }

// amount × days × rate / 365 / 100, each step truncating toward zero as fixed-point money
// does. The product of amount and days can pass 64 bits before the divisions bring it back.
PERLO_MONEY RowInterest(PERLO_MONEY amount, int64_t days, double percent) {
  __int128 v = static_cast<__int128>(amount.Raw()) * days;
  v = v * PERLO_MONEY::FromDouble(percent).Raw() / PERLO_MONEY::kScale;
  v = v / 365 / 100;
  if (v > INT64_MAX / 2) v = INT64_MAX / 2;
  if (v < INT64_MIN / 2) v = INT64_MIN / 2;
  return PERLO_MONEY::FromRaw(static_cast<int64_t>(v)).Round2();
}

}  // namespace

const PERLO_RATE* PerloRates(PERLO_TABLE table, int* count) {
  if (table == kPerloTaxInterest) {
    *count = static_cast<int>(std::size(kTaxInterest));
    return kTaxInterest;
  }
  *count = static_cast<int>(std::size(kStatutory));
  return kStatutory;
}

PERLO_MONEY PerloInterest(PERLO_MONEY amount, PERLO_DAY due, PERLO_DAY paid, PERLO_TABLE table) {
  if (due == 0 || paid == 0) return PERLO_MONEY();
  int count;
  const PERLO_RATE* rows = PerloRates(table, &count);
  PERLO_MONEY sum;
  for (int i = 0; i < count; ++i) {
    int64_t start = RowDay(rows[i]);
    int64_t end = i + 1 < count ? static_cast<int64_t>(RowDay(rows[i + 1])) - 1 : paid;
    int64_t first = std::max<int64_t>(start, static_cast<int64_t>(due) + 1);
    int64_t last = std::min<int64_t>(end, paid);
    int64_t days = last - first + 1;
    if (days <= 0) continue;
    sum = sum + RowInterest(amount, days, rows[i].percent);
  }
  return sum;
}

PERLO_MONEY PerloSplit(PERLO_MONEY total, PERLO_DAY due, PERLO_DAY paid, PERLO_TABLE table) {
  PERLO_MONEY target = total.Round2();
  PERLO_MONEY low;
  PERLO_MONEY high = target;
  while (low < high) {
    // low + (high - low) / 2 is (low + high) / 2 for the non-negative bounds, without the sum.
    PERLO_MONEY mid = (low + (high - low).DivInt(2)).Round2();
    PERLO_MONEY sum = (mid + PerloInterest(mid, due, paid, table)).Round2();
    if (sum > target || mid == low)
      high = mid - kPerloGrosz;
    else
      low = mid;
  }
  return low;
}
