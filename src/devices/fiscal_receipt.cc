#include "devices/fiscal_receipt.h"

#include <cstdio>

#include "business/document_kinds.h"
#include "business/options.h"
#include "business/vat.h"
#include "common/text.h"
#include "db/db_events.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "devices/device_holder.h"
#include "devices/scanner_hooks.h"
#include "ui/feedback.h"
#include "ui/message_box.h"
#include "ui/record_list.h"

namespace {

void Copy(char* to, size_t size, const char* from) { std::snprintf(to, size, "%s", from); }

void MessageRecordGone() {
  message("Bieżący rekord z pliku %s\n  został wcześniej usunięty."_pl, TABLE_INFO[kTableTransactions].title);
}

// The positions of transaction id in index 0 of the positions table, each with its goods.
int ReadPositions(AMOUNT id, RECEIPT_DATA* data) {
  char key[10];
  IdKey(id, key);
  int rc = TableSeek(kTablePositions, key);
  // Nothing at or after the key: no positions. Any other failure has been reported.
  if (rc != 0) return rc == kTableEnd ? 0 : -1;
  for (long n = 1; rc == 0 && Poz.TRAID == id; ++n, rc = TableNext(kTablePositions)) {
    const POZ_RECORD position = Poz;
    const int vat = static_cast<int>(position.VATID.Whole());
    if (FindById(kTableGoods, position.TOWID) != 0) {
      DEVICE::notify(kDevBadName, n);
      return -1;
    }
    ReceiptLine line{};
    Copy(line.name, sizeof line.name, Tow.NAZWA);
    Copy(line.number, sizeof line.number, Tow.NR);
    Copy(line.unit, sizeof line.unit, Tow.JMIARY);
    line.price = ComputePositionValues(position.ILOSC, position.CENA, position.RABAT, vat, false).unitGrossDisc;
    line.quantity = position.ILOSC;
    line.taxRate = ReceiptTaxRate(vat);
    data->lines.push_back(line);
    AddToTotals(&data->totals, position.ILOSC, Tow.JMIARY, position.CENA, position.RABAT, vat, false);
  }
  // The walk ends at the first position of another transaction or at the end of the index;
  // anything else is a failure the table layer has reported.
  return rc == 0 || rc == kTableEnd ? 0 : -1;
}

// Stores the mark of a printed receipt. A transaction kept in net prices goes over to gross
// prices, in which its receipt was computed.
int MarkPrinted(AMOUNT id, const RECEIPT_DATA& data) {
  if (LockAllTables(true) != 0) return -1;
  int rc = FindById(kTableTransactions, id);
  if (rc != 0) {
    UnlockAllTables();
    MessageRecordGone();
    return -1;
  }
  Tra.DOKFISKAL = 1;
  if (Tra.ZAOKRNETTO) {
    Tra.ZAOKRNETTO = 0;
    Tra.SUMA = data.totals.gross;
    Tra.VAT = data.totals.vat;
  }
  rc = TableUpdate(kTableTransactions);
  UnlockAllTables();
  return rc == 0 ? 0 : -1;
}

// Sends the receipt; 0 when the printer confirmed its end.
int PrintLines(const RECEIPT_DATA& data) {
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
  for (const ReceiptLine& line : data.lines) {
    if (DEVICE::notify(kDevPoll, 0) != 0) {
      rc = kDevCancelled;
      break;
    }
    if ((rc = printer.addLine(line)) != 0) break;
  }
  if (rc == 0) rc = printer.endReceipt();
  if (rc != 0) printer.cancelReceipt();
  return rc;
}

int FiscalReceiptCommand(int, int) { return PrintFiscalReceipt(); }

}  // namespace

AMOUNT ReceiptTaxRate(int vatId) {
  if (vatId == 1 || vatId == 14) return TaxRateMap::kExempt;
  return VatRate(vatId);
}

int ReadReceiptData(RECEIPT_DATA* data) {
  *data = RECEIPT_DATA{};
  const AMOUNT id = Tra.ID;
  if (LockAllTables(false) != 0) return -1;
  int rc = FindById(kTableTransactions, id);
  if (rc != 0) {
    UnlockAllTables();
    MessageRecordGone();
    return -1;
  }
  const int saved = TableGetIndex(kTablePositions);
  const long saved_record = TableRecNo(kTablePositions);
  TableSetIndex(kTablePositions, 0);
  rc = ReadPositions(id, data);
  TableSetIndex(kTablePositions, saved);
  TableGo(kTablePositions, saved_record);
  UnlockAllTables();
  return rc;
}

int PrintFiscalReceipt() {
  const int sales = DocumentKindByCode(Tra.DOKTRATYP);
  // A receipt records a sale: a delivery never gets one, whatever the filter says.
  if (Tra.RODZAJ[0] != 'S' || !FiscalReceiptAllowed(sales)) {
    message("%s", "Wydruk paragonu fiskalnego do\n  tego dokumentu wyłączony."_pl);
    return -1;
  }
  if (message_box(1, "%s", "Drukować paragon fiskalny?\t &Tak \t &Nie "_pl) != 1) return -1;
  if (Tra.DOKFISKAL &&
      message_box(1, "%s",
                  "Paragon fiskalny do tej transakcji\n      został już wydrukowany.\n      Wydrukować go ponownie?\t &Nie \t &Tak "_pl) != 2)
    return -1;
  RECEIPT_DATA data;
  if (ReadReceiptData(&data) != 0) return -1;
  // Checked before the printer is touched: a receipt that would be cancelled is not begun.
  if (RoundTo(Tra.SUMA, 2) != RoundTo(data.totals.gross, 2) || RoundTo(Tra.VAT, 2) != RoundTo(data.totals.vat, 2)) {
    message("%s", "Suma transakcji różna\n  od sumy pozycji."_pl);
    return -1;
  }
  if (data.lines.empty()) {
    DEVICE::notify(kDevBadReceiptValue, 0);
    return -1;
  }
  StopScannerForDevice();
  wait_window(0);
  const int rc = PrintLines(data);
  wait_window(2);
  ApplyScannerAfterDevice();
  if (rc != 0) return -1;
  return MarkPrinted(Tra.ID, data);
}

void RegisterDeviceCommands() { set_record_command(kViewTransactions, kRecordFiscalReceipt, FiscalReceiptCommand); }
