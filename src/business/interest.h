// Statutory interest on a payment made after its term.
//
// The yearly rate of each period applies to the days of the delay that fall in it; the year
// always counts 365 days. 1000.00 due 30.11.2008 and paid 31.12.2008 bears 14 days at 11.5 %
// (4.41) plus 17 days at 13 % (6.05): 10.46.
#pragma once

#include "common/amount.h"
#include "common/date.h"

struct INTEREST_RATE {
  unsigned year;
  unsigned month;
  unsigned day;
  AMOUNT percent;  // yearly, valid from this day until the day before the next row's day
};

inline constexpr int kInterestRateCount = 15;
extern const INTEREST_RATE INTEREST_RATES[kInterestRateCount];

// The interest on amount for the days after dueDate up to paidDate over a table of rates in
// date order (the last row applies without end): each row's days at its rate, amount × days ×
// percent / 365 / 100 truncated step by step as AMOUNT arithmetic does (the product is taken
// wide), and each row's part rounded to the grosz before the parts are added. 0 when either
// date is empty or the payment came on or before its due date.
AMOUNT InterestOver(const INTEREST_RATE* rates, int count, AMOUNT amount, DATE dueDate,
                    DATE paidDate);
// The statutory interest: InterestOver the rows of INTEREST_RATES.
AMOUNT InterestDue(AMOUNT amount, DATE dueDate, DATE paidDate);
