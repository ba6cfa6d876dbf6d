// FCRELZAB: the Elzab registers, driven through Elzab's own command-line communication programs
// and the text files they read and write (docs/formats/elzab-registers.md). Tamsu never talks to
// the register itself: it writes "Konfig.txt" (port, speed, model) beside the programs, runs one
// program at a time and waits for its exit code, and reads the program's output file.
//
// Where the programs are and how they are started comes from Tamsu.ini, section "Fiscal Cash
// Register":
//   ElzabDirectory=/opt/elzab     ; the programs and Konfig.txt (default: Tamsu's own directory)
//   ElzabLauncher=wine            ; a command put in front of each program (default: none)
//   ElzabTimeout=300              ; seconds one program may run before it is stopped
// The other exchange files ("Empty.txt", "Sprzedaz.txt", the "%06lu.tmp" files) are made in the
// current directory and handed to the programs by their full paths.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "devices/registers/fcr.h"

class FCRELZAB : public FCR {
 public:
  static constexpr int kUnits = 16;

  ~FCRELZAB() override;
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

  // The code of a program's exit code (27 for one without a meaning of ours).
  static int ExitCode(int exit);
  // The code of the status lines ("index TAB value"): 27, 22, 24 or 0.
  static int StatusCode(const std::vector<std::string>& lines);
  // The first line of the tax rates into map: 0, or 25 when there is none.
  static int ParseTaxRates(const std::vector<std::string>& lines, TaxRateMap* map);
  // A goods line as sendGoods writes it, without its line feed; unit is its index (0 none).
  static std::string GoodsLine(const RegisterGoods& goods, uint8_t letter, int unit);
  // Reads an exchange file: the lines without "$", comments and trailing white space, at most
  // 511 characters each. 0, 8 (cannot open) or 9 (cannot read).
  static int ReadExchangeFile(const std::string& path, std::vector<std::string>* lines);
  // A goods line read back into a record (the tax letter through rates, the unit index through
  // units): 0, or 9 for a line that is not one.
  static int GoodsFromLine(const std::string& line, const TaxRateMap& rates,
                           const char (&units)[kUnits][10], RegisterGoods* goods);
  // A sorted sale line: 0 with the goods number, the quantity and the value in grosz, or 9.
  static int SaleFromLine(const std::string& line, int64_t* number, AMOUNT* quantity,
                          AMOUNT* grosz);

 private:
  // Runs a program of the directory on input (and output); 0 or its code, not notified.
  int run(const char* program, const std::string& input, const std::string& output = "");
  // Writes text as file path (the whole file replaced at once); 0, 8 or 10, not notified.
  int writeFile(const std::string& path, const std::string& text);
  // A new temporary file of the current directory, remembered for removal: 0 or 8.
  int temporary(std::string* path);
  void removeTemporaries();
  int readStatus();
  int readUnits();
  int unitIndex(const char* unit) const;
  int finish(int code);

  int registerNumber_ = 1;
  int timeout_ = 10;
  std::string dir_, launcher_, cwd_;
  int waitSeconds_ = 300;
  char units_[kUnits][10] = {};
  int unitCount_ = 0;
  std::vector<std::string> temporaries_;
  std::string goodsFile_;  // kind 1: the goods file being written
  std::string goodsText_;
  long sent_ = 0;
  std::vector<std::string> lines_;  // kind 2: goods lines; kind 3: sale lines
  std::map<int64_t, std::string> goodsOfSales_;
  size_t next_ = 0;
};

class FCRELZAB_SYSTEM600 : public FCRELZAB {
 public:
  const char* name() const override { return "SYSTEM 600"; }
};
class FCRELZAB_ALFA : public FCRELZAB {
 public:
  const char* name() const override { return "ALFA"; }
};
class FCRELZAB_ALFAPLUS : public FCRELZAB {
 public:
  const char* name() const override { return "ALFA PLUS"; }
};
class FCRELZAB_FP600XCEL : public FCRELZAB {
 public:
  const char* name() const override { return "FP600 LUB XCEL"; }
};
class FCRELZAB_ALFASUPER767 : public FCRELZAB {
 public:
  const char* name() const override { return "ALFA SUPER 767"; }
};
class FCRELZAB_ALFASUPER1279 : public FCRELZAB {
 public:
  const char* name() const override { return "ALFA SUPER 1279"; }
};
class FCRELZAB_ALFASUPER2047 : public FCRELZAB {
 public:
  const char* name() const override { return "ALFA SUPER 2047"; }
};
class FCRELZAB_ALFASUPER4095 : public FCRELZAB {
 public:
  const char* name() const override { return "ALFA SUPER 4095"; }
};
class FCRELZAB_ALFALUX1279 : public FCRELZAB {
 public:
  const char* name() const override { return "ALFA LUX 1279"; }
};
class FCRELZAB_ALFALUX2047 : public FCRELZAB {
 public:
  const char* name() const override { return "ALFA LUX 2047"; }
};
class FCRELZAB_ALFALUX4095 : public FCRELZAB {
 public:
  const char* name() const override { return "ALFA LUX 4095"; }
};
class FCRELZAB_DELTA9983 : public FCRELZAB {
 public:
  const char* name() const override { return "DELTA 9983"; }
};
class FCRELZAB_DELTA20479 : public FCRELZAB {
 public:
  const char* name() const override { return "DELTA 20479"; }
};
