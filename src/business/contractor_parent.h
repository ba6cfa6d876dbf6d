// The parent company: the user's own firm among the contractors, printed as seller or buyer on
// every document. Its identifier lives only in Tamsu.ini ("Company"); deleting its contractor is
// refused (business/contractor_store.h).
//
//   EnsureParentCompany();                      // start-up, after the tables are opened
//   if (Company().IsZero()) parent_company_dialog();
//   LoadParentCompany();
#pragma once

#include "db/schema.h"

// Reads "Company" and the contractor with that identifier into *out: 0, or -1 with *out empty
// when none is chosen or its record is missing. The contractors table does not move.
int ParentCompany(KON_RECORD* out);

// The first run: with the contractors file empty, "Wprowadź dane własnej firmy..." and the
// contractor form on an empty record; the saved contractor becomes the parent company. Left
// without saving, the contractor 1 "Moja firma" is added and named in a message. "Company" gets
// the identifier either way. With contractors present nothing happens. 0, or -1 when the
// contractor could not be added.
int EnsureParentCompany();

// "FIRMA MACIERZYSTA": the contractor chosen from the contractor list (name, address, NIP shown)
// becomes the parent company on " &Ok ". The contractors table is back on its record and index
// afterwards. 0 when " &Ok " stored a choice, -1 otherwise.
int parent_company_dialog();

// The parent company's record as loaded at start-up (empty when none could be read).
int LoadParentCompany();
const KON_RECORD& LoadedParentCompany();
void ResetParentCompany();
