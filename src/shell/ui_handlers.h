// The handlers through which the lower layers speak to the user once the screen is open: file
// errors and table events in message boxes, progress windows for index building and
// defragmentation, the window "Oczekiwanie na prawo dostępu..." while all tables are being
// locked, and the refusal message of user rights.
#pragma once

#include "common/amount.h"

// Installs all four; UninstallUiHandlers takes them away again (shutdown, tests).
void InstallUiHandlers();
void UninstallUiHandlers();

// The table-layer event handler itself (exposed for tests).
int ShowDbEvent(int code, const char* text, long number);

// The waiting of LockAllTables: a status window and, on Esc, "Przerwać operację?".
// A closed terminal (Ctrl+F4) gives up at once.
bool LockWaitWantsToStop();
