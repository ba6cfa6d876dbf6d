#include "calculator/perlo_cli.h"

#include <string>
#include <string_view>

#include "calculator/perlo_date.h"
#include "calculator/perlo_interest.h"
#include "calculator/perlo_money.h"
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
  Print(stream,
        "1234,5 lub 1 234.50 zł (separator dziesiętny \",\" albo \".\", odstępy\n"
        "tylko między grupami trzech cyfr, tekst waluty można pominąć).\n"_plv);
}

// Amounts print the same whatever the user's locale: scripts read them.
std::string Shown(AMOUNT value) { return PerloFormatAmountWith(value, ',', ' '); }

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

// A script's amount does not depend on the locale: an optional sign, the whole part either as
// plain digits or in groups of three after the first separated by blanks ("1 234 567"), then
// "," or "." and the decimals, then the currency text if wanted. Anything else is refused
// rather than read in part. The value is rounded to the grosz first, as the screen shows it.
int ParseMoney(std::string_view arg_utf8, AMOUNT* value, bool* too_large) {
  const std::string text = Utf8ToCp1250(arg_utf8);
  std::string_view rest = text;
  *too_large = false;
  auto skip_blanks = [&rest] {
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  };
  auto digits = [&rest] {
    size_t n = 0;
    while (n < rest.size() && rest[n] >= '0' && rest[n] <= '9') ++n;
    return n;
  };
  auto is_blank = [](char c) { return c == ' ' || c == '\xA0'; };  // a blank or a no-break one
  skip_blanks();
  std::string number;  // sign, digits and "," as PerloReadAmount reads them by default
  if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
    number += rest.front();
    rest.remove_prefix(1);
  }
  size_t n = digits();
  if (n == 0) return -1;
  number += rest.substr(0, n);
  const bool grouped = n <= 3 && rest.size() > n + 1 && is_blank(rest[n]);
  rest.remove_prefix(n);
  while (grouped && rest.size() > 3 && is_blank(rest.front())) {
    rest.remove_prefix(1);
    if (digits() != 3) return -1;
    number += rest.substr(0, 3);
    rest.remove_prefix(3);
  }
  if (!rest.empty() && (rest.front() == ',' || rest.front() == '.')) {
    rest.remove_prefix(1);
    n = digits();
    if (n == 0) return -1;
    number += ',';
    number += rest.substr(0, n);
    rest.remove_prefix(n);
  }
  skip_blanks();
  const std::string_view currency = PerloCurrencyText();
  if (rest.substr(0, currency.size()) == currency) rest.remove_prefix(currency.size());
  skip_blanks();
  if (!rest.empty()) return -1;
  const PERLO_AMOUNT_READ r = PerloReadAmountWith(number, ',', ' ');
  *too_large = r.too_large;
  if (r.too_large) return -1;
  *value = RoundTo(r.value, 2);
  return 0;
}

int ParseTable(std::string_view arg, PERLO_TABLE* table) {
  if (arg == "statutory" || arg == "ustawowe") *table = kPerloStatutory;
  else if (arg == "tax" || arg == "podatkowe") *table = kPerloTaxInterest;
  else return -1;
  return 0;
}

void PrintLine(std::ostream& out, std::string_view label, AMOUNT value) {
  Print(out, label);
  out << ": ";
  Print(out, Shown(value));
  out << "\n";
}

int TaxVerb(bool backward, const char* const* args, std::ostream& out, ERRORS& e) {
  int year;
  if (ParseYear(args[0], &year) != 0)
    return e.Fail("nieprawidłowy rok podatkowy (dozwolone lata 1995-2014)"_plv, args[0]);
  AMOUNT value;
  bool too_large;
  if (ParseMoney(args[1], &value, &too_large) != 0)
    return e.Fail(too_large  ? "kwota poza zakresem"_plv
                  : backward ? "nieprawidłowa kwota podatku"_plv
                             : "nieprawidłowa kwota dochodu"_plv,
                  args[1]);
  AMOUNT income = backward ? PerloIncomeFromTax(year, value) : value;
  PrintLine(out, "Suma dochodu"_plv, income);
  PrintLine(out, "Podatek dochodowy"_plv, PerloTax(year, income));
  return 0;
}

int InterestVerb(bool backward, const char* const* args, std::ostream& out, ERRORS& e) {
  PERLO_TABLE table;
  if (ParseTable(args[0], &table) != 0)
    return e.Fail("nieznany rodzaj odsetek (statutory - ustawowe, tax - podatkowe)"_plv, args[0]);
  AMOUNT value;
  bool too_large;
  if (ParseMoney(args[1], &value, &too_large) != 0)
    return e.Fail(too_large ? "kwota poza zakresem"_plv : "nieprawidłowa kwota"_plv, args[1]);
  DATE due = PerloParseDate(args[2]);
  if (due == 0) return e.Fail("nieprawidłowy termin (oczekiwano DD.MM.RRRR)"_plv, args[2]);
  DATE paid = PerloParseDate(args[3]);
  if (paid == 0) return e.Fail("nieprawidłowa data wpłaty (oczekiwano DD.MM.RRRR)"_plv, args[3]);
  AMOUNT amount = backward ? PerloSplit(value, due, paid, table) : value;
  AMOUNT interest = PerloInterest(amount, due, paid, table);
  PrintLine(out, "Kwota"_plv, amount);
  PrintLine(out, "Odsetki"_plv, interest);
  PrintLine(out, "Razem"_plv, amount + interest);
  return 0;
}

}  // namespace

namespace {

int RunVerb(int argc, const char* const* argv, std::ostream& out, ERRORS& e) {
  if (argc < 2) {
    PrintUsage(out);
    return 0;
  }
  std::string_view verb = argv[1];
  if (verb == "-h" || verb == "--help" || verb == "help") {
    PrintUsage(out);
    return 0;
  }
  if (verb == "--version") {
    out << kPerloTitle << "\n";
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
      PrintUsage(e.err);
      return kPerloBadArguments;
    }
    return v.interest ? InterestVerb(v.backward, argv + 2, out, e)
                      : TaxVerb(v.backward, argv + 2, out, e);
  }
  return e.Fail("nieznane polecenie"_plv, argv[1]);
}

}  // namespace

int PerloMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  ERRORS e{err};
  int rc = RunVerb(argc, argv, out, e);
  // A script must learn that its result never arrived (a full disk, a closed pipe).
  if (!out.flush()) {
    Print(err, "perlo: nie można zapisać wyniku.\n"_plv);
    if (rc == 0) rc = kPerloFailed;
  }
  return rc;
}
