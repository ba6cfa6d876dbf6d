#include "business/maintenance_commands.h"

#include <cstdio>
#include <cstring>

#include "business/contractor_parent.h"
#include "business/maintenance.h"
#include "business/options.h"
#include "business/rights.h"
#include "common/text.h"
#include "db/archive/backup.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "platform/cfile.h"
#include "platform/inifile.h"
#include "platform/paths.h"
#include "platform/removable.h"
#include "platform/system.h"
#include "ui/archive_ui.h"
#include "ui/dialog.h"
#include "ui/document/doc_viewer.h"
#include "ui/document/document.h"
#include "ui/feedback.h"
#include "ui/message_box.h"
#include "ui/number_options.h"
#include "ui/screen_options.h"

namespace {

constexpr int kPathLength = 79;
const char kExportDir[] = "Export";
const char kExportArchive[] = "Export.zip";
// The ten files of an export, as a backup lists them.
const char* const* const kExchangeFiles = BACKUP_FILES + 1;
constexpr int kExchangeFileCount = kBackupFileCount - 1;

// Edits a path of 79 characters shown 50 wide under a label; " &Ok " keeps it. 0 or -1.
int PathDialog(const char* title, const char* label, char* path) {
  FieldDescriptor f;
  make_descriptor(&f, 'C', kPathLength, 0, path);
  ControlRecord d[5];
  dlg_frame(d, 0, -1, -1, 58, 6, title);
  dlg_label(d, 1, 3, 1, label);
  dlg_field(d, 2, 3, 2, 51, 1, &f);
  dlg_button(d, 3, 26, 4, " &Ok ");
  dlg_end(d, 4);
  dlg_center(d);
  return dlg_run(d, 2, nullptr) == 3 ? 0 : -1;
}

// "Transakcje od            do" with both dates today at first. 0 or -1.
int DateRangeDialog(const char* title, DATE* from, DATE* to) {
  *from = *to = DateToday();
  FieldDescriptor f[2];
  make_descriptor(&f[0], 'D', 10, 0, from);
  make_descriptor(&f[1], 'D', 10, 0, to);
  ControlRecord d[6];
  dlg_frame(d, 0, -1, -1, 46, 5, title);
  dlg_label(d, 1, 3, 1, "Transakcje od            do");
  dlg_field(d, 2, 17, 1, 11, 1, &f[0]);
  dlg_field(d, 3, 31, 1, 11, 1, &f[1]);
  dlg_button(d, 4, 20, 3, " &Ok ");
  dlg_end(d, 5);
  dlg_center(d);
  return dlg_run(d, 2, nullptr) == 4 ? 0 : -1;
}

bool AskYesNo(const char* question) { return message_box(1, "%s", question) == 1; }
// The questions whose first button is " &Nie ".
bool AskNoYes(const char* question) { return message_box(1, "%s", question) == 2; }

bool ReopenedAll() {
  for (int t = 0; t < kSchemaTableCount; ++t)
    if (!TableIsOpen(t)) return false;
  return true;
}

// ---- the check's windows ----
class CHECK_WINDOWS : public CHECK_OUTPUT {
 public:
  void Line(const std::string& text) override { doc_printf("%s\n", text.c_str()); }
  int Ask(const std::string& error) override {
    const std::string q =
        error + " Naprawić?\t &Tak \t &Wszystkie tak \t &Nie \t W&szystkie nie \t &Przerwać "_pl;
    const int r = message_box(1, "%s", q.c_str());
    return r == 0 ? kAnswerNo : r;
  }
  void Begin(const char* text) override { progress(0, "%s", text); }
  int Progress(int percent) override { return progress(1, AMOUNT::FromInt(percent)) != 0 ? 1 : 0; }
  void Finish() override { progress(2); }
  void NoMemory() override {
    message("%s", "            Brak pamięci.\nStan magazynu nie zostanie sprawdzony."_pl);
  }
};

class EXCHANGE_WINDOW : public EXCHANGE_OUTPUT {
 public:
  int Progress(int percent) override { return progress(1, AMOUNT::FromInt(percent)) != 0 ? 1 : 0; }
};

class CONVERT_WINDOW : public CONVERT_OUTPUT {
 public:
  void Begin(const char* file) override { progress(0, "Konwersja pliku %s ...", file); }
  int Progress(int percent) override { return progress(1, AMOUNT::FromInt(percent)) != 0 ? 1 : 0; }
  void Finish() override { progress(2); }
};

// ---- the export directory ----
std::string ExportFile(const char* name) { return std::string(kExportDir) + "/" + name; }

void RemoveExportFiles() {
  CFILE::HANDLER* saved = CFILE::Handler();
  CFILE::SetHandler(nullptr);
  for (int i = 0; i < kExchangeFileCount; ++i) {
    const std::string f = ExportFile(kExchangeFiles[i]);
    if (CFILE::Exists(f.c_str())) CFILE::DeleteFile(f.c_str());
  }
  CFILE::SetHandler(saved);
}

int PrepareExportDirectory() {
  if (!IsDirectory(kExportDir) && MakeDirectory(kExportDir) != 0) {
    message("Błąd przy próbie utworzenia katalogu %s."_pl, kExportDir);
    return -1;
  }
  RemoveExportFiles();
  return 0;
}

void RemoveExportDirectory() {
  RemoveExportFiles();
  RemoveEmptyDirectory(kExportDir);
}

// Where the export archive travels: disks in the drive of "ArchiveDir" (drive A: when it is
// empty), or, when it names a directory of this system, a file "Export.zip" there.
std::string ExchangeTarget(bool* disks) {
  const std::string dir = ArchiveDirectory();
  *disks = dir.empty() || DiskDriveOfPath(dir) >= 0;
  return (dir.empty() ? std::string("A:\\") : dir) + kExportArchive;
}

}  // namespace

void tables_lost_message() {
  message(
      "%s",
      "W wyniku tej operacji nie wszystkie\n    pliki mogą zostać otwarte.\n Program musi zakończyć działanie."_pl);
}

int archive_options_dialog() {
  const INIFILE ini(ConfigPath());
  char dir[kPathLength + 1] = "";
  int32_t type = 0;
  ini.GetString("Tamsu", "ArchiveDir", dir, kPathLength);
  ini.GetInt("Tamsu", "ArchiveNameType", &type);
  FieldDescriptor f;
  make_descriptor(&f, 'C', kPathLength, 0, dir);
  ControlRecord d[8];
  dlg_frame(d, 0, -1, -1, 66, 8, "Opcje archiwizacji");
  dlg_label(d, 1, 3, 1, "&Katalog:");
  dlg_field(d, 2, 13, 1, 51, 1, &f);
  dlg_label(d, 3, 3, 2, "Nazwa pliku:");
  dlg_radio(d, 4, 3, 3, "&Jedno archiwum o stałej nazwie"_pl);
  dlg_radio(d, 5, 3, 4, "Każdego &dnia nowe archiwum o nazwie na podstawie daty"_pl);
  dlg_button(d, 6, 30, 6, " &Ok ");
  dlg_end(d, 7);
  dlg_center(d);
  radio_select(d, type == 1 ? 5 : 4, false);
  if (dlg_run(d, 2, nullptr) != 6) return -1;
  if (ini.WriteString("Tamsu", "ArchiveDir", dir) != 0) return -1;
  return ini.WriteInt("Tamsu", "ArchiveNameType", radio_selected(d, 4) == 5 ? 1 : 0);
}

int ask_backup(std::string* path) {
  for (;;) {
    *path = BackupArchivePath(DateToday());
    const int r = message_box(
        1, "Utworzyć archiwum bazy danych\n%s?\t &Tak \t &Nie \t &Opcje... "_pl, path->c_str());
    if (r == 1) return 1;
    if (r != 3) return 0;
    archive_options_dialog();
  }
}

int ask_restore(std::string* path) {
  if (CheckRights(kRightModifyDatabase, true) != 0) return 0;
  char text[kPathLength + 1];
  std::snprintf(text, sizeof text, "%s", BackupArchivePath(DateToday()).c_str());
  if (PathDialog("Odtworzenie bazy danych", "Odtworzenie bazy danych z archiwum:", text) != 0)
    return 0;
  *path = text;
  return message_box(
             1,
             "Odtworzyć bazę danych z archiwum\n%s?\nUwaga! Bieżące dane zostaną usunięte.\t &Nie \t &Tak "_pl,
             path->c_str()) == 2
             ? 1
             : 0;
}

int defragment_command() {
  if (CheckRights(kRightModifyDatabase, true) != 0) return 0;
  if (!AskYesNo("Defragmentować wszystkie pliki?\t &Tak \t &Nie ")) return 0;
  if (LockAllTables(true) != 0) return 0;
  for (int t = 0; t < kSchemaTableCount; ++t)
    if (TablePack(t) != 0) break;  // told by the table layer
  UnlockAllTables();
  return ReopenedAll() ? 0 : 1;
}

int rebuild_indexes_command() {
  if (!AskYesNo("Odbudować indeksy do wszystkich plików?\t &Tak \t &Nie "_pl)) return 0;
  if (LockAllTables(true) != 0) return 0;
  for (int t = 0; t < kSchemaTableCount; ++t)
    if (TableRebuildIndexes(t) != 0) break;
  UnlockAllTables();
  return ReopenedAll() ? 0 : 1;
}

int check_command() {
  ControlRecord d[12];
  dlg_frame(d, 0, -1, -1, 46, 13, "SPRAWDZENIE BAZY DANYCH");
  dlg_label(d, 1, 3, 1, "Sprawdzenie:");
  dlg_check(d, 2, 3, 2, "Przynależności po&zycji transakcji "_pl, true);
  dlg_check(d, 3, 3, 3, "Zgodności &sum transakcji          "_pl, true);
  dlg_check(d, 4, 3, 4, "Prawidłowości z&mian stanu towarów "_pl, true);
  dlg_check(d, 5, 3, 5, "Zgodności stanu &towarów           "_pl, true);
  dlg_label(d, 6, 3, 7, "Naprawa błędów:"_pl);
  dlg_radio(d, 7, 3, 8, "&Pytaj przed naprawą     "_pl);
  dlg_radio(d, 8, 3, 9, "Naprawiaj &automatycznie ");
  dlg_radio(d, 9, 3, 10, "&Nie naprawiaj           ");
  dlg_button(d, 10, 20, 11, " &Ok ");
  dlg_end(d, 11);
  dlg_center(d);
  radio_select(d, 7, false);
  if (dlg_run(d, 2, nullptr) != 10) return 0;
  CHECK_CHOICES choices;
  choices.positions = dlg_checked(d, 2);
  choices.totals = dlg_checked(d, 3);
  choices.stock_changes = dlg_checked(d, 4);
  choices.stock = dlg_checked(d, 5);
  choices.repair = radio_selected(d, 7) - 7;
  if (LockAllTables(choices.repair != kRepairNone) != 0) return 0;
  doc_close();
  doc_printf("SPRAWDZENIE BAZY DANYCH\n\nData: %s\n\n", DateToDisplay(DateToday()).c_str());
  CHECK_WINDOWS windows;
  CHECK_RESULT result;
  CheckDatabase(choices, windows, &result);
  UnlockAllTables();
  if (result.found == 0) {
    doc_close();
    message("Błędów znalezionych: %6lu\nBłędów naprawionych: %6lu"_pl, result.found,
            result.repaired);
    return 0;
  }
  if (message_box(
          1,
          "Błędów znalezionych: %6lu\nBłędów naprawionych: %6lu\n\nWyświetlić szczegóły?\t &Tak \t &Nie "_pl,
          result.found, result.repaired) == 1)
    doc_view();
  else doc_close();
  return 0;
}

int delete_command() {
  if (CheckRights(kRightModifyDatabase, true) != 0) return 0;
  ControlRecord d[6];
  dlg_frame(d, 0, -1, -1, 46, 9, "USUNIĘCIE BAZY DANYCH"_pl);
  dlg_label(d, 1, 5, 1, "Wybierz elementy bazy danych, które\n          chcesz usunąć:"_pl);
  dlg_button(d, 2, 4, 4, " &Transakcje z zachowaniem magazynu  ");
  dlg_button(d, 3, 4, 5, " Transakcje &bez zachowania magazynu ");
  dlg_button(d, 4, 4, 6, " &Wszystkie                          ");
  dlg_end(d, 5);
  dlg_center(d);
  const int choice = dlg_run(d, 2, nullptr);
  static const char* const kQuestions[] = {
      "Usunąć wszystkie transakcje\n  z zachowaniem magazynu?\t &Nie \t &Tak "_pl,
      "Usunąć wszystkie transakcje\n  bez zachowania magazynu?\t &Nie \t &Tak "_pl,
      "Usunąć wszystkie dane?\t &Nie \t &Tak "_pl};
  if (choice < 2 || choice > 4) return 0;
  if (!AskNoYes(kQuestions[choice - 2])) return 0;
  if (LockAllTables(true) != 0) return 0;
  wait_window(0);
  if (choice == 2) {
    wait_window(1, "%s", "Ustalanie wartości magazynu..."_pl);
    DeleteTransactionsKeepingStock(DateToday(),
                                   [] { wait_window(1, "%s", "Tworzenie pierwszej dostawy..."); });
  } else if (choice == 3) {
    DeleteTransactionsAndStock();
  } else {
    DeleteAllData();
  }
  wait_window(2);
  UnlockAllTables();
  return 0;
}

int export_command() {
  DATE from = 0, to = 0;
  if (DateRangeDialog("EKSPORT BAZY DANYCH", &from, &to) != 0) return 0;
  if (PrepareExportDirectory() != 0) return 0;
  if (OpenExportTables(kExportDir) != 0) {
    RemoveExportDirectory();
    return 0;
  }
  int rc = LockAllTables(false);
  if (rc == 0) {
    EXCHANGE_WINDOW window;
    progress(0, "%s", "Eksport danych...");
    rc = ExportTransactions(from, to, window);
    progress(2);
    UnlockAllTables();
  }
  // An index that could not be written whole does not go into the archive (the failure was told).
  if (rc == 0 && TableFlushAll() != 0) rc = -1;
  CloseExportTables();
  bool disks = false;
  const std::string target = ExchangeTarget(&disks);
  ARCHIVE z;
  z.SetStandardMembers(StandardArchiveMembers());
  if (rc == 0) {
    if (!disks) {
      z.CreateArchive(target.c_str(), kExchangeFiles, kExchangeFileCount, kExportDir);
    } else if (z.CreateArchive(kExportArchive, kExchangeFiles, kExchangeFileCount, kExportDir) ==
               0) {
      z.WriteToDisks(kExportArchive, target.c_str());
      CFILE::DeleteFile(kExportArchive);
    }
  }
  RemoveExportDirectory();
  return 0;
}

int import_command() {
  DATE from = 0, to = 0;
  if (DateRangeDialog("IMPORT BAZY DANYCH", &from, &to) != 0) return 0;
  if (PrepareExportDirectory() != 0) return 0;
  bool disks = false;
  const std::string source = ExchangeTarget(&disks);
  ARCHIVE z;
  int rc = 0;
  if (disks) {
    rc = z.ReadFromDisks(source.c_str(), kExportArchive);
    if (rc == 0)
      rc = z.ExtractArchive(kExportArchive, kExchangeFiles, kExchangeFileCount, kExportDir);
    if (CFILE::Exists(kExportArchive)) CFILE::DeleteFile(kExportArchive);
  } else {
    rc = z.ExtractArchive(source.c_str(), kExchangeFiles, kExchangeFileCount, kExportDir);
  }
  if (rc == 0) rc = OpenExportTables(kExportDir);
  if (rc == 0) {
    IMPORT_COUNTS counts;
    if (LockAllTables(true) == 0) {
      EXCHANGE_WINDOW window;
      progress(0, "%s", "Import danych...");
      rc = ImportTransactions(from, to, window, &counts);
      progress(2);
      UnlockAllTables();
      if (rc == 0) message("%s", ImportCountsText(counts).c_str());
    }
    CloseExportTables();
  }
  RemoveExportDirectory();
  return 0;
}

int convert_command() {
  if (CheckRights(kRightModifyDatabase, true) != 0) return 0;
  char dir[81] = "C:\\Tamsu0";
  FieldDescriptor f;
  make_descriptor(&f, 'C', 80, 0, dir);
  ControlRecord d[8];
  dlg_frame(d, 0, -1, -1, 58, 12, "KONWERSJA BAZY DANYCH");
  dlg_label(
      d, 1, 5, 1,
      "Konwersja danych z poprzednich wersji Tamsu\n  znajdujących się we wskazanym katalogu.\n\n  Uwaga! Bieżące dane zostaną usunięte."_pl);
  dlg_radio(d, 2, 5, 6, "Z wersji od 6.0 do &6.62 ");
  dlg_radio(d, 3, 5, 7, "Z wersji od 3.7 do &5.10  ");
  dlg_label(d, 4, 5, 8, "&Katalog:");
  dlg_field(d, 5, 15, 8, 38, 1, &f);
  dlg_button(d, 6, 26, 10, " &Ok ");
  dlg_end(d, 7);
  dlg_center(d);
  radio_select(d, 2, false);
  if (dlg_run(d, 2, nullptr) != 6) return 0;
  const int version = radio_selected(d, 2) == 3 ? kVersion37 : kVersion60;
  if (!AskNoYes(
          "Czy chcesz dokonać konwersji danych\n    usuwając wszystkie bieżące?\t &Nie \t &Tak "_pl))
    return 0;
  switch (CheckOldDirectory(dir)) {
    case 1: message("%s", "Podany katalog nie istnieje."); return 0;
    case 2:
      message("%s",
              "Katalog, z którego następuje konwersja\n  nie może być katalogiem bieżącym."_pl);
      return 0;
    case 3: message("%s", "Brak danych w podanym katalogu."); return 0;
    default: break;
  }
  // The firm of this installation stays, unless the old configuration names its own.
  KON_RECORD parent{};
  const bool has_parent = ParentCompany(&parent) == 0;
  if (ConvertOldConfiguration(dir, version) != 0) return 0;
  load_screen_options();
  load_number_format();
  LoadBusinessOptions();
  if (LockAllTables(true) != 0) return 0;
  CONVERT_WINDOW window;
  const int rc =
      ConvertOldTables(dir, version, window, has_parent && Company().IsZero() ? &parent : nullptr);
  UnlockAllTables();
  if (rc == 2) message("Nieprawidłowy format pliku %s."_pl, OldFormatFile().c_str());
  if (rc == 0) message("%s", "Konwersja przebiegła pomyślnie."_pl);
  return 0;
}
