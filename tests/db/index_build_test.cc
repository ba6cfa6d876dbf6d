// The bottom-up index build: the same bytes as AddKey given the keys in order, through memory or
// through sorted runs on disk; rebuild and pack under a failing file operation at every step; the
// table check finding a record missing among equal keys.
#include "db/index_build.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "db/dbtable.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_check.h"
#include "db/table_slot.h"
#include "index_test_support.h"
#include "platform/cfile_testing.h"

namespace {

// keys[i][r]: the key text of index i for record r.
using Keys = std::vector<std::vector<std::string>>;

std::string AppendedInOrder(const Keys& keys, const std::vector<int>& lengths,
                            const std::string& name) {
  auto ix = std::make_unique<INDEXFILE>();
  const int n = static_cast<int>(lengths.size());
  EXPECT_EQ(CreateIndexFile(ix.get(), name.c_str(), n, lengths.data(), kShareNone), 0);
  for (int i = 0; i < n; ++i) {
    std::vector<size_t> order(keys[static_cast<size_t>(i)].size());
    for (size_t r = 0; r < order.size(); ++r) order[r] = r;
    const int kl = lengths[static_cast<size_t>(i)];
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
      uint8_t ka[kMaxKeyLength], kb[kMaxKeyLength];
      MakeIndexKey(keys[static_cast<size_t>(i)][a].c_str(), kl, ka);
      MakeIndexKey(keys[static_cast<size_t>(i)][b].c_str(), kl, kb);
      return CompareIndexKeys(ka, kb, kl) < 0;
    });
    for (size_t r : order)
      EXPECT_EQ(AddKey(ix.get(), i, keys[static_cast<size_t>(i)][r].c_str(), static_cast<long>(r)),
                0);
  }
  CloseIndexFile(ix.get());
  return ReadWholeFile(name);
}

std::string Built(const Keys& keys, const std::vector<int>& lengths, const std::string& name) {
  const int n = static_cast<int>(lengths.size());
  KEYSORTER sorter(n, lengths.data(), name);
  const size_t records = keys.empty() ? 0 : keys[0].size();
  for (size_t r = 0; r < records; ++r)
    for (int i = 0; i < n; ++i)
      EXPECT_EQ(sorter.Add(i, keys[static_cast<size_t>(i)][r].c_str(), static_cast<uint32_t>(r)),
                0);
  EXPECT_EQ(sorter.Finish(), 0);
  EXPECT_EQ(WriteSortedIndexFile(name.c_str(), sorter, n, lengths.data()), 0);
  return ReadWholeFile(name);
}

TEST_F(IndexTest, BuildWritesWhatAddKeyWritesGivenTheKeysInOrder) {
  // Texts with Polish letters and with bytes that code page 852 gives back as other letters.
  const std::vector<std::string> words = {
      "\xAF"
      "aba",
      "\x8F"
      "rebi\xEA",
      "Zorza",
      "aster",
      "\xA9"
      "x",
      "\xE4"
      "y",
      "",
      "A",
      "\xA5",
      "\xB9"
      "z"};
  struct Case {
    std::vector<int> lengths;
    int records;
    int distinct;   // keys repeat after this many (equal keys spanning pages)
    size_t budget;  // memory for keys; small ones force sorted runs on disk
  } cases[] = {
      {{10}, 0, 1, 1 << 20},           {{10}, 1, 1, 1 << 20},    {{10}, 34, 34, 1 << 20},
      {{10}, 35, 35, 1 << 20},         {{2}, 83, 83, 1 << 20},   {{2}, 3000, 7, 1 << 20},
      {{100}, 400, 400, 1 << 20},      {{100}, 400, 3, 1 << 20}, {{10, 51, 21}, 1500, 200, 1 << 20},
      {{10, 51, 21}, 1500, 200, 4096}, {{60, 2}, 2000, 1, 1000},
  };
  for (const Case& c : cases) {
    Keys keys(c.lengths.size());
    for (size_t i = 0; i < c.lengths.size(); ++i) {
      for (int r = 0; r < c.records; ++r) {
        const int v = static_cast<int>((static_cast<long>(r) * 7919 + static_cast<long>(i) * 31) %
                                       c.distinct);
        std::string text = words[static_cast<size_t>(v) % words.size()] + std::to_string(v);
        keys[i].push_back(text.substr(0, static_cast<size_t>(c.lengths[i] - 1)));
      }
    }
    SetKeySortBudget(c.budget);
    const std::string what = std::to_string(c.lengths[0]) + "/" + std::to_string(c.records) + "/" +
                             std::to_string(c.distinct) + "/" + std::to_string(c.budget);
    EXPECT_EQ(Built(keys, c.lengths, dir.File("built.inx")),
              AppendedInOrder(keys, c.lengths, dir.File("appended.inx")))
        << what;
    auto ix = std::make_unique<INDEXFILE>();
    ASSERT_EQ(OpenIndexFile(ix.get(), dir.File("built.inx").c_str(),
                            static_cast<int>(c.lengths.size()), c.lengths.data(), kShareNone),
              0);
    ExpectSound(ix.get(), c.records);
    CloseIndexFile(ix.get());
  }
  // No scratch file stays behind.
  std::vector<std::string> left;
  ListTemporaryNames(dir.File("built.inx"), &left);
  EXPECT_TRUE(left.empty());
}

class BuildTableTest : public ::testing::Test {
 protected:
  BuildTableTest() : dir(true) {}
  void SetUp() override {
    SetEventHandler(nullptr);
    SetKeySortBudget(2048);  // sorted runs on disk even for a small table
    ASSERT_EQ(TableOpen(kTableGoods, &TABLE_DEFS[kTableGoods]), 0);
    for (int i = 1; i <= 60; ++i) {
      Tow = TOW_RECORD{};
      Tow.ID = AMOUNT::FromInt(i);
      std::snprintf(Tow.NAZWA, sizeof Tow.NAZWA, "Towar %02d", (i * 17) % 7);  // equal names
      std::snprintf(Tow.NR, sizeof Tow.NR, "N%03d", i);
      if (i % 10 == 0) std::snprintf(Tow.EAN, sizeof Tow.EAN, "590%04d", i);
      ASSERT_EQ(TableAppend(kTableGoods), 0);
    }
    for (long r : {3L, 4L, 30L}) {
      ASSERT_EQ(TableGo(kTableGoods, r), 0);
      ASSERT_EQ(TableDelete(kTableGoods), 0);
    }
    ResetTables();
    dbf = ReadWholeFile("Tow.dbf");
    inx = ReadWholeFile("Tow.inx");
  }
  void TearDown() override {
    ClearFileFault();
    ResetTables();
    ResetKeySortBudget();
  }
  TempDir dir;
  std::string dbf, inx;
};

// A file operation failing once at any step of a rebuild or a pack: the operation fails, the
// table opens whole as it was (or as packed, when the failure came after the files were
// replaced), the checker passes, and every temporary file left is one the next start removes.
TEST_F(BuildTableTest, AFailureAtAnyStepOfARebuildOrPackLeavesASoundTable) {
  int struck = 0;
  for (bool pack : {false, true}) {
    for (long nth = 1;; ++nth) {
      WriteWholeFile("Tow.dbf", dbf);
      WriteWholeFile("Tow.inx", inx);
      ASSERT_EQ(TableOpen(kTableGoods, &TABLE_DEFS[kTableGoods]), 0);
      SetFileFault(0, nth, false);
      const int rc = pack ? TablePack(kTableGoods) : TableRebuildIndexes(kTableGoods);
      const bool hit = FileFaultStruck();
      ClearFileFault();
      const std::string what = (pack ? "pack step " : "rebuild step ") + std::to_string(nth);
      std::vector<std::string> temporary, ours;
      ListTemporaryNames("Tow.dbf", &temporary);
      FindLeftovers(&ours, true);
      EXPECT_EQ(temporary.size(), ours.size()) << what;
      for (const std::string& name : temporary)
        std::remove(name.c_str());  // as the next start does
      ResetTables();
      ASSERT_EQ(TableOpen(kTableGoods, &TABLE_DEFS[kTableGoods]), 0) << what;
      const long count = TableRecCount(kTableGoods);
      EXPECT_TRUE(count == 60 || (pack && count == 57)) << what << ": " << count;
      if (rc == 0) {
        EXPECT_EQ(count, pack ? 57 : 60) << what;
      }
      long live = 0;
      ASSERT_EQ(TableCount(kTableGoods, &live), 0) << what;
      EXPECT_EQ(live, 57) << what;
      std::string problem;
      EXPECT_EQ(CheckTable(kTableGoods, &problem), 0) << what << ": " << problem;
      ResetTables();
      if (!hit) break;
      ++struck;
      ASSERT_LT(nth, 500);
    }
  }
  EXPECT_GT(struck, 40);
}

// A check of a copy on media that takes no new files sorts its keys in the temporary folder.
TEST_F(BuildTableTest, ACheckBesideWhichNoFileCanBeMadeSortsElsewhere) {
  ASSERT_EQ(TableOpen(kTableGoods, &TABLE_DEFS[kTableGoods]), 0);
  SetFileFaultError(EROFS);
  SetFileFault(kFileOpOpen, 1, false);  // the scratch file beside the table
  std::string problem;
  EXPECT_EQ(CheckTable(kTableGoods, &problem), 0) << problem;
  EXPECT_TRUE(FileFaultStruck());
  std::vector<std::string> left;
  ListTemporaryNames("Tow.dbf", &left);
  EXPECT_TRUE(left.empty());
}

// The check walks each index once and sets the records' keys against it: a record missing from a
// run of equal keys (its entry turned into a second one of another record, so the counts agree)
// is found; of several, the lowest record and the first index it is missing from.
TEST_F(BuildTableTest, TheCheckFindsARecordMissingAmongEqualKeys) {
  struct Swap {
    int index;
    const char* key;
    long lost, doubled;
  };
  const std::vector<std::vector<Swap>> cases = {
      {{5, "", 7, 11}},                         // no barcode: one key shared by 54 records
      {{5, "", 7, 11}, {1, "TOWAR 02", 9, 2}},  // "Towar 02" is the name of records 2 and 9
      {{1, "TOWAR 02", 2, 9}, {5, "", 7, 11}},
  };
  const char* const expected[] = {"Brak rekordu 8 w indeksie 5.", "Brak rekordu 8 w indeksie 5.",
                                  "Brak rekordu 3 w indeksie 1."};
  for (size_t k = 0; k < cases.size(); ++k) {
    WriteWholeFile("Tow.dbf", dbf);
    WriteWholeFile("Tow.inx", inx);
    ASSERT_EQ(TableOpen(kTableGoods, &TABLE_DEFS[kTableGoods]), 0);
    std::string problem;
    ASSERT_EQ(CheckTable(kTableGoods, &problem), 0) << problem;
    INDEXFILE* ix = OpenSlot(kTableGoods)->index.get();
    for (const Swap& s : cases[k]) {
      ASSERT_EQ(RemoveKey(ix, s.index, s.key, s.lost), 0);
      ASSERT_EQ(AddKey(ix, s.index, s.key, s.doubled), 0);
    }
    EXPECT_EQ(CheckTable(kTableGoods, &problem), kDbEvKeyMissing) << k;
    EXPECT_EQ(problem, expected[k]) << k;
    ResetTables();
  }
}

}  // namespace
