// The barcode scanner: the key each byte types, the watcher between a simulated scanner on a
// pseudo-terminal and the screen's key queue, its dialog, the fiscal operations' stop and
// apply, and a scanner that goes away.
#include <thread>

#include "common/text.h"
#include "device_sim.h"
#include "devices/scanner/ean_scanner.h"
#include "devices/scanner_hooks.h"
#include "support/ui_fixture.h"
#include "ui/screen.h"

namespace {

TEST(ScannerKeyTest, BytesBecomeTheKeysThatTypeThem) {
  struct {
    uint8_t byte;
    bool typed;
    KeyEvent key;
  } const kCases[] = {
      {'5', true, {'5', 0x06, 0}},
      {'9', true, {'9', 0x0A, 0}},
      {'0', true, {'0', 0x0B, 0}},
      {'1', true, {'1', 0x02, 0}},
      {'\r', true, {13, kScanEnter, 0}},
      {'A', true, {'A', 0x1E, kShiftShift}},  // Shift around the capital only
      {'a', true, {'a', 0x1E, 0}},
      {'-', true, {'-', 0x0C, 0}},
      {'\t', true, {9, kScanTab, 0}},
      {0x02, true, {0x02, 0x30, kShiftCtrl}},  // STX: Ctrl+B
      {0xA5, true, {0xA5, 0, kShiftShift}},    // Ą
      {0xB9, true, {0xB9, 0, 0}},              // ą
      {0x81, false, {}},                       // empty in Windows-1250
      {0x80, false, {}},                       // the euro sign: no key and no letter here
      {0xFF, false, {}},
  };
  for (const auto& c : kCases) {
    KeyEvent key{};
    EXPECT_EQ(ScannerKey(c.byte, &key), c.typed) << int(c.byte);
    if (c.typed) {
      EXPECT_EQ(key, c.key) << int(c.byte);
    }
  }
}

// The screen on the headless console, the scanner on COM1, which is the simulator's terminal.
class ScannerTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    SetConfigPath(dir.File("Tamsu.ini"));
    SetSerialLockDirectory(dir.path());
    ASSERT_EQ(INIFILE(dir.File("Tamsu.ini")).WriteString("Ports", "COM1", sim.path().c_str()), 0);
    // The scanner's keys come while the test reads: a read waits for them.
    con->set_idle_wait(10000);
  }
  void TearDown() override {
    ResetScanner();
    SetSerialLockDirectory("");
    SetConfigPath("");
    UiTest::TearDown();
  }
  bool ShotHas(size_t i, const char* text) { return Shot(i).find(text) != std::string::npos; }
  TempDir dir;
  DEVICE_SIM sim;
};

// The scanner sends three times what the key queue holds while nothing is read: the watcher
// stops reading when the queue is full and the terminal holds the rest, so every key arrives,
// in order; bytes no key types are left out.
TEST_F(ScannerTest, ABurstFasterThanTheReadingArrivesWholeAndInOrder) {
  PlayKeys(con, "{Alt+a}{Alt+o}");  // "Aktywny", confirmed: stored and started
  ASSERT_EQ(scanner_options(), 0);
  ASSERT_TRUE(scannerRunning());
  int32_t active = 0;
  INIFILE(dir.File("Tamsu.ini")).GetInt("EAN Scanner", "Active", &active);
  EXPECT_EQ(active, 1);

  std::string burst;
  while (burst.size() < 3 * kPostedKeyCapacity) burst += "5901234000017\rAbc\x81\xB9";
  std::vector<KeyEvent> expected;
  for (char c : burst) {
    KeyEvent k{};
    if (ScannerKey(static_cast<uint8_t>(c), &k)) expected.push_back(k);
  }
  std::thread scanner([&] {
    for (size_t i = 0; i < burst.size(); i += 256) sim.Inject(burst.substr(i, 256));
  });
  EXPECT_TRUE(WaitFor([] { return posted_key_count() == kPostedKeyCapacity; }));
  KeyEvent ev;
  for (size_t i = 0; i < expected.size(); ++i) {
    read_key(&ev);
    ASSERT_EQ(ev, expected[i]) << "key " << i;
  }
  scanner.join();
  EXPECT_EQ(posted_key_count(), 0);

  // A fiscal operation takes the ports: the watcher lets its port go, and comes back after.
  InstallScannerHooks();
  StopScannerForDevice();
  EXPECT_FALSE(scannerRunning());
  PORTCOM other;
  EXPECT_EQ(other.openDefault(1), kDevOk);
  other.close();
  ApplyScannerAfterDevice();
  EXPECT_TRUE(scannerRunning());
}

TEST_F(ScannerTest, AScannerThatGoesAwayIsReportedAndOneMissingAtStartToo) {
  ASSERT_EQ(startScanner(1, nullptr), kDevOk);
  sim.Unplug();
  // The watcher hands the report to this thread, which shows it at its next key.
  ASSERT_TRUE(WaitFor([] { return posted_key_count() == 1; }));
  PlayKeys(con, "{Snap}{Enter}x");
  KeyEvent ev;
  read_key(&ev);
  EXPECT_EQ(ev.ch, 'x');
  EXPECT_TRUE(ShotHas(0, "Utracono połączenie z czytnikiem")) << Shot(0);
  EXPECT_TRUE(ShotHas(0, "kreskowych na porcie COM1.")) << Shot(0);
  EXPECT_FALSE(scannerRunning());

  PlayKeys(con, "{Snap}{Enter}");
  EXPECT_EQ(startScanner(1, nullptr), kDevInitFailed);
  EXPECT_TRUE(ShotHas(1, "Błąd inicjalizacji czytnika")) << Shot(1);
  EXPECT_FALSE(scannerRunning());
}

}  // namespace
