// Storing and deleting contractors with their rules: the questions about a missing NIP and about
// a name or NIP another contractor already has, the new identifier, a record deleted meanwhile
// by another workstation, the parent company and contractors that transactions refer to.
//
//   KON_RECORD edited = ...;  ContractorField back;
//   if (SaveContractor(&edited, 7, &stored, recno, &back) != 0) /* cursor to `back` */;
#pragma once

#include "common/amount.h"
#include "db/schema.h"

// The field a refused save sends the cursor back to.
enum ContractorField {
  kContractorFieldNone = -1,  // nothing to correct (the record went away, or the user gave up)
  kContractorFieldName = 0,
  kContractorFieldNip,
  kContractorFieldOk,  // the data are fine but could not be written: stay on " &Ok "
};

// Saves `edited` (documentKind: the number of its sales document in DOCUMENT_KINDS, already in
// DOKTRATYP). With `stored` null a new contractor gets the next identifier and is appended;
// otherwise record `recno`, whose stored contents are `*stored`, is rewritten. The checks run
// in order: name empty, the NIP question, the lock of all tables, the name and the NIP already
// used. 0 when written (the written record is current, `edited` holds it with its identifier);
// -1 with `*back` set otherwise, the tables, their positions and their active indexes as before.
int SaveContractor(KON_RECORD* edited, int documentKind, const KON_RECORD* stored, long recno,
                   ContractorField* back);

// Whether any live transaction refers to the contractor (transactions index by contractor): 1,
// 0, or -1 when that could not be read (reported; the contractor must not be deleted then).
int ContractorInUse(AMOUNT id);

// Deletes the current contractor unless it is the parent company or in use, saying why not.
// 0 when deleted (the table moves to the next record), -1 otherwise.
int DeleteCurrentContractor();
