#include "business/position_values.h"

#include "business/prices.h"

namespace {

const AMOUNT kOne = AMOUNT::FromInt(1);

AMOUNT R2(AMOUNT x) { return RoundTo(x, 2); }

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

POSITION_VALUES ComputePositionValues(AMOUNT quantity, AMOUNT grossPrice, AMOUNT discount,
                                      int vatId, bool netFirst) {
  POSITION_VALUES v;
  const AMOUNT remaining = kOne - discount / 100;
  if (netFirst) {
    v.unitNet = NetFromGross(grossPrice, vatId);
    v.unitNetDisc = R2(v.unitNet * remaining);
    v.netValue = R2(v.unitNetDisc * quantity);
    v.grossValue = GrossFromNet(v.netValue, vatId);
    v.unitGross = GrossFromNet(v.unitNet, vatId);
    v.unitGrossDisc = GrossFromNet(v.unitNetDisc, vatId);
    const AMOUNT undiscounted = R2(v.unitNet * quantity);
    v.netDiscount = undiscounted - v.netValue;
    v.grossDiscount = GrossFromNet(undiscounted, vatId) - v.grossValue;
  } else {
    v.unitGross = grossPrice;
    v.unitGrossDisc = R2(v.unitGross * remaining);
    v.grossValue = R2(v.unitGrossDisc * quantity);
    v.netValue = NetFromGross(v.grossValue, vatId);
    v.unitNet = NetFromGross(v.unitGross, vatId);
    v.unitNetDisc = NetFromGross(v.unitGrossDisc, vatId);
    const AMOUNT undiscounted = R2(v.unitGross * quantity);
    v.grossDiscount = undiscounted - v.grossValue;
    v.netDiscount = NetFromGross(undiscounted, vatId) - v.netValue;
  }
  v.vatValue = R2(v.grossValue - v.netValue);
  v.vatDiscount = R2(v.grossDiscount - v.netDiscount);
  return v;
}

bool HasQuantitySum(const DOCUMENT_TOTALS& totals) {
  return totals.count > 0 && !totals.mixedUnits;
}

void AddToTotals(DOCUMENT_TOTALS* t, AMOUNT quantity, std::string_view unit, AMOUNT grossPrice,
                 AMOUNT discount, int vatId, bool netFirst) {
  // Units come from fixed-width fields; trailing blanks do not make a different unit.
  unit = TrimRight(unit);
  if (t->count == 0) {
    t->unit.assign(unit);
    t->quantity = quantity;
  } else if (!t->mixedUnits && unit == t->unit) {
    t->quantity += quantity;
  } else {
    t->mixedUnits = true;
    t->unit.clear();
    t->quantity = AMOUNT();
  }
  ++t->count;

  const POSITION_VALUES v = ComputePositionValues(quantity, grossPrice, discount, vatId, netFirst);
  if (v.grossValue.IsZero()) return;

  const int row = VatRow(vatId);
  VAT_TOTAL& slot = t->slots[row < 0 ? 0 : row];
  t->net -= slot.net;
  t->vat -= slot.vat;
  t->gross -= slot.gross;
  if (netFirst) {
    slot.net = R2(slot.net + v.netValue);
    slot.gross = GrossFromNet(slot.net, vatId);
  } else {
    slot.gross = R2(slot.gross + v.grossValue);
    slot.net = NetFromGross(slot.gross, vatId);
  }
  slot.vat = R2(slot.gross - slot.net);
  t->net = R2(t->net + slot.net);
  t->vat = R2(t->vat + slot.vat);
  t->gross = R2(t->gross + slot.gross);
  t->discountNet += v.netDiscount;
  t->discountVat += v.vatDiscount;
  t->discountGross += v.grossDiscount;
}
