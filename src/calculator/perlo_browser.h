// Opening the maker's web page in the user's browser from the "Reklama" page. The desktop's
// opener (xdg-open) is started in the background with its input and output on /dev/null, so
// it never writes over the screen and never holds up the key loop; finished openers are reaped
// without waiting on the next turns of the loop.
//
//   if (PerloOpenAddress(kPerloMakerAddress) != 0 && errno == ENOENT) ...  // no opener here
#pragma once

inline constexpr const char* kPerloMakerAddress = "https://www.example.com/perlo";
inline constexpr const char* kPerloDefaultOpener = "xdg-open";

// Starts the opener with the address as its one argument, looked up along PATH. 0 when it was
// started; -1 with errno set when it could not be (ENOENT: there is no such program).
int PerloOpenAddress(const char* address);
// The program started by PerloOpenAddress (a name looked up along PATH, or a path).
void PerloSetOpener(const char* program);
const char* PerloOpener();
// Collects the openers that have ended, without waiting; the number still running.
int PerloReapOpeners();
// Back to xdg-open; openers still running are left to themselves.
void PerloBrowserReset();
