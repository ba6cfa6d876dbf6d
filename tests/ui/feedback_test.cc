#include "ui/feedback.h"

#include <string>

#include "common/text.h"
#include "ui/saveunder.h"
#include "ui_testing.h"

namespace {

class FeedbackTest : public UiTest {
 protected:
  // The progress window is 56 x 5, centred at (12, 10); the bar is row 12 from column 15.
  std::string Bar() { return RowCols(12, 15, 50); }
};

std::string Repeat(const char* glyph, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += glyph;
  return s;
}

TEST_F(FeedbackTest, ProgressFillsTheBarAndCapsAtHundred) {
  ASSERT_EQ(progress(0, "Kopiowanie pliku %s", "Tow.dbf"), 0);
  EXPECT_TRUE(progress_is_open());
  EXPECT_EQ(Bar(), Repeat("▒", 50));
  EXPECT_EQ(RowCols(13, 38, 4), "  0%");
  EXPECT_EQ(progress(1, AMOUNT::FromInt(37)), 0);
  EXPECT_EQ(Bar(), Repeat("█", 18) + Repeat("▒", 32));
  EXPECT_EQ(RowCols(13, 38, 4), " 37%");
  ExpectGolden("progress.txt", con->screen_text());

  EXPECT_EQ(progress(1, AMOUNT::FromInt(250), "Kopiowanie pliku %s", "Kon.dbf"), 0);
  EXPECT_EQ(Bar(), Repeat("█", 50));
  EXPECT_EQ(RowCols(13, 38, 4), "100%");
  EXPECT_EQ(RowCols(11, 15, 24), "Kopiowanie pliku Kon.dbf");

  // Opening again while open: new text, percentage back to 0, nothing redrawn yet.
  EXPECT_EQ(progress(0, "Drugi etap"), 0);
  EXPECT_EQ(save_under_used(), 58u * 6 * 2 + 20);  // one window with its shadow, not two
  EXPECT_EQ(Bar(), Repeat("█", 50));
  progress(1, AMOUNT::FromInt(2));
  EXPECT_EQ(Bar(), Repeat("█", 1) + Repeat("▒", 49));
  progress(2);
  EXPECT_FALSE(progress_is_open());
  EXPECT_EQ(save_under_used(), 0u);
  EXPECT_EQ(Row(12), std::string(80, ' '));
}

TEST_F(FeedbackTest, ProgressEscAsksWhetherToStop) {
  progress(0, "Praca");
  Type("x");
  EXPECT_EQ(progress(1, AMOUNT::FromInt(10)), 0);
  EXPECT_FALSE(con->key_pending());
  Esc();
  Key('n');
  EXPECT_EQ(progress(1, AMOUNT::FromInt(20)), 0);
  Esc();
  Key('t');
  EXPECT_EQ(progress(1, AMOUNT::FromInt(30)), -1);
  EXPECT_EQ(Bar(), Repeat("█", 15) + Repeat("▒", 35));  // the question left no trace
  progress(2);
}

TEST_F(FeedbackTest, NestedStatusLinesOnlyTheOutermostPairShowsAndHides) {
  fill_cells(0, 24, 80, 1, 'z', 0x07);
  status_line(0, "Indeksowanie %d", 1);
  EXPECT_EQ(Row(24), " Indeksowanie 1" + std::string(65, ' '));
  EXPECT_EQ(con->row_attrs(24).substr(0, 4), "3030");
  status_line(0);
  EXPECT_EQ(Row(24), std::string(80, ' '));
  status_line(1, "Sortowanie");
  EXPECT_EQ(Row(24), " Sortowanie" + std::string(69, ' '));
  status_line(2);
  EXPECT_EQ(status_line_depth(), 1);
  EXPECT_EQ(Row(24), " Sortowanie" + std::string(69, ' '));  // still on the screen
  status_line(2);
  EXPECT_EQ(Row(24), std::string(80, 'z'));
  status_line(2);  // one close too many changes nothing
  EXPECT_EQ(status_line_depth(), 0);
  EXPECT_EQ(save_under_used(), 0u);
}

TEST_F(FeedbackTest, WaitWindowDefaultsToPleaseWaitAndNests) {
  wait_window(0);
  wait_window(0, "Inny tekst");  // nested: already shown, not reopened
  // "Proszę czekać..." is 16 long: a window 22 x 3 centred at (29, 11).
  EXPECT_EQ(RowCols(12, 29, 22), " ║ Proszę czekać... ║ ");
  wait_window(1, "Zapis %d%%", 50);
  EXPECT_EQ(RowCols(12, 29, 22), " ║ Zapis 50%        ║ ");
  wait_window(2);
  EXPECT_EQ(wait_window_depth(), 1);
  EXPECT_NE(Row(12), std::string(80, ' '));
  wait_window(2);
  EXPECT_EQ(Row(12), std::string(80, ' '));
  EXPECT_EQ(save_under_used(), 0u);
}

TEST_F(FeedbackTest, ALongProgressTextStaysInsideTheWindow) {
  fill_cells(0, 0, 80, 25, '.', 0x07);
  std::string long_text(70, 'q');
  ASSERT_EQ(progress(0, "%s", long_text.c_str()), 0);
  progress(1, AMOUNT::FromInt(10), "%s", (long_text + "r").c_str());
  progress(2);
  for (int y = 0; y < 25; ++y) EXPECT_EQ(Row(y), std::string(80, '.')) << y;
}

}  // namespace
