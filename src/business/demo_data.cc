#include "business/demo_data.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "business/prices.h"
#include "business/stock.h"
#include "common/text.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"

namespace {

struct SampleGoods {
  const char* name;
  const char* description;
  double price;  // gross sale price
};

const SampleGoods kFlowers[12] = {
    {"Anturium", "czerwone, 60 cm", 7.38},
    {"Gerbera", "mix kolorów", 4.92},
    {"Goździk", "biały", 3.69},
    {"Róża czerwona", "70 cm", 8.61},
    {"Tulipan", "żółty", 2.46},
    {"Frezja", "pachnąca", 4.31},
    {"Lilia", "orientalna", 12.30},
    {"Storczyk", "w doniczce", 36.90},
    {"Chryzantema", "gałązkowa", 6.15},
    {"Hortensja", "niebieska", 24.60},
    {"Słonecznik", "45 cm", 5.54},
    {"Kalia", "biała", 9.84},
};

const SampleGoods kSpirits[4] = {
    {"Baccardi", "rum 0,7 l", 73.80},
    {"Wódka żytnia", "0,5 l", 36.90},
    {"Koniak", "0,7 l", 147.60},
    {"Wino czerwone", "wytrawne 0,75 l", 29.52},
};

struct SampleContractor {
  const char* name;
  const char* address;
  const char* town;
  const char* code;
  const char* person;
  const char* document;
};

const SampleContractor kContractors[5] = {
    {"Inwentaryzacja", "ul. Magazynowa 1", "Kraków", "30-001", "Anna Kowalczyk", "FV"},
    {"Sprzedaż detaliczna", "ul. Floriańska 12", "Kraków", "31-019", "Piotr Nowak", "PA"},
    {"Dostawca kwiatów", "ul. Ogrodnicza 7", "Skierniewice", "96-100", "Maria Wiśniewska", "FV"},
    {"Dostawca alkoholi", "al. Jerozolimskie 181", "Warszawa", "02-222", "Tomasz Zieliński", "FV"},
    {"Hurtownia Kwiat-Pol s.c.", "ul. Długa 45", "Gdańsk", "80-827", "Katarzyna Lewandowska", "FV"},
};

void Copy(char* dst, size_t size, const char* utf8) {
  std::snprintf(dst, size, "%s", Utf8ToCp1250(utf8).c_str());
}

int AddGroups() {
  const char* names[3] = {"Kwiaty", "Alkohole", "Inne"};
  for (int i = 0; i < 3; ++i) {
    Gto = GTO_RECORD{};
    Gto.ID = AMOUNT::FromInt(i + 1);
    Copy(Gto.NAZWA, sizeof Gto.NAZWA, names[i]);
    Gto.WOFERCIE = 1;
    if (TableAppend(kTableGroups) != 0) return -1;
  }
  return 0;
}

int AddGoods(DATE today) {
  for (int i = 0; i < 16; ++i) {
    bool flower = i < 12;
    const SampleGoods& g = flower ? kFlowers[i] : kSpirits[i - 12];
    Tow = TOW_RECORD{};
    Tow.ID = AMOUNT::FromInt(i + 1);
    Copy(Tow.NAZWA, sizeof Tow.NAZWA, g.name);
    Copy(Tow.OPIS, sizeof Tow.OPIS, g.description);
    std::snprintf(Tow.NR, sizeof Tow.NR, "%s%04d", flower ? "KW" : "AL", flower ? i + 1 : i - 11);
    // A Polish EAN-13 for the labels and the scanner: 590 1234 00 and the identifier.
    std::string ean = "5901234000" + std::to_string(100 + i + 1).substr(1);
    UpdateEanCheckDigit(&ean);
    std::snprintf(Tow.EAN, sizeof Tow.EAN, "%s", ean.c_str());
    Tow.GTOID = AMOUNT::FromInt(flower ? 1 : 2);
    Tow.RODZAJ[0] = 'P';
    std::snprintf(Tow.JMIARY, sizeof Tow.JMIARY, "szt.");
    Tow.OPAKOWANIE = AMOUNT::FromInt(1);
    Tow.VATID = AMOUNT::FromInt(12);
    Tow.MARZA = AMOUNT::FromInt(50);
    Tow.CENA = AMOUNT::FromDouble(g.price);
    Tow.DATAPRZEC = today;
    Tow.WOFERCIE = 1;
    if (TableAppend(kTableGoods) != 0) return -1;
  }
  return 0;
}

int AddContractors() {
  for (int i = 0; i < 5; ++i) {
    const SampleContractor& c = kContractors[i];
    int id = i + 2;
    Kon = KON_RECORD{};
    Kon.ID = AMOUNT::FromInt(id);
    Copy(Kon.NAZWA, sizeof Kon.NAZWA, c.name);
    Copy(Kon.ADRES, sizeof Kon.ADRES, c.address);
    Copy(Kon.MIASTO, sizeof Kon.MIASTO, c.town);
    Copy(Kon.KOD, sizeof Kon.KOD, c.code);
    Copy(Kon.REPREZENT, sizeof Kon.REPREZENT, c.person);
    std::snprintf(Kon.NIP, sizeof Kon.NIP, "%03d-000-00-00", id);
    std::snprintf(Kon.DOKTRATYP, sizeof Kon.DOKTRATYP, "%s", c.document);
    Kon.CENAID = AMOUNT::FromInt(1);
    if (TableAppend(kTableContractors) != 0) return -1;
  }
  return 0;
}

// One transaction with its positions: goods first..last (1-based), quantity each.
int AddTransaction(int id, char kind, int contractor, int number, bool sales_document, DATE date,
                   const int* goods, const int* quantities, int count) {
  Tra = TRA_RECORD{};
  Tra.ID = AMOUNT::FromInt(id);
  Tra.RODZAJ[0] = kind;
  Tra.KONID = AMOUNT::FromInt(contractor);
  Tra.DATAMAG = date;
  Tra.DATATRA = date;
  std::snprintf(Tra.DOKMAGTYP, sizeof Tra.DOKMAGTYP, "%s", kind == 'D' ? "PZ" : "WZ");
  std::snprintf(Tra.DOKMAGNR, sizeof Tra.DOKMAGNR, "%06d", number);
  if (sales_document) {
    std::snprintf(Tra.DOKTRATYP, sizeof Tra.DOKTRATYP, "FV");
    std::snprintf(Tra.DOKTRANR, sizeof Tra.DOKTRANR, "%06d", number);
  }
  if (TableAppend(kTableTransactions) != 0) return -1;
  TRA_RECORD transaction = Tra;
  for (int i = 0; i < count; ++i) {
    if (FindById(kTableGoods, AMOUNT::FromInt(goods[i])) != 0) return -1;
    Poz = POZ_RECORD{};
    Poz.RODZAJ[0] = kind;
    Poz.DATAMAG = date;
    Poz.DATATRA = date;
    Poz.TRAID = transaction.ID;
    Poz.KONID = transaction.KONID;
    Poz.TOWID = Tow.ID;
    Poz.ILOSC = AMOUNT::FromInt(quantities[i]);
    Poz.VATID = Tow.VATID;
    Poz.CENA = Tow.CENA;
    if (TableAppend(kTablePositions) != 0) return -1;
    if (ApplyStockChange(Poz.TOWID, Poz.ILOSC, kind) != 0) return -1;
  }
  if (FindById(kTableTransactions, transaction.ID) != 0) return -1;
  return RecalculateTransaction();
}

int AddTransactions(DATE today) {
  DATE yesterday = today - 1;
  int all[16], hundred[16];
  for (int i = 0; i < 16; ++i) {
    all[i] = i + 1;
    hundred[i] = 100;
  }
  if (AddTransaction(1, 'D', 2, 1, false, yesterday, all, hundred, 16) != 0) return -1;
  if (AddTransaction(2, 'D', 4, 2, true, yesterday, all, hundred, 12) != 0) return -1;
  if (AddTransaction(3, 'D', 5, 3, true, yesterday, all + 12, hundred, 4) != 0) return -1;
  const int sold[2] = {1, 13};
  const int sold_qty[2] = {10, 1};
  return AddTransaction(4, 'S', 6, 1, true, today, sold, sold_qty, 2);
}

}  // namespace

int CreateDemoDatabase() {
  if (LockAllTables(true) != 0) return -1;
  DATE today = DateToday();
  int rc = AddGroups();
  if (rc == 0) rc = AddGoods(today);
  if (rc == 0) rc = AddContractors();
  if (rc == 0) rc = AddTransactions(today);
  UnlockAllTables();
  return rc;
}
