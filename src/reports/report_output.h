// Writing documents and reports: fields of fixed width, frame characters, and the standard header
// lines, all appended to the current text document (ui/document/document.h).
//
// Every field is written into exactly its width, so columns line up:
//
//   PutText("Anturium", 10);          -> "Anturium  "
//   PutAmount(1234.5, 10);            -> "  1 234,50"   (the number format of the program)
//   PutAmount(123456.78, 8);          -> "********"     (too wide: stars, never a cut number)
//   PutAmountKnown(x, false, 6);      -> "     ?"       (a value nobody can tell)
//
// The Fit... functions make the same texts without writing them, for cells and tests.
//
// A failed write of the document is reported by the file layer; the primitives go on without
// writing and remember it, so a producer writes its whole document and asks ReportOutputEnd once
// whether it may show it:
//
//   ReportOutputBegin();
//   PutText(...); ... table.Print(); ...
//   if (ReportOutputEnd() != 0) { doc_close(); return -1; }
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "business/options.h"
#include "common/amount.h"
#include "common/date.h"
#include "db/schema.h"

// ---- texts of fixed width ----

// Left-aligned, cut or padded to w (w below 1: the whole text). Texts are cut at 255 characters.
std::string FitText(std::string_view text, int w);
std::string FitTextRight(std::string_view text, int w);
// (w - length) / 2 blanks (none when the text is longer), then the text left-aligned in the rest.
std::string FitTextCentered(std::string_view text, int w);
// An amount with `decimals` places in the program's number format, right-aligned; w stars when it
// does not fit.
std::string FitAmount(AMOUNT value, int decimals, int w);
// "?" right-aligned when !known; "-" right-aligned for 0 when dash; else FitAmount.
std::string FitAmountRule(AMOUNT value, int decimals, bool known, bool dash, int w);
// When !known: "?" followed by the value with 2 decimals ("?" alone for 0), right-aligned, stars
// when it does not fit; else FitAmount with 2 decimals.
std::string FitAmountMarked(AMOUNT value, bool known, int w);
// "%02u.%02u.%04u" left-aligned; the empty date as blanks.
std::string FitDate(DATE date, int w);

// The document numbers of a transaction as reports show them: "%-2s %s" (code, number), and the
// sales document "%-2s %-9s%c" with '*' when a fiscal receipt was printed.
std::string WarehouseDocumentText(const TRA_RECORD& t);
std::string SalesDocumentText(const TRA_RECORD& t);
// "%-2s %s/%u": code, number and the year of the transaction date, as documents title themselves.
std::string DocumentNumberText(const char* code, const char* number, DATE date);

// ---- writing ----

// Forgets an earlier failure; ReportOutputEnd answers 0, or -1 when a write failed since.
void ReportOutputBegin();
int ReportOutputEnd();
// doc_printf that remembers a failure.
void Put(const char* format, ...) __attribute__((format(printf, 1, 2)));

void PutText(std::string_view text, int w);
void PutTextRight(std::string_view text, int w);
void PutTextCentered(std::string_view text, int w);
void PutAmount(AMOUNT value, int w);  // 2 decimals
void PutAmountOrDash(AMOUNT value, int w);
void PutAmountOrBlank(AMOUNT value, int w);
void PutAmountKnown(AMOUNT value, bool known, int w);
void PutAmountMarked(AMOUNT value, bool known, int w);
void PutQuantity(AMOUNT value, int w);  // the quantity precision ("RoundAmount")
void PutQuantityOrDash(AMOUNT value, int w);
void PutDate(DATE date, int w);
// The current transaction's (Tra) documents.
void PutWarehouseDocument(int w);
void PutSalesDocument(int w);
void PutRepeat(char c, int count);
// Frame character index 0..10 (─ │ ┌ ┬ ┐ ├ ┼ ┤ └ ┴ ┘) of the data code page, and count ─.
void PutFrame(int index);
void PutFrameLine(int count);

// ---- the standard lines of reports ----

// "%21s: %s\n\n" with "Data".
void PutDateHeader(DATE date);
// "%21s: %s\n" with "Kontrahent" and the name, then "%21s  %s\n" with the address.
void PutContractorHeader(const KON_RECORD& contractor);
// "%21s: %s - %s\n\n" with "Okres".
void PutPeriodHeader(DATE first, DATE last);
// " Grupa: %s\n".
void PutGroupHeader(const char* name);
// The groups of the document filter in which some flag is cleared, each item marked '+' or '-',
// and a blank line after them; nothing when every flag is set.
void PutDocumentFilterSummary(const std::array<uint8_t, kDocumentFilterCount>& flags);
// The enabled header ('H') or footer ('F') lines of document 1..7 (business/options.h), each on
// a line of its own. The number of lines written.
int PutHeaderFooterLines(int document, char part);
// The note after totals that left out positions without a known purchase value.
void PutUnknownValuesNote();

// ---- long reports ----

// The status line "Generowanie raportu..." ("Przygotowanie raportu..." for a preparation pass)
// while a report is generated: mode 0 shows it, 2 takes it away.
void ReportStatus(int mode, bool preparation = false);
// Before each further part of a report printed in parts: true when the user wants it.
bool AskNextReportPart();
