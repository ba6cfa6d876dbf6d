// The goods commands from the main screen of a whole headless run: Shift+Ins prefilled add, F2,
// Del with its question, Ctrl+B and F8 in the goods view, and Ins from the goods list.
#include <gtest/gtest.h>

#include "../shell/shell_testing.h"
#include "business/demo_data.h"
#include "db/records.h"

namespace {

class GoodsMainScreenTest : public ShellTest {
 protected:
  void Demo() {
    MakeDatabase([] { ASSERT_EQ(CreateDemoDatabase(), 0); });
    // The parent company is the demonstration's own firm: no question at start-up.
    ASSERT_EQ(SetCompany(AMOUNT::FromInt(1)), 0);
  }
  // Opens the data directory again after the run and makes goods id current.
  template <class F>
  void AfterRun(F check) {
    ASSERT_EQ(::chdir(data.c_str()), 0);
    ASSERT_EQ(OpenDatabase(), 0);
    check();
    CloseDatabase();
    ASSERT_EQ(::chdir(start_dir.c_str()), 0);
  }
  void Exit() { Play("{Esc}{Enter}"); }  // "Koniec programu?" " &Tak "
};

TEST_F(GoodsMainScreenTest, PrefilledAddEditAndDeleteInTheGoodsView) {
  Demo();
  // Goods, on "Anturium"; a copy of it under a new name: the number is taken (0);
  // " &Nadać nowy ": the new goods is current (1); F2 (2); Del, the question (3) and " &Tak " (4).
  Play("2{Shift+Ins}{Ctrl+Y}Anturium bialy{Alt+o}{Snap}n{Snap}"
       "{F2}{Alt+p}{Ctrl+Y}bialy, 40 cm{Alt+o}{Snap}{Del}{Snap}t{Snap}");
  Exit();
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(ShotHas(0, "Towar o podanym numerze już istnieje."));
  EXPECT_TRUE(ShotHas(1, "Anturium bialy"));
  EXPECT_TRUE(ShotHas(1, "KW0013"));  // the group "Kwiaty" counted on
  EXPECT_TRUE(ShotHas(1, "czerwone, 60 cm"));
  EXPECT_TRUE(ShotHas(2, "bialy, 40 cm"));
  EXPECT_TRUE(ShotHas(3, "Usunąć ten rekord?"));
  EXPECT_FALSE(ShotHas(4, "Anturium bialy"));
  AfterRun([] {
    ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(17)), kTableEnd);  // deleted
    EXPECT_EQ(TableCount(kTableGoods), 16);
  });
}

TEST_F(GoodsMainScreenTest, CtrlBAndF8InTheGoodsViewAndAddFromTheList) {
  Demo();
  // Ctrl+B (0), the code not found: add it (1); F8 (2); Ins in the list, which shows again (3).
  Play("2{Ctrl+B}{Snap}5901234123457{Enter}tKaktus{Alt+o}{Snap}{F8}{Snap}"
       "w{Ins}Bratek{Alt+o}{Snap}{Esc}");
  Exit();
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(ShotHas(0, "WYSZUKANIE TOWARU"));
  EXPECT_TRUE(ShotHas(0, "Kod kreskowy:"));
  EXPECT_TRUE(ShotHas(1, "Kaktus"));
  EXPECT_TRUE(ShotHas(1, "5901234123457"));
  EXPECT_TRUE(ShotHas(2, "Kaktus"));
  EXPECT_FALSE(ShotHas(2, "nieobsługiwana"));
  EXPECT_TRUE(ShotHas(3, "Bratek"));
  AfterRun([] {
    EXPECT_EQ(TableCount(kTableGoods), 18);
    ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(17)), 0);
    EXPECT_STREQ(Tow.EAN, "5901234123457");
    EXPECT_STREQ(Tow.NR, "KW0013");
    ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(18)), 0);
    EXPECT_STREQ(Tow.NAZWA, "Bratek");
    EXPECT_STREQ(Tow.NR, "KW0014");
  });
}

}  // namespace
