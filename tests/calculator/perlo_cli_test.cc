#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "calculator/perlo_cli.h"
#include "calculator/perlo_money.h"

namespace {

struct RUN {
  int code;
  std::string out;
  std::string err;
};

RUN Perlo(std::vector<const char*> args) {
  args.insert(args.begin(), "perlo");
  std::ostringstream out, err;
  int code = PerloMain(static_cast<int>(args.size()), args.data(), out, err);
  return {code, out.str(), err.str()};
}

class PerloCliTest : public ::testing::Test {
 protected:
  void SetUp() override { PerloResetSeparators(); }
  void TearDown() override { PerloResetSeparators(); }
};

// Output is UTF-8: "zł" is 7A C5 82.
TEST_F(PerloCliTest, VerbsPrintTheFieldsAsShown) {
  RUN r = Perlo({"tax", "2014", "3 089,03 zł"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "Suma dochodu: 3 089,03 zł\nPodatek dochodowy: 0,01 zł\n");
  EXPECT_EQ(r.err, "");

  r = Perlo({"income", "2014", "0"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "Suma dochodu: 3 089,02 zł\nPodatek dochodowy: 0,00 zł\n");

  r = Perlo({"interest", "statutory", "1 000", "30.11.2008", "31.12.2008"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "Kwota: 1 000,00 zł\nOdsetki: 10,46 zł\nRazem: 1 010,46 zł\n");

  r = Perlo({"interest", "tax", "1000", "30.11.2008", "31.12.2008"});
  EXPECT_EQ(r.out, "Kwota: 1 000,00 zł\nOdsetki: 11,99 zł\nRazem: 1 011,99 zł\n");

  r = Perlo({"split", "statutory", "1 010,46 zł", "30.11.2008", "31.12.2008"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "Kwota: 1 000,00 zł\nOdsetki: 10,46 zł\nRazem: 1 010,46 zł\n");

  r = Perlo({"interest", "statutory", "1000", "31.12.2008", "30.11.2008"});
  EXPECT_EQ(r.out, "Kwota: 1 000,00 zł\nOdsetki: 0,00 zł\nRazem: 1 000,00 zł\n");
}

TEST_F(PerloCliTest, SeparatorsOfTheLocaleApply) {
  PerloSetSeparators('.', ',');
  RUN r = Perlo({"tax", "2014", "100,000.5"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "Suma dochodu: 100,000.50 zł\nPodatek dochodowy: 19,470.22 zł\n");
  EXPECT_EQ(Perlo({"tax", "2014", "1 000"}).code, kPerloBadArguments);
}

TEST_F(PerloCliTest, UsageWithoutArguments) {
  RUN r = Perlo({});
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("Perlo 4.61  (19.04.2014)"), std::string::npos);
  EXPECT_NE(r.out.find("Użycie:"), std::string::npos);
  EXPECT_EQ(Perlo({"--help"}).out, r.out);
}

TEST_F(PerloCliTest, BadArgumentsAreNamedInPolish) {
  struct CASE {
    std::vector<const char*> args;
    const char* message;
  } cases[] = {
      {{"taxes", "2014", "1"}, "perlo: nieznane polecenie: taxes\n"},
      {{"tax", "2014"}, "perlo: nieprawidłowa liczba argumentów polecenia: tax\n"},
      {{"split", "tax", "1", "01.01.2013"}, "nieprawidłowa liczba argumentów polecenia: split"},
      {{"tax", "1994", "1000"}, "perlo: nieprawidłowy rok podatkowy (dozwolone lata 1995-2014): 1994\n"},
      {{"income", "20x4", "1000"}, "nieprawidłowy rok podatkowy"},
      {{"tax", "2014", "1234.50"}, "perlo: nieprawidłowa kwota dochodu: 1234.50\n"},
      {{"tax", "2014", "zł"}, "nieprawidłowa kwota dochodu: zł"},
      {{"income", "2014", "10 zł i 20 gr"}, "nieprawidłowa kwota podatku: 10 zł i 20 gr"},
      {{"tax", "2014", "100 000 000 000"}, "kwota poza zakresem: 100 000 000 000"},
      {{"interest", "legal", "1", "01.01.2013", "01.02.2013"}, "nieznany rodzaj odsetek"},
      {{"interest", "tax", "1,2,3", "01.01.2013", "01.02.2013"}, "nieprawidłowa kwota: 1,2,3"},
      {{"interest", "tax", "100", "31.02.2013", "01.03.2013"},
       "perlo: nieprawidłowy termin (oczekiwano DD.MM.RRRR): 31.02.2013\n"},
      {{"split", "statutory", "100", "01.02.2013", "2013-03-01"},
       "nieprawidłowa data wpłaty (oczekiwano DD.MM.RRRR): 2013-03-01"},
  };
  for (const CASE& c : cases) {
    RUN r = Perlo(c.args);
    SCOPED_TRACE(c.message);
    EXPECT_EQ(r.code, kPerloBadArguments);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
}

// The built program, through a shell, with the C locale's separators.
TEST_F(PerloCliTest, TheProgramRunsFromAScript) {
  auto run = [](const std::string& args, std::string* out) {
    std::string command = "LC_ALL=C " TAMSU_BUILD_DIR "/perlo " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return -1;
    char buffer[256];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out->append(buffer, n);
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  std::string out;
  ASSERT_EQ(run("tax 2014 '85 528 zł'", &out), 0) << out;
  EXPECT_EQ(out, "Suma dochodu: 85 528,00 zł\nPodatek dochodowy: 14 839,02 zł\n");
  out.clear();
  EXPECT_EQ(run("interest tax 100 31.02.2013 01.03.2013", &out), kPerloBadArguments);
  EXPECT_EQ(out, "perlo: nieprawidłowy termin (oczekiwano DD.MM.RRRR): 31.02.2013\n"
                 "Pomoc: perlo --help\n");
  out.clear();
  EXPECT_EQ(run("", &out), 0);
  EXPECT_NE(out.find("perlo split statutory|tax"), std::string::npos);
}

}  // namespace
