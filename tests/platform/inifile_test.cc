#include "platform/inifile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/text.h"
#include "platform/cfile.h"
#include "support/temp_dir.h"

namespace {

class IniTest : public ::testing::Test {
 protected:
  std::string Path() const { return dir.File("Tamsu.ini"); }
  INIFILE Ini() const { return INIFILE(Path()); }
  std::string Contents() const { return ReadWholeFile(Path()); }
  TempDir dir;
};

TEST_F(IniTest, MissingFileLeavesEveryDefault) {
  int32_t net = 7;
  uint32_t rights = 9;
  AMOUNT company = AMOUNT::FromInt(3);
  std::string text = "szt.";
  EXPECT_EQ(Ini().GetInt("Tamsu", "Net", &net), -1);
  EXPECT_EQ(Ini().GetUInt("Tamsu", "UserRights", &rights), -1);
  EXPECT_EQ(Ini().GetAmount("Tamsu", "Company", &company), -1);
  EXPECT_EQ(Ini().GetString("Tamsu", "Measure1", &text), -1);
  EXPECT_EQ(net, 7);
  EXPECT_EQ(rights, 9u);
  EXPECT_EQ(company, AMOUNT::FromInt(3));
  EXPECT_EQ(text, "szt.");
}

TEST_F(IniTest, WritingOneKeyToAnEmptyFileCreatesSectionAndKey) {
  WriteWholeFile(Path(), "");
  ASSERT_EQ(Ini().WriteInt("Tamsu", "Net", 1), 0);
  EXPECT_EQ(Contents(), "\n[Tamsu]\nNet=1\n");
  int32_t net = 0;
  EXPECT_EQ(Ini().GetInt("Tamsu", "Net", &net), 0);
  EXPECT_EQ(net, 1);
  // A missing file is created the same way, and no temporary file is left behind.
  std::remove(Path().c_str());
  ASSERT_EQ(Ini().WriteString("Console", "X", "10"), 0);
  EXPECT_EQ(Contents(), "\n[Console]\nX=10\n");
  EXPECT_FALSE(CFILE::Exists(dir.File("000001.tmp").c_str()));
}

TEST_F(IniTest, NewKeyGoesBeforeTheBlankLinesThatEndItsSection) {
  WriteWholeFile(Path(), "[Tamsu]\nNet=0\n\n\n[Console]\nX=5\n");
  ASSERT_EQ(Ini().WriteInt("Tamsu", "ColorMode", 2), 0);
  EXPECT_EQ(Contents(), "[Tamsu]\nNet=0\nColorMode=2\n\n\n[Console]\nX=5\n");
  ASSERT_EQ(Ini().WriteInt("Console", "Y", 7), 0);
  EXPECT_EQ(Contents(), "[Tamsu]\nNet=0\nColorMode=2\n\n\n[Console]\nX=5\nY=7\n");
  // Trailing blank lines of the last section stay after the new key.
  WriteWholeFile(Path(), "[Tamsu]\nNet=0\n\n");
  ASSERT_EQ(Ini().WriteInt("Tamsu", "RoundPay", 3), 0);
  EXPECT_EQ(Contents(), "[Tamsu]\nNet=0\nRoundPay=3\n\n");
}

TEST_F(IniTest, ReplacesTheFirstLineOfTheKeyOnly) {
  WriteWholeFile(Path(), "[Tamsu]\nNet=0\nNetX=4\nNet=9\n[Other]\nNet=3\n");
  ASSERT_EQ(Ini().WriteInt("Tamsu", "Net", 1), 0);
  EXPECT_EQ(Contents(), "[Tamsu]\nNet=1\nNetX=4\nNet=9\n[Other]\nNet=3\n");
  int32_t v = 0;
  Ini().GetInt("Other", "Net", &v);
  EXPECT_EQ(v, 3);
}

TEST_F(IniTest, WritingTheSameValueDoesNotTouchTheFile) {
  WriteWholeFile(Path(), "[Tamsu]\r\nNet=1\n");  // a form the program would never write itself
  struct stat before;
  ASSERT_EQ(stat(Path().c_str(), &before), 0);
  ASSERT_EQ(Ini().WriteInt("Tamsu", "Net", 1), 0);
  EXPECT_EQ(Contents(), "[Tamsu]\r\nNet=1\n");
  struct stat after;
  ASSERT_EQ(stat(Path().c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino);  // not replaced
}

TEST_F(IniTest, NamesMatchCaseSensitivelyAndWithoutBlanks) {
  WriteWholeFile(Path(), "[tamsu]\nNet=1\n[Tamsu]\nNet = 2\nnet=3\nNetwork=4\n[Tamsux]\nNet=5\n");
  int32_t v = -1;
  EXPECT_EQ(Ini().GetInt("Tamsu", "Net", &v), -1);
  EXPECT_EQ(v, -1);
  EXPECT_EQ(Ini().GetInt("tamsu", "Net", &v), 0);
  EXPECT_EQ(v, 1);
  // A section name only needs to be followed by "]": "[Tamsux]" is not "[Tamsu]".
  EXPECT_EQ(Ini().GetInt("Tamsux", "Net", &v), 0);
  EXPECT_EQ(v, 5);
}

TEST_F(IniTest, ValuesAreCutToTheMaximumAndConvertedFromCodePage852) {
  // "Łódź" in code page 852: Ł 9D, ó A2, d, ź AB.
  WriteWholeFile(Path(), "[Tamsu]\nDocumentPlace=\x9D\xA2" "d\xAB\nMeasure1=kilogramy\n");
  std::string v;
  ASSERT_EQ(Ini().GetString("Tamsu", "DocumentPlace", &v), 0);
  EXPECT_EQ(v, "Łódź"_plv);
  ASSERT_EQ(Ini().GetString("Tamsu", "Measure1", &v, 5), 0);
  EXPECT_EQ(v, "kilog");
  char buf[6];
  ASSERT_EQ(Ini().GetString("Tamsu", "Measure1", buf, 5), 0);
  EXPECT_STREQ(buf, "kilog");
  ASSERT_EQ(Ini().WriteString("Tamsu", "DocumentPlace", "Gdańsk"_pl), 0);
  EXPECT_EQ(Contents(), "[Tamsu]\nDocumentPlace=Gda\xE4sk\nMeasure1=kilogramy\n");
}

TEST_F(IniTest, NumbersReadLikeTheirTypes) {
  WriteWholeFile(Path(),
                 "[T]\nA=42abc\nB=abc\nC=-17\nD=4294967295\nE=12.34565\nF=-0.00005\nG=7\nH=3,5\n");
  for (const auto& [key, want] : {std::pair{"A", 42}, {"B", 0}, {"C", -17}}) {
    int32_t i = 99;
    Ini().GetInt("T", key, &i);
    EXPECT_EQ(i, want) << key;
  }
  uint32_t u = 0;
  Ini().GetUInt("T", "D", &u);
  EXPECT_EQ(u, 4294967295u);
  for (const auto& [key, raw] : {std::pair{"E", 123457LL}, {"F", -1LL}, {"G", 70000LL}}) {
    AMOUNT a;
    Ini().GetAmount("T", key, &a);
    EXPECT_EQ(a.Raw(), raw) << key;
  }
  // Written amounts carry no trailing zeros.
  for (const auto& [key, raw, text] : {std::tuple{"G", 125000LL, "12.5"}, {"I", -1LL, "-0.0001"},
                                       {"J", 30000LL, "3"}}) {
    ASSERT_EQ(Ini().WriteAmount("T", key, AMOUNT::FromRaw(raw)), 0) << key;
    std::string s;
    Ini().GetString("T", key, &s);
    EXPECT_EQ(s, text) << key;
  }
}

TEST_F(IniTest, AFailedWriteLeavesTheOldFile) {
  WriteWholeFile(Path(), "[Tamsu]\nNet=0\n");
  for (const auto& [op, sticky] :
       {std::pair{kFileOpWrite, true}, std::pair{kFileOpRename, false}}) {
    SetFileFault(op, 1, sticky);
    EXPECT_EQ(Ini().WriteInt("Tamsu", "Net", 1), -1) << op;
    ClearFileFault();
    EXPECT_EQ(Contents(), "[Tamsu]\nNet=0\n") << op;
    EXPECT_FALSE(CFILE::Exists(dir.File("000001.tmp").c_str())) << op;
  }
}

TEST_F(IniTest, AReadErrorDuringARewriteNeverShortensTheFile) {
  std::string before = "[Tamsu]\n";
  for (int i = 0; i < 150; ++i) before += "Key" + std::to_string(i) + "=" + std::to_string(i * 7) + "\n";
  std::string after = before + "Net=1\n";
  for (long nth = 1; nth <= 12; ++nth) {
    WriteWholeFile(Path(), before);
    SetFileFault(kFileOpRead, nth, false);
    int rc = Ini().WriteInt("Tamsu", "Net", 1);
    ClearFileFault();
    EXPECT_EQ(Contents(), rc == 0 ? after : before) << nth;
    EXPECT_FALSE(CFILE::Exists(dir.File("000001.tmp").c_str())) << nth;
  }
}

TEST_F(IniTest, LongLinesSurviveARewriteWhole) {
  std::string long_value(600, 'x');
  WriteWholeFile(Path(), "[Tamsu]\nPrnCodes=" + long_value + "\nNet=0\n");
  ASSERT_EQ(Ini().WriteInt("Tamsu", "Net", 1), 0);
  EXPECT_EQ(Contents(), "[Tamsu]\nPrnCodes=" + long_value + "\nNet=1\n");
}

TEST(ConfigPathTest, LivesBesideTheExecutable) {
  SetConfigPath("");
  const std::string& p = ConfigPath();
  EXPECT_EQ(p.substr(p.size() - 10), "/Tamsu.ini");
  EXPECT_NE(p.find("/tests/"), std::string::npos);  // the test program's own folder
  SetConfigPath("/tmp/x/Tamsu.ini");
  EXPECT_EQ(ConfigPath(), "/tmp/x/Tamsu.ini");
  SetConfigPath("");
}

// A program directory the user may not write to (a package under /opt) sends the file to the
// user's configuration folder; without a home there is nowhere else to go.
TEST(ConfigPathTest, UnwritableProgramDirectoryUsesTheConfigurationFolder) {
  struct Case {
    const char *home, *xdg;
    bool writable;
    const char* want;
  } cases[] = {
      {"/home/u", nullptr, true, "/opt/tamsu/Tamsu.ini"},
      {"/home/u", nullptr, false, "/home/u/.config/tamsu/Tamsu.ini"},
      {"/home/u", "/cfg", false, "/cfg/tamsu/Tamsu.ini"},
      {"/home/u", "relative", false, "/home/u/.config/tamsu/Tamsu.ini"},
  };
  const char* saved_home = getenv("HOME");
  const char* saved_xdg = getenv("XDG_CONFIG_HOME");
  const std::string home_copy = saved_home ? saved_home : "", xdg_copy = saved_xdg ? saved_xdg : "";
  for (const Case& c : cases) {
    setenv("HOME", c.home, 1);
    if (c.xdg) setenv("XDG_CONFIG_HOME", c.xdg, 1);
    else unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(ConfigPathFor("/opt/tamsu", c.writable), c.want) << c.home << " " << c.writable;
  }
  if (saved_xdg) setenv("XDG_CONFIG_HOME", xdg_copy.c_str(), 1);
  else unsetenv("XDG_CONFIG_HOME");
  if (saved_home) setenv("HOME", home_copy.c_str(), 1);
}

}  // namespace
