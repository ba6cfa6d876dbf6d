// Transactions as stored records: document numbering and its uniqueness, the look-ups the
// position form makes (the last sale of goods to a contractor, the last purchase of goods), the
// negative stock question, and storing, flipping and deleting a transaction with its positions.
//
// Document numbers run per year of DATATRA, per kind and per document kind, in the index of the
// document (4 warehouse, 3 sales) whose key ends in the number's first run of digits:
//
//   after "12/2014" of this year, kind and code: "13/2014"
//   the first PZ of a year takes the number just below in the index with its digits set to 1
//
// Read paths tell the end of the records from a failure: a failure answers -1 (reported by the
// layer that failed) and is never taken for "none".
#pragma once

#include <string>

#include "common/amount.h"
#include "db/schema.h"

enum DocumentSlot { kWarehouseDocument, kSalesDocument };

// The next number for the warehouse or sales document of t (its date, kind and document code).
// 0 with the number, -1 when the transactions could not be read. The transactions table keeps
// its current record and active index.
int NextDocumentNumber(const TRA_RECORD& t, DocumentSlot which, std::string* number);
// Whether another transaction (not t.ID) of the same year, kind and document code has the same
// number text: 1 taken, 0 free (an empty number is always free), -1 failure.
int DocumentNumberTaken(const TRA_RECORD& t, DocumentSlot which);

// The negative stock question for moving the goods' stock by quantity (kind 'D' up, 'S' down):
// 0 to go on, 1 when the user said "Nie", -1 when the goods could not be read.
int CheckNegativeStock(AMOUNT goodsId, AMOUNT quantity, char kind);

// The most recent sale ('S') of the goods to the contractor, and the most recent purchase ('D')
// of the goods: 0 with the position (and, for the purchase, its transaction's net flag),
// 1 when there is none, -1 on a failure.
int LastSaleToContractor(AMOUNT goodsId, AMOUNT contractorId, POZ_RECORD* found);
int LastPurchase(AMOUNT goodsId, POZ_RECORD* found, bool* netFirst);

// The transaction with the latest date (the last one in date order): 0, 1 for an empty file,
// -1 on a failure.
int LatestTransaction(TRA_RECORD* latest);

// Writes a transaction: a new one (ID 0) gets the next identifier and is appended, a stored one
// is rewritten (gone meanwhile: the message, -1); when its date or contractor changed, every
// position's copies follow. The caller holds the lock of all tables. 0 with *t as stored.
int StoreTransaction(TRA_RECORD* t);

// Turns every position of a stored transaction to the kind given, with twice its quantity on
// the stock in the new direction, and stores the transaction with that kind and no documents.
// The negative stock question is asked for each position first; a "Nie" changes nothing (1).
// A failure half-way turns back what was turned (-1). 0 when done; Tra holds the transaction.
int FlipTransactionKind(AMOUNT id, char kind);

// Deletes a transaction with its positions and their stock changes. 0, or -1 (what was deleted
// before a failure stays deleted, each position with its stock, the sums following).
int DeleteTransaction(AMOUNT id);
