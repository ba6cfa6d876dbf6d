// Program entry of Tamsu.
#include <cstdio>

#include "shell/command_line.h"
#include "shell/inifile.h"
#include "shell/startup.h"

int main(int argc, char** argv) {
  SetCommandLineFromArgv(argc, argv);
  if (EnterDataDirectory() != 0) return 1;
  // The screen and the command loop are not there yet: say what this build holds.
  std::printf("Tamsu: zbudowano warstwę plików, plik konfiguracji i typy wspólne.\n"
              "Katalog danych: %s\nPlik konfiguracji: %s\n",
              *CommandLineArgument(1) ? CommandLineArgument(1) : SavedDirectory().c_str(),
              ConfigPath().c_str());
  RestoreSavedDirectory();
  return 0;
}
