// Small tests on key events shared by the dialogs, menus and windows. Keys with a character are
// recognised by it; keys without one by scan code (and shift state where it matters).
#pragma once

#include "common/cell.h"

inline bool key_is_scan(const KeyEvent& ev, uint8_t scan) { return ev.ch == 0 && ev.scan == scan; }
inline bool key_is_esc(const KeyEvent& ev) { return ev.ch == 27; }
inline bool key_is_enter(const KeyEvent& ev) { return ev.ch == 13; }
inline bool key_is_tab(const KeyEvent& ev) { return ev.ch == 9; }
inline bool key_is_ctrl_f4(const KeyEvent& ev) {
  return key_is_scan(ev, kScanF4) && ev.shift == kShiftCtrl;
}
inline bool key_is_alt_f4(const KeyEvent& ev) {
  return key_is_scan(ev, kScanF4) && ev.shift == kShiftAlt;
}
inline bool key_has_alt_only(const KeyEvent& ev) {
  return (ev.shift & kShiftAlt) && !(ev.shift & kShiftCtrl);
}
// Up, Down, PgUp, PgDn: the vertical keys that leave an input field.
inline bool key_is_vertical(const KeyEvent& ev) {
  return key_is_scan(ev, kScanUp) || key_is_scan(ev, kScanDown) || key_is_scan(ev, kScanPgUp) ||
         key_is_scan(ev, kScanPgDn);
}
