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

ControlRecord* transaction_form();
TRANSACTION_FORM_BUFFER* transaction_form_buffer();
void transaction_form_load();
void transaction_form_show();
