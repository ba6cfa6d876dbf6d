#include "calculator/perlo_browser.h"

#include <cerrno>
#include <string>
#include <vector>

#include "platform/process.h"

namespace {

std::string g_opener = kPerloDefaultOpener;
std::vector<pid_t> g_running;

}  // namespace

int PerloOpenAddress(const char* address) {
  if (!address || !*address || g_opener.empty()) {
    errno = EINVAL;
    return -1;
  }
  const pid_t pid = SpawnDetached(g_opener.c_str(), address);
  if (pid < 0) return -1;
  g_running.push_back(pid);
  return 0;
}

void PerloSetOpener(const char* program) { g_opener = program ? program : ""; }

const char* PerloOpener() { return g_opener.c_str(); }

int PerloReapOpeners() {
  for (size_t i = 0; i < g_running.size();) {
    if (!ProcessEnded(g_running[i])) {
      ++i;
      continue;
    }
    // Ended (or no longer ours to wait for): forget it.
    g_running.erase(g_running.begin() + static_cast<long>(i));
  }
  return static_cast<int>(g_running.size());
}

void PerloBrowserReset() {
  PerloReapOpeners();
  g_running.clear();
  g_opener = kPerloDefaultOpener;
}
