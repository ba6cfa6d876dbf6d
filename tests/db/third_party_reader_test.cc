// Our table files read by an independent dBASE reader (Debian's python3-dbf) give the same
// records, Polish letters, numbers, dates and deletion marks as our own reading.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "admin/admin.h"
#include "common/text.h"
#include "db/dbtable.h"
#include "db/schema.h"
#include "db/table.h"
#include "support/temp_dir.h"

#include <filesystem>
#include "support/run_shell.h"

namespace {

TEST(ThirdPartyReaderTest, ReadsEveryTableOfTheDemonstrationDatabaseAsWeDo) {
  std::string probe = RunShell("/usr/bin/python3 -c 'import dbf; print(1)' 2>&1");
  ASSERT_EQ(probe, "1\n") << "python3-dbf is missing: scripts/deps.sh test installs it";
  TempDir dir;
  std::string db = dir.path();
  {
    std::vector<std::string> args = {"tamsu-admin", "create", db, "--demo"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    ASSERT_EQ(AdminMain(4, argv.data(), stdout, stderr), 0);
  }
  // One deleted record and a text with every Polish letter and a comma.
  {
    TempDir enter(false);
    std::string cwd = std::filesystem::current_path().string();
    std::filesystem::current_path(db);
    ASSERT_EQ(OpenDatabase(), 0);
    ASSERT_EQ(TableGo(kTableGoods, 2), 0);
    ASSERT_EQ(TableDelete(kTableGoods), 0);
    ASSERT_EQ(TableGo(kTableGroups, 2), 0);
    std::snprintf(Gto.UWAGI, sizeof Gto.UWAGI, "%s",
                  Utf8ToCp1250("Zażółć gęślą jaźń, ZAŻÓŁĆ GĘŚLĄ JAŹŃ").c_str());
    ASSERT_EQ(TableUpdate(kTableGroups), 0);
    CloseDatabase();
    ResetTables();
    std::filesystem::current_path(cwd);
  }
  for (const char* table : {"Gto", "Tow", "Kon", "Tra", "Poz"}) {
    std::string theirs =
        RunShell("/usr/bin/python3 " TAMSU_SOURCE_DIR "/tests/db/read_with_dbf.py " + db + "/" +
                 table + ".dbf 2>&1");
    std::string ours = AdminDump(db, table);
    EXPECT_EQ(theirs, ours) << table;
    EXPECT_GT(ours.size(), 100u);
  }
  std::string goods = AdminDump(db, "Tow");
  EXPECT_NE(goods.find("\n*,3,"), std::string::npos);  // the deleted goods, marked
  EXPECT_NE(AdminDump(db, "Gto").find("\"Zażółć gęślą jaźń, ZAŻÓŁĆ GĘŚLĄ JAŹŃ\""),
            std::string::npos);
}

}  // namespace
