// Running other programs from tests: a shell command with its output, a private tmux server,
// and the dump of a table as `tamsu-admin dump` prints it.
#pragma once

#include <string>

// Runs command with /bin/sh and returns what it printed on standard output; status (when given)
// receives pclose's status.
std::string RunShell(const std::string& command, int* status = nullptr);

// The records of one table of a data directory as CSV, the way `tamsu-admin dump` prints them.
std::string AdminDump(const std::string& dir, const char* table);

// A tmux server of the test's own (-L name-PID), killed with everything in it when the object
// goes. Do runs one tmux command against it.
class TMUX_SERVER {
 public:
  explicit TMUX_SERVER(const std::string& name);
  ~TMUX_SERVER();
  TMUX_SERVER(const TMUX_SERVER&) = delete;
  TMUX_SERVER& operator=(const TMUX_SERVER&) = delete;
  std::string Do(const std::string& args, int* status = nullptr);

 private:
  std::string base_;
};
