// The contractor form driven by keys: saving with its questions and refusals, the document list
// and the net-price box, deleting, the search by NIP, and sound files afterwards.
#include <cstdlib>

#include "common/text.h"
#include "contractor_testing.h"

namespace {

std::string RunCommand(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

using ContractorFormTest = ContractorTest;

TEST_F(ContractorFormTest, AddedContractorsGetIdentifiersInOrderAndEveryTypedField) {
  Type("Alfa");
  Alt('m');
  Type("Warszawa");
  Tab();
  Type("00-001");
  Alt('i');
  Type("111-222-33-44");
  Alt('r');
  Type("5");
  Alt('u');
  Type("Staly klient");
  Snapshot();
  Ok();
  ASSERT_EQ(contractor_form_edit(kContractorAddEmpty), 0);
  EXPECT_TRUE(ShotHas(0, " KONTRAHENCI "));
  EXPECT_TRUE(ShotHas(0, "Dowód osobisty:"));

  Type("Beta");
  Ok();
  ASSERT_EQ(contractor_form_edit(kContractorAddEmpty), 0);
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
  EXPECT_EQ(Count(), 2);
  ExpectSoundTables();
}

TEST_F(ContractorFormTest, ShiftInsStartsFromTheCurrentContractorButSavesANewOne) {
  Add(4, "Gamma", "123", "RU");
  ClearField();
  Type("Gamma 2");
  Ok();
  Snapshot();
  Key('z');  // the copied NIP is the other one's: accepted
  ASSERT_EQ(run_record_command(kViewContractors, kRecordAdd, 1), 0);
  EXPECT_TRUE(ShotHas(0, "Kontrahent o podanym numerze NIP już istnieje."));
  EXPECT_EQ(Count(), 2);
  const KON_RECORD copy = Stored(5);
  EXPECT_STREQ(copy.NAZWA, "Gamma 2");
  EXPECT_STREQ(copy.DOKTRATYP, "RU");
  EXPECT_STREQ(copy.NIP, "123");
  EXPECT_STREQ(Stored(4).NAZWA, "Gamma");
}

TEST_F(ContractorFormTest, EmptyNameKeepsTheFormOpenOnTheName) {
  Alt('i');
  Type("999");
  Ok();            // refused: the cursor goes to the name
  Snapshot();
  Type("Delta");   // typed into the name
  Ok();
  ASSERT_EQ(contractor_form_edit(kContractorAddEmpty), 0);
  EXPECT_TRUE(ShotHas(0, " KONTRAHENCI "));
  EXPECT_EQ(Count(), 1);
  EXPECT_STREQ(Stored(1).NAZWA, "Delta");
  EXPECT_STREQ(Stored(1).NIP, "999");

  // Blanks are no name either, and Esc leaves nothing behind.
  Type("   ");
  Ok();
  Esc();
  EXPECT_EQ(contractor_form_edit(kContractorAddEmpty), -1);
  EXPECT_EQ(Count(), 1);
}

TEST_F(ContractorFormTest, MissingNipIsQuestionedOnlyForInvoicesWhileTheWarningIsOn) {
  // "Faktura VAT" without NIP: " &Nie " goes to the NIP field, which then takes the number.
  Type("Alfa");
  Alt('d');
  Key('f');
  Ok();
  Snapshot();
  Key('n');
  Type("555");
  Ok();
  ASSERT_EQ(contractor_form_edit(kContractorAddEmpty), 0);
  EXPECT_TRUE(ShotHas(0, "Zaakceptować brak numeru NIP kontrahenta?"));
  EXPECT_STREQ(Stored(1).NIP, "555");
  EXPECT_STREQ(Stored(1).DOKTRATYP, "FV");

  // " &Tak " accepts the invoice without NIP; so does the correction invoice question.
  Type("Beta");
  Alt('d');
  Key('k');  // " Fa&ktura VAT (korekta) "
  Ok();
  Snapshot();
  Key('t');
  ASSERT_EQ(contractor_form_edit(kContractorAddEmpty), 0);
  EXPECT_TRUE(ShotHas(1, "Zaakceptować brak numeru NIP kontrahenta?"));
  EXPECT_STREQ(Stored(2).NIP, "");
  EXPECT_STREQ(Stored(2).DOKTRATYP, "ZF");

  // "Rachunek" asks nothing.
  Type("Gamma");
  Alt('d');
  Key('r');
  Ok();
  ASSERT_EQ(contractor_form_edit(kContractorAddEmpty), 0);
  EXPECT_STREQ(Stored(3).DOKTRATYP, "RU");

  // With the warning off an invoice without NIP asks nothing.
  ASSERT_EQ(SetWarnNoNIP(0), 0);
  Type("Epsilon");
  Alt('d');
  Key('f');
  Ok();
  Snapshot();
  ASSERT_EQ(contractor_form_edit(kContractorAddEmpty), 0);
  EXPECT_STREQ(Stored(4).DOKTRATYP, "FV");
  EXPECT_FALSE(ShotHas(2, "Zaakceptować brak"));
  EXPECT_EQ(Count(), 4);
}

TEST_F(ContractorFormTest, ChoosingAnotherDocumentProposesItsNetPriceWorking) {
  std::array<uint8_t, kRoundNettoCount> flags{};
  flags[1] = 1;  // "Faktura VAT" proposed in net prices
  ASSERT_EQ(SetDocumentRoundNetto(flags), 0);
  ASSERT_EQ(SetWarnNoNIP(0), 0);
  Type("Alfa");
  Alt('d');
  Key('f');
  Snapshot();  // 0: ticked
  Alt('d');
  Key('f');    // the same document again leaves the box alone...
  Alt('c');    // ...which the user clears by hand
  Snapshot();  // 1
  Alt('d');
  Key('r');    // "Rachunek" has no net-price flag
  Alt('d');
  Key('f');
  Ok();
  ASSERT_EQ(contractor_form_edit(kContractorAddEmpty), 0);
  EXPECT_EQ(ShotCols(0, 18, 21, 3), "[X]");
  EXPECT_EQ(ShotCols(1, 18, 21, 3), "[ ]");
  EXPECT_TRUE(ShotHas(0, "Faktura VAT"));
  EXPECT_EQ(Stored(1).ZAOKRNETTO, 1);
  EXPECT_STREQ(Stored(1).DOKTRATYP, "FV");

  // Back to no document: the list's first item, whose flag is off.
  ASSERT_EQ(TableGo(kTableContractors, 0), 0);
  Alt('d');
  Key('b');
  Ok();
  ASSERT_EQ(contractor_form_edit(kContractorEdit), 0);
  EXPECT_EQ(Stored(1).ZAOKRNETTO, 0);
  EXPECT_STREQ(Stored(1).DOKTRATYP, "");
}

TEST_F(ContractorFormTest, DuplicateNameAsksToCorrectOrAccept) {
  Add(1, "Alfa");
  // Another letter case is the same name in the name index. " &Poprawić " returns to the name.
  Type("ALFA");
  Ok();
  Snapshot();
  Key('p');
  ClearField();
  Type("Beta");
  Ok();
  ASSERT_EQ(contractor_form_edit(kContractorAddEmpty), 0);
  EXPECT_TRUE(ShotHas(0, "Kontrahent o podanej nazwie już istnieje."));
  EXPECT_STREQ(Stored(2).NAZWA, "Beta");

  // " &Zaakceptować " keeps the duplicate; Esc on the question corrects.
  Type("Alfa");
  Ok();
  Esc();
  ClearField();
  Type("Alfa");
  Ok();
  Key('z');
  ASSERT_EQ(contractor_form_edit(kContractorAddEmpty), 0);
  EXPECT_STREQ(Stored(3).NAZWA, "Alfa");

  // A name that only starts like another one is no duplicate.
  Type("Alf");
  Ok();
  Snapshot();
  ASSERT_EQ(contractor_form_edit(kContractorAddEmpty), 0);
  EXPECT_FALSE(ShotHas(1, "już istnieje"));

  // Editing without changing the name asks nothing, although two contractors share it.
  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(3)), 0);
  Alt('m');
  Type("Radom");
  Ok();
  Snapshot();
  ASSERT_EQ(contractor_form_edit(kContractorEdit), 0);
  EXPECT_FALSE(ShotHas(2, "już istnieje"));
  EXPECT_STREQ(Stored(3).MIASTO, "Radom");
  EXPECT_EQ(Count(), 4);
  ExpectSoundTables();
}

TEST_F(ContractorFormTest, DuplicateNipAsksToCorrectOrAccept) {
  Add(1, "Alfa", "111-11-11-111");
  Type("Beta");
  Alt('i');
  Type("111-11-11-111");
  Ok();
  Snapshot();
  Key('p');        // back to the NIP field
  ClearField();
  Type("222");
  Ok();
  ASSERT_EQ(contractor_form_edit(kContractorAddEmpty), 0);
  EXPECT_TRUE(ShotHas(0, "Kontrahent o podanym numerze NIP już istnieje."));
  EXPECT_STREQ(Stored(2).NIP, "222");

  Type("Gamma");
  Alt('i');
  Type("222");
  Ok();
  Key('z');
  ASSERT_EQ(contractor_form_edit(kContractorAddEmpty), 0);
  EXPECT_STREQ(Stored(3).NIP, "222");

  // An empty NIP is never a duplicate, nor is the contractor's own unchanged one.
  Type("Delta");
  Ok();
  Type("Epsilon");
  Ok();
  Snapshot();
  ASSERT_EQ(contractor_form_edit(kContractorAddEmpty), 0);
  ASSERT_EQ(contractor_form_edit(kContractorAddEmpty), 0);
  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(2)), 0);
  Alt('f');
  Type("22 33 44");
  Ok();
  Snapshot();
  ASSERT_EQ(contractor_form_edit(kContractorEdit), 0);
  EXPECT_FALSE(ShotHas(1, "już istnieje"));
  EXPECT_FALSE(ShotHas(2, "już istnieje"));
  EXPECT_STREQ(Stored(2).TELEFON, "22 33 44");
  EXPECT_EQ(Count(), 5);
}

TEST_F(ContractorFormTest, EscDiscardsTheEditAndTheCurrentRecordStays) {
  Add(1, "Alfa", "1");
  Add(2, "Beta", "2");
  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(1)), 0);
  const long at = TableRecNo(kTableContractors);
  ClearField();
  Type("Zeta");
  Esc();
  EXPECT_EQ(run_record_command(kViewContractors, kRecordEdit, 0), -1);
  EXPECT_STREQ(Stored(1).NAZWA, "Alfa");
  EXPECT_EQ(TableRecNo(kTableContractors), at);
  // A refusal after a question leaves the stored record and the position alone as well.
  Alt('i');
  ClearField();
  Type("2");
  Ok();
  Key('p');
  Esc();
  EXPECT_EQ(run_record_command(kViewContractors, kRecordEdit, 0), -1);
  EXPECT_STREQ(Stored(1).NIP, "1");
  EXPECT_EQ(TableRecNo(kTableContractors), at);
  EXPECT_STREQ(Kon.NAZWA, "Alfa");
}

TEST_F(ContractorFormTest, SavingARecordDeletedMeanwhileSaysSoAndWritesNothing) {
  Add(1, "Alfa");
  Add(2, "Beta");
  ASSERT_EQ(TableGo(kTableContractors, 0), 0);
  const KON_RECORD shown = Kon;
  ASSERT_EQ(TableDelete(kTableContractors), 0);  // another workstation
  ASSERT_EQ(TableGo(kTableContractors, 0), 0);
  Kon = shown;
  Alt('m');
  Type("Radom");
  Ok();
  Snapshot();
  Enter();
  EXPECT_EQ(contractor_form_edit(kContractorEdit), -1);
  EXPECT_TRUE(ShotHas(0, "Bieżący rekord z pliku KONTRAHENCI"));
  EXPECT_TRUE(ShotHas(0, "został wcześniej usunięty."));
  EXPECT_EQ(Count(), 1);
  EXPECT_STREQ(Stored(1).MIASTO, "");
}

TEST_F(ContractorFormTest, DeletingRefusesTheParentCompanyAndContractorsInUse) {
  Add(1, "Moja firma");
  Add(2, "Odbiorca");
  Add(3, "Wolny");
  AddTransaction(1, 2, 'S', "WZ", 0, 0, 0, 0);
  ASSERT_EQ(SetCompany(AMOUNT::FromInt(1)), 0);
  ASSERT_EQ(TableLast(kTableTransactions), 0);
  const long transaction = TableRecNo(kTableTransactions);

  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(1)), 0);
  Snapshot();
  Enter();
  EXPECT_EQ(run_record_command(kViewContractors, kRecordDelete, 0), -1);
  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(2)), 0);
  Snapshot();
  Enter();
  EXPECT_EQ(run_record_command(kViewContractors, kRecordDelete, 0), -1);
  EXPECT_TRUE(ShotHas(0, "Nie można usunąć firmy macierzystej."));
  EXPECT_TRUE(ShotHas(1, "Nie można usunąć tego rekordu, ponieważ"));
  EXPECT_TRUE(ShotHas(1, "jest on użyty w innym pliku."));
  EXPECT_EQ(Count(), 3);
  EXPECT_EQ(TableRecNo(kTableTransactions), transaction);  // the check moved nothing

  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(3)), 0);
  EXPECT_EQ(run_record_command(kViewContractors, kRecordDelete, 0), 0);
  EXPECT_EQ(Count(), 2);
  EXPECT_NE(Stored(1).ID, AMOUNT());
  EXPECT_NE(Stored(2).ID, AMOUNT());
  EXPECT_EQ(Stored(3).ID, AMOUNT());
  // Once its transaction is gone the contractor may go too.
  ASSERT_EQ(TableDelete(kTableTransactions), 0);
  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(2)), 0);
  EXPECT_EQ(run_record_command(kViewContractors, kRecordDelete, 0), 0);
  EXPECT_EQ(Count(), 1);
  ExpectSoundTables();
}

TEST_F(ContractorFormTest, ContractorsNeedNoUserRight) {
  // A run with limited rights and no right at all still keeps the contractor file.
  SetAdministratorFlag(0);
  ASSERT_NE(CheckRights(kRightModifyDatabase | kRightModifyGoods, false), 0);
  Type("Alfa");
  Ok();
  ASSERT_EQ(run_record_command(kViewContractors, kRecordAdd, 0), 0);
  Alt('m');
  Type("Kielce");
  Ok();
  ASSERT_EQ(run_record_command(kViewContractors, kRecordEdit, 0), 0);
  EXPECT_STREQ(Stored(1).MIASTO, "Kielce");
  EXPECT_EQ(run_record_command(kViewContractors, kRecordDelete, 0), 0);
  EXPECT_EQ(Count(), 0);
}

TEST_F(ContractorFormTest, FindByNipTakesTheFirstKeyNotBelowTheTypedText) {
  Add(1, "Alfa", "521-000-11-22");
  Add(2, "Beta", "777-111-22-33");
  Add(3, "Gamma", "abc-1");
  ASSERT_EQ(TableSetIndex(kTableContractors, 1), 0);
  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(3)), 0);

  Snapshot();
  Type("777");  // a prefix
  Enter();
  EXPECT_EQ(run_record_command(kViewContractors, kRecordFind1, 0), 0);
  EXPECT_STREQ(Kon.NAZWA, "Beta");
  EXPECT_TRUE(ShotHas(0, "WYSZUKANIE KONTRAHENTA"));
  EXPECT_EQ(TableGetIndex(kTableContractors), 1);  // the active index is given back

  ClearField();
  Type("6");  // no such key: the first one above it
  Enter();
  EXPECT_EQ(FindContractorByNip(), 0);
  EXPECT_STREQ(Kon.NAZWA, "Beta");

  ClearField();
  Type("ABC");  // keys are upper-cased
  Enter();
  EXPECT_EQ(FindContractorByNip(), 0);
  EXPECT_STREQ(Kon.NAZWA, "Gamma");

  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(1)), 0);
  ClearField();
  Type("zzz");  // above every key: the current contractor stays
  Enter();
  EXPECT_EQ(FindContractorByNip(), -1);
  EXPECT_STREQ(Kon.NAZWA, "Alfa");
  Esc();
  EXPECT_EQ(FindContractorByNip(), -1);
  EXPECT_STREQ(Kon.NAZWA, "Alfa");
  EXPECT_EQ(TableGetIndex(kTableContractors), 1);
}

TEST_F(ContractorFormTest, ContractorsAddedThroughTheFormReadTheSameInAnotherDbfReader) {
  if (RunCommand("/usr/bin/python3 -c 'import dbf; print(1)' 2>&1") != "1\n")
    GTEST_SKIP() << "python3-dbf is missing: scripts/deps.sh test installs it";
  Type("Zaklad Lodz");
  Alt('a');
  Type("ul. Zolta 5");
  Alt('i');
  Type("725-000-00-01");
  Ok();
  ASSERT_EQ(contractor_form_edit(kContractorAddEmpty), 0);
  Type("Beta");
  Ok();
  ASSERT_EQ(contractor_form_edit(kContractorAddEmpty), 0);
  ExpectSoundTables();
  CloseDatabase();
  const std::string out = RunCommand(
      "/usr/bin/python3 -c \"import dbf; t = dbf.Table('" + dir.File("Kon.dbf") +
      "', codepage='cp852'); t.open(dbf.READ_ONLY); "
      "[print(int(r.id), r.nazwa.strip(), r.adres.strip(), r.nip.strip(), sep='|') for r in t]\" 2>&1");
  EXPECT_EQ(out, "1|Zaklad Lodz|ul. Zolta 5|725-000-00-01\n2|Beta||\n");
  ASSERT_EQ(OpenDatabase(), 0);
}

}  // namespace
