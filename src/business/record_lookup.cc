#include "business/record_lookup.h"

#include <cstring>

#include "db/schema.h"
#include "db/table.h"

int ReadRecordById(int table, AMOUNT id, void* copy) {
  if (id.IsZero()) return kTableEnd;
  if (table < kTableGroups || table > kTableTransactions || !TableIsOpen(table)) return -1;
  const long was = TableRecNo(table);
  const int index = TableGetIndex(table);
  char key[16];
  IdKey(id, key);
  if (TableLock(table, false) != 0) return -1;
  int found = TableSetIndex(table, 0);
  if (found == 0) found = TableSeek(table, key);
  if (found == 0) {
    // Every table with an identifier has it as its first member.
    AMOUNT have;
    std::memcpy(&have, TableRecord(table), sizeof have);
    if (have == id) std::memcpy(copy, TableRecord(table), TableRecordSize(table));
    else found = kTableEnd;
  }
  if (TableSetIndex(table, index) != 0 || TableGo(table, was) != 0) found = -1;
  TableUnlock(table);
  return found;
}
