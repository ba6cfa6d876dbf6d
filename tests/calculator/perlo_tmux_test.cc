// The built calculator on a real terminal: tmux at 80 x 25 on a private server, keys sent the
// way a terminal sends them, the screen read back from the pane.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include "support/run_shell.h"

namespace {

class TMUX : public TMUX_SERVER {
 public:
  TMUX() : TMUX_SERVER("perlo-test") {}
  std::string Screen() { return Do("capture-pane -p -t perlo"); }
  std::string Caret() { return Do("display-message -p -t perlo '#{cursor_x} #{cursor_y}'"); }
  // Polls, at most ms, until done() holds.
  template <class DONE>
  static bool WaitUntil(DONE done, int ms = 8000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(40));
    } while (std::chrono::steady_clock::now() < end);
    return false;
  }
  bool WaitFor(const std::string& text, std::string* screen) {
    return WaitUntil([&] { return (*screen = Screen()).find(text) != std::string::npos; });
  }
  bool WaitForCaret(const std::string& where, std::string* seen) {
    return WaitUntil([&] { return (*seen = Caret()).rfind(where, 0) == 0; });
  }
  bool WaitGone() {
    return WaitUntil([&] {
      int status = 0;
      Do("has-session -t perlo", &status);
      return status != 0;
    });
  }
};

TEST(PerloInTmux, TaxInterestAndEscOnARealTerminal) {
  int status = 0;
  RunShell("command -v tmux >/dev/null 2>&1", &status);
  if (status != 0) GTEST_SKIP() << "tmux is not installed";
  const std::string perlo = TAMSU_BUILD_DIR "/perlo";
  struct stat st;
  if (stat(perlo.c_str(), &st) != 0) GTEST_SKIP() << "build the target perlo first";

  TMUX tmux;
  tmux.Do("new-session -d -s perlo -x 80 -y 25 'env TERM=xterm-256color LC_ALL=C.UTF-8 "
          "ASAN_OPTIONS=detect_leaks=0 " + perlo + "'",
          &status);
  ASSERT_EQ(status, 0);
  std::string screen;
  ASSERT_TRUE(tmux.WaitFor("Perlo 4.61  (19.04.2014)", &screen)) << screen;
  EXPECT_NE(screen.find("1 Podatek dochodowy  2 Odsetki"), std::string::npos) << screen;
  EXPECT_NE(screen.find("3 Reklama  4 Pomoc  5 O programie"), std::string::npos) << screen;
  EXPECT_NE(screen.find("Kalkulator podatkowy oblicza podatek"), std::string::npos) << screen;

  // The income has the focus: typed, then left with Enter.
  tmux.Do("send-keys -t perlo C-y");
  tmux.Do("send-keys -t perlo -l '50 000'");
  tmux.Do("send-keys -t perlo Enter");
  ASSERT_TRUE(tmux.WaitFor("8 443,98 zł", &screen)) << screen;
  EXPECT_NE(screen.find("Suma dochodu:      50 000,00 zł"), std::string::npos) << screen;

  // Alt+2 (ESC 2 from the terminal) shows the interest page.
  tmux.Do("send-keys -t perlo M-2");
  ASSERT_TRUE(tmux.WaitFor("Odsetki ustawowe:", &screen)) << screen;
  EXPECT_EQ(screen.find("Rok podatkowy:"), std::string::npos) << screen;

  // An impossible due date keeps the caret in its field (column 16, row 9).
  tmux.Do("send-keys -t perlo M-t C-y");
  tmux.Do("send-keys -t perlo -l 31.02.2013");
  tmux.Do("send-keys -t perlo Enter");
  std::string caret;
  EXPECT_TRUE(tmux.WaitForCaret("16 9", &caret)) << caret;
  tmux.Do("send-keys -t perlo C-y");
  tmux.Do("send-keys -t perlo -l 30.11.2008");
  tmux.Do("send-keys -t perlo Enter");
  EXPECT_TRUE(tmux.WaitForCaret("16 10", &caret)) << caret;  // on to the payment date
  EXPECT_TRUE(tmux.WaitFor("30.11.2008", &screen)) << screen;

  // Ctrl+PgDn goes back to the tax page, which kept its figures.
  tmux.Do("send-keys -t perlo C-NPage");
  EXPECT_TRUE(tmux.WaitFor("Podatek dochodowy: 8 443,98 zł", &screen)) << screen;

  tmux.Do("send-keys -t perlo Escape");
  EXPECT_TRUE(tmux.WaitGone());
}

}  // namespace
