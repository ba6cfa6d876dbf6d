// The menu of the collective reports "RAPORTY ZBIORCZE" (key R and " Raporty zbiorcze... " of
// the documents menu) with its submenus of transactions, profits and contractors; each item runs
// the report's command (its rights, its dialog, the report and the viewer).
#pragma once

int reports_menu();

// Installs what other layers open from here: the unpaid sales of a contractor behind the debtor
// question's " &Szczegóły... ".
void RegisterReports();
// Every report's remembered choices and the menus' last items back to their start.
void ResetReports();
