#include "platform/terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/keydecode.h"
#include "platform/terminfo.h"

namespace {

// State the signal handlers and the exit hook need: plain data only.
volatile sig_atomic_t g_winch = 0;
volatile sig_atomic_t g_hangup = 0;
int g_out_fd = -1;
int g_tty_fd = -1;
char g_restore[1024];
size_t g_restore_len = 0;
struct termios g_saved_mode;
bool g_have_saved_mode = false;
bool g_handlers = false;
bool g_atexit = false;
constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS,  SIGFPE,  SIGILL,
                                 SIGABRT, SIGTERM, SIGQUIT, SIGINT};
struct sigaction g_old_crash[sizeof kCrashSignals / sizeof kCrashSignals[0]];
struct sigaction g_old_winch, g_old_hup, g_old_pipe;

void RestoreTerminal() {
  if (g_out_fd >= 0 && g_restore_len > 0) {
    ssize_t ignored = write(g_out_fd, g_restore, g_restore_len);
    (void)ignored;
  }
  if (g_have_saved_mode) tcsetattr(g_tty_fd, TCSANOW, &g_saved_mode);
  g_out_fd = -1;
  g_have_saved_mode = false;
}

void OnCrash(int sig) {
  RestoreTerminal();
  for (size_t i = 0; i < sizeof kCrashSignals / sizeof kCrashSignals[0]; ++i)
    if (kCrashSignals[i] == sig) sigaction(sig, &g_old_crash[i], nullptr);
  raise(sig);
}

void OnWinch(int) { g_winch = 1; }
void OnHangup(int) { g_hangup = 1; }

void InstallHandlers() {
  if (g_handlers) return;
  struct sigaction sa;
  std::memset(&sa, 0, sizeof sa);
  sigemptyset(&sa.sa_mask);
  sa.sa_handler = OnCrash;
  for (size_t i = 0; i < sizeof kCrashSignals / sizeof kCrashSignals[0]; ++i)
    sigaction(kCrashSignals[i], &sa, &g_old_crash[i]);
  sa.sa_handler = OnWinch;  // no SA_RESTART: a waiting poll returns and the size is read again
  sigaction(SIGWINCH, &sa, &g_old_winch);
  sa.sa_handler = OnHangup;
  sigaction(SIGHUP, &sa, &g_old_hup);
  sa.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &sa, &g_old_pipe);
  g_handlers = true;
}

void RemoveHandlers() {
  if (!g_handlers) return;
  for (size_t i = 0; i < sizeof kCrashSignals / sizeof kCrashSignals[0]; ++i)
    sigaction(kCrashSignals[i], &g_old_crash[i], nullptr);
  sigaction(SIGWINCH, &g_old_winch, nullptr);
  sigaction(SIGHUP, &g_old_hup, nullptr);
  sigaction(SIGPIPE, &g_old_pipe, nullptr);
  g_handlers = false;
}

// The notice shown while the terminal is smaller than the screen.
const char kTooSmall[] = "Okno terminala jest za małe: potrzeba 80 × 25 znaków.";

}  // namespace

TERMINAL_CONSOLE::TERMINAL_CONSOLE(int in_fd, int out_fd, const char* term)
    : in_fd_(in_fd), out_fd_(out_fd) {
  const char* t = term ? term : std::getenv("TERM");
  term_ = t ? t : "";
}

TERMINAL_CONSOLE::~TERMINAL_CONSOLE() {
  if (open_) close();
}

int TERMINAL_CONSOLE::open() {
  if (open_) return 0;
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (pipe(wake_) != 0) return -1;
    fcntl(wake_[0], F_SETFL, O_NONBLOCK);
    fcntl(wake_[1], F_SETFL, O_NONBLOCK);
  }
  TermInfo info = terminfo_query(term_.empty() ? nullptr : term_.c_str(), out_fd_);
  linux_console_ = term_ == "linux";
  colours_ = info.found ? info.colours : 8;
  bool xterm_like = term_.rfind("xterm", 0) == 0;
  std::string enter = info.enter_ca, exit = info.exit_ca;
  if (!info.found && xterm_like) {
    enter = "\x1b[?1049h";
    exit = "\x1b[?1049l";
  }
  bool palette = info.palette_settable || linux_console_;

  struct termios mode;
  if (tcgetattr(in_fd_, &mode) == 0) {
    g_saved_mode = mode;
    g_tty_fd = in_fd_;
    g_have_saved_mode = true;
    mode.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
    mode.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    mode.c_cflag = (mode.c_cflag & ~(CSIZE | PARENB)) | CS8;
    mode.c_cc[VMIN] = 1;
    mode.c_cc[VTIME] = 0;
    tcsetattr(in_fd_, TCSANOW, &mode);
  }

  query_size();
  start_cols_ = term_cols_;
  start_rows_ = term_rows_;
  std::string init = enter;
  if (!linux_console_) init += "\x1b[3 q";  // the caret sits on the bottom lines of its cell
  if (palette) init += palette_load_sequence(linux_console_);
  asked_resize_ = !linux_console_ && (term_cols_ < 80 || term_rows_ < 25);
  if (asked_resize_) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "\x1b[8;%d;%dt", std::max(term_rows_, 25),
                  std::max(term_cols_, 80));
    init += buf;
  }
  init += "\x1b[0m\x1b[2J";

  restore_ = "\x1b[0m";
  if (palette) restore_ += palette_reset_sequence(linux_console_);
  if (asked_resize_) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "\x1b[8;%d;%dt", start_rows_, start_cols_);
    restore_ += buf;
  }
  if (!linux_console_) restore_ += "\x1b[0 q";
  restore_ += "\x1b[?25h";
  restore_ += exit.empty() ? std::string("\x1b[2J\x1b[H") : exit;
  g_restore_len = std::min(restore_.size(), sizeof g_restore);
  std::memcpy(g_restore, restore_.data(), g_restore_len);
  g_out_fd = out_fd_;
  g_winch = 0;
  g_hangup = 0;
  InstallHandlers();
  if (!g_atexit) {
    std::atexit(RestoreTerminal);
    g_atexit = true;
  }

  write_out(init);
  writer_.set_colours(colours_);
  open_ = true;
  hung_up_ = false;
  apply_size();
  return 0;
}

void TERMINAL_CONSOLE::close() {
  if (!open_) return;
  open_ = false;
  RestoreTerminal();
  bytes_written_ += restore_.size();
  RemoveHandlers();
  g_restore_len = 0;
  std::lock_guard<std::mutex> lock(mu_);
  ::close(wake_[0]);
  ::close(wake_[1]);
  wake_[0] = wake_[1] = -1;
}

void TERMINAL_CONSOLE::write_out(const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(out_fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // a terminal that went away takes nothing more
    done += static_cast<size_t>(n);
  }
  bytes_written_ += bytes.size();
}

void TERMINAL_CONSOLE::query_size() {
  struct winsize ws;
  if (ioctl(out_fd_, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0 && ws.ws_row > 0) {
    term_cols_ = ws.ws_col;
    term_rows_ = ws.ws_row;
  } else {
    term_cols_ = 80;
    term_rows_ = 25;
  }
}

// The grid sits in the middle of a larger terminal; a smaller one shows the notice instead.
void TERMINAL_CONSOLE::apply_size() {
  too_small_ = term_cols_ < TERMWRITER::kColumns || term_rows_ < TERMWRITER::kRows;
  write_out("\x1b[0m\x1b[2J");
  writer_.set_origin(std::max(0, (term_cols_ - TERMWRITER::kColumns) / 2),
                     std::max(0, (term_rows_ - TERMWRITER::kRows) / 2));
  if (too_small_) {
    write_out(std::string("\x1b[?25l\x1b[1;1H") + kTooSmall);
    return;
  }
  flush();
}

void TERMINAL_CONSOLE::paint_run(int x, int y, const ScreenCell* cells, int n) {
  if (y < 0 || y >= TERMWRITER::kRows) return;
  for (int i = 0; i < n; ++i)
    if (x + i >= 0 && x + i < TERMWRITER::kColumns) frame_[y][x + i] = cells[i];
}

void TERMINAL_CONSOLE::set_caret(int col, int row, bool visible) {
  caret_x_ = col;
  caret_y_ = row;
  caret_visible_ = visible;
}

void TERMINAL_CONSOLE::flush() {
  if (!open_ || too_small_) return;
  std::string bytes = writer_.render(frame_, code_page_, caret_x_, caret_y_, caret_visible_);
  if (!bytes.empty()) write_out(bytes);
}

void TERMINAL_CONSOLE::set_code_page(int code_page) {
  if (code_page == code_page_) return;
  code_page_ = code_page;
  writer_.invalidate();  // the same bytes may now need other glyphs
}

void TERMINAL_CONSOLE::beep() {
  if (open_) write_out("\a");
}

void TERMINAL_CONSOLE::read_available() {
  char buf[512];
  for (;;) {
    struct pollfd p {
      in_fd_, POLLIN, 0
    };
    int r = poll(&p, 1, 0);
    if (r <= 0) return;
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL) && !(p.revents & POLLIN)) {
      hung_up_ = true;
      return;
    }
    ssize_t n = read(in_fd_, buf, sizeof buf);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (n <= 0) {
      hung_up_ = true;
      return;
    }
    input_.append(buf, static_cast<size_t>(n));
    last_input_ = std::chrono::steady_clock::now();
    if (static_cast<size_t>(n) < sizeof buf) return;
  }
}

bool TERMINAL_CONSOLE::wait_input(int timeout_ms) {
  struct pollfd p[2] = {{in_fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
  int r = poll(p, 2, timeout_ms);
  if (g_hangup) hung_up_ = true;
  if (g_winch) {
    g_winch = 0;
    query_size();
    apply_size();
  }
  if (r <= 0) return false;
  bool woken = false;
  if (p[1].revents & POLLIN) {
    char drain[64];
    while (read(wake_[0], drain, sizeof drain) > 0) woken = true;
  }
  if (p[0].revents) read_available();
  return woken;
}

int TERMINAL_CONSOLE::escape_wait_left() const {
  auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
                    std::chrono::steady_clock::now() - last_input_)
                    .count();
  return waited >= kEscapeWaitMs ? 0 : static_cast<int>(kEscapeWaitMs - waited);
}

void TERMINAL_CONSOLE::decode_pending(bool at_end) {
  while (!input_.empty()) {
    KeyEvent ev{};
    size_t used = 0;
    DecodeResult r = decode_key(input_, at_end, code_page_, &ev, &used);
    if (r == kDecodeIncomplete) return;
    if (used == 0) used = 1;
    input_.erase(0, used);
    // Keys pressed at the notice were meant for no screen: they must not answer a question
    // the user cannot see.
    if (r == kDecodeAccepted && !too_small_) {
      std::lock_guard<std::mutex> lock(mu_);
      keys_.push_back(ev);
    }
  }
}

bool TERMINAL_CONSOLE::take_key(KeyEvent* ev) {
  std::lock_guard<std::mutex> lock(mu_);
  // While the notice stands, keys wait until the terminal is large enough again.
  if (keys_.empty() || too_small_) return false;
  *ev = keys_.front();
  keys_.pop_front();
  return true;
}

int TERMINAL_CONSOLE::next_key(KeyEvent* ev, int timeout_ms) {
  auto start = std::chrono::steady_clock::now();
  for (;;) {
    if (take_key(ev)) return 1;
    if (hung_up_ || g_hangup) {
      hung_up_ = true;
      *ev = KeyEvent{0, kScanF4, kShiftCtrl};
      return 1;
    }
    decode_pending(!input_.empty() && escape_wait_left() == 0);
    if (take_key(ev)) return 1;
    int wait = -1;
    if (timeout_ms >= 0) {
      auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now() - start)
                       .count();
      if (spent >= timeout_ms) return 0;
      wait = static_cast<int>(timeout_ms - spent);
    }
    // A sequence begun waits at most the escape wait for its end.
    if (!input_.empty()) {
      int left = std::max(1, escape_wait_left());
      wait = wait < 0 ? left : std::min(wait, left);
    }
    if (wait_input(wait)) return 0;
  }
}

bool TERMINAL_CONSOLE::key_pending() {
  if (hung_up_ || g_hangup) return true;
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (!keys_.empty() && !too_small_) return true;
  }
  read_available();
  if (g_winch) wait_input(0);
  decode_pending(!input_.empty() && escape_wait_left() == 0);
  std::lock_guard<std::mutex> lock(mu_);
  return (!keys_.empty() && !too_small_) || hung_up_;
}

void TERMINAL_CONSOLE::wake() {
  std::lock_guard<std::mutex> lock(mu_);
  if (wake_[1] >= 0) {
    char b = 1;
    ssize_t ignored = write(wake_[1], &b, 1);
    (void)ignored;
  }
}
