// The console without a device: what was painted stays in a cell grid that tests read back as
// UTF-8 text and attributes, every painted run is recorded, and keys come from a queue the test
// fills. With the queue empty a waiting read gets Ctrl+F4 (as a closed terminal does), so a
// program under test that runs out of keys closes its windows and ends in order. A test whose
// keys also come from another thread (the barcode scanner) sets an idle wait: an empty queue
// then waits that long for a wake before it gives Ctrl+F4.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/console.h"

struct PaintRecord {
  int x, y, n;
  uint8_t attr;
  std::string chars;  // the screen bytes of the run
};

class HEADLESS_CONSOLE : public CONSOLE {
 public:
  static constexpr int kColumns = 80;
  static constexpr int kRows = 25;

  HEADLESS_CONSOLE();
  ~HEADLESS_CONSOLE() override;

  int open() override;
  void close() override;
  void paint_run(int x, int y, const ScreenCell* cells, int n) override;
  void set_caret(int col, int row, bool visible) override;
  void flush() override { ++flushes; }
  int colour_count() const override { return 16; }
  void set_code_page(int code_page) override { code_page_ = code_page; }
  void beep() override { ++beeps; }
  void toggle_maximised() override { ++maximise_toggles; }
  int next_key(KeyEvent* ev, int timeout_ms) override;
  bool key_pending() override;
  void wake() override;

  // Keys for the program: an event as the keyboard gives it (character in the screen code page),
  // or bytes as a terminal would send them, decoded like the terminal's input.
  void push_key(uint8_t ch, uint8_t scan, uint32_t shift = 0);
  void type_bytes(std::string_view bytes);
  // How long a read with no key queued waits for a wake before it answers Ctrl+F4; 0 at first.
  void set_idle_wait(int ms) { idle_wait_ms_ = ms; }

  // One row, or the whole screen with rows ended by "\n", as UTF-8.
  std::string row_text(int y) const;
  std::string screen_text() const;
  // The attribute of each cell of a row as two hex digits, e.g. "0707070770".
  std::string row_attrs(int y) const;
  ScreenCell cell(int x, int y) const { return grid_[y][x]; }

  int caret_x = 0, caret_y = 0;
  bool caret_visible = false;
  int beeps = 0;
  int flushes = 0;
  int maximise_toggles = 0;
  bool is_open = false;
  std::vector<PaintRecord> paints;

 private:
  int code_page_ = 2;
  ScreenCell grid_[kRows][kColumns];
  int idle_wait_ms_ = 0;
  std::mutex mu_;
  std::condition_variable cv_;
  bool woken_ = false;
  std::deque<KeyEvent> keys_;
};

// The headless console most recently opened and still open, or null.
HEADLESS_CONSOLE* headless_current();
