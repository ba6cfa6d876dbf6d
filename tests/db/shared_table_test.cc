// Two workstations on one data directory (Net = 1), as two real processes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "db/db_events.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_check.h"
#include "db/table_lock.h"
#include "platform/cfile.h"
#include "support/temp_dir.h"

namespace {

void AddGroup(int id) {
  Gto = GTO_RECORD{};
  Gto.ID = AMOUNT::FromInt(id);
  std::snprintf(Gto.NAZWA, sizeof Gto.NAZWA, "Grupa %d", id);
  ASSERT_EQ(TableAppend(kTableGroups), 0);
}

// A second process, started at once and told when to act through a pipe.
class Workstation {
 public:
  template <typename Fn>
  explicit Workstation(Fn fn) {
    if (pipe(go_) != 0 || pipe(done_) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(go_[1]);
      close(done_[0]);
      SetNetworkFlag(true);
      if (TableOpen(kTableGroups, &TABLE_DEFS[kTableGroups]) != 0) _exit(1);
      char c;
      int status = 0;
      if (write(done_[1], &status, sizeof status) != sizeof status) _exit(2);  // open: ready
      while (read(go_[0], &c, 1) == 1 && c != 'q') {
        status = fn(c);
        if (write(done_[1], &status, sizeof status) != sizeof status) _exit(2);
      }
      ResetTables();
      _exit(0);
    }
    // Only the ends each side uses stay open, so a process that ends is noticed at once.
    close(go_[0]);
    close(done_[1]);
    go_[0] = done_[1] = -1;
    // Opening takes the table's lock for a moment; the test starts once the other has opened, so
    // that its own steps (which do not wait for a lock here) never meet that lock.
    int ready = -1;
    if (read(done_[0], &ready, sizeof ready) != sizeof ready) ready = -1;
  }
  // Runs step c over there and returns what it answered.
  int Do(char c) {
    int status = -1;
    if (write(go_[1], &c, 1) != 1 || read(done_[0], &status, sizeof status) != sizeof status) {
      int exit_status = 0;
      waitpid(pid_, &exit_status, 0);
      pid_ = -1;
      return -100 - WEXITSTATUS(exit_status);
    }
    return status;
  }
  ~Workstation() {
    char q = 'q';
    if (pid_ > 0) {
      if (write(go_[1], &q, 1) != 1) kill(pid_, SIGKILL);
      int status = 0;
      waitpid(pid_, &status, 0);
    }
    for (int fd : {go_[0], go_[1], done_[0], done_[1]})
      if (fd >= 0) close(fd);
  }

 private:
  pid_t pid_ = -1;
  int go_[2] = {-1, -1}, done_[2] = {-1, -1};
};

class SharedTableTest : public ::testing::Test {
 protected:
  SharedTableTest() : dir(true) {}
  void SetUp() override {
    ASSERT_EQ(TableOpen(kTableGroups, &TABLE_DEFS[kTableGroups]), 0);
    for (int id = 1; id <= 5; ++id) AddGroup(id);
    ResetTables();
    SetNetworkFlag(true);
    ASSERT_EQ(TableOpen(kTableGroups, &TABLE_DEFS[kTableGroups]), 0);
  }
  void TearDown() override {
    ResetTables();
    ResetTableLocks();
    ResetDbEvents();
  }
  TempDir dir;
};

TEST_F(SharedTableTest, WalkingOnFromARecordAnotherWorkstationDeleted) {
  Workstation other([](char c) {
    if (c != 'd') return 1;
    for (int i = 0; i < 40; ++i) {  // keys in front of everything: the pages shift
      Gto = GTO_RECORD{};
      if (TableAppend(kTableGroups) != 0) return 2;
    }
    if (TableGo(kTableGroups, 1) != 0 || TableDelete(kTableGroups) != 0) return 3;  // ID 2
    return 0;
  });
  ASSERT_EQ(TableSetIndex(kTableGroups, 0), 0);
  ASSERT_EQ(TableGo(kTableGroups, 1), 0);
  ASSERT_EQ(Gto.ID, AMOUNT::FromInt(2));
  ASSERT_EQ(other.Do('d'), 0);
  ASSERT_EQ(TableNext(kTableGroups), 0);
  EXPECT_EQ(Gto.ID, AMOUNT::FromInt(3));
  EXPECT_EQ(TableRecCount(kTableGroups), 45);  // the count is read again under the lock
  ASSERT_EQ(TablePrev(kTableGroups), 0);       // back over the deleted record
  EXPECT_EQ(Gto.ID, AMOUNT::FromInt(1));
}

// A reader in index order whose index file has settled keeps the data file's header it has; what
// another workstation changes meanwhile still shows: a deletion in the record, an append through
// the index (which it writes).
TEST_F(SharedTableTest, ASettledReaderSeesAnotherWorkstationsDeletionsAndAppends) {
  Workstation other([](char c) {
    if (c == 'd') return TableGo(kTableGroups, 0) == 0 && TableDelete(kTableGroups) == 0 ? 0 : 1;
    Gto = GTO_RECORD{};
    Gto.ID = AMOUNT::FromInt(6);
    return TableAppend(kTableGroups) == 0 ? 0 : 2;
  });
  ASSERT_EQ(TableSetIndex(kTableGroups, 0), 0);
  ASSERT_EQ(TableFirst(kTableGroups), 0);
  usleep(200 * 1000);
  ASSERT_EQ(TableFirst(kTableGroups), 0);  // the file looked at again, now settled
  usleep(200 * 1000);
  ASSERT_EQ(other.Do('d'), 0);
  ASSERT_EQ(TableFirst(kTableGroups), 0);
  EXPECT_EQ(Gto.ID, AMOUNT::FromInt(2));
  usleep(200 * 1000);
  ASSERT_EQ(other.Do('a'), 0);
  ASSERT_EQ(TableLast(kTableGroups), 0);
  EXPECT_EQ(Gto.ID, AMOUNT::FromInt(6));
  EXPECT_EQ(TableRecCount(kTableGroups), 6);
  // Writing after reading: the append goes after the other workstation's record.
  Gto = GTO_RECORD{};
  Gto.ID = AMOUNT::FromInt(7);
  ASSERT_EQ(TableAppend(kTableGroups), 0);
  EXPECT_EQ(TableRecCount(kTableGroups), 7);
  ASSERT_EQ(TableGo(kTableGroups, 5), 0);
  EXPECT_EQ(Gto.ID, AMOUNT::FromInt(6));
}

TEST_F(SharedTableTest, PackIsRefusedWhileAnotherWorkstationHasTheTableOpen) {
  {
    Workstation other([](char c) {
      if (c != 'a') return 9;
      Gto = GTO_RECORD{};
      Gto.ID = AMOUNT::FromInt(6);
      return TableAppend(kTableGroups) == 0 ? 0 : 1000 + LastError();
    });
    ASSERT_EQ(TableGo(kTableGroups, 0), 0);
    ASSERT_EQ(TableDelete(kTableGroups), 0);
    EXPECT_NE(TablePack(kTableGroups), 0);
    // Nothing was replaced: the other workstation's record lands in the one and only file.
    ASSERT_EQ(other.Do('a'), 0);
  }
  ResetTables();
  SetNetworkFlag(false);
  ASSERT_EQ(TableOpen(kTableGroups, &TABLE_DEFS[kTableGroups]), 0);
  EXPECT_EQ(TableRecCount(kTableGroups), 6);
  EXPECT_EQ(TableCount(kTableGroups), 5);
  std::string problem;
  EXPECT_EQ(CheckTable(kTableGroups, &problem), 0) << problem;
}

TEST_F(SharedTableTest, PackUnderSharedAccessWorksAloneAndKeepsTheLock) {
  ASSERT_EQ(TableGo(kTableGroups, 0), 0);
  ASSERT_EQ(TableDelete(kTableGroups), 0);
  ASSERT_EQ(TableLock(kTableGroups, true), 0);
  ASSERT_EQ(TablePack(kTableGroups), 0);
  EXPECT_EQ(TableRecCount(kTableGroups), 4);
  // Still locked after the pack: another program cannot even read the header meanwhile.
  pid_t pid = fork();
  if (pid == 0) {
    CFILE f;
    if (f.Open("Gto.dbf", kOpenExisting, kAccessReadWrite, kShareReadWrite) != 0) _exit(1);
    _exit(f.Lock(0, 32 * 5 + 33, false) == -1 ? 0 : 2);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  TableUnlock(kTableGroups);
}

// An index rebuilt on one workstation takes the old file's place; the other opens the new one at
// its next lock instead of writing into the old one, which no longer has a name.
TEST_F(SharedTableTest, AnIndexRebuiltElsewhereIsOpenedAgain) {
  Workstation other([](char c) { return c == 'r' ? TableRebuildIndexes(kTableGroups) : 9; });
  ASSERT_EQ(other.Do('r'), 0);
  AddGroup(6);
  ResetTables();
  ASSERT_EQ(TableOpen(kTableGroups, &TABLE_DEFS[kTableGroups]), 0);
  EXPECT_EQ(TableCount(kTableGroups), 6);
  std::string problem;
  EXPECT_EQ(CheckTable(kTableGroups, &problem), 0) << problem;
}

std::vector<std::string> NamesInNameOrder() {
  std::vector<std::string> names;
  EXPECT_EQ(TableSetIndex(kTableGroups, 1), 0);
  for (int rc = TableFirst(kTableGroups); rc == 0; rc = TableNext(kTableGroups))
    names.push_back(Gto.NAZWA);
  return names;
}

// Index pages kept from earlier locks (trusted once the file has been seen unchanged for longer
// than a step of its time stamp) give way to what another workstation wrote meanwhile, including
// the page under the cursor.
TEST_F(SharedTableTest, KeptIndexPagesGiveWayToAnotherWorkstationsChanges) {
  Workstation other([](char c) {
    if (TableGo(kTableGroups, c == 'a' ? 4 : 1) != 0) return 1;
    std::snprintf(Gto.NAZWA, sizeof Gto.NAZWA, "%s", c == 'a' ? "Aaa" : "Zzz");
    return TableUpdate(kTableGroups) == 0 ? 0 : 2;
  });
  const std::vector<std::string> before = {"Grupa 1", "Grupa 2", "Grupa 3", "Grupa 4", "Grupa 5"};
  ASSERT_EQ(NamesInNameOrder(), before);
  usleep(200 * 1000);
  ASSERT_EQ(NamesInNameOrder(), before);  // read with the file settled: these pages are kept
  ASSERT_EQ(other.Do('a'), 0);
  const std::vector<std::string> after = {"Aaa", "Grupa 1", "Grupa 2", "Grupa 3", "Grupa 4"};
  EXPECT_EQ(NamesInNameOrder(), after);
  // The cursor on "Grupa 1"; the record after it leaves for the end meanwhile.
  ASSERT_EQ(TableFirst(kTableGroups), 0);
  ASSERT_EQ(TableNext(kTableGroups), 0);
  usleep(200 * 1000);
  ASSERT_EQ(TableGo(kTableGroups, 0), 0);
  ASSERT_EQ(other.Do('z'), 0);
  ASSERT_EQ(TableNext(kTableGroups), 0);
  EXPECT_STREQ(Gto.NAZWA, "Grupa 3");
}

// Among many equal keys an entry is found again through hints of where it was. Another
// workstation moves entries (an update puts the key at the end of its equal keys) and splits the
// pages they were on: the hints are found wrong, the ordinary search takes over, and equal keys
// stay in the order they were added.
TEST_F(SharedTableTest, HintsToEqualKeysThatAnotherWorkstationMovedAreNotFollowed) {
  for (int i = 0; i < 60; ++i) {
    Gto = GTO_RECORD{};
    Gto.ID = AMOUNT::FromInt(100 + i);
    std::snprintf(Gto.NAZWA, sizeof Gto.NAZWA, "Ta sama");
    ASSERT_EQ(TableAppend(kTableGroups), 0);
  }
  std::vector<long> order;  // records of the equal keys in the order their keys were added
  for (long r = 5; r < 65; ++r) order.push_back(r);
  auto moved_to_end = [&order](long r) {
    order.erase(std::find(order.begin(), order.end(), r));
    order.push_back(r);
  };
  Workstation other([](char c) {
    if (c != 'm') return 9;
    if (TableGo(kTableGroups, 55) != 0 || TableUpdate(kTableGroups) != 0) return 1;
    for (int i = 0; i < 30; ++i) {
      Gto = GTO_RECORD{};
      Gto.ID = AMOUNT::FromInt(200 + i);
      std::snprintf(Gto.NAZWA, sizeof Gto.NAZWA, "Ta sama");
      if (TableAppend(kTableGroups) != 0) return 2;
    }
    return 0;
  });
  ASSERT_EQ(TableSetIndex(kTableGroups, 1), 0);
  for (long r : {50L, 55L, 60L, 20L})
    ASSERT_EQ(TableGo(kTableGroups, r), 0);  // hints learnt and used
  ASSERT_EQ(other.Do('m'), 0);
  moved_to_end(55);
  for (long r = 65; r < 95; ++r) order.push_back(r);
  // Going to a moved record, then on from it, and changing records whose entries moved.
  ASSERT_EQ(TableGo(kTableGroups, 55), 0);
  ASSERT_EQ(TableNext(kTableGroups), 0);
  EXPECT_EQ(TableRecNo(kTableGroups), 65);
  for (long r : {55L, 50L, 93L}) {
    ASSERT_EQ(TableGo(kTableGroups, r), 0);
    ASSERT_EQ(TableUpdate(kTableGroups), 0);
    moved_to_end(r);
  }
  std::vector<long> walked;
  for (int rc = TableSeek(kTableGroups, "TA SAMA"); rc == 0; rc = TableNext(kTableGroups))
    walked.push_back(TableRecNo(kTableGroups));
  EXPECT_EQ(walked, order);
  std::string problem;
  EXPECT_EQ(CheckTable(kTableGroups, &problem), 0) << problem;
}

// While another workstation holds a table for writing, opening it waits behind the waiting window
// (here a recorder) instead of giving up, and opens once the lock is released ten seconds later.
TEST_F(SharedTableTest, OpeningWaitsWhileAnotherWorkstationWrites) {
  ResetTables();
  struct Recorder : LOCK_WAITER {
    int begun = 0, ended = 0;
    void Begin() override { ++begun; }
    bool WantsToStop() override { return false; }
    void End() override { ++ended; }
  } waiter;
  int locked[2];
  ASSERT_EQ(pipe(locked), 0);
  pid_t pid = fork();
  if (pid == 0) {
    close(locked[0]);
    if (TableOpen(kTableGroups, &TABLE_DEFS[kTableGroups]) != 0 ||
        TableLock(kTableGroups, true) != 0)
      _exit(1);
    char c = 'l';
    if (write(locked[1], &c, 1) != 1) _exit(2);
    sleep(10);
    TableUnlock(kTableGroups);
    ResetTables();
    _exit(0);
  }
  close(locked[1]);
  char c = 0;
  ASSERT_EQ(read(locked[0], &c, 1), 1);
  close(locked[0]);
  SetLockWaiter(&waiter);
  const time_t start = time(nullptr);
  EXPECT_EQ(TableOpen(kTableGroups, &TABLE_DEFS[kTableGroups]), 0);
  EXPECT_GE(time(nullptr) - start, 8);
  EXPECT_EQ(waiter.begun, 1);
  EXPECT_EQ(waiter.ended, 1);
  EXPECT_EQ(TableRecCount(kTableGroups), 5);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
