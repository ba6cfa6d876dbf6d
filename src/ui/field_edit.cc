// The editors of the text ("C") and date ("D") fields and the dispatch to the number editor.
#include <algorithm>
#include <string>

#include "common/colours.h"
#include "common/date.h"
#include "platform/clipboard.h"
#include "ui/dialog.h"
#include "ui/field.h"
#include "ui/field_number.h"
#include "ui/keys.h"
#include "ui/screen.h"

namespace {

constexpr const char* kEmptyDateMask = "  .  .    ";

std::string TodayText() { return DateToDisplay(DateToday()); }

// Shows the caret at a cell, waits for a key and hides the caret again.
KeyEvent ReadKeyAt(int x, int y) {
  set_cursor(x, y);
  show_cursor();
  KeyEvent ev;
  read_key(&ev);
  hide_cursor();
  return ev;
}

bool EndsTextEditing(const KeyEvent& ev) {
  return key_is_tab(ev) || key_is_enter(ev) || key_is_esc(ev) || key_is_vertical(ev) ||
         key_is_ctrl_f4(ev);
}

// Returns true when editing ends with ev.
bool EditText(ControlRecord* dlg, int i, std::string* t, KeyEvent* ev) {
  const ControlRecord& c = dlg[i];
  const size_t limit = static_cast<size_t>(std::max(c.data.field->width, 0));
  const int fw = std::max(c.width, 1);
  const int x = dlg_abs_x(dlg, i), y = dlg_abs_y(dlg, i);
  const uint8_t attr = attribute_of(4);
  int cur = 0, off = 0;
  bool dirty = true;
  bool selected = (c.options & kOptSelectOnEntry) && !t->empty();
  for (;;) {
    if (cur < off) off = cur;
    if (cur - off >= fw) off = cur - fw + 1;
    if (dirty) {
      std::string shown = (c.options & kOptPassword) ? std::string(t->size(), '*') : *t;
      write_field_text(x, y, fw, shown.c_str(), off, selected ? attribute_of(0) : attr);
    }
    const int old_off = off;
    *ev = ReadKeyAt(x + cur - off, y);
    dirty = false;
    if (selected && !key_is_scan(*ev, kScanF1) && !EndsTextEditing(*ev) &&
        !(key_has_alt_only(*ev) && ev->ch != 0)) {
      // The first key decides: a change replaces the whole text, a movement keeps it.
      selected = false;
      dirty = true;
      const bool erases = ev->ch == 8 || key_is_scan(*ev, kScanDel);
      if (erases || ev->ch == 4 || ev->ch == 22 ||
          (ev->ch >= 32 && !(ev->shift & (kShiftCtrl | kShiftAlt)))) {
        t->clear();
        cur = off = 0;
        if (erases) continue;
      }
    }
    const int len = static_cast<int>(t->size());
    bool removed = false;
    if (key_is_scan(*ev, kScanF1)) {
      help_keys_box();
    } else if (EndsTextEditing(*ev)) {
      return true;
    } else if (key_is_scan(*ev, kScanHome)) {
      cur = off = 0;
    } else if (key_is_scan(*ev, kScanEnd)) {
      cur = len;
    } else if (key_is_scan(*ev, kScanLeft)) {
      if (cur > 0) --cur;
    } else if (key_is_scan(*ev, kScanRight)) {
      if (cur < len) ++cur;
    } else if (key_is_scan(*ev, kScanDel)) {
      if (cur < len) {
        t->erase(static_cast<size_t>(cur), 1);
        removed = true;
      }
    } else if (ev->ch == 8) {
      if (cur > 0) {
        t->erase(static_cast<size_t>(--cur), 1);
        removed = true;
      }
    } else if (key_has_alt_only(*ev) && ev->ch != 0) {
      if (dlg_hot_control(dlg, ev->ch) >= 0) return true;
    } else if (ev->ch == 4) {  // Ctrl+D
      std::string today = TodayText();
      if (t->size() + today.size() <= limit) {
        t->insert(static_cast<size_t>(cur), today);
        cur += static_cast<int>(today.size());
        dirty = true;
      }
    } else if (ev->ch == 22) {  // Ctrl+V
      std::string clip;
      if (clipboard_get_text(&clip) == 0) {
        for (unsigned char ch : clip) {
          if (t->size() >= limit) break;
          if (ch < 32) continue;
          t->insert(static_cast<size_t>(cur++), 1, static_cast<char>(ch));
          dirty = true;
        }
      }
    } else if (ev->ch == 25) {  // Ctrl+Y
      t->clear();
      cur = off = 0;
      dirty = true;
    } else if (ev->ch >= 32 && !(ev->shift & (kShiftCtrl | kShiftAlt))) {
      if (t->size() < limit) {
        t->insert(static_cast<size_t>(cur++), 1, static_cast<char>(ev->ch));
        dirty = true;
      }
    }
    if (removed) {
      dirty = true;
      off = std::min(off, std::max(0, static_cast<int>(t->size()) + 1 - fw));
    }
    if (cur < off || cur - off >= fw || off != old_off) dirty = true;
  }
}

// A valid date written in full (dd.mm.yyyy, every place a digit) or the empty mask: "12.03.20  "
// must not become the year 20.
bool DateAcceptable(const std::string& t) {
  if (t == kEmptyDateMask) return true;
  if (t.size() != 10) return false;
  for (int p : {0, 1, 3, 4, 6, 7, 8, 9})
    if (t[static_cast<size_t>(p)] < '0' || t[static_cast<size_t>(p)] > '9') return false;
  return DateFromDisplay(t) != 0;
}

bool EditDate(ControlRecord* dlg, int i, std::string* t, KeyEvent* ev) {
  const ControlRecord& c = dlg[i];
  const int x = dlg_abs_x(dlg, i), y = dlg_abs_y(dlg, i);
  const uint8_t attr = attribute_of(4);
  if (t->size() != 10) *t = kEmptyDateMask;
  int cur = 0;
  auto is_dot = [](int p) { return p == 2 || p == 5; };
  auto right = [&](int p) {
    int n = p + 1;
    if (is_dot(n)) ++n;
    return n > 9 ? p : n;
  };
  auto left = [&](int p) {
    int n = p - 1;
    if (is_dot(n)) --n;
    return n < 0 ? p : n;
  };
  for (;;) {
    write_field_text(x, y, std::max(c.width, 1), t->c_str(), 0, attr);
    *ev = ReadKeyAt(x + cur, y);
    if (key_is_scan(*ev, kScanF1)) {
      help_keys_box();
    } else if (key_is_esc(*ev) || key_is_ctrl_f4(*ev)) {
      return true;
    } else if (key_is_tab(*ev) || key_is_enter(*ev) || key_is_vertical(*ev)) {
      if (DateAcceptable(*t)) return true;
      cur = 0;
    } else if (key_is_scan(*ev, kScanHome)) {
      cur = 0;
    } else if (key_is_scan(*ev, kScanEnd)) {
      cur = 9;
    } else if (key_is_scan(*ev, kScanLeft)) {
      cur = left(cur);
    } else if (key_is_scan(*ev, kScanRight)) {
      cur = right(cur);
    } else if (ev->ch >= '0' && ev->ch <= '9' && !(ev->shift & (kShiftCtrl | kShiftAlt))) {
      (*t)[static_cast<size_t>(cur)] = static_cast<char>(ev->ch);
      cur = right(cur);
    } else if (key_is_scan(*ev, kScanDel)) {
      (*t)[static_cast<size_t>(cur)] = ' ';
      cur = right(cur);
    } else if (ev->ch == 8) {
      (*t)[static_cast<size_t>(cur)] = ' ';
      cur = left(cur);
    } else if (ev->ch == 4) {
      *t = TodayText();
      cur = 0;
    } else if (ev->ch == 25) {
      *t = kEmptyDateMask;
      cur = 0;
    } else if (ev->ch != 0 && dlg_hot_control(dlg, ev->ch) >= 0) {
      if (DateAcceptable(*t)) return true;
      cur = 0;
    }
  }
}

}  // namespace

void field_edit(ControlRecord* dlg, int i, KeyEvent* ending) {
  FieldDescriptor* d = dlg[i].data.field;
  std::string text = format_field(d);
  const std::string before = text;
  switch (d->type) {
    case 'C': EditText(dlg, i, &text, ending); break;
    case 'D': EditDate(dlg, i, &text, ending); break;
    case 'N': edit_number_field(dlg, i, &text, ending); break;
    default: read_key(ending); break;
  }
  // An untouched text is not parsed back: a value wider than its field (shown as "*"s) or with
  // more decimals than shown stays exactly as stored.
  if (!key_is_esc(*ending) && !key_is_ctrl_f4(*ending) && text != before)
    parse_field(text.c_str(), d);
  dlg_draw_control(dlg, i);
}
