#include "ui/screen.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "common/codepage.h"
#include "common/colours.h"
#include "common/text.h"
#include "platform/console.h"
#include "support/ui_fixture.h"
#include "ui/font.h"

namespace {

class ScreenTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    hl = con;
    hl->paints.clear();
  }
  std::string Chars(int x, int y, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s.push_back(static_cast<char>(hl->cell(x + i, y).ch));
    return s;
  }
  HEADLESS_CONSOLE* hl = nullptr;
};

TEST_F(ScreenTest, OpensBlankWithHiddenCaretAndAutoColours) {
  ScreenReset();
  set_colour_mode(kColourMono);
  console_select(kConsoleHeadless);
  ASSERT_EQ(screen_open(), 0);
  hl = headless_current();
  EXPECT_EQ(hl->row_text(0), std::string(80, ' '));
  std::string grey;
  for (int x = 0; x < 80; ++x) grey += "07";
  EXPECT_EQ(hl->row_attrs(24), grey);
  EXPECT_EQ(cursor_count(), 0);
  EXPECT_FALSE(hl->caret_visible);
  EXPECT_EQ(colour_mode(), kColourAuto);
}

TEST_F(ScreenTest, PaintsRunsOfEqualAttributeNeverAcrossRows) {
  ScreenCell row[4] = {{'a', 0x07}, {'b', 0x07}, {'c', 0x07}, {'d', 0x70}};
  write_cells(10, 3, 4, 1, row);
  ASSERT_EQ(hl->paints.size(), 2u);
  EXPECT_EQ(hl->paints[0].chars, "abc");
  EXPECT_EQ(hl->paints[1].x, 13);
  EXPECT_EQ(hl->paints[1].attr, 0x70);
  hl->paints.clear();
  fill_cells(0, 5, 80, 2, 'x', 0x1F);
  ASSERT_EQ(hl->paints.size(), 2u);
  EXPECT_EQ(hl->paints[1].y, 6);
  EXPECT_EQ(hl->paints[1].n, 80);
  // A fill takes 0 as a space; recolouring keeps the characters.
  fill_cells(0, 0, 3, 1, 'q', 0x1F);
  recolour_cells(1, 0, 5, 1, 0x4E);
  fill_cells(0, 0, 1, 1, 0, 0x07);
  EXPECT_EQ(Chars(0, 0, 3), " qq");
  EXPECT_EQ(hl->cell(2, 0).attr, 0x4E);
}

TEST_F(ScreenTest, ShowsDataTextInTheScreenCodePageAndTypesItBack) {
  write_text(0, 1, "Żółw"_pl, 0x07);
  EXPECT_EQ(Chars(0, 1, 4), "\xBD\xA2\x88w");
  EXPECT_EQ(hl->row_text(1).substr(0, 7), "Żółw");
  hl->type_bytes("ą");
  hl->push_key(0xA5, 0x1E);
  KeyEvent ev;
  read_key(&ev);
  EXPECT_EQ(ev.ch, 0xB9);
  read_key(&ev);
  EXPECT_EQ(ev.ch, 0xB9);
  set_screen_code_page(7);
  set_screen_code_page(11);  // out of range: stays 7
  EXPECT_EQ(screen_code_page(), 7);
  write_char(0, 2, 0xB9, 0x07);
  EXPECT_EQ(hl->cell(0, 2).ch, 0xB1);
  hl->type_bytes("ę");
  read_key(&ev);
  EXPECT_EQ(ev.ch, 0xEA);
}

TEST_F(ScreenTest, ClipsTextsFieldsAndRectanglesToTheScreen) {
  write_text(78, 0, "abcd", 0x07);
  EXPECT_EQ(Chars(76, 0, 4), "  ab");
  write_text(-2, 1, "abcd", 0x07);
  EXPECT_EQ(Chars(0, 1, 3), "cd ");
  std::string longer(255, 'a');  // at most 255 characters are taken from a text
  write_text(-200, 2, (longer + "bbbb").c_str(), 0x07);
  EXPECT_EQ(Chars(54, 2, 3), "a  ");
  ScreenCell block[9];
  for (int i = 0; i < 9; ++i) block[i] = ScreenCell{static_cast<uint8_t>('1' + i), 0x1E};
  write_cells(-1, 23, 3, 3, block);  // only its top-right 2 x 2 is visible
  EXPECT_EQ(Chars(0, 23, 2) + Chars(0, 24, 2), "2356");
  ScreenCell back[9] = {};
  read_cells(-1, 23, 3, 3, back);
  EXPECT_EQ(back[5].ch, '6');
  EXPECT_EQ(back[0].ch, 0);  // outside: untouched
  hl->paints.clear();
  fill_cells(5, 5, 0, 3, 'x', 0x07);
  recolour_cells(100, 5, 3, 3, 0x70);
  EXPECT_TRUE(hl->paints.empty());
  // A field's text is exactly its width from its offset, converted like texts.
  write_text(0, 3, "##########", 0x07);
  write_field_text(0, 3, 5, "abcdef", 2, 0x70);
  EXPECT_EQ(Chars(0, 3, 6), "cdef #");
  write_field_text(0, 3, 4, "łóz"_pl, 0, 0x07);
  EXPECT_EQ(Chars(0, 3, 4), "\x88\xA2z ");
  write_text(0, 4, "########", 0x07);
  write_field_text(-250, 4, 300, "", 0, 0x07);  // at most 256 cells: 6 reach the screen
  EXPECT_EQ(Chars(0, 4, 8), "      ##");
}

TEST_F(ScreenTest, MovesOverlappingRectanglesInEveryDirection) {
  write_text(0, 0, "0123456789", 0x07);
  move_cells(0, 0, 8, 1, 2, 0);
  EXPECT_EQ(Chars(0, 0, 10), "0101234567");
  write_text(0, 0, "0123456789", 0x07);
  move_cells(2, 0, 8, 1, 0, 0);
  EXPECT_EQ(Chars(0, 0, 10), "2345678989");
  for (int r = 0; r < 5; ++r) write_char(0, r, static_cast<uint8_t>('a' + r), 0x07);
  move_cells(0, 0, 1, 4, 0, 1);  // one row down, as when a list scrolls back
  EXPECT_EQ(Chars(0, 0, 1) + Chars(0, 1, 1) + Chars(0, 2, 1) + Chars(0, 4, 1), "aabd");
  // Half of the destination lies beyond the right edge: only what fits is copied.
  write_text(0, 10, "abcdef", 0x07);
  hl->paints.clear();
  move_cells(0, 10, 6, 1, 77, 10);
  EXPECT_EQ(Chars(77, 10, 3), "abc");
  ASSERT_EQ(hl->paints.size(), 1u);
  EXPECT_EQ(hl->paints[0].n, 3);
}

TEST_F(ScreenTest, FramesAreFramesUnderEveryCodePage) {
  fill_cells(0, 0, 10, 5, '.', 0x07);
  draw_frame(0, 0, 4, 3, 1, 0x70);
  EXPECT_EQ(Chars(0, 0, 4), "\xDA\xC4\xC4\xBF");
  EXPECT_EQ(Chars(0, 1, 4), "\xB3..\xB3");
  EXPECT_EQ(hl->cell(1, 1).attr, 0x07);  // the interior stays
  draw_frame(5, 0, 3, 3, 2, 0x70);
  EXPECT_EQ(hl->row_text(2).substr(0, 22), "└──┘.╚═╝");
  draw_frame(0, 4, 3, 1, 1, 0x07);
  EXPECT_EQ(Chars(0, 4, 4), "\xC4\xC4\xC4.");
  draw_frame(0, 0, 2, 2, 9, 0x07);  // unknown styles draw single lines
  EXPECT_EQ(Chars(0, 0, 2), "\xDA\xBF");
  // "Windows" has ł and ż where code page 852 has │ and ┐: its frames take its own box codes,
  // and its letters stay letters.
  for (int page = 0; page < kCodePageCount; ++page) {
    set_screen_code_page(page);
    fill_cells(0, 0, 10, 5, ' ', 0x07);
    draw_frame(0, 0, 3, 3, 1, 0x07);
    write_text(4, 1, "łż"_pl, 0x07);
    EXPECT_EQ(hl->row_text(0).substr(0, 9), "┌─┐") << page;
    EXPECT_EQ(hl->row_text(1).substr(0, 7), "│ │") << page;
    EXPECT_EQ(hl->row_text(2).substr(0, 9), "└─┘") << page;
    if (page != 0 && page != 7) {
      EXPECT_EQ(hl->row_text(1).substr(7, 5), " łż") << page;
    }
  }
}

TEST_F(ScreenTest, ShadowAndTheCountedCaret) {
  fill_cells(0, 0, 80, 25, 'x', 0x1F);
  draw_shadow(10, 5, 6, 3);
  for (int x = 11; x <= 16; ++x) EXPECT_EQ(hl->cell(x, 8).attr, 0x07) << x;
  EXPECT_EQ(hl->cell(10, 8).attr, 0x1F);
  EXPECT_EQ(hl->cell(16, 5).attr, 0x1F);
  EXPECT_EQ(hl->cell(16, 6).attr, 0x07);
  EXPECT_EQ(hl->cell(16, 8).ch, 'x');
  set_cursor(5, 7);
  EXPECT_EQ(hl->caret_y, 7);
  hide_cursor();
  show_cursor();
  EXPECT_FALSE(hl->caret_visible);  // back at 0
  show_cursor();
  show_cursor();
  hide_cursor();
  EXPECT_TRUE(hl->caret_visible);
  clear_screen();
  EXPECT_EQ(cursor_column(), 0);
}

TEST_F(ScreenTest, ReadKeyTranslatesAndSkipsWhatIsNoKey) {
  hl->push_key(0, 0x2A, kShiftShift);       // Shift alone
  hl->push_key(13, kScanEnter, kShiftAlt);  // Alt+Enter toggles the window
  hl->push_key(0, kScanTab, kShiftCtrl);    // Tab is 9 whatever the shift state
  hl->push_key('x', 0x2D, 0);
  EXPECT_TRUE(key_waiting());
  EXPECT_TRUE(key_waiting());
  KeyEvent ev;
  read_key(&ev);
  EXPECT_EQ(ev, (KeyEvent{9, kScanTab, kShiftCtrl}));
  EXPECT_EQ(hl->maximise_toggles, 1);
  read_key(&ev);
  EXPECT_EQ(ev.ch, 'x');
  EXPECT_FALSE(key_waiting());
  read_key(&ev);  // no more keys: the headless console closes like a vanished terminal
  EXPECT_EQ(ev, (KeyEvent{0, kScanF4, kShiftCtrl}));
  EXPECT_GT(hl->flushes, 0);
}

// The idle work (the program writes what its tables kept back) runs when read_key has to wait
// for a key, never while keys are queued.
TEST_F(ScreenTest, IdleWorkRunsOnlyWhenNoKeyIsWaiting) {
  static int runs;
  runs = 0;
  set_idle_work([] { ++runs; });
  hl->push_key('a', 0x1E, 0);
  hl->push_key('b', 0x30, 0);
  KeyEvent ev;
  read_key(&ev);
  read_key(&ev);
  EXPECT_EQ(ev.ch, 'b');
  EXPECT_EQ(runs, 0);
  read_key(&ev);
  EXPECT_EQ(runs, 1);
  set_idle_work(nullptr);
}

// Another thread feeds the queue faster than keys are read: a full queue refuses, the poster
// tries again, and every key arrives once, in order, unconverted (the screen shows code page 2,
// the keys are posted in the data code page). A posted call runs on the reading thread, between
// the keys posted around it. Closing the screen while the thread posts is safe. Meaningful under
// ThreadSanitizer as well.
TEST_F(ScreenTest, KeysPostedFromAnotherThreadArriveInOrderAndWakeTheRead) {
  static std::thread::id g_call_thread;
  g_call_thread = {};
  constexpr int kKeys = kPostedKeyCapacity + 3000;
  hl->set_idle_wait(10000);
  std::atomic<int> refused{0}, sent{0};
  std::atomic<bool> closed{false};
  auto key = [](int i) {
    return KeyEvent{static_cast<uint8_t>(0xA0 + i % 32), static_cast<uint8_t>(i % 7),
                    static_cast<uint32_t>(i % 3)};
  };
  std::thread poster([&] {
    for (int i = 0; i < kKeys; ++i) {
      if (i == kPostedKeyCapacity + 10)
        while (post_ui_call([] { g_call_thread = std::this_thread::get_id(); }) != 0) ++refused;
      while (post_key(key(i)) != 0) ++refused;
      ++sent;
    }
    while (!closed) post_key(key(0));  // until the screen goes: then refused, quietly
    EXPECT_EQ(post_key(key(0)), -1);
  });
  // Nothing is read until the queue is full and the poster is held back.
  for (int i = 0; i < 5000 && refused == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_GT(refused, 0);
  EXPECT_EQ(posted_key_count(), kPostedKeyCapacity);
  EXPECT_TRUE(key_waiting());
  KeyEvent ev;
  for (int i = 0; i < kKeys; ++i) {
    read_key(&ev);
    ASSERT_EQ(ev, key(i)) << "key " << i;
    // The call came between the keys posted around it.
    if (i == kPostedKeyCapacity + 9) {
      EXPECT_EQ(g_call_thread, std::thread::id());
    }
    if (i == kPostedKeyCapacity + 10) {
      EXPECT_EQ(g_call_thread, std::this_thread::get_id());
    }
  }
  EXPECT_EQ(sent, kKeys);
  screen_close();
  closed = true;
  poster.join();
  EXPECT_EQ(posted_key_count(), 0);
}

TEST_F(ScreenTest, DoesNothingWhileClosed) {
  screen_close();
  write_text(0, 0, "x", 0x07);
  fill_cells(0, 0, 80, 25, 'x', 0x07);
  KeyEvent ev{1, 2, 3};
  read_key(&ev);
  EXPECT_EQ(ev, (KeyEvent{0, 0, 0}));
  EXPECT_FALSE(key_waiting());
  EXPECT_EQ(screen_console(), nullptr);
  EXPECT_EQ(headless_current(), nullptr);
}

TEST(FontChoice, PicksTerminalSizesForSmallCellsAndLucidaOtherwise) {
  struct Case {
    int w, h;
    const char* face;
    int fw, fh;
  } cases[] = {{8, 20, "Terminal", 8, 12},
               {3, 5, "Terminal", 4, 6},
               {10, 20, "Lucida Console", 10, 20},
               {20, 10, "Terminal", 8, 8}};
  for (const Case& c : cases) {
    FontChoice f = choose_font(c.w, c.h);
    EXPECT_STREQ(f.face, c.face) << c.w << "x" << c.h;
    EXPECT_EQ(f.width, c.fw) << c.w << "x" << c.h;
    EXPECT_EQ(f.height, c.fh) << c.w << "x" << c.h;
  }
  ScreenReset();
  set_cell_size(6, 30);
  EXPECT_EQ(cell_width(), 5);
  EXPECT_STREQ(cell_font_face(), "Terminal");
  ScreenReset();
}

}  // namespace
