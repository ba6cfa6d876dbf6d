// The sale price calculation ("KALKULACJA CENY SPRZEDAŻY"): from a purchase price, its VAT and
// discount, a margin, a sale VAT and discount, the sale price; or from a sale price the margin it
// makes. Three columns: the purchase (editable), the goods' current sale price (read only) and
// the new sale price (editable).
//
//   purchase net 10.00 at 23 %, margin 25 %, sale at 23 %  ->  new gross 15.38 (net 12.50)
//   new gross typed 14.76                                  ->  margin 20.00
//
// Opened from the tools menu and key C over the current goods (the purchase column is the goods'
// last purchase; " &Ok " stores the new price in the goods), and from " &Kalkulacja... " of the
// position form (business/positions_window.h): a sale position takes the new price, VAT and
// discount; for a purchase position the goods take them, the position's price being the purchase.
#pragma once

#include "common/amount.h"
#include "db/schema.h"

struct PRICE_COLUMN {
  AMOUNT margin, net, gross, discount;
  int vat = 0;
};

struct PRICE_CALCULATION {
  TOW_RECORD goods{};
  PRICE_COLUMN purchase;
  bool purchaseNet = false;  // the purchase's values are worked out net-first
  PRICE_COLUMN current;      // the goods' stored margin, price, VAT and discount
  PRICE_COLUMN proposed;     // the new column
  bool saveMargin = false;   // "&Zapisać nową marżę "
};

// A calculation over goods: the current and new columns from the goods, the purchase column
// from a purchase position (or empty at the goods' VAT rate when there is none).
PRICE_CALCULATION CalculationFor(const TOW_RECORD& goods, const POZ_RECORD* purchase,
                                 bool purchaseNet);

// Runs the dialog over c. 0 on " &Ok " (c holds what the user left in it), -1 when left.
int price_calculation_dialog(PRICE_CALCULATION* c);

// The goods take the new price, VAT and discount (the margin too when it is to be saved) and
// today's date of price change: the right "Modyfikacja towarów", the tables' lock. 0 or -1.
int StoreCalculatedPrice(const PRICE_CALCULATION& c);

// " Kalkulacja ceny towaru...  &C ": over the goods table's current goods. 0 when stored.
int calculate_current_goods_price();

// The hook of the position form (SetPositionCalculation). 0 when the position took the new
// price, VAT and discount.
int PositionPriceCalculation(const TRA_RECORD& t, POZ_RECORD* position);
void RegisterPriceCalculation();
