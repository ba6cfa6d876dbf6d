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
#pragma once

#include <cstddef>

#include "db/table_def.h"

int TableOpen(int table, const TABLEDEF* def);
int TableClose(int table);
bool TableIsOpen(int table);
const TABLEDEF* TableDefinition(int table);
const char* TableFileName(int table);

int TableAppend(int table);
int TableUpdate(int table);
int TableDelete(int table);
int TableZap(int table);

int TableFirst(int table);
int TableLast(int table);
int TableNext(int table);
int TablePrev(int table);
// -1 makes no record current and clears the structure.
int TableGo(int table, long record);
// Reads the current record again into the structure.
int TableReread(int table);
long TableRecNo(int table);
long TableRecCount(int table);
// Records reachable by First and Next; the position is kept.
long TableCount(int table);

// With an active index: the first record whose key, over the text's length, is not below text.
int TableSeek(int table, const char* text);
// The last record whose key, over the text's length, is not above text.
int TableSeekLast(int table, const char* text);
int TableIsDeleted(int table);
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
