#include "ui/pick_list.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "ui/dialog.h"
#include "ui/screen.h"

namespace {

int CountItems(const char* const* items, int limit) {
  int n = 0;
  while (items && items[n] && n < limit) ++n;
  return n;
}

int WidestItem(const char* const* items, int n) {
  int w = 0;
  for (int i = 0; i < n; ++i) {
    int iw, ih;
    text_size(items[i], &iw, &ih);
    w = std::max(w, iw);
  }
  return w;
}

void PlaceFrame(ControlRecord* dlg, int x, int y) {
  if (x == -1) dlg[0].x = (kScreenColumns - dlg[0].width) / 2;
  if (y == -1) dlg[0].y = (kScreenRows - dlg[0].height) / 2;
}

}  // namespace

int pick_list(const char* const* items, int preselect, const char* title, int x, int y) {
  const int n = CountItems(items, 49);
  if (n == 0) return -1;
  const int rows = std::min(n, kScreenRows - 5);
  const int w = WidestItem(items, n);
  std::vector<ControlRecord> dlg(static_cast<size_t>(n) + 2);
  std::vector<FieldDescriptor> fields(static_cast<size_t>(n));
  dlg_frame(dlg.data(), 0, std::max(x, 0), std::max(y, 0), ((2 * n - 1) / rows) * (w + 1) + 5,
            rows + 2, title);
  PlaceFrame(dlg.data(), x, y);
  for (int i = 0; i < n; ++i) {
    // The items are shown through non-editable fields, which never write to their variable.
    make_descriptor(&fields[static_cast<size_t>(i)], 'C', w, 0, const_cast<char*>(items[i]));
    ControlData data;
    data.field = &fields[static_cast<size_t>(i)];
    dlg_control(dlg.data(), i + 1, kKindField, kOptFocusable | kOptClosing, 0, data,
                3 + (i / rows) * (w + 1), 1 + i % rows, w, 1, 11);
  }
  dlg_end(dlg.data(), n + 1);
  int start = (preselect >= 0 && preselect < n) ? preselect + 1 : 1;
  int r = dlg_run(dlg.data(), start, nullptr);
  return r > 0 ? r - 1 : -1;
}

int menu_list(const char* const* items, int preselect, const char* title, int x, int y) {
  const int n = CountItems(items, 48);
  if (n == 0) return -1;
  const int w = WidestItem(items, n);
  std::vector<ControlRecord> dlg(static_cast<size_t>(n) + 2);
  dlg_frame(dlg.data(), 0, std::max(x, 0), std::max(y, 0), w + 6, n + 2, title);
  PlaceFrame(dlg.data(), x, y);
  for (int i = 0; i < n; ++i)
    dlg_control(dlg.data(), i + 1, kKindText, kOptFocusable | kOptClosing, 0, ControlData{items[i]},
                3, i + 1, w, 1, 9);
  dlg_end(dlg.data(), n + 1);
  int start = (preselect >= 0 && preselect < n) ? preselect + 1 : 1;
  int r = dlg_run(dlg.data(), start, nullptr);
  return r > 0 ? r - 1 : -1;
}

int choose_from_table(int x, int y, const NameTableEntry* table, char* text) {
  std::vector<const char*> names;
  int pre = 0;
  for (int i = 0; table[i].name && i < 39; ++i) {
    if (std::strcmp(table[i].name, text) == 0) pre = i;
    names.push_back(table[i].name);
  }
  names.push_back(nullptr);
  int r = pick_list(names.data(), pre, nullptr, x, y);
  if (r >= 0) std::strcpy(text, names[static_cast<size_t>(r)]);
  return r;
}

int table_value(const NameTableEntry* table, const char* name) {
  for (int i = 0; table[i].name; ++i)
    if (std::strcmp(table[i].name, name) == 0) return table[i].value;
  return table[0].name ? table[0].value : 0;
}

const char* table_name(const NameTableEntry* table, int value) {
  for (int i = 0; table[i].name; ++i)
    if (table[i].value == value) return table[i].name;
  return "";
}

void choice_field_pick(ControlRecord* dlg, int i, const NameTableEntry* table) {
  char* text = static_cast<char*>(dlg[i].data.field->variable);
  choose_from_table(dlg_abs_x(dlg, i) + dlg[i].width + 1, dlg_abs_y(dlg, i), table, text);
  dlg_draw_control(dlg, i);
}
