#include "db/records.h"

#include <cstring>
#include <vector>

AMOUNT CurrentRecordId(int table) {
  switch (table) {
    case kTableGroups: return Gto.ID;
    case kTableGoods: return Tow.ID;
    case kTableContractors: return Kon.ID;
    case kTableTransactions: return Tra.ID;
    default: return AMOUNT();
  }
}

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
  bool found = rc == 0 && CurrentRecordId(table) == id;
  if (!found && rc == 0) {
    TableGo(table, saved_record);
    std::memcpy(TableRecord(table), saved_struct.data(), saved_struct.size());
  }
  TableSetIndex(table, saved_index);
  TableUnlock(table);
  return found ? 0 : -1;
}

AMOUNT NextRecordId(int table) {
  long saved_record = TableRecNo(table);
  int saved_index = TableGetIndex(table);
  std::vector<char> saved_struct(static_cast<const char*>(TableRecord(table)),
                                 static_cast<const char*>(TableRecord(table)) + TableRecordSize(table));
  TableLock(table, false);
  TableSetIndex(table, 0);
  AMOUNT last;
  if (TableLast(table) == 0) last = CurrentRecordId(table);
  if (last < AMOUNT()) last = AMOUNT();
  TableGo(table, saved_record);
  if (!saved_struct.empty()) std::memcpy(TableRecord(table), saved_struct.data(), saved_struct.size());
  TableSetIndex(table, saved_index);
  TableUnlock(table);
  return AMOUNT::FromInt(last.Whole() + 1);
}
