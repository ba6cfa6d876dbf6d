// The record list over real tables in a temporary data directory, driven by keys.
#include "ui/record_list.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/text.h"
#include "db/dbtable.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "business/options.h"
#include "platform/cfile.h"
#include "ui/number_format.h"
#include "ui/record_search.h"
#include "record_testing.h"

namespace {

std::string U(const char* cp1250) { return Cp1250ToUtf8(cp1250); }

class RecordListTest : public RecordTest {
 protected:
  static void AddGroup(const char* name) {
    const AMOUNT id = NextRecordId(kTableGroups);
    TableClear(kTableGroups);
    Gto.ID = id;
    std::snprintf(Gto.NAZWA, sizeof Gto.NAZWA, "%s", name);
    ASSERT_EQ(TableAppend(kTableGroups), 0);
  }
  static void AddContractor(const char* name, const char* nip, const char* town = "") {
    const AMOUNT id = NextRecordId(kTableContractors);
    TableClear(kTableContractors);
    Kon.ID = id;
    std::snprintf(Kon.NAZWA, sizeof Kon.NAZWA, "%s", name);
    std::snprintf(Kon.NIP, sizeof Kon.NIP, "%s", nip);
    std::snprintf(Kon.MIASTO, sizeof Kon.MIASTO, "%s", town);
    ASSERT_EQ(TableAppend(kTableContractors), 0);
  }
  static void AddGoods(const char* name, const char* nr, double stock, double price, int group) {
    const AMOUNT id = NextRecordId(kTableGoods);
    TableClear(kTableGoods);
    Tow.ID = id;
    std::snprintf(Tow.NAZWA, sizeof Tow.NAZWA, "%s", name);
    std::snprintf(Tow.NR, sizeof Tow.NR, "%s", nr);
    std::snprintf(Tow.JMIARY, sizeof Tow.JMIARY, "szt.");
    Tow.RODZAJ[0] = 'T';
    Tow.STAN = AMOUNT::FromDouble(stock);
    Tow.CENA = AMOUNT::FromDouble(price);
    Tow.VATID = AMOUNT::FromInt(12);
    Tow.GTOID = AMOUNT::FromInt(group);
    ASSERT_EQ(TableAppend(kTableGoods), 0);
  }

  // The text of list row r (0..9) of a list frame of width w, from snapshot i.
  std::string ListRow(size_t shot, int w, int r) {
    return ShotCols(shot, 6 + r, (80 - w) / 2 + 3, w - 6);
  }
  // The trimmed texts of list rows from..from+n-1.
  std::vector<std::string> Items(size_t shot, int w, int from, int n) {
    std::vector<std::string> v;
    for (int r = from; r < from + n; ++r) v.push_back(Trim(ListRow(shot, w, r)));
    return v;
  }
  // Groups G01..Gnn, listed by name from the first.
  static void AddNumberedGroups(int n) {
    for (int i = 1; i <= n; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "G%02d", i);
      AddGroup(name);
    }
    TableSetIndex(kTableGroups, 1);
    TableFirst(kTableGroups);
  }
  static std::string Trim(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    return s.substr(i);
  }

};

TEST_F(RecordListTest, ThreeRecordsShowThreeRowsAndDownStopsAtTheLast) {
  AddGroup("Kwiaty");
  AddGroup("Alkohole");
  AddGroup("Inne");
  TableSetIndex(kTableGroups, 1);
  TableFirst(kTableGroups);
  Snapshot();
  Scan(kScanDown);
  Scan(kScanDown);
  Scan(kScanDown);  // on the third and last record: nothing happens
  Snapshot();
  Enter();
  EXPECT_EQ(record_list(kViewGroups), 0);
  EXPECT_STREQ(Gto.NAZWA, "Kwiaty");
  EXPECT_EQ(Items(0, 54, 0, 10),
            (std::vector<std::string>{"Alkohole", "Inne", "Kwiaty", "", "", "", "", "", "", ""}));
  // The highlight (focused field colours) sits on the third row.
  EXPECT_NE(ShotAttr(1, 16, 8), ShotAttr(1, 16, 7));
  EXPECT_EQ(ShotAttr(1, 16, 6), ShotAttr(1, 16, 7));
  ExpectGolden("record_list_groups.txt", Shot(1));
  // The screen under the list is back.
  EXPECT_EQ(Trim(Row(8)), "");
}

TEST_F(RecordListTest, PageDownMakesTheLastRowTheTopAndPageUpShowsTheNineBefore) {
  AddNumberedGroups(25);
  for (int i = 0; i < 9; ++i) Scan(kScanDown);
  Scan(kScanPgDn);
  Snapshot();
  Scan(kScanPgUp);
  Snapshot();
  Scan(kScanPgDn, kShiftShift);  // 100 forward stops at the last record
  Snapshot();
  Scan(kScanHome);
  Snapshot();
  Scan(kScanPgDn);
  Scan(kScanPgDn);
  Scan(kScanPgDn);  // G01 -> G10 -> G19 -> G25 (the last visible row of the third page)
  Snapshot();
  Enter();
  EXPECT_EQ(record_list(kViewGroups), 0);
  EXPECT_STREQ(Gto.NAZWA, "G25");
  // Top and bottom rows of each snapshot.
  const char* want[][2] = {{"G10", "G19"}, {"G01", "G10"}, {"G25", ""}, {"G01", "G10"}, {"G25", ""}};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(Trim(ListRow(i, 54, 0)), want[i][0]) << i;
    EXPECT_EQ(Trim(ListRow(i, 54, 9)), want[i][1]) << i;
  }
  EXPECT_EQ(Trim(ListRow(2, 54, 1)), "");
}

TEST_F(RecordListTest, UpAndDownScrollTheRowsAtTheEdges) {
  AddNumberedGroups(12);
  for (int i = 0; i < 10; ++i) Scan(kScanDown);  // the tenth Down scrolls
  Snapshot();
  for (int i = 0; i < 10; ++i) Scan(kScanUp);  // back to G01 on the top row, scrolling once
  Snapshot();
  Esc();
  EXPECT_EQ(record_list(kViewGroups), -1);
  EXPECT_EQ(Trim(ListRow(0, 54, 0)), "G02");
  EXPECT_EQ(Trim(ListRow(0, 54, 9)), "G11");
  EXPECT_EQ(Trim(ListRow(1, 54, 0)), "G01");
  EXPECT_EQ(Trim(ListRow(1, 54, 9)), "G10");
}

TEST_F(RecordListTest, QuickSearchJumpsByPrefixInAnyCaseAndDropsALetterThatMatchesNothing) {
  AddContractor("Zenon", "111");
  AddContractor("Kowal", "222");
  AddContractor("alfa", "333");
  AddContractor("kolos", "444");
  AddContractor("Kasia", "555");
  TableSetIndex(kTableContractors, 1);
  TableFirst(kTableContractors);
  Type("ko");
  Snapshot();
  Type("x");  // no name starts with "kox"
  Snapshot();
  Type("w");
  Snapshot();
  Backspace();
  Snapshot();
  Enter();
  EXPECT_EQ(record_list(kViewContractors), 0);
  EXPECT_STREQ(Kon.NAZWA, "Kowal");
  // After "ko" the first name starting with Ko is on top.
  EXPECT_EQ(Trim(ListRow(0, 70, 0)).substr(0, 5), "kolos");
  EXPECT_EQ(Trim(ListRow(0, 70, 1)).substr(0, 5), "Kowal");
  // The search field (row 14 of the frame, under the name) shows what was typed.
  const int fx = (80 - 70) / 2 + 3;
  EXPECT_EQ(ShotCols(0, 3 + 14, fx, 3), "ko ");
  EXPECT_EQ(rc->caret_columns[0], fx + 2);
  // The letter that matched nothing changed neither the list nor the text.
  EXPECT_EQ(Shot(1), Shot(0));
  EXPECT_EQ(Trim(ListRow(2, 70, 0)).substr(0, 5), "Kowal");
  EXPECT_EQ(ShotCols(2, 3 + 14, fx, 3), "kow");
  // Backspace takes a letter off the text and leaves the list where it is.
  EXPECT_EQ(ShotCols(3, 3 + 14, fx, 3), "ko ");
  EXPECT_EQ(Trim(ListRow(3, 70, 0)).substr(0, 5), "Kowal");
}

TEST_F(RecordListTest, OtherKeysEmptyTheSearchText) {
  AddContractor("Kowal", "222");
  AddContractor("Nowak", "333");
  TableSetIndex(kTableContractors, 1);
  TableFirst(kTableContractors);
  Type("no");
  Scan(kScanUp);
  Snapshot();
  Type("k");
  Snapshot();
  Esc();
  EXPECT_EQ(record_list(kViewContractors), -1);
  const int fx = (80 - 70) / 2 + 3;
  EXPECT_EQ(ShotCols(0, 3 + 14, fx, 3), "   ");
  EXPECT_EQ(Trim(ListRow(1, 70, 0)).substr(0, 5), "Kowal");
}

TEST_F(RecordListTest, OrderButtonMovesTheSearchFieldUnderTheNumberAndSortsByIt) {
  AddGroup("Kwiaty");
  AddGoods("Anturium", "K3", 5, 7.38, 1);
  AddGoods("Begonia", "K1", 0, 4.92, 1);
  AddGoods("Cynia", "K2", 2.5, 3.69, 1);
  TableSetIndex(kTableGoods, 1);
  TableFirst(kTableGoods);
  Snapshot();
  Alt('k');  // " &Kolejność ": the page is filled from Anturium, the last by number
  Snapshot();
  Scan(kScanHome);
  Snapshot();
  Type("k2");
  Snapshot();
  Enter();
  EXPECT_EQ(record_list(kViewGoods), 0);
  EXPECT_STREQ(Tow.NAZWA, "Cynia");
  EXPECT_EQ(view_order(kViewGoods), 3);
  EXPECT_EQ(TableGetIndex(kTableGoods), 3);
  const int x = (80 - 72) / 2;
  // By name first: the search field's caret under the name column.
  EXPECT_EQ(Trim(ListRow(0, 72, 0)).substr(0, 8), "Anturium");
  EXPECT_EQ(rc->caret_columns[0], x + 3);
  // By number: the caret under "Nr" (column 34 of the frame), the rows in number order.
  EXPECT_EQ(rc->caret_columns[1], x + 34);
  EXPECT_EQ(Trim(ListRow(1, 72, 0)).substr(0, 8), "Anturium");
  EXPECT_EQ(Trim(ListRow(1, 72, 1)), "");
  EXPECT_EQ(Trim(ListRow(2, 72, 0)).substr(0, 7), "Begonia");
  EXPECT_EQ(Trim(ListRow(2, 72, 1)).substr(0, 5), "Cynia");
  EXPECT_EQ(Trim(ListRow(2, 72, 2)).substr(0, 8), "Anturium");
  EXPECT_EQ(ShotCols(1, 4, x + 3, 66).find("Nr"), 36u);
  EXPECT_EQ(ShotCols(3, 3 + 14, x + 34, 3), "k2 ");
  EXPECT_EQ(Trim(ListRow(3, 72, 0)).substr(0, 5), "Cynia");
  // Columns: number, stock with the quantity decimals, gross price.
  const std::string stock = format_amount(AMOUNT::FromInt(5), RoundAmount());
  EXPECT_EQ(Trim(ListRow(0, 72, 0).substr(31, 35)),
            "K3" + std::string(22 - stock.size(), ' ') + stock + "       7,38");
  ExpectGolden("record_list_goods.txt", Shot(2));
}

TEST_F(RecordListTest, EscReturnsToTheRecordCurrentBeforeAndKeepsTheTablesOrder) {
  for (const char* n : {"Ala", "Bela", "Cela", "Dela", "Ela", "Fela"}) AddContractor(n, "1");
  TableSetIndex(kTableContractors, 0);
  TableFirst(kTableContractors);
  TableNext(kTableContractors);
  TableNext(kTableContractors);
  const long before = TableRecNo(kTableContractors);
  Scan(kScanDown);
  Scan(kScanEnd);
  Scan(kScanUp);
  Esc();
  EXPECT_EQ(record_list(kViewContractors), -1);
  EXPECT_EQ(TableRecNo(kTableContractors), before);
  EXPECT_STREQ(Kon.NAZWA, "Cela");
  EXPECT_EQ(TableGetIndex(kTableContractors), 0);
  // Ctrl+F4 closes the same way.
  Scan(kScanHome);
  Scan(kScanF4, kShiftCtrl);
  EXPECT_EQ(record_list(kViewContractors), -1);
  EXPECT_STREQ(Kon.NAZWA, "Cela");
}

TEST_F(RecordListTest, TransactionsShowTheirDocumentAndContractor) {
  AddContractor("Hurtownia Kwiat-Pol", "1", "Gdańsk"_pl);
  AddContractor("Sklep", "2", "Kraków"_pl);
  struct {
    int day;
    char kind;
    const char* mag;
    const char* magnr;
    const char* tra;
    const char* tranr;
    int kon;
    double sum;
  } rows[] = {{3, 'D', "PZ", "1/2024", "FV", "77/2024", 1, 1234.5},
              {4, 'S', "WZ", "1/2024", "", "", 2, 12.3},
              {5, 'S', "WZ", "2/2024", "PA", "5", 9, 0}};
  for (auto& r : rows) {
    const AMOUNT id = NextRecordId(kTableTransactions);
    TableClear(kTableTransactions);
    Tra.ID = id;
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
  Snapshot();
  Scan(kScanDown);
  Snapshot();
  Enter();
  EXPECT_EQ(record_list(kViewTransactions), 0);
  // The chosen transaction's contractor is current beside it.
  EXPECT_STREQ(Kon.NAZWA, "Sklep");
  EXPECT_EQ(ListRow(0, 76, 0),
            "03.03.2024 D FV 77/2024          Hurtownia Kwiat-Pol          1 234,50");
  EXPECT_EQ(ListRow(0, 76, 1),
            "04.03.2024 S WZ 1/2024           Sklep                           12,30");
  // A missing contractor shows an empty name, not the one read for the row above.
  EXPECT_EQ(ListRow(0, 76, 2),
            "05.03.2024 S PA 5                                                     ");
  // The status line carries the current transaction's contractor.
  EXPECT_EQ(Trim(ShotRow(0, 24)), "Hurtownia Kwiat-Pol" + std::string(20, ' ') + "│Gdańsk");
  EXPECT_EQ(ShotRow(1, 24).substr(1, 5), "Sklep");
  ExpectGolden("record_list_transactions.txt", Shot(1));
}

int g_edits = 0;
int g_deletes = 0;
int CountEdit(int view, int) {
  EXPECT_EQ(view, kViewGroups);
  ++g_edits;
  std::snprintf(Gto.NAZWA, sizeof Gto.NAZWA, "Zmieniona");
  return TableUpdate(kTableGroups);
}
int DeleteGroup(int, int) {
  ++g_deletes;
  return TableDelete(kTableGroups);
}

TEST_F(RecordListTest, RecordCommandsRunThroughTheFormsOrSayTheyAreNotThere) {
  AddGroup("Alfa");
  AddGroup("Beta");
  TableSetIndex(kTableGroups, 1);
  TableFirst(kTableGroups);
  Scan(kScanF2);  // nothing registered yet
  Snapshot();
  Enter();
  Scan(kScanF4, kShiftCtrl);
  EXPECT_EQ(record_list(kViewGroups), -1);
  EXPECT_NE(Shot(0).find(U("Funkcja w tym miejscu nieobsługiwana."_pl)), std::string::npos);

  g_edits = g_deletes = 0;
  set_record_command(kViewGroups, kRecordEdit, CountEdit);
  set_record_command(kViewGroups, kRecordDelete, DeleteGroup);
  TableFirst(kTableGroups);
  Alt('e');  // " &Edycja "
  Snapshot();
  Scan(kScanDel);
  Snapshot();
  Enter();  // " &Nie " is the default
  Scan(kScanDel);
  Alt('t');  // " &Tak "
  Snapshot();
  Enter();
  EXPECT_EQ(record_list(kViewGroups), 0);
  EXPECT_EQ(g_edits, 1);
  EXPECT_EQ(g_deletes, 1);
  // The edited record moved in the name order; the page was filled from it.
  EXPECT_EQ(Trim(ListRow(1, 54, 0)), "Zmieniona");
  EXPECT_NE(Shot(2).find(U("Usunąć ten rekord?"_pl)), std::string::npos);
  EXPECT_EQ(TableCount(kTableGroups), 1);
  EXPECT_STREQ(Gto.NAZWA, "Beta");
}

TEST_F(RecordListTest, AnEmptyTableOpensWithEditAndDeleteGreyed) {
  Snapshot();
  Type("a");
  Scan(kScanF2);
  Scan(kScanDown);
  Snapshot();
  Enter();  // " &Ok " chose nothing
  EXPECT_EQ(record_list(kViewContractors), -1);
  EXPECT_EQ(Shot(1), Shot(0));
  for (int r = 0; r < 10; ++r) EXPECT_EQ(Trim(ListRow(0, 70, r)), "");
  // " &Edycja " at bar column 15, the bar of 59 centred on the frame of 70.
  const int bx = (80 - 70) / 2 + (70 - 59) / 2;
  EXPECT_NE(ShotAttr(0, bx + 15 + 2, 3 + 16), ShotAttr(0, bx + 5 + 2, 3 + 16));
  EXPECT_EQ(ShotAttr(0, bx + 24 + 2, 3 + 16), ShotAttr(0, bx + 15 + 2, 3 + 16));
}

TEST_F(RecordListTest, ListOfATableNotOpenDoesNotOpen) {
  CloseDatabase();
  EXPECT_EQ(record_list(kViewGoods), -1);
  EXPECT_EQ(record_list(7), -1);
}

TEST_F(RecordListTest, AnotherWorkstationHoldingTheTablesKeepsTheListShut) {
  CloseDatabase();
  SetNetworkFlag(true);
  ASSERT_EQ(OpenDatabase(), 0);
  AddGroup("Alfa");
  // Another workstation writes the groups table: its header region is locked exclusively.
  CFILE other;
  ASSERT_EQ(other.Open("Gto.dbf", kOpenExisting, kAccessReadWrite, kShareReadWrite), 0);
  ASSERT_EQ(other.Lock(0, 32 * 5 + 33, true), 0);
  EXPECT_EQ(record_list(kViewGroups), -1);
  EXPECT_EQ(rc->screen_text().find_first_not_of(" \n"), std::string::npos);  // nothing drawn
  other.Close();
  Enter();
  EXPECT_EQ(record_list(kViewGroups), 0);
  EXPECT_STREQ(Gto.NAZWA, "Alfa");
  CloseDatabase();
  SetNetworkFlag(false);
}

TEST_F(RecordListTest, KeyHelpShowsTheListKeys) {
  AddGroup("Alfa");
  Scan(kScanF1);
  Snapshot();
  Enter();
  Esc();
  EXPECT_EQ(record_list(kViewGroups), -1);
  const std::string help = Shot(0);
  EXPECT_NE(help.find("POMOC - KLAWISZE SKRÓTU"), std::string::npos);
  EXPECT_NE(help.find("[Ctrl+PgDn]  : 1000 rekordów w dół"), std::string::npos);
  EXPECT_NE(help.find("[Litery]   : Szybkie wyszukanie"), std::string::npos);
  EXPECT_NE(help.find("[Esc]      : Wyjście"), std::string::npos);
}

}  // namespace
