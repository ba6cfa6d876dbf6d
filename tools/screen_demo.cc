// A look at the character screen on a real terminal: frames in both styles, shadows, every
// colour element, the Polish letters, and an echo of each key event. Ctrl+F4 (or the terminal
// going away) ends it. The terminal test drives it through tmux.
#include <cstdio>
#include <cstring>

#include "common/text.h"
#include "common/codepage.h"
#include "common/colours.h"
#include "ui/screen.h"

namespace {

constexpr int kLogX = 2, kLogY = 15, kLogW = 76, kLogH = 7;

const char* ScanName(uint8_t scan) {
  switch (scan) {
    case kScanEsc: return "Esc";
    case kScanBackspace: return "Backspace";
    case kScanTab: return "Tab";
    case kScanEnter: return "Enter";
    case kScanF1: return "F1";
    case kScanF2: return "F2";
    case kScanF3: return "F3";
    case kScanF4: return "F4";
    case kScanF5: return "F5";
    case kScanF6: return "F6";
    case kScanF7: return "F7";
    case kScanF8: return "F8";
    case kScanF9: return "F9";
    case kScanF10: return "F10";
    case kScanF11: return "F11";
    case kScanF12: return "F12";
    case kScanHome: return "Home";
    case kScanUp: return "Up";
    case kScanPgUp: return "PgUp";
    case kScanLeft: return "Left";
    case kScanRight: return "Right";
    case kScanEnd: return "End";
    case kScanDown: return "Down";
    case kScanPgDn: return "PgDn";
    case kScanIns: return "Ins";
    case kScanDel: return "Del";
    default: return nullptr;
  }
}

// "znak=70 skan=19 stan=4 Alt+P": the event's fields and a readable name, in the data code page.
void Describe(const KeyEvent& ev, char* out, size_t size) {
  char name[32] = "";
  if (ev.shift & kShiftShift) std::strcat(name, "Shift+");
  if (ev.shift & kShiftCtrl) std::strcat(name, "Ctrl+");
  if (ev.shift & kShiftAlt) std::strcat(name, "Alt+");
  const char* key = ScanName(ev.scan);
  char one[2] = {0, 0};
  if (ev.scan == kScanSpace) {
    key = "Space";
  } else if (!key && ev.ch >= 1 && ev.ch <= 26) {
    one[0] = static_cast<char>('A' + ev.ch - 1);
    key = one;
  } else if (!key && ev.ch >= 0x20) {
    one[0] = static_cast<char>(ev.shift & (kShiftAlt | kShiftCtrl) ? to_upper(ev.ch) : ev.ch);
    key = one;
  }
  std::strcat(name, key ? key : "?");
  std::snprintf(out, size, "znak=%02X skan=%02X stan=%u %s", ev.ch, ev.scan,
                static_cast<unsigned>(ev.shift), name);
}

void DrawStatic() {
  fill_cells(0, 0, 80, 1, ' ', attribute_of(5));
  write_text(1, 0, "Tamsu: pokaz ekranu znakowego"_pl, attribute_of(5));

  fill_cells(2, 2, 34, 6, ' ', attribute_of(6));
  draw_frame(2, 2, 34, 6, 1, attribute_of(6));
  write_text(4, 2, " Ramka pojedyncza "_pl, attribute_of(7));
  write_text(4, 4, "ĄĆĘŁŃÓŚŻŹ"_pl, attribute_of(6));
  write_text(4, 5, "ąćęłńóśżź"_pl, attribute_of(6));
  draw_shadow(2, 2, 34, 6);

  fill_cells(42, 2, 34, 6, ' ', attribute_of(9));
  draw_frame(42, 2, 34, 6, 2, attribute_of(9));
  write_text(44, 2, " Ramka podwójna "_pl, attribute_of(10));
  write_text(44, 4, "Zażółć gęślą jaźń"_pl, attribute_of(9));
  write_field_text(44, 5, 20, "Pole: wpisz tekst"_pl, 0, attribute_of(11));
  draw_shadow(42, 2, 34, 6);

  write_text(2, 10, "Elementy kolorów:"_pl, 0x07);
  for (int e = 0; e < kColourElementCount; ++e) {
    char label[8];
    std::snprintf(label, sizeof label, "%3d", e);
    write_text(2 + e * 4, 11, label, attribute_of(e));
  }

  draw_frame(kLogX - 1, kLogY - 1, kLogW + 2, kLogH + 2, 1, attribute_of(6));
  fill_cells(kLogX, kLogY, kLogW, kLogH, ' ', attribute_of(6));
  write_text(kLogX + 1, kLogY - 1, " Klawisze (Ctrl+F4 kończy) "_pl, attribute_of(7));
  fill_cells(0, 24, 80, 1, ' ', attribute_of(5));
}

void Echo(const KeyEvent& ev) {
  char line[80];
  Describe(ev, line, sizeof line);
  move_cells(kLogX, kLogY + 1, kLogW, kLogH - 1, kLogX, kLogY);
  write_field_text(kLogX, kLogY + kLogH - 1, kLogW, line, 0, attribute_of(6));
  write_field_text(0, 24, 80, line, 0, attribute_of(5));
}

}  // namespace

int main() {
  if (screen_open() != 0) {
    std::fprintf(stderr, "screen_demo: the screen cannot be opened\n");
    return 1;
  }
  DrawStatic();
  set_cursor(kLogX, kLogY + kLogH - 1);
  show_cursor();
  for (;;) {
    KeyEvent ev;
    read_key(&ev);
    if (ev.scan == kScanF4 && ev.shift == kShiftCtrl) break;
    Echo(ev);
  }
  screen_close();
  return 0;
}
