#include "business/contractor_store.h"

#include <cstring>

#include "business/options.h"
#include "common/text.h"
#include "db/records.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "ui/message_box.h"

namespace {

constexpr int kTable = kTableContractors;
constexpr int kByName = 1;
constexpr int kByNip = 2;
constexpr int kTransactionsByContractor = 2;

// Where a table stood, to be put back after a search moved it.
struct PLACE {
  int table;
  long record;
  int index;
};

PLACE Remember(int table) { return PLACE{table, TableRecNo(table), TableGetIndex(table)}; }

void PutBack(const PLACE& p) {
  TableSetIndex(p.table, p.index);
  TableGo(p.table, p.record);
}

void TrimRight(char* text) {
  size_t n = std::strlen(text);
  while (n > 0 && text[n - 1] == ' ') text[--n] = 0;
}

bool Blank(const char* text) {
  for (; *text; ++text)
    if (*text != ' ') return false;
  return true;
}

void BuildKey(int index, const KON_RECORD& record, char* key) {
  TableDefinition(kTable)->key_builders[index](&record, key);
}

// Whether another live contractor than record `self` has the same key as `record` in the index.
// Moves the table; the caller puts it back.
bool KeyTaken(int index, const KON_RECORD& record, long self) {
  char want[96] = "";
  BuildKey(index, record, want);
  if (TableSetIndex(kTable, index) != 0 || TableSeek(kTable, want) != 0) return false;
  const size_t n = std::strlen(want);
  do {
    char have[96] = "";
    BuildKey(index, Kon, have);
    if (std::strncmp(have, want, n) != 0) return false;
    if (std::strcmp(have, want) == 0 && TableRecNo(kTable) != self && TableIsDeleted(kTable) != 1)
      return true;
  } while (TableNext(kTable) == 0);
  return false;
}

void SayDeletedMeanwhile() {
  message("Bieżący rekord z pliku %s\n  został wcześniej usunięty."_pl, TABLE_INFO[kTable].title);
}

// Under the lock of all tables: the uniqueness questions, then the write.
int CheckAndWrite(KON_RECORD* edited, const KON_RECORD* stored, long recno, ContractorField* back) {
  const PLACE place = Remember(kTable);
  const long self = stored ? recno : -1;
  if (!stored || std::strcmp(edited->NAZWA, stored->NAZWA) != 0) {
    const bool taken = KeyTaken(kByName, *edited, self);
    PutBack(place);
    if (taken && message_box(1, "%s",
                             "Kontrahent o podanej nazwie już istnieje.\t &Poprawić \t &Zaakceptować "_pl) != 2) {
      *back = kContractorFieldName;
      return -1;
    }
  }
  if (edited->NIP[0] && (!stored || std::strcmp(edited->NIP, stored->NIP) != 0)) {
    const bool taken = KeyTaken(kByNip, *edited, self);
    PutBack(place);
    if (taken && message_box(1, "%s",
                             "Kontrahent o podanym numerze NIP już istnieje.\t &Poprawić \t &Zaakceptować "_pl) != 2) {
      *back = kContractorFieldNip;
      return -1;
    }
  }
  int rc;
  if (!stored) {
    edited->ID = NextRecordIdOf(kTable);
    Kon = *edited;
    rc = TableAppend(kTable);
  } else {
    if (TableGo(kTable, recno) != 0 || TableIsDeleted(kTable) == 1 || Kon.ID != stored->ID) {
      PutBack(place);
      SayDeletedMeanwhile();
      *back = kContractorFieldNone;
      return -1;
    }
    edited->ID = stored->ID;
    Kon = *edited;
    rc = TableUpdate(kTable);
  }
  if (rc != 0) {
    // The table layer has said what went wrong; the form stays for another try.
    PutBack(place);
    *back = kContractorFieldOk;
    return -1;
  }
  *edited = Kon;
  const long written = TableRecNo(kTable);
  TableSetIndex(kTable, place.index);
  TableGo(kTable, written);
  return 0;
}

}  // namespace

int SaveContractor(KON_RECORD* edited, int documentKind, const KON_RECORD* stored, long recno,
                   ContractorField* back) {
  *back = kContractorFieldNone;
  TrimRight(edited->NAZWA);
  TrimRight(edited->NIP);
  if (Blank(edited->NAZWA)) {
    *back = kContractorFieldName;
    return -1;
  }
  // Invoices name the buyer by NIP; an invoice by default without one is worth a question.
  if ((documentKind == 7 || documentKind == 11) && Blank(edited->NIP) && WarnNoNIP() &&
      message_box(1, "%s", "Zaakceptować brak numeru NIP kontrahenta?\t &Nie \t &Tak "_pl) != 2) {
    *back = kContractorFieldNip;
    return -1;
  }
  if (LockAllTables(true) != 0) {
    *back = kContractorFieldOk;
    return -1;
  }
  const int rc = CheckAndWrite(edited, stored, recno, back);
  UnlockAllTables();
  return rc;
}

bool ContractorInUse(AMOUNT id) {
  if (id.IsZero() || !TableIsOpen(kTableTransactions)) return false;
  TableLock(kTableTransactions, false);
  const PLACE place = Remember(kTableTransactions);
  char key[16];
  IdKey(id, key);
  bool used = false;
  if (TableSetIndex(kTableTransactions, kTransactionsByContractor) == 0 &&
      TableSeek(kTableTransactions, key) == 0) {
    do {
      if (Tra.KONID != id) break;
      if (TableIsDeleted(kTableTransactions) != 1) used = true;
    } while (!used && TableNext(kTableTransactions) == 0);
  }
  PutBack(place);
  TableUnlock(kTableTransactions);
  return used;
}

int DeleteCurrentContractor() {
  if (!TableIsOpen(kTable) || TableRecNo(kTable) < 0) return -1;
  if (LockAllTables(true) != 0) return -1;
  const char* refusal = nullptr;
  if (TableReread(kTable) != 0 || TableIsDeleted(kTable) == 1) {
    UnlockAllTables();
    SayDeletedMeanwhile();
    return -1;
  }
  const AMOUNT id = Kon.ID;
  if (!id.IsZero() && id == Company())
    refusal = "Nie można usunąć firmy macierzystej."_pl;
  else if (ContractorInUse(id))
    refusal = "Nie można usunąć tego rekordu, ponieważ\n     jest on użyty w innym pliku."_pl;
  const int rc = refusal ? -1 : TableDelete(kTable);
  UnlockAllTables();
  if (refusal) message("%s", refusal);
  return rc == 0 ? 0 : -1;
}
