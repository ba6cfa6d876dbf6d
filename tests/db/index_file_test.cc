#include "db/index_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "common/text.h"
#include "db/index_test_support.h"

namespace {

uint32_t Le32(const std::string& bytes, size_t at) {
  return GetLe32(reinterpret_cast<const uint8_t*>(bytes.data()) + at);
}
uint16_t Le16(const std::string& bytes, size_t at) {
  return GetLe16(reinterpret_cast<const uint8_t*>(bytes.data()) + at);
}
// Offset of page p in the file.
size_t PageAt(int p) { return static_cast<size_t>(p + 1) * 512; }

std::string Key(int i) {
  char text[16];
  std::snprintf(text, sizeof text, "K%04d", i);
  return text;
}

class IndexFileTest : public IndexTest {
 protected:
  std::unique_ptr<INDEXFILE> ix = std::make_unique<INDEXFILE>();
};

TEST_F(IndexFileTest, FreshFileIsHeaderAndOneEmptyLeafPerIndex) {
  int lengths[2] = {11, 51};
  ASSERT_EQ(CreateIndexFile(ix.get(), Name().c_str(), 2, lengths, kShareNone), 0);
  ASSERT_EQ(CloseIndexFile(ix.get()), 0);
  std::string bytes = ReadWholeFile(Name());
  ASSERT_EQ(bytes.size(), 3u * 512);
  EXPECT_EQ(std::string(bytes.data(), 26), std::string("Krenvo database index 2.0", 26));
  EXPECT_EQ(Le32(bytes, 32), 2u);  // page count
  EXPECT_EQ(Le32(bytes, 36), 2u);  // index count
  EXPECT_EQ(Le32(bytes, 40), 11u);
  EXPECT_EQ(Le32(bytes, 44), 0u);
  EXPECT_EQ(Le32(bytes, 48), 51u);
  EXPECT_EQ(Le32(bytes, 52), 1u);
  EXPECT_EQ(bytes.find_first_not_of('\0', 56), PageAt(0));
  for (int p = 0; p < 2; ++p) {
    EXPECT_EQ(Le16(bytes, PageAt(p)), 1u);      // leaf
    EXPECT_EQ(Le16(bytes, PageAt(p) + 2), 0u);  // no entries
    EXPECT_EQ(Le32(bytes, PageAt(p) + 4), 0xFFFFFFFFu);
    EXPECT_EQ(Le32(bytes, PageAt(p) + 8), 0xFFFFFFFFu);
  }
  ASSERT_EQ(OpenIndexFile(ix.get(), Name().c_str(), 2, lengths, kShareNone), 0);
  ExpectSound(ix.get());
  long rec;
  EXPECT_EQ(FirstKey(ix.get(), 1, &rec), kDbEvNotFound);
  EXPECT_EQ(EventCodes(true), std::vector<int>{kDbEvNotFound});
}

TEST_F(IndexFileTest, ThirtyFifthKeySplitsTheLeafUnderANewRoot) {
  int lengths[1] = {10};
  ASSERT_EQ(CreateIndexFile(ix.get(), Name().c_str(), 1, lengths, kShareNone), 0);
  for (int i = 0; i < 34; ++i) ASSERT_EQ(AddKey(ix.get(), 0, Key(i).c_str(), i), 0);
  EXPECT_EQ(ix->page_count, 1);
  ASSERT_EQ(AddKey(ix.get(), 0, Key(34).c_str(), 34), 0);
  EXPECT_EQ(ix->page_count, 3);
  EXPECT_EQ(ix->index[0].root, 2);
  ExpectSound(ix.get());

  std::string bytes = ReadWholeFile(Name());
  ASSERT_EQ(bytes.size(), 4u * 512);
  // The new page 1 takes the first 18 keys and stands in front of page 0 in the chain.
  EXPECT_EQ(Le16(bytes, PageAt(1) + 2), 18u);
  EXPECT_EQ(Le16(bytes, PageAt(0) + 2), 17u);
  EXPECT_EQ(Le32(bytes, PageAt(1) + 8), 0u);
  EXPECT_EQ(Le32(bytes, PageAt(0) + 4), 1u);
  // Root: (greatest key of page 1, page 1), (empty key, page 0).
  size_t root = PageAt(2);
  EXPECT_EQ(Le16(bytes, root), 0u);
  EXPECT_EQ(Le16(bytes, root + 2), 2u);
  EXPECT_EQ(std::string(bytes.data() + root + 12), Key(17));
  EXPECT_EQ(Le32(bytes, root + 12 + 10), 1u);
  EXPECT_EQ(std::string(10, '\0'), bytes.substr(root + 12 + 14, 10));
  EXPECT_EQ(Le32(bytes, root + 12 + 14 + 10), 0u);
  std::vector<long> all = WalkForward(ix.get(), 0);
  ASSERT_EQ(all.size(), 35u);
  for (long i = 0; i < 35; ++i) EXPECT_EQ(all[static_cast<size_t>(i)], i);
}

TEST_F(IndexFileTest, EqualKeysKeepInsertionOrderAcrossLeaves) {
  int lengths[1] = {10};
  ASSERT_EQ(CreateIndexFile(ix.get(), Name().c_str(), 1, lengths, kShareNone), 0);
  // 30 keys before and after, then 40 equal keys: they fill more than one leaf.
  for (int i = 0; i < 30; ++i) ASSERT_EQ(AddKey(ix.get(), 0, ("A" + Key(i)).c_str(), 1000 + i), 0);
  for (int i = 0; i < 30; ++i) ASSERT_EQ(AddKey(ix.get(), 0, ("Z" + Key(i)).c_str(), 2000 + i), 0);
  for (int i = 0; i < 40; ++i) ASSERT_EQ(AddKey(ix.get(), 0, "M", i), 0);
  ExpectSound(ix.get());
  long rec;
  ASSERT_EQ(SeekKey(ix.get(), 0, "M", &rec), 0);
  EXPECT_EQ(rec, 0);
  int32_t first_page = ix->index[0].page;
  for (long i = 1; i < 40; ++i) {
    ASSERT_EQ(NextKey(ix.get(), 0, &rec), 0);
    EXPECT_EQ(rec, i);
  }
  EXPECT_NE(ix->index[0].page, first_page) << "the equal keys should span two leaves";
  ASSERT_EQ(SeekLastKey(ix.get(), 0, "M", &rec), 0);
  EXPECT_EQ(rec, 39);
  // Removal and location find an entry among equal keys in whichever leaf it lies.
  ASSERT_EQ(LocateKey(ix.get(), 0, "M", 37), 0);
  ASSERT_EQ(CurrentKey(ix.get(), 0, &rec, nullptr), 0);
  EXPECT_EQ(rec, 37);
  ASSERT_EQ(RemoveKey(ix.get(), 0, "M", 37), 0);
  ASSERT_EQ(RemoveKey(ix.get(), 0, "M", 2), 0);
  ExpectSound(ix.get());
  EXPECT_EQ(RemoveKey(ix.get(), 0, "M", 37), kDbEvKeyMissing);
  EXPECT_EQ(RemoveKey(ix.get(), 0, "M", 1000), kDbEvKeyMissing);
  EXPECT_EQ(LocateKey(ix.get(), 0, "Q", 0), kDbEvKeyMissing);
  EXPECT_EQ(EventCodes(), (std::vector<int>{kDbEvKeyMissing, kDbEvKeyMissing, kDbEvKeyMissing}));
  EXPECT_EQ(SeenEvents().back().text, Name());
  EXPECT_EQ(LastError(), kDbEvKeyMissing);
}

TEST_F(IndexFileTest, OneSearchThroughARunOfEqualKeysLeadsLaterOnesStraightToTheLeaf) {
  int lengths[1] = {10};
  ASSERT_EQ(CreateIndexFile(ix.get(), Name().c_str(), 1, lengths, kShareNone), 0);
  for (int i = 0; i < 400; ++i) ASSERT_EQ(AddKey(ix.get(), 0, "M", i), 0);  // over 20 leaves
  ASSERT_EQ(CloseIndexFile(ix.get()), 0);
  ASSERT_EQ(OpenIndexFile(ix.get(), Name().c_str(), 1, lengths, kShareNone), 0);
  ix->cache.limit = 2;                            // nearly every page is read from the file
  ASSERT_EQ(LocateKey(ix.get(), 0, "M", 60), 0);  // through the first leaves of the run
  // Anywhere in the run, before or after that record: the leaf and the pages above it.
  for (long r : {399L, 250L, 3L}) {
    const long before = ix->stats.page_reads;
    ASSERT_EQ(LocateKey(ix.get(), 0, "M", r), 0);
    long rec;
    ASSERT_EQ(CurrentKey(ix.get(), 0, &rec, nullptr), 0);
    EXPECT_EQ(rec, r);
    EXPECT_LE(ix->stats.page_reads - before, 3) << r;
  }
  // A record moved to the end of the run is found there.
  ASSERT_EQ(RemoveKey(ix.get(), 0, "M", 5), 0);
  ASSERT_EQ(AddKey(ix.get(), 0, "M", 5), 0);
  const long before = ix->stats.page_reads;
  ASSERT_EQ(RemoveKey(ix.get(), 0, "M", 5), 0);
  EXPECT_LE(ix->stats.page_reads - before, 4);
  ExpectSound(ix.get());
}

TEST_F(IndexFileTest, SeeksMatchByPrefixInPolishOrder) {
  int lengths[1] = {10};
  ASSERT_EQ(CreateIndexFile(ix.get(), Name().c_str(), 1, lengths, kShareNone), 0);
  const char* keys[] = {"ALBA", "ALA", "BOB", "ALAN", "ŻABA"_pl, "ZORZA", "ŹREBIĘ"_pl, "żuk"_pl};
  for (long i = 0; i < 8; ++i) ASSERT_EQ(AddKey(ix.get(), 0, keys[i], i), 0);
  // Ż sorts after Z and before Ź; small letters after all capitals.
  EXPECT_EQ(WalkForward(ix.get(), 0), (std::vector<long>{1, 3, 0, 2, 5, 4, 6, 7}));
  long rec = -1;
  EXPECT_EQ(SeekKey(ix.get(), 0, "AL", &rec), 0);
  EXPECT_EQ(rec, 1);
  EXPECT_EQ(SeekLastKey(ix.get(), 0, "AL", &rec), 0);
  EXPECT_EQ(rec, 0);
  EXPECT_EQ(SeekKey(ix.get(), 0, "ALB", &rec), 0);
  EXPECT_EQ(rec, 0);
  EXPECT_EQ(SeekKey(ix.get(), 0, "Z", &rec), 0);
  EXPECT_EQ(rec, 5);
  EXPECT_EQ(SeekKey(ix.get(), 0, "Ż"_pl, &rec), 0);
  EXPECT_EQ(rec, 4);
  EXPECT_EQ(SeekKey(ix.get(), 0, "", &rec), 0);
  EXPECT_EQ(rec, 1);
  // Nothing at or above "żz": not found, and the cursor stays where it was.
  ASSERT_EQ(SeekKey(ix.get(), 0, "BO", &rec), 0);
  EXPECT_EQ(SeekKey(ix.get(), 0, "zz", &rec), 0);
  EXPECT_EQ(rec, 7);
  ASSERT_EQ(SeekKey(ix.get(), 0, "BO", &rec), 0);
  EXPECT_EQ(SeekKey(ix.get(), 0, "żz"_pl, &rec), kDbEvNotFound);
  EXPECT_EQ(SeekLastKey(ix.get(), 0, "0", &rec), kDbEvNotFound);
  ASSERT_EQ(CurrentKey(ix.get(), 0, &rec, nullptr), 0);
  EXPECT_EQ(rec, 2);
  EXPECT_EQ(EventCodes(), std::vector<int>{});

  // On disk the keys are in code page 852: Ż is 0xBD there.
  ASSERT_EQ(CloseIndexFile(ix.get()), 0);
  std::string bytes = ReadWholeFile(Name());
  EXPECT_NE(bytes.find("\xBD"
                       "ABA"),
            std::string::npos);
  EXPECT_EQ(bytes.find("\xAF"
                       "ABA"),
            std::string::npos);
  ASSERT_EQ(OpenIndexFile(ix.get(), Name().c_str(), 1, lengths, kShareNone), 0);
  char key[10];
  ASSERT_EQ(SeekKey(ix.get(), 0, "Ż"_pl, &rec), 0);
  ASSERT_EQ(CurrentKey(ix.get(), 0, &rec, key), 0);
  EXPECT_STREQ(key, "ŻABA"_pl);
}

TEST_F(IndexFileTest, LongKeysAreCutToTheKeyLength) {
  int lengths[1] = {4};
  ASSERT_EQ(CreateIndexFile(ix.get(), Name().c_str(), 1, lengths, kShareNone), 0);
  ASSERT_EQ(AddKey(ix.get(), 0, "ABCDEF", 7), 0);
  char key[4];
  long rec;
  ASSERT_EQ(CurrentKey(ix.get(), 0, &rec, key), 0);
  EXPECT_EQ(std::string(key, 4), std::string("ABC\0", 4));
  // Removal compares the cut key, so a text that differs only beyond it names the same key.
  EXPECT_EQ(RemoveKey(ix.get(), 0, "ABCxyz", 7), 0);
  ExpectSound(ix.get());
}

TEST_F(IndexFileTest, BytesThatAreLettersInCodePage852KeepTheOrderOnDisk) {
  // © (0xA9 in Windows-1250) is ę in code page 852 and reads back as ę: keys and seeks take that
  // round trip first, so the file stays ordered and the key can be found and removed.
  int lengths[1] = {10};
  ASSERT_EQ(CreateIndexFile(ix.get(), Name().c_str(), 1, lengths, kShareNone), 0);
  ASSERT_EQ(AddKey(ix.get(), 0, "f", 1), 0);
  ASSERT_EQ(AddKey(ix.get(), 0, "\xA9", 2), 0);
  ExpectSound(ix.get());
  long rec = -1;
  ASSERT_EQ(SeekKey(ix.get(), 0, "\xA9", &rec), 0);
  EXPECT_EQ(rec, 2);
  EXPECT_EQ(RemoveKey(ix.get(), 0, "\xA9", 2), 0);
  ExpectSound(ix.get());
}

TEST_F(IndexFileTest, RemovingEveryKeyLeavesAnEmptyRootAndTheFileSize) {
  int lengths[2] = {100, 10};
  ASSERT_EQ(CreateIndexFile(ix.get(), Name().c_str(), 2, lengths, kShareNone), 0);
  for (int i = 0; i < 60; ++i) ASSERT_EQ(AddKey(ix.get(), 0, Key(i * 7 % 60).c_str(), i), 0);
  for (int i = 0; i < 60; ++i) ASSERT_EQ(AddKey(ix.get(), 1, Key(i).c_str(), i), 0);
  ExpectSound(ix.get());
  int64_t size = ix->file.Size();
  for (int i = 0; i < 60; ++i) {
    ASSERT_EQ(RemoveKey(ix.get(), 0, Key(i * 7 % 60).c_str(), i), 0) << i;
    ExpectSound(ix.get());
  }
  EXPECT_EQ(ix->file.Size(), size);
  long rec;
  EXPECT_EQ(FirstKey(ix.get(), 0, &rec), kDbEvNotFound);
  EXPECT_EQ(LastKey(ix.get(), 0, &rec), kDbEvNotFound);
  EXPECT_EQ(SeekKey(ix.get(), 0, "", &rec), kDbEvNotFound);
  EXPECT_EQ(WalkForward(ix.get(), 1).size(), 60u);
  INDEXPAGE root;
  ASSERT_EQ(ReadIndexPage(ix.get(), 0, ix->index[0].root, &root), 0);
  EXPECT_EQ(PageCount(root), 0);
  EXPECT_EQ(PageKind(root), kPageLeaf);
  // The emptied index takes keys again.
  ASSERT_EQ(AddKey(ix.get(), 0, "X", 5), 0);
  ASSERT_EQ(FirstKey(ix.get(), 0, &rec), 0);
  EXPECT_EQ(rec, 5);
  ExpectSound(ix.get());
  INDEXCHECK check;
  CheckIndexFile(ix.get(), -1, &check);
  EXPECT_GT(check.unused_pages, 0);
}

TEST_F(IndexFileTest, CursorAfterRemovalFollowsTheRemovedEntry) {
  int lengths[1] = {10};
  ASSERT_EQ(CreateIndexFile(ix.get(), Name().c_str(), 1, lengths, kShareNone), 0);
  for (int i = 0; i < 35; ++i) ASSERT_EQ(AddKey(ix.get(), 0, Key(i).c_str(), i), 0);
  long rec;
  // Last entry of the first leaf (key 17): the first entry of the next page takes its place.
  ASSERT_EQ(RemoveKey(ix.get(), 0, Key(17).c_str(), 17), 0);
  ASSERT_EQ(CurrentKey(ix.get(), 0, &rec, nullptr), 0);
  EXPECT_EQ(rec, 18);
  // Last entry of the last leaf: the previous entry.
  ASSERT_EQ(RemoveKey(ix.get(), 0, Key(34).c_str(), 34), 0);
  ASSERT_EQ(CurrentKey(ix.get(), 0, &rec, nullptr), 0);
  EXPECT_EQ(rec, 33);
  // In the middle: the entry that moved up.
  ASSERT_EQ(RemoveKey(ix.get(), 0, Key(5).c_str(), 5), 0);
  ASSERT_EQ(CurrentKey(ix.get(), 0, &rec, nullptr), 0);
  EXPECT_EQ(rec, 6);
  ASSERT_EQ(NextKey(ix.get(), 0, &rec), 0);
  EXPECT_EQ(rec, 7);
  ExpectSound(ix.get());
  // Emptying the second leaf from its end leaves the cursor on the last entry of the first.
  for (int i = 33; i >= 18; --i) ASSERT_EQ(RemoveKey(ix.get(), 0, Key(i).c_str(), i), 0);
  ASSERT_EQ(CurrentKey(ix.get(), 0, &rec, nullptr), 0);
  EXPECT_EQ(rec, 16);
  EXPECT_EQ(NextKey(ix.get(), 0, &rec), kDbEvNotFound);
  ExpectSound(ix.get());
}

TEST_F(IndexFileTest, HeaderThatDiffersFromTheDefinitionIsRefused) {
  int lengths[2] = {11, 51};
  ASSERT_EQ(CreateIndexFile(ix.get(), Name().c_str(), 2, lengths, kShareNone), 0);
  ASSERT_EQ(CloseIndexFile(ix.get()), 0);
  const std::string good = ReadWholeFile(Name());
  for (size_t at = 0; at < 26; ++at) {
    std::string bad = good;
    bad[at] = static_cast<char>(bad[at] ^ 0x01);  // "2.0" becomes "2.1" at byte 24, and so on
    WriteWholeFile(Name(), bad);
    SeenEvents().clear();
    EXPECT_EQ(OpenIndexFile(ix.get(), Name().c_str(), 2, lengths, kShareNone), kDbEvBadIndex) << at;
    EXPECT_EQ(EventCodes(), std::vector<int>{kDbEvBadIndex});
    EXPECT_FALSE(ix->file.IsOpen());
  }
  WriteWholeFile(Name(), good);
  int one[1] = {11};
  EXPECT_EQ(OpenIndexFile(ix.get(), Name().c_str(), 1, one, kShareNone), kDbEvBadIndex);
  int other[2] = {11, 50};
  EXPECT_EQ(OpenIndexFile(ix.get(), Name().c_str(), 2, other, kShareNone), kDbEvBadIndex);
  EXPECT_EQ(OpenIndexFile(ix.get(), Name().c_str(), 2, lengths, kShareNone), 0);
  EXPECT_EQ(SeenEvents().back().text, Name());
  int too_long[1] = {101};
  EXPECT_EQ(CreateIndexFile(ix.get(), Name().c_str(), 1, too_long, kShareNone), kDbEvBadDefinition);
}

TEST_F(IndexFileTest, EmptyIndexFileStartsAfresh) {
  int lengths[2] = {10, 2};
  ASSERT_EQ(CreateIndexFile(ix.get(), Name().c_str(), 2, lengths, kShareNone), 0);
  for (int i = 0; i < 200; ++i) ASSERT_EQ(AddKey(ix.get(), i % 2, Key(i).c_str(), i), 0);
  ASSERT_EQ(EmptyIndexFile(ix.get()), 0);
  EXPECT_EQ(ix->file.Size(), 3 * 512);
  ExpectSound(ix.get());
  long rec;
  EXPECT_EQ(FirstKey(ix.get(), 0, &rec), kDbEvNotFound);
  ASSERT_EQ(AddKey(ix.get(), 1, "Q", 3), 0);
  EXPECT_EQ(WalkForward(ix.get(), 1), std::vector<long>{3});
}

TEST_F(IndexFileTest, IndexOrRecordNumberOutOfRangeIsRefused) {
  int lengths[1] = {10};
  ASSERT_EQ(CreateIndexFile(ix.get(), Name().c_str(), 1, lengths, kShareNone), 0);
  long rec;
  EXPECT_EQ(AddKey(ix.get(), 1, "A", 0), kDbEvBadIndexNumber);
  EXPECT_EQ(FirstKey(ix.get(), -1, &rec), kDbEvBadIndexNumber);
  EXPECT_EQ(AddKey(ix.get(), 0, "A", -1), kDbEvBadRecordNumber);
  EXPECT_EQ(EventCodes(),
            (std::vector<int>{kDbEvBadIndexNumber, kDbEvBadIndexNumber, kDbEvBadRecordNumber}));
}

TEST_F(IndexFileTest, SecondWorkstationSeesChangesAfterRefresh) {
  int lengths[1] = {10};
  ASSERT_EQ(CreateIndexFile(ix.get(), Name().c_str(), 1, lengths, kShareReadWrite), 0);
  auto other = std::make_unique<INDEXFILE>();
  ASSERT_EQ(OpenIndexFile(other.get(), Name().c_str(), 1, lengths, kShareReadWrite), 0);
  for (int i = 0; i < 10; ++i) ASSERT_EQ(AddKey(ix.get(), 0, Key(i).c_str(), i), 0);
  long rec;
  ASSERT_EQ(RefreshIndexFile(other.get()), 0);
  ASSERT_EQ(SeekKey(other.get(), 0, Key(8).c_str(), &rec), 0);
  // The first workstation grows the tree past one leaf and removes the entry under the other's
  // cursor; after its refresh the other one walks on from the page as it now is.
  for (int i = 10; i < 100; ++i) ASSERT_EQ(AddKey(ix.get(), 0, Key(i).c_str(), i), 0);
  ASSERT_EQ(RemoveKey(ix.get(), 0, Key(8).c_str(), 8), 0);
  ASSERT_EQ(RefreshIndexFile(other.get()), 0);
  EXPECT_EQ(other->page_count, ix->page_count);
  EXPECT_EQ(other->index[0].root, ix->index[0].root);
  ASSERT_EQ(NextKey(other.get(), 0, &rec), 0);
  EXPECT_GT(rec, 8);
  EXPECT_EQ(WalkForward(other.get(), 0).size(), 99u);
  ExpectSound(other.get());
  // Without the refresh the page count is stale and the checker says so.
  ASSERT_EQ(AddKey(ix.get(), 0, "ZZZ", 500), 0);
  for (int i = 100; i < 200; ++i) ASSERT_EQ(AddKey(ix.get(), 0, Key(i).c_str(), i), 0);
  INDEXCHECK check;
  EXPECT_EQ(CheckIndexFile(other.get(), -1, &check), kDbEvBadIndex);
  EXPECT_EQ(EventCodes(), std::vector<int>{});
}

TEST_F(IndexFileTest, FailedWritesAreReportedAndTheFailedAppendRestoresTheCount) {
  int lengths[1] = {10};
  // A creation that cannot write leaves no file behind.
  SetFileFault(kFileOpWrite, 2, false);
  EXPECT_EQ(CreateIndexFile(ix.get(), Name().c_str(), 1, lengths, kShareNone), -1);
  EXPECT_FALSE(CFILE::Exists(Name().c_str()));
  ClearFileFault();

  ASSERT_EQ(CreateIndexFile(ix.get(), Name().c_str(), 1, lengths, kShareNone), 0);
  for (int i = 0; i < 34; ++i) ASSERT_EQ(AddKey(ix.get(), 0, Key(i).c_str(), i), 0);
  // The 35th key splits: its first write is the header with the grown page count.
  SetFileFault(kFileOpWrite, 1, false);
  EXPECT_EQ(AddKey(ix.get(), 0, Key(34).c_str(), 34), -1);
  EXPECT_EQ(ix->page_count, 1);
  ExpectSound(ix.get());
  // Every later point of failure gives -1 and no crash; the index may then need a rebuild.
  for (long nth = 2; nth < 10; ++nth) {
    ASSERT_EQ(EmptyIndexFile(ix.get()), 0);
    for (int i = 0; i < 34; ++i) ASSERT_EQ(AddKey(ix.get(), 0, Key(i).c_str(), i), 0);
    SetFileFault(kFileOpWrite, nth, false);
    int rc = AddKey(ix.get(), 0, Key(34).c_str(), 34);
    ClearFileFault();
    if (rc == 0) {
      ExpectSound(ix.get());
      break;
    }
    EXPECT_EQ(rc, -1) << nth;
    INDEXCHECK check;
    int found = CheckIndexFile(ix.get(), -1, &check);
    EXPECT_TRUE(found == 0 || found == kDbEvBadIndex) << found;
  }
  EXPECT_EQ(EventCodes(), std::vector<int>{});
}

TEST(DbEvents, HandlerHearsEventsAndLastErrorRemembers) {
  ResetDbEvents();
  EXPECT_EQ(ReportDbEvent(kDbEvBadIndex, "Tow.inx", 2), 0);
  EXPECT_EQ(LastError(), kDbEvBadIndex);
  static int heard = 0;
  SetEventHandler([](int code, const char*, long number) {
    heard = code * 100 + static_cast<int>(number);
    return 1;
  });
  EXPECT_EQ(ReportDbEvent(kDbEvIndexBuildProgress, "Tow.inx", 40), 1);  // non-zero answer cancels
  EXPECT_EQ(heard, 540);
  ResetDbEvents();
  EXPECT_EQ(EventHandler(), nullptr);
  EXPECT_EQ(LastError(), 0);
}

}  // namespace

// Held alone, pages changed in place wait in memory and reach the file at the flush: the file is
// then byte for byte what writing every change through gives, whether the waiting pages went out
// at the close or whenever too many waited.
TEST_F(IndexFileTest, ChangesKeptBackReachTheFileAsWrittenThrough) {
  int lengths[2] = {12, 30};
  auto build = [&](const std::string& name, int sharing, size_t cache_pages) {
    std::unique_ptr<INDEXFILE> f = std::make_unique<INDEXFILE>();
    EXPECT_EQ(CreateIndexFile(f.get(), name.c_str(), 2, lengths, sharing), 0);
    f->cache.limit = cache_pages;
    for (int i = 0; i < 600; ++i) {
      const std::string name_key = (i % 3 ? "Żółw "_pl : "Ćma "_pl) + std::to_string(i * 7 % 600);
      EXPECT_EQ(AddKey(f.get(), 0, Key(i).c_str(), i), 0);
      EXPECT_EQ(AddKey(f.get(), 1, name_key.c_str(), i), 0);
      if (i % 4 == 3) {
        EXPECT_EQ(RemoveKey(f.get(), 0, Key(i - 2).c_str(), i - 2), 0);
      }
    }
    EXPECT_EQ(f->write_back, sharing == kShareNone);
    EXPECT_EQ(CloseIndexFile(f.get()), 0);
    return ReadWholeFile(name);
  };
  const std::string through = build(Name() + ".through", kShareReadWrite, 4096);
  ASSERT_GT(through.size(), 40u * 512);
  EXPECT_EQ(build(Name() + ".back", kShareNone, 4096), through);
  EXPECT_EQ(build(Name() + ".small", kShareNone, 3), through);
}
