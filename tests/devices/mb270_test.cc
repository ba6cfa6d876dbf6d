// The MegaByte MB-270 protocol against its simulated printer: framed text with sequence bytes
// and additive checksums, answered by frames carrying the status word; DSR set means busy.
#include <chrono>
#include <cstring>

#include "common/text.h"
#include "device_sim.h"
#include "devices/printers/fpr_mb270.h"

namespace {

class MB270_SIM : public DEVICE_SIM {
 public:
  enum Mode { kAnswer, kNak, kSilent, kBadChecksum, kOtherSequence };
  std::atomic<int> mode{kAnswer};
  std::atomic<uint32_t> status{0};

  ~MB270_SIM() override { Stop(); }

  struct Frame {
    uint8_t sequence;
    char letter;
    std::vector<std::string> fields;
    bool checksum_ok;
  };
  std::vector<Frame> Frames() {
    std::lock_guard<std::mutex> g(mu_);
    return frames_;
  }

 protected:
  void OnByte(uint8_t b) override {
    if (b == 0x02) frame_.clear();
    frame_.push_back(static_cast<char>(b));
    const size_t etx = frame_.find('\x03');
    if (etx == std::string::npos || frame_.size() < etx + 5) return;
    Take(frame_, etx);
    frame_.clear();
  }

 private:
  static int Sum(const std::string& s) {
    int sum = 0;
    for (char c : s) sum += static_cast<int8_t>(c);
    return sum & 0xFFFF;
  }
  void Take(const std::string& f, size_t etx) {
    Frame fr{static_cast<uint8_t>(f[1]), f[2], {}, false};
    char hex[8];
    std::snprintf(hex, sizeof hex, "%04X", Sum(f.substr(0, etx + 1)));
    fr.checksum_ok = f.substr(etx + 1, 4) == hex;
    for (size_t at = f.find('\x1c'); at != std::string::npos && at < etx;) {
      const size_t next = f.find_first_of("\x1c\x03", at + 1);
      fr.fields.push_back(f.substr(at + 1, next - at - 1));
      at = next < etx ? next : std::string::npos;
    }
    frames_.push_back(fr);
    switch (mode) {
      case kNak: SendByte(0x15); return;
      case kSilent: return;
      default: break;
    }
    char body[32];
    const uint8_t seq =
        mode == kOtherSequence ? static_cast<uint8_t>(fr.sequence ^ 1) : fr.sequence;
    std::snprintf(body, sizeof body, "\x02%c%c\x1c%04X\x1c%04X\x03", seq, fr.letter,
                  static_cast<unsigned>(status >> 16), static_cast<unsigned>(status & 0xFFFF));
    std::snprintf(hex, sizeof hex, "%04X", Sum(body) + (mode == kBadChecksum ? 1 : 0));
    // The printer keeps its flow-control bytes out of the frame; the program drops them.
    Send(std::string("\x12") + body + hex);
  }

  std::string frame_;
  std::vector<Frame> frames_;
};

class Mb270Test : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    NameCom1(sim.path());
    printer.usePort(&port);
    sim.Start();
    ASSERT_EQ(printer.open(1, nullptr), 0);
  }
  void TearDown() override {
    printer.close();
    sim.Stop();
    DeviceTest::TearDown();
  }
  std::vector<MB270_SIM::Frame> Frames() {
    sim.Stop();
    return sim.Frames();
  }

  MB270_SIM sim;
  SIM_PORT port{&sim};
  FPRMB270 printer;
};

TEST(Mb270Frame, SequenceChecksumAndLength) {
  EXPECT_EQ(FPRMB270::NextSequence(0x7E), 0x7F);
  EXPECT_EQ(FPRMB270::NextSequence(0x7F), 0x40);  // the first frame of a printer carries 0x41
  const std::string f = FPRMB270::Frame(0x41, '*', "");
  EXPECT_EQ(f,
            "\x02\x41*\x03"
            "0070");  // 2 + 0x41 + 0x2A + 3
  EXPECT_EQ(FPRMB270::Frame(0x41, 'B', std::string(120, 'x')), "");
}

TEST_F(Mb270Test, AReceiptFrameByFrame) {
  ASSERT_EQ(printer.beginReceipt(), 0);
  ASSERT_EQ(printer.addLine(Line("Chleb", 2.5, 1)), 0);
  ASSERT_EQ(printer.addLine(Line("Masło"_pl, 6.99, 2, 8)), 0);
  ASSERT_EQ(printer.endReceipt(), 0);
  const std::vector<MB270_SIM::Frame> f = Frames();
  std::string letters;
  for (const auto& fr : f) letters += fr.letter;
  EXPECT_EQ(letters, "D*@BBDE");  // a cancelling total first, then status, begin, lines, total, end
  for (size_t i = 0; i < f.size(); ++i) {
    EXPECT_EQ(f[i].sequence, 0x41 + i) << i;
    EXPECT_TRUE(f[i].checksum_ok) << i;
  }
  EXPECT_EQ(f[3].fields, (std::vector<std::string>{"Chleb               ", "001000", "A",
                                                   "0000000250", "00000"}));
  EXPECT_EQ(f[4].fields[0], "Maslo               ");  // no Polish letters on this printer
  EXPECT_EQ(f[4].fields[2], "B");
  EXPECT_EQ(f[5].fields, (std::vector<std::string>{"Do zaplaty                ", "0000001648"}));
  EXPECT_TRUE(NotifyLog::Calls().empty());
}

TEST_F(Mb270Test, RefusedLinesCancelTheReceipt) {
  ASSERT_EQ(printer.beginReceipt(), 0);
  EXPECT_EQ(printer.addLine(Line("Zwrot", 2.5, -1)), kDevBadQuantity);
  EXPECT_EQ(printer.endReceipt(), kDevDriverError);  // no receipt open any more
  EXPECT_EQ(NotifyLog::Calls(), (Calls{{kDevBadQuantity, 1}, {kDevDriverError, -2}}));
  const std::vector<MB270_SIM::Frame> f = Frames();
  ASSERT_EQ(f.size(), 4u);
  EXPECT_EQ(f[3].letter, 'D');
  EXPECT_EQ(f[3].fields[1], "0000000000");
}

TEST_F(Mb270Test, AnswersAndTheirCodes) {
  struct Case {
    int mode;
    uint32_t status;
    bool busy;
    int code;
    size_t frames_written;  // of the line
  } cases[] = {
      {MB270_SIM::kAnswer, 0x00100000, false, kDevNoPaper, 1},
      {MB270_SIM::kBadChecksum, 0, false, kDevNoAnswer, 1},
      {MB270_SIM::kOtherSequence, 0, false, kDevNoAnswer, 1},
      {MB270_SIM::kNak, 0, false, kDevNak, 3},
      {MB270_SIM::kSilent, 0, false, kDevNoAnswer, 3},
      {MB270_SIM::kAnswer, 0, true, kDevNoAnswer, 0},  // DSR set: busy, nothing written
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    sim.mode = MB270_SIM::kAnswer;
    sim.status = 0;
    sim.dsr = false;
    ASSERT_EQ(printer.beginReceipt(), 0);
    const size_t before = sim.Frames().size();
    NotifyLog::Calls().clear();
    sim.mode = c.mode;
    sim.status = c.status;
    sim.dsr = c.busy;
    EXPECT_EQ(printer.addLine(Line("Chleb", 2.5, 1)), c.code);
    EXPECT_EQ(NotifyLog::Calls(), (Calls{{c.code, 1}}));
    EXPECT_EQ(sim.Frames().size() - before, c.frames_written);
  }
}

}  // namespace
