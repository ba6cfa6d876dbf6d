// INIFILE: reads and writes one key of a configuration file per call. Nothing is cached: every
// operation opens the file, works and closes it. The file is kept in code page 852; texts in and
// out are in the data code page. Section and key names match case-sensitively and byte-exactly;
// a key line is the key, "=" right after it, and the value to the end of the line.
//
// Operations return 0 or -1; on -1 the output is left as the caller initialised it, which is
// how defaults are applied:
//   int net = 0; INIFILE(ConfigPath()).GetInt("Tamsu", "Net", &net);
#pragma once

#include <cstdint>
#include <string>

#include "common/amount.h"

class INIFILE {
 public:
  explicit INIFILE(std::string path) : path_(std::move(path)) {}

  int GetString(const char* section, const char* key, char* out, size_t maximum) const;
  int GetString(const char* section, const char* key, std::string* out, size_t maximum = 255) const;
  int GetInt(const char* section, const char* key, int32_t* out) const;
  int GetUInt(const char* section, const char* key, uint32_t* out) const;
  int GetAmount(const char* section, const char* key, AMOUNT* out) const;

  int WriteString(const char* section, const char* key, const char* value) const;
  int WriteInt(const char* section, const char* key, int32_t value) const;
  int WriteUInt(const char* section, const char* key, uint32_t value) const;
  int WriteAmount(const char* section, const char* key, AMOUNT value) const;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// The full path of "Tamsu.ini": beside the executable, or in the user's configuration folder
// (~/.config/tamsu, created when needed) when the program directory is not writable for the user,
// as in a package installed under /opt. Tests point it elsewhere with SetConfigPath; an empty
// text restores the default.
const std::string& ConfigPath();
void SetConfigPath(const std::string& path);
// The choice itself, for a program directory that is or is not writable.
std::string ConfigPathFor(const std::string& program_dir, bool program_dir_writable);
