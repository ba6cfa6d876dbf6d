// The Elzab registers against fake Elzab programs (tests/devices/fake_elzab.cc) that keep the
// register as text files in their folder.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>

#include "common/text.h"
#include "device_sim.h"
#include "devices/registers/fcr_elzab.h"
#include "platform/cfile.h"

namespace {

const char* const kPrograms[] = {"Opodatek.exe", "Ostatus.exe", "Ojednost.exe", "Zjednost.exe",
                                 "Towarmax.exe", "Otowar.exe",  "Zbptowar.exe", "Ktowar.exe",
                                 "Osprzed.exe",  "Sortpak.exe", "Ksprop.exe",   "Zdataakt.exe"};

RegisterGoods Goods(const char* number, const char* name, const char* rate = "23",
                    const char* unit = "szt.", const char* code = "") {
  RegisterGoods g{};
  SetField(g.number, number);
  SetField(g.name, name);
  SetField(g.taxRate, rate);
  SetField(g.unit, unit);
  SetField(g.code, code);
  g.amount = AMOUNT::FromDouble(12.5);
  return g;
}

class ElzabTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    ASSERT_EQ(::mkdir(elzab.c_str(), 0755), 0);
    for (const char* p : kPrograms)
      ASSERT_EQ(::symlink(TAMSU_BUILD_DIR "/tests/fake_elzab", (elzab + "/" + p).c_str()), 0);
    const INIFILE ini(dir.File("Tamsu.ini"));
    ASSERT_EQ(ini.WriteString("Fiscal Cash Register", "ElzabDirectory", elzab.c_str()), 0);
    ASSERT_EQ(ini.WriteInt("Fiscal Cash Register", "ElzabTimeout", 2), 0);
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
  }
  void TearDown() override {
    reg.close();
    ASSERT_EQ(::chdir("/"), 0);
    DeviceTest::TearDown();
  }
  void Put(const char* file, const std::string& text) { std::ofstream(elzab + "/" + file) << text; }
  std::string Get(const char* file) { return ReadWholeFile(elzab + "/" + file); }

  std::string elzab = dir.File("elzab");
  FCRELZAB_ALFASUPER1279 reg;
};

TEST_F(ElzabTest, APriceListGoesOutAndComesBackWithItsSales) {
  PortSettings s;
  s.baud = 19200;
  ASSERT_EQ(reg.open(3, &s), 0);
  EXPECT_EQ(Get("Konfig.txt"), "$1\tCOM3:19200:MUX0:1\t10\tALFA SUPER 1279\n");
  EXPECT_EQ(ReadWholeFile(dir.File("Empty.txt")), "#1\n#\n#\n");
  EXPECT_EQ(reg.taxRates().letter(AMOUNT::FromInt(8)), '2');
  EXPECT_EQ(reg.taxRates().letter(TaxRateMap::kExempt), '7');

  ASSERT_EQ(reg.beginTransfer(kTransferSendGoods), 0);
  ASSERT_EQ(reg.sendGoods(Goods("000025", "Łódź"_pl, "8", "kg", "5901234123457")), 0);
  ASSERT_EQ(reg.sendGoods(Goods("000026", "Chleb żytni wiejski krojony"_pl, "zw.")), 0);
  ASSERT_EQ(reg.endTransfer(), 0);
  // Latin 2 in the files: Ł 0x9D, ó 0xA2, ź 0xAB; the name cut to 19.
  EXPECT_EQ(Get("goods.txt"),
            "$25\t\x9D\xA2"
            "d\xAB               \t2\t1\t3\t1\t0\t5901234123457\t1250\t0\n"
            "$26\tChleb \xBEytni wiejski\t7\t1\t3\t2\t0\t0\t1250\t0\n");
  EXPECT_EQ(Get("units.txt"), "$01\tkg  \n$02\tszt.\n");

  ASSERT_EQ(reg.beginTransfer(kTransferReadGoods), 0);
  RegisterGoods g{};
  ASSERT_EQ(reg.readGoods(&g), 0);
  EXPECT_STREQ(g.name, "Łódź"_pl);
  EXPECT_STREQ(g.number, "000025");
  EXPECT_STREQ(g.code, "5901234123457");
  EXPECT_STREQ(g.taxRate, "8");
  EXPECT_STREQ(g.unit, "kg");
  EXPECT_EQ(g.amount, AMOUNT::FromDouble(12.5));
  ASSERT_EQ(reg.readGoods(&g), 0);
  EXPECT_STREQ(g.taxRate, "zw.");
  EXPECT_EQ(reg.readGoods(&g), kDevNoMoreRecords);
  ASSERT_EQ(reg.endTransfer(), 0);

  Put("sales.txt", "$26\t2.500\t3125\n$25\t1\t1250\n");
  ASSERT_EQ(reg.beginTransfer(kTransferReadSales), 0);
  ASSERT_EQ(reg.readSale(&g), 0);  // sorted by number
  EXPECT_STREQ(g.name, "Łódź"_pl);
  EXPECT_EQ(g.quantity, AMOUNT::FromInt(1));
  ASSERT_EQ(reg.readSale(&g), 0);
  EXPECT_STREQ(g.number, "000026");
  EXPECT_EQ(g.quantity, AMOUNT::FromDouble(2.5));
  EXPECT_EQ(g.amount, AMOUNT::FromDouble(31.25));
  EXPECT_EQ(reg.readSale(&g), kDevNoMoreRecords);
  ASSERT_EQ(reg.endTransfer(), 0);
  ASSERT_EQ(reg.deleteSales(), 0);
  EXPECT_EQ(Get("sales.txt"), "");
  ASSERT_EQ(reg.deleteGoods(), 0);
  EXPECT_EQ(Get("goods.txt"), "");
  const std::string log = Get("log.txt");
  EXPECT_NE(
      log.find(
          "Osprzed.exe Empty.txt out\nSortpak.exe Sprzedaz.txt out\nOjednost.exe Empty.txt out\n"
          "Otowar.exe"),
      std::string::npos);
  EXPECT_NE(log.find("Zdataakt.exe Empty.txt\nKsprop.exe Empty.txt\n"), std::string::npos);
  for (const auto& call : NotifyLog::Calls()) EXPECT_EQ(call.first, kDevProgress);
  // Nothing of the transfers is left behind in the working directory.
  EXPECT_FALSE(CFILE::Exists("000001.tmp"));
  EXPECT_FALSE(CFILE::Exists("Sprzedaz.txt"));
}

TEST_F(ElzabTest, WhatTheRegisterCannotTakeIsRefusedBeforeItIsSent) {
  EXPECT_EQ(reg.open(10, nullptr), kDevInitFailed);
  EXPECT_FALSE(CFILE::Exists((elzab + "/Konfig.txt").c_str()));
  ASSERT_EQ(reg.open(1, nullptr), 0);
  NotifyLog::Calls().clear();
  ASSERT_EQ(reg.beginTransfer(kTransferSendGoods), 0);
  EXPECT_EQ(reg.validateGoods(Goods("000001", "A", "23", "", "1234567890123")), 0);
  EXPECT_EQ(reg.validateGoods(Goods("000001", "A", "23", "", "12345678901234")), kDevBadName);
  EXPECT_EQ(reg.validateGoods(Goods("000000", "A", "23", "")), kDevBadName);
  EXPECT_EQ(reg.validateGoods(Goods("000001", "A", "7", "")), kDevBadTaxRate);
  for (int i = 1; i <= 16; ++i)
    EXPECT_EQ(reg.validateGoods(Goods("000001", "A", "23", std::to_string(i).c_str())), 0);
  EXPECT_EQ(reg.validateGoods(Goods("000001", "A", "23", "17")), kDevBadName);
  EXPECT_EQ(reg.sendGoods(Goods("000001", "A", "23", "18")), kDevBadName);
  EXPECT_EQ(NotifyLog::Calls(), (Calls{{kDevBadName, 0}}));
}

// The programs' exit codes, a missing or hanging program and a broken exchange file, each
// reported once and in bounded time.
TEST_F(ElzabTest, ProgramFailuresBecomeTheirMessages) {
  struct Case {
    const char* exit;   // exit.txt
    const char* goods;  // goods.txt
    const char* status;
    int code;
    long argument;
  } cases[] = {
      {"Ksprop.exe 103", "", "", kDevBadTaxRate, 0},
      {"Ksprop.exe 55", "", "", kDevHardware, 55},
      {"Ksprop.exe 7", "", "", kDevConfiguration, 0},
      {"Ksprop.exe 201", "", "", kDevNoFiscalReport, 0},
      {"Ksprop.exe hang", "", "", kDevNoAnswer, 0},
      {"", "$1\tChleb\t1\t1\t3\n", "", kDevFileRead, 0},  // a truncated goods line
      {"", "$x\tChleb\t1\t1\t3\t0\t0\t0\t100\t0\n", "", kDevFileRead, 0},
      {"", "", "$12\t1\n$18\t1\n", kDevNoPaper, 0},
      {"", "", "$12\t1\n$19\t1\n$23\t1\n", kDevHardware, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.exit) + c.goods + c.status);
    Put("exit.txt", c.exit);
    Put("goods.txt", c.goods);
    Put("status.txt", c.status);
    ASSERT_EQ(reg.open(1, nullptr), 0);
    NotifyLog::Calls().clear();
    const auto start = std::chrono::steady_clock::now();
    int rc = reg.beginTransfer(kTransferReadGoods);
    RegisterGoods g{};
    if (rc == 0) rc = reg.readGoods(&g);
    if (rc == 0 || rc == kDevNoMoreRecords) rc = reg.deleteSales();
    EXPECT_EQ(rc, c.code);
    EXPECT_EQ(NotifyLog::Calls(), (Calls{{c.code, c.argument}}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    reg.close();
  }
  ::unlink((elzab + "/Opodatek.exe").c_str());
  NotifyLog::Calls().clear();
  EXPECT_EQ(reg.open(1, nullptr), kDevNoFile);
  EXPECT_EQ(NotifyLog::Calls(), (Calls{{kDevNoFile, 0}}));
}

}  // namespace
