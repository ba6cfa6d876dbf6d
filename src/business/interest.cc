#include "business/interest.h"

#include <algorithm>

#include "common/amount.h"

const INTEREST_RATE INTEREST_RATES[kInterestRateCount] = {
    {1992, 8, 15, AMOUNT::FromInt(60)},      {1993, 5, 1, AMOUNT::FromInt(54)},
    {1995, 12, 15, AMOUNT::FromInt(46)},     {1997, 1, 1, AMOUNT::FromInt(35)},
    {1998, 4, 15, AMOUNT::FromInt(33)},      {1999, 2, 1, AMOUNT::FromInt(24)},
    {1999, 5, 15, AMOUNT::FromInt(21)},      {2000, 11, 1, AMOUNT::FromInt(30)},
    {2001, 12, 15, AMOUNT::FromInt(20)},     {2002, 7, 25, AMOUNT::FromInt(16)},
    {2003, 2, 1, AMOUNT::FromInt(13)},       {2003, 9, 25, AMOUNT::FromRaw(122500)},
    {2005, 1, 10, AMOUNT::FromRaw(135000)},  {2005, 10, 15, AMOUNT::FromRaw(115000)},
    {2008, 12, 15, AMOUNT::FromInt(13)},
};

namespace {
DATE RowStart(int i) {
  const INTEREST_RATE& r = INTEREST_RATES[i];
  return DateFromYmd(r.year, r.month, r.day);
}
}  // namespace

AMOUNT InterestDue(AMOUNT amount, DATE dueDate, DATE paidDate) {
  if (dueDate == 0 || paidDate == 0) return AMOUNT();
  AMOUNT total;
  for (int i = 0; i < kInterestRateCount; ++i) {
    const int64_t from = std::max<int64_t>(RowStart(i), int64_t{dueDate} + 1);
    const int64_t to =
        i + 1 < kInterestRateCount ? std::min<int64_t>(RowStart(i + 1) - 1, paidDate) : paidDate;
    const int64_t days = to - from + 1;
    if (days <= 0) continue;
    // Left to right, each step truncated to four decimals like every AMOUNT operation.
    const AMOUNT part = amount * days * INTEREST_RATES[i].percent / 365 / 100;
    total += RoundTo(part, 2);
  }
  return total;
}
