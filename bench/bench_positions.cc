// Entering a transaction of 10 000 positions one by one through the positions window, with keys
// on the headless screen as a user types them (Ins, the goods chosen by typing their name in the
// goods list, the quantity, Ok) and the sums stored after every position ("TraRecalc" on).
// The cost of a position must not grow with the positions before it: the counters give the time
// per position over the first and the last thousand and their ratio, and as the peer the time one
// full recalculation of the finished transaction takes (what every position would cost if the
// window summed all positions again). Times are processor times of this process.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "business/goods_rules.h"
#include "business/options.h"
#include "business/position_store.h"
#include "business/positions_window.h"
#include "business/record_views.h"
#include "business/transaction_store.h"
#include "db/dbtable.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "platform/headless.h"
#include "platform/inifile.h"
#include "ui/screen.h"

namespace {

constexpr int kPositions = 10000;
constexpr int kLap = 1000;
constexpr int kGoods = 100;
constexpr uint8_t kScanLap = 0x7D;

// The processor time this process has used, in microseconds: the machine is shared, and the
// time of the clock on the wall counts the others' work too.
double CpuMicroseconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

// Remembers when each lap key was read.
class LAP_CONSOLE : public HEADLESS_CONSOLE {
 public:
  int next_key(KeyEvent* ev, int timeout_ms) override {
    for (;;) {
      const int r = HEADLESS_CONSOLE::next_key(ev, timeout_ms);
      if (r != 1 || ev->scan != kScanLap) return r;
      laps.push_back(CpuMicroseconds());
    }
  }
  bool key_pending() override { return false; }
  // The screen is kept, the record of every painted run (which the tests read) is not: over
  // 10 000 positions it would grow to millions of entries and measure itself.
  void paint_run(int x, int y, const ScreenCell* cells, int n) override {
    HEADLESS_CONSOLE::paint_run(x, y, cells, n);
    paints.clear();
  }
  std::vector<double> laps;
};

void Type(LAP_CONSOLE* c, const std::string& text) {
  for (char ch : text) c->push_key(static_cast<uint8_t>(ch), 0x10);
}

void Fail(const char* what) {
  std::fprintf(stderr, "bench_positions: %s\n", what);
  std::abort();
}

void BM_EnterTenThousandPositions(benchmark::State& state) {
  char dir[] = "/tmp/bench_positions_XXXXXX";
  if (!mkdtemp(dir) || chdir(dir) != 0) Fail("no working directory");
  SetConfigPath(std::string(dir) + "/Tamsu.ini");
  LAP_CONSOLE* console = new LAP_CONSOLE;
  if (screen_open_on(console) != 0) Fail("no screen");
  RegisterRecordViews();
  LoadBusinessOptions();
  if (OpenDatabase() != 0) Fail("no database");
  for (int g = 0; g < kGoods; ++g) {
    Tow = NewGoodsRecord();
    if (NextRecordId(kTableGoods, &Tow.ID) != 0) Fail("goods");
    std::snprintf(Tow.NAZWA, sizeof Tow.NAZWA, "T%03d", g);
    Tow.CENA = AMOUNT::FromInt(10 + g);
    Tow.STAN = AMOUNT::FromInt(1000000);
    if (TableAppend(kTableGoods) != 0) Fail("goods");
  }
  TRA_RECORD t{};
  t.RODZAJ[0] = 'S';
  t.DATATRA = t.DATAMAG = DateToday();
  if (LockAllTables(true) != 0 || StoreTransaction(&t) != 0) Fail("transaction");
  UnlockAllTables();

  for (auto _ : state) {
    console->laps.clear();
    console->push_key(0, kScanLap);
    for (int i = 0; i < kPositions; ++i) {
      char name[8];
      std::snprintf(name, sizeof name, "T%03d", i % kGoods);
      console->push_key(0, kScanIns);
      console->push_key('n', 0x10, kShiftAlt);
      Type(console, name);
      console->push_key(13, kScanEnter);
      console->push_key('i', 0x10, kShiftAlt);
      Type(console, "1");
      console->push_key('o', 0x10, kShiftAlt);
      if ((i + 1) % kLap == 0) console->push_key(0, kScanLap);
    }
    console->push_key(27, kScanEsc);
    if (positions_window(t.ID) != 0) Fail("positions window");
  }
  std::vector<long> recnos;
  if (TransactionPositions(t.ID, &recnos) != 0 || recnos.size() != kPositions)
    Fail("positions missing");
  const auto& laps = console->laps;
  if (laps.size() != kPositions / kLap + 1) Fail("laps missing");
  auto per_position = [&](size_t lap) { return (laps[lap + 1] - laps[lap]) / kLap; };
  const double first = per_position(0), last = per_position(laps.size() - 2);
  // The peer: one full recalculation over the 10 000 positions.
  const double before = CpuMicroseconds();
  if (RecalculateTransaction(t.ID) != 0) Fail("recalculation");
  const double full = CpuMicroseconds() - before;
  state.counters["us_per_position_first_1000"] = first;
  state.counters["us_per_position_last_1000"] = last;
  state.counters["last_to_first"] = last / first;
  state.counters["us_full_recalculation_at_10000"] = full;
  for (size_t lap = 0; lap + 1 < laps.size(); ++lap)
    std::fprintf(stderr, "positions %5zu-%5zu: %8.1f us per position\n", lap * kLap + 1,
                 (lap + 1) * kLap, per_position(lap));
  CloseDatabase();
  ScreenReset();
  std::string cleanup = std::string("rm -rf ") + dir;
  if (std::system(cleanup.c_str()) != 0) Fail("cleanup");
}
BENCHMARK(BM_EnterTenThousandPositions)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
