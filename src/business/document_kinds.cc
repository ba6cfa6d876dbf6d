#include "business/document_kinds.h"

#include "common/text.h"

const DOCUMENT_KIND DOCUMENT_KINDS[kDocumentKindCount] = {
    {"", "", false, false, false},
    {"PZ", "Dowód przyjęcia zewnętrznego"_pl, true, false, false},
    {"PW", "Dowód przyjęcia wewnętrznego"_pl, true, true, false},
    {"PM", "Dowód przyjęcia z magazynu"_pl, true, true, false},
    {"WZ", "Dowód wydania zewnętrznego"_pl, true, false, false},
    {"WW", "Dowód wydania wewnętrznego"_pl, true, true, false},
    {"WM", "Dowód wydania do magazynu"_pl, true, true, false},
    {"FV", "Faktura VAT", false, false, false},
    {"FR", "Faktura VAT RR", false, false, false},
    {"RU", "Rachunek", false, false, false},
    {"PA", "Paragon", false, false, false},
    {"ZF", "Faktura VAT (korekta)", false, false, true},
    {"ZR", "Rachunek (korekta)", false, false, true},
    {"ZP", "Paragon (korekta)", false, false, true},
};

int DocumentKindByCode(std::string_view code) {
  while (!code.empty() && code.back() == ' ') code.remove_suffix(1);
  if (code.empty()) return 0;
  for (int k = 1; k < kDocumentKindCount; ++k)
    if (code == DOCUMENT_KINDS[k].code) return k;
  return 0;
}

const char* TransactionKindName(char code) {
  if (code == 'D') return "przychód"_pl;
  if (code == 'S') return "rozchód"_pl;
  return "";
}
