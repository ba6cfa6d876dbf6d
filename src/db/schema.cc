#include "db/schema.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "common/codepage.h"
#include "common/text.h"

GTO_RECORD Gto;
TOW_RECORD Tow;
KON_RECORD Kon;
TRA_RECORD Tra;
POZ_RECORD Poz;

#define F(S, NAME, TYPE, LEN, DEC) \
  { #NAME, TYPE, LEN, DEC, offsetof(S, NAME) }

namespace {

const FIELDDEF kGtoFields[] = {
    F(GTO_RECORD, ID, 'N', 9, 0),       F(GTO_RECORD, NAZWA, 'C', 50, 0),
    F(GTO_RECORD, WOFERCIE, 'L', 1, 0), F(GTO_RECORD, UWAGI, 'C', 50, 0),
    F(GTO_RECORD, UWAGI2, 'C', 50, 0),
};

const FIELDDEF kTowFields[] = {
    F(TOW_RECORD, ID, 'N', 9, 0),       F(TOW_RECORD, NAZWA, 'C', 50, 0),
    F(TOW_RECORD, OPIS, 'C', 50, 0),    F(TOW_RECORD, NR, 'C', 20, 0),
    F(TOW_RECORD, EAN, 'C', 20, 0),     F(TOW_RECORD, GTOID, 'N', 9, 0),
    F(TOW_RECORD, RODZAJ, 'C', 1, 0),   F(TOW_RECORD, SWW, 'C', 20, 0),
    F(TOW_RECORD, JMIARY, 'C', 5, 0),   F(TOW_RECORD, OPAKOWANIE, 'N', 14, 4),
    F(TOW_RECORD, STANMIN, 'N', 14, 4), F(TOW_RECORD, STANMAX, 'N', 14, 4),
    F(TOW_RECORD, STAN, 'N', 14, 4),    F(TOW_RECORD, VATID, 'N', 2, 0),
    F(TOW_RECORD, MARZA, 'N', 8, 2),    F(TOW_RECORD, CENA, 'N', 12, 2),
    F(TOW_RECORD, RABAT, 'N', 8, 2),    F(TOW_RECORD, MARZA2, 'N', 8, 2),
    F(TOW_RECORD, CENA2, 'N', 12, 2),   F(TOW_RECORD, RABAT2, 'N', 8, 2),
    F(TOW_RECORD, MARZA3, 'N', 8, 2),   F(TOW_RECORD, CENA3, 'N', 12, 2),
    F(TOW_RECORD, RABAT3, 'N', 8, 2),   F(TOW_RECORD, DATAPRZEC, 'D', 8, 0),
    F(TOW_RECORD, WOFERCIE, 'L', 1, 0), F(TOW_RECORD, UWAGI, 'C', 50, 0),
    F(TOW_RECORD, UWAGI2, 'C', 50, 0),
};

const FIELDDEF kKonFields[] = {
    F(KON_RECORD, ID, 'N', 9, 0),          F(KON_RECORD, NAZWA, 'C', 50, 0),
    F(KON_RECORD, NAZWA2, 'C', 50, 0),     F(KON_RECORD, ADRES, 'C', 50, 0),
    F(KON_RECORD, MIASTO, 'C', 30, 0),     F(KON_RECORD, KOD, 'C', 6, 0),
    F(KON_RECORD, TELEFON, 'C', 50, 0),    F(KON_RECORD, FAX, 'C', 50, 0),
    F(KON_RECORD, BANK, 'C', 50, 0),       F(KON_RECORD, KONTO, 'C', 50, 0),
    F(KON_RECORD, NIP, 'C', 30, 0),        F(KON_RECORD, REGON, 'C', 50, 0),
    F(KON_RECORD, ZEZWOLENIE, 'C', 50, 0), F(KON_RECORD, DOWOD, 'C', 20, 0),
    F(KON_RECORD, REPREZENT, 'C', 50, 0),  F(KON_RECORD, CENAID, 'N', 2, 0),
    F(KON_RECORD, RABAT, 'N', 8, 2),       F(KON_RECORD, DOKTRATYP, 'C', 2, 0),
    F(KON_RECORD, ZAOKRNETTO, 'L', 1, 0),  F(KON_RECORD, FPLATID, 'N', 2, 0),
    F(KON_RECORD, TERMIN, 'N', 4, 0),      F(KON_RECORD, SALDO, 'N', 12, 2),
    F(KON_RECORD, UWAGI, 'C', 50, 0),      F(KON_RECORD, UWAGI2, 'C', 50, 0),
};

const FIELDDEF kTraFields[] = {
    F(TRA_RECORD, ID, 'N', 9, 0),          F(TRA_RECORD, RODZAJ, 'C', 1, 0),
    F(TRA_RECORD, KONID, 'N', 9, 0),       F(TRA_RECORD, PRAID, 'N', 9, 0),
    F(TRA_RECORD, DATAMAG, 'D', 8, 0),     F(TRA_RECORD, DOKMAGTYP, 'C', 2, 0),
    F(TRA_RECORD, DOKMAGNR, 'C', 20, 0),   F(TRA_RECORD, DATATRA, 'D', 8, 0),
    F(TRA_RECORD, DOKTRATYP, 'C', 2, 0),   F(TRA_RECORD, DOKTRANR, 'C', 20, 0),
    F(TRA_RECORD, DOKFISKAL, 'L', 1, 0),   F(TRA_RECORD, ZAOKRNETTO, 'L', 1, 0),
    F(TRA_RECORD, LPOZ, 'N', 9, 0),        F(TRA_RECORD, SUMA, 'N', 12, 2),
    F(TRA_RECORD, VAT, 'N', 12, 2),        F(TRA_RECORD, GOT, 'N', 12, 2),
    F(TRA_RECORD, CZK, 'N', 12, 2),        F(TRA_RECORD, PRZ, 'N', 12, 2),
    F(TRA_RECORD, PRZTERMIN, 'N', 4, 0),   F(TRA_RECORD, ODR, 'N', 12, 2),
    F(TRA_RECORD, ODRTERMIN, 'N', 4, 0),   F(TRA_RECORD, PRZZAPLAC, 'D', 8, 0),
    F(TRA_RECORD, PRZODSETKI, 'N', 12, 2), F(TRA_RECORD, ODRZAPLAC, 'D', 8, 0),
    F(TRA_RECORD, ODRODSETKI, 'N', 12, 2), F(TRA_RECORD, UWAGI, 'C', 50, 0),
    F(TRA_RECORD, UWAGI2, 'C', 50, 0),
};

const FIELDDEF kPozFields[] = {
    F(POZ_RECORD, RODZAJ, 'C', 1, 0),  F(POZ_RECORD, DATAMAG, 'D', 8, 0),
    F(POZ_RECORD, DATATRA, 'D', 8, 0), F(POZ_RECORD, TRAID, 'N', 9, 0),
    F(POZ_RECORD, KONID, 'N', 9, 0),   F(POZ_RECORD, PRAID, 'N', 9, 0),
    F(POZ_RECORD, TOWID, 'N', 9, 0),   F(POZ_RECORD, ILOSC, 'N', 14, 4),
    F(POZ_RECORD, VATID, 'N', 2, 0),   F(POZ_RECORD, CENA, 'N', 12, 2),
    F(POZ_RECORD, RABAT, 'N', 8, 2),
};

#undef F

// Keys are printed into a buffer of the key length plus one; the table layer cuts them.
double D(AMOUNT a) { return a.ToDouble(); }

// Group keys.
void GtoKey0(const void* r, char* k) { IdKey(static_cast<const GTO_RECORD*>(r)->ID, k); }
void GtoKey1(const void* r, char* k) {
  std::snprintf(k, 51, "%s", static_cast<const GTO_RECORD*>(r)->NAZWA);
  text_to_upper(k);
}

// Goods keys.
const TOW_RECORD& T(const void* r) { return *static_cast<const TOW_RECORD*>(r); }
void TowKey0(const void* r, char* k) { IdKey(T(r).ID, k); }
void TowKey1(const void* r, char* k) {
  std::snprintf(k, 51, "%s", T(r).NAZWA);
  text_to_upper(k);
}
void TowKey2(const void* r, char* k) {
  std::snprintf(k, 60, "%9.0f%s", D(T(r).GTOID), T(r).NAZWA);
  text_to_upper(k);
}
void TowKey3(const void* r, char* k) {
  std::snprintf(k, 21, "%s", T(r).NR);
  text_to_upper(k);
}
void TowKey4(const void* r, char* k) {
  std::snprintf(k, 30, "%9.0f%s", D(T(r).GTOID), T(r).NR);
  text_to_upper(k);
}
void TowKey5(const void* r, char* k) {
  std::snprintf(k, 21, "%s", T(r).EAN);
  text_to_upper(k);
}

// Contractor keys.
const KON_RECORD& K(const void* r) { return *static_cast<const KON_RECORD*>(r); }
void KonKey0(const void* r, char* k) { IdKey(K(r).ID, k); }
void KonKey1(const void* r, char* k) {
  std::snprintf(k, 51, "%s", K(r).NAZWA);
  text_to_upper(k);
}
void KonKey2(const void* r, char* k) {
  std::snprintf(k, 14, "%.13s", K(r).NIP);
  text_to_upper(k);
}
void KonKey3(const void* r, char* k) {
  std::snprintf(k, 81, "%-30s%-50s", K(r).MIASTO, K(r).NAZWA);
  text_to_upper(k);
}

// Transaction keys.
const TRA_RECORD& R(const void* r) { return *static_cast<const TRA_RECORD*>(r); }
void TraKey0(const void* r, char* k) { IdKey(R(r).ID, k); }
void TraKey1(const void* r, char* k) {
  DateParts d = DateToYmd(R(r).DATATRA);
  std::snprintf(k, 19, "%04u%02u%02u%c%9.0f", d.year, d.month, d.day, R(r).RODZAJ[0], D(R(r).ID));
}
void TraKey2(const void* r, char* k) {
  DateParts d = DateToYmd(R(r).DATATRA);
  std::snprintf(k, 28, "%9.0f%04u%02u%02u%c%9.0f", D(R(r).KONID), d.year, d.month, d.day,
                R(r).RODZAJ[0], D(R(r).ID));
}
void TraDocKey(const TRA_RECORD& t, const char* code, const char* number, char* k) {
  char digits[21];
  DocumentDigitsKey(number, digits);
  std::snprintf(k, 28, "%04u%c%-2s%20s", DateToYmd(t.DATATRA).year, t.RODZAJ[0], code, digits);
}
void TraKey3(const void* r, char* k) { TraDocKey(R(r), R(r).DOKTRATYP, R(r).DOKTRANR, k); }
void TraKey4(const void* r, char* k) { TraDocKey(R(r), R(r).DOKMAGTYP, R(r).DOKMAGNR, k); }

// Position keys.
const POZ_RECORD& P(const void* r) { return *static_cast<const POZ_RECORD*>(r); }
void PozKey0(const void* r, char* k) { IdKey(P(r).TRAID, k); }
void PozKey1(const void* r, char* k) {
  DateParts d = DateToYmd(P(r).DATATRA);
  std::snprintf(k, 28, "%9.0f%04u%02u%02u%c%9.0f", D(P(r).TOWID), d.year, d.month, d.day,
                P(r).RODZAJ[0], D(P(r).TRAID));
}
void PozKey2(const void* r, char* k) {
  DateParts d = DateToYmd(P(r).DATATRA);
  std::snprintf(k, 37, "%9.0f%9.0f%04u%02u%02u%c%9.0f", D(P(r).KONID), D(P(r).TOWID), d.year,
                d.month, d.day, P(r).RODZAJ[0], D(P(r).TRAID));
}

const int kGtoKeys[] = {10, 51};
const int kTowKeys[] = {10, 51, 60, 21, 30, 21};
const int kKonKeys[] = {10, 51, 14, 81};
const int kTraKeys[] = {10, 19, 28, 28, 28};
const int kPozKeys[] = {10, 28, 37};
const KEYBUILDER kGtoBuilders[] = {GtoKey0, GtoKey1};
const KEYBUILDER kTowBuilders[] = {TowKey0, TowKey1, TowKey2, TowKey3, TowKey4, TowKey5};
const KEYBUILDER kKonBuilders[] = {KonKey0, KonKey1, KonKey2, KonKey3};
const KEYBUILDER kTraBuilders[] = {TraKey0, TraKey1, TraKey2, TraKey3, TraKey4};
const KEYBUILDER kPozBuilders[] = {PozKey0, PozKey1, PozKey2};

}  // namespace

const TABLEDEF TABLE_DEFS[kSchemaTableCount] = {
    {"Gto.dbf", 5, kGtoFields, &Gto, sizeof Gto, "Gto.inx", 2, kGtoKeys, kGtoBuilders},
    {"Tow.dbf", 27, kTowFields, &Tow, sizeof Tow, "Tow.inx", 6, kTowKeys, kTowBuilders},
    {"Kon.dbf", 24, kKonFields, &Kon, sizeof Kon, "Kon.inx", 4, kKonKeys, kKonBuilders},
    {"Tra.dbf", 27, kTraFields, &Tra, sizeof Tra, "Tra.inx", 5, kTraKeys, kTraBuilders},
    {"Poz.dbf", 11, kPozFields, &Poz, sizeof Poz, "Poz.inx", 3, kPozKeys, kPozBuilders},
};

const TABLEINFO TABLE_INFO[kSchemaTableCount] = {
    {"GRUPY TOWARÓW"_pl, 1, {-1, -1}, 0},
    {"TOWARY", 1, {0, -1}, 1},
    {"KONTRAHENCI", 1, {-1, -1}, 0},
    {"TRANSAKCJE", 1, {2, -1}, 1},
    {"POZYCJE", 1, {3, 1}, 2},
};

void IdKey(AMOUNT id, char* out10) { std::snprintf(out10, 10, "%9.0f", id.ToDouble()); }

void DocumentDigitsKey(const char* number, char* out21) {
  const char* p = number;
  while (*p && !(*p >= '0' && *p <= '9')) ++p;
  size_t n = 0;
  while (p[n] >= '0' && p[n] <= '9') ++n;
  std::snprintf(out21, 21, "%20.*s", static_cast<int>(n > 20 ? 20 : n), p);
}

void ClearRecords() {
  Gto = GTO_RECORD{};
  Tow = TOW_RECORD{};
  Kon = KON_RECORD{};
  Tra = TRA_RECORD{};
  Poz = POZ_RECORD{};
}
