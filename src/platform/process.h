// Starting helper programs in the background (a web browser's opener, later the cash registers'
// communication programs) without a shell, and collecting them when they end.
#pragma once

#include <sys/types.h>  // pid_t

// Starts program (looked up along PATH when it has no slash) with one argument, detached from
// the terminal: input and output on /dev/null, default signal handling, a process group of its
// own, so that keys meant for the program never reach it. The process id, or -1 with errno set
// (ENOENT: there is no such program).
pid_t SpawnDetached(const char* program, const char* argument);
// True when the process has ended (or is not ours to wait for); never waits.
bool ProcessEnded(pid_t pid);
