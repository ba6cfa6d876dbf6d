#include "calculator/perlo_browser.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

extern char** environ;

namespace {

std::string g_opener = kPerloDefaultOpener;
std::vector<pid_t> g_running;

}  // namespace

int PerloOpenAddress(const char* address) {
  if (!address || !*address || g_opener.empty()) {
    errno = EINVAL;
    return -1;
  }
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  if (posix_spawn_file_actions_init(&actions) != 0) return -1;
  if (posix_spawnattr_init(&attr) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return -1;
  }
  // The screen owns the terminal: the opener and the browser it starts get /dev/null instead,
  // and a process group of their own so that keys meant for the calculator never reach them.
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  for (int s : {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGPIPE, SIGCHLD, SIGWINCH, SIGTSTP})
    sigaddset(&defaults, s);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF |
                                      POSIX_SPAWN_SETPGROUP);
  std::string program = g_opener, argument = address;
  char* argv[] = {program.data(), argument.data(), nullptr};
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, program.c_str(), &actions, &attr, argv, environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    errno = rc;
    return -1;
  }
  g_running.push_back(pid);
  return 0;
}

void PerloSetOpener(const char* program) { g_opener = program ? program : ""; }

const char* PerloOpener() { return g_opener.c_str(); }

int PerloReapOpeners() {
  for (size_t i = 0; i < g_running.size();) {
    int status;
    pid_t r = waitpid(g_running[i], &status, WNOHANG);
    if (r == 0) {
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
