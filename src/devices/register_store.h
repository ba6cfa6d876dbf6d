// What a cash register gives goes into the database whole or not at all. The records are
// collected from the register first; then, under the lock of all tables, the goods are
// updated or added and the sales become one new sale transaction with its positions and their
// stock. Every write goes through a journal: when one fails half-way, the indexes of the table
// that failed are built again and everything written so far is undone in reverse order, so the
// database is left as it was (the failure has been reported by the layer that failed).
//
//   std::vector<RegisterGoods> sales = ...;          // all of the reading, or nothing
//   REGISTER_COUNTS n;
//   if (TakeOverSales(sales, &n) == 0) { /* n.salesAdded positions in one new transaction */ }
#pragma once

#include <string>
#include <vector>

#include "db/schema.h"
#include "devices/registers/fcr.h"

struct REGISTER_COUNTS {
  long added = 0;       // goods: new goods added (also those a sale brought)
  long updated = 0;     // goods: goods that changed
  long rejected = 0;    // goods that failed the check
  long salesAdded = 0;  // positions of the new sale transaction
  long salesRejected = 0;
};

// The VAT identifier of a register's tax rate text ("23", "8", "0", "zw."), or 0 when the
// program has no such rate.
int RegisterVatId(const char* text);
// The text a register gets for a VAT identifier: the exempt ones (1 "zw" and 14 " -") as
// "zw.", the others as their percent.
std::string RegisterRateText(int vatId);
// An EAN-8 or EAN-13 code with its check digit right.
bool ValidEan(const char* code);
// The number rule of the goods a register may take: a number of six digits 000001 to 999999,
// or none and a valid code; a code given with a number must be valid too.
bool RegisterNumberAcceptable(const RegisterGoods& g);
// The whole goods check: the number rule and one of the program's VAT rates.
bool RegisterGoodsAcceptable(const RegisterGoods& g);
// A goods record as the register gets it (texts cut to 63, tax rate and unit to 5).
RegisterGoods GoodsForRegister(const TOW_RECORD& goods);

// The goods to send, read under the database access: one goods (goods not 0), the goods of a
// group by name (group not 0), or all in the order of the goods view. 0, or -1 (reported).
int GoodsToSend(AMOUNT group, AMOUNT goods, std::vector<RegisterGoods>* out);

// The goods of a register's price list: each one found by its number (or code) is updated
// (name, unit, price, VAT), the others are added; those failing the check are counted as
// rejected. 0, or -1 with nothing changed.
int TakeOverGoods(const std::vector<RegisterGoods>& goods, REGISTER_COUNTS* counts);
// The sales of a register: records of quantity 0 are passed by, negative ones turned positive;
// goods not found are added; the accepted records become the positions of one new sale
// transaction of today (none when nothing was accepted), with their stock. A sale of goods
// found in the database may come without a tax rate (the Optimus sale packets carry none):
// the goods' own VAT is taken then. 0, or -1 with nothing changed.
int TakeOverSales(const std::vector<RegisterGoods>& sales, REGISTER_COUNTS* counts);
