// The calculator's command line for scripts:
//
//   perlo tax YEAR INCOME                        the income tax of a year
//   perlo income YEAR TAX                        the largest income with at most that tax
//   perlo interest statutory|tax AMOUNT DUE PAID the interest and the total
//   perlo split statutory|tax TOTAL DUE PAID     a total paid split into amount and interest
//
// Each prints "label: value" lines with the labels of the calculator's fields and amounts as
// the fields show them ("Podatek dochodowy: 1 234,50 zł"), and returns 0. Amounts are read and
// printed the same under every locale: "," or "." before the decimals, blanks only between
// groups of three digits, and each typed amount is rounded to the grosz before it is used. With
// -h or --help it prints the usage, with --version the title, and returns 0. A bad argument
// prints a Polish message naming it on `err` and returns 2; output that cannot be written
// returns 1. Arguments are UTF-8 as the terminal gives them; output is UTF-8.
#pragma once

#include <ostream>

inline constexpr int kPerloBadArguments = 2;
// The dialog could not start, or the output could not be written.
inline constexpr int kPerloFailed = 1;
inline constexpr const char* kPerloTitle = "Perlo 4.61  (19.04.2014)";

int PerloMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
