#include "shell/settings_dialogs.h"

#include "platform/cfile.h"
#include "business/demo_data.h"
#include "shell/main_menu.h"
#include "shell_testing.h"

namespace {

class PasswordTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ASSERT_EQ(SetAdministratorPassword("szef"), 0);
    ASSERT_EQ(SetUserPassword("ala"), 0);
  }
};

TEST_F(PasswordTest, AdministratorGetsFullRightsAndTheUserTheStoredOnes) {
  MakeDemoDatabase();
  ASSERT_EQ(WriteUserRights(kRightModifyGoods), 0);
  Play("{Snap}szef{Enter}{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(ShotHas(0, "HASŁO"));
  EXPECT_TRUE(ShotHas(0, "Podaj hasło:"));
  EXPECT_EQ(AdministratorFlag(), 1);
  EXPECT_EQ(CheckRights(kRightReports, false), 0);

  ResetAll();
  Play("ala{Enter}{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_EQ(AdministratorFlag(), 0);
  EXPECT_EQ(CheckRights(kRightModifyGoods, false), 0);
  EXPECT_NE(CheckRights(kRightReports, false), 0);
}

TEST_F(PasswordTest, WrongPasswordOrEscRefusesTheStartAndLeavesTheDirectoryAlone) {
  Play("xyz{Enter}{Snap}{Enter}");
  EXPECT_EQ(Run(), -1);
  EXPECT_TRUE(ShotHas(0, "Hasło nieprawidłowe."));
  EXPECT_GE(con->beeps, 1);
  // The database was not touched: no question about files, no files.
  EXPECT_FALSE(ShotHas(0, "Brak danych"));
  EXPECT_FALSE(CFILE::Exists((data + "/Gto.dbf").c_str()));

  ResetAll();
  Play("{Esc}");
  EXPECT_EQ(Run(), -1);
  EXPECT_FALSE(CFILE::Exists((data + "/Gto.dbf").c_str()));
}

TEST_F(PasswordTest, PasswordsDialogAsksForTheAdministratorFirst) {
  MakeDemoDatabase();
  // " &Hasła... ": the user password is not enough to change them (0); the administrator's
  // opens "HASŁA" (1), and " &Ok " takes the new ones.
  Play("szef{Enter}{Alt+o}hala{Enter}{Snap}{Enter}{Alt+o}hszef{Enter}{Snap}"
       "nowy{Tab}ola{Tab}{Enter}{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(ShotHas(0, "Hasło nieprawidłowe."));
  EXPECT_TRUE(ShotHas(1, "Hasło nadzorcy:"));
  EXPECT_TRUE(ShotHas(1, "Hasło użytkownika:"));
  EXPECT_EQ(CheckStartupPassword("nowy"), kPasswordAdministrator);
  EXPECT_EQ(CheckStartupPassword("ola"), kPasswordUser);
  EXPECT_EQ(CheckStartupPassword("szef"), kPasswordWrong);
}

TEST_F(ShellTest, UserRightsDialogWritesTheTickedRights) {
  MakeDemoDatabase();
  // " U&prawnienia użytkownika... ": "Modyfikacja całej bazy danych" and "Modyfikacja wstecznych
  // transakcji" ticked, " &Ok ".
  Play("{Alt+o}p{Snap}{Space}{Tab}{Tab}{Space}o{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(ShotHas(0, "UPRAWNIENIA UŻYTKOWNIKA"));
  EXPECT_TRUE(ShotHas(0, "Dostęp do raportów o zyskach"));
  EXPECT_EQ(ReadUserRights(), kRightModifyDatabase | kRightModifyPastTransactions);
}

TEST_F(ShellTest, RightsRefusalListsEveryMissingRight) {
  InstallUiHandlers();
  SetAdministratorFlag(0);
  ASSERT_EQ(WriteUserRights(kRightModifyGoods), 0);
  Play("{Snap}{Enter}");
  EXPECT_NE(CheckRights(kRightModifyGoods | kRightReports | kRightFiscalRegister, true), 0);
  EXPECT_TRUE(ShotHas(0, "Brak uprawnień użytkownika:"));
  EXPECT_TRUE(ShotHas(0, "- Dostęp do raportów."));
  EXPECT_TRUE(ShotHas(0, "- Dostęp do kasy fiskalnej."));
  EXPECT_FALSE(ShotHas(0, "- Modyfikacja towarów."));
  EXPECT_EQ(CheckRights(kRightModifyGoods, true), 0);
}

TEST_F(ShellTest, NetworkOptionReopensTheTablesShared) {
  MakeDemoDatabase();
  Play("{Alt+o}s{Snap}{Space}o{Snap}{Enter}{Snap}{Alt+F4}");  // " &Sieć... ", reopen: " &Tak "
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(ShotHas(0, "Dzielony dostęp do danych w sieci"));
  EXPECT_TRUE(ShotHas(1, "Otworzyć ponownie bazę danych"));
  EXPECT_TRUE(ShotHas(2, " TRANSAKCJE "));
  EXPECT_TRUE(ShotHas(2, "rozchód"));
  int32_t net = 0;
  INIFILE(ConfigPath()).GetInt("Tamsu", "Net", &net);
  EXPECT_EQ(net, 1);
  EXPECT_TRUE(NetworkFlag());
}

}  // namespace
