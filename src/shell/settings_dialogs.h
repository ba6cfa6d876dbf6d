// The dialogs of the start-up password and of the options that belong to the shell: "HASŁO"
// (the question), "HASŁA" (both passwords), "UPRAWNIENIA UŻYTKOWNIKA" (the rights of a run with
// the user password) and "SIEĆ" (shared work on the data directory, key "Net").
#pragma once

#include <string>

// "HASŁO": asks for a password of at most 10 characters. 0 with the entry, -1 on Esc.
int ask_password(std::string* entry);

// The start-up question: with no administrator password nothing is asked and the run has full
// rights; otherwise the entry decides the administrator flag. A wrong entry beeps and shows
// "Hasło nieprawidłowe.". 0 to go on, -1 when the start is refused.
int startup_password();

// When an administrator password is set, "HASŁO" must be answered with it (or the service
// password); a wrong answer beeps and shows "Hasło nieprawidłowe.". True to go on.
bool administrator_confirmed();

// "HASŁA": writes both passwords on " &Ok " (an empty field clears its password). 0 or -1.
int passwords_dialog();
// "UPRAWNIENIA UŻYTKOWNIKA": the eight rights; " &Ok " writes "UserRights". 0 or -1.
int user_rights_dialog();

// "SIEĆ": edits "Net". After a change the user may reopen the tables in the new mode. The
// result is nonzero when the tables could not all be opened again and the program must end
// (the message has been shown); *reopened tells whether the tables were reopened.
int network_dialog(bool* reopened);

// Reads "Net" and sets the network flag of the table layer; with sharing on, warns once when
// the data directory does not take byte-range locks.
void apply_network_option();
