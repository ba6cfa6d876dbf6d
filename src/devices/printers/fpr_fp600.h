// FPRFP600: the Elzab FP-600 printer. Escape commands with binary fields, one byte at a time
// under RTS/CTS handshake, answered by ACK or by status bytes; docs/formats/elzab-fp600.md.
// Its tax "letters" are the byte values 1 to 6; names go in Latin 2.
#pragma once

#include <string>

#include "devices/printers/fpr.h"

class FPRFP600 : public FPR {
 public:
  FPRFP600() : FPR(2) {}
  const char* name() const override { return "Elzab FP-600"; }
  int open(int port, const PortSettings* settings) override;
  int close() override;
  int beginReceipt() override;
  int addLine(const ReceiptLine& line) override;
  int endReceipt() override;
  int cancelReceipt() override;
  int readTaxRates() override;

  // The 51 bytes of a line command (name and unit already in Latin 2).
  static std::string LineCommand(const std::string& name, AMOUNT quantity, const std::string& unit,
                                 AMOUNT price, uint8_t letter, AMOUNT value);
  // A name as the printer takes it: 28 characters with at least 10 letters, digits, dots or
  // commas; blanks from the right end, then other signs, become dots until there are.
  static std::string PrinterName(const std::string& latin2);
  // The code that status bytes 1 and 2 stand for (0 when they show no error).
  static int StatusCode(uint8_t status1, uint8_t status2);
  // The rates of a tax-rate answer into the map: 4 bytes for versions 2 and 5, 12 for the
  // others. 0, or 25 when the answer has the wrong length.
  static int ParseTaxRates(int version, const uint8_t* bytes, int count, TaxRateMap* map);

 protected:
  int send(const std::string& bytes);
  int readOne(uint8_t* byte);
  int expectAck();
  int readStatus(int n, uint8_t* status);
  // After a failed command: what the status bytes say; 20 when they cannot be read.
  int evaluateError();

  int opened_ = 0;
  int receiptOpen_ = 0;
};
