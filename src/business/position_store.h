// Writing positions: a position, the stock of its goods and the totals of its transaction change
// together or not at all.
//
// Each write takes the lock of all tables, reads what it is about to change, writes the
// position, sets the stock of the goods it touches and, with "TraRecalc" on, the transaction's
// sums (and the cash that balances them). When a file operation fails half-way the write is
// settled before the lock goes: the indexes of the table that failed are built again, the
// position is looked at as it now stands in the file, and the stock and the sums are set to
// match it. So a position that reached the file is kept with its stock change (the answer is
// then 0, as for a write that went through), and one that did not leaves stock and sums as
// they were (-1). Only a second failure while settling can leave them apart; the database check
// finds that.
//
// The positions table is left without an active index and without a current record: positions
// are addressed by record number (the positions window keeps the numbers of its transaction's
// positions), which keeps the cost of a write independent of how many positions the
// transaction has.
//
//   POZ_RECORD p = ...;  long at;
//   if (AddPosition(&p, &running, &at) == 0) { /* stored; Tra holds the transaction */ }
#pragma once

#include <vector>

#include "business/running_totals.h"
#include "db/schema.h"

// running (may be null) holds the totals of the position's transaction as the caller knows them;
// it is brought up to date, or built again from the file when the stored sums show that
// somebody else changed the transaction meanwhile. Afterwards Tra holds the transaction.
// 0 when the position is stored, -1 when nothing was (the failure was reported).
int AddPosition(POZ_RECORD* position, RUNNING_TOTALS* running, long* recno);
// Replaces position recno (which must still belong to the same transaction) by *position.
int ChangePosition(long recno, POZ_RECORD* position, RUNNING_TOTALS* running);
int RemovePosition(long recno, RUNNING_TOTALS* running);

// The record numbers of the live positions of a transaction, in ascending order (the order they
// were entered in). 0, or -1 when the positions could not be read.
int TransactionPositions(AMOUNT transactionId, std::vector<long>* recnos);
// Reads position recno into *position without moving the positions table's index. 0, or -1
// (also for a deleted record, which is then reported as gone).
int ReadPosition(long recno, POZ_RECORD* position);
// The totals of all positions of a transaction. 0 or -1.
int LoadRunningTotals(AMOUNT transactionId, bool netFirst, RUNNING_TOTALS* totals);

// Sums the positions of transaction id; when the gross or VAT total changed, stores them and
// lets cash take up the difference to the amount due. Afterwards Tra holds the transaction.
// 0, or -1 when it could not be read or written.
int RecalculateTransaction(AMOUNT id);

// Writes the table's record structure as record recno (or appends it, recno -1; only for tables
// whose records carry an identifier) so that a failure half-way leaves no half: the table's
// indexes are built again from the records and the record is written once more where it now
// stands. 0 when it is written, -1 when the failure lasts (reported).
int WriteRecordSettled(int table, long recno);

// The stock effect of a position on its goods: its quantity for income, minus it for expense.
AMOUNT StockEffect(const POZ_RECORD& position);
