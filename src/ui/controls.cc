#include "ui/controls.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/colours.h"
#include "ui/field.h"
#include "ui/screen.h"

namespace {

uint8_t ToScreen(uint8_t ch) { return convert_char(data_code_page(), screen_code_page(), ch); }

bool HasText(int32_t kind) {
  return kind == kKindBox || kind == kKindDialog || kind == kKindCheck || kind == kKindRadio ||
         kind == kKindText;
}

struct Attrs {
  uint8_t normal, hot, title;
};

Attrs AttrsOf(const ControlRecord* c) {
  const uint8_t own = attribute_of(c->element);
  Attrs a;
  if (c->state & kStateDisabled) {
    a.normal = static_cast<uint8_t>((own & 0xF0) | (attribute_of(1) & 0x0F));
    a.hot = a.title = a.normal;
  } else if (c->state & kStateFocus) {
    a.normal = attribute_of(c->kind == kKindField ? 4 : 0);
    a.hot = attribute_of(3);
    a.title = attribute_of(0);
  } else {
    a.normal = own;
    a.hot = static_cast<uint8_t>((own & 0xF0) | (attribute_of(2) & 0x0F));
    a.title = attribute_of(c->kind == kKindDialog ? 10 : 7);
  }
  return a;
}

// Draws a text with its hot letter line by line, each line padded to `width` cells.
void DrawHotText(int x, int y, const char* text, int width, const Attrs& a) {
  if (!text) text = "";
  const char* p = text;
  for (int row = 0;; ++row) {
    std::vector<ScreenCell> cells;
    while (*p && *p != '\n') {
      if (*p == '&') {
        ++p;
        if (!*p || *p == '\n') break;
        cells.push_back(ScreenCell{ToScreen(static_cast<uint8_t>(*p)), a.hot});
      } else {
        cells.push_back(ScreenCell{ToScreen(static_cast<uint8_t>(*p)), a.normal});
      }
      ++p;
    }
    while (static_cast<int>(cells.size()) < width) cells.push_back(ScreenCell{' ', a.normal});
    if (!cells.empty()) write_cells(x, y + row, static_cast<int>(cells.size()), 1, cells.data());
    if (*p != '\n') break;
    ++p;
  }
}

void DrawTitle(int x, int w, int y, const char* title, uint8_t frame_attr, uint8_t title_attr,
               bool upper) {
  if (!title || !*title) return;
  std::string t(title);
  if (upper) text_to_upper(t.data());
  const int len = static_cast<int>(t.size());
  fill_cells(x + (w - len - 2) / 2, y, len + 2, 1, ' ', frame_attr);
  write_text(x + (w - len) / 2, y, t.c_str(), title_attr);
}

bool Focusable(const ControlRecord& c) {
  return (c.options & kOptFocusable) && !(c.state & (kStateDisabled | kStateHidden));
}

}  // namespace

void text_size(const char* text, int* width, int* height) {
  int w = 0, h = 0, line = 0;
  if (text && *text) {
    h = 1;
    for (const char* p = text; *p; ++p) {
      if (*p == '\n') {
        w = std::max(w, line);
        line = 0;
        ++h;
      } else if (*p != '&') {
        ++line;
      }
    }
  }
  *width = std::max(w, line);
  *height = h;
}

void make_descriptor(FieldDescriptor* d, char type, int32_t width, int32_t decimals,
                     void* variable) {
  d->type = type;
  d->width = width;
  d->decimals = decimals;
  d->variable = variable;
}

void dlg_control(ControlRecord* dlg, int i, int32_t kind, int32_t options, int32_t state,
                 ControlData data, int x, int y, int w, int h, uint8_t element) {
  ControlRecord& c = dlg[i];
  c = ControlRecord{kind, options, state, data, x, y, w, h, element};
  if (kind == kKindEnd) return;
  // Fit the screen rectangle: shrink what is too big, then move it inside.
  Rect r = dlg_rect(dlg, i);
  if (r.w > kScreenColumns) {
    c.width -= r.w - kScreenColumns;
    r.w = kScreenColumns;
  }
  if (r.h > kScreenRows) {
    c.height -= r.h - kScreenRows;
    r.h = kScreenRows;
  }
  int dx = 0, dy = 0;
  if (r.x + r.w > kScreenColumns) dx = kScreenColumns - (r.x + r.w);
  if (r.y + r.h > kScreenRows) dy = kScreenRows - (r.y + r.h);
  if (r.x + dx < 0) dx = -r.x;
  if (r.y + dy < 0) dy = -r.y;
  c.x += dx;
  c.y += dy;
}

void dlg_frame(ControlRecord* dlg, int i, int x, int y, int w, int h, const char* title) {
  dlg_control(dlg, i, kKindDialog, 0, kStateShadow, ControlData{title}, x, y, w, h, 9);
}
void dlg_label(ControlRecord* dlg, int i, int x, int y, const char* text) {
  dlg_control(dlg, i, kKindText, 0, 0, ControlData{text}, x, y, 0, 1, 9);
}
void dlg_button(ControlRecord* dlg, int i, int x, int y, const char* text) {
  dlg_control(dlg, i, kKindText, kOptFocusable | kOptClosing, 0, ControlData{text}, x, y, 0, 1, 9);
}
void dlg_item(ControlRecord* dlg, int i, int x, int y, const char* text) {
  dlg_control(dlg, i, kKindText, kOptFocusable, 0, ControlData{text}, x, y, 0, 1, 9);
}
void dlg_hidden_text(ControlRecord* dlg, int i, const char* text) {
  dlg_control(dlg, i, kKindText, 0, kStateHidden, ControlData{text}, 0, 0, 0, 0, 9);
}
void dlg_field(ControlRecord* dlg, int i, int x, int y, int w, int h, FieldDescriptor* d) {
  ControlData data;
  data.field = d;
  dlg_control(dlg, i, kKindField, kOptFocusable | kOptEditable, 0, data, x, y, w, h, 11);
}
void dlg_choice(ControlRecord* dlg, int i, int x, int y, int w, int h, FieldDescriptor* d) {
  ControlData data;
  data.field = d;
  dlg_control(dlg, i, kKindField, kOptFocusable, 0, data, x, y, w, h, 11);
}
void dlg_check(ControlRecord* dlg, int i, int x, int y, const char* text, bool checked) {
  dlg_control(dlg, i, kKindCheck, kOptFocusable, checked ? kStateChecked : 0, ControlData{text}, x,
              y, 0, 1, 9);
}
void dlg_radio(ControlRecord* dlg, int i, int x, int y, const char* text) {
  dlg_control(dlg, i, kKindRadio, kOptFocusable, 0, ControlData{text}, x, y, 0, 1, 9);
}
void dlg_line(ControlRecord* dlg, int i, int x, int y, int w) {
  ControlData data;
  data.value = 1;
  dlg_control(dlg, i, kKindLine, 0, 0, data, x, y, w, 1, 9);
}
void dlg_end(ControlRecord* dlg, int i) {
  dlg[i] = ControlRecord{kKindEnd, 0, 0, ControlData{nullptr}, 0, 0, 0, 0, 0};
}
void dlg_fill(ControlRecord* dlg, int i, int x, int y, int w, int h, uint8_t ch, uint8_t element) {
  ControlData data;
  data.value = ch;
  dlg_control(dlg, i, kKindFill, 0, 0, data, x, y, w, h, element);
}

void dlg_center(ControlRecord* dlg) {
  dlg[0].x = (kScreenColumns - dlg[0].width) / 2;
  dlg[0].y = (kScreenRows - dlg[0].height) / 2;
}

int dlg_count(const ControlRecord* dlg) {
  int n = 0;
  while (dlg[n].kind != kKindEnd) ++n;
  return n;
}

Rect dlg_rect(const ControlRecord* dlg, int i) {
  const ControlRecord& c = dlg[i];
  Rect r{c.x, c.y, c.width, c.height};
  if (i > 0) {
    r.x += dlg[0].x;
    r.y += dlg[0].y;
  }
  if (c.kind == kKindText && !(c.state & kStateHidden)) text_size(c.data.text, &r.w, &r.h);
  if (c.state & kStateShadow) {
    r.w += 2;
    r.h += 1;
  }
  return r;
}

int dlg_abs_x(const ControlRecord* dlg, int i) { return i > 0 ? dlg[0].x + dlg[i].x : dlg[0].x; }
int dlg_abs_y(const ControlRecord* dlg, int i) { return i > 0 ? dlg[0].y + dlg[i].y : dlg[0].y; }

uint8_t dlg_normal_attr(const ControlRecord* c) { return AttrsOf(c).normal; }

void dlg_draw_control(ControlRecord* dlg, int i) {
  ControlRecord& c = dlg[i];
  if (c.kind == kKindEnd || (c.state & kStateHidden)) return;
  const Attrs a = AttrsOf(&c);
  const int x = dlg_abs_x(dlg, i), y = dlg_abs_y(dlg, i);
  const char* text = HasText(c.kind) && c.data.text ? c.data.text : "";
  switch (c.kind) {
    case kKindBox:
      fill_cells(x, y, c.width, c.height, ' ', a.normal);
      draw_frame(x, y, c.width, c.height, 2, a.normal);
      DrawTitle(x, c.width, y, text, a.normal, a.title, false);
      break;
    case kKindDialog:
      fill_cells(x, y, c.width, c.height, ' ', a.normal);
      draw_frame(x + 1, y, c.width - 2, c.height, 2, a.normal);
      DrawTitle(x + 1, c.width - 2, y, text, a.normal, a.title, true);
      break;
    case kKindFill:
      fill_cells(x, y, c.width, c.height, static_cast<uint8_t>(c.data.value & 0xFF), a.normal);
      break;
    case kKindCheck: {
      const bool checked = c.state & kStateChecked;
      if (!*text) {
        write_char(x, y, checked ? 'X' : ' ', a.normal);
        break;
      }
      std::string s = checked ? " [X] " : " [ ] ";
      DrawHotText(x, y, (s + text).c_str(), c.width, a);
      break;
    }
    case kKindLine:
      draw_frame(x, y, c.width, c.height, static_cast<int>(c.data.value), a.normal);
      break;
    case kKindRadio:
      DrawHotText(x, y, (std::string(" ( ) ") + text).c_str(), c.width, a);
      if (c.state & kStateChecked) write_char(x + 2, y, '*', a.normal);
      break;
    case kKindText:
      DrawHotText(x, y, text, c.width, a);
      if (c.state & kStateChecked) write_char(x, y, '*', a.normal);
      break;
    case kKindField: {
      if (!c.data.field) break;
      std::string t = format_field(c.data.field);
      if (c.options & kOptPassword) t.assign(t.size(), '*');
      write_field_text(x, y, c.width, t.c_str(), 0, a.normal);
      break;
    }
    default: break;
  }
  if (c.state & kStateShadow) {
    Rect r = dlg_rect(dlg, i);
    draw_shadow(r.x, r.y, r.w - 2, r.h - 1);
  }
}

void dlg_draw(ControlRecord* dlg, int from) {
  for (int i = std::max(from, 0); dlg[i].kind != kKindEnd; ++i) dlg_draw_control(dlg, i);
}

bool dlg_can_focus(const ControlRecord* dlg, int i) { return i >= 0 && Focusable(dlg[i]); }

int dlg_focused(const ControlRecord* dlg) {
  for (int i = 0; dlg[i].kind != kKindEnd; ++i)
    if (dlg[i].state & kStateFocus) return i;
  return -1;
}

int dlg_set_focus(ControlRecord* dlg, int i, bool redraw) {
  const int n = dlg_count(dlg);
  int target = -1;
  if (i < 0) {
    int f = dlg_focused(dlg);
    if (f >= 0 && Focusable(dlg[f])) {
      target = f;
    } else {
      for (int k = 0; k < n && target < 0; ++k)
        if (Focusable(dlg[k])) target = k;
    }
  } else {
    for (int k = 0; k < n && target < 0; ++k) {
      int j = (std::min(i, n) + k) % std::max(n, 1);
      if (Focusable(dlg[j])) target = j;
    }
  }
  for (int k = 0; k < n; ++k) {
    if (k != target && (dlg[k].state & kStateFocus)) {
      dlg[k].state &= ~kStateFocus;
      if (redraw) dlg_draw_control(dlg, k);
    }
  }
  if (target < 0) return -1;
  dlg[target].state |= kStateFocus;
  if (redraw) dlg_draw_control(dlg, target);
  return target;
}

namespace {
int Step(ControlRecord* dlg, int dir, bool redraw) {
  const int n = dlg_count(dlg);
  int f = dlg_focused(dlg);
  if (f < 0) f = dir > 0 ? n - 1 : 0;
  for (int k = 1; k <= n; ++k) {
    int j = ((f + dir * k) % n + n) % n;
    if (Focusable(dlg[j])) return dlg_set_focus(dlg, j, redraw);
  }
  return -1;
}
}  // namespace

int dlg_next(ControlRecord* dlg, bool redraw) { return Step(dlg, 1, redraw); }
int dlg_previous(ControlRecord* dlg, bool redraw) { return Step(dlg, -1, redraw); }

int dlg_first(ControlRecord* dlg, bool redraw) {
  for (int i = 0; dlg[i].kind != kKindEnd; ++i)
    if (Focusable(dlg[i])) return dlg_set_focus(dlg, i, redraw);
  return -1;
}

int dlg_last(ControlRecord* dlg, bool redraw) {
  for (int i = dlg_count(dlg) - 1; i >= 0; --i)
    if (Focusable(dlg[i])) return dlg_set_focus(dlg, i, redraw);
  return -1;
}

void dlg_set_state(ControlRecord* dlg, int i, int32_t bits, bool on, bool redraw) {
  if (on) dlg[i].state |= bits;
  else dlg[i].state &= ~bits;
  if (redraw) dlg_draw_control(dlg, i);
}

void dlg_set_options(ControlRecord* dlg, int i, int32_t bits, bool on, bool redraw) {
  if (on) dlg[i].options |= bits;
  else dlg[i].options &= ~bits;
  if (redraw) dlg_draw_control(dlg, i);
}

bool dlg_checked(const ControlRecord* dlg, int i) { return dlg[i].state & kStateChecked; }

int dlg_hot_control(const ControlRecord* dlg, uint8_t ch) {
  if (!is_alnum(ch)) return -1;
  const uint8_t want = to_lower(ch);
  int pending = -1;
  for (int i = 0; dlg[i].kind != kKindEnd; ++i) {
    const ControlRecord& c = dlg[i];
    const bool texty = c.kind == kKindCheck || c.kind == kKindRadio || c.kind == kKindText;
    if (texty && !(c.state & kStateHidden) && c.data.text) {
      const char* amp = std::strchr(c.data.text, '&');
      if (amp && amp[1]) pending = to_lower(static_cast<uint8_t>(amp[1]));
    }
    if (pending >= 0 && pending == want && Focusable(c)) return i;
  }
  return -1;
}

int radio_group_first(const ControlRecord* dlg, int i) {
  while (i > 0 && dlg[i - 1].kind == kKindRadio) --i;
  return i;
}

int radio_group_last(const ControlRecord* dlg, int i) {
  while (dlg[i + 1].kind == kKindRadio) ++i;
  return i;
}

int radio_select(ControlRecord* dlg, int i, bool redraw) {
  if (dlg[i].kind != kKindRadio) return -1;
  const int first = radio_group_first(dlg, i), last = radio_group_last(dlg, i);
  int chosen = i;
  if (dlg[chosen].state & kStateDisabled) {
    chosen = -1;
    for (int k = first; k <= last && chosen < 0; ++k)
      if (!(dlg[k].state & kStateDisabled)) chosen = k;
    if (chosen < 0) return -1;
  }
  for (int k = first; k <= last; ++k) {
    const bool want = k == chosen;
    if (want != static_cast<bool>(dlg[k].state & kStateChecked))
      dlg_set_state(dlg, k, kStateChecked, want, redraw);
  }
  return chosen;
}

int radio_selected(const ControlRecord* dlg, int i) {
  const int first = radio_group_first(dlg, i), last = radio_group_last(dlg, i);
  for (int k = first; k <= last; ++k)
    if (dlg[k].state & kStateChecked) return k;
  return first;
}
