// The database check: positions that belong to no transaction, positions whose copies of the
// transaction differ, totals that differ from the positions, stock that the transactions take
// below zero, and stored stock that differs from the positions; with their repairs.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <vector>

#include "business/document_kinds.h"
#include "business/maintenance.h"
#include "business/options.h"
#include "business/position_values.h"
#include "business/stock.h"
#include "business/vat.h"
#include "common/text.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "ui/number_format.h"

namespace {

struct CHECKER {
  const CHECK_CHOICES& choices;
  CHECK_OUTPUT& out;
  CHECK_RESULT& result;
  int mode;

  // Tells one error: asks when it is to be asked, repairs, and writes its line.
  // repair answers 0 when it mended the fault. False when the check is to stop.
  template <typename Repair>
  bool Fault(const std::string& line, bool repairable, Repair repair) {
    ++result.found;
    bool mend = repairable && mode == kRepairAuto;
    if (repairable && mode == kRepairAsk) {
      switch (out.Ask(line)) {
        case kAnswerYes: mend = true; break;
        case kAnswerAllYes:
          mend = true;
          mode = kRepairAuto;
          break;
        case kAnswerAllNo: mode = kRepairNone; break;
        case kAnswerStop:
          out.Line(line);
          result.stopped = true;
          return false;
        default: break;
      }
    }
    bool mended = false;
    if (mend) {
      if (repair() != 0) {
        result.failed = true;
        out.Line(line);
        return false;
      }
      mended = true;
      ++result.repaired;
    }
    out.Line(mended ? line + " Naprawione."_pl : line);
    return true;
  }

  bool Step(long done, long count) {
    if (out.Progress(count > 0 ? static_cast<int>(std::min(done, count) * 100 / count) : 100) == 0)
      return true;
    result.stopped = true;
    return false;
  }
};

std::string Amount(AMOUNT a, int decimals) { return format_amount(a, decimals); }

// The goods' name, empty for goods that are gone; -1 when it could not be read.
int GoodsName(AMOUNT id, std::string* name) {
  TOW_RECORD copy;
  const int rc = id.IsZero() ? kTableEnd : CopyRecordById(kTableGoods, id, &copy);
  *name = rc == 0 ? copy.NAZWA : "";
  return rc < 0 ? -1 : 0;
}

// "%10s, %-8s nr %-2s %s: " of the current transaction: its date, kind and document (the sales
// document when it has one, else the warehouse document).
std::string TransactionPrefix() {
  const bool sales = Tra.DOKTRATYP[0] != '\0';
  char text[160];
  std::snprintf(text, sizeof text, "%10s, %-8s nr %-2s %s: ", DateToDisplay(Tra.DATATRA).c_str(),
                TransactionKindName(Tra.RODZAJ[0]), sales ? Tra.DOKTRATYP : Tra.DOKMAGTYP,
                sales ? Tra.DOKTRANR : Tra.DOKMAGNR);
  return text;
}

bool CopiesDiffer(const TRA_RECORD& t, const POZ_RECORD& p) {
  return p.RODZAJ[0] != t.RODZAJ[0] || p.DATAMAG != t.DATAMAG || p.DATATRA != t.DATATRA ||
         p.KONID != t.KONID || p.PRAID != t.PRAID;
}

int CheckPositions(CHECKER& c) {
  c.out.Begin("Sprawdzanie pozycji transakcji..."_pl);
  const int saved = TableGetIndex(kTablePositions);
  TableSetIndex(kTablePositions, -1);
  const long count = TableRecCount(kTablePositions);
  int rc;
  bool go_on = true;
  for (rc = TableFirst(kTablePositions); rc == 0 && go_on; rc = TableNext(kTablePositions)) {
    go_on = c.Step(TableRecNo(kTablePositions) + 1, count);
    if (!go_on) break;
    const POZ_RECORD p = Poz;
    const int found = FindById(kTableTransactions, p.TRAID);
    if (found < 0) {
      rc = -1;
      break;
    }
    if (found == 0) continue;
    std::string name;
    if (GoodsName(p.TOWID, &name) != 0) {
      rc = -1;
      break;
    }
    const std::string line = "Pozycja \""_pl + DateToDisplay(p.DATATRA) + " " +
                             TransactionKindName(p.RODZAJ[0]) + " " + name + " " +
                             Amount(p.ILOSC, RoundAmount()) + " x " + Amount(p.CENA, 2) +
                             " zł\" nie należy do żadnej transakcji."_pl;
    go_on = c.Fault(line, true, [&] {
      // The transaction is made again from what its position remembers of it.
      Tra = TRA_RECORD{};
      Tra.ID = p.TRAID;
      Tra.RODZAJ[0] = p.RODZAJ[0];
      Tra.DATAMAG = p.DATAMAG;
      Tra.DATATRA = p.DATATRA;
      Tra.KONID = p.KONID;
      Tra.PRAID = p.PRAID;
      std::snprintf(Tra.UWAGI, sizeof Tra.UWAGI, "%s", "Dodana automatycznie");
      return TableAppend(kTableTransactions);
    });
  }
  c.out.Finish();
  if (TableSetIndex(kTablePositions, saved) != 0) rc = -1;
  if (rc < 0) c.result.failed = true;
  return rc < 0 || !go_on ? -1 : 0;
}

// Stock of each goods followed through the transactions in date order (deliveries of a day come
// before its sales), for goods whose kind keeps stock.
struct RUNNING_STOCK {
  struct GOODS {
    bool keeps = false;
    std::string name;
    AMOUNT stock;
  };
  std::map<int64_t, GOODS> goods;

  // The goods' entry, or null when they could not be read.
  GOODS* Of(AMOUNT id) {
    auto it = goods.find(id.Raw());
    if (it != goods.end()) return &it->second;
    GOODS g;
    TOW_RECORD copy;
    const int rc = id.IsZero() ? kTableEnd : CopyRecordById(kTableGoods, id, &copy);
    if (rc < 0) return nullptr;
    if (rc == 0) {
      g.keeps = IsStockKind(copy.RODZAJ[0]);
      g.name = copy.NAZWA;
    }
    return &goods.emplace(id.Raw(), g).first->second;
  }
};

int CheckTransaction(CHECKER& c, RUNNING_STOCK& running) {
  const TRA_RECORD t = Tra;
  const long here = TableRecNo(kTableTransactions);
  std::vector<long> differing;
  std::vector<std::pair<AMOUNT, AMOUNT>> moves;  // goods, quantity
  DOCUMENT_TOTALS net_first, gross_first;
  const long seen = ForEachPosition(t.ID, [&] {
    if (CopiesDiffer(t, Poz)) differing.push_back(TableRecNo(kTablePositions));
    const int vat = static_cast<int>(Poz.VATID.Whole());
    AddToTotals(&net_first, Poz.ILOSC, "", Poz.CENA, Poz.RABAT, vat, true);
    AddToTotals(&gross_first, Poz.ILOSC, "", Poz.CENA, Poz.RABAT, vat, false);
    moves.emplace_back(Poz.TOWID, Poz.ILOSC);
    return 0;
  });
  if (seen < 0) return -1;
  const std::string prefix = TransactionPrefix();
  if (c.choices.totals && !differing.empty()) {
    const bool go_on = c.Fault(prefix + "Pola pozycji niezgodne z transakcją."_pl, true, [&] {
      for (long record : differing) {
        if (TableGo(kTablePositions, record) != 0) return -1;
        Poz.RODZAJ[0] = t.RODZAJ[0];
        Poz.RODZAJ[1] = '\0';
        Poz.DATAMAG = t.DATAMAG;
        Poz.DATATRA = t.DATATRA;
        Poz.KONID = t.KONID;
        Poz.PRAID = t.PRAID;
        if (TableUpdate(kTablePositions) != 0) return -1;
      }
      return 0;
    });
    if (!go_on) return -1;
  }
  const DOCUMENT_TOTALS& own = t.ZAOKRNETTO ? net_first : gross_first;
  const DOCUMENT_TOTALS& other = t.ZAOKRNETTO ? gross_first : net_first;
  if (c.choices.totals && (own.gross != t.SUMA || own.vat != t.VAT)) {
    const bool go_on = c.Fault(prefix + "Suma pozycji niezgodna z transakcją."_pl, true, [&] {
      if (TableGo(kTableTransactions, here) != 0) return -1;
      // Totals that the other rounding gives were computed that way: only the flag was lost.
      if (other.gross == t.SUMA && other.vat == t.VAT) {
        Tra.ZAOKRNETTO = t.ZAOKRNETTO ? 0 : 1;
        return TableUpdate(kTableTransactions);
      }
      return RecalculateTransaction();
    });
    if (!go_on) return -1;
  }
  if (c.choices.stock_changes) {
    std::vector<int64_t> told;
    for (const auto& [goods, quantity] : moves) {
      RUNNING_STOCK::GOODS* known = running.Of(goods);
      if (!known) {
        c.result.failed = true;
        return -1;
      }
      RUNNING_STOCK::GOODS& g = *known;
      if (!g.keeps) continue;
      const AMOUNT before = g.stock;
      g.stock = t.RODZAJ[0] == 'D' ? g.stock + quantity : g.stock - quantity;
      if (g.stock < AMOUNT() && !(before < AMOUNT()) &&
          std::find(told.begin(), told.end(), goods.Raw()) == told.end()) {
        told.push_back(goods.Raw());
        if (!c.Fault(prefix + "Stan \""_pl + g.name + "\" zmniejszony poniżej zera."_pl, false,
                     [] { return 0; }))
          return -1;
      }
    }
  }
  return TableGo(kTableTransactions, here);
}

int CheckTransactions(CHECKER& c) {
  c.out.Begin("Sprawdzanie transakcji..."_pl);
  const int saved = TableGetIndex(kTableTransactions);
  int rc = TableSetIndex(kTableTransactions, 1);
  long count = 0;
  if (rc == 0) rc = TableCount(kTableTransactions, &count);
  RUNNING_STOCK running;
  long done = 0;
  if (rc == 0) {
    for (rc = TableFirst(kTableTransactions); rc == 0; rc = TableNext(kTableTransactions)) {
      if (!c.Step(++done, count) || CheckTransaction(c, running) != 0) {
        rc = -2;
        break;
      }
    }
  }
  c.out.Finish();
  if (TableSetIndex(kTableTransactions, saved) != 0 && rc >= 0) rc = -1;
  if (rc == -1) c.result.failed = true;
  return rc < 0 ? -1 : 0;
}

int CheckStock(CHECKER& c) {
  c.out.Begin("Sprawdzanie stanu towarów..."_pl);
  struct ENTRY {
    int64_t id;
    AMOUNT stock;
  };
  const int saved_goods = TableGetIndex(kTableGoods);
  const int saved_positions = TableGetIndex(kTablePositions);
  long goods_count = TableRecCount(kTableGoods);
  int rc = goods_count < 0 ? -1 : 0;
  // The computed stock, one entry per goods, sorted by identifier.
  std::unique_ptr<ENTRY[]> stock(
      goods_count > 0 ? new (std::nothrow) ENTRY[static_cast<size_t>(goods_count)] : nullptr);
  if (rc == 0 && goods_count > 0 && !stock) {
    c.out.NoMemory();
    c.out.Finish();
    return 0;
  }
  long n = 0;
  if (rc == 0) rc = TableSetIndex(kTableGoods, 0);
  if (rc == 0)
    for (rc = TableFirst(kTableGoods); rc == 0 && n < goods_count; rc = TableNext(kTableGoods))
      stock[n++] = {Tow.ID.Raw(), AMOUNT()};
  ENTRY* end = stock.get() + n;
  if (rc == kTableEnd) rc = 0;
  std::stable_sort(stock.get(), end, [](const ENTRY& a, const ENTRY& b) { return a.id < b.id; });
  const long positions = TableRecCount(kTablePositions);
  const long steps = std::max(positions, 0L) + goods_count;
  long done = 0;
  if (rc == 0) rc = TableSetIndex(kTablePositions, -1);
  if (rc == 0) {
    for (rc = TableFirst(kTablePositions); rc == 0; rc = TableNext(kTablePositions)) {
      ENTRY* e = std::lower_bound(stock.get(), end, Poz.TOWID.Raw(),
                                  [](const ENTRY& a, int64_t id) { return a.id < id; });
      if (e != end && e->id == Poz.TOWID.Raw())
        e->stock = Poz.RODZAJ[0] == 'D' ? e->stock + Poz.ILOSC : e->stock - Poz.ILOSC;
      if (!c.Step(++done, steps)) {
        rc = -2;
        break;
      }
    }
    if (rc == kTableEnd) rc = 0;
  }
  if (rc == 0) {
    for (rc = TableFirst(kTableGoods); rc == 0; rc = TableNext(kTableGoods)) {
      if (!c.Step(++done, steps)) {
        rc = -2;
        break;
      }
      if (!IsStockKind(Tow.RODZAJ[0])) continue;
      const ENTRY* e = std::lower_bound(stock.get(), end, Tow.ID.Raw(),
                                        [](const ENTRY& a, int64_t id) { return a.id < id; });
      if (e == end || e->id != Tow.ID.Raw()) continue;
      const AMOUNT computed = RoundTo(e->stock, 4);
      if (computed == Tow.STAN) continue;
      const long here = TableRecNo(kTableGoods);
      const std::string line =
          "Stan towaru \""_pl + std::string(Tow.NAZWA) + "\" niezgodny z transakcjami."_pl;
      if (!c.Fault(line, true, [&] {
            if (TableGo(kTableGoods, here) != 0) return -1;
            Tow.STAN = computed;
            return TableUpdate(kTableGoods);
          })) {
        rc = -2;
        break;
      }
      if (TableGo(kTableGoods, here) != 0) {
        rc = -1;
        break;
      }
    }
    if (rc == kTableEnd) rc = 0;
  }
  c.out.Finish();
  if (TableSetIndex(kTableGoods, saved_goods) != 0 ||
      TableSetIndex(kTablePositions, saved_positions) != 0)
    if (rc == 0) rc = -1;
  if (rc == -1) c.result.failed = true;
  return rc < 0 ? -1 : 0;
}

}  // namespace

int CopyRecordById(int table, AMOUNT id, void* copy) {
  const int rc = FindById(table, id);
  if (rc == 0) std::memcpy(copy, TableRecord(table), TableRecordSize(table));
  return rc;
}

int CheckDatabase(const CHECK_CHOICES& choices, CHECK_OUTPUT& out, CHECK_RESULT* result) {
  *result = CHECK_RESULT{};
  CHECKER c{choices, out, *result, choices.repair};
  int rc = 0;
  if (choices.positions) rc = CheckPositions(c);
  if (rc == 0 && (choices.totals || choices.stock_changes)) rc = CheckTransactions(c);
  if (rc == 0 && choices.stock) rc = CheckStock(c);
  if (result->stopped) out.Line("Test przerwany.");
  return rc == 0 && result->found == result->repaired ? 0 : -1;
}
