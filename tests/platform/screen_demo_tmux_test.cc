// Drives the screen demonstration program through tmux at 80 x 25: sends keys the way a
// terminal does and checks the echoed key events and the captured screen.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include "support/run_shell.h"

namespace {

class Tmux : public TMUX_SERVER {
 public:
  Tmux() : TMUX_SERVER("tamsu-demo") {}
  std::string Capture() { return Do("capture-pane -p -t demo"); }
  // Waits (bounded) until the captured screen holds the text.
  bool WaitFor(const std::string& text, std::string* screen, int ms = 8000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
      *screen = Capture();
      if (screen->find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(40));
    } while (std::chrono::steady_clock::now() < end);
    return false;
  }
};

std::string LastLine(const std::string& screen) {
  size_t end = screen.find_last_not_of("\n ");
  if (end == std::string::npos) return {};
  size_t start = screen.rfind('\n', end);
  return screen.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1) + 1);
}

class ScreenDemoInTmux : public ::testing::TestWithParam<const char*> {};

TEST_P(ScreenDemoInTmux, EchoesKeysAndShowsFramesAndPolishLetters) {
  int status = 0;
  RunShell("command -v tmux >/dev/null 2>&1", &status);
  if (status != 0) GTEST_SKIP() << "tmux is not installed";
  std::string demo = std::string(TAMSU_BUILD_DIR) + "/tools/screen_demo";
  struct stat st;
  if (stat(demo.c_str(), &st) != 0) GTEST_SKIP() << "build the target screen_demo first";

  Tmux tmux;
  tmux.Do("new-session -d -s demo -x 80 -y 25 'env TERM=" + std::string(GetParam()) +
              " ASAN_OPTIONS=detect_leaks=0 " + demo + "'",
          &status);
  ASSERT_EQ(status, 0);
  std::string screen;
  ASSERT_TRUE(tmux.WaitFor("Klawisze (Ctrl+F4 kończy)", &screen)) << screen;

  struct Step {
    const char* keys;  // tmux key names, or a literal text after "-l "
    const char* echo;
  } steps[] = {
      {"F1", "znak=00 skan=3B stan=0 F1"},
      {"S-F7", "znak=00 skan=41 stan=1 Shift+F7"},
      {"C-F7", "znak=00 skan=41 stan=2 Ctrl+F7"},
      {"M-p", "znak=70 skan=19 stan=4 Alt+P"},
      {"C-NPage", "znak=00 skan=51 stan=2 Ctrl+PgDn"},
      {"Home", "znak=00 skan=47 stan=0 Home"},
      {"IC", "znak=00 skan=52 stan=0 Ins"},
      {"DC", "znak=00 skan=53 stan=0 Del"},
      {"Escape", "znak=1B skan=01 stan=0 Esc"},
      {"-l ą", "znak=B9 skan=00 stan=0 ą"},
      {"-l Ż", "znak=AF skan=00 stan=1 Shift+Ż"},
      {"-l ś", "znak=9C skan=00 stan=0 ś"},
  };
  for (const Step& s : steps) {
    if (s.keys[0] == '-')
      tmux.Do(std::string("send-keys -t demo -l '") + (s.keys + 3) + "'");
    else
      tmux.Do(std::string("send-keys -t demo ") + s.keys);
    bool seen = tmux.WaitFor(s.echo, &screen);
    EXPECT_TRUE(seen) << s.keys << "\n" << screen;
    if (seen) {
      EXPECT_EQ(LastLine(screen), s.echo) << s.keys;
    }
  }

  screen = tmux.Capture();
  for (const char* text : {"┌─ Ramka pojedyncza ─", "╔═ Ramka podwójna ═", "│ ĄĆĘŁŃÓŚŻŹ", "│ ąćęłńóśżź",
                           "║ Zażółć gęślą jaźń", "└──────", "╚══════", "Elementy kolorów:",
                           "│znak=00 skan=53 stan=0 Del"})
    EXPECT_NE(screen.find(text), std::string::npos) << text << "\n" << screen;

  // Ctrl+F4 ends the program, and with it the session.
  tmux.Do("send-keys -t demo C-F4");
  bool gone = false;
  for (int i = 0; i < 200 && !gone; ++i) {
    tmux.Do("has-session -t demo", &status);
    gone = status != 0;
    if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  EXPECT_TRUE(gone);
}

INSTANTIATE_TEST_SUITE_P(Terminals, ScreenDemoInTmux, ::testing::Values("xterm-256color", "screen"),
                         [](const auto& info) {
                           std::string n = info.param;
                           for (char& c : n)
                             if (c == '-') c = '_';
                           return n;
                         });

}  // namespace
