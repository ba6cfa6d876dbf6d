// Locking of the tables between workstations.
//
// With the network flag ("Net" in Tamsu.ini) off, tables are opened exclusively and locking
// does nothing. With it on, every table operation holds a byte-range lock on the header region
// of the table's data file (bytes 0 to 32 × fields + 33): shared for reading, exclusive for
// writing, never waiting. Locks nest: only the outermost LockTable takes the range and only the
// matching UnlockTable releases it. LockAllTables takes tables 0 to 4 in order and waits, behind
// a window the user can abort, until it has them all.
#pragma once

#include <cstdint>

class CFILE;

// The five tables of the database; slots above them hold tables of tools and conversions.
inline constexpr int kTableCount = 5;
inline constexpr int kMaxLockTables = 20;

// What the lock needs of a table; the table layer registers one per table.
class TABLE_LOCK_TARGET {
 public:
  virtual ~TABLE_LOCK_TARGET() = default;
  virtual CFILE* LockFile() = 0;
  virtual int64_t LockLength() = 0;
  // Called when the outermost lock is taken: page copies read under an earlier lock are stale.
  virtual void OnFirstLock() {}
  // Called at every LockTable after the lock is held, before the caller's operation: re-read
  // what another workstation may have changed. Non-zero fails the lock (it is released again).
  virtual int Refresh(bool /*exclusive*/) { return 0; }
};

void RegisterTableLockTarget(int table, TABLE_LOCK_TARGET* target);

void SetNetworkFlag(bool on);
bool NetworkFlag();

// 0 when held; -1 at once when another workstation holds a conflicting lock; a positive code
// (the table event, or kLockBroken) when the lock was had but the table could not be read again.
inline constexpr int kLockBroken = 1000;
int LockTable(int table, bool exclusive);
int UnlockTable(int table);
int TableLockDepth(int table);

// How the program waits in LockAllTables; the interface installs the window
// "Oczekiwanie na prawo dostępu..." with its Esc question.
class LOCK_WAITER {
 public:
  virtual ~LOCK_WAITER() = default;
  virtual void Begin() = 0;
  // True when the user wants to stop waiting (Esc, then "Tak" to "Przerwać operację?").
  virtual bool WantsToStop() = 0;
  virtual void End() = 0;
};
void SetLockWaiter(LOCK_WAITER* waiter);
LOCK_WAITER* LockWaiter();

// LockTable that waits while another workstation holds the table, behind the installed waiter
// (the user may give up: -1). Without a waiter it answers at once like LockTable.
int LockTableWaiting(int table, bool exclusive);

// Tables 0 to 4 in order, waiting for each; on failure the tables already locked are unlocked in
// reverse order.
int LockAllTables(bool exclusive);
void UnlockAllTables();

void ResetTableLocks();
