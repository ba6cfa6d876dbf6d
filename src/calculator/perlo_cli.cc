#include "calculator/perlo_cli.h"

#include <string>
#include <string_view>

#include "calculator/perlo_interest.h"
#include "calculator/perlo_tax.h"
#include "common/text.h"

namespace {

// Texts are kept in Windows-1250 like every text of the program and converted on output.
void Print(std::ostream& stream, std::string_view cp1250) { stream << Cp1250ToUtf8(cp1250); }

void PrintUsage(std::ostream& stream) {
  Print(stream,
        "Perlo 4.61  (19.04.2014) - kalkulator podatkowy i odsetkowy\n"
        "\n"
        "Użycie:\n"
        "  perlo tax ROK DOCHÓD\n"
        "      podatek dochodowy od rocznego dochodu według skali podatkowej roku\n"
        "  perlo income ROK PODATEK\n"
        "      największy dochód, od którego podatek nie przekracza podanego\n"
        "  perlo interest statutory|tax KWOTA TERMIN DATA_WPŁATY\n"
        "      odsetki ustawowe (statutory) lub podatkowe (tax) od spóźnionej płatności\n"
        "  perlo split statutory|tax RAZEM TERMIN DATA_WPŁATY\n"
        "      rozbicie zapłaconej sumy na kwotę główną i odsetki\n"
        "\n"
        "Rok podatkowy: 1995-2014. Daty: DD.MM.RRRR. Kwoty jak "_plv);
  // The example shows the separators the amounts are read with.
  Print(stream, PerloFormatAmount(PERLO_MONEY::FromRaw(12345000)));
  Print(stream, "\n(separatory z ustawień regionalnych, tekst waluty można pominąć).\n"_plv);
}

struct ERRORS {
  std::ostream& err;
  int Fail(std::string_view message, std::string_view argument_utf8) {
    Print(err, "perlo: "_plv);
    Print(err, message);
    if (!argument_utf8.empty()) err << ": " << argument_utf8;
    err << "\n";
    Print(err, "Pomoc: perlo --help\n"_plv);
    return kPerloBadArguments;
  }
};

int ParseYear(std::string_view arg, int* year) {
  if (arg.empty() || arg.size() > 4) return -1;
  int v = 0;
  for (char c : arg) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  if (v < kPerloFirstTaxYear || v > kPerloLastTaxYear) return -1;
  *year = v;
  return 0;
}

// A script's amount must be a number alone or followed by the currency text: a number the
// dialog would read only in part ("1234.50" where the decimal separator is ",") is refused
// rather than taken as 1234.
int ParseMoney(std::string_view arg_utf8, PERLO_MONEY* value, bool* too_large) {
  std::string text = Utf8ToCp1250(arg_utf8);
  PERLO_AMOUNT_READ r = PerloReadAmount(text);
  *too_large = r.clamped;
  if (!r.digits || r.clamped) return -1;
  std::string_view rest = std::string_view(text).substr(r.end);
  auto skip_blanks = [&rest] {
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  };
  skip_blanks();
  std::string_view currency = PerloCurrencyText();
  if (rest.substr(0, currency.size()) == currency) rest.remove_prefix(currency.size());
  skip_blanks();
  if (!rest.empty()) return -1;
  *value = r.value;
  return 0;
}

int ParseTable(std::string_view arg, PERLO_TABLE* table) {
  if (arg == "statutory" || arg == "ustawowe") *table = kPerloStatutory;
  else if (arg == "tax" || arg == "podatkowe") *table = kPerloTaxInterest;
  else return -1;
  return 0;
}

void PrintLine(std::ostream& out, std::string_view label, PERLO_MONEY value) {
  Print(out, label);
  out << ": ";
  Print(out, PerloFormatAmount(value));
  out << "\n";
}

int TaxVerb(bool backward, const char* const* args, std::ostream& out, ERRORS& e) {
  int year;
  if (ParseYear(args[0], &year) != 0)
    return e.Fail("nieprawidłowy rok podatkowy (dozwolone lata 1995-2014)"_plv, args[0]);
  PERLO_MONEY value;
  bool too_large;
  if (ParseMoney(args[1], &value, &too_large) != 0)
    return e.Fail(too_large ? "kwota poza zakresem"_plv
                            : backward ? "nieprawidłowa kwota podatku"_plv
                                       : "nieprawidłowa kwota dochodu"_plv,
                  args[1]);
  PERLO_MONEY income = backward ? PerloIncomeFromTax(year, value) : value;
  PrintLine(out, "Suma dochodu"_plv, income);
  PrintLine(out, "Podatek dochodowy"_plv, PerloTax(year, income));
  return 0;
}

int InterestVerb(bool backward, const char* const* args, std::ostream& out, ERRORS& e) {
  PERLO_TABLE table;
  if (ParseTable(args[0], &table) != 0)
    return e.Fail("nieznany rodzaj odsetek (statutory - ustawowe, tax - podatkowe)"_plv,
                  args[0]);
  PERLO_MONEY value;
  bool too_large;
  if (ParseMoney(args[1], &value, &too_large) != 0)
    return e.Fail(too_large ? "kwota poza zakresem"_plv : "nieprawidłowa kwota"_plv, args[1]);
  PERLO_DAY due = PerloParseDate(args[2]);
  if (due == 0) return e.Fail("nieprawidłowy termin (oczekiwano DD.MM.RRRR)"_plv, args[2]);
  PERLO_DAY paid = PerloParseDate(args[3]);
  if (paid == 0)
    return e.Fail("nieprawidłowa data wpłaty (oczekiwano DD.MM.RRRR)"_plv, args[3]);
  PERLO_MONEY amount = backward ? PerloSplit(value, due, paid, table) : value;
  PERLO_MONEY interest = PerloInterest(amount, due, paid, table);
  PrintLine(out, "Kwota"_plv, amount);
  PrintLine(out, "Odsetki"_plv, interest);
  PrintLine(out, "Razem"_plv, amount + interest);
  return 0;
}

}  // namespace

int PerloMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  ERRORS e{err};
  if (argc < 2) {
    PrintUsage(out);
    return 0;
  }
  std::string_view verb = argv[1];
  if (verb == "-h" || verb == "--help" || verb == "help") {
    PrintUsage(out);
    return 0;
  }
  struct VERB {
    const char* name;
    int args;
    bool backward;
    bool interest;
  };
  static constexpr VERB kVerbs[] = {
      {"tax", 2, false, false},
      {"income", 2, true, false},
      {"interest", 4, false, true},
      {"split", 4, true, true},
  };
  for (const VERB& v : kVerbs) {
    if (verb != v.name) continue;
    if (argc - 2 != v.args) {
      e.Fail("nieprawidłowa liczba argumentów polecenia"_plv, v.name);
      PrintUsage(err);
      return kPerloBadArguments;
    }
    return v.interest ? InterestVerb(v.backward, argv + 2, out, e)
                      : TaxVerb(v.backward, argv + 2, out, e);
  }
  return e.Fail("nieznane polecenie"_plv, argv[1]);
}
