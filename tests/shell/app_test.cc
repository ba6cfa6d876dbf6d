#include "shell/app.h"

#include <sys/stat.h>

#include "run_fixture.h"
#include "shell/main_menu.h"

namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

TEST_F(ShellTest, FirstStartCreatesTheFilesOffersTheDemonstrationAndShowsTheFourViews) {
  // The question about the missing files (0), " &Tak ", "Wprowadź dane własnej firmy...", the
  // own firm's form left ("Moja firma"); the demonstration database question (1); transactions
  // on the last record (2); the four views (3..6); "Koniec programu?" (7) and " &Nie " back to
  // the loop (8); " &Tak ".
  Play(
      "{Snap}{Enter}{Enter}{Esc}{Enter}{Snap}{Enter}{Snap}1{Snap}2{Snap}3{Snap}4{Snap}"
      "{Esc}{Snap}n{Snap}{Esc}{Enter}");
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(ShotShows(0, {"Brak danych w bieżącym katalogu:", "Utworzyć nowe pliki?"}));
  EXPECT_TRUE(ShotHas(1, "Utworzyć przykładową bazę danych?"));
  // The last transaction: the sale of the demonstration, WZ 1 with FV 1.
  EXPECT_TRUE(ShotShows(2, {"Dowód wydania zewnętrznego", "Faktura VAT"}));
  EXPECT_EQ(ShotRow(2, 24).substr(0, 10), " F1 Pomoc ");
  // Each view on its first record by name; goods with the group by its identifier.
  const char* views[] = {"Alkohole", "Kwiaty", "Dostawca alkoholi", "rozchód"};
  for (int v = 0; v < 4; ++v) EXPECT_TRUE(ShotHas(3 + v, views[v])) << v;
  EXPECT_TRUE(ShotHas(7, "Koniec programu?"));
  EXPECT_FALSE(ShotHas(8, "Koniec programu?"));
  // The run ended in order: tables closed, directory given back, files whole.
  for (int t = 0; t < kTableCount; ++t) EXPECT_FALSE(TableIsOpen(t));
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(std::string(cwd), start_dir);
  for (const char* f : {"Gto", "Tow", "Kon", "Tra", "Poz"})
    EXPECT_TRUE(Exists(data + "/" + f + ".inx")) << f;
  InData([] { ExpectTablesSound(); });
}

TEST_F(ShellTest, DecliningToCreateTheFilesEndsTheStartWithoutFiles) {
  Play("n");
  EXPECT_EQ(Run(), -1);
  EXPECT_FALSE(Exists(data + "/Gto.dbf"));
  EXPECT_FALSE(Exists(data + "/Gto.inx"));
}

TEST_F(ShellTest, MenuItemsFollowTheTablesAndTheView) {
  // Empty tables: the own firm's form left, no demonstration; F2 and Del do nothing; Alt+F4
  // ends at once.
  Play("{Enter}{Enter}{Esc}{Enter}n{F2}{Del}{Snap}{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_FALSE(ShotHas(0, "Funkcja w tym miejscu"));
  EXPECT_FALSE(ShotHas(0, "Usunąć ten rekord?"));
  EXPECT_TRUE(menu_item_marked(kBarFile, 4));
  for (int item : {2, 3}) EXPECT_TRUE(menu_item_disabled(kBarRecord, item)) << item;
  for (int item : {1, 2, 3, 4, 6, 8, 9, 10})
    EXPECT_TRUE(menu_item_disabled(kBarSearch, item)) << item;
  for (int item : {3, 4, 5}) EXPECT_TRUE(menu_item_disabled(kBarTools, item)) << item;
  // Filled tables enable them; the goods view is marked.
  Restart();
  InData([] { ASSERT_EQ(CreateDemoDatabase(), 0); });
  Play("2{Ctrl+F4}");  // the window's close button
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(menu_item_marked(kBarFile, 2));
  EXPECT_FALSE(menu_item_marked(kBarFile, 4));
  for (int item : {2, 3}) EXPECT_FALSE(menu_item_disabled(kBarRecord, item));
  for (int item : {1, 4, 6, 8}) EXPECT_FALSE(menu_item_disabled(kBarSearch, item));
  for (int item : {3, 4, 5}) EXPECT_FALSE(menu_item_disabled(kBarTools, item));
}

TEST_F(ShellTest, NavigationStopsAtTheEndsOfFiftyRecords) {
  MakeDatabase([] {
    for (int k = 1; k <= 50; ++k)
      AddGroup(k, ("Grupa " + std::to_string(100 + k).substr(1)).c_str());
  });
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
  for (size_t i = 0; i < std::size(steps); ++i) EXPECT_TRUE(ShotHas(i, steps[i].shown)) << i;
}

TEST_F(ShellTest, MenuKeyHelpAndCommandsStillToCome) {
  MakeDemoDatabase();
  // The seven pull-downs (0..6); " Wy&szukanie... " opens the search menu of transactions (7);
  // F1 (8), I (9), C (10, the price calculation of the current goods), R the reports menu (11),
  // " Archiwizacja bazy danych   &A " (12, its question), Ctrl+B outside the goods view (13); w
  // and W open the list (14, 15).
  Play(
      "{Alt+p}{Snap}{Right}{Snap}{Right}{Snap}{Right}{Snap}{Right}{Snap}{Right}{Snap}{Right}{Snap}"
      "{Esc}{Esc}{Alt+w}s{Snap}{Esc}{F1}{Snap}{Esc}i{Snap}{Enter}c{Snap}{Esc}R{Snap}{Esc}"
      "{Alt+n}a{Snap}{Esc}{Ctrl+B}{Snap}{Enter}w{Snap}{Esc}W{Snap}{Esc}{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  for (int b = 0; b < 7; ++b) EXPECT_NE(Shot(b), Shot(b + 1)) << b;  // each its own pull-down
  EXPECT_TRUE(ShotHas(0, "*Transakcje         4 "));                 // the current view is marked
  EXPECT_TRUE(ShotHas(7, "WYSZUKANIE TRANSAKCJI"));
  EXPECT_TRUE(ShotShows(8, {"POMOC - KLAWISZE SKRÓTU", "[W]        : Lista rekordów"}));
  EXPECT_TRUE(ShotShows(9, {"KOMPUTEROWY PROGRAM HANDLOWY", "Katalog: "}));
  EXPECT_TRUE(ShotHas(10, "KALKULACJA CENY SPRZEDAŻY"));
  EXPECT_TRUE(ShotHas(11, "RAPORTY ZBIORCZE"));
  EXPECT_TRUE(ShotHas(13, "Funkcja w tym miejscu nieobsługiwana."));
  EXPECT_TRUE(ShotHas(12, "Utworzyć archiwum bazy danych"));
  EXPECT_TRUE(ShotHas(14, "Data      Dokument"));
  EXPECT_TRUE(ShotHas(15, "Data      Dokument"));
}

TEST(ShortenPathTest, ShortPathsStayAndLongOnesKeepRootAndTail) {
  EXPECT_EQ(ShortenPath("/home/ala/Tamsu", 31), "/home/ala/Tamsu");
  EXPECT_EQ(ShortenPath("/home/ala/dokumenty/firma/2014/dane/Tamsu", 31),
            "/.../firma/2014/dane/Tamsu");
  EXPECT_EQ(ShortenPath("C:\\Program Files\\Firma\\Dane\\Tamsu\\2014", 31),
            "C:\\...\\Firma\\Dane\\Tamsu\\2014");
}

}  // namespace
