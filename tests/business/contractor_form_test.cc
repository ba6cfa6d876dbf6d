// The contractor form driven by keys: saving with its questions and refusals, the document list
// and the net-price box, deleting, the search by NIP, and sound files afterwards.
#include <array>

#include "business/contractor_checks.h"
#include "business/contractor_parent.h"
#include "business/options.h"
#include "forms_fixture.h"

namespace {

using ContractorFormTest = ContractorTest;

TEST_F(ContractorFormTest, AddedContractorsGetIdentifiersInOrderAndEveryTypedField) {
  ASSERT_EQ(AddWith("Alfa{Alt+m}Warszawa{Tab}00-001{Alt+i}111-222-33-44{Alt+r}5{Alt+u}Staly klient"
                    "{Snap}{Alt+o}"), 0);
  EXPECT_TRUE(ShotHas(0, " KONTRAHENCI "));
  EXPECT_TRUE(ShotHas(0, "Dowód osobisty:"));
  ASSERT_EQ(AddWith("Beta{Alt+o}"), 0);
  EXPECT_EQ(Kon.ID, AMOUNT::FromInt(2));  // the saved one is current

  const KON_RECORD a = Stored(1);
  EXPECT_STREQ(a.NAZWA, "Alfa");
  EXPECT_STREQ(a.MIASTO, "Warszawa");
  EXPECT_STREQ(a.KOD, "00-001");
  EXPECT_STREQ(a.NIP, "111-222-33-44");
  EXPECT_EQ(a.RABAT, AMOUNT::FromInt(5));
  EXPECT_STREQ(a.UWAGI, "Staly klient");
  EXPECT_STREQ(a.DOKTRATYP, "");
  EXPECT_EQ(a.ZAOKRNETTO, 0);
  EXPECT_STREQ(Stored(2).NAZWA, "Beta");
  EXPECT_EQ(Count(kTableContractors), 2);
  ExpectTablesSound();
}

TEST_F(ContractorFormTest, ShiftInsStartsFromTheCurrentContractorButSavesANewOne) {
  AddContractor(4, "Gamma", "123", "", "RU");
  Play("{Ctrl+Y}Gamma 2{Alt+o}{Snap}z");  // the copied NIP is the other one's: accepted
  ASSERT_EQ(run_record_command(kViewContractors, kRecordAdd, 1), 0);
  EXPECT_TRUE(ShotHas(0, "Kontrahent o podanym numerze NIP już istnieje."));
  EXPECT_EQ(Count(kTableContractors), 2);
  const KON_RECORD copy = Stored(5);
  EXPECT_STREQ(copy.NAZWA, "Gamma 2");
  EXPECT_STREQ(copy.DOKTRATYP, "RU");
  EXPECT_STREQ(copy.NIP, "123");
  EXPECT_STREQ(Stored(4).NAZWA, "Gamma");
}

TEST_F(ContractorFormTest, EmptyNameKeepsTheFormOpenOnTheName) {
  // Refused: the cursor goes to the name, which takes the next text.
  ASSERT_EQ(AddWith("{Alt+i}999{Alt+o}{Snap}Delta{Alt+o}"), 0);
  EXPECT_TRUE(ShotHas(0, " KONTRAHENCI "));
  EXPECT_EQ(Count(kTableContractors), 1);
  EXPECT_STREQ(Stored(1).NAZWA, "Delta");
  EXPECT_STREQ(Stored(1).NIP, "999");
  // Blanks are no name either, and Esc leaves nothing behind.
  EXPECT_EQ(AddWith("   {Alt+o}{Esc}"), -1);
  EXPECT_EQ(Count(kTableContractors), 1);
}

TEST_F(ContractorFormTest, MissingNipIsQuestionedOnlyForInvoicesWhileTheWarningIsOn) {
  // "Faktura VAT" without NIP: " &Nie " goes to the NIP field, which then takes the number.
  ASSERT_EQ(AddWith("Alfa{Alt+d}f{Alt+o}{Snap}n555{Alt+o}"), 0);
  EXPECT_TRUE(ShotHas(0, "Zaakceptować brak numeru NIP kontrahenta?"));
  EXPECT_STREQ(Stored(1).NIP, "555");
  EXPECT_STREQ(Stored(1).DOKTRATYP, "FV");
  // " &Tak " accepts the correction invoice " Fa&ktura VAT (korekta) " without NIP.
  ASSERT_EQ(AddWith("Beta{Alt+d}k{Alt+o}{Snap}t"), 0);
  EXPECT_TRUE(ShotHas(1, "Zaakceptować brak numeru NIP kontrahenta?"));
  EXPECT_STREQ(Stored(2).NIP, "");
  EXPECT_STREQ(Stored(2).DOKTRATYP, "ZF");
  // "Rachunek" asks nothing.
  ASSERT_EQ(AddWith("Gamma{Alt+d}r{Alt+o}"), 0);
  EXPECT_STREQ(Stored(3).DOKTRATYP, "RU");
  // With the warning off an invoice without NIP asks nothing.
  ASSERT_EQ(SetWarnNoNIP(0), 0);
  ASSERT_EQ(AddWith("Epsilon{Alt+d}f{Alt+o}{Snap}"), 0);
  EXPECT_STREQ(Stored(4).DOKTRATYP, "FV");
  EXPECT_FALSE(ShotHas(2, "Zaakceptować brak"));
  EXPECT_EQ(Count(kTableContractors), 4);
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
  EXPECT_TRUE(ShotHas(0, "Faktura VAT"));
  EXPECT_EQ(Stored(1).ZAOKRNETTO, 1);
  EXPECT_STREQ(Stored(1).DOKTRATYP, "FV");

  // Back to no document: the list's first item, whose flag is off.
  ASSERT_EQ(TableGo(kTableContractors, 0), 0);
  Play("{Alt+d}b{Alt+o}");
  ASSERT_EQ(contractor_form_edit(kContractorEdit), 0);
  EXPECT_EQ(Stored(1).ZAOKRNETTO, 0);
  EXPECT_STREQ(Stored(1).DOKTRATYP, "");
}

TEST_F(ContractorFormTest, DuplicateNameAsksToCorrectOrAccept) {
  AddContractor(1, "Alfa");
  // Another letter case is the same name in the name index. " &Poprawić " returns to the name.
  ASSERT_EQ(AddWith("ALFA{Alt+o}{Snap}p{Ctrl+Y}Beta{Alt+o}"), 0);
  EXPECT_TRUE(ShotHas(0, "Kontrahent o podanej nazwie już istnieje."));
  EXPECT_STREQ(Stored(2).NAZWA, "Beta");
  // Esc on the question corrects; " &Zaakceptować " keeps the duplicate.
  ASSERT_EQ(AddWith("Alfa{Alt+o}{Esc}{Ctrl+Y}Alfa{Alt+o}z"), 0);
  EXPECT_STREQ(Stored(3).NAZWA, "Alfa");
  // A name that only starts like another one is no duplicate.
  ASSERT_EQ(AddWith("Alf{Alt+o}{Snap}"), 0);
  EXPECT_FALSE(ShotHas(1, "już istnieje"));

  // Editing without changing the name asks nothing, although two contractors share it.
  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(3)), 0);
  Play("{Alt+m}Radom{Alt+o}{Snap}");
  ASSERT_EQ(contractor_form_edit(kContractorEdit), 0);
  EXPECT_FALSE(ShotHas(2, "już istnieje"));
  EXPECT_STREQ(Stored(3).MIASTO, "Radom");
  EXPECT_EQ(Count(kTableContractors), 4);
  ExpectTablesSound();
}

TEST_F(ContractorFormTest, DuplicateNipAsksToCorrectOrAccept) {
  AddContractor(1, "Alfa", "111-11-11-111");
  // " &Poprawić " goes back to the NIP field.
  ASSERT_EQ(AddWith("Beta{Alt+i}111-11-11-111{Alt+o}{Snap}p{Ctrl+Y}222{Alt+o}"), 0);
  EXPECT_TRUE(ShotHas(0, "Kontrahent o podanym numerze NIP już istnieje."));
  EXPECT_STREQ(Stored(2).NIP, "222");
  ASSERT_EQ(AddWith("Gamma{Alt+i}222{Alt+o}z"), 0);
  EXPECT_STREQ(Stored(3).NIP, "222");

  // An empty NIP is never a duplicate, nor is the contractor's own unchanged one.
  ASSERT_EQ(AddWith("Delta{Alt+o}Epsilon{Alt+o}{Snap}"), 0);
  ASSERT_EQ(contractor_form_edit(kContractorAddEmpty), 0);
  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(2)), 0);
  Play("{Alt+f}22 33 44{Alt+o}{Snap}");
  ASSERT_EQ(contractor_form_edit(kContractorEdit), 0);
  EXPECT_FALSE(ShotHas(1, "już istnieje"));
  EXPECT_FALSE(ShotHas(2, "już istnieje"));
  EXPECT_STREQ(Stored(2).TELEFON, "22 33 44");
  EXPECT_EQ(Count(kTableContractors), 5);
}

TEST_F(ContractorFormTest, EscDiscardsTheEditAndTheCurrentRecordStays) {
  AddContractor(1, "Alfa", "1");
  AddContractor(2, "Beta", "2");
  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(1)), 0);
  const long at = TableRecNo(kTableContractors);
  Play("{Ctrl+Y}Zeta{Esc}");
  EXPECT_EQ(run_record_command(kViewContractors, kRecordEdit, 0), -1);
  EXPECT_STREQ(Stored(1).NAZWA, "Alfa");
  EXPECT_EQ(TableRecNo(kTableContractors), at);
  // A refusal after a question leaves the stored record and the position alone as well.
  Play("{Alt+i}{Ctrl+Y}2{Alt+o}p{Esc}");
  EXPECT_EQ(run_record_command(kViewContractors, kRecordEdit, 0), -1);
  EXPECT_STREQ(Stored(1).NIP, "1");
  EXPECT_EQ(TableRecNo(kTableContractors), at);
  EXPECT_STREQ(Kon.NAZWA, "Alfa");
}

TEST_F(ContractorFormTest, SavingARecordDeletedMeanwhileSaysSoAndWritesNothing) {
  AddContractor(1, "Alfa");
  AddContractor(2, "Beta");
  ASSERT_EQ(TableGo(kTableContractors, 0), 0);
  const KON_RECORD shown = Kon;
  ASSERT_EQ(TableDelete(kTableContractors), 0);  // another workstation
  ASSERT_EQ(TableGo(kTableContractors, 0), 0);
  Kon = shown;
  Play("{Alt+m}Radom{Alt+o}{Snap}{Enter}");
  EXPECT_EQ(contractor_form_edit(kContractorEdit), -1);
  EXPECT_TRUE(ShotHas(0, "Bieżący rekord z pliku KONTRAHENCI"));
  EXPECT_TRUE(ShotHas(0, "został wcześniej usunięty."));
  EXPECT_EQ(Count(kTableContractors), 1);
  EXPECT_STREQ(Stored(1).MIASTO, "");
}

TEST_F(ContractorFormTest, DeletingRefusesTheParentCompanyAndContractorsInUse) {
  AddContractor(1, "Moja firma");
  AddContractor(2, "Odbiorca");
  AddContractor(3, "Wolny");
  AddTransaction(1, 2, 'S', "WZ", 0, 0, 0, 0);
  ASSERT_EQ(SetCompany(AMOUNT::FromInt(1)), 0);
  ASSERT_EQ(TableLast(kTableTransactions), 0);
  const long transaction = TableRecNo(kTableTransactions);

  for (int id : {1, 2}) {
    ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(id)), 0);
    Play("{Snap}{Enter}");
    EXPECT_EQ(run_record_command(kViewContractors, kRecordDelete, 0), -1) << id;
  }
  EXPECT_TRUE(ShotHas(0, "Nie można usunąć firmy macierzystej."));
  EXPECT_TRUE(ShotHas(1, "Nie można usunąć tego rekordu, ponieważ"));
  EXPECT_TRUE(ShotHas(1, "jest on użyty w innym pliku."));
  EXPECT_EQ(Count(kTableContractors), 3);
  EXPECT_EQ(TableRecNo(kTableTransactions), transaction);  // the check moved nothing

  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(3)), 0);
  EXPECT_EQ(run_record_command(kViewContractors, kRecordDelete, 0), 0);
  EXPECT_EQ(Count(kTableContractors), 2);
  EXPECT_NE(Stored(1).ID, AMOUNT());
  EXPECT_NE(Stored(2).ID, AMOUNT());
  EXPECT_EQ(Stored(3).ID, AMOUNT());
  // Once its transaction is gone the contractor may go too.
  ASSERT_EQ(TableDelete(kTableTransactions), 0);
  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(2)), 0);
  EXPECT_EQ(run_record_command(kViewContractors, kRecordDelete, 0), 0);
  EXPECT_EQ(Count(kTableContractors), 1);
  ExpectTablesSound();
}

TEST_F(ContractorFormTest, ContractorsNeedNoUserRight) {
  // A run with limited rights and no right at all still keeps the contractor file.
  SetAdministratorFlag(0);
  ASSERT_NE(CheckRights(kRightModifyDatabase | kRightModifyGoods, false), 0);
  Play("Alfa{Alt+o}");
  ASSERT_EQ(run_record_command(kViewContractors, kRecordAdd, 0), 0);
  Play("{Alt+m}Kielce{Alt+o}");
  ASSERT_EQ(run_record_command(kViewContractors, kRecordEdit, 0), 0);
  EXPECT_STREQ(Stored(1).MIASTO, "Kielce");
  EXPECT_EQ(run_record_command(kViewContractors, kRecordDelete, 0), 0);
  EXPECT_EQ(Count(kTableContractors), 0);
}

TEST_F(ContractorFormTest, FindByNipTakesTheFirstKeyNotBelowTheTypedText) {
  AddContractor(1, "Alfa", "521-000-11-22");
  AddContractor(2, "Beta", "777-111-22-33");
  AddContractor(3, "Gamma", "abc-1");
  ASSERT_EQ(TableSetIndex(kTableContractors, 1), 0);
  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(3)), 0);

  Play("{Snap}777{Enter}");  // a prefix
  EXPECT_EQ(run_record_command(kViewContractors, kRecordFind1, 0), 0);
  EXPECT_STREQ(Kon.NAZWA, "Beta");
  EXPECT_TRUE(ShotHas(0, "WYSZUKANIE KONTRAHENTA"));
  EXPECT_EQ(TableGetIndex(kTableContractors), 1);  // the active index is given back

  Play("{Ctrl+Y}6{Enter}");  // no such key: the first one above it
  EXPECT_EQ(FindContractorByNip(), 0);
  EXPECT_STREQ(Kon.NAZWA, "Beta");

  Play("{Ctrl+Y}ABC{Enter}");  // keys are upper-cased
  EXPECT_EQ(FindContractorByNip(), 0);
  EXPECT_STREQ(Kon.NAZWA, "Gamma");

  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(1)), 0);
  Play("{Ctrl+Y}zzz{Enter}");  // above every key: the current contractor stays
  EXPECT_EQ(FindContractorByNip(), -1);
  EXPECT_STREQ(Kon.NAZWA, "Alfa");
  Play("{Esc}");
  EXPECT_EQ(FindContractorByNip(), -1);
  EXPECT_STREQ(Kon.NAZWA, "Alfa");
  EXPECT_EQ(TableGetIndex(kTableContractors), 1);
}

}  // namespace
