// What the terminal can do, asked of ncurses' terminfo database. Kept apart because <term.h>
// defines macros under common words (columns, lines, bell...).
#pragma once

#include <string>

struct TermInfo {
  bool found = false;  // TERM named an entry of the database
  int colours = 8;
  bool palette_settable = false;  // the palette can be loaded (terminfo "ccc")
  std::string enter_ca;           // alternate screen on and off ("smcup", "rmcup")
  std::string exit_ca;
};

// term null: the TERM of the environment.
TermInfo terminfo_query(const char* term, int fd);
