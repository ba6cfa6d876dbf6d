#include "admin/admin.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "business/rights.h"
#include "common/date.h"
#include "platform/cfile.h"
#include "support/temp_dir.h"

namespace {

struct AdminRun {
  int status;
  std::string out, err;
};

AdminRun Admin(std::vector<std::string> args) {
  args.insert(args.begin(), "tamsu-admin");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  FILE* out = tmpfile();
  FILE* err = tmpfile();
  AdminRun r;
  r.status = AdminMain(static_cast<int>(argv.size()), argv.data(), out, err);
  for (auto [f, s] : {std::pair{out, &r.out}, std::pair{err, &r.err}}) {
    rewind(f);
    char buf[512];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) s->append(buf, n);
    fclose(f);
  }
  return r;
}

// All files of a directory with their contents, to show that a failure changed nothing.
std::string Snapshot(const TempDir& dir) {
  std::string all;
  for (const char* f : {"Gto.dbf", "Tow.dbf", "Kon.dbf", "Tra.dbf", "Poz.dbf", "Gto.inx", "Tow.inx",
                        "Kon.inx", "Tra.inx", "Poz.inx"})
    all += std::string(f) + ":" + ReadWholeFile(dir.File(f)) + "|";
  return all;
}

TEST(AdminTest, CreateDumpCheckReindexAndPack) {
  TempDir dir;
  std::string db = dir.File("firma");
  AdminRun r = Admin({"create", db, "--demo"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(CFILE::Exists((db + "/Poz.inx").c_str()));
  r = Admin({"dump", db, "Kon"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(
      r.out.substr(0, r.out.find('\n')),
      "usuniety,ID,NAZWA,NAZWA2,ADRES,MIASTO,KOD,TELEFON,FAX,BANK,KONTO,NIP,REGON,ZEZWOLENIE,DOWOD,"
      "REPREZENT,CENAID,RABAT,DOKTRATYP,ZAOKRNETTO,FPLATID,TERMIN,SALDO,UWAGI,UWAGI2");
  EXPECT_NE(r.out.find(",3,Sprzedaż detaliczna,,"), std::string::npos);  // UTF-8 out
  r = Admin({"dump", db, "4"});
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1 + 34);
  EXPECT_EQ(Admin({"check", db}).status, 0);

  // A damaged index is found, and rebuilt.
  std::string inx = ReadWholeFile(db + "/Tow.inx");
  inx[512 + 12] ^= 0x40;  // a key byte of the first page
  WriteWholeFile(db + "/Tow.inx", inx);
  r = Admin({"check", db});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.out.find("Tow.inx: "), std::string::npos);
  EXPECT_EQ(Admin({"reindex", db}).status, 0);
  EXPECT_EQ(Admin({"check", db}).status, 0);

  r = Admin({"pack", db});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Poz.dbf: liczba rekordów 34, usunięto 0."), std::string::npos);
}

TEST(AdminTest, FailuresSayWhatIsWrongAndChangeNothing) {
  TempDir dir;
  std::string db = dir.path();
  ASSERT_EQ(Admin({"create", db}).status, 0);
  std::string before = Snapshot(dir);
  AdminRun r = Admin({"create", db, "--demo"});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("zawiera już pliki bazy danych"), std::string::npos);
  r = Admin({"dump", db, "Xyz"});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("Nieznana tabela"), std::string::npos);
  // A data file with a wrong header stops the rebuild before any index is touched.
  std::string tra = ReadWholeFile(dir.File("Tra.dbf"));
  std::string bad = tra;
  bad[0] = 4;
  WriteWholeFile(dir.File("Tra.dbf"), bad);
  r = Admin({"reindex", db});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("Nieprawidłowy format pliku Tra.dbf."), std::string::npos);
  WriteWholeFile(dir.File("Tra.dbf"), tra);
  EXPECT_EQ(Snapshot(dir), before);
  r = Admin({"check", dir.File("nowhere")});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("Nie można otworzyć katalogu"), std::string::npos);
  TempDir empty;
  r = Admin({"pack", empty.path()});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("Brak pliku Gto.dbf"), std::string::npos);
}

// Each fault is reported in Polish by check, which changes nothing; check --repair mends them all
// (a short file after keeping a copy), and dump reads the records whatever the index.
TEST(AdminTest, CheckReportsEachFaultAndRepairsOnlyWhenAsked) {
  struct Fault {
    const char* name;
    void (*make)(const std::string& db);
    const char* report;
  };
  const Fault faults[] = {
      {"index missing", [](const std::string& db) { std::remove((db + "/Kon.inx").c_str()); },
       "Kon.inx: brak pliku indeksu."},
      {"index header",
       [](const std::string& db) {
         std::string inx = ReadWholeFile(db + "/Tow.inx");
         inx[40] = 99;  // the key length of index 0
         WriteWholeFile(db + "/Tow.inx", inx);
       },
       "Tow.inx: nagłówek indeksu nie pasuje do definicji tabeli."},
      {"index page",
       [](const std::string& db) {
         std::string inx = ReadWholeFile(db + "/Tow.inx");
         inx[512 + 12] ^= 0x40;
         WriteWholeFile(db + "/Tow.inx", inx);
       },
       "Tow.inx: "},
      {"short file",
       [](const std::string& db) {
         std::string poz = ReadWholeFile(db + "/Poz.dbf");
         WriteWholeFile(db + "/Poz.dbf", poz.substr(0, poz.size() - 30));
       },
       "Poz.dbf: plik krótszy, niż podaje nagłówek (rekordów w nagłówku 34, całych 33)."},
      {"end mark",
       [](const std::string& db) {
         std::string gto = ReadWholeFile(db + "/Gto.dbf");
         WriteWholeFile(db + "/Gto.dbf", gto.substr(0, gto.size() - 1));
       },
       "Gto.dbf: brak znacznika końca pliku."},
      {"leftover", [](const std::string& db) { WriteWholeFile(db + "/000001.tmp", ""); },
       "000001.tmp: pozostałość przerwanej defragmentacji lub odbudowy indeksu."},
  };
  for (const Fault& f : faults) {
    SCOPED_TRACE(f.name);
    TempDir dir;
    const std::string db = dir.path();
    ASSERT_EQ(Admin({"create", db, "--demo"}).status, 0);
    f.make(db);
    const std::string before = Snapshot(dir);
    AdminRun r = Admin({"check", db});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(f.report), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Nic nie zmieniono."), std::string::npos);
    EXPECT_EQ(Snapshot(dir), before);
    r = Admin({"dump", db, "Tow"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1 + 16);
    r = Admin({"check", db, "--repair"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Naprawiono. Baza danych jest spójna."), std::string::npos) << r.out;
    EXPECT_EQ(Admin({"check", db}).status, 0);
    EXPECT_FALSE(CFILE::Exists((db + "/000001.tmp").c_str()));
  }
}

TEST(AdminTest, ServicePasswordOfAGivenDay) {
  AdminRun r = Admin({"service-password", "ABCDEFGHIJKLMNOP", "06.12.2026"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, ServicePassword("ABCDEFGHIJKLMNOP", DateFromYmd(2026, 12, 6)) + "\n");
  r = Admin({"service-password", "ABCDEFGHIJKLMNOP"});
  EXPECT_EQ(r.out, ServicePassword("ABCDEFGHIJKLMNOP", DateToday()) + "\n");
}

TEST(AdminTest, BadInputGivesAPolishMessageAndAFailure) {
  AdminRun r = Admin({"service-password", "ABCDEFGHIJKLMNOP", "31.02.2013"});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("Nieprawidłowa data"), std::string::npos);
  EXPECT_TRUE(r.out.empty());
  r = Admin({"service-password", "short"});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("za krótki"), std::string::npos);
  r = Admin({"frobnicate"});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("Nieznane polecenie"), std::string::npos);
  r = Admin({});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("Użycie"), std::string::npos);
}

}  // namespace
