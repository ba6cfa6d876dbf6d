// The five tables of the database: their record structures (one global structure per table,
// through which every record is read and written), fields, indexes and key builders.
//
//   TableOpen(kTableGoods, &TABLE_DEFS[kTableGoods]);
//   Tow.ID = AMOUNT::FromInt(7); ...; TableAppend(kTableGoods);
//
// Identifiers are whole numbers held as AMOUNTs; 1 is the first and 0 means none. Text fields
// hold length + 1 bytes in the data code page.
#pragma once

#include <cstdint>

#include "common/amount.h"
#include "common/date.h"
#include "db/table_def.h"

enum TableNumber {
  kTableGroups = 0,
  kTableGoods = 1,
  kTableContractors = 2,
  kTableTransactions = 3,
  kTablePositions = 4,
};
inline constexpr int kSchemaTableCount = 5;

struct GTO_RECORD {  // "GRUPY TOWARÓW", Gto.dbf
  AMOUNT ID;
  char NAZWA[51];
  int32_t WOFERCIE;
  char UWAGI[51];
  char UWAGI2[51];
};

struct TOW_RECORD {  // "TOWARY", Tow.dbf
  AMOUNT ID;
  char NAZWA[51];
  char OPIS[51];
  char NR[21];
  char EAN[21];
  AMOUNT GTOID;
  char RODZAJ[2];
  char SWW[21];
  char JMIARY[6];
  AMOUNT OPAKOWANIE;
  AMOUNT STANMIN;
  AMOUNT STANMAX;
  AMOUNT STAN;
  AMOUNT VATID;
  AMOUNT MARZA;
  AMOUNT CENA;
  AMOUNT RABAT;
  AMOUNT MARZA2;
  AMOUNT CENA2;
  AMOUNT RABAT2;
  AMOUNT MARZA3;
  AMOUNT CENA3;
  AMOUNT RABAT3;
  DATE DATAPRZEC;
  int32_t WOFERCIE;
  char UWAGI[51];
  char UWAGI2[51];
};

struct KON_RECORD {  // "KONTRAHENCI", Kon.dbf
  AMOUNT ID;
  char NAZWA[51];
  char NAZWA2[51];
  char ADRES[51];
  char MIASTO[31];
  char KOD[7];
  char TELEFON[51];
  char FAX[51];
  char BANK[51];
  char KONTO[51];
  char NIP[31];
  char REGON[51];
  char ZEZWOLENIE[51];
  char DOWOD[21];
  char REPREZENT[51];
  AMOUNT CENAID;
  AMOUNT RABAT;
  char DOKTRATYP[3];
  int32_t ZAOKRNETTO;
  AMOUNT FPLATID;
  AMOUNT TERMIN;
  AMOUNT SALDO;
  char UWAGI[51];
  char UWAGI2[51];
};

struct TRA_RECORD {  // "TRANSAKCJE", Tra.dbf
  AMOUNT ID;
  char RODZAJ[2];
  AMOUNT KONID;
  AMOUNT PRAID;
  DATE DATAMAG;
  char DOKMAGTYP[3];
  char DOKMAGNR[21];
  DATE DATATRA;
  char DOKTRATYP[3];
  char DOKTRANR[21];
  int32_t DOKFISKAL;
  int32_t ZAOKRNETTO;
  AMOUNT LPOZ;
  AMOUNT SUMA;
  AMOUNT VAT;
  AMOUNT GOT;
  AMOUNT CZK;
  AMOUNT PRZ;
  AMOUNT PRZTERMIN;
  AMOUNT ODR;
  AMOUNT ODRTERMIN;
  DATE PRZZAPLAC;
  AMOUNT PRZODSETKI;
  DATE ODRZAPLAC;
  AMOUNT ODRODSETKI;
  char UWAGI[51];
  char UWAGI2[51];
};

struct POZ_RECORD {  // "POZYCJE", Poz.dbf
  char RODZAJ[2];
  DATE DATAMAG;
  DATE DATATRA;
  AMOUNT TRAID;
  AMOUNT KONID;
  AMOUNT PRAID;
  AMOUNT TOWID;
  AMOUNT ILOSC;
  AMOUNT VATID;
  AMOUNT CENA;
  AMOUNT RABAT;
};

// The global record structures.
extern GTO_RECORD Gto;
extern TOW_RECORD Tow;
extern KON_RECORD Kon;
extern TRA_RECORD Tra;
extern POZ_RECORD Poz;

extern const TABLEDEF TABLE_DEFS[kSchemaTableCount];

struct TABLEINFO {
  const char* title;  // as shown to the user
  int default_index;
  int related[2];  // tables re-read with this one when a list refreshes; -1 none
  int related_count;
};
extern const TABLEINFO TABLE_INFO[kSchemaTableCount];

// The text of an identifier as the ID indexes hold it ("%9.0f").
void IdKey(AMOUNT id, char* out10);
// The first run of digits of a document number, right-aligned in 20 (blanks when none).
void DocumentDigitsKey(const char* number, char* out21);

// Empties all five structures.
void ClearRecords();
