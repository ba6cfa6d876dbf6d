// Puts every global of the program back to its start value: tables closed, handlers removed,
// options, screen, lists, rights and the shell's own state as before TamsuMain, with the record
// views registered as start-up registers them. Tests call it before each test so that many
// programs can run in one process.
#pragma once

void ResetProgramState();
