// Interest on a late payment over a table of historical yearly rates: statutory interest or
// tax interest, forward from an amount and backward from a total paid.
//
// Interest runs from the day after the due date to the payment date inclusive. The days that
// fall in each row's period bear that row's rate over a 365-day year, and each row's part is
// rounded to the grosz before the parts are added:
//
//   1000.00 due 30.11.2008, paid 31.12.2008, statutory:
//     14 days at 11.5 % = 4.4109 -> 4.41,  17 days at 13 % = 6.0547 -> 6.05,  interest 10.46
#pragma once

#include "calculator/perlo_date.h"
#include "calculator/perlo_money.h"

enum PERLO_TABLE {
  kPerloStatutory = 0,    // odsetki ustawowe
  kPerloTaxInterest = 1,  // odsetki podatkowe
};

// A yearly rate in percent, applying from its day until the day before the next row's day;
// the last row applies without end.
struct PERLO_RATE {
  unsigned day;
  unsigned month;
  unsigned year;
  double percent;
};

// Amounts are taken within ±PERLO_MONEY::kLimitRaw, as amount texts give them.

// The rows of a table in date order; *count receives their number.
const PERLO_RATE* PerloRates(PERLO_TABLE table, int* count);
// 0 when either date is not valid or the payment came on or before the due date.
PERLO_MONEY PerloInterest(PERLO_MONEY amount, PERLO_DAY due, PERLO_DAY paid, PERLO_TABLE table);
// Splits a total paid into its principal: the largest amount, to the grosz, whose amount plus
// interest does not exceed the total (rounded to the grosz first). A total below 0 gives 0.
PERLO_MONEY PerloSplit(PERLO_MONEY total, PERLO_DAY due, PERLO_DAY paid, PERLO_TABLE table);
