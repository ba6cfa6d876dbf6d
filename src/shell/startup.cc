#include "shell/startup.h"

#include <unistd.h>

#include "shell/command_line.h"

namespace {
std::string g_saved;
}

int EnterDataDirectory() {
  char buf[4096];
  if (!::getcwd(buf, sizeof buf)) return -1;
  g_saved = buf;
  const char* dir = CommandLineArgument(1);
  if (*dir) (void)::chdir(dir);  // a wrong directory leaves the current one as it was
  return 0;
}

void RestoreSavedDirectory() {
  if (!g_saved.empty()) (void)::chdir(g_saved.c_str());
}

const std::string& SavedDirectory() { return g_saved; }

void ResetStartup() { g_saved.clear(); }
