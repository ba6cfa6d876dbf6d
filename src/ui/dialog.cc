#include "ui/dialog.h"

#include "common/text.h"
#include "ui/field.h"
#include "ui/keys.h"
#include "ui/saveunder.h"
#include "ui/screen.h"

namespace {

int SaveBackground(const ControlRecord* dlg) {
  Rect r = dlg_rect(dlg, 0);
  return save_under(r.x, r.y, r.w, r.h, (dlg[0].options & kOptHeap) ? 1 : 0);
}

bool IsEditable(const ControlRecord& c) {
  return c.kind == kKindField && (c.options & kOptEditable);
}

// Moves the focus to an index a callback gave.
void Redirect(ControlRecord* dlg, int to) { dlg_set_focus(dlg, to, true); }

// Enter on the focused control (also a hot letter of a button or item). Returns true when the
// dialog ends, with the result in *result.
bool Enter(ControlRecord* dlg, DialogCallback cb, int* result) {
  const int f = dlg_focused(dlg);
  if (f < 0) return false;
  if (cb) {
    int r = cb(dlg, f);
    if (r != -1) {
      Redirect(dlg, r);
      return false;
    }
  }
  if (!(dlg[f].options & kOptClosing)) {
    int n = -1;
    if (dlg[f].kind == kKindRadio) {
      // From a radio button on past the last record of its group, whatever state that is in.
      const int count = dlg_count(dlg);
      const int last = radio_group_last(dlg, f);
      for (int k = 1; k <= count && n < 0; ++k)
        if (dlg_can_focus(dlg, (last + k) % count)) n = (last + k) % count;
      if (n >= 0) n = dlg_set_focus(dlg, n, true);
    } else {
      n = dlg_next(dlg, true);
    }
    if (n >= 0 && dlg[n].kind == kKindRadio) dlg_set_focus(dlg, radio_selected(dlg, n), true);
    return false;
  }
  if (!cb) {
    *result = f;
    return true;
  }
  int r = cb(dlg, -2);
  if (r == -1 || r == -2) {
    *result = f;
    return true;
  }
  Redirect(dlg, r);
  return false;
}

// For movement keys leaving an editable field: the callback may keep or redirect the focus.
bool AskBeforeLeaving(ControlRecord* dlg, DialogCallback cb) {
  const int f = dlg_focused(dlg);
  if (!cb || f < 0 || !IsEditable(dlg[f])) return false;
  int r = cb(dlg, f);
  if (r == -1) return false;
  Redirect(dlg, r);
  return true;
}

// After a check box or radio change the callback may redirect the focus.
void AfterChange(ControlRecord* dlg, DialogCallback cb, int i) {
  if (!cb) return;
  int r = cb(dlg, i);
  if (r != -1) Redirect(dlg, r);
}

int Loop(ControlRecord* dlg, DialogCallback cb) {
  for (;;) {
    const int f = dlg_focused(dlg);
    KeyEvent ev;
    if (f >= 0 && IsEditable(dlg[f])) {
      field_edit(dlg, f, &ev);
    } else {
      read_key(&ev);
      if (f >= 0 && dlg[f].kind == kKindCheck && ev.ch == ' ')
        dlg_set_state(dlg, f, kStateChecked, !dlg_checked(dlg, f), true);
      if (f >= 0 && dlg[f].kind == kKindRadio && (ev.ch == ' ' || key_is_enter(ev)))
        radio_select(dlg, f, true);
      if (key_is_scan(ev, kScanF1)) help_keys_box();
    }
    if (key_is_scan(ev, kScanF4)) {
      if (ev.shift != kShiftCtrl) continue;
      if (!cb) return -1;
      int r = cb(dlg, -3);
      if (r == -1) return -1;
      Redirect(dlg, r);
    } else if (key_is_scan(ev, kScanHome) || key_is_scan(ev, kScanPgUp) ||
               key_is_scan(ev, kScanUp) || key_is_scan(ev, kScanLeft) ||
               key_is_scan(ev, kScanRight) || key_is_scan(ev, kScanDown) ||
               key_is_scan(ev, kScanEnd) || key_is_scan(ev, kScanPgDn)) {
      if (AskBeforeLeaving(dlg, cb)) continue;
      if (key_is_scan(ev, kScanHome) || key_is_scan(ev, kScanPgUp)) dlg_first(dlg, true);
      else if (key_is_scan(ev, kScanEnd) || key_is_scan(ev, kScanPgDn)) dlg_last(dlg, true);
      else if (key_is_scan(ev, kScanUp) || key_is_scan(ev, kScanLeft)) dlg_previous(dlg, true);
      else dlg_next(dlg, true);
    } else if (key_is_tab(ev)) {
      if (AskBeforeLeaving(dlg, cb)) continue;
      if (ev.shift == kShiftShift) dlg_previous(dlg, true);
      else if (ev.shift == 0) dlg_next(dlg, true);
    } else if (key_is_enter(ev)) {
      int result;
      if (Enter(dlg, cb, &result)) return result;
    } else if (key_is_esc(ev)) {
      if (!cb) return -1;
      int r = cb(dlg, -3);
      if (r == -1) return -1;
      Redirect(dlg, r);
    } else if (ev.ch == ' ') {
      if (cb && f >= 0) {
        int r = cb(dlg, f);
        if (r != -1) Redirect(dlg, r);
      }
    } else {
      if (AskBeforeLeaving(dlg, cb)) continue;
      const int h = dlg_hot_control(dlg, ev.ch);
      if (h < 0) continue;
      dlg_set_focus(dlg, h, true);
      if (dlg[h].kind == kKindCheck) {
        dlg_set_state(dlg, h, kStateChecked, !dlg_checked(dlg, h), true);
        AfterChange(dlg, cb, h);
      } else if (dlg[h].kind == kKindRadio) {
        radio_select(dlg, h, true);
        AfterChange(dlg, cb, h);
      } else if (!IsEditable(dlg[h])) {
        int result;
        if (Enter(dlg, cb, &result)) return result;
      }
    }
  }
}

// Focus and the initial callback; false when the dialog is not to run.
// drawn: the dialog is on the screen already, so the focus that moves away is drawn again.
bool Start(ControlRecord* dlg, int start, DialogCallback cb, bool drawn) {
  dlg_set_focus(dlg, start, drawn);
  if (cb && cb(dlg, -1) != -1) return false;
  return true;
}

bool help_open = false;

}  // namespace

int dlg_loop(ControlRecord* dlg, int start, DialogCallback callback) {
  if (!Start(dlg, start, callback, true)) return -1;
  const int f = dlg_focused(dlg);
  if (f >= 0) dlg_draw_control(dlg, f);
  if (f < 0) {
    KeyEvent ev;
    read_key(&ev);
    return -1;
  }
  return Loop(dlg, callback);
}

int dlg_run(ControlRecord* dlg, int start, DialogCallback callback) {
  if (!Start(dlg, start, callback, false)) return -1;
  if (SaveBackground(dlg) != 0) return -1;
  dlg_draw(dlg, 0);
  int result = -1;
  if (dlg_focused(dlg) < 0) {
    // Nothing to work with: the dialog is shown until a key is pressed.
    KeyEvent ev;
    read_key(&ev);
  } else {
    result = Loop(dlg, callback);
  }
  restore_under();
  return result;
}

int dlg_open(ControlRecord* dlg) {
  if (SaveBackground(dlg) != 0) return -1;
  dlg_draw(dlg, 0);
  return 0;
}

void window_close() { restore_under(); }

void help_keys_box() {
  if (help_open) return;
  static const char* const kText =
      "[PgUp]       : Przejście do pierwszego pola\n"
      "[PgDn]       : Przejście do ostatniego pola\n"
      "[Góra]       : Przejście do poprzedniego pola\n"
      "[Dół]        : Przejście do następnego pola\n"
      "[Alt+litera] : Przejście do pola z wyróżnioną literą\n"
      "[Home]       : Kursor do początku pola\n"
      "[End]        : Kursor do końca pola\n"
      "[Lewo]       : Kursor w lewo\n"
      "[Prawo]      : Kursor w prawo\n"
      "[Spacja]     : Zmiana stanu włącznika [X]\n"
      "[Ctrl+D]     : Wstawienie dzisiejszej daty\n"
      "[Ctrl+V]     : Wstawienie zawartości schowka\n"
      "[Ctrl+Y]     : Usunięcie zawartości pola\n"
      "[Enter]      : Zatwierdzenie wartości pola\n"
      "[Esc]        : Zignorowanie zmian i wyjście z edycji"_pl;
  help_open = true;
  ControlRecord dlg[4];
  dlg_frame(dlg, 0, 0, 0, 58, 19, "POMOC - KLAWISZE SKRÓTU"_pl);
  dlg_center(dlg);
  dlg_label(dlg, 1, 3, 1, kText);
  dlg_button(dlg, 2, 27, 17, " &Ok ");
  dlg_end(dlg, 3);
  dlg_run(dlg, 2, nullptr);
  help_open = false;
}
