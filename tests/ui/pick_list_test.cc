#include "ui/pick_list.h"

#include <string>
#include <vector>

#include "support/ui_fixture.h"
#include "ui/saveunder.h"

namespace {

using PickListTest = UiTest;

TEST_F(PickListTest, ThirtyFiveItemsMakeTwoColumnsOfTwentyAndFifteen) {
  std::vector<std::string> texts;
  std::vector<const char*> items;
  for (int i = 0; i < 35; ++i) texts.push_back("Pozycja " + std::to_string(100 + i).substr(1));
  for (auto& t : texts) items.push_back(t.c_str());
  items.push_back(nullptr);
  Play("{Snap}");
  for (int i = 0; i < 22; ++i) Play("{Down}");  // 20 + 2: into the second column
  Play("{Enter}");
  EXPECT_EQ(pick_list(items.data(), 0, "Lista", -1, -1), 22);
  // 38 wide and 22 high, centred: x = 21, y = 1.
  EXPECT_EQ(ShotCols(0, 1, 21, 2), " ╔");
  EXPECT_EQ(ShotCols(0, 1, 57, 1), "╗");
  EXPECT_EQ(ShotCols(0, 22, 22, 1), "╚");
  EXPECT_EQ(ShotCols(0, 2, 24, 10), "Pozycja 00");
  EXPECT_EQ(ShotCols(0, 21, 24, 10), "Pozycja 19");
  EXPECT_EQ(ShotCols(0, 2, 35, 10), "Pozycja 20");
  EXPECT_EQ(ShotCols(0, 16, 35, 10), "Pozycja 34");
  EXPECT_EQ(ShotCols(0, 17, 35, 10), "          ");
  EXPECT_EQ(save_under_used(), 0u);
}

TEST_F(PickListTest, PreselectionEscHotLettersAndNameTables) {
  const char* items[] = {"Jeden", "Dwa", "Trzy", nullptr};
  Play("{Enter}");
  EXPECT_EQ(pick_list(items, 2, nullptr, 5, 5), 2);
  Play("{Esc}");
  EXPECT_EQ(pick_list(items, 1, nullptr, 5, 5), -1);
  const char* menu[] = {" &Faktura ", " &Rachunek ", " &Paragon ", nullptr};
  Play("{Snap}p");  // a hot letter chooses at once
  EXPECT_EQ(menu_list(menu, 0, "Dokument", 10, 3), 2);
  EXPECT_EQ(ShotCols(0, 3, 11, 15), "╔═ DOKUMENT ═╗ ");
  EXPECT_EQ(ShotCols(0, 6, 13, 11), " Paragon   ");

  static const NameTableEntry table[] = {{"Auto", 0}, {"Kolor", 1}, {"Mono", 2}, {nullptr, 0}};
  char text[8] = "Kolor";
  Play("{Snap}{Down}{Enter}");
  EXPECT_EQ(choose_from_table(30, 4, table, text), 2);
  EXPECT_STREQ(text, "Mono");
  EXPECT_EQ(ShotCols(1, 6, 33, 5), "Kolor");  // the current name is preselected
  Play("{Esc}");
  EXPECT_EQ(choose_from_table(30, 4, table, text), -1);
  EXPECT_STREQ(text, "Mono");
}

}  // namespace
