// The label printer: the bytes of a label job, a serial transfer to a simulated printer
// (templates refused before anything goes out, DSR, cancelling), and the options dialog with its
// template transfer.
#include <thread>

#include "common/text.h"
#include "device_sim.h"
#include "devices/label/label_printer.h"
#include "platform/cfile.h"
#include "support/ui_fixture.h"
#include "ui/screen.h"

namespace {

TEST(LabelJobTest, FieldsInWindows1250EachOnItsLineAndCut) {
  EXPECT_EQ(
      LabelJob(LabelFields{"Róża czerwona"_pl, "KW0004", AMOUNT::FromDouble(8.61), "5901234000048"},
               3),
      "\nN\nJF\nI8,B\nFR\"form01\"\n?\nR\xF3\xBF"
      "a czerwona\nKW0004\n8.61\n5901234000048\nP3\n");
  const std::string long_name = "Ab\ncd" + std::string(200, 'x');
  EXPECT_EQ(LabelJob(LabelFields{long_name.c_str(), "", AMOUNT::FromInt(12), ""}, 1),
            "\nN\nJF\nI8,B\nFR\"form01\"\n?\nAb cd" + std::string(122, 'x') + "\n\n12.00\n\nP1\n");
}

// The printer on COM1, the simulator's terminal: through SIM_PORT with its DSR line, or as
// Tamsu.ini names it for the dialog (a plain terminal: no modem lines, nothing to wait for).
class LabelTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    SetConfigPath(dir.File("Tamsu.ini"));
    SetSerialLockDirectory(dir.path());
    ASSERT_EQ(INIFILE(dir.File("Tamsu.ini")).WriteString("Ports", "COM1", sim.path().c_str()), 0);
    DEVICE::setNotifyHook(NotifyLog::Hook);
    NotifyLog::PollAnswer() = 0;
    NotifyLog::Calls().clear();
    sim.dsr = true;
    sim.Start();
    printer.usePort(&port);
  }
  void TearDown() override {
    printer.close();
    sim.Stop();
    DEVICE::setNotifyHook(nullptr);
    SetSerialLockDirectory("");
    SetConfigPath("");
    UiTest::TearDown();
  }
  // What the printer got since the last look, once it has at least `expected` new bytes.
  std::string Got(size_t expected) {
    WaitFor([&] { return sim.Received().size() >= seen + expected; });
    const std::string all = sim.Received();
    const size_t from = seen;
    seen = all.size();
    return all.substr(from);
  }
  TempDir dir;
  DEVICE_SIM sim;
  SIM_PORT port{&sim};
  LABELPRINTER printer;
  size_t seen = 0;
};

TEST_F(LabelTest, TemplatesAreCheckedBeforeAnythingGoesOut) {
  EXPECT_EQ(printer.sendTemplate(true, nullptr), kDevInitFailed);  // not open
  EXPECT_EQ(printer.openSerial(10, nullptr), kDevInitFailed);
  ASSERT_EQ(printer.openSerial(1, nullptr), kDevOk);
  WriteWholeFile(dir.File("big.epl"), std::string(kMaxLabelTemplateSize + 1, 'B'));
  WriteWholeFile(dir.File("full.epl"), std::string(kMaxLabelTemplateSize, 'F'));
  struct {
    const char* file;  // nullptr: the built-in template
    bool fault;        // the read fails
    int rc;
    std::string sent;
  } const kCases[] = {
      {"big.epl", false, kDevConfiguration, ""},
      {"none.epl", false, kDevFileOpen, ""},
      {"full.epl", true, kDevFileRead, ""},
      {"full.epl", false, kDevOk, std::string(kMaxLabelTemplateSize, 'F')},
      {nullptr, false, kDevOk, std::string(kBuiltInLabelTemplate, kBuiltInLabelTemplateSize)},
  };
  for (const auto& c : kCases) {
    const std::string file = c.file ? dir.File(c.file) : "";
    if (c.fault) SetFileFault(kFileOpRead, 1, false);
    EXPECT_EQ(printer.sendTemplate(c.file == nullptr, file.c_str()), c.rc) << file;
    ClearFileFault();
    EXPECT_EQ(Got(c.sent.size()), c.sent) << file;  // a failure's bytes would show in the next case
  }
  // 14 lines, 202 characters, then the zero byte.
  EXPECT_EQ(std::string(kBuiltInLabelTemplate).size(), 202u);
}

TEST_F(LabelTest, BytesWaitForDsrAndTheUserMayCancel) {
  ASSERT_EQ(printer.openSerial(1, nullptr), kDevOk);
  sim.dsr = false;
  NotifyLog::PollAnswer() = 2;  // the user gives up while the printer is busy
  EXPECT_EQ(printer.send("N\n", 2), kDevCancelled);
  NotifyLog::PollAnswer() = 0;
  std::thread ready([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    sim.dsr = true;
  });
  EXPECT_EQ(printer.send("N\n", 2), kDevOk);
  ready.join();
  NotifyLog::PollAnswer() = 2;  // and between two bytes
  EXPECT_EQ(printer.send("N\n", 2), kDevCancelled);
  EXPECT_EQ(Got(3), "N\nN");
  EXPECT_TRUE(NotifyLog::Calls().empty());  // nothing but the questions
}

TEST_F(LabelTest, TheDialogSendsTheTemplateAsShownAndOkStoresTheSettings) {
  // The built-in template is sent; then "Z pliku" with the offered "Etykieta.epl", which is not
  // there; Ok stores what the dialog shows.
  PlayKeys(con, "{Alt+b}{Alt+w}{Enter}{Snap}{Enter}{Alt+l}{Alt+w}{Enter}{Snap}{Enter}{Alt+o}");
  ASSERT_EQ(label_printer_options(), 0);
  EXPECT_NE(Shot(0).find("Szablon został wysłany do drukarki."), std::string::npos) << Shot(0);
  EXPECT_NE(Shot(1).find("Szablon nie został wysłany do drukarki."), std::string::npos) << Shot(1);
  EXPECT_EQ(Got(kBuiltInLabelTemplateSize),
            std::string(kBuiltInLabelTemplate, kBuiltInLabelTemplateSize));
  const LabelPrinterSettings s = ReadLabelPrinterSettings();
  EXPECT_EQ(s.printMode, 0);
  EXPECT_EQ(s.configDefault, 0);
  EXPECT_STREQ(s.configFile, "Etykieta.epl");
  EXPECT_STREQ(s.printerName, "");
}

}  // namespace
