#include "business/contractor_store.h"

#include <cstring>

#include "business/form_edit.h"
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

void TrimRight(char* text) {
  size_t n = std::strlen(text);
  while (n > 0 && text[n - 1] == ' ') text[--n] = 0;
}

bool Blank(const char* text) {
  for (; *text; ++text)
    if (*text != ' ') return false;
  return true;
}

// The question about a name or NIP that another contractor already has: true to correct it.
bool Correct(int index, const KON_RECORD& edited, const char* question) {
  return KeyTaken(kTable, index, &edited, edited.ID) && message_box(1, "%s", question) != 2;
}

// Under the lock of all tables: the record still there, the uniqueness questions, the write.
int CheckAndWrite(KON_RECORD* edited, const KON_RECORD* stored, ContractorField* back) {
  edited->ID = stored ? stored->ID : AMOUNT();
  if (stored && StoredRecordGone(kTable, stored->ID)) {
    *back = kContractorFieldNone;
    return -1;
  }
  if ((!stored || std::strcmp(edited->NAZWA, stored->NAZWA) != 0) &&
      Correct(kByName, *edited, "Kontrahent o podanej nazwie już istnieje.\t &Poprawić \t &Zaakceptować "_pl)) {
    *back = kContractorFieldName;
    return -1;
  }
  if (edited->NIP[0] && (!stored || std::strcmp(edited->NIP, stored->NIP) != 0) &&
      Correct(kByNip, *edited, "Kontrahent o podanym numerze NIP już istnieje.\t &Poprawić \t &Zaakceptować "_pl)) {
    *back = kContractorFieldNip;
    return -1;
  }
  const TABLE_PLACE place = SaveTablePlace(kTable);
  const int rc = StoreFormRecord(kTable, edited, &edited->ID);
  if (rc != 0) {
    // Said already; the form stays for another try unless the record went away meanwhile.
    RestoreTablePlace(place);
    *back = rc > 0 ? kContractorFieldNone : kContractorFieldOk;
    return -1;
  }
  return 0;
}

}  // namespace

int SaveContractor(KON_RECORD* edited, int documentKind, const KON_RECORD* stored,
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
  const int rc = CheckAndWrite(edited, stored, back);
  UnlockAllTables();
  return rc;
}

bool ContractorInUse(AMOUNT id) {
  if (id.IsZero() || !TableIsOpen(kTableTransactions)) return false;
  TableLock(kTableTransactions, false);
  const TABLE_PLACE place = SaveTablePlace(kTableTransactions);
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
  RestoreTablePlace(place);
  TableUnlock(kTableTransactions);
  return used;
}

int DeleteCurrentContractor() {
  if (!TableIsOpen(kTable) || TableRecNo(kTable) < 0) return -1;
  if (LockAllTables(true) != 0) return -1;
  const char* refusal = nullptr;
  if (TableReread(kTable) != 0 || TableIsDeleted(kTable) == 1) {
    UnlockAllTables();
    deleted_meanwhile(kTable);
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
