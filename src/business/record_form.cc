#include "business/record_form.h"

#include <cstring>

namespace {
// Colour elements of full-screen forms.
constexpr uint8_t kFormElement = 6;
constexpr uint8_t kFormFieldElement = 8;
}  // namespace

void form_box(ControlRecord* dlg, int i, const char* title) {
  dlg_control(dlg, i, kKindBox, 0, 0, ControlData{title}, kFormX, kFormY, kFormWidth, kFormHeight,
              kFormElement);
}

void form_label(ControlRecord* dlg, int i, int x, int y, const char* text) {
  dlg_control(dlg, i, kKindText, 0, 0, ControlData{text}, x, y, 0, 1, kFormElement);
}

void form_text(ControlRecord* dlg, int i, int x, int y, int w, FieldDescriptor* descriptor) {
  ControlData data;
  data.field = descriptor;
  dlg_control(dlg, i, kKindField, kOptFocusable | kOptEditable, 0, data, x, y, w, 1,
              kFormFieldElement);
}

void form_choice(ControlRecord* dlg, int i, int x, int y, int w, FieldDescriptor* descriptor) {
  ControlData data;
  data.field = descriptor;
  dlg_control(dlg, i, kKindField, kOptFocusable, 0, data, x, y, w, 1, kFormFieldElement);
}

void form_value(ControlRecord* dlg, int i, int x, int y, int w, FieldDescriptor* descriptor) {
  ControlData data;
  data.field = descriptor;
  dlg_control(dlg, i, kKindField, 0, 0, data, x, y, w, 1, kFormFieldElement);
}

void form_check(ControlRecord* dlg, int i, int x, int y) {
  dlg_control(dlg, i, kKindCheck, kOptFocusable, 0, ControlData{""}, x, y, 1, 1, kFormElement);
}

void form_button(ControlRecord* dlg, int i, int x, int y, const char* text) {
  dlg_control(dlg, i, kKindText, kOptFocusable | kOptClosing, 0, ControlData{text}, x, y, 0, 1,
              kFormElement);
}

void form_redraw_values(ControlRecord* dlg) {
  for (int i = 1; dlg[i].kind != kKindEnd; ++i)
    if (dlg[i].kind == kKindField || dlg[i].kind == kKindCheck) dlg_draw_control(dlg, i);
}

void form_set_check(ControlRecord* dlg, int i, bool on) {
  if (on) dlg[i].state |= kStateChecked;
  else dlg[i].state &= ~kStateChecked;
}

void form_copy_text(char* out, size_t size, const char* text) {
  if (size == 0) return;
  std::strncpy(out, text ? text : "", size - 1);
  out[size - 1] = 0;
}
