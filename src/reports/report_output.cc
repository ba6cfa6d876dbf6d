#include "reports/report_output.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "business/contractor_form.h"
#include "common/codepage.h"
#include "common/text.h"
#include "ui/document/document.h"
#include "ui/feedback.h"
#include "ui/message_box.h"
#include "ui/number_format.h"

namespace {

constexpr size_t kTextCut = 255;

bool g_failed = false;

std::string_view Cut(std::string_view text) { return text.substr(0, kTextCut); }

std::string Stars(int w) { return std::string(static_cast<size_t>(w > 0 ? w : 0), '*'); }

// Right-aligned in w, stars when longer.
std::string RightOrStars(const std::string& text, int w) {
  if (w < 1) return text;
  if (text.size() > static_cast<size_t>(w)) return Stars(w);
  return std::string(static_cast<size_t>(w) - text.size(), ' ') + text;
}

void Write(const std::string& text) {
  if (doc_printf("%s", text.c_str()) != 0) g_failed = true;
}

}  // namespace

std::string FitText(std::string_view text, int w) {
  text = Cut(text);
  if (w < 1) return std::string(text);
  std::string out(text.substr(0, static_cast<size_t>(w)));
  out.resize(static_cast<size_t>(w), ' ');
  return out;
}

std::string FitTextRight(std::string_view text, int w) {
  text = Cut(text);
  if (w < 1) return std::string(text);
  if (text.size() >= static_cast<size_t>(w))
    return std::string(text.substr(0, static_cast<size_t>(w)));
  return std::string(static_cast<size_t>(w) - text.size(), ' ') + std::string(text);
}

std::string FitTextCentered(std::string_view text, int w) {
  text = Cut(text);
  if (w < 1) return std::string(text);
  const int pad = (w - static_cast<int>(text.size())) / 2;
  const int lead = pad > 0 ? pad : 0;
  return std::string(static_cast<size_t>(lead), ' ') + FitText(text, w - lead);
}

std::string FitAmount(AMOUNT value, int decimals, int w) {
  return RightOrStars(format_amount(value, decimals), w);
}

std::string FitAmountRule(AMOUNT value, int decimals, bool known, bool dash, int w) {
  if (!known) return FitTextRight("?", w);
  if (dash && value.IsZero()) return FitTextRight("-", w);
  return FitAmount(value, decimals, w);
}

std::string FitAmountMarked(AMOUNT value, bool known, int w) {
  if (known) return FitAmount(value, 2, w);
  return RightOrStars(value.IsZero() ? "?" : "?" + format_amount(value, 2), w);
}

std::string FitDate(DATE date, int w) { return FitText(DateToDisplay(date), w); }

std::string WarehouseDocumentText(const TRA_RECORD& t) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%-2s %s", t.DOKMAGTYP, t.DOKMAGNR);
  return buf;
}

std::string SalesDocumentText(const TRA_RECORD& t) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%-2s %-9s%c", t.DOKTRATYP, t.DOKTRANR, t.DOKFISKAL ? '*' : ' ');
  return buf;
}

std::string DocumentNumberText(const char* code, const char* number, DATE date) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%-2s %s/%u", code, number, DateToYmd(date).year);
  return buf;
}

void ReportOutputBegin() { g_failed = false; }
int ReportOutputEnd() { return g_failed ? -1 : 0; }

void Put(const char* format, ...) {
  va_list ap;
  va_start(ap, format);
  va_list again;
  va_copy(again, ap);
  const int n = std::vsnprintf(nullptr, 0, format, ap);
  va_end(ap);
  if (n < 0) {
    va_end(again);
    g_failed = true;
    return;
  }
  std::vector<char> text(static_cast<size_t>(n) + 1);
  std::vsnprintf(text.data(), text.size(), format, again);
  va_end(again);
  if (doc_printf("%s", text.data()) != 0) g_failed = true;
}

void PutText(std::string_view text, int w) { Write(FitText(text, w)); }
void PutTextRight(std::string_view text, int w) { Write(FitTextRight(text, w)); }
void PutTextCentered(std::string_view text, int w) { Write(FitTextCentered(text, w)); }
void PutAmount(AMOUNT value, int w) { Write(FitAmount(value, 2, w)); }
void PutAmountOrDash(AMOUNT value, int w) { Write(FitAmountRule(value, 2, true, true, w)); }
void PutAmountOrBlank(AMOUNT value, int w) {
  Write(value.IsZero() ? std::string(static_cast<size_t>(w > 0 ? w : 0), ' ')
                       : FitAmount(value, 2, w));
}
void PutAmountKnown(AMOUNT value, bool known, int w) {
  Write(FitAmountRule(value, 2, known, false, w));
}
void PutAmountMarked(AMOUNT value, bool known, int w) { Write(FitAmountMarked(value, known, w)); }
void PutQuantity(AMOUNT value, int w) { Write(FitAmount(value, RoundAmount(), w)); }
void PutQuantityOrDash(AMOUNT value, int w) {
  Write(FitAmountRule(value, RoundAmount(), true, true, w));
}
void PutDate(DATE date, int w) { Write(FitDate(date, w)); }
void PutWarehouseDocument(int w) { Write(FitText(WarehouseDocumentText(Tra), w)); }
void PutSalesDocument(int w) { Write(FitText(SalesDocumentText(Tra), w)); }
void PutRepeat(char c, int count) {
  if (count > 0) Write(std::string(static_cast<size_t>(count), c));
}
void PutFrame(int index) { Write(std::string(1, static_cast<char>(box_char(index)))); }
void PutFrameLine(int count) {
  if (count > 0) Write(std::string(static_cast<size_t>(count), static_cast<char>(box_char(0))));
}

void PutDateHeader(DATE date) { Put("%21s: %s\n\n", "Data", DateToDisplay(date).c_str()); }

void PutContractorHeader(const KON_RECORD& contractor) {
  Put("%21s: %s\n", "Kontrahent", contractor.NAZWA);
  Put("%21s  %s\n", "", ContractorAddress(contractor).c_str());
}

void PutPeriodHeader(DATE first, DATE last) {
  Put("%21s: %s - %s\n\n", "Okres", DateToDisplay(first).c_str(), DateToDisplay(last).c_str());
}

void PutGroupHeader(const char* name) { Put(" Grupa: %s\n", name); }

void PutDocumentFilterSummary(const std::array<uint8_t, kDocumentFilterCount>& flags) {
  struct GROUP {
    const char* title;
    int first, count;
    const char* items[8];
  };
  static const GROUP kGroups[] = {
      {" Dokumenty magazynowe: ", 0, 4, {"Brak", "PZ/WZ", "PW/WW", "PM/WM"}},
      {"  Dokumenty sprzedaży: "_pl, 4, 8, {"Brak", "FV", "FR", "RU", "PA", "ZF", "ZR", "ZP"}},
      {"    Paragony fiskalne: ", 12, 2, {"Brak", "PF"}},
  };
  bool any = false;
  for (const GROUP& g : kGroups) {
    bool all = true;
    for (int i = 0; i < g.count; ++i) all = all && flags[static_cast<size_t>(g.first + i)] != 0;
    if (all) continue;
    any = true;
    Write(g.title);
    for (int i = 0; i < g.count; ++i)
      Put("%s%c ", g.items[i], flags[static_cast<size_t>(g.first + i)] ? '+' : '-');
    Put("\n");
  }
  if (any) Put("\n");
}

int PutHeaderFooterLines(int document, char part) {
  int printed = 0;
  for (int line = 1; line <= kHeaderLineCount; ++line) {
    const HEADER_LINE h = HeaderFooterLine(document, part, line);
    if (!h.enabled) continue;
    Put("%s\n", h.text.c_str());
    ++printed;
  }
  return printed;
}

void PutUnknownValuesNote() {
  Put("%s",
      "\nUWAGA: W podsumowaniu pominięto pozycje, dla których nie można ustalić wartości dostaw.\n"_pl);
}

void ReportStatus(int mode, bool preparation) {
  if (mode == 0)
    status_line(0, "%s", preparation ? "Przygotowanie raportu..." : "Generowanie raportu...");
  else status_line(mode);
}

bool AskNextReportPart() {
  return message_box(
             1, "%s",
             "Raport składa się z części.\nGenerować pozostałą część?\t &Tak \t &Nie "_pl) == 1;
}
