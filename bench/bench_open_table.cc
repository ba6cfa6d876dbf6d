// Opening a table of 1 000 000 records with two indexes: after a clean close (nothing is checked)
// against after an unclean end (its marker "Big.opn" names a run that has gone, so the indexes are
// checked against every record), measured in the same run. Built from a tree without the marker,
// both answer as the clean open.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/amount.h"
#include "db/table.h"
#include "db/table_def.h"

namespace {

constexpr long kRecords = 1000000;
constexpr int kTable = 10;

struct BIG {
  AMOUNT ID;
  char NAZWA[31];
};
BIG g_big;

const FIELDDEF kFields[] = {{"ID", 'N', 9, 0, offsetof(BIG, ID)},
                            {"NAZWA", 'C', 30, 0, offsetof(BIG, NAZWA)}};
const int kKeyLengths[] = {31, 10};
void ByName(const void* r, char* key) {
  std::snprintf(key, 31, "%s", static_cast<const BIG*>(r)->NAZWA);
}
void ById(const void* r, char* key) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%9lld",
                static_cast<long long>(static_cast<const BIG*>(r)->ID.Raw() / 10000));
  std::memcpy(key, buf, 10);
}
const KEYBUILDER kBuilders[] = {ByName, ById};
const TABLEDEF kBig = {"Big.dbf", 2, kFields,     &g_big,   sizeof g_big,
                       "Big.inx", 2, kKeyLengths, kBuilders};

// The table is written straight into the file (header length 97, records of 40 bytes), then its
// index is built from it.
void MakeTable() {
  char dir[] = "/tmp/bench_open_XXXXXX";
  if (!mkdtemp(dir) || chdir(dir) != 0) std::abort();
  if (TableOpen(kTable, &kBig) != 0) std::abort();
  TableClose(kTable);
  int fd = open("Big.dbf", O_RDWR);
  if (fd < 0) std::abort();
  constexpr int kHeader = 97, kLength = 40, kBatch = 10000;
  std::string batch;
  uint32_t seed = 1;
  for (long n = 0; n < kRecords; n += kBatch) {
    batch.clear();
    for (long i = n; i < n + kBatch; ++i) {
      seed = seed * 1103515245u + 12345u;
      char rec[kLength + 1];
      std::snprintf(rec, sizeof rec, " %9ld%-30.30s", i + 1,
                    ("Towar " + std::to_string(seed % 1000003)).c_str());
      batch.append(rec, kLength);
    }
    if (pwrite(fd, batch.data(), batch.size(), kHeader + static_cast<off_t>(n) * kLength) !=
        static_cast<ssize_t>(batch.size()))
      std::abort();
  }
  const char end = 0x1A;
  uint8_t count[4] = {static_cast<uint8_t>(kRecords), static_cast<uint8_t>(kRecords >> 8),
                      static_cast<uint8_t>(kRecords >> 16), static_cast<uint8_t>(kRecords >> 24)};
  if (pwrite(fd, &end, 1, kHeader + static_cast<off_t>(kRecords) * kLength) != 1 ||
      pwrite(fd, count, 4, 4) != 4)
    std::abort();
  close(fd);
  if (TableOpenWithNewIndex(kTable, &kBig) != 0) std::abort();
  TableClose(kTable);
}

void RemoveTable() {
  std::remove("Big.dbf");
  std::remove("Big.inx");
  std::remove("Big.opn");
  char dir[4096];
  if (getcwd(dir, sizeof dir) && chdir("/") == 0) rmdir(dir);
}

// A marker whose place 0 is taken by nobody: a run that changed the table and was killed.
void LeaveUncleanEnd() {
  uint8_t marker[80] = "Tamsu open 1.0";
  marker[16] = 1;
  FILE* f = std::fopen("Big.opn", "wb");
  if (!f || std::fwrite(marker, sizeof marker, 1, f) != 1 || std::fclose(f) != 0) std::abort();
}

void BM_OpenAfterCleanClose(benchmark::State& state) {
  for (auto _ : state) {
    if (TableOpen(kTable, &kBig) != 0) std::abort();
    state.PauseTiming();
    TableClose(kTable);
    state.ResumeTiming();
  }
}

void BM_OpenAfterUncleanEnd(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    LeaveUncleanEnd();
    state.ResumeTiming();
    if (TableOpen(kTable, &kBig) != 0) std::abort();
    state.PauseTiming();
    TableClose(kTable);
    std::remove("Big.opn");
    state.ResumeTiming();
  }
}

}  // namespace

BENCHMARK(BM_OpenAfterCleanClose)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenAfterUncleanEnd)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
  MakeTable();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  RemoveTable();
  return 0;
}
