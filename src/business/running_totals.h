// The totals of a transaction kept up to date position by position.
//
// A document's totals depend only on the sum per VAT rate of the positions' leading values (the
// net values when the transaction is in net prices, else the gross values) and on the summed
// discounts: every value is rounded to whole grosze before it is summed, so the sums do not
// depend on the order of the positions, and a position can be taken out again exactly. A window
// that adds the ten-thousandth position therefore updates the sums instead of reading the other
// 9 999 again, and gets what AddToTotals over all positions would give:
//
//   RUNNING_TOTALS t(netFirst);
//   t.Add(quantity, price, discount, vatId, +1);     // a position added
//   t.Add(oldQuantity, oldPrice, ..., -1);           // a position taken out or replaced
//   DOCUMENT_TOTALS d = t.Totals();                  // net, VAT and gross as the documents show
#pragma once

#include "business/position_values.h"
#include "common/amount.h"

class RUNNING_TOTALS {
 public:
  explicit RUNNING_TOTALS(bool netFirst = false) : net_first_(netFirst) {}

  bool NetFirst() const { return net_first_; }
  // sign +1 adds the position, -1 takes it out.
  void Add(AMOUNT quantity, AMOUNT grossPrice, AMOUNT discount, int vatId, int sign);
  DOCUMENT_TOTALS Totals() const;
  long Count() const { return count_; }

 private:
  bool net_first_;
  AMOUNT lead_[kVatRateCount];  // per row of VAT_RATES: summed net (net-first) or gross values
  AMOUNT discount_net_, discount_vat_, discount_gross_;
  long count_ = 0;
};
