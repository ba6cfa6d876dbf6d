// The run of Tamsu from the data directory to the last screen: the start-up sequence, the
// opening of the database with its questions, the command loop and the shutdown in order.
//
//   SetCommandLineFromArgv(argc, argv);
//   return TamsuMain() == 0 ? 0 : 1;
#pragma once

#include <string>

// The whole run. 0 after a normal end, -1 when the start failed (screen, password, database).
// A screen the caller has already opened (tests) is used and left open.
int TamsuMain();

// Opening the database at start-up inside "Proszę czekać...": the network flag, the question
// to create missing files, the five tables, the demonstration database on an empty start, every
// table on its default order and first record (transactions on the last), and the check that
// two more files can still be opened. 0, or -1 with the tables closed again.
int OpenDatabaseAtStartup();

// The directory as the question about missing files shows it: at most `width` characters,
// a longer path keeping its root ("C:\" or "/") and its tail from a separator on.
std::string ShortenPath(const std::string& path, size_t width);
