// Template parts of db/records.h.
#pragma once

#include "db/schema.h"
#include "db/table.h"

template <typename Fn>
long ForEachPosition(AMOUNT transaction_id, Fn fn) {
  int saved = TableGetIndex(kTablePositions);
  TableLock(kTablePositions, false);
  TableSetIndex(kTablePositions, 0);
  char key[10];
  IdKey(transaction_id, key);
  long seen = 0;
  for (int rc = TableSeek(kTablePositions, key); rc == 0 && Poz.TRAID == transaction_id;
       rc = TableNext(kTablePositions)) {
    ++seen;
    if (fn()) break;
  }
  TableSetIndex(kTablePositions, saved);
  TableUnlock(kTablePositions);
  return seen;
}
