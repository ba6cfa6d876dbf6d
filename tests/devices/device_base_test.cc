// The device framework: the tax-rate map, the messages the user reads, the selection tables
// with the holder, the worker thread, and the options dialogs.
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "common/text.h"
#include "device_sim.h"
#include "devices/device_dialogs.h"
#include "devices/device_holder.h"
#include "devices/device_messages.h"
#include "devices/device_tables.h"
#include "devices/threadloop.h"
#include "support/ui_fixture.h"
#include "ui/screen.h"

namespace {

TEST(TaxRateMapTest, AddFindTextAndParse) {
  TaxRateMap map;
  EXPECT_EQ(map.add(AMOUNT::FromInt(23), 'A'), 0);
  EXPECT_EQ(map.add(AMOUNT::FromDouble(23.004), 'B'), -1);  // the same rate to the grosz
  EXPECT_EQ(map.add(TaxRateMap::kExempt, 'Z'), 0);
  EXPECT_EQ(map.letter(AMOUNT::FromDouble(22.996)), 'A');
  EXPECT_EQ(map.letter(AMOUNT::FromInt(8)), 0);
  EXPECT_EQ(map.find(AMOUNT::FromInt(10000)), -1);  // free entries match nothing
  EXPECT_EQ(map.text('A'), "23");
  EXPECT_EQ(map.text('Z'), "zw.");
  EXPECT_EQ(map.text('Q'), "");
  for (int i = 2; i < TaxRateMap::kEntries; ++i)
    EXPECT_EQ(map.add(AMOUNT::FromInt(i), static_cast<uint8_t>('a' + i)), 0);
  EXPECT_EQ(map.add(AMOUNT::FromInt(99), 'x'), -1);  // full
  for (auto [text, value] : {std::pair{"7.5", 7.5}, {"abc", -1.0}, {"", -1.0}, {"12x", -1.0}})
    EXPECT_EQ(TaxRateMap::parse(text), AMOUNT::FromDouble(value)) << text;
}

TEST(DeviceMessageTest, TextsOfTheCodes) {
  const char* goods = "CHLEB";
  struct Case {
    int code;
    intptr_t argument;
    std::string text;  // UTF-8
  } cases[] = {
      {11, 5, "Nieprawidłowa nazwa lub numer towaru w pozycji nr 5."},
      {27, 300, "Błąd sprzętowy urządzenia.\nKod: 300 (012Ch)."},
      {33, -1, "Błąd programu obsługi urządzenia.\nKod: -1 (FFFFFFFFh)."},
      {26, reinterpret_cast<intptr_t>(goods), "Zduplikowany nr lub nazwa towaru\nCHLEB."},
      {26, 0, "Zduplikowany nr lub nazwa towaru\n."},
      {22, 0, "Brak papieru."},
      {28, 0, "Błąd komunikacji z urządzeniem."},
      {35, 0, "Błąd nr 35 programu obsługi urządzenia."},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Cp1250ToUtf8(DeviceMessage(c.code, c.argument)), c.text) << c.code;
}

class DeviceUiTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    SetConfigPath(dir.File("Tamsu.ini"));
  }
  void TearDown() override {
    SetConfigPath("");
    UiTest::TearDown();
  }
  TempDir dir;
};

TEST_F(DeviceUiTest, TheHandlerAsksOnEscAndShowsMessages) {
  EXPECT_EQ(DeviceNotifyHandler(kDevPoll, 0), 0);  // no key waiting
  Play("x");
  EXPECT_EQ(DeviceNotifyHandler(kDevPoll, 0), 0);  // not Esc
  Play("{Esc}");
  Play("{Snap}");
  Play("{Enter}");  // " &Tak "
  EXPECT_EQ(DeviceNotifyHandler(kDevPoll, 0), 2);
  EXPECT_TRUE(ShotHas(0, "Przerwać operację?"));
  Play("{Snap}");
  Play("{Enter}");
  EXPECT_EQ(DeviceNotifyHandler(kDevNoPaper, 0), 0);
  EXPECT_TRUE(ShotHas(1, "Brak papieru."));
}

TEST_F(DeviceUiTest, PrinterOptionsStoreTypePortAndOwnSettings) {
  // The type list starts on Posnet (7): Home takes the first row, "Elzab FP-600" (0). COM3 is
  // two rows down. "Ręczne..." opens the port settings: 19200 is the last rate, even parity
  // the second row; a baud rate no row carries would show empty and stay.
  PlayKeys(con,
           "{Alt+t}{Home}{Enter}{Alt+p}{Down}{Down}{Enter}{Alt+r}{Snap}{Alt+p}{End}{Enter}"
           "{Alt+r}{Home}{Down}{Enter}{Alt+o}{Alt+o}");
  ASSERT_EQ(fiscal_printer_options(), 0);
  EXPECT_TRUE(ShotHas(0, "USTAWIENIA PORTU"));
  const DeviceConfig c = ReadDeviceConfig(kDevicePrinter);
  EXPECT_EQ(c.type, 0);
  EXPECT_EQ(c.port, 3);
  EXPECT_EQ(c.portDefaultProperties, 0);
  EXPECT_EQ(FormatPortProperties(c.settings), "19200,8,E,1");

  ASSERT_EQ(INIFILE(dir.File("Tamsu.ini"))
                .WriteString("Fiscal Cash Register", "PortProperties", "57600,8,N,1"),
            0);
  PlayKeys(con, "{Alt+d}{Alt+o}");
  ASSERT_EQ(fiscal_register_options(), 0);
  const DeviceConfig r = ReadDeviceConfig(kDeviceRegister);
  EXPECT_EQ(r.type, 21);
  EXPECT_EQ(r.portDefaultProperties, 1);
  EXPECT_EQ(r.settings.baud, 57600);
}

TEST_F(DeviceTest, SelectionTablesAndTheHolder) {
  // Every row of the printer list with a class makes a printer, and only those.
  for (const DeviceTypeRow& row : FISCAL_PRINTER_TYPES)
    EXPECT_EQ(CreateFiscalPrinter(row.type) != nullptr, row.class_name != nullptr) << row.text;
  EXPECT_STREQ(CreateFiscalPrinter(1)->name(), "Emar-Duo");
  EXPECT_EQ(FiscalRegisterType(25), nullptr);
  for (const DeviceTypeRow& row : FISCAL_REGISTER_TYPES)
    EXPECT_NE(CreateFiscalRegister(row.type), nullptr) << row.text;
  EXPECT_STREQ(CreateFiscalRegister(6)->name(), "ALFA SUPER 1279");
  ASSERT_EQ(INIFILE(dir.File("Tamsu.ini")).WriteString("Fiscal Cash Register", "Type", "25"), 0);
  DeviceHolder none;
  EXPECT_EQ(none.openFiscalRegister(), -1);
  EXPECT_EQ(none.cashRegister(), nullptr);
  // Upos CSF-1 is offered without a driver; a type outside the table opens nothing either.
  for (const char* type : {"8", "11"}) {
    ASSERT_EQ(INIFILE(dir.File("Tamsu.ini")).WriteString("Fiscal Printer", "Type", type), 0);
    DeviceHolder h;
    EXPECT_EQ(h.openFiscalPrinter(), -1);
    EXPECT_EQ(h.printer(), nullptr);
    EXPECT_EQ(h.beginReceipt(), -1);
  }
  EXPECT_TRUE(NotifyLog::Calls().empty());
  // A printer whose port does not open is reported, closed and gone.
  ASSERT_EQ(INIFILE(dir.File("Tamsu.ini")).WriteString("Fiscal Printer", "Type", "7"), 0);
  NameCom1("/nonexistent/tty");
  DeviceHolder h;
  EXPECT_EQ(h.openFiscalPrinter(), kDevInitFailed);
  EXPECT_EQ(h.printer(), nullptr);
  EXPECT_EQ(NotifyLog::Calls(), (Calls{{kDevInitFailed, 0}}));
}

// A worker that counts how many of its kind run at once.
class COUNTING_LOOP : public THREADLOOP {
 public:
  ~COUNTING_LOOP() override { finish(); }
  THREADPROC threadProc() override { return Run; }
  std::atomic<int> live{0}, most{0}, started{0}, ticks{0};

 private:
  static uint32_t Run(THREADLOOP* t) {
    auto* self = static_cast<COUNTING_LOOP*>(t);
    const int now = ++self->live;
    ++self->started;
    for (int m = self->most; now > m && !self->most.compare_exchange_weak(m, now);) {}
    while (!t->waitStop(1)) ++self->ticks;
    --self->live;
    return 0;
  }
};

TEST(ThreadLoopTest, StartingAndStoppingTwiceLeavesExactlyOneWorker) {
  COUNTING_LOOP loop;
  ASSERT_EQ(loop.start(), 0);
  ASSERT_EQ(loop.start(), 0);  // one runs already
  loop.stop();
  ASSERT_EQ(loop.start(), 0);
  loop.stop();
  ASSERT_EQ(loop.start(), 0);
  EXPECT_TRUE(WaitFor([&] { return loop.started == 3 && loop.live == 1; }));
  EXPECT_EQ(loop.most, 1);
  EXPECT_TRUE(loop.running());

  // Suspended, the worker stands still; resumed, it goes on.
  loop.suspend();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const int still = loop.ticks;
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(loop.ticks, still);
  loop.resume();
  EXPECT_TRUE(WaitFor([&] { return loop.ticks > still; }));

  loop.stop();
  EXPECT_TRUE(WaitFor([&] { return loop.live == 0; }));
  EXPECT_FALSE(loop.running());
}

}  // namespace
