#include "reports/tax_registers.h"

#include <cstdio>

#include "business/contractor_form.h"
#include "business/document_kinds.h"
#include "business/numbering.h"
#include "business/position_values.h"
#include "business/rights.h"
#include "business/vat.h"
#include "common/text.h"
#include "reports/report_dialog.h"
#include "reports/report_output.h"

namespace {

constexpr size_t kNone = static_cast<size_t>(-1);

// Walks the positions of the rows' transactions; fn(row, last) sees each position of rows[row]
// in Poz, and done(row) is called once after the last position of each transaction that has
// any. ids[i] is the transaction of rows[i].
template <typename Fn, typename Done>
int PositionsOfRows(const std::vector<AMOUNT>& ids, Fn fn, Done done) {
  const ID_ORDER by = OrderById(ids);
  size_t at = kNone;
  const int rc = WalkPositionsOf(by.ids, [&](size_t i) {
    const size_t row = by.rows[i];
    if (row != at && at != kNone) done(at);
    at = row;
    return fn(row);
  });
  if (rc == 0 && at != kNone) done(at);
  return rc;
}

// As PositionsOfRows, with add(row, kind, net) given each position's goods kind and net value
// (rounded by net when nets[row] says so).
template <typename Add, typename Done>
int PositionNetsOfRows(const std::vector<AMOUNT>& ids, const std::vector<char>& nets, Add add,
                       Done done) {
  GOODS_CACHE goods(kTableGoods);
  return PositionsOfRows(
      ids,
      [&](size_t row) {
        const POZ_RECORD p = Poz;
        const TOW_RECORD* g;
        if (goods.Get(p.TOWID, &g) < 0) return -1;
        add(row, g->RODZAJ[0],
            ComputePositionValues(p.ILOSC, p.CENA, p.RABAT, static_cast<int>(p.VATID.Whole()),
                                  nets[row] != 0)
                .netValue);
        return 0;
      },
      done);
}

// ---- the VAT register ----

void FillVatColumns(const DOCUMENT_TOTALS& t, VAT_REGISTER_ROW* r) {
  auto slot = [&](int id) -> const VAT_TOTAL& { return t.slots[VatRow(id)]; };
  r->gross = t.gross;
  r->vat = t.vat;
  r->exempt = RoundTo(slot(1).gross + slot(14).gross, 2);
  r->net23 = slot(12).net;
  r->vat23 = slot(12).vat;
  r->net8 = slot(13).net;
  r->vat8 = slot(13).vat;
  AMOUNT net, vat;
  for (int id : {2, 6, 5, 3, 11, 10, 8, 9, 7}) {
    net += slot(id).net;
    vat += slot(id).vat;
  }
  r->netSpecial = RoundTo(net, 2);
  r->vatSpecial = RoundTo(vat, 2);
  r->zero = slot(4).net;
}

struct VAT_LINE {
  AMOUNT lp;
  DATE date = 0;
  char document[24] = "";
  char name[51] = "";
  char address[51] = "";
  char nip[31] = "";
  VAT_REGISTER_ROW v;
};

void AddVat(VAT_REGISTER_ROW* sum, const VAT_REGISTER_ROW& r) {
  sum->gross += r.gross;
  sum->vat += r.vat;
  sum->exempt += r.exempt;
  sum->net23 += r.net23;
  sum->vat23 += r.vat23;
  sum->net8 += r.net8;
  sum->vat8 += r.vat8;
  sum->netSpecial += r.netSpecial;
  sum->vatSpecial += r.vatSpecial;
  sum->zero += r.zero;
}

// The value columns of the register with their sums; heads of the short register.
void VatValueColumns(REPORT_GRID* g, VAT_LINE* cur, VAT_REGISTER_ROW* sum, bool heads) {
  struct COL {
    AMOUNT VAT_REGISTER_ROW::*field;
    const char* h1;
    const char* h2;
    const char* h3;
  };
  const COL cols[10] = {
      {&VAT_REGISTER_ROW::gross, "Suma", "brutto", ""},
      {&VAT_REGISTER_ROW::vat, "Suma", "VAT", ""},
      {&VAT_REGISTER_ROW::exempt, "Suma wolna", "od podatku", ""},
      {&VAT_REGISTER_ROW::net23, "Stawka 23 %", "Wartość"_pl, "netto"},
      {&VAT_REGISTER_ROW::vat23, "Stawka 23 %", "Wartość"_pl, "VAT"},
      {&VAT_REGISTER_ROW::net8, "Stawka  8 %", "Wartość"_pl, "netto"},
      {&VAT_REGISTER_ROW::vat8, "Stawka  8 %", "Wartość"_pl, "VAT"},
      {&VAT_REGISTER_ROW::netSpecial, "Stawki", "specjalne", "netto"},
      {&VAT_REGISTER_ROW::vatSpecial, "Stawki", "specjalne", "VAT"},
      {&VAT_REGISTER_ROW::zero, "Stawka  0 %", "Wartość"_pl, ""},
  };
  for (const COL& c : cols) {
    if (heads)
      g->Column(13, {c.h1, c.h2, c.h3}, new DKRPT::CELL_CURR(&(cur->v.*c.field)),
                {new DKRPT::CELL_CURR(&(sum->*c.field))});
    else
      g->Column(13, {}, new DKRPT::CELL_CURR(&(cur->v.*c.field)),
                {new DKRPT::CELL_CURR(&(sum->*c.field))});
  }
}

// The header of the right pages, by hand: "Suma opodatkowana" spans the rate columns.
void PutVatPart2Header() {
  const int kLeft[4] = {6, 13, 13, 13};
  auto rule = [](int count, int frame) {
    PutFrame(frame);
    PutFrameLine(count);
  };
  auto cell = [](const char* text, int w) {
    PutFrame(1);
    PutTextCentered(text, w);
  };
  // Top.
  for (int i = 0; i < 4; ++i) rule(kLeft[i], i == 0 ? 2 : 3);
  rule(97, 3);
  PutFrame(4);
  Put("\n");
  const char* const left[4][3] = {{"", "Lp", ""},
                                  {"", "Suma", "brutto"},
                                  {"", "Suma", "VAT"},
                                  {"Suma wolna", "od podatku", ""}};
  // Line 1: the span title.
  for (int i = 0; i < 4; ++i) cell(left[i][0], kLeft[i]);
  cell("Suma opodatkowana", 97);
  PutFrame(1);
  Put("\n");
  // Line 2: the rule under it.
  for (int i = 0; i < 4; ++i) cell(left[i][1], kLeft[i]);
  PutFrame(5);
  PutFrameLine(27);
  PutFrame(3);
  PutFrameLine(27);
  PutFrame(3);
  PutFrameLine(27);
  PutFrame(3);
  PutFrameLine(13);
  PutFrame(7);
  Put("\n");
  // Line 3: the rates.
  char at23[16], at8[16], at0[16];
  std::snprintf(at23, sizeof at23, "Stawka %s %%", VatLabel(12));
  std::snprintf(at8, sizeof at8, "Stawka %s %%", VatLabel(13));
  std::snprintf(at0, sizeof at0, "Stawka %s %%", VatLabel(4));
  for (int i = 0; i < 4; ++i) cell(left[i][2], kLeft[i]);
  cell(at23, 27);
  cell(at8, 27);
  cell("Stawki specjalne", 27);
  cell(at0, 13);
  PutFrame(1);
  Put("\n");
  // Line 4: the rule under the rates.
  for (int i = 0; i < 4; ++i) cell("", kLeft[i]);
  PutFrame(5);
  for (int k = 0; k < 6; ++k) {
    PutFrameLine(13);
    PutFrame(k % 2 == 0 ? 3 : 6);
  }
  PutFrameLine(13);
  PutFrame(7);
  Put("\n");
  // Line 5: net and VAT.
  for (int i = 0; i < 4; ++i) cell("", kLeft[i]);
  for (int k = 0; k < 3; ++k) {
    cell("Wartość netto"_pl, 13);
    cell("Wartość VAT"_pl, 13);
  }
  cell("Wartość"_pl, 13);
  PutFrame(1);
  Put("\n");
  // The separator over the rows.
  for (int i = 0; i < 11; ++i) rule(i < 4 ? kLeft[i] : 13, i == 0 ? 5 : 6);
  PutFrame(7);
  Put("\n");
}

int PrintVatPart(const VAT_REGISTER& o, const DOCUMENT_FILTER& filter, int form,
                 const std::vector<VAT_LINE>& lines, const VAT_REGISTER_ROW& total) {
  VAT_LINE cur;
  VAT_REGISTER_ROW sum = total;
  REPORT_GRID g;
  const bool part2 = form == kVatPart2;
  g.Column(6, {"Lp"}, new DKRPT::CELL_NUM(&cur.lp, 0),
           {part2 ? new DKRPT::CELL_TEXT("Razem:") : nullptr});
  if (!part2) {
    g.Column(10, {"Data"}, new DKRPT::CELL_DATE(&cur.date),
             {form == kVatShort ? new DKRPT::CELL_TEXT("Razem:") : nullptr});
    g.Column(14, {"Dokument"}, new DKRPT::CELL_TEXT(cur.document));
    g.Column(form == kVatShort ? 30 : 50, {"Kontrahent"}, new DKRPT::CELL_TEXT(cur.name));
  }
  if (form == kVatPart1) {
    g.Column(50, {"Adres"}, new DKRPT::CELL_TEXT(cur.address));
    g.Column(15, {"NIP"}, new DKRPT::CELL_TEXT(cur.nip));
  } else {
    VatValueColumns(&g, &cur, &sum, form == kVatShort);
  }
  std::string title = o.sales ? "REJESTR VAT SPRZEDAŻY"_pl : "REJESTR VAT DOSTAW";
  if (form != kVatShort) title += form == kVatPart1 ? "  CZ. 1" : "  CZ. 2";
  PutReportTitle(title.c_str(), g.Width());
  if (PutSelectionHeader(o.period, o.contractor, &filter) != 0) return -1;
  if (part2) {
    PutVatPart2Header();
    g.WithoutTop();
    g.WithoutHeader();
  }
  ROWS_SOURCE<VAT_LINE> source(lines, &cur);
  return g.Print(&source);
}

// ---- the lump-sum register ----

struct LUMP_LINE {
  AMOUNT lp;
  LUMP_SUM_ROW v;
};

// ---- the revenue book ----

struct BOOK_LINE {
  AMOUNT lp;
  DATE date = 0;
  char document[24] = "";
  char name[51] = "";
  char address[51] = "";
  char remarks[51] = "";
  AMOUNT col7, col8, col9, col10, col11, col12, col13, col14;
};

// ---- dialogs ----

struct VAT_STATE {
  VAT_REGISTER o;
  int who = 0;
};
VAT_STATE g_vat;
REPORT_PERIOD g_lump_period;
REPORT_PERIOD g_book_period;
int g_book_part = 1;

}  // namespace

// ---- the VAT register ----

int CollectVatRegister(const VAT_REGISTER& o, const DOCUMENT_FILTER& filter,
                       std::vector<VAT_REGISTER_ROW>* rows) {
  std::vector<AMOUNT> ids;
  std::vector<char> nets;
  const char kind = o.sales ? 'S' : 'D';
  int rc = WalkTransactions(o.period, o.contractor, [&] {
    if (Tra.RODZAJ[0] != kind || !FilterAccepts(filter, Tra) ||
        DocumentKindByCode(Tra.DOKTRATYP) == 0)
      return 0;
    VAT_REGISTER_ROW r;
    r.transaction = Tra.ID;
    r.date = Tra.DATATRA;
    CopyText(r.document, SalesDocumentText(Tra));
    r.contractor = Tra.KONID;
    rows->push_back(r);
    ids.push_back(Tra.ID);
    nets.push_back(Tra.ZAOKRNETTO != 0);
    return 0;
  });
  if (rc != 0) return rc;
  DOCUMENT_TOTALS t;
  return PositionsOfRows(
      ids,
      [&](size_t row) {
        AddToTotals(&t, Poz.ILOSC, "", Poz.CENA, Poz.RABAT, static_cast<int>(Poz.VATID.Whole()),
                    nets[row] != 0);
        return 0;
      },
      [&](size_t row) {
        FillVatColumns(t, &(*rows)[row]);
        t = DOCUMENT_TOTALS{};
      });
}

int VatRegisterReport(const VAT_REGISTER& o, const DOCUMENT_FILTER& filter, bool (*askMore)()) {
  std::vector<VAT_REGISTER_ROW> rows;
  int rc = CollectVatRegister(o, filter, &rows);
  if (rc != 0) return rc;
  CONTRACTOR_CACHE contractors(kTableContractors);
  std::vector<VAT_LINE> lines(rows.size());
  VAT_REGISTER_ROW total;
  for (size_t i = 0; i < rows.size(); ++i) {
    VAT_LINE& l = lines[i];
    l.lp = AMOUNT::FromInt(static_cast<int64_t>(i) + 1);
    l.date = rows[i].date;
    CopyText(l.document, rows[i].document);
    const KON_RECORD* k;
    if (contractors.Get(rows[i].contractor, &k) < 0) return -1;
    CopyText(l.name, k->NAZWA);
    CopyText(l.address, k->ID.IsZero() ? std::string() : ContractorAddress(*k));
    CopyText(l.nip, k->NIP);
    l.v = rows[i];
    AddVat(&total, rows[i]);
  }
  rc = PrintVatPart(o, filter, o.form, lines, total);
  if (rc != 0 || o.form == kVatShort) return rc;
  if (!askMore || !askMore()) return 0;
  Put("\n\n");
  return PrintVatPart(o, filter, o.form == kVatPart1 ? kVatPart2 : kVatPart1, lines, total);
}

// ---- the lump-sum register ----

int CollectLumpSumRegister(const REPORT_PERIOD& period, const DOCUMENT_FILTER& filter,
                           std::vector<LUMP_SUM_ROW>* rows) {
  std::vector<AMOUNT> ids;
  std::vector<char> nets;
  int rc = WalkTransactions(period, AMOUNT(), [&] {
    if (Tra.RODZAJ[0] != 'S' || IsInternalWarehouseDocument(Tra.DOKMAGTYP) ||
        !FilterAccepts(filter, Tra))
      return 0;
    LUMP_SUM_ROW r;
    r.transaction = Tra.ID;
    r.date = Tra.DATATRA;
    CopyText(r.document, TransactionDocumentText(Tra));
    rows->push_back(r);
    ids.push_back(Tra.ID);
    nets.push_back(Tra.ZAOKRNETTO != 0);
    return 0;
  });
  if (rc != 0) return rc;
  return PositionNetsOfRows(
      ids, nets,
      [&](size_t row, char kind, AMOUNT net) {
        LUMP_SUM_ROW& r = (*rows)[row];
        switch (kind) {
          case 'P': r.production += net; break;
          case 'M':
          case 'O':
          case 'T': r.trade += net; break;
          default: r.services += net; break;
        }
      },
      [&](size_t row) {
        LUMP_SUM_ROW& r = (*rows)[row];
        r.services = RoundTo(r.services, 2);
        r.production = RoundTo(r.production, 2);
        r.trade = RoundTo(r.trade, 2);
        r.total = r.services + r.production + r.trade;
      });
}

AMOUNT LumpSumTax(AMOUNT sum, AMOUNT percent) { return sum * percent / AMOUNT::FromInt(100); }

int LumpSumRegisterReport(const REPORT_PERIOD& period, const DOCUMENT_FILTER& filter) {
  std::vector<LUMP_SUM_ROW> rows;
  const int rc = CollectLumpSumRegister(period, filter, &rows);
  if (rc != 0) return rc;
  std::vector<LUMP_LINE> lines(rows.size());
  LUMP_SUM_ROW sum, tax;
  for (size_t i = 0; i < rows.size(); ++i) {
    lines[i].lp = AMOUNT::FromInt(static_cast<int64_t>(i) + 1);
    lines[i].v = rows[i];
    sum.services += rows[i].services;
    sum.production += rows[i].production;
    sum.trade += rows[i].trade;
    sum.total += rows[i].total;
  }
  tax.services = LumpSumTax(sum.services, AMOUNT::FromDouble(8.5));
  tax.production = LumpSumTax(sum.production, AMOUNT::FromDouble(5.5));
  tax.trade = LumpSumTax(sum.trade, AMOUNT::FromInt(3));
  tax.total = tax.services + tax.production + tax.trade;
  LUMP_LINE cur;
  REPORT_GRID g;
  g.Column(6, {"", "Lp"}, new DKRPT::CELL_NUM(&cur.lp, 0));
  g.Column(10, {"", "Data"}, new DKRPT::CELL_DATE(&cur.v.date),
           {new DKRPT::CELL_TEXT("Razem:"), new DKRPT::CELL_TEXT("Podatek:")});
  g.Column(20, {"", "Dokument"}, new DKRPT::CELL_TEXT(cur.v.document));
  struct COL {
    AMOUNT LUMP_SUM_ROW::*field;
    const char* head;
  };
  for (const COL& c :
       {COL{&LUMP_SUM_ROW::services, "usługi"_pl}, COL{&LUMP_SUM_ROW::production, "produkcja"},
        COL{&LUMP_SUM_ROW::trade, "handel"}, COL{&LUMP_SUM_ROW::total, "razem"}})
    g.Column(13, {"Przychód"_pl, c.head}, new DKRPT::CELL_CURR(&(cur.v.*c.field)),
             {new DKRPT::CELL_CURR(&(sum.*c.field)), new DKRPT::CELL_CURR(&(tax.*c.field))});
  PutReportTitle("REJESTR PODATKU ZRYCZAŁTOWANEGO"_pl, g.Width());
  if (PutSelectionHeader(period, AMOUNT(), &filter) != 0) return -1;
  ROWS_SOURCE<LUMP_LINE> source(lines, &cur);
  return g.Print(&source);
}

// ---- the revenue and expense book ----

int CollectRevenueBook(const REPORT_PERIOD& period, const DOCUMENT_FILTER& filter,
                       std::vector<REVENUE_BOOK_ROW>* rows) {
  std::vector<AMOUNT> ids;
  std::vector<char> nets, income;
  int rc = WalkTransactions(period, AMOUNT(), [&] {
    // Goods moved inside the firm are neither revenue nor expense.
    if (IsInternalWarehouseDocument(Tra.DOKMAGTYP) || !FilterAccepts(filter, Tra)) return 0;
    REVENUE_BOOK_ROW r;
    r.transaction = Tra.ID;
    r.date = Tra.DATATRA;
    CopyText(r.document, TransactionDocumentText(Tra));
    r.contractor = Tra.KONID;
    if (Tra.UWAGI[0] != '~') CopyText(r.remarks, Tra.UWAGI);
    rows->push_back(r);
    ids.push_back(Tra.ID);
    nets.push_back(Tra.ZAOKRNETTO != 0);
    income.push_back(Tra.RODZAJ[0] == 'D');
    return 0;
  });
  if (rc != 0) return rc;
  return PositionNetsOfRows(
      ids, nets,
      [&](size_t row, char k, AMOUNT net) {
        REVENUE_BOOK_ROW& r = (*rows)[row];
        if (income[row]) {
          if (k == 'K') r.col11 += net;
          else if (k == 'M' || k == 'P' || k == 'T') r.col10 += net;
          else if (k == 'W') r.col12 += net;
          else r.col13 += net;
        } else {
          if (k == 'M' || k == 'P' || k == 'T' || k == 'U') r.col7 += net;
          else r.col8 += net;
        }
      },
      [&](size_t row) {
        REVENUE_BOOK_ROW& r = (*rows)[row];
        for (AMOUNT* c : {&r.col7, &r.col8, &r.col10, &r.col11, &r.col12, &r.col13})
          *c = RoundTo(*c, 2);
      });
}

namespace {

int PrintBookPart(const REPORT_PERIOD& period, int part, const DOCUMENT_FILTER& filter,
                  const std::vector<BOOK_LINE>& lines, const BOOK_LINE& sum) {
  BOOK_LINE cur;
  BOOK_LINE total = sum;
  REPORT_GRID g;
  g.Column(6, {"Lp"}, new DKRPT::CELL_NUM(&cur.lp, 0),
           {part == 2 ? new DKRPT::CELL_TEXT("Razem:") : nullptr});
  if (part == 1) {
    g.Column(10, {"Data"}, new DKRPT::CELL_DATE(&cur.date));
    g.Column(20, {"Dokument"}, new DKRPT::CELL_TEXT(cur.document));
    g.Column(50, {"Kontrahent"}, new DKRPT::CELL_TEXT(cur.name));
    g.Column(43, {"Adres"}, new DKRPT::CELL_TEXT(cur.address));
    g.Column(19, {"Opis", "zdarzenia", "gospodarczego"}, new DKRPT::CELL_TEXT(cur.remarks));
  } else {
    struct COL {
      AMOUNT BOOK_LINE::*field;
      const char* h[4];
      const char* number;
    };
    const COL cols[8] = {
        {&BOOK_LINE::col7, {"Sprzedaż"_pl, "towarów"_pl, "i usług"_pl, ""}, "7"},
        {&BOOK_LINE::col8, {"Pozostałe"_pl, "przychody", "", ""}, "8"},
        {&BOOK_LINE::col9, {"Razem", "przychód"_pl, "(7+8)", ""}, "9"},
        {&BOOK_LINE::col10, {"Zakup", "towarów"_pl, "i materiałów"_pl, "wg cen zakupu"}, "10"},
        {&BOOK_LINE::col11, {"Koszty", "uboczne", "zakupu", ""}, "11"},
        {&BOOK_LINE::col12, {"Wynagrodzenia", "w gotówce"_pl, "i w naturze", ""}, "12"},
        {&BOOK_LINE::col13, {"Pozostałe"_pl, "wydatki", "", ""}, "13"},
        {&BOOK_LINE::col14, {"Razem", "wydatki", "(12+13)", ""}, "14"},
    };
    for (const COL& c : cols)
      g.Column(13, {c.h[0], c.h[1], c.h[2], c.h[3], c.number},
               new DKRPT::CELL_CURR(&(cur.*c.field)), {new DKRPT::CELL_CURR(&(total.*c.field))});
    g.Column(20, {"Uwagi"}, new DKRPT::CELL_TEXT(""));
  }
  char title[64];
  std::snprintf(title, sizeof title, "KSIĄŻKA PRZYCHODÓW I ROZCHODÓW  CZ. %d"_pl, part);
  PutReportTitle(title, g.Width());
  if (PutSelectionHeader(period, AMOUNT(), &filter) != 0) return -1;
  ROWS_SOURCE<BOOK_LINE> source(lines, &cur);
  return g.Print(&source);
}

}  // namespace

int RevenueBookReport(const REPORT_PERIOD& period, int part, const DOCUMENT_FILTER& filter,
                      bool (*askMore)()) {
  std::vector<REVENUE_BOOK_ROW> rows;
  int rc = CollectRevenueBook(period, filter, &rows);
  if (rc != 0) return rc;
  CONTRACTOR_CACHE contractors(kTableContractors);
  std::vector<BOOK_LINE> lines(rows.size());
  BOOK_LINE sum;
  for (size_t i = 0; i < rows.size(); ++i) {
    const REVENUE_BOOK_ROW& r = rows[i];
    BOOK_LINE& l = lines[i];
    l.lp = AMOUNT::FromInt(static_cast<int64_t>(i) + 1);
    l.date = r.date;
    CopyText(l.document, r.document);
    const KON_RECORD* k;
    if (contractors.Get(r.contractor, &k) < 0) return -1;
    CopyText(l.name, k->NAZWA);
    CopyText(l.address, k->ID.IsZero() ? std::string() : ContractorAddress(*k));
    CopyText(l.remarks, r.remarks);
    l.col7 = r.col7;
    l.col8 = r.col8;
    l.col9 = r.col7 + r.col8;
    l.col10 = r.col10;
    l.col11 = r.col11;
    l.col12 = r.col12;
    l.col13 = r.col13;
    l.col14 = r.col12 + r.col13;
    for (AMOUNT BOOK_LINE::*f :
         {&BOOK_LINE::col7, &BOOK_LINE::col8, &BOOK_LINE::col9, &BOOK_LINE::col10,
          &BOOK_LINE::col11, &BOOK_LINE::col12, &BOOK_LINE::col13, &BOOK_LINE::col14})
      sum.*f += l.*f;
  }
  rc = PrintBookPart(period, part, filter, lines, sum);
  if (rc != 0 || !askMore || !askMore()) return rc;
  Put("\n\n");
  return PrintBookPart(period, 3 - part, filter, lines, sum);
}

// ---- commands ----

int vat_register_command() {
  if (ReportRights(kRightReports) != 0) return -1;
  VAT_STATE& s = g_vat;
  DefaultPeriod(&s.o.period);
  REPORT_DIALOG d(40, 17, "REJESTR VAT");
  d.Period(3, 1, &s.o.period);
  const int form = d.Radio(3, 3, "Skró&cony"_pl, s.o.form == kVatShort);
  d.Radio(3, 4, "Pełny część 1 (strony &lewe)"_pl, s.o.form == kVatPart1);
  d.Radio(3, 5, "Pełny część 2 (strony &prawe)"_pl, s.o.form == kVatPart2);
  d.EndGroup();
  const int kind = d.Radio(3, 7, "&Dostawy", !s.o.sales);
  d.Radio(3, 8, "&Sprzedaże"_pl, s.o.sales);
  d.EndGroup();
  const int who = d.Radio(3, 10, "&Wszystkich kontrahentów"_pl, s.who == 0);
  d.Radio(3, 11, "&Jednego kontrahenta", s.who == 1);
  d.Filter(3, 13);
  d.Ok(17, 15);
  auto check = [&] {
    return ListCheck(d.Chosen(who) != 0, &s.o.contractor, who + 1, ChooseContractor);
  };
  if (d.Run(check) != 0) return -1;
  s.o.form = d.Chosen(form);
  s.o.sales = d.Chosen(kind) == 1;
  s.who = d.Chosen(who);
  if (!s.o.sales && ReportRights(kRightPurchaseTransactions) != 0) return -1;
  const VAT_REGISTER o = s.o;
  return RunReport([&] { return VatRegisterReport(o, DocumentFilter(), AskNextReportPart); });
}

int lump_sum_register_command() {
  if (ReportRights(kRightReports) != 0) return -1;
  DefaultPeriod(&g_lump_period);
  REPORT_DIALOG d(40, 7, "REJESTR PODATKU ZRYCZAŁTOWANEGO"_pl);
  d.Period(3, 1, &g_lump_period);
  d.Filter(3, 3);
  d.Ok(17, 5);
  if (d.Run() != 0) return -1;
  const REPORT_PERIOD p = g_lump_period;
  return RunReport([&] { return LumpSumRegisterReport(p, DocumentFilter()); });
}

int revenue_book_command() {
  if (ReportRights(kRightReports | kRightPurchaseTransactions) != 0) return -1;
  DefaultPeriod(&g_book_period);
  REPORT_DIALOG d(38, 10, "KSIĄŻKA PRZYCHODÓW I ROZCHODÓW"_pl);
  d.Period(3, 1, &g_book_period);
  const int part = d.Radio(3, 3, "Część 1 (strony &lewe)"_pl, g_book_part == 1);
  d.Radio(3, 4, "Część 2 (strony &prawe)"_pl, g_book_part == 2);
  d.Filter(3, 6);
  d.Ok(16, 8);
  if (d.Run() != 0) return -1;
  g_book_part = d.Chosen(part) + 1;
  const REPORT_PERIOD p = g_book_period;
  const int chosen = g_book_part;
  return RunReport(
      [&] { return RevenueBookReport(p, chosen, DocumentFilter(), AskNextReportPart); });
}

void ResetTaxRegisters() {
  g_vat = VAT_STATE{};
  g_lump_period = REPORT_PERIOD{};
  g_book_period = REPORT_PERIOD{};
  g_book_part = 1;
}
