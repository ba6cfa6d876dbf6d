// The Posnet printer protocol against its simulated printer on a pseudo-terminal.
#include <chrono>
#include <memory>

#include "devices/printers/fpr_df301.h"
#include "posnet_sim.h"

namespace {

struct Rig {
  POSNET_SIM sim;
  SIM_PORT port{&sim, false};
  FPRDF301 printer;
  Rig() { printer.usePort(&port); }
  ~Rig() { printer.close(); }
};

class PosnetTest : public DeviceTest {
 protected:
  // A new printer on a new simulator that configure has set up; open, with a receipt begun.
  template <class F = void (*)(POSNET_SIM&)>
  void Begin(F configure = [](POSNET_SIM&) {}) {
    rig.reset();
    rig = std::make_unique<Rig>();
    configure(rig->sim);
    NameCom1(rig->sim.path());
    rig->sim.Start();
    ASSERT_EQ(rig->printer.open(1, nullptr), 0);
    ASSERT_EQ(rig->printer.beginReceipt(), 0);
    NotifyLog::Calls().clear();
  }
  // The frames after the opening four: 0$e, 1#e, 0#s, 0$h.
  std::vector<std::string> FramesAfterBegin() {
    rig->sim.Stop();
    std::vector<std::string> f = rig->sim.Frames();
    EXPECT_GE(f.size(), 4u);
    return f.size() < 4 ? f : std::vector<std::string>(f.begin() + 4, f.end());
  }
  std::unique_ptr<Rig> rig;
};

TEST(PosnetFrame, TheChlebLineByteForByteAndTheTaxRateAnswer) {
  const std::string text = "1$lCHLEB" + std::string(35, ' ') + "\r      2.00 szt\rA/1.50/3.00/";
  ASSERT_EQ(FPRDF301::LineBody(1, "CHLEB", AMOUNT::FromInt(2), "szt", 'A', AMOUNT::FromDouble(1.5),
                               AMOUNT::FromInt(3)),
            text);
  uint8_t x = 0xFF;
  for (char c : text) x ^= static_cast<uint8_t>(c);
  char hex[3];
  std::snprintf(hex, sizeof hex, "%02X", x);
  EXPECT_EQ(FPRDF301::Frame(text, true), "\x1bP" + text + hex + "\x1b\\");
  EXPECT_EQ(FPRDF301::Frame("1#e", true), "\x1bP1#e88\x1b\\");
  EXPECT_EQ(FPRDF301::Frame(std::string(130, 'x'), true), "");

  // 101 leaves a letter out, a non-number is exempt, and Z is not given the exempt rate again.
  TaxRateMap map;
  ASSERT_EQ(FPRDF301::ParseTaxRates("\x1bP1#X/101/8/x/5/0/0/0/0/0/0/0/0/\x1b\\", &map), 0);
  EXPECT_EQ(map.letter(AMOUNT::FromInt(8)), 'B');
  EXPECT_EQ(map.letter(TaxRateMap::kExempt), 'C');
  EXPECT_EQ(map.used(), 3);
  EXPECT_EQ(FPRDF301::ParseTaxRates("\x1bP1#X/23/8/\x1b\\", &map), kDevTaxRatesUnreadable);
}

TEST_F(PosnetTest, AReceiptGoesFrameByFrameWithItsChecksums) {
  Begin();
  ASSERT_EQ(rig->printer.addLine(Line("CHLEB", 1.5, 2)), 0);
  ASSERT_EQ(rig->printer.addLine(Line("Zwrot", 1.5, -1)), 0);  // a return: line number 0
  ASSERT_EQ(rig->printer.addLine(Line("Gratis", 0, 3)), 0);    // value 0: nothing is sent
  ASSERT_EQ(rig->printer.endReceipt(), 0);
  rig->sim.Stop();
  const std::vector<std::string> expected = {
      "0$e",
      "1#e",
      "0#s",
      "0$h",
      "1$lCHLEB" + std::string(35, ' ') + "\r      2.00 szt\rA/1.50/3.00/",
      "0$lZwrot" + std::string(35, ' ') + "\r     -1.00 szt\rA/1.50/1.50/",
      "1;0$e   \r0.00/1.50/"};
  EXPECT_EQ(rig->sim.Frames(), expected);
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
      {POSNET_SIM::kAccept, 0, 0, Line("Drogo", 100000000, 1), kDevBadPrice, 1},
      {POSNET_SIM::kRefuse, 19, 0, Line("Woda", 2, 1), kDevBadPrice, 1},  // ENQ 0x60
      {POSNET_SIM::kRefuse, 0, 0, Line("Woda", 2, 1), kDevDriverError, -1},
      {POSNET_SIM::kRefuse, 99, 0, Line("Woda", 2, 1), kDevHardware, 99},
      {POSNET_SIM::kPaperOut, 0, 0, Line("Woda", 2, 1), kDevNoPaper, 1},  // DLE 0x72
      {POSNET_SIM::kGarbage, 0, 0, Line("Woda", 2, 1), kDevNoAnswer, 1},
      {POSNET_SIM::kSilent, 0, 0, Line("Woda", 2, 1), kDevNoAnswer, 1},
      {POSNET_SIM::kSilent, 0, 2, Line("Woda", 2, 1), kDevCancelled, 1},  // Esc and "Tak"
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line.name + std::string(" ") + std::to_string(c.code));
    Begin([&c](POSNET_SIM& sim) {
      sim.judge = [a = c.answer](const std::string& body) {
        return body.find("$l") != std::string::npos ? a : POSNET_SIM::kAccept;
      };
      sim.error_number = c.error_number;
    });
    NotifyLog::PollAnswer() = c.poll_answer;
    EXPECT_EQ(rig->printer.addLine(c.line), c.code);
    NotifyLog::PollAnswer() = 0;
    EXPECT_EQ(NotifyLog::Calls(), (Calls{{c.code, c.argument}}));
    EXPECT_EQ(rig->printer.endReceipt(), kDevNotInitialised);
    const std::vector<std::string> after = FramesAfterBegin();
    EXPECT_TRUE(!after.empty() && after.back() == "0$e");
  }
}

TEST_F(PosnetTest, The256thLineIsRefused) {
  Begin();
  for (int i = 1; i <= 255; ++i) ASSERT_EQ(rig->printer.addLine(Line("Bulka", 0.5, 1)), 0) << i;
  EXPECT_EQ(rig->printer.addLine(Line("Bulka", 0.5, 1)), kDevTooManyLines);
  EXPECT_EQ(NotifyLog::Calls(), (Calls{{kDevTooManyLines, 256}}));
  const std::vector<std::string> after = FramesAfterBegin();
  ASSERT_EQ(after.size(), 256u);
  EXPECT_EQ(after[254].substr(0, 6), "255$lB");
  EXPECT_EQ(after[255], "0$e");
}

TEST_F(PosnetTest, XoffHoldsTheNextFrameUntilXon) {
  Begin([](POSNET_SIM& sim) { sim.xoff_after = "0$h"; });
  EXPECT_EQ(rig->printer.addLine(Line("CHLEB", 1.5, 2)), 0);
  rig->sim.Stop();
  EXPECT_EQ(rig->sim.Flow(), std::make_pair(0, true));
  EXPECT_EQ(rig->sim.Frames().back().substr(0, 8), "1$lCHLEB");
}

TEST_F(PosnetTest, APrinterUnpluggedMidReceiptFailsAtOnce) {
  Begin();
  rig->sim.Unplug();
  const auto start = std::chrono::steady_clock::now();
  const int rc = rig->printer.addLine(Line("CHLEB", 1.5, 2));
  // Whether the hang-up shows at the write or at the answer, the user reads the same message.
  EXPECT_TRUE(rc == kDevNoAnswer || rc == kDevWriteFailed || rc == kDevLineError) << rc;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

}  // namespace
