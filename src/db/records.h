// Finding records by their identifiers, and walking the positions of a transaction. The answers
// follow db/table.h: 0, kTableEnd (no such record) or -1 (failed and reported; stop).
#pragma once

#include "common/amount.h"

// Makes the record with this identifier current (index 0 of the table), keeping the table's
// active index. 0 when found; kTableEnd when there is none (position and structure unchanged);
// -1 when the search failed.
int FindById(int table, AMOUNT id);

// Walks the positions of a transaction in index 0 of the positions table; fn sees each one in
// the global position structure and stops the walk by returning non-zero. The positions table
// keeps its active index. Returns the number of positions seen, or -1 when the walk failed
// (the positions seen before the failure have been given to fn: a caller that sums them must
// throw the sum away).
template <typename Fn>
long ForEachPosition(AMOUNT transaction_id, Fn fn);

// The identifier after the highest one in index 0 of the table: its whole part + 1, a negative
// one counting as 0 (1 for an empty table). The table's position, index and structure are kept.
// 0 with *id set, or -1 (nothing is set: a guessed identifier would collide).
int NextRecordId(int table, AMOUNT* id);
// The same as a value for test set-ups: 0 (no identifier) when the table could not be read. The
// program uses the form above, which a failure cannot slip through.
AMOUNT NextRecordId(int table);

// Reads the current record again (under the caller's lock, so that another workstation's
// changes show): 0 when it is there and live, kTableEnd when there is none or it was deleted
// meanwhile, -1 when it could not be read.
int RereadCurrent(int table);

// The identifier in the record structure of a table with identifiers (0 for the positions).
AMOUNT CurrentRecordId(int table);

#include "db/records_inl.h"
