#include "db/dbtable.h"

#include <cstring>
#include <string>
#include <vector>

#include "db/dbf_format.h"
#include "db/index_page.h"
#include "db/table_lock.h"
#include "platform/cfile.h"

#include "db/schema.h"
#include "db/table.h"

DBTABLE::~DBTABLE() = default;

int DBTABLE::Append() { return TableAppend(table_); }
int DBTABLE::Update() { return TableUpdate(table_); }
int DBTABLE::Delete() { return TableDelete(table_); }
int DBTABLE::Zap() { return TableZap(table_); }
int DBTABLE::First() { return TableFirst(table_); }
int DBTABLE::Last() { return TableLast(table_); }
int DBTABLE::Prev() { return TablePrev(table_); }
int DBTABLE::Next() { return TableNext(table_); }
int DBTABLE::Go(long record) { return TableGo(table_, record); }
int DBTABLE::Reread() { return TableReread(table_); }
long DBTABLE::RecNo() { return TableRecNo(table_); }
long DBTABLE::RecCount() { return TableRecCount(table_); }
long DBTABLE::Count() { return TableCount(table_); }
int DBTABLE::Unlock() { return TableUnlock(table_); }
int DBTABLE::Open(const TABLEDEF* def) { return TableOpen(table_, def); }
int DBTABLE::Close() { return TableClose(table_); }
int DBTABLE::SetIndex(int index) { return TableSetIndex(table_, index); }
int DBTABLE::GetIndex() { return TableGetIndex(table_); }
int DBTABLE::Lock(int exclusive) { return TableLock(table_, exclusive != 0); }

DBTABLE& Db(int table) {
  static DBTABLE tables[kSchemaTableCount] = {DBTABLE(0), DBTABLE(1), DBTABLE(2), DBTABLE(3),
                                              DBTABLE(4)};
  // A number outside the schema gets an object whose every operation reports event 20.
  static DBTABLE invalid(-1);
  return table >= 0 && table < kSchemaTableCount ? tables[table] : invalid;
}

namespace {

// Whether a temporary file holds what a pack or an index build writes: a table, an index, or
// nothing yet (a name taken just before a crash). Documents and other files are left alone.
bool LeftoverOfOurs(const std::string& name, bool empty_counts) {
  CFILE f;
  if (f.Open(name.c_str(), kOpenExisting, kAccessRead, kShareReadWrite) != 0) return false;
  uint8_t head[kIndexMagicSize] = {};
  long n = f.Read(head, sizeof head);
  if (n == 0) return empty_counts;
  if (n == static_cast<long>(sizeof head) && std::memcmp(head, kIndexMagic, kIndexMagicSize) == 0)
    return true;
  // A table: version 3, then (after date, count and lengths) the zero bytes from offset 12.
  if (n < static_cast<long>(sizeof head) || head[0] != kDbfVersion) return false;
  for (size_t i = 12; i < sizeof head; ++i)
    if (head[i] != 0) return false;
  return true;
}

}  // namespace

int FindLeftovers(std::vector<std::string>* names, bool empty_counts) {
  names->clear();
  CFILE::HANDLER* saved = CFILE::Handler();
  CFILE::SetHandler(nullptr);
  std::vector<std::string> all;
  int rc = ListTemporaryNames(TABLE_DEFS[0].data_file, &all);
  for (const std::string& name : all)
    if (LeftoverOfOurs(name, empty_counts)) names->push_back(name);
  CFILE::SetHandler(saved);
  return rc;
}

void RemoveLeftovers() {
  const bool shared = NetworkFlag();
  int locked = 0;
  if (shared) {
    while (locked < kSchemaTableCount && LockTable(locked, true) == 0) ++locked;
  }
  std::vector<std::string> names;
  if ((!shared || locked == kSchemaTableCount) && FindLeftovers(&names, !shared) == 0) {
    CFILE::HANDLER* saved = CFILE::Handler();
    CFILE::SetHandler(nullptr);
    for (const std::string& name : names) CFILE::DeleteFile(name.c_str());
    CFILE::SetHandler(saved);
  }
  while (locked > 0) UnlockTable(--locked);
}

int OpenDatabase() {
  for (int t = 0; t < kSchemaTableCount; ++t) {
    if (Db(t).Open(&TABLE_DEFS[t]) != 0) {
      for (int u = 0; u < t; ++u) Db(u).Close();
      return -1;
    }
  }
  RemoveLeftovers();
  return 0;
}

void CloseDatabase() {
  for (int t = 0; t < kSchemaTableCount; ++t) Db(t).Close();
}

bool DatabaseEmpty() {
  for (int t = 0; t < kSchemaTableCount; ++t)
    if (TableRecCount(t) != 0) return false;
  return true;
}
