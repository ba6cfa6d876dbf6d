// The screen and number-format options: their dialogs, the keys they write and load.
#include <string>

#include "common/colours.h"
#include "common/text.h"
#include "platform/inifile.h"
#include "support/ui_fixture.h"
#include "ui/number_format.h"
#include "ui/number_options.h"
#include "ui/screen.h"
#include "ui/screen_options.h"

namespace {

class OptionsTest : public UiTest {
 protected:
  static std::string Key(const char* key) {
    std::string v = "(none)";
    INIFILE(ConfigPath()).GetString("Tamsu", key, &v);
    return v;
  }
};

TEST_F(OptionsTest, ScreenOptionsChooseMonoAndWindowsOrCancel) {
  // The code page list opens right of its field on "Latin 2"; eight down is "Windows"; the
  // label's hot letter opens the colour list, its last entry is "Mono".
  Play(
      "{Snap}{Enter}{Snap}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Enter}k{End}{Enter}{Alt+"
      "o}");
  EXPECT_EQ(screen_options(), 0);
  EXPECT_EQ(screen_code_page(), 10);
  EXPECT_EQ(colour_mode(), kColourMono);
  EXPECT_EQ(Key("ConPLStandard"), "10");
  EXPECT_EQ(Key("ColorMode"), "2");
  EXPECT_EQ(ShotCols(0, 10, 26, 27), "Polskie litery: Latin 2    ");
  EXPECT_EQ(ShotCols(1, 18, 57, 11), "ISO Latin 2");  // the list of the eleven names
  Play("{Enter}{Down}{Enter}{Esc}");
  EXPECT_EQ(screen_options(), -1);
  EXPECT_EQ(screen_code_page(), 10);
  // Loading takes the keys; values out of range are kept out.
  INIFILE ini(ConfigPath());
  ini.WriteInt("Tamsu", "ConPLStandard", 7);
  ini.WriteInt("Tamsu", "ColorMode", 1);
  load_screen_options();
  EXPECT_EQ(screen_code_page(), 7);
  EXPECT_EQ(colour_mode(), kColourColour);
  ini.WriteInt("Tamsu", "ConPLStandard", 12);
  ini.WriteInt("Tamsu", "ColorMode", 9);
  load_screen_options();
  EXPECT_EQ(screen_code_page(), 7);
  EXPECT_EQ(colour_mode(), kColourColour);
}

TEST_F(OptionsTest, NumberFormatDialogRefusesDigitsAndSaves) {
  // A digit, then nothing, as the decimal separator keep the focus there; "." is taken and
  // the thousands separator emptied.
  Play("{Del}5{Enter}{Snap}{Ctrl+Y}{Enter}{Snap}.{Enter}{Ctrl+Y}{Enter}{Enter}");
  EXPECT_EQ(number_format_options(), 0);
  EXPECT_EQ(ShotCols(0, 10, 50, 2), "5 ");
  EXPECT_EQ(ShotAt(1).caret_x, 50);
  EXPECT_EQ(ShotCols(0, 9, 25, 30), " ╔══════ FORMAT LICZB ══════╗ ");
  EXPECT_EQ(number_format().decimal, '.');
  EXPECT_EQ(number_format().thousands, 0);
  EXPECT_EQ(Key("NumDecimalSeparator"), ".");
  EXPECT_EQ(Key("NumThousandSeparator"), "");
  set_number_format(',', ' ');
  load_number_format();
  EXPECT_EQ(number_format().decimal, '.');
  // A digit as thousands separator keeps the focus; Esc writes nothing.
  Play("{Tab}{Ctrl+Y}7{Enter}{Snap}{Esc}");
  EXPECT_EQ(number_format_options(), -1);
  EXPECT_EQ(ShotAt(2).caret_x, 50);
  EXPECT_EQ(Key("NumThousandSeparator"), "");
}

}  // namespace
