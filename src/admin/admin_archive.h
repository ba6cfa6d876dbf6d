// The tamsu-admin verbs of backups and database maintenance (admin_archive.cc).
#pragma once

#include <cstdio>

inline constexpr int kNotArchiveVerb = -1000;
// Runs the verb when argv[1] is one of these; kNotArchiveVerb otherwise.
int ArchiveVerb(int argc, char** argv, FILE* out, FILE* err);
// Their lines of the usage text.
extern const char kArchiveUsage[];
