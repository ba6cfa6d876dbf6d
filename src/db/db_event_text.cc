#include "db/db_event_text.h"

#include <cstdio>

#include "common/text.h"
#include "db/db_events.h"

std::string DbEventMessage(int code, const char* file_name, long number) {
  const char* form = nullptr;
  switch (code) {
    case kDbEvBadIndexNumber: form = "Nieprawidłowy numer indeksu w pliku %s."_pl; break;
    case kDbEvBadIndex:
      form = "Nieprawidłowy format indeksu %s.\nWymagana odbudowa indeksów."_pl;
      break;
    case kDbEvNoActiveIndex: form = "Brak aktywnego indeksu w pliku %s."_pl; break;
    case kDbEvKeyMissing:
      form = "Brak klucza w indeksie %s.\nWymagana odbudowa indeksów."_pl;
      break;
    case kDbEvNoMemory: form = "Brak pamięci przy próbie otwarcia pliku %s."_pl; break;
    case kDbEvNoSharing:
      form =
          "Program SHARE.EXE niezainstalowany.\n    Mechanizmy sieciowe nie będą\n        działały prawidłowo."_pl;
      break;
    case kDbEvRecordDeleted:
      form = "Bieżący rekord z pliku %s\n  został wcześniej usunięty."_pl;
      break;
    case kDbEvBadRecordNumber:
      form = "Nieprawidłowy numer rekordu w pliku %s.\nWymagana odbudowa indeksów."_pl;
      break;
    case kDbEvNotOpen: form = "Plik jest zamknięty."_pl; break;
    case kDbEvBadDefinition: form = "Błąd w definicji pliku."_pl; break;
    case kDbEvNoCurrentRecord: form = "Plik %s jest pusty."_pl; break;
    case kDbEvBadTableFile: form = "Nieprawidłowy format pliku %s."_pl; break;
    case kDbEvBadTableNumber: form = "Nieprawidłowy identyfikator pliku."_pl; break;
    case kDbEvNumberTooWide: form = "Liczba jest za duża, by ją zapisać w pliku %s."_pl; break;
    case kDbEvUncleanEnd:
      form = "Program nie został poprawnie zakończony.\nIndeksy pliku %s zostały odbudowane."_pl;
      break;
    case kDbEvFileMended: {
      // The copy's name is the file's name with ".NNN" after it.
      std::string copy = file_name ? file_name : "";
      std::string original = copy.size() > 4 ? copy.substr(0, copy.size() - 4) : copy;
      char buf[512];
      std::snprintf(buf, sizeof buf,
                    "Plik %s był krótszy, niż podaje jego nagłówek,\ni został naprawiony. Utracone "
                    "rekordy: %ld.\n"
                    "Kopia pliku sprzed naprawy: %s."_pl,
                    original.c_str(), number, copy.c_str());
      return buf;
    }
    default: return std::string();
  }
  char buf[512];
  std::snprintf(buf, sizeof buf, form, file_name ? file_name : "");
  return buf;
}
