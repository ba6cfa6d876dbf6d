// DeviceHolder: the one owner of the fiscal device of an application operation. It creates the
// printer or register of the configured type, opens it on the configured port, forwards the
// operations and destroys the device at close; a device never outlives the operation.
//
//   DeviceHolder h;
//   if (h.openFiscalPrinter() != 0) return -1;   // the device has told the user why
//   h.beginReceipt(); ... h.endReceipt();
//   h.close();
#pragma once

#include <memory>

#include "devices/printers/fpr.h"
#include "devices/registers/fcr.h"

class DeviceHolder {
 public:
  DeviceHolder() = default;
  ~DeviceHolder() { close(); }
  DeviceHolder(const DeviceHolder&) = delete;
  DeviceHolder& operator=(const DeviceHolder&) = delete;

  // Reads section "Fiscal Printer", creates the printer of its type and opens it (with the
  // stored port settings only when "PortDefaultProperties" is 0). A failure of the device
  // closes and destroys it and is returned; a type without a class gives -1 and creates
  // nothing.
  int openFiscalPrinter();
  // The same for section "Fiscal Cash Register" and its register table.
  int openFiscalRegister();

  // Forwarded to the printer held; -1 without one.
  int beginReceipt();
  int addLine(const ReceiptLine& line);
  int endReceipt();
  int cancelReceipt();
  int readTaxRates();
  // Forwarded to the register held; -1 without one.
  int beginTransfer(int kind);
  int endTransfer();
  int abortTransfer();
  int sendGoods(const RegisterGoods& goods);
  int readGoods(RegisterGoods* goods);
  int readSale(RegisterGoods* sale);
  int deleteSales();
  int deleteGoods();
  int fiscalReport();
  int display(const char* text);
  int validateGoods(const RegisterGoods& goods);
  // Closes and destroys the device held; 0, or -1 without one.
  int close();

  FPR* printer() { return printer_.get(); }
  FCR* cashRegister() { return register_.get(); }

 private:
  std::unique_ptr<FPR> printer_;
  std::unique_ptr<FCR> register_;
};

// A new printer of a configured type (the numbers of the selection table), or nullptr for a
// type without a class.
std::unique_ptr<FPR> CreateFiscalPrinter(int type);
std::unique_ptr<FCR> CreateFiscalRegister(int type);
