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
  setlocale(LC_CTYPE, "");
  if (argc >= 2) return PerloMain(argc, argv, std::cout, std::cerr);
  if (!StandardStreamsAreTerminal()) {
    // Started from a script or a pipe: there is no screen to draw on. The usage of the commands
    // is printed, and the script learns from the exit status that no dialog ran.
    std::cerr << Cp1250ToUtf8("perlo: okno kalkulatora wymaga terminala.\n"_plv);
    PerloMain(argc, argv, std::cout, std::cerr);
    return kPerloFailed;
  }
  // The dialog's fields follow the user's monetary settings; the commands do not.
  setlocale(LC_MONETARY, "");
  PerloLoadSeparators();
  if (PerloScreenRun(PerloToday()) != 0) {
    std::cerr << Cp1250ToUtf8("perlo: nie można przygotować terminala.\n"_plv);
    return kPerloFailed;
  }
  return 0;
}
