// A fresh data directory for a benchmark that works on the whole database (with a headless
// screen for the documents it composes), and its removal.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "db/dbtable.h"
#include "platform/headless.h"
#include "platform/inifile.h"
#include "ui/document/document.h"
#include "ui/screen.h"

inline void BenchFail(const char* bench, const char* what) {
  std::fprintf(stderr, "%s: %s\n", bench, what);
  std::abort();
}

// Makes /tmp/<bench>_XXXXXX, works there with the database open; returns its name.
inline std::string EnterBenchDataDir(const char* bench) {
  std::string dir = std::string("/tmp/") + bench + "_XXXXXX";
  if (!mkdtemp(dir.data()) || chdir(dir.c_str()) != 0) BenchFail(bench, "no working directory");
  SetConfigPath(dir + "/Tamsu.ini");
  if (!screen_is_open() && screen_open_on(new HEADLESS_CONSOLE) != 0) BenchFail(bench, "no screen");
  if (OpenDatabase() != 0) BenchFail(bench, "no database");
  return dir;
}

inline void LeaveBenchDataDir(const char* bench, const std::string& dir) {
  DocumentReset();
  CloseDatabase();
  if (chdir("/") != 0) BenchFail(bench, "chdir");
  const std::string cleanup = "rm -rf " + dir;
  if (std::system(cleanup.c_str()) != 0) BenchFail(bench, "cleanup");
}
