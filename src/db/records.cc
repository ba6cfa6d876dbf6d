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

int RereadCurrent(int table) {
  if (TableRecNo(table) < 0) return kTableEnd;
  if (TableReread(table) != 0) return TableRecNo(table) < 0 ? kTableEnd : -1;
  bool deleted = false;
  int rc = TableIsDeleted(table, &deleted);
  if (rc != 0) return rc;
  return deleted ? kTableEnd : 0;
}

int FindById(int table, AMOUNT id) {
  if (table < 0 || table > kTableTransactions) return -1;
  long saved_record = TableRecNo(table);
  int saved_index = TableGetIndex(table);
  if (TableLock(table, false) != 0) return -1;
  char key[10];
  IdKey(id, key);
  // The caller's structure may hold unsaved edits: a miss gives it back untouched.
  std::vector<char> saved_struct(
      static_cast<const char*>(TableRecord(table)),
      static_cast<const char*>(TableRecord(table)) + TableRecordSize(table));
  int rc = TableSetIndex(table, 0);
  if (rc == 0) rc = TableSeek(table, key);
  if (rc == 0 && CurrentRecordId(table) != id) {
    rc = TableGo(table, saved_record) == 0 ? kTableEnd : -1;
    std::memcpy(TableRecord(table), saved_struct.data(), saved_struct.size());
  } else if (rc != 0) {
    std::memcpy(TableRecord(table), saved_struct.data(), saved_struct.size());
  }
  if (TableSetIndex(table, saved_index) != 0) rc = -1;
  TableUnlock(table);
  return rc;
}

int NextRecordId(int table, AMOUNT* id) {
  if (!TableIsOpen(table)) return -1;
  long saved_record = TableRecNo(table);
  int saved_index = TableGetIndex(table);
  std::vector<char> saved_struct(
      static_cast<const char*>(TableRecord(table)),
      static_cast<const char*>(TableRecord(table)) + TableRecordSize(table));
  if (TableLock(table, false) != 0) return -1;
  AMOUNT last;
  int rc = TableSetIndex(table, 0);
  if (rc == 0) rc = TableLast(table);
  if (rc == 0) last = CurrentRecordId(table);
  if (rc == kTableEnd) rc = 0;  // an empty table starts at 1
  if (last < AMOUNT()) last = AMOUNT();
  if (TableGo(table, saved_record) != 0) rc = -1;
  if (!saved_struct.empty())
    std::memcpy(TableRecord(table), saved_struct.data(), saved_struct.size());
  if (TableSetIndex(table, saved_index) != 0) rc = -1;
  TableUnlock(table);
  if (rc != 0) return -1;
  *id = AMOUNT::FromInt(last.Whole() + 1);
  return 0;
}

AMOUNT NextRecordId(int table) {
  AMOUNT id;
  return NextRecordId(table, &id) == 0 ? id : AMOUNT();
}
