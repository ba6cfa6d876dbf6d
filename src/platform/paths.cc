#include "platform/paths.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// An XDG base folder: the variable when it holds an absolute path, else the fallback below home.
std::string XdgFolder(const char* variable, const char* below_home) {
  std::string v = Env(variable);
  if (!v.empty() && v[0] == '/') return v;
  std::string home = HomeFolder();
  return home.empty() ? "" : home + "/" + below_home;
}

// The whole of a small file: 1, 0 when there is no such file, -1 when it cannot be read.
int ReadSmallFile(const std::string& path, std::string* out) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? 0 : -1;
  out->clear();
  char buf[4096];
  ssize_t n;
  while ((n = ::read(fd, buf, sizeof buf)) > 0 && out->size() < (1u << 20))
    out->append(buf, static_cast<size_t>(n));
  ::close(fd);
  return n == 0 ? 1 : -1;
}

// The value of XDG_DESKTOP_DIR in user-dirs.dirs ("$HOME/Desktop" or an absolute path in double
// quotes, backslash escaping the next character), with $HOME put in; "" when not there.
std::string DesktopFromUserDirs(const std::string& home, bool* unreadable) {
  std::string text;
  const int r = ReadSmallFile(XdgFolder("XDG_CONFIG_HOME", ".config") + "/user-dirs.dirs", &text);
  *unreadable = r < 0;
  if (r != 1) return "";
  static const char kKey[] = "XDG_DESKTOP_DIR=\"";
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    if (line.compare(0, sizeof kKey - 1, kKey) != 0) continue;
    std::string value;
    for (size_t i = sizeof kKey - 1; i < line.size() && line[i] != '"'; ++i) {
      if (line[i] == '\\' && i + 1 < line.size()) ++i;
      value += line[i];
    }
    if (value.compare(0, 5, "$HOME") == 0) value = home + value.substr(5);
    if (value.empty() || value[0] != '/') return "";
    while (value.size() > 1 && value.back() == '/') value.pop_back();
    return value;
  }
  return "";
}

}  // namespace

std::string ExecutablePath() { return CanonicalPath("/proc/self/exe"); }

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string HomeFolder() {
  std::string home = Env("HOME");
  if (!home.empty()) return home;
  struct passwd* pw = ::getpwuid(::getuid());
  return pw && pw->pw_dir ? pw->pw_dir : "";
}

std::string UserConfigFolder() { return XdgFolder("XDG_CONFIG_HOME", ".config"); }
std::string UserDataFolder() { return XdgFolder("XDG_DATA_HOME", ".local/share"); }
std::string ApplicationsFolder() {
  std::string data = UserDataFolder();
  return data.empty() ? "" : data + "/applications";
}

std::string DesktopFolder(bool* unreadable) {
  bool failed = false;
  if (unreadable) *unreadable = false;
  std::string home = HomeFolder();
  if (home.empty()) return "";
  std::string desktop = DesktopFromUserDirs(home, &failed);
  if (unreadable) *unreadable = failed;
  if (desktop.empty()) return home + "/Desktop";
  std::string h = home;
  while (h.size() > 1 && h.back() == '/') h.pop_back();
  return desktop == h ? "" : desktop;
}

std::string TemporaryFolder() {
  std::string t = Env("TMPDIR");
  return !t.empty() && t[0] == '/' ? t : "/tmp";
}

bool IsWritableDirectory(const std::string& dir) {
  return IsDirectory(dir) && ::access(dir.c_str(), W_OK | X_OK) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool LinkExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string CanonicalPath(const std::string& path) {
  char buf[PATH_MAX];
  return ::realpath(path.c_str(), buf) ? buf : "";
}

int MakeFolders(const std::string& path) {
  if (path.empty()) return -1;
  if (IsDirectory(path)) return 0;
  std::string parent = DirectoryOf(path);
  if (parent != path && parent != "." && MakeFolders(parent) != 0) return -1;
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return -1;
  return IsDirectory(path) ? 0 : -1;
}

int RemoveEmptyDirectory(const std::string& path) { return ::rmdir(path.c_str()) == 0 ? 0 : -1; }

bool SameFileContents(const std::string& a, const std::string& b) {
  int fa = ::open(a.c_str(), O_RDONLY | O_CLOEXEC);
  if (fa < 0) return false;
  int fb = ::open(b.c_str(), O_RDONLY | O_CLOEXEC);
  if (fb < 0) {
    ::close(fa);
    return false;
  }
  bool same = true;
  char ba[65536], bb[65536];
  for (;;) {
    ssize_t na = ::read(fa, ba, sizeof ba);
    if (na < 0) {
      same = false;
      break;
    }
    // Read b until it has as many bytes, or ends.
    ssize_t nb = 0;
    while (nb < na) {
      ssize_t r = ::read(fb, bb + nb, static_cast<size_t>(na - nb));
      if (r <= 0) break;
      nb += r;
    }
    if (nb != na || std::memcmp(ba, bb, static_cast<size_t>(na)) != 0) {
      same = false;
      break;
    }
    if (na == 0) {
      same = ::read(fb, bb, 1) == 0;
      break;
    }
  }
  ::close(fa);
  ::close(fb);
  return same;
}
