// The text search matchers: the texts of a record, in the order the search tries them, with
// numbers formatted as the record forms show them.
#include <cstring>
#include <string>

#include "business/options.h"
#include "business/prices.h"
#include "business/vat.h"
#include "common/date.h"
#include "common/text.h"
#include "db/records.h"
#include "db/schema.h"
#include "ui/codepage.h"
#include "ui/number_format.h"
#include "ui/record_list.h"
#include "ui/record_search.h"

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

std::string Date(DATE d) { return DateToDisplay(d); }

// Names of the document kinds by their stored two-letter code.
struct DOCUMENT_NAME {
  const char* code;
  const char* name;
};
const DOCUMENT_NAME kDocumentNames[] = {
    {"PZ", "Dowód przyjęcia zewnętrznego"_pl}, {"PW", "Dowód przyjęcia wewnętrznego"_pl},
    {"PM", "Dowód przyjęcia z magazynu"_pl},   {"WZ", "Dowód wydania zewnętrznego"_pl},
    {"WW", "Dowód wydania wewnętrznego"_pl},   {"WM", "Dowód wydania do magazynu"_pl},
    {"FV", "Faktura VAT"},                     {"FR", "Faktura VAT RR"},
    {"RU", "Rachunek"},                        {"PA", "Paragon"},
    {"ZF", "Faktura VAT (korekta)"},           {"ZR", "Rachunek (korekta)"},
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
      m.Has(Date(Tow.DATAPRZEC)))
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
  const char* kind = Tra.RODZAJ[0] == 'D' ? "przychód"_pl : Tra.RODZAJ[0] == 'S' ? "rozchód"_pl : "";
  if (m.Has(kind) || m.Has(Date(Tra.DATATRA)) || m.Has(DocumentName(Tra.DOKMAGTYP)) ||
      m.Has(CodeAndNumber(Tra.DOKMAGTYP, Tra.DOKMAGNR)) || m.Has(DocumentName(Tra.DOKTRATYP)) ||
      m.Has(CodeAndNumber(Tra.DOKTRATYP, Tra.DOKTRANR)) || m.Has(Amount(Tra.SUMA - Tra.VAT, 2, zl)) ||
      m.Has(Amount(Tra.VAT, 2, zl)) || m.Has(Amount(Tra.SUMA, 2, zl)) ||
      m.Has(Amount(Tra.GOT, 2, zl)) || m.Has(Amount(Tra.CZK, 2, zl)) ||
      m.Has(Amount(Tra.PRZ, 2, zl)) || m.Has(Amount(Tra.PRZTERMIN, 0, "dni")) ||
      m.Has(Date(Tra.PRZZAPLAC)) || m.Has(Amount(Tra.PRZODSETKI, 2, zl)) ||
      m.Has(Amount(Tra.ODR, 2, zl)) || m.Has(Amount(Tra.ODRTERMIN, 0, "dni")) ||
      m.Has(Date(Tra.ODRZAPLAC)) || m.Has(Amount(Tra.ODRODSETKI, 2, zl)) || m.Has(Tra.UWAGI))
    return true;
  if (skip_related) return false;
  if (Tra.KONID.IsZero() || FindById(kTableContractors, Tra.KONID) != 0) return false;
  return ContractorMatches(m);
}

}  // namespace

bool record_matches(int view, const char* text, bool match_case, bool whole_words,
                    bool skip_related) {
  if (!text || !*text) return false;
  const MATCHER m{text, match_case, whole_words};
  switch (view) {
    case kViewGroups: return GroupMatches(m);
    case kViewGoods: return GoodsMatches(m, skip_related);
    case kViewContractors: return ContractorMatches(m);
    case kViewTransactions: return TransactionMatches(m, skip_related);
    default: return false;
  }
}
