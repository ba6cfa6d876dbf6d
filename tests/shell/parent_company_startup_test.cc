// The parent company in the whole program: the choice at start-up when none is set.
#include "business/contractor_parent.h"
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

}  // namespace
