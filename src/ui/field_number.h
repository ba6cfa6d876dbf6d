// The calculator-like editor of number ("N") fields, used by field_edit.
#pragma once

#include <string>

#include "common/cell.h"
#include "ui/controls.h"

// Edits *text (the formatted value, descriptor width characters) of field i; the ending key
// is returned in *ending.
void edit_number_field(ControlRecord* dlg, int i, std::string* text, KeyEvent* ending);
