// What the record lists of the four views show and search: the columns, the related records,
// the status-line summary, and the texts of a record in the order the text search tries them,
// with numbers formatted as the record forms show them.
#include <cstdio>
#include <cstring>
#include <string>

#include "business/options.h"
#include "business/prices.h"
#include "business/record_views.h"
#include "business/vat.h"
#include "common/codepage.h"
#include "common/date.h"
#include "common/text.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "ui/number_format.h"
#include "ui/record_list.h"

namespace {

struct MATCHER {
  const char* text;
  bool match_case;
  bool whole_words;
  bool Has(const char* field) const {
    return field && *field && find_text(field, text, match_case, whole_words) >= 0;
  }
  bool Has(const std::string& field) const { return Has(field.c_str()); }
};

std::string Amount(AMOUNT value, int decimals, const char* after) {
  return format_amount(value, decimals) + " " + after;
}

// Names of the document kinds by their stored two-letter code.
struct DOCUMENT_NAME {
  const char* code;
  const char* name;
};
const DOCUMENT_NAME kDocumentNames[] = {
    {"PZ", "Dowód przyjęcia zewnętrznego"_pl},
    {"PW", "Dowód przyjęcia wewnętrznego"_pl},
    {"PM", "Dowód przyjęcia z magazynu"_pl},
    {"WZ", "Dowód wydania zewnętrznego"_pl},
    {"WW", "Dowód wydania wewnętrznego"_pl},
    {"WM", "Dowód wydania do magazynu"_pl},
    {"FV", "Faktura VAT"},
    {"FR", "Faktura VAT RR"},
    {"RU", "Rachunek"},
    {"PA", "Paragon"},
    {"ZF", "Faktura VAT (korekta)"},
    {"ZR", "Rachunek (korekta)"},
    {"ZP", "Paragon (korekta)"},
};

const char* DocumentName(const char* code) {
  for (const DOCUMENT_NAME& d : kDocumentNames)
    if (std::strcmp(d.code, code) == 0) return d.name;
  return "";
}

std::string CodeAndNumber(const char* code, const char* number) {
  if (!*code) return number;
  if (!*number) return code;
  return std::string(code) + " " + number;
}

bool GroupMatches(const MATCHER& m) { return m.Has(Gto.NAZWA) || m.Has(Gto.UWAGI); }

bool GoodsMatches(const MATCHER& m, bool skip_related) {
  const int q = RoundAmount();
  const int vat = static_cast<int>(Tow.VATID.Raw() / AMOUNT::kScale);
  if (m.Has(Tow.NAZWA) || m.Has(Tow.OPIS) || m.Has(Tow.NR) || m.Has(Tow.EAN) ||
      m.Has(GoodsKindName(Tow.RODZAJ[0])) || m.Has(Tow.SWW) ||
      m.Has(Amount(Tow.OPAKOWANIE, q, Tow.JMIARY)) || m.Has(Amount(Tow.STANMIN, q, Tow.JMIARY)) ||
      m.Has(Amount(Tow.STANMAX, q, Tow.JMIARY)) || m.Has(Amount(Tow.STAN, q, Tow.JMIARY)) ||
      m.Has(std::string(VatLabel(vat)) + " %") || m.Has(Amount(Tow.MARZA, 2, "%")) ||
      m.Has(Amount(NetFromGross(Tow.CENA, vat), 2, "zł"_pl)) ||
      m.Has(Amount(Tow.CENA, 2, "zł"_pl)) || m.Has(Amount(Tow.RABAT, 2, "%")) ||
      m.Has(DateToDisplay(Tow.DATAPRZEC)))
    return true;
  if (skip_related) return false;
  if (Tow.GTOID.IsZero() || FindById(kTableGroups, Tow.GTOID) != 0) return false;
  return GroupMatches(m);
}

bool ContractorMatches(const MATCHER& m) {
  return m.Has(Kon.NAZWA) || m.Has(Kon.NAZWA2) || m.Has(Kon.ADRES) || m.Has(Kon.MIASTO) ||
         m.Has(Kon.KOD) || m.Has(Kon.TELEFON) || m.Has(Kon.FAX) || m.Has(Kon.BANK) ||
         m.Has(Kon.KONTO) || m.Has(Kon.NIP) || m.Has(Kon.REGON) || m.Has(Kon.ZEZWOLENIE) ||
         m.Has(Kon.DOWOD) || m.Has(Kon.REPREZENT) || m.Has(Amount(Kon.RABAT, 2, "%")) ||
         m.Has(Kon.UWAGI) || m.Has(Kon.UWAGI2);
}

bool TransactionMatches(const MATCHER& m, bool skip_related) {
  const char* zl = "zł"_pl;
  const char* kind = Tra.RODZAJ[0] == 'D'   ? "przychód"_pl
                     : Tra.RODZAJ[0] == 'S' ? "rozchód"_pl
                                            : "";
  if (m.Has(kind) || m.Has(DateToDisplay(Tra.DATATRA)) || m.Has(DocumentName(Tra.DOKMAGTYP)) ||
      m.Has(CodeAndNumber(Tra.DOKMAGTYP, Tra.DOKMAGNR)) || m.Has(DocumentName(Tra.DOKTRATYP)) ||
      m.Has(CodeAndNumber(Tra.DOKTRATYP, Tra.DOKTRANR)) ||
      m.Has(Amount(Tra.SUMA - Tra.VAT, 2, zl)) || m.Has(Amount(Tra.VAT, 2, zl)) ||
      m.Has(Amount(Tra.SUMA, 2, zl)) || m.Has(Amount(Tra.GOT, 2, zl)) ||
      m.Has(Amount(Tra.CZK, 2, zl)) || m.Has(Amount(Tra.PRZ, 2, zl)) ||
      m.Has(Amount(Tra.PRZTERMIN, 0, "dni")) || m.Has(DateToDisplay(Tra.PRZZAPLAC)) ||
      m.Has(Amount(Tra.PRZODSETKI, 2, zl)) || m.Has(Amount(Tra.ODR, 2, zl)) ||
      m.Has(Amount(Tra.ODRTERMIN, 0, "dni")) || m.Has(DateToDisplay(Tra.ODRZAPLAC)) ||
      m.Has(Amount(Tra.ODRODSETKI, 2, zl)) || m.Has(Tra.UWAGI))
    return true;
  if (skip_related) return false;
  if (Tra.KONID.IsZero() || FindById(kTableContractors, Tra.KONID) != 0) return false;
  return ContractorMatches(m);
}

// Values shown in the lists that are no field of a table.
struct LIST_DISPLAY {
  AMOUNT price;    // goods: the gross sale price
  char series[3];  // transactions: the sales document, or the warehouse one when none
  char number[21];
};
LIST_DISPLAY g_show;

// A related record that cannot be found must not show the one read for an earlier row.
void GoodsRelated() {
  if (Tow.GTOID.IsZero() || FindById(kTableGroups, Tow.GTOID) != 0) TableClear(kTableGroups);
}

void TransactionRelated() {
  if (Tra.KONID.IsZero() || FindById(kTableContractors, Tra.KONID) != 0)
    TableClear(kTableContractors);
}

void GoodsRow() { g_show.price = Tow.CENA; }

void TransactionRow() {
  const bool sales = Tra.DOKTRATYP[0] != '\0';
  std::snprintf(g_show.series, sizeof g_show.series, "%s", sales ? Tra.DOKTRATYP : Tra.DOKMAGTYP);
  std::snprintf(g_show.number, sizeof g_show.number, "%s", sales ? Tra.DOKTRANR : Tra.DOKMAGNR);
}

char Bar() { return static_cast<char>(box_char(1)); }

std::string Place() { return std::string(Kon.KOD) + (Kon.KOD[0] ? " " : "") + Kon.MIASTO; }

void GroupSummary(char* out, int size) {
  if (Gto.UWAGI2[0]) std::snprintf(out, size, "%s%c%s", Gto.UWAGI, Bar(), Gto.UWAGI2);
  else std::snprintf(out, size, "%s", Gto.UWAGI);
}

void GoodsSummary(char* out, int size) {
  char pack[kAmountTextSize] = "";
  if (!Tow.OPAKOWANIE.IsZero()) format_amount(Tow.OPAKOWANIE, RoundAmount(), pack);
  std::snprintf(out, size, "Opakowanie: %6s %-5s%c%s", pack, Tow.JMIARY, Bar(), Gto.NAZWA);
}

void ContractorSummary(char* out, int size) {
  std::snprintf(out, size, "%-39s%c%s", Kon.ADRES, Bar(), Place().c_str());
}

void TransactionSummary(char* out, int size) {
  std::snprintf(out, size, "%-39.39s%c%s", Kon.NAZWA, Bar(), Place().c_str());
}

template <bool (*Fn)(const MATCHER&)>
bool Matches(const char* text, bool match_case, bool whole_words, bool) {
  return Fn(MATCHER{text, match_case, whole_words});
}

template <bool (*Fn)(const MATCHER&, bool)>
bool MatchesWithRelated(const char* text, bool match_case, bool whole_words, bool skip_related) {
  return Fn(MATCHER{text, match_case, whole_words}, skip_related);
}

const RECORD_VIEW kViews[kViewCount] = {
    {"            Nazwa",
     54,
     1,
     {{'C', 30, 30, 0, Gto.NAZWA, nullptr}},
     0,
     0,
     nullptr,
     nullptr,
     GroupSummary,
     Matches<GroupMatches>},
    {"            Nazwa                   Nr           Stan       Cena",
     65,
     4,
     {{'C', 50, 30, 0, Tow.NAZWA, nullptr},
      {'C', 13, 13, 0, Tow.NR, nullptr},
      {'N', 10, 10, 0, &Tow.STAN, RoundAmount},
      {'N', 10, 10, 2, &g_show.price, nullptr}},
     3,
     3,
     GoodsRelated,
     GoodsRow,
     GoodsSummary,
     MatchesWithRelated<GoodsMatches>},
    {"                      Nazwa                            NIP",
     65,
     2,
     {{'C', 50, 50, 0, Kon.NAZWA, nullptr}, {'C', 13, 13, 0, Kon.NIP, nullptr}},
     2,
     2,
     nullptr,
     nullptr,
     ContractorSummary,
     Matches<ContractorMatches>},
    {"   Data      Dokument                 Kontrahent                 Suma",
     54,
     6,
     {{'D', 10, 10, 0, &Tra.DATATRA, nullptr},
      {'C', 1, 1, 0, Tra.RODZAJ, nullptr},
      {'C', 2, 2, 0, g_show.series, nullptr},
      {'C', 16, 16, 0, g_show.number, nullptr},
      {'C', 26, 26, 0, Kon.NAZWA, nullptr},
      {'N', 10, 10, 2, &Tra.SUMA, nullptr}},
     0,
     0,
     TransactionRelated,
     TransactionRow,
     TransactionSummary,
     MatchesWithRelated<TransactionMatches>},
};

}  // namespace

void RegisterRecordViews() {
  for (int v = 0; v < kViewCount; ++v) set_record_view(v, &kViews[v]);
}
