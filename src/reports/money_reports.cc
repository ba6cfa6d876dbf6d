#include "reports/money_reports.h"

#include <cstdio>

#include "business/document_kinds.h"
#include "business/options.h"
#include "business/position_values.h"
#include "business/prices.h"
#include "business/rights.h"
#include "common/text.h"
#include "reports/report_dialog.h"
#include "reports/report_output.h"

namespace {

const char* const kFormNames[kCashFormCount] = {"gotówka"_pl, "karta", "przelew"};

// "%-2s %s": the sales document, or the warehouse document of a transaction without one.
std::string DocumentNumber(const TRA_RECORD& t) {
  char buf[32];
  if (DocumentKindByCode(t.DOKTRATYP) != 0)
    std::snprintf(buf, sizeof buf, "%-2s %s", t.DOKTRATYP, t.DOKTRANR);
  else if (DocumentKindByCode(t.DOKMAGTYP) != 0)
    std::snprintf(buf, sizeof buf, "%-2s %s", t.DOKMAGTYP, t.DOKMAGNR);
  else buf[0] = 0;
  return buf;
}

// Retail sales: no sales document, a receipt or its correction.
bool IsRetail(const TRA_RECORD& t) {
  const int k = DocumentKindByCode(t.DOKTRATYP);
  return k == 0 || k == 10 || k == 13;
}

void PutSignatures() {
  Put("\n\n\n%10s%-30s%s\n", "", "....................", "....................");
  Put("%13s%-30s%s\n", "", "Sporządził"_pl, "Sprawdził"_pl);
}

// ---- profits ----

struct PROFIT_ROW {
  AMOUNT lp;
  DATE date = 0;
  char warehouse[24] = "";
  char sales[24] = "";
  char number[21] = "";
  char name[51] = "";
  char unit[6] = "";
  AMOUNT quantity;
  AMOUNT sale, purchase, profit, margin;
  bool known = true;
  char deliveries[24] = "";
  char contractor[51] = "";
};

struct PROFIT_SUMS {
  AMOUNT sale, purchase, profit, margin;
  bool any_unknown = false;
};

void Finish(PROFIT_ROW* r, PROFIT_SUMS* sums) {
  r->profit = r->sale - r->purchase;
  r->margin = ClampMargin(MarginPercent(r->profit, r->purchase));
  if (!r->known) {
    sums->any_unknown = true;
    return;
  }
  sums->sale += r->sale;
  sums->purchase += r->purchase;
  sums->profit += r->profit;
}

// The value columns of both profit reports; the unknown ones show "?".
void ProfitColumns(REPORT_GRID* g, PROFIT_ROW* cur, PROFIT_SUMS* sums) {
  g->Column(13, {"Wartość"_pl, "sprzedaży"_pl}, new DKRPT::CELL_CURR(&cur->sale),
            {new DKRPT::CELL_CURR(&sums->sale)});
  g->Column(13, {"Wartość"_pl, "zakupu"}, new CELL_MARKED(&cur->purchase, &cur->known),
            {new DKRPT::CELL_CURR(&sums->purchase)});
  g->Column(13, {"Zysk"}, new DKRPT::CELL_NUM(&cur->profit, 2, &cur->known),
            {new DKRPT::CELL_CURR(&sums->profit)});
  g->Column(7, {"Marża"_pl}, new DKRPT::CELL_NUM(&cur->margin, 2, &cur->known),
            {new DKRPT::CELL_CURR(&sums->margin)});
}

// ---- dialogs ----

CASH_REPORT g_cash;
struct PROFIT_STATE {
  PROFIT_REPORT o;
  int who = 0;
};
PROFIT_STATE g_profit_documents, g_profit_goods;

// The price basis radio buttons of both profit dialogs.
int PriceBasis(REPORT_DIALOG* d, int y, bool actual) {
  const int first = d->Radio(3, y, "Wg faktycznych cen &zakupu ", actual);
  d->Radio(3, y + 1, "Wg o&statnich cen zakupu   ", !actual);
  return first;
}

}  // namespace

// ---- the cash report ----

int CollectCashReport(const CASH_REPORT& o, std::vector<CASH_ROW>* rows, CASH_SUMS* sums) {
  *sums = CASH_SUMS{};
  REPORT_PERIOD walk = o.period;
  walk.first = o.days.IsZero()
                   ? 0
                   : o.period.first -
                         static_cast<DATE>(std::min<int64_t>(o.days.Whole(), o.period.first - 1));
  CONTRACTOR_CACHE contractors(kTableContractors);
  const int pay = RoundPay();
  DATE day = 0;
  AMOUNT retail;
  auto retail_row = [&] {
    if (retail.IsZero() || o.noDetails) return;
    CASH_ROW r;
    r.date = r.documentDate = day;
    CopyText(r.form, kFormNames[kFormCash]);
    (retail > AMOUNT() ? r.in : r.out) = Abs(retail);
    CopyText(r.contractor, "Sprzedaż detaliczna - suma"_pl);
    rows->push_back(r);
  };
  const int rc = WalkTransactions(walk, AMOUNT(), [&] {
    if (Tra.DATATRA != day) {
      retail_row();
      retail = AMOUNT();
      day = Tra.DATATRA;
    }
    struct PAYMENT {
      int form;
      DATE date;
      AMOUNT amount;
      bool cash;  // the cash of the transaction itself
    };
    const PAYMENT payments[4] = {{kFormCash, Tra.DATATRA, Tra.GOT, true},
                                 {kFormCash, Tra.ODRZAPLAC, Tra.ODR + Tra.ODRODSETKI, false},
                                 {kFormCard, Tra.DATATRA, Tra.CZK, false},
                                 {kFormTransfer, Tra.PRZZAPLAC, Tra.PRZ + Tra.PRZODSETKI, false}};
    for (const PAYMENT& p : payments) {
      if (!o.forms[p.form] || p.amount.IsZero() || p.date < o.period.first ||
          p.date > o.period.last)
        continue;
      const AMOUNT amount = Tra.RODZAJ[0] == 'D' ? -p.amount : p.amount;
      AMOUNT& sum = amount > AMOUNT() ? sums->in[p.form] : sums->out[p.form];
      sum = RoundToPlaces(sum + Abs(amount), pay);
      if (o.groupRetail && p.cash && Tra.RODZAJ[0] == 'S' && IsRetail(Tra)) {
        retail += amount;
        continue;
      }
      if (o.noDetails) continue;
      CASH_ROW r;
      r.date = p.date;
      CopyText(r.form, kFormNames[p.form]);
      (amount > AMOUNT() ? r.in : r.out) = Abs(amount);
      r.documentDate = Tra.DATATRA;
      CopyText(r.document, DocumentNumber(Tra));
      const KON_RECORD* k;
      if (contractors.Get(Tra.KONID, &k) < 0) return -1;
      CopyText(r.contractor, k->NAZWA);
      rows->push_back(r);
    }
    return 0;
  });
  if (rc == 0) retail_row();
  return rc;
}

int CashReport(const CASH_REPORT& o) {
  std::vector<CASH_ROW> rows;
  CASH_SUMS sums;
  const int rc = CollectCashReport(o, &rows, &sums);
  if (rc != 0) return rc;
  CASH_ROW cur;
  REPORT_GRID g;
  g.Column(10, {"Data"}, new DKRPT::CELL_DATE(&cur.date));
  g.Column(10, {"Forma", "płatności"_pl}, new DKRPT::CELL_TEXT(cur.form));
  g.Column(15, {"Wpłata"_pl}, new DKRPT::CELL_CURR(&cur.in));
  g.Column(15, {"Wypłata"_pl}, new DKRPT::CELL_CURR(&cur.out));
  g.Column(10, {"Data", "dokum."}, new DKRPT::CELL_DATE(&cur.documentDate));
  g.Column(12, {"Nr", "dokum."}, new DKRPT::CELL_TEXT(cur.document));
  g.Column(50, {"Kontrahent"}, new DKRPT::CELL_TEXT(cur.contractor));
  g.Column(20, {"Uwagi"}, new DKRPT::CELL_TEXT(""));
  PutReportTitle("RAPORT KASOWY", g.Width());
  if (PutSelectionHeader(o.period, AMOUNT(), nullptr) != 0) return -1;
  if (!o.noDetails) {
    ROWS_SOURCE<CASH_ROW> source(rows, &cur);
    if (g.Print(&source) != 0) return -1;
    Put("\n");
  }
  struct FORM_ROW {
    char form[11] = "";
    AMOUNT in, out, total;
  };
  std::vector<FORM_ROW> forms;
  FORM_ROW fcur, fsum;
  for (int f = 0; f < kCashFormCount; ++f) {
    if (sums.in[f].IsZero() && sums.out[f].IsZero()) continue;
    FORM_ROW r;
    CopyText(r.form, kFormNames[f]);
    r.in = sums.in[f];
    r.out = sums.out[f];
    r.total = r.in - r.out;
    forms.push_back(r);
    fsum.in += r.in;
    fsum.out += r.out;
    fsum.total += r.total;
  }
  REPORT_GRID s;
  s.Column(15, {"Forma"}, new DKRPT::CELL_TEXT(fcur.form), {new DKRPT::CELL_TEXT("Razem:")});
  s.Column(15, {"Wpłaty"_pl}, new DKRPT::CELL_CURR(&fcur.in), {new DKRPT::CELL_CURR(&fsum.in)});
  s.Column(15, {"Wypłaty"_pl}, new DKRPT::CELL_CURR(&fcur.out), {new DKRPT::CELL_CURR(&fsum.out)});
  s.Column(15, {"Razem"}, new DKRPT::CELL_CURR(&fcur.total), {new DKRPT::CELL_CURR(&fsum.total)});
  ROWS_SOURCE<FORM_ROW> source(forms, &fcur);
  if (s.Print(&source) != 0) return -1;
  PutSignatures();
  return 0;
}

// ---- profits by documents ----

int ProfitsByDocumentsReport(const PROFIT_REPORT& o, const DOCUMENT_FILTER& filter) {
  std::vector<PROFIT_ROW> rows;
  std::vector<AMOUNT> ids;
  CONTRACTOR_CACHE contractors(kTableContractors);
  int rc = WalkTransactions(o.period, o.contractor, [&] {
    if (Tra.RODZAJ[0] != 'S' || !FilterAccepts(filter, Tra)) return 0;
    PROFIT_ROW r;
    r.date = Tra.DATATRA;
    CopyText(r.warehouse,
             DocumentKindByCode(Tra.DOKMAGTYP) != 0 ? WarehouseDocumentText(Tra) : std::string());
    CopyText(r.sales,
             DocumentKindByCode(Tra.DOKTRATYP) != 0 ? SalesDocumentText(Tra) : std::string());
    r.sale = Tra.SUMA - Tra.VAT;
    const KON_RECORD* k;
    if (contractors.Get(Tra.KONID, &k) < 0) return -1;
    CopyText(r.contractor, k->NAZWA);
    rows.push_back(r);
    ids.push_back(Tra.ID);
    return 0;
  });
  if (rc != 0) return rc;
  const ID_ORDER by = OrderById(ids);
  PURCHASE_PRICES prices(o.actual);
  rc = WalkPositionsOf(by.ids, [&](size_t i) {
    PURCHASE_VALUE v;
    if (prices.Value(&v) != 0) return -1;
    PROFIT_ROW& r = rows[by.rows[i]];
    r.purchase += v.net;
    r.known = r.known && v.known;
    return 0;
  });
  if (rc != 0) return rc;
  PROFIT_SUMS sums;
  for (PROFIT_ROW& r : rows) Finish(&r, &sums);
  sums.margin = ClampMargin(MarginPercent(sums.profit, sums.purchase));
  PROFIT_ROW cur;
  REPORT_GRID g;
  g.Column(10, {"Data"}, new DKRPT::CELL_DATE(&cur.date), {new DKRPT::CELL_TEXT("Razem:")});
  g.Column(12, {"Dokument", "magazynowy"}, new DKRPT::CELL_TEXT(cur.warehouse));
  g.Column(13, {"Dokument", "sprzedaży"_pl}, new DKRPT::CELL_TEXT(cur.sales));
  ProfitColumns(&g, &cur, &sums);
  g.Column(30, {"Kontrahent"}, new DKRPT::CELL_TEXT(cur.contractor));
  PutReportTitle("ZYSKI WG DOKUMENTÓW"_pl, g.Width());
  if (PutSelectionHeader(o.period, o.contractor, &filter) != 0) return -1;
  Put("%21s: %s\n\n", "Ceny zakupu", o.actual ? "faktyczne" : "ostatnie");
  ROWS_SOURCE<PROFIT_ROW> source(rows, &cur);
  if (g.Print(&source) != 0) return -1;
  if (sums.any_unknown) PutUnknownValuesNote();
  return 0;
}

// ---- profits by goods ----

int ProfitsByGoodsReport(const PROFIT_REPORT& o, const DOCUMENT_FILTER& filter) {
  // The sales of the period that the filter takes, with their net flags.
  std::unordered_map<int64_t, bool> sales;
  int rc = WalkTransactions(o.period, AMOUNT(), [&] {
    if (Tra.RODZAJ[0] == 'S' && FilterAccepts(filter, Tra))
      sales.emplace(Tra.ID.Raw(), Tra.ZAOKRNETTO != 0);
    return 0;
  });
  if (rc != 0) return rc;
  std::vector<PROFIT_ROW> rows;
  PURCHASE_PRICES prices(o.actual);
  rc = WalkGoods(o.order, false, o.group, [&] {
    PROFIT_ROW r;
    CopyText(r.number, Tow.NR);
    CopyText(r.name, Tow.NAZWA);
    CopyText(r.unit, Tow.JMIARY);
    DATE first = 0, last = 0;
    bool any = false;
    const int w = WalkGoodsPositions(Tow.ID, o.period, AMOUNT(), [&] {
      if (Poz.RODZAJ[0] != 'S') return 0;
      const auto s = sales.find(Poz.TRAID.Raw());
      if (s == sales.end()) return 0;
      any = true;
      r.quantity += Poz.ILOSC;
      r.sale += ComputePositionValues(Poz.ILOSC, Poz.CENA, Poz.RABAT,
                                      static_cast<int>(Poz.VATID.Whole()), s->second)
                    .netValue;
      PURCHASE_VALUE v;
      if (prices.Value(&v) != 0) return -1;
      r.purchase += v.net;
      r.known = r.known && v.known;
      if (prices.FirstDelivery() != 0 && (first == 0 || prices.FirstDelivery() < first))
        first = prices.FirstDelivery();
      if (prices.LastDelivery() > last) last = prices.LastDelivery();
      return 0;
    });
    if (w != 0) return w;
    if (!any) return 0;
    if (first != 0)
      std::snprintf(r.deliveries, sizeof r.deliveries, "%s-%s", DateToDisplay(first).c_str(),
                    DateToDisplay(last).c_str());
    r.lp = AMOUNT::FromInt(static_cast<int64_t>(rows.size()) + 1);
    rows.push_back(r);
    return 0;
  });
  if (rc != 0) return rc;
  PROFIT_SUMS sums;
  for (PROFIT_ROW& r : rows) Finish(&r, &sums);
  sums.margin = ClampMargin(MarginPercent(sums.profit, sums.purchase));
  PROFIT_ROW cur;
  REPORT_GRID g;
  g.Column(5, {"Lp"}, new DKRPT::CELL_NUM(&cur.lp, 0));
  g.Column(13, {"Nr"}, new DKRPT::CELL_TEXT(cur.number), {new DKRPT::CELL_TEXT("Razem:")});
  g.Column(30, {"Nazwa"}, new DKRPT::CELL_TEXT(cur.name));
  g.Column(5, {" J.m."}, new DKRPT::CELL_TEXT(cur.unit));
  g.Column(12, {"Ilość"_pl}, QuantityCell(&cur.quantity));
  ProfitColumns(&g, &cur, &sums);
  g.Column(21, {"Okres dostaw"}, new DKRPT::CELL_TEXT(cur.deliveries));
  PutReportTitle("ZYSKI WG TOWARÓW"_pl, g.Width());
  if (PutSelectionHeader(o.period, AMOUNT(), &filter) != 0) return -1;
  if (!o.group.IsZero()) {
    GTO_RECORD grp{};
    if (ReadRecordById(kTableGroups, o.group, &grp) < 0) return -1;
    PutGroupHeader(grp.NAZWA);
    Put("\n");
  }
  Put("%21s: %s\n\n", "Ceny zakupu", o.actual ? "faktyczne" : "ostatnie");
  ROWS_SOURCE<PROFIT_ROW> source(rows, &cur);
  if (g.Print(&source) != 0) return -1;
  if (sums.any_unknown) PutUnknownValuesNote();
  return 0;
}

// ---- commands ----

int cash_report_command() {
  if (ReportRights(kRightReports | kRightPurchaseTransactions) != 0) return -1;
  CASH_REPORT& s = g_cash;
  DefaultPeriod(&s.period);
  REPORT_DIALOG d(44, 16, "RAPORT KASOWY");
  d.Period(3, 1, &s.period);
  const int cash = d.Check(3, 3, "&Gotówka "_pl, s.forms[kFormCash]);
  const int card = d.Check(3, 4, "&Karta   ", s.forms[kFormCard]);
  const int transfer = d.Check(3, 5, "&Przelew ", s.forms[kFormTransfer]);
  const int group = d.Check(3, 7, "G&rupowanie sprzedaży detalicznej "_pl, s.groupRetail);
  const int plain = d.Check(3, 8, "&Bez szczegółów                   "_pl, s.noDetails);
  d.Label(
      3, 10,
      "&Zakres szukania realizacji\nodroczonych płatności:     dni\n(0 dni = wszystkie transakcje)"_pl);
  d.Number(26, 11, 4, &s.days);
  d.Ok(19, 14);
  if (d.Run() != 0) return -1;
  s.forms[kFormCash] = d.Checked(cash);
  s.forms[kFormCard] = d.Checked(card);
  s.forms[kFormTransfer] = d.Checked(transfer);
  s.groupRetail = d.Checked(group);
  s.noDetails = d.Checked(plain);
  if (s.days < AMOUNT()) s.days = AMOUNT();
  const CASH_REPORT o = s;
  return RunReport([&] { return CashReport(o); });
}

int profits_by_documents_command() {
  if (ReportRights(kRightProfitReports) != 0) return -1;
  PROFIT_STATE& s = g_profit_documents;
  DefaultPeriod(&s.o.period);
  REPORT_DIALOG d(37, 13, "ZYSKI WG DOKUMENTÓW"_pl);
  d.Period(3, 1, &s.o.period);
  const int who = d.Radio(3, 3, "&Wszystkie", s.who == 0);
  d.Radio(3, 4, "&Kontrahenta", s.who == 1);
  d.EndGroup();
  const int basis = PriceBasis(&d, 6, s.o.actual);
  d.Filter(3, 9);
  d.Ok(15, 11);
  auto check = [&] {
    return ListCheck(d.Chosen(who) != 0, &s.o.contractor, who + 1, ChooseContractor);
  };
  if (d.Run(check) != 0) return -1;
  s.who = d.Chosen(who);
  s.o.actual = d.Chosen(basis) == 0;
  const PROFIT_REPORT o = s.o;
  return RunReport([&] { return ProfitsByDocumentsReport(o, DocumentFilter()); });
}

int profits_by_goods_command() {
  if (ReportRights(kRightProfitReports) != 0) return -1;
  PROFIT_STATE& s = g_profit_goods;
  DefaultPeriod(&s.o.period);
  REPORT_DIALOG d(37, 16, "ZYSKI WG TOWARÓW"_pl);
  d.Period(3, 1, &s.o.period);
  const int scope = d.Radio(3, 3, "&Wszystkie towary", s.who == 0);
  d.Radio(3, 4, "&Grupa towarów"_pl, s.who == 1);
  d.EndGroup();
  const int order = d.Radio(3, 6, "Wg &nazwy", s.o.order == 0);
  d.Radio(3, 7, "Wg nume&ru", s.o.order == 1);
  d.EndGroup();
  const int basis = PriceBasis(&d, 9, s.o.actual);
  d.Filter(3, 12);
  d.Ok(15, 14);
  auto check = [&] { return ListCheck(d.Chosen(scope) != 0, &s.o.group, scope + 1, ChooseGroup); };
  if (d.Run(check) != 0) return -1;
  s.who = d.Chosen(scope);
  s.o.order = d.Chosen(order);
  s.o.actual = d.Chosen(basis) == 0;
  const PROFIT_REPORT o = s.o;
  return RunReport([&] { return ProfitsByGoodsReport(o, DocumentFilter()); });
}

void ResetMoneyReports() {
  g_cash = CASH_REPORT{};
  g_profit_documents = PROFIT_STATE{};
  g_profit_goods = PROFIT_STATE{};
}
