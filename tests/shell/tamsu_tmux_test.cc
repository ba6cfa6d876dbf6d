// The real program in a terminal beside another workstation: tmux at 80 x 25 runs a copy of the
// tamsu binary (so that its Tamsu.ini, which lives beside the executable, belongs to this test
// alone) on a fresh data directory whose tables this process holds, and the test types at it and
// reads the screen back.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "business/demo_data.h"
#include "db/dbtable.h"
#include "db/table_lock.h"
#include "support/run_shell.h"
#include "support/temp_dir.h"
#include "support/ui_fixture.h"

namespace {

class Tmux : public TMUX_SERVER {
 public:
  Tmux() : TMUX_SERVER("tamsu-shell") {}
  // The program runs in the pane; its exit code is printed after it and the pane stays.
  int Start(const std::string& program, const std::string& data) {
    int status = 0;
    Do("new-session -d -s t -x 80 -y 25 'env TERM=xterm-256color ASAN_OPTIONS=detect_leaks=0 " +
           program + " " + data + "; echo EXIT=$?; sleep 60'",
       &status);
    return status;
  }
  void Keys(const std::string& keys) { Do("send-keys -t t " + keys); }
  // Esc alone: the next key must not follow before the program has taken it as Esc.
  void Escape() {
    Keys("Escape");
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  }
  std::string Capture() { return Do("capture-pane -p -t t"); }
  // Each step sends its keys (space-separated tmux key names; "Escape" waits after itself) and
  // waits for its text; the screen of the last step is kept.
  void Walk(std::initializer_list<std::pair<const char*, const char*>> steps, std::string* screen) {
    for (const auto& [keys, text] : steps) {
      std::string k = keys;
      for (size_t at; (at = k.find("Escape")) != std::string::npos;) {
        if (k.find_first_not_of(' ') < at) Keys(k.substr(0, at));
        Escape();
        k.erase(0, at + 6);
      }
      if (k.find_first_not_of(' ') != std::string::npos) Keys(k);
      ASSERT_TRUE(WaitFor(text, screen)) << keys << " -> " << text << "\n" << *screen;
    }
  }
  bool WaitFor(const std::string& text, std::string* screen, int ms = 15000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
      *screen = Capture();
      if (screen->find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(40));
    } while (std::chrono::steady_clock::now() < end);
    return false;
  }
};

bool TmuxMissing() {
  int status = 0;
  RunShell("command -v tmux >/dev/null 2>&1", &status);
  return status != 0;
}

// A private copy of the program with its own configuration file.
std::string CopyProgram(const TempDir& dir, const std::string& ini) {
  const std::string from = std::string(TAMSU_BUILD_DIR) + "/tamsu";
  struct stat st;
  if (::stat(from.c_str(), &st) != 0) return {};
  const std::string bin = dir.File("bin");
  ::mkdir(bin.c_str(), 0755);
  int status = 0;
  // The program travels with its manual, as it is installed.
  RunShell("cp '" + from + "' '" + TAMSU_BUILD_DIR + "/Tamsu.txt' '" + bin + "/'", &status);
  if (status != 0) return {};
  if (!ini.empty()) WriteWholeFile(bin + "/Tamsu.ini", ini);
  return bin + "/tamsu";
}

TEST(TamsuInTmux, WaitsForTablesAnotherWorkstationHoldsAndGivesUpOnEsc) {
  if (TmuxMissing()) GTEST_SKIP() << "tmux is not installed";
  TempDir bin;
  const std::string program = CopyProgram(bin, "[Tamsu]\nNet=1\nCompany=1\n");
  if (program.empty()) GTEST_SKIP() << "build the target tamsu first";
  TempDir data(true);
  ASSERT_EQ(OpenDatabase(), 0);
  ASSERT_EQ(CreateDemoDatabase(), 0);
  AddContractor(1, "Moja firma");  // the own firm of the first start
  CloseDatabase();
  // This process is the other workstation: the same tables, shared.
  SetNetworkFlag(true);
  ASSERT_EQ(OpenDatabase(), 0);

  Tmux tmux;
  ASSERT_EQ(tmux.Start(program, data.path()), 0);
  std::string s;
  ASSERT_TRUE(tmux.WaitFor("Dowód wydania zewnętrznego", &s)) << s;
  ASSERT_EQ(LockAllTables(true), 0);
  // Given up: the transactions stay on the screen and the program answers again.
  ASSERT_NO_FATAL_FAILURE(tmux.Walk({{"1", "Oczekiwanie na prawo dostępu..."},
                                     {"Escape", "Przerwać operację?"},
                                     {"Enter", "Suma brutto"}},
                                    &s));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  s = tmux.Capture();
  EXPECT_EQ(s.find("Oczekiwanie na prawo"), std::string::npos) << s;
  EXPECT_EQ(s.find("GRUPY TOWARÓW"), std::string::npos) << s;
  UnlockAllTables();
  ASSERT_NO_FATAL_FAILURE(
      tmux.Walk({{"1", "GRUPY TOWARÓW"}, {"Escape", "Koniec programu?"}, {"Enter", "EXIT=0"}}, &s));
  ExpectTablesSound();
}

}  // namespace
