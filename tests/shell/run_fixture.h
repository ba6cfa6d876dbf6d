// A whole run of Tamsu on the headless screen over a fresh data directory: keys queued before
// the run, snapshots taken while it runs, the files read back afterwards.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <string>

#include "business/demo_data.h"
#include "business/options.h"
#include "db/dbtable.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "shell/app.h"
#include "shell/command_line.h"
#include "support/program_state.h"
#include "support/ui_fixture.h"
#include "ui/screen.h"

class ShellTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    start_dir = cwd;
    data = dir.File("dane");
    ASSERT_EQ(::mkdir(data.c_str(), 0755), 0);
    SetCommandLine("tamsu " + data);
  }
  void TearDown() override {
    UiTest::TearDown();
    ASSERT_EQ(::chdir(start_dir.c_str()), 0);
  }
  // Works on the data directory's tables while fill runs; afterwards they are closed again.
  template <class F>
  void InData(F fill) {
    ASSERT_EQ(::chdir(data.c_str()), 0);
    ASSERT_EQ(OpenDatabase(), 0);
    fill();
    CloseDatabase();
    ASSERT_EQ(::chdir(start_dir.c_str()), 0);
  }
  // The tables as after the first start (contractor 1 the parent company), filled by fill.
  template <class F>
  void MakeDatabase(F fill) {
    InData([&] {
      fill();
      if (FindById(kTableContractors, AMOUNT::FromInt(1)) != 0) AddContractor(1, "Moja firma");
      if (Company().IsZero()) {
        ASSERT_EQ(SetCompany(AMOUNT::FromInt(1)), 0);
      }
    });
  }
  void MakeDemoDatabase() {
    MakeDatabase([] { ASSERT_EQ(CreateDemoDatabase(), 0); });
  }
  int Run() { return TamsuMain(); }
  // Back to the start values for another run on the same data and Tamsu.ini.
  void Restart() {
    RestartState();
    SetCommandLine("tamsu " + data);
    ASSERT_EQ(screen_open_on(con = new SNAPSHOT_CONSOLE), 0);
  }

  TempDir dir;
  std::string data;
  std::string start_dir;
};
