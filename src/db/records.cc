#include "db/records.h"

#include <cstring>
#include <vector>

namespace {

AMOUNT IdOfCurrent(int table) {
  switch (table) {
    case kTableGroups: return Gto.ID;
    case kTableGoods: return Tow.ID;
    case kTableContractors: return Kon.ID;
    case kTableTransactions: return Tra.ID;
    default: return AMOUNT();
  }
}

}  // namespace

int FindById(int table, AMOUNT id) {
  if (table < 0 || table > kTableTransactions) return -1;
  long saved_record = TableRecNo(table);
  int saved_index = TableGetIndex(table);
  TableLock(table, false);
  TableSetIndex(table, 0);
  char key[10];
  IdKey(id, key);
  // The caller's structure may hold unsaved edits: a miss gives it back untouched.
  std::vector<char> saved_struct(static_cast<const char*>(TableRecord(table)),
                                 static_cast<const char*>(TableRecord(table)) + TableRecordSize(table));
  int rc = TableSeek(table, key);
  bool found = rc == 0 && IdOfCurrent(table) == id;
  if (!found && rc == 0) {
    TableGo(table, saved_record);
    std::memcpy(TableRecord(table), saved_struct.data(), saved_struct.size());
  }
  TableSetIndex(table, saved_index);
  TableUnlock(table);
  return found ? 0 : -1;
}

AMOUNT NextRecordIdOf(int table) {
  long saved_record = TableRecNo(table);
  int saved_index = TableGetIndex(table);
  TableLock(table, false);
  TableSetIndex(table, 0);
  AMOUNT next = AMOUNT::FromInt(1);
  if (TableLast(table) == 0) next = IdOfCurrent(table) + AMOUNT::FromInt(1);
  TableGo(table, saved_record);
  TableSetIndex(table, saved_index);
  TableUnlock(table);
  return next;
}
