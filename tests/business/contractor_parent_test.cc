// The parent company: its set-up on the first run and its choice in "FIRMA MACIERZYSTA".
#include "business/contractor_parent.h"
#include "business/contractor_checks.h"
#include "business/options.h"
#include "forms_fixture.h"

namespace {

using ParentCompanyTest = ContractorTest;

AMOUNT Id(int n) { return AMOUNT::FromInt(n); }

TEST_F(ParentCompanyTest, EscOnTheFirstRunFormAddsMojaFirmaAsContractorOne) {
  ASSERT_EQ(SetCompany(Id(7)), 0);                       // left over from another database
  Play("{Snap}{Enter}{Snap}Zaczete{Esc}{Snap}{Enter}");  // the request, the empty form, what was
                                                         // added
  ASSERT_EQ(EnsureParentCompany(), 0);
  EXPECT_TRUE(ShotShows(0, {"Wprowadź dane własnej firmy.", "z kontrahentów i ustawiona jako"}));
  EXPECT_TRUE(ShotHas(1, " KONTRAHENCI "));
  EXPECT_TRUE(ShotShows(2, {"Firma macierzysta została dodana jako:", "Moja firma."}));
  EXPECT_EQ(Count(kTableContractors), 1);
  EXPECT_STREQ(Stored(1).NAZWA, "Moja firma");
  EXPECT_EQ(Company(), Id(1));
  KON_RECORD parent{};
  ASSERT_EQ(ParentCompany(&parent), 0);
  EXPECT_STREQ(parent.NAZWA, "Moja firma");
  ExpectTablesSound();

  // The file is no longer empty: the next start asks nothing.
  EXPECT_EQ(EnsureParentCompany(), 0);
  EXPECT_EQ(Count(kTableContractors), 1);
  EXPECT_EQ(Shots(), 3u);
}

TEST_F(ParentCompanyTest, TheFirmSavedOnTheFirstRunBecomesTheParentCompany) {
  Play("{Enter}Kwiaciarnia Roza{Alt+i}725-11-22-333{Alt+o}{Snap}");
  ASSERT_EQ(EnsureParentCompany(), 0);
  EXPECT_EQ(Count(kTableContractors), 1);
  EXPECT_EQ(Company(), Id(1));
  EXPECT_STREQ(Stored(1).NAZWA, "Kwiaciarnia Roza");
  EXPECT_STREQ(Stored(1).NIP, "725-11-22-333");
  // The snapshot key was left for whoever reads next: no "dodana jako" message was shown.
  EXPECT_EQ(Shots(), 0u);
}

TEST_F(ParentCompanyTest, DialogChoosesAnotherContractorAndPutsTheListBack) {
  AddContractor(1, "Alfa", "111");
  AddContractor(2, "Beta", "222");
  AddContractor(3, "Gamma", "333");
  ASSERT_EQ(FindById(kTableContractors, Id(2)), 0);
  std::snprintf(Kon.KOD, sizeof Kon.KOD, "00-950");
  std::snprintf(Kon.MIASTO, sizeof Kon.MIASTO, "Warszawa");
  std::snprintf(Kon.ADRES, sizeof Kon.ADRES, "ul. Polna 1");
  ASSERT_EQ(TableUpdate(kTableContractors), 0);
  ASSERT_EQ(SetCompany(Id(1)), 0);
  ASSERT_EQ(TableSetIndex(kTableContractors, 3), 0);
  ASSERT_EQ(FindById(kTableContractors, Id(3)), 0);
  const long current = TableRecNo(kTableContractors);

  // The present parent company (0); the name opens the contractor list: Beta, second by name,
  // shown with its address and NIP (1); " &Ok ".
  Play("{Snap}{Enter}{Home}{Down}{Enter}{Snap}{Enter}");
  ASSERT_EQ(parent_company_dialog(), 0);
  EXPECT_TRUE(ShotShows(0, {"FIRMA MACIERZYSTA", "należy dodać własną firmę", "Alfa", "111"}));
  EXPECT_TRUE(ShotShows(1, {"Beta", "00-950 Warszawa, ul. Polna 1", "222"}));
  EXPECT_EQ(Company(), Id(2));
  EXPECT_STREQ(LoadedParentCompany().NAZWA, "Beta");
  EXPECT_EQ(TableRecNo(kTableContractors), current);
  EXPECT_EQ(TableGetIndex(kTableContractors), 3);
  EXPECT_STREQ(Kon.NAZWA, "Gamma");

  // Esc keeps the parent company even after a choice in the list.
  Play("{Enter}{Home}{Enter}{Esc}");
  EXPECT_EQ(parent_company_dialog(), -1);
  EXPECT_EQ(Company(), Id(2));
  EXPECT_EQ(TableRecNo(kTableContractors), current);
}

TEST_F(ParentCompanyTest, AMissingParentRecordReadsEmpty) {
  AddContractor(1, "Alfa");
  KON_RECORD parent{};
  EXPECT_EQ(ParentCompany(&parent), -1);  // none chosen
  ASSERT_EQ(SetCompany(Id(5)), 0);
  std::snprintf(parent.NAZWA, sizeof parent.NAZWA, "stale");
  EXPECT_EQ(ParentCompany(&parent), -1);
  EXPECT_STREQ(parent.NAZWA, "");
  EXPECT_EQ(LoadParentCompany(), -1);
  EXPECT_EQ(LoadedParentCompany().ID, AMOUNT());
}

}  // namespace
