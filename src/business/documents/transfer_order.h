// The bank transfer order ("POLECENIE PRZELEWU"): who pays whom, how much and for what, printed
// on the bank's form (its boxes drawn, two copies on a page) or, with "Tylko da&ne " ticked, as
// the data alone at the places of the boxes for a pre-printed form, shifted by the margins
// "DocumentTransferMarginTop" (lines) and "DocumentTransferMarginLeft" (columns).
//
// From a transaction: the transfer plus its interest; a sale is paid by the contractor to the
// parent company, a delivery (or a sale with a negative amount) by the parent company to the
// contractor; the title "Zapłata za FV 2/2026 z dnia 05.12.2026".
#pragma once

#include "common/amount.h"
#include "common/date.h"
#include "db/schema.h"

struct TRANSFER_PARTY {
  AMOUNT id;
  char name[51];
  char address[51];
  char city[51];  // post code and city
  char account[51];
};

struct TRANSFER_ORDER {
  DATE date = 0;
  TRANSFER_PARTY payer{};  // "Zleceniodawca"
  TRANSFER_PARTY payee{};  // "Odbiorca"
  AMOUNT amount;
  char title[2][51] = {"", ""};
  bool dataOnly = false;
};

// The four lines of a party from its contractor record.
void FillTransferParty(const KON_RECORD& contractor, TRANSFER_PARTY* party);
// The order a transaction proposes (t may be null: today, the parent company paying nobody yet).
void ProposeTransferOrder(const TRA_RECORD* t, const KON_RECORD& parent,
                          const KON_RECORD& contractor, TRANSFER_ORDER* order);

// Writes the order into the current text document (margins only for the data alone). 0 or -1.
int ComposeTransferOrder(const TRANSFER_ORDER& order, int marginTop, int marginLeft);

// L: the dialog over the proposal for the current transaction (with_transaction) or for none,
// then the order in the viewer; the data-only switch and the margins are written back. 0 when an
// order was shown.
int TransferOrderCommand(bool with_transaction);
