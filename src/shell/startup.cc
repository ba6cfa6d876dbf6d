#include "shell/startup.h"

#include "platform/system.h"
#include "shell/command_line.h"

namespace {
std::string g_saved;
}

int EnterDataDirectory() {
  g_saved = CurrentDirectory();
  if (g_saved.empty()) return -1;
  const char* dir = CommandLineArgument(1);
  if (*dir) (void)ChangeDirectory(dir);  // a wrong directory leaves the current one as it was
  return 0;
}

void RestoreSavedDirectory() {
  if (!g_saved.empty()) (void)ChangeDirectory(g_saved.c_str());
}

const std::string& SavedDirectory() { return g_saved; }

void ResetStartup() { g_saved.clear(); }
