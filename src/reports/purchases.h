// The purchase cost of sales and stock, first in, first out, from the positions file alone.
//
// Goods leave the warehouse in the order they came in, so the stock on hand always consists of
// the most recent deliveries, and a sale took the units just older than the stock left after it.
// Both answers are record sets over the positions table: each row is one delivery position
// (made the current record of the positions table) with the quantity attributed to it, or a row
// without a delivery for a quantity no delivery covers. Rows run from the oldest delivery
// (First) to the newest (Last).
//
//   Deliveries of 5 and 5, then a sale of 7 (stock 3 left):
//     TableGo(kTablePositions, saleRecno);
//     RS_PURCHASES_OF_SALE rs;
//     rs.Last();   // the second delivery, 2 units   (its 3 others are the stock)
//     rs.Prev();   // the first delivery, 5 units
//     rs.Prev();   // kTableEnd
//
//   Stock 12 on a date, deliveries of 10, 5 and 4 (oldest first):
//     RS_PURCHASES_OF_STOCK rs(goods, date);
//     rs.First();  // the delivery of 10, 3 units;  Next: the 5 (5 units), the 4 (4 units)
//
// The walk reads the positions index by goods (goods, date, kind, transaction; positions of the
// same key in the order they were entered) and keeps only counters. The one thing changed in
// memory is the quantity of the delivery in the positions structure, which holds what is still
// unattributed of it; the record sets refuse to write, and their destructor puts back the
// positions table's current record, its structure and its active index.
//
// Stock is read from the goods' STAN and the positions after the point asked about are undone
// ('S' added back, 'D' taken off). A sale whose goods is gone has one row without a delivery.
//
// Every move answers 0 (a row), kTableEnd (no such row) or -1 (a read failed and was reported,
// or the sale position is missing from the index: "Brak klucza w indeksie Poz.inx"). A caller
// stops on -1; it never means "no deliveries".
#pragma once

#include "common/amount.h"
#include "common/date.h"
#include "db/dbtable.h"
#include "db/schema.h"

// The stock of a goods right after one of its positions. A report that asks for the sales of one
// goods in index order passes the same mark to each record set: the next sale's stock is then
// reached by walking forwards from the previous sale instead of backwards from the goods' last
// position, and the cost of all sales grows with the positions rather than with their square.
// Valid only while the positions stay as they were (the tables locked for reading throughout).
struct STOCK_MARK {
  AMOUNT goods;
  long recno = -1;  // -1: nothing marked
  char key[28] = "";
  AMOUNT stock;
};

// The walk both record sets share: the positions of one goods in the index by goods.
class PURCHASE_WALK : public DBTABLE {
 public:
  ~PURCHASE_WALK() override;
  // Puts the positions table back as it was before the record set (the destructor does it when
  // nobody did): 0, or -1 when the record could not be read again (reported). A caller that
  // walks the positions table itself around the record set must ask, or its walk may go on from
  // nowhere.
  int Restore();
  // A record set never writes: the position structure holds a changed quantity.
  int Append() override { return -1; }
  int Update() override { return -1; }
  int Delete() override { return -1; }
  int Zap() override { return -1; }

  // The row: its quantity (signed as the sale's), whether a delivery covers it (the delivery is
  // then the positions table's current record), and the delivery's record number.
  AMOUNT Quantity() const { return sign_ > 0 ? row_ : -row_; }
  bool Found() const { return found_; }
  long DeliveryRecNo() const { return found_ ? row_recno_ : -1; }
  long SourceValue1() override { return found_ ? 1 : 0; }

 protected:
  PURCHASE_WALK();
  // Moves the cursor: the last position of the goods, one back or forth, the first one. 0 when
  // it stands on a position of the goods, kTableEnd when it left them, -1 on a failure.
  int LastOfGoods();
  int FirstOfGoods();
  int Back();
  int Forth();
  // Puts the cursor on the position with this key and record number: 0, kTableEnd, -1.
  int Locate(const char* key, long recno);
  // The goods' STAN: 0, kTableEnd (the goods is gone), -1.
  int GoodsStock(AMOUNT* stock);
  static bool IsDelivery() { return Poz.RODZAJ[0] == 'D' && Poz.ILOSC > AMOUNT(); }
  static AMOUNT Effect() { return Poz.RODZAJ[0] == 'D' ? Poz.ILOSC : -Poz.ILOSC; }
  void SetRow(bool found, AMOUNT quantity, AMOUNT buffered);
  void SetEmptyRow(AMOUNT quantity);
  // From the cursor backwards: the next delivery takes what it can of *left, or, when there is
  // none, a row without a delivery takes all of it. The row's quantity leaves *left and joins
  // *through. 0 (*delivery tells which), or -1 on a failure.
  int OlderRowOf(bool include_cursor, AMOUNT* left, AMOUNT* through, bool* delivery);

  AMOUNT goods_;
  int sign_ = 1;
  AMOUNT row_;  // the current row's quantity (unsigned)
  bool found_ = false;
  long row_recno_ = -1;

 private:
  long saved_recno_;
  int saved_index_;
  bool restored_ = false;
  POZ_RECORD saved_record_;
};

class RS_PURCHASES_OF_SALE : public PURCHASE_WALK {
 public:
  // The sale is the positions table's current record. mark may be null.
  explicit RS_PURCHASES_OF_SALE(STOCK_MARK* mark = nullptr);

  int First() override;
  int Last() override;
  int Prev() override;
  int Next() override;

 private:
  int StockAfterSale(AMOUNT* stock);
  int FromMark(AMOUNT* stock);
  int FromEnd(AMOUNT* stock);
  // From the cursor backwards: the next delivery, or a row without one taking what is left.
  int OlderRow(bool include_cursor);

  STOCK_MARK* mark_;
  POZ_RECORD sale_;
  long sale_recno_;
  char sale_key_[28];
  AMOUNT quantity_;      // |sale quantity|
  AMOUNT left_;          // still to attribute on the older side
  AMOUNT through_;       // attributed from Last up to the current row, inclusive
  AMOUNT newest_empty_;  // the row without a delivery before Last's deliveries (stock below 0)
  AMOUNT last_skip_;     // what the stock took of the newest row's delivery
  enum Where { kNone, kAtEmptyNewest, kAtDelivery, kAtEmptyOldest } where_ = kNone;
  bool valid_;
};

class RS_PURCHASES_OF_STOCK : public PURCHASE_WALK {
 public:
  RS_PURCHASES_OF_STOCK(AMOUNT goods, DATE date);

  int First() override;
  int Last() override;
  int Prev() override;
  int Next() override;

  // The stock on the date that Last found (0 before Last).
  AMOUNT Stock() const { return stock_; }

 private:
  int OlderRow(bool include_cursor);

  DATE date_;
  AMOUNT stock_;
  AMOUNT left_;
  AMOUNT through_;
  enum Where { kNone, kAtNegative, kAtDelivery, kAtEmptyOldest } where_ = kNone;
};

// The purchase value of a sale position (the positions table's current record) at the delivery
// prices that it consumed: the sum over its rows of ComputePositionValues (row quantity, the
// delivery's price, discount, VAT and its transaction's net flag). known is false when a row has
// no delivery (its quantity is then left out of the value). 0, or -1 on a failure.
struct PURCHASE_VALUE {
  AMOUNT net;
  AMOUNT gross;
  bool known = true;
};
int PurchaseValueOfSale(STOCK_MARK* mark, PURCHASE_VALUE* value);
