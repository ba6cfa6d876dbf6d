// Processes: helper programs started in the background (a web browser's opener) and collected
// when they end, and for the uninstaller's second stage: a handle on the running process that a
// child inherits and waits on (a pidfd, which becomes readable when the process has ended), a copy
// of a program made executable in a folder, and a program started on its own, not waited for.
//
//   int h = OpenSelfHandle();                     // -1 on failure
//   StartDetached({copy, std::to_string(h), me});
//   ... in the child: WaitForProcessHandle(h);   // returns when the parent has exited
#pragma once

#include <sys/types.h>  // pid_t

#include <functional>
#include <string>
#include <vector>

// A pidfd on this process, inherited by programs started later. -1 on failure.
int OpenSelfHandle();
// 0 once the process behind fd has ended; -1 at once when fd is not a process handle.
int WaitForProcessHandle(int fd);
void CloseHandle(int fd);

// Copies file into a new file "<prefix>XXXXXX" of folder, executable by the user and flushed to
// disk; its path, or "" (nothing left behind).
std::string CopyToNewExecutable(const std::string& file, const std::string& folder,
                                const char* prefix);

// Starts argv[0] with its arguments in a session of its own, its standard streams on /dev/null;
// it inherits the descriptors that are not close-on-exec (the handle above). 0 or -1.
int StartDetached(const std::vector<std::string>& argv);

// Starts program (looked up along PATH when it has no slash) with one argument, detached from
// the terminal: input and output on /dev/null, default signal handling, a process group of its
// own, so that keys meant for the program never reach it. The process id, or -1 with errno set
// (ENOENT: there is no such program).
pid_t SpawnDetached(const char* program, const char* argument);
// True when the process has ended (or is not ours to wait for); never waits.
bool ProcessEnded(pid_t pid);

// Runs a helper program and waits for it (the communication programs of the Elzab registers):
// argv[0] is its path, taken as it stands when it holds a slash and looked up along PATH
// otherwise; it runs in folder dir, with its standard streams on /dev/null and in a process
// group of its own. While it runs, cancel (when given) is asked about every 100 ms; a true
// answer, or timeout_ms passing, kills the whole group.
//
//   int code = 0;
//   if (RunAndWait({"wine", "/opt/elzab/Ostatus.exe", in, out}, "/opt/elzab", 60000, nullptr,
//   &code)
//       == kRunExited && code == 0) ...
enum RunOutcome {
  kRunExited = 0,    // *exit_code holds its exit status (128 + the signal that ended it)
  kRunNotFound = 1,  // no such program, or not executable
  kRunNoMemory = 2,
  kRunNotStarted = 3,  // any other reason it could not be started
  kRunTimedOut = 4,
  kRunCancelled = 5,
};
int RunAndWait(const std::vector<std::string>& argv, const std::string& dir, int timeout_ms,
               const std::function<bool()>& cancel, int* exit_code);
