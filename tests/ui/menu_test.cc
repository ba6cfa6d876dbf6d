#include "ui/menubar.h"

#include <string>
#include <utility>
#include <vector>

#include "common/colours.h"
#include "common/text.h"
#include "support/ui_fixture.h"
#include "ui/saveunder.h"
#include "ui/screen.h"
#include "ui/twindow.h"

namespace {

// Texts with their own spaces; the last bar item ends near the right edge.
ControlRecord g_bar[] = {
    {kKindFill, 0, 0, {nullptr}, 0, 0, 80, 1, 5},
    {kKindText, 1, 0, {" &Plik "}, 0, 0, 0, 1, 5},
    {kKindText,
     1,
     0,
     {" &Edycja                                                        "},
     0,
     0,
     0,
     1,
     5},
    {kKindText, 1, 0, {" &Okno "}, 0, 0, 0, 1, 5},
    {kKindEnd, 0, 0, {nullptr}, 0, 0, 0, 0, 0},
};
ControlRecord g_file[] = {
    {kKindLine, 0, 0, {nullptr}, 0, 0, 0, 0, 5},
    {kKindText, 9, 0, {" &Otwórz...   F3 "_pl}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" &Zapisz      F2 "}, 0, 0, 0, 1, 5},
    {kKindLine, 0, 0, {nullptr}, 0, 0, 16, 1, 5},
    {kKindText, 9, 0, {" &Koniec   Alt+X "}, 0, 0, 0, 1, 5},
    {kKindEnd, 0, 0, {nullptr}, 0, 0, 0, 0, 0},
};
ControlRecord g_edit[] = {
    {kKindLine, 0, 0, {nullptr}, 0, 0, 0, 0, 5},
    {kKindText, 9, 0, {" &Kopiuj "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" &Wklej  "}, 0, 0, 0, 1, 5},
    {kKindEnd, 0, 0, {nullptr}, 0, 0, 0, 0, 0},
};
ControlRecord g_window[] = {
    {kKindLine, 0, 0, {nullptr}, 0, 0, 0, 0, 5},
    {kKindText, 9, 0, {" &Kaskada           "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" &Sąsiadująco       "_pl}, 0, 0, 0, 1, 5},
    {kKindEnd, 0, 0, {nullptr}, 0, 0, 0, 0, 0},
};

class MenuTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    for (ControlRecord* pd : {g_file, g_edit, g_window})
      for (int i = 0; pd[i].kind != kKindEnd; ++i) pd[i].state = 0;
    for (int i = 0; g_bar[i].kind != kKindEnd; ++i) g_bar[i].state = 0;
    g_file[0].data.value = g_edit[0].data.value = g_window[0].data.value = 1;
    g_file[3].data.value = 1;
    menu.bars = bars;
    menu.current = 1;
    menu_layout(&menu, 0, 0, 80, 1);
  }
  ControlRecord* bars[4] = {g_bar, g_file, g_edit, g_window};
  MenuBar menu{};
};

class RECORDING_WINDOW : public TWINDOW {
 public:
  int on_menu(int bar, int item) override {
    calls.push_back({bar, item});
    return bar == 1 && item == 4;  // Koniec closes
  }
  std::vector<std::pair<int, int>> calls;
};

TEST_F(MenuTest, LayoutPlacesItemsAndShiftsTheLastPullDownLeft) {
  EXPECT_EQ(g_bar[2].x, 7);
  EXPECT_EQ(g_bar[3].x, 70);
  EXPECT_EQ(g_file[0].width, 18);
  EXPECT_EQ(g_file[4].y, 4);
  // " &Okno " stands at 70; its pull-down (21 wide, 23 with the shadow) is moved to 57.
  EXPECT_EQ(g_window[0].x, 80 - 2 - 21);
  Rect r = dlg_rect(g_window, 0);
  EXPECT_EQ(r.x + r.w, 80);

  // A disabled item is greyed: background of element 5, foreground of element 1.
  menu_set_disabled(&menu, 1, 2, true);
  dlg_draw(g_file, 0);
  EXPECT_EQ(con->row_attrs(3).substr(4, 2), "38");
  EXPECT_EQ(con->row_attrs(2).substr(4, 2), "30");
  EXPECT_EQ(con->row_attrs(2).substr(6, 2), "34");  // hot letter
}

TEST_F(MenuTest, AltPLeftAndEscTwiceLeaveTheMenu) {
  RECORDING_WINDOW w;
  twindow_init(&w, 0, 0, 80, 25);
  twindow_set_style(&w, kWinMenuLine | kWinSaveUnder, false);
  twindow_set_menu(&w, &menu, false);
  // Left wraps to " &Okno " and opens its pull-down in place; the second Esc leaves the menu and
  // the third closes the window.
  Play("{Alt+p}{Snap}{Left}{Snap}{Esc}{Snap}{Esc}{Esc}");
  EXPECT_EQ(twindow_run(&w), 0);
  ASSERT_EQ(w.calls.size(), 1u);
  EXPECT_EQ(w.calls[0], std::make_pair(-1, -1));
  EXPECT_NE(ShotRow(0, 2).find("Otwórz..."), std::string::npos);
  ExpectGolden("pulldown.txt", Shot(1));
  EXPECT_EQ(ShotRow(1, 2).find("Otwórz"), std::string::npos);  // the first one was closed
  EXPECT_NE(ShotRow(1, 2).find("Kaskada"), std::string::npos);
  EXPECT_EQ(ShotRow(2, 2).find("Kaskada"), std::string::npos);  // Esc closed it
  EXPECT_EQ(menu.current, 3);
  EXPECT_EQ(save_under_used(), 0u);
  EXPECT_EQ(Row(0), std::string(80, ' '));
}

TEST_F(MenuTest, ChoosingSkipsDisabledItemsAndHotLettersChoose) {
  menu_set_disabled(&menu, 1, 1, true);
  menu_set_marked(&menu, 1, 2, true);
  RECORDING_WINDOW w;
  twindow_init(&w, 0, 0, 80, 25);
  twindow_set_style(&w, kWinMenuLine, false);
  twindow_set_menu(&w, &menu, false);
  // F10 the bar; Down opens " &Plik " on its first enabled item, Zapisz; "/" and Enter open the
  // remembered pull-down, where the disabled Otwórz takes no hot letter; Down passes the
  // separator to Koniec, wraps past Otwórz, Up back to Koniec, which closes the window.
  Play("{F10}{Down}{Snap}{Enter}/{Enter}o{Down}{Down}{Up}{Enter}");
  twindow_run(&w);
  ASSERT_EQ(w.calls.size(), 2u);
  EXPECT_EQ(w.calls[0], std::make_pair(1, 2));
  EXPECT_EQ(w.calls[1], std::make_pair(1, 4));
  EXPECT_EQ(ShotCols(0, 3, 2, 16), "*Zapisz      F2 ");
}

TEST_F(MenuTest, HandleKeyOutsideAWindow) {
  menu_draw(&menu);
  int bar = 0, item = 0;
  EXPECT_EQ(menu_handle_key(&menu, KeyEvent{'x', 0x2D, 0}, &bar, &item), 0);
  EXPECT_EQ(menu_handle_key(&menu, KeyEvent{'q', 0x10, kShiftAlt}, &bar, &item), 0);
  Play("w");  // the item's hot letter in the open pull-down chooses it
  EXPECT_EQ(menu_handle_key(&menu, KeyEvent{'e', 0x12, kShiftAlt}, &bar, &item), 1);
  EXPECT_EQ(bar, 2);
  EXPECT_EQ(item, 2);
  Play("{Esc}");
  EXPECT_EQ(menu_handle_key(&menu, KeyEvent{13, kScanEnter, 0}, &bar, &item), 1);
  EXPECT_EQ(bar, -1);
  // The bar item has lost its highlight.
  EXPECT_EQ(con->row_attrs(0).substr(14, 2), "30");
}

class PAINTED_WINDOW : public TWINDOW {
 public:
  void paint_client(int x, int y, int w, int h) override {
    for (int r = y; r < y + h; ++r) {
      std::string line;
      for (int c = x; c < x + w; ++c) line.push_back(static_cast<char>('a' + (first_row + r) % 26));
      write_text(x, r, line.c_str(), 0x70);
    }
    ++paints;
  }
  int first_row = 0;
  int paints = 0;
};

TEST_F(MenuTest, WindowFrameTitleScrollBarsStatusAndScrolling) {
  PAINTED_WINDOW w;
  twindow_init(&w, -1, -1, 30, 10);
  EXPECT_EQ(w.x, 25);
  EXPECT_EQ(w.y, 7);
  twindow_set_style(&w, kWinStatusLine | kWinVScroll | kWinHScroll | kWinSaveUnder, false);
  twindow_set_title(&w, "Lista", false);
  twindow_set_status(&w, "F1 Pomoc", false);
  twindow_set_vscroll(&w, 250, 1000, false);
  twindow_set_hscroll(&w, 1000, 0, false);
  Play("{Snap}{Esc}");
  EXPECT_EQ(twindow_run(&w), 0);
  EXPECT_EQ(ShotCols(0, 7, 25, 30), "╔══════════ Lista ═══════════╗");
  EXPECT_EQ(ShotCols(0, 16, 25, 30), "F1 Pomoc                      ");
  // Vertical bar: 9 frame rows - 2 = 7 cells, arrows and a track of 5 with a thumb of 1 at
  // the end.
  std::string vbar;
  for (int y = 8; y <= 14; ++y) vbar += ShotCols(0, y, 54, 1);
  EXPECT_EQ(vbar, "↑░░░░▓↓");
  EXPECT_EQ(ShotCols(0, 15, 27, 26), "←▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓→");
  EXPECT_EQ(save_under_used(), 0u);

  // Scrolling moves the content and paints only the uncovered strip.
  twindow_init(&w, 0, 0, 10, 6);
  w.open = 1;
  Rect c = twindow_client(&w);
  EXPECT_EQ(c.x, 1);
  EXPECT_EQ(c.h, 4);
  twindow_repaint(&w);
  w.first_row = 1;
  w.paints = 0;
  twindow_scroll(&w, 1, 0);
  EXPECT_EQ(w.paints, 1);
  EXPECT_EQ(RowCols(1, 1, 8), "cccccccc");
  EXPECT_EQ(RowCols(4, 1, 8), "ffffffff");
}

}  // namespace
