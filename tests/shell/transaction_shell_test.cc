// The transactions on the main screen: Ins in the transactions view, the options menu items of
// the business options, and the documents of the current transaction on their keys.
#include "business/demo_data.h"
#include "common/date.h"
#include "run_fixture.h"

namespace {

TEST_F(ShellTest, InsOpensANewSaleAndTheOptionsMenuItsDialogs) {
  MakeDatabase([] { ASSERT_EQ(CreateDemoDatabase(), 0); });
  // Ins: a new sale of today (0), left with Esc; " Zaokrąglenia... " (1), " Obsługa... " (2),
  // " Ostrzeżenia... " (3), " Dokumenty... " (4).
  Play(
      "{Ins}{Snap}{Esc}{Alt+o}z{Snap}{Esc}{Alt+o}b{Snap}{Esc}{Alt+o}n{Snap}{Esc}{Alt+o}m{Snap}{Esc}"
      "{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(ShotHas(0, "rozchód"));
  EXPECT_TRUE(ShotHas(0, DateToDisplay(DateToday())));
  EXPECT_TRUE(ShotHas(1, " ZAOKRĄGLENIA "));
  EXPECT_TRUE(ShotHas(2, " OBSŁUGA "));
  EXPECT_TRUE(ShotHas(3, " OSTRZEŻENIA "));
  EXPECT_TRUE(ShotHas(4, " OPCJE DOKUMENTÓW "));
}

TEST_F(ShellTest, TheDocumentsOfTheCurrentTransactionOpenFromTheirKeys) {
  MakeDatabase([] { ASSERT_EQ(CreateDemoDatabase(), 0); });
  ASSERT_EQ(SetCompany(AMOUNT::FromInt(2)), 0);
  // K: the menu (0), F in it: the invoice in the viewer (1); M: the price modes (2), "bez cen"
  // (3); S: the forms of payment (4); L: the transfer order (5); the menu bar's item (6).
  Play(
      "k{Snap}f{Snap}{Esc}m{Snap}b{Snap}{Esc}s{Snap}{Esc}l{Snap}{Esc}{Alt+d}{Enter}{Snap}{Esc}{Alt+"
      "F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(ShotHas(0, " DOKUMENTY TRANSAKCJI "));
  EXPECT_TRUE(ShotHas(0, " Polecenie przelewu   L "));
  EXPECT_TRUE(ShotHas(1, "│   F A K T U R A"));
  EXPECT_TRUE(ShotHas(2, " w cenach zakupu faktycznych "));
  EXPECT_TRUE(ShotHas(3, "│   D O W Ó D   W Y D A N I A"));
  EXPECT_TRUE(ShotHas(4, " gotówka "));
  EXPECT_TRUE(ShotHas(5, " POLECENIE PRZELEWU "));
  EXPECT_TRUE(ShotHas(6, " DOKUMENTY TRANSAKCJI "));
}

}  // namespace
