// The calculator's dialog driven through the headless screen: keys are queued, the dialog runs,
// and snapshots taken while it waits for a key are compared with what the user should see.
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "calculator/perlo_browser.h"
#include "calculator/perlo_money.h"
#include "calculator/perlo_screen.h"
#include "support/temp_dir.h"
#include "common/colours.h"
#include "ui/ui_testing.h"

namespace {

// Also notes, at each snapshot, how many runs had been painted and where the caret was.
class MARK_CONSOLE : public SNAPSHOT_CONSOLE {
 public:
  int next_key(KeyEvent* ev, int timeout_ms) override {
    const size_t before = snapshots.size();
    int r = SNAPSHOT_CONSOLE::next_key(ev, timeout_ms);
    for (size_t i = before; i < snapshots.size(); ++i) {
      marks.push_back(paints.size());
      caret_rows.push_back(caret_y);
      std::string attrs;
      for (int y = 0; y < kRows; ++y) attrs += row_attrs(y);
      attr_dumps.push_back(attrs);
    }
    return r;
  }
  std::vector<size_t> marks;
  std::vector<int> caret_rows;
  std::vector<std::string> attr_dumps;  // two hex digits a cell, row after row
};

// Rows and columns of the fields as the dialog places them.
constexpr int kFieldX = 21;   // tax page
constexpr int kYearRow = 4, kIncomeRow = 6, kTaxRow = 8;
constexpr int kMoneyX = 16;   // interest page
constexpr int kAmountRow = 7, kDueRow = 9, kPaidRow = 10, kInterestRow = 12, kTotalRow = 14;

class PerloScreenTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    ScreenReset();
    marks = new MARK_CONSOLE;
    con = marks;
    ASSERT_EQ(screen_open_on(con), 0);
    PerloResetSeparators();
    PerloBrowserReset();
  }
  void TearDown() override {
    PerloScreenReset();
    PerloBrowserReset();
    UiTest::TearDown();
  }
  void Run() { ASSERT_EQ(PerloScreenRun(PerloDayFromDmy(19, 4, 2014)), 0); }
  void Clear() { Ctrl(25); }  // Ctrl+Y empties the field being edited
  void Letter(uint8_t screen_byte) { con->push_key(screen_byte, 0); }
  void CtrlPgDn() { Scan(kScanPgDn, kShiftCtrl); }

  // The text of a field in snapshot i, without the blanks that pad it.
  std::string Field(size_t shot, int y, int x, int w) {
    std::string s = ShotCols(shot, y, x, w);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  }
  // Whether a run painted between snapshots a and b touches the cells.
  bool Painted(size_t a, size_t b, int x, int y, int w) {
    for (size_t i = marks->marks.at(a); i < marks->marks.at(b); ++i) {
      const PaintRecord& p = marks->paints[i];
      if (p.y == y && p.x < x + w && p.x + p.n > x) return true;
    }
    return false;
  }
  std::string Attr(size_t shot, int x, int y) {
    return marks->attr_dumps.at(shot).substr(static_cast<size_t>((y * 80 + x) * 2), 2);
  }
  static std::string Line(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "─";
    return s;
  }
  bool HasText(size_t shot, const std::string& text) {
    return Shot(shot).find(text) != std::string::npos;
  }

  MARK_CONSOLE* marks = nullptr;
};

TEST_F(PerloScreenTest, StartsOnTheTaxPageWithHelpBeside) {
  Snapshot();
  Run();
  ASSERT_EQ(con->snapshots.size(), 1u);
  // The whole start screen, reviewed once by eye.
  ExpectGolden("perlo_start.txt", Shot(0), "calculator");
  EXPECT_NE(ShotRow(0, 0).find(" Perlo 4.61  (19.04.2014) "), std::string::npos);
  EXPECT_EQ(ShotCols(0, 1, 2, 32), " 1 Podatek dochodowy  2 Odsetki ");
  EXPECT_EQ(ShotCols(0, 1, 39, 35), " 3 Reklama  4 Pomoc  5 O programie ");
  for (int y = 1; y <= 23; ++y) EXPECT_EQ(ShotCols(0, y, 37, 1), "░") << y;
  EXPECT_EQ(Field(0, kYearRow, kFieldX, 4), "2014");
  EXPECT_EQ(Field(0, kIncomeRow, kFieldX, 15), "0,00 zł");
  // The focus is in the income field, the caret at its start.
  EXPECT_EQ(marks->caret_rows[0], kIncomeRow);
  EXPECT_EQ(con->caret_columns[0], kFieldX);

  // Every help text is there word for word, whatever the wrapping.
  std::string help;
  for (int y = 3; y <= 23; ++y) {
    std::string line = ShotCols(0, y, 39, 39);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    help += line + " ";
  }
  for (const char* text :
       {"Kalkulator podatkowy oblicza podatek dochodowy według ustawy za dany rok.",
        "Wpisanie dochodu oblicza należny podatek.",
        "Wpisanie podatku oblicza dochód, jaki trzeba osiągnąć, aby zapłacić dany podatek. "
        "Wartość zerowa oblicza maksymalny dochód zwolniony od podatku w danym roku.",
        "Kalkulator odsetkowy oblicza zarówno ustawowe jak i podatkowe odsetki od "
        "przeterminowanych płatności.",
        "Wpisanie należnej kwoty, terminu oraz daty wpłaty oblicza należne odsetki na dany "
        "dzień.",
        "Wpisanie zapłaconej sumy rozbija ją w tył na kwotę główną i odsetki.",
        "Alt+1...Alt+5 zakładki", "Ctrl+PgDn/PgUp", "Esc koniec."})
    EXPECT_NE(help.find(text), std::string::npos) << text;
}

TEST_F(PerloScreenTest, IncomeAndTaxAreComputedWhenLeftWithEnter) {
  Clear();
  Type("3 089,03");
  Enter();  // to the tax field
  Snapshot();
  Clear();
  Type("0");
  Enter();  // round to the year
  Snapshot();
  // Typed with the thousands separator and the currency text.
  Key('d', 0, kShiftAlt);
  Clear();
  Type("50 000 z");
  Letter(0x88);  // "ł" as the Latin 2 screen sends it
  Key(9, kScanTab, kShiftShift);
  Snapshot();
  Run();
  ASSERT_EQ(con->snapshots.size(), 3u);
  EXPECT_EQ(Field(0, kIncomeRow, kFieldX, 15), "3 089,03 zł");
  EXPECT_EQ(Field(0, kTaxRow, kFieldX, 15), "0,01 zł");
  EXPECT_EQ(marks->caret_rows[0], kTaxRow);
  // A tax of 0 finds the largest tax-free income.
  EXPECT_EQ(Field(1, kIncomeRow, kFieldX, 15), "3 089,02 zł");
  EXPECT_EQ(Field(1, kTaxRow, kFieldX, 15), "0,00 zł");
  // The year has the focus now: no caret, the field in the focus colour.
  EXPECT_EQ(Attr(2, kFieldX, kYearRow), "0E");
  EXPECT_EQ(Attr(2, kFieldX, kIncomeRow), "3F");
  EXPECT_EQ(Field(2, kIncomeRow, kFieldX, 15), "50 000,00 zł");
  EXPECT_EQ(Field(2, kTaxRow, kFieldX, 15), "8 443,98 zł");  // 9000 - 556.02
}

TEST_F(PerloScreenTest, TheYearComesFromTheListOrTheArrowKeys) {
  Clear();
  Type("50000");
  Key(9, kScanTab, kShiftShift);  // back to the year
  Space();                        // the list of years
  Snapshot();
  Scan(kScanUp);
  Enter();
  Snapshot();
  for (int i = 0; i < 5; ++i) Scan(kScanLeft);
  Snapshot();
  for (int i = 0; i < 30; ++i) Scan(kScanRight);  // held at the last year of the scale
  Snapshot();
  Run();
  ASSERT_EQ(con->snapshots.size(), 4u);
  EXPECT_TRUE(HasText(0, "1995")) << Shot(0);
  EXPECT_TRUE(HasText(0, "2014")) << Shot(0);
  EXPECT_EQ(Field(1, kYearRow, kFieldX, 4), "2013");
  EXPECT_EQ(Field(1, kTaxRow, kFieldX, 15), "8 443,98 zł");
  EXPECT_EQ(Field(2, kYearRow, kFieldX, 4), "2008");
  EXPECT_EQ(Field(2, kTaxRow, kFieldX, 15), "9 519,25 zł");  // 7866.25 + 30 % of 5510
  EXPECT_EQ(Field(3, kYearRow, kFieldX, 4), "2014");
}

TEST_F(PerloScreenTest, OnlyFieldsWhoseTextChangedAreWritten) {
  Snapshot();
  Clear();
  Type("100");
  Snapshot();
  Key(9, kScanTab, kShiftShift);  // leave: the income is re-formatted, its tax stays 0,00
  Snapshot();
  Scan(kScanLeft);  // 2013: the same scale, the same tax
  Snapshot();
  Scan(kScanDown);
  Clear();
  Type("50000");
  Scan(kScanUp);
  Snapshot();
  Run();
  ASSERT_EQ(marks->marks.size(), 5u);
  EXPECT_EQ(Field(2, kIncomeRow, kFieldX, 15), "100,00 zł");
  EXPECT_TRUE(Painted(1, 2, kFieldX, kIncomeRow, 15));
  EXPECT_FALSE(Painted(1, 2, kFieldX, kTaxRow, 15));
  EXPECT_TRUE(Painted(2, 3, kFieldX, kYearRow, 4));
  EXPECT_FALSE(Painted(2, 3, kFieldX, kTaxRow, 15));
  EXPECT_FALSE(Painted(2, 3, kFieldX, kIncomeRow, 15));
  EXPECT_TRUE(Painted(3, 4, kFieldX, kTaxRow, 15));
  EXPECT_EQ(Field(4, kTaxRow, kFieldX, 15), "8 443,98 zł");
}

TEST_F(PerloScreenTest, TabsSwitchFromTheKeyboard) {
  Clear();
  Type("10000");
  Key('2', 0x03, kShiftAlt);  // leaves the income field on the way
  Snapshot();
  CtrlPgDn();
  Snapshot();
  Key('5', 0x06, kShiftAlt);
  Snapshot();
  Key('3', 0x04, kShiftAlt);
  Snapshot();
  Key(9, kScanTab, kShiftShift);  // back round to the button, outside an input field
  Key('4', 0x05);                 // a plain digit chooses a tab there
  Snapshot();
  Run();
  ASSERT_EQ(con->snapshots.size(), 5u);
  // The interest page replaced the tax page; the right side kept the help.
  EXPECT_EQ(ShotCols(0, 4, 2, 22), " (*) Odsetki ustawowe:");
  EXPECT_EQ(ShotCols(0, 5, 2, 23), " ( ) Odsetki podatkowe:");
  EXPECT_EQ(Field(0, kDueRow, kMoneyX, 10), "18.04.2014");
  EXPECT_EQ(Field(0, kPaidRow, kMoneyX, 10), "19.04.2014");
  EXPECT_FALSE(HasText(0, "Rok podatkowy")) << Shot(0);
  EXPECT_TRUE(HasText(0, "Kalkulator podatkowy oblicza")) << Shot(0);
  // The selected tab opens onto its page: no line under it.
  EXPECT_EQ(ShotCols(0, 2, 23, 11), "           ");
  EXPECT_EQ(ShotCols(0, 2, 2, 21), Line(21));
  EXPECT_EQ(ShotCols(1, 2, 2, 21), "                     ");
  EXPECT_EQ(ShotCols(1, 2, 23, 11), Line(11));
  // Ctrl+PgDn went back; the income had been taken when it was left.
  EXPECT_EQ(Field(1, kIncomeRow, kFieldX, 15), "10 000,00 zł");
  EXPECT_EQ(Field(1, kTaxRow, kFieldX, 15), "1 243,98 zł");
  EXPECT_TRUE(HasText(2, "Stan prawny na dzień: 01.01.2014")) << Shot(2);
  EXPECT_FALSE(HasText(2, "Kalkulator podatkowy oblicza")) << Shot(2);
  EXPECT_TRUE(HasText(3, kPerloMakerAddress)) << Shot(3);
  EXPECT_TRUE(HasText(3, "Otwórz stronę")) << Shot(3);
  EXPECT_FALSE(HasText(3, "Stan prawny")) << Shot(3);
  EXPECT_TRUE(HasText(4, "Kalkulator podatkowy oblicza")) << Shot(4);
  EXPECT_EQ(Field(4, kYearRow, kFieldX, 4), "2014");
}

TEST_F(PerloScreenTest, InterestWithAWrongDateKeepingTheFocus) {
  Key('2', 0x03, kShiftAlt);
  Enter();  // past the radio buttons to the amount
  Clear();
  Type("1 000");
  Enter();
  Clear();
  Type("31.02.2013");
  Enter();  // refused: the focus stays
  Snapshot();
  Clear();
  Type("30.11.2008");
  Enter();
  Clear();
  Type("31.12.2008");
  Enter();
  Snapshot();
  Key('p', 0x19, kShiftAlt);  // "Odsetki &podatkowe:"
  Snapshot();
  Key('r', 0x13, kShiftAlt);  // "&Razem:"
  Clear();
  Type("1011,99");
  Scan(kScanUp);
  Snapshot();
  Run();
  ASSERT_EQ(con->snapshots.size(), 4u);
  EXPECT_EQ(Field(0, kAmountRow, kMoneyX, 20), "1 000,00 zł");
  EXPECT_EQ(Field(0, kDueRow, kMoneyX, 10), "31.02.2013");
  EXPECT_EQ(marks->caret_rows[0], kDueRow);
  EXPECT_EQ(con->beeps, 1);
  EXPECT_EQ(Field(0, kInterestRow, kMoneyX, 20), "0,36 zł");  // still one day at 13 %
  // 14 days at 11.5 % and 17 at 13 %, each rounded.
  EXPECT_EQ(Field(1, kDueRow, kMoneyX, 10), "30.11.2008");
  EXPECT_EQ(Field(1, kInterestRow, kMoneyX, 20), "10,46 zł");
  EXPECT_EQ(Field(1, kTotalRow, kMoneyX, 20), "1 010,46 zł");
  EXPECT_EQ(marks->caret_rows[1], kInterestRow);
  EXPECT_EQ(ShotCols(2, 5, 2, 5), " (*) ");
  EXPECT_EQ(ShotCols(2, 4, 2, 5), " ( ) ");
  EXPECT_EQ(Field(2, kInterestRow, kMoneyX, 20), "11,99 zł");
  // A total typed is split back into the amount and its interest.
  EXPECT_EQ(Field(3, kAmountRow, kMoneyX, 20), "1 000,00 zł");
  EXPECT_EQ(Field(3, kTotalRow, kMoneyX, 20), "1 011,99 zł");
}

TEST_F(PerloScreenTest, EscClosesAndGivesTheScreenBack) {
  Type("12");
  Esc();
  Type("7");  // never reached by the dialog
  Run();
  EXPECT_EQ(Row(0), std::string(80, ' '));
  EXPECT_EQ(Row(6), std::string(80, ' '));
  // The key after Esc is still waiting: Esc ended the dialog at once.
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
  Key('3', 0x04, kShiftAlt);
  Key('o', 0x18, kShiftAlt);  // " &Otwórz stronę "
  Snapshot();
  Run();
  ASSERT_EQ(con->snapshots.size(), 1u);
  EXPECT_FALSE(HasText(0, "Nie znaleziono")) << Shot(0);
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
  PerloScreenReset();
  con->snapshots.clear();
  PerloSetOpener("perlo-test-no-such-opener");
  Key('3', 0x04, kShiftAlt);
  Key('o', 0x18, kShiftAlt);
  Snapshot();
  Enter();  // closes the message
  Snapshot();
  Run();
  ASSERT_EQ(con->snapshots.size(), 2u);
  EXPECT_TRUE(HasText(0, "Nie znaleziono programu perlo-test-no-such-opener")) << Shot(0);
  EXPECT_TRUE(HasText(0, kPerloMakerAddress)) << Shot(0);
  EXPECT_FALSE(HasText(1, "Nie znaleziono")) << Shot(1);
  EXPECT_EQ(PerloReapOpeners(), 0);
}

}  // namespace
