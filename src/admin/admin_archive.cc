// The tamsu-admin verbs of backups and maintenance: backup, restore, check-data, export, import.
// Each works in the data directory, refuses (status 3) while a program holds the tables, tells
// what it did in one line or what went wrong, and ends with 0 on success and 1 on a failure.
#include "admin/admin_archive.h"

#include "admin/admin_common.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "business/maintenance.h"
#include "common/date.h"
#include "common/text.h"
#include "db/archive/archzip.h"
#include "db/archive/backup.h"
#include "db/db_event_text.h"
#include "db/db_events.h"
#include "db/dbtable.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "platform/cfile.h"
#include "platform/paths.h"
#include "platform/removable.h"
#include "platform/system.h"

namespace {

constexpr int kInUse = 3;
const char kExportDir[] = "Export";

FILE* g_out = stdout;
FILE* g_err = stderr;

// The engine's messages without their buttons; scripts cannot answer, so every error stops,
// except a missing "Tamsu.ini" in the data directory (it usually lives beside the program).
class ADMIN_ARCHIVE : public ARCHZIP {
 public:
  int Error(int code, const char* name) override {
    std::string text = ArchiveErrorText(code);
    const size_t tab = text.find('\t');
    if (tab != std::string::npos) text.resize(tab);
    if (code == kArchErrMissing && std::strcmp(name, "Tamsu.ini") == 0) return 0;
    const size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, name);
    Say(g_err, text);
    return 1;
  }
  int DiskPrompt(int kind, int disk) override {
    std::fprintf(g_out,
                 kind == kPromptLastDisk ? "Włóż ostatni dysk i naciśnij Enter.\n"
                                         : "Włóż dysk nr %d i naciśnij Enter.\n",
                 disk);
    std::fflush(g_out);
    char line[16];
    return std::fgets(line, sizeof line, stdin) ? 0 : 1;
  }
};

// An archive path as the user gave it, taken before the run moves into the data directory.
std::string Absolute(const char* path) {
  if (path[0] == '/' || DiskDriveOfPath(path) >= 0) return path;
  return CurrentDirectory() + "/" + path;
}

bool InUse(const char* dir, bool exclusive) {
  DATABASE_GUARD guard;
  if (guard.Take(exclusive) == 0) return false;
  std::fprintf(
      g_err,
      "Baza danych w katalogu \"%s\" jest używana przez program (plik %s); nic nie zrobiono.\n",
      dir, guard.Refused().c_str());
  return true;
}

bool AllDataFiles() {
  for (const TABLEDEF& d : TABLE_DEFS)
    if (!CFILE::Exists(d.data_file)) {
      std::fprintf(g_err, "Brak pliku %s: to nie jest katalog danych programu Tamsu.\n",
                   d.data_file);
      return false;
    }
  return true;
}

int Usage() {
  std::fputs(kArchiveUsage, g_err);
  return 2;
}

int Backup(int argc, char** argv) {
  if (argc < 3 || argc > 4) return Usage();
  const std::string given = argc == 4 ? Absolute(argv[3]) : std::string();
  IN_DATA_DIRECTORY in(argv[2], g_err, CloseExportTables);
  if (!in.ok() || !AllDataFiles()) return 1;
  if (InUse(argv[2], false)) return kInUse;
  const std::string archive = given.empty() ? BackupArchivePath(DateToday()) : given;
  ADMIN_ARCHIVE z;
  if (BackupFiles(z, archive) != 0) return 1;
  std::fprintf(g_out, "Utworzono archiwum %s.\n", archive.c_str());
  return 0;
}

int Restore(int argc, char** argv) {
  if (argc != 4) return Usage();
  const std::string archive = Absolute(argv[3]);
  IN_DATA_DIRECTORY in(argv[2], g_err, CloseExportTables);
  if (!in.ok()) return 1;
  if (InUse(argv[2], true)) return kInUse;
  ADMIN_ARCHIVE z;
  if (RestoreFiles(z, archive) != 0) {
    std::fprintf(g_err, "Nie odtworzono bazy danych; pliki w katalogu pozostały bez zmian.\n");
    return 1;
  }
  // Opening builds the indexes that the archive did not bring.
  if (OpenDatabase() != 0) return 1;
  std::fprintf(g_out, "Odtworzono bazę danych z archiwum %s.\n", archive.c_str());
  return 0;
}

class PRINT_REPORT : public CHECK_OUTPUT {
 public:
  void Line(const std::string& text) override { Say(g_out, text); }
  void NoMemory() override {
    Say(g_err, "Brak pamięci: stan magazynu nie zostanie sprawdzony."_pl);
  }
};

int CheckData(int argc, char** argv) {
  const bool repair = argc == 4 && std::strcmp(argv[3], "--repair") == 0;
  if (argc != 3 && !repair) return Usage();
  IN_DATA_DIRECTORY in(argv[2], g_err, CloseExportTables);
  if (!in.ok() || !AllDataFiles()) return 1;
  if (InUse(argv[2], true)) return kInUse;
  if (OpenDatabase() != 0 || LockAllTables(repair) != 0) return 1;
  CHECK_CHOICES choices;
  choices.repair = repair ? kRepairAuto : kRepairNone;
  PRINT_REPORT report;
  CHECK_RESULT result;
  std::fprintf(g_out, "SPRAWDZENIE BAZY DANYCH\n\nData: %s\n\n",
               DateToDisplay(DateToday()).c_str());
  const int rc = CheckDatabase(choices, report, &result);
  UnlockAllTables();
  std::fprintf(g_out, "\nBłędów znalezionych: %lu, naprawionych: %lu.\n", result.found,
               result.repaired);
  return rc == 0 ? 0 : 1;
}

// "DD.MM.RRRR DD.MM.RRRR" after the archive, or every date.
bool Range(int argc, char** argv, DATE* from, DATE* to) {
  *from = 1;
  *to = DateFromYmd(9999, 12, 31);
  if (argc == 4) return true;
  if (argc != 6) return false;
  *from = DateFromDisplay(argv[4]);
  *to = DateFromDisplay(argv[5]);
  if (*from != 0 && *to != 0) return true;
  std::fprintf(g_err, "Nieprawidłowa data: oczekiwano DD.MM.RRRR DD.MM.RRRR.\n");
  return false;
}

void RemoveExportDirectory() {
  CloseExportTables();
  for (int i = 1; i < kBackupFileCount; ++i) {
    const std::string f = std::string(kExportDir) + "/" + BACKUP_FILES[i];
    if (CFILE::Exists(f.c_str())) CFILE::DeleteFile(f.c_str());
  }
  RemoveEmptyDirectory(kExportDir);
}

// A fresh "Export" directory with the five export tables open.
int OpenExportDirectory() {
  if (IsDirectory(kExportDir)) RemoveExportDirectory();
  if (!IsDirectory(kExportDir) && MakeDirectory(kExportDir) != 0) {
    std::fprintf(g_err, "Błąd przy próbie utworzenia katalogu %s.\n", kExportDir);
    return -1;
  }
  return 0;
}

int Export(int argc, char** argv) {
  DATE from = 0, to = 0;
  if (argc < 4 || !Range(argc, argv, &from, &to)) return Usage();
  const std::string archive = Absolute(argv[3]);
  IN_DATA_DIRECTORY in(argv[2], g_err, CloseExportTables);
  if (!in.ok() || !AllDataFiles()) return 1;
  if (InUse(argv[2], true)) return kInUse;
  if (OpenDatabase() != 0 || OpenExportDirectory() != 0) return 1;
  EXCHANGE_OUTPUT quiet;
  int rc = OpenExportTables(kExportDir);
  if (rc == 0 && LockAllTables(false) == 0) {
    rc = ExportTransactions(from, to, quiet);
    UnlockAllTables();
  }
  if (rc == 0 && TableFlushAll() != 0) rc = -1;
  CloseExportTables();
  ADMIN_ARCHIVE z;
  z.SetStandardMembers(StandardArchiveMembers());
  if (rc == 0)
    rc = z.CreateArchive(archive.c_str(), BACKUP_FILES + 1, kBackupFileCount - 1, kExportDir);
  RemoveExportDirectory();
  if (rc != 0) return 1;
  std::fprintf(g_out, "Utworzono archiwum eksportu %s.\n", archive.c_str());
  return 0;
}

int Import(int argc, char** argv) {
  DATE from = 0, to = 0;
  if (argc < 4 || !Range(argc, argv, &from, &to)) return Usage();
  const std::string archive = Absolute(argv[3]);
  IN_DATA_DIRECTORY in(argv[2], g_err, CloseExportTables);
  if (!in.ok() || !AllDataFiles()) return 1;
  if (InUse(argv[2], true)) return kInUse;
  if (OpenDatabase() != 0 || OpenExportDirectory() != 0) return 1;
  ADMIN_ARCHIVE z;
  int rc = z.ExtractArchive(archive.c_str(), BACKUP_FILES + 1, kBackupFileCount - 1, kExportDir);
  if (rc == 0) rc = OpenExportTables(kExportDir);
  IMPORT_COUNTS counts;
  if (rc == 0 && (rc = LockAllTables(true)) == 0) {
    EXCHANGE_OUTPUT quiet;
    rc = ImportTransactions(from, to, quiet, &counts);
    UnlockAllTables();
  }
  RemoveExportDirectory();
  if (rc != 0) return 1;
  Say(g_out, ImportCountsText(counts));
  return 0;
}

}  // namespace

const char kArchiveUsage[] =
    "  tamsu-admin backup KATALOG [ARCHIWUM]  archiwum ZIP bazy (bez ARCHIWUM: nazwa jak w "
    "programie)\n"
    "  tamsu-admin restore KATALOG ARCHIWUM   odtworzenie bazy z archiwum\n"
    "  tamsu-admin check-data KATALOG [--repair]\n"
    "      sprawdzenie transakcji, pozycji, sum i stanów towarów (z --repair: z naprawą)\n"
    "  tamsu-admin export KATALOG ARCHIWUM [OD DO]   eksport transakcji (daty DD.MM.RRRR)\n"
    "  tamsu-admin import KATALOG ARCHIWUM [OD DO]   import transakcji z archiwum eksportu\n"
    "  (status 3: baza jest otwarta w programie)\n";

int ArchiveVerb(int argc, char** argv, FILE* out, FILE* err) {
  if (argc < 2) return kNotArchiveVerb;
  g_out = out;
  g_err = err;
  struct VERB {
    const char* name;
    int (*run)(int, char**);
  };
  static const VERB kVerbs[] = {{"backup", Backup},
                                {"restore", Restore},
                                {"check-data", CheckData},
                                {"export", Export},
                                {"import", Import}};
  for (const VERB& v : kVerbs)
    if (std::strcmp(argv[1], v.name) == 0) return v.run(argc, argv);
  return kNotArchiveVerb;
}
