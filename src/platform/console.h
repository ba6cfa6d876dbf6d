// The seam between the character screen and whatever shows it. The screen layer (ui/screen.h)
// owns the cell buffer; a console only paints runs of cells, places the caret and hands out key
// events. Backends: the terminal (ncursesw for set-up and capabilities, our own diff writer and
// key decoder) and the headless one used by the tests.
//
// Painting is pushed run by run (a run is a stretch of one row with one attribute); a backend
// may defer what reaches the device until flush(), which the screen calls once per turn of the
// key loop.
#pragma once

#include <cstdint>

#include "common/cell.h"

class CONSOLE {
 public:
  virtual ~CONSOLE() = default;

  // Display.
  virtual int open() = 0;  // 0 or -1
  virtual void close() = 0;
  virtual void paint_run(int x, int y, const ScreenCell* cells, int n) = 0;
  virtual void set_caret(int col, int row, bool visible) = 0;
  virtual void flush() = 0;
  virtual int colour_count() const = 0;
  // The code page the cell bytes are in; it decides the glyph each byte gets.
  virtual void set_code_page(int code_page) = 0;
  virtual void beep() = 0;
  virtual void toggle_maximised() {}

  // Input. Waits up to timeout_ms (-1: for ever) for the next key; 1 with an event, 0 without
  // (the time ran out, or wake was called). The character of the event is in the screen code
  // page.
  virtual int next_key(KeyEvent* ev, int timeout_ms) = 0;
  // True when a key can be taken at once; never blocks and never removes it.
  virtual bool key_pending() = 0;
  // Makes a next_key that waits (or the next one to wait) return 0 at once. The one operation
  // that may be called from another thread: the screen's key queue (ui/screen.h) calls it when
  // a key is posted there.
  virtual void wake() = 0;
};

enum ConsoleKind { kConsoleTerminal, kConsoleHeadless };

// Makes a console of the given kind on the process's terminal (standard input and output).
CONSOLE* console_create(ConsoleKind kind);

// The kind screen_open asks for; the tests choose the headless one. Kept until changed.
void console_select(ConsoleKind kind);
ConsoleKind console_selected();
