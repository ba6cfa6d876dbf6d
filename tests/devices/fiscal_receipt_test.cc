// The fiscal receipt of a sale, from key P of the running program to the simulated Posnet
// printer on a pseudo-terminal named in Tamsu.ini, and what the transaction records afterwards.
#include <cstring>
#include <filesystem>
#include <fstream>

#include "business/demo_data.h"
#include "devices/device_messages.h"
#include "devices/fiscal_receipt.h"
#include "platform/cfile.h"
#include "posnet_sim.h"
#include "shell/run_fixture.h"
#include "shell/ui_handlers.h"

namespace {

const AMOUNT kSale = AMOUNT::FromInt(4);  // the demonstration sale: 10 Anturium, 1 Baccardi

class ReceiptTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    SetSerialLockDirectory(dir.path());
    MakeDemoDatabase();
    Configure(1);
    RegisterDeviceCommands();
    sim.Start();
  }
  void TearDown() override {
    sim.Stop();
    SetSerialLockDirectory("");
    ShellTest::TearDown();
  }
  // The printer on COMn, the simulator's terminal named as COMn.
  void Configure(int port) {
    const INIFILE ini(TestConfigPath());
    ASSERT_EQ(ini.WriteInt("Fiscal Printer", "Type", 7), 0);
    ASSERT_EQ(ini.WriteInt("Fiscal Printer", "Port", port), 0);
    ASSERT_EQ(ini.WriteString("Ports", ("COM" + std::to_string(port)).c_str(), sim.path().c_str()),
              0);
  }
  // Runs f on the open database of the data directory.
  template <class F>
  void WithDatabase(F f) {
    ASSERT_EQ(::chdir(data.c_str()), 0);
    ASSERT_EQ(OpenDatabase(), 0);
    f();
    CloseDatabase();
    ASSERT_EQ(::chdir(start_dir.c_str()), 0);
  }
  // The flag as the data file holds it, found in file order: after a failed write the index
  // may wait for its rebuild.
  int StoredFiscalFlag() {
    const int saved = TableGetIndex(kTableTransactions);
    TableSetIndex(kTableTransactions, -1);
    int flag = -1;
    for (int rc = TableFirst(kTableTransactions); rc == 0 && flag < 0;
         rc = TableNext(kTableTransactions))
      if (Tra.ID == kSale) flag = Tra.DOKFISKAL;
    TableSetIndex(kTableTransactions, saved);
    return flag;
  }
  void SetFiscalFlag(int flag) {
    ASSERT_EQ(FindById(kTableTransactions, kSale), 0);
    Tra.DOKFISKAL = flag;
    ASSERT_EQ(TableUpdate(kTableTransactions), 0);
  }
  bool Painted(const char* text) {
    for (const PaintRecord& p : con->paints)
      if (p.chars.find(text) != std::string::npos) return true;
    return false;
  }
  static bool Ends(const std::vector<std::string>& frames) {
    for (const std::string& f : frames)
      if (f.rfind("1;0$e", 0) == 0) return true;
    return false;
  }

  POSNET_SIM sim;
};

std::string LineFrame(int n, const char* name, const char* quantity, const char* price,
                      const char* value) {
  std::string f = std::to_string(n) + "$l" + name;
  f.resize(f.size() + 40 - std::strlen(name), ' ');
  return f + "\r" + quantity + " szt.\rA/" + price + "/" + value + "/";
}

TEST_F(ReceiptTest, KeyPPrintsTheSaleAndMarksIt) {
  Play("p{Enter}");
  ASSERT_EQ(Run(), 0);
  sim.Stop();
  const std::vector<std::string> expected = {
      "0$e",
      "1#e",
      "0#s",
      "0$h",
      LineFrame(1, "Anturium", "     10.00", "7.38", "73.80"),
      LineFrame(2, "Baccardi", "      1.00", "73.80", "73.80"),
      "1;0$e   \r0.00/147.60/",
  };
  EXPECT_EQ(sim.Frames(), expected);
  EXPECT_EQ(sim.BadChecksums(), 0);
  WithDatabase([&] { EXPECT_EQ(StoredFiscalFlag(), 1); });
}

TEST_F(ReceiptTest, PaperRunningOutMidReceiptCancelsItAndLeavesTheSaleUnmarked) {
  sim.Stop();
  sim.judge = [](const std::string& body) {
    return body.rfind("2$l", 0) == 0 ? POSNET_SIM::kPaperOut : POSNET_SIM::kAccept;
  };
  sim.Start();
  Play("p{Enter}");
  ASSERT_EQ(Run(), 0);
  sim.Stop();
  const std::vector<std::string> f = sim.Frames();
  ASSERT_GE(f.size(), 7u);
  EXPECT_EQ(f[5].substr(0, 11), "2$lBaccardi");
  EXPECT_FALSE(Ends(f));
  EXPECT_EQ(f.back(), "0$e");
  EXPECT_TRUE(Painted("Brak papieru."));
  WithDatabase([&] { EXPECT_EQ(StoredFiscalFlag(), 0); });
}

TEST_F(ReceiptTest, WhatPrintsAndWhatDoesNot) {
  struct Case {
    const char* script;
    int printed_before;
    const char* filter;  // FiscDocumentFilter
    bool prints;
  } cases[] = {
      {"p{Esc}", 0, "", false},            // "Drukować paragon fiskalny?" not answered "Tak"
      {"p{Enter}{Enter}", 1, "", false},   // printed already: "Nie" is the first answer
      {"2p", 0, "", false},                // key P outside the transactions view
      {"p", 0, "1 0 1 1 1 1 1 1", false},  // VAT invoices filtered out
      {"p{Enter}t", 1, "", true},          // a reprint on "Tak"
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    WithDatabase([&] { SetFiscalFlag(c.printed_before); });
    ASSERT_EQ(INIFILE(TestConfigPath()).WriteString("Tamsu", "FiscDocumentFilter", c.filter), 0);
    const size_t before = sim.Frames().size();
    Play(c.script);
    ASSERT_EQ(Run(), 0);
    Restart();
    sim.Stop();
    const std::vector<std::string> f = sim.Frames();
    EXPECT_EQ(Ends(std::vector<std::string>(f.begin() + static_cast<long>(before), f.end())),
              c.prints);
    if (!c.prints) {
      EXPECT_EQ(f.size(), before);
    }
    sim.Start();
    WithDatabase([&] { EXPECT_EQ(StoredFiscalFlag(), c.prints || c.printed_before ? 1 : 0); });
  }
}

// Every read and every write of the operation failing in turn: a sale is marked only when its
// receipt ended on the printer, and a receipt that was begun is never left open.
TEST_F(ReceiptTest, AFailingReadOrWriteNeverMarksAnUnprintedSale) {
  // A failed read of the configuration falls back to /dev/ttyS0 (COM1) or /dev/ttyS8 (COM9):
  // lock files of this very process keep the test away from those real ports.
  Configure(9);
  for (const char* device : {"/dev/ttyS0", "/dev/ttyS8"})
    std::ofstream(dir.File(SerialLockName(device))) << "  " << ::getpid() << "\n";
  // Each case starts from the same files: a failed write may leave them for the repair.
  const std::string pristine = dir.File("pristine");
  std::filesystem::copy(data, pristine);
  ASSERT_EQ(::chdir(data.c_str()), 0);
  InstallUiHandlers();
  InstallDeviceNotifyHook();
  int completed = 0;
  for (int kind : {kFileOpRead, kFileOpWrite}) {
    for (long nth = 1; nth < 300; ++nth) {
      CloseDatabase();
      std::filesystem::copy(pristine, data,
                            std::filesystem::copy_options::overwrite_existing |
                                std::filesystem::copy_options::recursive);
      ASSERT_EQ(OpenDatabase(), 0);
      ASSERT_EQ(FindById(kTableTransactions, kSale), 0);
      sim.Stop();
      const size_t before = sim.Frames().size();
      sim.Start();
      Play("{Enter}");  // "Tak" to the question
      SetFileFault(kind, nth, false);
      const int rc = PrintSaleReceipt();
      const bool hit = FileFaultTripped();
      ClearFileFault();
      sim.Stop();
      const std::vector<std::string> all = sim.Frames();
      sim.Start();
      const std::vector<std::string> f(all.begin() + static_cast<long>(before), all.end());
      const bool printed = Ends(f);
      const int stored = StoredFiscalFlag();
      const std::string what = (kind == kFileOpRead ? "read " : "write ") + std::to_string(nth);
      EXPECT_TRUE(!stored || printed) << what;
      EXPECT_TRUE(rc != 0 || stored == 1) << what;
      EXPECT_TRUE(printed || f.empty() || f.back() == "0$e") << what;
      while (key_waiting()) {
        KeyEvent ev;
        read_key(&ev);
      }
      if (!hit) {
        EXPECT_EQ(rc, 0) << what;
        ++completed;
        break;
      }
    }
  }
  EXPECT_EQ(completed, 2);
  UninstallDeviceNotifyHook();
  CloseDatabase();
  ASSERT_EQ(::chdir(start_dir.c_str()), 0);
}

}  // namespace
