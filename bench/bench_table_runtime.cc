// The run-time costs of the table layer on the goods table, nine in ten goods without a barcode:
// an update of a goods without a barcode against one with a unique barcode, TableGo in barcode
// order for both kinds, and a walk in name order with "Net" = 0 against "Net" = 1 (no other
// workstation writing; each step locking by itself, and under one read lock). Prints microseconds
// per operation and the ratios the engine must keep.
//
//   bench_table_runtime [N] [ops]      (N = 100000 goods, ops = 2000 by default)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"

namespace {

using Clock = std::chrono::steady_clock;

double Micro(Clock::time_point a, Clock::time_point b, long ops) {
  return std::chrono::duration<double, std::micro>(b - a).count() / static_cast<double>(ops);
}

void Fill(long n) {
  std::mt19937_64 rng(42);
  const char* words[] = {"Róża",   "Tulipan", "Storczyk", "Wino",   "Wódka",
                         "Koniak", "Gerbera", "Lilia",    "Żonkil", "Kalia"};
  for (long i = 0; i < n; ++i) {
    Tow = TOW_RECORD{};
    Tow.ID = AMOUNT::FromInt(i + 1);
    std::snprintf(Tow.NAZWA, sizeof Tow.NAZWA, "%s %06llu", words[rng() % 10],
                  static_cast<unsigned long long>(rng() % 1000000));
    std::snprintf(Tow.NR, sizeof Tow.NR, "N%07ld", (i * 7919) % 10000000);
    if (i % 10 == 0) std::snprintf(Tow.EAN, sizeof Tow.EAN, "590%010ld", i);
    Tow.GTOID = AMOUNT::FromInt(static_cast<long>(rng() % 20) + 1);
    Tow.CENA = AMOUNT::FromInt(static_cast<long>(rng() % 1000));
    if (TableAppend(kTableGoods) != 0) std::abort();
  }
}

// Updates of the given records (stock changes: the keys stay as they are).
double Updates(const std::vector<long>& records) {
  auto a = Clock::now();
  for (long r : records) {
    if (TableGo(kTableGoods, r) != 0) std::abort();
    Tow.STAN = Tow.STAN + AMOUNT::FromInt(1);
    if (TableUpdate(kTableGoods) != 0) std::abort();
  }
  if (TableFlush(kTableGoods) != 0) std::abort();
  return Micro(a, Clock::now(), static_cast<long>(records.size()));
}

double Gos(const std::vector<long>& records) {
  auto a = Clock::now();
  for (long r : records)
    if (TableGo(kTableGoods, r) != 0) std::abort();
  return Micro(a, Clock::now(), static_cast<long>(records.size()));
}

// With locked set the walk holds the table's read lock throughout, as the program's lists and
// reports do (READ_ACCESS); without it every step takes and releases the lock by itself.
double Walk(long* walked, bool locked = false) {
  (void)access("walk-starts", F_OK);  // a mark for strace: system calls per step
  *walked = 0;
  auto a = Clock::now();
  if (locked && LockTable(kTableGoods, false) != 0) std::abort();
  for (int rc = TableFirst(kTableGoods); rc == 0; rc = TableNext(kTableGoods)) ++*walked;
  if (locked) UnlockTable(kTableGoods);
  return Micro(a, Clock::now(), *walked);
}

}  // namespace

int main(int argc, char** argv) {
  const long n = argc > 1 ? std::atol(argv[1]) : 100000;
  const long ops = argc > 2 ? std::atol(argv[2]) : 2000;
  std::string dir = (std::filesystem::temp_directory_path() / "tamsu-bench-XXXXXX").string();
  if (!mkdtemp(dir.data()) || chdir(dir.c_str()) != 0) return 1;

  TableOpen(kTableGoods, &TABLE_DEFS[kTableGoods]);
  auto a = Clock::now();
  Fill(n);
  TableFlush(kTableGoods);  // what the appends left waiting is part of their cost
  const double append = Micro(a, Clock::now(), n);
  (void)access("appends-done", F_OK);  // a mark for strace: system calls per append

  std::mt19937_64 rng(7);
  std::vector<long> with, without;
  while (static_cast<long>(with.size()) < ops || static_cast<long>(without.size()) < ops) {
    long r = static_cast<long>(rng() % static_cast<unsigned long>(n));
    std::vector<long>& to = r % 10 == 0 ? with : without;
    if (static_cast<long>(to.size()) < ops) to.push_back(r);
  }
  TableSetIndex(kTableGoods, 5);  // barcode order
  const double go_with = Gos(with), go_without = Gos(without);
  const double up_with = Updates(with), up_without = Updates(without);
  TableSetIndex(kTableGoods, 1);  // name order
  long walked0 = 0, walked1 = 0;
  Walk(&walked0);  // the first walk after the updates pays for reading the pages: not counted
  const double walk0 = Walk(&walked0);
  TableClose(kTableGoods);
  SetNetworkFlag(true);
  TableOpen(kTableGoods, &TABLE_DEFS[kTableGoods]);
  TableSetIndex(kTableGoods, 1);
  const double walk1_fresh = Walk(&walked1);
  sleep(4);  // no change for longer than any file system's time stamp step
  const double walk1 = Walk(&walked1);
  long walked_locked = 0;
  const double walk1_locked = Walk(&walked_locked, true);
  TableClose(kTableGoods);
  SetNetworkFlag(false);
  std::filesystem::remove_all(dir);

  std::printf("%ld goods, 9 in 10 without a barcode; %ld operations of each kind\n", n, ops);
  std::printf("%-44s %10.2f us\n", "append", append);
  std::printf("%-44s %10.2f us\n", "TableGo in barcode order, unique barcode", go_with);
  std::printf("%-44s %10.2f us  ratio %.2f (<= 2)\n", "TableGo in barcode order, no barcode",
              go_without, go_without / go_with);
  std::printf("%-44s %10.2f us\n", "update, unique barcode", up_with);
  std::printf("%-44s %10.2f us  ratio %.2f (<= 2)\n", "update, no barcode", up_without,
              up_without / up_with);
  std::printf("%-44s %10.2f us\n", "walk in name order, Net = 0", walk0);
  std::printf("%-44s %10.2f us  ratio %.2f\n", "walk in name order, Net = 1, just written",
              walk1_fresh, walk1_fresh / walk0);
  std::printf("%-44s %10.2f us  ratio %.2f (<= 1.5)\n", "walk in name order, Net = 1, settled",
              walk1, walk1 / walk0);
  std::printf("%-44s %10.2f us  ratio %.2f (<= 1.5)\n",
              "walk in name order, Net = 1, read lock held", walk1_locked, walk1_locked / walk0);
  std::printf("walked %ld, %ld and %ld records\n", walked0, walked1, walked_locked);
  return 0;
}
