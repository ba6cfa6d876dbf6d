// The contractor form driven by keys: saving with its questions and refusals, the document list
// and the net-price box, deleting, the search by NIP, and sound files afterwards.
#include <array>

#include "business/contractor_checks.h"
#include "business/contractor_parent.h"
#include "business/options.h"
#include "forms_fixture.h"

namespace {

using ContractorFormTest = ContractorTest;

std::string Fields(const KON_RECORD& k) {
  return std::string(k.NAZWA) + "|" + k.MIASTO + "|" + k.KOD + "|" + k.NIP + "|" + k.UWAGI + "|" +
         k.DOKTRATYP + "|" + std::to_string(k.RABAT.Whole()) + "|" + std::to_string(k.ZAOKRNETTO);
}

TEST_F(ContractorFormTest, AddedContractorsGetIdentifiersInOrderAndEveryTypedField) {
  ASSERT_EQ(AddWith("Alfa{Alt+m}Warszawa{Tab}00-001{Alt+i}111-222-33-44{Alt+r}5{Alt+u}Staly klient"
                    "{Snap}{Alt+o}"),
            0);
  EXPECT_TRUE(ShotHas(0, "Dowód osobisty:"));
  ASSERT_EQ(AddWith("Beta{Alt+o}"), 0);
  EXPECT_EQ(Kon.ID, AMOUNT::FromInt(2));  // the saved one is current
  EXPECT_EQ(Fields(Stored(1)), "Alfa|Warszawa|00-001|111-222-33-44|Staly klient||5|0");
  EXPECT_EQ(Fields(Stored(2)), "Beta||||||0|0");
  // Shift+Ins starts from the current contractor but saves a new one; its NIP is another's.
  Play("{Ctrl+Y}Beta 2{Alt+i}{Ctrl+Y}111-222-33-44{Alt+o}{Snap}z");
  ASSERT_EQ(run_record_command(kViewContractors, kRecordAdd, 1), 0);
  EXPECT_TRUE(ShotHas(1, "Kontrahent o podanym numerze NIP już istnieje."));
  EXPECT_EQ(Stored(3).NAZWA, std::string("Beta 2"));
  EXPECT_EQ(Count(kTableContractors), 3);
  ExpectTablesSound();
}

TEST_F(ContractorFormTest, AnEmptyNameKeepsTheFormOpenOnTheName) {
  ASSERT_EQ(AddWith("{Alt+i}999{Alt+o}Delta{Alt+o}"), 0);  // the name field takes the text
  EXPECT_EQ(Fields(Stored(1)), "Delta|||999|||0|0");
  EXPECT_EQ(AddWith("   {Alt+o}{Esc}"), -1);  // blanks are no name; Esc leaves nothing
  EXPECT_EQ(Count(kTableContractors), 1);
}

TEST_F(ContractorFormTest, MissingNipIsQuestionedOnlyForInvoicesWhileTheWarningIsOn) {
  // "Faktura VAT" without NIP: " &Nie " goes to the NIP field; " &Tak " accepts the correction
  // invoice without one; "Rachunek" asks nothing; nor does an invoice with the warning off.
  ASSERT_EQ(AddWith("Alfa{Alt+d}f{Alt+o}{Snap}n555{Alt+o}"), 0);
  ASSERT_EQ(AddWith("Beta{Alt+d}k{Alt+o}t"), 0);
  ASSERT_EQ(AddWith("Gamma{Alt+d}r{Alt+o}{Snap}"), 0);
  ASSERT_EQ(SetWarnNoNIP(0), 0);
  ASSERT_EQ(AddWith("Epsilon{Alt+d}f{Alt+o}{Snap}"), 0);
  EXPECT_TRUE(ShotHas(0, "Zaakceptować brak numeru NIP kontrahenta?"));
  EXPECT_FALSE(ShotHas(1, "Zaakceptować brak"));
  EXPECT_FALSE(ShotHas(2, "Zaakceptować brak"));
  EXPECT_EQ(Stored(1).NIP + std::string("|") + Stored(1).DOKTRATYP, "555|FV");
  EXPECT_EQ(Stored(2).NIP + std::string("|") + Stored(2).DOKTRATYP, "|ZF");
  EXPECT_STREQ(Stored(3).DOKTRATYP, "RU");
  EXPECT_STREQ(Stored(4).DOKTRATYP, "FV");
}

TEST_F(ContractorFormTest, ChoosingAnotherDocumentProposesItsNetPriceWorking) {
  std::array<uint8_t, kRoundNettoCount> flags{};
  flags[1] = 1;  // "Faktura VAT" proposed in net prices
  ASSERT_EQ(SetDocumentRoundNetto(flags), 0);
  ASSERT_EQ(SetWarnNoNIP(0), 0);
  // Ticked (0); the same document again leaves the box alone, which the user clears by hand (1);
  // "Rachunek" has no net-price flag, and back to "Faktura VAT" ticks it again.
  ASSERT_EQ(AddWith("Alfa{Alt+d}f{Snap}{Alt+d}f{Alt+c}{Snap}{Alt+d}r{Alt+d}f{Alt+o}"), 0);
  EXPECT_EQ(ShotCols(0, 18, 21, 3), "[X]");
  EXPECT_EQ(ShotCols(1, 18, 21, 3), "[ ]");
  EXPECT_EQ(Fields(Stored(1)), "Alfa|||||FV|0|1");
  // Back to no document: the list's first item, whose flag is off.
  ASSERT_EQ(TableGo(kTableContractors, 0), 0);
  Play("{Alt+d}b{Alt+o}");
  ASSERT_EQ(contractor_form_edit(kContractorEdit), 0);
  EXPECT_EQ(Fields(Stored(1)), "Alfa||||||0|0");
}

TEST_F(ContractorFormTest, DuplicateNamesAndNipsAreAskedAboutWithEachAnswer) {
  AddContractor(1, "Alfa", "111");
  // Another letter case is the same name: " &Poprawić " returns to the name (0); Esc on the
  // question corrects as well; " &Zaakceptować " keeps the duplicate; "Alf" is no duplicate (1).
  ASSERT_EQ(AddWith("ALFA{Alt+o}{Snap}p{Ctrl+Y}Beta{Alt+o}"), 0);
  ASSERT_EQ(AddWith("Alfa{Alt+o}{Esc}{Ctrl+Y}Alfa{Alt+o}z"), 0);
  ASSERT_EQ(AddWith("Alf{Alt+o}{Snap}"), 0);
  EXPECT_TRUE(ShotHas(0, "Kontrahent o podanej nazwie już istnieje."));
  EXPECT_FALSE(ShotHas(1, "już istnieje"));
  EXPECT_STREQ(Stored(2).NAZWA, "Beta");
  EXPECT_STREQ(Stored(3).NAZWA, "Alfa");
  // A taken NIP: " &Poprawić " goes back to the NIP (2), " &Zaakceptować " keeps it; an empty
  // NIP is never a duplicate.
  ASSERT_EQ(AddWith("Delta{Alt+i}111{Alt+o}{Snap}p{Ctrl+Y}222{Alt+o}"), 0);
  ASSERT_EQ(AddWith("Gamma{Alt+i}222{Alt+o}z"), 0);
  ASSERT_EQ(AddWith("Epsilon{Alt+o}{Snap}"), 0);
  EXPECT_TRUE(ShotHas(2, "Kontrahent o podanym numerze NIP już istnieje."));
  EXPECT_FALSE(ShotHas(3, "już istnieje"));
  EXPECT_EQ(std::string(Stored(5).NIP) + Stored(6).NIP, "222222");
  // Editing without changing the name or NIP asks nothing, although others share them.
  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(3)), 0);
  Play("{Alt+m}Radom{Alt+o}{Snap}");
  ASSERT_EQ(contractor_form_edit(kContractorEdit), 0);
  EXPECT_FALSE(ShotHas(4, "już istnieje"));
  EXPECT_STREQ(Stored(3).MIASTO, "Radom");
  EXPECT_EQ(Count(kTableContractors), 7);
  ExpectTablesSound();
}

TEST_F(ContractorFormTest, EscOrARecordDeletedMeanwhileWriteNothing) {
  AddContractor(1, "Alfa", "1");
  AddContractor(2, "Beta", "2");
  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(1)), 0);
  const long at = TableRecNo(kTableContractors);
  // Esc, and Esc after a refusing question, leave the record and the position alone.
  for (const char* keys : {"{Ctrl+Y}Zeta{Esc}", "{Alt+i}{Ctrl+Y}2{Alt+o}p{Esc}"}) {
    Play(keys);
    EXPECT_EQ(run_record_command(kViewContractors, kRecordEdit, 0), -1);
    EXPECT_EQ(Fields(Stored(1)), "Alfa|||1|||0|0");
    EXPECT_EQ(TableRecNo(kTableContractors), at);
  }
  const KON_RECORD shown = Kon;
  ASSERT_EQ(TableDelete(kTableContractors), 0);  // another workstation
  Kon = shown;
  Play("{Alt+m}Radom{Alt+o}{Snap}{Enter}");
  EXPECT_EQ(contractor_form_edit(kContractorEdit), -1);
  EXPECT_TRUE(ShotShows(0, {"Bieżący rekord z pliku KONTRAHENCI", "został wcześniej usunięty."}));
  EXPECT_EQ(Count(kTableContractors), 1);
}

TEST_F(ContractorFormTest, DeletingRefusesTheParentCompanyAndContractorsInUse) {
  AddContractor(1, "Moja firma");
  AddContractor(2, "Odbiorca");
  AddContractor(3, "Wolny");
  AddTransaction(1, 2, 'S', "WZ");
  ASSERT_EQ(SetCompany(AMOUNT::FromInt(1)), 0);
  const long transaction = TableRecNo(kTableTransactions);
  for (int id : {1, 2}) {
    ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(id)), 0);
    Play("{Snap}{Enter}");
    EXPECT_EQ(run_record_command(kViewContractors, kRecordDelete, 0), -1) << id;
  }
  EXPECT_TRUE(ShotHas(0, "Nie można usunąć firmy macierzystej."));
  EXPECT_TRUE(ShotHas(1, "jest on użyty w innym pliku."));
  EXPECT_EQ(TableRecNo(kTableTransactions), transaction);  // the check moved nothing
  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(3)), 0);
  EXPECT_EQ(run_record_command(kViewContractors, kRecordDelete, 0), 0);
  EXPECT_EQ(Stored(3).ID, AMOUNT());
  // Once its transaction is gone the contractor may go too, and no user right is needed.
  ASSERT_EQ(TableDelete(kTableTransactions), 0);
  SetAdministratorFlag(0);
  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(2)), 0);
  EXPECT_EQ(run_record_command(kViewContractors, kRecordDelete, 0), 0);
  Play("Alfa{Alt+o}");
  ASSERT_EQ(run_record_command(kViewContractors, kRecordAdd, 0), 0);
  EXPECT_EQ(Count(kTableContractors), 2);
  ExpectTablesSound();
}

TEST_F(ContractorFormTest, FindByNipTakesTheFirstKeyNotBelowTheTypedText) {
  AddContractor(1, "Alfa", "521-000-11-22");
  AddContractor(2, "Beta", "777-111-22-33");
  AddContractor(3, "Gamma", "abc-1");
  ASSERT_EQ(TableSetIndex(kTableContractors, 1), 0);
  Play("{Snap}777{Enter}");  // a prefix
  EXPECT_EQ(run_record_command(kViewContractors, kRecordFind1, 0), 0);
  EXPECT_STREQ(Kon.NAZWA, "Beta");
  EXPECT_TRUE(ShotHas(0, "WYSZUKANIE KONTRAHENTA"));
  EXPECT_EQ(TableGetIndex(kTableContractors), 1);  // the active index is given back
  // No such key: the first above it; keys are upper-cased; above every key, or Esc, the
  // current contractor stays.
  const struct {
    const char* keys;
    int rc;
    const char* found;
  } steps[] = {{"{Ctrl+Y}6{Enter}", 0, "Beta"},
               {"{Ctrl+Y}ABC{Enter}", 0, "Gamma"},
               {"{Ctrl+Y}zzz{Enter}", -1, "Gamma"},
               {"{Esc}", -1, "Gamma"}};
  for (const auto& s : steps) {
    Play(s.keys);
    EXPECT_EQ(FindContractorByNip(), s.rc) << s.keys;
    EXPECT_STREQ(Kon.NAZWA, s.found) << s.keys;
  }
}

}  // namespace
