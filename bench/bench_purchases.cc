// The purchase cost, first in first out, of every sale of one goods, and an invoice of 1 000
// positions.
//
// Every sale of a goods with 10 000 and with 100 000 positions (each day a delivery of 99 units
// and 99 sales of one unit) is valued in index order, the stock carried from one sale to the
// next by a STOCK_MARK. A sale must read only the positions between it and the deliveries it
// took from, so the time per sale must not grow with the goods' positions: the counter
// per_sale_100000_to_10000 is their ratio. The peer, measured in the same run, is a sale valued
// without the mark (its stock found from the goods' last position back), which reads every
// newer position. The invoice is read and written for 100 and for 1 000 positions; the time per
// position is compared the same way. Times are processor times of this process.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "business/documents/transaction_document.h"
#include "business/goods_rules.h"
#include "business/options.h"
#include "db/dbtable.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "platform/headless.h"
#include "platform/inifile.h"
#include "reports/purchases.h"
#include "ui/document/document.h"
#include "ui/screen.h"

#include "bench_data_dir.h"

namespace {

double CpuMicroseconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

void Fail(const char* what) { BenchFail("bench_purchases", what); }
std::string Enter() { return EnterBenchDataDir("bench_purchases"); }
void Leave(const std::string& dir) { LeaveBenchDataDir("bench_purchases", dir); }

AMOUNT AddGoods(int n, double price) {
  Tow = NewGoodsRecord();
  Tow.ID = AMOUNT::FromInt(n);
  std::snprintf(Tow.NAZWA, sizeof Tow.NAZWA, "Towar %d", n);
  std::snprintf(Tow.NR, sizeof Tow.NR, "T%06d", n);
  Tow.CENA = AMOUNT::FromDouble(price);
  Tow.VATID = AMOUNT::FromInt(12);
  if (TableAppend(kTableGoods) != 0) Fail("goods");
  return Tow.ID;
}

AMOUNT AddTransaction(int id, char kind, DATE date) {
  Tra = TRA_RECORD{};
  Tra.ID = AMOUNT::FromInt(id);
  Tra.RODZAJ[0] = kind;
  Tra.DATATRA = Tra.DATAMAG = date;
  if (TableAppend(kTableTransactions) != 0) Fail("transaction");
  return Tra.ID;
}

void AddPosition(AMOUNT transaction, char kind, DATE date, AMOUNT goods, double quantity,
                 double price) {
  Poz = POZ_RECORD{};
  Poz.RODZAJ[0] = kind;
  Poz.DATATRA = Poz.DATAMAG = date;
  Poz.TRAID = transaction;
  Poz.TOWID = goods;
  Poz.ILOSC = AMOUNT::FromDouble(quantity);
  Poz.CENA = AMOUNT::FromDouble(price);
  Poz.VATID = AMOUNT::FromInt(12);
  if (TableAppend(kTablePositions) != 0) Fail("position");
}

// One goods, `positions` positions: each day a delivery of 99 at 7.38 and 99 sales of one unit.
std::vector<long> BuildSales(int positions) {
  const AMOUNT goods = AddGoods(1, 9.84);
  const DATE first = DateFromYmd(2020, 1, 1);
  for (int day = 0; day < positions / 100; ++day) {
    const DATE date = first + static_cast<DATE>(day);
    AddPosition(AddTransaction(2 * day + 1, 'D', date), 'D', date, goods, 99, 7.38);
    const AMOUNT sale = AddTransaction(2 * day + 2, 'S', date);
    for (int k = 0; k < 99; ++k) AddPosition(sale, 'S', date, goods, 1, 9.84);
  }
  // The stock the positions leave: every delivery sold.
  std::vector<long> sales;
  if (TableSetIndex(kTablePositions, 1) != 0) Fail("index");
  for (int rc = TableFirst(kTablePositions); rc == 0; rc = TableNext(kTablePositions))
    if (Poz.RODZAJ[0] == 'S') sales.push_back(TableRecNo(kTablePositions));
  return sales;
}

void BM_PurchaseCostOfEverySale(benchmark::State& state) {
  const int positions = static_cast<int>(state.range(0));
  const std::string dir = Enter();
  const std::vector<long> sales = BuildSales(positions);
  double per_sale = 0, per_sale_unmarked = 0;
  for (auto _ : state) {
    STOCK_MARK mark;
    AMOUNT total;
    const double start = CpuMicroseconds();
    for (long recno : sales) {
      PURCHASE_VALUE v;
      if (TableGo(kTablePositions, recno) != 0 || PurchaseValueOfSale(&mark, &v) != 0 || !v.known)
        Fail("sale");
      total += v.gross;
    }
    per_sale = (CpuMicroseconds() - start) / static_cast<double>(sales.size());
    if (total != AMOUNT::FromDouble(7.38) * static_cast<int64_t>(sales.size()))
      Fail("wrong purchase value");
    // The peer: the first 20 sales without the mark, each walking back from the goods' last
    // position.
    const double peer = CpuMicroseconds();
    for (size_t i = 0; i < 20; ++i) {
      PURCHASE_VALUE v;
      if (TableGo(kTablePositions, sales[i]) != 0 || PurchaseValueOfSale(nullptr, &v) != 0)
        Fail("sale");
    }
    per_sale_unmarked = (CpuMicroseconds() - peer) / 20;
  }
  state.counters["positions"] = positions;
  state.counters["us_per_sale"] = per_sale;
  state.counters["us_per_sale_without_mark"] = per_sale_unmarked;
  static double per_sale_at_10000 = 0;
  if (positions == 10000) per_sale_at_10000 = per_sale;
  if (positions == 100000 && per_sale_at_10000 > 0)
    state.counters["per_sale_100000_to_10000"] = per_sale / per_sale_at_10000;
  Leave(dir);
}
BENCHMARK(BM_PurchaseCostOfEverySale)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_InvoiceOfPositions(benchmark::State& state) {
  const int positions = static_cast<int>(state.range(0));
  const std::string dir = Enter();
  Kon = KON_RECORD{};
  Kon.ID = AMOUNT::FromInt(1);
  std::snprintf(Kon.NAZWA, sizeof Kon.NAZWA, "Firma");
  if (TableAppend(kTableContractors) != 0 || SetCompany(Kon.ID) != 0) Fail("company");
  for (int g = 1; g <= positions; ++g) AddGoods(g, 1 + g % 50);
  const DATE date = DateFromYmd(2026, 12, 5);
  const AMOUNT sale = AddTransaction(1, 'S', date);
  std::snprintf(Tra.DOKTRATYP, sizeof Tra.DOKTRATYP, "FV");
  std::snprintf(Tra.DOKTRANR, sizeof Tra.DOKTRANR, "1");
  if (TableUpdate(kTableTransactions) != 0) Fail("transaction");
  for (int g = 1; g <= positions; ++g)
    AddPosition(sale, 'S', date, AMOUNT::FromInt(g), g % 7 + 1, 1 + g % 50);
  double per_position = 0;
  long lines = 0;
  for (auto _ : state) {
    const double start = CpuMicroseconds();
    TRANSACTION_DOCUMENT doc;
    if (LoadTransactionDocument(sale, kModeSalesDocument, date, &doc) != 0) Fail("load");
    if (ComposeTransactionDocument(doc) != 0) Fail("compose");
    per_position = (CpuMicroseconds() - start) / positions;
    if (doc_measure() != 0) Fail("measure");
    lines = doc_lines();
    doc_close();
  }
  state.counters["positions"] = positions;
  state.counters["lines"] = static_cast<double>(lines);
  state.counters["us_per_position"] = per_position;
  static double per_position_at_100 = 0;
  if (positions == 100) per_position_at_100 = per_position;
  if (positions == 1000 && per_position_at_100 > 0)
    state.counters["per_position_1000_to_100"] = per_position / per_position_at_100;
  Leave(dir);
}
BENCHMARK(BM_InvoiceOfPositions)->Arg(100)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
