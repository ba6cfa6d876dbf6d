// The service commands of database maintenance as the user meets them: their dialogs, questions,
// locks, progress windows and messages. The backup and restore commands, which close and open
// the database again, are the shell's (shell/main_commands.cc); their dialogs are here.
//
// Commands answer 0 when the program goes on and non-zero when a table could not be opened
// again; the caller then says "W wyniku tej operacji nie wszystkie..." and ends the program.
#pragma once

#include <string>

// "Opcje archiwizacji": "ArchiveDir" and "ArchiveNameType". 0 on " &Ok ", -1 otherwise.
int archive_options_dialog();
// The backup question with its archive name, the options dialog on " &Opcje... ". 1 with
// *path when the backup is to be made, 0 otherwise.
int ask_backup(std::string* path);
// "Odtworzenie bazy danych" and the question that the current data will go. 1 with *path to go
// on, 0 otherwise (also without the right to work on the whole database).
int ask_restore(std::string* path);

int defragment_command();
int rebuild_indexes_command();
// "SPRAWDZENIE BAZY DANYCH" with its report. 0 (the view is to be shown again by the caller).
int check_command();
int delete_command();
int export_command();
int import_command();
// "KONWERSJA BAZY DANYCH"; the options are read again afterwards.
int convert_command();

// The message after which the program ends when a table cannot be opened again.
void tables_lost_message();
