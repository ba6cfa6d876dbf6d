// The whole road in the running program: a scanner on a pseudo-terminal types a demonstration
// barcode into the goods search (Ctrl+B), the goods becomes current, and F9 sends its label to
// a real CUPS queue (a private scheduler whose queue writes into a file).
#include <filesystem>

#include "common/text.h"
#include "device_sim.h"
#include "devices/label/label_printer.h"
#include "devices/scanner/ean_scanner.h"
#include "platform/cups_print.h"
#include "shell/run_fixture.h"
#include "support/private_cupsd.h"

namespace {

TEST_F(ShellTest, AScannedBarcodeFindsTheGoodsAndItsLabelReachesTheDefaultQueue) {
  SetSerialLockDirectory(dir.path());
  MakeDemoDatabase();
  DEVICE_SIM scanner;
  const INIFILE ini(TestConfigPath());
  ASSERT_EQ(ini.WriteString("Ports", "COM2", scanner.path().c_str()), 0);
  ASSERT_EQ(ini.WriteInt("EAN Scanner", "Active", 1), 0);
  ASSERT_EQ(ini.WriteInt("EAN Scanner", "Port", 2), 0);
  ASSERT_EQ(ini.WriteInt("Label printer", "PrintMode", 1), 0);  // no name: the default queue

  PRIVATE_CUPSD cupsd(dir.File("cups"));
  const std::string label_file = dir.File("cups/out/label.epl");
  std::string no_cups = cupsd.Start();
  if (no_cups.empty()) no_cups = cupsd.AddFileQueue("etykiety", label_file);
  if (no_cups.empty()) cups_set_server(cupsd.Socket().c_str());

  // Goods 5 of the demonstration, "Tulipan": 590 1234 00 05 and its check digit.
  const char* const kBarcode = "5901234000055";
  con->hook = [&] {
    scanner.Inject(std::string(kBarcode) + "\r");
    for (int i = 0; i < 5000 && posted_key_count() < 14; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
  Play(std::string("2{Ctrl+B}{Hook}{Snap}") + (no_cups.empty() ? "{F9}{Enter}{Snap}" : "") +
       "{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_NE(Shot(0).find("Tulipan"), std::string::npos) << Shot(0);
  EXPECT_NE(Shot(0).find(kBarcode), std::string::npos) << Shot(0);
  EXPECT_FALSE(scannerRunning());  // stopped at the end of the program
  SetSerialLockDirectory("");

  if (!no_cups.empty())
    GTEST_SKIP() << "SKIPPED the label part: no private CUPS scheduler could run here: " << no_cups;
  LABELPRINTER p;
  EXPECT_EQ(p.openPrinter("brak-takiej-drukarki"), kDevInitFailed);
  const std::string expected =
      LabelJob(LabelFields{"Tulipan", "KW0005", AMOUNT::FromDouble(2.46), kBarcode}, 1);
  std::error_code ec;
  for (int i = 0; i < 200 && std::filesystem::file_size(label_file, ec) + 1 < expected.size() + 1;
       ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  cups_set_server(nullptr);
  EXPECT_EQ(ReadWholeFile(label_file), expected)
      << Shot(1) << ReadWholeFile(dir.File("cups/log/error_log"));
}

}  // namespace
