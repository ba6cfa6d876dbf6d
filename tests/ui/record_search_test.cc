// The text search, its repeat keys and the view search menus over real tables.
#include "ui/record_search.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "business/options.h"
#include "common/codepage.h"
#include "common/text.h"
#include "db/dbtable.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "support/ui_fixture.h"
#include "ui/number_format.h"
#include "ui/record_list.h"

namespace {

class RecordSearchTest : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    con->typeahead = false;
    const char* names[] = {"Kowalski", "Nowak", "Zieliński"_pl, "Adamski"};
    for (int i = 0; i < 4; ++i) AddContractor(i + 1, names[i], "", "Kraków"_pl);
    TableSetIndex(kTableContractors, 1);
    TableFirst(kTableContractors);  // Adamski
  }
  // Fills the dialog: the text, then the three options as wanted, then a button by its letter
  // (p Pierwszy, n Następny, r Poprzedni, o Ostatni).
  void AskFor(const std::string& text, bool match_case, bool whole_words, bool skip_related,
              char button) {
    // Ctrl+Y empties the field; keys come in the screen's code page.
    Play("{Ctrl+Y}" + convert_string(kCodePageWindows, kCodePageLatin2, text));
    const bool was[] = {search_state().match_case, search_state().whole_words,
                        search_state().skip_related};
    const bool want[] = {match_case, whole_words, skip_related};
    for (int i = 0; i < 3; ++i) Play(was[i] != want[i] ? "{Tab}{Space}" : "{Tab}");
    Play(std::string("{Alt+") + button + "}");
  }
};

TEST_F(RecordSearchTest, TheDialogsOptionsReachTheSearch) {
  // Whole words refuse "Kowal" in "Kowalski"; the message, and the record current before.
  AskFor("Kowal", false, true, false, 'p');
  Play("{Snap}{Enter}");
  EXPECT_EQ(text_search(kViewContractors, kTextSearchAsk), -1);
  EXPECT_TRUE(ShotHas(0, "Tekst \"Kowal\" nieznaleziony."));
  EXPECT_STREQ(Kon.NAZWA, "Adamski");
  AskFor("nowak", true, false, false, 'p');  // the case counts when asked
  Play("{Enter}");
  EXPECT_EQ(text_search(kViewContractors, kTextSearchAsk), -1);
  AskFor("ZIELIŃSKI"_pl, false, false, false, 'p');
  EXPECT_EQ(text_search(kViewContractors, kTextSearchAsk), 0);
  EXPECT_STREQ(Kon.NAZWA, "Zieliński"_pl);
  EXPECT_FALSE(search_state().whole_words);
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
  Play("{Snap}{Enter}");
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
  Play("{Esc}");
  EXPECT_EQ(text_search(kViewContractors, kTextSearchAsk), -1);
  EXPECT_STREQ(search_state().text, "");
  const int beeps = con->beeps;
  EXPECT_EQ(search_again(kViewContractors, kSearchForward), -1);
  EXPECT_EQ(con->beeps, beeps + 1);
}

TEST_F(RecordSearchTest, EscDuringTheSearchStopsItWithoutAMessage) {
  con->typeahead = true;
  std::snprintf(search_state().text, sizeof search_state().text, "%s", "nic takiego");
  Play("{Esc}{Snap}{Enter}");  // the question "Przerwać operację?", " &Tak "
  TableLast(kTableContractors);
  TableFirst(kTableContractors);
  EXPECT_EQ(search_again(kViewContractors, kSearchForward), -1);
  EXPECT_TRUE(ShotHas(0, "Przerwać operację?"));
  EXPECT_STREQ(Kon.NAZWA, "Adamski");
  EXPECT_EQ(Row(12).find("nieznaleziony"), std::string::npos);
}

TEST_F(RecordSearchTest, RecordsMatchTheirFieldsAsShownAndTheirRelatedRecordUnlessSkipped) {
  AddGroup(1, "Kwiaty");
  AddGoods(1, "Anturium", "", 1, 7.38, 12);  // 23 %
  AddTransaction(1, 2, 'S', "");             // to Nowak
  std::snprintf(Tra.DOKTRATYP, sizeof Tra.DOKTRATYP, "FV");
  std::snprintf(Tra.DOKTRANR, sizeof Tra.DOKTRANR, "12/2024");
  Tra.DATATRA = DateFromYmd(2024, 3, 5);
  Tra.SUMA = AMOUNT::FromInt(123);
  Tra.VAT = AMOUNT::FromInt(23);
  Tra.PRZTERMIN = AMOUNT::FromInt(14);
  std::snprintf(Tra.UWAGI2, sizeof Tra.UWAGI2, "drugi wiersz");
  ASSERT_EQ(TableUpdate(kTableTransactions), 0);
  TableClear(kTableGroups);  // the group is looked up, not left over
  const std::string stock = format_amount(AMOUNT::FromInt(12), RoundAmount()) + " szt.";
  const struct {
    int view;
    std::string text;
    bool skip_related, found;
  } cases[] = {
      {kViewGoods, stock, true, true},
      {kViewGoods, "6,00 zł"_pl, true, true},  // the net price of 7,38 at 23 %
      {kViewGoods, "23 %", true, true},
      {kViewGoods, "towar handlowy", true, true},
      {kViewGoods, "Kwiaty", true, false},
      {kViewGoods, "Kwiaty", false, true},
      {kViewTransactions, "rozchód"_pl, true, true},
      {kViewTransactions, "05.03.2024", true, true},
      {kViewTransactions, "Faktura VAT", true, true},
      {kViewTransactions, "FV 12/2024", true, true},
      {kViewTransactions, "100,00 zł"_pl, true, true},  // net
      {kViewTransactions, "14 dni", true, true},
      {kViewTransactions, "drugi", false, false},  // the second remark line is not searched
      {kViewTransactions, "Nowak", true, false},
      {kViewTransactions, "Nowak", false, true}};
  for (const auto& c : cases)
    EXPECT_EQ(record_matches(c.view, c.text.c_str(), false, false, c.skip_related), c.found)
        << c.text;
}

TEST_F(RecordSearchTest, TheListSearchesThroughItsMenuAndFillsFromTheFoundRecord) {
  // In the contractor list: F7, the menu's " &Tekstu ", then the dialog.
  Play("{F7}{Snap}t");
  AskFor("Nowak", false, false, false, 'p');
  Play("{Snap}{Shift+F7}{Enter}{Enter}");  // no further Nowak
  EXPECT_EQ(record_list(kViewContractors), 0);
  EXPECT_STREQ(Kon.NAZWA, "Nowak");
  EXPECT_NE(Shot(0).find("WYSZUKANIE KONTRAHENTA"), std::string::npos);
  EXPECT_EQ(ShotCols(1, 6, 8, 5), "Nowak");  // on the top row of the list
  EXPECT_EQ(search_state().menu_choice[kViewContractors], 1);
  // The NIP search belongs to the contractor forms; until they register it the list says so.
  Play("{F7}n{Snap}{Enter}{Esc}");
  EXPECT_EQ(record_list(kViewContractors), -1);
  EXPECT_TRUE(ShotHas(2, "Funkcja w tym miejscu nieobsługiwana."));
}

}  // namespace
