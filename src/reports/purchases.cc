#include "reports/purchases.h"

#include <algorithm>
#include <cstring>

#include "business/position_values.h"
#include "business/record_lookup.h"
#include "db/db_events.h"
#include "db/table.h"

namespace {

constexpr int kPositions = kTablePositions;
constexpr int kByGoods = 1;  // goods, date, kind, transaction
constexpr size_t kKeyLength = 27;

void PositionKey(const POZ_RECORD& p, char* key) {
  TABLE_DEFS[kPositions].key_builders[kByGoods](&p, key);
}

// The sale position or a row the index promised is not where it must be: the index no longer
// matches the records.
int IndexLost() {
  ReportDbEvent(kDbEvKeyMissing, TABLE_DEFS[kPositions].index_file, kByGoods);
  return -1;
}

AMOUNT Min(AMOUNT a, AMOUNT b) { return a < b ? a : b; }

}  // namespace

// ---- the walk ----

PURCHASE_WALK::PURCHASE_WALK()
    : DBTABLE(kPositions),
      saved_recno_(TableRecNo(kPositions)),
      saved_index_(TableGetIndex(kPositions)),
      saved_record_(Poz) {}

PURCHASE_WALK::~PURCHASE_WALK() { Restore(); }

int PURCHASE_WALK::Restore() {
  if (restored_) return 0;
  restored_ = true;
  int rc = TableSetIndex(kPositions, saved_index_);
  if (TableGo(kPositions, saved_recno_) != 0) rc = -1;
  Poz = saved_record_;
  return rc == 0 ? 0 : -1;
}

int PURCHASE_WALK::LastOfGoods() {
  char key[10];
  IdKey(goods_, key);
  int rc = TableSetIndex(kPositions, kByGoods);
  if (rc == 0) rc = TableSeekLast(kPositions, key);
  if (rc != 0) return rc;
  return Poz.TOWID == goods_ ? 0 : kTableEnd;
}

int PURCHASE_WALK::FirstOfGoods() {
  char key[10];
  IdKey(goods_, key);
  int rc = TableSetIndex(kPositions, kByGoods);
  if (rc == 0) rc = TableSeek(kPositions, key);
  if (rc != 0) return rc;
  return Poz.TOWID == goods_ ? 0 : kTableEnd;
}

int PURCHASE_WALK::Back() {
  const int rc = TablePrev(kPositions);
  if (rc != 0) return rc;
  return Poz.TOWID == goods_ ? 0 : kTableEnd;
}

int PURCHASE_WALK::Forth() {
  const int rc = TableNext(kPositions);
  if (rc != 0) return rc;
  return Poz.TOWID == goods_ ? 0 : kTableEnd;
}

int PURCHASE_WALK::Locate(const char* key, long recno) {
  int rc = TableSetIndex(kPositions, kByGoods);
  if (rc == 0) rc = TableSeek(kPositions, key);
  for (; rc == 0; rc = TableNext(kPositions)) {
    char here[28];
    PositionKey(Poz, here);
    if (std::strncmp(here, key, kKeyLength) != 0) return kTableEnd;
    if (TableRecNo(kPositions) == recno) return 0;
  }
  return rc;
}

int PURCHASE_WALK::GoodsStock(AMOUNT* stock) {
  TOW_RECORD g{};
  const int rc = ReadRecordById(kTableGoods, goods_, &g);
  if (rc == 0) *stock = g.STAN;
  return rc;
}

void PURCHASE_WALK::SetRow(bool found, AMOUNT quantity, AMOUNT buffered) {
  found_ = found;
  row_ = quantity;
  row_recno_ = TableRecNo(kPositions);
  Poz.ILOSC = buffered;
}

void PURCHASE_WALK::SetEmptyRow(AMOUNT quantity) {
  found_ = false;
  row_ = quantity;
  row_recno_ = -1;
}

int PURCHASE_WALK::OlderRowOf(bool include_cursor, AMOUNT* left, AMOUNT* through, bool* delivery) {
  int rc = include_cursor ? 0 : Back();
  for (; rc == 0 && !IsDelivery(); rc = Back()) {}
  if (rc < 0) return -1;
  *delivery = rc != kTableEnd;
  if (*delivery) SetRow(true, Min(Poz.ILOSC, *left), Poz.ILOSC - Min(Poz.ILOSC, *left));
  else SetEmptyRow(*left);
  *left -= row_;
  *through += row_;
  return 0;
}

// ---- the deliveries a sale took ----

RS_PURCHASES_OF_SALE::RS_PURCHASES_OF_SALE(STOCK_MARK* mark)
    : mark_(mark), sale_(Poz), sale_recno_(TableRecNo(kPositions)) {
  valid_ = sale_recno_ >= 0;
  goods_ = sale_.TOWID;
  sign_ = sale_.ILOSC < AMOUNT() ? -1 : 1;
  quantity_ = sale_.ILOSC < AMOUNT() ? -sale_.ILOSC : sale_.ILOSC;
  PositionKey(sale_, sale_key_);
}

// Walks forwards from the marked position to the sale. kTableEnd when the mark does not lead
// there (the sale lies before it, or the mark is gone).
int RS_PURCHASES_OF_SALE::FromMark(AMOUNT* stock) {
  int rc = Locate(mark_->key, mark_->recno);
  if (rc != 0) return rc;
  AMOUNT s = mark_->stock;
  while (TableRecNo(kPositions) != sale_recno_) {
    if ((rc = Forth()) != 0) return rc;
    s = RoundTo(s + Effect(), 4);
  }
  *stock = s;
  return 0;
}

// Undoes the positions after the sale, from the goods' last one back to the sale.
int RS_PURCHASES_OF_SALE::FromEnd(AMOUNT* stock) {
  AMOUNT s;
  int rc = GoodsStock(&s);
  if (rc != 0) return rc;
  for (rc = LastOfGoods(); rc == 0; rc = Back()) {
    if (TableRecNo(kPositions) == sale_recno_) {
      *stock = s;
      return 0;
    }
    s = RoundTo(s - Effect(), 4);
  }
  return rc < 0 ? -1 : IndexLost();
}

int RS_PURCHASES_OF_SALE::StockAfterSale(AMOUNT* stock) {
  int rc = kTableEnd;
  if (mark_ && mark_->recno >= 0 && mark_->goods == goods_ &&
      std::strncmp(sale_key_, mark_->key, kKeyLength) >= 0)
    rc = FromMark(stock);
  if (rc < 0) return -1;
  if (rc != 0) rc = FromEnd(stock);
  if (rc == 0 && mark_) {
    mark_->goods = goods_;
    mark_->recno = sale_recno_;
    std::memcpy(mark_->key, sale_key_, sizeof mark_->key);
    mark_->stock = *stock;
  }
  return rc;
}

int RS_PURCHASES_OF_SALE::OlderRow(bool include_cursor) {
  bool delivery;
  if (OlderRowOf(include_cursor, &left_, &through_, &delivery) != 0) return -1;
  where_ = delivery ? kAtDelivery : kAtEmptyOldest;
  return 0;
}

int RS_PURCHASES_OF_SALE::Last() {
  where_ = kNone;
  found_ = false;
  row_ = through_ = newest_empty_ = last_skip_ = left_ = AMOUNT();
  if (!valid_) return -1;
  if (quantity_.IsZero()) return kTableEnd;
  AMOUNT stock;
  const int rc = StockAfterSale(&stock);
  if (rc < 0) return -1;
  left_ = quantity_;
  if (rc == kTableEnd) {
    // The goods is gone: nothing tells what the sale took.
    SetEmptyRow(left_);
    where_ = kAtEmptyOldest;
    through_ = left_;
    left_ = AMOUNT();
    return 0;
  }
  // A return: the stock before it came back.
  if (sign_ < 0) stock -= quantity_;
  if (stock < AMOUNT()) {
    newest_empty_ = Min(-stock, quantity_);
    SetEmptyRow(newest_empty_);
    where_ = kAtEmptyNewest;
    left_ -= newest_empty_;
    through_ = newest_empty_;
    return 0;
  }
  // What is left after the sale is the newest deliveries; the sale took those just before them.
  AMOUNT skip = stock;
  int r;
  for (r = Back(); r == 0; r = Back()) {
    if (!IsDelivery()) continue;
    const AMOUNT taken = Min(Poz.ILOSC, skip);
    skip -= taken;
    if (Poz.ILOSC - taken > AMOUNT()) {
      last_skip_ = taken;
      const AMOUNT available = Poz.ILOSC - taken;
      SetRow(true, Min(available, left_), available - Min(available, left_));
      where_ = kAtDelivery;
      left_ -= row_;
      through_ = row_;
      return 0;
    }
  }
  if (r < 0) return -1;
  SetEmptyRow(left_);
  where_ = kAtEmptyOldest;
  through_ = left_;
  left_ = AMOUNT();
  return 0;
}

int RS_PURCHASES_OF_SALE::Prev() {
  if (where_ == kNone || left_ <= AMOUNT()) return kTableEnd;
  if (where_ == kAtEmptyNewest) {
    const int rc = Locate(sale_key_, sale_recno_);
    if (rc != 0) return rc < 0 ? -1 : IndexLost();
  }
  return OlderRow(false);
}

int RS_PURCHASES_OF_SALE::Next() {
  if (where_ == kNone) return kTableEnd;
  const AMOUNT newer = through_ - row_;
  if (newer <= AMOUNT()) return kTableEnd;
  const AMOUNT deliveries = newer - newest_empty_;
  if (deliveries <= AMOUNT()) {
    SetEmptyRow(newest_empty_);
    where_ = kAtEmptyNewest;
  } else {
    int rc = where_ == kAtEmptyOldest ? FirstOfGoods() : Forth();
    for (; rc == 0 && TableRecNo(kPositions) != sale_recno_ && !IsDelivery(); rc = Forth()) {}
    if (rc < 0) return -1;
    if (rc != 0 || TableRecNo(kPositions) == sale_recno_) return IndexLost();
    const AMOUNT row = Min(Poz.ILOSC, deliveries);
    // The newest delivery row gave part of its delivery to the stock left after the sale.
    const AMOUNT skipped = row == deliveries ? last_skip_ : AMOUNT();
    SetRow(true, row, Poz.ILOSC - skipped - row);
    where_ = kAtDelivery;
  }
  through_ = newer;
  left_ = quantity_ - through_;
  return 0;
}

int RS_PURCHASES_OF_SALE::First() {
  int rc = Last();
  if (rc != 0) return rc;
  while ((rc = Prev()) == 0) {}
  return rc < 0 ? -1 : 0;
}

// ---- the deliveries stock consists of ----

RS_PURCHASES_OF_STOCK::RS_PURCHASES_OF_STOCK(AMOUNT goods, DATE date) : date_(date) {
  goods_ = goods;
}

int RS_PURCHASES_OF_STOCK::OlderRow(bool include_cursor) {
  bool delivery;
  if (OlderRowOf(include_cursor, &left_, &through_, &delivery) != 0) return -1;
  where_ = delivery ? kAtDelivery : kAtEmptyOldest;
  return 0;
}

int RS_PURCHASES_OF_STOCK::Last() {
  where_ = kNone;
  found_ = false;
  row_ = through_ = left_ = stock_ = AMOUNT();
  AMOUNT stock;
  int rc = GoodsStock(&stock);
  if (rc != 0) return rc;
  bool dated = false;
  for (rc = LastOfGoods(); rc == 0; rc = Back()) {
    if (Poz.DATATRA <= date_) {
      dated = true;
      break;
    }
    stock = RoundTo(stock - Effect(), 4);
  }
  if (rc < 0) return -1;
  stock_ = stock;
  if (stock.IsZero()) return kTableEnd;
  if (stock < AMOUNT()) {
    SetEmptyRow(stock);
    where_ = kAtNegative;
    through_ = stock;
    return 0;
  }
  left_ = stock;
  if (!dated) {
    SetEmptyRow(left_);
    where_ = kAtEmptyOldest;
    through_ = left_;
    left_ = AMOUNT();
    return 0;
  }
  return OlderRow(true);
}

int RS_PURCHASES_OF_STOCK::Prev() {
  if (where_ == kNone || where_ == kAtNegative || left_ <= AMOUNT()) return kTableEnd;
  return OlderRow(false);
}

int RS_PURCHASES_OF_STOCK::Next() {
  if (where_ == kNone || where_ == kAtNegative) return kTableEnd;
  const AMOUNT newer = through_ - row_;
  if (newer <= AMOUNT()) return kTableEnd;
  int rc = where_ == kAtEmptyOldest ? FirstOfGoods() : Forth();
  for (; rc == 0 && Poz.DATATRA <= date_ && !IsDelivery(); rc = Forth()) {}
  if (rc < 0) return -1;
  if (rc != 0 || Poz.DATATRA > date_) return IndexLost();
  const AMOUNT row = Min(Poz.ILOSC, newer);
  SetRow(true, row, Poz.ILOSC - row);
  where_ = kAtDelivery;
  through_ = newer;
  left_ = stock_ - through_;
  return 0;
}

int RS_PURCHASES_OF_STOCK::First() {
  int rc = Last();
  if (rc != 0) return rc;
  while ((rc = Prev()) == 0) {}
  return rc < 0 ? -1 : 0;
}

// ---- the purchase value of a sale ----

int PurchaseValueOfSale(STOCK_MARK* mark, PURCHASE_VALUE* value) {
  *value = PURCHASE_VALUE{};
  RS_PURCHASES_OF_SALE rows(mark);
  int rc;
  for (rc = rows.First(); rc == 0; rc = rows.Next()) {
    if (!rows.Found()) {
      value->known = false;
      continue;
    }
    TRA_RECORD delivery{};
    const POZ_RECORD p = Poz;
    const int t = ReadRecordById(kTableTransactions, p.TRAID, &delivery);
    if (t < 0) return -1;
    const POSITION_VALUES v =
        ComputePositionValues(rows.Quantity(), p.CENA, p.RABAT, static_cast<int>(p.VATID.Whole()),
                              delivery.ZAOKRNETTO != 0);
    value->net += v.netValue;
    value->gross += v.grossValue;
  }
  if (rows.Restore() != 0) return -1;
  return rc < 0 ? -1 : 0;
}
