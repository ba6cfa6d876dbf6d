#include "platform/inifile.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "common/codepage.h"
#include "platform/cfiletxt.h"
#include "platform/paths.h"

namespace {

enum LineResult { kLineRead, kLineEnd, kLineError };

// Reads one physical line (without its line feed) into out. Lines are read whole however long
// they are, so that rewriting the file never cuts a long line in two. A read error is told apart
// from the end of the file: a rewrite must not mistake a failed read for the end and replace the
// file with what it had copied so far.
LineResult ReadPhysicalLine(CFILETXT& f, std::string* out) {
  out->clear();
  char buf[256];
  for (;;) {
    long n = f.ReadLine(buf, sizeof buf);
    if (n < 0) return kLineError;
    if (n == 0) return out->empty() ? kLineEnd : kLineRead;
    if (buf[n - 1] == '\n') {
      out->append(buf, static_cast<size_t>(n - 1));
      return kLineRead;
    }
    out->append(buf, static_cast<size_t>(n));
  }
}

bool IsSectionLine(const std::string& line, const char* section) {
  size_t n = std::strlen(section);
  return line.size() >= n + 2 && line[0] == '[' && line.compare(1, n, section) == 0 &&
         line[n + 1] == ']';
}

bool IsKeyLine(const std::string& line, const char* key) {
  size_t n = std::strlen(key);
  return n > 0 && line.size() > n && line.compare(0, n, key) == 0 && line[n] == '=';
}

int OpenForReading(CFILETXT& f, const std::string& path) {
  // A missing file is no error to anybody: the handler is kept out of it.
  CFILE::QUIET quiet;
  int rc = f.Open(path.c_str(), kOpenExisting, kAccessRead, kShareReadWrite);
  f.SetCodePage(kCodePageLatin2);
  return rc;
}

}  // namespace

int INIFILE::GetString(const char* section, const char* key, std::string* out,
                       size_t maximum) const {
  CFILETXT f;
  if (OpenForReading(f, path_) != 0) return -1;
  std::string line;
  bool in_section = false;
  while (ReadPhysicalLine(f, &line) == kLineRead) {
    if (!in_section) {
      in_section = IsSectionLine(line, section);
      continue;
    }
    if (!line.empty() && line[0] == '[') break;
    if (IsKeyLine(line, key)) {
      *out = line.substr(std::strlen(key) + 1, maximum);
      return 0;
    }
  }
  return -1;
}

int INIFILE::GetString(const char* section, const char* key, char* out, size_t maximum) const {
  std::string value;
  if (GetString(section, key, &value, maximum) != 0) return -1;
  std::memcpy(out, value.c_str(), value.size() + 1);
  return 0;
}

int INIFILE::GetInt(const char* section, const char* key, int32_t* out) const {
  std::string v;
  if (GetString(section, key, &v) != 0) return -1;
  // Leading blanks, a sign and the leading digits; no digits gives 0.
  const char* p = v.c_str();
  while (*p == ' ' || *p == '\t') ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  int64_t n = 0;
  while (*p >= '0' && *p <= '9') {
    n = n * 10 + (*p++ - '0');
    if (n > static_cast<int64_t>(INT32_MAX) + 1) n = static_cast<int64_t>(INT32_MAX) + 1;
  }
  if (negative) n = -n;
  if (n > INT32_MAX) n = INT32_MAX;
  *out = static_cast<int32_t>(n);
  return 0;
}

int INIFILE::GetUInt(const char* section, const char* key, uint32_t* out) const {
  std::string v;
  if (GetString(section, key, &v) != 0) return -1;
  const char* p = v.c_str();
  while (*p == ' ' || *p == '\t') ++p;
  if (*p == '+') ++p;
  uint64_t n = 0;
  while (*p >= '0' && *p <= '9') {
    n = n * 10 + static_cast<uint64_t>(*p++ - '0');
    if (n > UINT32_MAX) n = UINT32_MAX;
  }
  *out = static_cast<uint32_t>(n);
  return 0;
}

int INIFILE::GetAmount(const char* section, const char* key, AMOUNT* out) const {
  std::string v;
  if (GetString(section, key, &v) != 0) return -1;
  // A decimal number read exactly and rounded half away from zero to four decimals.
  const char* p = v.c_str();
  while (*p == ' ' || *p == '\t') ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  __extension__ typedef __int128 Wide;
  Wide whole = 0;
  const Wide kLimit = static_cast<Wide>(INT64_MAX) / AMOUNT::kScale;
  while (*p >= '0' && *p <= '9') {
    whole = whole * 10 + (*p++ - '0');
    if (whole > kLimit) whole = kLimit;
  }
  int64_t frac = 0;
  int digits = 0;
  bool round_up = false;
  if (*p == '.' || *p == ',') {
    ++p;
    while (*p >= '0' && *p <= '9') {
      if (digits < 4) frac = frac * 10 + (*p - '0');
      else if (digits == 4) round_up = *p >= '5';
      ++digits;
      ++p;
    }
  }
  for (int d = digits; d < 4; ++d) frac *= 10;
  Wide raw = whole * AMOUNT::kScale + frac + (round_up ? 1 : 0);
  if (raw > INT64_MAX) raw = INT64_MAX;
  *out = AMOUNT::FromRaw(static_cast<int64_t>(negative ? -raw : raw));
  return 0;
}

int INIFILE::WriteString(const char* section, const char* key, const char* value) const {
  std::string current;
  if (GetString(section, key, &current, SIZE_MAX) == 0 && current == value) return 0;

  CFILETXT in;
  if (OpenForReading(in, path_) != 0) {
    if (in.Open(path_.c_str(), kOpenAlways, kAccessRead, kShareReadWrite) != 0) return -1;
    in.SetCodePage(kCodePageLatin2);
  }
  std::string temp = TakeTemporaryName(path_, true);
  if (temp.empty()) return -1;
  CFILETXT out;
  out.SetCodePage(kCodePageLatin2);
  if (out.Open(temp.c_str(), kCreateAlways, kAccessWrite, kShareNone) != 0) {
    CFILE::DeleteFile(temp.c_str());
    return -1;
  }

  const std::string key_line = std::string(key) + "=" + value;
  bool ok = true;
  auto put = [&](const std::string& line) {
    if (out.WriteString(line.c_str()) < 0 || out.WriteChar('\n') != 0) ok = false;
  };
  int held_blank = 0;  // empty lines wait for the next non-empty one
  auto release = [&] {
    for (; held_blank > 0; --held_blank) put("");
  };
  bool in_section = false, section_seen = false, written = false;
  std::string line;
  LineResult got = kLineEnd;
  while (ok && (got = ReadPhysicalLine(in, &line)) == kLineRead) {
    if (line.empty()) {
      ++held_blank;
      continue;
    }
    if (line[0] == '[') {
      if (in_section && !written) {
        put(key_line);  // the key goes before the blank lines that close its section
        written = true;
      }
      in_section = !written && IsSectionLine(line, section);
      section_seen = section_seen || in_section;
      release();
      put(line);
      continue;
    }
    release();
    if (in_section && !written && IsKeyLine(line, key)) {
      put(key_line);
      written = true;
      continue;
    }
    put(line);
  }
  if (ok && got == kLineError) ok = false;
  if (ok && !written) {
    if (section_seen) {
      put(key_line);
      release();
    } else {
      release();
      ok = out.WriteChar('\n') == 0;
      put("[" + std::string(section) + "]");
      put(key_line);
    }
  } else {
    release();
  }
  in.Close();
  if (out.Close() != 0) ok = false;
  // On the disk before it takes the old file's place: a power loss leaves one or the other.
  if (ok) ok = CFILE::Replace(temp.c_str(), path_.c_str()) == 0;
  if (!ok) {
    CFILE::QUIET quiet;
    CFILE::DeleteFile(temp.c_str());
    return -1;
  }
  return 0;
}

int INIFILE::WriteInt(const char* section, const char* key, int32_t value) const {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d", value);
  return WriteString(section, key, buf);
}

int INIFILE::WriteUInt(const char* section, const char* key, uint32_t value) const {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%u", value);
  return WriteString(section, key, buf);
}

int INIFILE::WriteAmount(const char* section, const char* key, AMOUNT value) const {
  // The shortest exact decimal: "1", "12.5", "-0.0001".
  int64_t raw = value.Raw();
  uint64_t mag = raw < 0 ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  char buf[40];
  int n = std::snprintf(buf, sizeof buf, "%s%llu", raw < 0 ? "-" : "",
                        static_cast<unsigned long long>(mag / AMOUNT::kScale));
  uint64_t frac = mag % AMOUNT::kScale;
  if (frac != 0) {
    char f[8];
    std::snprintf(f, sizeof f, "%04llu", static_cast<unsigned long long>(frac));
    int len = 4;
    while (f[len - 1] == '0') --len;
    std::snprintf(buf + n, sizeof buf - static_cast<size_t>(n), ".%.*s", len, f);
  }
  return WriteString(section, key, buf);
}

namespace {
std::string g_config_path;

std::string DefaultConfigPath() {
  std::string exe = ExecutablePath();
  if (exe.empty()) return "Tamsu.ini";
  const std::string dir = DirectoryOf(exe);
  std::string path = ConfigPathFor(dir, IsWritableDirectory(dir));
  if (DirectoryOf(path) != dir && MakeFolders(DirectoryOf(path)) != 0) return dir + "/Tamsu.ini";
  return path;
}
}  // namespace

const std::string& ConfigPath() {
  if (g_config_path.empty()) g_config_path = DefaultConfigPath();
  return g_config_path;
}

void SetConfigPath(const std::string& path) { g_config_path = path; }

std::string ConfigPathFor(const std::string& program_dir, bool program_dir_writable) {
  const std::string folder = UserConfigFolder();
  if (program_dir_writable || folder.empty()) return program_dir + "/Tamsu.ini";
  return folder + "/tamsu/Tamsu.ini";
}
