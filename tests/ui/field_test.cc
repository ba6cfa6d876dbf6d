#include "ui/field.h"

#include <string>

#include "common/amount.h"
#include "common/date.h"
#include "platform/clipboard.h"
#include "support/ui_fixture.h"
#include "ui/dialog.h"
#include "ui/number_format.h"

namespace {

class FieldTest : public UiTest {
 protected:
  // One field at screen (20, 6) and " &Ok " below it; the keys run the dialog from the field.
  int Edit(FieldDescriptor* d, int width, std::string_view keys, int32_t options = 0) {
    dlg_frame(dlg, 0, 10, 5, 40, 6, nullptr);
    dlg_field(dlg, 1, 10, 1, width, 1, d);
    dlg[1].options |= options;
    dlg_button(dlg, 2, 10, 3, " &Ok ");
    dlg_end(dlg, 3);
    Play(keys);
    return dlg_run(dlg, 1, nullptr);
  }
  std::string FieldCells(size_t shot, int width) { return ShotCols(shot, 6, 20, width); }
  ControlRecord dlg[4];
};

TEST_F(FieldTest, NumberFieldTypesLikeACalculator) {
  AMOUNT value;
  FieldDescriptor d;
  make_descriptor(&d, 'N', 10, 2, &value);
  EXPECT_EQ(Edit(&d, 10, "{Snap}1234{Snap},5{Snap}{Enter}{Enter}"), 2);
  EXPECT_EQ(FieldCells(0, 10), "       ,  ");  // a blank field gets the separator
  EXPECT_EQ(FieldCells(1, 10), "  1 234,  ");
  EXPECT_EQ(FieldCells(2, 10), "  1 234,5 ");
  EXPECT_EQ(value, AMOUNT::FromDouble(1234.5));
  EXPECT_EQ(Row(6), std::string(80, ' '));   // the dialog is gone
  Edit(&d, 10, "1,{Right}5{Enter}{Enter}");  // no decimal typed yet: Right has nowhere to go
  EXPECT_EQ(value, AMOUNT::FromDouble(1.5));
}

TEST_F(FieldTest, NumberFieldFirstTypingReplacesAndEditingKeysWork) {
  AMOUNT value = AMOUNT::FromDouble(-98765.43);
  FieldDescriptor d;
  make_descriptor(&d, 'N', 12, 2, &value);
  // The first key clears the old value; Backspace removes the 7; Del on the 4 leaves "-2";
  // Home stands before the first digit; two Rights reach the decimals.
  Edit(&d, 12,
       "{Snap}-7{Snap}{Backspace}42{Left}{Del}{Snap}{Home}9{Right}{Right}05{Snap}{Enter}{Enter}");
  EXPECT_EQ(FieldCells(0, 12), "  -98 765,43");
  EXPECT_EQ(FieldCells(1, 12), "       -7,  ");
  EXPECT_EQ(FieldCells(2, 12), "       -2,  ");
  EXPECT_EQ(FieldCells(3, 12), "      -92,05");
  EXPECT_EQ(value, AMOUNT::FromDouble(-92.05));
  // A value wider than the field shows as stars and survives being passed through; a seventh
  // digit does not fit six cells with grouping.
  value = AMOUNT::FromInt(123456789);
  make_descriptor(&d, 'N', 6, 0, &value);
  EXPECT_EQ(format_field(&d), "******");
  Edit(&d, 6, "{Tab}{Enter}");
  EXPECT_EQ(value, AMOUNT::FromInt(123456789));
  Edit(&d, 6, "1234567{Enter}{Enter}");
  EXPECT_EQ(value, AMOUNT::FromInt(12345));
}

TEST_F(FieldTest, DateFieldRefusesImpossibleDatesAndSkipsTheDots) {
  DATE date = DateFromYmd(2000, 1, 15);
  FieldDescriptor d;
  make_descriptor(&d, 'D', 10, 0, &date);
  // 31.02.2000 refused: the focus stays, the cursor goes to 0; Esc stores nothing.
  EXPECT_EQ(Edit(&d, 10, "3102{Enter}{Snap}{Esc}"), -1);
  EXPECT_EQ(FieldCells(0, 10), "31.02.2000");
  EXPECT_EQ(ShotAt(0).caret_x, 20);
  EXPECT_EQ(Edit(&d, 10, "{Ctrl+Y}120320{Enter}{Esc}"), -1);  // a year with blanks
  EXPECT_EQ(date, DateFromYmd(2000, 1, 15));
  EXPECT_EQ(Edit(&d, 10, "29022000{Enter}{Enter}"), 2);
  EXPECT_EQ(date, DateFromYmd(2000, 2, 29));
  Edit(&d, 10, "{Ctrl+Y}{Snap}{Enter}{Enter}");  // the empty mask is allowed
  EXPECT_EQ(FieldCells(1, 10), "  .  .    ");
  EXPECT_EQ(date, 0u);
  // From 1 over the dot to 3; from 9 back over the dot to 4; Ctrl+D is today.
  Edit(&d, 10, "0{Right}{Snap}{End}{Left}{Left}{Left}{Left}{Snap}{Ctrl+D}{Enter}{Enter}");
  EXPECT_EQ(ShotAt(2).caret_x, 23);
  EXPECT_EQ(ShotAt(3).caret_x, 24);
  EXPECT_EQ(date, DateToday());
}

TEST_F(FieldTest, TextFieldScrollsInsertsAndPastes) {
  char text[31] = "";
  FieldDescriptor d;
  make_descriptor(&d, 'C', 30, 0, text);
  Edit(&d, 8, "abcdefghijkl{Snap}{Home}{Del}{Snap}{Enter}{Enter}");
  EXPECT_EQ(FieldCells(0, 8), "fghijkl ");
  EXPECT_EQ(FieldCells(1, 8), "bcdefghi");
  EXPECT_STREQ(text, "bcdefghijkl");
  // Paste skips control characters and stops at 30.
  clipboard_set_text(std::string("x\ty\nz") + std::string(40, 'w'));
  Edit(&d, 8, "{Ctrl+Y}{Ctrl+V}{Enter}{Enter}");
  EXPECT_EQ(std::string(text), "xyz" + std::string(27, 'w'));
  Edit(&d, 8, "{Ctrl+Y}12345678901234567890{Ctrl+D}{Ctrl+D}{Enter}{Enter}");  // the second: no room
  EXPECT_EQ(std::string(text), "12345678901234567890" + DateToDisplay(DateToday()));
}

TEST_F(FieldTest, ASelectedTextIsReplacedByTypingAndKeptByMoving) {
  char text[11] = "stare";
  FieldDescriptor d;
  make_descriptor(&d, 'C', 10, 0, text);
  Edit(&d, 10, "{Snap}nowe{Enter}{Enter}", kOptSelectOnEntry);
  EXPECT_STREQ(text, "nowe");
  EXPECT_EQ(ShotAttr(0, 20, 6), 0x0F);  // shown selected
  Edit(&d, 10, "{End}s{Enter}{Enter}", kOptSelectOnEntry);
  EXPECT_STREQ(text, "nowes");
  Edit(&d, 10, "{Del}{Enter}{Enter}", kOptSelectOnEntry);
  EXPECT_STREQ(text, "");
}

TEST_F(FieldTest, FormatAndParseFollowTheNumberFormat) {
  AMOUNT v = AMOUNT::FromDouble(1234567.5);
  FieldDescriptor d;
  make_descriptor(&d, 'N', 14, 2, &v);
  set_number_format(',', '.');
  EXPECT_EQ(format_field(&d), "  1.234.567,50");
  parse_field(" \t-12x5", &d);  // reading stops at what is no number
  EXPECT_EQ(v, AMOUNT::FromInt(-12));
  v = AMOUNT();
  EXPECT_EQ(format_field(&d), std::string(14, ' '));  // zero shows as blanks
  char text[6] = "";
  FieldDescriptor c;
  make_descriptor(&c, 'C', 5, 0, text);
  parse_field("abcdefgh", &c);
  EXPECT_STREQ(text, "abcde");
}

}  // namespace
