// Price arithmetic: net and gross prices, percentage changes, margins, pricing from a purchase
// price, goods numbers and barcode check digits.
//
// Every step truncates or rounds exactly where the program always has, and callers rely on the
// resulting grosze (stored prices, printed documents, fiscal receipts):
//   GrossFromNet(6.00, 23 %)  = 6.00 × 123 / 100          = 7.38
//   NetFromGross(7.38, 23 %)  = 7.38 × 100 / 123          = 6.00
//   RegrossForVat(7.38, 23 % -> 8 %): net 6.00 stays       = 6.48
// Rates are given by their VAT identifier (see business/vat.h).
#pragma once

#include <string>
#include <string_view>

#include "common/amount.h"

// Rounds half away from zero to `places` decimals, where places may be negative (−1 rounds to
// whole tens, as the price and payment precisions allow). Places outside −14..4 leave the value.
AMOUNT RoundToPlaces(AMOUNT value, int places);

// net × (100 + rate), divided by 100 (truncated), rounded to 2 decimals.
AMOUNT GrossFromNet(AMOUNT net, int vatId);
// gross × 100, divided by (100 + rate) (truncated), rounded to 2 decimals.
AMOUNT NetFromGross(AMOUNT gross, int vatId);
// Whether a typed net price maps to a different gross price than the stored one.
bool NetDiffers(AMOUNT net, int vatId, AMOUNT gross);
// The gross price after a change of rate: the net price is kept, unless it already gives the
// same gross price at the new rate.
AMOUNT RegrossForVat(AMOUNT gross, int oldVatId, int newVatId);

// x × (1 + p/100) with p/100 truncated to four decimals; not rounded.
AMOUNT PercentChange(AMOUNT x, AMOUNT percent);
// a × 100 / b truncated; 0 when b is 0.
AMOUNT PercentOf(AMOUNT a, AMOUNT b);
// The mark-up of a profit on its cost in percent, rounded to 2 decimals:
//   MarginPercent(25, 100) = 25.00. A cost of 0 gives ±999.99 by the sign of the profit.
AMOUNT MarginPercent(AMOUNT profit, AMOUNT cost);
// A margin as it may be displayed: clamped to −999.99 … 999.99.
AMOUNT ClampMargin(AMOUNT margin);

// The gross sale price before the sale discount that gives the wanted margin on the discounted
// purchase price once the sale discount is taken off. purchaseGross is the gross unit price of
// the purchase; percentages are in percent. With netPrices the computation runs on the net sale
// price and the result is turned back to gross. roundPrice is the price precision in decimals.
// A sale discount of 100 % or more gives 0.
AMOUNT SalePriceFromMargin(AMOUNT purchaseGross, int purchaseVatId, AMOUNT purchaseDiscount,
                           AMOUNT margin, int saleVatId, AMOUNT saleDiscount, bool netPrices,
                           int roundPrice);

// The next number after a goods number: the rightmost digit below 9 goes up by one, the nines
// after it become zeros; when all digits are nines (or there are none) and the text is shorter
// than maxLength a "1" goes in front of the leftmost digit (or at the end).
//   KW0009 -> KW0010, 999 -> 1000, ABC -> ABC1; with maxLength 3, 999 -> 000.
std::string IncrementNumber(std::string_view text, size_t maxLength);

// Sets the EAN-8 / EAN-13 check digit of an all-digit code of 7, 8, 12 or 13 digits (7 and 12
// digits get the check digit appended). Returns whether the code changed; any other code is
// left as it is.
bool UpdateEanCheckDigit(std::string* code);
