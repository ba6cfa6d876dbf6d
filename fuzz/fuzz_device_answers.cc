// Arbitrary bytes as everything a fiscal printer or cash register answers: each protocol's answer
// parsers take them directly, each printer runs a whole receipt and each register every
// operation with them as all its port ever reads. Nothing may crash, hang or read outside its
// buffers, whatever the device says.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/text.h"
#include "devices/printers/fpr_df301.h"
#include "devices/printers/fpr_fp600.h"
#include "devices/printers/fpr_mb270.h"
#include "devices/registers/fcr_elzab.h"
#include "devices/registers/fcr_optimus.h"
#include "devices/registers/fcr_posnet.h"
#include "devices/registers/fcr_sharp.h"

namespace {

// A port whose device answers with the fuzz bytes and whose waits take no time.
class FUZZ_PORT : public PORTCOM {
 public:
  FUZZ_PORT(const uint8_t* data, size_t size, int lines)
      : data_(data), size_(size), lines_(lines) {}

 protected:
  int rawOpen(const std::string&, const PortSettings&) override { return 0; }
  void rawClose() override {}
  int rawRead(uint8_t* byte) override {
    if (at_ >= size_) return 0;
    *byte = data_[at_++];
    return 1;
  }
  int rawWrite(uint8_t) override { return 0; }
  void rawDiscardInput() override {}  // the answers stay: they are all there is
  int rawModem() override { return lines_; }
  void rawSetModem(int, bool) override {}
  void rawWait(int) override {}
  void rawPause(int) override {}

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
  int lines_;
};

ReceiptLine Line(const char* name, double price, double quantity, double rate) {
  ReceiptLine l{};
  std::snprintf(l.name, sizeof l.name, "%s", name);
  std::snprintf(l.unit, sizeof l.unit, "szt.");
  l.price = AMOUNT::FromDouble(price);
  l.quantity = AMOUNT::FromDouble(quantity);
  l.taxRate = AMOUNT::FromDouble(rate);
  return l;
}

void Receipt(FPR& printer, const uint8_t* data, size_t size, int lines) {
  FUZZ_PORT port(data, size, lines);
  printer.usePort(&port);
  if (printer.open(1, nullptr) == 0 && printer.beginReceipt() == 0) {
    printer.addLine(Line("Chleb", 3.5, 2, 23));
    printer.addLine(Line("Zwrot", 1.25, -1, 8));
    if (printer.endReceipt() != 0) printer.cancelReceipt();
  }
  printer.close();
}

RegisterGoods Goods(const char* number, const char* code, const char* rate) {
  RegisterGoods g{};
  SetField(g.number, number);
  SetField(g.name, "Chleb");
  SetField(g.code, code);
  SetField(g.taxRate, rate);
  g.amount = AMOUNT::FromDouble(3.5);
  return g;
}

// Every operation of a register, its readings to their end.
void Register(FCR& reg, const uint8_t* data, size_t size, int lines) {
  FUZZ_PORT port(data, size, lines);
  reg.usePort(&port);
  if (reg.open(1, nullptr) == 0) {
    RegisterGoods g{};
    for (int kind : {kTransferReadGoods, kTransferReadSales}) {
      if (reg.beginTransfer(kind) != 0) continue;
      int rc, n = 0;
      while ((rc = kind == kTransferReadGoods ? reg.readGoods(&g) : reg.readSale(&g)) == 0 &&
             ++n < 100000) {}
      rc == kDevNoMoreRecords ? reg.endTransfer() : reg.abortTransfer();
    }
    if (reg.beginTransfer(kTransferSendGoods) == 0) {
      reg.sendGoods(Goods("000025", "", "23"));
      reg.sendGoods(Goods("000026", "5901234123457", "8"));
      reg.endTransfer();
    }
    reg.deleteGoods();
    reg.deleteSales();
    reg.fiscalReport();
    reg.display("Łódź"_pl);
  }
  reg.close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int lines = data[0] & 0x0F;  // the modem lines the device shows
  const uint8_t* answer = data + 1;
  const size_t n = size - 1;

  const std::string text(reinterpret_cast<const char*>(answer), n);
  TaxRateMap map;
  FPRDF301::ParseTaxRates(text.c_str(), &map);
  long number = 0;
  FPRDF301::ParseErrorNumber(text.c_str(), &number);
  FPRDF301::MechanismCode(n ? answer[0] : 0);
  FPRFP600::ParseTaxRates(data[0], answer, static_cast<int>(n < 33 ? n : 33), &map);
  if (n >= 2) FPRFP600::StatusCode(answer[0], answer[1]);
  FPRMB270::AnswerCode(text, n ? answer[0] : 0x41, n > 1 ? static_cast<char>(answer[1]) : 'B');
  if (map.used() > TaxRateMap::kEntries) __builtin_trap();

  FPRDF301 posnet;
  Receipt(posnet, answer, n, lines);
  FPRFP600 elzab;
  Receipt(elzab, answer, n, lines);
  FPRMB270 megabyte;
  Receipt(megabyte, answer, n, lines);

  std::vector<std::string> split;
  for (size_t from = 0; from <= text.size();) {
    const size_t nl = text.find('\n', from);
    split.push_back(text.substr(from, nl == std::string::npos ? std::string::npos : nl - from));
    from = nl == std::string::npos ? text.size() + 1 : nl + 1;
  }
  FCRELZAB::StatusCode(split);
  FCRELZAB::ParseTaxRates(split, &map);
  RegisterGoods g{};
  char units[FCRELZAB::kUnits][10] = {"szt.", "kg"};
  for (const std::string& line : split) {
    int64_t number = 0;
    AMOUNT quantity, grosz;
    FCRELZAB::GoodsFromLine(line, map, units, &g);
    FCRELZAB::SaleFromLine(line, &number, &quantity, &grosz);
  }
  FCRPOSNET::DecodeRecord(FCRPOSNET::AnswerFields(text), map, kTransferReadSales, &g);
  FCRPSNT2::DecodeRecord(text, map, kTransferReadGoods, &g);
  FCRSHARP::FILEHEADER header;
  if (FCRSHARP::ParseHeader(text, &header)) {
    FCRSHARP::PLU().decode(text, header, map, &g, &g.amount);
    FCRSHARP::EAN().decode(text, header, map, &g, &g.amount);
  }
  std::string frameText;
  FCRSHARP::FRAME::Text(text, &frameText);
  FCRSHARP::FromSharp(text);
  if (n >= 99) FCROPTIMUS_TANGO::PKTSALE(text.substr(0, 99)).decode(&g);
  if (n >= 84) FCROPTIMUS_TANGO::PKTPLU(text.substr(0, 84)).decode(map, &g);
  if (n >= 47) FCROPTIMUS_TANGO::PKTERR(text.substr(0, 47)).number();
  if (n >= 32) FCROPTIMUS_TANGO::PKTVAT(text.substr(0, 32)).decode(&map);
  if (map.used() > TaxRateMap::kEntries) __builtin_trap();

  FCROPTIMUS_TANGO optimus;
  Register(optimus, answer, n, lines);
  FCRPOSNET posnet_ecr;
  Register(posnet_ecr, answer, n, lines);
  FCRBINGOPLUS bingo;
  Register(bingo, answer, n, lines);
  FCRSHARP sharp;
  Register(sharp, answer, n, lines);
  return 0;
}
