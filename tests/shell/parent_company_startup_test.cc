// The parent company in the whole program: the choice at start-up when none is set, the options
// menu item, and the contractors view adding and searching through the contractor form.
#include "business/contractor_parent.h"
#include "business/record_lookup.h"
#include "run_fixture.h"

namespace {

TEST_F(ShellTest, StartWithoutParentCompanyAsksForOneAndRemembersIt) {
  MakeDemoDatabase();
  ASSERT_EQ(SetCompany(AMOUNT()), 0);
  // "FIRMA MACIERZYSTA" before the main screen's views (0); the contractor list, the first by
  // name, " &Ok "; the transactions view (1).
  Play("{Snap}{Enter}{Home}{Enter}{Enter}{Snap}{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(ShotHas(0, "FIRMA MACIERZYSTA"));
  EXPECT_TRUE(ShotHas(1, " TRANSAKCJE "));
  EXPECT_FALSE(ShotHas(1, "FIRMA MACIERZYSTA"));
  const AMOUNT chosen = Company();
  EXPECT_FALSE(chosen.IsZero());
  // The next start asks nothing and keeps the choice.
  Restart();
  Play("{Snap}{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_FALSE(ShotHas(0, "FIRMA MACIERZYSTA"));
  EXPECT_EQ(Company(), chosen);
}

TEST_F(ShellTest, ContractorsViewAddsThroughTheFormAndOptionsChooseTheParentCompany) {
  MakeDemoDatabase();
  // The form being filled (0); the view shows the new contractor (1); the contractor search
  // menu (2); " &Opcje " " &Firma macierzysta... " (3), its list on the current contractor, the
  // new one, and " &Ok ".
  Play("3{Ins}Nowy klient{Snap}{Alt+o}{Snap}{F7}{Snap}{Esc}{Alt+o}f{Snap}{Enter}{Enter}{Enter}"
       "{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(ShotHas(0, "Nowy klient"));
  EXPECT_TRUE(ShotHas(1, " KONTRAHENCI "));
  EXPECT_TRUE(ShotHas(1, "Nowy klient"));
  EXPECT_TRUE(ShotHas(2, " Wg NIP "));
  EXPECT_TRUE(ShotHas(3, "FIRMA MACIERZYSTA"));
  EXPECT_TRUE(ShotHas(3, "Moja firma"));  // the present parent company
  InData([] {
    EXPECT_EQ(Count(kTableContractors), 7);  // "Moja firma", five of the demonstration, the new one
    KON_RECORD added{};
    ASSERT_EQ(ReadRecordById(kTableContractors, AMOUNT::FromInt(7), &added), 0);
    EXPECT_STREQ(added.NAZWA, "Nowy klient");
    EXPECT_EQ(Company(), AMOUNT::FromInt(7));
    ExpectTablesSound();
  });
}

}  // namespace
