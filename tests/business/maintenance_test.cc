// Database maintenance over the demonstration database: the check finds each fault it names,
// repairs it or, told not to, changes nothing; deletion keeps what it promises; an export imported
// twice replaces instead of doubling; old databases convert with their Mazovia texts.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "business/contractor_parent.h"
#include "business/demo_data.h"
#include "business/maintenance.h"
#include "business/options.h"
#include "business/stock.h"
#include "common/codepage.h"
#include "common/text.h"
#include "db/dbtable.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "platform/cfile.h"
#include "platform/inifile.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

class REPORT : public CHECK_OUTPUT {
 public:
  void Line(const std::string& text) override { lines.push_back(Cp1250ToUtf8(text)); }
  int Ask(const std::string&) override {
    return asked < answers.size() ? answers[asked++] : kAnswerNo;
  }
  std::vector<std::string> lines;
  std::vector<int> answers;
  size_t asked = 0;
};

std::string Today() { return DateToDisplay(DateToday()); }
std::string Yesterday() { return DateToDisplay(DateToday() - 1); }

long Count(int table) { return TableCount(table); }

AMOUNT StockOf(int id) {
  EXPECT_EQ(FindById(kTableGoods, AMOUNT::FromInt(id)), 0);
  return Tow.STAN;
}

class MaintenanceTest : public ::testing::Test {
 protected:
  MaintenanceTest() : dir(true) {}
  void SetUp() override {
    SetConfigPath(dir.File("Tamsu.ini"));
    MakeDemo("baza");
  }
  void TearDown() override {
    ResetTables();
    SetConfigPath("");
  }
  // The demonstration database with the parent company 1, open as the main tables.
  void MakeDemo(const std::string& name) {
    ResetTables();
    fs::remove_all(dir.File(name));
    fs::create_directory(dir.File(name));
    fs::current_path(dir.File(name));
    ASSERT_EQ(OpenDatabase(), 0);
    Kon = KON_RECORD{};
    Kon.ID = AMOUNT::FromInt(1);
    std::snprintf(Kon.NAZWA, sizeof Kon.NAZWA, "Moja firma");
    ASSERT_EQ(TableAppend(kTableContractors), 0);
    ASSERT_EQ(SetCompany(AMOUNT::FromInt(1)), 0);
    ASSERT_EQ(CreateDemoDatabase(), 0);
  }
  std::string Files() {
    std::string all;
    for (const TABLEDEF& d : TABLE_DEFS)
      all += ReadWholeFile(d.data_file) + ReadWholeFile(d.index_file);
    return all;
  }
  CHECK_RESULT Check(int mode, REPORT* report) {
    CHECK_CHOICES c;
    c.repair = mode;
    CHECK_RESULT r;
    CheckDatabase(c, *report, &r);
    return r;
  }
  TempDir dir;
};

// One sale of goods `goods` at a date and price, its stock applied and totals stored.
void AddSale(int id, DATE date, int goods, double quantity, double price) {
  Tra = TRA_RECORD{};
  Tra.ID = AMOUNT::FromInt(id);
  Tra.RODZAJ[0] = 'S';
  Tra.DATAMAG = Tra.DATATRA = date;
  ASSERT_EQ(TableAppend(kTableTransactions), 0);
  for (int twice = 0; twice < 2; ++twice) {
    Poz = POZ_RECORD{};
    Poz.RODZAJ[0] = 'S';
    Poz.DATAMAG = Poz.DATATRA = date;
    Poz.TRAID = Tra.ID;
    Poz.TOWID = AMOUNT::FromInt(goods);
    Poz.ILOSC = AMOUNT::FromDouble(quantity);
    Poz.CENA = AMOUNT::FromDouble(price);
    Poz.VATID = AMOUNT::FromInt(12);
    ASSERT_EQ(TableAppend(kTablePositions), 0);
    ASSERT_EQ(ApplyStockChange(Poz.TOWID, Poz.ILOSC, 'S'), 0);
  }
  ASSERT_EQ(FindById(kTableTransactions, AMOUNT::FromInt(id)), 0);
  ASSERT_EQ(RecalculateTransaction(), 0);
}

TEST_F(MaintenanceTest, TheCheckFindsEachFaultRepairsItOrChangesNothing) {
  struct CASE {
    const char* what;
    std::function<void()> damage;
    std::string line;  // the report line of the fault (UTF-8)
    bool repairable;
    std::function<void()> verify;  // after the repair
  };
  const CASE cases[] = {
      {"a position without its transaction",
       [] {
         ASSERT_EQ(FindById(kTableTransactions, AMOUNT::FromInt(4)), 0);
         ASSERT_EQ(TableDelete(kTableTransactions), 0);
       },
       "Pozycja \"" + Today() +
           " rozchód Anturium 10,00 x 7,38 zł\" nie należy do żadnej transakcji.",
       true,
       [] {
         ASSERT_EQ(FindById(kTableTransactions, AMOUNT::FromInt(4)), 0);
         EXPECT_STREQ(Tra.UWAGI, "Dodana automatycznie");
         EXPECT_EQ(Tra.SUMA, AMOUNT::FromDouble(147.60));  // the totals check put the sums back
       }},
      {"a position whose copies differ",
       [] {
         ASSERT_EQ(TableSetIndex(kTablePositions, 0), 0);
         char key[10];
         IdKey(AMOUNT::FromInt(2), key);
         ASSERT_EQ(TableSeek(kTablePositions, key), 0);
         Poz.DATATRA = DateToday() - 40;
         ASSERT_EQ(TableUpdate(kTablePositions), 0);
       },
       Yesterday() + ", przychód nr FV 000002: Pola pozycji niezgodne z transakcją.", true,
       nullptr},
      {"totals that differ",
       [] {
         ASSERT_EQ(FindById(kTableTransactions, AMOUNT::FromInt(3)), 0);
         Tra.SUMA += AMOUNT::FromInt(1);
         ASSERT_EQ(TableUpdate(kTableTransactions), 0);
       },
       Yesterday() + ", przychód nr FV 000003: Suma pozycji niezgodna z transakcją.", true,
       nullptr},
      {"a lost net-rounding flag",
       [] {
         AddSale(5, DateToday(), 3, 1,
                 0.12);  // two positions of 0.12 gross: 0.24 gross-first, 0.25 net-first
         ASSERT_EQ(FindById(kTableTransactions, AMOUNT::FromInt(5)), 0);
         Tra.ZAOKRNETTO = 1;
         ASSERT_EQ(TableUpdate(kTableTransactions), 0);
       },
       Today() + ", rozchód  nr    : Suma pozycji niezgodna z transakcją.", true,
       [] {
         ASSERT_EQ(FindById(kTableTransactions, AMOUNT::FromInt(5)), 0);
         EXPECT_EQ(Tra.ZAOKRNETTO, 0);
         EXPECT_EQ(Tra.SUMA, AMOUNT::FromDouble(0.24));
       }},
      {"stock taken below zero", [] { AddSale(6, DateToday() - 10, 2, 5, 4.92); },
       DateToDisplay(DateToday() - 10) +
           ", rozchód  nr    : Stan \"Gerbera\" zmniejszony poniżej zera.",
       false, nullptr},
      {"stored stock that differs",
       [] {
         ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(5)), 0);
         Tow.STAN = AMOUNT::FromInt(999);
         ASSERT_EQ(TableUpdate(kTableGoods), 0);
       },
       "Stan towaru \"Tulipan\" niezgodny z transakcjami.", true,
       [] { EXPECT_EQ(StockOf(5), AMOUNT::FromInt(200)); }},
  };
  for (const CASE& c : cases) {
    MakeDemo("baza");
    c.damage();
    const std::string damaged = Files();
    REPORT none;
    CHECK_RESULT r = Check(kRepairNone, &none);
    ASSERT_FALSE(none.lines.empty()) << c.what;
    EXPECT_EQ(none.lines[0], c.line) << c.what;
    EXPECT_EQ(r.repaired, 0u) << c.what;
    EXPECT_EQ(Files(), damaged) << c.what << ": \"Nie naprawiaj\" changed the files";

    REPORT fix;
    r = Check(kRepairAuto, &fix);
    ASSERT_FALSE(fix.lines.empty()) << c.what;
    EXPECT_EQ(fix.lines[0], c.repairable ? c.line + " Naprawione." : c.line) << c.what;
    if (c.verify) c.verify();
    REPORT again;
    r = Check(kRepairNone, &again);
    EXPECT_EQ(r.found, c.repairable ? 0u : 1u) << c.what;
  }
}

TEST_F(MaintenanceTest, AskingEachRepairCanBeStopped) {
  ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(5)), 0);
  Tow.STAN = AMOUNT::FromInt(999);
  ASSERT_EQ(TableUpdate(kTableGoods), 0);
  ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(6)), 0);
  Tow.STAN = AMOUNT::FromInt(998);
  ASSERT_EQ(TableUpdate(kTableGoods), 0);
  REPORT r;
  r.answers = {kAnswerNo, kAnswerStop};
  const CHECK_RESULT result = Check(kRepairAsk, &r);
  EXPECT_EQ(r.asked, 2u);
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(r.lines.back(), "Test przerwany.");
  EXPECT_EQ(StockOf(5), AMOUNT::FromInt(999));
}

TEST_F(MaintenanceTest, DeletionInItsThreeWays) {
  std::map<int, AMOUNT> stock;
  for (int id = 1; id <= 16; ++id) stock[id] = StockOf(id);
  ASSERT_EQ(DeleteTransactionsKeepingStock(DateToday()), 0);
  EXPECT_EQ(Count(kTableTransactions), 1);
  EXPECT_EQ(Count(kTablePositions), 16);
  ASSERT_EQ(TableFirst(kTableTransactions), 0);
  EXPECT_EQ(Tra.RODZAJ[0], 'D');
  EXPECT_EQ(Tra.ZAOKRNETTO, 1);
  for (int id = 1; id <= 16; ++id) EXPECT_EQ(StockOf(id), stock[id]) << id;
  REPORT report;
  EXPECT_EQ(Check(kRepairNone, &report).found, 0u);
  EXPECT_FALSE(fs::exists("~Poz.dbf"));

  ASSERT_EQ(DeleteTransactionsAndStock(), 0);
  EXPECT_EQ(Count(kTableTransactions), 0);
  EXPECT_EQ(Count(kTablePositions), 0);
  EXPECT_EQ(StockOf(13), AMOUNT());

  ASSERT_EQ(DeleteAllData(), 0);
  for (int t : {kTableGroups, kTableGoods, kTableTransactions, kTablePositions})
    EXPECT_EQ(Count(t), 0);
  EXPECT_EQ(Count(kTableContractors), 1);
  ASSERT_EQ(TableFirst(kTableContractors), 0);
  EXPECT_STREQ(Kon.NAZWA, "Moja firma");
}

TEST_F(MaintenanceTest, AnExportImportedTwiceReplacesInsteadOfDoubling) {
  EXCHANGE_OUTPUT quiet;
  const std::string exported = dir.File("baza/Export");
  fs::create_directory(exported);
  ASSERT_EQ(OpenExportTables(exported), 0);
  ASSERT_EQ(ExportTransactions(DateToday() - 1, DateToday(), quiet), 0);
  EXPECT_EQ(TableCount(kExportSlot + kTableTransactions), 4);
  EXPECT_EQ(TableCount(kExportSlot + kTablePositions), 34);
  EXPECT_EQ(TableCount(kExportSlot + kTableGoods), 16);
  CloseExportTables();

  // Another installation: its own firm and one goods numbered in small letters.
  MakeDemo("druga");
  ASSERT_EQ(DeleteAllData(), 0);
  Tow = TOW_RECORD{};
  Tow.ID = AMOUNT::FromInt(1);
  std::snprintf(Tow.NAZWA, sizeof Tow.NAZWA, "Anturium czerwone");
  std::snprintf(Tow.NR, sizeof Tow.NR, "kw0001");
  Tow.RODZAJ[0] = 'T';
  ASSERT_EQ(TableAppend(kTableGoods), 0);
  ASSERT_EQ(OpenExportTables(exported), 0);
  IMPORT_COUNTS first, second;
  ASSERT_EQ(ImportTransactions(DateToday() - 1, DateToday(), quiet, &first), 0);
  EXPECT_EQ(Cp1250ToUtf8(ImportCountsText(first)),
            "                    Dodanych  Uaktualnionych\n"
            "  Transakcji:              4               0\n"
            "Kontrahentów:              4               0\n"
            "     Towarów:             15               1\n"
            "Grup towarów:              2               0");
  EXPECT_EQ(Count(kTableGoods), 16);
  ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(1)), 0);
  EXPECT_STREQ(Tow.NR, "KW0001");  // the exported values over the matched goods
  EXPECT_EQ(Tow.STAN, AMOUNT::FromInt(190));
  ASSERT_EQ(ImportTransactions(DateToday() - 1, DateToday(), quiet, &second), 0);
  EXPECT_EQ(second.added[0], 0);
  EXPECT_EQ(second.updated[0], 4);
  EXPECT_EQ(second.added[2], 0);
  EXPECT_EQ(Count(kTableTransactions), 4);
  EXPECT_EQ(Count(kTablePositions), 34);
  EXPECT_EQ(Count(kTableContractors), 5);
  EXPECT_EQ(StockOf(1), AMOUNT::FromInt(190));
  REPORT report;
  EXPECT_EQ(Check(kRepairNone, &report).found, 0u);
  CloseExportTables();
}

// An old data file written from a layout like "ID N9, NAZWA C30": the fields, then records of
// field texts (numbers right-aligned, texts as the bytes given).
std::string OldFile(const std::string& layout,
                    const std::vector<std::map<std::string, std::string>>& records) {
  struct F {
    std::string name;
    char type;
    int length, decimals;
  };
  std::vector<F> fields;
  std::istringstream in(layout);
  std::string item;
  while (std::getline(in, item, ',')) {
    F f;
    char type_and_size[16];
    char name[16];
    EXPECT_EQ(std::sscanf(item.c_str(), " %15s %15s", name, type_and_size), 2) << item;
    f.name = name;
    f.type = type_and_size[0];
    f.decimals = 0;
    std::sscanf(type_and_size + 1, "%d.%d", &f.length, &f.decimals);
    fields.push_back(f);
  }
  int length = 1;
  for (const F& f : fields) length += f.length;
  std::string s(32, '\0');
  s[0] = 3;
  s[4] = static_cast<char>(records.size());
  const int header = 32 * static_cast<int>(fields.size()) + 33;
  s[8] = static_cast<char>(header & 0xFF);
  s[9] = static_cast<char>(header >> 8);
  s[10] = static_cast<char>(length & 0xFF);
  s[11] = static_cast<char>(length >> 8);
  for (const F& f : fields) {
    std::string d(32, '\0');
    d.replace(0, f.name.size(), f.name);
    d[11] = f.type;
    d[16] = static_cast<char>(f.length);
    d[17] = static_cast<char>(f.decimals);
    s += d;
  }
  s += '\x0D';
  for (const auto& r : records) {
    s += ' ';
    for (const F& f : fields) {
      auto it = r.find(f.name);
      std::string v = it == r.end() ? "" : it->second;
      if (f.type == 'N')
        v = std::string(
                static_cast<size_t>(f.length) - std::min(v.size(), static_cast<size_t>(f.length)),
                ' ') +
            v;
      v.resize(static_cast<size_t>(f.length), ' ');
      s += v;
    }
  }
  return s + '\x1A';
}

std::string Mazovia(const char* utf8) { return convert_string(10, 1, Utf8ToCp1250(utf8)); }

TEST_F(MaintenanceTest, AnOldDatabaseConvertsWithItsTextsAndStock) {
  const std::string old = dir.File("Tamsu0");
  fs::create_directory(old);
  EXPECT_EQ(CheckOldDirectory(dir.File("nie ma")), 1);
  EXPECT_EQ(CheckOldDirectory("."), 2);
  EXPECT_EQ(CheckOldDirectory(old), 3);
  // The old layouts, field by field.
  WriteWholeFile(old + "/Gto.dbf", OldFile("ID N9, NAZWA C30, UWAGI C50",
                                           {{{"ID", "1"}, {"NAZWA", Mazovia("Łódzkie kwiaty")}}}));
  WriteWholeFile(
      old + "/Tow.dbf",
      OldFile(
          "ID N9, SYMBOL C20, NAZWA C30, GTOID N9, RODZAJ C1, SWW C15, PACZKA N12.2, JEDNOSTKA C5, "
          "MARZA N3, CENA N12.2, RABAT N3, VATID N1, STANMIN N12.2, STAN N12.2, UWAGI C50",
          {{{"ID", "1"},
            {"SYMBOL", "5901234123457"},
            {"NAZWA", Mazovia("Róża")},
            {"GTOID", "1"},
            {"RODZAJ", "T"},
            {"PACZKA", "12.50"},
            {"JEDNOSTKA", "szt."},
            {"CENA", "8.61"},
            {"VATID", "2"},
            {"STAN", "999.00"},
            {"UWAGI", Mazovia("  świeża  ")}},
           {{"ID", "2"}, {"SYMBOL", "AB-12"}, {"NAZWA", "Tulipan"}, {"RODZAJ", "T"}}}));
  WriteWholeFile(
      old + "/Kon.dbf",
      OldFile("ID N9, NAZWA C50, ADRES C50, ADRES2 C50, MIASTO C30, KOD C6, TELEFON C50, FAX C20, "
              "TELEX C20, KONTO C50, DOKTRATYP C2, NIP C30, REGON C50, ZEZWOLENIE C50, DOWOD C20, "
              "REPREZENT C50, RABAT N3, UWAGI C50",
              {{{"ID", "1"},
                {"NAZWA", Mazovia("Hurtownia Żak")},
                {"ADRES2", "lok. 4"},
                {"FAX", "12 345"},
                {"TELEX", "999"},
                {"NIP", "123-456-78-90"},
                {"RABAT", "5"}}}));
  const std::string day = DateToStored(DateToday() - 3);
  WriteWholeFile(
      old + "/Tra.dbf",
      OldFile("ID N9, DATA D8, RODZAJ C1, KONID N9, DOKMAGTYP C2, DOKMAGNR C9, DOKTRATYP C2, "
              "DOKTRANR C9, "
              "SUMA N12.2, VAT N12.2, GOT N12.2, CZK N12.2, PRZ N12.2, PRZTERMIN N3, ODR N12.2, "
              "ODRTERMIN N3, "
              "PRZZAPLAC D8, PRZODSETKI N12.2, ODRZAPLAC D8, ODRODSETKI N12.2, UWAGI C50",
              {{{"ID", "1"},
                {"DATA", day},
                {"RODZAJ", "D"},
                {"KONID", "1"},
                {"DOKMAGTYP", "PZ"},
                {"DOKMAGNR", "1"}},
               {{"ID", "2"},
                {"DATA", day},
                {"RODZAJ", "S"},
                {"DOKTRATYP", "PA"},
                {"DOKTRANR", "7"},
                {"SUMA", "25.83"}}}));
  WriteWholeFile(old + "/Poz.dbf", OldFile("DATA D8, RODZAJ C1, TRAID N9, KONID N9, TOWID N9, "
                                           "ILOSC N12.2, CENA N12.2, VATID N1, RABAT N3",
                                           {{{"DATA", day},
                                             {"RODZAJ", "D"},
                                             {"TRAID", "1"},
                                             {"KONID", "1"},
                                             {"TOWID", "1"},
                                             {"ILOSC", "10.00"},
                                             {"CENA", "5.00"}},
                                            {{"DATA", day},
                                             {"RODZAJ", "S"},
                                             {"TRAID", "2"},
                                             {"TOWID", "1"},
                                             {"ILOSC", "3.00"},
                                             {"CENA", "8.61"}}}));
  WriteWholeFile(old + "/Tamsu.ini",
                 "[Tamsu]\nDocumentPlace=" + Mazovia("Łódź") + "\nConPLStandard=1\n");
  EXPECT_EQ(CheckOldDirectory(old), 0);

  KON_RECORD parent{};
  ASSERT_EQ(ParentCompany(&parent), 0);
  ASSERT_EQ(ConvertOldConfiguration(old, kVersion37), 0);
  EXPECT_EQ(DocumentPlace(), Utf8ToCp1250("Łódź"));
  int32_t standard = 0;
  INIFILE(ConfigPath()).GetInt("Tamsu", "ConPLStandard", &standard);
  EXPECT_EQ(standard, 2);

  CONVERT_OUTPUT quiet;
  ASSERT_EQ(Company(), AMOUNT());  // the old configuration names no firm
  ASSERT_EQ(ConvertOldTables(old, kVersion37, quiet, &parent), 0);
  ASSERT_EQ(FindById(kTableGroups, AMOUNT::FromInt(1)), 0);
  EXPECT_EQ(Cp1250ToUtf8(Gto.NAZWA), "Łódzkie kwiaty");
  EXPECT_EQ(Gto.WOFERCIE, 1);
  ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(1)), 0);
  EXPECT_EQ(Cp1250ToUtf8(Tow.NAZWA), "Róża");
  EXPECT_STREQ(Tow.EAN, "5901234123457");
  EXPECT_STREQ(Tow.NR, "");
  EXPECT_EQ(Cp1250ToUtf8(Tow.OPIS), "świeża");
  EXPECT_STREQ(Tow.JMIARY, "szt.");
  EXPECT_EQ(Tow.OPAKOWANIE, AMOUNT::FromDouble(12.5));
  EXPECT_EQ(Tow.STAN, AMOUNT::FromInt(7));  // counted from the positions, not the old 999
  ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(2)), 0);
  EXPECT_STREQ(Tow.NR, "AB-12");
  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(1)), 0);
  EXPECT_EQ(Cp1250ToUtf8(Kon.NAZWA), "Hurtownia Żak");
  EXPECT_STREQ(Kon.FAX, "12 345, 999");
  EXPECT_STREQ(Kon.UWAGI2, "lok. 4");
  EXPECT_EQ(Kon.RABAT, AMOUNT::FromInt(5));
  ASSERT_EQ(FindById(kTableTransactions, AMOUNT::FromInt(2)), 0);
  EXPECT_EQ(Tra.DATATRA, DateToday() - 3);
  EXPECT_EQ(Tra.DATAMAG, Tra.DATATRA);
  EXPECT_STREQ(Tra.DOKTRATYP, "PA");
  EXPECT_EQ(Tra.SUMA, AMOUNT::FromDouble(25.83));
  EXPECT_EQ(Count(kTablePositions), 2);
  // The parent company (identifier 1) is back under a free identifier.
  EXPECT_EQ(Count(kTableContractors), 2);
  EXPECT_EQ(Company(), AMOUNT::FromInt(2));
  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(2)), 0);
  EXPECT_STREQ(Kon.NAZWA, "Moja firma");

  // A file of another layout is refused by name.
  WriteWholeFile(old + "/Gto.dbf", OldFile("ID N9, NAZWA C31, UWAGI C49", {}));
  EXPECT_EQ(ConvertOldTables(old, kVersion37, quiet, nullptr), 2);
  EXPECT_EQ(OldFormatFile(), old + "/Gto.dbf");
}

// A failed read or write anywhere in an operation is a failure of the operation, never an end
// of the records taken for success.
TEST_F(MaintenanceTest, AFileFaultFailsEachOperation) {
  const std::string exported = dir.File("Export");
  fs::create_directory(exported);
  ASSERT_EQ(OpenExportTables(exported), 0);
  EXCHANGE_OUTPUT quiet;
  ASSERT_EQ(ExportTransactions(DateToday() - 1, DateToday(), quiet), 0);
  CloseExportTables();
  struct OPERATION {
    const char* what;
    std::function<int()> run;
  };
  const auto damage = [] {
    ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(5)), 0);
    Tow.STAN = AMOUNT::FromInt(1);
    ASSERT_EQ(TableUpdate(kTableGoods), 0);
  };
  const OPERATION operations[] = {
      {"check",
       [] {
         REPORT r;
         CHECK_CHOICES c;
         c.repair = kRepairAuto;
         CHECK_RESULT result;
         return CheckDatabase(c, r, &result);
       }},
      {"deletion keeping the stock", [] { return DeleteTransactionsKeepingStock(DateToday()); }},
      {"import",
       [&] {
         IMPORT_COUNTS counts;
         int rc = OpenExportTables(exported);
         if (rc == 0) rc = ImportTransactions(DateToday() - 1, DateToday(), quiet, &counts);
         CloseExportTables();
         return rc;
       }},
  };
  // A fault fails the operation, or (where the layer below could do without the read, as the
  // first record of a table being opened) leaves exactly what a run without it leaves.
  for (const OPERATION& op : operations) {
    MakeDemo("baza");
    damage();
    ASSERT_EQ(op.run(), 0) << op.what;
    const std::string expected = Files();
    for (int kind : {kFileOpRead, kFileOpWrite}) {
      for (long n = 1;; n += 1 + n / 6) {
        MakeDemo("baza");
        damage();
        SetFileFault(kind, n, false);
        const int rc = op.run();
        const bool tripped = FileFaultTripped();
        ClearFileFault();
        if (!tripped) break;
        if (rc == 0) {
          EXPECT_EQ(Files(), expected) << op.what << " with fault " << kind << " at " << n;
        }
      }
    }
  }
}

}  // namespace
