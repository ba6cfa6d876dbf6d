// Small facts and services of the operating system that the layers above need: the current
// directory, random bytes, whether the standard streams are a terminal, and the facts shown in
// the information box. Everything here answers without side effects on failure.
#pragma once

#include <cstddef>
#include <string>

// The current directory, or "" when it cannot be read.
std::string CurrentDirectory();
// 0, or -1 when the directory cannot be entered (the current one stays as it was).
int ChangeDirectory(const char* dir);
// Makes a directory (0777 less the umask); 0, or -1 (also when it exists).
int MakeDirectory(const char* dir);

// Fills the buffer with random bytes from the system; 0, or -1 when they cannot be had.
int RandomBytes(void* buffer, size_t count);

// True when both standard input and standard output are a terminal.
bool StandardStreamsAreTerminal();

struct SystemFacts {
  std::string system = "Linux";   // the kernel's name
  unsigned major = 0, minor = 0;  // its release
  unsigned long long free_memory_kb = 0;
  unsigned long long free_disk_kb = 0;  // for an unprivileged user, in the directory asked
};
SystemFacts GetSystemFacts(const char* dir);

// fsync of the directory holding path, so that a rename into it is on the disk; 0 or -1.
int SyncDirectoryOf(const std::string& path);

// A second name for a file (a hard link): 0, or -1 when the file system has none or the new
// name exists.
int LinkFile(const std::string& existing, const std::string& new_name);
