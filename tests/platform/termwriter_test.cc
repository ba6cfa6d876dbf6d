#include "platform/termwriter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Frame {
  ScreenCell cells[TERMWRITER::kRows][TERMWRITER::kColumns];
  Frame() {
    for (auto& row : cells)
      for (auto& c : row) c = ScreenCell{' ', 0x07};
  }
};

TEST(TermWriter, SendsOnlyWhatChanged) {
  TERMWRITER w;
  Frame f;
  f.cells[0][0] = ScreenCell{0xC9, 0x1E};  // ╔ yellow on blue
  std::string first = w.render(f.cells, 2, 0, 0, false);
  EXPECT_NE(first.find("╔"), std::string::npos);
  EXPECT_NE(first.find("\x1b[93;44m"), std::string::npos);
  EXPECT_GT(first.size(), 2000u);  // every cell once

  EXPECT_EQ(w.render(f.cells, 2, 0, 0, false), "");

  f.cells[12][40] = ScreenCell{0xA5, 0x70};  // ą, black on grey
  std::string one = w.render(f.cells, 2, 0, 0, false);
  EXPECT_EQ(one, "\x1b[13;41H\x1b[30;47mą");
  EXPECT_LE(one.size(), 40u);

  // The next cell to the right needs no cursor movement and no colour change.
  f.cells[12][41] = ScreenCell{'b', 0x70};
  EXPECT_EQ(w.render(f.cells, 2, 0, 0, false), "b");
}

TEST(TermWriter, ShowsTheCaretOnlyWhenVisible) {
  TERMWRITER w;
  Frame f;
  w.render(f.cells, 2, 0, 0, false);
  EXPECT_EQ(w.render(f.cells, 2, 5, 3, true), "\x1b[4;6H\x1b[?25h");
  EXPECT_EQ(w.render(f.cells, 2, 5, 3, true), "");
  f.cells[0][0].ch = 'x';
  // Hidden while drawing, shown again at its place.
  EXPECT_EQ(w.render(f.cells, 2, 5, 3, true), "\x1b[?25l\x1b[1;1Hx\x1b[4;6H\x1b[?25h");
  EXPECT_EQ(w.render(f.cells, 2, 5, 3, false), "\x1b[?25l");
}

TEST(TermWriter, CentresTheGridAndForgetsOnInvalidate) {
  TERMWRITER w;
  Frame f;
  w.set_origin(10, 2);
  std::string all = w.render(f.cells, 2, 0, 0, false);
  EXPECT_NE(all.find("\x1b[3;11H"), std::string::npos);
  EXPECT_EQ(w.render(f.cells, 2, 0, 0, false), "");
  w.invalidate();
  EXPECT_EQ(w.render(f.cells, 2, 0, 0, false).size(), all.size());
}

TEST(TermWriter, GlyphsFollowTheCodePage) {
  TERMWRITER w;
  Frame f;
  w.render(f.cells, 2, 0, 0, false);
  f.cells[0][0].ch = 0x86;
  EXPECT_NE(w.render(f.cells, 2, 0, 0, false).find("ć"), std::string::npos);
  w.invalidate();
  EXPECT_NE(w.render(f.cells, 1, 0, 0, false).find("ą"), std::string::npos);  // Mazovia
}

TEST(TermWriter, ColoursForEveryTerminalClass) {
  EXPECT_EQ(sgr_of(0x07, 256), "\x1b[37;40m");
  EXPECT_EQ(sgr_of(0x3A, 16), "\x1b[92;46m");
  EXPECT_EQ(sgr_of(0xF4, 16), "\x1b[31;107m");  // bright background through 100-107
  EXPECT_EQ(sgr_of(0x1E, 8), "\x1b[0;1;33;44m");
  EXPECT_EQ(sgr_of(0xF4, 8), "\x1b[0;31;47m");  // nearest: the plain background
  EXPECT_EQ(sgr_of(0x70, 2), "\x1b[0;7m");
  EXPECT_EQ(sgr_of(0x0F, 2), "\x1b[0;1m");
  for (int i = 0; i < 16; ++i) EXPECT_EQ(ansi_colour_of(ansi_colour_of(i)), i);

  std::string load = palette_load_sequence(false);
  EXPECT_NE(load.find("\x1b]4;4;rgb:00/00/a8\x1b\\"), std::string::npos);  // palette 1 is ANSI blue
  EXPECT_NE(load.find("\x1b]4;6;rgb:00/a2/c0\x1b\\"), std::string::npos);  // palette 3 is ANSI cyan
  EXPECT_NE(load.find("\x1b]4;15;rgb:ff/ff/ff\x1b\\"), std::string::npos);
  EXPECT_NE(palette_load_sequence(true).find("\x1b]P3a85400"), std::string::npos);  // brown
}

}  // namespace
