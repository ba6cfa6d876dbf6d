// Number fields are typed like a pocket calculator: the integer digits enter at the cursor
// (normally the last integer position) and push the others to the left, the thousands
// separators are put back after every key, and the decimal separator jumps into the decimals.
//
// The editor keeps the value as a sign, the integer digits and the decimal characters, and the
// cursor as either "r digits from the right of the integer part" or a decimal position, so the
// regrouping never loses track of where the cursor is.
#include "ui/field_number.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/colours.h"
#include "ui/dialog.h"
#include "ui/keys.h"
#include "ui/number_format.h"
#include "ui/screen.h"

namespace {

struct NumberEdit {
  int width = 0, decimals = 0, p = 0;
  bool negative = false;
  std::string digits;    // integer digits, most significant first
  std::string fraction;  // decimals characters: digits or spaces
  bool in_integer = true;
  int r = 0;  // integer cursor: digits to its right
  int k = 0;  // decimal cursor: index into fraction

  std::string Integer() const {
    const char sep = number_format().thousands;
    std::string s;
    const int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
      if (i > 0 && sep != 0 && (n - i) % 3 == 0) s.push_back(sep);
      s.push_back(digits[static_cast<size_t>(i)]);
    }
    return negative ? "-" + s : s;
  }
  bool Fits() const { return static_cast<int>(Integer().size()) <= p; }

  std::string Render() const {
    std::string s = Integer();
    std::string out(static_cast<size_t>(std::max(p - static_cast<int>(s.size()), 0)), ' ');
    out += s;
    if (decimals > 0) out += number_format().decimal + fraction;
    return out;
  }

  // The cell of the integer cursor.
  int IntegerCell() const {
    const std::string s = Integer();
    const int o = p - static_cast<int>(s.size());
    const int n = static_cast<int>(digits.size());
    if (r >= n) return negative ? o : o - 1;
    int count = 0;
    for (int c = p - 1; c >= o; --c) {
      char ch = s[static_cast<size_t>(c - o)];
      if (ch >= '0' && ch <= '9') {
        if (count == r) return c;
        ++count;
      }
    }
    return p - 1;
  }
  int MaxR() const {
    const int n = static_cast<int>(digits.size());
    const int o = p - static_cast<int>(Integer().size());
    return (!negative && o - 1 < 0 && n > 0) ? n - 1 : n;
  }
  int Cell() const { return in_integer ? IntegerCell() : p + 1 + k; }
  bool CursorOnBlank() const {
    return in_integer && r >= static_cast<int>(digits.size()) && !negative;
  }

  void Clear() {
    negative = false;
    digits.clear();
    fraction.assign(static_cast<size_t>(decimals), ' ');
    r = 0;
  }

  void Load(const std::string& text) {
    digits.clear();
    negative = false;
    for (int c = 0; c < p && c < static_cast<int>(text.size()); ++c) {
      char ch = text[static_cast<size_t>(c)];
      if (ch >= '0' && ch <= '9') digits.push_back(ch);
      else if (ch == '-') negative = true;
    }
    fraction.assign(static_cast<size_t>(decimals), ' ');
    for (int i = 0; i < decimals; ++i) {
      size_t at = static_cast<size_t>(p + 1 + i);
      if (at < text.size() && text[at] >= '0' && text[at] <= '9')
        fraction[static_cast<size_t>(i)] = text[at];
    }
  }
};

bool IsSeparatorKey(uint8_t ch) {
  return ch == '.' || ch == ',' || ch == static_cast<uint8_t>(number_format().decimal);
}

}  // namespace

void edit_number_field(ControlRecord* dlg, int i, std::string* text, KeyEvent* ev) {
  const ControlRecord& c = dlg[i];
  NumberEdit e;
  e.width = std::max(c.data.field->width, 1);
  e.decimals = std::max(c.data.field->decimals, 0);
  e.p = e.decimals > 0 ? e.width - e.decimals - 1 : e.width;
  if (e.p < 0) e.p = 0;
  const std::string original = *text;
  e.Load(*text);
  // A value too long for the field shows as "*"s; it stays untouched unless it is edited.
  const bool overflow = original.find('*') != std::string::npos;
  bool edited = false;
  bool fresh = true;
  const int x = dlg_abs_x(dlg, i), y = dlg_abs_y(dlg, i);
  const int shown_width = std::max(c.width, 1);
  const uint8_t attr = attribute_of(4);

  auto first_typing = [&]() {
    if (fresh) e.Clear();
    fresh = false;
    edited = true;
  };

  for (;;) {
    std::string shown = (overflow && !edited) ? original : e.Render();
    write_field_text(x, y, shown_width, shown.c_str(), 0, attr);
    set_cursor(x + e.Cell(), y);
    show_cursor();
    read_key(ev);
    hide_cursor();
    const uint8_t ch = ev->ch;
    const bool plain = !(ev->shift & (kShiftCtrl | kShiftAlt));
    if (key_is_tab(*ev) || key_is_enter(*ev) || key_is_esc(*ev) || key_is_vertical(*ev) ||
        key_is_ctrl_f4(*ev)) {
      break;
    } else if (key_is_scan(*ev, kScanF1)) {
      help_keys_box();
    } else if (plain && ch >= '0' && ch <= '9') {
      NumberEdit before = e;
      first_typing();
      if (e.in_integer) {
        e.r = std::min(e.r, static_cast<int>(e.digits.size()));
        e.digits.insert(e.digits.size() - static_cast<size_t>(e.r), 1, static_cast<char>(ch));
        if (!e.Fits()) {
          e = before;
          beep();
        }
      } else {
        e.fraction.insert(static_cast<size_t>(e.k), 1, static_cast<char>(ch));
        e.fraction.pop_back();
        if (e.k < e.decimals - 1) ++e.k;
      }
    } else if (plain && IsSeparatorKey(ch)) {
      first_typing();
      if (e.decimals > 0 && e.in_integer) {
        e.in_integer = false;
        e.k = 0;
      }
    } else if (plain && ch == '-') {
      first_typing();
      e.r = std::min(e.r, static_cast<int>(e.digits.size()));
      if (e.CursorOnBlank()) {
        e.negative = true;
        if (!e.Fits()) e.negative = false;
      }
    } else if (ch == 8 || key_is_scan(*ev, kScanDel)) {
      fresh = false;
      edited = true;
      const bool backspace = ch == 8;
      if (e.in_integer) {
        const int n = static_cast<int>(e.digits.size());
        if (e.r < n) {
          e.digits.erase(static_cast<size_t>(n - 1 - e.r), 1);
        } else if (e.negative) {
          e.negative = false;
        }
        e.r = std::min(e.r, e.MaxR());
      } else if (backspace) {
        if (e.k == 0) {
          e.in_integer = true;
          e.r = 0;
        } else {
          e.fraction.erase(static_cast<size_t>(--e.k), 1);
          e.fraction.push_back(' ');
        }
      } else {
        e.fraction.erase(static_cast<size_t>(e.k), 1);
        e.fraction.push_back(' ');
      }
    } else if (ch == 25) {  // Ctrl+Y
      fresh = false;
      edited = true;
      e.Clear();
      e.in_integer = true;
    } else if (key_is_scan(*ev, kScanHome)) {
      e.in_integer = true;
      e.r = e.digits.empty() ? 0 : e.MaxR();
    } else if (key_is_scan(*ev, kScanEnd)) {
      e.in_integer = true;
      e.r = 0;
    } else if (key_is_scan(*ev, kScanLeft)) {
      if (!e.in_integer) {
        if (e.k == 0) {
          e.in_integer = true;
          e.r = 0;
        } else {
          --e.k;
        }
      } else if (e.r < e.MaxR()) {
        ++e.r;
      }
    } else if (key_is_scan(*ev, kScanRight)) {
      if (e.in_integer) {
        if (e.r > 0) {
          --e.r;
        } else if (e.decimals > 0) {
          e.in_integer = false;
          e.k = 0;
        }
      } else if (e.k < e.decimals - 1 && e.fraction[static_cast<size_t>(e.k)] != ' ') {
        ++e.k;  // only over typed decimals: a digit after a gap would be lost on reading
      }
    } else if (ch != 0 && dlg_hot_control(dlg, ch) >= 0) {
      break;
    }
  }
  *text = (overflow && !edited) ? original : e.Render();
}
