#include "shell/ui_handlers.h"

#include "common/text.h"
#include "db/db_events.h"
#include "platform/cfile.h"
#include "run_fixture.h"
#include "ui/feedback.h"

namespace {

class HandlersTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    InstallUiHandlers();
  }
};

TEST_F(HandlersTest, FileErrorsShowTheirMessageButLockFailuresStaySilent) {
  Play("{Snap}{Enter}");
  CFILE f;
  const std::string missing = data + "/Brak.dbf";
  EXPECT_EQ(f.Open(missing.c_str(), kOpenExisting, kAccessRead, kShareNone), -1);
  EXPECT_TRUE(ShotHas(0, Cp1250ToUtf8(FileOperationText(kFileOpOpen))));
  EXPECT_TRUE(ShotHas(0, "Brak.dbf"));

  CFILE::Handler()->Report("Gto.dbf", kFileOpLock, kFileErrSystem, EAGAIN);
  CFILE::Handler()->Report("Gto.dbf", kFileOpUnlock, kFileErrSystem, EAGAIN);
  EXPECT_EQ(Shots(), 1u);
  EXPECT_EQ(Row(12).find("Gto.dbf"), std::string::npos);
}

TEST_F(HandlersTest, TableEventsShowTextsAndProgressWindows) {
  Play("{Snap}{Enter}");
  EXPECT_EQ(ReportDbEvent(kDbEvBadIndex, "Tow.inx", 0), 0);
  EXPECT_TRUE(
      ShotShows(0, {"Nieprawidłowy format indeksu Tow.inx.", "Wymagana odbudowa indeksów."}));

  // Silent events show nothing (no key is read for them).
  EXPECT_EQ(ReportDbEvent(kDbEvNotFound, "Tow.dbf", 0), 0);

  ReportDbEvent(kDbEvIndexBuildStart, "Tow.inx", 0);
  EXPECT_TRUE(progress_is_open());
  EXPECT_NE(con->screen_text().find("Tworzenie indeksu Tow.inx ..."), std::string::npos);
  EXPECT_EQ(ReportDbEvent(kDbEvIndexBuildProgress, "Tow.inx", 50), 0);
  ReportDbEvent(kDbEvIndexBuildEnd, "Tow.inx", 100);
  EXPECT_FALSE(progress_is_open());

  // Esc and " &Tak " during a defragmentation cancel it.
  ReportDbEvent(kDbEvDefragStart, "Tow.dbf", 0);
  EXPECT_NE(con->screen_text().find("Defragmentacja pliku Tow.dbf ..."), std::string::npos);
  Play("{Esc}{Enter}");
  EXPECT_NE(ReportDbEvent(kDbEvDefragProgress, "Tow.dbf", 10), 0);
  ReportDbEvent(kDbEvDefragEnd, "Tow.dbf", 100);
  EXPECT_FALSE(progress_is_open());
}

TEST_F(HandlersTest, WaitingForTablesStopsOnEscAndTakOrAClosedTerminal) {
  EXPECT_FALSE(LockWaitWantsToStop());  // no key: wait on
  Play("x");
  EXPECT_FALSE(LockWaitWantsToStop());  // other keys are dropped
  Play("{Esc}n");                       // " &Nie ": wait on
  EXPECT_FALSE(LockWaitWantsToStop());
  Play("{Esc}{Enter}");  // " &Tak "
  EXPECT_TRUE(LockWaitWantsToStop());
  Play("{Ctrl+F4}");
  EXPECT_TRUE(LockWaitWantsToStop());
}

}  // namespace
