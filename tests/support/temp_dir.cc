#include "support/temp_dir.h"

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

TempDir::TempDir(bool enter) {
  std::string templ = (std::filesystem::temp_directory_path() / "tamsu-test-XXXXXX").string();
  char* made = mkdtemp(templ.data());
  if (made) path_ = made;
  if (enter) {
    saved_cwd_ = std::filesystem::current_path().string();
    std::filesystem::current_path(path_);
  }
}

TempDir::~TempDir() {
  if (!saved_cwd_.empty()) std::filesystem::current_path(saved_cwd_);
  std::error_code ec;
  if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}
