// The maintenance items driven through the menu and key A: a backup restored byte for byte,
// and the database check with "Nie naprawiaj" reporting a fault and changing nothing.
#include <filesystem>

#include "run_fixture.h"

namespace {

const char* const kTableFiles[] = {"Gto.dbf", "Kon.dbf", "Poz.dbf", "Tow.dbf", "Tra.dbf",
                                   "Gto.inx", "Kon.inx", "Poz.inx", "Tow.inx", "Tra.inx"};

class MaintenanceMenuTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    // Queued keys are not typed ahead: the progress windows that poll for Esc leave them to the
    // dialogs that follow.
    con->typeahead = false;
  }
  std::string Files() {
    std::string all;
    for (const char* f : kTableFiles) all += ReadWholeFile(data + "/" + f);
    return all;
  }
  void RunAgain(std::string_view keys) {
    Restart();
    con->typeahead = false;
    Play(keys);
    ASSERT_EQ(Run(), 0);
  }
};

TEST_F(MaintenanceMenuTest, ABackupMadeWithKeyAIsRestoredFromTheMenu) {
  MakeDemoDatabase();
  // A: the question with the archive in the data directory; " &Tak ", and " &Tak " again to go
  // on without a Tamsu.ini in the data directory.
  Play("a{Snap}{Enter}{Snap}{Enter}{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(ShotHas(0, "Utworzyć archiwum bazy danych"));
  EXPECT_TRUE(ShotHas(0, " Tamsu.zip?"));
  EXPECT_TRUE(ShotHas(1, "Brak pliku Tamsu.ini. Kontynuować?"));
  ASSERT_TRUE(std::filesystem::exists(data + "/Tamsu.zip"));
  const std::string saved = Files();

  MakeDatabase([] {
    ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(3)), 0);
    ASSERT_EQ(TableDelete(kTableGoods), 0);
  });
  ASSERT_TRUE(Files() != saved);
  // " Odt&worzenie bazy danych      ": the archive offered, " &Ok ", " &Tak " to the warning and
  // to going on without Tamsu.ini.
  RunAgain("{Alt+n}w{Snap}{Alt+o}{Snap}t{Snap}{Enter}{Alt+F4}");
  EXPECT_TRUE(ShotHas(0, "Odtworzenie bazy danych z archiwum:"));
  EXPECT_TRUE(ShotHas(1, "Uwaga! Bieżące dane zostaną usunięte."));
  EXPECT_TRUE(ShotHas(2, "Brak pliku Tamsu.ini. Kontynuować?"));
  EXPECT_TRUE(Files() == saved) << "not restored byte for byte";
}

TEST_F(MaintenanceMenuTest, TheCheckWithoutRepairsReportsAndChangesNothing) {
  MakeDemoDatabase();
  MakeDatabase([] {
    ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(5)), 0);
    Tow.STAN = AMOUNT::FromInt(999);
    ASSERT_EQ(TableUpdate(kTableGoods), 0);
  });
  const std::string damaged = Files();
  // " &Sprawdzenie bazy danych...   ": "&Nie naprawiaj", " &Ok "; the counts, " &Tak " for the
  // report, which the viewer shows.
  Play("{Alt+n}s{Snap}n{Alt+o}{Snap}{Enter}{Snap}{Esc}{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(ShotHas(0, "SPRAWDZENIE BAZY DANYCH"));
  EXPECT_TRUE(ShotHas(0, "Zgodności stanu towarów"));
  EXPECT_TRUE(ShotHas(1, "Błędów znalezionych:      1"));
  EXPECT_TRUE(ShotHas(1, "Błędów naprawionych:      0"));
  EXPECT_TRUE(ShotHas(2, "Stan towaru \"Tulipan\" niezgodny z transakcjami."));
  EXPECT_TRUE(Files() == damaged) << "the check without repairs changed the files";
}

}  // namespace
