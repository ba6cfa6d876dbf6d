// FCR: the fiscal cash register. It keeps a price list of its own (goods with number, name,
// code, price, tax letter and unit) and records sales; Tamsu sends its goods there, reads the
// goods and the sales back, deletes them and starts the fiscal daily report.
//
//   reg.open(port, nullptr);                       // the register's own port settings
//   reg.beginTransfer(kTransferReadSales);
//   RegisterGoods g{};
//   while ((rc = reg.readSale(&g)) == 0) { ... }   // 7 at the end, anything else a failure
//   rc == kDevNoMoreRecords ? reg.endTransfer() : reg.abortTransfer();
//   reg.close();
//
// Every operation returns 0 or a device code (devices/device.h) and has notified every code but
// 0 and 7 itself. An operation on a register that is not open gives 19; one outside the kind of
// the transfer begun gives 33. Long operations ask notify(1) before each record (2 when the user
// stops) and report notify(3, count) after it.
//
// The families, each in its own file here with its protocol page in docs/formats/: FCRELZAB
// (Elzab's own communication programs), FCROPTIMUS_TANGO (Optimus packets), FCRPOSNET and
// FCRPSNT2 (the two Posnet protocols) and FCRSHARP (the Sharp file store).
#pragma once

#include <cstdint>
#include <string>

#include "common/amount.h"
#include "devices/device.h"
#include "devices/port.h"
#include "devices/tax_rate_map.h"

// One goods of a price list, or the sales of one goods; texts in the data code page.
struct RegisterGoods {
  char name[64];
  char number[64];  // a goods read from a register: six digits "%06ld"
  char code[64];    // barcode, or empty
  AMOUNT amount;    // goods: the gross unit price; sale: the gross value sold
  AMOUNT quantity;  // goods: the stock; sale: the quantity sold
  char taxRate[6];  // "23", "zw." ... (TaxRateMap::text of the register's letter)
  char unit[6];
};

enum TransferKind {
  kTransferNone = 0,
  kTransferSendGoods = 1,
  kTransferReadGoods = 2,
  kTransferReadSales = 3
};

class FCR : public DEVICE {
 public:
  // settings nullptr: the register's own defaults.
  virtual int open(int port, const PortSettings* settings) = 0;
  virtual int close() = 0;
  virtual int beginTransfer(int kind) = 0;
  // Finishes the transfer begun (a sent price list is committed here).
  virtual int endTransfer() = 0;
  // Drops the transfer begun without committing anything.
  virtual int abortTransfer() = 0;
  virtual int sendGoods(const RegisterGoods& goods) = 0;
  // 0 a record, 7 no more.
  virtual int readGoods(RegisterGoods* goods) = 0;
  virtual int readSale(RegisterGoods* sale) = 0;
  virtual int deleteSales() = 0;
  virtual int deleteGoods() = 0;
  virtual int fiscalReport() = 0;
  // A line on the register's display; only the Sharp has one to show it on.
  virtual int display(const char* text) = 0;
  // 0 when the record can be sent, else 11 (name or number), 12 (tax rate) or 13 (price);
  // nothing is notified.
  virtual int validateGoods(const RegisterGoods& goods) = 0;

  // Tests and the fuzz target put a simulated line here before open; the register does not own
  // it and uses it until it is destroyed.
  void usePort(PORTCOM* port) { port_ = port; }
  const TaxRateMap& taxRates() const { return rates_; }
  int transferKind() const { return kind_; }

 protected:
  // Notifies a code other than 0 and 7 and returns it.
  static int report(int code, intptr_t argument = 0);
  // The user's answer to the poll between records: 2 (notified) when the user stops.
  static int cancelled();
  // The checks every operation starts with: 19 when not open, 33 outside the transfer kind
  // (kind 0: any); notified.
  int guard(int kind) const;
  // A text of the program in a code page of the register, and back.
  static std::string toDevice(int codePage, const char* text);
  static void fromDevice(int codePage, const std::string& text, char* out, size_t size);
  // The tax letters of a register that does not tell them itself, from Tamsu.ini.
  void loadConfiguredTaxRates();

  int kind_ = kTransferNone;
  int opened_ = 0;
  long counter_ = 0;
  long errorNumber_ = 0;
  TaxRateMap rates_;
  PORTCOM ownPort_;
  PORTCOM* port_ = &ownPort_;
};

// Copies a text into a field of a RegisterGoods (cut to fit).
void SetField(char* field, size_t size, const std::string& text);
template <size_t N>
void SetField(char (&field)[N], const std::string& text) {
  SetField(field, N, text);
}
// The value of a text that is a whole number, digits only and not empty: 0 and the number, or -1.
int WholeNumber(const char* text, int64_t* value);
// A text of digits only (and not empty).
bool AllDigits(const char* text);
// The text without blanks at either end.
std::string Trimmed(const std::string& text);
// A decimal number with an optional sign and fraction ("-1.500"), blanks around it allowed:
// 0 and the value, or -1.
int DecimalNumber(const std::string& text, AMOUNT* value);

// "Fiscal Cash Register", key "TaxLetters": the letters of the registers that do not report
// their tax rates ("A=23,B=8,C=0,D=5,Z=zw" unless set), parsed into map. A pair whose rate is
// not a number is exempt. 0, or -1 when the text holds no pair.
int ParseTaxLetters(const char* text, TaxRateMap* map);
inline constexpr char kDefaultTaxLetters[] = "A=23,B=8,C=0,D=5,Z=zw";
