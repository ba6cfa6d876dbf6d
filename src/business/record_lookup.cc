#include "business/record_lookup.h"

#include <cstring>

#include "db/schema.h"
#include "db/table.h"

int ReadRecordById(int table, AMOUNT id, void* copy) {
  if (id.IsZero() || table < kTableGroups || table > kTableTransactions || !TableIsOpen(table))
    return -1;
  const long was = TableRecNo(table);
  const int index = TableGetIndex(table);
  char key[16];
  IdKey(id, key);
  int found = -1;
  TableLock(table, false);
  if (TableSetIndex(table, 0) == 0 && TableSeek(table, key) == 0) {
    // Every table with an identifier has it as its first member.
    AMOUNT have;
    std::memcpy(&have, TableRecord(table), sizeof have);
    if (have == id) {
      std::memcpy(copy, TableRecord(table), TableRecordSize(table));
      found = 0;
    }
  }
  TableSetIndex(table, index);
  TableGo(table, was);
  TableUnlock(table);
  return found;
}
