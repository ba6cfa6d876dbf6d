// The fiscal receipt of a sale ("Paragon fiskalny", key P of the transactions view): the
// positions of the transaction go to the configured fiscal printer as receipt lines, and the
// transaction is marked (DOKFISKAL) only when the printer has confirmed the end of the receipt.
//
//   // the transaction form, once it has stored the transaction in the global structure:
//   if (PrintFiscalReceipt() == 0) { /* Tra.DOKFISKAL is set and stored */ }
#pragma once

#include <vector>

#include "business/position_values.h"
#include "devices/printers/fpr.h"

// For the transaction in the global transaction structure (its stored record is read again):
// the document filter, the questions, the printing, the mark. 0 when printed and marked; -1
// when refused, cancelled or failed (the user has been told why).
int PrintFiscalReceipt();

// What a receipt is made of: one line per position in the positions file order, and the
// positions' totals computed from gross prices.
struct RECEIPT_DATA {
  std::vector<ReceiptLine> lines;
  DOCUMENT_TOTALS totals;
};
// Reads the positions of the current transaction and their goods under the database access.
// 0, or -1 when a read failed or a goods is missing (reported).
int ReadReceiptData(RECEIPT_DATA* data);
// The VAT rate of a VAT identifier as a printer takes it: per cent, exempt for "zw" and " -".
AMOUNT ReceiptTaxRate(int vatId);

// Registers key P for the transactions view (again after ResetRecordLists).
void RegisterDeviceCommands();
