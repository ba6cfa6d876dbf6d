#include "reports/transaction_reports.h"

#include <algorithm>
#include <cstdio>

#include "business/document_kinds.h"
#include "business/interest.h"
#include "business/numbering.h"
#include "business/options.h"
#include "business/rights.h"
#include "common/text.h"
#include "db/records.h"
#include "reports/report_dialog.h"
#include "reports/report_output.h"

namespace {

// ---- rows of transactions ----

struct DOC_ROW {
  DATE date = 0;
  char document[24] = "";
  AMOUNT net, vat, gross;
  bool known = true;
  char contractor[51] = "";
};

int ContractorName(CONTRACTOR_CACHE* cache, AMOUNT id, char (&name)[51]) {
  const KON_RECORD* k;
  const int rc = cache->Get(id, &k);
  if (rc < 0) return -1;
  std::snprintf(name, sizeof name, "%s", k->NAZWA);
  return 0;
}

// The rows of the transactions of one kind with a document of one family (warehouse or sales),
// valued by their stored sums, or by the purchase values of their positions.
int DocumentRows(const REPORT_PERIOD& period, AMOUNT contractor, const DOCUMENT_FILTER& filter,
                 char kind, bool warehouse, bool purchase, std::vector<DOC_ROW>* rows) {
  CONTRACTOR_CACHE contractors(kTableContractors);
  std::vector<AMOUNT> ids;
  int rc = WalkTransactions(period, contractor, [&] {
    if (Tra.RODZAJ[0] != kind || !FilterAccepts(filter, Tra)) return 0;
    if (DocumentKindByCode(warehouse ? Tra.DOKMAGTYP : Tra.DOKTRATYP) == 0) return 0;
    DOC_ROW r;
    r.date = Tra.DATATRA;
    CopyText(r.document, warehouse ? WarehouseDocumentText(Tra) : SalesDocumentText(Tra));
    r.gross = Tra.SUMA;
    r.vat = Tra.VAT;
    r.net = Tra.SUMA - Tra.VAT;
    if (ContractorName(&contractors, Tra.KONID, r.contractor) != 0) return -1;
    rows->push_back(r);
    ids.push_back(Tra.ID);
    return 0;
  });
  if (rc != 0 || !purchase) return rc;
  for (DOC_ROW& r : *rows) r.net = r.vat = r.gross = AMOUNT();
  const ID_ORDER by = OrderById(ids);
  PURCHASE_PRICES prices(true);
  rc = WalkPositionsOf(by.ids, [&](size_t i) {
    PURCHASE_VALUE v;
    if (prices.Value(&v) != 0) return -1;
    DOC_ROW& r = (*rows)[by.rows[i]];
    r.net += v.net;
    r.gross += v.gross;
    r.known = r.known && v.known;
    return 0;
  });
  for (DOC_ROW& r : *rows) r.vat = r.gross - r.net;
  return rc;
}

int PrintDocumentRows(const char* title, const char* document_head, const REPORT_PERIOD& period,
                      AMOUNT contractor, const DOCUMENT_FILTER& filter,
                      const std::vector<DOC_ROW>& rows) {
  DOC_ROW cur, sum;
  bool all_known = true;
  for (const DOC_ROW& r : rows) {
    sum.net += r.net;
    sum.vat += r.vat;
    sum.gross += r.gross;
    all_known = all_known && r.known;
  }
  REPORT_GRID g;
  g.Column(10, {"Data"}, new DKRPT::CELL_DATE(&cur.date), {new DKRPT::CELL_TEXT("Razem:")});
  g.Column(15, {"Dokument", document_head}, new DKRPT::CELL_TEXT(cur.document));
  g.Column(13, {"Suma", "netto"}, new CELL_MARKED(&cur.net, &cur.known),
           {new DKRPT::CELL_CURR(&sum.net)});
  g.Column(13, {"Suma", "VAT"}, new CELL_MARKED(&cur.vat, &cur.known),
           {new DKRPT::CELL_CURR(&sum.vat)});
  g.Column(13, {"Suma", "brutto"}, new CELL_MARKED(&cur.gross, &cur.known),
           {new DKRPT::CELL_CURR(&sum.gross)});
  g.Column(40, {"Kontrahent"}, new DKRPT::CELL_TEXT(cur.contractor));
  PutReportTitle(title, g.Width());
  if (PutSelectionHeader(period, contractor, &filter) != 0) return -1;
  ROWS_SOURCE<DOC_ROW> source(rows, &cur);
  if (g.Print(&source) != 0) return -1;
  if (!all_known) PutUnknownValuesNote();
  return 0;
}

// ---- payments ----

struct PAY_ROW {
  DATE date = 0;
  char document[24] = "";
  char form[12] = "";
  AMOUNT amount;
  DATE due = 0;
  AMOUNT days;
  DATE paid = 0;
  AMOUNT interest;
  char contractor[51] = "";
};

const char* const kTransfer = "przelew";
const char* const kDeferment = "odroczenie";

int PaymentRows(const SALES_REPORT& o, const DOCUMENT_FILTER& filter, std::vector<PAY_ROW>* rows) {
  CONTRACTOR_CACHE contractors(kTableContractors);
  const bool unpaid = o.variant != kSalesPaidInterest;
  const bool interest = InterestCalc() != 0;
  return WalkTransactions(o.period, o.contractor, [&] {
    if (Tra.RODZAJ[0] != (o.sales ? 'S' : 'D') || !FilterAccepts(filter, Tra)) return 0;
    if (IsInternalWarehouseDocument(Tra.DOKMAGTYP)) return 0;
    struct PAYMENT {
      const char* form;
      AMOUNT amount, term;
      DATE paid;
      AMOUNT interest;
    };
    const PAYMENT payments[2] = {
        {kTransfer, Tra.PRZ, Tra.PRZTERMIN, Tra.PRZZAPLAC, Tra.PRZODSETKI},
        {kDeferment, Tra.ODR, Tra.ODRTERMIN, Tra.ODRZAPLAC, Tra.ODRODSETKI}};
    for (const PAYMENT& p : payments) {
      if (p.amount <= AMOUNT()) continue;
      if (unpaid ? p.paid != 0 : p.paid == 0 || p.interest.IsZero()) continue;
      PAY_ROW r;
      r.date = Tra.DATATRA;
      CopyText(r.document, TransactionDocumentText(Tra));
      CopyText(r.form, p.form);
      r.amount = p.amount;
      r.due = Tra.DATATRA + static_cast<DATE>(p.term.Whole() > 0 ? p.term.Whole() : 0);
      if (unpaid) {
        if (o.today > r.due) r.days = AMOUNT::FromInt(o.today - r.due);
        if (interest) r.interest = InterestDue(p.amount, r.due, o.today);
      } else {
        r.paid = p.paid;
        r.interest = p.interest;
      }
      if (ContractorName(&contractors, Tra.KONID, r.contractor) != 0) return -1;
      rows->push_back(r);
    }
    return 0;
  });
}

int PrintPaymentRows(const char* title, const SALES_REPORT& o, const DOCUMENT_FILTER& filter,
                     const std::vector<PAY_ROW>& rows) {
  const bool unpaid = o.variant != kSalesPaidInterest;
  PAY_ROW cur, sum;
  for (const PAY_ROW& r : rows) {
    sum.amount += r.amount;
    sum.interest += r.interest;
  }
  REPORT_GRID g;
  g.Column(10, {"Data"}, new DKRPT::CELL_DATE(&cur.date), {new DKRPT::CELL_TEXT("Razem:")});
  g.Column(14, {"Dokument"}, new DKRPT::CELL_TEXT(cur.document));
  g.Column(10, {"Forma", "płatności"_pl}, new DKRPT::CELL_TEXT(cur.form));
  g.Column(13, {"Suma"}, new DKRPT::CELL_CURR(&cur.amount), {new DKRPT::CELL_CURR(&sum.amount)});
  g.Column(10, {"Termin", "płatności"_pl}, new DKRPT::CELL_DATE(&cur.due));
  if (unpaid) g.Column(6, {"Dni", "zwłoki"_pl}, new DKRPT::CELL_NUM(&cur.days, 0, nullptr, true));
  else g.Column(10, {"Data", "zapłaty"_pl}, new DKRPT::CELL_DATE(&cur.paid));
  g.Column(13, {"Odsetki"}, new DKRPT::CELL_CURR(&cur.interest),
           {new DKRPT::CELL_CURR(&sum.interest)});
  g.Column(40, {"Kontrahent"}, new DKRPT::CELL_TEXT(cur.contractor));
  PutReportTitle(title, g.Width());
  if (PutSelectionHeader(o.period, o.contractor, &filter) != 0) return -1;
  if (unpaid) Put("%21s: %s\n\n", "Odsetki na dzień"_pl, DateToDisplay(o.today).c_str());
  ROWS_SOURCE<PAY_ROW> source(rows, &cur);
  return g.Print(&source);
}

// ---- the period ----

struct PERIOD_ROW {
  char label[12] = "";
  AMOUNT net, vat, gross, count;
};

// ---- dialogs ----

struct WAREHOUSE_STATE {
  WAREHOUSE_REPORT o;
  int who = 0;
};
struct SALES_STATE {
  SALES_REPORT o;
};
struct PERIOD_STATE {
  PERIOD_REPORT o;
};
WAREHOUSE_STATE g_warehouse;
SALES_STATE g_sales;
PERIOD_STATE g_period;

}  // namespace

int WarehouseDocumentsReport(const WAREHOUSE_REPORT& o, const DOCUMENT_FILTER& filter) {
  static const char* const kTitles[3] = {"DOKUMENTY MAGAZYNOWE PRZYCHODU",
                                         "DOKUMENTY MAGAZYNOWE ROZCHODU",
                                         "DOKUMENTY MAGAZYNOWE ROZCHODU W CENACH ZAKUPU"};
  std::vector<DOC_ROW> rows;
  const int rc =
      DocumentRows(o.period, o.contractor, filter, o.kind == kWarehouseIncome ? 'D' : 'S', true,
                   o.kind == kWarehouseExpensePurchase, &rows);
  if (rc != 0) return rc;
  return PrintDocumentRows(kTitles[o.kind], "magazynowy", o.period, o.contractor, filter, rows);
}

int SalesDocumentsReport(const SALES_REPORT& o, const DOCUMENT_FILTER& filter) {
  const bool one = o.variant == kSalesOfContractor || o.variant == kSalesUnpaidOfContractor;
  std::string title = o.sales ? "SPRZEDAŻE"_pl : "DOSTAWY";
  if (o.variant == kSalesUnpaid || o.variant == kSalesUnpaidOfContractor)
    title += " NIEZAPŁACONE"_pl;
  if (o.variant == kSalesPaidInterest) title += " Z ZAPŁACONYMI ODSETKAMI"_pl;
  if (one) title += " KONTRAHENTA";
  SALES_REPORT s = o;
  if (!one) s.contractor = AMOUNT();
  if (o.variant == kSalesAll || o.variant == kSalesOfContractor) {
    std::vector<DOC_ROW> rows;
    const int rc =
        DocumentRows(s.period, s.contractor, filter, o.sales ? 'S' : 'D', false, false, &rows);
    if (rc != 0) return rc;
    return PrintDocumentRows(title.c_str(), "sprzedaży"_pl, s.period, s.contractor, filter, rows);
  }
  std::vector<PAY_ROW> rows;
  const int rc = PaymentRows(s, filter, &rows);
  if (rc != 0) return rc;
  return PrintPaymentRows(title.c_str(), s, filter, rows);
}

int PeriodReport(const PERIOD_REPORT& o, const DOCUMENT_FILTER& filter) {
  std::vector<PERIOD_ROW> rows;
  DATE at = 0;
  const int rc = WalkTransactions(o.period, AMOUNT(), [&] {
    if (Tra.RODZAJ[0] != (o.sales ? 'S' : 'D') || !FilterAccepts(filter, Tra)) return 0;
    const DateParts d = DateToYmd(Tra.DATATRA);
    const DATE key = o.monthly ? DateFromYmd(d.year, d.month, 1) : Tra.DATATRA;
    if (rows.empty() || key != at) {
      at = key;
      PERIOD_ROW r;
      if (o.monthly) std::snprintf(r.label, sizeof r.label, "%02u.%04u", d.month, d.year);
      else CopyText(r.label, DateToDisplay(key));
      rows.push_back(r);
    }
    PERIOD_ROW& r = rows.back();
    r.net += Tra.SUMA - Tra.VAT;
    r.vat += Tra.VAT;
    r.gross += Tra.SUMA;
    r.count += AMOUNT::FromInt(1);
    return 0;
  });
  if (rc != 0) return rc;
  PERIOD_ROW cur, sum;
  for (const PERIOD_ROW& r : rows) {
    sum.net += r.net;
    sum.vat += r.vat;
    sum.gross += r.gross;
    sum.count += r.count;
  }
  REPORT_GRID g;
  g.Column(10, {o.monthly ? "Miesiąc"_pl : "Data"}, new DKRPT::CELL_TEXT(cur.label),
           {new DKRPT::CELL_TEXT("Razem:")});
  g.Column(13, {"Suma", "netto"}, new DKRPT::CELL_CURR(&cur.net), {new DKRPT::CELL_CURR(&sum.net)});
  g.Column(13, {"Suma", "VAT"}, new DKRPT::CELL_CURR(&cur.vat), {new DKRPT::CELL_CURR(&sum.vat)});
  g.Column(13, {"Suma", "brutto"}, new DKRPT::CELL_CURR(&cur.gross),
           {new DKRPT::CELL_CURR(&sum.gross)});
  g.Column(11, {"Liczba", "transakcji"}, new DKRPT::CELL_NUM(&cur.count, 0),
           {new DKRPT::CELL_NUM(&sum.count, 0)});
  static const char* const kTitles[2][2] = {{"DOSTAWY DZIENNE", "SPRZEDAŻE DZIENNE"_pl},
                                            {"DOSTAWY MIESIĘCZNE"_pl, "SPRZEDAŻE MIESIĘCZNE"_pl}};
  PutReportTitle(kTitles[o.monthly][o.sales], g.Width());
  if (PutSelectionHeader(o.period, AMOUNT(), &filter) != 0) return -1;
  ROWS_SOURCE<PERIOD_ROW> source(rows, &cur);
  return g.Print(&source);
}

// ---- commands ----

int warehouse_documents_command() {
  if (ReportRights(kRightReports) != 0) return -1;
  WAREHOUSE_STATE& s = g_warehouse;
  DefaultPeriod(&s.o.period);
  REPORT_DIALOG d(43, 14, "TRANSAKCJE WG DOKUMENTÓW MAGAZYNOWYCH"_pl);
  d.Period(3, 1, &s.o.period);
  const int kind = d.Radio(3, 3, "&Przychody", s.o.kind == 0);
  d.Radio(3, 4, "&Rozchody", s.o.kind == 1);
  d.Radio(3, 5, "Rozchody w &cenach zakupu", s.o.kind == 2);
  d.EndGroup();
  const int who = d.Radio(3, 7, "&Wszystkie", s.who == 0);
  d.Radio(3, 8, "&Kontrahenta", s.who == 1);
  d.Filter(3, 10);
  d.Ok(18, 12);
  if (d.Run([&] {
        return ListCheck(d.Chosen(who) == 1, &s.o.contractor, who + 1, ChooseContractor);
      }) != 0)
    return -1;
  s.o.kind = d.Chosen(kind);
  s.who = d.Chosen(who);
  if (s.o.kind != kWarehouseExpense && ReportRights(kRightPurchaseTransactions) != 0) return -1;
  const WAREHOUSE_REPORT o = s.o;
  return RunReport([&] { return WarehouseDocumentsReport(o, DocumentFilter()); });
}

int sales_documents_command() {
  if (ReportRights(kRightReports) != 0) return -1;
  SALES_STATE& s = g_sales;
  DefaultPeriod(&s.o.period);
  REPORT_DIALOG d(42, 16, "TRANSAKCJE WG DOKUMENTÓW SPRZEDAŻY"_pl);
  d.Period(3, 1, &s.o.period);
  static const char* const kVariants[5] = {"&Wszystkie", "&Kontrahenta", "&Nie zapłacone"_pl,
                                           "N&ie zapłacone kontrahenta"_pl,
                                           "Z z&apłaconymi odsetkami"_pl};
  const int variant = d.Radio(3, 3, kVariants[0], s.o.variant == 0);
  for (int i = 1; i < 5; ++i) d.Radio(3, 3 + i, kVariants[i], s.o.variant == i);
  d.EndGroup();
  const int kind = d.Radio(3, 9, "&Dostawy", !s.o.sales);
  d.Radio(3, 10, "&Sprzedaże"_pl, s.o.sales);
  d.Filter(3, 12);
  d.Ok(17, 14);
  auto check = [&] {
    const int v = d.Chosen(variant);
    return ListCheck(v == kSalesOfContractor || v == kSalesUnpaidOfContractor, &s.o.contractor,
                     variant + v, ChooseContractor);
  };
  if (d.Run(check) != 0) return -1;
  s.o.variant = d.Chosen(variant);
  s.o.sales = d.Chosen(kind) == 1;
  if (!s.o.sales && ReportRights(kRightPurchaseTransactions) != 0) return -1;
  SALES_REPORT o = s.o;
  o.today = DateToday();
  return RunReport([&] { return SalesDocumentsReport(o, DocumentFilter()); });
}

void UnpaidSalesOfContractor(AMOUNT contractor) {
  if (ReportRights(kRightReports) != 0) return;
  SALES_REPORT o;
  o.variant = kSalesUnpaidOfContractor;
  o.contractor = contractor;
  o.today = DateToday();
  o.period.last = o.today;
  DOCUMENT_FILTER all;
  all.fill(1);
  RunReport([&] { return SalesDocumentsReport(o, all); });
}

int period_report_command() {
  if (ReportRights(kRightReports) != 0) return -1;
  PERIOD_STATE& s = g_period;
  DefaultPeriod(&s.o.period);
  REPORT_DIALOG d(37, 13, "TRANSAKCJE WG OKRESU");
  d.Period(3, 1, &s.o.period);
  const int kind = d.Radio(3, 3, "&Dostawy", !s.o.sales);
  d.Radio(3, 4, "&Sprzedaże"_pl, s.o.sales);
  d.EndGroup();
  const int step = d.Radio(3, 6, "Dzie&nne", !s.o.monthly);
  d.Radio(3, 7, "&Miesięczne"_pl, s.o.monthly);
  d.Filter(3, 9);
  d.Ok(15, 11);
  if (d.Run() != 0) return -1;
  s.o.sales = d.Chosen(kind) == 1;
  s.o.monthly = d.Chosen(step) == 1;
  if (!s.o.sales && ReportRights(kRightPurchaseTransactions) != 0) return -1;
  const PERIOD_REPORT o = s.o;
  return RunReport([&] { return PeriodReport(o, DocumentFilter()); });
}

void ResetTransactionReports() {
  g_warehouse = WAREHOUSE_STATE{};
  g_sales = SALES_STATE{};
  g_period = PERIOD_STATE{};
}
