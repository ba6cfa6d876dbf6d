// The main screen: the menu bar on row 0, the record form of the current view on rows 1 to 23
// and the hint "&F&1 Pomoc" on row 24; the four views (0 groups of goods, 1 goods,
// 2 contractors, 3 transactions, view n over table n), the record commands that move through
// the current view's table, and the command loop.
//
//   main_screen_draw();  show_view(3);  main_loop();   // after the database is open
#pragma once

#include <string>

#include "common/cell.h"
#include "ui/controls.h"

void main_screen_draw();
// Makes view n current and shows its current record. -1 when n is already current, outside
// 0..3, or the database access is refused.
int show_view(int n);
ControlRecord* view_form(int view);
// Loads the current record of the current view into its form and redraws the values.
void show_current_record();
// Draws the whole form of the current view again, then its values.
void redraw_main_screen();

// Moves in the current view's table in its order under the database access; stops at the
// first or last record. 0, or -1 when nothing could be done.
enum RecordMove { kMoveFirst, kMoveLast, kMoveForward, kMoveBack };
int move_record(RecordMove how, long count);

// Runs until a command ends the program; 0.
int main_loop();
// A menu command; nonzero ends the program.
int main_command(int bar, int item);
// A key the menu did not take; nonzero ends the program.
int main_key(const KeyEvent& ev);
// "Koniec programu?"; true for " &Tak ".
bool confirm_exit();

void main_help_box();
void info_box();

// Back to no current view (tests run many programs in one process).
void ResetMainWindow();

// The system facts of the information box: date and weekday, system and version, free memory,
// free disk space of the data directory, the data directory.
std::string info_box_text();
