#include "business/rights.h"

#include <gtest/gtest.h>

#include "common/sha256.h"
#include "common/text.h"
#include "platform/inifile.h"

namespace {

class RightsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRightsReporter([](const char* m) { shown = m; });
    shown.clear();
  }
  static INIFILE Ini() { return INIFILE(ConfigPath()); }
  static std::string shown;
};
std::string RightsTest::shown;

std::string Hex(const Sha256Digest& d) {
  std::string s;
  char b[3];
  for (uint8_t x : d) {
    snprintf(b, sizeof b, "%02x", x);
    s += b;
  }
  return s;
}

TEST(Sha256Test, KnownVectors) {
  EXPECT_EQ(Hex(Sha256("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Hex(Sha256("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Hex(Sha256("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(Hex(HmacSha256("key", "The quick brown fox jumps over the lazy dog")),
            "f7bc83f430538424b13298e6aa6fb143ef4d59a14946175997479dbc2d1a3cd8");
}

TEST_F(RightsTest, PasswordsAreStoredOneWayWithinTwentyCharacters) {
  ASSERT_EQ(SetAdministratorPassword("tajne"), 0);
  std::string stored;
  ASSERT_EQ(Ini().GetString("Tamsu", "Password1", &stored), 0);
  EXPECT_EQ(stored.size(), 20u);
  EXPECT_EQ(stored.find("tajne"), std::string::npos);
  EXPECT_TRUE(PasswordMatches(stored, "tajne"));
  EXPECT_FALSE(PasswordMatches(stored, "tajnE"));
  EXPECT_FALSE(PasswordMatches(stored, ""));
  // A second encoding of the same password differs by its salt.
  std::string again = EncodePassword("tajne");
  EXPECT_NE(again, stored);
  EXPECT_TRUE(PasswordMatches(again, "tajne"));
  EXPECT_FALSE(PasswordMatches("tajne", "tajne"));  // a plain text in the file matches nothing
}

TEST_F(RightsTest, StartupPasswordGivesFullOrLimitedRights) {
  EXPECT_FALSE(AdministratorPasswordSet());
  EXPECT_EQ(CheckStartupPassword(""), kPasswordAdministrator);  // no password: no question
  ASSERT_EQ(SetAdministratorPassword("szef"), 0);
  ASSERT_EQ(SetUserPassword("kasa"), 0);
  EXPECT_TRUE(AdministratorPasswordSet());
  EXPECT_EQ(CheckStartupPassword("szef"), kPasswordAdministrator);
  EXPECT_EQ(CheckStartupPassword("kasa"), kPasswordUser);
  EXPECT_EQ(CheckStartupPassword("Kasa"), kPasswordWrong);
  EXPECT_EQ(CheckStartupPassword(""), kPasswordWrong);
  std::string service = ServicePassword(InstallationSecret(), DateToday());
  EXPECT_EQ(CheckStartupPassword(service), kPasswordAdministrator);
}

TEST_F(RightsTest, ServicePasswordDependsOnDayAndSecret) {
  std::string secret = InstallationSecret();
  ASSERT_EQ(secret.size(), 16u);
  EXPECT_EQ(InstallationSecret(), secret);  // created once, then read
  DATE day = DateFromYmd(2026, 12, 6);
  std::string code = ServicePassword(secret, day);
  EXPECT_EQ(code.size(), 8u);
  EXPECT_EQ(code.find_first_not_of("0123456789"), std::string::npos);
  EXPECT_EQ(ServicePassword(secret, day), code);
  EXPECT_NE(ServicePassword(secret, day + 1), code);
  EXPECT_NE(ServicePassword(secret + "x", day), code);
}

TEST_F(RightsTest, RightsNeedEveryBitAndAValidCheckWord) {
  SetAdministratorFlag(0);
  ASSERT_EQ(WriteUserRights(kRightModifyGoods | kRightReports), 0);
  EXPECT_EQ(ReadUserRights(), uint32_t(kRightModifyGoods | kRightReports));
  EXPECT_EQ(CheckRights(0, true), 0);
  EXPECT_EQ(CheckRights(kRightModifyGoods, true), 0);
  EXPECT_EQ(CheckRights(kRightModifyGoods | kRightReports, true), 0);
  EXPECT_TRUE(shown.empty());
  EXPECT_NE(CheckRights(kRightModifyGoods | kRightFiscalRegister | kRightProfitReports, false), 0);
  EXPECT_TRUE(shown.empty());  // no report asked
  EXPECT_NE(CheckRights(kRightFiscalRegister | kRightProfitReports | kRightModifyDatabase, true),
            0);
  // Lines in the order of the rights table: 1, then 128 before 64.
  EXPECT_EQ(shown,
            std::string("Brak uprawnień użytkownika:\n- Modyfikacja całej bazy danych."
                        "\n- Dostęp do raportów o zyskach.\n- Dostęp do kasy fiskalnej."_pl));

  // Editing the mask by hand keeps the check word of the old mask: no rights at all.
  uint32_t stored = 0;
  ASSERT_EQ(Ini().GetUInt("Tamsu", "UserRights", &stored), 0);
  ASSERT_EQ(Ini().WriteUInt("Tamsu", "UserRights", stored | 0xFF), 0);
  EXPECT_EQ(ReadUserRights(), 0u);
  ASSERT_EQ(Ini().WriteUInt("Tamsu", "UserRights", 255), 0);
  EXPECT_EQ(ReadUserRights(), 0u);
  EXPECT_NE(CheckRights(kRightModifyGoods, false), 0);

  SetAdministratorFlag(1);
  EXPECT_EQ(CheckRights(0xFF, true), 0);
}

}  // namespace
