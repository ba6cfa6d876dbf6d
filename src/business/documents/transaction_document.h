// The warehouse and sales documents of a transaction: goods received and issued notes (PZ, PW,
// PM, WZ, WW, WM) in sale prices, purchase prices or without prices, and the sales documents
// (VAT invoice FV, farmer's VAT invoice FR, bill RU, their corrections ZF and ZR, and the receipt
// PA / ZP in a narrow layout of its own). Each is a text document of 149 columns:
//
//   header lines of the document's set ("NAGŁÓWEK I STOPKA")
//   place and date; the framed title with "nr FV 000002/2026"; the price mode
//   the parties side by side (seller and buyer, or supplier and recipient)
//   the date line; the positions table; the VAT table, discount, total and the amount in words
//   the payment block; the remarks; footer lines; signatures; representatives
//
// A document is read completely first (LoadTransactionDocument: every failure stops it there,
// reported) and then written (ComposeTransactionDocument), so a failing read never leaves a
// document with a wrong total.
#pragma once

#include <string>
#include <vector>

#include "business/position_values.h"
#include "common/date.h"
#include "db/schema.h"

// The print modes: 0 to 3 of an expense transaction's warehouse document, 4 to 6 of an income
// transaction's, 7 the sales document.
enum DocumentMode {
  kModeSalePrices = 0,
  kModeActualPurchasePrices = 1,
  kModeLastPurchasePrices = 2,
  kModeNoPrices = 3,
  kModeIncomePurchasePrices = 4,
  kModeIncomeSalePrices = 5,
  kModeIncomeNoPrices = 6,
  kModeSalesDocument = 7,
};

bool ModeHasPrices(int mode);

// One row of the positions table. A sale printed in actual purchase prices gets one row for each
// delivery it took from; the further rows of a position carry no number.
struct DOCUMENT_ROW {
  long number = 0;  // Lp; 0 for a further row of the same position
  std::string goodsNumber, name, description, sww, unit;
  AMOUNT quantity;
  int vatId = 0;
  AMOUNT discount;
  POSITION_VALUES values{};
  bool known = true;  // false: no delivery price is known for the row ("?")
};

struct TRANSACTION_DOCUMENT {
  TRA_RECORD transaction{};
  KON_RECORD contractor{};  // empty when the transaction has none
  KON_RECORD parent{};
  int mode = kModeSalesDocument;
  int kind = 0;  // the printed document in DOCUMENT_KINDS
  DATE issued = 0;
  std::vector<DOCUMENT_ROW> rows;
  DOCUMENT_TOTALS totals{};      // the values of the rows with known values
  DOCUMENT_TOTALS quantities{};  // the quantities of all positions (their sum, their unit)
  bool allKnown = true;
  // For the sales document and modes 0 and 4: whether SUMA and VAT equal the positions'.
  bool sumsAgree = true;
};

// Reads transaction id (its positions, goods, contractor and the parent company) for a mode.
// 0; 1 when there is nothing to print (no such document, no positions: the user was told); -1
// on a failure (reported) or Esc while reading. The caller holds the database access.
int LoadTransactionDocument(AMOUNT id, int mode, DATE issued, TRANSACTION_DOCUMENT* doc);
// Writes the document into the current text document. 0; 1 when the user interrupted it (the
// document holds what was written); -1 when it could not be written.
int ComposeTransactionDocument(const TRANSACTION_DOCUMENT& doc);

// The commands: the questions (issue date, NIP), reading, writing and the viewer for the current
// transaction. 0 when a document was shown.
int PrintWarehouseDocument(int mode);
int PrintSalesDocument();
// M: the price mode list for the transaction's kind, then the warehouse document.
int WarehouseDocumentCommand();
