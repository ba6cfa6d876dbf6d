#include "ui/field.h"

#include <string>

#include "common/amount.h"
#include "common/date.h"
#include "platform/clipboard.h"
#include "ui/dialog.h"
#include "ui/number_format.h"
#include "ui_testing.h"

namespace {

class FieldTest : public UiTest {
 protected:
  // One field at screen (20, 6) and " &Ok " below it.
  void Build(FieldDescriptor* d, int width) {
    dlg_frame(dlg, 0, 10, 5, 40, 6, nullptr);
    dlg_field(dlg, 1, 10, 1, width, 1, d);
    dlg_button(dlg, 2, 10, 3, " &Ok ");
    dlg_end(dlg, 3);
  }
  std::string FieldCells(size_t shot, int width) { return ShotCols(shot, 6, 20, width); }
  ControlRecord dlg[4];
};

TEST_F(FieldTest, NumberFieldTypesLikeACalculator) {
  AMOUNT value;
  FieldDescriptor d;
  make_descriptor(&d, 'N', 10, 2, &value);
  Build(&d, 10);
  Snapshot();
  Type("1234");
  Snapshot();
  Type(",5");
  Snapshot();
  Enter();
  Enter();
  EXPECT_EQ(dlg_run(dlg, 1, nullptr), 2);
  EXPECT_EQ(FieldCells(0, 10), "       ,  ");  // a blank field gets the separator
  EXPECT_EQ(FieldCells(1, 10), "  1 234,  ");
  EXPECT_EQ(FieldCells(2, 10), "  1 234,5 ");
  EXPECT_EQ(value, AMOUNT::FromDouble(1234.5));
  EXPECT_EQ(Row(6), std::string(80, ' '));  // the dialog is gone

  Type("1,");
  Scan(kScanRight);  // no decimal typed yet: Right has nowhere to go
  Type("5");
  Enter();
  Enter();
  EXPECT_EQ(dlg_run(dlg, 1, nullptr), 2);
  EXPECT_EQ(value, AMOUNT::FromDouble(1.5));
}

TEST_F(FieldTest, NumberFieldFirstTypingReplacesAndEditingKeysWork) {
  AMOUNT value = AMOUNT::FromDouble(-98765.43);
  FieldDescriptor d;
  make_descriptor(&d, 'N', 12, 2, &value);
  Build(&d, 12);
  Snapshot();
  Type("-7");       // the first typed key clears the old value
  Snapshot();
  Backspace();      // removes the 7
  Type("42");
  Scan(kScanLeft);  // onto the 4
  Scan(kScanDel);   // removes it: the minus and 2 stay
  Snapshot();
  Scan(kScanHome);  // before the first digit: the minus
  Type("9");        // enters left of 2, right of the minus
  Scan(kScanRight);
  Scan(kScanRight);  // into the decimals
  Type("05");
  Snapshot();
  Enter();
  Enter();
  dlg_run(dlg, 1, nullptr);
  EXPECT_EQ(FieldCells(0, 12), "  -98 765,43");
  EXPECT_EQ(FieldCells(1, 12), "       -7,  ");
  EXPECT_EQ(FieldCells(2, 12), "       -2,  ");
  EXPECT_EQ(FieldCells(3, 12), "      -92,05");
  EXPECT_EQ(value, AMOUNT::FromDouble(-92.05));
}

TEST_F(FieldTest, NumberFieldIgnoresDigitsThatDoNotFitAndKeepsOverlongValues) {
  AMOUNT value = AMOUNT::FromInt(123456789);
  FieldDescriptor d;
  make_descriptor(&d, 'N', 6, 0, &value);
  EXPECT_EQ(format_field(&d), "******");
  Build(&d, 6);
  Tab();  // passing through does not touch the stored value
  Enter();
  dlg_run(dlg, 1, nullptr);
  EXPECT_EQ(value, AMOUNT::FromInt(123456789));

  Type("1234567");  // the seventh digit does not fit (6 cells with grouping: "12 345")
  Enter();
  Enter();
  dlg_run(dlg, 1, nullptr);
  EXPECT_EQ(value, AMOUNT::FromInt(12345));
}

TEST_F(FieldTest, DateFieldRefusesImpossibleDatesUntilEsc) {
  DATE date = DateFromYmd(2000, 1, 15);
  FieldDescriptor d;
  make_descriptor(&d, 'D', 10, 0, &date);
  Build(&d, 10);
  Type("3102");  // 31.02.2000
  Enter();       // refused: the focus stays, the cursor goes to 0
  Snapshot();
  Esc();         // leaves the field (and the dialog) without storing
  EXPECT_EQ(dlg_run(dlg, 1, nullptr), -1);
  EXPECT_EQ(FieldCells(0, 10), "31.02.2000");
  EXPECT_EQ(con->caret_x, 20);
  EXPECT_EQ(dlg_focused(dlg), 1);
  EXPECT_EQ(date, DateFromYmd(2000, 1, 15));

  Ctrl(25);        // the empty mask
  Type("120320");  // 12.03.20__
  Enter();         // refused: the year has blanks
  Esc();
  EXPECT_EQ(dlg_run(dlg, 1, nullptr), -1);
  EXPECT_EQ(date, DateFromYmd(2000, 1, 15));

  Type("29022000");
  Enter();
  Enter();
  EXPECT_EQ(dlg_run(dlg, 1, nullptr), 2);
  EXPECT_EQ(date, DateFromYmd(2000, 2, 29));

  Ctrl(25);  // Ctrl+Y: the empty mask, which is allowed
  Snapshot();
  Enter();
  Enter();
  dlg_run(dlg, 1, nullptr);
  EXPECT_EQ(FieldCells(1, 10), "  .  .    ");
  EXPECT_EQ(date, 0u);
}

TEST_F(FieldTest, DateFieldCursorSkipsTheDots) {
  DATE date = 0;
  FieldDescriptor d;
  make_descriptor(&d, 'D', 10, 0, &date);
  Build(&d, 10);
  Type("0");
  Scan(kScanRight);  // from 1 over the dot to 3
  Snapshot();
  Scan(kScanEnd);
  Scan(kScanLeft);
  Scan(kScanLeft);
  Scan(kScanLeft);
  Scan(kScanLeft);  // 9, 8, 7, 6, then over the dot to 4
  Snapshot();
  Ctrl(4);  // today
  Enter();
  Enter();
  dlg_run(dlg, 1, nullptr);
  ASSERT_EQ(con->caret_columns.size(), 2u);
  EXPECT_EQ(con->caret_columns[0], 20 + 3);
  EXPECT_EQ(con->caret_columns[1], 20 + 4);
  EXPECT_EQ(date, DateToday());
}

TEST_F(FieldTest, TextFieldScrollsInsertsAndPastes) {
  char text[31] = "";
  FieldDescriptor d;
  make_descriptor(&d, 'C', 30, 0, text);
  Build(&d, 8);
  Type("abcdefghijkl");
  Snapshot();
  Scan(kScanHome);
  Scan(kScanDel);
  Snapshot();
  Enter();
  Enter();
  dlg_run(dlg, 1, nullptr);
  EXPECT_EQ(FieldCells(0, 8), "fghijkl ");
  EXPECT_EQ(FieldCells(1, 8), "bcdefghi");
  EXPECT_STREQ(text, "bcdefghijkl");

  clipboard_set_text(std::string("x\ty\nz") + std::string(40, 'w'));
  Ctrl(25);   // empty the field
  Ctrl(22);   // paste: control characters skipped, stops at 30
  Enter();
  Enter();
  dlg_run(dlg, 1, nullptr);
  EXPECT_EQ(std::string(text), "xyz" + std::string(27, 'w'));

  Ctrl(25);
  Type("12345678901234567890");
  Ctrl(4);  // the date needs 10 places: exactly fits
  Ctrl(4);  // no room left
  Enter();
  Enter();
  dlg_run(dlg, 1, nullptr);
  EXPECT_EQ(std::string(text), "12345678901234567890" + DateToDisplay(DateToday()));
}

TEST_F(FieldTest, FormatAndParseFollowTheNumberFormat) {
  AMOUNT v = AMOUNT::FromDouble(1234567.5);
  FieldDescriptor d;
  make_descriptor(&d, 'N', 14, 2, &v);
  set_number_format(',', '.');
  EXPECT_EQ(format_field(&d), "  1.234.567,50");
  v = AMOUNT();
  parse_field("  1.234.567,50", &d);
  EXPECT_EQ(v, AMOUNT::FromDouble(1234567.5));
  set_number_format(',', 0);
  EXPECT_EQ(format_field(&d), "    1234567,50");
  parse_field(" \t-12x5", &d);
  EXPECT_EQ(v, AMOUNT::FromInt(-12));
  v = AMOUNT();
  EXPECT_EQ(format_field(&d), std::string(14, ' '));

  char text[6] = "";
  FieldDescriptor c;
  make_descriptor(&c, 'C', 5, 0, text);
  parse_field("abcdefgh", &c);
  EXPECT_STREQ(text, "abcde");

  DATE date = 1;
  FieldDescriptor dd;
  make_descriptor(&dd, 'D', 10, 0, &date);
  parse_field("  .  .    ", &dd);
  EXPECT_EQ(date, 0u);
  EXPECT_EQ(format_field(&dd), "  .  .    ");
  parse_field("07.03.2014", &dd);
  EXPECT_EQ(format_field(&dd), "07.03.2014");
}

}  // namespace
