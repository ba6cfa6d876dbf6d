// Perlo, the tax and interest calculator: the full-screen dialog without arguments, the
// commands for scripts with them.
#include <clocale>
#include <iostream>

#include "calculator/perlo_cli.h"
#include "calculator/perlo_money.h"
#include "calculator/perlo_screen.h"
#include "common/text.h"
#include "platform/system.h"

int main(int argc, char** argv) {
  // Only the monetary settings: the separators of amounts come from the user's locale.
  setlocale(LC_MONETARY, "");
  setlocale(LC_CTYPE, "");
  PerloLoadSeparators();
  if (argc >= 2) return PerloMain(argc, argv, std::cout, std::cerr);
  if (!StandardStreamsAreTerminal()) {
    // Started from a script or a pipe: there is no screen to draw on, so the usage of the
    // commands is printed as it always was, with a note on the error output.
    std::cerr << Cp1250ToUtf8("perlo: okno kalkulatora wymaga terminala.\n"_plv);
    return PerloMain(argc, argv, std::cout, std::cerr);
  }
  if (PerloScreenRun(PerloToday()) != 0) {
    std::cerr << Cp1250ToUtf8("perlo: nie można przygotować terminala.\n"_plv);
    return 1;
  }
  return 0;
}
