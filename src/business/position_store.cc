#include "business/position_store.h"

#include <algorithm>
#include <cstring>

#include "business/form_edit.h"
#include "business/numbering.h"
#include "business/options.h"
#include "business/prices.h"
#include "business/vat.h"
#include "common/text.h"
#include "db/records.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "ui/message_box.h"

namespace {

constexpr int kPositionsByTransaction = 0;

struct STOCK_CHANGE {
  AMOUNT goods;
  AMOUNT delta;
  AMOUNT before;
  bool keeps = false;
};

enum Op { kAdd, kChange, kRemove };

// One write: what it is to do and what the files held before it.
struct PLAN {
  Op op = kAdd;
  AMOUNT transaction;
  long recno = -1;
  long count_before = 0;
  POZ_RECORD before{};
  POZ_RECORD after{};
  STOCK_CHANGE stock[2];
  int stock_count = 0;
};

void Gone(int table) { deleted_meanwhile(table); }

// Positions are reached by record number: no active index to keep in step, no cursor to place.
void Detach() {
  TableGo(kTablePositions, -1);
  TableSetIndex(kTablePositions, -1);
}

// The position as the table will hold it: its numbers at the decimals of their fields.
void Normalize(POZ_RECORD* p) {
  p->ILOSC = RoundTo(p->ILOSC, 4);
  p->CENA = RoundTo(p->CENA, 2);
  p->RABAT = RoundTo(p->RABAT, 2);
  p->VATID = RoundTo(p->VATID, 0);
}

bool SamePosition(const POZ_RECORD& a, const POZ_RECORD& b) {
  return a.RODZAJ[0] == b.RODZAJ[0] && a.DATAMAG == b.DATAMAG && a.DATATRA == b.DATATRA &&
         a.TRAID == b.TRAID && a.KONID == b.KONID && a.PRAID == b.PRAID && a.TOWID == b.TOWID &&
         a.ILOSC == b.ILOSC && a.VATID == b.VATID && a.CENA == b.CENA && a.RABAT == b.RABAT;
}

void AddStock(PLAN& p, AMOUNT goods, AMOUNT delta) {
  if (goods.IsZero() || delta.IsZero()) return;
  for (int i = 0; i < p.stock_count; ++i)
    if (p.stock[i].goods == goods) {
      p.stock[i].delta += delta;
      return;
    }
  p.stock[p.stock_count].goods = goods;
  p.stock[p.stock_count].delta = delta;
  ++p.stock_count;
}

// Walks the live positions of a transaction in its index; fn(recno) sees each in Poz and stops
// the walk with a non-zero answer. 0 at the end of the positions, -1 on a failure.
template <typename Fn>
int WalkPositions(AMOUNT transaction, Fn fn) {
  const int t = kTablePositions;
  if (TableLock(t, false) != 0) return -1;
  Detach();
  char key[16];
  IdKey(transaction, key);
  int rc = TableSetIndex(t, kPositionsByTransaction) == 0 ? TableSeek(t, key) : -1;
  while (rc == 0 && Poz.TRAID == transaction) {
    if (fn(TableRecNo(t))) break;
    rc = TableNext(t);
  }
  Detach();
  TableUnlock(t);
  return rc < 0 ? -1 : 0;
}

// Reads what the write changes, under the lock: the transaction (which must still be there),
// the stored position and the stock of the goods involved.
int Prepare(PLAN& p) {
  int rc = FindById(kTableTransactions, p.transaction);
  if (rc == kTableEnd) Gone(kTableTransactions);
  if (rc != 0) return -1;
  if (p.op == kAdd) {
    p.count_before = TableRecCount(kTablePositions);
    if (p.count_before < 0) return -1;
  } else {
    if (ReadPosition(p.recno, &p.before) != 0) return -1;
    if (p.before.TRAID != p.transaction) {
      Gone(kTablePositions);
      return -1;
    }
    AddStock(p, p.before.TOWID, -StockEffect(p.before));
  }
  if (p.op != kRemove) AddStock(p, p.after.TOWID, StockEffect(p.after));
  for (int i = 0; i < p.stock_count; ++i) {
    STOCK_CHANGE& s = p.stock[i];
    rc = FindById(kTableGoods, s.goods);
    if (rc < 0) return -1;
    // Goods that went away keep no stock to move.
    s.keeps = rc == 0 && IsStockKind(Tow.RODZAJ[0]);
    s.before = rc == 0 ? Tow.STAN : AMOUNT();
  }
  return 0;
}

int WritePositionRecord(PLAN& p) {
  const int t = kTablePositions;
  if (p.op == kAdd) {
    Poz = p.after;
    if (TableAppend(t) != 0) return -1;
    p.recno = TableRecNo(t);
    return 0;
  }
  if (TableGo(t, p.recno) != 0) return -1;
  if (p.op == kRemove) return TableDelete(t) == 0 ? 0 : -1;
  Poz = p.after;
  return TableUpdate(t) == 0 ? 0 : -1;
}

// Sets the stock of every goods involved to what it was plus, when the position change reached
// the file, its change: written as a value, not added, so that it can be written again.
int WriteStock(const PLAN& p, bool applied) {
  for (int i = 0; i < p.stock_count; ++i) {
    const STOCK_CHANGE& s = p.stock[i];
    if (!s.keeps) continue;
    const AMOUNT target = RoundTo(applied ? s.before + s.delta : s.before, 4);
    if (FindById(kTableGoods, s.goods) != 0) return -1;
    if (Tow.STAN == target) continue;
    Tow.STAN = target;
    if (TableUpdate(kTableGoods) != 0) return -1;
  }
  return 0;
}

// Stores totals into the transaction in Tra when they differ; cash takes up the difference.
int StoreTotals(const DOCUMENT_TOTALS& d) {
  if (d.gross == Tra.SUMA && d.vat == Tra.VAT) return 0;
  Tra.SUMA = d.gross;
  Tra.VAT = d.vat;
  Tra.GOT =
      RoundTo(AmountDue(Tra.DOKMAGTYP, Tra.SUMA, RoundPay()) - Tra.CZK - Tra.PRZ - Tra.ODR, 2);
  return TableUpdate(kTableTransactions) == 0 ? 0 : -1;
}

void AddToRunning(const PLAN& p, RUNNING_TOTALS* t) {
  const POZ_RECORD& b = p.before;
  const POZ_RECORD& a = p.after;
  if (p.op != kAdd) t->Add(b.ILOSC, b.CENA, b.RABAT, static_cast<int>(b.VATID.Whole()), -1);
  if (p.op != kRemove) t->Add(a.ILOSC, a.CENA, a.RABAT, static_cast<int>(a.VATID.Whole()), +1);
}

int WriteTotals(const PLAN& p, RUNNING_TOTALS* running) {
  if (!TraRecalc()) {
    // The sums are stored when the positions window is left; the caller's follow the positions.
    if (running) AddToRunning(p, running);
    return 0;
  }
  if (FindById(kTableTransactions, p.transaction) != 0) return -1;
  const bool net = Tra.ZAOKRNETTO != 0;
  if (running && running->NetFirst() == net) {
    // The caller's totals are good while the stored sums agree with them.
    const DOCUMENT_TOTALS known = running->Totals();
    if (known.gross == Tra.SUMA && known.vat == Tra.VAT) {
      RUNNING_TOTALS next = *running;
      AddToRunning(p, &next);
      if (StoreTotals(next.Totals()) != 0) return -1;
      *running = next;
      return 0;
    }
  }
  RUNNING_TOTALS fresh(net);
  if (LoadRunningTotals(p.transaction, net, &fresh) != 0) return -1;
  if (StoreTotals(fresh.Totals()) != 0) return -1;
  if (running) *running = fresh;
  return 0;
}

// Whether the position change reached the file.
int Applied(PLAN& p, bool* applied) {
  const int t = kTablePositions;
  *applied = false;
  if (p.op == kAdd) {
    const long count = TableRecCount(t);
    if (count < 0) return -1;
    if (count <= p.count_before) return 0;
    if (TableGo(t, p.count_before) != 0) return -1;
    p.recno = p.count_before;
  } else if (TableGo(t, p.recno) != 0) {
    return -1;
  }
  bool deleted = false;
  if (TableIsDeleted(t, &deleted) != 0) return -1;
  *applied = p.op == kRemove ? deleted : !deleted && SamePosition(Poz, p.after);
  return 0;
}

// After a failure at stage 0 (position), 1 (stock) or 2 (sums): the index of the table that
// failed is built again, then stock and sums are made to agree with the position as stored.
int Settle(PLAN& p, RUNNING_TOTALS* running, int stage) {
  static const int kStageTable[] = {kTablePositions, kTableGoods, kTableTransactions};
  if (TableRebuildIndexes(kStageTable[stage]) != 0) return -1;
  Detach();
  bool applied = false;
  if (Applied(p, &applied) != 0) return -1;
  Detach();
  if (WriteStock(p, applied) != 0) return -1;
  if (TraRecalc() && RecalculateTransaction(p.transaction) != 0) return -1;
  if (running) {
    RUNNING_TOTALS fresh(running->NetFirst());
    if (LoadRunningTotals(p.transaction, fresh.NetFirst(), &fresh) == 0) *running = fresh;
  }
  return applied ? 0 : -1;
}

int Run(PLAN& p, RUNNING_TOTALS* running) {
  Normalize(&p.after);
  if (LockAllTables(true) != 0) return -1;
  const TABLE_PLACE goods = SaveTablePlace(kTableGoods);
  Detach();
  int rc = Prepare(p);
  if (rc == 0) {
    int stage = 0;
    rc = WritePositionRecord(p);
    if (rc == 0) {
      stage = 1;
      rc = WriteStock(p, true);
    }
    if (rc == 0) {
      stage = 2;
      rc = WriteTotals(p, running);
    }
    if (rc != 0) rc = Settle(p, running, stage);
  }
  Detach();
  RestoreTablePlace(goods);
  FindById(kTableTransactions, p.transaction);
  UnlockAllTables();
  return rc;
}

}  // namespace

int WriteRecordSettled(int table, long recno) {
  const char* s = static_cast<const char*>(TableRecord(table));
  if (!s) return -1;
  const std::vector<char> wanted(s, s + TableRecordSize(table));
  if ((recno < 0 ? TableAppend(table) : TableUpdate(table)) == 0) return 0;
  if (TableRebuildIndexes(table) != 0) return -1;
  long at = recno;
  if (recno < 0) {
    // Appended or not: the identifier tells.
    AMOUNT id;
    std::memcpy(&id, wanted.data(), sizeof id);
    const int rc = FindById(table, id);
    if (rc < 0) return -1;
    at = rc == 0 ? TableRecNo(table) : -1;
  }
  if (at >= 0 && TableGo(table, at) != 0) return -1;
  std::memcpy(TableRecord(table), wanted.data(), wanted.size());
  return (at < 0 ? TableAppend(table) : TableUpdate(table)) == 0 ? 0 : -1;
}

AMOUNT StockEffect(const POZ_RECORD& p) {
  if (p.RODZAJ[0] == 'D') return p.ILOSC;
  if (p.RODZAJ[0] == 'S') return -p.ILOSC;
  return AMOUNT();
}

int AddPosition(POZ_RECORD* position, RUNNING_TOTALS* running, long* recno) {
  PLAN p;
  p.op = kAdd;
  p.transaction = position->TRAID;
  p.after = *position;
  const int rc = Run(p, running);
  if (rc == 0) {
    *position = p.after;
    if (recno) *recno = p.recno;
  }
  return rc;
}

int ChangePosition(long recno, POZ_RECORD* position, RUNNING_TOTALS* running) {
  PLAN p;
  p.op = kChange;
  p.transaction = position->TRAID;
  p.recno = recno;
  p.after = *position;
  const int rc = Run(p, running);
  if (rc == 0) *position = p.after;
  return rc;
}

int RemovePosition(long recno, RUNNING_TOTALS* running) {
  POZ_RECORD stored;
  if (ReadPosition(recno, &stored) != 0) return -1;
  PLAN p;
  p.op = kRemove;
  p.transaction = stored.TRAID;
  p.recno = recno;
  return Run(p, running);
}

int ReadPosition(long recno, POZ_RECORD* position) {
  const int t = kTablePositions;
  if (TableLock(t, false) != 0) return -1;
  Detach();
  int rc = TableGo(t, recno);
  bool deleted = false;
  if (rc == 0) rc = TableIsDeleted(t, &deleted);
  if (rc == 0 && deleted) {
    Gone(t);
    rc = -1;
  }
  if (rc == 0) *position = Poz;
  Detach();
  TableUnlock(t);
  return rc == 0 ? 0 : -1;
}

int TransactionPositions(AMOUNT transactionId, std::vector<long>* recnos) {
  recnos->clear();
  if (WalkPositions(transactionId, [&](long n) {
        recnos->push_back(n);
        return 0;
      }) != 0)
    return -1;
  std::sort(recnos->begin(), recnos->end());
  return 0;
}

int LoadRunningTotals(AMOUNT transactionId, bool netFirst, RUNNING_TOTALS* totals) {
  RUNNING_TOTALS t(netFirst);
  if (WalkPositions(transactionId, [&](long) {
        t.Add(Poz.ILOSC, Poz.CENA, Poz.RABAT, static_cast<int>(Poz.VATID.Whole()), +1);
        return 0;
      }) != 0)
    return -1;
  *totals = t;
  return 0;
}

int RecalculateTransaction(AMOUNT id) {
  if (LockAllTables(true) != 0) return -1;
  int rc = FindById(kTableTransactions, id);
  if (rc == kTableEnd) Gone(kTableTransactions);
  if (rc == 0) {
    RUNNING_TOTALS t(Tra.ZAOKRNETTO != 0);
    rc = LoadRunningTotals(id, t.NetFirst(), &t);
    if (rc == 0) rc = StoreTotals(t.Totals());
  }
  UnlockAllTables();
  return rc == 0 ? 0 : -1;
}
