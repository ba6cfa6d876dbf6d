#include "platform/removable.h"

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

extern char** environ;

namespace {

struct MEDIUM {
  std::string dir, device, fstype;
  bool read_only = false;
};

// Mount table fields escape blanks and a few other bytes as \ooo.
std::string Unescape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 3 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1]))) {
      out += static_cast<char>(std::strtol(s.substr(i + 1, 3).c_str(), nullptr, 8));
      i += 3;
    } else {
      out += s[i];
    }
  }
  return out;
}

std::string RealPath(const std::string& p) {
  char* r = ::realpath(p.c_str(), nullptr);
  if (!r) return std::string();
  std::string s = r;
  std::free(r);
  return s;
}

bool ReadsOne(const std::string& file) {
  std::ifstream in(file);
  int v = 0;
  return in >> v && v == 1;
}

// A block device is removable when it, or the disk a partition of it belongs to, says so.
bool IsRemovableDevice(const std::string& device) {
  const std::string dev = RealPath(device);
  if (dev.rfind("/dev/", 0) != 0) return false;
  const std::string sys = RealPath("/sys/class/block/" + dev.substr(5));
  if (sys.empty()) return false;
  if (ReadsOne(sys + "/removable")) return true;
  const size_t slash = sys.rfind('/');
  return slash != std::string::npos && ReadsOne(sys.substr(0, slash) + "/removable");
}

std::vector<MEDIUM> MountedMedia() {
  std::vector<MEDIUM> media;
  std::ifstream in("/proc/self/mountinfo");
  std::string line;
  while (std::getline(in, line)) {
    // id parent major:minor root mount-point options [optional...] - fstype source super-options
    std::istringstream ls(line);
    std::vector<std::string> f;
    std::string w;
    while (ls >> w) f.push_back(w);
    auto dash = std::find(f.begin(), f.end(), "-");
    if (f.size() < 6 || dash == f.end() || f.end() - dash < 3) continue;
    MEDIUM m;
    m.dir = Unescape(f[4]);
    m.fstype = *(dash + 1);
    m.device = Unescape(*(dash + 2));
    m.read_only = ("," + f[5] + ",").find(",ro,") != std::string::npos;
    if (m.device.rfind("/dev/", 0) == 0 && IsRemovableDevice(m.device)) media.push_back(m);
  }
  std::sort(media.begin(), media.end(),
            [](const MEDIUM& a, const MEDIUM& b) { return a.dir < b.dir; });
  return media;
}

bool MediumOf(const std::string& dir, MEDIUM* out) {
  for (const MEDIUM& m : MountedMedia())
    if (m.dir == dir) {
      *out = m;
      return true;
    }
  return false;
}

// The names in /dev/disk/by-label escape blanks and other bytes as \xHH.
std::string UnescapeLabel(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] == 'x') {
      out += static_cast<char>(std::strtol(s.substr(i + 2, 2).c_str(), nullptr, 16));
      i += 3;
    } else {
      out += s[i];
    }
  }
  return out;
}

int RunTool(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return -1;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : -1;
}

class SYSTEM_DRIVES : public REMOVABLE_DRIVES {
 public:
  int Find(int drive, std::string* dir) override {
    const std::vector<MEDIUM> media = MountedMedia();
    if (drive < 0 || static_cast<size_t>(drive) >= media.size()) return -1;
    *dir = media[static_cast<size_t>(drive)].dir;
    return 0;
  }
  bool Writable(const std::string& dir) override {
    MEDIUM m;
    return MediumOf(dir, &m) && !m.read_only && ::access(dir.c_str(), W_OK) == 0;
  }
  int64_t FreeSpace(const std::string& dir) override {
    struct statvfs vs {};
    if (::statvfs(dir.c_str(), &vs) != 0) return -1;
    return static_cast<int64_t>(vs.f_bavail) * static_cast<int64_t>(vs.f_frsize);
  }
  int ReadLabel(const std::string& dir, std::string* label) override {
    MEDIUM m;
    if (!MediumOf(dir, &m)) return -1;
    const std::string dev = RealPath(m.device);
    label->clear();
    DIR* d = ::opendir("/dev/disk/by-label");
    if (!d) return 0;  // no labelled device at all
    while (dirent* e = ::readdir(d)) {
      if (e->d_name[0] == '.') continue;
      if (RealPath(std::string("/dev/disk/by-label/") + e->d_name) == dev)
        *label = UnescapeLabel(e->d_name);
    }
    ::closedir(d);
    return 0;
  }
  int SetLabel(const std::string& dir, const std::string& label) override {
    MEDIUM m;
    if (!MediumOf(dir, &m)) return -1;
    int rc = -1;
    if (m.fstype == "vfat" || m.fstype == "msdos") rc = RunTool({"fatlabel", m.device, label});
    else if (m.fstype == "exfat") rc = RunTool({"exfatlabel", m.device, label});
    else if (m.fstype.rfind("ext", 0) == 0) rc = RunTool({"e2label", m.device, label});
    else if (m.fstype == "ntfs" || m.fstype == "ntfs3")
      rc = RunTool({"ntfslabel", m.device, label});
    else if (m.fstype == "btrfs") rc = RunTool({"btrfs", "filesystem", "label", dir, label});
    if (rc == 0) return 0;
    // A user without the right to write the device may still label a removable medium that the
    // desktop mounted for them, through udisks.
    std::string object = "/org/freedesktop/UDisks2/block_devices/";
    const std::string dev = RealPath(m.device);
    for (char c : dev.substr(dev.rfind('/') + 1)) {
      if (std::isalnum(static_cast<unsigned char>(c))) {
        object += c;
      } else {
        char hex[8];
        std::snprintf(hex, sizeof hex, "_%02x", static_cast<unsigned char>(c));
        object += hex;
      }
    }
    return RunTool({"busctl", "call", "--system", "org.freedesktop.UDisks2", object,
                    "org.freedesktop.UDisks2.Filesystem", "SetLabel", "sa{sv}", label, "0"});
  }
};

SYSTEM_DRIVES g_system;
REMOVABLE_DRIVES* g_drives = nullptr;

}  // namespace

REMOVABLE_DRIVES& RemovableDrives() { return g_drives ? *g_drives : g_system; }

void SetRemovableDrives(REMOVABLE_DRIVES* drives) { g_drives = drives; }

int DiskDriveOfPath(const std::string& path, std::string* rest) {
  if (path.size() < 2 || path[1] != ':') return -1;
  const char c = static_cast<char>(path[0] | 0x20);
  if (c != 'a' && c != 'b') return -1;
  if (rest) {
    size_t i = 2;
    while (i < path.size() && (path[i] == '\\' || path[i] == '/')) ++i;
    *rest = path.substr(i);
  }
  return c - 'a';
}
