#include "db/table_check.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/text.h"
#include "db/db_events.h"
#include "db/index_check.h"
#include "db/table.h"
#include "db/table_keys.h"
#include "db/table_slot.h"

namespace {

// Sets the keys the records make (sorted by key, then record number) against the leaf chain of
// index i. Equal keys stand in the leaves in the order they were added, so each run of them is
// compared as a set. *first receives the lowest record whose key is missing, -1 when none.
// 0, or -1 when a leaf cannot be read (its number in *bad_page).
int MissingKeys(INDEXFILE* ix, int i, KEYSORTER& keys, long* first, int32_t* bad_page) {
  const int kl = ix->index[i].key_length;
  const size_t n = static_cast<size_t>(kl);
  *first = -1;
  if (keys.Rewind(i) != 0) return -1;
  const uint8_t* made = nullptr;
  uint32_t made_record = 0;
  int got = keys.Next(&made, &made_record);
  auto missing = [&](uint32_t record) {
    if (*first < 0 || static_cast<long>(record) < *first) *first = static_cast<long>(record);
  };
  std::vector<uint8_t> run_key(n), key(n);
  std::vector<uint32_t> run;
  // One run of equal keys from the leaves is complete: the records' keys up to it are settled.
  auto settle = [&]() -> int {
    std::sort(run.begin(), run.end());
    for (; got == 1; got = keys.Next(&made, &made_record)) {
      int c = run.empty() ? 1 : std::memcmp(made, run_key.data(), n);
      if (c > 0) break;
      if (c < 0 || !std::binary_search(run.begin(), run.end(), made_record)) missing(made_record);
    }
    run.clear();
    return got < 0 ? -1 : 0;
  };
  // Down the first entries to the first leaf, then along the chain (the checker has passed it).
  int32_t p = ix->index[i].root;
  INDEXPAGE pg;
  for (int32_t steps = 0; p != kNoPage; ++steps) {
    if (steps > ix->page_count || ReadIndexPage(ix, i, p, &pg) != 0) {
      *bad_page = p;
      return -1;
    }
    if (PageKind(pg) == kPageLeaf) break;
    p = PageCount(pg) > 0 ? static_cast<int32_t>(EntryValue(pg, kl, 0)) : kNoPage;
  }
  for (int32_t steps = 0; p != kNoPage; ++steps) {
    if (steps > 0 && (steps > ix->page_count || ReadIndexPage(ix, i, p, &pg) != 0)) {
      *bad_page = p;
      return -1;
    }
    for (int e = 0; e < PageCount(pg); ++e) {
      SortWeights(EntryKey(pg, kl, e), kl, key.data());
      if (!run.empty() && key != run_key && settle() != 0) return -1;
      if (run.empty()) run_key = key;
      run.push_back(EntryValue(pg, kl, e));
    }
    p = PageNext(pg);
  }
  if (!run.empty() && settle() != 0) return -1;
  for (; got == 1; got = keys.Next(&made, &made_record)) missing(made_record);
  return got < 0 ? -1 : 0;
}

}  // namespace

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
      std::snprintf(buf, sizeof buf, "Indeks %d wskazuje rekord spoza pliku danych."_pl,
                    check.index);
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
        std::snprintf(buf, sizeof buf, "Indeks %d ma %ld kluczy dla %ld rekordów."_pl, i,
                      check.keys[i], s->count);
        *problem = buf;
        rc = kDbEvKeyMissing;
      }
    }
    // Every record found under each of its keys: the keys the records make, sorted, set against
    // the leaf chain of each index walked once.
    DbEventHandler saved = EventHandler();
    SetEventHandler(nullptr);
    KEYSORTER keys(s->def->index_count, s->def->key_lengths, s->def->data_file);
    long unreadable = -1;  // the first record that cannot be read; the keys before it are checked
    bool sorted = true;
    if (rc == 0) {
      int read = ForEachRecord(
          *s,
          [&](long n, const char* raw) { return AddRecordKeys(*s, raw, n, keys) != 0 ? -2 : 0; },
          &unreadable);
      if (read == -2 || keys.Finish() != 0) sorted = false;
    }
    if (!sorted) {
      *problem = "Błąd zapisu pliku tymczasowego."_pl;
      rc = -1;
    }
    long missing = -1;
    int missing_index = -1;
    for (int i = 0; rc == 0 && i < s->def->index_count; ++i) {
      long first = -1;
      int32_t bad_page = kNoPage;
      if (MissingKeys(s->index.get(), i, keys, &first, &bad_page) != 0) {
        char buf[128];
        std::snprintf(buf, sizeof buf, "Uszkodzona struktura indeksu %d (strona %d)."_pl, i,
                      static_cast<int>(bad_page));
        *problem = buf;
        rc = kDbEvBadIndex;
      } else if (first >= 0 && (missing < 0 || first < missing)) {
        missing = first;
        missing_index = i;
      }
    }
    if (rc == 0 && missing >= 0) {
      *problem = "Brak rekordu "_pl + std::to_string(missing + 1) + " w indeksie "_pl +
                 std::to_string(missing_index) + ".";
      rc = kDbEvKeyMissing;
    } else if (rc == 0 && unreadable >= 0) {
      *problem = "Nie można odczytać rekordu "_pl + std::to_string(unreadable + 1) + ".";
      rc = kDbEvBadRecordNumber;
    }
    SetEventHandler(saved);
    std::vector<char> raw;
    // The cursors moved: back onto the current record.
    if (s->current >= 0 && s->current_index >= 0 && ReadRaw(*s, s->current, &raw) == 0) {
      Unpack(*s, raw.data(), s->spare.data());
      KEYTEXT key = BuildKey(*s, s->current_index, s->spare.data());
      LocateKey(s->index.get(), s->current_index, key.c_str(), s->current);
    }
  }
  TableUnlock(table);
  return rc;
}
