#include "admin/admin.h"
#include "admin/admin_archive.h"
#include "admin/admin_common.h"

#include <cstring>
#include <string>
#include <vector>

#include "business/demo_data.h"
#include "business/rights.h"
#include "common/date.h"
#include "common/text.h"
#include "db/db_event_text.h"
#include "db/db_events.h"
#include "db/dbf_format.h"
#include "db/dbtable.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_check.h"
#include "db/table_lock.h"
#include "db/table_mark.h"
#include "platform/cfile.h"
#include "platform/system.h"

namespace {

const char kUsage[] =
    "Użycie:\n"
    "  tamsu-admin create KATALOG [--demo]   nowa, pusta baza (z --demo: z danymi przykładowymi)\n"
    "  tamsu-admin dump KATALOG TABELA       rekordy tabeli jako CSV w UTF-8 (Gto, Tow, Kon, Tra, "
    "Poz\n"
    "                                        albo 0 do 4); usunięte rekordy mają \"*\" w pierwszej "
    "kolumnie\n"
    "  tamsu-admin check KATALOG [--repair]  sprawdzenie plików danych i indeksów (także śladów\n"
    "                                        niepoprawnego zakończenia programu); z --repair\n"
    "                                        także naprawa tego, co znaleziono\n"
    "  tamsu-admin reindex KATALOG           odbudowa wszystkich indeksów\n"
    "  tamsu-admin pack KATALOG              usunięcie skasowanych rekordów (defragmentacja)\n"
    "  tamsu-admin service-password KLUCZ [DD.MM.RRRR]\n"
    "      hasło serwisowe dnia (dziś, gdy data nie jest podana) dla klucza ServiceKey\n"
    "      z pliku Tamsu.ini klienta\n";

bool AnyDataFile() {
  for (const TABLEDEF& d : TABLE_DEFS)
    if (CFILE::Exists(d.data_file)) return true;
  return false;
}

bool AllDataFiles(FILE* err) {
  for (const TABLEDEF& d : TABLE_DEFS) {
    if (!CFILE::Exists(d.data_file)) {
      std::fprintf(err, "Brak pliku %s: to nie jest katalog danych programu Tamsu.\n", d.data_file);
      return false;
    }
  }
  return true;
}

int Create(int argc, char** argv, FILE* out, FILE* err) {
  bool demo = argc == 4 && std::strcmp(argv[3], "--demo") == 0;
  if (argc != 3 && !demo) {
    std::fputs(kUsage, err);
    return 2;
  }
  (void)MakeDirectory(argv[2]);  // a new directory is made; an existing one is used
  IN_DATA_DIRECTORY dir(argv[2], err);
  if (!dir.ok()) return 1;
  if (AnyDataFile()) {
    std::fprintf(err, "Katalog \"%s\" zawiera już pliki bazy danych; nic nie zmieniono.\n",
                 argv[2]);
    return 1;
  }
  if (OpenDatabase() != 0) return 1;
  if (demo && CreateDemoDatabase() != 0) {
    std::fprintf(err, "Nie udało się dodać danych przykładowych.\n");
    return 1;
  }
  std::fprintf(out, "Utworzono bazę danych w katalogu \"%s\"%s.\n", argv[2],
               demo ? " z danymi przykładowymi" : "");
  return 0;
}

int TableByName(const char* name) {
  const char* names[] = {"Gto", "Tow", "Kon", "Tra", "Poz"};
  for (int t = 0; t < kSchemaTableCount; ++t) {
    if (strcasecmp(name, names[t]) == 0 || strcasecmp(name, TABLE_DEFS[t].data_file) == 0) return t;
    if (name[0] == '0' + t && name[1] == '\0') return t;
  }
  return -1;
}

std::string CsvField(const std::string& utf8) {
  if (utf8.find_first_of(",\"\n\r") == std::string::npos) return utf8;
  std::string q = "\"";
  for (char c : utf8) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + "\"";
}

int Dump(int argc, char** argv, FILE* out, FILE* err) {
  if (argc != 4) {
    std::fputs(kUsage, err);
    return 2;
  }
  int table = TableByName(argv[3]);
  if (table < 0) {
    std::fprintf(err,
                 "Nieznana tabela \"%s\": podaj Gto, Tow, Kon, Tra, Poz albo numer od 0 do 4.\n",
                 argv[3]);
    return 2;
  }
  IN_DATA_DIRECTORY dir(argv[2], err);
  if (!dir.ok() || !AllDataFiles(err)) return 1;
  const TABLEDEF& def = TABLE_DEFS[table];
  // Read as it is, in file order: the rescue works when the index is damaged or missing and
  // changes nothing.
  TABLEFINDINGS found;
  if (TableOpenToInspect(table, &def, &found) != 0) return 1;
  std::string line = "usuniety";
  for (int f = 0; f < def.field_count; ++f) line += std::string(",") + def.fields[f].name;
  std::fprintf(out, "%s\n", line.c_str());
  long count = TableRecCount(table);
  const char* rec = static_cast<const char*>(TableRecord(table));
  for (long n = 0; n < count; ++n) {
    bool deleted = false;
    if (TableGo(table, n) != 0 || TableIsDeleted(table, &deleted) != 0) return 1;
    line = deleted ? "*" : "";
    for (int f = 0; f < def.field_count; ++f) {
      const FIELDDEF& fd = def.fields[f];
      const char* p = rec + fd.struct_offset;
      std::string v;
      if (fd.type == 'C') {
        v = Cp1250ToUtf8(p);
      } else if (fd.type == 'D') {
        DATE d;
        std::memcpy(&d, p, sizeof d);
        v = DateToDisplay(d);
      } else if (fd.type == 'L') {
        int32_t b;
        std::memcpy(&b, p, sizeof b);
        v = b ? "T" : "F";
      } else {
        int64_t raw;
        std::memcpy(&raw, p, sizeof raw);
        char buf[32];
        if (PackNumber(AMOUNT::FromRaw(raw), 30, fd.decimals, buf)) {
          v.assign(buf, 30);
          v.erase(0, v.find_first_not_of(' '));
          if (v.empty())
            v = fd.decimals ? "0." + std::string(static_cast<size_t>(fd.decimals), '0') : "0";
        }
      }
      line += "," + CsvField(v);
    }
    std::fprintf(out, "%s\n", line.c_str());
  }
  return 0;
}

// The verbs that work on a whole existing database: `tamsu-admin VERB DIR`.
int OnDatabase(int argc, char** argv, FILE* out, FILE* err,
               int (*work)(const char*, FILE*, FILE*)) {
  if (argc != 3) {
    std::fputs(kUsage, err);
    return 2;
  }
  IN_DATA_DIRECTORY dir(argv[2], err);
  if (!dir.ok() || !AllDataFiles(err)) return 1;
  return work(argv[2], out, err);
}

// The faults of one table found by inspecting it; each is a line for the user. `repairable`
// tells whether opening with a new index mends them all; after an unclean end and nothing else,
// opening the table mends it (the indexes are checked and rebuilt only when they disagree).
struct TABLEFAULTS {
  std::vector<std::string> lines;
  bool repairable = true;
  bool only_unclean_end = false;
};

TABLEFAULTS InspectTable(int t) {
  TABLEFAULTS faults;
  const TABLEDEF& def = TABLE_DEFS[t];
  TABLEFINDINGS found;
  if (TableOpenToInspect(t, &def, &found) != 0) {
    // The reason has been printed (a header that does not fit, a file in use...).
    faults.lines.push_back(std::string(def.data_file) + ": nie można otworzyć pliku.");
    faults.repairable = false;
    return faults;
  }
  char buf[256];
  if (found.whole_records >= 0) {
    std::snprintf(buf, sizeof buf,
                  "%s: plik krótszy, niż podaje nagłówek (rekordów w nagłówku %ld, całych %ld).",
                  def.data_file, found.claimed_records, found.whole_records);
    faults.lines.push_back(buf);
  }
  if (found.end_mark_missing)
    faults.lines.push_back(std::string(def.data_file) + ": brak znacznika końca pliku.");
  if (found.index_missing)
    faults.lines.push_back(std::string(def.index_file) + ": brak pliku indeksu.");
  if (found.index_refused)
    faults.lines.push_back(std::string(def.index_file) +
                           ": nagłówek indeksu nie pasuje do definicji tabeli.");
  std::string problem;
  if (!found.index_missing && !found.index_refused && CheckTable(t, &problem) != 0)
    faults.lines.push_back(std::string(def.index_file) + ": " + Cp1250ToUtf8(problem));
  faults.only_unclean_end = found.unclean_end && faults.lines.empty();
  if (found.unclean_end)
    faults.lines.push_back(
        std::string(def.data_file) +
        ": program nie został poprawnie zakończony w czasie zmian w tym pliku (" +
        MarkerName(def.data_file) + ").");
  TableClose(t);
  return faults;
}

// Looks at every table and changes nothing; with --repair mends what it found: short data files
// (a copy is kept), end marks, indexes (built afresh and put in place whole), leftovers of an
// interrupted pack, and looks again.
int CheckDatabase(const char* dir, bool repair, FILE* out, FILE* err) {
  std::vector<std::string> lines;
  bool index_faults[kSchemaTableCount] = {};
  bool only_unclean_end[kSchemaTableCount] = {};
  bool repairable = true;
  for (int t = 0; t < kSchemaTableCount; ++t) {
    TABLEFAULTS f = InspectTable(t);
    index_faults[t] = !f.lines.empty();
    only_unclean_end[t] = f.only_unclean_end;
    repairable = repairable && f.repairable;
    lines.insert(lines.end(), f.lines.begin(), f.lines.end());
  }
  std::vector<std::string> leftovers;
  FindLeftovers(&leftovers, true);
  for (const std::string& name : leftovers)
    lines.push_back(name + ": pozostałość przerwanej defragmentacji lub odbudowy indeksu.");
  for (const std::string& line : lines) std::fprintf(out, "%s\n", line.c_str());
  if (lines.empty()) {
    std::fprintf(out, "Baza danych jest spójna.\n");
    return 0;
  }
  std::fprintf(out, "Znalezione błędy: %zu.\n", lines.size());
  if (!repair) {
    std::fprintf(out, "Nic nie zmieniono. Naprawa: tamsu-admin check %s --repair\n", dir);
    return 1;
  }
  if (!repairable) {
    std::fprintf(err,
                 "Nie wszystkie błędy można naprawić: pliki, których nie można otworzyć, zostają "
                 "bez zmian.\n");
  }
  for (int t = 0; t < kSchemaTableCount; ++t) {
    if (!index_faults[t]) continue;
    // Either opening mends an unclean end as well; the clean close then removes the marker.
    if ((only_unclean_end[t] ? TableOpen(t, &TABLE_DEFS[t])
                             : TableOpenWithNewIndex(t, &TABLE_DEFS[t])) == 0)
      TableClose(t);
  }
  for (const std::string& name : leftovers) CFILE::DeleteFile(name.c_str());
  // What is left after the repair.
  size_t left = 0;
  for (int t = 0; t < kSchemaTableCount; ++t) {
    TABLEFAULTS f = InspectTable(t);
    for (const std::string& line : f.lines) std::fprintf(err, "%s\n", line.c_str());
    left += f.lines.size();
  }
  if (left) {
    std::fprintf(err, "Po naprawie pozostały błędy: %zu.\n", left);
    return 1;
  }
  std::fprintf(out, "Naprawiono. Baza danych jest spójna.\n");
  return 0;
}

int Check(int argc, char** argv, FILE* out, FILE* err) {
  const bool repair = argc == 4 && std::strcmp(argv[3], "--repair") == 0;
  if (argc != 3 && !repair) {
    std::fputs(kUsage, err);
    return 2;
  }
  IN_DATA_DIRECTORY dir(argv[2], err);
  if (!dir.ok() || !AllDataFiles(err)) return 1;
  return CheckDatabase(argv[2], repair, out, err);
}

int ReindexWork(const char*, FILE* out, FILE*) {
  // The data files are looked at first, so that a damaged one stops the work before any index is
  // touched.
  for (int t = 0; t < kSchemaTableCount; ++t) {
    TABLEFINDINGS found;
    if (TableOpenToInspect(t, &TABLE_DEFS[t], &found) != 0) return 1;
    TableClose(t);
  }
  // Each index is built whole under a temporary name and then put in place of the old one: a
  // rebuild stopped at any moment leaves the old index, or none (built on the next opening).
  for (int t = 0; t < kSchemaTableCount; ++t) {
    if (TableOpenWithNewIndex(t, &TABLE_DEFS[t]) != 0) return 1;
    TableClose(t);
  }
  RemoveLeftovers();
  std::fprintf(out, "Odbudowano indeksy.\n");
  return 0;
}

int PackWork(const char*, FILE* out, FILE*) {
  if (OpenDatabase() != 0) return 1;
  for (int t = 0; t < kSchemaTableCount; ++t) {
    long before = TableRecCount(t);
    if (TablePack(t) != 0) return 1;
    std::fprintf(out, "%s: liczba rekordów %ld, usunięto %ld.\n", TABLE_DEFS[t].data_file,
                 TableRecCount(t), before - TableRecCount(t));
  }
  return 0;
}

int Reindex(int argc, char** argv, FILE* out, FILE* err) {
  return OnDatabase(argc, argv, out, err, ReindexWork);
}
int Pack(int argc, char** argv, FILE* out, FILE* err) {
  return OnDatabase(argc, argv, out, err, PackWork);
}

int ServicePasswordVerb(int argc, char** argv, FILE* out, FILE* err) {
  if (argc < 3 || argc > 4) {
    std::fputs(kUsage, err);
    return 2;
  }
  std::string key = argv[2];
  if (key.size() < 16) {
    std::fprintf(err, "Klucz \"%s\" jest za krótki: ServiceKey ma 16 znaków.\n", key.c_str());
    return 1;
  }
  DATE day = DateToday();
  if (argc == 4) {
    day = DateFromDisplay(argv[3]);
    if (day == 0) {
      std::fprintf(err, "Nieprawidłowa data \"%s\": oczekiwano DD.MM.RRRR.\n", argv[3]);
      return 1;
    }
  }
  std::fprintf(out, "%s\n", ServicePassword(key, day).c_str());
  return 0;
}

}  // namespace

int AdminMain(int argc, char** argv, FILE* out, FILE* err) {
  if (argc < 2) {
    std::fputs(kUsage, err);
    std::fputs(kArchiveUsage, err);
    return 2;
  }
  if (int r = ArchiveVerb(argc, argv, out, err); r != kNotArchiveVerb) return r;
  struct Verb {
    const char* name;
    int (*run)(int, char**, FILE*, FILE*);
  };
  const Verb verbs[] = {{"create", Create}, {"dump", Dump},
                        {"check", Check},   {"reindex", Reindex},
                        {"pack", Pack},     {"service-password", ServicePasswordVerb}};
  for (const Verb& v : verbs)
    if (std::strcmp(argv[1], v.name) == 0) return v.run(argc, argv, out, err);
  std::fprintf(err, "Nieznane polecenie \"%s\".\n%s", argv[1], kUsage);
  return 2;
}
