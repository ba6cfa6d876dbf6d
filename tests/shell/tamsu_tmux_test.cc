// The real program in a terminal: tmux at 80 x 25 runs a copy of the tamsu binary (so that its
// Tamsu.ini, which lives beside the executable, belongs to this test alone) on a fresh data
// directory, and the test types at it and reads the screen back.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/cfile.h"
#include "db/dbtable.h"
#include "business/demo_data.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_check.h"
#include "db/table_lock.h"
#include "platform/inifile.h"
#include "support/temp_dir.h"
#include "support/run_shell.h"

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

class CwdKeeper {
 public:
  explicit CwdKeeper(const std::string& to) {
    char buf[4096];
    if (getcwd(buf, sizeof buf)) saved_ = buf;
    ok_ = ::chdir(to.c_str()) == 0;
  }
  ~CwdKeeper() {
    if (!saved_.empty() && ::chdir(saved_.c_str()) != 0) std::perror("chdir");
  }
  bool ok() const { return ok_; }

 private:
  std::string saved_;
  bool ok_ = false;
};

TEST(TamsuInTmux, FirstStartWalksTheViewsAndLeavesSoundFiles) {
  if (TmuxMissing()) GTEST_SKIP() << "tmux is not installed";
  TempDir dir;
  const std::string program = CopyProgram(dir, "");
  if (program.empty()) GTEST_SKIP() << "build the target tamsu first";
  const std::string data = dir.File("dane");
  ASSERT_EQ(::mkdir(data.c_str(), 0755), 0);

  Tmux tmux;
  ASSERT_EQ(tmux.Start(program, data), 0);
  std::string s;
  ASSERT_NO_FATAL_FAILURE(tmux.Walk({{"", "Utworzyć nowe pliki?"},
                                     {"Enter", "Wprowadź dane własnej firmy."},
                                     {"Enter", "KONTRAHENCI"},
                                     {"Escape", "Firma macierzysta została dodana jako:"},
                                     {"Enter", "Utworzyć przykładową bazę danych?"},
                                     {"Enter", "Dowód wydania zewnętrznego"}},
                                    &s));
  EXPECT_NE(s.find("TRANSAKCJE"), std::string::npos);
  EXPECT_NE(s.find("F1 Pomoc"), std::string::npos);
  ASSERT_NO_FATAL_FAILURE(tmux.Walk({{"1", "GRUPY TOWARÓW"},
                                     {"2", "Anturium"},
                                     {"End", "Stan bieżący"},
                                     {"3", "KONTRAHENCI"},
                                     {"4", "Suma brutto"},
                                     {"w", "Data      Dokument"},
                                     {"Escape", "Suma brutto"},
                                     {"F1", "POMOC - KLAWISZE SKRÓTU"},
                                     {"Escape", "Suma brutto"},
                                     {"C-F1", "TAMSU - INSTRUKCJA OBSŁUGI"},
                                     {"End", "Instrukcja będzie uzupełniana"},
                                     {"Escape", "Suma brutto"},
                                     {"F10 Enter", "Koniec programu  Esc"},
                                     {"Escape Escape Escape", "Koniec programu?"},
                                     {"Enter", "EXIT=0"}},
                                    &s));

  // The files the program left behind are whole, and as many as the demonstration holds.
  CwdKeeper in(data);
  ASSERT_TRUE(in.ok());
  ASSERT_EQ(OpenDatabase(), 0);
  for (int t = 0; t < kTableCount; ++t) {
    std::string problem;
    EXPECT_EQ(CheckTable(t, &problem), 0) << t << ": " << problem;
  }
  EXPECT_EQ(TableCount(3), 4);
  EXPECT_EQ(TableCount(1), 16);
  EXPECT_EQ(TableCount(2), 6);  // "Moja firma" and the five of the demonstration
  CloseDatabase();

  int status = 0;
  RunShell("/usr/bin/python3 -c 'import dbf' >/dev/null 2>&1", &status);
  if (status == 0) {
    const std::string n = RunShell(
        "/usr/bin/python3 -c \"import dbf; t = dbf.Table('" + data +
        "/Tow.dbf', codepage='cp852'); t.open(dbf.READ_ONLY); print(len(t))\"");
    EXPECT_EQ(n, "16\n");
  }
}

TEST(TamsuInTmux, WaitsForTablesAnotherWorkstationHoldsAndGivesUpOnEsc) {
  if (TmuxMissing()) GTEST_SKIP() << "tmux is not installed";
  TempDir dir;
  const std::string program = CopyProgram(dir, "[Tamsu]\nNet=1\nCompany=1\n");
  if (program.empty()) GTEST_SKIP() << "build the target tamsu first";
  const std::string data = dir.File("dane");
  ASSERT_EQ(::mkdir(data.c_str(), 0755), 0);
  CwdKeeper in(data);
  ASSERT_TRUE(in.ok());
  ASSERT_EQ(OpenDatabase(), 0);
  ASSERT_EQ(CreateDemoDatabase(), 0);
  Kon = KON_RECORD{};  // the own firm of the first start
  Kon.ID = AMOUNT::FromInt(1);
  std::snprintf(Kon.NAZWA, sizeof Kon.NAZWA, "Moja firma");
  ASSERT_EQ(TableAppend(kTableContractors), 0);
  CloseDatabase();

  // This process is the other workstation: the same tables, shared.
  SetNetworkFlag(true);
  ASSERT_EQ(OpenDatabase(), 0);

  Tmux tmux;
  ASSERT_EQ(tmux.Start(program, data), 0);
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

  for (int t = 0; t < kTableCount; ++t) {
    std::string problem;
    EXPECT_EQ(CheckTable(t, &problem), 0) << t << ": " << problem;
  }
  CloseDatabase();
  ResetTableLocks();
}

}  // namespace
