#include "platform/keydecode.h"

#include <cstring>

#include "platform/glyphs.h"

namespace {

constexpr size_t kMaxSequence = 32;

struct Row {
  uint8_t first_scan;
  const char* plain;
  const char* shifted;
};
constexpr Row kRows[] = {
    {0x02, "1234567890-=", "!@#$%^&*()_+"},
    {0x10, "qwertyuiop[]", "QWERTYUIOP{}"},
    {0x1E, "asdfghjkl;'`", "ASDFGHJKL:\"~"},
    {0x2B, "\\zxcvbnm,./", "|ZXCVBNM<>?"},
};

KeyEvent Key(uint8_t ch, uint8_t scan, uint32_t shift) { return KeyEvent{ch, scan, shift}; }

// xterm's modifier parameter: 1 + (1 Shift, 2 Alt, 4 Ctrl, 8 Meta).
uint32_t ShiftOfModifier(int m) {
  if (m < 2) return 0;
  int bits = m - 1;
  uint32_t s = 0;
  if (bits & 1) s |= kShiftShift;
  if (bits & 2) s |= kShiftAlt;
  if (bits & 4) s |= kShiftCtrl;
  if (bits & 8) s |= kShiftAlt;
  return s;
}

// A character key (ASCII or control byte) with the given extra modifiers.
bool CharKey(uint8_t b, uint32_t extra, KeyEvent* ev) {
  bool shifted = false;
  switch (b) {
    case 0x0D: *ev = Key(13, kScanEnter, extra); return true;
    case 0x0A: *ev = Key(10, kScanEnter, extra | kShiftCtrl); return true;
    case 0x09: *ev = Key(9, kScanTab, extra); return true;
    case 0x08:
    case 0x7F: *ev = Key(8, kScanBackspace, extra); return true;
    case 0x00: *ev = Key(' ', kScanSpace, extra | kShiftCtrl); return true;
    case 0x20: *ev = Key(' ', kScanSpace, extra); return true;
    default: break;
  }
  if (b < 0x20) {
    // Ctrl with a letter (or with \ ] ^ _) gives the control character.
    uint8_t base = b <= 0x1A ? static_cast<uint8_t>('a' + b - 1) : static_cast<uint8_t>(b + 0x40);
    if (base == '^' || base == '_') base = base == '^' ? '6' : '-';
    *ev = Key(b, scan_of_char(base, &shifted), extra | kShiftCtrl);
    return true;
  }
  if (b < 0x7F) {
    uint8_t scan = scan_of_char(b, &shifted);
    *ev = Key(b, scan, extra | (shifted ? kShiftShift : 0));
    return true;
  }
  return false;
}

// The keys of the "~"-terminated sequences (and of rxvt's "^", "$", "@" forms), by number.
bool TildeKey(int n, KeyEvent* ev) {
  uint8_t scan = 0;
  uint32_t shift = 0;
  switch (n) {
    case 1:
    case 7: scan = kScanHome; break;
    case 2: scan = kScanIns; break;
    case 3: scan = kScanDel; break;
    case 4:
    case 8: scan = kScanEnd; break;
    case 5: scan = kScanPgUp; break;
    case 6: scan = kScanPgDn; break;
    case 11: scan = kScanF1; break;
    case 12: scan = kScanF2; break;
    case 13: scan = kScanF3; break;
    case 14: scan = kScanF4; break;
    case 15: scan = kScanF5; break;
    case 17: scan = kScanF6; break;
    case 18: scan = kScanF7; break;
    case 19: scan = kScanF8; break;
    case 20: scan = kScanF9; break;
    case 21: scan = kScanF10; break;
    case 23: scan = kScanF11; break;
    case 24: scan = kScanF12; break;
    // The Linux console and rxvt send Shift+F3..F10 as F13..F20.
    case 25:
      scan = kScanF3;
      shift = kShiftShift;
      break;
    case 26:
      scan = kScanF4;
      shift = kShiftShift;
      break;
    case 28:
      scan = kScanF5;
      shift = kShiftShift;
      break;
    case 29:
      scan = kScanF6;
      shift = kShiftShift;
      break;
    case 31:
      scan = kScanF7;
      shift = kShiftShift;
      break;
    case 32:
      scan = kScanF8;
      shift = kShiftShift;
      break;
    case 33:
      scan = kScanF9;
      shift = kShiftShift;
      break;
    case 34:
      scan = kScanF10;
      shift = kShiftShift;
      break;
    default: return false;
  }
  *ev = Key(0, scan, shift);
  return true;
}

// Final letters of CSI and SS3 keys.
bool LetterKey(uint8_t f, KeyEvent* ev) {
  uint8_t scan = 0;
  switch (f) {
    case 'A': scan = kScanUp; break;
    case 'B': scan = kScanDown; break;
    case 'C': scan = kScanRight; break;
    case 'D': scan = kScanLeft; break;
    case 'H': scan = kScanHome; break;
    case 'F': scan = kScanEnd; break;
    case 'P': scan = kScanF1; break;
    case 'Q': scan = kScanF2; break;
    case 'R': scan = kScanF3; break;
    case 'S': scan = kScanF4; break;
    case 'M': *ev = Key(13, kScanEnter, 0); return true;
    default: return false;
  }
  *ev = Key(0, scan, 0);
  return true;
}

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// Parses "ESC [ params final". Parameters are numbers separated by ";" (":" sub-parameters
// are skipped).
DecodeResult DecodeCsi(std::string_view s, bool at_end, KeyEvent* ev, size_t* used) {
  // The Linux console's F1..F5: ESC [ [ A..E.
  if (s.size() >= 3 && s[2] == '[') {
    if (s.size() < 4) {
      *used = s.size();
      return at_end ? kDecodeSkipped : kDecodeIncomplete;
    }
    *used = 4;
    uint8_t c = static_cast<uint8_t>(s[3]);
    if (c >= 'A' && c <= 'E') {
      *ev = Key(0, static_cast<uint8_t>(kScanF1 + (c - 'A')), 0);
      return kDecodeAccepted;
    }
    return kDecodeSkipped;
  }
  int params[8] = {};
  int count = 0;
  bool sub = false;
  size_t i = 2;
  for (; i < s.size(); ++i) {
    auto c = static_cast<uint8_t>(s[i]);
    if (IsDigit(c)) {
      if (count == 0) count = 1;
      if (!sub && count <= 8 && params[count - 1] < 100000)
        params[count - 1] = params[count - 1] * 10 + (c - '0');
    } else if (c == ';') {
      if (count == 0) count = 1;
      ++count;
      sub = false;
    } else if (c == ':') {
      sub = true;
    } else if (c >= 0x3C && c <= 0x3F) {
      // private markers ("<", "=", ">", "?"): replies we never ask for
    } else if (c >= 0x20 && c <= 0x2F && c != '$') {
      // intermediates ("$" ends rxvt's Shift keys)
    } else {
      break;
    }
  }
  if (i >= s.size()) {
    *used = s.size();
    return at_end || s.size() > kMaxSequence ? kDecodeSkipped : kDecodeIncomplete;
  }
  auto final = static_cast<uint8_t>(s[i]);
  *used = i + 1;
  if (i > kMaxSequence) return kDecodeSkipped;
  if (count > 8) count = 8;
  int p0 = count >= 1 ? params[0] : 0;
  int p1 = count >= 2 ? params[1] : 0;
  if (final < 0x40 && final != '$') return kDecodeSkipped;
  switch (final) {
    case '~':
      if (p0 == 27 && count >= 3) {  // modifyOtherKeys: ESC [ 27 ; mod ; code ~
        if (params[2] > 0x7F || !CharKey(static_cast<uint8_t>(params[2]), 0, ev))
          return kDecodeSkipped;
        ev->shift |= ShiftOfModifier(p1);
        return kDecodeAccepted;
      }
      if (!TildeKey(p0, ev)) return kDecodeSkipped;
      ev->shift |= ShiftOfModifier(p1);
      return kDecodeAccepted;
    case '^':
    case '$':
    case '@':
      if (!TildeKey(p0, ev)) return kDecodeSkipped;
      ev->shift |= final == '^'   ? kShiftCtrl
                   : final == '$' ? kShiftShift
                                  : kShiftCtrl | kShiftShift;
      return kDecodeAccepted;
    case 'Z': *ev = Key(9, kScanTab, kShiftShift | ShiftOfModifier(p1)); return kDecodeAccepted;
    case 'u':  // CSI u: ESC [ code ; mod u
      if (p0 > 0x7F || p0 == 0 || !CharKey(static_cast<uint8_t>(p0), 0, ev)) return kDecodeSkipped;
      if (p0 == 27) *ev = Key(27, kScanEsc, 0);
      ev->shift |= ShiftOfModifier(p1);
      return kDecodeAccepted;
    default:
      if (final == 'M' || !LetterKey(final, ev)) return kDecodeSkipped;
      ev->shift |= ShiftOfModifier(p1);
      return kDecodeAccepted;
  }
}

// "ESC O final", with an optional modifier digit between (ESC O 5 P is Ctrl+F1 in old xterms).
DecodeResult DecodeSs3(std::string_view s, bool at_end, KeyEvent* ev, size_t* used) {
  size_t i = 2;
  int mod = 0;
  while (i < s.size() && IsDigit(static_cast<uint8_t>(s[i])) && i < 6)
    mod = mod * 10 + (s[i++] - '0');
  if (i >= s.size()) {
    *used = s.size();
    return at_end ? kDecodeSkipped : kDecodeIncomplete;
  }
  auto f = static_cast<uint8_t>(s[i]);
  *used = i + 1;
  if (f >= 'a' && f <= 'd') {  // rxvt: Ctrl with the arrows
    LetterKey(static_cast<uint8_t>(f - 'a' + 'A'), ev);
    ev->shift |= kShiftCtrl;
    return kDecodeAccepted;
  }
  if (f >= 'p' && f <= 'y')
    return CharKey(static_cast<uint8_t>('0' + f - 'p'), 0, ev) ? kDecodeAccepted : kDecodeSkipped;
  static constexpr char kPad[] = "j*k+l,m-n.o/X=";
  for (size_t k = 0; k + 1 < sizeof(kPad); k += 2)
    if (kPad[k] == f)
      return CharKey(static_cast<uint8_t>(kPad[k + 1]), 0, ev) ? kDecodeAccepted : kDecodeSkipped;
  if (!LetterKey(f, ev)) return kDecodeSkipped;
  ev->shift |= ShiftOfModifier(mod);
  return kDecodeAccepted;
}

// One UTF-8 character at the start of s.
DecodeResult DecodeUtf8(std::string_view s, bool at_end, int code_page, KeyEvent* ev,
                        size_t* used) {
  auto b = static_cast<uint8_t>(s[0]);
  size_t len = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
  if (len == 0) {
    *used = 1;
    return kDecodeSkipped;
  }
  uint32_t cp = b & (0x7F >> len);
  for (size_t k = 1; k < len; ++k) {
    if (k >= s.size()) {
      *used = s.size();
      return at_end ? kDecodeSkipped : kDecodeIncomplete;
    }
    auto c = static_cast<uint8_t>(s[k]);
    if ((c & 0xC0) != 0x80) {
      *used = k;
      return kDecodeSkipped;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  *used = len;
  int byte = screen_byte_of(code_page, cp);
  if (byte < 0) return kDecodeSkipped;
  // A letter typed with AltGr is taken by its character; only capitals carry Shift.
  static constexpr uint32_t kCapitals[] = {0x0104, 0x0106, 0x0118, 0x0141, 0x0143,
                                           0x00D3, 0x015A, 0x017B, 0x0179};
  uint32_t shift = 0;
  for (uint32_t c : kCapitals)
    if (c == cp) shift = kShiftShift;
  if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) shift = kShiftShift;
  *ev = Key(static_cast<uint8_t>(byte), 0, shift);
  return kDecodeAccepted;
}

DecodeResult DecodePlain(std::string_view s, bool at_end, int code_page, uint32_t extra,
                         KeyEvent* ev, size_t* used) {
  auto b = static_cast<uint8_t>(s[0]);
  if (b >= 0x80) {
    DecodeResult r = DecodeUtf8(s, at_end, code_page, ev, used);
    if (r == kDecodeAccepted) ev->shift |= extra;
    return r;
  }
  *used = 1;
  if (!CharKey(b, extra, ev)) return kDecodeSkipped;
  return kDecodeAccepted;
}

}  // namespace

uint8_t scan_of_char(uint8_t ch, bool* needs_shift) {
  *needs_shift = false;
  if (ch == ' ') return kScanSpace;
  for (const Row& r : kRows) {
    if (const char* p = std::strchr(r.plain, ch); p && ch)
      return static_cast<uint8_t>(r.first_scan + (p - r.plain));
    if (const char* p = std::strchr(r.shifted, ch); p && ch) {
      *needs_shift = true;
      return static_cast<uint8_t>(r.first_scan + (p - r.shifted));
    }
  }
  return 0;
}

DecodeResult decode_key(std::string_view s, bool at_end, int code_page, KeyEvent* ev,
                        size_t* used) {
  *used = 0;
  if (s.empty()) return kDecodeIncomplete;
  if (static_cast<uint8_t>(s[0]) != 0x1B) return DecodePlain(s, at_end, code_page, 0, ev, used);
  if (s.size() == 1) {
    if (!at_end) return kDecodeIncomplete;
    *ev = Key(27, kScanEsc, 0);
    *used = 1;
    return kDecodeAccepted;
  }
  DecodeResult r;
  switch (s[1]) {
    case '[': r = DecodeCsi(s, at_end, ev, used); break;
    case 'O': r = DecodeSs3(s, at_end, ev, used); break;
    case 0x1B: {
      // ESC ESC followed by a sequence is Alt with that key; a lone pair is two Esc presses.
      size_t inner = 0;
      r = decode_key(s.substr(1), at_end, code_page, ev, &inner);
      if (r == kDecodeAccepted && inner > 1) {
        ev->shift |= kShiftAlt;
        *used = inner + 1;
        return r;
      }
      if (r == kDecodeIncomplete) return r;
      *ev = Key(27, kScanEsc, 0);
      *used = 1;
      return kDecodeAccepted;
    }
    default: {
      size_t inner = 0;
      r = DecodePlain(s.substr(1), at_end, code_page, kShiftAlt, ev, &inner);
      *used = inner + 1;
      if (r == kDecodeIncomplete) return r;
      if (r == kDecodeSkipped) *used = 1 + inner;
      return r;
    }
  }
  // A sequence cut short by the quiet line was most likely Esc followed by ordinary keys.
  if (r == kDecodeSkipped && at_end && *used == s.size() && s.size() <= 2) {
    *ev = Key(27, kScanEsc, 0);
    *used = 1;
    return kDecodeAccepted;
  }
  return r;
}

std::vector<KeyEvent> decode_all(std::string_view bytes, int code_page) {
  std::vector<KeyEvent> out;
  while (!bytes.empty()) {
    KeyEvent ev{};
    size_t used = 0;
    DecodeResult r = decode_key(bytes, true, code_page, &ev, &used);
    if (r == kDecodeAccepted) out.push_back(ev);
    if (used == 0) used = 1;
    bytes.remove_prefix(used);
  }
  return out;
}
