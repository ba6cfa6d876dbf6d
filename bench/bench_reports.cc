// The reports an accountant asks for at the end of every month, over a shop's whole history: a
// database of 100 000 transactions with 10 positions each (1 000 000 positions, 2 000 goods,
// three years) written by the generator below, then the VAT register (both parts, all sales),
// the revenue and expense book (both parts) and the stock on the last day in sale and in
// purchase prices, each generated into a document as the program does.
//
// The floor, measured in the same run, is a plain scan of the positions file in file order
// (every record read once, its quantity added up): a report that reads every position cannot be
// faster. Each report's counter *_to_scan is its time over the floor's. Times are processor
// times of this process (the machine is shared).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>

#include "business/goods_rules.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "platform/headless.h"
#include "platform/inifile.h"
#include "reports/goods_reports.h"
#include "reports/report_output.h"
#include "reports/tax_registers.h"
#include "ui/document/document.h"
#include "ui/screen.h"

#include "bench_data_dir.h"

namespace {

constexpr int kGoods = 2000;
constexpr int kPerTransaction = 10;

double CpuSeconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void Fail(const char* what) { BenchFail("bench_reports", what); }
std::string Enter() { return EnterBenchDataDir("bench_reports"); }
void Leave(const std::string& dir) { LeaveBenchDataDir("bench_reports", dir); }

// Goods of the stock kinds at several VAT rates; a year of deliveries and sales three times over,
// a third of the transactions deliveries, most sales with an invoice, some gross-first.
void Generate(int transactions) {
  std::mt19937 rnd(7);
  static const int kVat[] = {12, 12, 12, 13, 13, 4, 1, 10};
  for (int g = 1; g <= kGoods; ++g) {
    Tow = NewGoodsRecord();
    Tow.ID = AMOUNT::FromInt(g);
    std::snprintf(Tow.NAZWA, sizeof Tow.NAZWA, "Towar %05d", static_cast<int>(rnd() % 100000));
    std::snprintf(Tow.NR, sizeof Tow.NR, "T%06d", g);
    Tow.RODZAJ[0] = "TTTPM"[g % 5];
    Tow.VATID = AMOUNT::FromInt(kVat[g % 8]);
    Tow.CENA = AMOUNT::FromRaw(10000 + static_cast<int64_t>(rnd() % 2000000));
    if (TableAppend(kTableGoods) != 0) Fail("goods");
  }
  for (int k = 1; k <= 50; ++k) {
    Kon = KON_RECORD{};
    Kon.ID = AMOUNT::FromInt(k);
    std::snprintf(Kon.NAZWA, sizeof Kon.NAZWA, "Kontrahent %d", k);
    if (TableAppend(kTableContractors) != 0) Fail("contractor");
  }
  const DATE first = DateFromYmd(2024, 1, 1);
  std::vector<AMOUNT> stock(kGoods + 1);
  for (int t = 1; t <= transactions; ++t) {
    const bool delivery = t % 3 == 1;
    Tra = TRA_RECORD{};
    Tra.ID = AMOUNT::FromInt(t);
    Tra.RODZAJ[0] = delivery ? 'D' : 'S';
    // The transactions come in date order, about 90 a day.
    Tra.DATATRA = Tra.DATAMAG =
        first + static_cast<DATE>(static_cast<int64_t>(t) * 1095 / transactions);
    Tra.KONID = AMOUNT::FromInt(1 + static_cast<int>(rnd() % 50));
    std::snprintf(Tra.DOKMAGTYP, sizeof Tra.DOKMAGTYP, "%s", delivery ? "PZ" : "WZ");
    std::snprintf(Tra.DOKMAGNR, sizeof Tra.DOKMAGNR, "%06d", t);
    if (delivery || rnd() % 4 != 0) {
      std::snprintf(Tra.DOKTRATYP, sizeof Tra.DOKTRATYP, "%s", delivery || rnd() % 2 ? "FV" : "PA");
      std::snprintf(Tra.DOKTRANR, sizeof Tra.DOKTRANR, "%06d", t);
    }
    Tra.ZAOKRNETTO = rnd() % 3 == 0;
    const TRA_RECORD transaction = Tra;
    if (TableAppend(kTableTransactions) != 0) Fail("transaction");
    for (int p = 0; p < kPerTransaction; ++p) {
      const int g = 1 + static_cast<int>(rnd() % kGoods);
      Poz = POZ_RECORD{};
      Poz.RODZAJ[0] = transaction.RODZAJ[0];
      Poz.DATATRA = Poz.DATAMAG = transaction.DATATRA;
      Poz.TRAID = transaction.ID;
      Poz.KONID = transaction.KONID;
      Poz.TOWID = AMOUNT::FromInt(g);
      Poz.ILOSC = AMOUNT::FromInt(delivery ? 20 + static_cast<int>(rnd() % 20)
                                           : 1 + static_cast<int>(rnd() % 10));
      Poz.CENA = AMOUNT::FromRaw(10000 + static_cast<int64_t>(rnd() % 2000000));
      Poz.VATID = AMOUNT::FromInt(kVat[g % 8]);
      stock[static_cast<size_t>(g)] += delivery ? Poz.ILOSC : -Poz.ILOSC;
      if (TableAppend(kTablePositions) != 0) Fail("position");
    }
  }
  TableSetIndex(kTableGoods, -1);
  for (int rc = TableFirst(kTableGoods); rc == 0; rc = TableNext(kTableGoods)) {
    Tow.STAN = stock[static_cast<size_t>(Tow.ID.Whole())];
    if (TableUpdate(kTableGoods) != 0) Fail("stock");
  }
}

// Generates one report into a document, as the report command does: its processor seconds.
template <typename Fn>
double Time(Fn report) {
  DocumentReset();
  ReportOutputBegin();
  const double start = CpuSeconds();
  if (report() != 0 || ReportOutputEnd() != 0) Fail("report");
  const double took = CpuSeconds() - start;
  if (doc_measure() != 0 || doc_lines() < 10) Fail("document");
  doc_close();
  return took;
}

void BM_Reports(benchmark::State& state) {
  const int transactions = static_cast<int>(state.range(0));
  const std::string dir = Enter();
  double generated = CpuSeconds();
  Generate(transactions);
  generated = CpuSeconds() - generated;
  const REPORT_PERIOD all{DateFromYmd(2024, 1, 1), DateFromYmd(2026, 12, 31)};
  DOCUMENT_FILTER filter;
  filter.fill(1);
  double scan = 0, vat = 0, book = 0, stock_sale = 0, stock_purchase = 0;
  long positions = 0;
  for (auto _ : state) {
    // The floor: every position read once in file order.
    double start = CpuSeconds();
    AMOUNT sum;
    positions = 0;
    int rc = TableSetIndex(kTablePositions, -1);
    for (rc = rc == 0 ? TableFirst(kTablePositions) : rc; rc == 0;
         rc = TableNext(kTablePositions)) {
      sum += Poz.ILOSC;
      ++positions;
    }
    if (rc < 0 || positions != static_cast<long>(transactions) * kPerTransaction) Fail("scan");
    scan = CpuSeconds() - start;
    benchmark::DoNotOptimize(sum);
    VAT_REGISTER v;
    v.period = all;
    v.form = kVatPart1;
    vat = Time([&] { return VatRegisterReport(v, filter, [] { return true; }); });
    book = Time([&] { return RevenueBookReport(all, 1, filter, [] { return true; }); });
    STOCK_REPORT s;
    s.date = all.last;
    stock_sale = Time([&] { return StockReport(s); });
    s.kind = kStockPurchasePrices;
    stock_purchase = Time([&] { return StockReport(s); });
  }
  state.counters["positions"] = static_cast<double>(positions);
  state.counters["generate_s"] = generated;
  state.counters["scan_s"] = scan;
  state.counters["vat_register_s"] = vat;
  state.counters["revenue_book_s"] = book;
  state.counters["stock_sale_s"] = stock_sale;
  state.counters["stock_purchase_s"] = stock_purchase;
  state.counters["vat_register_to_scan"] = vat / scan;
  state.counters["revenue_book_to_scan"] = book / scan;
  state.counters["stock_sale_to_scan"] = stock_sale / scan;
  state.counters["stock_purchase_to_scan"] = stock_purchase / scan;
  Leave(dir);
}
BENCHMARK(BM_Reports)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
