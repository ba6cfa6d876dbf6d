// Turns the bytes a terminal sends into key events. Pure: no terminal, no clock.
//
// Terminals disagree about the bytes of a key, and TERM does not reliably say which dialect
// arrives (inside tmux Home comes as ESC [ 1 ~ while an xterm entry expects ESC O H), so every
// usual form is accepted whatever TERM says: xterm CSI and SS3 keys with the modifier parameter
// (ESC [ 1 8 ; 5 ~ is Ctrl+F7), the VT220/tmux "~" keys, rxvt's "^" "$" "@" suffixes, the Linux
// console's ESC [ [ A..E and its shifted function keys F11..F20, CSI u and modifyOtherKeys.
// Alt+key arrives as ESC and the key. Typed UTF-8 letters become bytes of the screen code page.
//
//   decode_key("\x1b[18;2~", false, 2, &ev, &used)  ->  accepted, ev = {0, 0x41, Shift}, used 7
//   decode_key("\x1b", false, 2, &ev, &used)        ->  incomplete (maybe a sequence follows)
//   decode_key("\x1b", true, 2, &ev, &used)         ->  accepted, Esc
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "common/cell.h"

enum DecodeResult {
  kDecodeAccepted,    // *ev holds a key made of the first *used bytes
  kDecodeIncomplete,  // the bytes begin a sequence; wait for more (or call again with at_end)
  kDecodeSkipped,     // the first *used bytes mean no key (unknown or malformed); drop them
};

// Decodes the first key of bytes (not empty). at_end says no further byte came within the
// escape wait, so a lone ESC is the Esc key. The character is in the screen code page.
DecodeResult decode_key(std::string_view bytes, bool at_end, int code_page, KeyEvent* ev,
                        size_t* used);

// Every key of bytes, as if they arrived at once and then the line went quiet.
std::vector<KeyEvent> decode_all(std::string_view bytes, int code_page);

// The scan code of a character on the keyboard (US layout, which the Polish programmer's
// layout shares) and whether it needs Shift; 0 when no key gives it.
uint8_t scan_of_char(uint8_t ch, bool* needs_shift);
