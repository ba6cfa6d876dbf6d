// FPR: the fiscal printer. The application hands it a sale line by line:
//
//   printer.open(port, nullptr);             // the printer's own port settings
//   printer.beginReceipt();
//   for (...) if (printer.addLine(line) != 0) break;
//   ok ? printer.endReceipt() : printer.cancelReceipt();
//   printer.close();
//
// Every operation returns 0 or a device code (devices/device.h); except cancelReceipt and
// readTaxRates, a nonzero result has been reported through DEVICE::notify before it returns.
// The receipt is closed only when the printer has confirmed its end: 0 from endReceipt means
// the sale is on the fiscal record.
//
// The families: FPRDF301 (the escape-frame protocol of Posnet and the printers that copy it),
// FPRFP600 and FPRMB270, each in its own file here with its protocol page in docs/formats/.
#pragma once

#include <cstdint>
#include <string>

#include "common/amount.h"
#include "devices/device.h"
#include "devices/port.h"
#include "devices/tax_rate_map.h"

// One position of the receipt, in the data code page.
struct ReceiptLine {
  char name[128];
  char number[128];  // the goods number; no protocol sends it
  AMOUNT price;      // gross unit price
  AMOUNT quantity;   // negative for a return
  AMOUNT taxRate;    // per cent, TaxRateMap::kExempt for exempt goods
  char unit[6];
};

class FPR : public DEVICE {
 public:
  explicit FPR(int codePage) : codePage_(codePage) {}
  // settings nullptr: the printer's own defaults.
  virtual int open(int port, const PortSettings* settings) = 0;
  virtual int close() = 0;
  virtual int beginReceipt() = 0;
  virtual int addLine(const ReceiptLine& line) = 0;
  virtual int endReceipt() = 0;
  virtual int cancelReceipt() = 0;
  virtual int readTaxRates() = 0;

  // Tests and the fuzz target put a simulated line here before open; the printer does not own
  // it and uses it until it is destroyed.
  void usePort(PORTCOM* port) { port_ = port; }
  const TaxRateMap& taxRates() const { return rates_; }
  AMOUNT receiptTotal() const { return total_; }
  int lineCounter() const { return lines_; }
  int codePage() const { return codePage_; }

 protected:
  // Reports a nonzero code and returns it.
  static int report(int code, intptr_t argument = 0);
  // A text of the program in the printer's character set.
  std::string deviceText(const char* text) const;
  // Waits for one byte: tries looks, step_ms apart. With flow, XON and XOFF are flow control,
  // not data. With cancellable, the user is asked between looks. 0, 2 (cancelled), or 20 when
  // nothing came in time or the port failed.
  int waitByte(uint8_t* byte, int tries, int step_ms, bool flow, bool cancellable);

  int codePage_;
  int lines_ = 0;
  TaxRateMap rates_;
  int ratesRead_ = 0;
  AMOUNT total_;
  PORTCOM ownPort_;
  PORTCOM* port_ = &ownPort_;
};

// The largest price, value or total the Posnet and MegaByte protocols carry.
inline constexpr AMOUNT kFprLimit = AMOUNT::FromRaw(999999999900);

// A value with two decimals, rounded half away from zero: "-1.50", "3.00".
std::string FormatHundredths(AMOUNT value);
// The value times 100 (or 1000), rounded half away from zero.
int64_t Hundredths(AMOUNT value);
int64_t Thousandths(AMOUNT value);
