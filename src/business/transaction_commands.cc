#include "business/transaction_commands.h"

#include <cstdio>
#include <cstring>

#include "business/contractor_form.h"
#include "business/document_kinds.h"
#include "business/form_edit.h"
#include "business/options.h"
#include "business/position_store.h"
#include "business/position_values.h"
#include "business/read_access.h"
#include "business/record_lookup.h"
#include "business/rights.h"
#include "business/transaction_edit.h"
#include "business/transaction_store.h"
#include "business/vat.h"
#include "common/date.h"
#include "common/text.h"
#include "db/records.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "ui/dialog.h"
#include "ui/message_box.h"
#include "ui/pick_list.h"
#include "ui/record_list.h"

namespace {

constexpr int kTransactionsByDate = 1;

// ---- the searches ----

struct SEARCH {
  bool used = false;
  char kind = 'S';
  DATE date = 0;
  int document = 0;
  char number[21] = "";
};
SEARCH g_searches[2];  // by warehouse document, by sales document

struct SEARCH_FORM {
  SEARCH* s;
  bool sales;
  char kind_name[9];
  char document_name[29];
  char code[3];
};
SEARCH_FORM g_search;

enum { kSearchKind = 2, kSearchDate = 4, kSearchDocument = 6, kSearchNumber = 9, kSearchOk = 10 };

const int kIncomeWarehouse[] = {0, 1, 2, 3};
const int kExpenseWarehouse[] = {0, 4, 5, 6};

void ShowSearch(ControlRecord* d, bool redraw) {
  SEARCH& s = *g_search.s;
  std::snprintf(g_search.kind_name, sizeof g_search.kind_name, "%s", TransactionKindName(s.kind));
  std::snprintf(g_search.document_name, sizeof g_search.document_name, "%s",
                DOCUMENT_KINDS[s.document].name);
  std::snprintf(g_search.code, sizeof g_search.code, "%s", DOCUMENT_KINDS[s.document].code);
  if (s.document == 0) s.number[0] = 0;
  dlg_set_state(d, kSearchNumber, kStateDisabled, s.document == 0, false);
  if (redraw)
    for (int i = 1; d[i].kind != kKindEnd; ++i)
      if (d[i].kind == kKindField) dlg_draw_control(d, i);
}

int SearchCallback(ControlRecord* d, int code) {
  SEARCH& s = *g_search.s;
  const int x = code >= 0 ? dlg_abs_x(d, code) + d[code].width + 1 : 0;
  const int y = code >= 0 ? dlg_abs_y(d, code) : 0;
  if (code == kSearchKind) {
    static const char* const kItems[] = {" &przychód "_pl, " &rozchód  "_pl, nullptr};
    const int r = menu_list(kItems, s.kind == 'D' ? 0 : 1, nullptr, x, y);
    if (r >= 0 && (r == 0 ? 'D' : 'S') != s.kind) {
      s.kind = r == 0 ? 'D' : 'S';
      // A warehouse document belongs to its kind.
      if (!g_search.sales) s.document = 0;
    }
  } else if (code == kSearchDocument) {
    static const char* const kIncome[] = {
        " &Brak dokumentu               ", " Dowód przyjęcia &zewnętrznego "_pl,
        " Dowód przyjęcia &wewnętrznego "_pl, " Dowód przyjęcia z &magazynu   "_pl, nullptr};
    static const char* const kExpense[] = {
        " &Brak dokumentu               ", " Dowód wydania &zewnętrznego   "_pl,
        " Dowód wydania &wewnętrznego   "_pl, " Dowód wydania do &magazynu    "_pl, nullptr};
    const char* const* items =
        g_search.sales ? CONTRACTOR_DOCUMENT_ITEMS : (s.kind == 'D' ? kIncome : kExpense);
    const int* kinds = g_search.sales ? CONTRACTOR_DOCUMENTS
                                      : (s.kind == 'D' ? kIncomeWarehouse : kExpenseWarehouse);
    const int count = g_search.sales ? kContractorDocumentCount : 4;
    int pre = 0;
    for (int k = 0; k < count; ++k)
      if (kinds[k] == s.document) pre = k;
    const int r = menu_list(items, pre, nullptr, x, y);
    if (r >= 0) s.document = kinds[r];
  } else {
    return -1;
  }
  ShowSearch(d, true);
  return -1;
}

int FindTransaction(bool sales) {
  const int t = kTableTransactions;
  if (!TableIsOpen(t)) return -1;
  SEARCH& s = g_searches[sales ? 1 : 0];
  if (!s.used) {
    s.used = true;
    s.date = DateToday();
  }
  SEARCH edit = s;
  g_search.s = &edit;
  g_search.sales = sales;
  FieldDescriptor f_kind, f_date, f_document, f_code, f_number;
  make_descriptor(&f_kind, 'C', 8, 0, g_search.kind_name);
  make_descriptor(&f_date, 'D', 10, 0, &edit.date);
  make_descriptor(&f_document, 'C', 28, 0, g_search.document_name);
  make_descriptor(&f_code, 'C', 2, 0, g_search.code);
  make_descriptor(&f_number, 'C', 17, 0, edit.number);
  ControlRecord d[12];
  dlg_frame(d, 0, 0, 0, 70, 6,
            sales ? "WYSZUKANIE TRANSAKCJI WG DOKUMENTU SPRZEDAŻY"_pl
                  : "WYSZUKANIE TRANSAKCJI WG DOKUMENTU MAGAZYNOWEGO");
  dlg_center(d);
  dlg_label(d, 1, 5, 1, "&Rodzaj:");
  dlg_choice(d, kSearchKind, 14, 1, 8, 1, &f_kind);
  dlg_label(d, 3, 24, 1, "&Data:");
  dlg_field(d, kSearchDate, 31, 1, 10, 1, &f_date);
  dlg_label(d, 5, 3, 2, "Doku&ment:");
  dlg_choice(d, kSearchDocument, 14, 2, 28, 1, &f_document);
  dlg_label(d, 7, 43, 2, "&Nr:");
  dlg_field(d, 8, 48, 2, 2, 1, &f_code);
  d[8].options = 0;
  dlg_field(d, kSearchNumber, 51, 2, 17, 1, &f_number);
  dlg_button(d, kSearchOk, 32, 4, " &Ok ");
  dlg_end(d, 11);
  ShowSearch(d, false);
  if (dlg_run(d, kSearchKind, SearchCallback) != kSearchOk) return -1;
  s = edit;
  const DateParts day = DateToYmd(s.date);
  char key[40];
  int index;
  if (s.document != 0 || s.number[0]) {
    char digits[21];
    DocumentDigitsKey(s.number, digits);
    std::snprintf(key, sizeof key, "%04u%c%-2s%20s", day.year, s.kind,
                  DOCUMENT_KINDS[s.document].code, digits);
    index = sales ? 3 : 4;
  } else {
    std::snprintf(key, sizeof key, "%04u%02u%02u%c", day.year, day.month, day.day, s.kind);
    index = kTransactionsByDate;
  }
  READ_ACCESS access;
  if (!access) return -1;
  const long was = TableRecNo(t);
  const int order = TableGetIndex(t);
  int rc = TableSetIndex(t, index);
  if (rc == 0) rc = TableSeek(t, key);
  if (rc != 0) TableGo(t, was);
  TableSetIndex(t, order);
  return rc == 0 ? 0 : -1;
}

// ---- the record commands ----

int AddCommand(int view, int) {
  return transaction_form_edit(kTransactionAdd, form_edit_in_place(view));
}
int EditCommand(int view, int) {
  return transaction_form_edit(kTransactionEdit, form_edit_in_place(view));
}
int DeleteCommand(int, int) { return DeleteCurrentTransaction(); }
int ByWarehouse(int, int) { return FindTransactionByWarehouseDocument(); }
int BySales(int, int) { return FindTransactionBySalesDocument(); }

FiscalReceiptPrinterFn g_printer = nullptr;

}  // namespace

void RegisterTransactionCommands() {
  set_record_command(kViewTransactions, kRecordAdd, AddCommand);
  set_record_command(kViewTransactions, kRecordEdit, EditCommand);
  set_record_command(kViewTransactions, kRecordDelete, DeleteCommand);
  set_record_command(kViewTransactions, kRecordFind1, ByWarehouse);
  set_record_command(kViewTransactions, kRecordFind2, BySales);
}

int FindTransactionByWarehouseDocument() { return FindTransaction(false); }
int FindTransactionBySalesDocument() { return FindTransaction(true); }

int DeleteCurrentTransaction() {
  const int t = kTableTransactions;
  if (TableRecNo(t) < 0) return -1;
  if (LockAllTables(true) != 0) return -1;
  bool deleted = false;
  int rc = TableReread(t);
  if (rc == 0) rc = TableIsDeleted(t, &deleted) == 0 ? 0 : -1;
  if (rc == 0 && deleted) {
    deleted_meanwhile(t);
    rc = -1;
  }
  const TRA_RECORD doomed = Tra;
  // Deleting changes the past as much as editing does: the same rights guard it.
  if (rc == 0 && doomed.RODZAJ[0] == 'D' && CheckRights(kRightPurchaseTransactions, true) != 0)
    rc = -1;
  if (rc == 0 && CheckRights(kRightModifyPastTransactions, false) != 0) {
    TRA_RECORD latest{};
    const int l = LatestTransaction(&latest);
    if (l < 0 || (l == 0 && doomed.DATATRA < latest.DATATRA &&
                  CheckRights(kRightModifyPastTransactions, true) != 0))
      rc = -1;
  }
  // Deleting the record moves the table on to the next transaction in its order.
  if (rc == 0) rc = DeleteTransaction(doomed.ID);
  UnlockAllTables();
  return rc;
}

void SetFiscalReceiptPrinter(FiscalReceiptPrinterFn fn) { g_printer = fn; }

int ReceiptItems(AMOUNT id, std::vector<RECEIPT_ITEM>* items, bool* totalsAgree) {
  items->clear();
  READ_ACCESS access;
  if (!access) return -1;
  TRA_RECORD t{};
  if (ReadRecordById(kTableTransactions, id, &t) != 0) return -1;
  std::vector<long> recnos;
  if (TransactionPositions(id, &recnos) != 0) return -1;
  RUNNING_TOTALS gross_first(false);
  for (long n : recnos) {
    POZ_RECORD p;
    if (ReadPosition(n, &p) != 0) return -1;
    TOW_RECORD g{};
    if (ReadRecordById(kTableGoods, p.TOWID, &g) < 0) return -1;
    const int vat = static_cast<int>(p.VATID.Whole());
    RECEIPT_ITEM item{};
    std::snprintf(item.name, sizeof item.name, "%s", g.NAZWA);
    std::snprintf(item.number, sizeof item.number, "%s", g.NR);
    std::snprintf(item.unit, sizeof item.unit, "%s", g.JMIARY);
    item.price = ComputePositionValues(p.ILOSC, p.CENA, p.RABAT, vat, false).unitGrossDisc;
    item.quantity = p.ILOSC;
    item.rate = vat == 1 || vat == 14 ? AMOUNT::FromInt(-1) : VatRate(vat);
    items->push_back(item);
    gross_first.Add(p.ILOSC, p.CENA, p.RABAT, vat, +1);
  }
  *totalsAgree = RoundTo(t.SUMA, 2) == RoundTo(gross_first.Totals().gross, 2);
  return 0;
}

int PrintFiscalReceipt() {
  if (!g_printer) {
    not_supported();
    return -1;
  }
  const int t = kTableTransactions;
  if (TableRecNo(t) < 0) return -1;
  const AMOUNT id = Tra.ID;
  if (!FiscalReceiptAllowed(DocumentKindByCode(Tra.DOKTRATYP))) {
    message("%s", "Wydruk paragonu fiskalnego do\n  tego dokumentu wyłączony."_pl);
    return -1;
  }
  if (Tra.DOKFISKAL &&
      message_box(
          1, "%s",
          "Paragon fiskalny do tej transakcji\n      został już wydrukowany.\n      Wydrukować go "
          "ponownie?\t &Nie \t &Tak "_pl) != 2)
    return -1;
  std::vector<RECEIPT_ITEM> items;
  bool agree = false;
  if (ReceiptItems(id, &items, &agree) != 0) return -1;
  const int printed = g_printer(items.data(), static_cast<long>(items.size()), agree);
  if (!agree) message("%s", "Suma transakcji różna\n  od sumy pozycji."_pl);
  if (printed != 0 || !agree) return -1;
  if (LockAllTables(true) != 0) return -1;
  int rc = FindById(t, id);
  if (rc == 0) {
    const bool was_net = Tra.ZAOKRNETTO != 0;
    Tra.DOKFISKAL = 1;
    Tra.ZAOKRNETTO = 0;
    rc = WriteRecordSettled(t, TableRecNo(t));
    // The receipt was worked out from gross prices; so are the sums from now on.
    if (rc == 0 && was_net) rc = RecalculateTransaction(id);
  }
  UnlockAllTables();
  return rc == 0 ? 0 : -1;
}

void ResetTransactionCommands() {
  g_printer = nullptr;
  for (SEARCH& s : g_searches) s = SEARCH{};
}
