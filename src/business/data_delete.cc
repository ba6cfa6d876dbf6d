// Deletion of data: transactions keeping the stock, transactions with the stock, everything.
#include <cstdio>

#include "business/contractor_parent.h"
#include "business/maintenance.h"
#include "business/stock.h"
#include "business/vat.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "platform/cfile.h"

namespace {

// The spare slot of the set-aside positions.
constexpr int kSetAsideSlot = 10;
const char kSetAsideFile[] = "~Poz.dbf";

// The price and VAT of the goods' last purchase: the positions by goods, walked back from the
// goods' last entry to the first income position. Leaves *price and *vat when there is none.
int LastPurchase(AMOUNT goods, AMOUNT* price, AMOUNT* vat) {
  char key[10];
  IdKey(goods, key);
  const int saved = TableGetIndex(kTablePositions);
  int rc = TableSetIndex(kTablePositions, 1);
  if (rc == 0) rc = TableSeekLast(kTablePositions, key);
  for (; rc == 0 && Poz.TOWID == goods; rc = TablePrev(kTablePositions)) {
    if (Poz.RODZAJ[0] == 'D') {
      *price = Poz.CENA;
      *vat = Poz.VATID;
      break;
    }
  }
  if (TableSetIndex(kTablePositions, saved) != 0) rc = -1;
  return rc < 0 ? -1 : 0;
}

}  // namespace

int DeleteTransactionsKeepingStock(DATE today, void (*valued)()) {
  // The stock, valued at the last purchase price, set aside in a positions file of its own.
  POZ_RECORD aside{};
  TABLEDEF def = TABLE_DEFS[kTablePositions];
  def.data_file = kSetAsideFile;
  def.index_file = nullptr;
  def.index_count = 0;
  def.key_lengths = nullptr;
  def.key_builders = nullptr;
  def.record = &aside;
  def.record_size = sizeof aside;
  if (CFILE::Exists(kSetAsideFile) && CFILE::DeleteFile(kSetAsideFile) != 0) return -1;
  if (TableOpen(kSetAsideSlot, &def) != 0) return -1;
  int rc = TableSetIndex(kTableGoods, 0);
  long kept = 0;
  if (rc == 0) {
    for (rc = TableFirst(kTableGoods); rc == 0; rc = TableNext(kTableGoods)) {
      if (!IsStockKind(Tow.RODZAJ[0]) || Tow.STAN.IsZero()) continue;
      aside = POZ_RECORD{};
      aside.TOWID = Tow.ID;
      aside.ILOSC = Tow.STAN;
      aside.VATID = Tow.VATID;
      if (LastPurchase(Tow.ID, &aside.CENA, &aside.VATID) != 0 || TableAppend(kSetAsideSlot) != 0) {
        rc = -1;
        break;
      }
      ++kept;
    }
    if (rc == kTableEnd) rc = 0;
  }
  if (rc == 0 && valued) valued();
  if (rc == 0) rc = TableZap(kTablePositions);
  if (rc == 0) rc = TableZap(kTableTransactions);
  // From here the set-aside file is all that holds the stock: on a failure it stays for support.
  if (rc == 0 && kept > 0) {
    Tra = TRA_RECORD{};
    rc = NextRecordId(kTableTransactions, &Tra.ID);
    Tra.RODZAJ[0] = 'D';
    Tra.DATAMAG = Tra.DATATRA = today;
    Tra.ZAOKRNETTO = 1;
    const TRA_RECORD first = Tra;
    if (rc == 0) rc = TableAppend(kTableTransactions);
    if (rc == 0) {
      for (rc = TableFirst(kSetAsideSlot); rc == 0; rc = TableNext(kSetAsideSlot)) {
        Poz = aside;
        Poz.RODZAJ[0] = 'D';
        Poz.DATAMAG = Poz.DATATRA = today;
        Poz.TRAID = first.ID;
        // The goods have this stock already: the positions only record it.
        if (TableAppend(kTablePositions) != 0) {
          rc = -1;
          break;
        }
      }
      if (rc == kTableEnd) rc = 0;
    }
    if (rc == 0) rc = FindById(kTableTransactions, first.ID) == 0 ? RecalculateTransaction() : -1;
  }
  TableClose(kSetAsideSlot);
  if (rc == 0) CFILE::DeleteFile(kSetAsideFile);
  return rc;
}

int DeleteTransactionsAndStock() {
  int rc = TableZap(kTablePositions);
  if (rc == 0) rc = TableZap(kTableTransactions);
  if (rc == 0) rc = TableSetIndex(kTableGoods, 0);
  if (rc == 0) {
    for (rc = TableFirst(kTableGoods); rc == 0; rc = TableNext(kTableGoods)) {
      if (Tow.STAN.IsZero()) continue;
      Tow.STAN = AMOUNT();
      if (TableUpdate(kTableGoods) != 0) return -1;
    }
    if (rc == kTableEnd) rc = 0;
  }
  return rc;
}

int DeleteAllData() {
  KON_RECORD parent{};
  const bool has_parent = ParentCompany(&parent) == 0;
  for (int t = kTablePositions; t >= kTableGroups; --t)
    if (TableZap(t) != 0) return -1;
  if (!has_parent) return 0;
  Kon = parent;
  return TableAppend(kTableContractors);
}
