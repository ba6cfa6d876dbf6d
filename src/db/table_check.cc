#include "db/table_check.h"

#include <cstdio>

#include "common/text.h"
#include "db/db_events.h"
#include "db/index_check.h"
#include "db/table.h"
#include "db/table_slot.h"

int CheckTable(int table, std::string* problem) {
  TABLESLOT* s = OpenSlot(table);
  if (!s) {
    *problem = "Plik jest zamknięty."_pl;
    return kDbEvNotOpen;
  }
  if (!s->index_open) {
    if (s->def->index_count == 0) return 0;
    *problem = "Brak otwartego pliku indeksu."_pl;
    return kDbEvBadIndex;
  }
  TableLock(table, false);
  INDEXCHECK check;
  int rc = CheckIndexFile(s->index.get(), s->count, &check);
  if (rc != 0) {
    char buf[160];
    if (rc == kDbEvBadRecordNumber)
      std::snprintf(buf, sizeof buf, "Indeks %d wskazuje rekord spoza pliku danych."_pl, check.index);
    else if (check.index < 0)
      std::snprintf(buf, sizeof buf, "%s", "Nieprawidłowy nagłówek pliku indeksu."_pl);
    else
      std::snprintf(buf, sizeof buf, "Uszkodzona struktura indeksu %d (strona %d)."_pl, check.index,
                    static_cast<int>(check.page));
    *problem = buf;
  } else {
    for (int i = 0; rc == 0 && i < s->def->index_count; ++i) {
      if (check.keys[i] != s->count) {
        char buf[128];
        std::snprintf(buf, sizeof buf, "Indeks %d ma %ld kluczy dla %ld rekordów."_pl, i, check.keys[i], s->count);
        *problem = buf;
        rc = kDbEvKeyMissing;
      }
    }
    // Every record found under each of its keys.
    DbEventHandler saved = EventHandler();
    SetEventHandler(nullptr);
    std::vector<char> raw;
    for (long n = 0; rc == 0 && n < s->count; ++n) {
      if (ReadRaw(*s, n, &raw) != 0) {
        *problem = "Nie można odczytać rekordu "_pl + std::to_string(n + 1) + ".";
        rc = kDbEvBadRecordNumber;
        break;
      }
      Unpack(*s, raw.data(), s->spare.data());
      for (int i = 0; i < s->def->index_count; ++i) {
        std::string key = BuildKey(*s, i, s->spare.data());
        if (LocateKey(s->index.get(), i, key.c_str(), n) != 0) {
          *problem = "Brak rekordu "_pl + std::to_string(n + 1) + " w indeksie "_pl + std::to_string(i) + ".";
          rc = kDbEvKeyMissing;
          break;
        }
      }
    }
    SetEventHandler(saved);
    // The cursors moved: back onto the current record.
    if (s->current >= 0 && s->current_index >= 0 && ReadRaw(*s, s->current, &raw) == 0) {
      Unpack(*s, raw.data(), s->spare.data());
      std::string key = BuildKey(*s, s->current_index, s->spare.data());
      LocateKey(s->index.get(), s->current_index, key.c_str(), s->current);
    }
  }
  TableUnlock(table);
  return rc;
}
