// Index file speed: adding 100 000 keys of length 10 and 51, 100 000 prefix seeks, a whole walk.
// Counters give 512-byte pages read and written per operation (the header block counted apart).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "db/index_file.h"

namespace {

constexpr int kKeys = 100000;

std::string TempName() {
  char dir[] = "/tmp/bench_index_XXXXXX";
  if (!mkdtemp(dir)) std::abort();
  return std::string(dir) + "/Tow.inx";
}

void Remove(const std::string& name) {
  std::remove(name.c_str());
  std::remove(name.substr(0, name.rfind('/')).c_str());
}

std::string RandomKey(std::mt19937& rng, int length) {
  static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string s;
  for (int i = 0; i < length - 1; ++i) s.push_back(letters[rng() % 36]);
  return s;
}

void SetCounters(benchmark::State& state, const INDEXSTATS& before, const INDEXSTATS& after,
                 double ops) {
  state.counters["pages_read/op"] = static_cast<double>(after.page_reads - before.page_reads) / ops;
  state.counters["pages_written/op"] =
      static_cast<double>(after.page_writes - before.page_writes) / ops;
  state.counters["headers_written/op"] =
      static_cast<double>(after.header_writes - before.header_writes) / ops;
}

void BM_AddKey(benchmark::State& state) {
  const int length = static_cast<int>(state.range(0));
  const std::string name = TempName();
  auto ix = std::make_unique<INDEXFILE>();
  if (CreateIndexFile(ix.get(), name.c_str(), 1, &length, kShareNone) != 0) std::abort();
  std::mt19937 rng(1);
  long record = 0;
  INDEXSTATS before = ix->stats;
  for (auto _ : state) {
    state.PauseTiming();
    std::string key = RandomKey(rng, length);
    state.ResumeTiming();
    if (AddKey(ix.get(), 0, key.c_str(), record++) != 0) std::abort();
  }
  SetCounters(state, before, ix->stats, static_cast<double>(state.iterations()));
  state.counters["file_pages"] = ix->page_count;
  CloseIndexFile(ix.get());
  Remove(name);
}
BENCHMARK(BM_AddKey)->Arg(10)->Arg(51)->Iterations(kKeys)->Unit(benchmark::kMicrosecond);

// An index of 100 000 random keys of length 10, built once for the reading benchmarks.
struct Filled {
  std::string name = TempName();
  std::unique_ptr<INDEXFILE> ix = std::make_unique<INDEXFILE>();
  Filled() {
    int length = 10;
    if (CreateIndexFile(ix.get(), name.c_str(), 1, &length, kShareNone) != 0) std::abort();
    std::mt19937 rng(2);
    for (long i = 0; i < kKeys; ++i)
      if (AddKey(ix.get(), 0, RandomKey(rng, length).c_str(), i) != 0) std::abort();
  }
  ~Filled() {
    CloseIndexFile(ix.get());
    Remove(name);
  }
};

Filled& Shared() {
  static Filled filled;
  return filled;
}

void BM_SeekKeyPrefix(benchmark::State& state) {
  INDEXFILE* ix = Shared().ix.get();
  std::mt19937 rng(3);
  INDEXSTATS before = ix->stats;
  long rec;
  for (auto _ : state) {
    state.PauseTiming();
    std::string prefix = RandomKey(rng, 1 + static_cast<int>(rng() % 4));
    state.ResumeTiming();
    benchmark::DoNotOptimize(SeekKey(ix, 0, prefix.c_str(), &rec));
  }
  SetCounters(state, before, ix->stats, static_cast<double>(state.iterations()));
}
BENCHMARK(BM_SeekKeyPrefix)->Iterations(kKeys)->Unit(benchmark::kMicrosecond);

void BM_WalkWholeIndex(benchmark::State& state) {
  INDEXFILE* ix = Shared().ix.get();
  INDEXSTATS before = ix->stats;
  long keys = 0;
  for (auto _ : state) {
    long rec;
    for (int rc = FirstKey(ix, 0, &rec); rc == 0; rc = NextKey(ix, 0, &rec)) ++keys;
  }
  if (keys != kKeys * state.iterations()) std::abort();
  SetCounters(state, before, ix->stats, static_cast<double>(keys));
  state.counters["keys/s"] =
      benchmark::Counter(static_cast<double>(keys), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WalkWholeIndex)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
