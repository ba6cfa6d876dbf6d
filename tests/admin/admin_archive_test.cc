// tamsu-admin's backup, restore, check-data, export and import for scripts: their exit statuses,
// their one-line answers, and the refusal while a program holds the tables.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "admin/admin.h"
#include "platform/cfile.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

struct RUN {
  int status;
  std::string out, err;
};

RUN Admin(std::vector<std::string> args) {
  args.insert(args.begin(), "tamsu-admin");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  FILE* out = tmpfile();
  FILE* err = tmpfile();
  RUN r{AdminMain(static_cast<int>(argv.size()), argv.data(), out, err), {}, {}};
  for (auto [f, s] : {std::pair{out, &r.out}, std::pair{err, &r.err}}) {
    rewind(f);
    char buf[512];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) s->append(buf, n);
    fclose(f);
  }
  return r;
}

std::string Tables(const std::string& db) {
  std::string all;
  for (const char* f : {"Gto.dbf", "Tow.dbf", "Kon.dbf", "Tra.dbf", "Poz.dbf", "Gto.inx", "Tow.inx",
                        "Kon.inx", "Tra.inx", "Poz.inx"})
    all += ReadWholeFile(db + "/" + f);
  return all;
}

TEST(AdminArchiveTest, BackupRestoreCheckExportAndImport) {
  TempDir dir;
  const std::string db = dir.File("firma"), other = dir.File("oddzial");
  ASSERT_EQ(Admin({"create", db, "--demo"}).status, 0);
  RUN r = Admin({"backup", db, dir.File("kopia.zip")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Utworzono archiwum"), std::string::npos);
  const std::string saved = Tables(db);
  WriteWholeFile(db + "/Tow.dbf", "zepsuty");
  fs::remove(db + "/Tow.inx");
  r = Admin({"restore", db, dir.File("kopia.zip")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Tables(db) == saved);

  r = Admin({"restore", db, dir.File("brak.zip")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Błąd przy próbie otwarcia pliku"), std::string::npos);
  EXPECT_TRUE(Tables(db) == saved);

  r = Admin({"check-data", db});
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Błędów znalezionych: 0, naprawionych: 0."), std::string::npos);

  ASSERT_EQ(Admin({"create", other}).status, 0);
  r = Admin({"export", db, dir.File("Export.zip")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(fs::exists(db + "/Export"));
  r = Admin({"import", other, dir.File("Export.zip")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("  Transakcji:              4               0"), std::string::npos) << r.out;
  r = Admin({"import", other, dir.File("Export.zip")});
  EXPECT_NE(r.out.find("  Transakcji:              0               4"), std::string::npos) << r.out;
}

TEST(AdminArchiveTest, RefusesWhileAProgramHoldsTheTables) {
  TempDir dir;
  const std::string db = dir.File("firma");
  ASSERT_EQ(Admin({"create", db, "--demo"}).status, 0);
  // A program with "Net" = 0 holds the data files exclusively.
  CFILE held;
  ASSERT_EQ(held.Open((db + "/Kon.dbf").c_str(), kOpenExisting, kAccessReadWrite, kShareNone), 0);
  for (const std::vector<std::string>& verb :
       {std::vector<std::string>{"backup", db, dir.File("k.zip")},
        {"restore", db, dir.File("k.zip")},
        {"check-data", db, "--repair"},
        {"export", db, dir.File("e.zip")},
        {"import", db, dir.File("e.zip")}}) {
    const RUN r = Admin(verb);
    EXPECT_EQ(r.status, 3) << verb[0];
    EXPECT_NE(r.err.find("jest używana przez program (plik Kon.dbf)"), std::string::npos)
        << verb[0] << r.err;
  }
  held.Close();
  // One with "Net" = 1 keeps them open shared: a backup may read beside it, a restore may not.
  ASSERT_EQ(held.Open((db + "/Kon.dbf").c_str(), kOpenExisting, kAccessReadWrite, kShareReadWrite),
            0);
  EXPECT_EQ(Admin({"backup", db, dir.File("k.zip")}).status, 0);
  EXPECT_EQ(Admin({"restore", db, dir.File("k.zip")}).status, 3);
}

}  // namespace
