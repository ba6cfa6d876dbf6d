// The table layer: open tables live in slots addressed by table number (0 to 19); every operation
// checks the number (event 20) and that the table is open (event 16), takes the lock it needs
// (reading or writing, see db/table_lock.h), works on the table's record structure and releases
// the lock. Failures return non-zero and are reported once through the event handler
// (db/db_events.h) or, for file errors, through CFILE::HANDLER.
//
//   TableOpen(1, &kGoodsDef);          // creates Tow.dbf and Tow.inx when missing
//   TableSetIndex(1, 1);               // by name
//   if (TableSeek(1, "ANT") == 0) { /* the global goods structure holds the record */ }
//
// Record numbers count from 0 in file order; deleted records keep their numbers until the table
// is packed.
//
// Every reading operation tells three answers apart, and an error is never "no more records":
//   0          a record is current (found); the record structure holds it;
//   kTableEnd  there is no such record: the walk ran out at the beginning or the end, the key or
//              identifier is not there, the table is empty. Silent; the position is kept;
//   -1         the operation failed (a read error, a damaged index...). The user has been told
//              once (through the event handler or CFILE::HANDLER, or by giving up the wait for
//              another workstation's lock); callers only stop and must not act as though the
//              records had ended.
// This holds for TableFirst, TableLast, TableNext, TablePrev, TableSeek, TableSeekLast, the forms
// of TableIsDeleted and TableCount with an out parameter, and the helpers of db/records.h
// (FindById, ForEachPosition, NextRecordId). TableGo and TableReread answer 0 or -1 (a record
// number outside the file, or no current record to read again, is a failure). Code that walks:
//
//   int rc;
//   for (rc = TableFirst(t); rc == 0; rc = TableNext(t)) { ... }
//   if (rc < 0) return -1;             // reported already; kTableEnd is the normal way out
//
// Helpers that answer a value take an out parameter and return 0, kTableEnd or -1 like the rest.
#pragma once

#include <cstddef>

#include "db/table_def.h"

// "There is no such record": the end of a walk, a key not found. Not a failure.
inline constexpr int kTableEnd = 1;

// Opens a table, creating missing files. Opening mends what it safely can, when no other
// workstation has the table: a missing end mark is written; a data file shorter than its header
// says is copied aside ("Tow.dbf.001"), cut to its whole records and reported (event 21); a
// missing index file is built from the records. After a run that changed the table ended without
// closing it, the indexes are checked against the records and rebuilt when they disagree (event
// 23; see db/table_mark.h). TableClose is the clean close that spares the next opening that check.
int TableOpen(int table, const TABLEDEF* def);

// Opens a table as TableOpen does, with its index file built afresh from the records and put in
// place of whatever index file was there (missing, refused or damaged). Until the new index is
// whole the old file stays as it was: a crash leaves it, or no index, never a part of one.
int TableOpenWithNewIndex(int table, const TABLEDEF* def);

// What opening a table to inspect it found instead of mending.
struct TABLEFINDINGS {
  bool end_mark_missing = false;  // the file does not end with the end mark after the records
  long claimed_records = -1;      // the file is shorter than its header says: the header's count
  long whole_records = -1;        // ... and the whole records it holds (these are what is read)
  bool index_missing = false;
  bool index_refused = false;  // the index file's header does not fit the definition
  bool unclean_end = false;    // a run that changed the table ended without closing it
};
// Opens an existing table for reading only, in file order, changing nothing: neither files nor
// marks are mended or built, and what would have been is told in *found. A missing or refused
// index leaves the table without one. Used by the check and the dump of tamsu-admin.
int TableOpenToInspect(int table, const TABLEDEF* def, TABLEFINDINGS* found);
// -1 when what the table kept back of its index could not be written (reported).
int TableClose(int table);
// Writes what a table held alone ("Net" = 0) keeps back of its index file until the program is
// idle: TableFlush for one table, TableFlushAll for every open one. 0, or -1 when a write failed
// (reported; the index is then marked damaged and rebuilt at the next opening) or the index is
// damaged already.
int TableFlush(int table);
int TableFlushAll();
bool TableIsOpen(int table);
const TABLEDEF* TableDefinition(int table);
const char* TableFileName(int table);

int TableAppend(int table);
int TableUpdate(int table);
int TableDelete(int table);
int TableZap(int table);

// 0, kTableEnd (no record that way: the previous record stays current) or -1.
int TableFirst(int table);
int TableLast(int table);
int TableNext(int table);
int TablePrev(int table);
// -1 makes no record current and clears the structure. 0 or -1.
int TableGo(int table, long record);
// Reads the current record again into the structure. 0 or -1 (also when none is current).
int TableReread(int table);
long TableRecNo(int table);
// Records in the file, deleted ones included; -1 on failure.
long TableRecCount(int table);
// Records reachable by First and Next; the position is kept. 0 or -1; *count is set on 0.
int TableCount(int table, long* count);
// The same as a number: -1 on failure (never a partial count).
long TableCount(int table);

// With an active index: the first record whose key, over the text's length, is not below text.
// 0, kTableEnd (nothing not below it; the position is kept) or -1.
int TableSeek(int table, const char* text);
// The last record whose key, over the text's length, is not above text. 0, kTableEnd or -1.
int TableSeekLast(int table, const char* text);
// Whether the current record is marked deleted (by this or another workstation): 0 with *deleted
// set, kTableEnd when no record is current, -1 when it could not be read.
int TableIsDeleted(int table, bool* deleted);

// Empties the record structure: texts empty, numbers 0, dates empty.
int TableClear(int table);

// -1 for natural order.
int TableSetIndex(int table, int index);
int TableGetIndex(int table);

// Held around several operations to make them consistent; counted.
int TableLock(int table, bool exclusive);
int TableUnlock(int table);

// Builds every index again from the records (events 4 to 6; cancellable).
int TableRebuildIndexes(int table);
// Rewrites the table without its deleted records (events 1 to 3; cancellable).
int TablePack(int table);

// The record structure of an open table and its size.
void* TableRecord(int table);
size_t TableRecordSize(int table);

// Closes every table (tests).
void ResetTables();
