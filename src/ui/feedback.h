// The three small feedback windows of long operations. Each exists once and counts how often it
// was opened, so nested operations may open and close it freely: only the outermost pair shows
// and hides it.
//
//   status_line(0, "Indeksowanie %s"_pl, name);  ...  status_line(2);
//   wait_window(0);                               // "Proszę czekać..."
//   progress(0, "Kopiowanie pliku %s"_pl, name);
//   for (...) if (progress(1, AMOUNT::FromInt(percent)) != 0) break;   // Esc and " &Tak "
//   progress(2);
#pragma once

#include "common/amount.h"

// Mode 0 open (the text optional), 1 change the text, 2 close. The text holds at most 79
// characters. The line is row 24, across the screen.
void status_line(int mode, const char* format = nullptr, ...) __attribute__((format(printf, 2, 3)));
// The same modes; without a format the text is "Proszę czekać...".
void wait_window(int mode, const char* format = nullptr, ...) __attribute__((format(printf, 2, 3)));
// Mode 0 opens with a text (0, or -1 when the window cannot be shown); mode 2 closes.
int progress(int mode, const char* format = nullptr, ...) __attribute__((format(printf, 2, 3)));
// Mode 1: the percentage (its whole part, at most 100) and optionally a new text. -1 when the
// user pressed Esc and chose to stop, else 0.
int progress(int mode, AMOUNT value, const char* format = nullptr, ...)
    __attribute__((format(printf, 3, 4)));

// Nesting counters, for tests and for the shell's clean-up.
int status_line_depth();
int wait_window_depth();
bool progress_is_open();
void FeedbackReset();
