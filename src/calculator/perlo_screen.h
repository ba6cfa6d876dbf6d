// The calculator's full-screen dialog: the frame titled "Perlo 4.61  (19.04.2014)" with two
// groups of tab pages side by side, the calculator's pages on the left ("Podatek dochodowy",
// "Odsetki") and the information pages on the right ("Reklama", "Pomoc", "O programie"), a
// separator column between them. The field texts and what happens when a field is left come
// from the page model (calculator/perlo_form.h); this file draws it and runs the keys:
//
//   Alt+1 ... Alt+5     the tab of that number (a plain digit too outside an input field)
//   Ctrl+PgDn/PgUp      the next / previous calculator page
//   Enter, Tab, Down    the next control (Shift+Tab, Up: the previous one); the field is left
//   Space               the list of tax years, a radio button, the "Reklama" button
//   Left, Right         the previous / next tax year while the year has the focus
//   Esc                 ends the program
//
// Entering a field selects its text, so that typing replaces the value shown. A date that is not
// valid or an amount beyond the limit keeps the focus in its field. Only the fields whose text
// changed are written again.
#pragma once

#include "calculator/perlo_date.h"

// Runs the dialog until Esc (or a closed terminal) with `today` as the starting date of the
// interest page and the tax year. Opens the screen when it is not open (and closes it again);
// 0, or -1 when the screen cannot be opened.
int PerloScreenRun(DATE today);
// Back to the start state (tests run many dialogs in one process).
void PerloScreenReset();
