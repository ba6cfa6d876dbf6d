// The text search, its repeat keys and the view search menus over real tables.
#include "ui/record_search.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "business/options.h"
#include "common/text.h"
#include "db/dbtable.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "ui/number_format.h"
#include "common/codepage.h"
#include "ui/record_list.h"
#include "record_testing.h"

namespace {

std::string U(const char* cp1250) { return Cp1250ToUtf8(cp1250); }

class RecordSearchTest : public RecordTest {
 protected:
  void SetUp() override {
    RecordTest::SetUp();
    ResetBusinessOptions();
    for (const char* n : {"Kowalski", "Nowak", "Zieliński"_pl, "Adamski"}) {
      const AMOUNT id = NextRecordId(kTableContractors);
      TableClear(kTableContractors);
      Kon.ID = id;
      std::snprintf(Kon.NAZWA, sizeof Kon.NAZWA, "%s", n);
      std::snprintf(Kon.MIASTO, sizeof Kon.MIASTO, "%s", "Kraków"_pl);
      ASSERT_EQ(TableAppend(kTableContractors), 0);
    }
    TableSetIndex(kTableContractors, 1);
    TableFirst(kTableContractors);  // Adamski
  }
  // Fills the dialog: the text, then the three options as wanted, then a button by its letter
  // (p Pierwszy, n Następny, r Poprzedni, o Ostatni).
  void AskFor(const std::string& text, bool match_case, bool whole_words, bool skip_related,
              char button) {
    Ctrl(25);  // Ctrl+Y empties the field
    Type(convert_string(kCodePageWindows, kCodePageLatin2, text));  // keys come in the screen's
    const bool was[] = {search_state().match_case, search_state().whole_words,
                        search_state().skip_related};
    const bool want[] = {match_case, whole_words, skip_related};
    for (int i = 0; i < 3; ++i) {
      Tab();
      if (was[i] != want[i]) Space();
    }
    Alt(button);
  }

};

TEST_F(RecordSearchTest, WholeWordsRefuseAWordInsideALongerOne) {
  AskFor("Kowal", false, true, false, 'p');
  Snapshot();  // the message
  Enter();
  EXPECT_EQ(text_search(kViewContractors, kTextSearchAsk), -1);
  EXPECT_NE(Shot(0).find("Tekst \"Kowal\" nieznaleziony."), std::string::npos);
  EXPECT_STREQ(Kon.NAZWA, "Adamski");  // the record current before

  AskFor("Kowal", false, false, false, 'p');
  EXPECT_EQ(text_search(kViewContractors, kTextSearchAsk), 0);
  EXPECT_STREQ(Kon.NAZWA, "Kowalski");
  EXPECT_STREQ(search_state().text, "Kowal");
  EXPECT_FALSE(search_state().whole_words);
}

TEST_F(RecordSearchTest, CaseCountsOnlyWhenAsked) {
  AskFor("nowak", true, false, false, 'p');
  Enter();  // not found
  EXPECT_EQ(text_search(kViewContractors, kTextSearchAsk), -1);
  AskFor("nowak", false, false, false, 'p');
  EXPECT_EQ(text_search(kViewContractors, kTextSearchAsk), 0);
  EXPECT_STREQ(Kon.NAZWA, "Nowak");
  // Polish letters fold too.
  AskFor("ZIELIŃSKI"_pl, false, false, false, 'p');
  EXPECT_EQ(text_search(kViewContractors, kTextSearchAsk), 0);
  EXPECT_STREQ(Kon.NAZWA, "Zieliński"_pl);
}

TEST_F(RecordSearchTest, ButtonsChooseStartAndWayAndRepeatKeysGoOn) {
  // Every contractor lives in Kraków: the start and way decide which is found.
  AskFor("Kraków"_pl, false, true, false, 'o');  // from the last backwards
  EXPECT_EQ(text_search(kViewContractors, kTextSearchAsk), 0);
  EXPECT_STREQ(Kon.NAZWA, "Zieliński"_pl);
  EXPECT_EQ(search_again(kViewContractors, kSearchBackward), 0);
  EXPECT_STREQ(Kon.NAZWA, "Nowak");
  EXPECT_EQ(search_again(kViewContractors, kSearchForward), 0);
  EXPECT_STREQ(Kon.NAZWA, "Zieliński"_pl);
  // Past the end: the message, and the record stays.
  Snapshot();
  Enter();
  EXPECT_EQ(search_again(kViewContractors, kSearchForward), -1);
  EXPECT_STREQ(Kon.NAZWA, "Zieliński"_pl);
  EXPECT_NE(Shot(0).find("nieznaleziony."), std::string::npos);
  AskFor("Kraków"_pl, false, true, false, 'r');  // from the previous record backwards
  EXPECT_EQ(text_search(kViewContractors, kTextSearchAsk), 0);
  EXPECT_STREQ(Kon.NAZWA, "Nowak");
  AskFor("Kraków"_pl, false, true, false, 'n');
  EXPECT_EQ(text_search(kViewContractors, kTextSearchAsk), 0);
  EXPECT_STREQ(Kon.NAZWA, "Zieliński"_pl);
}

TEST_F(RecordSearchTest, EmptyTextBeepsAndEscCancels) {
  Esc();
  EXPECT_EQ(text_search(kViewContractors, kTextSearchAsk), -1);
  EXPECT_STREQ(search_state().text, "");
  const int beeps = rc->beeps;
  EXPECT_EQ(search_again(kViewContractors, kSearchForward), -1);
  EXPECT_EQ(rc->beeps, beeps + 1);
}

TEST_F(RecordSearchTest, EscDuringTheSearchStopsItWithoutAMessage) {
  rc->typeahead = true;
  std::snprintf(search_state().text, sizeof search_state().text, "%s", "nic takiego");
  Esc();
  Snapshot();  // the question "Przerwać operację?"
  Enter();     // " &Tak "
  TableLast(kTableContractors);
  TableFirst(kTableContractors);
  EXPECT_EQ(search_again(kViewContractors, kSearchForward), -1);
  EXPECT_NE(Shot(0).find(U("Przerwać operację?"_pl)), std::string::npos);
  EXPECT_STREQ(Kon.NAZWA, "Adamski");
  EXPECT_EQ(Row(12).find("nieznaleziony"), std::string::npos);
}

TEST_F(RecordSearchTest, GoodsMatchTheirNumbersAndUnitsAndTheirGroupUnlessSkipped) {
  TableClear(kTableGroups);
  Gto.ID = AMOUNT::FromInt(1);
  std::snprintf(Gto.NAZWA, sizeof Gto.NAZWA, "Kwiaty");
  ASSERT_EQ(TableAppend(kTableGroups), 0);
  TableClear(kTableGoods);
  Tow.ID = AMOUNT::FromInt(1);
  std::snprintf(Tow.NAZWA, sizeof Tow.NAZWA, "Anturium");
  std::snprintf(Tow.JMIARY, sizeof Tow.JMIARY, "szt.");
  Tow.RODZAJ[0] = 'T';
  Tow.STAN = AMOUNT::FromInt(12);
  Tow.CENA = AMOUNT::FromDouble(7.38);
  Tow.VATID = AMOUNT::FromInt(12);  // 23 %
  Tow.GTOID = AMOUNT::FromInt(1);
  ASSERT_EQ(TableAppend(kTableGoods), 0);
  TableClear(kTableGroups);
  const std::string stock = format_amount(AMOUNT::FromInt(12), RoundAmount()) + " szt.";
  EXPECT_TRUE(record_matches(kViewGoods, stock.c_str(), true, true, true));
  EXPECT_TRUE(record_matches(kViewGoods, "6,00 zł"_pl, true, true, true));  // net of 7,38 at 23 %
  EXPECT_TRUE(record_matches(kViewGoods, "23 %", true, true, true));
  EXPECT_TRUE(record_matches(kViewGoods, "towar handlowy", true, true, true));
  EXPECT_FALSE(record_matches(kViewGoods, "Kwiaty", false, false, true));
  EXPECT_TRUE(record_matches(kViewGoods, "Kwiaty", false, false, false));
  EXPECT_STREQ(Gto.NAZWA, "Kwiaty");
}

TEST_F(RecordSearchTest, TransactionsMatchTheirDocumentsSumsAndContractor) {
  TableClear(kTableTransactions);
  Tra.ID = AMOUNT::FromInt(1);
  Tra.RODZAJ[0] = 'S';
  Tra.DATATRA = DateFromYmd(2024, 3, 5);
  std::snprintf(Tra.DOKTRATYP, sizeof Tra.DOKTRATYP, "FV");
  std::snprintf(Tra.DOKTRANR, sizeof Tra.DOKTRANR, "12/2024");
  Tra.SUMA = AMOUNT::FromDouble(123);
  Tra.VAT = AMOUNT::FromDouble(23);
  Tra.PRZTERMIN = AMOUNT::FromInt(14);
  Tra.KONID = AMOUNT::FromInt(2);  // Nowak
  std::snprintf(Tra.UWAGI2, sizeof Tra.UWAGI2, "drugi wiersz");
  ASSERT_EQ(TableAppend(kTableTransactions), 0);
  EXPECT_TRUE(record_matches(kViewTransactions, "rozchód"_pl, true, true, true));
  EXPECT_TRUE(record_matches(kViewTransactions, "05.03.2024", true, true, true));
  EXPECT_TRUE(record_matches(kViewTransactions, "Faktura VAT", true, true, true));
  EXPECT_TRUE(record_matches(kViewTransactions, "FV 12/2024", true, true, true));
  EXPECT_TRUE(record_matches(kViewTransactions, "100,00 zł"_pl, true, true, true));
  EXPECT_TRUE(record_matches(kViewTransactions, "14 dni", true, true, true));
  EXPECT_FALSE(record_matches(kViewTransactions, "drugi", false, false, false));
  EXPECT_FALSE(record_matches(kViewTransactions, "Nowak", false, false, true));
  EXPECT_TRUE(record_matches(kViewTransactions, "Nowak", false, false, false));
}

TEST_F(RecordSearchTest, TheListSearchesThroughItsMenuAndFillsFromTheFoundRecord) {
  // In the contractor list: F7, the menu's " &Tekstu ", then the dialog.
  Scan(kScanF7);
  Snapshot();
  Key('t');
  AskFor("Nowak", false, false, false, 'p');
  Snapshot();
  Scan(kScanF7, kShiftShift);  // no further Nowak
  Enter();
  Enter();
  EXPECT_EQ(record_list(kViewContractors), 0);
  EXPECT_STREQ(Kon.NAZWA, "Nowak");
  EXPECT_NE(Shot(0).find("WYSZUKANIE KONTRAHENTA"), std::string::npos);
  EXPECT_EQ(ShotCols(1, 6, 8, 5), "Nowak");  // on the top row of the list
  EXPECT_EQ(search_state().menu_choice[kViewContractors], 1);
  // The NIP search belongs to the contractor forms; until they register it the list says so.
  Scan(kScanF7);
  Key('n');
  Snapshot();
  Enter();
  Esc();
  EXPECT_EQ(record_list(kViewContractors), -1);
  EXPECT_NE(Shot(2).find(U("Funkcja w tym miejscu nieobsługiwana."_pl)), std::string::npos);
}

TEST_F(RecordSearchTest, GroupsGoStraightToTheTextDialog) {
  Snapshot();
  Esc();
  EXPECT_EQ(record_search(kViewGroups), -1);  // no current record: the dialog's search fails
  EXPECT_NE(Shot(0).find("WYSZUKANIE TEKSTU"), std::string::npos);
  EXPECT_NE(Shot(0).find(U("Znajdź tylko całe wyrazy"_pl)), std::string::npos);
}

}  // namespace
