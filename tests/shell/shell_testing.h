// A whole run of Tamsu on the headless screen: a fresh data directory and configuration file
// per test, every global of the program put back, keys queued before the run and screen
// snapshots taken while it runs.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <string>

#include "../ui/ui_testing.h"
#include "key_script.h"
#include "business/options.h"
#include "db/db_events.h"
#include "db/dbtable.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "shell/app.h"
#include "shell/command_line.h"
#include "platform/inifile.h"
#include "shell/main_window.h"
#include "business/rights.h"
#include "shell/startup.h"
#include "shell/ui_handlers.h"
#include "support/temp_dir.h"
#include "ui/record_list.h"
#include "ui/record_search.h"

class ShellTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    ResetAll();
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    start_dir = cwd;
    data = dir.File("dane");
    ASSERT_EQ(::mkdir(data.c_str(), 0755), 0);
    SetConfigPath(dir.File("Tamsu.ini"));
    SetCommandLine("tamsu " + data);
  }
  void TearDown() override {
    ResetAll();
    SetConfigPath("");
    ASSERT_EQ(::chdir(start_dir.c_str()), 0);
    UiTest::TearDown();
  }
  static void ResetAll() {
    UninstallUiHandlers();
    ResetTables();
    ResetTableLocks();
    ResetDbEvents();
    ResetRights();
    ResetStartup();
    ResetRecordLists();
    ResetRecordSearch();
    ResetMainWindow();
    ResetBusinessOptions();
    ClearRecords();
  }

  // Creates the tables in the data directory and lets fill add records, then closes them.
  // The database has been through its first start: contractor 1 is the parent company.
  template <class F>
  void MakeDatabase(F fill) {
    ASSERT_EQ(::chdir(data.c_str()), 0);
    ASSERT_EQ(OpenDatabase(), 0);
    fill();
    if (FindById(kTableContractors, AMOUNT::FromInt(1)) != 0) {
      Kon = KON_RECORD{};
      Kon.ID = AMOUNT::FromInt(1);
      std::snprintf(Kon.NAZWA, sizeof Kon.NAZWA, "Moja firma");
      ASSERT_EQ(TableAppend(kTableContractors), 0);
    }
    if (Company().IsZero()) {
      ASSERT_EQ(SetCompany(AMOUNT::FromInt(1)), 0);
    }
    CloseDatabase();
    ASSERT_EQ(::chdir(start_dir.c_str()), 0);
  }
  // The demonstration database, as the first start offers it.
  void MakeDemoDatabase();

  int Run() { return TamsuMain(); }
  void Play(std::string_view script) { PlayKeys(con, script); }
  bool ShotHas(size_t i, const std::string& text) { return Shot(i).find(text) != std::string::npos; }

  TempDir dir;
  std::string data;
  std::string start_dir;
};
