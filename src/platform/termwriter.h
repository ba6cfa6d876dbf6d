// The terminal's screen diff: remembers what the terminal shows and turns the wanted 80 x 25
// cells into the bytes that change only what differs (cursor addressing, colours, UTF-8 glyphs).
// Pure: the bytes go back to the caller. Colours: 16 foregrounds and backgrounds through SGR
// 30-37/90-97 and 40-47/100-107 where the terminal has 16 colours, bold for bright foregrounds
// and the plain background otherwise, reverse video on a terminal without colours.
#pragma once

#include <cstdint>
#include <string>

#include "common/cell.h"

// The ANSI colour number of a palette index (the palette runs blue-green-cyan-red, ANSI
// red-green-yellow-blue).
int ansi_colour_of(int palette_index);
// The SGR sequence of an attribute for a terminal with the given colour count.
std::string sgr_of(uint8_t attr, int colours);
// Sequences that load the 16 palette colours exactly (xterm OSC 4, or the Linux console's
// ESC ] P) and that give the terminal its own palette back.
std::string palette_load_sequence(bool linux_console);
std::string palette_reset_sequence(bool linux_console);

class TERMWRITER {
 public:
  static constexpr int kColumns = 80;
  static constexpr int kRows = 25;

  void set_colours(int colours) {
    colours_ = colours;
    invalidate();
  }
  // Where the grid's top-left cell sits on the terminal (0-based).
  void set_origin(int column, int row) {
    ox_ = column;
    oy_ = row;
    invalidate();
  }
  // Forgets what the terminal shows; the next render sends every cell.
  void invalidate();
  std::string render(const ScreenCell (*frame)[kColumns], int code_page, int caret_x, int caret_y,
                     bool caret_visible);

 private:
  void move_to(std::string* out, int col, int row);

  ScreenCell sent_[kRows][kColumns]{};
  bool valid_ = false;
  int colours_ = 16;
  int ox_ = 0, oy_ = 0;
  int attr_ = -1;          // the SGR state of the terminal, -1 unknown
  int cx_ = -1, cy_ = -1;  // the terminal's cursor in grid cells, -1 unknown
  int caret_shown_ = -1;   // -1 unknown
};
