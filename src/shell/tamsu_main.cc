// Program entry of Tamsu: tamsu [DATADIR].
#include "shell/app.h"
#include "shell/command_line.h"

int main(int argc, char** argv) {
  SetCommandLineFromArgv(argc, argv);
  return TamsuMain() == 0 ? 0 : 1;
}
