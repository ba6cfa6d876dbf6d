// The calculator's command line for scripts:
//
//   perlo tax YEAR INCOME                        the income tax of a year
//   perlo income YEAR TAX                        the largest income with at most that tax
//   perlo interest statutory|tax AMOUNT DUE PAID the interest and the total
//   perlo split statutory|tax TOTAL DUE PAID     a total paid split into amount and interest
//
// Each prints "label: value" lines with the labels of the calculator's fields and amounts as
// the fields show them ("Podatek dochodowy: 1 234,50 zł"), and returns 0. Without arguments
// (the program opens its full-screen dialog then; this is what a script without a terminal
// gets) and with -h or --help it prints the usage and returns 0. A bad argument prints a Polish message naming it on `err` and returns 2.
// Arguments are UTF-8 as the terminal gives them; output is UTF-8.
#pragma once

#include <ostream>

inline constexpr int kPerloBadArguments = 2;

int PerloMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
