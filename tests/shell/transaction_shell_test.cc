// The transactions on the main screen: Ins in the transactions view, the options menu items of
// the business options, and the documents keys that are still to come.
#include "business/demo_data.h"
#include "common/date.h"
#include "shell_testing.h"

namespace {

TEST_F(ShellTest, InsOpensANewSaleAndTheOptionsMenuItsDialogs) {
  MakeDatabase([] { ASSERT_EQ(CreateDemoDatabase(), 0); });
  // Ins: a new sale of today (0), left with Esc; " Zaokrąglenia... " (1), " Obsługa... " (2),
  // " Ostrzeżenia... " (3), " Dokumenty... " (4); F, a documents key still to come (5).
  Play("{Ins}{Snap}{Esc}{Alt+o}z{Snap}{Esc}{Alt+o}b{Snap}{Esc}{Alt+o}n{Snap}{Esc}{Alt+o}m{Snap}{Esc}"
       "f{Snap}{Enter}{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(ShotHas(0, "rozchód"));
  EXPECT_TRUE(ShotHas(0, DateToDisplay(DateToday())));
  EXPECT_TRUE(ShotHas(1, " ZAOKRĄGLENIA "));
  EXPECT_TRUE(ShotHas(2, " OBSŁUGA "));
  EXPECT_TRUE(ShotHas(3, " OSTRZEŻENIA "));
  EXPECT_TRUE(ShotHas(4, " OPCJE DOKUMENTÓW "));
  EXPECT_TRUE(ShotHas(5, "Funkcja w tym miejscu nieobsługiwana."));
}

}  // namespace
