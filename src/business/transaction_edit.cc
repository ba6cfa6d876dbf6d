#include "business/transaction_edit.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "business/contractor_checks.h"
#include "business/contractor_form.h"
#include "business/document_kinds.h"
#include "business/form_edit.h"
#include "business/interest.h"
#include "business/numbering.h"
#include "business/options.h"
#include "business/position_store.h"
#include "business/positions_window.h"
#include "business/prices.h"
#include "business/read_access.h"
#include "business/record_form.h"
#include "business/record_lookup.h"
#include "business/rights.h"
#include "business/transaction_form.h"
#include "business/transaction_store.h"
#include "common/text.h"
#include "db/records.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "ui/message_box.h"
#include "ui/pick_list.h"
#include "ui/record_list.h"

namespace {

const char* const kKindItems[] = {" &przychód "_pl, " &rozchód  "_pl, nullptr};
const char kKindCodes[] = {'D', 'S'};
const int kIncomeDocuments[] = {0, 1, 2, 3};
const int kExpenseDocuments[] = {0, 4, 5, 6};
const char* const kIncomeDocumentItems[] = {
    " &Brak dokumentu               ", " Dowód przyjęcia &zewnętrznego "_pl,
    " Dowód przyjęcia &wewnętrznego "_pl, " Dowód przyjęcia z &magazynu   "_pl, nullptr};
const char* const kExpenseDocumentItems[] = {
    " &Brak dokumentu               ", " Dowód wydania &zewnętrznego   "_pl,
    " Dowód wydania &wewnętrznego   "_pl, " Dowód wydania do &magazynu    "_pl, nullptr};

struct EDIT_STATE {
  bool is_new = true;
  bool saved = false;
  TRA_RECORD stored{};      // as last stored (for an edited transaction)
  KON_RECORD contractor{};  // the chosen contractor, for its defaults
  // The numbers the program proposed; a number still equal to its proposal is renumbered
  // when another workstation took it meanwhile.
  char proposed[2][21] = {"", ""};
};

EDIT_STATE g_edit;
TransactionDocumentsFn g_documents = nullptr;

TRA_RECORD& R() { return transaction_form_buffer()->record; }
bool RightsAllow();

void Copy(char* out, size_t size, const std::string& text) {
  std::snprintf(out, size, "%s", text.c_str());
}

char* NumberField(DocumentSlot which) {
  return which == kSalesDocument ? R().DOKTRANR : R().DOKMAGNR;
}
char* CodeField(DocumentSlot which) {
  return which == kSalesDocument ? R().DOKTRATYP : R().DOKMAGTYP;
}

AMOUNT Due() { return AmountDue(R().DOKMAGTYP, R().SUMA, RoundPay()); }
AMOUNT Paid() { return R().GOT + R().CZK + R().PRZ + R().ODR; }

// Which fields are open follows the documents and the payments.
void Enable(ControlRecord* d, bool redraw) {
  const TRA_RECORD& r = R();
  const bool internal = IsInternalWarehouseDocument(r.DOKMAGTYP);
  auto open = [&](int i, bool on) { dlg_set_state(d, i, kStateDisabled, !on, redraw); };
  open(kTraWarehouseNumber, r.DOKMAGTYP[0] != 0);
  open(kTraSales, !internal);
  open(kTraSalesNumber, !internal && r.DOKTRATYP[0] != 0);
  open(kTraFiscal, !FiscalEditLock());
  open(kTraCash, !internal);
  open(kTraCard, !internal);
  open(kTraTransfer, !internal);
  open(kTraTransferTerm, !internal && !r.PRZ.IsZero());
  open(kTraTransferPaid, !internal && !r.PRZ.IsZero());
  open(kTraTransferInterest, !internal && !r.PRZ.IsZero() && r.PRZZAPLAC != 0);
  open(kTraDeferment, !internal);
  open(kTraDefermentTerm, !internal && !r.ODR.IsZero());
  open(kTraDefermentPaid, !internal && !r.ODR.IsZero());
  open(kTraDefermentInterest, !internal && !r.ODR.IsZero() && r.ODRZAPLAC != 0);
}

void Show(ControlRecord* d) {
  transaction_form_derive();
  transaction_form_show_checks();
  Enable(d, false);
  form_redraw_values(d);
}

// A payment of 0 has no term, payment date or interest.
void ClearEmptyPayments() {
  TRA_RECORD& r = R();
  if (r.PRZ.IsZero()) {
    r.PRZTERMIN = r.PRZODSETKI = AMOUNT();
    r.PRZZAPLAC = 0;
  }
  if (r.ODR.IsZero()) {
    r.ODRTERMIN = r.ODRODSETKI = AMOUNT();
    r.ODRZAPLAC = 0;
  }
}

// Cash takes up what the other payments leave of the amount due.
void CashTakesDifference() {
  TRA_RECORD& r = R();
  if (R().DOKMAGTYP[0] && IsInternalWarehouseDocument(r.DOKMAGTYP)) return;
  if (Paid() != Due()) r.GOT = RoundTo(Due() - r.CZK - r.PRZ - r.ODR, 2);
}

// The sums again from the stored positions with the form's net flag (nothing is written).
void RecomputeSums(ControlRecord* d) {
  TRA_RECORD& r = R();
  READ_ACCESS access;
  if (access && !r.ID.IsZero()) {
    RUNNING_TOTALS t(r.ZAOKRNETTO != 0);
    if (LoadRunningTotals(r.ID, t.NetFirst(), &t) == 0) {
      const DOCUMENT_TOTALS totals = t.Totals();
      r.SUMA = totals.gross;
      r.VAT = totals.vat;
    }
  }
  CashTakesDifference();
  Show(d);
}

// Numbers the document of `which` as its kind, year and code now stand. An edited transaction
// keeps its stored number while those stay as stored.
void Renumber(DocumentSlot which) {
  TRA_RECORD& r = R();
  char* number = NumberField(which);
  const char* code = CodeField(which);
  g_edit.proposed[which][0] = 0;
  if (!code[0]) {
    number[0] = 0;
    return;
  }
  const TRA_RECORD& s = g_edit.stored;
  if (!g_edit.is_new && DateToYmd(s.DATATRA).year == DateToYmd(r.DATATRA).year &&
      s.RODZAJ[0] == r.RODZAJ[0] &&
      std::strcmp(which == kSalesDocument ? s.DOKTRATYP : s.DOKMAGTYP, code) == 0) {
    std::strcpy(number, which == kSalesDocument ? s.DOKTRANR : s.DOKMAGNR);
    return;
  }
  std::string next;
  READ_ACCESS access;
  if (!access || NextDocumentNumber(r, which, &next) != 0) {
    // Nothing to propose: the number is the user's to type.
    number[0] = 0;
    return;
  }
  Copy(number, 21, next);
  Copy(g_edit.proposed[which], sizeof g_edit.proposed[which], next);
}

void SetWarehouseDocument(int kind) {
  std::snprintf(R().DOKMAGTYP, sizeof R().DOKMAGTYP, "%s", DOCUMENT_KINDS[kind].code);
  Renumber(kWarehouseDocument);
  if (DOCUMENT_KINDS[kind].internal) {
    // Goods moved inside the firm: no sales document, nothing to pay.
    TRA_RECORD& r = R();
    r.DOKTRATYP[0] = r.DOKTRANR[0] = 0;
    g_edit.proposed[kSalesDocument][0] = 0;
    r.GOT = r.CZK = r.PRZ = r.ODR = AMOUNT();
    ClearEmptyPayments();
  } else {
    CashTakesDifference();
  }
}

void AutomaticWarehouseDocument() {
  if (!AutoWZ() || !R().RODZAJ[0]) return;
  SetWarehouseDocument(R().RODZAJ[0] == 'D' ? 1 : 4);
}

// The sales document and the net flag it proposes.
void SetSalesDocument(int kind) {
  TRA_RECORD& r = R();
  std::snprintf(r.DOKTRATYP, sizeof r.DOKTRATYP, "%s", DOCUMENT_KINDS[kind].code);
  // An income transaction's sales documents carry the supplier's numbers, typed by the user;
  // only the VAT RR invoice is the buyer's own.
  if (kind == 0) {
    r.DOKTRANR[0] = 0;
    g_edit.proposed[kSalesDocument][0] = 0;
  } else if (r.RODZAJ[0] == 'S' || kind == 8) {
    Renumber(kSalesDocument);
  }
  const bool contractor_default = kind != 0 &&
                                  DocumentKindByCode(g_edit.contractor.DOKTRATYP) == kind &&
                                  !g_edit.contractor.ID.IsZero();
  r.ZAOKRNETTO =
      contractor_default ? (g_edit.contractor.ZAOKRNETTO != 0) : NetDefaultFor(kind) != 0;
}

void ChooseKind(ControlRecord* d) {
  const int row = R().RODZAJ[0] == 'D' ? 0 : 1;
  const int r = menu_list(kKindItems, row, nullptr, dlg_abs_x(d, kTraKind) + d[kTraKind].width + 1,
                          dlg_abs_y(d, kTraKind));
  if (r < 0 || kKindCodes[r] == R().RODZAJ[0]) return;
  const char kind = kKindCodes[r];
  if (!g_edit.is_new) {
    // The positions are stored: they turn with the transaction at once, under the rights that
    // guard saving it.
    if (kind == 'D' && CheckRights(kRightPurchaseTransactions, true) != 0) return;
    if (!RightsAllow()) return;
    if (FlipTransactionKind(R().ID, kind) != 0) return;
    g_edit.stored = Tra;
    g_edit.saved = true;
    TRA_RECORD& t = R();
    t.SUMA = Tra.SUMA;
    t.VAT = Tra.VAT;
    t.GOT = Tra.GOT;
  }
  TRA_RECORD& t = R();
  t.RODZAJ[0] = kind;
  t.RODZAJ[1] = 0;
  t.DOKMAGTYP[0] = t.DOKMAGNR[0] = t.DOKTRATYP[0] = t.DOKTRANR[0] = 0;
  g_edit.proposed[0][0] = g_edit.proposed[1][0] = 0;
  AutomaticWarehouseDocument();
  CashTakesDifference();
  Show(d);
}

void ChooseContractor(ControlRecord* d) {
  const int t = kTableContractors;
  const long was = TableRecNo(t);
  if (!R().KONID.IsZero()) FindById(t, R().KONID);
  const bool chosen = record_list(kViewContractors) == 0;
  const KON_RECORD picked = Kon;
  TableGo(t, was);
  if (!chosen) return;
  if (R().RODZAJ[0] == 'S') {
    READ_ACCESS access;
    if (!access || CheckDebtor(picked.ID) != 0) return;
  }
  g_edit.contractor = picked;
  TRANSACTION_FORM_BUFFER* b = transaction_form_buffer();
  R().KONID = picked.ID;
  form_copy_text(b->contractor_name, sizeof b->contractor_name, picked.NAZWA);
  form_copy_text(b->contractor_address, sizeof b->contractor_address,
                 ContractorAddress(picked).c_str());
  const int document = DocumentKindByCode(picked.DOKTRATYP);
  if (document != 0 && !IsInternalWarehouseDocument(R().DOKMAGTYP)) SetSalesDocument(document);
  AutomaticWarehouseDocument();
  RecomputeSums(d);
}

void ChooseWarehouse(ControlRecord* d) {
  const bool income = R().RODZAJ[0] == 'D';
  const int* kinds = income ? kIncomeDocuments : kExpenseDocuments;
  const int now = DocumentKindByCode(R().DOKMAGTYP);
  int pre = 0;
  for (int k = 0; k < 4; ++k)
    if (kinds[k] == now) pre = k;
  const int r = menu_list(income ? kIncomeDocumentItems : kExpenseDocumentItems, pre, nullptr,
                          dlg_abs_x(d, kTraWarehouse) + d[kTraWarehouse].width + 1,
                          dlg_abs_y(d, kTraWarehouse));
  if (r < 0) return;
  SetWarehouseDocument(kinds[r]);
  Show(d);
}

void ChooseSales(ControlRecord* d) {
  const int now = DocumentKindByCode(R().DOKTRATYP);
  int pre = 0;
  for (int k = 0; k < kContractorDocumentCount; ++k)
    if (CONTRACTOR_DOCUMENTS[k] == now) pre = k;
  const int r =
      menu_list(CONTRACTOR_DOCUMENT_ITEMS, pre, nullptr,
                dlg_abs_x(d, kTraSales) + d[kTraSales].width + 1, dlg_abs_y(d, kTraSales));
  if (r < 0) return;
  SetSalesDocument(CONTRACTOR_DOCUMENTS[r]);
  RecomputeSums(d);
}

// The payment balance: -1 when it holds, else the control the cursor goes to after the question.
int PaymentBalance(ControlRecord* d) {
  TRA_RECORD& r = R();
  int focus = -1;
  if (!RoundTo(Due() - Paid(), 2).IsZero()) {
    const int answer =
        message_box(1, "%s",
                    "Suma transakcji różna od sumy płatności.\n   Którą formę płatności uaktualnić?"
                    "\t &Gotówka \t &Karta \t &Przelew \t &Odroczenie "_pl);
    const AMOUNT due = Due();
    switch (answer) {
      case 2:
        r.CZK = RoundTo(due - r.GOT - r.PRZ - r.ODR, 2);
        focus = kTraCard;
        break;
      case 3:
        r.PRZ = RoundTo(due - r.GOT - r.CZK - r.ODR, 2);
        focus = kTraTransferTerm;
        break;
      case 4:
        r.ODR = RoundTo(due - r.GOT - r.CZK - r.PRZ, 2);
        focus = kTraDefermentTerm;
        break;
      case 1: r.GOT = RoundTo(due - r.CZK - r.PRZ - r.ODR, 2); [[fallthrough]];
      default: focus = kTraCash; break;
    }
  }
  ClearEmptyPayments();
  Show(d);
  return focus;
}

// Leaving a payment date: the interest for the days after the term.
void Interest(ControlRecord* d, bool transfer) {
  TRA_RECORD& r = R();
  AMOUNT& interest = transfer ? r.PRZODSETKI : r.ODRODSETKI;
  const DATE paid = transfer ? r.PRZZAPLAC : r.ODRZAPLAC;
  if (paid == 0) {
    interest = AMOUNT();
  } else if (InterestCalc()) {
    const AMOUNT amount = transfer ? r.PRZ : r.ODR;
    const AMOUNT term = transfer ? r.PRZTERMIN : r.ODRTERMIN;
    const DATE due =
        r.DATATRA == 0 ? 0 : r.DATATRA + static_cast<DATE>(term.Whole() < 0 ? 0 : term.Whole());
    const AMOUNT computed = InterestDue(amount, due, paid);
    if (computed != interest && message_box(1, "%s", "Uaktualnić odsetki?\t &Tak \t &Nie "_pl) == 1)
      interest = computed;
  }
  Show(d);
}

// The user rights of saving: income transactions, and dates before the latest transaction.
bool RightsAllow() {
  const TRA_RECORD& r = R();
  if (r.RODZAJ[0] == 'D' && CheckRights(kRightPurchaseTransactions, true) != 0) return false;
  if (CheckRights(kRightModifyPastTransactions, false) == 0) return true;
  TRA_RECORD latest{};
  READ_ACCESS access;
  if (!access) return false;
  const int rc = LatestTransaction(&latest);
  if (rc < 0) return false;
  const bool allowed =
      rc == kTableEnd || (g_edit.is_new ? r.DATATRA >= latest.DATATRA
                                        : g_edit.stored.DATATRA >= latest.DATATRA &&
                                              r.DATATRA >= g_edit.stored.DATATRA);
  return allowed || CheckRights(kRightModifyPastTransactions, true) == 0;
}

// Under the lock: every number is unique, or the user accepted it. -1 or the control to go to.
int CheckNumbers(int here) {
  static const char* const kQuestions[2] = {
      "Dokument magazynowy o podanym numerze już istnieje.\t &Nadać nowy \t &Poprawić \t &Zaakceptować "_pl,
      "Dokument sprzedaży o podanym numerze już istnieje.\t &Nadać nowy \t &Poprawić \t &Zaakceptować "_pl};
  static const int kFields[2] = {kTraWarehouseNumber, kTraSalesNumber};
  for (int w = 0; w < 2; ++w) {
    const DocumentSlot which = static_cast<DocumentSlot>(w);
    const TRA_RECORD& s = g_edit.stored;
    const char* stored_number = which == kSalesDocument ? s.DOKTRANR : s.DOKMAGNR;
    if (!g_edit.is_new && DateToYmd(s.DATATRA).year == DateToYmd(R().DATATRA).year &&
        s.RODZAJ[0] == R().RODZAJ[0] && std::strcmp(stored_number, NumberField(which)) == 0)
      continue;
    for (int round = 0;; ++round) {
      const int taken = DocumentNumberTaken(R(), which);
      if (taken < 0) return here;
      if (taken == 0) break;
      // A number the program proposed, taken meanwhile by another workstation: the next one.
      const bool proposed = std::strcmp(g_edit.proposed[w], NumberField(which)) == 0;
      int answer = proposed && round < 100 ? 1 : message_box(1, "%s", kQuestions[w]);
      if (answer == 3) break;
      if (answer != 1) return kFields[w];
      std::string next;
      if (NextDocumentNumber(R(), which, &next) != 0) return here;
      if (next == NumberField(which)) {
        // The number cannot grow any further: only the user can settle it.
        if (message_box(1, "%s", kQuestions[w]) != 3) return kFields[w];
        break;
      }
      Copy(NumberField(which), 21, next);
      Copy(g_edit.proposed[w], sizeof g_edit.proposed[w], next);
    }
  }
  return -1;
}

// Saves the form; -1 when saved, else the control that keeps the cursor.
int Save(ControlRecord* d, bool for_positions) {
  TRA_RECORD& r = R();
  const int here = dlg_focused(d) < 0 ? kTraOk : dlg_focused(d);
  if (r.DATATRA == 0) return kTraDate;
  if (!r.RODZAJ[0]) return kTraKind;
  const int balance = PaymentBalance(d);
  if (balance >= 0) return balance;
  if (!RightsAllow()) return here;
  if (LockAllTables(true) != 0) return here;
  int back = CheckNumbers(here);
  if (back < 0 && !r.KONID.IsZero()) {
    KON_RECORD k{};
    const int rc = ReadRecordById(kTableContractors, r.KONID, &k);
    if (rc == kTableEnd) deleted_meanwhile(kTableContractors);
    if (rc != 0) back = rc == kTableEnd ? kTraContractor : here;
  }
  TRA_RECORD stored = r;
  if (back < 0 && StoreTransaction(&stored) != 0) back = here;
  // The sums are those of the positions as they now stand, whatever the form held.
  if (back < 0 && !g_edit.is_new && RecalculateTransaction(stored.ID) == 0) stored = Tra;
  UnlockAllTables();
  if (back >= 0) {
    Show(d);
    return back;
  }
  r = stored;
  g_edit.stored = stored;
  g_edit.is_new = false;
  g_edit.saved = true;
  Show(d);
  if (for_positions) return -1;
  if (DocumentKindByCode(r.DOKTRATYP) != DocumentKindByCode(g_edit.contractor.DOKTRATYP) ||
      (r.ZAOKRNETTO != 0) != (g_edit.contractor.ZAOKRNETTO != 0))
    OfferContractorDefaults(r.KONID, DocumentKindByCode(r.DOKTRATYP), r.ZAOKRNETTO != 0);
  if (DocumentPrompt()) {
    if (FindById(kTableTransactions, r.ID) == 0) (g_documents ? g_documents : not_supported)();
  }
  return -1;
}

// " &Pozycje... ": the transaction is saved, then its positions are edited; the sums come back.
int Positions(ControlRecord* d) {
  const int back = Save(d, true);
  if (back >= 0) return back;
  positions_window(R().ID);
  if (FindById(kTableTransactions, R().ID) == 0) {
    TRA_RECORD& r = R();
    r.SUMA = Tra.SUMA;
    r.VAT = Tra.VAT;
    r.GOT = Tra.GOT;
    g_edit.stored = Tra;
  }
  Show(d);
  return kTraPositions;
}

int Callback(ControlRecord* d, int code) {
  TRA_RECORD& r = R();
  switch (code) {
    case -1: Enable(d, false); return -1;
    case -2: return dlg_focused(d) == kTraOk ? Save(d, false) : -1;
    case -3: return -1;
    case kTraKind: ChooseKind(d); return -1;
    case kTraDate: {
      const unsigned year = DateToYmd(r.DATAMAG).year;
      r.DATAMAG = r.DATATRA;
      // A proposed number belongs to the year it was proposed for.
      if (DateToYmd(r.DATATRA).year != year) {
        if (g_edit.proposed[0][0] && std::strcmp(g_edit.proposed[0], r.DOKMAGNR) == 0)
          Renumber(kWarehouseDocument);
        if (g_edit.proposed[1][0] && std::strcmp(g_edit.proposed[1], r.DOKTRANR) == 0)
          Renumber(kSalesDocument);
      }
      Show(d);
      return -1;
    }
    case kTraContractor: ChooseContractor(d); return -1;
    case kTraWarehouse: ChooseWarehouse(d); return -1;
    case kTraSales: ChooseSales(d); return -1;
    case kTraFiscal:
      r.DOKFISKAL = dlg_checked(d, kTraFiscal) ? 1 : 0;
      // Receipts are worked out from gross prices.
      if (r.DOKFISKAL && r.ZAOKRNETTO) {
        r.ZAOKRNETTO = 0;
        RecomputeSums(d);
      }
      return -1;
    case kTraNet:
      r.ZAOKRNETTO = dlg_checked(d, kTraNet) ? 1 : 0;
      RecomputeSums(d);
      return -1;
    case kTraPositions: return Positions(d);
    case kTraCash:
    case kTraCard:
    case kTraTransfer:
    case kTraDeferment: return PaymentBalance(d);
    case kTraTransferPaid: Interest(d, true); return -1;
    case kTraDefermentPaid: Interest(d, false); return -1;
    case kTraTransferTerm:
    case kTraDefermentTerm:
    case kTraTransferInterest:
    case kTraDefermentInterest: Show(d); return -1;
    default: return -1;
  }
}

// What a new transaction starts with.
TRA_RECORD NewTransaction() {
  TRA_RECORD r{};
  r.RODZAJ[0] = 'S';
  r.DATATRA = r.DATAMAG = DateToday();
  return r;
}

}  // namespace

int transaction_form_edit(TransactionFormMode mode, bool in_place) {
  const int t = kTableTransactions;
  if (!TableIsOpen(t) || (mode == kTransactionEdit && TableRecNo(t) < 0)) return -1;
  g_edit = EDIT_STATE{};
  g_edit.is_new = mode == kTransactionAdd;
  ControlRecord* form = transaction_form();
  {
    READ_ACCESS access;
    if (!access) return -1;
    if (g_edit.is_new) {
      transaction_form_load_record(NewTransaction());
      const AMOUNT customer = AutoCustomer();
      const int rc = ReadRecordById(kTableContractors, customer, &g_edit.contractor);
      if (rc < 0) return -1;
      if (rc == 0) {
        TRANSACTION_FORM_BUFFER* b = transaction_form_buffer();
        R().KONID = customer;
        form_copy_text(b->contractor_name, sizeof b->contractor_name, g_edit.contractor.NAZWA);
        form_copy_text(b->contractor_address, sizeof b->contractor_address,
                       ContractorAddress(g_edit.contractor).c_str());
        const int document = DocumentKindByCode(g_edit.contractor.DOKTRATYP);
        if (document != 0) SetSalesDocument(document);
      }
      AutomaticWarehouseDocument();
      transaction_form_derive();
      transaction_form_show_checks();
    } else {
      g_edit.stored = Tra;
      transaction_form_load_record(Tra);
      if (ReadRecordById(kTableContractors, Tra.KONID, &g_edit.contractor) < 0) return -1;
    }
  }
  Enable(form, false);
  form_edit_run(form, in_place, Callback);
  return g_edit.saved ? 0 : -1;
}

void SetTransactionDocumentsMenu(TransactionDocumentsFn fn) { g_documents = fn; }

void ResetTransactionEdit() {
  g_edit = EDIT_STATE{};
  g_documents = nullptr;
}
