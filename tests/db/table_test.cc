#include "db/table.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/text.h"
#include "db/db_event_text.h"
#include "db/db_events.h"
#include "db/dbf_format.h"
#include "db/table_check.h"
#include "db/table_lock.h"
#include "platform/cfile.h"
#include "platform/cfile_testing.h"
#include "support/temp_dir.h"

namespace {

struct ITEM {
  AMOUNT ID;
  char NAZWA[21];
  DATE DATA;
  int32_t AKTYWNY;
  AMOUNT CENA;
};

ITEM g_item;

const FIELDDEF kFields[] = {
    {"ID", 'N', 9, 0, offsetof(ITEM, ID)},     {"NAZWA", 'C', 20, 0, offsetof(ITEM, NAZWA)},
    {"DATA", 'D', 8, 0, offsetof(ITEM, DATA)}, {"AKTYWNY", 'L', 1, 0, offsetof(ITEM, AKTYWNY)},
    {"CENA", 'N', 8, 2, offsetof(ITEM, CENA)},
};

void KeyId(const void* r, char* key) {
  std::snprintf(key, 10, "%9.0f", static_cast<const ITEM*>(r)->ID.ToDouble());
}
void KeyName(const void* r, char* key) {
  std::snprintf(key, 21, "%s", static_cast<const ITEM*>(r)->NAZWA);
  text_to_upper(key);
}

const int kKeyLengths[] = {10, 21};
const KEYBUILDER kBuilders[] = {KeyId, KeyName};
const TABLEDEF kDef = {"Item.dbf", 5, kFields,     &g_item,  sizeof(ITEM),
                       "Item.inx", 2, kKeyLengths, kBuilders};

std::vector<int> g_events;
int RecordEvent(int code, const char*, long) {
  g_events.push_back(code);
  return 0;
}

class TableTest : public ::testing::Test {
 protected:
  TableTest() : dir(true) {}
  void SetUp() override {
    g_events.clear();
    SetEventHandler(RecordEvent);
  }
  void TearDown() override {
    ResetTables();
    ResetDbEvents();
    ResetTableLocks();
    ClearFileFault();
  }
  void Add(int id, const char* name, double price = 0, DATE date = 0) {
    g_item = ITEM{};
    g_item.ID = AMOUNT::FromInt(id);
    std::snprintf(g_item.NAZWA, sizeof g_item.NAZWA, "%s", Utf8ToCp1250(name).c_str());
    g_item.CENA = AMOUNT::FromDouble(price);
    g_item.DATA = date;
    g_item.AKTYWNY = 1;
    ASSERT_EQ(TableAppend(0), 0);
  }
  // Names in the current order, walking from the first record.
  std::string Walk() {
    std::string out;
    for (int rc = TableFirst(0); rc == 0; rc = TableNext(0)) out += std::string(g_item.NAZWA) + ",";
    return out;
  }
  std::string Raw(long n) {
    std::string f = ReadWholeFile("Item.dbf");
    return f.substr(32 * 5 + 33 + n * 47, 47);
  }
  bool EventSeen(int code) {
    return std::find(g_events.begin(), g_events.end(), code) != g_events.end();
  }
  TempDir dir;
};

TEST_F(TableTest, NewTableHasHeaderDescriptorsTerminatorAndEndMark) {
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  std::string f = ReadWholeFile("Item.dbf");
  ASSERT_EQ(f.size(), 32u * 5 + 33 + 1);
  DBFHEADER h = DecodeDbfHeader(reinterpret_cast<const uint8_t*>(f.data()));
  EXPECT_EQ(h.version, 3);
  EXPECT_EQ(h.record_count, 0u);
  EXPECT_EQ(h.header_length, 193);
  EXPECT_EQ(h.record_length, 47);  // 1 + 9 + 20 + 8 + 1 + 8
  EXPECT_EQ(f.substr(32, 3), std::string("ID\0", 3));
  EXPECT_EQ(f[32 + 11], 'N');
  EXPECT_EQ(f[32 + 32 + 12], 10);  // NAZWA starts at byte 10 of the record
  EXPECT_EQ(static_cast<uint8_t>(f[192]), 0x0D);
  EXPECT_EQ(static_cast<uint8_t>(f[193]), 0x1A);
  EXPECT_EQ(ReadWholeFile("Item.inx").size(), 3u * 512);
  EXPECT_EQ(TableRecNo(0), -1);
  EXPECT_NE(TableFirst(0), 0);
}

TEST_F(TableTest, FieldsAreStoredInTheirTextForms) {
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  Add(1, "Łódź", 12345.678, DateFromYmd(2014, 4, 9));
  // The structure holds what was stored: the price rounded to the field's two decimals.
  EXPECT_EQ(g_item.CENA.Raw(), 123456800);
  Add(2, "", 0, 0);
  std::string r0 = Raw(0), r1 = Raw(1);
  EXPECT_EQ(r0.substr(0, 10), "         1");
  EXPECT_EQ(r0.substr(10, 20),
            "\x9D\xA2"
            "d\xAB                ");  // code page 852
  EXPECT_EQ(r0.substr(30, 8), "20140409");
  EXPECT_EQ(r0.substr(38, 1), "T");
  EXPECT_EQ(r0.substr(39, 8), "12345.68");
  EXPECT_EQ(r1.substr(30, 8), "        ");  // empty date
  EXPECT_EQ(r1.substr(39, 8), "        ");  // zero is blanks
  ASSERT_EQ(TableGo(0, 0), 0);
  EXPECT_STREQ(g_item.NAZWA, "Łódź"_pl);
  EXPECT_EQ(g_item.DATA, DateFromYmd(2014, 4, 9));
  ASSERT_EQ(TableGo(0, 1), 0);
  EXPECT_EQ(g_item.CENA.Raw(), 0);
  EXPECT_EQ(g_item.DATA, 0u);
  // The end mark is written once, after the last record.
  std::string f = ReadWholeFile("Item.dbf");
  EXPECT_EQ(f.size(), 193u + 2 * 47 + 1);
  EXPECT_EQ(f.back(), '\x1A');
}

TEST_F(TableTest, StoredFormsReadBackAsSpecified) {
  EXPECT_EQ(UnpackNumber("   -12.5", 8).Raw(), -125000);
  EXPECT_EQ(UnpackNumber("  +3.14159x", 11).Raw(), 31416);
  EXPECT_EQ(UnpackNumber("        ", 8).Raw(), 0);
  EXPECT_EQ(UnpackNumber("12abc", 5).Raw(), 120000);
  EXPECT_EQ(UnpackDate("20010229"), 0u);                       // no such day
  EXPECT_EQ(UnpackDate("2014 4 9"), DateFromYmd(2014, 4, 9));  // non-digits count as 0
  char out[20];
  EXPECT_TRUE(PackNumber(AMOUNT::FromDouble(1.005), 8, 2, out));
  EXPECT_EQ(std::string(out, 8), "    1.01");  // half away from zero, exactly
  EXPECT_TRUE(PackNumber(AMOUNT::FromDouble(-0.004), 8, 2, out));
  EXPECT_EQ(std::string(out, 8), "   -0.00");  // as "%*.*f" writes it; reads back as 0
  EXPECT_EQ(UnpackNumber(out, 8).Raw(), 0);
  EXPECT_TRUE(PackNumber(AMOUNT::FromRaw(15), 10, 6, out));
  EXPECT_EQ(std::string(out, 10), "  0.001500");
  EXPECT_FALSE(PackNumber(AMOUNT::FromInt(1000000000), 9, 0, out));
}

TEST_F(TableTest, ANumberTooWideForItsFieldIsRefusedAndNothingWritten) {
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  g_item = ITEM{};
  g_item.ID = AMOUNT::FromInt(1000000000);
  EXPECT_NE(TableAppend(0), 0);
  EXPECT_TRUE(EventSeen(kDbEvNumberTooWide));
  EXPECT_EQ(TableRecCount(0), 0);
  EXPECT_EQ(ReadWholeFile("Item.dbf").size(), 194u);
}

TEST_F(TableTest, NavigationByIndexAndInNaturalOrder) {
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  Add(3, "Cebula");
  Add(1, "ananas");
  Add(2, "Żurawina");
  Add(4, "Zioła");
  EXPECT_EQ(Walk(), "ananas,Żurawina,Cebula,Zioła,"_pl);  // index 0 after opening: by ID
  ASSERT_EQ(TableSetIndex(0, 1), 0);
  EXPECT_EQ(Walk(), "ananas,Cebula,Zioła,Żurawina,"_pl);
  ASSERT_EQ(TableSetIndex(0, -1), 0);
  EXPECT_EQ(Walk(), "Cebula,ananas,Żurawina,Zioła,"_pl);
  EXPECT_EQ(TableSetIndex(0, 2), -1);
  EXPECT_TRUE(EventSeen(kDbEvBadIndexNumber));
  // At the end the last record stays current.
  ASSERT_EQ(TableLast(0), 0);
  EXPECT_EQ(TableNext(0), kTableEnd);
  EXPECT_STREQ(g_item.NAZWA, "Zioła"_pl);
  EXPECT_EQ(TableRecNo(0), 3);
}

TEST_F(TableTest, SeekByPrefixStepsOverDeletedRecords) {
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  Add(1, "Kalia");
  Add(2, "Kaktus");
  Add(3, "Konwalia");
  Add(4, "Mak");
  ASSERT_EQ(TableSetIndex(0, 1), 0);
  ASSERT_EQ(TableSeek(0, "KA"), 0);
  EXPECT_STREQ(g_item.NAZWA, "Kaktus");
  ASSERT_EQ(TableSeekLast(0, "KA"), 0);
  EXPECT_STREQ(g_item.NAZWA, "Kalia");
  ASSERT_EQ(TableSeek(0, "KAK"), 0);
  ASSERT_EQ(TableDelete(0), 0);
  ASSERT_EQ(TableSeek(0, "KAK"), 0);  // not below "KAK": the deleted Kaktus is stepped over
  EXPECT_STREQ(g_item.NAZWA, "Kalia");
  ASSERT_EQ(TableGo(0, 3), 0);
  EXPECT_EQ(TableSeek(0, "ZZZ"), kTableEnd);
  EXPECT_EQ(TableRecNo(0), 3);  // position unchanged
  EXPECT_STREQ(g_item.NAZWA, "Mak");
  ASSERT_EQ(TableSetIndex(0, -1), 0);
  EXPECT_EQ(TableSeek(0, "KA"), -1);
  EXPECT_TRUE(EventSeen(kDbEvNoActiveIndex));
}

// Every reading operation, with a file fault at each of its steps: a step that failed (and was
// reported) gives -1, never the end; a run the fault did not reach gives the clean answer.
TEST_F(TableTest, ReadsTellTheEndFromAFailureAtEveryStep) {
  struct Counter : CFILE::HANDLER {
    int reports = 0;
    void Report(const char*, int, int, int) override { ++reports; }
  } counter;
  struct Case {
    const char* name;
    int index;
    long from;  // the record current before the operation
    int (*op)();
    int clean;
  };
  const Case cases[] = {
      {"first", 1, 2, [] { return TableFirst(0); }, 0},
      {"last", 1, 2, [] { return TableLast(0); }, 0},
      {"next", 1, 2, [] { return TableNext(0); }, 0},
      {"next at the end", 1, 0, [] { return TableNext(0); }, kTableEnd},
      {"prev at the start", 1, 3, [] { return TablePrev(0); }, kTableEnd},
      {"next in file order", -1, 1, [] { return TableNext(0); }, 0},
      {"prev in file order at the start", -1, 0, [] { return TablePrev(0); }, kTableEnd},
      {"seek", 1, 3, [] { return TableSeek(0, "KO"); }, 0},
      {"seek not found", 1, 3, [] { return TableSeek(0, "ZZ"); }, kTableEnd},
      {"seek last", 1, 3, [] { return TableSeekLast(0, "KA"); }, 0},
      {"seek last not found", 1, 3, [] { return TableSeekLast(0, "A"); }, kTableEnd},
      {"is deleted", 1, 1,
       [] {
         bool deleted;
         return TableIsDeleted(0, &deleted);
       },
       0},
      {"count", 1, 1,
       [] {
         long n;
         return TableCount(0, &n);
       },
       0},
      {"count in file order", -1, 1,
       [] {
         long n;
         return TableCount(0, &n);
       },
       0},
  };
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  for (const char* name : {"Mak", "Kalia", "Konwalia", "Kaktus", "Rzepa"})
    Add(static_cast<int>(g_item.ID.Whole()) + 1, name);
  ASSERT_EQ(TableGo(0, 4), 0);
  ASSERT_EQ(TableDelete(0), 0);  // walks step over it
  CFILE::SetHandler(&counter);
  SetEventHandler(nullptr);
  int faulted = 0;
  for (const Case& c : cases) {
    for (bool from_then_on : {false, true}) {
      for (long nth = 1; nth < 100; ++nth) {
        ASSERT_EQ(TableSetIndex(0, c.index), 0);
        ASSERT_EQ(TableGo(0, c.from), 0);
        counter.reports = 0;
        SetFileFault(0, nth, from_then_on);
        const int rc = c.op();
        ClearFileFault();
        if (counter.reports == 0) {
          EXPECT_EQ(rc, c.clean) << c.name;
          break;
        }
        EXPECT_EQ(rc, -1) << c.name << " step " << nth;
        ++faulted;
      }
    }
  }
  CFILE::SetHandler(nullptr);
  EXPECT_GT(faulted, 30);
}

TEST_F(TableTest, DeleteMovesOnAndCountSkipsDeletedRecords) {
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  for (int i = 1; i <= 5; ++i) Add(i, ("R" + std::to_string(i)).c_str());
  ASSERT_EQ(TableGo(0, 1), 0);
  ASSERT_EQ(TableDelete(0), 0);
  EXPECT_STREQ(g_item.NAZWA, "R3");  // the next live record
  bool deleted = true;
  EXPECT_EQ(TableIsDeleted(0, &deleted), 0);
  EXPECT_FALSE(deleted);
  ASSERT_EQ(TableGo(0, 4), 0);
  ASSERT_EQ(TableDelete(0), 0);
  EXPECT_STREQ(g_item.NAZWA, "R4");  // no next: the previous one
  EXPECT_EQ(TableCount(0), 3);
  EXPECT_EQ(TableRecCount(0), 5);
  EXPECT_EQ(TableRecNo(0), 3);  // Count keeps the position
  EXPECT_EQ(Raw(1)[0], '*');
  ASSERT_EQ(TableGo(0, 1), 0);
  EXPECT_EQ(TableIsDeleted(0, &deleted), 0);
  EXPECT_TRUE(deleted);
  EXPECT_NE(TableDelete(0), 0);
  EXPECT_TRUE(EventSeen(kDbEvRecordDeleted));
  EXPECT_NE(TableUpdate(0), 0);
  // Deleting the last live records leaves none current; First then fails silently.
  for (long n : {0L, 2L, 3L}) {
    ASSERT_EQ(TableGo(0, n), 0);
    ASSERT_EQ(TableDelete(0), 0);
  }
  EXPECT_EQ(TableRecNo(0), -1);
  g_events.clear();
  EXPECT_EQ(TableFirst(0), kTableEnd);
  EXPECT_EQ(LastError(), kDbEvNotFound);
  EXPECT_NE(TableUpdate(0), 0);
  EXPECT_TRUE(EventSeen(kDbEvNoCurrentRecord));
}

TEST_F(TableTest, WalkingBackwardsAndDeletingFollowTheActiveIndex) {
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  Add(1, "Dalia");
  Add(2, "Bratek");
  Add(3, "Astra");
  Add(4, "Cynia");
  Add(5, "Bez");
  ASSERT_EQ(TableSetIndex(0, 1), 0);
  // By name: Astra, Bez, Bratek, Cynia, Dalia. Deleting Bratek moves to Cynia (next by name),
  // not to Astra (next in the file).
  ASSERT_EQ(TableSeek(0, "BRATEK"), 0);
  ASSERT_EQ(TableDelete(0), 0);
  EXPECT_STREQ(g_item.NAZWA, "Cynia");
  std::string back;
  for (int rc = TableLast(0); rc == 0; rc = TablePrev(0)) back += std::string(g_item.NAZWA) + ",";
  EXPECT_EQ(back, "Dalia,Cynia,Bez,Astra,");
  EXPECT_STREQ(g_item.NAZWA, "Astra");   // the walk ran out: the first record stays
  ASSERT_EQ(TableSeekLast(0, "BR"), 0);  // the last "BR..." is deleted: back to Bez
  EXPECT_STREQ(g_item.NAZWA, "Bez");
  ASSERT_EQ(TableSeek(0, "DALIA"), 0);
  ASSERT_EQ(TableDelete(0), 0);
  EXPECT_STREQ(g_item.NAZWA, "Cynia");  // nothing after Dalia: the one before
  ASSERT_EQ(TableGo(0, -1), 0);
  EXPECT_NE(TableNext(0), 0);  // no current record: nowhere to walk on from
  EXPECT_EQ(TableRecNo(0), -1);
}

TEST_F(TableTest, UpdateMovesKeysAndZapEmptiesEverything) {
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  Add(1, "Bez");
  Add(2, "Fiołek");
  ASSERT_EQ(TableSetIndex(0, 1), 0);
  ASSERT_EQ(TableSeek(0, "BEZ"), 0);
  std::snprintf(g_item.NAZWA, sizeof g_item.NAZWA, "Wrzos");
  ASSERT_EQ(TableUpdate(0), 0);
  EXPECT_EQ(Walk(), "Fiołek,Wrzos,"_pl);
  ASSERT_EQ(TableSeek(0, "BEZ"), 0);
  EXPECT_STREQ(g_item.NAZWA, "Fiołek"_pl);  // the old key is gone
  ASSERT_EQ(TableZap(0), 0);
  EXPECT_EQ(TableRecCount(0), 0);
  EXPECT_EQ(TableRecNo(0), -1);
  EXPECT_EQ(ReadWholeFile("Item.dbf").size(), 194u);
  EXPECT_EQ(Walk(), "");
  Add(7, "Nowy");
  EXPECT_EQ(Walk(), "Nowy,");
}

TEST_F(TableTest, AHeaderThatDiffersIsRefused) {
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  Add(1, "A");
  ResetTables();
  std::string f = ReadWholeFile("Item.dbf");
  std::string bad = f;
  bad[10] = 48;  // record length
  WriteWholeFile("Item.dbf", bad);
  EXPECT_NE(TableOpen(0, &kDef), 0);
  EXPECT_TRUE(EventSeen(kDbEvBadTableFile));
  bad = f;
  bad[32 + 16] = 10;  // the length of the ID field
  WriteWholeFile("Item.dbf", bad);
  g_events.clear();
  EXPECT_NE(TableOpen(0, &kDef), 0);
  EXPECT_TRUE(EventSeen(kDbEvBadTableFile));
}

// A file shorter than its header says: inspection tells and changes nothing; opening keeps a copy,
// cuts the file to its whole records (the cut one is lost and reported) and builds the index.
TEST_F(TableTest, AShortDataFileIsMendedAfterACopyIsKept) {
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  for (const char* name : {"Bez", "Akacja", "Cis"})
    Add(static_cast<int>(g_item.ID.Whole()) + 1, name);
  ResetTables();
  const std::string cut = ReadWholeFile("Item.dbf").substr(0, 193 + 2 * 47 + 20);
  WriteWholeFile("Item.dbf", cut);
  const std::string inx = ReadWholeFile("Item.inx");
  TABLEFINDINGS found;
  ASSERT_EQ(TableOpenToInspect(0, &kDef, &found), 0);
  EXPECT_EQ(found.claimed_records, 3);
  EXPECT_EQ(found.whole_records, 2);
  EXPECT_EQ(TableRecCount(0), 2);
  ResetTables();
  EXPECT_EQ(ReadWholeFile("Item.dbf"), cut);
  EXPECT_EQ(ReadWholeFile("Item.inx"), inx);
  g_events.clear();
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  EXPECT_TRUE(EventSeen(kDbEvFileMended));
  EXPECT_EQ(DbEventMessage(kDbEvFileMended, "Item.dbf.001", 1),
            "Plik Item.dbf był krótszy, niż podaje jego nagłówek,\ni został naprawiony. Utracone "
            "rekordy: 1.\n"
            "Kopia pliku sprzed naprawy: Item.dbf.001."_pl);
  EXPECT_EQ(ReadWholeFile("Item.dbf.001"), cut);
  EXPECT_EQ(TableRecCount(0), 2);
  EXPECT_EQ(ReadWholeFile("Item.dbf").size(), 193u + 2 * 47 + 1);
  ASSERT_EQ(TableSetIndex(0, 1), 0);
  EXPECT_EQ(Walk(), "Akacja,Bez,");
  std::string problem;
  EXPECT_EQ(CheckTable(0, &problem), 0) << problem;
}

TEST_F(TableTest, AMissingEndMarkIsWrittenOnOpen) {
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  Add(1, "A");
  ResetTables();
  std::string f = ReadWholeFile("Item.dbf");
  WriteWholeFile("Item.dbf", f.substr(0, f.size() - 1));
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  EXPECT_EQ(ReadWholeFile("Item.dbf"), f);
  ResetTables();
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  EXPECT_EQ(ReadWholeFile("Item.dbf"), f);  // not doubled
}

TEST_F(TableTest, DefinitionsBreakingTheRulesAreRefused) {
  const FIELDDEF bad_name[] = {{"1D", 'N', 9, 0}};
  const FIELDDEF bad_num[] = {{"X", 'N', 5, 4}};
  const FIELDDEF dup[] = {{"A", 'C', 5, 0}, {"A", 'C', 5, 0}};
  const FIELDDEF ok[] = {{"A_1", 'C', 254, 0}, {"B", 'N', 19, 15}, {"C", 'D', 8, 0}};
  for (const FIELDDEF* f : {bad_name, bad_num}) {
    TABLEDEF d = {"X.dbf", 1, f, nullptr, 0, nullptr, 0, nullptr, nullptr};
    g_events.clear();
    EXPECT_NE(TableOpen(1, &d), 0);
    EXPECT_TRUE(EventSeen(kDbEvBadDefinition));
  }
  TABLEDEF d = {"X.dbf", 2, dup, nullptr, 0, nullptr, 0, nullptr, nullptr};
  EXPECT_NE(TableOpen(1, &d), 0);
  const int long_key[] = {101};
  const KEYBUILDER builders[] = {KeyId};
  TABLEDEF d2 = {"X.dbf", 3, ok, nullptr, 0, "X.inx", 1, long_key, builders};
  EXPECT_NE(TableOpen(1, &d2), 0);
  EXPECT_FALSE(CFILE::Exists("X.dbf"));  // a refused definition leaves no file behind
  d2.index_count = 0;
  EXPECT_EQ(TableOpen(1, &d2), 0);
  EXPECT_TRUE(CFILE::Exists("X.dbf"));
  EXPECT_NE(TableFirst(25), 0);
  EXPECT_TRUE(EventSeen(kDbEvBadTableNumber));
  EXPECT_NE(TableFirst(7), 0);
  EXPECT_TRUE(EventSeen(kDbEvNotOpen));
}

TEST_F(TableTest, AMissingIndexFileIsRebuiltOnOpen) {
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  Add(2, "Dalia");
  Add(1, "Astry");
  ResetTables();
  std::remove("Item.inx");
  g_events.clear();
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  EXPECT_TRUE(EventSeen(kDbEvIndexBuildStart));
  EXPECT_TRUE(EventSeen(kDbEvIndexBuildEnd));
  ASSERT_EQ(TableSetIndex(0, 1), 0);
  EXPECT_EQ(Walk(), "Astry,Dalia,");
}

// A rebuild writes every index from its sorted keys (what appending them in key order would
// write): every walk meets the same records in the same order, equal keys in the order added.
TEST_F(TableTest, ARebuildKeepsTheOrderOfEveryWalk) {
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  for (int i = 0; i < 300; ++i) {
    char name[24];
    std::snprintf(name, sizeof name, "Nazwa %03d", (i * 37) % 101);  // many equal keys
    Add(i % 50, name);
  }
  auto walks = [] {
    std::vector<long> seen;
    for (int index : {0, 1}) {
      EXPECT_EQ(TableSetIndex(0, index), 0);
      for (int rc = TableFirst(0); rc == 0; rc = TableNext(0)) seen.push_back(TableRecNo(0));
    }
    return seen;
  };
  const std::vector<long> before = walks();
  ASSERT_EQ(TableRebuildIndexes(0), 0);
  EXPECT_EQ(walks(), before);
  EXPECT_EQ(before.size(), 600u);
  std::string problem;
  EXPECT_EQ(CheckTable(0, &problem), 0) << problem;
}

int CancelAtSecond(int code, const char*, long percent) {
  g_events.push_back(code);
  return (code == kDbEvIndexBuildProgress || code == kDbEvDefragProgress) && percent >= 50;
}

// A cancelled rebuild keeps the old index whole and leaves no temporary file; a cancelled build of
// a missing index leaves none, and the next opening builds it.
TEST_F(TableTest, ACancelledRebuildKeepsTheOldIndex) {
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  for (int i = 1; i <= 4; ++i) Add(i, "X");
  ASSERT_EQ(TableFlush(0), 0);  // what the table kept back is in the file
  const std::string inx = ReadWholeFile("Item.inx");
  SetEventHandler(CancelAtSecond);
  EXPECT_NE(TableRebuildIndexes(0), 0);
  EXPECT_EQ(ReadWholeFile("Item.inx"), inx);
  EXPECT_FALSE(CFILE::Exists("000001.tmp"));
  EXPECT_EQ(TableCount(0), 4);
  ResetTables();
  std::remove("Item.inx");
  EXPECT_NE(TableOpen(0, &kDef), 0);
  EXPECT_FALSE(CFILE::Exists("Item.inx"));
  EXPECT_FALSE(CFILE::Exists("000001.tmp"));
  SetEventHandler(RecordEvent);
  ASSERT_EQ(TableOpen(0, &kDef), 0);  // built again
  EXPECT_EQ(TableCount(0), 4);
}

TEST_F(TableTest, PackDropsDeletedRecordsAndRenumbers) {
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  for (int i = 1; i <= 6; ++i) Add(i, ("P" + std::to_string(i)).c_str());
  for (long n : {0L, 2L, 3L}) {
    ASSERT_EQ(TableGo(0, n), 0);
    ASSERT_EQ(TableDelete(0), 0);
  }
  g_events.clear();
  ASSERT_EQ(TablePack(0), 0);
  EXPECT_TRUE(EventSeen(kDbEvDefragStart));
  EXPECT_TRUE(EventSeen(kDbEvDefragEnd));
  EXPECT_EQ(TableRecCount(0), 3);
  ASSERT_EQ(TableSetIndex(0, -1), 0);
  EXPECT_EQ(Walk(), "P2,P5,P6,");
  ASSERT_EQ(TableSetIndex(0, 1), 0);
  ASSERT_EQ(TableSeek(0, "P5"), 0);
  EXPECT_EQ(TableRecNo(0), 1);
  EXPECT_FALSE(CFILE::Exists("000001.tmp"));
  EXPECT_FALSE(CFILE::Exists("000002.tmp"));
  // A cancelled pack leaves the table as it was.
  SetEventHandler(CancelAtSecond);
  ASSERT_EQ(TableGo(0, 0), 0);
  ASSERT_EQ(TableDelete(0), 0);
  EXPECT_NE(TablePack(0), 0);
  SetEventHandler(RecordEvent);
  EXPECT_EQ(TableRecCount(0), 3);
  EXPECT_EQ(TableCount(0), 2);
  EXPECT_FALSE(CFILE::Exists("000001.tmp"));
}

// A zap that the disk refuses leaves the table as it was, with the index changes that were still
// waiting to be written.
TEST_F(TableTest, ARefusedZapKeepsTheIndexChangesThatWait) {
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  for (int i = 1; i <= 40; ++i) {
    Add(i, ("N" + std::to_string(i)).c_str());
    if (i == 30) {
      ASSERT_EQ(TableFlush(0), 0);  // the keys of the last ten wait in memory
    }
  }
  SetFileFault(kFileOpSetSize, 1, false);
  EXPECT_NE(TableZap(0), 0);
  EXPECT_TRUE(FileFaultStruck());
  ClearFileFault();
  ASSERT_EQ(TableSetIndex(0, 1), 0);
  EXPECT_EQ(TableCount(0), 40);
  std::string problem;
  EXPECT_EQ(CheckTable(0, &problem), 0) << problem;
}

// A flush the disk refuses is answered, and so is every flush and the close after it, though
// nothing is left waiting; the next opening rebuilds the index and finds every record.
TEST_F(TableTest, ARefusedFlushIsAnsweredUntilTheIndexIsRebuilt) {
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  for (int i = 1; i <= 20; ++i) Add(i, ("N" + std::to_string(i)).c_str());
  SetFileFault(kFileOpWrite, 1, false);
  EXPECT_NE(TableFlush(0), 0);
  EXPECT_TRUE(FileFaultStruck());
  ClearFileFault();
  EXPECT_NE(TableFlushAll(), 0);
  EXPECT_NE(TableClose(0), 0);
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  ASSERT_EQ(TableSetIndex(0, 1), 0);
  EXPECT_EQ(TableCount(0), 20);
  std::string problem;
  EXPECT_EQ(CheckTable(0, &problem), 0) << problem;
  EXPECT_EQ(TableClose(0), 0);
}

TEST_F(TableTest, AFailedAppendLeavesTheFileAsItWas) {
  ASSERT_EQ(TableOpen(0, &kDef), 0);
  Add(1, "A");
  std::string before = ReadWholeFile("Item.dbf");
  long nth = 1;
  for (;; ++nth) {
    SetFileFault(kFileOpWrite, nth, false);
    g_item = ITEM{};
    g_item.ID = AMOUNT::FromInt(2);
    const int rc = TableAppend(0);
    const bool struck = FileFaultStruck();
    ClearFileFault();
    if (!struck) {
      EXPECT_EQ(rc, 0);
      break;
    }
    EXPECT_NE(rc, 0) << nth;
    EXPECT_EQ(ReadWholeFile("Item.dbf"), before) << nth;
    EXPECT_EQ(TableRecCount(0), 1);
  }
  EXPECT_GE(nth, 3);  // at least the record and the header were refused in turn
  EXPECT_EQ(TableRecCount(0), 2);
}

}  // namespace
