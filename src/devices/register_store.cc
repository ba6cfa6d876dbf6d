#include "devices/register_store.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "business/document_kinds.h"
#include "business/goods_rules.h"
#include "business/numbering.h"
#include "business/options.h"
#include "business/position_values.h"
#include "business/prices.h"
#include "business/transaction_store.h"
#include "business/vat.h"
#include "common/date.h"
#include "db/records.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "ui/record_list.h"

namespace {

// Every write of a take-over, so that a failure half-way can be undone.
class WRITE_JOURNAL {
 public:
  // Appends the table's record structure.
  int append(int table) {
    const long before = TableRecCount(table);
    const int rc = TableAppend(table);
    // A record that reached the file before its index failed is there all the same.
    if (rc == 0 || (before >= 0 && TableRecCount(table) > before))
      steps_.push_back({table, rc == 0 ? TableRecNo(table) : before, {}});
    if (rc != 0) damaged_[table] = true;
    return rc;
  }
  // Rewrites the current record from the structure; old is the record as it was.
  int update(int table, const void* old) {
    const long recno = TableRecNo(table);
    const char* bytes = static_cast<const char*>(old);
    steps_.push_back({table, recno, std::vector<char>(bytes, bytes + TableRecordSize(table))});
    const int rc = TableUpdate(table);
    if (rc != 0) damaged_[table] = true;
    return rc;
  }
  void undo() {
    for (int t = 0; t < kSchemaTableCount; ++t)
      if (damaged_[t]) TableRebuildIndexes(t);
    for (auto s = steps_.rbegin(); s != steps_.rend(); ++s) {
      if (TableGo(s->table, s->recno) != 0) continue;
      if (s->old.empty()) {
        TableDelete(s->table);
      } else {
        std::memcpy(TableRecord(s->table), s->old.data(), s->old.size());
        TableUpdate(s->table);
      }
    }
    steps_.clear();
  }

 private:
  struct Step {
    int table;
    long recno;
    std::vector<char> old;  // empty for an appended record
  };
  std::vector<Step> steps_;
  bool damaged_[kSchemaTableCount] = {};
};

// Puts the tables back where the views had them.
class SAVED_PLACES {
 public:
  SAVED_PLACES() {
    for (int t = 0; t < kSchemaTableCount; ++t) {
      index_[t] = TableGetIndex(t);
      recno_[t] = TableRecNo(t);
    }
  }
  ~SAVED_PLACES() {
    for (int t = 0; t < kSchemaTableCount; ++t) {
      TableSetIndex(t, index_[t]);
      TableGo(t, recno_[t]);
    }
  }

 private:
  int index_[kSchemaTableCount];
  long recno_[kSchemaTableCount];
};

// A text into a record field, cut to fit.
void Copy(char* to, size_t size, const char* from) {
  const size_t n = std::min(std::strlen(from), size - 1);
  std::memcpy(to, from, n);
  to[n] = 0;
}

// Finds goods by a text of one of its indexes (3 number, 5 code): 0 found (Tow holds it),
// kTableEnd or -1.
int FindGoodsBy(int index, const char* text) {
  if (!*text) return kTableEnd;
  if (TableSetIndex(kTableGoods, index) != 0) return -1;
  int rc = TableSeek(kTableGoods, text);
  if (rc != 0) return rc;
  return std::strcmp(index == 3 ? Tow.NR : Tow.EAN, text) == 0 ? 0 : kTableEnd;
}

int FindGoods(const RegisterGoods& g) {
  const int rc = FindGoodsBy(3, g.number);
  return rc == kTableEnd ? FindGoodsBy(5, g.code) : rc;
}

// The unit price of a sale: its value by its quantity, to the grosz.
AMOUNT UnitPrice(const RegisterGoods& s) { return RoundTo(s.amount / s.quantity, 2); }

// Appends new goods from a register's record; Tow holds it afterwards.
int AddGoods(WRITE_JOURNAL& journal, const RegisterGoods& g, int vatId, AMOUNT price) {
  AMOUNT id;
  if (NextRecordId(kTableGoods, &id) != 0) return -1;
  Tow = NewGoodsRecord();
  Tow.ID = id;
  Copy(Tow.NAZWA, sizeof Tow.NAZWA, g.name);
  Copy(Tow.NR, sizeof Tow.NR, g.number);
  Copy(Tow.EAN, sizeof Tow.EAN, g.code);
  if (g.unit[0]) Copy(Tow.JMIARY, sizeof Tow.JMIARY, g.unit);
  Tow.CENA = price;
  Tow.VATID = AMOUNT::FromInt(vatId);
  Tow.DATAPRZEC = DateToday();
  return journal.append(kTableGoods);
}

// A new sale transaction of today for the automatic customer, with its documents.
int NewSaleTransaction(TRA_RECORD* t) {
  *t = TRA_RECORD{};
  t->RODZAJ[0] = 'S';
  t->DATATRA = t->DATAMAG = DateToday();
  // The register has printed the receipts of these sales: no second one on the fiscal printer.
  t->DOKFISKAL = 1;
  const AMOUNT customer = AutoCustomer();
  if (!customer.IsZero()) {
    const int rc = FindById(kTableContractors, customer);
    if (rc < 0) return -1;
    if (rc == 0) {
      t->KONID = customer;
      // The customer's own sales document, when it names one the program knows.
      if (DocumentKindByCode(Kon.DOKTRATYP) != 0)
        Copy(t->DOKTRATYP, sizeof t->DOKTRATYP, Kon.DOKTRATYP);
    }
  }
  if (AutoWZ()) Copy(t->DOKMAGTYP, sizeof t->DOKMAGTYP, "WZ");
  std::string number;
  if (t->DOKMAGTYP[0]) {
    if (NextDocumentNumber(*t, kWarehouseDocument, &number) != 0) return -1;
    Copy(t->DOKMAGNR, sizeof t->DOKMAGNR, number.c_str());
  }
  if (t->DOKTRATYP[0]) {
    if (NextDocumentNumber(*t, kSalesDocument, &number) != 0) return -1;
    Copy(t->DOKTRANR, sizeof t->DOKTRANR, number.c_str());
  }
  return NextRecordId(kTableTransactions, &t->ID);
}

struct ACCEPTED_SALE {
  AMOUNT goods;
  AMOUNT quantity;
  AMOUNT price;
  int vatId;
};

// Writes the transaction, its positions and their stock.
int WriteSale(WRITE_JOURNAL& journal, const std::vector<ACCEPTED_SALE>& sales) {
  TRA_RECORD t;
  if (NewSaleTransaction(&t) != 0) return -1;
  DOCUMENT_TOTALS totals;
  for (const ACCEPTED_SALE& s : sales)
    AddToTotals(&totals, s.quantity, "", s.price, AMOUNT(), s.vatId, false);
  t.SUMA = totals.gross;
  t.VAT = totals.vat;
  t.GOT = RoundTo(AmountDue(t.DOKMAGTYP, t.SUMA, RoundPay()), 2);
  Tra = t;
  if (journal.append(kTableTransactions) != 0) return -1;
  for (const ACCEPTED_SALE& s : sales) {
    Poz = POZ_RECORD{};
    Poz.RODZAJ[0] = 'S';
    Poz.DATAMAG = t.DATAMAG;
    Poz.DATATRA = t.DATATRA;
    Poz.TRAID = t.ID;
    Poz.KONID = t.KONID;
    Poz.TOWID = s.goods;
    Poz.ILOSC = s.quantity;
    Poz.VATID = AMOUNT::FromInt(s.vatId);
    Poz.CENA = s.price;
    if (journal.append(kTablePositions) != 0) return -1;
    if (FindById(kTableGoods, s.goods) != 0) return -1;
    if (!IsStockKind(Tow.RODZAJ[0])) continue;
    const TOW_RECORD old = Tow;
    Tow.STAN = RoundTo(Tow.STAN - s.quantity, 4);
    if (journal.update(kTableGoods, &old) != 0) return -1;
  }
  return 0;
}

}  // namespace

int RegisterVatId(const char* text) {
  const std::string t = Trimmed(text);
  if (t == "zw." || t == "zw") return 1;
  AMOUNT rate;
  if (DecimalNumber(t, &rate) != 0) return 0;
  for (const VAT_RATE& r : VAT_RATES)
    if (r.id != 1 && r.id != 14 && AMOUNT::FromInt(r.percent) == RoundTo(rate, 2)) return r.id;
  return 0;
}

std::string RegisterRateText(int vatId) {
  if (vatId == 1 || vatId == 14) return "zw.";
  if (VatRow(vatId) < 0) return "";
  return std::to_string(VAT_RATES[VatRow(vatId)].percent);
}

bool ValidEan(const char* code) {
  const size_t n = std::strlen(code);
  std::string copy = code;
  return AllDigits(code) && (n == 8 || n == 13) && !UpdateEanCheckDigit(&copy);
}

bool RegisterNumberAcceptable(const RegisterGoods& g) {
  if (!g.number[0]) return ValidEan(g.code);
  if (std::strlen(g.number) != 6 || !AllDigits(g.number) || std::strcmp(g.number, "000000") == 0)
    return false;
  return !g.code[0] || ValidEan(g.code);
}

bool RegisterGoodsAcceptable(const RegisterGoods& g) {
  return RegisterNumberAcceptable(g) && RegisterVatId(g.taxRate) != 0;
}

RegisterGoods GoodsForRegister(const TOW_RECORD& t) {
  RegisterGoods g{};
  SetField(g.name, t.NAZWA);
  SetField(g.number, t.NR);
  SetField(g.code, t.EAN);
  g.amount = t.CENA;
  g.quantity = t.STAN;
  SetField(g.taxRate, RegisterRateText(static_cast<int>(t.VATID.Whole())));
  SetField(g.unit, t.JMIARY);
  return g;
}

int GoodsToSend(AMOUNT group, AMOUNT goods, std::vector<RegisterGoods>* out) {
  out->clear();
  if (LockAllTables(false) != 0) return -1;
  int rc;
  {
    SAVED_PLACES places;
    if (!goods.IsZero()) {
      rc = FindById(kTableGoods, goods);
      if (rc == 0) out->push_back(GoodsForRegister(Tow));
    } else if (!group.IsZero()) {
      char key[10];
      IdKey(group, key);
      rc = TableSetIndex(kTableGoods, 2) != 0 ? -1 : TableSeek(kTableGoods, key);
      for (; rc == 0 && Tow.GTOID == group; rc = TableNext(kTableGoods))
        out->push_back(GoodsForRegister(Tow));
    } else {
      rc = TableSetIndex(kTableGoods, view_order(kViewGoods)) != 0 ? -1 : TableFirst(kTableGoods);
      for (; rc == 0; rc = TableNext(kTableGoods)) out->push_back(GoodsForRegister(Tow));
    }
  }
  UnlockAllTables();
  return rc < 0 ? -1 : 0;
}

int TakeOverGoods(const std::vector<RegisterGoods>& records, REGISTER_COUNTS* counts) {
  *counts = REGISTER_COUNTS{};
  if (LockAllTables(true) != 0) return -1;
  WRITE_JOURNAL journal;
  int rc = 0;
  {
    SAVED_PLACES places;
    for (RegisterGoods g : records) {
      if (g.amount < AMOUNT()) g.amount = -g.amount;
      if (!RegisterGoodsAcceptable(g)) {
        ++counts->rejected;
        continue;
      }
      const int vat = RegisterVatId(g.taxRate);
      const AMOUNT price = RoundTo(g.amount, 2);
      rc = FindGoods(g);
      if (rc < 0) break;
      if (rc == kTableEnd) {
        if ((rc = AddGoods(journal, g, vat, price)) != 0) break;
        ++counts->added;
        continue;
      }
      const TOW_RECORD old = Tow;
      Copy(Tow.NAZWA, sizeof Tow.NAZWA, g.name);
      if (g.unit[0]) Copy(Tow.JMIARY, sizeof Tow.JMIARY, g.unit);
      Tow.CENA = price;
      // A rate the register shows the same way (" -" and "zw" both as exempt) is no change.
      if (RegisterRateText(static_cast<int>(Tow.VATID.Whole())) != RegisterRateText(vat))
        Tow.VATID = AMOUNT::FromInt(vat);
      if (std::strcmp(old.NAZWA, Tow.NAZWA) == 0 && std::strcmp(old.JMIARY, Tow.JMIARY) == 0 &&
          old.CENA == Tow.CENA && old.VATID == Tow.VATID)
        continue;
      if ((rc = journal.update(kTableGoods, &old)) != 0) break;
      ++counts->updated;
    }
    if (rc != 0) {
      journal.undo();
      *counts = REGISTER_COUNTS{};
    }
  }
  UnlockAllTables();
  return rc == 0 ? 0 : -1;
}

int TakeOverSales(const std::vector<RegisterGoods>& records, REGISTER_COUNTS* counts) {
  *counts = REGISTER_COUNTS{};
  if (LockAllTables(true) != 0) return -1;
  WRITE_JOURNAL journal;
  int rc = 0;
  {
    SAVED_PLACES places;
    std::vector<ACCEPTED_SALE> accepted;
    for (RegisterGoods s : records) {
      if (s.quantity.IsZero()) continue;
      if (s.amount < AMOUNT()) {
        s.amount = -s.amount;
        s.quantity = Abs(s.quantity);
      }
      s.quantity = Abs(s.quantity);
      if (!RegisterNumberAcceptable(s)) {
        ++counts->salesRejected;
        continue;
      }
      rc = FindGoods(s);
      if (rc < 0) break;
      const bool found = rc == 0;
      rc = 0;
      int vat = RegisterVatId(s.taxRate);
      if (vat == 0 && found && !s.taxRate[0]) vat = static_cast<int>(Tow.VATID.Whole());
      if (vat == 0 || VatRow(vat) < 0) {
        ++counts->salesRejected;
        continue;
      }
      if (!found) {
        if ((rc = AddGoods(journal, s, vat, UnitPrice(s))) != 0) break;
        ++counts->added;
      }
      accepted.push_back({Tow.ID, s.quantity, UnitPrice(s), vat});
    }
    if (rc == 0 && !accepted.empty()) rc = WriteSale(journal, accepted);
    if (rc == 0) counts->salesAdded = static_cast<long>(accepted.size());
    if (rc != 0) {
      journal.undo();
      *counts = REGISTER_COUNTS{};
    }
  }
  UnlockAllTables();
  return rc == 0 ? 0 : -1;
}
