// FPRMB270: the MegaByte MB-270 printer. Text frames STX, sequence byte, command letter, fields
// after FS, ETX and a four-digit additive checksum; the printer answers each frame with a frame
// of the same form carrying its status word. DSR set means busy. docs/formats/megabyte-mb270.md.
#pragma once

#include <string>

#include "devices/printers/fpr.h"

class FPRMB270 : public FPR {
 public:
  FPRMB270() : FPR(0) {}  // no Polish letters
  const char* name() const override { return "MegaByte MB-270"; }
  int open(int port, const PortSettings* settings) override;
  int close() override;
  int beginReceipt() override;
  int addLine(const ReceiptLine& line) override;
  int endReceipt() override;
  int cancelReceipt() override;
  int readTaxRates() override;

  // A frame with its checksum, or an empty text when it would be longer than 127 bytes.
  static std::string Frame(uint8_t sequence, char letter, const std::string& fields);
  // The additive checksum: the bytes from STX to ETX taken as signed 8-bit numbers.
  static int Checksum(const std::string& stx_to_etx);
  // The fields of a line and of the total, each after its FS.
  static std::string LineFields(const std::string& name, AMOUNT quantity, uint8_t letter,
                                AMOUNT price);
  static std::string TotalFields(const std::string& caption, AMOUNT total);
  // The code of an answer to the request (sequence, letter): 20 when it is no proper answer,
  // else what its status word says (0 when nothing is wrong).
  static int AnswerCode(const std::string& answer, uint8_t sequence, char letter);
  // The status word of a proper answer.
  static uint32_t StatusWord(const std::string& answer);
  // The sequence byte after s: 0x40 follows 0x7F.
  static uint8_t NextSequence(uint8_t s) { return s >= 0x7F ? 0x40 : static_cast<uint8_t>(s + 1); }

  uint8_t sequence() const { return sequence_; }

 protected:
  int sendFrame(char letter, const std::string& fields);

  int opened_ = 0;
  int receiptOpen_ = 0;
  uint8_t sequence_ = 0x40;
};
