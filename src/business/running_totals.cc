#include "business/running_totals.h"

#include "business/prices.h"

void RUNNING_TOTALS::Add(AMOUNT quantity, AMOUNT grossPrice, AMOUNT discount, int vatId, int sign) {
  count_ += sign;
  const POSITION_VALUES v =
      ComputePositionValues(quantity, grossPrice, discount, vatId, net_first_);
  // As in AddToTotals: a position of no value is counted and adds nothing else.
  if (v.grossValue.IsZero()) return;
  const int row = VatRow(vatId);
  lead_[row < 0 ? 0 : row] += (net_first_ ? v.netValue : v.grossValue) * sign;
  discount_net_ += v.netDiscount * sign;
  discount_vat_ += v.vatDiscount * sign;
  discount_gross_ += v.grossDiscount * sign;
}

DOCUMENT_TOTALS RUNNING_TOTALS::Totals() const {
  DOCUMENT_TOTALS t;
  for (int row = 0; row < kVatRateCount; ++row) {
    VAT_TOTAL& slot = t.slots[row];
    const int id = VAT_RATES[row].id;
    if (net_first_) {
      slot.net = lead_[row];
      slot.gross = GrossFromNet(slot.net, id);
    } else {
      slot.gross = lead_[row];
      slot.net = NetFromGross(slot.gross, id);
    }
    slot.vat = RoundTo(slot.gross - slot.net, 2);
    t.net += slot.net;
    t.vat += slot.vat;
    t.gross += slot.gross;
  }
  t.discountNet = discount_net_;
  t.discountVat = discount_vat_;
  t.discountGross = discount_gross_;
  t.count = count_;
  return t;
}
