// The record form of contractors ("KONTRAHENCI"): its layout, the display of the current record,
// the editing of a contractor in it (the sales document chosen from a list, which proposes the
// net-price box of that document), the record commands of the contractors view, and the one-line
// address every contractor display uses.
//
//   RegisterContractorCommands();              // Ins, Shift+Ins, F2, Del and " Wg &NIP "
//   if (contractor_form_edit(kContractorAddEmpty) == 0) { /* Kon holds the new contractor */ }
#pragma once

#include <string>

#include "db/schema.h"
#include "ui/controls.h"

struct CONTRACTOR_FORM_BUFFER {
  KON_RECORD record;
  char document_name[31];
};

// The post code, a blank and the city, ", " and the street address, each only when present;
// cut to 50 characters: "00-001 Warszawa, ul. Polna 1".
std::string ContractorAddress(const KON_RECORD& contractor);

ControlRecord* contractor_form();
CONTRACTOR_FORM_BUFFER* contractor_form_buffer();
void contractor_form_load();
void contractor_form_show();

enum ContractorFormMode {
  kContractorEdit,          // the current contractor
  kContractorAddEmpty,      // a new one
  kContractorAddPrefilled,  // a new one with the current one's values
};
// Runs the form over a copy ("&Ok" saves by the rules of business/contractor_store.h, Esc
// discards). The form is drawn over whatever is on the screen and taken away again. 0 when
// saved: the saved contractor is current. -1 when left without saving; nothing stored changed.
int contractor_form_edit(ContractorFormMode mode);

// The sales documents a contractor may have as default, in the order of the list: their numbers
// in DOCUMENT_KINDS and the list's items.
inline constexpr int kContractorDocumentCount = 8;
extern const int CONTRACTOR_DOCUMENTS[kContractorDocumentCount];
extern const char* const CONTRACTOR_DOCUMENT_ITEMS[kContractorDocumentCount + 1];

// Registers add, edit, delete and the search by NIP for the contractors view.
void RegisterContractorCommands();
