// The maintenance items of " &Narzędzia " and the backup options of " &Opcje ": backup and
// restore close the tables and open them again as at start-up, with every table back on its
// order and record; the other commands are business/maintenance_commands.h.
#pragma once

// Item of the tools menu (8 backup ... 19 deletion). Nonzero ends the program: a table could
// not be opened again ("W wyniku tej operacji nie wszystkie..." has been shown).
int maintenance_command(int item);
// Whether a tools item is one of these.
bool is_maintenance_item(int item);
// Key A: the backup.
int backup_command();
