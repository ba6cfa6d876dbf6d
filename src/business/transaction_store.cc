#include "business/transaction_store.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "business/document_kinds.h"
#include "business/form_edit.h"
#include "business/numbering.h"
#include "business/options.h"
#include "business/position_store.h"
#include "business/prices.h"
#include "business/record_lookup.h"
#include "business/vat.h"
#include "common/codepage.h"
#include "common/date.h"
#include "common/text.h"
#include "db/records.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "ui/message_box.h"
#include "ui/number_format.h"

namespace {

constexpr int kTransactionsByDate = 1;
constexpr int kPositionsByGoods = 1;
constexpr int kPositionsByContractor = 2;

int DocumentIndex(DocumentSlot which) { return which == kSalesDocument ? 3 : 4; }
const char* Code(const TRA_RECORD& t, DocumentSlot which) {
  return which == kSalesDocument ? t.DOKTRATYP : t.DOKMAGTYP;
}
const char* Number(const TRA_RECORD& t, DocumentSlot which) {
  return which == kSalesDocument ? t.DOKTRANR : t.DOKMAGNR;
}
unsigned Year(const TRA_RECORD& t) { return DateToYmd(t.DATATRA).year; }

// The key of a document in its index: year, kind, code, digits right-aligned.
std::string DocumentKey(const TRA_RECORD& t, DocumentSlot which) {
  char digits[21], key[40];
  DocumentDigitsKey(Number(t, which), digits);
  std::snprintf(key, sizeof key, "%04u%c%-2s%20s", Year(t), t.RODZAJ[0] ? t.RODZAJ[0] : ' ',
                Code(t, which), digits);
  return key;
}

bool SameSeries(const TRA_RECORD& a, const TRA_RECORD& b, DocumentSlot which) {
  return Year(a) == Year(b) && a.RODZAJ[0] == b.RODZAJ[0] &&
         DocumentKindByCode(Code(a, which)) == DocumentKindByCode(Code(b, which));
}

// Runs fn with the positions table under a read lock, detached before and after (positions are
// addressed by record number elsewhere; see business/position_store.h).
template <typename Fn>
int WithPositions(int index, Fn fn) {
  const int t = kTablePositions;
  if (TableLock(t, false) != 0) return -1;
  TableGo(t, -1);
  int rc = TableSetIndex(t, index) == 0 ? fn() : -1;
  TableGo(t, -1);
  TableSetIndex(t, -1);
  TableUnlock(t);
  return rc;
}

void PositionKeyDate(AMOUNT goods, DATE date, char* key, size_t size) {
  const DateParts d = DateToYmd(date);
  std::snprintf(key, size, "%9.0f%04u%02u%02uD", goods.ToDouble(), d.year, d.month, d.day);
}

}  // namespace

int NextDocumentNumber(const TRA_RECORD& t, DocumentSlot which, std::string* number) {
  const int tab = kTableTransactions;
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "%04u%c%2s", Year(t), t.RODZAJ[0] ? t.RODZAJ[0] : ' ',
                Code(t, which));
  if (TableLock(tab, false) != 0) return -1;
  const TABLE_PLACE place = SaveTablePlace(tab);
  // With nothing at or below the prefix the table's current transaction is the one found.
  TRA_RECORD found{};
  if (place.record >= 0) std::memcpy(&found, place.structure.data(), sizeof found);
  int rc = TableSetIndex(tab, DocumentIndex(which));
  if (rc == 0) rc = TableSeekLast(tab, prefix);
  if (rc == 0) found = Tra;
  RestoreTablePlace(place);
  TableUnlock(tab);
  if (rc < 0) return -1;
  const uint64_t n = SameSeries(found, t, which) ? FirstDigitValue(Number(found, which)) + 1 : 1;
  *number = DocumentNumberAfter(Number(found, which), n);
  return 0;
}

int DocumentNumberTaken(const TRA_RECORD& t, DocumentSlot which) {
  const char* number = Number(t, which);
  if (!number[0]) return 0;
  const int tab = kTableTransactions;
  const std::string key = DocumentKey(t, which);
  if (TableLock(tab, false) != 0) return -1;
  const TABLE_PLACE place = SaveTablePlace(tab);
  // Every transaction under the same key is looked at: "12/2014" and "12/2015" share the digits.
  int taken = 0;
  int rc = TableSetIndex(tab, DocumentIndex(which));
  if (rc == 0) rc = TableSeek(tab, key.c_str());
  while (rc == 0 && DocumentKey(Tra, which) == key) {
    if (Tra.ID != t.ID && compare_text(Number(Tra, which), number) == 0) {
      taken = 1;
      break;
    }
    rc = TableNext(tab);
  }
  RestoreTablePlace(place);
  TableUnlock(tab);
  return rc < 0 ? -1 : taken;
}

int CheckNegativeStock(AMOUNT goodsId, AMOUNT quantity, char kind) {
  if (goodsId.IsZero() || quantity.IsZero()) return 0;
  TOW_RECORD g{};
  const int rc = ReadRecordById(kTableGoods, goodsId, &g);
  if (rc == kTableEnd) return 0;
  if (rc != 0) return -1;
  if (!IsStockKind(g.RODZAJ[0])) return 0;
  const AMOUNT stock = RoundTo(kind == 'D' ? g.STAN + quantity : g.STAN - quantity, 4);
  if (stock >= AMOUNT() || stock >= g.STAN || !WarnNegativeAmount()) return 0;
  const std::string shown = format_amount(stock, RoundAmount());
  return message_box(1,
                     "Zmniejszyć stan poniżej zera?\n\nTowar: %s\n Stan: %s %s\t &Nie \t &Tak "_pl,
                     g.NAZWA, shown.c_str(), g.JMIARY) == 2
             ? 0
             : 1;
}

int LastSaleToContractor(AMOUNT goodsId, AMOUNT contractorId, POZ_RECORD* found) {
  char key[24];
  std::snprintf(key, sizeof key, "%9.0f%9.0f", contractorId.ToDouble(), goodsId.ToDouble());
  int result = 1;
  const int rc = WithPositions(kPositionsByContractor, [&] {
    const int t = kTablePositions;
    int r = TableSeekLast(t, key);
    for (; r == 0 && Poz.KONID == contractorId && Poz.TOWID == goodsId; r = TablePrev(t)) {
      if (Poz.RODZAJ[0] == 'S') {
        *found = Poz;
        result = 0;
        return 0;
      }
    }
    return r < 0 ? -1 : 0;
  });
  return rc < 0 ? -1 : result;
}

int LastPurchase(AMOUNT goodsId, POZ_RECORD* found, bool* netFirst) {
  char key[32];
  IdKey(goodsId, key);
  int result = 1;
  const int rc = WithPositions(kPositionsByGoods, [&] {
    const int t = kTablePositions;
    // From the goods' latest entry back, a date at a time: the seek for the date with kind 'D'
    // passes over the day's sales at once.
    int r = TableSeekLast(t, key);
    while (r == 0 && Poz.TOWID == goodsId) {
      if (Poz.RODZAJ[0] == 'D') {
        *found = Poz;
        result = 0;
        return 0;
      }
      if (Poz.RODZAJ[0] < 'D') {
        r = TablePrev(t);
        continue;
      }
      // Keys of one day put income before expense: the last key not above the day with 'D'
      // lies before this one.
      char dated[32];
      PositionKeyDate(goodsId, Poz.DATATRA, dated, sizeof dated);
      r = TableSeekLast(t, dated);
    }
    return r < 0 ? -1 : 0;
  });
  if (rc < 0) return -1;
  if (result == 0 && netFirst) {
    TRA_RECORD tra{};
    const int r = ReadRecordById(kTableTransactions, found->TRAID, &tra);
    if (r < 0) return -1;
    *netFirst = r == 0 && tra.ZAOKRNETTO != 0;
  }
  return result;
}

int LatestTransaction(TRA_RECORD* latest) {
  const int t = kTableTransactions;
  if (TableLock(t, false) != 0) return -1;
  const TABLE_PLACE place = SaveTablePlace(t);
  int rc = TableSetIndex(t, kTransactionsByDate);
  if (rc == 0) rc = TableLast(t);
  if (rc == 0) *latest = Tra;
  RestoreTablePlace(place);
  TableUnlock(t);
  return rc < 0 ? -1 : (rc == 0 ? 0 : 1);
}

int StoreTransaction(TRA_RECORD* t) {
  const int tab = kTableTransactions;
  if (t->ID.IsZero()) {
    AMOUNT id;
    if (NextRecordId(tab, &id) != 0) return -1;
    Tra = *t;
    Tra.ID = id;
    if (WriteRecordSettled(tab, -1) != 0) return -1;
    *t = Tra;
    return 0;
  }
  const int rc = FindById(tab, t->ID);
  if (rc == kTableEnd) deleted_meanwhile(tab);
  if (rc != 0) return -1;
  const TRA_RECORD stored = Tra;
  Tra = *t;
  if (WriteRecordSettled(tab, TableRecNo(tab)) != 0) return -1;
  *t = Tra;
  if (stored.DATATRA == t->DATATRA && stored.DATAMAG == t->DATAMAG && stored.KONID == t->KONID)
    return 0;
  // The positions carry copies of the dates and the contractor. Their kind follows only through
  // FlipTransactionKind, which moves the stock with it.
  std::vector<long> recnos;
  if (TransactionPositions(t->ID, &recnos) != 0) return -1;
  const int p = kTablePositions;
  for (long n : recnos) {
    if (TableGo(p, n) != 0) return -1;
    Poz.DATATRA = t->DATATRA;
    Poz.DATAMAG = t->DATAMAG;
    Poz.KONID = t->KONID;
    if (WriteRecordSettled(p, n) != 0) return -1;
  }
  TableGo(p, -1);
  return FindById(tab, t->ID) == 0 ? 0 : -1;
}

int FlipTransactionKind(AMOUNT id, char kind) {
  std::vector<long> recnos;
  if (TransactionPositions(id, &recnos) != 0) return -1;
  std::vector<POZ_RECORD> positions(recnos.size());
  for (size_t i = 0; i < recnos.size(); ++i) {
    if (ReadPosition(recnos[i], &positions[i]) != 0) return -1;
    if (positions[i].RODZAJ[0] == kind) continue;
    const int rc = CheckNegativeStock(positions[i].TOWID, positions[i].ILOSC * 2, kind);
    if (rc != 0) return rc;
  }
  if (LockAllTables(true) != 0) return -1;
  int rc = FindById(kTableTransactions, id);
  if (rc == kTableEnd) deleted_meanwhile(kTableTransactions);
  RUNNING_TOTALS running(Tra.ZAOKRNETTO != 0);
  if (rc == 0) rc = LoadRunningTotals(id, running.NetFirst(), &running);
  std::vector<size_t> turned;
  for (size_t i = 0; rc == 0 && i < recnos.size(); ++i) {
    if (positions[i].RODZAJ[0] == kind) continue;
    POZ_RECORD p = positions[i];
    p.RODZAJ[0] = kind;
    p.RODZAJ[1] = 0;
    rc = ChangePosition(recnos[i], &p, &running);
    if (rc == 0) turned.push_back(i);
  }
  if (rc == 0) rc = FindById(kTableTransactions, id);
  if (rc == 0) {
    Tra.RODZAJ[0] = kind;
    Tra.RODZAJ[1] = 0;
    Tra.DOKMAGTYP[0] = Tra.DOKMAGNR[0] = Tra.DOKTRATYP[0] = Tra.DOKTRANR[0] = 0;
    // Without an internal document something may be due again: cash takes it up.
    const AMOUNT due = AmountDue(Tra.DOKMAGTYP, Tra.SUMA, RoundPay());
    if (Tra.GOT + Tra.CZK + Tra.PRZ + Tra.ODR != due)
      Tra.GOT = RoundTo(due - Tra.CZK - Tra.PRZ - Tra.ODR, 2);
    rc = WriteRecordSettled(kTableTransactions, TableRecNo(kTableTransactions));
  }
  if (rc != 0) {
    // A transaction is of one kind: what was turned turns back.
    while (!turned.empty()) {
      POZ_RECORD p = positions[turned.back()];
      if (ChangePosition(recnos[turned.back()], &p, &running) != 0) break;
      turned.pop_back();
    }
    rc = -1;
  }
  FindById(kTableTransactions, id);
  UnlockAllTables();
  return rc;
}

int DeleteTransaction(AMOUNT id) {
  if (LockAllTables(true) != 0) return -1;
  int rc = FindById(kTableTransactions, id);
  if (rc == kTableEnd) deleted_meanwhile(kTableTransactions);
  std::vector<long> recnos;
  RUNNING_TOTALS running(Tra.ZAOKRNETTO != 0);
  if (rc == 0) rc = TransactionPositions(id, &recnos);
  if (rc == 0) rc = LoadRunningTotals(id, running.NetFirst(), &running);
  for (size_t i = 0; rc == 0 && i < recnos.size(); ++i) rc = RemovePosition(recnos[i], &running);
  if (rc == 0) rc = FindById(kTableTransactions, id);
  if (rc == 0 && TableDelete(kTableTransactions) != 0) {
    // The mark may have reached the file before the failure.
    bool deleted = false;
    rc = TableIsDeleted(kTableTransactions, &deleted) == 0 && deleted ? 0 : -1;
  }
  UnlockAllTables();
  return rc == 0 ? 0 : -1;
}
