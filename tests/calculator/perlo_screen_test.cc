// The calculator's dialog on the headless screen: what its keys do to the focus, the pages and
// the fields' texts. The values themselves are the page model's (perlo_form_test.cc).
#include "calculator/perlo_screen.h"

#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "calculator/perlo_browser.h"
#include "support/ui_fixture.h"
#include "ui/screen.h"

namespace {

// Rows and columns of the fields as the dialog places them.
constexpr int kFieldX = 21;  // tax page
constexpr int kYearRow = 4, kIncomeRow = 6, kTaxRow = 8;
constexpr int kMoneyX = 16;  // interest page
constexpr int kAmountRow = 7, kDueRow = 9, kInterestRow = 12;

class PerloScreenTest : public UiTest {
 protected:
  void Run(std::string_view keys) {
    Play(keys);
    ASSERT_EQ(PerloScreenRun(DateFromYmd(2014, 4, 19)), 0);
  }
  // The text of a field in snapshot i, without the blanks that pad it.
  std::string Field(size_t shot, int y, int x, int w) { return Trim(ShotCols(shot, y, x, w)); }
};

TEST_F(PerloScreenTest, StartsOnTheTaxPageWithHelpBeside) {
  Run("{Snap}");
  ExpectGolden("perlo_start.txt", Shot(0), "calculator");  // reviewed once by eye
  EXPECT_EQ(ShotAt(0).caret_y, kIncomeRow);
  EXPECT_EQ(ShotAt(0).caret_x, kFieldX);
}

TEST_F(PerloScreenTest, TypingReplacesTheValueAFieldShows) {
  // 5000 over "0,00 zł"; then, from the year, Down into the income again: 50 000 over it.
  // "ł" comes as the Latin 2 screen sends it.
  Run("5000{Enter}{Snap}{Shift+Tab}{Shift+Tab}{Down}50 000 z{Raw:88}{Enter}{Snap}{Alt+2}{Alt+t}"
      "30.11.2008{Enter}{Snap}");
  EXPECT_EQ(Field(0, kIncomeRow, kFieldX, 15), "5 000,00 zł");
  EXPECT_EQ(Field(0, kTaxRow, kFieldX, 15), "343,98 zł");
  EXPECT_EQ(ShotAt(0).caret_y, kTaxRow);
  EXPECT_EQ(Field(1, kIncomeRow, kFieldX, 15), "50 000,00 zł");
  EXPECT_EQ(Field(2, kDueRow, kMoneyX, 10), "30.11.2008");
}

TEST_F(PerloScreenTest, AWrongDateOrAnAmountBeyondTheLimitKeepsTheFocus) {
  Run("100 000 000 000{Enter}{Snap}{Esc}");
  Run("{Alt+2}{Alt+t}31.02.2013{Enter}{Snap}");
  EXPECT_EQ(ShotAt(0).caret_y, kIncomeRow);
  EXPECT_EQ(Field(0, kIncomeRow, kFieldX, 15), "100 000 000 000");
  EXPECT_EQ(Field(0, kTaxRow, kFieldX, 15), "0,00 zł");
  EXPECT_EQ(ShotAt(1).caret_y, kDueRow);
  EXPECT_EQ(Field(1, kInterestRow, kMoneyX, 20), "0,00 zł");
  EXPECT_EQ(con->beeps, 2);
}

TEST_F(PerloScreenTest, TheYearListArrowsTabsAndHotLetters) {
  // The year's list (0); Up, Enter: 2013 (1); five Lefts, then held at the last year by Rights
  // (2); Alt+2 shows the interest page (3) and Ctrl+PgDn the tax page again; Alt+5, Alt+3 and a
  // plain 4 outside an input field choose the right pages (4, 5, 6); "Odsetki &podatkowe:" (7).
  Run("50000{Shift+Tab}{Space}{Snap}{Up}{Enter}{Snap}{Left}{Left}{Left}{Left}{Left}{Right}{Right}"
      "{Right}{Right}{Right}{Right}{Right}{Right}{Right}{Snap}{Alt+2}{Snap}{Ctrl+PgDn}{Alt+5}{Snap}"
      "{Alt+3}{Snap}{Shift+Tab}4{Snap}{Alt+2}{Alt+p}{Snap}");
  EXPECT_TRUE(ShotHas(0, "1995"));
  EXPECT_EQ(Field(1, kYearRow, kFieldX, 4), "2013");
  EXPECT_EQ(Field(1, kTaxRow, kFieldX, 15), "8 443,98 zł");
  EXPECT_EQ(Field(2, kYearRow, kFieldX, 4), "2014");
  EXPECT_EQ(ShotCols(3, 4, 2, 22), " (*) Odsetki ustawowe:");
  EXPECT_FALSE(ShotHas(3, "Rok podatkowy"));
  EXPECT_TRUE(ShotHas(3, "Kalkulator podatkowy oblicza"));  // the right side kept the help
  EXPECT_TRUE(ShotShows(4, {"Stan prawny na dzień: 01.01.2014", "Rok podatkowy"}));
  EXPECT_TRUE(ShotHas(5, kPerloMakerAddress));
  EXPECT_TRUE(ShotHas(6, "Kalkulator podatkowy oblicza"));
  EXPECT_EQ(ShotCols(7, 5, 2, 5), " (*) ");
  EXPECT_EQ(Field(7, kAmountRow, kMoneyX, 20), "0,00 zł");
}

TEST_F(PerloScreenTest, EscClosesAndGivesTheScreenBack) {
  Run("12{Esc}7");  // the 7 is never reached by the dialog
  EXPECT_EQ(Row(0), std::string(80, ' '));
  EXPECT_EQ(Row(6), std::string(80, ' '));
  KeyEvent ev;
  read_key(&ev);
  EXPECT_EQ(ev.ch, '7');
}

TEST_F(PerloScreenTest, TheAdvertButtonStartsTheOpenerOrSaysItIsMissing) {
  TempDir dir;
  const std::string script = dir.File("opener.sh");
  WriteWholeFile(script, "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.out\"\n");
  ASSERT_EQ(chmod(script.c_str(), 0755), 0);
  PerloSetOpener(script.c_str());
  Run("{Alt+3}{Alt+o}{Snap}");  // " &Otwórz stronę "
  EXPECT_FALSE(ShotHas(0, "Nie znaleziono"));
  std::string got;
  for (int i = 0; i < 250 && got.empty(); ++i) {
    got = ReadWholeFile(script + ".out");
    if (got.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(got, kPerloMakerAddress);
  int running = 1;
  for (int i = 0; i < 250 && running > 0; ++i) {
    running = PerloReapOpeners();
    if (running > 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(running, 0);
  // Without an opener the user is told so, with the address to type by hand.
  PerloSetOpener("perlo-test-no-such-opener");
  Run("{Alt+3}{Alt+o}{Snap}{Enter}{Snap}");
  EXPECT_TRUE(ShotHas(1, "Nie znaleziono programu perlo-test-no-such-opener"));
  EXPECT_TRUE(ShotHas(1, kPerloMakerAddress));
  EXPECT_FALSE(ShotHas(2, "Nie znaleziono"));
}

}  // namespace
