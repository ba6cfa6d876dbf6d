// The commands of the main screen: the menu table and the key table lead here.
#include <cstring>

#include "business/contractor_parent.h"
#include "business/goods_numbering.h"
#include "business/maintenance_commands.h"
#include "business/options_dialogs.h"
#include "business/price_calculation.h"
#include "business/price_change.h"
#include "common/codepage.h"
#include "common/text.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "devices/device_dialogs.h"
#include "devices/fiscal_register.h"
#include "devices/label/label_printer.h"
#include "devices/scanner/ean_scanner.h"
#include "reports/reports_menu.h"
#include "shell/main_menu.h"
#include "shell/main_window.h"
#include "shell/maintenance_menu.h"
#include "shell/settings_dialogs.h"
#include "ui/document/doc_viewer.h"
#include "ui/document/printing.h"
#include "ui/feedback.h"
#include "ui/keys.h"
#include "ui/message_box.h"
#include "ui/number_options.h"
#include "ui/record_list.h"
#include "ui/record_search.h"
#include "ui/screen_options.h"

namespace {

bool HasCurrentRecord(int view) { return view >= 0 && TableIsOpen(view) && TableRecNo(view) >= 0; }

// After a command has run, the form shows what is now current.
void Refresh() { show_current_record(); }

// Add, edit and delete belong to the record forms; without them the command says so.
void RecordAdd(bool prefilled) {
  const int v = current_view();
  if (!record_command(v, kRecordAdd)) return not_supported();
  run_record_command(v, kRecordAdd, prefilled ? 1 : 0);
  Refresh();
}

void RecordEdit() {
  const int v = current_view();
  if (!HasCurrentRecord(v)) return;
  if (!record_command(v, kRecordEdit)) return not_supported();
  if (LockAllTables(false) != 0) return;
  const int here = RereadCurrent(v);
  UnlockAllTables();
  if (here == kTableEnd) {
    deleted_meanwhile(v);
  } else if (here == 0) {
    run_record_command(v, kRecordEdit, 0);
  }
  Refresh();
}

void RecordDelete() {
  const int v = current_view();
  if (!HasCurrentRecord(v)) return;
  if (!record_command(v, kRecordDelete)) return not_supported();
  if (message_box(1, "%s", "Usunąć ten rekord?\t &Nie \t &Tak "_pl) != 2) return;
  run_record_command(v, kRecordDelete, 0);
  Refresh();
}

void List() {
  if (current_view() < 0) return;
  record_list(current_view());
  Refresh();
}

void Search(int how) {
  const int v = current_view();
  if (!HasCurrentRecord(v)) return;
  int r = how == 0 ? record_search(v) : search_again(v, how);
  (void)r;
  Refresh();
}

// Takes the access, reads the view's table and its related tables again from the files so that
// changes of other workstations show.
void RereadView() {
  const int v = current_view();
  if (v < 0 || LockAllTables(false) != 0) return;
  for (int k = 0; k < TABLE_INFO[v].related_count; ++k) {
    const int t = TABLE_INFO[v].related[k];
    if (t >= 0 && TableRecNo(t) >= 0) TableReread(t);
  }
  // A record gone meanwhile gives way to the first one; one that cannot be read stays.
  if (TableRecNo(v) >= 0 && RereadCurrent(v) == kTableEnd) TableFirst(v);
  show_current_record();
  UnlockAllTables();
}

void PrintLabel() {
  if (!record_command(kViewGoods, kRecordPrintLabel)) return not_supported();
  if (!HasCurrentRecord(kViewGoods)) return;
  if (current_view() != kViewGoods && record_list(kViewGoods) != 0) return;
  run_record_command(kViewGoods, kRecordPrintLabel, 0);
  Refresh();
}

void RecomputeStock() {
  if (current_view() != kViewGoods) return not_supported();
  if (!record_command(kViewGoods, kRecordRecomputeStock)) return not_supported();
  wait_window(0);
  run_record_command(kViewGoods, kRecordRecomputeStock, 0);
  wait_window(2);
  Refresh();
}

// The goods tools work on the goods table's current goods (price calculation), on goods chosen in
// their dialogs (price change, numbering); afterwards the form shows the goods as stored.
void GoodsTool(int (*tool)()) {
  if (!HasCurrentRecord(kViewGoods)) return;
  tool();
  Refresh();
}

void FindBarcode() {
  if (current_view() != kViewGoods) return not_supported();
  run_record_command(kViewGoods, kRecordFindBarcode, 0);
  Refresh();
}

// Key P: the fiscal receipt of the current transaction, in the transactions view only.
void FiscalReceipt() {
  if (current_view() != kViewTransactions) return not_supported();
  if (!HasCurrentRecord(kViewTransactions)) return;
  run_record_command(kViewTransactions, kRecordFiscalReceipt, 0);
  Refresh();
}

// Key N: the fiscal cash register; what it read shows in the view afterwards.
void CashRegister() {
  FiscalRegisterMenu();
  Refresh();
}

// F, M, S, K: the documents of the current transaction, in the transactions view only.
void TransactionDocument(RecordCommand which) {
  if (current_view() != kViewTransactions) return not_supported();
  if (!HasCurrentRecord(kViewTransactions)) return;
  run_record_command(kViewTransactions, which, 0);
  Refresh();
}

// L: a transfer order, for the current transaction when the transactions view shows one.
void TransferOrder() {
  const bool transaction =
      current_view() == kViewTransactions && HasCurrentRecord(kViewTransactions);
  run_record_command(kViewTransactions, kRecordTransferOrder, transaction ? 1 : 0);
  Refresh();
}

// R: the collective reports; the view shows what is current afterwards.
void Reports() {
  reports_menu();
  Refresh();
}

int Network() {
  bool reopened = false;
  const int r = network_dialog(&reopened);
  if (r != 0) return r;
  if (reopened) {
    // The tables were opened anew: every view takes its place again.
    const int v = current_view();
    ResetMainWindow();
    for (int t = 0; t < kTableCount; ++t)
      if (TableIsOpen(t)) {
        TableSetIndex(t, TABLE_INFO[t].default_index);
        if (t == kTableTransactions ? TableLast(t) : TableFirst(t)) TableGo(t, -1);
      }
    main_screen_draw();
    show_view(v < 0 ? kViewTransactions : v);
  }
  return 0;
}

}  // namespace

int main_command(int bar, int item) {
  switch (bar) {
    case kBarFile:
      if (item >= 1 && item <= 4) show_view(item - 1);
      if (item == 6) return confirm_exit() ? 1 : 0;
      return 0;
    case kBarRecord:
      if (item == 1) RecordAdd(false);
      if (item == 2) RecordEdit();
      if (item == 3) RecordDelete();
      return 0;
    case kBarSearch:
      switch (item) {
        case 1: move_record(kMoveFirst, 0); break;
        case 2: move_record(kMoveForward, 1); break;
        case 3: move_record(kMoveBack, 1); break;
        case 4: move_record(kMoveLast, 0); break;
        case 6: List(); break;
        case 8: Search(0); break;
        case 9: Search(kSearchForward); break;
        case 10: Search(kSearchBackward); break;
        default: break;
      }
      return 0;
    case kBarDocuments:
      if (item == 1) TransactionDocument(kRecordDocuments);
      else if (item == 2) Reports();
      else not_supported();
      return 0;
    case kBarTools:
      if (is_maintenance_item(item)) return maintenance_command(item);
      if (item == 1) CashRegister();
      else if (item == 3) GoodsTool(calculate_current_goods_price);
      else if (item == 4) GoodsTool(price_change_dialog);
      else if (item == 5) GoodsTool(goods_numbering_dialog);
      else if (item == 6) PrintLabel();
      else not_supported();
      return 0;
    case kBarOptions:
      switch (item) {
        case 1:
          if (screen_options() == 0) redraw_main_screen();
          return 0;
        case 2: printer_options(); return 0;
        case 3: label_printer_options(); return 0;
        case 4: fiscal_printer_options(); return 0;
        case 5: fiscal_register_options(); return 0;
        case 6: scanner_options(); return 0;
        case 7: return Network();
        case 8: archive_options_dialog(); return 0;
        case 9:
          if (number_format_options() == 0) redraw_main_screen();
          return 0;
        case 10: passwords_dialog(); return 0;
        case 11: user_rights_dialog(); return 0;
        case 12:
          // The precisions change what the form and the lists show.
          if (rounding_options_dialog() == 0) redraw_main_screen();
          return 0;
        case 13: service_options_dialog(); return 0;
        case 14: warnings_options_dialog(); return 0;
        case 15: document_options_dialog(); return 0;
        case 16: parent_company_dialog(); return 0;
        default: not_supported(); return 0;
      }
    case kBarHelp:
      if (item == 1) main_help_box();
      else if (item == 2) show_manual();
      else if (item == 4) info_box();
      else not_supported();
      return 0;
    default: not_supported(); return 0;
  }
}

int main_key(const KeyEvent& ev) {
  if (key_is_ctrl_f4(ev) || key_is_alt_f4(ev)) return 1;
  if (key_is_esc(ev)) return confirm_exit() ? 1 : 0;
  const bool shift = (ev.shift & kShiftShift) != 0;
  const bool ctrl = (ev.shift & kShiftCtrl) != 0;
  if (ev.ch == 0) {
    switch (ev.scan) {
      case kScanIns: RecordAdd(shift); break;
      case kScanF2: RecordEdit(); break;
      case kScanDel: RecordDelete(); break;
      case kScanHome: move_record(kMoveFirst, 0); break;
      case kScanEnd: move_record(kMoveLast, 0); break;
      case kScanUp: move_record(kMoveBack, 1); break;
      case kScanDown: move_record(kMoveForward, 1); break;
      case kScanPgUp: move_record(kMoveBack, ctrl ? 1000 : shift ? 100 : 10); break;
      case kScanPgDn: move_record(kMoveForward, ctrl ? 1000 : shift ? 100 : 10); break;
      case kScanF7: Search(ctrl ? kSearchBackward : shift ? kSearchForward : 0); break;
      case kScanF8: RecomputeStock(); break;
      case kScanF9: PrintLabel(); break;
      case kScanF1:
        if (ctrl) show_manual();
        else main_help_box();
        break;
      default: break;
    }
    return 0;
  }
  if (ev.ch == 2 && ctrl) {  // Ctrl+B
    FindBarcode();
    return 0;
  }
  if (ev.shift & kShiftAlt) return 0;
  switch (to_lower(ev.ch)) {
    case '1':
    case '2':
    case '3':
    case '4': show_view(ev.ch - '1'); break;
    case 'd': RecordAdd(shift || ev.ch == 'D'); break;
    case 'e': RecordEdit(); break;
    case 'u': RecordDelete(); break;
    case 'w': List(); break;
    case ' ': RereadView(); break;
    case 'i': info_box(); break;
    case 'p': FiscalReceipt(); break;
    case 'n': CashRegister(); break;
    case 'a': return backup_command();
    case 'f': TransactionDocument(kRecordSalesDocument); break;
    case 'm': TransactionDocument(kRecordWarehouseDocument); break;
    case 's': TransactionDocument(kRecordCashDocument); break;
    case 'k': TransactionDocument(kRecordDocuments); break;
    case 'l': TransferOrder(); break;
    case 'c': GoodsTool(calculate_current_goods_price); break;
    case 'r': Reports(); break;
    default: break;
  }
  return 0;
}
