#include "business/record_lookup.h"

#include <cstring>
#include <vector>

#include "db/schema.h"
#include "db/table.h"

int ReadRecordById(int table, AMOUNT id, void* copy) {
  if (table < kTableGroups || table > kTableTransactions || !TableIsOpen(table)) return -1;
  if (id.IsZero()) return kTableEnd;
  const long was = TableRecNo(table);
  const int index = TableGetIndex(table);
  // The caller's structure may hold what it is editing: it comes back as it was.
  const char* s = static_cast<const char*>(TableRecord(table));
  const std::vector<char> saved(s, s + TableRecordSize(table));
  char key[16];
  IdKey(id, key);
  if (TableLock(table, false) != 0) return -1;
  int rc = TableSetIndex(table, 0);
  if (rc == 0) rc = TableSeek(table, key);
  if (rc == 0) {
    // Every table with an identifier has it as its first member.
    AMOUNT have;
    std::memcpy(&have, TableRecord(table), sizeof have);
    if (have == id) std::memcpy(copy, TableRecord(table), TableRecordSize(table));
    else rc = kTableEnd;
  }
  if (TableSetIndex(table, index) != 0 || TableGo(table, was) != 0) rc = -1;
  std::memcpy(TableRecord(table), saved.data(), saved.size());
  TableUnlock(table);
  return rc;
}
