// The price change of goods ("PRZECENA TOWARÓW", " &Przecena towarów... " of the tools menu):
// the margin, price, discount and VAT rate of all goods, of a group, of one goods or of the goods
// of one VAT rate changed by the same amounts.
//
//   PRICE_CHANGE c;  c.price = -10 %;  c.newVat = 13;  c.regross = true;
//   RepricedGoods(g, c, ...)     // one goods as the change leaves it
//   ChangeGoodsPrices(c, &n)     // every goods of the scope, under the tables' lock
#pragma once

#include "common/amount.h"
#include "common/date.h"
#include "db/schema.h"

enum PriceChangeScope { kPriceScopeAll = 0, kPriceScopeGroup, kPriceScopeOne, kPriceScopeVat };

struct PRICE_CHANGE {
  int scope = kPriceScopeAll;
  AMOUNT group;         // kPriceScopeGroup
  AMOUNT goods;         // kPriceScopeOne: the goods' identifier
  int scopeVat = 0;     // kPriceScopeVat: the rate the goods have
  AMOUNT margin;        // points added to the margin
  AMOUNT price;         // percent the price changes by
  AMOUNT discount;      // points added to the discount
  int newVat = 0;       // 0: the rate stays
  bool regross = true;  // with a new rate the net price stays and the gross follows
};

// The goods after the change: margin += points; the price by the percentage, on the net price
// when netPrices (rounded to roundPrice decimals before it goes back to gross), a negative one
// becoming 0; discount += points; the new rate, the gross price following it when regross; the
// date of the price change. Numbers are kept within what their fields hold.
TOW_RECORD RepricedGoods(const TOW_RECORD& goods, const PRICE_CHANGE& change, bool netPrices,
                         int roundPrice, DATE today);
// Whether the change alters anything at all (all amounts 0 and no new rate do not).
bool PriceChangeDoesSomething(const PRICE_CHANGE& change);

// Rewrites every goods of the scope whose margin, price, discount or rate the change alters,
// under the tables' lock, with the progress window "Przecena towarów..." and Esc. *changed
// counts the goods rewritten. 0 when all were done, kGoodsWalkInterrupted (1) when the user
// stopped, -1 on a failure (reported). Goods not reached are as they were; the goods table goes
// back to its index and record, read anew.
int ChangeGoodsPrices(const PRICE_CHANGE& change, long* changed);

// The command: the rights, the dialog, the group or goods chosen from their lists unless their
// list is the current one, the change. 0 when something was changed.
int price_change_dialog();
