#include "platform/terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace {

// A pseudo-terminal standing in for the user's terminal: the console works on the slave side,
// the test reads what was sent and types on the master side.
class Pty {
 public:
  explicit Pty(int cols, int rows) {
    struct winsize ws {
      static_cast<unsigned short>(rows), static_cast<unsigned short>(cols), 0, 0
    };
    ok = openpty(&master, &slave, nullptr, nullptr, &ws) == 0;
    if (ok) fcntl(master, F_SETFL, O_NONBLOCK);
  }
  ~Pty() {
    if (master >= 0) close(master);
    if (slave >= 0) close(slave);
  }
  std::string Drain() {
    std::string out;
    char buf[4096];
    for (;;) {
      struct pollfd p {
        master, POLLIN, 0
      };
      if (poll(&p, 1, 50) <= 0) break;
      ssize_t n = read(master, buf, sizeof buf);
      if (n <= 0) break;
      out.append(buf, static_cast<size_t>(n));
    }
    return out;
  }
  void Type(const std::string& bytes) {
    ASSERT_EQ(write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  void Resize(int cols, int rows) {
    struct winsize ws {
      static_cast<unsigned short>(rows), static_cast<unsigned short>(cols), 0, 0
    };
    ioctl(master, TIOCSWINSZ, &ws);
  }
  int master = -1, slave = -1;
  bool ok = false;
};

TEST(TerminalConsole, OpensPaintsAndGivesTheTerminalBack) {
  Pty pty(80, 25);
  ASSERT_TRUE(pty.ok);
  TERMINAL_CONSOLE t(pty.slave, pty.slave, "xterm-256color");
  ASSERT_EQ(t.open(), 0);
  std::string start = pty.Drain();
  EXPECT_NE(start.find("\x1b[?1049h"), std::string::npos);            // alternate screen
  EXPECT_NE(start.find("\x1b]4;1;rgb:a8/00/00"), std::string::npos);  // exact palette
  EXPECT_EQ(t.colour_count(), 256);
  ScreenCell cell{0xA5, 0x1E};
  t.paint_run(40, 12, &cell, 1);
  t.flush();
  EXPECT_NE(pty.Drain().find("ą"), std::string::npos);
  t.close();
  std::string end = pty.Drain();
  EXPECT_NE(end.find("\x1b]104"), std::string::npos);
  EXPECT_NE(end.find("\x1b[?25h"), std::string::npos);
  EXPECT_NE(end.find("\x1b[?1049l"), std::string::npos);
}

TEST(TerminalConsole, DecodesTypedKeysAndEscAlone) {
  Pty pty(80, 25);
  ASSERT_TRUE(pty.ok);
  TERMINAL_CONSOLE t(pty.slave, pty.slave, "tmux-256color");
  ASSERT_EQ(t.open(), 0);
  pty.Drain();
  KeyEvent ev{};
  EXPECT_EQ(t.next_key(&ev, 0), 0);
  EXPECT_FALSE(t.key_pending());

  pty.Type("\x1b[18;5~\x1b[1~");
  ASSERT_EQ(t.next_key(&ev, 2000), 1);
  EXPECT_EQ(ev, (KeyEvent{0, kScanF7, kShiftCtrl}));
  ASSERT_EQ(t.next_key(&ev, 2000), 1);
  EXPECT_EQ(ev, (KeyEvent{0, kScanHome, 0}));

  pty.Type("\x1b");
  ASSERT_EQ(t.next_key(&ev, 2000), 1);
  EXPECT_EQ(ev, (KeyEvent{27, kScanEsc, 0}));

  pty.Type("ż");
  ASSERT_EQ(t.next_key(&ev, 2000), 1);
  EXPECT_EQ(ev.ch, 0xBE);

  // A wake from another thread ends a waiting read without a key, long before its time.
  const auto start = std::chrono::steady_clock::now();
  std::thread waker([&t] {
    usleep(50 * 1000);
    t.wake();
  });
  EXPECT_EQ(t.next_key(&ev, 5000), 0);
  waker.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(4000));
  t.close();
}

TEST(TerminalConsole, HangUpBecomesCtrlF4AtEveryRead) {
  Pty pty(80, 25);
  ASSERT_TRUE(pty.ok);
  TERMINAL_CONSOLE t(pty.slave, pty.slave, "xterm");
  ASSERT_EQ(t.open(), 0);
  pty.Drain();
  close(pty.master);
  pty.master = -1;
  KeyEvent ev{};
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(t.next_key(&ev, -1), 1);
    EXPECT_EQ(ev, (KeyEvent{0, kScanF4, kShiftCtrl}));
  }
  EXPECT_TRUE(t.key_pending());
  t.close();
}

TEST(TerminalConsole, ASmallTerminalIsAskedToGrowAndShowsANotice) {
  Pty pty(80, 24);
  ASSERT_TRUE(pty.ok);
  TERMINAL_CONSOLE t(pty.slave, pty.slave, "xterm-256color");
  ASSERT_EQ(t.open(), 0);
  ScreenCell cell{'Q', 0x07};
  t.paint_run(0, 0, &cell, 1);
  t.flush();
  std::string start = pty.Drain();
  EXPECT_NE(start.find("\x1b[8;25;80t"), std::string::npos);
  EXPECT_NE(start.find("Okno terminala jest za małe"), std::string::npos);
  EXPECT_EQ(start.find('Q'), std::string::npos);
  // Keys typed at the notice answer nothing: reading waits, and they are gone afterwards.
  pty.Type("\r\r");
  KeyEvent ev{};
  EXPECT_EQ(t.next_key(&ev, 200), 0);
  EXPECT_FALSE(t.key_pending());

  pty.Resize(100, 30);
  raise(SIGWINCH);
  EXPECT_FALSE(t.key_pending());
  std::string grown = pty.Drain();
  EXPECT_NE(grown.find("\x1b[3;11H\x1b[37;40mQ"), std::string::npos)
      << grown.substr(0, 60);  // centred
  pty.Type("x");
  ASSERT_EQ(t.next_key(&ev, 2000), 1);
  EXPECT_EQ(ev.ch, 'x');

  t.close();
  EXPECT_NE(pty.Drain().find("\x1b[8;24;80t"), std::string::npos);  // its size given back
}

TEST(TerminalConsole, ACrashSignalGivesTheTerminalBack) {
  Pty pty(80, 25);
  ASSERT_TRUE(pty.ok);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    TERMINAL_CONSOLE t(pty.slave, pty.slave, "xterm-256color");
    if (t.open() != 0) _exit(2);
    raise(SIGTERM);
    _exit(3);  // not reached: the signal ends the process after the terminal is restored
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
  std::string all = pty.Drain();
  size_t entered = all.find("\x1b[?1049h");
  size_t left = all.rfind("\x1b[?1049l");
  ASSERT_NE(entered, std::string::npos);
  ASSERT_NE(left, std::string::npos);
  EXPECT_LT(entered, left);
  EXPECT_NE(all.find("\x1b]104", entered), std::string::npos);
  struct termios mode;
  ASSERT_EQ(tcgetattr(pty.slave, &mode), 0);
  EXPECT_TRUE(mode.c_lflag & ICANON);  // cooked mode again
  EXPECT_TRUE(mode.c_lflag & ECHO);
}

}  // namespace
