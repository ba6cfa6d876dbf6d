#include "shell/app.h"

#include <sys/stat.h>

#include "business/demo_data.h"
#include "db/table_check.h"
#include "shell/main_menu.h"
#include "shell_testing.h"

void ShellTest::MakeDemoDatabase() {
  MakeDatabase([] { ASSERT_EQ(CreateDemoDatabase(), 0); });
}

namespace {

void AddGroups(int n) {
  for (int k = 1; k <= n; ++k) {
    TableClear(kTableGroups);
    Gto.ID = AMOUNT::FromInt(k);
    std::snprintf(Gto.NAZWA, sizeof Gto.NAZWA, "Grupa %02d", k);
    ASSERT_EQ(TableAppend(kTableGroups), 0);
  }
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

TEST_F(ShellTest, FirstStartCreatesTheFilesOffersTheDemonstrationAndShowsTheFourViews) {
  // The question about the missing files (0), " &Tak ", "Wprowadź dane własnej firmy...", the
  // own firm's form left ("Moja firma"); the demonstration database question (1); transactions
  // on the last record (2); the four views (3..6); "Koniec programu?" (7) and " &Nie " back to
  // the loop (8); " &Tak ".
  Play("{Snap}{Enter}{Enter}{Esc}{Enter}{Snap}{Enter}{Snap}1{Snap}2{Snap}3{Snap}4{Snap}"
       "{Esc}{Snap}n{Snap}{Esc}{Enter}");
  ASSERT_EQ(Run(), 0);

  EXPECT_TRUE(ShotHas(0, "Brak danych w bieżącym katalogu:"));
  EXPECT_TRUE(ShotHas(0, "Utworzyć nowe pliki?"));
  EXPECT_TRUE(ShotHas(1, "Utworzyć przykładową bazę danych?"));
  // The last transaction: the sale of the demonstration, WZ 1 with FV 1.
  EXPECT_TRUE(ShotHas(2, " TRANSAKCJE "));
  EXPECT_TRUE(ShotHas(2, "rozchód"));
  EXPECT_TRUE(ShotHas(2, "Dowód wydania zewnętrznego"));
  EXPECT_TRUE(ShotHas(2, "Faktura VAT"));
  EXPECT_EQ(ShotRow(2, 24).substr(0, 10), " F1 Pomoc ");
  EXPECT_TRUE(ShotHas(2, "Plik  Rekord  Wyszukanie  Dokumenty  Narzędzia  Opcje  Pomoc"));
  // Groups and goods and contractors in name order, each on its first record.
  EXPECT_TRUE(ShotHas(3, " GRUPY TOWARÓW "));
  EXPECT_TRUE(ShotHas(3, "Alkohole"));
  EXPECT_TRUE(ShotHas(4, " TOWARY "));
  EXPECT_TRUE(ShotHas(4, "Anturium"));
  EXPECT_TRUE(ShotHas(4, "Kwiaty"));  // the group by its identifier
  EXPECT_TRUE(ShotHas(4, "7,38 zł"));
  EXPECT_TRUE(ShotHas(4, "6,00 zł"));
  EXPECT_TRUE(ShotHas(4, "produkt własny"));
  EXPECT_TRUE(ShotHas(5, " KONTRAHENCI "));
  EXPECT_TRUE(ShotHas(5, "Dostawca alkoholi"));
  EXPECT_TRUE(ShotHas(6, " TRANSAKCJE "));
  EXPECT_TRUE(ShotHas(7, "Koniec programu?"));
  EXPECT_FALSE(ShotHas(8, "Koniec programu?"));
  EXPECT_TRUE(ShotHas(8, " TRANSAKCJE "));

  // The run ended in order: tables closed, directory given back, files whole.
  for (int t = 0; t < kTableCount; ++t) EXPECT_FALSE(TableIsOpen(t));
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(std::string(cwd), start_dir);
  for (const char* f : {"Gto", "Tow", "Kon", "Tra", "Poz"}) {
    EXPECT_TRUE(Exists(data + "/" + f + ".dbf")) << f;
    EXPECT_TRUE(Exists(data + "/" + f + ".inx")) << f;
  }
}

TEST_F(ShellTest, DecliningToCreateTheFilesEndsTheStartWithoutFiles) {
  Key('n');
  EXPECT_EQ(Run(), -1);
  EXPECT_FALSE(Exists(data + "/Gto.dbf"));
  EXPECT_FALSE(Exists(data + "/Gto.inx"));
}

TEST_F(ShellTest, EmptyTablesGreyTheRecordAndSearchItemsAndF2DoesNothing) {
  // Create the files, leave the own firm's form ("Moja firma"), no demonstration database;
  // Alt+F4 ends at once, no question.
  Play("{Enter}{Enter}{Esc}{Enter}n{F2}{Del}{Snap}{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_FALSE(ShotHas(0, "Funkcja w tym miejscu"));
  EXPECT_FALSE(ShotHas(0, "Usunąć ten rekord?"));
  EXPECT_TRUE(menu_item_marked(kBarFile, 4));
  EXPECT_FALSE(menu_item_marked(kBarFile, 1));
  EXPECT_FALSE(menu_item_disabled(kBarRecord, 1));
  for (int item : {2, 3}) EXPECT_TRUE(menu_item_disabled(kBarRecord, item)) << item;
  for (int item : {1, 2, 3, 4, 6, 8, 9, 10}) EXPECT_TRUE(menu_item_disabled(kBarSearch, item)) << item;
  for (int item : {3, 4, 5}) EXPECT_TRUE(menu_item_disabled(kBarTools, item)) << item;
  EXPECT_FALSE(menu_item_disabled(kBarTools, 1));
}

TEST_F(ShellTest, FilledTablesEnableTheItemsAndTheViewIsMarked) {
  MakeDemoDatabase();
  Play("2{Ctrl+F4}");  // the window's close button
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(menu_item_marked(kBarFile, 2));
  EXPECT_FALSE(menu_item_marked(kBarFile, 4));
  for (int item : {2, 3}) EXPECT_FALSE(menu_item_disabled(kBarRecord, item));
  for (int item : {1, 4, 6, 8}) EXPECT_FALSE(menu_item_disabled(kBarSearch, item));
  for (int item : {3, 4, 5}) EXPECT_FALSE(menu_item_disabled(kBarTools, item));
}

TEST_F(ShellTest, NavigationStopsAtTheEndsOfFiftyRecords) {
  MakeDatabase([] { AddGroups(50); });
  // Each step and the group its snapshot shows: Shift+PgDn stops at the last, Down there stays,
  // PgDn from the last stays, and after the goods view (empty here) and back, 1 again is ignored:
  // the groups keep their current record.
  const struct {
    const char* keys;
    const char* shown;
  } steps[] = {{"1", "Grupa 01"},
               {"{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}", "Grupa 10"},
               {"{Shift+PgDn}", "Grupa 50"},
               {"{Down}", "Grupa 50"},
               {"{PgUp}", "Grupa 40"},
               {"{Up}", "Grupa 39"},
               {"{Home}{Ctrl+PgUp}", "Grupa 01"},
               {"{End}", "Grupa 50"},
               {"{PgDn}", "Grupa 50"},
               {"211", "Grupa 50"}};
  for (const auto& step : steps) Play(std::string(step.keys) + "{Snap}");
  Play("{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  for (size_t i = 0; i < std::size(steps); ++i)
    EXPECT_TRUE(ShotHas(i, steps[i].shown)) << steps[i].keys;
}

TEST_F(ShellTest, MenuShowsAllSevenPullDowns) {
  MakeDemoDatabase();
  // The seven pull-downs (0..6); " Wy&szukanie... " opens the search menu of transactions (7).
  Play("{Alt+p}{Snap}{Right}{Snap}{Right}{Snap}{Right}{Snap}{Right}{Snap}{Right}{Snap}{Right}{Snap}"
       "{Esc}{Esc}{Alt+w}s{Snap}{Esc}{Snap}{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  const char* first_items[7] = {" Grupy towarów      1 ", " Dodanie...   Ins ",
                                " Pierwszy                    Home ",
                                " Dokumenty transakcji...  K ",
                                " Kasa fiskalna...           N ", " Ekran...                    ",
                                " Klawisze skrótu          F1 "};
  const char* last_items[7] = {" Koniec programu  Esc ", " Usunięcie    Del ",
                               " Wyszukanie poprzedniego  Ctrl+F7 ", " Raporty zbiorcze...      R ",
                               " Usunięcie bazy danych...     ", " Firma macierzysta...        ",
                               " Tamsu - informacje...     I "};
  for (int b = 0; b < 7; ++b) {
    EXPECT_TRUE(ShotHas(b, first_items[b])) << b;
    EXPECT_TRUE(ShotHas(b, last_items[b])) << b;
  }
  // The current view is marked in " &Plik ".
  EXPECT_TRUE(ShotHas(0, "*Transakcje         4 "));
  EXPECT_TRUE(ShotHas(7, "WYSZUKANIE TRANSAKCJI"));
  EXPECT_FALSE(ShotHas(8, "WYSZUKANIE TRANSAKCJI"));
}

TEST_F(ShellTest, KeyHelpInformationAndCommandsStillToCome) {
  MakeDemoDatabase();
  // F1 (0), I (1), C (2, the price calculation of the current goods), R (3), " Archiwizacja bazy
  // danych   &A " (4, its question), Ctrl+B outside the goods view (5).
  Play("{F1}{Snap}{Esc}i{Snap}{Enter}c{Snap}{Esc}R{Snap}{Enter}{Alt+n}a{Snap}{Esc}"
       "{Ctrl+B}{Snap}{Enter}{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(ShotHas(0, "POMOC - KLAWISZE SKRÓTU"));
  EXPECT_TRUE(ShotHas(0, "[W]        : Lista rekordów"));
  EXPECT_TRUE(ShotHas(0, "[I]        : Informacje"));
  EXPECT_TRUE(ShotHas(0, " Instrukcja obsługi "));
  EXPECT_TRUE(ShotHas(1, "KOMPUTEROWY PROGRAM HANDLOWY"));
  EXPECT_TRUE(ShotHas(1, "Katalog: "));
  EXPECT_TRUE(ShotHas(1, " Pamięć: "));
  EXPECT_TRUE(ShotHas(2, "KALKULACJA CENY SPRZEDAŻY"));
  for (int s : {3, 5}) EXPECT_TRUE(ShotHas(s, "Funkcja w tym miejscu nieobsługiwana.")) << s;
  EXPECT_TRUE(ShotHas(4, "Utworzyć archiwum bazy danych"));
}

TEST_F(ShellTest, LowerAndUpperCaseWOpenTheRecordList) {
  MakeDemoDatabase();
  Play("w{Snap}{Esc}W{Snap}{Esc}{Snap}{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(ShotHas(0, "Data      Dokument"));
  EXPECT_TRUE(ShotHas(1, "Data      Dokument"));
  EXPECT_FALSE(ShotHas(2, "Data      Dokument"));
}

TEST(ShortenPathTest, ShortPathsStayAndLongOnesKeepRootAndTail) {
  EXPECT_EQ(ShortenPath("/home/ala/Tamsu", 31), "/home/ala/Tamsu");
  const std::string shown = ShortenPath("/home/ala/dokumenty/firma/2014/dane/Tamsu", 31);
  EXPECT_LE(shown.size(), 31u);
  EXPECT_EQ(shown, "/.../firma/2014/dane/Tamsu");
  EXPECT_EQ(ShortenPath("C:\\Program Files\\Firma\\Dane\\Tamsu\\2014", 31), "C:\\...\\Firma\\Dane\\Tamsu\\2014");
}

}  // namespace
