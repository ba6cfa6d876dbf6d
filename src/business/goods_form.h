// The record forms of groups of goods ("GRUPY TOWARÓW") and goods ("TOWARY"): their layout and
// the display of the current record. The forms are static dialogs over buffers of their own:
// loading copies the table's record structure into them together with what the form derives
// (the group's name, the kind's name, the net price).
#pragma once

#include "db/schema.h"
#include "ui/controls.h"

// What the goods form shows beside the stored record.
struct GOODS_FORM_BUFFER {
  TOW_RECORD record;
  char group_name[51];
  char kind_name[21];
  AMOUNT net_price;
};

ControlRecord* group_form();
GTO_RECORD* group_form_record();
// Copies the current group (the global structure) into the form.
void group_form_load();
// Loads and redraws the values of the drawn form.
void group_form_show();

ControlRecord* goods_form();
GOODS_FORM_BUFFER* goods_form_buffer();
// Copies the current goods into the form and derives the shown values; the group is read by its
// identifier without moving the groups table.
void goods_form_load();
void goods_form_show();

