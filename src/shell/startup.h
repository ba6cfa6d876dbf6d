// The start of a run: the data directory taken from the command line, the saved directory given
// back on every way out.
#pragma once

#include <string>

// Saves the current directory and, when argument 1 of the command line is not empty, makes it
// the current (data) directory; a directory that cannot be entered is ignored. 0, or -1 when the
// current directory cannot even be read.
int EnterDataDirectory();
// Returns to the directory saved by EnterDataDirectory.
void RestoreSavedDirectory();
const std::string& SavedDirectory();
void ResetStartup();
