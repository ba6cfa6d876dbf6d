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

// Each row: the file before (null: none), the key written, the file after.
TEST_F(IniTest, AWrittenKeyTakesItsPlaceInItsSection) {
  const struct {
    const char *before, *section, *key, *value, *after;
  } cases[] = {
      {"", "Tamsu", "Net", "1", "\n[Tamsu]\nNet=1\n"},
      {nullptr, "Console", "X", "10", "\n[Console]\nX=10\n"},
      // A new key goes before the blank lines that end its section, also the last one.
      {"[Tamsu]\nNet=0\n\n\n[Console]\nX=5\n", "Tamsu", "ColorMode", "2",
       "[Tamsu]\nNet=0\nColorMode=2\n\n\n[Console]\nX=5\n"},
      {"[Tamsu]\nNet=0\n\n", "Tamsu", "RoundPay", "3", "[Tamsu]\nNet=0\nRoundPay=3\n\n"},
      // Only the first line of the key is replaced, and only in its section.
      {"[Tamsu]\nNet=0\nNetX=4\nNet=9\n[Other]\nNet=3\n", "Tamsu", "Net", "1",
       "[Tamsu]\nNet=1\nNetX=4\nNet=9\n[Other]\nNet=3\n"},
  };
  for (const auto& c : cases) {
    std::remove(Path().c_str());
    if (c.before) WriteWholeFile(Path(), c.before);
    ASSERT_EQ(Ini().WriteString(c.section, c.key, c.value), 0) << c.key;
    EXPECT_EQ(Contents(), c.after);
    std::string v;
    EXPECT_EQ(Ini().GetString(c.section, c.key, &v), 0);
    EXPECT_EQ(v, c.value);
    EXPECT_FALSE(CFILE::Exists(dir.File("000001.tmp").c_str()));  // no temporary file left
  }
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
  WriteWholeFile(Path(),
                 "[Tamsu]\nDocumentPlace=\x9D\xA2"
                 "d\xAB\nMeasure1=kilogramy\n");
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
  for (const auto& [key, raw, text] :
       {std::tuple{"G", 125000LL, "12.5"}, {"I", -1LL, "-0.0001"}, {"J", 30000LL, "3"}}) {
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
  std::string before = "[Tamsu]\nPrnCodes=" + std::string(600, 'x') + "\n";  // a long line too
  for (int i = 0; i < 150; ++i)
    before += "Key" + std::to_string(i) + "=" + std::to_string(i * 7) + "\n";
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
