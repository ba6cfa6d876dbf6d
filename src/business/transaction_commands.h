// The record commands of the transactions view (add, edit, delete and the two document
// searches), and the hand-off of a transaction's fiscal receipt to the fiscal printer.
//
//   RegisterTransactionCommands();   // at start-up, beside the goods and contractor commands
#pragma once

#include <vector>

#include "common/amount.h"

void RegisterTransactionCommands();

// " Wg dokumentu &magazynowego " and " Wg dokumentu &sprzedaży    " of the transaction search:
// the dialog, then the first transaction at or after the key becomes current. 0 when one did,
// -1 on Esc, when none is at or after the key (the current one stays) or on a failure.
int FindTransactionByWarehouseDocument();
int FindTransactionBySalesDocument();

// Deletes the current transaction with its positions after the rights of its kind and date
// (the question is the caller's). 0 when deleted.
int DeleteCurrentTransaction();

// One item of a fiscal receipt, as a position hands it over.
struct RECEIPT_ITEM {
  char name[51];
  char number[21];
  AMOUNT price;  // gross unit price after discount, worked out from gross prices
  AMOUNT quantity;
  AMOUNT rate;  // VAT rate in percent; -1 for "zw" and " -"
  char unit[6];
};

// The fiscal printer side, installed by the devices: prints the items as one receipt and closes
// it. close is false when the transaction's sums disagree with the items: the receipt must not
// be closed (the printer may cancel it at its end or not begin it). 0 when a receipt was printed
// and closed.
typedef int (*FiscalReceiptPrinterFn)(const RECEIPT_ITEM* items, long count, bool close);
void SetFiscalReceiptPrinter(FiscalReceiptPrinterFn fn);

// The items of the receipt of transaction id in the order the positions were entered, and
// whether the transaction's total agrees with them. 0 or -1.
int ReceiptItems(AMOUNT id, std::vector<RECEIPT_ITEM>* items, bool* totalsAgree);

// The fiscal receipt of the current transaction: its sales document must be enabled for
// receipts, a second print is asked first; the items go to the printer, and after a printed
// receipt the transaction is marked and, when it was in net prices, worked out from gross prices.
// Without a printer installed: "Funkcja w tym miejscu nieobsługiwana.". 0 when printed.
int PrintFiscalReceipt();

void ResetTransactionCommands();
