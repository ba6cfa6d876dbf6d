#include "reports/goods_reports.h"

#include <cstdio>

#include "business/document_kinds.h"
#include "business/options.h"
#include "business/position_values.h"
#include "business/prices.h"
#include "business/rights.h"
#include "business/vat.h"
#include "common/text.h"
#include "db/records.h"
#include "reports/report_dialog.h"
#include "reports/report_output.h"
#include "ui/message_box.h"

namespace {

constexpr DATE kEndOfTime = ~DATE(0);

AMOUNT Effect(const POZ_RECORD& p) { return p.RODZAJ[0] == 'D' ? p.ILOSC : -p.ILOSC; }

// The net flags of delivery transactions, read once each.
class NET_FLAGS {
 public:
  int Get(AMOUNT transaction, bool* net) {
    auto it = nets_.find(transaction.Raw());
    if (it == nets_.end()) {
      TRA_RECORD t{};
      if (ReadRecordById(kTableTransactions, transaction, &t) < 0) return -1;
      it = nets_.emplace(transaction.Raw(), t.ZAOKRNETTO != 0).first;
    }
    *net = it->second;
    return 0;
  }

 private:
  std::unordered_map<int64_t, bool> nets_;
};

// The stock of a goods on a day: its STAN with the later positions undone (a goods that keeps no
// stock has none).
int StockOn(const TOW_RECORD& g, DATE date, AMOUNT* stock) {
  *stock = IsStockKind(g.RODZAJ[0]) ? g.STAN : AMOUNT();
  if (!IsStockKind(g.RODZAJ[0]) || date == kEndOfTime) return 0;
  return WalkGoodsPositions(g.ID, REPORT_PERIOD{date + 1, kEndOfTime}, AMOUNT(), [&] {
    *stock = RoundTo(*stock - Effect(Poz), 4);
    return 0;
  });
}

// The stock of a goods on a day with its value at the prices of the deliveries it consists of.
struct STOCK_VALUE {
  AMOUNT stock, value;
  bool known = true;
};
int StockValueOn(const TOW_RECORD& g, DATE date, NET_FLAGS* nets, STOCK_VALUE* v) {
  *v = STOCK_VALUE{};
  if (!IsStockKind(g.RODZAJ[0])) return 0;
  RS_PURCHASES_OF_STOCK rows(g.ID, date);
  int rc;
  for (rc = rows.First(); rc == 0; rc = rows.Next()) {
    if (!rows.Found()) {
      v->known = false;
      continue;
    }
    const POZ_RECORD d = Poz;
    bool net;
    if (nets->Get(d.TRAID, &net) != 0) return -1;
    v->value += ComputePositionValues(rows.Quantity(), d.CENA, d.RABAT,
                                      static_cast<int>(d.VATID.Whole()), net)
                    .netValue;
  }
  if (rc < 0 || rows.Restore() != 0) return -1;
  v->stock = rows.Stock();
  return 0;
}

bool SignWanted(AMOUNT stock, bool positive, bool zero, bool negative) {
  return stock > AMOUNT() ? positive : stock < AMOUNT() ? negative : zero;
}

// ---- transactions by goods ----

struct TRANSACTION_INFO {
  bool net;
  char document[24];
  AMOUNT contractor;
};

struct GOODS_ROW {
  char lead[11] = "";
  char group[51] = "";
  char number[21] = "";
  char name[51] = "";
  char unit[6] = "";
  DATE date = 0;
  char document[24] = "";
  AMOUNT open, openValue;
  bool openKnown = true;
  AMOUNT inQ, inV, outQ, outV;
  bool outKnown = true;
  AMOUNT netPrice;
  char vat[3] = "";
  AMOUNT discount, grossPrice;
  DATE deliveryDate = 0;
  char deliveryDocument[24] = "";
  AMOUNT deliveryQ, deliveryPrice, purchase;
  bool purchaseKnown = true;
  AMOUNT profit, margin;
  AMOUNT close, closeValue;
  bool closeKnown = true;
  char contractor[51] = "";
};

enum Col {
  cLead,
  cGroup,
  cNumber,
  cName,
  cUnit,
  cDate,
  cDocument,
  cOpen,
  cOpenValue,
  cInQ,
  cInV,
  cOutQ,
  cOutV,
  cQuantity,
  cNetPrice,
  cVat,
  cDiscount,
  cGrossPrice,
  cDeliveryDate,
  cDeliveryDocument,
  cDeliveryQ,
  cDeliveryPrice,
  cPurchase,
  cProfit,
  cMargin,
  cClose,
  cCloseValue,
  cContractor,
  cCount
};

struct GOODS_SUMS {
  AMOUNT openValue, inQ, inV, outQ, outV, purchase, profit, margin, closeValue;
  bool unknown = false;
};

void AddSums(GOODS_SUMS* s, const GOODS_ROW& r) {
  s->openValue += r.openValue;
  s->inQ += r.inQ;
  s->inV += r.inV;
  s->outQ += r.outQ;
  s->outV += r.outV;
  s->purchase += r.purchase;
  s->profit += r.profit;
  s->closeValue += r.closeValue;
  s->unknown = s->unknown || !r.openKnown || !r.outKnown || !r.purchaseKnown || !r.closeKnown;
  s->margin = ClampMargin(MarginPercent(s->profit, s->purchase));
}

// The one column list of the report, each column shown as the variant asks.
void GoodsGrid(REPORT_GRID* g, const GOODS_REPORT& o, GOODS_ROW* cur, GOODS_SUMS* sum, bool block) {
  const bool details = block;
  const bool sums = !block;
  const bool income =
      o.kind == kGoodsIncome || o.kind == kGoodsBoth || o.kind == kGoodsBothPurchase;
  const bool expense = o.kind != kGoodsIncome;
  const bool profits = o.kind == kGoodsProfits;
  const bool deliveries = o.detail == kDetailDeliveries;
  const bool goods_rows = o.detail == kDetailGoods;
  const bool quantities = goods_rows || details;
  const bool stock = sums && !profits;
  const bool stock_values = stock && o.values;
  const bool grouped = o.detail == kDetailGroups || (goods_rows && o.scope == kScopeAllGroups);
  const char* in_head = o.kind == kGoodsBothPurchase ? "zakupu" : "przychodu";
  const char* out_head = profits                        ? "sprzedaży"_pl
                         : o.kind == kGoodsBothPurchase ? "rozch. (zak.)"
                                                        : "rozchodu";
  auto razem = [] { return new DKRPT::CELL_TEXT("Razem:"); };
  g->Column(10, {""}, new DKRPT::CELL_TEXT(cur->lead), {razem()}, o.detail == kDetailTotal);
  g->Column(30, {"Grupa towarów"_pl}, new DKRPT::CELL_TEXT(cur->group),
            {o.detail == kDetailGroups ? razem() : nullptr}, grouped);
  g->Column(13, {"Nr"}, new DKRPT::CELL_TEXT(cur->number),
            {goods_rows && !grouped ? razem() : nullptr}, goods_rows);
  g->Column(30, {"Nazwa"}, new DKRPT::CELL_TEXT(cur->name), {}, goods_rows);
  g->Column(5, {" J.m."}, new DKRPT::CELL_TEXT(cur->unit), {}, goods_rows);
  g->Column(10, {"Data"}, new DKRPT::CELL_DATE(&cur->date), {details ? razem() : nullptr}, details);
  g->Column(14, {"Dokument"}, new DKRPT::CELL_TEXT(cur->document), {}, details);
  g->Column(12, {"Stan", "początkowy"_pl}, QuantityCell(&cur->open), {}, stock && goods_rows);
  g->Column(13, {"Wartość"_pl, "początkowa"_pl}, new CELL_MARKED(&cur->openValue, &cur->openKnown),
            {new DKRPT::CELL_CURR(&sum->openValue)}, stock_values);
  g->Column(12, {"Ilość"_pl, in_head}, QuantityCell(&cur->inQ, details),
            {details ? QuantityCell(&sum->inQ) : nullptr}, income && quantities && !deliveries);
  g->Column(13, {"Wartość"_pl, in_head}, new DKRPT::CELL_NUM(&cur->inV, 2, nullptr, details),
            {new DKRPT::CELL_CURR(&sum->inV)}, income && !deliveries);
  g->Column(12, {"Ilość"_pl, out_head}, QuantityCell(&cur->outQ, details),
            {details ? QuantityCell(&sum->outQ) : nullptr}, expense && quantities && !deliveries);
  g->Column(13, {"Wartość"_pl, out_head}, new CELL_MARKED(&cur->outV, &cur->outKnown, details),
            {new DKRPT::CELL_CURR(&sum->outV)}, expense);
  g->Column(12, {"Ilość"_pl}, QuantityCell(&cur->deliveryQ), {}, false);
  g->Column(12, {"Cena", "netto"}, new DKRPT::CELL_CURR(&cur->netPrice), {},
            details && !deliveries && !profits);
  g->Column(3, {"VAT"}, new DKRPT::CELL_TEXT(cur->vat), {}, details && !deliveries && !profits);
  g->Column(6, {"Rabat"}, new DKRPT::CELL_NUM(&cur->discount, 2, nullptr, true), {},
            details && !deliveries && !profits);
  g->Column(12, {"Cena", "brutto"}, new DKRPT::CELL_CURR(&cur->grossPrice), {},
            details && !deliveries && !profits);
  g->Column(10, {"Data zak."}, new DKRPT::CELL_DATE(&cur->deliveryDate), {}, deliveries);
  g->Column(13, {"Dokument zak."}, new DKRPT::CELL_TEXT(cur->deliveryDocument), {}, deliveries);
  g->Column(12, {"Ilość"_pl}, QuantityCell(&cur->deliveryQ), {}, deliveries);
  g->Column(12, {"Cena zak."}, new DKRPT::CELL_CURR(&cur->deliveryPrice), {}, deliveries);
  g->Column(13, {"Wartość zak."_pl}, new CELL_MARKED(&cur->purchase, &cur->purchaseKnown),
            {new DKRPT::CELL_CURR(&sum->purchase)}, profits || deliveries);
  g->Column(13, {"Zysk"}, new DKRPT::CELL_NUM(&cur->profit, 2, &cur->purchaseKnown),
            {new DKRPT::CELL_CURR(&sum->profit)}, profits || deliveries);
  g->Column(7, {"Marża"_pl}, new DKRPT::CELL_NUM(&cur->margin, 2, &cur->purchaseKnown),
            {new DKRPT::CELL_CURR(&sum->margin)}, profits || deliveries);
  g->Column(12, {"Stan", "końcowy"_pl}, QuantityCell(&cur->close), {}, stock && goods_rows);
  g->Column(13, {"Wartość"_pl, "końcowa"_pl}, new CELL_MARKED(&cur->closeValue, &cur->closeKnown),
            {new DKRPT::CELL_CURR(&sum->closeValue)}, stock_values);
  g->Column(30, {"Kontrahent"}, new DKRPT::CELL_TEXT(cur->contractor), {}, details);
}

class GOODS_TRANSACTIONS {
 public:
  GOODS_TRANSACTIONS(const GOODS_REPORT& o, const DOCUMENT_FILTER& filter)
      : o_(o), filter_(filter), prices_(true) {}
  int Run();

 private:
  int Transactions();
  int Goods();
  int Position(GOODS_ROW* r, const TRANSACTION_INFO& t, std::vector<GOODS_ROW>* details);
  int Deliveries(const TRANSACTION_INFO& t, GOODS_ROW* r, std::vector<GOODS_ROW>* details);
  int PrintBlock(const TOW_RECORD& g, const GOODS_ROW& r, const std::vector<GOODS_ROW>& details);
  int PrintSums();
  const char* Title() const;

  const GOODS_REPORT& o_;
  const DOCUMENT_FILTER& filter_;
  std::unordered_map<int64_t, TRANSACTION_INFO> transactions_;
  CONTRACTOR_CACHE contractors_{kTableContractors};
  GROUP_CACHE groups_{kTableGroups};
  NET_FLAGS nets_;
  PURCHASE_PRICES prices_;
  std::unordered_map<int64_t, STOCK_MARK> marks_;
  std::vector<GOODS_ROW> rows_;
};

const char* GOODS_TRANSACTIONS::Title() const {
  static const char* const kTitles[5] = {
      "PRZYCHODY TOWARÓW"_pl, "ROZCHODY TOWARÓW"_pl, "PRZYCHODY I ROZCHODY TOWARÓW"_pl,
      "PRZYCHODY I ROZCHODY TOWARÓW W CENACH ZAKUPU"_pl, "ZYSKI ZE SPRZEDAŻY TOWARÓW"_pl};
  return kTitles[o_.kind];
}

int GOODS_TRANSACTIONS::Transactions() {
  return WalkTransactions(o_.period, o_.contractor, [&] {
    const bool income = Tra.RODZAJ[0] == 'D';
    if (income && (o_.kind == kGoodsExpense || o_.kind == kGoodsProfits)) return 0;
    if (!income && o_.kind == kGoodsIncome) return 0;
    if (!FilterAccepts(filter_, Tra)) return 0;
    TRANSACTION_INFO t{};
    t.net = Tra.ZAOKRNETTO != 0;
    // Goods move on warehouse documents: those first.
    CopyText(t.document, DocumentKindByCode(Tra.DOKMAGTYP) != 0 ? WarehouseDocumentText(Tra)
                                                                : TransactionDocumentText(Tra));
    t.contractor = Tra.KONID;
    transactions_.emplace(Tra.ID.Raw(), t);
    return 0;
  });
}

// The deliveries one sale (Poz) took, each a row of the details.
int GOODS_TRANSACTIONS::Deliveries(const TRANSACTION_INFO& t, GOODS_ROW* r,
                                   std::vector<GOODS_ROW>* details) {
  const POZ_RECORD sale = Poz;
  const int vat = static_cast<int>(sale.VATID.Whole());
  RS_PURCHASES_OF_SALE rows(&marks_[sale.TOWID.Raw()]);
  int rc;
  for (rc = rows.First(); rc == 0; rc = rows.Next()) {
    GOODS_ROW d;
    d.date = sale.DATATRA;
    CopyText(d.document, t.document);
    d.deliveryQ = rows.Quantity();
    d.outV = ComputePositionValues(d.deliveryQ, sale.CENA, sale.RABAT, vat, t.net).netValue;
    if (rows.Found()) {
      const POZ_RECORD delivery = Poz;
      TRA_RECORD dt{};
      if (ReadRecordById(kTableTransactions, delivery.TRAID, &dt) < 0) return -1;
      const POSITION_VALUES v =
          ComputePositionValues(d.deliveryQ, delivery.CENA, delivery.RABAT,
                                static_cast<int>(delivery.VATID.Whole()), dt.ZAOKRNETTO != 0);
      d.deliveryDate = delivery.DATATRA;
      CopyText(d.deliveryDocument, TransactionDocumentText(dt));
      d.deliveryPrice = v.unitNetDisc;
      d.purchase = v.netValue;
      d.profit = d.outV - d.purchase;
      d.margin = ClampMargin(MarginPercent(d.profit, d.purchase));
    } else {
      d.purchaseKnown = false;
    }
    const KON_RECORD* k;
    if (contractors_.Get(t.contractor, &k) < 0) return -1;
    CopyText(d.contractor, k->NAZWA);
    r->outQ += d.deliveryQ;
    r->outV += d.outV;
    r->purchase += d.purchase;
    r->purchaseKnown = r->purchaseKnown && d.purchaseKnown;
    details->push_back(d);
  }
  if (rows.Restore() != 0) return -1;
  return rc < 0 ? -1 : 0;
}

int GOODS_TRANSACTIONS::Position(GOODS_ROW* r, const TRANSACTION_INFO& t,
                                 std::vector<GOODS_ROW>* details) {
  const POZ_RECORD p = Poz;
  const bool income = p.RODZAJ[0] == 'D';
  if (o_.detail == kDetailDeliveries) return income ? 0 : Deliveries(t, r, details);
  const int vat = static_cast<int>(p.VATID.Whole());
  const POSITION_VALUES v = ComputePositionValues(p.ILOSC, p.CENA, p.RABAT, vat, t.net);
  GOODS_ROW d;
  if (income) {
    d.inQ = p.ILOSC;
    d.inV = v.netValue;
  } else {
    d.outQ = p.ILOSC;
    d.outV = v.netValue;
    if (o_.kind == kGoodsBothPurchase || o_.kind == kGoodsProfits) {
      PURCHASE_VALUE pv;
      if (prices_.Value(&pv) != 0) return -1;
      d.purchase = pv.net;
      d.purchaseKnown = pv.known;
      if (o_.kind == kGoodsBothPurchase) {
        d.outV = pv.net;
        d.outKnown = pv.known;
      }
      d.profit = d.outV - d.purchase;
      d.margin = ClampMargin(MarginPercent(d.profit, d.purchase));
    }
  }
  r->inQ += d.inQ;
  r->inV += d.inV;
  r->outQ += d.outQ;
  r->outV += d.outV;
  r->outKnown = r->outKnown && d.outKnown;
  r->purchase += d.purchase;
  r->purchaseKnown = r->purchaseKnown && d.purchaseKnown;
  if (o_.detail != kDetailPositions) return 0;
  d.date = p.DATATRA;
  CopyText(d.document, t.document);
  d.netPrice = v.unitNet;
  d.grossPrice = v.unitGross;
  CopyText(d.vat, VatLabel(vat));
  d.discount = p.RABAT;
  const KON_RECORD* k;
  if (contractors_.Get(t.contractor, &k) < 0) return -1;
  CopyText(d.contractor, k->NAZWA);
  details->push_back(d);
  return 0;
}

int GOODS_TRANSACTIONS::PrintBlock(const TOW_RECORD& g, const GOODS_ROW& r,
                                   const std::vector<GOODS_ROW>& details) {
  Put(" Towar: %s\n    Nr: %s\n  J.m.: %-5s\n", g.NAZWA, g.NR, g.JMIARY);
  if (o_.values) {
    Put("%s", "   Stan początkowy: "_pl);
    PutQuantity(r.open, 0);
    Put("%s", "\nWartość początkowa: "_pl);
    PutAmountMarked(r.openValue, r.openKnown, 0);
    Put("%s", " zł\n\n"_pl);
  }
  if (details.empty()) {
    Put("%s", " Brak obrotów.\n\n"_pl);
  } else {
    GOODS_ROW cur;
    GOODS_SUMS sum;
    for (const GOODS_ROW& d : details) AddSums(&sum, d);
    REPORT_GRID grid;
    GoodsGrid(&grid, o_, &cur, &sum, true);
    ROWS_SOURCE<GOODS_ROW> source(details, &cur);
    if (grid.Print(&source) != 0) return -1;
    if (sum.unknown) PutUnknownValuesNote();
    Put("\n");
  }
  if (o_.values) {
    Put("%s", "      Stan końcowy: "_pl);
    PutQuantity(r.close, 0);
    Put("%s", "\n   Wartość końcowa: "_pl);
    PutAmountMarked(r.closeValue, r.closeKnown, 0);
    Put("%s", " zł\n\n"_pl);
  }
  return 0;
}

int GOODS_TRANSACTIONS::Goods() {
  const bool block = o_.detail == kDetailPositions || o_.detail == kDetailDeliveries;
  const bool grouped = o_.scope == kScopeAllGroups || o_.detail == kDetailGroups;
  AMOUNT last_group = AMOUNT::FromInt(-1);
  auto each = [&]() -> int {
    const TOW_RECORD g = Tow;
    GOODS_ROW r;
    CopyText(r.number, g.NR);
    CopyText(r.name, g.NAZWA);
    CopyText(r.unit, g.JMIARY);
    const GTO_RECORD* grp;
    if (groups_.Get(g.GTOID, &grp) < 0) return -1;
    CopyText(r.group, grp->NAZWA);
    if (o_.values) {
      STOCK_VALUE open, close;
      if (StockValueOn(g, o_.period.first - 1, &nets_, &open) != 0 ||
          StockValueOn(g, o_.period.last, &nets_, &close) != 0)
        return -1;
      r.open = open.stock;
      r.openValue = open.value;
      r.openKnown = open.known;
      r.close = close.stock;
      r.closeValue = close.value;
      r.closeKnown = close.known;
    }
    std::vector<GOODS_ROW> details;
    bool moved = false;
    const int rc = WalkGoodsPositions(g.ID, o_.period, o_.contractor, [&] {
      const auto t = transactions_.find(Poz.TRAID.Raw());
      if (t == transactions_.end()) return 0;
      moved = true;
      return Position(&r, t->second, &details);
    });
    if (rc != 0) return rc;
    r.profit = r.outV - r.purchase;
    r.margin = ClampMargin(MarginPercent(r.profit, r.purchase));
    const bool stocked = !r.open.IsZero() || !r.close.IsZero();
    if (!moved && !stocked && o_.scope != kScopeGoods) return 0;
    if (block) {
      if (grouped && g.GTOID != last_group) {
        last_group = g.GTOID;
        PutGroupHeader(grp->NAZWA);
        Put("\n");
      }
      return PrintBlock(g, r, details);
    }
    if (o_.detail == kDetailGroups && !rows_.empty() && g.GTOID == last_group) {
      GOODS_ROW& s = rows_.back();
      s.openValue += r.openValue;
      s.openKnown = s.openKnown && r.openKnown;
      s.inV += r.inV;
      s.outV += r.outV;
      s.outKnown = s.outKnown && r.outKnown;
      s.purchase += r.purchase;
      s.purchaseKnown = s.purchaseKnown && r.purchaseKnown;
      s.profit = s.outV - s.purchase;
      s.margin = ClampMargin(MarginPercent(s.profit, s.purchase));
      s.closeValue += r.closeValue;
      s.closeKnown = s.closeKnown && r.closeKnown;
      return 0;
    }
    last_group = g.GTOID;
    rows_.push_back(r);
    return 0;
  };
  if (o_.scope == kScopeGoods) {
    REPORT_TABLE_KEEP keep(kTableGoods);
    const int rc = FindById(kTableGoods, o_.goods);
    if (rc != 0) return rc < 0 ? -1 : 0;
    return each();
  }
  return WalkGoods(o_.order, grouped, o_.scope == kScopeGroup ? o_.group : AMOUNT(), each);
}

int GOODS_TRANSACTIONS::PrintSums() {
  if (o_.detail == kDetailTotal) {
    GOODS_ROW total;
    CopyText(total.lead, "Razem");
    for (const GOODS_ROW& r : rows_) {
      total.openValue += r.openValue;
      total.openKnown = total.openKnown && r.openKnown;
      total.inV += r.inV;
      total.outV += r.outV;
      total.outKnown = total.outKnown && r.outKnown;
      total.purchase += r.purchase;
      total.purchaseKnown = total.purchaseKnown && r.purchaseKnown;
      total.closeValue += r.closeValue;
      total.closeKnown = total.closeKnown && r.closeKnown;
    }
    total.profit = total.outV - total.purchase;
    total.margin = ClampMargin(MarginPercent(total.profit, total.purchase));
    rows_.assign(1, total);
  }
  GOODS_ROW cur;
  GOODS_SUMS sum;
  for (const GOODS_ROW& r : rows_) AddSums(&sum, r);
  REPORT_GRID grid;
  GoodsGrid(&grid, o_, &cur, &sum, false);
  ROWS_SOURCE<GOODS_ROW> source(rows_, &cur);
  if (grid.Print(&source) != 0) return -1;
  if (sum.unknown) PutUnknownValuesNote();
  return 0;
}

int GOODS_TRANSACTIONS::Run() {
  int rc = Transactions();
  if (rc != 0) return rc;
  const bool block = o_.detail == kDetailPositions || o_.detail == kDetailDeliveries;
  // A goods block is written as the goods are walked, so the heading goes first.
  PutReportTitle(Title(), 100);
  if (PutSelectionHeader(o_.period, o_.contractor, &filter_) != 0) return -1;
  if (o_.scope == kScopeGroup) {
    const GTO_RECORD* grp;
    if (groups_.Get(o_.group, &grp) < 0) return -1;
    PutGroupHeader(grp->NAZWA);
    Put("\n");
  }
  rc = Goods();
  if (rc != 0 || block) return rc;
  return PrintSums();
}

// ---- stock ----

struct STOCK_ROW {
  AMOUNT lp;
  char number[21] = "";
  char name[51] = "";
  char unit[6] = "";
  AMOUNT stock, minimum, missing, price, value;
  bool known = true;
};

int PrintStockTable(const STOCK_REPORT& o, const std::vector<STOCK_ROW>& rows) {
  STOCK_ROW cur, sum;
  for (const STOCK_ROW& r : rows) {
    sum.value += r.value;
    sum.known = sum.known && r.known;
  }
  const bool priced = o.kind == kStockSalePrices || o.kind == kStockPurchasePrices;
  const bool shortages = o.kind == kStockShortages;
  const bool sheet = o.kind == kStockSheet;
  REPORT_GRID g;
  g.Column(5, {"Lp"}, new DKRPT::CELL_NUM(&cur.lp, 0));
  g.Column(13, {shortages ? "Nr towaru" : "Nr"}, new DKRPT::CELL_TEXT(cur.number),
           {priced ? new DKRPT::CELL_TEXT("Razem:") : nullptr});
  g.Column(35, {shortages ? "Nazwa towaru" : "Nazwa"}, new DKRPT::CELL_TEXT(cur.name));
  g.Column(12, {"Stan"}, QuantityCell(&cur.stock), {}, !sheet);
  g.Column(12, {" Stan min."}, QuantityCell(&cur.minimum), {}, shortages);
  g.Column(12, {"Brak"}, QuantityCell(&cur.missing), {}, shortages);
  g.Column(5, {" J.m."}, new DKRPT::CELL_TEXT(cur.unit));
  g.Column(12, {"Cena"}, new DKRPT::CELL_CURR(&cur.price), {}, o.kind == kStockSalePrices || sheet);
  g.Column(12, {"Ilość"_pl}, new DKRPT::CELL_TEXT(""), {}, sheet);
  g.Column(13, {"Wartość"_pl},
           sheet ? static_cast<RPTTABLE::CELL*>(new DKRPT::CELL_TEXT(""))
                 : new CELL_MARKED(&cur.value, &cur.known),
           {priced ? new DKRPT::CELL_CURR(&sum.value) : nullptr}, priced || sheet);
  ROWS_SOURCE<STOCK_ROW> source(rows, &cur);
  if (g.Print(&source) != 0) return -1;
  if (!sum.known) PutUnknownValuesNote();
  return 0;
}

// ---- dialogs ----

struct GOODS_STATE {
  GOODS_REPORT o;
  int who = 0;
};
GOODS_STATE g_goods;
STOCK_REPORT g_stock;
OFFER_REPORT g_offer;

}  // namespace

int GoodsTransactionsReport(const GOODS_REPORT& o, const DOCUMENT_FILTER& filter) {
  GOODS_TRANSACTIONS report(o, filter);
  return report.Run();
}

int StockReport(const STOCK_REPORT& o) {
  static const char* const kTitles[5] = {
      "STAN MAGAZYNU W CENACH SPRZEDAŻY"_pl, "STAN MAGAZYNU W CENACH ZAKUPU",
      "STAN MAGAZYNU - SPIS Z NATURY", "STAN TOWARÓW U KONTRAHENTA"_pl, "BRAKI W MAGAZYNIE"};
  PutReportTitle(kTitles[o.kind], 90);
  PutDateHeader(o.date);
  if (o.kind == kStockAtContractor) {
    KON_RECORD k{};
    if (ReadRecordById(kTableContractors, o.contractor, &k) < 0) return -1;
    PutContractorHeader(k);
    Put("\n");
  }
  NET_FLAGS nets;
  GROUP_CACHE groups(kTableGroups);
  std::vector<STOCK_ROW> rows;
  AMOUNT group = AMOUNT::FromInt(-1);
  AMOUNT total;
  bool all_known = true;
  auto flush = [&]() -> int {
    if (o.scope != kScopeAllGroups || group < AMOUNT()) return 0;
    for (const STOCK_ROW& r : rows) {
      total += r.value;
      all_known = all_known && r.known;
    }
    const int rc = PrintStockTable(o, rows);
    rows.clear();
    Put("\n");
    return rc;
  };
  int rc = WalkGoods(o.order, o.scope == kScopeAllGroups,
                     o.scope == kScopeGroup ? o.group : AMOUNT(), [&]() -> int {
                       const TOW_RECORD g = Tow;
                       if (!IsStockKind(g.RODZAJ[0])) return 0;
                       STOCK_ROW r;
                       if (o.kind == kStockPurchasePrices) {
                         STOCK_VALUE v;
                         if (StockValueOn(g, o.date, &nets, &v) != 0) return -1;
                         r.stock = v.stock;
                         r.value = v.value;
                         r.known = v.known;
                       } else if (o.kind == kStockAtContractor) {
                         const int w =
                             WalkGoodsPositions(g.ID, REPORT_PERIOD{0, o.date}, o.contractor, [&] {
                               r.stock = RoundTo(r.stock - Effect(Poz), 4);
                               return 0;
                             });
                         if (w != 0) return w;
                       } else if (StockOn(g, o.date, &r.stock) != 0) {
                         return -1;
                       }
                       if (!SignWanted(r.stock, o.positive, o.zero, o.negative)) return 0;
                       if (o.kind == kStockShortages) {
                         if (r.stock >= g.STANMIN) return 0;
                         r.minimum = g.STANMIN;
                         r.missing = g.STANMIN - r.stock;
                       }
                       r.price = g.CENA;
                       if (o.kind == kStockSalePrices) r.value = RoundTo(r.stock * g.CENA, 2);
                       CopyText(r.number, g.NR);
                       CopyText(r.name, g.NAZWA);
                       CopyText(r.unit, g.JMIARY);
                       if (o.scope == kScopeAllGroups && g.GTOID != group) {
                         if (flush() != 0) return -1;
                         group = g.GTOID;
                         const GTO_RECORD* grp;
                         if (groups.Get(g.GTOID, &grp) < 0) return -1;
                         PutGroupHeader(grp->NAZWA);
                         Put("\n");
                       }
                       r.lp = AMOUNT::FromInt(static_cast<int64_t>(rows.size()) + 1);
                       rows.push_back(r);
                       return 0;
                     });
  if (rc != 0) return rc;
  if (o.scope != kScopeAllGroups) return PrintStockTable(o, rows);
  if (flush() != 0) return -1;
  if (o.kind == kStockSalePrices || o.kind == kStockPurchasePrices) {
    Put(" Razem wszystkie grupy: %s zł\n"_pl, FitAmountMarked(total, all_known, 0).c_str());
    if (!all_known) PutUnknownValuesNote();
  }
  return 0;
}

int OfferReport(const OFFER_REPORT& o) {
  PutHeaderFooterLines(7, 'H');
  struct ROW {
    char number[21] = "";
    char name[51] = "";
    AMOUNT packaging;
    char unit[6] = "";
    AMOUNT net;
    char vat[6] = "";
    AMOUNT gross;
  } cur;
  std::vector<ROW> rows;
  GROUP_CACHE groups(kTableGroups);
  auto table = [&]() -> int {
    REPORT_GRID g;
    g.Column(13, {"Nr"}, new DKRPT::CELL_TEXT(cur.number));
    g.Column(35, {"Nazwa"}, new DKRPT::CELL_TEXT(cur.name));
    g.Column(12, {"Opakowanie", "zbiorcze"}, QuantityCell(&cur.packaging));
    g.Column(5, {" J.m."}, new DKRPT::CELL_TEXT(cur.unit));
    g.Column(12, {"Cena", "netto"}, new DKRPT::CELL_CURR(&cur.net), {}, o.netPrices);
    g.Column(5, {"VAT"}, new DKRPT::CELL_TEXT(cur.vat), {}, o.netPrices);
    g.Column(12, {"Cena", "brutto"}, new DKRPT::CELL_CURR(&cur.gross));
    ROWS_SOURCE<ROW> source(rows, &cur);
    const int rc = g.Print(&source);
    rows.clear();
    Put("\n");
    return rc;
  };
  PutReportTitle("OFERTA", 80);
  PutDateHeader(o.date);
  AMOUNT group = AMOUNT::FromInt(-1);
  bool group_offered = true;
  int rc = WalkGoods(
      o.order, o.scope == kScopeAllGroups, o.scope == kScopeGroup ? o.group : AMOUNT(),
      [&]() -> int {
        const TOW_RECORD g = Tow;
        if (o.scope == kScopeAllGroups && g.GTOID != group) {
          if (!rows.empty() && table() != 0) return -1;
          group = g.GTOID;
          const GTO_RECORD* grp;
          if (groups.Get(g.GTOID, &grp) < 0) return -1;
          group_offered = grp->WOFERCIE != 0;
          if (group_offered) {
            PutGroupHeader(grp->NAZWA);
            Put("\n");
          }
        }
        if (!g.WOFERCIE || !group_offered || !SignWanted(g.STAN, o.positive, o.zero, o.negative))
          return 0;
        ROW r;
        CopyText(r.number, g.NR);
        CopyText(r.name, g.NAZWA);
        r.packaging = g.OPAKOWANIE;
        CopyText(r.unit, g.JMIARY);
        const int vat = static_cast<int>(g.VATID.Whole());
        r.gross = g.CENA;
        r.net = NetFromGross(g.CENA, vat);
        std::snprintf(r.vat, sizeof r.vat, "%s %%", VatLabel(vat));
        rows.push_back(r);
        return 0;
      });
  if (rc != 0) return rc;
  if ((o.scope != kScopeAllGroups || !rows.empty()) && table() != 0) return -1;
  PutHeaderFooterLines(7, 'F');
  return 0;
}

// ---- commands ----

int goods_transactions_command() {
  if (ReportRights(kRightReports) != 0) return -1;
  GOODS_STATE& s = g_goods;
  DefaultPeriod(&s.o.period);
  REPORT_DIALOG d(69, 21, "TRANSAKCJE WG TOWARÓW"_pl);
  d.Period(3, 1, &s.o.period);
  d.Label(3, 3, "Rodzaj:");
  static const char* const kKinds[5] = {"&Przychody", "&Rozchody", "Przycho&dy i rozchody",
                                        "Przychody &i rozchody w cenach zakupu", "&Zyski"};
  const int kind = d.Radio(3, 4, kKinds[0], s.o.kind == 0);
  for (int i = 1; i < 5; ++i) d.Radio(3, 4 + i, kKinds[i], s.o.kind == i);
  d.Label(3, 10, "Zakres:");
  static const char* const kDetails[5] = {
      "&Sumy transakcji ogólne"_pl, "Sum&y transakcji wg grup towarów"_pl,
      "Sumy transakcji wg &towarów"_pl, "Sz&czegóły transakcji"_pl, "Szczegóły cen z&akupu"_pl};
  const int detail = d.Radio(3, 11, kDetails[0], s.o.detail == 0);
  for (int i = 1; i < 5; ++i) d.Radio(3, 11 + i, kDetails[i], s.o.detail == i);
  d.Label(44, 3, "Towary:");
  static const char* const kScopes[4] = {"&Wszystkie towary", "Wszystkie gr&upy towarów"_pl,
                                         "Jedna &grupa towarów"_pl, "&Jeden towar"};
  const int scope = d.Radio(44, 4, kScopes[0], s.o.scope == 0);
  for (int i = 1; i < 4; ++i) d.Radio(44, 4 + i, kScopes[i], s.o.scope == i);
  d.Label(44, 9, "Kontrahenci:");
  const int who = d.Radio(44, 10, "Wszyscy kontra&henci", s.who == 0);
  d.Radio(44, 11, "Jeden &kontrahent", s.who == 1);
  d.Label(44, 13, "Kolejność:"_pl);
  const int order = d.Radio(44, 14, "Wg &nazwy towaru", s.o.order == 0);
  d.Radio(44, 15, "Wg nu&meru towaru", s.o.order == 1);
  d.Filter(3, 17);
  d.Ok(31, 19);
  auto check = [&] {
    const int sc = d.Chosen(scope);
    if (sc == kScopeGroup && ChooseGroup(&s.o.group) != 0) return scope + sc;
    if (sc == kScopeGoods && ChooseGoods(&s.o.goods) != 0) return scope + sc;
    return ListCheck(d.Chosen(who) != 0, &s.o.contractor, who + 1, ChooseContractor);
  };
  if (d.Run(check) != 0) return -1;
  s.o.kind = d.Chosen(kind);
  s.o.detail = d.Chosen(detail);
  s.o.scope = d.Chosen(scope);
  s.who = d.Chosen(who);
  s.o.order = d.Chosen(order);
  if (s.o.kind == kGoodsProfits && ReportRights(kRightProfitReports) != 0) return -1;
  if (s.o.kind != kGoodsExpense && s.o.kind != kGoodsProfits &&
      ReportRights(kRightPurchaseTransactions) != 0)
    return -1;
  // Stock values show purchase prices: only to whom may see them.
  s.o.values = CheckRights(kRightPurchaseTransactions, false) == 0;
  const GOODS_REPORT o = s.o;
  return RunReport([&] { return GoodsTransactionsReport(o, DocumentFilter()); });
}

int stock_command() {
  if (ReportRights(kRightReports) != 0) return -1;
  STOCK_REPORT& s = g_stock;
  if (s.date == 0) s.date = DateToday();
  REPORT_DIALOG d(35, 20, "STAN MAGAZYNU");
  static const char* const kKinds[5] = {"W cenach &sprzedaży"_pl, "W cenach &zakupu",
                                        "Spis z na&tury", "&Kontrahenta", "&Braki"};
  const int kind = d.Radio(3, 1, kKinds[0], s.kind == 0);
  for (int i = 1; i < 5; ++i) d.Radio(3, 1 + i, kKinds[i], s.kind == i);
  d.EndGroup();
  const int scope = d.Radio(3, 7, "&Wszystkie towary", s.scope == 0);
  d.Radio(3, 8, "Wszystkie g&rupy towarów"_pl, s.scope == 1);
  d.Radio(3, 9, "Jedna &grupa towarów"_pl, s.scope == 2);
  d.EndGroup();
  const int order = d.Radio(3, 11, "Wg &nazwy towaru", s.order == 0);
  d.Radio(3, 12, "Wg nu&meru towaru", s.order == 1);
  const int positive = d.Check(3, 14, "Stany dod&atnie", s.positive);
  const int zero = d.Check(3, 15, "Stany z&erowe", s.zero);
  const int negative = d.Check(3, 16, "Stany &ujemne", s.negative);
  d.Label(20, 14, "&Data:");
  const int date = d.Date(20, 15, &s.date);
  d.Ok(14, 18);
  auto check = [&] {
    if (s.date == 0) {
      message("%s", "Podaj datę stanu magazynu."_pl);
      return date;
    }
    if (d.Chosen(scope) == kScopeGroup && ChooseGroup(&s.group) != 0) return scope + 2;
    if (d.Chosen(kind) == kStockAtContractor && ChooseContractor(&s.contractor) != 0)
      return kind + kStockAtContractor;
    return -1;
  };
  if (d.Run(check) != 0) return -1;
  s.kind = d.Chosen(kind);
  s.scope = d.Chosen(scope);
  s.order = d.Chosen(order);
  s.positive = d.Checked(positive);
  s.zero = d.Checked(zero);
  s.negative = d.Checked(negative);
  if (s.kind == kStockPurchasePrices && ReportRights(kRightPurchaseTransactions) != 0) return -1;
  const STOCK_REPORT o = s;
  return RunReport([&] { return StockReport(o); });
}

int offer_command() {
  if (ReportRights(kRightReports) != 0) return -1;
  OFFER_REPORT& s = g_offer;
  REPORT_DIALOG d(31, 16, "OFERTA");
  // The order of the dialog: all goods, one group, all groups.
  const int scope = d.Radio(3, 1, "&Wszystkie towary", s.scope == kScopeAllGoods);
  d.Radio(3, 2, "&Grupa towarów"_pl, s.scope == kScopeGroup);
  d.Radio(3, 3, "Wszystkie g&rupy", s.scope == kScopeAllGroups);
  d.EndGroup();
  const int order = d.Radio(3, 5, "Wg &nazwy towaru", s.order == 0);
  d.Radio(3, 6, "Wg nu&meru towaru", s.order == 1);
  const int positive = d.Check(3, 8, "Stany dod&atnie", s.positive);
  const int zero = d.Check(3, 9, "Stany z&erowe", s.zero);
  const int negative = d.Check(3, 10, "Stany &ujemne", s.negative);
  const int net = d.Check(3, 12, "&Ceny netto i brutto", s.netPrices);
  d.Ok(12, 14);
  auto check = [&] { return d.Chosen(scope) == 1 && ChooseGroup(&s.group) != 0 ? scope + 1 : -1; };
  if (d.Run(check) != 0) return -1;
  static const int kScopes[3] = {kScopeAllGoods, kScopeGroup, kScopeAllGroups};
  s.scope = kScopes[d.Chosen(scope)];
  s.order = d.Chosen(order);
  s.positive = d.Checked(positive);
  s.zero = d.Checked(zero);
  s.negative = d.Checked(negative);
  s.netPrices = d.Checked(net);
  OFFER_REPORT o = s;
  o.date = DateToday();
  return RunReport([&] { return OfferReport(o); });
}

void ResetGoodsReports() {
  g_goods = GOODS_STATE{};
  g_stock = STOCK_REPORT{};
  g_offer = OFFER_REPORT{};
}
