#include "business/contractor_checks.h"

#include <cstdio>
#include <cstring>

#include "business/document_kinds.h"
#include "business/numbering.h"
#include "business/options.h"
#include "business/record_lookup.h"
#include "common/codepage.h"
#include "common/text.h"
#include "db/records.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "ui/dialog.h"
#include "ui/feedback.h"
#include "ui/keys.h"
#include "ui/message_box.h"
#include "ui/screen.h"

namespace {

constexpr int kTransactionsByContractor = 2;
constexpr int kContractorsByNip = 2;
// The keyboard is looked at every so many transactions: often enough for a long walk, and a
// short walk leaves typed-ahead keys to the questions that follow it.
constexpr long kKeyPollEvery = 64;

DebtorDetailsFn g_details = nullptr;
char g_nip[14] = "";

bool EscPressed() {
  if (!key_waiting()) return false;
  KeyEvent ev;
  read_key(&ev);
  return key_is_esc(ev);
}

void NoDetails(AMOUNT) { not_supported(); }

}  // namespace

int ContractorHasDebts(AMOUNT contractorId) {
  const int t = kTableTransactions;
  if (contractorId.IsZero()) return 0;
  if (!TableIsOpen(t) || TableLock(t, false) != 0) return -1;
  status_line(0, "%s", "Sprawdzanie płatności kontrahenta..."_pl);
  const long was = TableRecNo(t);
  const int index = TableGetIndex(t);
  char key[16];
  IdKey(contractorId, key);
  AMOUNT due;
  long seen = 0;
  // Seeking and walking step over deleted transactions.
  int rc = TableSetIndex(t, kTransactionsByContractor);
  for (rc = rc == 0 ? TableSeek(t, key) : rc; rc == 0 && Tra.KONID == contractorId;
       rc = TableNext(t)) {
    if (Tra.RODZAJ[0] == 'S' && !IsInternalWarehouseDocument(Tra.DOKMAGTYP)) {
      if (Tra.PRZ > AMOUNT() && Tra.PRZZAPLAC == 0) due += Tra.PRZ;
      if (Tra.ODR > AMOUNT() && Tra.ODRZAPLAC == 0) due += Tra.ODR;
    }
    if (++seen % kKeyPollEvery == 0 && EscPressed()) break;
  }
  if (TableSetIndex(t, index) != 0 || TableGo(t, was) != 0) rc = -1;
  TableUnlock(t);
  status_line(2);
  if (rc < 0) return -1;
  return due > AMOUNT() ? 1 : 0;
}

void SetDebtorDetails(DebtorDetailsFn fn) { g_details = fn; }

int CheckDebtor(AMOUNT contractorId) {
  if (contractorId.IsZero() || contractorId == AutoCustomer() || !WarnDebtor()) return 0;
  const int debts = ContractorHasDebts(contractorId);
  if (debts <= 0) return debts;
  for (;;) {
    const int r = message_box(
        2, "%s",
        "   Kontrahent ma nieuregulowane płatności.\nPozwolić na przeprowadzenie z nim transakcji?"
        "\t &Szczegóły... \t &Nie \t &Tak "_pl);
    if (r == 3) return 0;
    if (r != 1) return -1;
    (g_details ? g_details : NoDetails)(contractorId);
  }
}

int OfferContractorDefaults(AMOUNT contractorId, int documentKind, bool netFlag) {
  if (documentKind <= 0 || documentKind >= kDocumentKindCount ||
      DOCUMENT_KINDS[documentKind].correction || contractorId.IsZero())
    return 1;
  KON_RECORD c{};
  if (ReadRecordById(kTableContractors, contractorId, &c) != 0) return 1;
  const int had = DocumentKindByCode(c.DOKTRATYP);
  if (had == documentKind && (c.ZAOKRNETTO != 0) == netFlag) return 1;
  if ((had != 0 || c.ZAOKRNETTO != 0) &&
      message_box(1, "%s",
                  "Zapamiętać bieżący dokument sprzedaży i sposób obliczania cen\n      jako nowe "
                  "wartości domyślne dla tego kontrahenta?\t &Tak \t &Nie "_pl) != 1)
    return 1;
  const int t = kTableContractors;
  if (LockAllTables(true) != 0) return -1;
  const long was = TableRecNo(t);
  int rc = FindById(t, contractorId);
  if (rc == 0) {
    std::snprintf(Kon.DOKTRATYP, sizeof Kon.DOKTRATYP, "%s", DOCUMENT_KINDS[documentKind].code);
    Kon.ZAOKRNETTO = netFlag ? 1 : 0;
    rc = TableUpdate(t);
  }
  // The contractors view and the transaction form keep the contractor they had.
  if (TableGo(t, was) != 0) rc = -1;
  UnlockAllTables();
  return rc == 0 ? 0 : -1;
}

int CheckContractorBank(const KON_RECORD& contractor) {
  if (contractor.ID.IsZero() || contractor.KONTO[0] || !WarnNoBank()) return 0;
  message("%s", "Brak numeru konta bankowego.");
  return -1;
}

int FindContractorByNip() {
  const int t = kTableContractors;
  if (!TableIsOpen(t)) return -1;
  char text[14];
  std::snprintf(text, sizeof text, "%s", g_nip);
  FieldDescriptor field;
  make_descriptor(&field, 'C', 13, 0, text);
  ControlRecord dlg[4];
  dlg_frame(dlg, 0, 0, 0, 28, 3, "WYSZUKANIE KONTRAHENTA");
  dlg_center(dlg);
  dlg_label(dlg, 1, 5, 1, "NIP:");
  dlg_field(dlg, 2, 10, 1, 13, 1, &field);
  dlg[2].options |= kOptClosing;  // Enter on the one field searches
  dlg_end(dlg, 3);
  if (dlg_run(dlg, 2, nullptr) != 2) return -1;
  std::snprintf(g_nip, sizeof g_nip, "%s", text);
  // The keys of the NIP index are upper-cased.
  text_to_upper(text);
  if (TableLock(t, false) != 0) return -1;
  const long was = TableRecNo(t);
  const int index = TableGetIndex(t);
  int rc = TableSetIndex(t, kContractorsByNip);
  if (rc == 0) rc = TableSeek(t, text);
  if (TableSetIndex(t, index) != 0) rc = -1;
  if (rc != 0 && TableGo(t, was) != 0) rc = -1;
  TableUnlock(t);
  return rc == 0 ? 0 : -1;
}

void ResetContractorChecks() {
  g_details = nullptr;
  g_nip[0] = 0;
}
