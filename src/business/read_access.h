// The database access of one command that only reads: the tables locked for reading (waiting,
// between workstations, behind "Oczekiwanie na prawo dostępu...") for as long as the object lives.
//
//   READ_ACCESS access;
//   if (!access) return;            // the user gave up waiting
#pragma once

#include "db/table_lock.h"

class READ_ACCESS {
 public:
  READ_ACCESS() : held_(LockAllTables(false) == 0) {}
  ~READ_ACCESS() {
    if (held_) UnlockAllTables();
  }
  READ_ACCESS(const READ_ACCESS&) = delete;
  READ_ACCESS& operator=(const READ_ACCESS&) = delete;
  explicit operator bool() const { return held_; }

 private:
  bool held_;
};
