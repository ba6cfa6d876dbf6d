// FPRDF301: the Posnet thermal printer protocol, spoken also by the Emar, Innova, Optimus and
// Torell printers of the selection table (they differ only in name). Frames, checksum and status
// bytes: docs/formats/posnet-printer.md.
//
// A frame is ESC P, the command in ASCII, two hex digits of an XOR checksum and ESC \; after
// each frame that needs it the program asks ENQ and the printer answers one status byte; when
// that does not come or says no, DLE asks the mechanism. Software flow control (XON/XOFF)
// paces the sending.
#pragma once

#include <string>

#include "devices/printers/fpr.h"

class FPRDF301 : public FPR {
 public:
  FPRDF301() : FPR(1) {}  // Mazovia
  const char* name() const override { return "Posnet"; }
  int open(int port, const PortSettings* settings) override;
  int close() override;
  int beginReceipt() override;
  int addLine(const ReceiptLine& line) override;
  int endReceipt() override;
  int cancelReceipt() override;
  int readTaxRates() override;

  // The frame of a command: ESC P, the body, the checksum (when with_checksum) and ESC \.
  // Longer than 128 bytes gives an empty frame.
  static std::string Frame(const std::string& body, bool with_checksum);
  // The XOR checksum of a body: 0xFF with every byte XOR-ed in.
  static uint8_t Checksum(const std::string& body);
  // The body of a receipt line and of the end of the receipt.
  static std::string LineBody(int number, const std::string& name, AMOUNT quantity,
                              const std::string& unit, uint8_t letter, AMOUNT price, AMOUNT value);
  static std::string EndBody(AMOUNT total);

  // The answers the printer gives, taken apart. Tax rates: the rate fields of an answer to
  // "0#s" into the map; 0, or 25 when the answer holds none. Error number: the decimal number
  // from the sixth character of an answer to "0#n"; 0, or -1 when there is none.
  static int ParseTaxRates(const char* answer, TaxRateMap* map);
  static int ParseErrorNumber(const char* answer, long* number);
  // The code of a printer error number (33 for 0, 27 for numbers without a meaning of ours).
  static int ErrorCode(long number);
  // The code of a DLE status byte: 22 paper end, 27 mechanism error, 20 anything else.
  static int MechanismCode(uint8_t status);

 protected:
  // Sends a frame; with ack asks the status after it. 0 or a code; the printer's error number,
  // when there was one, is left in errorNumber_.
  int sendFrame(const std::string& frame, bool ack);
  // Reads an answer up to its closing byte 0x5C into a 129-byte buffer; 0, 2 or 20.
  int readAnswer(char* buffer);
  int askErrorNumber();

  int receiptOpen_ = 0;
  int opened_ = 0;
  long errorNumber_ = 0;
};

class FPREMAR : public FPRDF301 {
 public:
  const char* name() const override { return "Emar-Duo"; }
};
class FPRINNOVA : public FPRDF301 {
 public:
  const char* name() const override { return "Innova Profit"; }
};
class FPRTORELL : public FPRDF301 {
 public:
  const char* name() const override { return "Torell Duo"; }
};
class FPROPTIMUS_WIKING : public FPRDF301 {
 public:
  const char* name() const override { return "Optimus Wiking"; }
};
class FPROPTIMUS_VEGA : public FPRDF301 {
 public:
  const char* name() const override { return "Optimus Vega"; }
};
class FPROPTIMUS_VIVO : public FPRDF301 {
 public:
  const char* name() const override { return "Optimus Vivo"; }
};
class FPROPTIMUS_VENTO : public FPRDF301 {
 public:
  const char* name() const override { return "Optimus Vento"; }
};
