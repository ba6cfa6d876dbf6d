// Document numbers and the amount due of a transaction.
//
// A document number is free text whose first run of digits is the counter: "12/2014",
// "A009", "FV 7/K". The next number replaces that run by the next value and keeps the rest:
//   DocumentNumberAfter("12/2014", 13) -> "13/2014"   ("A009", 10) -> "A10"   ("Z", 1) -> "Z1"
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/amount.h"

inline constexpr size_t kDocumentNumberLength = 16;

// The first run of digits of a number text (empty when it has none).
std::string_view FirstDigitRun(std::string_view number);
// Its value; 0 when there is none. Runs too long for 64 bits saturate.
uint64_t FirstDigitValue(std::string_view number);
// The number text with its first run of digits replaced by the decimal digits of n (n appended
// when there is no digit), provided the result has at most 16 characters; otherwise the text
// is returned unchanged and the uniqueness check on saving has to settle it.
std::string DocumentNumberAfter(std::string_view number, uint64_t n);

// Warehouse documents PW, PM, WW and WM move goods inside the firm: no payment is due on them.
bool IsInternalWarehouseDocument(std::string_view code);
// The amount due of a transaction: 0 for an internal warehouse document, else its gross total
// rounded to the payment precision (decimals, −5..2).
AMOUNT AmountDue(std::string_view warehouseCode, AMOUNT total, int roundPay);
