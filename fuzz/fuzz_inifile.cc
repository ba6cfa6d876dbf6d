// Arbitrary bytes as Tamsu.ini: reading keys and rewriting one must never crash, and a key just
// written must read back.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/inifile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::string dir = [] {
    char templ[] = "/tmp/tamsu-fuzz-ini-XXXXXX";
    return std::string(mkdtemp(templ));
  }();
  std::string path = dir + "/Tamsu.ini";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  INIFILE ini(path);
  std::string s;
  int32_t i = 0;
  uint32_t u = 0;
  AMOUNT a;
  ini.GetString("Tamsu", "Net", &s);
  ini.GetInt("Tamsu", "ColorMode", &i);
  ini.GetUInt("Tamsu", "UserRights", &u);
  ini.GetAmount("Tamsu", "Company", &a);
  ini.GetString("Console", "X", &s, 3);
  if (ini.WriteString("Tamsu", "Net", "1") == 0) {
    if (ini.GetString("Tamsu", "Net", &s) != 0 || s != "1") __builtin_trap();
  }
  std::remove(path.c_str());
  return 0;
}
