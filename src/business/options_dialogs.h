// The dialogs of the business options: service ("OBSŁUGA"), calculation precision
// ("ZAOKRĄGLENIA"), warnings ("OSTRZEŻENIA"), document fields ("OPCJE DOKUMENTÓW") with the
// header and footer lines of each document ("NAGŁÓWEK I STOPKA"), and the two document filters
// ("FILTR DOKUMENTÓW": the sales documents a fiscal receipt may be printed for, and the
// transactions the collective reports take in).
//
// Each dialog shows the stored values and writes them back only when left with " &Ok ": the
// answer is then 0 (or -1 when a value could not be written); Esc leaves everything as it was
// and answers 1. The options held in memory follow the setters, so the callers only redraw.
//
//   if (rounding_options_dialog() == 0) redraw_main_screen();
#pragma once

int service_options_dialog();
int rounding_options_dialog();
int warnings_options_dialog();
int document_options_dialog();
// document: 1 "Faktura VAT" ... 7 "Oferta" (as the header and footer keys number them).
int header_footer_dialog(int document);
int fiscal_filter_dialog();
int report_filter_dialog();
