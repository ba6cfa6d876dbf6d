// The Posnet printer protocol against its simulated printer on a pseudo-terminal.
#include <chrono>
#include <cstring>
#include <memory>

#include "devices/printers/fpr_df301.h"
#include "posnet_sim.h"

namespace {

ReceiptLine Line(const char* name, double price, double quantity, double rate = 23, const char* unit = "szt") {
  ReceiptLine l{};
  std::snprintf(l.name, sizeof l.name, "%s", name);
  std::snprintf(l.unit, sizeof l.unit, "%s", unit);
  l.price = AMOUNT::FromDouble(price);
  l.quantity = AMOUNT::FromDouble(quantity);
  l.taxRate = AMOUNT::FromDouble(rate);
  return l;
}

// A printer on its simulator, fresh for each case.
struct Rig {
  POSNET_SIM sim;
  SIM_PORT port{&sim, false};
  FPRDF301 printer;
  Rig() { printer.usePort(&port); }
  ~Rig() {
    printer.close();
    sim.Stop();
  }
};

class PosnetTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    Fresh();
  }
  void TearDown() override {
    rig.reset();
    DeviceTest::TearDown();
  }
  // A new printer and simulator; configure lets the test set the simulator up first.
  template <class F = void (*)(POSNET_SIM&)>
  void Fresh(F configure = [](POSNET_SIM&) {}) {
    rig.reset();
    rig = std::make_unique<Rig>();
    configure(rig->sim);
    NameCom1(rig->sim.path());
    rig->sim.Start();
  }
  void OpenAndBegin() {
    ASSERT_EQ(rig->printer.open(1, nullptr), 0);
    ASSERT_EQ(rig->printer.beginReceipt(), 0);
    NotifyLog::Calls().clear();
  }
  // The frames after the opening four (0$e, 1#e, 0#s, 0$h).
  std::vector<std::string> FramesAfterBegin() {
    rig->sim.Stop();
    std::vector<std::string> f = rig->sim.Frames();
    EXPECT_GE(f.size(), 4u);
    return f.size() < 4 ? f : std::vector<std::string>(f.begin() + 4, f.end());
  }

  std::unique_ptr<Rig> rig;
};

TEST(PosnetFrame, TheChlebLineByteForByte) {
  const std::string body = FPRDF301::LineBody(1, "CHLEB", AMOUNT::FromInt(2), "szt", 'A', AMOUNT::FromDouble(1.5),
                                              AMOUNT::FromInt(3));
  const std::string text = "1$lCHLEB" + std::string(35, ' ') + "\r      2.00 szt\rA/1.50/3.00/";
  ASSERT_EQ(body, text);
  uint8_t x = 0xFF;
  for (char c : text) x ^= static_cast<uint8_t>(c);
  char hex[3];
  std::snprintf(hex, sizeof hex, "%02X", x);
  EXPECT_EQ(FPRDF301::Frame(body, true), "\x1bP" + text + hex + "\x1b\\");
  // The fixed commands carry the checksums the printer knows them by.
  EXPECT_EQ(FPRDF301::Frame("1#e", true), "\x1bP1#e88\x1b\\");
  EXPECT_EQ(FPRDF301::Frame("0$h", true), "\x1bP0$h83\x1b\\");
  EXPECT_EQ(FPRDF301::Frame("0$e", true), "\x1bP0$e8E\x1b\\");
  EXPECT_EQ(FPRDF301::Frame(std::string(130, 'x'), true), "");
}

TEST(PosnetFrame, TaxRateAnswers) {
  struct Case {
    const char* answer;
    int result;
    const char* letters;  // the letters of 23, 8, 0, 5 and exempt; '-' none
  } cases[] = {
      {"\x1bP1#X/23.00/8.00/0.00/5.00/100.00/101.00/101.00/0/0/0/0/0/0/0/0/0/0/\x1b\\", 0, "ABCDE"},
      {"\x1bP1#X/101/8/x/5/0/0/0/0/0/0/0/0/\x1b\\", 0, "-B-DC"},  // a non-number is exempt; Z refused
      {"\x1bP1#X/23/0/0/0/0/0/0/0/0/0/0/0/\x1b\\", 0, "A-B-Z"},  // 0 twice: the second refused
      {"\x1bP1#X/23/8/\x1b\\", kDevTaxRatesUnreadable, "-----"},
  };
  for (const Case& c : cases) {
    TaxRateMap map;
    EXPECT_EQ(FPRDF301::ParseTaxRates(c.answer, &map), c.result) << c.answer;
    const AMOUNT rates[] = {AMOUNT::FromInt(23), AMOUNT::FromInt(8), AMOUNT(), AMOUNT::FromInt(5), TaxRateMap::kExempt};
    std::string got;
    for (AMOUNT r : rates) got += map.letter(r) ? static_cast<char>(map.letter(r)) : '-';
    EXPECT_EQ(got, c.letters) << c.answer;
  }
}

TEST_F(PosnetTest, AReceiptGoesFrameByFrameWithItsChecksums) {
  OpenAndBegin();
  EXPECT_EQ(rig->printer.taxRates().letter(AMOUNT::FromInt(23)), 'A');
  ASSERT_EQ(rig->printer.addLine(Line("CHLEB", 1.5, 2)), 0);
  ASSERT_EQ(rig->printer.addLine(Line("Zwrot", 1.5, -1)), 0);   // a return: line number 0
  ASSERT_EQ(rig->printer.addLine(Line("Gratis", 0, 3)), 0);     // value 0: nothing is sent
  ASSERT_EQ(rig->printer.endReceipt(), 0);
  rig->sim.Stop();
  const std::vector<std::string> f = rig->sim.Frames();
  ASSERT_EQ(f.size(), 7u);
  EXPECT_EQ(f[0], "0$e");
  EXPECT_EQ(f[1], "1#e");
  EXPECT_EQ(f[2], "0#s");
  EXPECT_EQ(f[3], "0$h");
  EXPECT_EQ(f[4], "1$lCHLEB" + std::string(35, ' ') + "\r      2.00 szt\rA/1.50/3.00/");
  EXPECT_EQ(f[5], "0$lZwrot" + std::string(35, ' ') + "\r     -1.00 szt\rA/1.50/1.50/");
  EXPECT_EQ(f[6], "1;0$e   \r0.00/1.50/");
  EXPECT_EQ(rig->sim.BadChecksums(), 0);
  EXPECT_TRUE(NotifyLog::Calls().empty());
}

TEST_F(PosnetTest, RefusalsReachTheUserAsTheirCodesAndCancelTheReceipt) {
  struct Case {
    POSNET_SIM::Answer answer;
    long error_number;
    int poll_answer;
    ReceiptLine line;
    int code;
    long argument;
  } cases[] = {
      {POSNET_SIM::kAccept, 0, 0, Line("Woda", 2, 1, 7), kDevBadTaxRate, 1},  // 7 % has no letter
      {POSNET_SIM::kRefuse, 19, 0, Line("Woda", 2, 1), kDevBadPrice, 1},
      {POSNET_SIM::kRefuse, 23, 0, Line("Woda", 2, 1), kDevTooManyLines, 1},
      {POSNET_SIM::kRefuse, 0, 0, Line("Woda", 2, 1), kDevDriverError, -1},
      {POSNET_SIM::kRefuse, 99, 0, Line("Woda", 2, 1), kDevHardware, 99},
      {POSNET_SIM::kPaperOut, 0, 0, Line("Woda", 2, 1), kDevNoPaper, 1},
      {POSNET_SIM::kGarbage, 0, 0, Line("Woda", 2, 1), kDevNoAnswer, 1},
      {POSNET_SIM::kSilent, 0, 0, Line("Woda", 2, 1), kDevNoAnswer, 1},
      {POSNET_SIM::kSilent, 0, 2, Line("Woda", 2, 1), kDevCancelled, 1},  // Esc and "Tak"
      {POSNET_SIM::kAccept, 0, 0, Line("Drogo", 100000000, 1), kDevBadPrice, 1},
      {POSNET_SIM::kAccept, 0, 0, Line("Dużo", 1, 100000000), kDevBadQuantity, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line.name + std::string(" ") + std::to_string(c.code));
    Fresh([&c](POSNET_SIM& sim) {
      const POSNET_SIM::Answer answer = c.answer;
      sim.judge = [answer](const std::string& body) {
        return body.find("$l") != std::string::npos ? answer : POSNET_SIM::kAccept;
      };
      sim.error_number = c.error_number;
    });
    OpenAndBegin();
    NotifyLog::PollAnswer() = c.poll_answer;
    EXPECT_EQ(rig->printer.addLine(c.line), c.code);
    NotifyLog::PollAnswer() = 0;
    ASSERT_EQ(NotifyLog::Calls().size(), 1u);
    EXPECT_EQ(NotifyLog::Calls()[0], std::make_pair(c.code, c.argument));
    EXPECT_EQ(rig->printer.endReceipt(), kDevNotInitialised);
    const std::vector<std::string> after = FramesAfterBegin();
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(after.back(), "0$e");
  }
}

TEST_F(PosnetTest, The256thLineIsRefused) {
  OpenAndBegin();
  for (int i = 1; i <= 255; ++i) ASSERT_EQ(rig->printer.addLine(Line("Bułka", 0.5, 1)), 0) << i;
  EXPECT_EQ(rig->printer.addLine(Line("Bułka", 0.5, 1)), kDevTooManyLines);
  EXPECT_EQ(NotifyLog::Calls(), (std::vector<std::pair<int, long>>{{kDevTooManyLines, 256}}));
  const std::vector<std::string> after = FramesAfterBegin();
  ASSERT_EQ(after.size(), 256u);
  EXPECT_EQ(after[254].substr(0, 6), "255$lB");
  EXPECT_EQ(after[255], "0$e");
}

TEST_F(PosnetTest, XoffHoldsTheNextFrameUntilXon) {
  Fresh([](POSNET_SIM& sim) { sim.xoff_after = "0$h"; });
  OpenAndBegin();
  EXPECT_EQ(rig->printer.addLine(Line("CHLEB", 1.5, 2)), 0);
  rig->sim.Stop();
  EXPECT_TRUE(rig->sim.XonSent());
  EXPECT_EQ(rig->sim.BytesWhileStopped(), 0);
  EXPECT_EQ(rig->sim.Frames().back().substr(0, 8), "1$lCHLEB");
}

TEST_F(PosnetTest, APrinterUnpluggedMidReceiptFailsAtOnce) {
  OpenAndBegin();
  rig->sim.Unplug();
  const auto start = std::chrono::steady_clock::now();
  const int rc = rig->printer.addLine(Line("CHLEB", 1.5, 2));
  // Whether the hang-up shows at the write or at the answer, the user reads the same message.
  EXPECT_TRUE(rc == kDevNoAnswer || rc == kDevWriteFailed || rc == kDevLineError) << rc;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(rig->printer.endReceipt(), kDevNotInitialised);
}

}  // namespace
