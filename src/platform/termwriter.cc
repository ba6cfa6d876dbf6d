#include "platform/termwriter.h"

#include "common/text.h"

#include <cstdio>

#include "common/colours.h"
#include "platform/glyphs.h"

int ansi_colour_of(int i) {
  static constexpr int kAnsi[8] = {0, 4, 2, 6, 1, 5, 3, 7};
  return (i & 8) | kAnsi[i & 7];
}

std::string sgr_of(uint8_t attr, int colours) {
  int fg = attr & 15, bg = attr >> 4;
  char buf[32];
  if (colours >= 16) {
    int f = ansi_colour_of(fg), b = ansi_colour_of(bg);
    std::snprintf(buf, sizeof buf, "\x1b[%d;%dm", f < 8 ? 30 + f : 90 + f - 8,
                  b < 8 ? 40 + b : 100 + b - 8);
  } else if (colours >= 8) {
    std::snprintf(buf, sizeof buf, "\x1b[0;%s%d;%dm", fg & 8 ? "1;" : "",
                  30 + ansi_colour_of(fg & 7), 40 + ansi_colour_of(bg & 7));
  } else {
    std::snprintf(buf, sizeof buf, "\x1b[0%s%sm", fg & 8 ? ";1" : "", (bg & 7) != 0 ? ";7" : "");
  }
  return buf;
}

std::string palette_load_sequence(bool linux_console) {
  std::string out;
  char buf[48];
  for (int i = 0; i < 16; ++i) {
    const PaletteEntry& p = PALETTE[i];
    if (linux_console)
      std::snprintf(buf, sizeof buf, "\x1b]P%X%02x%02x%02x", ansi_colour_of(i), p.r, p.g, p.b);
    else
      std::snprintf(buf, sizeof buf, "\x1b]4;%d;rgb:%02x/%02x/%02x\x1b\\", ansi_colour_of(i), p.r,
                    p.g, p.b);
    out += buf;
  }
  return out;
}

std::string palette_reset_sequence(bool linux_console) {
  return linux_console ? "\x1b]R" : "\x1b]104\x1b\\";
}

void TERMWRITER::invalidate() {
  valid_ = false;
  attr_ = -1;
  cx_ = cy_ = -1;
  caret_shown_ = -1;
}

void TERMWRITER::move_to(std::string* out, int col, int row) {
  if (col == cx_ && row == cy_) return;
  char buf[32];
  std::snprintf(buf, sizeof buf, "\x1b[%d;%dH", oy_ + row + 1, ox_ + col + 1);
  *out += buf;
  cx_ = col;
  cy_ = row;
}

std::string TERMWRITER::render(const ScreenCell (*frame)[kColumns], int code_page, int caret_x,
                               int caret_y, bool caret_visible) {
  std::string out;
  bool hidden_for_drawing = false;
  for (int row = 0; row < kRows; ++row) {
    for (int col = 0; col < kColumns; ++col) {
      const ScreenCell& c = frame[row][col];
      if (valid_ && sent_[row][col] == c) continue;
      if (!hidden_for_drawing && caret_shown_ != 0) {
        out += "\x1b[?25l";
        caret_shown_ = 0;
      }
      hidden_for_drawing = true;
      move_to(&out, col, row);
      if (attr_ != c.attr) {
        out += sgr_of(c.attr, colours_);
        attr_ = c.attr;
      }
      uint32_t glyph = screen_glyph(code_page, c.ch);
      if (glyph == 0x00AD) glyph = '-';  // the soft hyphen may be drawn with no width
      AppendUtf8(&out, glyph);
      sent_[row][col] = c;
      // After the last column the cursor waits to wrap; its place is not to be trusted.
      if (++cx_ >= kColumns) cx_ = cy_ = -1;
    }
  }
  valid_ = true;
  bool inside = caret_x >= 0 && caret_x < kColumns && caret_y >= 0 && caret_y < kRows;
  if (caret_visible && inside) {
    move_to(&out, caret_x, caret_y);
    if (caret_shown_ != 1) out += "\x1b[?25h";
    caret_shown_ = 1;
  } else if (caret_shown_ != 0) {
    out += "\x1b[?25l";
    caret_shown_ = 0;
  }
  return out;
}
