// The registers an accountant checks to the grosz, against an oracle: a year of random trading
// (every VAT rate, goods kind, document kind, both net flags, discounts, half units, payments
// settled late or never) is written straight into the tables, and the VAT register, the
// revenue and expense book, the lump-sum register and the cash report are worked out again here
// in whole grosze from the positions and transactions, by the rules of the arithmetic rather
// than through the program's functions. Then the bad input and the read faults of the reports.
#include <array>
#include <functional>
#include <map>
#include <random>

#include "platform/cfile_testing.h"
#include "reports/contractor_reports.h"
#include "reports/goods_reports.h"
#include "reports/money_reports.h"
#include "reports/tax_registers.h"
#include "reports/transaction_reports.h"
#include "reports_testing.h"

namespace {

// x / d rounded half away from zero (d > 0).
int64_t RoundDiv(int64_t x, int64_t d) {
  return x >= 0 ? (2 * x + d) / (2 * d) : -((-2 * x + d) / (2 * d));
}
AMOUNT Grosz(int64_t g) { return AMOUNT::FromRaw(g * 100); }

const int kRates[15] = {0, 0, 22, 7, 0, 12, 17, 2, 4, 3, 5, 6, 23, 8, 0};  // by VAT identifier

struct POS {
  int64_t price;  // gross unit price before discount, grosze
  int64_t half_units;
  int discount;  // whole per cent
  int vat;
  char kind;  // of the goods
};
struct TRANSACTION {
  AMOUNT id;
  char kind;
  DATE date;
  const char* warehouse;
  const char* sales;
  bool net;
  AMOUNT contractor;
  std::vector<POS> positions;
  int64_t cash = 0, card = 0, transfer = 0, deferment = 0, transfer_interest = 0,
          deferment_interest = 0;
  DATE transfer_paid = 0, deferment_paid = 0;
};

// The net and gross value of one position, grosze.
void Values(const POS& p, bool net_first, int64_t* net, int64_t* gross) {
  const int64_t r = kRates[p.vat];
  if (net_first) {
    const int64_t unit_net = RoundDiv(p.price * 100, 100 + r);
    *net = RoundDiv(RoundDiv(unit_net * (100 - p.discount), 100) * p.half_units, 2);
    *gross = RoundDiv(*net * (100 + r), 100);
  } else {
    *gross = RoundDiv(RoundDiv(p.price * (100 - p.discount), 100) * p.half_units, 2);
    *net = RoundDiv(*gross * 100, 100 + r);
  }
}

bool Internal(const char* warehouse) {
  return warehouse[0] && (warehouse[1] == 'W' || warehouse[1] == 'M');
}

class RegistersOracleTest : public ReportsTest {
 protected:
  static DATE Y(unsigned m, unsigned d) { return DateFromYmd(2025, m, d); }

  void MakeYear() {
    std::mt19937 rnd(20250101);
    auto pick = [&](int n) { return static_cast<int>(rnd() % static_cast<unsigned>(n)); };
    const char kinds[] = "TPOMUKRWI";
    std::vector<std::pair<AMOUNT, char>> goods;
    for (int i = 0; i < 40; ++i) {
      const AMOUNT id = AddGoods("Towar", 1 + pick(300), 1 + i % 14);
      ASSERT_EQ(FindById(kTableGoods, id), 0);
      Tow.RODZAJ[0] = kinds[i % 9];
      ASSERT_EQ(TableUpdate(kTableGoods), 0);
      goods.emplace_back(id, Tow.RODZAJ[0]);
    }
    std::vector<AMOUNT> contractors;
    for (int i = 0; i < 6; ++i) contractors.push_back(AddContractor("Klient"));
    const char* const income_w[] = {"PZ", "PZ", "PZ", "PW", "PM"};
    const char* const expense_w[] = {"WZ", "WZ", "WZ", "WW", "WM"};
    const char* const income_s[] = {"", "FV", "FV", "FR", "RU"};
    const char* const expense_s[] = {"", "FV", "PA", "PA", "RU", "ZF", "ZR", "ZP"};
    for (int n = 0; n < 360; ++n) {
      TRANSACTION t;
      t.kind = pick(5) < 2 ? 'D' : 'S';
      t.date = Y(1, 1) + static_cast<DATE>(pick(365));
      t.warehouse = t.kind == 'D' ? income_w[pick(5)] : expense_w[pick(5)];
      t.sales = t.kind == 'D' ? income_s[pick(5)] : expense_s[pick(8)];
      t.net = pick(3) == 0;
      t.contractor = contractors[static_cast<size_t>(pick(6))];
      if (n == 0) t.kind = 'S', t.warehouse = "WZ", t.sales = "FV";
      const int count = n == 0 ? 2 : 1 + pick(5);
      for (int k = 0; k < count; ++k) {
        const auto& g = goods[static_cast<size_t>(pick(40))];
        static const int kDiscounts[] = {0, 0, 0, 5, 10, 33};
        POS p{1 + pick(40000), 1 + pick(40), kDiscounts[pick(6)], 1 + pick(14), g.second};
        // The first sale has 23 % and "zw" side by side.
        if (n == 0) p.vat = k == 0 ? 12 : 1;
        t.positions.push_back(p);
        AddRecords(&t, g.first, p);
      }
      int64_t gross = 0;
      for (const POS& p : t.positions) {
        int64_t net, g;
        Values(p, t.net, &net, &g);
        gross += g;
      }
      // The money: cash, card, a transfer and a deferment, each paid in time, late or never.
      t.transfer = pick(3) == 0 ? gross / 3 : 0;
      t.deferment = pick(3) == 0 ? gross / 4 : 0;
      t.card = pick(4) == 0 ? gross / 5 : 0;
      t.cash = gross - t.transfer - t.deferment - t.card;
      if (pick(4) != 0) t.transfer_paid = t.date + static_cast<DATE>(pick(60));
      if (pick(4) != 0) t.deferment_paid = t.date + static_cast<DATE>(pick(90));
      if (t.transfer_paid > t.date + 30) t.transfer_interest = 1 + pick(500);
      if (t.deferment_paid > t.date + 30) t.deferment_interest = 1 + pick(500);
      Store(&t);
      year.push_back(t);
    }
    // Wages bought in column 12.
    TRANSACTION w;
    w.kind = 'D';
    w.date = Y(6, 30);
    w.warehouse = "PZ";
    w.sales = "RU";
    w.net = false;
    w.contractor = contractors[0];
    POS p{123456, 2, 0, 1, 'W'};
    w.positions.push_back(p);
    for (const auto& g : goods)
      if (g.second == 'W') {
        AddRecords(&w, g.first, p);
        break;
      }
    Store(&w);
    year.push_back(w);
  }

  // The transaction's positions go in before the transaction, which gets its identifier first.
  void AddRecords(TRANSACTION* t, AMOUNT goods, const POS& p) {
    if (t->id.IsZero()) {
      ASSERT_EQ(NextRecordId(kTableTransactions, &t->id), 0);
    }
    Poz = POZ_RECORD{};
    Poz.RODZAJ[0] = t->kind;
    Poz.DATATRA = Poz.DATAMAG = t->date;
    Poz.TRAID = t->id;
    Poz.KONID = t->contractor;
    Poz.TOWID = goods;
    Poz.ILOSC = AMOUNT::FromRaw(p.half_units * AMOUNT::kScale / 2);
    Poz.CENA = Grosz(p.price);
    Poz.RABAT = AMOUNT::FromInt(p.discount);
    Poz.VATID = AMOUNT::FromInt(p.vat);
    ASSERT_EQ(TableAppend(kTablePositions), 0);
  }

  static void Store(TRANSACTION* t) {
    Tra = TRA_RECORD{};
    Tra.ID = t->id;
    Tra.RODZAJ[0] = t->kind;
    Tra.DATATRA = Tra.DATAMAG = t->date;
    Tra.KONID = t->contractor;
    std::snprintf(Tra.DOKMAGTYP, sizeof Tra.DOKMAGTYP, "%s", t->warehouse);
    std::snprintf(Tra.DOKMAGNR, sizeof Tra.DOKMAGNR, "%06d", static_cast<int>(t->id.Whole()));
    std::snprintf(Tra.DOKTRATYP, sizeof Tra.DOKTRATYP, "%s", t->sales);
    if (t->sales[0])
      std::snprintf(Tra.DOKTRANR, sizeof Tra.DOKTRANR, "%06d", static_cast<int>(t->id.Whole()));
    Tra.ZAOKRNETTO = t->net;
    Tra.GOT = Grosz(t->cash);
    Tra.CZK = Grosz(t->card);
    Tra.PRZ = Grosz(t->transfer);
    Tra.PRZTERMIN = AMOUNT::FromInt(30);
    Tra.PRZZAPLAC = t->transfer ? t->transfer_paid : 0;
    Tra.PRZODSETKI = Grosz(t->transfer_interest);
    Tra.ODR = Grosz(t->deferment);
    Tra.ODRTERMIN = AMOUNT::FromInt(30);
    Tra.ODRZAPLAC = t->deferment ? t->deferment_paid : 0;
    Tra.ODRODSETKI = Grosz(t->deferment_interest);
    ASSERT_EQ(TableAppend(kTableTransactions), 0);
  }

  std::vector<TRANSACTION> year;
};

// The VAT register row of a transaction, grosze: gross, VAT, exempt, 23 net/VAT, 8 net/VAT,
// special net/VAT, 0 %.
std::array<int64_t, 10> VatRow(const TRANSACTION& t) {
  int64_t slot_net[15] = {}, slot_gross[15] = {};
  for (const POS& p : t.positions) {
    int64_t net, gross;
    Values(p, t.net, &net, &gross);
    if (gross == 0) continue;
    slot_net[p.vat] += net;
    slot_gross[p.vat] += gross;
  }
  std::array<int64_t, 10> row{};
  for (int id = 1; id <= 14; ++id) {
    const int64_t r = kRates[id];
    if (t.net) slot_gross[id] = RoundDiv(slot_net[id] * (100 + r), 100);
    else slot_net[id] = RoundDiv(slot_gross[id] * 100, 100 + r);
    const int64_t vat = slot_gross[id] - slot_net[id];
    row[0] += slot_gross[id];
    row[1] += vat;
    if (id == 1 || id == 14) row[2] += slot_gross[id];
    else if (id == 12) row[3] += slot_net[id], row[4] += vat;
    else if (id == 13) row[5] += slot_net[id], row[6] += vat;
    else if (id == 4) row[9] += slot_net[id];
    else row[7] += slot_net[id], row[8] += vat;
  }
  return row;
}

TEST_F(RegistersOracleTest, AYearOfTradingAgreesToTheGrosz) {
  MakeYear();
  const REPORT_PERIOD year_period{Y(1, 1), Y(12, 31)};
  // VAT registers: sales and deliveries, all contractors and one.
  bool mixed = false;
  for (const bool sales : {true, false})
    for (const AMOUNT who : {AMOUNT(), year[3].contractor}) {
      VAT_REGISTER o;
      o.period = year_period;
      o.sales = sales;
      o.contractor = who;
      std::vector<VAT_REGISTER_ROW> rows;
      ASSERT_EQ(CollectVatRegister(o, All(), &rows), 0);
      std::map<int64_t, std::array<int64_t, 10>> want;
      for (const TRANSACTION& t : year)
        if (t.kind == (sales ? 'S' : 'D') && t.sales[0] && (who.IsZero() || t.contractor == who))
          want[t.id.Raw()] = VatRow(t);
      ASSERT_EQ(rows.size(), want.size());
      DATE last = 0;
      for (const VAT_REGISTER_ROW& r : rows) {
        SCOPED_TRACE(r.transaction.Whole());
        EXPECT_GE(r.date, last);  // date order
        last = r.date;
        const auto& w = want.at(r.transaction.Raw());
        const AMOUNT got[10] = {r.gross, r.vat,  r.exempt,     r.net23,      r.vat23,
                                r.net8,  r.vat8, r.netSpecial, r.vatSpecial, r.zero};
        for (int c = 0; c < 10; ++c)
          EXPECT_EQ(got[c], Grosz(w[static_cast<size_t>(c)])) << "column " << c;
        mixed = mixed || (!r.net23.IsZero() && !r.exempt.IsZero());
      }
    }
  EXPECT_TRUE(mixed) << "no sale with 23 % and zw";

  // The revenue and expense book and the lump-sum register, in a half year.
  const REPORT_PERIOD half{Y(3, 1), Y(8, 31)};
  std::vector<REVENUE_BOOK_ROW> book;
  ASSERT_EQ(CollectRevenueBook(half, All(), &book), 0);
  std::vector<LUMP_SUM_ROW> lump;
  ASSERT_EQ(CollectLumpSumRegister(half, All(), &lump), 0);
  std::map<int64_t, std::array<int64_t, 6>> want_book;  // 7, 8, 10, 11, 12, 13
  std::map<int64_t, std::array<int64_t, 3>> want_lump;  // services, production, trade
  for (const TRANSACTION& t : year) {
    if (t.date < half.first || t.date > half.last || Internal(t.warehouse)) continue;
    auto& b = want_book[t.id.Raw()];
    for (const POS& p : t.positions) {
      int64_t net, gross;
      Values(p, t.net, &net, &gross);
      const bool goods = p.kind == 'M' || p.kind == 'P' || p.kind == 'T';
      if (t.kind == 'S') b[goods || p.kind == 'U' ? 0 : 1] += net;
      else b[p.kind == 'K' ? 3 : goods ? 2 : p.kind == 'W' ? 4 : 5] += net;
    }
    if (t.kind != 'S') continue;
    auto& l = want_lump[t.id.Raw()];
    for (const POS& p : t.positions) {
      int64_t net, gross;
      Values(p, t.net, &net, &gross);
      l[p.kind == 'P' ? 1 : p.kind == 'M' || p.kind == 'O' || p.kind == 'T' ? 2 : 0] += net;
    }
  }
  ASSERT_EQ(book.size(), want_book.size());
  for (const REVENUE_BOOK_ROW& r : book) {
    const auto& w = want_book.at(r.transaction.Raw());
    const AMOUNT got[6] = {r.col7, r.col8, r.col10, r.col11, r.col12, r.col13};
    for (int c = 0; c < 6; ++c)
      EXPECT_EQ(got[c], Grosz(w[static_cast<size_t>(c)]))
          << r.transaction.Whole() << " column " << c;
    if (r.transaction == year.back().id) {
      EXPECT_EQ(r.col12, Grosz(123456));  // the wages
    }
  }
  ASSERT_EQ(lump.size(), want_lump.size());
  int64_t sums[3] = {};
  for (const LUMP_SUM_ROW& r : lump) {
    const auto& w = want_lump.at(r.transaction.Raw());
    EXPECT_EQ(r.services, Grosz(w[0]));
    EXPECT_EQ(r.production, Grosz(w[1]));
    EXPECT_EQ(r.trade, Grosz(w[2]));
    EXPECT_EQ(r.total, Grosz(w[0] + w[1] + w[2]));
    for (int c = 0; c < 3; ++c) sums[c] += w[static_cast<size_t>(c)];
  }
  // The tax: the sum × rate / 100 cut to four decimals (in 1/10000 zł: grosze × 100 × rate).
  EXPECT_EQ(LumpSumTax(Grosz(sums[0]), AMOUNT::FromDouble(8.5)),
            AMOUNT::FromRaw(sums[0] * 100 * 85 / 1000));
  EXPECT_EQ(LumpSumTax(Grosz(sums[1]), AMOUNT::FromDouble(5.5)),
            AMOUNT::FromRaw(sums[1] * 100 * 55 / 1000));
  EXPECT_EQ(LumpSumTax(Grosz(sums[2]), AMOUNT::FromInt(3)),
            AMOUNT::FromRaw(sums[2] * 100 * 3 / 100));

  // The cash report: all payments, and only those of transactions 30 days before the period on.
  for (const int days : {0, 30}) {
    CASH_REPORT o;
    o.period = half;
    o.days = AMOUNT::FromInt(days);
    std::vector<CASH_ROW> rows;
    CASH_SUMS got;
    ASSERT_EQ(CollectCashReport(o, &rows, &got), 0);
    int64_t in[3] = {}, out[3] = {};
    size_t count = 0;
    for (const TRANSACTION& t : year) {
      if (t.date > half.last || (days && t.date < half.first - static_cast<DATE>(days))) continue;
      const struct {
        int form;
        DATE date;
        int64_t amount;
      } payments[4] = {{0, t.date, t.cash},
                       {0, t.deferment_paid, t.deferment ? t.deferment + t.deferment_interest : 0},
                       {1, t.date, t.card},
                       {2, t.transfer_paid, t.transfer ? t.transfer + t.transfer_interest : 0}};
      for (const auto& p : payments) {
        if (p.amount == 0 || p.date < half.first || p.date > half.last) continue;
        ++count;
        (t.kind == 'D' ? out : in)[p.form] += p.amount;
      }
    }
    EXPECT_EQ(rows.size(), count) << days;
    for (int f = 0; f < 3; ++f) {
      EXPECT_EQ(got.in[f], Grosz(in[f])) << days << " form " << f;
      EXPECT_EQ(got.out[f], Grosz(out[f])) << days << " form " << f;
    }
  }
}

// A period or filter that takes nothing in gives the header and zero totals; an excluded kind
// is listed with '-'; a deferment paid on its due date is no debt.
TEST_F(RegistersOracleTest, NothingChosenAndPaidInTime) {
  DOCUMENT_FILTER none = All();
  none[DocumentFilterFiscalFlag(false)] = 0;
  none[DocumentFilterFiscalFlag(true)] = 0;
  VAT_REGISTER v;
  v.period = December();
  const auto empty_filter = Report([&] { return VatRegisterReport(v, none); });
  EXPECT_TRUE(Has(empty_filter, "    Paragony fiskalne: Brak- PF- "));
  EXPECT_FALSE(Has(empty_filter, "FV 000001"));
  EXPECT_TRUE(Has(empty_filter,
                  "        Razem:                                                            0,00  "
                  "        0,00"));
  const auto empty_period = Report([&] {
    return RevenueBookReport({Y(1, 1), Y(1, 31)}, 2, All());
  });
  EXPECT_TRUE(Has(empty_period, "Okres: 01.01.2025 - 31.01.2025"));
  EXPECT_TRUE(Has(empty_period, " Razem:          0,00          0,00          0,00          0,00"));

  // The demonstration's sale owes 50.00 on a deferment of 7 days, paid on the day it fell due.
  ASSERT_EQ(FindById(kTableTransactions, AMOUNT::FromInt(4)), 0);
  Tra.ODR = AMOUNT::FromInt(50);
  Tra.ODRTERMIN = AMOUNT::FromInt(7);
  Tra.GOT -= Tra.ODR;
  ASSERT_EQ(TableUpdate(kTableTransactions), 0);
  SALES_REPORT s;
  s.period = December();
  s.variant = kSalesUnpaid;
  s.today = Day(31);
  EXPECT_TRUE(Has(Report([&] { return SalesDocumentsReport(s, All()); }), "odroczenie"));
  ASSERT_EQ(FindById(kTableTransactions, AMOUNT::FromInt(4)), 0);
  Tra.ODRZAPLAC = Day(12);
  ASSERT_EQ(TableUpdate(kTableTransactions), 0);
  EXPECT_FALSE(Has(Report([&] { return SalesDocumentsReport(s, All()); }), "odroczenie"));
  s.variant = kSalesPaidInterest;
  EXPECT_FALSE(Has(Report([&] { return SalesDocumentsReport(s, All()); }), "odroczenie"));
}

struct COUNTING_HANDLER : CFILE::HANDLER {
  int count = 0;
  void Report(const char*, int, int, int) override { ++count; }
};

// A file operation that fails anywhere in a report stops it with the failure reported, or keeps
// the document it wrote from being shown: never a shorter report that looks whole. Esc stops it
// as well.
TEST_F(RegistersOracleTest, AFailedReadOrEscStopsTheReport) {
  MakeYear();
  const REPORT_PERIOD p{Y(1, 1), Y(12, 31)};
  VAT_REGISTER vat;
  vat.period = p;
  vat.form = kVatPart1;
  GOODS_REPORT goods;
  goods.period = p;
  goods.kind = kGoodsProfits;
  goods.detail = kDetailDeliveries;
  STOCK_REPORT stock;
  stock.kind = kStockPurchasePrices;
  stock.date = Y(6, 30);
  CASH_REPORT cash;
  cash.period = p;
  PROFIT_REPORT profits;
  profits.period = p;
  SALES_REPORT unpaid;
  unpaid.period = p;
  unpaid.variant = kSalesUnpaid;
  unpaid.today = Y(12, 31);
  const struct {
    const char* name;
    std::function<int()> run;
  } reports[] = {
      {"vat", [&] { return VatRegisterReport(vat, All(), [] { return true; }); }},
      {"book", [&] { return RevenueBookReport(p, 1, All(), [] { return true; }); }},
      {"lump", [&] { return LumpSumRegisterReport(p, All()); }},
      {"goods", [&] { return GoodsTransactionsReport(goods, All()); }},
      {"stock", [&] { return StockReport(stock); }},
      {"cash", [&] { return CashReport(cash); }},
      {"profits", [&] { return ProfitsByGoodsReport(profits, All()); }},
      {"unpaid", [&] { return SalesDocumentsReport(unpaid, All()); }},
      {"contractors",
       [&] {
         return ContractorSalesReport({p, false}, All());
       }},
  };
  COUNTING_HANDLER handler;
  CFILE::SetHandler(&handler);
  for (const auto& r : reports) {
    int rc = -1;
    const auto clean = Report(r.run, &rc);
    ASSERT_EQ(rc, 0) << r.name;
    ASSERT_GT(clean.size(), 8u) << r.name;
    // Faults at reads spread over the whole report.
    int struck = 0;
    for (long nth = 1;; nth += 1 + nth / 2) {
      SCOPED_TRACE(std::string(r.name) + ", read " + std::to_string(nth));
      handler.count = 0;
      DocumentReset();
      ReportPollReset();
      ReportOutputBegin();
      SetFileFault(0, nth, false);
      rc = r.run();
      const bool hit = FileFaultStruck();
      ClearFileFault();
      const int written = ReportOutputEnd();
      const bool whole = rc == 0 && written == 0 && DocumentLines() == clean;
      doc_close();
      if (!hit) {
        EXPECT_TRUE(whole);
        break;
      }
      // A failed read stops the report, a failed write of the document keeps it from being
      // shown; a fault the file layer may take (a temporary name taken) leaves it whole.
      ++struck;
      EXPECT_TRUE(rc == -1 || (rc == 0 && written != 0) || whole) << rc;
      EXPECT_TRUE(whole || handler.count > 0 || written != 0);
    }
    EXPECT_GT(struck, 3) << r.name;
  }
  CFILE::SetHandler(nullptr);
  // Esc and " &Tak ": the report ends as interrupted.
  con->typeahead = true;
  Play("{Esc}t");
  int rc = 0;
  Report([&] { return VatRegisterReport(vat, All()); }, &rc);
  EXPECT_EQ(rc, kReportInterrupted);
}

}  // namespace

namespace {

// The dialog refuses a period without both dates or ending before it starts, with the focus
// back on the date, and nothing is generated.
TEST_F(RegistersOracleTest, ThePeriodMustBeWhole) {
  con->typeahead = false;
  Play("{Ctrl+Y}{Alt+o}{Snap}{Enter}01.02.2025{Tab}{Ctrl+Y}01.01.2025{Alt+o}{Snap}{Enter}{Esc}");
  EXPECT_EQ(lump_sum_register_command(), -1);
  ASSERT_EQ(Shots(), 2u);
  EXPECT_TRUE(ShotShows(0, {"Podaj pierwszy i ostatni dzień okresu."}));
  EXPECT_TRUE(ShotShows(1, {"Koniec okresu jest wcześniejszy"}));
  EXPECT_FALSE(doc_is_open());
}

}  // namespace
