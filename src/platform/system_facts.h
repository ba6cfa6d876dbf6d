// Small facts the documents need from the system: free physical memory, the free space of a
// disk, the program's own directory, and flushing a directory after a rename so that the new
// name is on the disk.
#pragma once

#include <string>

// Kilobytes; 0 when they cannot be told.
unsigned long long free_memory_kb();
unsigned long long free_disk_kb(const char* directory);
// The directory of the running executable with a trailing slash; empty when unknown.
std::string program_directory();
// fsync of the directory holding `path`; 0 or -1.
int sync_directory_of(const std::string& path);
