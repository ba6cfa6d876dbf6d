#include "db/table.h"

#include <memory>

#include "db/db_events.h"
#include "db/table_lock.h"
#include "db/table_mark.h"
#include "db/table_slot.h"

namespace {

std::unique_ptr<TABLESLOT> g_slots[kMaxTables];

TABLESLOT* Slot(int table) {
  if (table < 0 || table >= kMaxTables) {
    ReportDbEvent(kDbEvBadTableNumber, "", table);
    return nullptr;
  }
  TABLESLOT* s = g_slots[table].get();
  if (!s || !s->open) {
    ReportDbEvent(kDbEvNotOpen, "", table);
    return nullptr;
  }
  return s;
}

// Runs op on an open table under its lock.
template <typename Op>
int Locked(int table, bool exclusive, Op op) {
  TABLESLOT* s = Slot(table);
  if (!s) return -1;
  if (LockTableWaiting(table, exclusive) != 0) return -1;
  // Before the first change of this run the marker takes its place: a crash is noticed later.
  if (exclusive && s->mark_place < 0 && MarkChanging(*s) != 0) {
    UnlockTable(table);
    return -1;
  }
  int rc = op(*s);
  // A change that failed half-way, on a disk that no longer takes writes, may not have been
  // taken back: the clean close leaves the marker to the next opening's check.
  if (exclusive && rc != 0) s->change_failed = true;
  UnlockTable(table);
  return rc;
}

// The answer of a reading operation from the slot's result: 15 (nothing there, silent) is the
// end; every other non-zero result is a failure that has been reported.
int ReadAnswer(int rc) { return rc == 0 ? 0 : rc == kDbEvNotFound ? kTableEnd : -1; }

int OpenAs(int table, const TABLEDEF* def, TABLEFINDINGS* found, bool new_index) {
  if (table < 0 || table >= kMaxTables) return ReportDbEvent(kDbEvBadTableNumber, "", table), -1;
  if (!g_slots[table]) g_slots[table] = std::make_unique<TABLESLOT>();
  TABLESLOT& s = *g_slots[table];
  // A table opened over an open one: the old one is closed cleanly first.
  UnmarkOnClose(s);
  s.table = table;
  RegisterTableLockTarget(table, &s.lock);
  s.markable = false;
  s.change_failed = false;
  int rc = SlotOpen(s, def, NetworkFlag() ? kShareReadWrite : kShareNone, found, new_index);
  if (rc != 0) return -1;
  if (found) {
    // Told, not mended; a marker that cannot be read counts (the reason was reported).
    found->unclean_end = UncleanEnd(def->data_file) != 0;
    return 0;
  }
  s.markable = true;
  if (MendUncleanEnd(table) < 0) {
    SlotClose(s);
    return -1;
  }
  return 0;
}

}  // namespace

TABLESLOT* OpenSlot(int table) {
  return table >= 0 && table < kMaxTables && g_slots[table] && g_slots[table]->open
             ? g_slots[table].get()
             : nullptr;
}

int TableOpen(int table, const TABLEDEF* def) { return OpenAs(table, def, nullptr, false); }
int TableOpenToInspect(int table, const TABLEDEF* def, TABLEFINDINGS* found) {
  return OpenAs(table, def, found, false);
}
int TableOpenWithNewIndex(int table, const TABLEDEF* def) {
  return OpenAs(table, def, nullptr, true);
}

int TableClose(int table) {
  if (table < 0 || table >= kMaxTables) return ReportDbEvent(kDbEvBadTableNumber, "", table), -1;
  // What the table kept back is written first: a failure is answered (the marker of changes in
  // progress stays, so the next opening checks the table).
  const int rc = TableFlush(table);
  if (g_slots[table]) {
    UnmarkOnClose(*g_slots[table]);
    SlotClose(*g_slots[table]);
  }
  RegisterTableLockTarget(table, nullptr);
  return rc;
}

int TableFlush(int table) {
  if (!TableIsOpen(table)) return 0;
  TABLESLOT& s = *g_slots[table];
  if (!s.index_open) return 0;
  // A flush that failed once leaves the index damaged until it is rebuilt: every later flush
  // answers so too, though nothing is left waiting.
  return FlushIndexFile(s.index.get()) != 0 || s.index->damaged ? -1 : 0;
}

int TableFlushAll() {
  int rc = 0;
  for (int t = 0; t < kMaxTables; ++t)
    if (TableFlush(t) != 0) rc = -1;
  return rc;
}

bool TableIsOpen(int table) {
  return table >= 0 && table < kMaxTables && g_slots[table] && g_slots[table]->open;
}

const TABLEDEF* TableDefinition(int table) {
  return TableIsOpen(table) ? g_slots[table]->def : nullptr;
}
const char* TableFileName(int table) {
  return TableIsOpen(table) ? g_slots[table]->def->data_file : "";
}

int TableAppend(int table) {
  return Locked(table, true, [](TABLESLOT& s) { return SlotAppend(s) ? -1 : 0; });
}
int TableUpdate(int table) {
  return Locked(table, true, [](TABLESLOT& s) { return SlotUpdate(s) ? -1 : 0; });
}
int TableDelete(int table) {
  return Locked(table, true, [](TABLESLOT& s) { return SlotDelete(s) ? -1 : 0; });
}
int TableZap(int table) {
  return Locked(table, true, [](TABLESLOT& s) { return SlotZap(s) ? -1 : 0; });
}

int TableFirst(int table) {
  return Locked(table, false, [](TABLESLOT& s) { return ReadAnswer(SlotWalk(s, +1, true)); });
}
int TableLast(int table) {
  return Locked(table, false, [](TABLESLOT& s) { return ReadAnswer(SlotWalk(s, -1, true)); });
}
int TableNext(int table) {
  return Locked(table, false, [](TABLESLOT& s) { return ReadAnswer(SlotWalk(s, +1, false)); });
}
int TablePrev(int table) {
  return Locked(table, false, [](TABLESLOT& s) { return ReadAnswer(SlotWalk(s, -1, false)); });
}

int TableGo(int table, long record) {
  return Locked(table, false, [record](TABLESLOT& s) { return SlotGo(s, record) ? -1 : 0; });
}

int TableReread(int table) {
  return Locked(table, false, [](TABLESLOT& s) {
    if (s.current < 0) return SlotEvent(s, kDbEvNoCurrentRecord), -1;
    return SlotGo(s, s.current) ? -1 : 0;
  });
}

long TableRecNo(int table) {
  TABLESLOT* s = Slot(table);
  return s ? s->current : -1;
}

long TableRecCount(int table) {
  long n = -1;
  Locked(table, false, [&n](TABLESLOT& s) {
    n = s.count;
    return 0;
  });
  return n;
}

int TableCount(int table, long* count) {
  return Locked(table, false, [count](TABLESLOT& s) { return SlotCount(s, count) ? -1 : 0; });
}

long TableCount(int table) {
  long n = -1;
  return TableCount(table, &n) == 0 ? n : -1;
}

int TableSeek(int table, const char* text) {
  return Locked(table, false,
                [text](TABLESLOT& s) { return ReadAnswer(SlotSeek(s, text, false)); });
}

int TableSeekLast(int table, const char* text) {
  return Locked(table, false, [text](TABLESLOT& s) { return ReadAnswer(SlotSeek(s, text, true)); });
}

int TableIsDeleted(int table, bool* deleted) {
  *deleted = false;
  return Locked(table, false, [deleted](TABLESLOT& s) {
    if (s.current < 0) return kTableEnd;
    std::vector<char> raw;
    if (ReadRaw(s, s.current, &raw) != 0) return -1;
    *deleted = RawDeleted(raw);
    return 0;
  });
}

int TableClear(int table) {
  TABLESLOT* s = Slot(table);
  if (!s) return -1;
  ClearStruct(*s, s->record);
  return 0;
}

int TableSetIndex(int table, int index) {
  return Locked(table, false, [index](TABLESLOT& s) { return SlotSetIndex(s, index) ? -1 : 0; });
}

int TableGetIndex(int table) {
  TABLESLOT* s = Slot(table);
  return s ? s->current_index : -1;
}

int TableLock(int table, bool exclusive) {
  if (!Slot(table)) return -1;
  return LockTableWaiting(table, exclusive);
}

int TableUnlock(int table) {
  if (!Slot(table)) return -1;
  return UnlockTable(table);
}

int TableRebuildIndexes(int table) {
  return Locked(table, true, [](TABLESLOT& s) {
    if (SlotRebuild(s) != 0) return -1;
    if (s.count > 0) SlotWalk(s, +1, true);
    return 0;
  });
}

int TablePack(int table) {
  return Locked(table, true, [](TABLESLOT& s) { return SlotPack(s) ? -1 : 0; });
}

void* TableRecord(int table) { return TableIsOpen(table) ? g_slots[table]->record : nullptr; }
size_t TableRecordSize(int table) { return TableIsOpen(table) ? g_slots[table]->record_size : 0; }

void ResetTables() {
  for (int t = 0; t < kMaxTables; ++t) {
    if (g_slots[t]) {
      UnmarkOnClose(*g_slots[t]);
      SlotClose(*g_slots[t]);
    }
    g_slots[t].reset();
    RegisterTableLockTarget(t, nullptr);
  }
}
