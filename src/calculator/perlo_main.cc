// Perlo, the tax and interest calculator.
#include <clocale>
#include <iostream>

#include "calculator/perlo_cli.h"
#include "calculator/perlo_money.h"

int main(int argc, char** argv) {
  // Only the monetary settings: the separators of amounts come from the user's locale.
  setlocale(LC_MONETARY, "");
  setlocale(LC_CTYPE, "");
  PerloLoadSeparators();
  return PerloMain(argc, argv, std::cout, std::cerr);
}
