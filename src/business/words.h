// Numbers and amounts written out in Polish words, as printed under document totals:
//
//   AmountInWords(1234.56) -> "jeden tysiąc dwieście trzydzieści cztery złote, pięćdziesiąt
//                              sześć groszy"
//   AmountInWords(1000.00) -> "jeden tysiąc złotych"        (no grosz part when it is 0)
//   AmountInWords(0.50)    -> "zero złotych, pięćdziesiąt groszy"
//
// Texts come out in the data code page.
#pragma once

#include <cstdint>
#include <string>

#include "common/amount.h"

// The grammatical form a count takes: 0 for one ("złoty"), 1 for 2–4 ("złote"), 2 for the rest
// ("złotych"); the teens always take the last. Negative counts take the form of their size.
int PluralForm(int64_t n);
// The word among the three forms that n takes.
const char* PluralForm(int64_t n, const char* one, const char* few, const char* many);

// A whole number in words, "minus" first for a negative one; 0 is "zero". Numbers of 10^15 or
// more (in size) give an empty text.
std::string NumberInWords(int64_t n);

// An amount in złote and grosze, rounded to grosze first.
std::string AmountInWords(AMOUNT amount);
