#include "platform/system_facts.h"

#include <fcntl.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <unistd.h>

unsigned long long free_memory_kb() {
  struct sysinfo si {};
  if (::sysinfo(&si) != 0) return 0;
  return static_cast<unsigned long long>(si.freeram) * si.mem_unit / 1024;
}

unsigned long long free_disk_kb(const char* directory) {
  struct statvfs vs {};
  if (::statvfs(directory, &vs) != 0) return 0;
  return static_cast<unsigned long long>(vs.f_bavail) * vs.f_frsize / 1024;
}

std::string program_directory() {
  char exe[4096];
  const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return "";
  const std::string path(exe, static_cast<size_t>(n));
  return path.substr(0, path.rfind('/') + 1);
}

int sync_directory_of(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return -1;
  const int r = ::fsync(fd);
  ::close(fd);
  return r == 0 ? 0 : -1;
}
