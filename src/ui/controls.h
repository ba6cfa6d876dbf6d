// Control records: the building blocks of every dialog, form, menu and list. A dialog is a flat
// array of ControlRecord ending with a record of kind 0; the index of a record is its identity.
// Record 0 is the dialog's own window (absolute screen position); all other records are placed
// relative to it. This file offers the records, their construction, drawing, focus movement, hot
// letters and radio groups; the modal run loop is in ui/dialog.h.
//
//   ControlRecord dlg[4];
//   dlg_frame(dlg, 0, -1, -1, 30, 6, "Pytanie");
//   dlg_label(dlg, 1, 3, 1, "&Nazwa:");      // Alt+N focuses the next focusable control
//   dlg_button(dlg, 2, 12, 4, " &Ok ");
//   dlg_end(dlg, 3);
//
// Texts may carry "&" before the hot letter and "\n" between lines. Pointers in the records are
// native pointers (the records are not written to files), so the record is not packed.
#pragma once

#include <cstdint>

#include "common/cell.h"

inline constexpr int32_t kKindEnd = 0;
inline constexpr int32_t kKindBox = 1;
inline constexpr int32_t kKindDialog = 2;
inline constexpr int32_t kKindFill = 3;
inline constexpr int32_t kKindCheck = 4;
inline constexpr int32_t kKindLine = 5;
inline constexpr int32_t kKindRadio = 6;
inline constexpr int32_t kKindText = 7;
inline constexpr int32_t kKindField = 8;

inline constexpr int32_t kOptFocusable = 1;
inline constexpr int32_t kOptEditable = 2;
inline constexpr int32_t kOptClosing = 8;
inline constexpr int32_t kOptHeap = 16;      // record 0: keep the saved background on the heap
inline constexpr int32_t kOptPassword = 32;  // each character shows as "*"
// A text field whose whole text is selected when editing starts: typing, pasting or deleting
// replaces it, a movement key keeps it.
inline constexpr int32_t kOptSelectOnEntry = 64;

inline constexpr int32_t kStateFocus = 1;
inline constexpr int32_t kStateDisabled = 2;
inline constexpr int32_t kStateShadow = 4;
inline constexpr int32_t kStateChecked = 8;  // checked, selected or marked
inline constexpr int32_t kStateHidden = 16;

// The value of an input field: "C" text (a char array of width + 1 bytes), "D" a DATE, "N" an
// AMOUNT. For "C" the width is the maximum text length, for "D" and "N" the display width.
struct FieldDescriptor {
  char type;
  int32_t width;
  int32_t decimals;
  void* variable;
};

// Kinds 1, 2, 4, 6, 7: the text; kind 3: the fill character (a screen byte) in the low byte;
// kind 5: the frame style; kind 8: the field descriptor.
union ControlData {
  const char* text;
  uintptr_t value;
  FieldDescriptor* field;
};

struct ControlRecord {
  int32_t kind;
  int32_t options;
  int32_t state;
  ControlData data;
  int32_t x, y;
  int32_t width, height;
  uint8_t element;
};

// A name table for choice fields ends with a null name.
struct NameTableEntry {
  const char* name;
  int32_t value;
};

struct Rect {
  int x, y, w, h;
};

// Width (the longest line, "&" not counted) and height (lines) of a text.
void text_size(const char* text, int* width, int* height);

void make_descriptor(FieldDescriptor* descriptor, char type, int32_t width, int32_t decimals,
                     void* variable);

// Writes record i and fits its rectangle to the screen (smaller when too big, moved inside).
void dlg_control(ControlRecord* dlg, int i, int32_t kind, int32_t options, int32_t state,
                 ControlData data, int x, int y, int w, int h, uint8_t element);
void dlg_frame(ControlRecord* dlg, int i, int x, int y, int w, int h, const char* title);
void dlg_label(ControlRecord* dlg, int i, int x, int y, const char* text);
void dlg_button(ControlRecord* dlg, int i, int x, int y, const char* text);
void dlg_item(ControlRecord* dlg, int i, int x, int y, const char* text);
void dlg_hidden_text(ControlRecord* dlg, int i, const char* text);
void dlg_field(ControlRecord* dlg, int i, int x, int y, int w, int h, FieldDescriptor* descriptor);
void dlg_choice(ControlRecord* dlg, int i, int x, int y, int w, int h, FieldDescriptor* descriptor);
void dlg_check(ControlRecord* dlg, int i, int x, int y, const char* text, bool checked);
void dlg_radio(ControlRecord* dlg, int i, int x, int y, const char* text);
void dlg_line(ControlRecord* dlg, int i, int x, int y, int w);
void dlg_end(ControlRecord* dlg, int i);
// A fill record (kind 3) of a screen byte; not a constructor of its own elsewhere, but handy.
void dlg_fill(ControlRecord* dlg, int i, int x, int y, int w, int h, uint8_t ch, uint8_t element);

void dlg_center(ControlRecord* dlg);
int dlg_count(const ControlRecord* dlg);  // records before the end record

// The screen rectangle of record i: absolute, kind 7 at its text size, with the shadow.
Rect dlg_rect(const ControlRecord* dlg, int i);
int dlg_abs_x(const ControlRecord* dlg, int i);
int dlg_abs_y(const ControlRecord* dlg, int i);

void dlg_draw(ControlRecord* dlg, int from);
void dlg_draw_control(ControlRecord* dlg, int i);
// The attribute a record is drawn in, by its kind, colour element and state.
uint8_t dlg_normal_attr(const ControlRecord* c);

bool dlg_can_focus(const ControlRecord* dlg, int i);
int dlg_set_focus(ControlRecord* dlg, int i, bool redraw);
int dlg_focused(const ControlRecord* dlg);
int dlg_next(ControlRecord* dlg, bool redraw);
int dlg_previous(ControlRecord* dlg, bool redraw);
int dlg_first(ControlRecord* dlg, bool redraw);
int dlg_last(ControlRecord* dlg, bool redraw);
void dlg_set_state(ControlRecord* dlg, int i, int32_t bits, bool on, bool redraw);
void dlg_set_options(ControlRecord* dlg, int i, int32_t bits, bool on, bool redraw);
bool dlg_checked(const ControlRecord* dlg, int i);

// The control a hot letter (a national letter or digit) selects, or -1. A label's hot letter
// selects the first focusable control after it.
int dlg_hot_control(const ControlRecord* dlg, uint8_t ch);

// Consecutive radio buttons form one group.
int radio_select(ControlRecord* dlg, int i, bool redraw);
int radio_selected(const ControlRecord* dlg, int i);
int radio_group_first(const ControlRecord* dlg, int i);
int radio_group_last(const ControlRecord* dlg, int i);
