#include "business/interest.h"

#include <algorithm>

#include "common/amount.h"

const INTEREST_RATE INTEREST_RATES[kInterestRateCount] = {
    {1992, 8, 15, AMOUNT::FromInt(60)},     {1993, 5, 1, AMOUNT::FromInt(54)},
    {1995, 12, 15, AMOUNT::FromInt(46)},    {1997, 1, 1, AMOUNT::FromInt(35)},
    {1998, 4, 15, AMOUNT::FromInt(33)},     {1999, 2, 1, AMOUNT::FromInt(24)},
    {1999, 5, 15, AMOUNT::FromInt(21)},     {2000, 11, 1, AMOUNT::FromInt(30)},
    {2001, 12, 15, AMOUNT::FromInt(20)},    {2002, 7, 25, AMOUNT::FromInt(16)},
    {2003, 2, 1, AMOUNT::FromInt(13)},      {2003, 9, 25, AMOUNT::FromRaw(122500)},
    {2005, 1, 10, AMOUNT::FromRaw(135000)}, {2005, 10, 15, AMOUNT::FromRaw(115000)},
    {2008, 12, 15, AMOUNT::FromInt(13)},
};

namespace {
DATE RowStart(const INTEREST_RATE& r) { return DateFromYmd(r.year, r.month, r.day); }

// amount × days × percent / 365 / 100, each step truncating toward zero; the product of the
// amount and the days may pass 64 bits before the divisions bring it back.
AMOUNT RowInterest(AMOUNT amount, int64_t days, AMOUNT percent) {
  __extension__ typedef __int128 Wide;
  Wide v = static_cast<Wide>(amount.Raw()) * days;
  v = v * percent.Raw() / AMOUNT::kScale / 365 / 100;
  const Wide limit = INT64_MAX / 2;
  return RoundTo(AMOUNT::FromRaw(static_cast<int64_t>(std::clamp(v, -limit, limit))), 2);
}
}  // namespace

AMOUNT InterestOver(const INTEREST_RATE* rates, int count, AMOUNT amount, DATE dueDate,
                    DATE paidDate) {
  if (dueDate == 0 || paidDate == 0) return AMOUNT();
  AMOUNT total;
  for (int i = 0; i < count; ++i) {
    const int64_t from = std::max<int64_t>(RowStart(rates[i]), int64_t{dueDate} + 1);
    const int64_t to =
        i + 1 < count ? std::min<int64_t>(RowStart(rates[i + 1]) - 1, paidDate) : paidDate;
    if (to >= from) total += RowInterest(amount, to - from + 1, rates[i].percent);
  }
  return total;
}

AMOUNT InterestDue(AMOUNT amount, DATE dueDate, DATE paidDate) {
  return InterestOver(INTEREST_RATES, kInterestRateCount, amount, dueDate, paidDate);
}
