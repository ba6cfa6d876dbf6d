#include <string>

#include "common/text.h"
#include "platform/inifile.h"
#include "support/temp_dir.h"
#include "common/colours.h"
#include "ui/number_format.h"
#include "ui/number_options.h"
#include "ui/screen_options.h"
#include "ui_testing.h"

namespace {

class OptionsTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    SetConfigPath(dir.File("Tamsu.ini"));
  }
  void TearDown() override {
    SetConfigPath("");
    UiTest::TearDown();
  }
  std::string Key(const char* key) {
    std::string v = "(none)";
    INIFILE(ConfigPath()).GetString("Tamsu", key, &v);
    return v;
  }
  using UiTest::Key;
  TempDir dir;
};

TEST_F(OptionsTest, ScreenOptionsChooseMonoAndWindows) {
  Snapshot();
  Enter();          // the code page list opens right of its field; Latin 2 is preselected
  Snapshot();
  for (int i = 0; i < 8; ++i) Scan(kScanDown);
  Enter();          // "Windows"; the focus moves on to the colour field
  Key('k');         // the label's hot letter opens the colour list
  Scan(kScanEnd);
  Enter();          // "Mono"
  Alt('o');
  EXPECT_EQ(screen_options(), 0);
  EXPECT_EQ(screen_code_page(), 10);
  EXPECT_EQ(colour_mode(), kColourMono);
  EXPECT_EQ(Key("ConPLStandard"), "10");
  EXPECT_EQ(Key("ColorMode"), "2");
  // 33 x 6 centred at (23, 9); the fields at (42, 10) and (42, 11).
  EXPECT_EQ(ShotCols(0, 9, 23, 33), " ╔═══════ OPCJE EKRANU ════════╗ ");
  EXPECT_EQ(ShotCols(0, 10, 26, 27), "Polskie litery: Latin 2    ");
  EXPECT_EQ(ShotCols(0, 11, 34, 13), "Kolory: Auto ");
  // The list: one column of 11 names from (57, 11), "Latin 2" focused.
  EXPECT_EQ(ShotCols(1, 13, 57, 11), "Latin 2    ");
  EXPECT_EQ(ShotCols(1, 18, 57, 11), "ISO Latin 2");

  // Every dialog now uses the monochrome column.
  Snapshot();
  Esc();
  EXPECT_EQ(screen_options(), -1);
  EXPECT_EQ(colour_mode(), kColourMono);
}

TEST_F(OptionsTest, CancelChangesNothingAndLoadReadsTheKeys) {
  Enter();
  Scan(kScanDown);
  Enter();
  Esc();
  EXPECT_EQ(screen_options(), -1);
  EXPECT_EQ(screen_code_page(), 2);
  EXPECT_EQ(Key("ConPLStandard"), "(none)");

  INIFILE ini(ConfigPath());
  ini.WriteInt("Tamsu", "ConPLStandard", 7);
  ini.WriteInt("Tamsu", "ColorMode", 1);
  load_screen_options();
  EXPECT_EQ(screen_code_page(), 7);
  EXPECT_EQ(colour_mode(), kColourColour);
  ini.WriteInt("Tamsu", "ConPLStandard", 12);  // out of range: kept
  ini.WriteInt("Tamsu", "ColorMode", 9);
  load_screen_options();
  EXPECT_EQ(screen_code_page(), 7);
  EXPECT_EQ(colour_mode(), kColourColour);
}

TEST_F(OptionsTest, MonoLooksDifferentAutoAndColourAlike) {
  ControlRecord d[3];
  dlg_frame(d, 0, 0, 0, 20, 3, "Okno");
  dlg_button(d, 1, 3, 1, " &Ok ");
  dlg_end(d, 2);
  set_colour_mode(kColourAuto);
  dlg_draw(d, 0);
  const std::string auto_title = con->row_attrs(0), auto_body = con->row_attrs(1);
  set_colour_mode(kColourColour);
  dlg_draw(d, 0);
  EXPECT_EQ(con->row_attrs(0), auto_title);
  EXPECT_EQ(con->row_attrs(1), auto_body);
  set_colour_mode(kColourMono);
  dlg_draw(d, 0);
  EXPECT_EQ(con->row_attrs(1).substr(2, 10), "0707070F07");  // body, " ", hot "O", "k"
  EXPECT_EQ(con->row_attrs(0).substr(16, 2), "0F");              // title
  EXPECT_EQ(auto_body.substr(2, 10), "3030303430");
}

TEST_F(OptionsTest, NumberFormatDialogRefusesDigitsAndSaves) {
  // Typing 5 into the decimal separator field and pressing Enter keeps the focus there.
  Scan(kScanDel);
  Type("5");
  Enter();
  Snapshot();
  Ctrl(25);
  Enter();  // empty: refused as well
  Snapshot();
  Type(".");
  Enter();  // accepted: on to the thousands field
  Ctrl(25);  // no grouping
  Enter();
  Enter();  // " &Ok "
  EXPECT_EQ(number_format_options(), 0);
  // 30 x 6 centred at (25, 9): the decimal field at (50, 10).
  ASSERT_EQ(con->caret_columns.size(), 2u);
  EXPECT_EQ(ShotCols(0, 10, 50, 2), "5 ");
  EXPECT_EQ(ShotCols(0, 10, 28, 21), "Separator dziesiętny:");
  EXPECT_EQ(ShotCols(0, 9, 25, 30), " ╔══════ FORMAT LICZB ══════╗ ");
  EXPECT_EQ(number_format().decimal, '.');
  EXPECT_EQ(number_format().thousands, 0);
  EXPECT_EQ(Key("NumDecimalSeparator"), ".");
  EXPECT_EQ(Key("NumThousandSeparator"), "");

  set_number_format(',', ' ');
  load_number_format();
  EXPECT_EQ(number_format().decimal, '.');
  EXPECT_EQ(number_format().thousands, 0);
}

TEST_F(OptionsTest, NumberFormatCancelAndThousandsDigitRefused) {
  Tab();
  Ctrl(25);
  Type("7");
  Enter();  // a digit as thousands separator: the focus stays
  Snapshot();
  Esc();
  EXPECT_EQ(number_format_options(), -1);
  EXPECT_EQ(con->caret_columns[0], 50);
  EXPECT_EQ(number_format().thousands, ' ');
  EXPECT_EQ(Key("NumThousandSeparator"), "(none)");

  INIFILE(ConfigPath()).WriteString("Tamsu", "NumThousandSeparator", ".");
  load_number_format();
  char buf[kAmountTextSize];
  EXPECT_STREQ(format_amount(AMOUNT::FromDouble(1234567.5), 2, buf), "1.234.567,50");
}

}  // namespace
