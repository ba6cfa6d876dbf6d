// The record list: the one browse window over a view (0 groups of goods, 1 goods, 2 contractors,
// 3 transactions; view n shows table n). Ten rows with column headers, quick search by typing,
// a button bar and the record commands. Also the per-view state the main window shares with it:
// the view's sort order, and the record commands that the record forms provide.
//
//   // main window, key "W":
//   if (record_list(view) == 0) { /* the chosen record is current; show it in the form */ }
//   // a form that needs a contractor:
//   if (record_list(2) == 0) transaction.KONID = Kon.ID;
//   // the forms register what Ins, F2 and Del do in the list:
//   set_record_command(1, kRecordEdit, EditGoods);   // int EditGoods(int view, int arg)
//
// A command that is not registered answers "Funkcja w tym miejscu nieobsługiwana.".
// What each view's list shows, its status line and what the text search looks at are the
// business layer's: it registers a RECORD_VIEW per view at start-up (set_record_view).
// The text search (F7 and its repeat keys) is in ui/record_search.h.
#pragma once

inline constexpr int kViewCount = 4;
inline constexpr int kViewGroups = 0;
inline constexpr int kViewGoods = 1;
inline constexpr int kViewContractors = 2;
inline constexpr int kViewTransactions = 3;

// One column of a list: a field of the view's record structure (or a value the view prepares).
struct LIST_COLUMN {
  char type;     // 'C', 'N', 'D' as in a field descriptor
  int width;     // of the value
  int shown;     // cells on the screen
  int decimals;  // of a number, unless decimals_of says
  void* variable;
  int (*decimals_of)();  // the decimals taken from the options when the list opens; may be null
};

// What the business layer tells the record list about one view.
struct RECORD_VIEW {
  const char* header;  // the column headers, from frame column 3
  int min_width;       // of the list's frame
  int column_count;
  LIST_COLUMN columns[6];
  int second_order;         // the order " &Kolejność " switches to from order 1 (0: no button)
  int second_column_order;  // the order in which the quick search types into column 2 (0: none)
  // Re-reads the related records of the current record (a missing one is left empty). May be null.
  void (*load_related)();
  // Fills the values of the columns that are no field of the table. May be null.
  void (*prepare_row)();
  // The one-line summary for the status line, at most size - 1 characters. May be null.
  void (*summary)(char* out, int size);
  // Whether the current record (with its related records loaded unless skipped) contains the
  // text under the search options.
  bool (*matches)(const char* text, bool match_case, bool whole_words, bool skip_related);
};
void set_record_view(int view, const RECORD_VIEW* def);
const RECORD_VIEW* record_view(int view);

// The view the main screen shows (-1 before the first); forms edit in place in it.
int current_view();
void set_current_view(int view);

// Runs the list of a view. 0 when closed with " &Ok " (the chosen record is current in the view's
// table, its related records re-read, the table back in the view's order); -1 on Esc or Ctrl+F4
// (the record current before is current again), on " &Ok " with an empty table (nothing was
// chosen), or when the list cannot open (view outside 0..3, table not open, database access
// refused).
int record_list(int view);

// The view's sort order (index number of its table; 1 at start). The main window sets it on its
// table when the view becomes current; " &Kolejność " in the list changes it.
int view_order(int view);
void set_view_order(int view, int order);

// Record commands that the record forms and other parts provide. The function gets the view and
// an argument (for kRecordAdd: 1 prefilled from the current record, 0 empty) and returns 0 when
// it did its work. Deleting is asked first ("Usunąć ten rekord?") by the caller; kRecordDelete
// only deletes. kRecordFind1 and kRecordFind2 are the first and second items of the view's search
// menu (goods: by number, by barcode; contractors: by NIP; transactions: by warehouse document,
// by sales document); each makes the found record current and returns 0.
enum RecordCommand {
  kRecordAdd = 0,
  kRecordEdit,
  kRecordDelete,
  kRecordFind1,
  kRecordFind2,
  kRecordRecomputeStock,     // F8, goods
  kRecordPrintLabel,         // F9, goods
  kRecordFindBarcode,        // Ctrl+B, goods
  kRecordFiscalReceipt,      // P, transactions
  kRecordSalesDocument,      // F, transactions
  kRecordWarehouseDocument,  // M, transactions
  kRecordCashDocument,       // S, transactions
  kRecordTransferOrder,      // L (arg 1: for the current transaction, 0: for none)
  kRecordDocuments,          // K, transactions: the documents menu
  kRecordCommandCount
};
typedef int (*RecordCommandFn)(int view, int arg);
void set_record_command(int view, RecordCommand which, RecordCommandFn fn);
RecordCommandFn record_command(int view, RecordCommand which);
// Runs a registered command, or shows "Funkcja w tym miejscu nieobsługiwana." and returns -1.
int run_record_command(int view, RecordCommand which, int arg);

// The one-line summary of the current record shown on the status line under the list (group
// remarks, goods packaging, contractor address, transaction contractor). At most 79 characters.
void record_summary(int view, char* out, int size);

// Re-reads the related records of the view's current record (the goods' group, the
// transaction's contractor); a missing one leaves that structure empty.
void load_related(int view);

// The key help of the list ("POMOC - KLAWISZE SKRÓTU").
void record_list_help();

// Puts the orders, the registered commands, the current view and the search state back to their
// start values. The registered views stay: they describe, they hold no state.
void ResetRecordLists();
