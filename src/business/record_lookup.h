// Reading a related record by its identifier without moving its table: the forms show the
// group of a goods and the contractor of a transaction while those tables keep their own
// current record and order for the lists.
#pragma once

#include "common/amount.h"
#include "db/table.h"

// Copies the record of `table` (0 to 3, identifier index 0) whose ID is id into copy (the size
// of the table's record structure). The table's current record, its structure and its active
// index are as before afterwards. 0 when found; kTableEnd (copy untouched) when id is 0 or no
// record has it; -1 when the table could not be read (reported; not "none").
int ReadRecordById(int table, AMOUNT id, void* copy);
