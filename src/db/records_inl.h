// Template parts of db/records.h.
#pragma once

#include "db/schema.h"
#include "db/table.h"

template <typename Fn>
long ForEachPosition(AMOUNT transaction_id, Fn fn) {
  int saved = TableGetIndex(kTablePositions);
  if (TableLock(kTablePositions, false) != 0) return -1;
  char key[10];
  IdKey(transaction_id, key);
  long seen = 0;
  int rc = TableSetIndex(kTablePositions, 0);
  if (rc == 0) {
    for (rc = TableSeek(kTablePositions, key); rc == 0 && Poz.TRAID == transaction_id;
         rc = TableNext(kTablePositions)) {
      ++seen;
      if (fn()) break;
    }
  }
  if (TableSetIndex(kTablePositions, saved) != 0) rc = -1;
  TableUnlock(kTablePositions);
  return rc < 0 ? -1 : seen;
}
