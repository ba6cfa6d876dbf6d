// The console on a terminal. ncurses' terminfo says what the terminal can do; the rest is ours:
// raw input decoded by platform/keydecode.h, output through the diff of platform/termwriter.h.
//
// At open the terminal goes to raw mode and the alternate screen, gets the program's palette
// when it can load one, and is asked to grow to at least 80 x 25 when smaller (xterm window
// request). Everything changed is given back at close, at exit and on a crash signal. While the
// terminal is smaller than the grid a Polish notice replaces the screen and reading waits; keys
// typed at the notice are dropped, since they would act on a screen nobody saw. A hang-up or the
// end of input makes every following read return Ctrl+F4, so that the program closes its windows
// and ends in order, as it does when the window's close button is pressed.
#pragma once

#include <chrono>
#include <deque>
#include <mutex>
#include <string>

#include "platform/console.h"
#include "platform/termwriter.h"

class TERMINAL_CONSOLE : public CONSOLE {
 public:
  // How long a lone ESC waits for the rest of a sequence.
  static constexpr int kEscapeWaitMs = 30;

  // term null: the TERM of the environment.
  TERMINAL_CONSOLE(int in_fd, int out_fd, const char* term);
  ~TERMINAL_CONSOLE() override;

  int open() override;
  void close() override;
  void paint_run(int x, int y, const ScreenCell* cells, int n) override;
  void set_caret(int col, int row, bool visible) override;
  void flush() override;
  int colour_count() const override { return colours_; }
  void set_code_page(int code_page) override;
  void beep() override;
  int next_key(KeyEvent* ev, int timeout_ms) override;
  bool key_pending() override;
  void wake() override;

  // Bytes sent to the terminal so far (for the tests of the diff).
  size_t bytes_written() const { return bytes_written_; }

 private:
  void write_out(const std::string& bytes);
  void query_size();
  void apply_size();
  // Reads what the input has without waiting; false at end of input.
  void read_available();
  // Waits up to timeout_ms for input or a wake-up; handles signals that arrive meanwhile. True
  // when woken.
  bool wait_input(int timeout_ms);
  void decode_pending(bool at_end);
  bool take_key(KeyEvent* ev);
  int escape_wait_left() const;

  int in_fd_, out_fd_;
  std::string term_;
  bool open_ = false;
  bool linux_console_ = false;
  int colours_ = 8;
  int code_page_ = 2;
  int term_cols_ = 80, term_rows_ = 25;
  int start_cols_ = 0, start_rows_ = 0;
  bool asked_resize_ = false;
  bool too_small_ = false;
  bool hung_up_ = false;
  ScreenCell frame_[TERMWRITER::kRows][TERMWRITER::kColumns]{};
  int caret_x_ = 0, caret_y_ = 0;
  bool caret_visible_ = false;
  TERMWRITER writer_;
  std::string restore_;
  size_t bytes_written_ = 0;
  int wake_[2] = {-1, -1};  // written under mu_: wake comes from other threads
  std::string input_;
  std::chrono::steady_clock::time_point last_input_;
  std::mutex mu_;
  std::deque<KeyEvent> keys_;
};
