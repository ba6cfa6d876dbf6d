#include "shell/settings_dialogs.h"

#include "business/rights.h"
#include "platform/cfile.h"
#include "platform/inifile.h"
#include "run_fixture.h"

namespace {

class PasswordTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ASSERT_EQ(SetAdministratorPassword("szef"), 0);
    ASSERT_EQ(SetUserPassword("ala"), 0);
  }
};

TEST_F(PasswordTest, TheStartupPasswordGivesFullOrStoredRightsOrNoStart) {
  MakeDemoDatabase();
  ASSERT_EQ(WriteUserRights(kRightModifyGoods), 0);
  Play("{Snap}szef{Enter}{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(ShotHas(0, "Podaj hasło:"));
  EXPECT_EQ(AdministratorFlag(), 1);
  Restart();
  Play("ala{Enter}{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_EQ(AdministratorFlag(), 0);
  EXPECT_EQ(CheckRights(kRightModifyGoods, false), 0);
  EXPECT_NE(CheckRights(kRightReports, false), 0);
  // A wrong password or Esc refuses the start and leaves the directory alone.
  Restart();
  const std::string fresh = dir.File("pusty");
  ASSERT_EQ(::mkdir(fresh.c_str(), 0755), 0);
  SetCommandLine("tamsu " + fresh);
  Play("xyz{Enter}{Snap}{Enter}");
  EXPECT_EQ(Run(), -1);
  EXPECT_TRUE(ShotHas(0, "Hasło nieprawidłowe."));
  EXPECT_FALSE(ShotHas(0, "Brak danych"));
  Play("{Esc}");
  EXPECT_EQ(Run(), -1);
  EXPECT_FALSE(CFILE::Exists((fresh + "/Gto.dbf").c_str()));
}

TEST_F(PasswordTest, PasswordsDialogAsksForTheAdministratorAndKeepsAFieldLeftAlone) {
  MakeDemoDatabase();
  // " &Hasła... ": the user password is not enough (0); the administrator's opens "HASŁA" (1),
  // where both passwords show as stars; a new user password alone is typed.
  Play("szef{Enter}{Alt+o}hala{Enter}{Snap}{Enter}{Alt+o}hszef{Enter}{Snap}{Tab}ola{Tab}{Enter}");
  // Both typed anew.
  Play("{Alt+o}hszef{Enter}nowy{Tab}ewa{Tab}{Enter}{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(ShotHas(0, "Hasło nieprawidłowe."));
  EXPECT_TRUE(ShotHas(1, "Hasło użytkownika:"));
  EXPECT_TRUE(ShotHas(1, "********"));  // a stored password shows as stars
  EXPECT_EQ(CheckStartupPassword("nowy"), kPasswordAdministrator);
  EXPECT_EQ(CheckStartupPassword("ewa"), kPasswordUser);
  EXPECT_EQ(CheckStartupPassword("szef"), kPasswordWrong);
}

TEST_F(PasswordTest, AnUntouchedAdministratorPasswordSurvivesANewUserPassword) {
  MakeDemoDatabase();
  Play("szef{Enter}{Alt+o}hszef{Enter}{Tab}ola{Tab}{Enter}{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_EQ(CheckStartupPassword("szef"), kPasswordAdministrator);
  EXPECT_EQ(CheckStartupPassword("ola"), kPasswordUser);
  // Emptying a field clears its password.
  Restart();
  Play("szef{Enter}{Alt+o}hszef{Enter}{Tab}{Del}{Tab}{Enter}{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_FALSE(UserPasswordSet());
  EXPECT_TRUE(AdministratorPasswordSet());
}

TEST_F(ShellTest, UserRightsAndTheNetworkOption) {
  MakeDemoDatabase();
  // " U&prawnienia użytkownika... ": "Modyfikacja całej bazy danych" and "Modyfikacja wstecznych
  // transakcji" ticked, " &Ok "; " &Sieć... " ticked and the tables reopened: " &Tak ".
  Play("{Alt+o}p{Snap}{Space}{Tab}{Tab}{Space}o{Alt+o}s{Space}o{Snap}{Enter}{Snap}{Alt+F4}");
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(ShotHas(0, "Dostęp do raportów o zyskach"));
  EXPECT_EQ(ReadUserRights(), kRightModifyDatabase | kRightModifyPastTransactions);
  EXPECT_TRUE(ShotHas(1, "Otworzyć ponownie bazę danych"));
  EXPECT_TRUE(ShotHas(2, "rozchód"));
  int32_t net = 0;
  INIFILE(ConfigPath()).GetInt("Tamsu", "Net", &net);
  EXPECT_EQ(net, 1);
  EXPECT_TRUE(NetworkFlag());
}

}  // namespace
