// The record list over real tables in a temporary data directory, driven by keys.
#include "ui/record_list.h"

#include <cstdio>
#include <string>
#include <vector>

#include "business/options.h"
#include "common/text.h"
#include "db/dbtable.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "platform/cfile.h"
#include "support/ui_fixture.h"
#include "ui/number_format.h"

namespace {

class RecordListTest : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    con->typeahead = false;
  }
  // The text of list row r (0..9) of a list frame of width w, from snapshot i.
  std::string ListRow(size_t shot, int w, int r) {
    return ShotCols(shot, 6 + r, (80 - w) / 2 + 3, w - 6);
  }
  std::string Item(size_t shot, int w, int r) { return Trim(ListRow(shot, w, r)); }
  // Groups G01..Gnn, listed by name from the first.
  static void AddNumberedGroups(int n) {
    for (int i = 1; i <= n; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "G%02d", i);
      AddGroup(i, name);
    }
    TableSetIndex(kTableGroups, 1);
    TableFirst(kTableGroups);
  }
  // The search field (row 14 of the frame) under column x of a frame of width w.
  std::string SearchText(size_t shot, int w, int x) {
    return ShotCols(shot, 3 + 14, (80 - w) / 2 + x, 3);
  }
};

TEST_F(RecordListTest, RowsScrollAndPageAtTheEnds) {
  AddGroup(1, "Kwiaty");
  AddGroup(2, "Alkohole");
  AddGroup(3, "Inne");
  TableSetIndex(kTableGroups, 1);
  TableFirst(kTableGroups);
  Play("{Snap}{Down}{Down}{Down}{Snap}{Enter}");  // the third Down is on the last record
  EXPECT_EQ(record_list(kViewGroups), 0);
  EXPECT_STREQ(Gto.NAZWA, "Kwiaty");
  EXPECT_EQ(Item(0, 54, 0) + Item(0, 54, 1) + Item(0, 54, 2) + Item(0, 54, 3),
            "AlkoholeInneKwiaty");
  // The highlight (focused field colours) sits on the third row.
  EXPECT_NE(ShotAttr(1, 16, 8), ShotAttr(1, 16, 7));
  EXPECT_EQ(ShotAttr(1, 16, 6), ShotAttr(1, 16, 7));
  ExpectGolden("record_list_groups.txt", Shot(1));
  EXPECT_EQ(Trim(Row(8)), "");  // the screen under the list is back

  ASSERT_EQ(TableZap(kTableGroups), 0);
  AddNumberedGroups(25);
  // PgDn makes the last row the top, PgUp shows the nine before; Shift+PgDn stops at the last;
  // G01 -> G10 -> G19 -> G25; the tenth Down scrolls by one and ten Ups come back.
  Play(
      "{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{PgDn}{Snap}{PgUp}{Snap}"
      "{Shift+PgDn}{Snap}{Home}{PgDn}{PgDn}{PgDn}{Snap}{Home}");
  for (int i = 0; i < 10; ++i) Play("{Down}");
  Play("{Snap}");
  for (int i = 0; i < 10; ++i) Play("{Up}");
  Play("{Snap}{End}{Enter}");
  EXPECT_EQ(record_list(kViewGroups), 0);
  EXPECT_STREQ(Gto.NAZWA, "G25");
  const char* want[][2] = {{"G10", "G19"}, {"G01", "G10"}, {"G25", ""},
                           {"G25", ""},    {"G02", "G11"}, {"G01", "G10"}};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(Item(2 + i, 54, 0), want[i][0]) << i;
    EXPECT_EQ(Item(2 + i, 54, 9), want[i][1]) << i;
  }
}

TEST_F(RecordListTest, QuickSearchJumpsByPrefixInAnyCaseAndOtherKeysEmptyIt) {
  const char* names[] = {"Zenon", "Kowal", "alfa", "kolos", "Kasia", "Nowak"};
  for (int i = 0; i < 6; ++i) AddContractor(i + 1, names[i]);
  TableSetIndex(kTableContractors, 1);
  TableFirst(kTableContractors);
  // "ko" shows kolos on top; "x" matches nothing and changes nothing; "w" reaches Kowal;
  // Backspace takes the letter off and leaves the list; Up empties the text.
  Play("ko{Snap}x{Snap}w{Snap}{Backspace}{Snap}{Up}{Snap}{Enter}");
  EXPECT_EQ(record_list(kViewContractors), 0);
  EXPECT_STREQ(Kon.NAZWA, "kolos");
  EXPECT_EQ(Item(0, 70, 0).substr(0, 5), "kolos");
  EXPECT_EQ(SearchText(0, 70, 3), "ko ");
  EXPECT_EQ(ShotAt(0).caret_x, (80 - 70) / 2 + 3 + 2);
  EXPECT_EQ(Shot(1), Shot(0));
  EXPECT_EQ(Item(2, 70, 0).substr(0, 5), "Kowal");
  EXPECT_EQ(SearchText(2, 70, 3), "kow");
  EXPECT_EQ(SearchText(3, 70, 3), "ko ");
  EXPECT_EQ(Item(3, 70, 0).substr(0, 5), "Kowal");
  EXPECT_EQ(SearchText(4, 70, 3), "   ");
}

TEST_F(RecordListTest, OrderButtonMovesTheSearchFieldUnderTheNumberAndSortsByIt) {
  AddGroup(1, "Kwiaty");
  AddGoods(1, "Anturium", "K3", 1, 7.38, 5);
  AddGoods(2, "Begonia", "K1", 1, 4.92, 0);
  AddGoods(3, "Cynia", "K2", 1, 3.69, 2.5);
  TableSetIndex(kTableGoods, 1);
  TableFirst(kTableGoods);
  // " &Kolejność ": the page is filled from Anturium, the last by number; Home; "k2".
  Play("{Snap}{Alt+k}{Snap}{Home}{Snap}k2{Snap}{Enter}");
  EXPECT_EQ(record_list(kViewGoods), 0);
  EXPECT_STREQ(Tow.NAZWA, "Cynia");
  EXPECT_EQ(view_order(kViewGoods), 3);
  EXPECT_EQ(TableGetIndex(kTableGoods), 3);
  const int x = (80 - 72) / 2;
  EXPECT_EQ(ShotAt(0).caret_x, x + 3);   // under the name
  EXPECT_EQ(ShotAt(1).caret_x, x + 34);  // under "Nr"
  EXPECT_EQ(Item(1, 72, 1), "");
  EXPECT_EQ(ShotCols(3, 3 + 14, x + 34, 3), "k2 ");
  EXPECT_EQ(Item(3, 72, 0).substr(0, 5), "Cynia");
  // Columns: number, stock with the quantity decimals, gross price.
  const std::string stock = format_amount(AMOUNT::FromInt(5), RoundAmount());
  EXPECT_EQ(Trim(ListRow(0, 72, 0).substr(31, 35)),
            "K3" + std::string(22 - stock.size(), ' ') + stock + "       7,38");
  ExpectGolden("record_list_goods.txt", Shot(2));
}

TEST_F(RecordListTest, EscAndCtrlF4ReturnToTheRecordCurrentBefore) {
  const char* names[] = {"Ala", "Bela", "Cela", "Dela"};
  for (int i = 0; i < 4; ++i) AddContractor(i + 1, names[i]);
  TableSetIndex(kTableContractors, 0);
  TableFirst(kTableContractors);
  TableNext(kTableContractors);
  TableNext(kTableContractors);
  const long before = TableRecNo(kTableContractors);
  for (const char* keys : {"{Down}{End}{Up}{Esc}", "{Home}{Ctrl+F4}"}) {
    Play(keys);
    EXPECT_EQ(record_list(kViewContractors), -1);
    EXPECT_EQ(TableRecNo(kTableContractors), before);
    EXPECT_STREQ(Kon.NAZWA, "Cela");
    EXPECT_EQ(TableGetIndex(kTableContractors), 0);
  }
}

TEST_F(RecordListTest, TransactionsShowTheirDocumentAndContractor) {
  AddContractor(1, "Hurtownia Kwiat-Pol", "1", "Gdańsk"_pl);
  AddContractor(2, "Sklep", "2", "Kraków"_pl);
  struct {
    int day;
    char kind;
    const char *mag, *magnr, *tra, *tranr;
    int kon;
    double sum;
  } rows[] = {{3, 'D', "PZ", "1/2024", "FV", "77/2024", 1, 1234.5},
              {4, 'S', "WZ", "1/2024", "", "", 2, 12.3},
              {5, 'S', "WZ", "2/2024", "PA", "5", 9, 0}};
  int id = 0;
  for (auto& r : rows) {
    TableClear(kTableTransactions);
    Tra.ID = AMOUNT::FromInt(++id);
    Tra.DATATRA = Tra.DATAMAG = DateFromYmd(2024, 3, r.day);
    Tra.RODZAJ[0] = r.kind;
    std::snprintf(Tra.DOKMAGTYP, sizeof Tra.DOKMAGTYP, "%s", r.mag);
    std::snprintf(Tra.DOKMAGNR, sizeof Tra.DOKMAGNR, "%s", r.magnr);
    std::snprintf(Tra.DOKTRATYP, sizeof Tra.DOKTRATYP, "%s", r.tra);
    std::snprintf(Tra.DOKTRANR, sizeof Tra.DOKTRANR, "%s", r.tranr);
    Tra.KONID = AMOUNT::FromInt(r.kon);
    Tra.SUMA = AMOUNT::FromDouble(r.sum);
    ASSERT_EQ(TableAppend(kTableTransactions), 0);
  }
  TableSetIndex(kTableTransactions, 1);
  TableFirst(kTableTransactions);
  Play("{Snap}{Down}{Snap}{Enter}");
  EXPECT_EQ(record_list(kViewTransactions), 0);
  EXPECT_STREQ(Kon.NAZWA, "Sklep");  // the chosen transaction's contractor is current beside it
  // The status line carries the current transaction's contractor; a missing contractor shows
  // an empty name on the third row, not the one read for the row above.
  EXPECT_EQ(Trim(ShotRow(0, 24)), "Hurtownia Kwiat-Pol" + std::string(20, ' ') + "│Gdańsk");
  ExpectGolden("record_list_transactions.txt", Shot(1));
}

TEST_F(RecordListTest, AnEmptyListShowsNoRowAndNoStatusEvenOverLoadedRecords) {
  // The parent company sits in the contractor structure, as the main screen loaded it.
  AddContractor(1, "Moja firma", "", "Kraków"_pl);
  Play("{Snap}a{F2}{Down}{Snap}{Enter}");  // " &Ok " chose nothing
  EXPECT_EQ(record_list(kViewTransactions), -1);
  EXPECT_EQ(Shot(1), Shot(0));
  for (int r = 0; r < 10; ++r) EXPECT_EQ(Item(0, 76, r), "") << r;
  EXPECT_EQ(Trim(ShotRow(0, 24)), "");
  // No row is highlighted; " &Edycja " and " &Usunięcie " are greyed.
  const int x = (80 - 76) / 2 + 3;
  EXPECT_EQ(ShotAttr(0, x, 6), ShotAttr(0, x, 7));
  const int bx = (80 - 76) / 2 + (76 - 47) / 2;
  EXPECT_NE(ShotAttr(0, bx + 15 + 2, 3 + 16), ShotAttr(0, bx + 5 + 2, 3 + 16));
  EXPECT_EQ(ShotAttr(0, bx + 24 + 2, 3 + 16), ShotAttr(0, bx + 15 + 2, 3 + 16));
}

int g_edits = 0;
int g_deletes = 0;
int CountEdit(int, int) {
  ++g_edits;
  std::snprintf(Gto.NAZWA, sizeof Gto.NAZWA, "Zmieniona");
  return TableUpdate(kTableGroups);
}
int DeleteGroup(int, int) {
  ++g_deletes;
  return TableDelete(kTableGroups);
}

TEST_F(RecordListTest, RecordCommandsRunThroughTheFormsOrSayTheyAreNotThere) {
  AddGroup(1, "Alfa");
  AddGroup(2, "Beta");
  TableSetIndex(kTableGroups, 1);
  TableFirst(kTableGroups);
  Play("{F2}{Snap}{Enter}{Ctrl+F4}");  // nothing registered yet
  EXPECT_EQ(record_list(kViewGroups), -1);
  EXPECT_TRUE(ShotHas(0, "Funkcja w tym miejscu nieobsługiwana."));
  g_edits = g_deletes = 0;
  set_record_command(kViewGroups, kRecordEdit, CountEdit);
  set_record_command(kViewGroups, kRecordDelete, DeleteGroup);
  TableFirst(kTableGroups);
  // " &Edycja "; Del asked with " &Nie " as the default, then " &Tak ".
  Play("{Alt+e}{Snap}{Del}{Snap}{Enter}{Del}{Alt+t}{Enter}");
  EXPECT_EQ(record_list(kViewGroups), 0);
  EXPECT_EQ(g_edits, 1);
  EXPECT_EQ(g_deletes, 1);
  EXPECT_EQ(Item(1, 54, 0), "Zmieniona");  // the page was filled from the edited record
  EXPECT_TRUE(ShotHas(2, "Usunąć ten rekord?"));
  EXPECT_EQ(TableCount(kTableGroups), 1);
  EXPECT_STREQ(Gto.NAZWA, "Beta");
}

TEST_F(RecordListTest, ATableNotOpenOrHeldByAnotherWorkstationKeepsTheListShut) {
  EXPECT_EQ(record_list(7), -1);
  CloseDatabase();
  EXPECT_EQ(record_list(kViewGoods), -1);
  SetNetworkFlag(true);
  ASSERT_EQ(OpenDatabase(), 0);
  AddGroup(1, "Alfa");
  // Another workstation writes the groups table: its header region is locked exclusively.
  CFILE other;
  ASSERT_EQ(other.Open("Gto.dbf", kOpenExisting, kAccessReadWrite, kShareReadWrite), 0);
  ASSERT_EQ(other.Lock(0, 32 * 5 + 33, true), 0);
  EXPECT_EQ(record_list(kViewGroups), -1);
  EXPECT_EQ(con->screen_text().find_first_not_of(" \n"), std::string::npos);  // nothing drawn
  other.Close();
  Play("{Enter}");
  EXPECT_EQ(record_list(kViewGroups), 0);
  EXPECT_STREQ(Gto.NAZWA, "Alfa");
}

}  // namespace
