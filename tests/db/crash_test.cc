// Index rebuilds and packs stopped at any moment: killed with SIGKILL as real processes, and
// cut off by a power loss in the memory file system. Afterwards the next opening sees every
// record and the table checker passes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "db/db_events.h"
#include "db/dbtable.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_check.h"
#include "platform/cfile.h"
#include "platform/cfile_testing.h"
#include "support/temp_dir.h"

namespace {

// Goods 1..n, every third one deleted: records n, live ones n - n / 3.
void MakeGoods(long n) {
  ASSERT_EQ(OpenDatabase(), 0);
  for (long i = 1; i <= n; ++i) {
    Tow = TOW_RECORD{};
    Tow.ID = AMOUNT::FromInt(i);
    std::snprintf(Tow.NAZWA, sizeof Tow.NAZWA, "Towar %05ld", (i * 7919) % 100003);
    std::snprintf(Tow.NR, sizeof Tow.NR, "N%06ld", i);
    ASSERT_EQ(TableAppend(kTableGoods), 0);
  }
  for (long r = 2; r < n; r += 3) {
    ASSERT_EQ(TableGo(kTableGoods, r), 0);
    ASSERT_EQ(TableDelete(kTableGoods), 0);
  }
  ResetTables();
}

// Opens the database as the program does and checks the goods: `records` in the file (either
// count when a pack may or may not have happened), every live one reachable, the index sound,
// nothing left over.
void ExpectWhole(long records, long packed, long live, const std::string& what) {
  ASSERT_EQ(OpenDatabase(), 0) << what;
  const long count = TableRecCount(kTableGoods);
  EXPECT_TRUE(count == records || count == packed) << what << ": " << count << " records";
  long reachable = -1;
  ASSERT_EQ(TableCount(kTableGoods, &reachable), 0) << what;
  EXPECT_EQ(reachable, live) << what;
  std::string problem;
  EXPECT_EQ(CheckTable(kTableGoods, &problem), 0) << what << ": " << problem;
  std::vector<std::string> leftovers;
  FindLeftovers(&leftovers, true);
  EXPECT_TRUE(leftovers.empty()) << what << ": " << leftovers.front();
  ResetTables();
}

// Runs fn in a child process and kills it with SIGKILL after `after` (or lets it finish).
// A child that ends by itself first is only waited for.
template <typename Fn>
void RunAndKill(Fn fn, std::chrono::microseconds after) {
  pid_t pid = fork();
  if (pid == 0) _exit(fn());
  const auto until = std::chrono::steady_clock::now() + after;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= until) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return;
    }
    timespec pause{0, 200 * 1000};
    nanosleep(&pause, nullptr);
  }
}

int RunAdmin(const char* verb, const std::string& dir) {
  const std::string admin = std::string(TAMSU_BUILD_DIR) + "/tamsu-admin";
  if (freopen("/dev/null", "w", stdout) == nullptr || freopen("/dev/null", "w", stderr) == nullptr)
    return 3;
  execl(admin.c_str(), admin.c_str(), verb, dir.c_str(), static_cast<char*>(nullptr));
  return 4;
}

class CrashTest : public ::testing::Test {
 protected:
  CrashTest() : dir(true) {}
  TempDir dir;
};

// tamsu-admin reindex and pack, and the program's own build of a missing index on opening, each
// killed at 20 moments spread over the time the work takes (every pack on the unpacked table).
TEST_F(CrashTest, KilledRebuildsAndPacksLeaveEveryRecord) {
  const long kRecords = 600, kLive = kRecords - kRecords / 3;
  MakeGoods(kRecords);
  const std::string dbf = ReadWholeFile("Tow.dbf"), inx = ReadWholeFile("Tow.inx");
  struct Work {
    const char* name;
    int (*run)(const std::string& dir);
    bool removes_index, packs;
  };
  const Work works[] = {
      {"reindex", [](const std::string& d) { return RunAdmin("reindex", d); }, false, false},
      {"build on opening", [](const std::string&) { return OpenDatabase(); }, true, false},
      {"pack", [](const std::string& d) { return RunAdmin("pack", d); }, false, true},
  };
  std::mt19937 random(20240613);
  for (const Work& w : works) {
    // Once whole, to learn how long the work takes; then killed.
    std::chrono::microseconds took{};
    for (int k = -1; k < 20; ++k) {
      WriteWholeFile("Tow.dbf", dbf);
      WriteWholeFile("Tow.inx", inx);
      if (w.removes_index) std::remove("Tow.inx");
      const auto start = std::chrono::steady_clock::now();
      const long at =
          k < 0 ? 60000000 : std::uniform_int_distribution<long>(0, took.count())(random);
      RunAndKill([&] { return w.run(dir.path()); }, std::chrono::microseconds(at));
      if (k < 0)
        took = std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now() - start);
      ExpectWhole(
          kRecords, w.packs ? kLive : kRecords, kLive,
          std::string(w.name) + (k < 0 ? " whole" : " killed after " + std::to_string(at) + " us"));
    }
  }
}

// A power loss during a rebuild, a build on opening and a pack, at steps spread over all their
// file operations and at every one of the last (where files replace others): what was not
// flushed is gone, and the table still opens whole.
TEST_F(CrashTest, PowerLossAtAnyStepOfARebuildOrPack) {
  const long kRecords = 60, kLive = kRecords - kRecords / 3;
  MEMORY_FILESYSTEM* fs = UseMemoryFileSystem();
  MakeGoods(kRecords);
  std::string files[kSchemaTableCount][2];
  for (int t = 0; t < kSchemaTableCount; ++t) {
    ASSERT_TRUE(fs->Contents(TABLE_DEFS[t].data_file, &files[t][0]));
    ASSERT_TRUE(fs->Contents(TABLE_DEFS[t].index_file, &files[t][1]));
  }
  enum Op { kRebuild, kBuildOnOpening, kPack };
  // Fresh disks holding the database, the goods index missing for the build on opening; the
  // operation runs with the power going at operation nth (0: it stays on), and answers whether
  // the power went.
  auto run = [&](Op op, long nth) {
    fs = UseMemoryFileSystem();
    for (int t = 0; t < kSchemaTableCount; ++t) {
      for (int f = 0; f < 2; ++f) {
        if (op == kBuildOnOpening && t == kTableGoods && f == 1) continue;
        CFILE out;
        EXPECT_EQ(out.Open(f ? TABLE_DEFS[t].index_file : TABLE_DEFS[t].data_file, kCreateAlways,
                           kAccessReadWrite, kShareNone),
                  0);
        out.Write(files[t][f].data(), files[t][f].size());
      }
    }
    fs->SyncAll();
    if (op != kBuildOnOpening) {
      EXPECT_EQ(TableOpen(kTableGoods, &TABLE_DEFS[kTableGoods]), 0);
    }
    SetFileFault(0, nth > 0 ? nth : 1000000000L, true);  // from then on nothing reaches the disk
    int rc = op == kRebuild ? TableRebuildIndexes(kTableGoods)
             : op == kPack  ? TablePack(kTableGoods)
                            : TableOpen(kTableGoods, &TABLE_DEFS[kTableGoods]);
    const bool struck = FileFaultStruck();
    const long seen = FileOperationsSeen();
    ClearFileFault();
    if (!struck) {
      EXPECT_EQ(rc, 0);
    }
    fs->PowerLoss();
    ResetTables();
    return struck ? -1 : seen;
  };
  int losses = 0;
  for (Op op : {kRebuild, kBuildOnOpening, kPack}) {
    const long total = run(op, 0);
    ASSERT_GT(total, 0);
    ExpectWhole(kRecords, kLive, kLive, "op " + std::to_string(op) + " whole");
    const long stride = total > 120 ? total / 60 : 1;
    for (long nth = 1; nth <= total; nth += nth + 40 >= total ? 1 : stride) {
      EXPECT_EQ(run(op, nth), -1);
      ExpectWhole(kRecords, kLive, kLive,
                  "op " + std::to_string(op) + " power lost at step " + std::to_string(nth));
      ++losses;
    }
  }
  StopMemoryFileSystem();
  EXPECT_GT(losses, 100);  // records are read and pages written in large pieces: few steps
}

}  // namespace
