// The values of one position and the totals of a document.
//
// Two modes, chosen per transaction (its ZAOKRNETTO flag): net-first computes and rounds the
// net values and derives the gross ones, gross-first the other way round. The stored price of
// a position is always its gross unit price before discount.
//
// A document's VAT is worked out once per VAT rate from the summed net (net-first) or taken out
// of the summed gross (gross-first), never summed from the positions' own VAT values: two
// positions of 0.12 at 23 % net-first give net 0.20, gross 0.25 and VAT 0.05, although each
// position on its own carries VAT 0.02.
#pragma once

#include <string>
#include <string_view>

#include "business/vat.h"
#include "common/amount.h"

struct POSITION_VALUES {
  AMOUNT unitNet;
  AMOUNT unitGross;
  AMOUNT unitNetDisc;
  AMOUNT unitGrossDisc;
  AMOUNT netValue;
  AMOUNT vatValue;
  AMOUNT grossValue;
  AMOUNT netDiscount;
  AMOUNT vatDiscount;
  AMOUNT grossDiscount;
};

// quantity, the gross unit price before discount, the discount in percent.
POSITION_VALUES ComputePositionValues(AMOUNT quantity, AMOUNT grossPrice, AMOUNT discount,
                                      int vatId, bool netFirst);

struct VAT_TOTAL {
  AMOUNT net;
  AMOUNT vat;
  AMOUNT gross;
};

struct DOCUMENT_TOTALS {
  VAT_TOTAL slots[kVatRateCount];  // by row of VAT_RATES
  AMOUNT net;
  AMOUNT vat;
  AMOUNT gross;
  AMOUNT discountNet;
  AMOUNT discountVat;
  AMOUNT discountGross;
  long count = 0;
  // The summed quantity holds only while every position has the same unit; once two units
  // meet, mixedUnits is set and the sum stays empty.
  AMOUNT quantity;
  std::string unit;
  bool mixedUnits = false;
};

// Whether the quantity sum of the totals means anything (some positions, all of one unit).
bool HasQuantitySum(const DOCUMENT_TOTALS& totals);

// Adds one position. Positions with a gross value of 0 are counted (and their quantity summed)
// but add nothing else. A VAT identifier outside 1..14 goes to the first slot.
void AddToTotals(DOCUMENT_TOTALS* totals, AMOUNT quantity, std::string_view unit, AMOUNT grossPrice,
                 AMOUNT discount, int vatId, bool netFirst);
