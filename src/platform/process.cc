#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

extern char** environ;

namespace {

// A pidfd shows its process in its fdinfo ("Pid:\t1234"); no other descriptor kind has that line.
bool IsProcessHandle(int fd) {
  if (fd < 0) return false;
  char path[64];
  std::snprintf(path, sizeof path, "/proc/self/fdinfo/%d", fd);
  int f = ::open(path, O_RDONLY | O_CLOEXEC);
  if (f < 0) return false;
  char buf[1024];
  ssize_t n = ::read(f, buf, sizeof buf - 1);
  ::close(f);
  if (n <= 0) return false;
  buf[n] = '\0';
  return std::strstr(buf, "\nPid:") != nullptr || std::strncmp(buf, "Pid:", 4) == 0;
}

}  // namespace

int OpenSelfHandle() {
  int fd = static_cast<int>(::syscall(SYS_pidfd_open, ::getpid(), 0));
  if (fd < 0) return -1;
  // pidfd_open always sets close-on-exec; the second stage must inherit it.
  int flags = ::fcntl(fd, F_GETFD);
  if (flags < 0 || ::fcntl(fd, F_SETFD, flags & ~FD_CLOEXEC) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

int WaitForProcessHandle(int fd) {
  if (!IsProcessHandle(fd)) return -1;
  struct pollfd p {};
  p.fd = fd;
  p.events = POLLIN;
  for (;;) {
    int r = ::poll(&p, 1, -1);
    if (r > 0) return 0;
    if (r < 0 && errno != EINTR) return -1;
  }
}

void CloseHandle(int fd) {
  if (fd >= 0) ::close(fd);
}

std::string CopyToNewExecutable(const std::string& file, const std::string& folder,
                                const char* prefix) {
  std::string name = folder + "/" + prefix + "XXXXXX";
  int out = ::mkostemp(name.data(), O_CLOEXEC);
  if (out < 0) return "";
  int in = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  bool ok = in >= 0;
  char buf[65536];
  while (ok) {
    ssize_t n = ::read(in, buf, sizeof buf);
    if (n < 0) ok = false;
    if (n <= 0) break;
    for (ssize_t done = 0; ok && done < n;) {
      ssize_t w = ::write(out, buf + done, static_cast<size_t>(n - done));
      if (w <= 0) ok = false;
      else done += w;
    }
  }
  if (in >= 0) ::close(in);
  if (ok) ok = ::fchmod(out, 0700) == 0 && ::fsync(out) == 0;
  // Closed before anybody starts it: a file still open for writing cannot be executed.
  if (::close(out) != 0) ok = false;
  if (!ok) {
    ::unlink(name.c_str());
    return "";
  }
  return name;
}

int StartDetached(const std::vector<std::string>& argv) {
  if (argv.empty()) return -1;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  if (posix_spawn_file_actions_init(&actions) != 0) return -1;
  if (posix_spawnattr_init(&attr) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return -1;
  }
  int rc = 0;
  for (int fd = 0; fd <= 2 && rc == 0; ++fd)
    rc = posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY,
                                          0);
  // A session of its own: the terminal the first stage ran in may close when it ends.
  if (rc == 0) rc = posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  pid_t pid;
  if (rc == 0) rc = posix_spawn(&pid, args[0], &actions, &attr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  return rc == 0 ? 0 : -1;
}

pid_t SpawnDetached(const char* program, const char* argument) {
  if (!program || !*program) {
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
  posix_spawnattr_setflags(&attr,
                           POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
  std::string prog = program, arg = argument ? argument : "";
  char* argv[] = {prog.data(), argument ? arg.data() : nullptr, nullptr};
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, prog.c_str(), &actions, &attr, argv, environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    errno = rc;
    return -1;
  }
  return pid;
}

bool ProcessEnded(pid_t pid) {
  int status;
  return ::waitpid(pid, &status, WNOHANG) != 0;
}

int RunAndWait(const std::vector<std::string>& argv, const std::string& dir, int timeout_ms,
               const std::function<bool()>& cancel, int* exit_code) {
  *exit_code = 0;
  if (argv.empty() || argv[0].empty()) return kRunNotFound;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  if (posix_spawn_file_actions_init(&actions) != 0) return kRunNoMemory;
  if (posix_spawnattr_init(&attr) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return kRunNoMemory;
  }
  int rc = posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (rc == 0) rc = posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  if (rc == 0) rc = posix_spawn_file_actions_adddup2(&actions, 1, 2);
  if (rc == 0 && !dir.empty()) rc = posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  for (int s : {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGPIPE, SIGCHLD}) sigaddset(&defaults, s);
  if (rc == 0) rc = posix_spawnattr_setsigmask(&attr, &none);
  if (rc == 0) rc = posix_spawnattr_setsigdefault(&attr, &defaults);
  if (rc == 0) rc = posix_spawnattr_setpgroup(&attr, 0);
  if (rc == 0)
    rc = posix_spawnattr_setflags(
        &attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
  pid_t pid = 0;
  if (rc == 0) {
    rc = argv[0].find('/') != std::string::npos
             ? posix_spawn(&pid, args[0], &actions, &attr, args.data(), environ)
             : posix_spawnp(&pid, args[0], &actions, &attr, args.data(), environ);
  }
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) {
    if (rc == ENOENT || rc == EACCES || rc == ENOEXEC || rc == ENOTDIR || rc == EISDIR)
      return kRunNotFound;
    return rc == ENOMEM || rc == EAGAIN ? kRunNoMemory : kRunNotStarted;
  }
  timespec start{};
  ::clock_gettime(CLOCK_MONOTONIC, &start);
  long next_poll = 0;
  for (;;) {
    int status = 0;
    const pid_t r = ::waitpid(pid, &status, WNOHANG);
    if (r == pid) {
      *exit_code = WIFEXITED(status)     ? WEXITSTATUS(status)
                   : WIFSIGNALED(status) ? 128 + WTERMSIG(status)
                                         : 255;
      return kRunExited;
    }
    if (r < 0 && errno != EINTR) return kRunNotStarted;  // not ours to wait for any more
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const long elapsed =
        (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
    int outcome = -1;
    if (elapsed >= timeout_ms) outcome = kRunTimedOut;
    else if (cancel && elapsed >= next_poll) {
      next_poll = elapsed + 100;
      if (cancel()) outcome = kRunCancelled;
    }
    if (outcome >= 0) {
      // The launcher (a loader of Windows programs) may have children of its own: the whole group
      // goes.
      ::kill(-pid, SIGKILL);
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
      return outcome;
    }
    timespec pause{0, 10 * 1000 * 1000};
    ::nanosleep(&pause, nullptr);
  }
}
