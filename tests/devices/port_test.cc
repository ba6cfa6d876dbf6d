// PORTCOM on a pseudo-terminal: opening and its refusals, settings, the byte that is not
// there, software flow control, a device that goes away, and the configuration of the ports.
#include <termios.h>

#include <chrono>
#include <fstream>

#include "device_sim.h"
#include "devices/device_config.h"

namespace {

class PortTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    NameCom1(sim.path());
    sim.Start();
  }
  void TearDown() override {
    sim.Stop();
    DeviceTest::TearDown();
  }
  termios Settings() { return sim.LineSettings(); }
  // Reads one byte, giving the simulator's bytes a moment to arrive.
  int ReadSoon(PORTCOM& p, uint8_t* b) {
    p.waitInput(200);
    return p.readByte(b);
  }

  DEVICE_SIM sim;  // says what the test injects
};

void WriteLock(const std::string& file, long pid) {
  std::ofstream(file) << std::string(10 - std::to_string(pid).size(), ' ') << pid << "\n";
}

TEST_F(PortTest, OpeningRefusals) {
  WriteWholeFile(dir.File("plik"), "tekst");
  struct Case {
    int port;
    std::string path;  // for COM2
    int result;
  } cases[] = {
      {0, "", kDevInitFailed},
      {10, "", kDevInitFailed},
      {2, "/nonexistent/ttyX", kDevInitFailed},
      {2, dir.File("plik"), kDevInitFailed},  // not a terminal
      {1, "", kDevPortBusy},                  // held by the other port below
  };
  PORTCOM holder;
  ASSERT_EQ(holder.openDefault(1), 0);
  for (const Case& c : cases) {
    if (!c.path.empty()) {
      ASSERT_EQ(INIFILE(dir.File("Tamsu.ini")).WriteString("Ports", "COM2", c.path.c_str()), 0);
    }
    PORTCOM p;
    EXPECT_EQ(p.openDefault(c.port), c.result) << c.port << " " << c.path;
    EXPECT_FALSE(p.isOpen());
  }
  // Every operation of a closed port says so; setLine does nothing.
  PORTCOM closed;
  uint8_t b;
  EXPECT_EQ(closed.readByte(&b), kDevInitFailed);
  EXPECT_EQ(closed.writeByte(1), kDevInitFailed);
  EXPECT_EQ(closed.lineState(1), kDevInitFailed);
  EXPECT_EQ(closed.close(), kDevInitFailed);
  EXPECT_EQ(closed.setLine(1, 3), 0);
}

TEST_F(PortTest, LockFilesOfOtherProgramsAndLeftovers) {
  const std::string lock = dir.File(SerialLockName(sim.path()));
  EXPECT_EQ(SerialLockName("/dev/ttyS0"), "LCK..ttyS0");
  WriteLock(lock, ::getppid());  // a program that runs
  PORTCOM p;
  EXPECT_EQ(p.openDefault(1), kDevPortBusy);
  WriteLock(lock, 999999999);  // one that ended without removing it
  ASSERT_EQ(p.openDefault(1), 0);
  EXPECT_EQ(std::stol(ReadWholeFile(lock)), static_cast<long>(::getpid()));
  EXPECT_EQ(p.close(), 0);
  EXPECT_NE(::access(lock.c_str(), F_OK), 0);
}

TEST_F(PortTest, SettingsAndWhatTheyKeep) {
  PORTCOM p;
  ASSERT_EQ(p.open(1, PortSettings{19200, 8, kParityNone, 2}), 0);
  EXPECT_STREQ(p.name(), "COM1");
  EXPECT_EQ(p.open(1, PortSettings{1200, 8, kParityNone, 1}), 0);  // open already: unchanged
  termios t = Settings();
  EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B19200));
  EXPECT_TRUE(t.c_cflag & CSTOPB);
  ASSERT_EQ(p.close(), 0);
  // 150 baud is not taken: the rate the port had stays.
  ASSERT_EQ(p.open(1, PortSettings{150, 8, kParityMark, 1}), 0);
  t = Settings();
  EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B19200));
  EXPECT_FALSE(t.c_cflag & CSTOPB);
}

TEST_F(PortTest, ReadsNeverWaitXoffStopsXonStartsAndDataIsHeld) {
  PORTCOM p;
  ASSERT_EQ(p.openDefault(1), 0);
  uint8_t b;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(p.readByte(&b), kDevNothingReceived);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
  ASSERT_EQ(p.writeByte('x'), 0);
  struct Step {
    const char* device_sends;
    int line_state;
  } steps[] = {{"\x13", 0}, {"a", 0}, {"", 0}, {"\x11", 1}, {"b", 1}};
  for (const Step& s : steps) {
    sim.Inject(s.device_sends);
    if (*s.device_sends) p.waitInput(200);
    EXPECT_EQ(p.lineState(1), s.line_state) << s.device_sends;
  }
  EXPECT_EQ(p.readByte(&b), 0);  // "b" was held; "a" came while stopped and is gone
  EXPECT_EQ(b, 'b');
  EXPECT_EQ(p.readByte(&b), kDevNothingReceived);
  // readData takes flow control in stride.
  sim.Inject(
      "\x13"
      "c");
  EXPECT_EQ(ReadSoon(p, &b), 0);
  EXPECT_EQ(b, 0x13);
  EXPECT_EQ(p.readData(&b), 0);
  EXPECT_EQ(b, 'c');
  EXPECT_FALSE(p.stopped());
  sim.Inject(
      "\x13"
      "d");
  p.waitInput(200);
  EXPECT_EQ(p.readData(&b), 0);
  EXPECT_EQ(b, 'd');
  EXPECT_TRUE(p.stopped());
  p.close();
  sim.Stop();
  EXPECT_EQ(sim.Received(), "x");
}

TEST_F(PortTest, ADeviceThatGoesAwayFailsEveryCallAtOnce) {
  PORTCOM p;
  ASSERT_EQ(p.openDefault(1), 0);
  sim.Unplug();
  uint8_t b;
  const auto start = std::chrono::steady_clock::now();
  p.waitInput(500);  // a hang-up wakes the wait
  EXPECT_EQ(p.readByte(&b), kDevLineError);
  EXPECT_EQ(p.writeByte('x'), kDevWriteFailed);
  EXPECT_EQ(p.close(), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST_F(PortTest, DeviceSectionsOfTamsuIni) {
  EXPECT_EQ(ReadDeviceConfig(kDeviceRegister).type, 21);
  const DeviceConfig fresh = ReadDeviceConfig(kDevicePrinter);
  EXPECT_EQ(fresh.type, 7);
  EXPECT_EQ(fresh.port, 1);
  EXPECT_EQ(fresh.portDefaultProperties, 1);
  EXPECT_EQ(FormatPortProperties(fresh.settings), "9600,8,N,1");
  EXPECT_EQ(PortPath(9), "/dev/ttyS8");

  const INIFILE ini(dir.File("Tamsu.ini"));
  ASSERT_EQ(ini.WriteString("Fiscal Printer", "PortProperties", "19200,7,E,2"), 0);
  const PortSettings s = ReadDeviceConfig(kDevicePrinter).settings;
  EXPECT_EQ(std::vector<int>({s.baud, s.dataBits, s.parity, s.stopBits}),
            std::vector<int>({19200, 7, kParityEven, 2}));
  ASSERT_EQ(ini.WriteString("Fiscal Printer", "PortProperties", "4800,8,X,1"), 0);
  DeviceConfig c = ReadDeviceConfig(kDevicePrinter);
  c.port = 3;
  ASSERT_EQ(WriteDeviceConfig(kDevicePrinter, c), 0);  // the unknown parity goes back as N
  std::string stored;
  ASSERT_EQ(ini.GetString("Fiscal Printer", "PortProperties", &stored), 0);
  EXPECT_EQ(stored, "4800,8,N,1");
  EXPECT_EQ(ReadDeviceConfig(kDevicePrinter).port, 3);
}

}  // namespace
