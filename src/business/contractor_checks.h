// What the transactions, documents and searches ask about a contractor: unpaid payments before a
// sale, the contractor's default sales document and net-price working, the bank account a
// transfer order needs, and the search by NIP.
//
//   if (CheckDebtor(id) != 0) return;              // the user declined a sale to a debtor
//   OfferContractorDefaults(Tra.KONID, DocumentKindByCode(Tra.DOKTRATYP), Tra.ZAOKRNETTO != 0);
#pragma once

#include "common/amount.h"
#include "db/schema.h"

// Whether sales to the contractor (internal warehouse documents aside) leave a transfer or a
// deferred amount without its payment date. Walks the transactions of the contractor under
// "Sprawdzanie płatności kontrahenta..."; Esc stops the walk early with what was counted so far.
// The transactions table keeps its position and active index. 1 with debts, 0 without, -1 when
// the transactions could not be read (reported).
int ContractorHasDebts(AMOUNT contractorId);

// Before a sale to a contractor: 0 when the sale may go on, -1 when the user declined it or the
// debts could not be read.
// Nothing is asked for identifier 0, for the automatic customer, or with "WarnDebtor" off.
int CheckDebtor(AMOUNT contractorId);

// " &Szczegóły... " of the debtor question: the report of unpaid sales of the contractor, which
// the reports install. Without one the question says the function is not there yet.
typedef void (*DebtorDetailsFn)(AMOUNT contractorId);
void SetDebtorDetails(DebtorDetailsFn fn);

// After a transaction is saved: stores its sales document and net flag as the contractor's
// defaults, asking first when the contractor already has defaults of its own. 0 when stored,
// 1 when nothing was to be done or the user said no, -1 when the write failed.
int OfferContractorDefaults(AMOUNT contractorId, int documentKind, bool netFlag);

// For a transfer order: -1 after "Brak numeru konta bankowego." when the contractor (identifier
// not 0) has no bank account and "WarnNoBank" is on; 0 otherwise.
int CheckContractorBank(const KON_RECORD& contractor);

// " Wg &NIP " of the contractor search: asks for the NIP ("WYSZUKANIE KONTRAHENTA") and makes
// the first contractor whose NIP key is not below the typed text current (a prefix finds it).
// 0 when a contractor was found, -1 on Esc or when no key is at or above the text (the current
// record stays). The contractors table keeps its active index.
int FindContractorByNip();

void ResetContractorChecks();
