#include "ui/feedback.h"

#include <string>

#include "common/text.h"
#include "support/ui_fixture.h"
#include "ui/saveunder.h"
#include "ui/screen.h"

namespace {

class FeedbackTest : public UiTest {
 protected:
  // The progress window is 56 x 5, centred at (12, 10); the bar is row 12 from column 15.
  std::string Bar() { return RowCols(12, 15, 50); }
  static std::string Repeat(const char* glyph, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += glyph;
    return s;
  }
};

TEST_F(FeedbackTest, ProgressFillsTheBarCapsAtHundredAndAsksOnEsc) {
  ASSERT_EQ(progress(0, "Kopiowanie pliku %s", "Tow.dbf"), 0);
  EXPECT_EQ(Bar(), Repeat("▒", 50));
  EXPECT_EQ(progress(1, AMOUNT::FromInt(37)), 0);
  EXPECT_EQ(Bar(), Repeat("█", 18) + Repeat("▒", 32));
  EXPECT_EQ(RowCols(13, 38, 4), " 37%");
  ExpectGolden("progress.txt", con->screen_text());
  EXPECT_EQ(progress(1, AMOUNT::FromInt(250), "Kopiowanie pliku %s", "Kon.dbf"), 0);
  EXPECT_EQ(Bar(), Repeat("█", 50));
  EXPECT_EQ(RowCols(13, 38, 4), "100%");
  EXPECT_EQ(RowCols(11, 15, 24), "Kopiowanie pliku Kon.dbf");
  // Opening again while open: one window, the percentage back to 0.
  EXPECT_EQ(progress(0, "Drugi etap"), 0);
  EXPECT_EQ(save_under_used(), 58u * 6 * 2 + 20);
  progress(1, AMOUNT::FromInt(2));
  EXPECT_EQ(Bar(), Repeat("█", 1) + Repeat("▒", 49));
  // Other keys are eaten; Esc asks, " &Nie " goes on, " &Tak " stops; the question leaves no trace.
  Play("x");
  EXPECT_EQ(progress(1, AMOUNT::FromInt(10)), 0);
  EXPECT_FALSE(con->key_pending());
  Play("{Esc}n");
  EXPECT_EQ(progress(1, AMOUNT::FromInt(20)), 0);
  Play("{Esc}t");
  EXPECT_EQ(progress(1, AMOUNT::FromInt(30)), -1);
  EXPECT_EQ(Bar(), Repeat("█", 15) + Repeat("▒", 35));
  progress(2);
  EXPECT_FALSE(progress_is_open());
  EXPECT_EQ(save_under_used(), 0u);
  EXPECT_EQ(Row(12), std::string(80, ' '));
}

TEST_F(FeedbackTest, NestedStatusLinesAndWaitWindowsShowOnlyTheOutermost) {
  fill_cells(0, 24, 80, 1, 'z', 0x07);
  status_line(0, "Indeksowanie %d", 1);
  EXPECT_EQ(Row(24), " Indeksowanie 1" + std::string(65, ' '));
  status_line(0);
  status_line(1, "Sortowanie");
  status_line(2);
  EXPECT_EQ(Row(24), " Sortowanie" + std::string(69, ' '));  // still on the screen
  status_line(2);
  EXPECT_EQ(Row(24), std::string(80, 'z'));
  status_line(2);  // one close too many changes nothing
  EXPECT_EQ(status_line_depth(), 0);

  wait_window(0);
  wait_window(0, "Inny tekst");  // nested: already shown, not reopened
  EXPECT_EQ(RowCols(12, 29, 22), " ║ Proszę czekać... ║ ");
  wait_window(1, "Zapis %d%%", 50);
  EXPECT_EQ(RowCols(12, 29, 22), " ║ Zapis 50%        ║ ");
  wait_window(2);
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
