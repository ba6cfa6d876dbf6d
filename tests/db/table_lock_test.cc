#include "db/table_lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

#include "platform/cfile.h"
#include "support/temp_dir.h"

namespace {

class FakeTable : public TABLE_LOCK_TARGET {
 public:
  explicit FakeTable(const std::string& name) {
    file.Open(name.c_str(), kOpenAlways, kAccessReadWrite, kShareReadWrite);
  }
  CFILE* LockFile() override { return &file; }
  int64_t LockLength() override { return 32 * 4 + 33; }
  void OnFirstLock() override { ++first_locks; }
  int Refresh(bool) override {
    ++refreshes;
    return 0;
  }
  CFILE file;
  int first_locks = 0, refreshes = 0;
};

class Waiter : public LOCK_WAITER {
 public:
  void Begin() override { ++begun; }
  bool WantsToStop() override { return ++asked >= stop_after; }
  void End() override { ++ended; }
  int begun = 0, asked = 0, ended = 0, stop_after = 3;
};

class TableLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int t = 0; t < kTableCount; ++t) {
      tables[t] = std::make_unique<FakeTable>(dir.File("t" + std::to_string(t) + ".dbf"));
      RegisterTableLockTarget(t, tables[t].get());
    }
  }
  void TearDown() override { ResetTableLocks(); }

  // Runs fn in a second process with its own handles on the same files.
  template <typename Fn>
  int Elsewhere(Fn fn) {
    pid_t pid = fork();
    if (pid == 0) {
      std::unique_ptr<FakeTable> theirs[kTableCount];
      for (int t = 0; t < kTableCount; ++t) {
        theirs[t] = std::make_unique<FakeTable>(dir.File("t" + std::to_string(t) + ".dbf"));
        RegisterTableLockTarget(t, theirs[t].get());
      }
      _exit(fn());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 255;
  }

  TempDir dir;
  std::unique_ptr<FakeTable> tables[kTableCount];
};

TEST_F(TableLockTest, WithoutTheNetworkFlagNothingIsLocked) {
  EXPECT_EQ(LockTable(2, true), 0);
  EXPECT_EQ(TableLockDepth(2), 0);
  EXPECT_EQ(tables[2]->refreshes, 0);
  EXPECT_EQ(UnlockTable(2), 0);
}

TEST_F(TableLockTest, NestedLocksTakeAndReleaseTheRangeOnce) {
  SetNetworkFlag(true);
  ASSERT_EQ(LockTable(1, false), 0);
  ASSERT_EQ(LockTable(1, false), 0);
  EXPECT_EQ(TableLockDepth(1), 2);
  EXPECT_EQ(tables[1]->first_locks, 1);
  EXPECT_EQ(tables[1]->refreshes, 2);  // every operation refreshes
  EXPECT_EQ(UnlockTable(1), 0);
  // Still held: another workstation cannot write.
  EXPECT_EQ(Elsewhere([] { return LockTable(1, true) == -1 ? 0 : 1; }), 0);
  EXPECT_EQ(UnlockTable(1), 0);
  EXPECT_EQ(TableLockDepth(1), 0);
  EXPECT_EQ(Elsewhere([] { return LockTable(1, true) == 0 ? 0 : 1; }), 0);
  EXPECT_EQ(UnlockTable(1), -1);  // nothing left to unlock
}

TEST_F(TableLockTest, ReadersShareAndAWriterIsRefusedAtOnce) {
  SetNetworkFlag(true);
  ASSERT_EQ(LockTable(3, false), 0);
  EXPECT_EQ(Elsewhere([] {
              if (LockTable(3, false) != 0) return 1;
              if (UnlockTable(3) != 0) return 2;
              return LockTable(3, true) == -1 ? 0 : 3;
            }),
            0);
  UnlockTable(3);
}

TEST_F(TableLockTest, LockAllWaitsBehindTheWindowUntilTheUserStops) {
  SetNetworkFlag(true);
  ASSERT_EQ(LockTable(2, true), 0);  // this workstation writes table 2
  int status = Elsewhere([] {
    Waiter w;
    SetLockWaiter(&w);
    if (LockAllTables(false) != -1) return 1;
    if (w.begun != 1 || w.ended != 1 || w.asked != 3) return 2;
    // Tables 0 and 1 were taken, then given back in reverse order.
    for (int t = 0; t < kTableCount; ++t)
      if (TableLockDepth(t) != 0) return 3;
    return 0;
  });
  EXPECT_EQ(status, 0);
  UnlockTable(2);
  status = Elsewhere([] {
    Waiter w;
    SetLockWaiter(&w);
    if (LockAllTables(true) != 0) return 1;
    if (w.begun != 0) return 2;  // no wait, no window
    for (int t = 0; t < kTableCount; ++t)
      if (TableLockDepth(t) != 1) return 3;
    UnlockAllTables();
    return TableLockDepth(0) == 0 ? 0 : 4;
  });
  EXPECT_EQ(status, 0);
}

TEST_F(TableLockTest, LockAllSucceedsOnceTheOtherWorkstationUnlocks) {
  SetNetworkFlag(true);
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t holder = fork();
  if (holder == 0) {
    FakeTable t4(dir.File("t4.dbf"));
    RegisterTableLockTarget(4, &t4);
    if (LockTable(4, true) != 0) _exit(1);
    char c = 1;
    if (write(ready[1], &c, 1) != 1) _exit(2);
    usleep(200 * 1000);
    UnlockTable(4);
    _exit(0);
  }
  char c;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  Waiter w;
  w.stop_after = 1 << 30;  // never gives up
  SetLockWaiter(&w);
  EXPECT_EQ(LockAllTables(false), 0);
  EXPECT_EQ(w.begun, 1);
  EXPECT_EQ(w.ended, 1);
  EXPECT_GT(w.asked, 0);
  UnlockAllTables();
  int status = 0;
  waitpid(holder, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  close(ready[0]);
  close(ready[1]);
}

}  // namespace
