// The view search menus, the text search dialog and the search loop with its counter window.
#include "ui/record_search.h"

#include <cstdio>
#include <cstring>

#include "common/text.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "ui/controls.h"
#include "ui/dialog.h"
#include "ui/message_box.h"
#include "ui/pick_list.h"
#include "ui/record_list.h"
#include "ui/screen.h"

namespace {

SEARCH_STATE g_search = {};

// Where the search starts and which way it goes.
enum Start { kFromFirst, kFromNext, kFromPrevious, kFromLast };

struct SEARCH_MENU {
  const char* title;
  const char* items[4];
};

const SEARCH_MENU kMenus[kViewCount] = {
    {nullptr, {nullptr}},
    {"WYSZUKANIE TOWARU",
     {" Wg &numeru          ", " Wg &kodu kreskowego ", " &Tekstu             ", nullptr}},
    {"WYSZUKANIE KONTRAHENTA", {" Wg &NIP               ", " &Tekstu               ", nullptr}},
    {"WYSZUKANIE TRANSAKCJI",
     {" Wg dokumentu &magazynowego ", " Wg dokumentu &sprzedaży    "_pl,
      " &Tekstu                    ", nullptr}},
};

int MenuItems(int view) {
  int n = 0;
  while (n < 3 && kMenus[view].items[n]) ++n;
  return n;
}

// The dialog; false when cancelled.
bool AskText(Start* start) {
  char text[51];
  std::snprintf(text, sizeof text, "%s", g_search.text);
  FieldDescriptor field;
  make_descriptor(&field, 'C', 50, 0, text);
  ControlRecord dlg[11];
  dlg_frame(dlg, 0, 0, 0, 57, 10, "WYSZUKANIE TEKSTU");
  dlg_center(dlg);
  dlg_label(dlg, 1, 3, 1, "&Tekst do wyszukania:");
  dlg_field(dlg, 2, 3, 2, 51, 1, &field);
  dlg_check(dlg, 3, 3, 4, "Uwzględniaj wielkość &liter "_pl, g_search.match_case);
  dlg_check(dlg, 4, 3, 5, "Znajdź tylko całe &wyrazy   "_pl, g_search.whole_words);
  dlg_check(dlg, 5, 3, 6, "Pomiń powiązane pli&ki      "_pl, g_search.skip_related);
  dlg_button(dlg, 6, 7, 8, " &Pierwszy ");
  dlg_button(dlg, 7, 18, 8, " &Następny "_pl);
  dlg_button(dlg, 8, 29, 8, " Pop&rzedni ");
  dlg_button(dlg, 9, 41, 8, " &Ostatni ");
  dlg_end(dlg, 10);
  const int r = dlg_run(dlg, 2, nullptr);
  if (r < 6) return false;
  std::snprintf(g_search.text, sizeof g_search.text, "%s", text);
  g_search.match_case = dlg_checked(dlg, 3);
  g_search.whole_words = dlg_checked(dlg, 4);
  g_search.skip_related = dlg_checked(dlg, 5);
  *start = static_cast<Start>(r - 6);
  return true;
}

// The examined-records counter, "WYSZUKIWANIE".
struct COUNTER {
  ControlRecord dlg[4];
  FieldDescriptor field;
  AMOUNT count;
  bool open = false;

  void Open() {
    make_descriptor(&field, 'N', 9, 0, &count);
    dlg_frame(dlg, 0, 0, 0, 22, 3, "WYSZUKIWANIE");
    dlg_center(dlg);
    dlg_label(dlg, 1, 3, 1, "Rekord");
    ControlData data;
    data.field = &field;
    dlg_control(dlg, 2, kKindField, 0, 0, data, 10, 1, 9, 1, 11);
    dlg_end(dlg, 3);
    open = dlg_open(dlg) == 0;
  }
  void Count() {
    count = count + AMOUNT::FromInt(1);
    if (open) dlg_draw_control(dlg, 2);
  }
  void Close() {
    if (open) window_close();
    open = false;
  }
};

int Step(int table, int way) { return way > 0 ? TableNext(table) : TablePrev(table); }

int Search(int view, Start start) {
  const int table = view;
  if (TableRecNo(table) < 0) return -1;
  if (!g_search.text[0]) {
    beep();
    return -1;
  }
  if (LockAllTables(false) != 0) return -1;
  const long remembered = TableRecNo(table);
  COUNTER counter;
  counter.Open();
  const int way = start == kFromFirst || start == kFromNext ? 1 : -1;
  int rc = 0;
  switch (start) {
    case kFromFirst: rc = TableFirst(table); break;
    case kFromNext: rc = TableNext(table); break;
    case kFromPrevious: rc = TablePrev(table); break;
    case kFromLast: rc = TableLast(table); break;
  }
  bool found = false, aborted = false;
  while (rc == 0) {
    counter.Count();
    if (ask_abort()) {
      aborted = true;
      break;
    }
    if (record_matches(view, g_search.text, g_search.match_case, g_search.whole_words,
                       g_search.skip_related)) {
      found = true;
      break;
    }
    rc = Step(table, way);
  }
  counter.Close();
  if (!found) TableGo(table, remembered);
  load_related(view);
  UnlockAllTables();
  // A walk that failed was reported: it found nothing, it did not look everywhere.
  if (!found && !aborted && rc != -1) message("Tekst \"%.40s\" nieznaleziony.", g_search.text);
  return found ? 0 : -1;
}

}  // namespace

SEARCH_STATE& search_state() { return g_search; }

void ResetRecordSearch() { g_search = SEARCH_STATE{}; }

int text_search(int view, int mode) {
  if (view < 0 || view >= kViewCount || !TableIsOpen(view)) return -1;
  Start start = kFromNext;
  if (mode == kTextSearchAsk) {
    if (!AskText(&start)) return -1;
  } else if (mode == kTextSearchPrevious) {
    start = kFromPrevious;
  } else if (mode != kTextSearchNext) {
    return -1;
  }
  return Search(view, start);
}

int search_again(int view, int direction) {
  return text_search(view, direction < 0 ? kTextSearchPrevious : kTextSearchNext);
}

int record_search(int view) {
  if (view < 0 || view >= kViewCount) return -1;
  const int n = MenuItems(view);
  if (n == 0) return text_search(view, kTextSearchAsk);
  const int choice =
      menu_list(kMenus[view].items, g_search.menu_choice[view], kMenus[view].title, -1, -1);
  if (choice < 0) return -1;
  g_search.menu_choice[view] = choice;
  if (choice == n - 1) return text_search(view, kTextSearchAsk);
  return run_record_command(view, choice == 0 ? kRecordFind1 : kRecordFind2, 0);
}
