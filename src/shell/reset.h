// Puts every global of the program back to its start value: tables closed and their record
// structures cleared, handlers removed, options, screen and console choice, Tamsu.ini's place,
// lists, rights and the shell's own state as before TamsuMain, with the record views registered
// as start-up registers them. Tests call it before each test so that many
// programs can run in one process.
#pragma once

void ResetProgramState();
