#include "ui/pick_list.h"

#include <string>
#include <vector>

#include "ui/saveunder.h"
#include "ui_testing.h"

namespace {

class PickListTest : public UiTest {};

TEST_F(PickListTest, ThirtyFiveItemsMakeTwoColumnsOfTwentyAndFifteen) {
  std::vector<std::string> texts;
  std::vector<const char*> items;
  for (int i = 0; i < 35; ++i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "Pozycja %02d", i);
    texts.push_back(buf);
  }
  for (auto& t : texts) items.push_back(t.c_str());
  items.push_back(nullptr);
  Snapshot();
  for (int i = 0; i < 22; ++i) Scan(kScanDown);  // 20 + 2: into the second column
  Enter();
  EXPECT_EQ(pick_list(items.data(), 0, "Lista", -1, -1), 22);
  // 38 wide and 22 high, centred: x = 21, y = 1.
  const std::string top = ShotRow(0, 1);
  EXPECT_EQ(Cols(top, 21, 1), " ");
  EXPECT_EQ(Cols(top, 22, 1), "╔");
  EXPECT_EQ(Cols(top, 57, 1), "╗");
  EXPECT_EQ(Cols(ShotRow(0, 22), 22, 1), "╚");
  EXPECT_EQ(ShotCols(0, 2, 24, 10), "Pozycja 00");
  EXPECT_EQ(ShotCols(0, 21, 24, 10), "Pozycja 19");
  EXPECT_EQ(ShotCols(0, 2, 35, 10), "Pozycja 20");
  EXPECT_EQ(ShotCols(0, 16, 35, 10), "Pozycja 34");
  EXPECT_EQ(ShotCols(0, 17, 35, 10), "          ");
  EXPECT_EQ(save_under_used(), 0u);
}

TEST_F(PickListTest, PreselectionEscAndMenuList) {
  const char* items[] = {"Jeden", "Dwa", "Trzy", nullptr};
  Enter();
  EXPECT_EQ(pick_list(items, 2, nullptr, 5, 5), 2);
  Esc();
  EXPECT_EQ(pick_list(items, 1, nullptr, 5, 5), -1);

  const char* menu[] = {" &Faktura ", " &Rachunek ", " &Paragon ", nullptr};
  Snapshot();
  Key('p');  // a hot letter chooses at once
  EXPECT_EQ(menu_list(menu, 0, "Dokument", 10, 3), 2);
  // w + 6 wide (16), count + 2 high; items at column 3.
  EXPECT_EQ(ShotCols(0, 3, 11, 15), "╔═ DOKUMENT ═╗ ");
  EXPECT_EQ(ShotCols(0, 4, 13, 11), " Faktura   ");
  EXPECT_EQ(ShotCols(0, 6, 13, 11), " Paragon   ");
  EXPECT_EQ(Cols(ShotRow(0, 7), 11, 1), "╚");
}

TEST_F(PickListTest, NameTables) {
  static const NameTableEntry table[] = {{"Auto", 0}, {"Kolor", 1}, {"Mono", 2}, {nullptr, 0}};
  EXPECT_EQ(table_value(table, "Mono"), 2);
  EXPECT_EQ(table_value(table, "Nic"), 0);
  EXPECT_STREQ(table_name(table, 1), "Kolor");
  EXPECT_STREQ(table_name(table, 7), "");

  char text[8] = "Kolor";
  Snapshot();
  Scan(kScanDown);
  Enter();
  EXPECT_EQ(choose_from_table(30, 4, table, text), 2);
  EXPECT_STREQ(text, "Mono");
  // The current name is preselected: the focused item is drawn in element 4.
  EXPECT_EQ(ShotCols(0, 6, 33, 5), "Kolor");
  Esc();
  EXPECT_EQ(choose_from_table(30, 4, table, text), -1);
  EXPECT_STREQ(text, "Mono");
}

}  // namespace
