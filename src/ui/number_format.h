// The number format: decimal and thousands separators of every number field, list column,
// document and report, and the display text of an amount.
//
//   set_number_format(',', '.');
//   format_amount(AMOUNT::FromDouble(1234567.5), 2, buf)   -> "1.234.567,50"
//   set_number_format(0, 0);                               // grouping off, decimal kept
//   format_amount(AMOUNT::FromDouble(-0.5), 0, buf)        -> "-1"
//
// The separators are global, set at start-up from the configuration and by the number format
// dialog; reset_number_format puts back the defaults (',' and a blank).
#pragma once

#include <cstddef>
#include <string>

#include "common/amount.h"

struct NUMBER_FORMAT {
  char decimal;
  char thousands;  // 0: no grouping
};

// Large enough for any AMOUNT with up to 9 decimals, separators and sign.
inline constexpr size_t kAmountTextSize = 48;

// A thousands separator that is not a digit replaces the current one (0 switches grouping
// off); a decimal separator that is neither 0 nor a digit replaces the current one.
void set_number_format(char decimal, char thousands);
NUMBER_FORMAT number_format();
void reset_number_format();

// The display text of an amount with `decimals` places (0 to 9; fewer count as 0, more as 9),
// rounded half up on the magnitude, without leading blanks. text must hold kAmountTextSize
// bytes; it is returned.
char* format_amount(AMOUNT value, int decimals, char* text);
std::string format_amount(AMOUNT value, int decimals);

// Puts the thousands separator into the integer part of a number text in place, keeping the
// text's length: the digits and the minus sign before the decimal separator are written back
// right-aligned with separators, blanks filling the front. Nothing changes when grouping is off
// or the grouped number would not fit.
char* group_thousands(char* text);
