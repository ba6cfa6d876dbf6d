// Input fields: the text of a field's value and back, and the three editors.
//
//   "C" text   : the text itself; at most `width` characters are taken back.
//   "D" date   : "dd.mm.yyyy", the empty date as the mask "  .  .    ".
//   "N" number : right-aligned in `width` with the descriptor's decimals and the separators of
//                the number format; zero shows as blanks, a value that does not fit as "*"s.
//
// The editors run while an editable field (kind 8 with the editable option) has the focus in a
// running dialog; the key that ends editing goes back to the dialog's loop.
#pragma once

#include <string>

#include "common/cell.h"
#include "ui/controls.h"

std::string format_field(const FieldDescriptor* descriptor);
// Stores a text into the bound variable of the descriptor.
void parse_field(const char* text, FieldDescriptor* descriptor);

// Edits field i of a drawn dialog until a key ends editing; that key is returned in *ending.
// The value is stored when editing ends by any key but Esc and Ctrl+F4, which leave the bound
// variable as it was (the help box promises that Esc ignores the changes).
void field_edit(ControlRecord* dlg, int i, KeyEvent* ending);
