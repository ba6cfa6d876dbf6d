#include "shell/main_window.h"

#include "business/contractor_form.h"
#include "business/goods_form.h"
#include "business/transaction_form.h"
#include "common/text.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "shell/main_menu.h"
#include "ui/message_box.h"
#include "ui/record_list.h"
#include "ui/screen.h"

namespace {

void ShowValues(int view) {
  switch (view) {
    case kViewGroups: group_form_show(); break;
    case kViewGoods: goods_form_show(); break;
    case kViewContractors: contractor_form_show(); break;
    case kViewTransactions: transaction_form_show(); break;
    default: break;
  }
}

}  // namespace

ControlRecord* view_form(int view) {
  switch (view) {
    case kViewGroups: return group_form();
    case kViewGoods: return goods_form();
    case kViewContractors: return contractor_form();
    case kViewTransactions: return transaction_form();
    default: return nullptr;
  }
}

void main_screen_draw() {
  static ControlRecord frame[5];
  dlg_control(frame, 0, kKindFill, 0, 0, ControlData{nullptr}, 0, 0, kScreenColumns, kScreenRows,
              6);
  frame[0].data.value = ' ';
  dlg_fill(frame, 1, 0, 0, kScreenColumns, 1, ' ', 5);
  dlg_fill(frame, 2, 0, kScreenRows - 1, kScreenColumns, 1, ' ', 5);
  dlg_control(frame, 3, kKindText, 0, 0, ControlData{"&F&1 Pomoc"}, 1, kScreenRows - 1, 0, 1, 5);
  dlg_end(frame, 4);
  dlg_draw(frame, 0);
  MenuBar* menu = main_menu();
  menu_layout(menu, 0, 0, kScreenColumns, 1);
  menu_draw(menu);
}

void show_current_record() {
  if (current_view() >= 0) ShowValues(current_view());
}

void redraw_main_screen() {
  main_screen_draw();
  if (current_view() < 0) return;
  dlg_draw(view_form(current_view()), 0);
  show_current_record();
}

int show_view(int n) {
  if (n < 0 || n >= kViewCount || n == current_view()) return -1;
  if (LockAllTables(false) != 0) return -1;
  set_current_view(n);
  for (int t = 0; t < kTableCount; ++t)
    if (TableIsOpen(t)) TableSetIndex(t, t == n ? view_order(n) : 0);
  ControlRecord* form = view_form(n);
  form[0].x = 0;
  form[0].y = 1;
  form[0].width = kScreenColumns;
  form[0].height = kScreenRows - 2;
  dlg_draw(form, 0);
  ShowValues(n);
  UnlockAllTables();
  return 0;
}

int move_record(RecordMove how, long count) {
  if (current_view() < 0 || !TableIsOpen(current_view())) return -1;
  if (LockAllTables(false) != 0) return -1;
  const int t = current_view();
  int r = 0;
  switch (how) {
    case kMoveFirst: r = TableFirst(t); break;
    case kMoveLast: r = TableLast(t); break;
    case kMoveForward:
    case kMoveBack:
      if (TableRecNo(t) < 0) {
        r = -1;
        break;
      }
      for (long k = 0; k < count; ++k)
        if ((how == kMoveForward ? TableNext(t) : TablePrev(t)) != 0) break;
      break;
  }
  ShowValues(t);
  UnlockAllTables();
  return r == 0 ? 0 : -1;
}

bool confirm_exit() { return message_box(1, "%s", "Koniec programu?\t &Tak \t &Nie ") == 1; }

int main_loop() {
  for (;;) {
    update_menu_states(current_view());
    KeyEvent ev;
    read_key(&ev);
    int bar = -1, item = -1;
    KeyEvent leaving{};
    if (menu_session(main_menu(), ev, &bar, &item, &leaving)) {
      if (bar > 0 && item > 0 && main_command(bar, item)) return 0;
      if (leaving.ch || leaving.scan) {
        if (main_key(leaving)) return 0;
      }
    } else if (main_key(ev)) {
      return 0;
    }
  }
}

void ResetMainWindow() {
  set_current_view(-1);
  ResetMainMenu();
}
