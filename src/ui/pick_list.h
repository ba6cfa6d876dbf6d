// Pick lists: a grid of items (pick_list), a one-column menu (menu_list) and the choice of a
// name from a name table (choose_from_table, used by choice fields).
//
//   static const NameTableEntry kModes[] = {{"Auto", 0}, {"Kolor", 1}, {"Mono", 2}, {nullptr, 0}};
//   char name[8] = "Kolor";
//   choose_from_table(20, 3, kModes, name);   // name becomes the chosen row's name
//   table_value(kModes, name);                // its value
#pragma once

#include "ui/controls.h"

// items: a null-terminated array of texts (at most 49 are shown). x or y of -1 centres the
// frame. The chosen 0-based index, or -1.
int pick_list(const char* const* items, int preselect, const char* title, int x, int y);
// The same as one column of closing texts (at most 48).
int menu_list(const char* const* items, int preselect, const char* title, int x, int y);

// A pick list of at most 39 names at (x, y) without title, the row named `text` preselected;
// on a choice `text` (room for the longest name) gets the chosen name. The index, or -1.
int choose_from_table(int x, int y, const NameTableEntry* table, char* text);
// The value of the row named `name`, or the first row's value when none is.
int table_value(const NameTableEntry* table, const char* name);
// The name of the row with that value, or an empty text.
const char* table_name(const NameTableEntry* table, int value);

// The callback work of a choice field: the list opens one column right of field i; the field
// is redrawn. Dialog callbacks call it with the table of that field.
void choice_field_pick(ControlRecord* dlg, int i, const NameTableEntry* table);
