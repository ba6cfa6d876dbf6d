// Processes for the uninstaller's second stage: a handle on the running process that a child
// inherits and waits on (a pidfd, which becomes readable when the process has ended), a copy of
// a program made executable in a folder, and a program started on its own, not waited for.
//
//   int h = OpenSelfHandle();                     // -1 on failure
//   StartDetached({copy, std::to_string(h), me});
//   ... in the child: WaitForProcessHandle(h);   // returns when the parent has exited
#pragma once

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
