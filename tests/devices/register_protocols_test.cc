// The Optimus, Posnet and Sharp registers against their simulated registers.
#include <memory>

#include "common/text.h"
#include "devices/registers/fcr_optimus.h"
#include "devices/registers/fcr_posnet.h"
#include "devices/registers/fcr_sharp.h"
#include "register_sims.h"

namespace {

RegisterGoods Goods(const char* number, const char* name, double price, const char* code = "",
                    const char* rate = "23") {
  RegisterGoods g{};
  SetField(g.number, number);
  SetField(g.name, name);
  SetField(g.code, code);
  SetField(g.taxRate, rate);
  g.amount = AMOUNT::FromDouble(price);
  return g;
}

// A register of class R on a simulator of class S, the simulator running.
template <class R, class S>
struct Rig {
  S sim;
  SIM_PORT port{&sim};
  R reg;
  template <class... A>
  explicit Rig(A... a) : sim(a...) {
    reg.usePort(&port);
    sim.dsr = true;
  }
  ~Rig() { reg.close(); }
};

using RegisterTest = DeviceTest;
using Calls = std::vector<std::pair<int, long>>;

Calls Failures() {
  Calls f;
  for (const auto& c : NotifyLog::Calls())
    if (c.first != kDevProgress) f.push_back(c);
  return f;
}

TEST_F(RegisterTest, OptimusPacketsAndAWholeRoundTrip) {
  // Goods 25 without a code goes as 00025 right-aligned in 18; the checksum as the register reckons
  // it.
  const std::string plu =
      FCROPTIMUS_TANGO::PKTPLU(Goods("000025", "Chleb", 12.5), 'A', true).data();
  EXPECT_EQ(plu, OPTIMUS_SIM::Seal("\x02"
                                   "DI1" +
                                       std::string(13, ' ') + "00025Chleb" + std::string(13, ' ') +
                                       "      1250A0110000100" + std::string(18, ' '),
                                   '\x17'));
  Rig<FCROPTIMUS_BRAVO, OPTIMUS_SIM> r;
  NameCom1(r.sim.path());
  r.sim.sales = {{"25", "Chleb", 2500, 2000}, {"5901234123457", "Mleko", -300, -1000}};
  r.sim.Start();
  ASSERT_EQ(r.reg.open(1, nullptr), 0);
  EXPECT_EQ(r.reg.taxRates().letter(AMOUNT::FromInt(5)), 'D');
  EXPECT_EQ(r.reg.taxRates().used(), 4);
  ASSERT_EQ(r.reg.beginTransfer(kTransferSendGoods), 0);
  ASSERT_EQ(r.reg.sendGoods(Goods("000025", "Chleb", 12.5)), 0);
  ASSERT_EQ(r.reg.sendGoods(Goods("", "Mleko", 3, "5901234123457", "8")), 0);
  ASSERT_EQ(r.reg.endTransfer(), 0);
  ASSERT_EQ(r.reg.beginTransfer(kTransferReadGoods), 0);
  RegisterGoods g{};
  ASSERT_EQ(r.reg.readGoods(&g), 0);
  EXPECT_STREQ(g.number, "000025");
  EXPECT_EQ(g.amount, AMOUNT::FromDouble(12.5));
  ASSERT_EQ(r.reg.readGoods(&g), 0);
  EXPECT_STREQ(g.code, "5901234123457");
  EXPECT_STREQ(g.taxRate, "8");
  EXPECT_EQ(r.reg.readGoods(&g), kDevNoMoreRecords);
  ASSERT_EQ(r.reg.endTransfer(), 0);
  ASSERT_EQ(r.reg.beginTransfer(kTransferReadSales), 0);
  ASSERT_EQ(r.reg.readSale(&g), 0);
  EXPECT_STREQ(g.number, "000025");
  EXPECT_EQ(g.quantity, AMOUNT::FromInt(2));
  EXPECT_EQ(g.amount, AMOUNT::FromInt(25));
  ASSERT_EQ(r.reg.readSale(&g), 0);
  EXPECT_STREQ(g.code, "5901234123457");
  EXPECT_EQ(g.amount, AMOUNT::FromInt(-3));
  ASSERT_EQ(r.reg.endTransfer(), 0);
  ASSERT_EQ(r.reg.deleteSales(), 0);
  ASSERT_EQ(r.reg.deleteGoods(), 0);
  r.sim.Stop();
  EXPECT_TRUE(r.sim.sales.empty());
  EXPECT_TRUE(r.sim.plus.empty());
  EXPECT_EQ(r.sim.Commands(),
            (std::vector<std::string>{"SK0", "SI1", "SI0", "SU0", "SU2", "SI0", "SI1"}));
  EXPECT_EQ(r.sim.BadChecksums(), 0);
  EXPECT_EQ(Failures(), Calls{});

  FCROPTIMUS_TANGO& reg = r.reg;
  EXPECT_EQ(reg.validateGoods(Goods("", "Mleko", 3, "590123412345")),
            kDevBadName);  // 12 characters
  EXPECT_EQ(reg.validateGoods(Goods("", "Mleko", 3, "59012341")), 0);
  EXPECT_EQ(reg.validateGoods(Goods("016001", "Mleko", 3)), kDevBadName);
  EXPECT_EQ(reg.validateGoods(Goods("016000", "Mleko pełne 3,2% 1l"_pl, 3)),
            kDevBadName);  // 19 characters
  EXPECT_EQ(reg.validateGoods(Goods("016000", "Mleko", 3, "", "7")), kDevBadTaxRate);
}

TEST_F(RegisterTest, OptimusErrorPacketsAndTheBusyRegister) {
  struct Case {
    const char* fail;
    long number;
    int tabs;
    int code;
    long argument;
  } cases[] = {
      {"SI0", 15, 0, kDevNoFiscalReport, 0},  // "Nie wykonano raportu fiskalnego."
      {"SI0", 0x63, 0, kDevDriverError, 0x63},
      {"", 0, 10, kDevOk, 0},               // ten TABs keep the reading alive
      {"", 0, 12, kDevNothingReceived, 0},  // the eleventh no longer does
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    Rig<FCROPTIMUS_TANGO, OPTIMUS_SIM> r;
    NameCom1(r.sim.path());
    r.sim.plus.push_back(FCROPTIMUS_TANGO::PKTPLU(Goods("000001", "Chleb", 1), 'A', true).data());
    r.sim.Start();
    ASSERT_EQ(r.reg.open(1, nullptr), 0);
    NotifyLog::Calls().clear();
    r.sim.Stop();
    r.sim.fail_command = c.fail;
    r.sim.error_number = c.number;
    r.sim.tabs = c.tabs;
    r.sim.Start();
    EXPECT_EQ(r.reg.beginTransfer(kTransferReadGoods), c.code);
    EXPECT_EQ(Failures(), c.code ? (Calls{{c.code, c.argument}}) : Calls{});
  }
}

TEST_F(RegisterTest, PosnetEcrFramesAndARoundTrip) {
  FCRPOSNET::ResetSequence();
  std::string first = FCRPOSNET::Frame(",a", "\r\r1\r");
  EXPECT_EQ(first.substr(0, 6), "\x1bP,a00");
  uint8_t x = 0xFF;
  for (char c : std::string(",a00\r\r1\r")) x ^= static_cast<uint8_t>(c);
  EXPECT_EQ(first.substr(10), sims::Hex2(x) + "\x1b\\");
  EXPECT_EQ(FCRPOSNET::Frame("*a", "\r").substr(4, 2), "01");
  for (int i = 2; i <= 255; ++i) FCRPOSNET::Frame("(l", "\r");
  EXPECT_EQ(FCRPOSNET::Frame("(l", "\r").substr(4, 2), "00");

  Rig<FCRPOSNET, POSNET_REG_SIM> r;
  NameCom1(r.sim.path());
  r.sim.settings = 0;
  r.sim.Start();
  ASSERT_EQ(r.reg.open(1, nullptr), 0);
  ASSERT_EQ(r.reg.beginTransfer(kTransferSendGoods), 0);
  EXPECT_EQ(r.reg.sendGoods(Goods("032001", "Chleb", 1)),
            kDevBadName);  // refused before anything is sent
  ASSERT_EQ(r.reg.sendGoods(Goods("000025", "Łódź"_pl, 12.5, "5901234123457", "8")), 0);
  ASSERT_EQ(r.reg.endTransfer(), 0);
  r.sim.Sell(25, 2);
  ASSERT_EQ(r.reg.beginTransfer(kTransferReadSales), 0);
  RegisterGoods g{};
  ASSERT_EQ(r.reg.readSale(&g), 0);
  EXPECT_STREQ(g.name, "Łódź"_pl);
  EXPECT_STREQ(g.code, "5901234123457");
  EXPECT_STREQ(g.taxRate, "8");
  EXPECT_EQ(g.quantity, AMOUNT::FromInt(2));
  EXPECT_EQ(g.amount, AMOUNT::FromInt(25));
  EXPECT_EQ(r.reg.readSale(&g), kDevNoMoreRecords);  // error 49: the end, not a failure
  ASSERT_EQ(r.reg.endTransfer(), 0);
  ASSERT_EQ(r.reg.deleteSales(), 0);
  ASSERT_EQ(r.reg.deleteGoods(), 0);
  r.sim.Stop();
  EXPECT_TRUE(r.sim.goods.empty());
  const std::vector<std::string> b = r.sim.Bodies();
  ASSERT_GE(b.size(), 9u);
  EXPECT_EQ(b[3], ")b02\r78\r24\r");
  // "(a" and "&a" refused for goods the register lacks (each answer followed by ",a"), then "%a".
  EXPECT_EQ(b[4].substr(0, 2) + b[5].substr(0, 4) + b[6].substr(0, 2) + b[7].substr(0, 4) +
                b[8].substr(0, 2),
            "(a,a00&a,a00%a");
  EXPECT_EQ(b[8].substr(4),
            "\r25\r\x9c\xa2"
            "d\xa6\r2\r5901234123457\r0\r12.50\r0\r\r\r\r\r\r\r\r\r\r12.50\r0.000\r");
  EXPECT_EQ(r.sim.BadChecksums(), 0);
  EXPECT_EQ(Failures(), (Calls{{kDevBadName, 0}}));

  // Without the bits 8 and 4 the register does not give its sales.
  r.sim.settings = 64;
  r.sim.Start();
  NotifyLog::Calls().clear();
  EXPECT_EQ(r.reg.beginTransfer(kTransferReadSales), kDevConfiguration);
  EXPECT_EQ(Failures(), (Calls{{kDevConfiguration, 0}}));
}

// A Bingo (short goods frames) or a Bingo Plus (long ones): goods out, sales in, goods deleted.
template <class R>
void BingoRoundTrip(bool longForm) {
  const std::string fe = "\xFE";
  Rig<R, POSNET_REG_SIM> r('R');
  ASSERT_EQ(INIFILE(ConfigPath()).WriteString("Ports", "COM1", r.sim.path().c_str()), 0);
  r.sim.Start();
  ASSERT_EQ(r.reg.open(1, nullptr), 0);
  ASSERT_EQ(r.reg.beginTransfer(kTransferSendGoods), 0);
  ASSERT_EQ(r.reg.sendGoods(Goods("000007", "Chleb", 3.5, "", "zw.")), 0);
  r.sim.Stop();
  const std::string head = "#p5" + fe + "1" + fe + "7\tChleb\n0000000000000\n350\t0\t";
  EXPECT_EQ(r.sim.Bodies().back(), longForm ? head + "0\t0" + fe + "0" + fe + "1" + fe +
                                                  "00\t11\t11" + fe + "0" + fe + "0" + fe
                                            : head + "0" + fe + "0" + fe);
  r.sim.goods[7].sold = 2;
  r.sim.goods[7].value = 7;
  r.sim.Start();
  ASSERT_EQ(r.reg.beginTransfer(kTransferReadSales), 0);
  RegisterGoods g{};
  ASSERT_EQ(r.reg.readSale(&g), 0);
  EXPECT_STREQ(g.taxRate, "zw.");
  EXPECT_EQ(g.amount, AMOUNT::FromInt(7));
  EXPECT_EQ(r.reg.readSale(&g), kDevNoMoreRecords);
  ASSERT_EQ(r.reg.deleteGoods(), 0);
  r.sim.Stop();
  EXPECT_TRUE(r.sim.goods.empty());
  EXPECT_EQ(r.sim.BadChecksums(), 0);
  r.sim.fail_command = "#p";
  r.sim.error_number = 113;
  r.sim.Start();
  NotifyLog::Calls().clear();
  ASSERT_EQ(r.reg.beginTransfer(kTransferSendGoods), 0);
  EXPECT_EQ(r.reg.sendGoods(Goods("000007", "Chleb", 3.5)), kDevDuplicateGoods);
  ASSERT_EQ(Failures().size(), 1u);
  EXPECT_EQ(Failures()[0].first, kDevDuplicateGoods);
}

TEST_F(RegisterTest, PosnetBingoAndBingoPlusGoodsFrames) {
  BingoRoundTrip<FCRBINGO>(false);
  BingoRoundTrip<FCRBINGOPLUS>(true);
}

TEST_F(RegisterTest, SharpFramesFilesAndFunctions) {
  // Counter 1, "/90-00/": 256 minus the byte sum, two hex digits.
  unsigned sum = '1';
  for (char c : std::string("/90-00/")) sum += static_cast<uint8_t>(c);
  EXPECT_EQ(FCRSHARP::FRAME::Make(1, "/90-00/"),
            "\x02"
            "1/90-00/" +
                sims::Hex2(256 - sum % 256) + "\r");
  EXPECT_EQ(FCRSHARP::ToSharp("Łódź"_pl),
            "\xCA\xCF"
            "d\xD2");

  Rig<FCRSHARP, SHARP_SIM> r;
  NameCom1(r.sim.path());
  r.sim.results["/32-01/0100/"] = 701;
  r.sim.corrupt_once = true;
  r.sim.Start();
  ASSERT_EQ(r.reg.open(1, nullptr), 0);
  ASSERT_EQ(r.reg.display("Łódź"_pl), 0);
  ASSERT_EQ(r.reg.display(std::string(40, 'x').c_str()), 0);
  ASSERT_EQ(r.reg.beginTransfer(kTransferSendGoods), 0);
  EXPECT_EQ(r.reg.validateGoods(Goods("12345", "Bez kodu", 1)), kDevBadName);
  EXPECT_EQ(r.reg.validateGoods(Goods("000001", "Drogo", 1000000)), kDevBadPrice);
  ASSERT_EQ(r.reg.sendGoods(Goods("000001", "Chleb żytni"_pl, 3.5)), 0);
  ASSERT_EQ(r.reg.sendGoods(Goods("12345", "Mleko", 2.99, "59012341", "8")), 0);
  ASSERT_EQ(r.reg.endTransfer(), 0);
  r.sim.Stop();
  ASSERT_EQ(r.sim.plu.count(1), 1u);
  EXPECT_EQ(r.sim.plu[1].name, "Chleb \xD1ytni");
  EXPECT_EQ(r.sim.ean[59012341].price, 299);
  r.sim.plu[1].sold = 1500;
  r.sim.plu[1].value = 525;
  r.sim.Start();
  ASSERT_EQ(r.reg.beginTransfer(kTransferReadSales), 0);
  RegisterGoods g{};
  ASSERT_EQ(r.reg.readSale(&g), 0);
  EXPECT_STREQ(g.name, "Chleb żytni"_pl);
  EXPECT_EQ(g.quantity, AMOUNT::FromDouble(1.5));
  EXPECT_EQ(g.amount, AMOUNT::FromDouble(5.25));
  ASSERT_EQ(r.reg.readSale(&g), 0);
  EXPECT_STREQ(g.code, "59012341");
  EXPECT_STREQ(g.taxRate, "8");
  EXPECT_EQ(r.reg.readSale(&g), kDevNoMoreRecords);
  ASSERT_EQ(r.reg.endTransfer(), 0);
  ASSERT_EQ(r.reg.deleteSales(), 0);
  ASSERT_EQ(r.reg.deleteGoods(), 0);
  EXPECT_EQ(r.reg.fiscalReport(), kDevNoFiscalReport);
  r.sim.Stop();
  EXPECT_TRUE(r.sim.plu.empty() && r.sim.ean.empty());
  const std::vector<std::string> f = r.sim.Functions();
  ASSERT_GE(f.size(), 2u);
  EXPECT_EQ(f[0], "/92-00/CACF64D2/");
  std::string cut;
  for (int i = 0; i < 30; ++i) cut += "78";  // "x" is 0x78
  EXPECT_EQ(f[1], "/92-00/" + cut + "/");
  const std::string all = [&] {
    std::string s;
    for (const std::string& t : f) s += t + " ";
    return s;
  }();
  EXPECT_NE(all.find("/32-01/0120/ /32-01/0109/ "), std::string::npos);
  EXPECT_NE(all.find("/20-02/10////010000000000/ /20-02/11////010000000000/"), std::string::npos);
  EXPECT_EQ(r.sim.BadChecksums(), 0);
  EXPECT_EQ(Failures(), (Calls{{kDevNoFiscalReport, 0}}));

  // More goods than the register holds.
  r.sim.capacity = 1;
  r.sim.Start();
  NotifyLog::Calls().clear();
  ASSERT_EQ(r.reg.beginTransfer(kTransferSendGoods), 0);
  ASSERT_EQ(r.reg.sendGoods(Goods("000001", "A", 1)), 0);
  ASSERT_EQ(r.reg.sendGoods(Goods("000002", "B", 1)), 0);
  EXPECT_EQ(r.reg.endTransfer(), kDevTooManyLines);
  EXPECT_EQ(Failures(), (Calls{{kDevTooManyLines, 0}}));
}

}  // namespace
