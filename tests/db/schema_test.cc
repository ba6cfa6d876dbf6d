#include "db/schema.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "business/demo_data.h"
#include "common/text.h"
#include "db/db_events.h"
#include "db/dbtable.h"
#include "db/records.h"
#include "db/table.h"
#include "db/table_check.h"
#include "db/table_lock.h"
#include "support/temp_dir.h"

namespace {

class SchemaTest : public ::testing::Test {
 protected:
  SchemaTest() : dir(true) {}
  void SetUp() override { ClearRecords(); }
  void TearDown() override {
    CloseDatabase();
    ResetTables();
    ResetDbEvents();
    ResetTableLocks();
  }
  void ExpectSound() {
    for (int t = 0; t < kSchemaTableCount; ++t) {
      std::string problem;
      EXPECT_EQ(CheckTable(t, &problem), 0) << t << ": " << problem;
    }
  }
  TempDir dir;
};

TEST_F(SchemaTest, ANewDatabaseHasFiveEmptyTablesOfTheDocumentedSizes) {
  ASSERT_EQ(OpenDatabase(), 0);
  const char* data[] = {"Gto.dbf", "Tow.dbf", "Kon.dbf", "Tra.dbf", "Poz.dbf"};
  const char* index[] = {"Gto.inx", "Tow.inx", "Kon.inx", "Tra.inx", "Poz.inx"};
  const int fields[] = {5, 27, 24, 27, 11};
  const int indexes[] = {2, 6, 4, 5, 3};
  const int record_length[] = {161, 436, 727, 320, 90};
  for (int t = 0; t < 5; ++t) {
    std::string f = ReadWholeFile(data[t]);
    EXPECT_EQ(f.size(), 32u * fields[t] + 33 + 1) << data[t];
    EXPECT_EQ(static_cast<uint8_t>(f[10]) | static_cast<uint8_t>(f[11]) << 8, record_length[t])
        << data[t];
    EXPECT_EQ(ReadWholeFile(index[t]).size(), (indexes[t] + 1) * 512u) << index[t];
  }
  EXPECT_TRUE(DatabaseEmpty());
  EXPECT_STREQ(TABLE_INFO[kTableGroups].title, "GRUPY TOWARÓW"_pl);
  ExpectSound();
}

TEST_F(SchemaTest, KeysFollowTheirFormats) {
  char key[128];
  Tra = TRA_RECORD{};
  Tra.ID = AMOUNT::FromInt(42);
  Tra.KONID = AMOUNT::FromInt(7);
  Tra.RODZAJ[0] = 'S';
  Tra.DATATRA = DateFromYmd(2026, 3, 5);
  std::strcpy(Tra.DOKTRATYP, "FV");
  std::strcpy(Tra.DOKTRANR, "FV 12/2026");
  std::strcpy(Tra.DOKMAGTYP, "WZ");
  std::strcpy(Tra.DOKMAGNR, "abc");
  const KEYBUILDER* b = TABLE_DEFS[kTableTransactions].key_builders;
  b[0](&Tra, key);
  EXPECT_STREQ(key, "       42");
  b[1](&Tra, key);
  EXPECT_STREQ(key, "20260305S       42");
  b[2](&Tra, key);
  EXPECT_STREQ(key, "        720260305S       42");
  b[3](&Tra, key);
  EXPECT_STREQ(key, "2026SFV                  12");  // only the first run of digits counts
  b[4](&Tra, key);
  EXPECT_STREQ(key, "2026SWZ                    ");  // no digits: blanks
  std::strcpy(Tra.DOKTRANR, "12");
  char plain[128];
  b[3](&Tra, plain);
  std::strcpy(Tra.DOKTRANR, "FV 12/2026");
  b[3](&Tra, key);
  EXPECT_STREQ(key, plain);
  Kon = KON_RECORD{};
  std::strcpy(Kon.NIP, "123-456-78-90-xyz");
  std::strcpy(Kon.MIASTO, Utf8ToCp1250("Łódź").c_str());
  std::strcpy(Kon.NAZWA, "abc");
  TABLE_DEFS[kTableContractors].key_builders[2](&Kon, key);
  EXPECT_STREQ(key, "123-456-78-90");
  TABLE_DEFS[kTableContractors].key_builders[3](&Kon, key);
  EXPECT_EQ(std::string(key),
            Utf8ToCp1250("ŁÓDŹ") + std::string(26, ' ') + "ABC" + std::string(47, ' '));
}

TEST_F(SchemaTest, GoodsNumbersOfEitherCaseSortTogether) {
  ASSERT_EQ(OpenDatabase(), 0);
  const char* numbers[] = {"b1", "A1", "a1", "B0"};
  for (int i = 0; i < 4; ++i) {
    Tow = TOW_RECORD{};
    Tow.ID = AMOUNT::FromInt(i + 1);
    std::strcpy(Tow.NR, numbers[i]);
    ASSERT_EQ(TableAppend(kTableGoods), 0);
  }
  ASSERT_EQ(TableSetIndex(kTableGoods, 3), 0);
  std::string order;
  for (int rc = TableFirst(kTableGoods); rc == 0; rc = TableNext(kTableGoods))
    order += std::string(Tow.NR) + " ";
  EXPECT_EQ(order, "A1 a1 B0 b1 ");
}

TEST_F(SchemaTest, DemonstrationDatabase) {
  ASSERT_EQ(OpenDatabase(), 0);
  ASSERT_EQ(CreateDemoDatabase(), 0);
  EXPECT_EQ(TableRecCount(kTableGroups), 3);
  EXPECT_EQ(TableRecCount(kTableGoods), 16);
  EXPECT_EQ(TableRecCount(kTableContractors), 5);
  EXPECT_EQ(TableRecCount(kTableTransactions), 4);
  EXPECT_EQ(TableRecCount(kTablePositions), 16 + 12 + 4 + 2);
  ExpectSound();

  ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(1)), 0);
  EXPECT_STREQ(Tow.NAZWA, "Anturium");
  EXPECT_STREQ(Tow.NR, "KW0001");
  EXPECT_EQ(Tow.CENA, AMOUNT::FromDouble(7.38));
  EXPECT_EQ(Tow.STAN, AMOUNT::FromInt(190));  // 100 + 100 in, 10 out
  ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(13)), 0);
  EXPECT_STREQ(Tow.NAZWA, "Baccardi");
  EXPECT_STREQ(Tow.NR, "AL0001");
  EXPECT_EQ(Tow.CENA, AMOUNT::FromDouble(73.8));
  EXPECT_EQ(Tow.STAN, AMOUNT::FromInt(199));
  ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(16)), 0);
  EXPECT_STREQ(Tow.NR, "AL0004");
  EXPECT_EQ(Tow.GTOID, AMOUNT::FromInt(2));

  ASSERT_EQ(FindById(kTableContractors, AMOUNT::FromInt(3)), 0);
  EXPECT_STREQ(Kon.NAZWA, "Sprzedaż detaliczna"_pl);
  EXPECT_STREQ(Kon.NIP, "003-000-00-00");
  EXPECT_EQ(FindById(kTableContractors, AMOUNT::FromInt(1)),
            kTableEnd);  // the user's own firm comes first

  ASSERT_EQ(FindById(kTableTransactions, AMOUNT::FromInt(1)), 0);
  EXPECT_STREQ(Tra.DOKMAGTYP, "PZ");
  EXPECT_STREQ(Tra.DOKMAGNR, "000001");
  EXPECT_STREQ(Tra.DOKTRATYP, "");
  EXPECT_EQ(Tra.DATATRA, DateToday() - 1);
  ASSERT_EQ(FindById(kTableTransactions, AMOUNT::FromInt(4)), 0);
  EXPECT_STREQ(Tra.RODZAJ, "S");
  EXPECT_STREQ(Tra.DOKMAGTYP, "WZ");
  EXPECT_STREQ(Tra.DOKTRANR, "000001");
  EXPECT_EQ(Tra.KONID, AMOUNT::FromInt(6));
  // 10 × 7.38 + 73.80 at 23 % from gross: gross 147.60, VAT 27.60; paid in cash.
  EXPECT_EQ(Tra.SUMA, AMOUNT::FromDouble(147.60));
  EXPECT_EQ(Tra.VAT, AMOUNT::FromDouble(27.60));
  EXPECT_EQ(Tra.GOT, Tra.SUMA);

  // The positions of one transaction through index 0 of the positions table.
  std::string goods;
  long n = ForEachPosition(AMOUNT::FromInt(3), [&] {
    goods += std::to_string(Poz.TOWID.Whole()) + " ";
    return 0;
  });
  EXPECT_EQ(n, 4);
  EXPECT_EQ(goods, "13 14 15 16 ");
}

}  // namespace
