// What the editing of the record forms shares: running a form over a copy of its record, and
// the look-ups the saving and deleting rules make in the tables without losing the table's place.
//
//   TABLE_PLACE place = SaveTablePlace(kTableGoods);
//   if (KeyTaken(kTableGoods, 1, &copy, copy.ID)) ...   // another goods has this name
//   RestoreTablePlace(place);
#pragma once

#include <vector>

#include "common/amount.h"
#include "db/records.h"
#include "ui/dialog.h"

// Runs the key loop of a record form. In place: the form is the one drawn on the main screen
// with nothing over it, so nothing is saved or restored; otherwise (a list or another window is
// open) the form opens as a window of its own over them and closes again. Afterwards no control
// keeps the focus mark; in place the form is drawn again. The control that closed the form, or -1.
int form_edit_run(ControlRecord* form, bool in_place, DialogCallback callback);

// Whether the form of a view can run in place: the view is the main screen's current one and no
// window is open over it.
bool form_edit_in_place(int view);

// The table's current record, active index and record structure, to be put back after
// look-ups that move the table.
struct TABLE_PLACE {
  int table = -1;
  long record = -1;
  int index = -1;
  std::vector<char> structure;
};
TABLE_PLACE SaveTablePlace(int table);
void RestoreTablePlace(const TABLE_PLACE& place);

// True when a live record other than the one with identifier own_id has the same key in the
// given index as the record structure `record` (keys are upper-cased, so "abc" and "ABC" meet).
// own_id 0 stands for a record that is not stored yet. The table's place is kept.
bool KeyTaken(int table, int index, const void* record, AMOUNT own_id);

// True when a live record's key in the given index starts with prefix. The place is kept.
bool KeyPrefixUsed(int table, int index, const char* prefix);

// For an edited record (identifier not 0) under the lock of all tables: true, after saying so,
// when another workstation has deleted the stored record meanwhile.
bool StoredRecordGone(int table, AMOUNT id);

// Writes a form's record, `record` being of the table's record structure type and `id` its
// identifier field: a new record (identifier 0) gets the next identifier and is appended, an
// edited one replaces the stored record with its identifier. 0 when written (the record is
// current and `record` holds what was written); -1 when the table layer refused (it has said
// why; a new record keeps identifier 0); 1 when the stored record is gone (said as well).
int StoreFormRecord(int table, void* record, AMOUNT* id);

