// The record form of contractors ("KONTRAHENCI"): its layout and the display of the current
// record, and the one-line address every contractor display uses.
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
