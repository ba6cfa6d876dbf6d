// The key help of the main screen and the information box.

#include <cstdio>
#include <string>

#include "common/date.h"
#include "common/text.h"
#include "platform/system.h"
#include "shell/main_window.h"
#include "ui/dialog.h"
#include "ui/document/doc_viewer.h"
#include "ui/message_box.h"
#include "ui/number_format.h"

namespace {

const char* const kHelpLeft =
    "[F10], [Alt+litera], [Enter]\n"
    "           : Menu główne\n"
    "\n"
    "[Esc]      : Koniec programu\n"
    "\n"
    "[1]        : Grupy towarów\n"
    "[2]        : Towary\n"
    "[3]        : Kontrahenci\n"
    "[4]        : Transakcje\n"
    "\n"
    "[Ins], [D] : Dodanie rekordu\n"
    "[F2],  [E] : Edycja rekordu\n"
    "[Del], [U] : Usunięcie rekordu\n"
    "\n"
    "[Home]     : Pierwszy rekord\n"
    "[End]      : Ostatni rekord\n"
    "[Góra]     : Poprzedni rekord\n"
    "[Dół]      : Następny rekord\n"
    "[W]        : Lista rekordów"_pl;

const char* const kHelpRight =
    "[F7]       : Wyszukanie tekstu\n"
    "[Shift+F7] : Wyszukanie ponowne\n"
    "\n"
    "[F]        : Dokument sprzedaży\n"
    "[M]        : Dokument magazynowy\n"
    "[P]        : Paragon fiskalny\n"
    "[S]        : Dokument płatności\n"
    "[L]        : Polecenie przelewu\n"
    "\n"
    "[K]        : Dokumenty\n"
    "[R]        : Raporty zbiorcze\n"
    "[N]        : Kasa fiskalna\n"
    "[C]        : Kalkulacja ceny\n"
    "[F9]       : Drukowanie etykiety\n"
    "[F1]       : Pomoc\n"
    "[Ctrl+F1]  : Instrukcja obsługi\n"
    "[I]        : Informacje"_pl;

const char* const kWeekdays[7] = {"Poniedziałek"_pl, "Wtorek", "Środa"_pl, "Czwartek",
                                  "Piątek"_pl,       "Sobota", "Niedziela"};

std::string Kilobytes(unsigned long long kb) {
  return format_amount(AMOUNT::FromInt(static_cast<int64_t>(kb)), 0);
}

}  // namespace

void main_help_box() {
  ControlRecord d[6];
  dlg_frame(d, 0, -1, -1, 74, 21, "POMOC - KLAWISZE SKRÓTU"_pl);
  dlg_label(d, 1, 3, 1, kHelpLeft);
  dlg_label(d, 2, 39, 1, kHelpRight);
  dlg_button(d, 3, 42, 19, " &Ok ");
  dlg_button(d, 4, 47, 19, " &Instrukcja obsługi "_pl);
  dlg_end(d, 5);
  dlg_center(d);
  // The user manual opens once the box is closed.
  if (dlg_run(d, 3, nullptr) == 4) show_manual();
}

std::string info_box_text() {
  const DATE today = DateToday();
  const unsigned wd = DateWeekday(today);
  const SystemFacts facts = GetSystemFacts(".");
  std::string dir = CurrentDirectory();
  // The box is 70 columns inside; a long directory keeps its tail.
  if (dir.size() > 58) dir = "..." + dir.substr(dir.size() - 55);
  char text[512];
  std::snprintf(text, sizeof text,
                "   Data: %s %s\n%7s: %u.%02u\n Pamięć: %11s KB\n   Dysk: %11s KB\nKatalog: %s"_pl,
                DateToDisplay(today).c_str(), wd >= 1 && wd <= 7 ? kWeekdays[wd - 1] : "",
                facts.system.c_str(), facts.major, facts.minor,
                Kilobytes(facts.free_memory_kb).c_str(), Kilobytes(facts.free_disk_kb).c_str(),
                dir.c_str());
  return text;
}

void info_box() {
  const std::string facts = info_box_text();
  ControlRecord d[7];
  dlg_frame(d, 0, -1, -1, 76, 21, nullptr);
  dlg_label(d, 1, 35, 2, "Tamsu");
  dlg_label(d, 2, 24, 4, "KOMPUTEROWY PROGRAM HANDLOWY");
  dlg_line(d, 3, 3, 7, 70);
  dlg_label(d, 4, 3, 9, facts.c_str());
  dlg_button(d, 5, 69, 19, " &Ok ");
  dlg_end(d, 6);
  dlg_center(d);
  dlg_run(d, 5, nullptr);
}
