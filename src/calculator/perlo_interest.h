// Interest on a late payment over a table of historical yearly rates: statutory interest or
// tax interest, forward from an amount and backward from a total paid.
//
// The computation is the program's own (business/interest.h) over either table; the statutory
// table is the program's INTEREST_RATES:
//
//   1000.00 due 30.11.2008, paid 31.12.2008, statutory:
//     14 days at 11.5 % = 4.4109 -> 4.41,  17 days at 13 % = 6.0547 -> 6.05,  interest 10.46
#pragma once

#include "business/interest.h"
#include "common/amount.h"
#include "common/date.h"

enum PERLO_TABLE {
  kPerloStatutory = 0,    // odsetki ustawowe
  kPerloTaxInterest = 1,  // odsetki podatkowe
};

// Amounts are taken within ±kPerloLimit, as amount texts give them.

// The rows of a table in date order; *count receives their number.
const INTEREST_RATE* PerloRates(PERLO_TABLE table, int* count);
// 0 when either date is not valid or the payment came on or before the due date.
AMOUNT PerloInterest(AMOUNT amount, DATE due, DATE paid, PERLO_TABLE table);
// Splits a total paid into its principal: the largest amount, to the grosz, whose amount plus
// interest does not exceed the total (rounded to the grosz first). A total below 0 gives 0.
AMOUNT PerloSplit(AMOUNT total, DATE due, DATE paid, PERLO_TABLE table);
