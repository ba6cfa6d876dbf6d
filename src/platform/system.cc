#include "platform/system.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

std::string CurrentDirectory() {
  char buf[4096];
  return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

int ChangeDirectory(const char* dir) { return dir && ::chdir(dir) == 0 ? 0 : -1; }

int MakeDirectory(const char* dir) { return dir && ::mkdir(dir, 0777) == 0 ? 0 : -1; }

int RandomBytes(void* buffer, size_t count) {
  auto* p = static_cast<unsigned char*>(buffer);
  while (count > 0) {
    ssize_t got = ::getrandom(p, count, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    p += got;
    count -= static_cast<size_t>(got);
  }
  return 0;
}

bool StandardStreamsAreTerminal() { return ::isatty(STDIN_FILENO) && ::isatty(STDOUT_FILENO); }

SystemFacts GetSystemFacts(const char* dir) {
  SystemFacts f;
  struct utsname un {};
  if (::uname(&un) == 0) {
    std::sscanf(un.release, "%u.%u", &f.major, &f.minor);
    f.system = un.sysname;
  }
  struct sysinfo si {};
  if (::sysinfo(&si) == 0)
    f.free_memory_kb = static_cast<unsigned long long>(si.freeram) * si.mem_unit / 1024;
  struct statvfs vs {};
  if (::statvfs(dir, &vs) == 0)
    f.free_disk_kb = static_cast<unsigned long long>(vs.f_bavail) * vs.f_frsize / 1024;
  return f;
}

int SyncDirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "."
                          : slash == 0               ? "/"
                                                     : path.substr(0, slash);
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return -1;
  const int r = ::fsync(fd);
  ::close(fd);
  return r == 0 ? 0 : -1;
}

int LinkFile(const std::string& existing, const std::string& new_name) {
  return ::link(existing.c_str(), new_name.c_str()) == 0 ? 0 : -1;
}
