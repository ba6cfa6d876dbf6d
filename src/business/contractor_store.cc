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

// 0, or -1 when the record could not be read again (reported).
int PutBack(const PLACE& p) {
  int rc = TableSetIndex(p.table, p.index);
  if (TableGo(p.table, p.record) != 0) rc = -1;
  return rc;
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

// Whether another live contractor than record `self` has the same key as `record` in the index:
// 1, 0, or -1 when that could not be read. Moves the table; the caller puts it back. (Seeking and
// walking step over deleted records.)
int KeyTaken(int index, const KON_RECORD& record, long self) {
  char want[96] = "";
  BuildKey(index, record, want);
  if (TableSetIndex(kTable, index) != 0) return -1;
  const size_t n = std::strlen(want);
  int rc;
  for (rc = TableSeek(kTable, want); rc == 0; rc = TableNext(kTable)) {
    char have[96] = "";
    BuildKey(index, Kon, have);
    if (std::strncmp(have, want, n) != 0) return 0;
    if (std::strcmp(have, want) == 0 && TableRecNo(kTable) != self) return 1;
  }
  return rc < 0 ? -1 : 0;
}

void SayDeletedMeanwhile() { deleted_meanwhile(kTable); }

// Under the lock of all tables: the uniqueness questions, then the write.
int CheckAndWrite(KON_RECORD* edited, const KON_RECORD* stored, long recno, ContractorField* back) {
  const PLACE place = Remember(kTable);
  const long self = stored ? recno : -1;
  // A look-up that fails stops the save (reported); the form stays for another try.
  if (!stored || std::strcmp(edited->NAZWA, stored->NAZWA) != 0) {
    const int taken = KeyTaken(kByName, *edited, self);
    if (PutBack(place) != 0 || taken < 0) {
      *back = kContractorFieldOk;
      return -1;
    }
    if (taken &&
        message_box(1, "%s",
                    "Kontrahent o podanej nazwie już istnieje.\t &Poprawić \t &Zaakceptować "_pl) !=
            2) {
      *back = kContractorFieldName;
      return -1;
    }
  }
  if (edited->NIP[0] && (!stored || std::strcmp(edited->NIP, stored->NIP) != 0)) {
    const int taken = KeyTaken(kByNip, *edited, self);
    if (PutBack(place) != 0 || taken < 0) {
      *back = kContractorFieldOk;
      return -1;
    }
    if (taken &&
        message_box(
            1, "%s",
            "Kontrahent o podanym numerze NIP już istnieje.\t &Poprawić \t &Zaakceptować "_pl) !=
            2) {
      *back = kContractorFieldNip;
      return -1;
    }
  }
  int rc;
  if (!stored) {
    rc = NextRecordId(kTable, &edited->ID);
    Kon = *edited;
    if (rc == 0) rc = TableAppend(kTable);
    else edited->ID = AMOUNT();
  } else {
    bool deleted = false;
    rc = TableGo(kTable, recno);
    if (rc == 0) rc = TableIsDeleted(kTable, &deleted);
    if (rc != 0) {
      PutBack(place);
      *back = kContractorFieldOk;
      return -1;
    }
    if (deleted || Kon.ID != stored->ID) {
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

int ContractorInUse(AMOUNT id) {
  if (id.IsZero()) return 0;
  if (!TableIsOpen(kTableTransactions) || TableLock(kTableTransactions, false) != 0) return -1;
  const PLACE place = Remember(kTableTransactions);
  char key[16];
  IdKey(id, key);
  // The seek steps over deleted transactions: the one it finds is live.
  int rc = TableSetIndex(kTableTransactions, kTransactionsByContractor);
  if (rc == 0) rc = TableSeek(kTableTransactions, key);
  const int used = rc == 0 && Tra.KONID == id ? 1 : 0;
  if (PutBack(place) != 0) rc = -1;
  TableUnlock(kTableTransactions);
  return rc < 0 ? -1 : used;
}

int DeleteCurrentContractor() {
  if (!TableIsOpen(kTable) || TableRecNo(kTable) < 0) return -1;
  if (LockAllTables(true) != 0) return -1;
  const char* refusal = nullptr;
  const int here = RereadCurrent(kTable);
  if (here != 0) {
    UnlockAllTables();
    if (here == kTableEnd) SayDeletedMeanwhile();
    return -1;
  }
  const AMOUNT id = Kon.ID;
  int used = 0;
  if (!id.IsZero() && id == Company()) refusal = "Nie można usunąć firmy macierzystej."_pl;
  else if ((used = ContractorInUse(id)) == 1)
    refusal = "Nie można usunąć tego rekordu, ponieważ\n     jest on użyty w innym pliku."_pl;
  // A contractor whose transactions cannot be read is not deleted (reported).
  const int rc = refusal || used < 0 ? -1 : TableDelete(kTable);
  UnlockAllTables();
  if (refusal) message("%s", refusal);
  return rc == 0 ? 0 : -1;
}
