// Database maintenance over the business records: the check of transactions, positions, totals
// and stock with its repairs, the deletion of data in its three ways, the export and import of
// transactions between installations, and the conversion of databases of older versions.
//
// Each works on the open tables, which the caller has locked (LockAllTables) for the whole run:
// for writing, except the check without repairs. None of them shows a window of its own; what
// they have to say goes through the small output interfaces below, which the commands
// (business/maintenance_commands.h) fill with windows and tamsu-admin with lines of text.
#pragma once

#include <string>

#include "common/date.h"
#include "db/schema.h"

// ---- The database check ----------------------------------------------------------------------

enum RepairMode { kRepairAsk = 0, kRepairAuto = 1, kRepairNone = 2 };

struct CHECK_CHOICES {
  bool positions = true;      // every position belongs to a transaction
  bool totals = true;         // copies in the positions and the totals of each transaction
  bool stock_changes = true;  // a goods' stock, followed through the transactions, stays >= 0
  bool stock = true;          // the stored stock equals the positions
  int repair = kRepairAsk;
};

// The answers to " Naprawić?\t &Tak \t &Wszystkie tak \t &Nie \t W&szystkie nie \t &Przerwać ".
enum RepairAnswer { kAnswerYes = 1, kAnswerAllYes, kAnswerNo, kAnswerAllNo, kAnswerStop };

class CHECK_OUTPUT {
 public:
  virtual ~CHECK_OUTPUT() = default;
  // One line of the report (without its line feed).
  virtual void Line(const std::string& text) = 0;
  // Asked before each repair in kRepairAsk mode, with the report line of the error.
  virtual int Ask(const std::string& /*error*/) { return kAnswerNo; }
  // A step starts ("Sprawdzanie pozycji transakcji..."), moves on, ends; Progress answers
  // non-zero to stop the check.
  virtual void Begin(const char* /*text*/) {}
  virtual int Progress(int /*percent*/) { return 0; }
  virtual void Finish() {}
  // The stock could not be counted for want of memory: "            Brak pamięci.\nStan
  // magazynu nie zostanie sprawdzony."
  virtual void NoMemory() {}
};

struct CHECK_RESULT {
  unsigned long found = 0;
  unsigned long repaired = 0;
  bool stopped = false;  // "Przerwać", or a step stopped by the user
  bool failed = false;   // a table operation failed (told by the table layer)
};

// Runs the chosen checks and writes the report lines (the report's title lines are the caller's).
// 0 when every error found was repaired, -1 otherwise (stopped, failed, or errors left).
int CheckDatabase(const CHECK_CHOICES& choices, CHECK_OUTPUT& out, CHECK_RESULT* result);

// ---- Deletion of data --------------------------------------------------------------------------

// Removes all transactions and positions; one income transaction (net rounding on) then holds a
// position for each goods with stock, so that every goods keeps its quantity. The quantities
// are first set aside in "~Poz.dbf"; `valued` (may be null) is called when they are, before the
// transactions go. 0 or -1.
int DeleteTransactionsKeepingStock(DATE today, void (*valued)() = nullptr);
// Empties transactions and positions and sets every goods' stock to 0. 0 or -1.
int DeleteTransactionsAndStock();
// Empties all five tables and adds the parent company's contractor again. 0 or -1.
int DeleteAllData();

// ---- Export and import
// ---------------------------------------------------------------------------

// The export tables live in these slots of the table layer, over the files of a directory.
inline constexpr int kExportSlot = 5;
// Opens (creating when missing) the five tables of dir as export tables. 0 or -1.
int OpenExportTables(const std::string& dir);
void CloseExportTables();

class EXCHANGE_OUTPUT {
 public:
  virtual ~EXCHANGE_OUTPUT() = default;
  // The share of the date range done; non-zero stops.
  virtual int Progress(int /*percent*/) { return 0; }
};

// Copies the transactions dated from..to (inclusive), with their positions, contractors, goods
// (stock 0 in the copy) and groups into the open export tables; identifiers stay. 0 or -1.
int ExportTransactions(DATE from, DATE to, EXCHANGE_OUTPUT& out);

struct IMPORT_COUNTS {
  long added[4] = {0, 0, 0, 0};  // transactions, contractors, goods, groups
  long updated[4] = {0, 0, 0, 0};
};
// The counts as " Dodanych  Uaktualnionych" table of the message shown after an import.
std::string ImportCountsText(const IMPORT_COUNTS& counts);
// Takes the exported transactions dated from..to into the main tables: contractors, goods and
// groups are matched (by NIP, then name; by number, then name; by name) and updated, or added;
// a transaction with the same document is replaced with its positions. 0 or -1.
int ImportTransactions(DATE from, DATE to, EXCHANGE_OUTPUT& out, IMPORT_COUNTS* counts);

// ---- Conversion of older versions -------------------------------------------------------------

enum OldVersion { kVersion60 = 0, kVersion37 = 1 };  // 6.0 to 6.62 (Latin 2), 3.7 to 5.10 (Mazovia)

class CONVERT_OUTPUT {
 public:
  virtual ~CONVERT_OUTPUT() = default;
  virtual void Begin(const char* /*file*/) {}
  virtual int Progress(int /*percent*/) { return 0; }
  virtual void Finish() {}
};

// Checks the old directory: 0; 1 "Podany katalog nie istnieje."; 2 the current directory;
// 3 "Brak danych w podanym katalogu.".
int CheckOldDirectory(const std::string& dir);
// Copies the old "Tamsu.ini" over the configuration file (from Mazovia for version 3.7).
// 0 or -1.
int ConvertOldConfiguration(const std::string& dir, int version);
// Converts the old tables of dir into the (emptied) current ones and counts the stock from the
// positions. The parent company, when given (the old configuration named none), is added again
// after the old contractors, under a new identifier when the old data use its own. 0; -1 on a
// failure (told); 2 when an old file is not of its layout (the caller says "Nieprawidłowy format
// pliku %s." with OldFormatFile()).
int ConvertOldTables(const std::string& dir, int version, CONVERT_OUTPUT& out,
                     const KON_RECORD* parent);
const std::string& OldFormatFile();

// Copies the record of table (0 to 3) with this identifier into copy, moving the table onto it:
// 0, kTableEnd when there is none, -1 when the search failed.
int CopyRecordById(int table, AMOUNT id, void* copy);

// Counts every goods' stock again from all positions (income adds, expense subtracts; goods
// whose kind keeps no stock are left alone) and stores what differs. 0 or -1.
int RecountAllStock();
