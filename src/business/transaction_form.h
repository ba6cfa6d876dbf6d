// The record form of transactions ("TRANSAKCJE"): its layout and the display of the current
// record with its contractor (read by identifier), the names of its documents and its net sum.
#pragma once

#include "db/schema.h"
#include "ui/controls.h"

struct TRANSACTION_FORM_BUFFER {
  TRA_RECORD record;
  char kind_name[9];
  char contractor_name[51];
  char contractor_address[51];
  char warehouse_name[29];
  char sales_name[29];
  AMOUNT net_sum;
};

// Control indexes of the form, for the rules that enable fields and put the cursor on them.
enum TransactionFormControl {
  kTraKind = 2,
  kTraDate = 4,
  kTraContractor = 6,
  kTraAddress = 8,
  kTraWarehouse = 10,
  kTraWarehouseNumber = 13,
  kTraSales = 15,
  kTraSalesNumber = 18,
  kTraFiscal = 21,
  kTraNet = 24,
  kTraPositions = 25,
  kTraNetSum = 27,
  kTraVat = 30,
  kTraGross = 33,
  kTraCash = 36,
  kTraCard = 39,
  kTraTransfer = 45,
  kTraTransferTerm = 47,
  kTraTransferPaid = 49,
  kTraTransferInterest = 50,
  kTraDeferment = 53,
  kTraDefermentTerm = 55,
  kTraDefermentPaid = 57,
  kTraDefermentInterest = 58,
  kTraRemarks = 61,
  kTraOk = 63,
};

ControlRecord* transaction_form();
TRANSACTION_FORM_BUFFER* transaction_form_buffer();
// Copies the current transaction (the global structure) into the form; its contractor is read
// by identifier without moving the contractors table.
void transaction_form_load();
void transaction_form_show();
void transaction_form_load_record(const TRA_RECORD& record);
// The shown names and the net sum again from the buffer's record (the contractor aside).
void transaction_form_derive();
// The check boxes from the buffer's record and back.
void transaction_form_show_checks();
