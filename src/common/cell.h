// The two records every screen user shares: a cell of the 80 x 25 character screen and a key
// event. Kept free of other includes so that the display backends in platform/ can use them.
//
// A cell is a byte in the screen code page and an attribute: the low nibble is the foreground
// palette index, the high nibble the background. A key event carries the character (in the data
// code page once read_key has converted it; 0 for keys without one), the keyboard scan code of
// the key and the Shift/Ctrl/Alt state. Keys without a character are recognised by scan code
// plus shift state.
#pragma once

#include <cstdint>

struct ScreenCell {
  uint8_t ch;
  uint8_t attr;
};

struct KeyEvent {
  uint8_t ch;
  uint8_t scan;
  uint32_t shift;
};

inline bool operator==(const ScreenCell& a, const ScreenCell& b) {
  return a.ch == b.ch && a.attr == b.attr;
}
inline bool operator==(const KeyEvent& a, const KeyEvent& b) {
  return a.ch == b.ch && a.scan == b.scan && a.shift == b.shift;
}

inline constexpr uint32_t kShiftShift = 1;
inline constexpr uint32_t kShiftCtrl = 2;
inline constexpr uint32_t kShiftAlt = 4;

// Scan codes the program acts on (and the function keys around them).
inline constexpr uint8_t kScanEsc = 0x01;
inline constexpr uint8_t kScanBackspace = 0x0E;
inline constexpr uint8_t kScanTab = 0x0F;
inline constexpr uint8_t kScanEnter = 0x1C;
inline constexpr uint8_t kScanSpace = 0x39;
inline constexpr uint8_t kScanF1 = 0x3B;
inline constexpr uint8_t kScanF2 = 0x3C;
inline constexpr uint8_t kScanF3 = 0x3D;
inline constexpr uint8_t kScanF4 = 0x3E;
inline constexpr uint8_t kScanF5 = 0x3F;
inline constexpr uint8_t kScanF6 = 0x40;
inline constexpr uint8_t kScanF7 = 0x41;
inline constexpr uint8_t kScanF8 = 0x42;
inline constexpr uint8_t kScanF9 = 0x43;
inline constexpr uint8_t kScanF10 = 0x44;
inline constexpr uint8_t kScanF11 = 0x57;
inline constexpr uint8_t kScanF12 = 0x58;
inline constexpr uint8_t kScanHome = 0x47;
inline constexpr uint8_t kScanUp = 0x48;
inline constexpr uint8_t kScanPgUp = 0x49;
inline constexpr uint8_t kScanLeft = 0x4B;
inline constexpr uint8_t kScanRight = 0x4D;
inline constexpr uint8_t kScanEnd = 0x4F;
inline constexpr uint8_t kScanDown = 0x50;
inline constexpr uint8_t kScanPgDn = 0x51;
inline constexpr uint8_t kScanIns = 0x52;
inline constexpr uint8_t kScanDel = 0x53;

// Shift, Ctrl, Alt, Caps Lock, Num Lock and Scroll Lock never make a key event.
inline constexpr bool is_modifier_scan(uint8_t scan) {
  return scan == 0x2A || scan == 0x36 || scan == 0x1D || scan == 0x38 || scan == 0x3A ||
         scan == 0x45 || scan == 0x46;
}
