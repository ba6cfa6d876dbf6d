// The record forms of groups of goods ("GRUPY TOWARÓW") and goods ("TOWARY"): their layout, the
// display of the current record and the editing. The forms are static dialogs over buffers of
// their own: loading copies a record into them together with what the form derives (the group's
// name, the kind's name, the net price); editing works on that copy and saving writes it back
// through the table's record structure.
//
//   goods_form_edit(Tow, true);                 // F2 on the main screen
//   goods_form_edit(NewGoodsRecord(), false);   // Ins in a list: the form opens over it
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

// Control indexes of the forms, for the rules that put the cursor on a field.
enum GroupFormControl { kGroupName = 2, kGroupRemarks = 4, kGroupOk = 6 };
enum GoodsFormControl {
  kGoodsName = 2,
  kGoodsDescription = 4,
  kGoodsNumber = 6,
  kGoodsBarcode = 8,
  kGoodsGroup = 10,
  kGoodsKind = 12,
  kGoodsSww = 14,
  kGoodsPackaging = 16,
  kGoodsUnit = 17,
  kGoodsMinStock = 19,
  kGoodsStock = 22,
  kGoodsMargin = 25,
  kGoodsNet = 27,
  kGoodsVat = 29,
  kGoodsGross = 31,
  kGoodsDiscount = 33,
  kGoodsRemarks = 35,
  kGoodsOk = 37,
};

ControlRecord* group_form();
GTO_RECORD* group_form_record();
// Copies the current group (the global structure) into the form.
void group_form_load();
// Loads and redraws the values of the drawn form.
void group_form_show();
void group_form_load_record(const GTO_RECORD& record);

ControlRecord* goods_form();
GOODS_FORM_BUFFER* goods_form_buffer();
// Copies the current goods into the form and derives the shown values; the group is read by its
// identifier without moving the groups table.
void goods_form_load();
void goods_form_show();
void goods_form_load_record(const TOW_RECORD& record);
// Changes of the copy that also change what the form derives: the VAT label, the kind's name
// and which fields the kind lets the user edit.
void goods_form_set_vat(int vatId);
void goods_form_set_kind(char code);

// Runs the form over a copy of record (an identifier of 0 makes a new record) until it is saved
// (0: the saved record is current in its table) or left with Esc (-1: nothing stored). in_place
// as form_edit_run (business/form_edit.h).
int group_form_edit(const GTO_RECORD& record, bool in_place);
int goods_form_edit(const TOW_RECORD& record, bool in_place);

// Deletes the current group or goods after the rights and references are checked (the question
// is the caller's). 0 when deleted.
int group_delete_current();
int goods_delete_current();
