// A run that changed a table and ended without closing it: killed with SIGKILL as a real
// process, cut off by a power loss in the memory file system, or hit by a failing disk. The next
// opening finds every record under every index, and the table checker passes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "admin/admin.h"
#include "db/db_events.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_check.h"
#include "db/table_lock.h"
#include "db/table_mark.h"
#include "platform/cfile.h"
#include "platform/cfile_testing.h"
#include "support/temp_dir.h"

namespace {

const TABLEDEF& kGoods = TABLE_DEFS[kTableGoods];

int g_rebuilt_told = 0;
int CountTold(int code, const char*, long) {
  if (code == kDbEvUncleanEnd) ++g_rebuilt_told;
  return 0;
}

void AddGoods(long id) {
  Tow = TOW_RECORD{};
  Tow.ID = AMOUNT::FromInt(id);
  std::snprintf(Tow.NAZWA, sizeof Tow.NAZWA, "Towar %05ld", (id * 7919) % 100003);
  std::snprintf(Tow.NR, sizeof Tow.NR, "N%06ld", id);
  ASSERT_EQ(TableAppend(kTableGoods), 0);
}

// One change of the goods: an append, or an update (new name and number: the keys move) or a
// delete of a random record. Failures are the caller's to judge.
void RandomChange(std::mt19937& random, long* next_id) {
  const int what = std::uniform_int_distribution<int>(0, 9)(random);
  const long count = TableRecCount(kTableGoods);
  if (what < 5 || count <= 0) {
    Tow = TOW_RECORD{};
    Tow.ID = AMOUNT::FromInt(++*next_id);
    std::snprintf(Tow.NAZWA, sizeof Tow.NAZWA, "Nowy %05ld", *next_id % 977);
    TableAppend(kTableGoods);
    return;
  }
  bool deleted = true;
  if (TableGo(kTableGoods, std::uniform_int_distribution<long>(0, count - 1)(random)) != 0 ||
      TableIsDeleted(kTableGoods, &deleted) != 0 || deleted)
    return;
  if (what < 8) {
    std::snprintf(Tow.NAZWA, sizeof Tow.NAZWA, "Zmieniony %05ld",
                  static_cast<long>(random() % 977));
    std::snprintf(Tow.NR, sizeof Tow.NR, "Z%06ld", static_cast<long>(random() % 100000));
    TableUpdate(kTableGoods);
  } else {
    TableDelete(kTableGoods);
  }
}

// Opens the goods as the program does, and answers whether the marker told of an unclean end;
// then every record is under every index, the checker passes and no marker is left.
bool ReopenAndExpectWhole(const std::string& what) {
  const bool unclean = UncleanEnd(kGoods.data_file) == 1;
  EXPECT_EQ(TableOpen(kTableGoods, &kGoods), 0) << what;
  std::string problem;
  EXPECT_EQ(CheckTable(kTableGoods, &problem), 0) << what << ": " << problem;
  TableClose(kTableGoods);
  EXPECT_FALSE(CFILE::Exists(MarkerName(kGoods.data_file).c_str())) << what;
  return unclean;
}

class UncleanEndTest : public ::testing::Test {
 protected:
  UncleanEndTest() : dir(InMemoryDir()) {
    g_rebuilt_told = 0;
    SetEventHandler(CountTold);
  }
  ~UncleanEndTest() override { ResetTables(); }
  void MakeGoods(long n) {
    ASSERT_EQ(TableOpen(kTableGoods, &kGoods), 0);
    for (long i = 1; i <= n; ++i) AddGoods(i);
    TableClose(kTableGoods);
  }
  // Memory-backed where the system has it: a killed process loses nothing the system was given,
  // and the real disk's flushes would only cost time.
  static std::unique_ptr<TempDir> InMemoryDir() {
    const char* was = std::getenv("TMPDIR");
    const std::string saved = was ? was : "";
    if (access("/dev/shm", W_OK) == 0) setenv("TMPDIR", "/dev/shm", 1);
    auto d = std::make_unique<TempDir>(true);
    if (was) {
      setenv("TMPDIR", saved.c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
    return d;
  }
  std::unique_ptr<TempDir> dir;
};

// 100 kills at random moments of appends, updates and deletes, each from the same table of 100
// goods (so that every round costs the same).
TEST_F(UncleanEndTest, KilledAtRandomPointsOfChanges) {
  MakeGoods(100);
  const std::string dbf = ReadWholeFile(kGoods.data_file), inx = ReadWholeFile(kGoods.index_file);
  std::mt19937 random(20261207);
  int unclean = 0;
  for (int kill_no = 0; kill_no < 100; ++kill_no) {
    WriteWholeFile(kGoods.data_file, dbf);
    WriteWholeFile(kGoods.index_file, inx);
    const unsigned seed = random();
    pid_t pid = fork();
    if (pid == 0) {
      std::mt19937 child(seed);
      long next_id = 1000000 + seed % 1000000;
      if (TableOpen(kTableGoods, &kGoods) != 0) _exit(3);
      for (;;) RandomChange(child, &next_id);
    }
    ASSERT_GT(pid, 0);
    timespec pause{0, std::uniform_int_distribution<long>(2, 30)(random) * 1000 * 1000};
    nanosleep(&pause, nullptr);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself: " << status;
    unclean += ReopenAndExpectWhole("kill " + std::to_string(kill_no));
  }
  std::printf("unclean ends %d, indexes rebuilt %d of 100 kills\n", unclean, g_rebuilt_told);
  EXPECT_GT(unclean, 50);
  EXPECT_LE(g_rebuilt_told, unclean);
}

// Writes a memory file to the disk as the system does in the background, now and then.
void WriteBack(MEMORY_FILESYSTEM* fs, const char* name) {
  int h = fs->Open(name, kAccessRead, 0, false);
  if (h >= 0) {
    fs->Sync(h);
    fs->Close(h);
  }
}

// 100 power losses at random steps of the changes. The system writes the data and the index file
// back at moments of its own, so what survives of the two may be of different moments.
TEST_F(UncleanEndTest, PowerLossAtRandomPointsOfChanges) {
  MEMORY_FILESYSTEM* fs = UseMemoryFileSystem();
  MakeGoods(100);
  fs->SyncAll();
  std::mt19937 random(7122026);
  long next_id = 1000;
  int unclean = 0;
  for (int loss = 0; loss < 100; ++loss) {
    ASSERT_EQ(TableOpen(kTableGoods, &kGoods), 0);
    SetFileFault(0, std::uniform_int_distribution<long>(1, 400)(random), true);
    for (int change = 0; change < 60 && !FileFaultStruck(); ++change) {
      RandomChange(random, &next_id);
      if (random() % 4 == 0) WriteBack(fs, random() % 2 ? kGoods.data_file : kGoods.index_file);
    }
    ClearFileFault();
    fs->PowerLoss();
    ResetTables();  // the handles died with the power: nothing is closed cleanly
    unclean += ReopenAndExpectWhole("power loss " + std::to_string(loss));
  }
  StopMemoryFileSystem();
  std::printf("unclean ends %d, indexes rebuilt %d of 100 power losses\n", unclean, g_rebuilt_told);
  EXPECT_GT(g_rebuilt_told, 0);
}

// The files of the goods in a memory file system, to start each case afresh.
struct Files {
  std::string dbf, inx, opn;
  bool has_opn = false;
  void Take(MEMORY_FILESYSTEM* fs) {
    fs->Contents(kGoods.data_file, &dbf);
    fs->Contents(kGoods.index_file, &inx);
    has_opn = fs->Contents(MarkerName(kGoods.data_file), &opn);
  }
  MEMORY_FILESYSTEM* Put() const {
    MEMORY_FILESYSTEM* fs = UseMemoryFileSystem();
    auto put = [](const std::string& name, const std::string& bytes) {
      CFILE f;
      f.Open(name.c_str(), kCreateAlways, kAccessReadWrite, kShareNone);
      f.Write(bytes.data(), bytes.size());
    };
    put(kGoods.data_file, dbf);
    put(kGoods.index_file, inx);
    if (has_opn) put(MarkerName(kGoods.data_file), opn);
    fs->SyncAll();
    return fs;
  }
};

// A failing disk at every step of a run's first change (the marker taken, then the record and its
// keys written), once or from then on; then the run ends, killed or closed cleanly. The next
// opening finds a sound table with the record or without it.
TEST_F(UncleanEndTest, FaultsAtEveryStepOfTheFirstChange) {
  MEMORY_FILESYSTEM* fs = UseMemoryFileSystem();
  MakeGoods(10);
  Files clean;
  clean.Take(fs);
  ASSERT_FALSE(clean.has_opn);
  for (bool from_then_on : {false, true}) {
    for (bool killed : {false, true}) {
      bool struck = true;
      for (long nth = 1; struck; ++nth) {
        const std::string what = std::string(from_then_on ? "disk dead" : "one fault") +
                                 " at step " + std::to_string(nth) +
                                 (killed ? ", killed" : ", closed");
        fs = clean.Put();
        ASSERT_EQ(TableOpen(kTableGoods, &kGoods), 0);
        SetFileFault(0, nth, from_then_on);
        Tow = TOW_RECORD{};
        Tow.ID = AMOUNT::FromInt(99);
        std::strcpy(Tow.NAZWA, "Dopisany");
        // The flush the program makes when it is idle is a step of the change too.
        const int rc = TableAppend(kTableGoods) != 0 ? -1 : TableFlush(kTableGoods) != 0 ? 1 : 0;
        struck = FileFaultStruck();
        ClearFileFault();
        if (!struck) {
          EXPECT_EQ(rc, 0) << what;
        }
        if (killed) {
          fs->SyncAll();  // everything written reached the disk, then the power went
          fs->PowerLoss();
        }
        ResetTables();
        ReopenAndExpectWhole(what);
        ASSERT_EQ(TableOpen(kTableGoods, &kGoods), 0);
        const long count = TableRecCount(kTableGoods);
        // A dead disk may refuse the taking back of a record written whole: it is kept.
        EXPECT_TRUE(count == 10 || (count == 11 && (rc >= 0 || from_then_on)))
            << what << ": " << count << " records";
        ResetTables();
      }
    }
  }
  StopMemoryFileSystem();
}

// A failing disk at every step of the repair on opening (the marker read, the check, the
// rebuild, the places given back). A rebuild that fails says nothing of success and keeps the
// marker; the next opening mends the table, and the user is told exactly once.
TEST_F(UncleanEndTest, FaultsAtEveryStepOfTheRepair) {
  MEMORY_FILESYSTEM* fs = UseMemoryFileSystem();
  MakeGoods(10);
  // A run appended a record and died; its index went back to the moment before (the record
  // written, its keys lost).
  std::string old_inx;
  fs->Contents(kGoods.index_file, &old_inx);
  ASSERT_EQ(TableOpen(kTableGoods, &kGoods), 0);
  AddGoods(11);
  fs->SyncAll();
  fs->PowerLoss();
  ResetTables();
  {
    CFILE f;
    f.Open(kGoods.index_file, kCreateAlways, kAccessReadWrite, kShareNone);
    f.Write(old_inx.data(), old_inx.size());
  }
  Files broken;
  broken.Take(fs);
  ASSERT_TRUE(broken.has_opn);
  int cases = 0, untold = 0;
  for (bool from_then_on : {false, true}) {
    bool struck = true;
    for (long nth = 1; struck; ++nth) {
      const std::string what =
          std::string(from_then_on ? "disk dead" : "one fault") + " at step " + std::to_string(nth);
      ++cases;
      broken.Put();
      g_rebuilt_told = 0;
      SetFileFault(0, nth, from_then_on);
      TableOpen(kTableGoods, &kGoods);
      struck = FileFaultStruck();
      ClearFileFault();
      const bool told = g_rebuilt_told == 1;
      std::string problem;
      if (told) {
        EXPECT_EQ(CheckTable(kTableGoods, &problem), 0) << what << ": " << problem;
      }
      if (!told) {
        EXPECT_EQ(UncleanEnd(kGoods.data_file), 1) << what;
      }
      ResetTables();
      ReopenAndExpectWhole(what);
      // Never twice; not at all only when the new index reached the disk but could not be
      // opened again, so that the second opening found nothing to rebuild.
      EXPECT_LE(g_rebuilt_told, 1) << what;
      untold += g_rebuilt_told == 0;
    }
  }
  StopMemoryFileSystem();
  // The rebuild writes its pages in large pieces, so the steps after the new index is on the
  // disk are a fair share of the few it has.
  EXPECT_LT(untold * 10, cases);
}

// Two workstations ("Net" = 1): one at work with its changes is never taken for one that has
// died; once it is killed, the next opening mends the table.
TEST_F(UncleanEndTest, AWorkstationAtWorkIsNotAnUncleanEnd) {
  MakeGoods(20);
  SetNetworkFlag(true);
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t other = fork();
  if (other == 0) {
    if (TableOpen(kTableGoods, &kGoods) != 0) _exit(3);
    AddGoods(21);
    if (write(ready[1], "x", 1) != 1) _exit(4);
    for (;;) pause();
  }
  ASSERT_GT(other, 0);
  char c;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  EXPECT_EQ(UncleanEnd(kGoods.data_file), 0);
  ASSERT_EQ(TableOpen(kTableGoods, &kGoods), 0);
  AddGoods(22);
  TableClose(kTableGoods);
  // The other workstation's place is still taken.
  EXPECT_TRUE(CFILE::Exists(MarkerName(kGoods.data_file).c_str()));
  EXPECT_EQ(UncleanEnd(kGoods.data_file), 0);
  kill(other, SIGKILL);
  waitpid(other, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
  EXPECT_TRUE(ReopenAndExpectWhole("after the other workstation was killed"));
  EXPECT_EQ(g_rebuilt_told, 0);  // its append was whole: checked, nothing to rebuild
}

struct AdminRun {
  int status;
  std::string out;
};

AdminRun Admin(const char* verb, const std::string& db, const char* option = nullptr) {
  std::vector<std::string> args = {"tamsu-admin", verb, db};
  if (option) args.push_back(option);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  FILE* out = tmpfile();
  FILE* err = tmpfile();
  AdminRun r{AdminMain(static_cast<int>(argv.size()), argv.data(), out, err), ""};
  rewind(out);
  char buf[512];
  for (size_t n; (n = fread(buf, 1, sizeof buf, out)) > 0;) r.out.append(buf, n);
  fclose(out);
  fclose(err);
  return r;
}

// tamsu-admin check tells of an unclean end and changes nothing; --repair mends it.
TEST_F(UncleanEndTest, AdminCheckReportsAndRepairMends) {
  ASSERT_EQ(Admin("create", dir->path()).status, 0);
  pid_t pid = fork();
  if (pid == 0) {
    if (TableOpen(kTableGoods, &kGoods) != 0) _exit(3);
    AddGoods(1);
    _exit(0);  // without closing the table
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  AdminRun r = Admin("check", dir->path());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(
      r.out.find(
          "Tow.dbf: program nie został poprawnie zakończony w czasie zmian w tym pliku (Tow.opn)."),
      std::string::npos)
      << r.out;
  EXPECT_EQ(UncleanEnd(kGoods.data_file), 1);
  r = Admin("check", dir->path(), "--repair");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(Admin("check", dir->path()).out, "Baza danych jest spójna.\n");
}

}  // namespace
