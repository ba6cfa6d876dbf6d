// Finding records by their identifiers, and walking the positions of a transaction.
#pragma once

#include "common/amount.h"

// Makes the record with this identifier current (index 0 of the table), keeping the table's
// active index. 0 when found; otherwise -1 and the position is unchanged.
int FindById(int table, AMOUNT id);

// Walks the positions of a transaction in index 0 of the positions table; fn sees each one in
// the global position structure and stops the walk by returning non-zero. The positions table
// keeps its active index. Returns the number of positions seen.
template <typename Fn>
long ForEachPosition(AMOUNT transaction_id, Fn fn);

// The identifier after the highest one in index 0 of the table: its whole part + 1, a negative
// one counting as 0 (1 for an empty table). The table's position, index and structure are kept.
AMOUNT NextRecordId(int table);

// The identifier in the record structure of a table with identifiers (0 for the positions).
AMOUNT CurrentRecordId(int table);

#include "db/records_inl.h"
