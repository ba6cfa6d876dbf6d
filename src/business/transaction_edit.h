// Editing of the transaction form: the rules of its fields (kind, date, contractor, the two
// documents with their numbers, the receipt and net-price boxes, the payments with their
// balance and interest), which fields are open, saving with its checks in their order, and
// " &Pozycje... ", which saves and opens the positions window.
//
//   transaction_form_edit(kTransactionAdd, true);   // Ins on the main screen
//
// A refused save keeps the form open with the cursor on the field named; nothing stored
// changes. Esc leaves the form; what " &Pozycje... " saved before stays saved.
#pragma once

enum TransactionFormMode {
  kTransactionEdit,  // the current transaction
  kTransactionAdd,   // a new one with today's date, "rozchód" and the automatic customer
};

// 0 when the transaction was saved (with " &Ok " or " &Pozycje... "; Tra then holds it), -1
// when nothing was stored.
int transaction_form_edit(TransactionFormMode mode, bool in_place);

// The documents menu offered after a save when "DocumentPrompt" is on; the documents install
// it. Without one the offer says the function is not there yet.
typedef void (*TransactionDocumentsFn)();
void SetTransactionDocumentsMenu(TransactionDocumentsFn fn);

void ResetTransactionEdit();
