// The command line of the program, split the way Tamsu always split it: a double quote toggles
// a quoted state and is dropped; outside quotes a blank ends the argument, except that a blank
// followed directly by another blank is kept as a character, so only the last blank of a run
// separates; inside quotes every byte is kept.
//
//   SetCommandLine("tamsu \"C:\\Dane firmy\"");   CommandLineArgument(1) -> C:\Dane firmy
//   SetCommandLine("a  b");                        arguments "a " and "b"
#pragma once

#include <string>
#include <vector>

// Splits into the buffer form: arguments ended by NUL, the whole ended by an empty argument.
std::string SplitCommandLine(const std::string& line);

void SetCommandLine(const std::string& line);
// Builds the line from argv (quoting arguments with blanks) and splits it.
void SetCommandLineFromArgv(int argc, char** argv);
// Argument n (0 the program path); an empty text beyond the last.
const char* CommandLineArgument(int n);
void ResetCommandLine();
