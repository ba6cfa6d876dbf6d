// FCRSHARP: the Sharp ER-A495 register as a file store (docs/formats/sharp-register.md).
// Tamsu reads and writes the register's PLU file and EAN file whole, as text frames whose
// records are hexadecimal, and triggers register functions with slash-delimited codes:
//
//   STX, the frame counter digit, the text (at most 250 characters), a checksum of two hex
//   digits (256 minus the byte sum of counter and text), CR
//
// The register describes its files in its header answers ("/HDR1/..."): the file numbers, how
// many records each holds at most, and the widths of the record fields, by which the records
// are cut and made. It is the only register with a display: display() shows a line on it.
#pragma once

#include <string>
#include <vector>

#include "devices/registers/fcr.h"

class FCRSHARP : public FCR {
 public:
  // One file as the register describes it.
  struct FILEHEADER {
    int number = -1;          // the register's file number; -1 when it gave none
    int kind = 0;             // 1 PLU, 2 EAN
    long capacity = 0;        // records it holds at most
    long count = 0;           // records it holds
    std::vector<int> widths;  // of the record's fields, in characters of the frame text
  };
  class FRAME {
   public:
    // The frame of a text with a counter digit.
    static std::string Make(int counter, const std::string& text);
    // The checksum of counter and text: 256 minus their byte sum, modulo 256.
    static unsigned Checksum(int counter, const std::string& text);
    // The text of a received frame (STX to CR) when its checksum is right.
    static bool Text(const std::string& frame, std::string* text);
  };
  class DATA : public FRAME {
   public:
    virtual ~DATA() = default;
    // Decodes a record of the register: the goods with its price, the quantity sold in
    // g->quantity and the value sold in *sold. 0, or 20 for fields that are no numbers.
    virtual int decode(const std::string& record, const FILEHEADER& h, const TaxRateMap& rates,
                       RegisterGoods* g, AMOUNT* sold) const = 0;
    // The record of a goods (sales totals 0); empty when a value does not fit its field.
    virtual std::string encode(const RegisterGoods& g, const FILEHEADER& h,
                               const TaxRateMap& rates) const = 0;
  };
  // PLU records: number, name, price, tax group, quantity sold, value sold.
  class PLU : public DATA {
   public:
    int decode(const std::string& record, const FILEHEADER& h, const TaxRateMap& rates,
               RegisterGoods* g, AMOUNT* sold) const override;
    std::string encode(const RegisterGoods& g, const FILEHEADER& h,
                       const TaxRateMap& rates) const override;
  };
  // EAN records: code, number (000000 for none), then as PLU.
  class EAN : public DATA {
   public:
    int decode(const std::string& record, const FILEHEADER& h, const TaxRateMap& rates,
               RegisterGoods* g, AMOUNT* sold) const override;
    std::string encode(const RegisterGoods& g, const FILEHEADER& h,
                       const TaxRateMap& rates) const override;
  };

  const char* name() const override { return "Sharp ER-A495"; }
  int open(int port, const PortSettings* settings) override;
  int close() override;
  int beginTransfer(int kind) override;
  int endTransfer() override;
  int abortTransfer() override;
  int sendGoods(const RegisterGoods& goods) override;
  int readGoods(RegisterGoods* goods) override;
  int readSale(RegisterGoods* sale) override;
  int deleteSales() override;
  int deleteGoods() override;
  int fiscalReport() override;
  int display(const char* text) override;
  int validateGoods(const RegisterGoods& goods) override;

  // Texts in the register's characters: the Polish letters as 0xC4 to 0xD5, then as hex digits.
  static std::string ToSharp(const char* text);
  static std::string FromSharp(const std::string& bytes);
  static std::string Hex(const std::string& bytes);
  // A header answer "/HDR1/..." taken apart; false when it is none.
  static bool ParseHeader(const std::string& text, FILEHEADER* h);
  // The code of a register result number.
  static int ResultCode(long result);

 private:
  int sendByte(uint8_t byte);
  int waitByte(uint8_t* byte);
  int sendFrame(const std::string& text, int counter);
  // Frames the register sends until its EOT.
  int receiveFrames(std::vector<std::string>* texts);
  // Runs a function code; 0 or the code of its result. The frames before the result go to data.
  int run(const std::string& text, std::vector<std::string>* data = nullptr);
  int readHeaders(FILEHEADER* plu, FILEHEADER* ean);
  // The headers alone, in a reading session of their own (before files are written).
  int askHeaders(FILEHEADER* plu, FILEHEADER* ean);
  // Reads the PLU and EAN files (with the sales totals for kind 3) into goods_.
  int readFiles(int kind, FILEHEADER* plu, FILEHEADER* ean);
  int writeFiles(const FILEHEADER& plu, const FILEHEADER& ean, bool deleted);
  int finish(int code);

  int handshakeStepMs_ = 500;
  int handshakeTries_ = 20;
  int notifySwitch_ = 1;
  std::vector<RegisterGoods> goods_;  // the transfer
  long pluCount_ = 0, eanCount_ = 0;
  size_t next_ = 0;
};
