#include "uninstaller/uninstall.h"

#include <cstdlib>
#include <vector>

#include "platform/cfile.h"
#include "platform/paths.h"
#include "platform/process.h"

namespace {

// Shortcuts and records are a few hundred bytes; anything past this is not ours to parse.
constexpr long kSmallFileLimit = 65536;

// 1 with the whole file, 0 when the name does not exist, -1 when it cannot be read.
int ReadSmallFile(const std::string& path, std::string* out) {
  if (path.empty() || !LinkExists(path)) return 0;
  CFILE f;
  if (f.Open(path.c_str(), kOpenExisting, kAccessRead, kShareReadWrite) != 0) return -1;
  out->clear();
  char buf[4096];
  for (;;) {
    long n = f.Read(buf, sizeof buf);
    if (n < 0) return -1;
    if (n == 0) break;
    out->append(buf, static_cast<size_t>(n));
    if (static_cast<long>(out->size()) > kSmallFileLimit) return -1;
  }
  return f.Close() == 0 ? 1 : -1;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    at = end + 1;
  }
  return lines;
}

// The escapes of a desktop entry's string values: \s \n \t \r \\.
std::string UnescapeValue(const std::string& v) {
  std::string out;
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i] != '\\' || i + 1 == v.size()) {
      out += v[i];
      continue;
    }
    char c = v[++i];
    switch (c) {
      case 's': out += ' '; break;
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case '\\': out += '\\'; break;
      default: out += '\\'; out += c;
    }
  }
  return out;
}

// The first word of an Exec line: in double quotes (a backslash takes the next character as it
// is) or up to the first blank; "%%" stands for "%". "" when it is not well formed.
std::string FirstArgument(const std::string& exec) {
  std::string arg;
  size_t i = 0;
  if (!exec.empty() && exec[0] == '"') {
    for (i = 1; i < exec.size() && exec[i] != '"'; ++i) {
      if (exec[i] == '\\' && i + 1 < exec.size()) ++i;
      arg += exec[i];
    }
    if (i >= exec.size()) return "";
  } else {
    arg = exec.substr(0, exec.find_first_of(" \t"));
  }
  std::string out;
  for (size_t k = 0; k < arg.size(); ++k) {
    out += arg[k];
    if (arg[k] == '%' && k + 1 < arg.size() && arg[k + 1] == '%') ++k;
  }
  return out;
}

bool IsAbsolute(const std::string& path) { return !path.empty() && path[0] == '/'; }

// A full path with its directory resolved; the name itself is kept (it may be a link).
std::string ResolvedDirectory(const std::string& path) {
  std::string dir = CanonicalPath(DirectoryOf(path));
  if (dir.empty()) return path;
  return (dir == "/" ? "" : dir) + "/" + BaseNameOf(path);
}

// Deletes one name of the program directory when it is there; false when that fails.
bool RemoveName(const std::string& dir, const char* name) {
  const std::string path = dir + "/" + name;
  return !LinkExists(path) || CFILE::DeleteFile(path.c_str()) == 0;
}

}  // namespace

UNINSTALL_PLACES UninstallPlacesFor(const std::string& uninstaller) {
  UNINSTALL_PLACES p;
  p.uninstaller = uninstaller;
  p.program_dir = IsAbsolute(uninstaller) ? DirectoryOf(uninstaller) : "";
  p.shortcut_folders[0] = DesktopFolder(&p.folders_unknown);
  p.shortcut_folders[1] = ApplicationsFolder();
  const std::string data = UserDataFolder();
  p.record = data.empty() ? "" : data + "/" + kRecordName;
  return p;
}

UNINSTALL_PLACES UninstallPlacesOfThisProgram() { return UninstallPlacesFor(ExecutablePath()); }

bool IsPackageInstallation(const UNINSTALL_PLACES& places) {
  return IsAbsolute(places.program_dir) && LinkExists(places.program_dir + "/" + kPackageMarker);
}

int ShortcutTarget(const std::string& file, std::string* program) {
  std::string text;
  if (ReadSmallFile(file, &text) != 1) return -1;
  bool in_entry = false;
  for (const std::string& line : Lines(text)) {
    if (!line.empty() && line[0] == '[') {
      in_entry = line == "[Desktop Entry]";
      continue;
    }
    if (!in_entry || line.compare(0, 4, "Exec") != 0) continue;
    size_t i = 4;
    while (i < line.size() && line[i] == ' ') ++i;
    if (i >= line.size() || line[i] != '=') continue;  // another key, such as "Executable"
    ++i;
    while (i < line.size() && line[i] == ' ') ++i;
    *program = FirstArgument(UnescapeValue(line.substr(i)));
    return program->empty() ? -1 : 0;
  }
  return -1;
}

int RecordedUninstaller(const std::string& file, std::string* path) {
  std::string text;
  int r = ReadSmallFile(file, &text);
  if (r != 1) return r;
  for (const std::string& line : Lines(text)) {
    if (line.compare(0, sizeof kRecordKey - 1, kRecordKey) != 0) continue;
    *path = line.substr(sizeof kRecordKey - 1);
    return path->empty() ? 0 : 1;
  }
  return 0;
}

bool SamePlace(const std::string& a, const std::string& b) {
  if (a == b) return true;
  // A relative name (found through PATH when started) is never this installation.
  if (!IsAbsolute(a) || !IsAbsolute(b)) return false;
  return ResolvedDirectory(a) == ResolvedDirectory(b);
}

int Uninstall(const UNINSTALL_PLACES& places, bool data_files) {
  // Without its own directory the uninstaller knows nothing it may delete.
  if (!IsAbsolute(places.uninstaller) || !IsDirectory(places.program_dir)) return -1;
  // A desktop that could not be found may hold a shortcut that stays behind.
  bool ok = !places.folders_unknown;

  // Shortcuts: only those that start this installation's program.
  const std::string program = places.program_dir + "/tamsu";
  for (const std::string& folder : places.shortcut_folders) {
    if (folder.empty() || !IsDirectory(folder)) continue;  // no such folder: nothing to do
    const std::string link = folder + "/" + kShortcutName;
    if (!LinkExists(link)) continue;
    std::string target;
    if (ShortcutTarget(link, &target) != 0) {
      ok = false;
      continue;
    }
    if (SamePlace(target, program) && CFILE::DeleteFile(link.c_str()) != 0) ok = false;
  }

  for (const char* name : kProgramFiles)
    if (!RemoveName(places.program_dir, name)) ok = false;
  if (data_files)
    for (const char* name : kDataFiles)
      if (!RemoveName(places.program_dir, name)) ok = false;

  // The record: only when it names this uninstaller. None, or another one, is no error.
  std::string named;
  int r = RecordedUninstaller(places.record, &named);
  if (r < 0) ok = false;
  else if (r == 1 && SamePlace(named, places.uninstaller) &&
           CFILE::DeleteFile(places.record.c_str()) != 0)
    ok = false;
  return ok ? 0 : -1;
}

int StartSecondStage(const UNINSTALL_PLACES& places) {
  if (!IsAbsolute(places.uninstaller)) return -1;
  const std::string copy = CopyToNewExecutable(places.uninstaller, TemporaryFolder(), "Del");
  if (copy.empty()) return -1;
  const int handle = OpenSelfHandle();
  if (handle < 0 || StartDetached({copy, std::to_string(handle), places.uninstaller}) != 0) {
    CloseHandle(handle);
    CFILE::DeleteFile(copy.c_str());
    return -1;
  }
  CloseHandle(handle);
  return 0;
}

int SecondStage(const char* handle, const char* path, const std::string& self) {
  char* end = nullptr;
  const long fd = std::strtol(handle, &end, 10);
  if (end == handle || *end != '\0' || fd < 0 || fd > 65535 || !IsAbsolute(path)) return -1;
  if (WaitForProcessHandle(static_cast<int>(fd)) != 0) return -1;
  CloseHandle(static_cast<int>(fd));
  // Only the uninstaller this copy was made from: the same bytes under that name.
  if (IsRegularFile(path) && SameFileContents(path, self) && CFILE::DeleteFile(path) == 0)
    RemoveEmptyDirectory(DirectoryOf(path));
  // The copy itself goes last, as a file opened for deletion on close would.
  if (IsAbsolute(self) && DirectoryOf(self) == CanonicalPath(TemporaryFolder()) &&
      BaseNameOf(self).compare(0, 3, "Del") == 0)
    CFILE::DeleteFile(self.c_str());
  return 0;
}
