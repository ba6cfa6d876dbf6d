#include "platform/terminfo.h"

#include <curses.h>
#include <term.h>

namespace {
std::string Str(const char* name) {
  char* s = tigetstr(name);
  if (s == nullptr || s == reinterpret_cast<char*>(-1)) return {};
  return s;
}
}  // namespace

TermInfo terminfo_query(const char* term, int fd) {
  TermInfo info;
  int err = 0;
  TERMINAL* previous = cur_term;
  if (setupterm(term, fd, &err) != OK) {
    set_curterm(previous);
    return info;
  }
  info.found = true;
  int n = tigetnum("colors");
  info.colours = n > 0 ? n : 2;
  info.palette_settable = tigetflag("ccc") > 0;
  info.enter_ca = Str("smcup");
  info.exit_ca = Str("rmcup");
  TERMINAL* mine = cur_term;
  set_curterm(previous);
  del_curterm(mine);
  return info;
}
