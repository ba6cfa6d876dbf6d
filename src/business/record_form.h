// The building blocks of the four full-screen record forms of the main screen (groups, goods,
// contractors, transactions): a box of 80 x 23 cells under the menu bar carrying the view's
// title, labels in the window colours and input fields in the form field colours. A form shows
// the current record of its table through buffers bound to its fields; editing works on those
// buffers and the forms' owners copy them back on saving.
//
//   form_box(dlg, 0, "TOWARY");
//   form_label(dlg, 1, 3, 1, "&Nazwa:");
//   form_text(dlg, 2, 20, 1, 41, &descriptor);    // descriptor "C" 50 wide, shown in 41 cells
#pragma once

#include <cstddef>

#include "common/amount.h"
#include "ui/controls.h"

inline constexpr int kFormX = 0;
inline constexpr int kFormY = 1;
inline constexpr int kFormWidth = 80;
inline constexpr int kFormHeight = 23;

// Record 0: the box with the title at (0, 1), 80 x 23.
void form_box(ControlRecord* dlg, int i, const char* title);
void form_label(ControlRecord* dlg, int i, int x, int y, const char* text);
// An editable field.
void form_text(ControlRecord* dlg, int i, int x, int y, int w, FieldDescriptor* descriptor);
// A field chosen from a list: focusable, not typed into.
void form_choice(ControlRecord* dlg, int i, int x, int y, int w, FieldDescriptor* descriptor);
// A field that only shows a value.
void form_value(ControlRecord* dlg, int i, int x, int y, int w, FieldDescriptor* descriptor);
// A check box without text (one cell); the label and the brackets around it are labels.
void form_check(ControlRecord* dlg, int i, int x, int y);
void form_button(ControlRecord* dlg, int i, int x, int y, const char* text);

// Redraws the values of a drawn form: its fields (kind 8) and check boxes (kind 4).
void form_redraw_values(ControlRecord* dlg);
// Sets or clears the checked state of a check box without drawing.
void form_set_check(ControlRecord* dlg, int i, bool on);

// Copies a text into a field buffer of size bytes, cut to fit.
void form_copy_text(char* out, size_t size, const char* text);
