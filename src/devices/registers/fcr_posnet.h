// The Posnet registers (docs/formats/posnet-register.md), two protocols:
//
// FCRPOSNET, "Posnet ECR": frames ESC P, a two-character command, a sequence number "%02X", the
// data, an XOR checksum "%02X" and ESC "\". The answer is CR-separated fields ending with "\",
// the second field the register's error number. The sequence number is one counter for the
// whole program: ",a" (the dialogue reset) carries 00 and the frames after it count on.
//
//   ESC P ,a 00 CR CR 1 CR <checksum> ESC "\"    answered:  ESC P ,a CR 0 CR ESC "\"
//
// FCRPSNT2, the newer models: frames ESC, the model letter ("P" ECR 2001, "R" Bingo and Bingo
// Plus), the command with its data, the checksum and ESC "\"; fields separated by TAB and 0xFE.
// Goods and sales are read one record per command by their place in the register's list.
//
// Neither register reports its tax rates: the letters come from Tamsu.ini ("TaxLetters", see
// devices/registers/fcr.h), tax group 1 being A, 2 B and so on, 0 being Z.
#pragma once

#include <string>
#include <vector>

#include "devices/registers/fcr.h"

class FCRPOSNET : public FCR {
 public:
  static constexpr int kOptionBits[4] = {64, 8, 2, 4};

  const char* name() const override { return "Posnet ECR/ECR Plus"; }
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

  // The frame of a command with its data; takes the next sequence number (00 for ",a").
  static std::string Frame(const char* command, const std::string& data);
  // The goods data of "&a" and "%a".
  static std::string GoodsData(const RegisterGoods& goods, int group);
  // The answer's fields (the "\" and an ESC before it taken off).
  static std::vector<std::string> AnswerFields(const std::string& answer);
  // A record answer into a goods (kind 2) or a sale (kind 3); 0, or 20 for a record that does
  // not hold a goods number.
  static int DecodeRecord(const std::vector<std::string>& fields, const TaxRateMap& rates, int kind,
                          RegisterGoods* g);
  static int ErrorCode(long number);
  // The sequence number the next frame after ",a" takes; tests start from a known one.
  static void ResetSequence();

 protected:
  // Sends a frame and reads its answer into fields: 0, 2, 20, or the code of the register's
  // error number (the dialogue reset after it; errorNumber_ holds the number).
  int exchange(const char* command, const std::string& data, std::vector<std::string>* fields);
  // One record of a reading: "(k" first, "(l" after; 0, 7 at the end, or a code.
  int record(std::vector<std::string>* fields);
  // Runs a whole reading, collecting the goods numbers of the records.
  int readAll(std::vector<long>* numbers);
  int fail(int code, intptr_t text = 0);

  int32_t settings_ = 0;
  int32_t secondSettings_ = 24;
  int first_ = 1;
  bool refused_ = false;  // the last failure was the register's answer, not the line's
};

class FCRPSNT2 : public FCRPOSNET {
 public:
  int open(int port, const PortSettings* settings) override;
  int beginTransfer(int kind) override;
  int abortTransfer() override;
  int sendGoods(const RegisterGoods& goods) override;
  int readGoods(RegisterGoods* goods) override;
  int readSale(RegisterGoods* sale) override;
  int deleteSales() override;
  int deleteGoods() override;

  virtual char modelLetter() const = 0;
  virtual int longPluFormat() const { return 0; }

  static std::string Frame(char letter, const std::string& body);
  // The "#p5" frame body of a goods, short or long.
  static std::string GoodsBody(const RegisterGoods& goods, int group, bool longForm);
  // A record answer ("$b" or "$r" and its TAB-separated fields); 0, 7 for an empty one, 20.
  static int DecodeRecord(const std::string& payload, const TaxRateMap& rates, int kind,
                          RegisterGoods* g);
  static int ErrorCode(long number);

 protected:
  // Sends a body and reads the answer; 0 with the payload after the two-character echo.
  int exchange2(const std::string& body, std::string* payload);
  int readNumbered(int kind, RegisterGoods* g);
  int readAll2(int kind, std::vector<long>* numbers);

  long n_ = 1;
};

class FCRPECR2 : public FCRPSNT2 {
 public:
  const char* name() const override { return "Posnet ECR 2001"; }
  char modelLetter() const override { return 'P'; }
};
class FCRBINGO : public FCRPSNT2 {
 public:
  const char* name() const override { return "Posnet Bingo"; }
  char modelLetter() const override { return 'R'; }
};
class FCRBINGOPLUS : public FCRPSNT2 {
 public:
  const char* name() const override { return "Posnet Bingo Plus"; }
  char modelLetter() const override { return 'R'; }
  int longPluFormat() const override { return 1; }
};
