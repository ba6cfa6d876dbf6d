// tamsu-admin: the administration command for scripts and support. Messages are Polish, in
// UTF-8; the exit status is 0 on success and non-zero on any failure.
#pragma once

#include <cstdio>

int AdminMain(int argc, char** argv, FILE* out, FILE* err);
