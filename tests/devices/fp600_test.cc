// The Elzab FP-600 protocol against its simulated printer: escape commands with binary fields,
// ACK and status bytes, RTS/CTS handshake on the simulated modem lines.
#include <chrono>
#include <memory>

#include "device_sim.h"
#include "devices/printers/fpr_fp600.h"

namespace {

class FP600_SIM : public DEVICE_SIM {
 public:
  std::atomic<uint8_t> status[4] = {0, 0, 0, 0};
  std::atomic<uint8_t> version{5};
  const std::string rates = std::string("\x17\x08\xFF\x05", 4);
  std::atomic<bool> ack_end{true};

  ~FP600_SIM() override { Stop(); }
  // The commands received, each its command byte and its fields, without the ESC.
  std::vector<std::string> Commands() {
    std::lock_guard<std::mutex> g(mu_);
    return commands_;
  }

 protected:
  void OnByte(uint8_t b) override {
    if (want_ == 0) {
      if (b != 0x1B) return;  // out of step: wait for the next command
      want_ = -1;
      return;
    }
    if (want_ == -1) {
      command_.assign(1, static_cast<char>(b));
      want_ = b == 0x06 ? 49 : b == 0x07 ? 4 : 0;
    } else {
      command_.push_back(static_cast<char>(b));
      --want_;
    }
    if (want_ == 0) Answer();
  }

 private:
  void Answer() {
    commands_.push_back(command_);
    const std::string ack(1, '\x06');
    switch (static_cast<uint8_t>(command_[0])) {
      case 0x9B: SendByte(status[0]); break;
      case 0x94: SendByte(status[1]); break;
      case 0x95: SendByte(status[2]); break;
      case 0x96: SendByte(status[3]); break;
      case '%':
      case '!': Send(ack); break;
      case '$':
        if (ack_end) Send(ack);
        break;
      case 0xFF: Send(ack + static_cast<char>(version)); break;
      case 0x70:
      case 0xD0: Send(ack + rates); break;
      default: break;
    }
  }

  int want_ = 0;  // 0 waiting for ESC, -1 for the command byte, n field bytes to come
  std::string command_;
  std::vector<std::string> commands_;
};

uint32_t Le32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(s[at + i]);
  return v;
}

class Fp600Test : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    NameCom1(sim.path());
    printer.usePort(&port);
    sim.Start();
  }
  void TearDown() override {
    printer.close();
    sim.Stop();
    DeviceTest::TearDown();
  }
  void OpenAndBegin() {
    ASSERT_EQ(printer.open(1, nullptr), 0);
    ASSERT_EQ(printer.beginReceipt(), 0);
    NotifyLog::Calls().clear();
  }
  // The commands from the n-th on.
  std::vector<std::string> Commands(size_t from) {
    sim.Stop();
    const std::vector<std::string> all = sim.Commands();
    return std::vector<std::string>(all.begin() + static_cast<long>(std::min(from, all.size())),
                                    all.end());
  }

  FP600_SIM sim;
  SIM_PORT port{&sim};
  FPRFP600 printer;
};

TEST(Fp600Frame, NamesLinesAndTaxRates) {
  // Names get dots from the right until ten characters count.
  const std::pair<const char*, std::string> names[] = {
      {"Ser", "Ser" + std::string(18, ' ') + std::string(7, '.')},
      {"Chleb razowy krojony 500 g i więcej", "Chleb razowy krojony 500 g i"},
      {"!!!!!!!!!!!!!!!!!!!!!!!!!!AB", std::string(18, '!') + std::string(8, '.') + "AB"},
  };
  for (const auto& [name, sent] : names) EXPECT_EQ(FPRFP600::PrinterName(name), sent) << name;

  const std::string c =
      FPRFP600::LineCommand("Ser", AMOUNT::FromDouble(-1.5), "kg", AMOUNT::FromDouble(12.99), 2,
                            AMOUNT::FromDouble(19.49));
  ASSERT_EQ(c.size(), 51u);
  EXPECT_EQ(c.substr(0, 31), "\x1b\x06-" + FPRFP600::PrinterName("Ser"));
  EXPECT_EQ(c.substr(31, 10), std::string("0\x96\0\0\0"
                                          "2kg  ",
                                          10));  // 150
  EXPECT_EQ(Le32(c, 41), 1299u);
  EXPECT_EQ(c.substr(45, 2), "\x1b\x02");
  EXPECT_EQ(Le32(c, 47), 1949u);

  TaxRateMap map;
  const uint8_t four[] = {23, 8, 0xFF, 5};
  ASSERT_EQ(FPRFP600::ParseTaxRates(5, four, 4, &map), 0);
  for (auto [rate, letter] : {std::pair{23, 1}, {8, 2}, {5, 4}, {-1, 5}})
    EXPECT_EQ(map.letter(AMOUNT::FromInt(rate)), letter);
  EXPECT_EQ(map.used(), 4);
  EXPECT_EQ(FPRFP600::ParseTaxRates(3, four, 4, &map), kDevTaxRatesUnreadable);  // 12 bytes wanted
}

TEST_F(Fp600Test, AReceiptClosesALeftoverOneAndEndsWithItsTotal) {
  sim.status[1] = 0x08;  // a receipt left open
  OpenAndBegin();
  EXPECT_EQ(printer.addLine(Line("Ser", 12.99, -1.5, 8)), 0);
  EXPECT_EQ(printer.addLine(Line("Chleb", 3.5, 10)), 0);
  EXPECT_EQ(printer.endReceipt(), 0);
  const std::vector<std::string> all = Commands(0);
  std::string bytes;
  for (const std::string& c : all) bytes.push_back(c[0]);
  // status 1, "%", version, rates, "!", two lines, total, "$"
  EXPECT_EQ(bytes, std::string("\x94%\xFF\x70!\x06\x06\x07$"));
  EXPECT_EQ(Le32(all[7], 1), 1551u);  // 35.00 - 19.49
  EXPECT_TRUE(NotifyLog::Calls().empty());
}

TEST_F(Fp600Test, AnInvalidLineIsRefusedWithoutCancellingTheReceipt) {
  OpenAndBegin();
  EXPECT_EQ(printer.addLine(Line("Woda", 2, 1, 7)), kDevBadTaxRate);
  EXPECT_EQ(printer.addLine(Line("Woda", 2, 10000)), kDevBadQuantity);
  EXPECT_EQ(printer.addLine(Line("Woda", -2, 1)), kDevBadPrice);
  EXPECT_EQ(printer.addLine(Line("Woda", 2, 1)), 0);
  EXPECT_EQ(NotifyLog::Calls(),
            (Calls{{kDevBadTaxRate, 1}, {kDevBadQuantity, 2}, {kDevBadPrice, 3}}));
  const std::vector<std::string> after = Commands(4);
  ASSERT_EQ(after.size(), 1u);
  EXPECT_EQ(after[0][0], '\x06');
}

TEST_F(Fp600Test, WithoutCtsNothingOfTheLineGoesOut) {
  OpenAndBegin();
  sim.cts = false;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(printer.addLine(Line("Chleb", 3.5, 1)), kDevNoAnswer);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(Commands(4).size(), 0u);
}

TEST_F(Fp600Test, AnEndWithoutAckIsNoEnd) {
  sim.ack_end = false;
  for (auto [status2, code] : {std::pair{0x00, kDevNoAnswer}, {0x02, kDevNoPaper}}) {
    printer.close();
    OpenAndBegin();
    ASSERT_EQ(printer.addLine(Line("Chleb", 3.5, 1)), 0);
    sim.status[2] = static_cast<uint8_t>(status2);
    EXPECT_EQ(printer.endReceipt(), code);
    EXPECT_EQ(NotifyLog::Calls(), (Calls{{code, 0}}));
    sim.status[2] = 0;
  }
}

}  // namespace
