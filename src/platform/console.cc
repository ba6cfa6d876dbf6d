#include "platform/console.h"

#include <unistd.h>

#include "platform/headless.h"
#include "platform/terminal.h"

namespace {
ConsoleKind g_kind = kConsoleTerminal;
}

CONSOLE* console_create(ConsoleKind kind) {
  if (kind == kConsoleHeadless) return new HEADLESS_CONSOLE();
  return new TERMINAL_CONSOLE(STDIN_FILENO, STDOUT_FILENO, nullptr);
}

void console_select(ConsoleKind kind) { g_kind = kind; }
ConsoleKind console_selected() { return g_kind; }
