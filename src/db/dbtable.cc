#include "db/dbtable.h"

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
  static DBTABLE tables[kSchemaTableCount] = {DBTABLE(0), DBTABLE(1), DBTABLE(2), DBTABLE(3), DBTABLE(4)};
  // A number outside the schema gets an object whose every operation reports event 20.
  static DBTABLE invalid(-1);
  return table >= 0 && table < kSchemaTableCount ? tables[table] : invalid;
}

int OpenDatabase() {
  for (int t = 0; t < kSchemaTableCount; ++t) {
    if (Db(t).Open(&TABLE_DEFS[t]) != 0) {
      for (int u = 0; u < t; ++u) Db(u).Close();
      return -1;
    }
  }
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
