// The record list dialog and its key loop.
//
// Ten rows show consecutive records in the table's active order. The column fields of the
// dialog are drawn once per row: to draw a row the record is loaded into the table's structure
// (with its related records), the fields are moved to that row and drawn. After a fill the
// current record is always on the top row.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/codepage.h"
#include "common/text.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "ui/controls.h"
#include "ui/dialog.h"
#include "ui/feedback.h"
#include "ui/keys.h"
#include "ui/message_box.h"
#include "ui/record_list.h"
#include "ui/record_search.h"
#include "ui/screen.h"

namespace {

constexpr int kRows = 10;
constexpr int kFirstRow = 3;    // frame row of list row 0
constexpr int kSearchRow = 14;  // frame row of the quick-search field
constexpr int kFrameHeight = 18;
constexpr int kMaxColumns = 8;
// Record numbers in the list dialog.
enum {
  kRecFrame = 0,
  kRecHeader,
  kRecTopLine,
  kRecBottomLine,
  kRecDoubleLine,
  kRecSearch,
  kRecArea,
  kRecFirstColumn,
  kRecEnd = kRecFirstColumn + kMaxColumns,
};
// Record numbers in the button bar.
enum { kBtnBar = 0, kBtnOk, kBtnAdd, kBtnEdit, kBtnDelete, kBtnSearch, kBtnOrder, kBtnEnd };

const char* const kButtons[] = {" &Ok ",           " &Dodanie ",    " &Edycja ",
                                " &Usunięcie "_pl, " &Wyszukanie ", " &Kolejność "_pl};
const int kButtonX[] = {0, 5, 15, 24, 36, 49};

// Columns start at frame column 3 with one blank between neighbours; the frame keeps three
// columns on each side (border, shadow-free margin), so the list area is exactly the columns.
int ColumnsWidth(const RECORD_VIEW& v) {
  int w = 0;
  for (int i = 0; i < v.column_count; ++i) w += v.columns[i].shown + (i ? 1 : 0);
  return w;
}

int ColumnX(const RECORD_VIEW& v, int c) {
  int x = 3;
  for (int i = 0; i < c; ++i) x += v.columns[i].shown + 1;
  return x;
}

struct LIST {
  int view = 0;
  int table = 0;
  ControlRecord dlg[kRecEnd + 1];
  ControlRecord bar[kBtnEnd + 1];
  FieldDescriptor columns[kMaxColumns];
  FieldDescriptor search_field;
  char search_text[64] = "";
  int search_column = 0;
  int row = 0;    // the highlighted row: the current record
  int shown = 0;  // rows holding a record
};

// The values of the current record that the columns need besides its own fields.
void Prepare(int view) {
  load_related(view);
  const RECORD_VIEW* v = record_view(view);
  if (v && v->prepare_row) v->prepare_row();
}

bool Access() { return LockAllTables(false) == 0; }
void Release() { UnlockAllTables(); }

int SearchColumn(int view, int order) {
  const RECORD_VIEW* v = record_view(view);
  return v && v->second_column_order && order == v->second_column_order ? 1 : 0;
}

void PlaceSearchField(LIST& l) {
  const RECORD_VIEW& v = *record_view(l.view);
  const LIST_COLUMN& c = v.columns[l.search_column];
  l.search_field.width = c.shown;
  l.dlg[kRecSearch].x = ColumnX(v, l.search_column);
  l.dlg[kRecSearch].width = c.shown;
  l.search_text[std::min<size_t>(std::strlen(l.search_text), c.shown)] = '\0';
}

void Build(LIST& l) {
  const RECORD_VIEW& v = *record_view(l.view);
  const int w = std::max(v.min_width, ColumnsWidth(v) + 6);
  ControlRecord* d = l.dlg;
  dlg_control(d, kRecFrame, kKindDialog, kOptHeap, kStateShadow,
              ControlData{TABLE_INFO[l.table].title}, 0, 0, w, kFrameHeight, 9);
  dlg_center(d);
  dlg_label(d, kRecHeader, 3, 1, v.header);
  dlg_line(d, kRecTopLine, 3, 2, w - 6);
  dlg_line(d, kRecBottomLine, 3, 13, w - 6);
  ControlData twin;
  twin.value = 2;
  dlg_control(d, kRecDoubleLine, kKindLine, 0, 0, twin, 2, 15, w - 4, 1, 9);
  make_descriptor(&l.search_field, 'C', 1, 0, l.search_text);
  ControlData sf;
  sf.field = &l.search_field;
  dlg_control(d, kRecSearch, kKindField, 0, 0, sf, 3, kSearchRow, 1, 1, 11);
  dlg_fill(d, kRecArea, 3, kFirstRow, w - 6, kRows, ' ', 11);
  for (int i = 0; i < kMaxColumns; ++i) {
    ControlData cd;
    cd.field = &l.columns[i];
    if (i < v.column_count) {
      const LIST_COLUMN& c = v.columns[i];
      const int decimals = c.decimals_of ? c.decimals_of() : c.decimals;
      make_descriptor(&l.columns[i], c.type, c.width, decimals, c.variable);
      dlg_control(d, kRecFirstColumn + i, kKindField, kOptFocusable, 0, cd, ColumnX(v, i),
                  kFirstRow, c.shown, 1, 11);
    } else {
      make_descriptor(&l.columns[i], 'C', 0, 0, nullptr);
      dlg_control(d, kRecFirstColumn + i, kKindField, kOptFocusable, kStateHidden, cd, 3, kFirstRow,
                  1, 1, 11);
    }
  }
  dlg_end(d, kRecEnd);
  l.search_column = SearchColumn(l.view, TableGetIndex(l.table));
  PlaceSearchField(l);

  // The button bar is its own array, centred on the frame's row 16.
  const int buttons = v.second_order ? 6 : 5;
  const int bar_w = v.second_order ? 59 : 47;
  ControlRecord* b = l.bar;
  dlg_fill(b, kBtnBar, d[0].x + (w - bar_w) / 2, d[0].y + 16, bar_w, 1, ' ', 9);
  for (int i = 0; i < 6; ++i) {
    dlg_button(b, kBtnOk + i, kButtonX[i], 0, kButtons[i]);
    if (i >= buttons) b[kBtnOk + i].state |= kStateHidden;
  }
  dlg_end(b, kBtnEnd);
  dlg_set_focus(b, kBtnOk, false);
}

void PlaceColumns(LIST& l, int row) {
  for (int i = 0; i < kMaxColumns; ++i) l.dlg[kRecFirstColumn + i].y = kFirstRow + row;
}

void DrawRow(LIST& l, int row, bool highlight) {
  PlaceColumns(l, row);
  for (int i = 0; i < kMaxColumns; ++i) {
    ControlRecord& c = l.dlg[kRecFirstColumn + i];
    if (highlight) c.state |= kStateFocus;
    else c.state &= ~kStateFocus;
    dlg_draw_control(l.dlg, kRecFirstColumn + i);
  }
}

void DrawSearchField(LIST& l) {
  // The field may have moved: clear its row inside the frame first.
  const ControlRecord& f = l.dlg[0];
  fill_cells(f.x + 2, f.y + kSearchRow, f.width - 4, 1, ' ', dlg_normal_attr(&f));
  dlg_draw_control(l.dlg, kRecSearch);
}

// Draws the page from the current record down; the current record ends on the top row.
void Fill(LIST& l) {
  dlg_draw_control(l.dlg, kRecArea);
  l.row = 0;
  l.shown = 0;
  const long current = TableRecNo(l.table);
  if (current < 0) return;
  for (int r = 0; r < kRows; ++r) {
    Prepare(l.view);
    DrawRow(l, r, false);
    ++l.shown;
    if (r == kRows - 1 || TableNext(l.table) != 0) break;
  }
  TableGo(l.table, current);
  Prepare(l.view);
  PlaceColumns(l, 0);
}

void Move(int table, long n) {
  for (long i = 0; i < n; ++i)
    if (TableNext(table) != 0) break;
  for (long i = 0; i > n; --i)
    if (TablePrev(table) != 0) break;
}

void Down(LIST& l) {
  if (TableNext(l.table) != 0) return;
  Prepare(l.view);
  if (l.row < kRows - 1) {
    ++l.row;
    l.shown = std::max(l.shown, l.row + 1);
  } else {
    const int x = dlg_abs_x(l.dlg, kRecArea), y = dlg_abs_y(l.dlg, kRecArea);
    move_cells(x, y + 1, l.dlg[kRecArea].width, kRows - 1, x, y);
  }
  DrawRow(l, l.row, false);
}

void Up(LIST& l) {
  if (TablePrev(l.table) != 0) return;
  Prepare(l.view);
  if (l.row > 0) {
    --l.row;
  } else {
    const int x = dlg_abs_x(l.dlg, kRecArea), y = dlg_abs_y(l.dlg, kRecArea);
    move_cells(x, y, l.dlg[kRecArea].width, kRows - 1, x, y + 1);
    l.shown = std::min(l.shown + 1, kRows);
  }
  DrawRow(l, l.row, false);
}

bool KeyAgrees(int table, const char* typed) {
  const TABLEDEF* def = TableDefinition(table);
  const int index = TableGetIndex(table);
  if (!def || index < 0 || index >= def->index_count) return false;
  char key[256] = "";
  def->key_builders[index](TableRecord(table), key);
  key[std::min(def->key_lengths[index], 255)] = '\0';
  return compare_prefix_nocase(key, typed, std::strlen(typed)) == 0;
}

void QuickSearch(LIST& l, uint8_t ch) {
  const size_t len = std::strlen(l.search_text);
  if (len >= static_cast<size_t>(l.search_field.width)) return;
  l.search_text[len] = static_cast<char>(ch);
  l.search_text[len + 1] = '\0';
  bool found = false;
  if (Access()) {
    // The keys of the list orders are upper-cased, so the typed prefix is too.
    char wanted[64];
    std::snprintf(wanted, sizeof wanted, "%s", l.search_text);
    text_to_upper(wanted);
    const long before = TableRecNo(l.table);
    if (TableSeek(l.table, wanted) == 0 && KeyAgrees(l.table, l.search_text)) {
      found = true;
      Fill(l);
    } else if (before >= 0) {
      TableGo(l.table, before);
      Prepare(l.view);
    }
    Release();
  }
  if (!found) l.search_text[len] = '\0';
  DrawSearchField(l);
}

bool TableEmpty(const LIST& l) { return TableRecNo(l.table) < 0; }

// Add, edit and delete go to the record forms; afterwards the page is filled again.
void Add(LIST& l, bool prefilled) {
  run_record_command(l.view, kRecordAdd, prefilled ? 1 : 0);
  if (Access()) {
    Prepare(l.view);
    Fill(l);
    Release();
  }
}

// True when the current record is gone (said) or cannot be read (reported): no editing then.
bool DeletedMeanwhile(const LIST& l) {
  bool deleted = false;
  if (TableIsDeleted(l.table, &deleted) < 0) return true;
  if (!deleted) return false;
  deleted_meanwhile(l.table);
  return true;
}

void Edit(LIST& l) {
  if (TableEmpty(l) || !Access()) return;
  const bool gone = DeletedMeanwhile(l);
  Release();
  if (gone) return;
  run_record_command(l.view, kRecordEdit, 0);
  if (Access()) {
    Fill(l);
    Release();
  }
}

void Delete(LIST& l) {
  if (TableEmpty(l)) return;
  if (!record_command(l.view, kRecordDelete)) {
    run_record_command(l.view, kRecordDelete, 0);
    return;
  }
  if (message_box(1, "%s", "Usunąć ten rekord?\t &Nie \t &Tak "_pl) != 2) return;
  run_record_command(l.view, kRecordDelete, 0);
  if (Access()) {
    Fill(l);
    Release();
  }
}

void FillAfterSearch(LIST& l, int found) {
  if (found != 0 || !Access()) return;
  Fill(l);
  Release();
}

void SwitchOrder(LIST& l) {
  const int second = record_view(l.view)->second_order;
  if (!second || !Access()) return;
  const int order = TableGetIndex(l.table) == 1 ? second : 1;
  set_view_order(l.view, order);
  TableSetIndex(l.table, order);
  l.search_column = SearchColumn(l.view, order);
  PlaceSearchField(l);
  DrawSearchField(l);
  Fill(l);
  Release();
}

// Runs a button; 1 when it closes the list.
int RunButton(LIST& l, int button, bool shifted) {
  int closes = 0;
  switch (button) {
    case kBtnOk: closes = 1; break;
    case kBtnAdd: Add(l, shifted); break;
    case kBtnEdit: Edit(l); break;
    case kBtnDelete: Delete(l); break;
    case kBtnSearch: FillAfterSearch(l, record_search(l.view)); break;
    case kBtnOrder: SwitchOrder(l); break;
    default: break;
  }
  if (!closes) dlg_set_focus(l.bar, kBtnOk, true);
  return closes;
}

void UpdateStatus(LIST& l) {
  const bool empty = TableEmpty(l);
  char text[96] = "";
  if (!empty) record_summary(l.view, text, sizeof text);
  status_line(1, "%s", text);
  for (int b : {kBtnEdit, kBtnDelete})
    if (static_cast<bool>(l.bar[b].state & kStateDisabled) != empty)
      dlg_set_state(l.bar, b, kStateDisabled, empty, true);
}

void Navigate(LIST& l, const KeyEvent& ev) {
  if (!Access()) return;
  const bool shift = ev.shift & kShiftShift, ctrl = ev.shift & kShiftCtrl;
  switch (ev.scan) {
    case kScanDown: Down(l); break;
    case kScanUp: Up(l); break;
    case kScanPgDn:
      Move(l.table, shift ? 100 : ctrl ? 1000 : std::max(l.shown - 1 - l.row, 0));
      Fill(l);
      break;
    case kScanPgUp:
      Move(l.table, shift ? -100 : ctrl ? -1000 : -(kRows - 1 + l.row));
      Fill(l);
      break;
    case kScanHome:
      TableFirst(l.table);
      Fill(l);
      break;
    case kScanEnd:
      TableLast(l.table);
      Fill(l);
      break;
    default: break;
  }
  Release();
}

bool IsCtrlB(const KeyEvent& ev) {
  return ev.ch == 2 ||
         ((ev.shift & kShiftCtrl) && !(ev.shift & kShiftAlt) && to_lower(ev.ch) == 'b');
}

// Acts on one key; 1 closes with " &Ok ", -1 closes with Esc or Ctrl+F4, 0 carries on.
int Key(LIST& l, const KeyEvent& ev) {
  const bool alt_only = key_has_alt_only(ev);
  const bool typed =
      ev.ch >= 32 && !alt_only && !(ev.shift & kShiftCtrl && !(ev.shift & kShiftAlt));
  const bool backspace = ev.ch == 8 || key_is_scan(ev, kScanBackspace);
  if (!typed && !backspace && l.search_text[0]) {
    l.search_text[0] = '\0';
    DrawSearchField(l);
  }
  if (key_is_esc(ev) || key_is_ctrl_f4(ev)) return -1;
  if (ev.ch == 0) {
    switch (ev.scan) {
      case kScanDown:
      case kScanUp:
      case kScanPgDn:
      case kScanPgUp:
      case kScanHome:
      case kScanEnd: Navigate(l, ev); return 0;
      case kScanLeft: dlg_previous(l.bar, true); return 0;
      case kScanRight: dlg_next(l.bar, true); return 0;
      case kScanIns: Add(l, ev.shift & kShiftShift); return 0;
      case kScanF2: Edit(l); return 0;
      case kScanDel: Delete(l); return 0;
      case kScanF1: record_list_help(); return 0;
      case kScanF7:
        if (ev.shift & kShiftShift) FillAfterSearch(l, search_again(l.view, kSearchForward));
        else if (ev.shift & kShiftCtrl) FillAfterSearch(l, search_again(l.view, kSearchBackward));
        else FillAfterSearch(l, record_search(l.view));
        return 0;
      case kScanF8:
        if (l.view == kViewGoods && !TableEmpty(l)) {
          wait_window(0);
          run_record_command(l.view, kRecordRecomputeStock, 0);
          wait_window(2);
          if (Access()) {
            Fill(l);
            Release();
          }
        }
        return 0;
      case kScanF9:
        if (l.view == kViewGoods && !TableEmpty(l))
          run_record_command(l.view, kRecordPrintLabel, 0);
        return 0;
      default: return 0;
    }
  }
  if (key_is_tab(ev)) {
    if (ev.shift & kShiftShift) dlg_previous(l.bar, true);
    else dlg_next(l.bar, true);
    return 0;
  }
  if (key_is_enter(ev)) {
    const int f = dlg_focused(l.bar);
    return f > 0 && RunButton(l, f, ev.shift & kShiftShift) ? 1 : 0;
  }
  if (IsCtrlB(ev)) {
    if (l.view == kViewGoods) FillAfterSearch(l, run_record_command(l.view, kRecordFindBarcode, 0));
    else not_supported();
    return 0;
  }
  if (alt_only) {
    const int h = dlg_hot_control(l.bar, ev.ch);
    if (h > 0) {
      dlg_set_focus(l.bar, h, true);
      return RunButton(l, h, ev.shift & kShiftShift) ? 1 : 0;
    }
    return 0;
  }
  if (backspace) {
    const size_t len = std::strlen(l.search_text);
    if (len) l.search_text[len - 1] = '\0';
    DrawSearchField(l);
    return 0;
  }
  if (typed) QuickSearch(l, ev.ch);
  return 0;
}

}  // namespace

int record_list(int view) {
  if (view < 0 || view >= kViewCount || !record_view(view) || !TableIsOpen(view)) return -1;
  if (!Access()) return -1;
  LIST l;
  l.view = view;
  l.table = view;
  const long before = TableRecNo(l.table);
  const int old_index = TableGetIndex(l.table);
  const int old_order = view_order(view);
  TableSetIndex(l.table, old_order);
  if (before < 0) TableFirst(l.table);
  Build(l);
  if (dlg_open(l.dlg) != 0) {
    TableSetIndex(l.table, old_index);
    Release();
    return -1;
  }
  dlg_draw(l.bar, 0);
  Fill(l);
  status_line(0);
  Release();

  int result = 0;
  for (;;) {
    // An empty table has no row to highlight: the structures hold whatever was read last.
    const bool empty = TableEmpty(l);
    UpdateStatus(l);
    if (!empty) DrawRow(l, l.row, true);
    const ControlRecord& f = l.dlg[kRecSearch];
    set_cursor(dlg_abs_x(l.dlg, kRecSearch) +
                   std::min<int>(static_cast<int>(std::strlen(l.search_text)), f.width - 1),
               dlg_abs_y(l.dlg, kRecSearch));
    show_cursor();
    KeyEvent ev;
    read_key(&ev);
    hide_cursor();
    if (!empty) DrawRow(l, l.row, false);
    const int r = Key(l, ev);
    if (r != 0) {
      result = r > 0 ? 0 : -1;
      break;
    }
  }

  status_line(2);
  window_close();
  // " &Ok " on an empty table chose nothing; callers must not take the empty structure.
  if (result == 0 && TableRecNo(l.table) < 0) result = -1;
  const bool got_access = Access();
  if (result != 0 && before >= 0) TableGo(l.table, before);
  // The main screen keeps this view's order; a list opened from elsewhere gives the table back
  // in the order it had.
  TableSetIndex(l.table, old_index == old_order ? view_order(view) : old_index);
  Prepare(view);
  if (got_access) Release();
  return result;
}

void record_list_help() {
  static const char* const kLeft =
      "[Lewo], [Prawo], [Enter],\n"
      "[Alt+litera] : Wybór polecenia\n"
      "\n"
      "[Home]       : Pierwszy rekord\n"
      "[End]        : Ostatni rekord\n"
      "[Góra]       : Poprzedni rekord\n"
      "[Dół]        : Następny rekord\n"
      "[PgUp]       : Strona w górę\n"
      "[PgDn]       : Strona w dół\n"
      "[Shift+PgUp] : 100 rekordów w górę\n"
      "[Shift+PgDn] : 100 rekordów w dół\n"
      "[Ctrl+PgUp]  : 1000 rekordów w górę\n"
      "[Ctrl+PgDn]  : 1000 rekordów w dół"_pl;
  static const char* const kRight =
      "[Litery]   : Szybkie wyszukanie\n"
      "\n"
      "[F7]       : Wyszukanie tekstu\n"
      "[Shift+F7] : Wyszukanie ponowne\n"
      "\n"
      "[Ins]      : Dodanie rekordu\n"
      "[F2]       : Edycja rekordu\n"
      "[Del]      : Usunięcie rekordu\n"
      "\n"
      "[Esc]      : Wyjście"_pl;
  ControlRecord dlg[5];
  dlg_frame(dlg, 0, 0, 0, 74, 15, "POMOC - KLAWISZE SKRÓTU"_pl);
  dlg_center(dlg);
  dlg_label(dlg, 1, 3, 1, kLeft);
  dlg_label(dlg, 2, 40, 1, kRight);
  dlg_button(dlg, 3, 53, 13, " &Ok ");
  dlg_end(dlg, 4);
  dlg_run(dlg, 3, nullptr);
}
