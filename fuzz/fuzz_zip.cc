// Arbitrary bytes as a backup archive: the reader must refuse or unpack them without crashing,
// never write outside its directory, and never write more than a member declares.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "db/archive/archzip.h"
#include "platform/cfile.h"

namespace {

class QUIET : public ARCHZIP {
 public:
  int Error(int code, const char*) override { return code == kArchErrMissing ? 0 : 1; }
};

const std::string& WorkDir() {
  static const std::string dir = [] {
    std::string d =
        std::filesystem::temp_directory_path() / ("fuzz_zip_" + std::to_string(::getpid()));
    std::filesystem::create_directories(d + "/out");
    return d;
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string archive = WorkDir() + "/in.zip";
  const std::string out = WorkDir() + "/out";
  if (FILE* f = std::fopen(archive.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  static const char* const kNames[] = {"Tamsu.ini", "Gto.dbf", "Kon.dbf", "Poz.dbf",
                                       "Tow.dbf",   "Tra.dbf", "Gto.inx", "Kon.inx",
                                       "Poz.inx",   "Tow.inx", "Tra.inx"};
  QUIET z;
  z.ExtractArchive(archive.c_str(), kNames, 11, out.c_str());
  // Only listed names, and nothing larger than the input could declare.
  for (const auto& e : std::filesystem::directory_iterator(out)) {
    bool listed = false;
    for (const char* n : kNames) listed = listed || e.path().filename() == n;
    if (!listed || e.file_size() > 0xFFFFFFFFull) __builtin_trap();
    std::filesystem::remove(e.path());
  }
  return 0;
}
