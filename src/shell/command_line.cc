#include "shell/command_line.h"

#include <cstring>

namespace {
std::string g_buffer(2, '\0');
}

std::string SplitCommandLine(const std::string& line) {
  std::string out;
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (c == ' ' && !quoted) {
      bool next_blank = i + 1 < line.size() && line[i + 1] == ' ';
      out.push_back(next_blank ? ' ' : '\0');
    } else {
      out.push_back(c);
    }
  }
  out.push_back('\0');
  out.push_back('\0');
  return out;
}

void SetCommandLine(const std::string& line) { g_buffer = SplitCommandLine(line); }

void SetCommandLineFromArgv(int argc, char** argv) {
  std::string line;
  for (int i = 0; i < argc; ++i) {
    std::string arg;
    for (const char* p = argv[i]; *p; ++p)
      if (*p != '"') arg.push_back(*p);  // the line has no way to carry a quote
    if (i > 0) line.push_back(' ');
    bool quote = arg.empty() || arg.find(' ') != std::string::npos;
    line += quote ? "\"" + arg + "\"" : arg;
  }
  SetCommandLine(line);
}

const char* CommandLineArgument(int n) {
  const char* p = g_buffer.c_str();
  const char* end = p + g_buffer.size();
  for (int i = 0; i < n; ++i) {
    if (*p == '\0') return "";  // the empty argument closes the list
    p += std::strlen(p) + 1;
    if (p >= end) return "";
  }
  return p;
}

void ResetCommandLine() { g_buffer.assign(2, '\0'); }
