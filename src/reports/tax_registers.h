// The registers an accountant asks for: the VAT register of deliveries or sales (short, or full
// in two parts: the left pages with the parties, the right pages with the values), the register
// of lump-sum tax, and the revenue and expense book (two parts as well).
//
// Each register is collected first, one row per transaction in date order, its values worked out
// from the transaction's positions (per-rate totals with the transaction's net flag, net values
// by goods kind) in one walk of the positions index; then it is written. The rows are what the
// printed columns hold:
//
//   std::vector<VAT_REGISTER_ROW> rows;
//   if (CollectVatRegister(o, DocumentFilter(), &rows) == 0) ... rows[i].net23 ...
#pragma once

#include <vector>

#include "reports/report_common.h"

// ---- the VAT register ----

enum VatRegisterForm { kVatShort = 0, kVatPart1 = 1, kVatPart2 = 2 };
struct VAT_REGISTER {
  REPORT_PERIOD period;
  int form = kVatShort;
  bool sales = true;  // false: deliveries
  AMOUNT contractor;  // 0: all
};
struct VAT_REGISTER_ROW {
  AMOUNT transaction;
  DATE date = 0;
  char document[24] = "";
  AMOUNT contractor;
  AMOUNT gross, vat;
  AMOUNT exempt;  // the gross of "zw" and " -"
  AMOUNT net23, vat23, net8, vat8;
  AMOUNT netSpecial, vatSpecial;  // every other rate
  AMOUNT zero;                    // the value at 0 %
};
int CollectVatRegister(const VAT_REGISTER& o, const DOCUMENT_FILTER& filter,
                       std::vector<VAT_REGISTER_ROW>* rows);
// Writes the register; after a part of the full register asks (through askMore) whether the
// other part is to follow in the same document.
int VatRegisterReport(const VAT_REGISTER& o, const DOCUMENT_FILTER& filter,
                      bool (*askMore)() = nullptr);
int vat_register_command();

// ---- the lump-sum tax register ----

struct LUMP_SUM_ROW {
  AMOUNT transaction;
  DATE date = 0;
  char document[24] = "";
  AMOUNT services, production, trade, total;
};
int CollectLumpSumRegister(const REPORT_PERIOD& period, const DOCUMENT_FILTER& filter,
                           std::vector<LUMP_SUM_ROW>* rows);
// The tax of a column sum at a rate in per cent (8.5 services, 5.5 production, 3 trade).
AMOUNT LumpSumTax(AMOUNT sum, AMOUNT percent);
int LumpSumRegisterReport(const REPORT_PERIOD& period, const DOCUMENT_FILTER& filter);
int lump_sum_register_command();

// ---- the revenue and expense book ----

struct REVENUE_BOOK_ROW {
  AMOUNT transaction;
  DATE date = 0;
  char document[24] = "";
  AMOUNT contractor;
  char remarks[51] = "";
  // The columns of the book: 7 sales of goods and services, 8 other revenue, 10 purchases of
  // goods and materials, 11 incidental costs, 12 wages, 13 other expenses.
  AMOUNT col7, col8, col10, col11, col12, col13;
};
int CollectRevenueBook(const REPORT_PERIOD& period, const DOCUMENT_FILTER& filter,
                       std::vector<REVENUE_BOOK_ROW>* rows);
// part 1 or 2; askMore as for the VAT register.
int RevenueBookReport(const REPORT_PERIOD& period, int part, const DOCUMENT_FILTER& filter,
                      bool (*askMore)() = nullptr);
int revenue_book_command();

void ResetTaxRegisters();
