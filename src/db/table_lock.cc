#include "db/table_lock.h"

#include <time.h>

#include "platform/cfile.h"

namespace {

struct TableLockState {
  TABLE_LOCK_TARGET* target = nullptr;
  int depth = 0;
  bool exclusive = false;
};

TableLockState g_tables[kMaxLockTables];
bool g_network = false;
LOCK_WAITER* g_waiter = nullptr;

bool Valid(int table) { return table >= 0 && table < kMaxLockTables; }

// Lock failures are expected and handled here: they are not shown to the user. Other failures
// go on to the handler installed before.
class LOCK_QUIET : public CFILE::HANDLER {
 public:
  LOCK_QUIET() : quiet_(this) {}
  void Report(const char* name, int op, int kind, int err) override {
    if (op != kFileOpLock && op != kFileOpUnlock && quiet_.Outer())
      quiet_.Outer()->Report(name, op, kind, err);
  }

 private:
  CFILE::QUIET quiet_;
};

}  // namespace

void RegisterTableLockTarget(int table, TABLE_LOCK_TARGET* target) {
  if (Valid(table)) g_tables[table] = TableLockState{target, 0, false};
}

void SetNetworkFlag(bool on) { g_network = on; }
bool NetworkFlag() { return g_network; }

int LockTable(int table, bool exclusive) {
  if (!g_network) return 0;
  if (!Valid(table) || !g_tables[table].target) return -1;
  TableLockState& t = g_tables[table];
  if (t.depth == 0) {
    CFILE* f = t.target->LockFile();
    if (!f) return -1;
    int rc;
    {
      LOCK_QUIET quiet;
      rc = f->Lock(0, t.target->LockLength(), exclusive);
    }
    if (rc != 0) return -1;
    t.exclusive = exclusive;
    t.target->OnFirstLock();
  } else if (exclusive && !t.exclusive) {
    // A write inside a read lock needs the range exclusively; OFD locks convert in place.
    CFILE* f = t.target->LockFile();
    int rc;
    {
      LOCK_QUIET quiet;
      rc = f->Lock(0, t.target->LockLength(), true);
    }
    if (rc != 0) return -1;
    t.exclusive = true;
  }
  ++t.depth;
  int refreshed = t.target->Refresh(exclusive);
  if (refreshed != 0) {
    UnlockTable(table);
    // A table that cannot be read again (its header damaged) is no reason to wait.
    return refreshed > 0 ? refreshed : kLockBroken;
  }
  return 0;
}

int UnlockTable(int table) {
  if (!g_network) return 0;
  if (!Valid(table) || !g_tables[table].target || g_tables[table].depth == 0) return -1;
  TableLockState& t = g_tables[table];
  if (t.depth == 1) {
    CFILE* f = t.target->LockFile();
    if (f) {
      LOCK_QUIET quiet;
      f->Unlock(0, t.target->LockLength());
    }
    t.exclusive = false;
  }
  --t.depth;
  return 0;
}

int TableLockDepth(int table) { return Valid(table) ? g_tables[table].depth : 0; }

void SetLockWaiter(LOCK_WAITER* waiter) { g_waiter = waiter; }
LOCK_WAITER* LockWaiter() { return g_waiter; }

int LockTableWaiting(int table, bool exclusive) {
  int rc = LockTable(table, exclusive);
  if (rc != -1 || !g_waiter) return rc;
  g_waiter->Begin();
  for (;;) {
    if (g_waiter->WantsToStop()) {
      rc = -1;
      break;
    }
    struct timespec pause = {0, 5 * 1000 * 1000};
    nanosleep(&pause, nullptr);
    if ((rc = LockTable(table, exclusive)) != -1) break;
  }
  g_waiter->End();
  return rc;
}

int LockAllTables(bool exclusive) {
  int locked = 0;
  bool waiting = false;
  bool stopped = false;
  while (locked < kTableCount) {
    int rc = LockTable(locked, exclusive);
    if (rc == 0) {
      ++locked;
      continue;
    }
    if (rc != -1) {
      stopped = true;
      break;
    }
    if (!waiting) {
      waiting = true;
      if (g_waiter) g_waiter->Begin();
    }
    // With nobody to ask, there is nobody to wait for either.
    if (!g_waiter || g_waiter->WantsToStop()) {
      stopped = true;
      break;
    }
    struct timespec pause = {0, 5 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
  if (waiting && g_waiter) g_waiter->End();
  if (stopped) {
    while (locked > 0) UnlockTable(--locked);
    return -1;
  }
  return 0;
}

void UnlockAllTables() {
  for (int t = kTableCount - 1; t >= 0; --t) UnlockTable(t);
}

void ResetTableLocks() {
  for (auto& t : g_tables) t = TableLockState{};
  g_network = false;
  g_waiter = nullptr;
}
