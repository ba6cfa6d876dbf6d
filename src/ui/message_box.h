// Messages and questions. The buttons travel inside the text after tab characters:
//
//   if (message_box(1, "Usunąć ten rekord?\t &Nie \t &Tak "_pl) == 2) ...   // 2 for " &Tak "
//   message("Błąd zapisu pliku %s"_pl, name);                                // one " &Ok "
//
// The message is wrapped at 70 columns on spaces; at most five buttons are taken.
#pragma once

// The 1-based number of the chosen button; 0 for Esc, Ctrl+F4 or a box that cannot be shown.
// default_button 0 focuses the first button.
int message_box(int default_button, const char* format, ...) __attribute__((format(printf, 2, 3)));
int message(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Answers "Funkcja w tym miejscu nieobsługiwana." for a command that is not there yet.
void not_supported();
// Says that the current record of a table (0..4) was deleted meanwhile, by another workstation:
// "Bieżący rekord z pliku KONTRAHENCI\n  został wcześniej usunięty.".
void deleted_meanwhile(int table);
// When a key is waiting, reads it; for Esc asks whether to stop. 1 when the answer is " &Tak ".
int ask_abort();

// The wrapping rule, exposed for its tests: a line starts after each "\n" or tab; once a line
// has reached 70 characters and had a space, its last space becomes "\n". In place.
void wrap_message(char* text);
