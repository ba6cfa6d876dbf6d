// The cash document of a transaction: a voucher of money received ("D O W Ó D   W P Ł A T Y")
// or paid out ("D O W Ó D   W Y P Ł A T Y") for one of its payment forms, 68 columns wide:
//
//   header lines of "Dowód kasowy"; place and date; the framed title
//   ┌──────────────────────────────────────────────────┬───────────────┐
//   │                      Treść                       │   Należność   │
//   ├──────────────────────────────────────────────────┼───────────────┤
//   │Zapłata za FV 000002/2026 z dnia 05.12.2026       │         83,64 │
//   │Odsetki                                           │          2,50 │
//   └──────────────────────────────────────────────────┴───────────────┘
//                                             Razem:             86,14
//   Forma płatności: przelew
//   footer lines; "Pieczęć i podpis" at the right
#pragma once

#include "db/schema.h"

enum PaymentForm {
  kPaymentCash = 0,
  kPaymentCard,
  kPaymentTransfer,
  kPaymentDeferment,
  kPaymentFormCount
};

inline constexpr int kCashDocumentWidth = 68;

// Whether the transaction offers the payment form: cash and card when not 0, transfer and
// deferment when paid (a payment date is set).
bool PaymentFormEnabled(const TRA_RECORD& t, int form);
bool AnyPaymentForm(const TRA_RECORD& t);

// Writes the cash document of one payment form of t into the current text document. 0 or -1.
int ComposeCashDocument(const TRA_RECORD& t, int form);

// S: the form list (" &gotówka    " ...), then the document of the current transaction in the
// viewer. Nothing happens when no form is enabled. 0 when a document was shown.
int CashDocumentCommand();
