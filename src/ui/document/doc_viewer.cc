#include "ui/document/doc_viewer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/codepage.h"
#include "common/colours.h"
#include "common/text.h"
#include "platform/paths.h"
#include "platform/system.h"
#include "ui/dialog.h"
#include "ui/document/document.h"
#include "ui/document/printing.h"
#include "ui/feedback.h"
#include "ui/keys.h"
#include "ui/message_box.h"
#include "ui/number_format.h"
#include "ui/screen.h"

namespace {

ControlRecord g_bar[] = {
    {kKindFill, 0, 0, {nullptr}, 0, 0, 80, 1, 5},
    {kKindText, 1, 0, {" &Plik "}, 0, 0, 0, 1, 5},
    {kKindText, 1, 0, {" &Wyszukanie "}, 0, 0, 0, 1, 5},
    {kKindText, 1, 0, {" Pomo&c "}, 0, 0, 0, 1, 5},
    {kKindEnd, 0, 0, {nullptr}, 0, 0, 0, 0, 0},
};
ControlRecord g_pull1[] = {
    {kKindLine, 0, 0, {nullptr}, 0, 0, 0, 0, 5},
    {kKindText, 9, 0, {" &Otwarcie...           "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" &Zapis...              "}, 0, 0, 0, 1, 5},
    {kKindLine, 0, 0, {nullptr}, 0, 0, 23, 1, 5},
    {kKindText, 9, 0, {" O&pcje drukarki...     "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" Wy&druk             F9 "}, 0, 0, 0, 1, 5},
    {kKindLine, 0, 0, {nullptr}, 0, 0, 23, 1, 5},
    {kKindText, 9, 0, {" &Wyjście           Esc "_pl}, 0, 0, 0, 1, 5},
    {kKindEnd, 0, 0, {nullptr}, 0, 0, 0, 0, 0},
};
ControlRecord g_pull2[] = {
    {kKindLine, 0, 0, {nullptr}, 0, 0, 0, 0, 5},
    {kKindText, 9, 0, {" &Wyszukanie...                 F7 "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" Wyszukanie &następnego   Shift+F7 "_pl}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" Wyszukanie &poprzedniego  Ctrl+F7 "}, 0, 0, 0, 1, 5},
    {kKindEnd, 0, 0, {nullptr}, 0, 0, 0, 0, 0},
};
ControlRecord g_pull3[] = {
    {kKindLine, 0, 0, {nullptr}, 0, 0, 0, 0, 5},
    {kKindText, 9, 0, {" &Klawisze skrótu   F1 "_pl}, 0, 0, 0, 1, 5},
    {kKindLine, 0, 0, {nullptr}, 0, 0, 22, 1, 5},
    {kKindText, 9, 0, {" &Informacje         I "}, 0, 0, 0, 1, 5},
    {kKindEnd, 0, 0, {nullptr}, 0, 0, 0, 0, 0},
};
ControlRecord* g_bars[] = {g_bar, g_pull1, g_pull2, g_pull3};

void BuildMenu(MenuBar* m) {
  for (int b = 1; b <= 3; ++b)
    for (ControlRecord* r = g_bars[b]; r->kind != kKindEnd; ++r)
      if (r->kind == kKindLine) r->data.value = 1;
  m->bars = g_bars;
  m->current = 1;
}

const char* const kHelpText =
    "[F10], [Alt+litera], [Enter]\n"
    "             : Menu\n"
    "[Esc]        : Wyjście\n"
    "[Home]       : Początek dokumentu\n"
    "[End]        : Koniec dokumentu\n"
    "[Góra]       : Linia w górę\n"
    "[Dół]        : Linia w dół\n"
    "[Lewo]       : Kolumna w lewo\n"
    "[Prawo]      : Kolumna w prawo\n"
    "[PgUp]       : Strona w górę\n"
    "[PgDn]       : Strona w dół\n"
    "[Ctrl+Lewo]  : Strona w lewo\n"
    "[Ctrl+Prawo] : Strona w prawo\n"
    "[F7]         : Wyszukanie tekstu\n"
    "[F9]         : Wydruk dokumentu\n"
    "[I]          : Informacje o systemie"_pl;

void HelpBox() {
  ControlRecord d[4];
  dlg_frame(d, 0, -1, -1, 42, 20, "POMOC - KLAWISZE SKRÓTU"_pl);
  dlg_label(d, 1, 3, 1, kHelpText);
  dlg_button(d, 2, 18, 18, " &Ok ");
  dlg_end(d, 3);
  dlg_center(d);
  dlg_run(d, 2, nullptr);
}

void InfoMessage() {
  const SystemFacts facts = GetSystemFacts(".");
  const std::string memory =
      format_amount(AMOUNT::FromInt(static_cast<int64_t>(facts.free_memory_kb)), 0);
  const std::string disk =
      format_amount(AMOUNT::FromInt(static_cast<int64_t>(facts.free_disk_kb)), 0);
  message("Pamięć:%11s KB\n  Dysk:%11s KB"_pl, memory.c_str(), disk.c_str());
}

void Print() {
  if (doc_is_open()) doc_print(doc_name(), doc_code_page());
}

}  // namespace

void TXTDOCWINDOW::paint_client(int x0, int y0, int w, int h) {
  const uint8_t attr = attribute_of(6);
  fill_cells(x0, y0, w, h, ' ', attr);
  const Rect c = twindow_client(this);
  const long first = top + (y0 - c.y);
  if (!doc_is_open() || first >= doc_lines() || doc_seek_line(first) != 0) return;
  char line[kDocLineMax + 1];
  for (int row = 0; row < h; ++row) {
    const long n = doc_read_line(line, sizeof line);
    if (n < 0) break;
    write_field_text(x0, y0 + row, w, line, static_cast<int>(left + (x0 - c.x)), attr);
  }
}

void txtdoc_refresh(TXTDOCWINDOW* w) {
  if (doc_is_open() && !doc_is_temporary()) {
    // A long path keeps its tail, where the file's own name is.
    const char* name = doc_name();
    const size_t room = sizeof w->title_text - 1 - 4;
    const size_t len = std::strlen(name);
    std::snprintf(w->title_text, sizeof w->title_text, "%s%s", len > room ? "..." : "",
                  len > room ? name + len - (room - 3) : name);
  } else {
    std::snprintf(w->title_text, sizeof w->title_text, "DOKUMENT");
  }
  const std::string left = " &F&1 Pomoc  &F&7 Wyszukanie  &F&9 Wydruk ";
  const std::string right =
      " " + std::to_string(doc_lines()) + " linii, " + std::to_string(doc_longest()) + " kolumn ";
  int shown, rows;
  text_size(left.c_str(), &shown, &rows);
  // The size goes to the right edge when it fits beside the keys.
  const int pad = w->width - shown - static_cast<int>(right.size());
  std::string status = left;
  if (pad >= 0 && left.size() + static_cast<size_t>(pad) + right.size() < sizeof w->status_text)
    status += std::string(static_cast<size_t>(pad), ' ') + right;
  std::memcpy(w->status_text, status.c_str(), status.size() + 1);
  twindow_set_title(w, w->title_text, true);
  twindow_set_status(w, w->status_text, true);
  doc_goto(w, w->top, w->left);
}

void txtdoc_init(TXTDOCWINDOW* w) {
  twindow_init(w, 0, 0, kScreenColumns, kScreenRows);
  twindow_set_style(w, kWinMenuLine | kWinStatusLine | kWinHScroll | kWinVScroll | kWinSaveUnder,
                    false);
  BuildMenu(&w->menu_bar);
  twindow_set_menu(w, &w->menu_bar, false);
  w->top = w->left = 0;
  txtdoc_refresh(w);
}

void doc_goto(TXTDOCWINDOW* w, long line, long column) {
  const Rect c = twindow_client(w);
  const long lines = doc_lines();
  // Columns past what the viewer reads of a line are never shown.
  const long columns = std::min<long>(doc_longest(), kDocLineMax);
  line = std::clamp(line, 0L, std::max(0L, lines - c.h));
  column = std::clamp(column, 0L, std::max(0L, columns - c.w));
  const long rows = line - w->top, cols = column - w->left;
  w->top = line;
  w->left = column;
  if (w->open && (rows != 0 || cols != 0)) {
    // A jump of a whole client or more repaints it all anyway.
    if (std::abs(rows) >= c.h || std::abs(cols) >= c.w) twindow_repaint(w);
    else twindow_scroll(w, static_cast<int>(rows), static_cast<int>(cols));
  }
  if (lines > c.h)
    twindow_set_vscroll(w, static_cast<int>(c.h * 1000L / lines),
                        static_cast<int>(line * 1000L / (lines - c.h)), true);
  else twindow_set_vscroll(w, 1000, 0, true);
  if (columns > c.w)
    twindow_set_hscroll(w, static_cast<int>(c.w * 1000L / columns),
                        static_cast<int>(column * 1000L / (columns - c.w)), true);
  else twindow_set_hscroll(w, 1000, 0, true);
}

int TXTDOCWINDOW::on_menu(int bar, int item) {
  switch (bar * 10 + item) {
    case 11: doc_open_dialog(this); return 0;
    case 12: doc_save_dialog(); return 0;
    case 14: printer_options(); return 0;
    case 15: Print(); return 0;
    case 17: return 1;
    case 21: doc_search(this, 0); return 0;
    case 22: doc_search(this, kDocSearchForward); return 0;
    case 23: doc_search(this, kDocSearchBackward); return 0;
    case 31: HelpBox(); return 0;
    case 33: InfoMessage(); return 0;
    default: return 0;
  }
}

int TXTDOCWINDOW::on_key(const KeyEvent& ev) {
  const Rect c = twindow_client(this);
  const bool ctrl = (ev.shift & kShiftCtrl) != 0;
  const bool shift = (ev.shift & kShiftShift) != 0;
  if (ev.ch == 0) {
    switch (ev.scan) {
      case kScanHome: doc_goto(this, 0, 0); return 0;
      case kScanEnd: doc_goto(this, doc_lines() - c.h, 0); return 0;
      case kScanUp: doc_goto(this, top - 1, left); return 0;
      case kScanDown: doc_goto(this, top + 1, left); return 0;
      case kScanPgUp: doc_goto(this, top - c.h, left); return 0;
      case kScanPgDn: doc_goto(this, top + c.h, left); return 0;
      case kScanLeft: doc_goto(this, top, left - (ctrl ? c.w : 1)); return 0;
      case kScanRight: doc_goto(this, top, left + (ctrl ? c.w : 1)); return 0;
      case kScanF1: HelpBox(); return 0;
      case kScanF2:
      case kScanF9: Print(); return 0;
      case kScanF3: doc_save_dialog(); return 0;
      case kScanF4:
        if (ev.shift == 0) printer_options();
        return ev.shift == kShiftCtrl ? 1 : 0;
      case kScanF7:
        doc_search(this, ctrl ? kDocSearchBackward : shift ? kDocSearchForward : 0);
        return 0;
      default: break;
    }
  } else if (!(ev.shift & kShiftAlt) && to_lower(ev.ch) == 'i') {
    InfoMessage();
    return 0;
  }
  return TWINDOW::on_key(ev);
}

int doc_view() {
  if (!doc_is_open()) return -1;
  wait_window(0);
  const int measured = doc_measure();
  wait_window(2);
  if (measured != 0) {
    doc_close();
    return -1;
  }
  TXTDOCWINDOW w;
  txtdoc_init(&w);
  const int rc = twindow_run(&w);
  doc_close();
  return rc;
}

int show_manual() {
  const std::string path = DirectoryOf(ExecutablePath()) + "/Tamsu.txt";
  if (doc_open_file(path.c_str(), kCodePageLatin2) != 0) return -1;
  return doc_view();
}
