#include "devices/fiscal_receipt.h"

#include <cstdio>

#include "business/document_kinds.h"
#include "business/options.h"
#include "business/transaction_commands.h"
#include "common/text.h"
#include "db/schema.h"
#include "db/table.h"
#include "devices/device_holder.h"
#include "devices/scanner_hooks.h"
#include "devices/tax_rate_map.h"
#include "ui/feedback.h"
#include "ui/message_box.h"
#include "ui/record_list.h"

namespace {

// Sends the receipt; 0 when the printer confirmed its end.
int PrintLines(const RECEIPT_ITEM* items, long count) {
  DeviceHolder printer;
  int rc = printer.openFiscalPrinter();
  if (rc == -1) {
    // A type the list offers without a driver.
    DEVICE::notify(kDevNoOption, 0);
    return rc;
  }
  if (rc != 0) return rc;
  rc = printer.beginReceipt();
  if (rc != 0) return rc;
  for (long i = 0; i < count; ++i) {
    if (DEVICE::notify(kDevPoll, 0) != 0) {
      rc = kDevCancelled;
      break;
    }
    ReceiptLine line{};
    std::snprintf(line.name, sizeof line.name, "%s", items[i].name);
    std::snprintf(line.number, sizeof line.number, "%s", items[i].number);
    std::snprintf(line.unit, sizeof line.unit, "%s", items[i].unit);
    line.price = items[i].price;
    line.quantity = items[i].quantity;
    line.taxRate = items[i].rate < AMOUNT() ? TaxRateMap::kExempt : items[i].rate;
    if ((rc = printer.addLine(line)) != 0) break;
  }
  if (rc == 0) rc = printer.endReceipt();
  if (rc != 0) printer.cancelReceipt();
  return rc;
}

// The receipt printer of the transactions. A receipt whose sums disagree with the transaction
// would only be cancelled at its end: it is not begun, so the printer's journal holds no
// cancelled receipt (the transactions side tells the user why).
int PrintItems(const RECEIPT_ITEM* items, long count, bool close) {
  if (!close) return -1;
  if (count == 0) {
    DEVICE::notify(kDevBadReceiptValue, 0);
    return -1;
  }
  // A position whose goods is gone has no name to print.
  for (long i = 0; i < count; ++i) {
    if (!items[i].name[0]) {
      DEVICE::notify(kDevBadName, i + 1);
      return -1;
    }
  }
  StopScannerForDevice();
  wait_window(0);
  const int rc = PrintLines(items, count);
  wait_window(2);
  ApplyScannerAfterDevice();
  return rc == 0 ? 0 : -1;
}

int FiscalReceiptCommand(int, int) { return PrintSaleReceipt(); }

}  // namespace

int PrintSaleReceipt() {
  if (TableRecNo(kTableTransactions) < 0) return -1;
  // A receipt records a sale: a delivery never gets one, whatever the filter says.
  if (Tra.RODZAJ[0] != 'S' || !FiscalReceiptAllowed(DocumentKindByCode(Tra.DOKTRATYP))) {
    message("%s", "Wydruk paragonu fiskalnego do\n  tego dokumentu wyłączony."_pl);
    return -1;
  }
  if (message_box(1, "%s", "Drukować paragon fiskalny?\t &Tak \t &Nie "_pl) != 1) return -1;
  return PrintFiscalReceipt();
}

void RegisterDeviceCommands() {
  set_record_command(kViewTransactions, kRecordFiscalReceipt, FiscalReceiptCommand);
  SetFiscalReceiptPrinter(PrintItems);
}
