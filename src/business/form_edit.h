// What the editing of the record forms shares: running a form over a copy of its record, and
// the look-ups the saving and deleting rules make in the tables without losing the table's place.
//
//   TABLE_PLACE place = SaveTablePlace(kTableGoods);
//   if (KeyTaken(kTableGoods, 1, &copy, copy.ID) == 1) ...   // another goods has this name
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
// 0, or -1 when the record could not be read again (reported).
int RestoreTablePlace(const TABLE_PLACE& place);

// 1 when a live record other than the one with identifier own_id has the same key in the given
// index as the record structure `record` (keys are upper-cased, so "abc" and "ABC" meet), 0 when
// none has, -1 when the search failed (reported: the caller stops). own_id 0 stands for a record
// that is not stored yet. The table's place is kept.
int KeyTaken(int table, int index, const void* record, AMOUNT own_id);

// 1 when a live record's key in the given index starts with prefix, 0 when none does, -1 when
// the search failed. The place is kept.
int KeyPrefixUsed(int table, int index, const char* prefix);
