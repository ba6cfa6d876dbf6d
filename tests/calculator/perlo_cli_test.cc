#include "calculator/perlo_cli.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <sstream>
#include <string>
#include <vector>

#include "calculator/perlo_money.h"
#include "support/run_shell.h"

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

// Output is UTF-8: "zł" is 7A C5 82.
TEST(PerloCliTest, VerbsPrintTheFieldsAsShown) {
  const struct {
    std::vector<const char*> args;
    const char* out;
  } cases[] = {
      {{"tax", "2014", "3 089,03 zł"}, "Suma dochodu: 3 089,03 zł\nPodatek dochodowy: 0,01 zł\n"},

      {{"interest", "tax", "1000", "30.11.2008", "31.12.2008"},
       "Kwota: 1 000,00 zł\nOdsetki: 11,99 zł\nRazem: 1 011,99 zł\n"},
      {{"split", "statutory", "1 010,46 zł", "30.11.2008", "31.12.2008"},
       "Kwota: 1 000,00 zł\nOdsetki: 10,46 zł\nRazem: 1 010,46 zł\n"},
      // The amount is rounded to the grosz before anything is computed from it.
      {{"tax", "2014", "3089,025"}, "Suma dochodu: 3 089,03 zł\nPodatek dochodowy: 0,01 zł\n"},
      {{"interest", "statutory", "999,995", "30.11.2008", "31.12.2008"},
       "Kwota: 1 000,00 zł\nOdsetki: 10,46 zł\nRazem: 1 010,46 zł\n"},
      {{"--version"}, "Perlo 4.61  (19.04.2014)\n"},
  };
  for (const auto& c : cases) {
    RUN r = Perlo(c.args);
    EXPECT_EQ(r.code, 0) << c.args[0];
    EXPECT_EQ(r.out, c.out) << c.args[0];
    EXPECT_EQ(r.err, "");
  }
  RUN usage = Perlo({});
  EXPECT_EQ(usage.code, 0);
  EXPECT_NE(usage.out.find("Użycie:"), std::string::npos);
  EXPECT_EQ(Perlo({"--help"}).out, usage.out);
}

TEST(PerloCliTest, AmountsReadTheSameUnderEveryLocale) {
  // The fields' separators (as a locale would set them) do not reach the command line.
  PerloSetSeparators('.', ',');
  for (const char* typed : {"1234,50", "1234.50", "1 234,50", "1 234.5 zł", "+1234,5"})
    EXPECT_EQ(Perlo({"tax", "2014", typed}).out,
              "Suma dochodu: 1 234,50 zł\nPodatek dochodowy: 0,00 zł\n")
        << typed;
  // Blanks only between groups of three digits, one decimal separator, nothing after the currency.
  for (const char* typed : {"12 34", "1 2345", "1,234.50", "1.234,50", "12,", "zł", "1 zł x"}) {
    RUN r = Perlo({"tax", "2014", typed});
    EXPECT_EQ(r.code, kPerloBadArguments) << typed;
    EXPECT_NE(r.err.find("nieprawidłowa kwota dochodu"), std::string::npos) << typed;
  }
}

TEST(PerloCliTest, BadArgumentsAreNamedInPolish) {
  struct CASE {
    std::vector<const char*> args;
    const char* message;
  } cases[] = {
      {{"taxes", "2014", "1"}, "perlo: nieznane polecenie: taxes\n"},
      {{"tax", "2014"}, "perlo: nieprawidłowa liczba argumentów polecenia: tax\n"},
      {{"tax", "1994", "1000"},
       "perlo: nieprawidłowy rok podatkowy (dozwolone lata 1995-2014): 1994\n"},
      {{"income", "2014", "10 zł i 20 gr"}, "nieprawidłowa kwota podatku: 10 zł i 20 gr"},
      {{"tax", "2014", "100 000 000 000"}, "kwota poza zakresem: 100 000 000 000"},
      {{"interest", "legal", "1", "01.01.2013", "01.02.2013"}, "nieznany rodzaj odsetek"},
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

// The built program, through a shell: its exit status tells a script what happened.
TEST(PerloCliTest, TheProgramsExitStatusTellsTheScriptWhatHappened) {
  auto run = [](const std::string& args, std::string* out) {
    int status = 0;
    *out = RunShell("LC_ALL=C.UTF-8 " TAMSU_BUILD_DIR "/perlo 2>&1 " + args, &status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  std::string out;
  ASSERT_EQ(run("tax 2014 '1234,50 zł'", &out), 0) << out;
  EXPECT_EQ(out, "Suma dochodu: 1 234,50 zł\nPodatek dochodowy: 0,00 zł\n");
  EXPECT_EQ(run("interest tax 100 31.02.2013 01.03.2013", &out), kPerloBadArguments);
  EXPECT_EQ(
      out,
      "perlo: nieprawidłowy termin (oczekiwano DD.MM.RRRR): 31.02.2013\nPomoc: perlo --help\n");
  // Output that cannot be written, and no terminal for the dialog, are failures.
  EXPECT_EQ(run("tax 2014 100 >/dev/full", &out), kPerloFailed);
  EXPECT_NE(out.find("perlo: nie można zapisać wyniku."), std::string::npos);
  EXPECT_EQ(run("</dev/null", &out), kPerloFailed);
  EXPECT_NE(out.find("perlo: okno kalkulatora wymaga terminala."), std::string::npos);
  EXPECT_NE(out.find("perlo split statutory|tax"), std::string::npos);
}

}  // namespace
