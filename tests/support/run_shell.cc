#include "support/run_shell.h"

#include <unistd.h>

#include <cstdio>
#include <vector>

#include "admin/admin.h"

std::string RunShell(const std::string& command, int* status) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  int rc = pclose(p);
  if (status) *status = rc;
  return out;
}

std::string AdminDump(const std::string& dir, const char* table) {
  std::vector<std::string> args = {"tamsu-admin", "dump", dir, table};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  FILE* out = tmpfile();
  FILE* err = tmpfile();
  std::string s;
  if (!out || !err) return s;
  if (AdminMain(4, argv.data(), out, err) == 0) {
    rewind(out);
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, out)) > 0) s.append(buf, n);
  }
  fclose(out);
  fclose(err);
  return s;
}

TMUX_SERVER::TMUX_SERVER(const std::string& name)
    : base_("LC_ALL=C.UTF-8 tmux -L " + name + "-" + std::to_string(getpid()) + " -f /dev/null ") {}

TMUX_SERVER::~TMUX_SERVER() { RunShell(base_ + "kill-server >/dev/null 2>&1"); }

std::string TMUX_SERVER::Do(const std::string& args, int* status) {
  return RunShell(base_ + args + " 2>/dev/null", status);
}
