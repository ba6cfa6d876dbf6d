// Odvor, the uninstaller. Without arguments it shows its dialog: a window when an X display is
// there, else on the terminal's character screen. With two arguments (a process handle and the
// uninstaller's full path) it is the second stage, started by the first from a copy in the
// temporary folder. Any other command line ends at once.

#include <iostream>

#include "common/text.h"
#include "platform/paths.h"
#include "platform/system.h"
#include "uninstaller/odvor_dialog.h"
#include "uninstaller/uninstall.h"
#include "uninstaller/winlib_x11.h"

namespace {

UNINSTALL_PLACES g_places;

int RemoveInstallation(bool data_files) {
  if (Uninstall(g_places, data_files) != 0) return -1;
  // The uninstaller and its directory go once this process has ended; if the copy cannot be
  // started they stay, and nothing else is left to undo.
  StartSecondStage(g_places);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3) return SecondStage(argv[1], argv[2], ExecutablePath()) == 0 ? 0 : 1;
  if (argc != 1) return 1;

  g_places = UninstallPlacesOfThisProgram();
  ODVOR_SETUP setup;
  setup.packaged = IsPackageInstallation(g_places);
  setup.uninstall = RemoveInstallation;

  if (WL_DISPLAY* display = x11_display_open()) {
    const int r = OdvorWindowRun(display, setup);
    x11_display_close(display);
    if (r >= 0) return 0;
  }
  if (!StandardStreamsAreTerminal()) {
    std::cerr << Cp1250ToUtf8(
        "odvor: nie ma gdzie pokazać okna (brak serwera X i terminala).\n"_plv);
    return 1;
  }
  if (OdvorScreenRun(setup) < 0) {
    std::cerr << Cp1250ToUtf8("odvor: nie można przygotować terminala.\n"_plv);
    return 1;
  }
  return 0;
}
