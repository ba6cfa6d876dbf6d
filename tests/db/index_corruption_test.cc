// Broken index files: byte surgery on a sound file, truncation, cycles and wild pointers give
// events 8, 10 or 14 and never a crash, a hang or a read outside the file.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <vector>

#include "db/index_test_support.h"

namespace {

constexpr int kLengths[2] = {10, 100};
constexpr long kRecords = 100;

std::string Key(int i) {
  char text[16];
  std::snprintf(text, sizeof text, "K%03d", i);
  return text;
}

class IndexCorruptionTest : public IndexTest {
 protected:
  // A sound file: index 0 with two leaves under a root, index 1 four levels deep.
  std::string MakeSound() {
    auto ix = std::make_unique<INDEXFILE>();
    EXPECT_EQ(CreateIndexFile(ix.get(), Name().c_str(), 2, kLengths, kShareNone), 0);
    for (int i = 0; i < 40; ++i) EXPECT_EQ(AddKey(ix.get(), 0, Key(i).c_str(), i), 0);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(AddKey(ix.get(), 1, Key(i * 7 % 30).c_str(), i), 0);
    ExpectSound(ix.get(), kRecords);
    CloseIndexFile(ix.get());
    return ReadWholeFile(Name());
  }

  // Opens the bytes as an index file and does everything a table does with it. Returns the
  // checker's verdict (or the open's refusal); every event must be one of 8, 10, 14, 15.
  int Exercise(const std::string& bytes) {
    WriteWholeFile(Name(), bytes);
    SeenEvents().clear();
    auto ix = std::make_unique<INDEXFILE>();
    int rc = OpenIndexFile(ix.get(), Name().c_str(), 2, kLengths, kShareNone);
    if (rc != 0) {
      EXPECT_EQ(rc, kDbEvBadIndex);
      return rc;
    }
    INDEXCHECK check;
    int verdict = CheckIndexFile(ix.get(), kRecords, &check);
    long rec;
    for (int i = 0; i < 2; ++i) {
      int steps = 0;
      for (rc = FirstKey(ix.get(), i, &rec); rc == 0 && steps < 10000;
           rc = NextKey(ix.get(), i, &rec))
        ++steps;
      EXPECT_LT(steps, 10000) << "endless walk forwards";
      steps = 0;
      for (rc = LastKey(ix.get(), i, &rec); rc == 0 && steps < 10000;
           rc = PrevKey(ix.get(), i, &rec))
        ++steps;
      EXPECT_LT(steps, 10000) << "endless walk backwards";
      SeekKey(ix.get(), i, "K01", &rec);
      SeekLastKey(ix.get(), i, "K02", &rec);
      LocateKey(ix.get(), i, Key(5).c_str(), 5);
      RemoveKey(ix.get(), i, Key(7).c_str(), 7);
      AddKey(ix.get(), i, Key(8).c_str(), 99);
    }
    for (const SeenEvent& e : SeenEvents()) {
      EXPECT_TRUE(e.code == kDbEvBadIndex || e.code == kDbEvKeyMissing ||
                  e.code == kDbEvBadRecordNumber || e.code == kDbEvNotFound)
          << e.code;
    }
    return verdict;
  }
};

TEST_F(IndexCorruptionTest, AnyChangedByteIsSurvivedAndHeadersAndPageHeadsAreCaught) {
  const std::string good = MakeSound();
  ASSERT_EQ(Exercise(good), 0);
  for (size_t at = 0; at < good.size(); ++at) {
    for (int flip : {0x01, 0x80}) {
      std::string bad = good;
      bad[at] = static_cast<char>(bad[at] ^ flip);
      int verdict = Exercise(bad);
      // The header and the first 12 bytes of each page hold nothing that may change unnoticed.
      if (at < 512 || at % 512 < 12) {
        EXPECT_EQ(verdict, kDbEvBadIndex) << "byte " << at << " flip " << flip;
      } else {
        EXPECT_TRUE(verdict == 0 || verdict == kDbEvBadIndex || verdict == kDbEvBadRecordNumber)
            << verdict;
      }
      if (HasFailure()) return;
    }
  }
}

TEST_F(IndexCorruptionTest, TruncatedFilesAreRefused) {
  const std::string good = MakeSound();
  for (size_t length = 0; length < good.size(); length += 97)
    EXPECT_EQ(Exercise(good.substr(0, length)), kDbEvBadIndex) << length;
}

class IndexSurgeryTest : public IndexCorruptionTest {
 protected:
  void SetUp() override {
    IndexCorruptionTest::SetUp();
    good_ = MakeSound();
    ix_ = std::make_unique<INDEXFILE>();
    ASSERT_EQ(OpenIndexFile(ix_.get(), Name().c_str(), 2, kLengths, kShareNone), 0);
    ASSERT_EQ(ReadIndexPage(ix_.get(), 0, ix_->index[0].root, &root_), 0);
    ASSERT_EQ(PageCount(root_), 2);
    left_ = static_cast<int32_t>(EntryValue(root_, 10, 0));
    right_ = static_cast<int32_t>(EntryValue(root_, 10, 1));
    CloseIndexFile(ix_.get());
  }
  void Put32(std::string& bytes, size_t at, int32_t v) {
    PutLe32(reinterpret_cast<uint8_t*>(bytes.data()) + at, static_cast<uint32_t>(v));
  }
  size_t PageAt(int32_t p) const { return static_cast<size_t>(p + 1) * 512; }
  void Reopen(const std::string& bytes) {
    WriteWholeFile(Name(), bytes);
    SeenEvents().clear();
    ASSERT_EQ(OpenIndexFile(ix_.get(), Name().c_str(), 2, kLengths, kShareNone), 0);
  }

  std::string good_;
  std::unique_ptr<INDEXFILE> ix_;
  INDEXPAGE root_;
  int32_t left_ = 0, right_ = 0;
};

// Leaf chains of index 1 (30 keys, four levels, at most four keys a leaf) bent three ways; a walk
// either way reads no leaf twice, so it ends within the index's keys, forwards with event 8.
TEST_F(IndexSurgeryTest, LeafChainsThatLoopEndTheWalk) {
  // The leaves of index 1 in chain order, from the leftmost one.
  ASSERT_NO_FATAL_FAILURE(Reopen(good_));
  std::vector<int32_t> leaves;
  INDEXPAGE pg;
  int32_t p = ix_->index[1].root;
  for (;;) {
    ASSERT_EQ(ReadIndexPage(ix_.get(), 1, p, &pg), 0);
    if (PageKind(pg) == kPageLeaf) break;
    p = static_cast<int32_t>(EntryValue(pg, 100, 0));
  }
  for (; p != kNoPage; p = PageNext(pg)) {
    leaves.push_back(p);
    ASSERT_EQ(ReadIndexPage(ix_.get(), 1, p, &pg), 0);
  }
  ASSERT_GE(leaves.size(), 5u);
  const int32_t first = leaves.front(), last = leaves.back(), third = leaves[2], fourth = leaves[3];
  const struct {
    const char* name;
    int32_t from, next;  // from.next = next, and next.prev = from when `linked`
    bool linked;
  } bends[] = {
      {"loops back", last, first, true},
      {"jumps backwards", fourth, leaves[1], true},
      {"runs through an inner page", third, ix_->index[1].root, false},
  };
  // Each leaf read once at most: no more steps than the index has keys.
  const long most = 30;
  for (const auto& b : bends) {
    std::string bad = good_;
    Put32(bad, PageAt(b.from) + 8, b.next);
    if (b.linked) Put32(bad, PageAt(b.next) + 4, b.from);
    ASSERT_NO_FATAL_FAILURE(Reopen(bad));
    long rec, steps = 0;
    int rc;
    for (rc = FirstKey(ix_.get(), 1, &rec); rc == 0 && steps <= most;
         rc = NextKey(ix_.get(), 1, &rec))
      ++steps;
    EXPECT_EQ(rc, kDbEvBadIndex) << b.name;
    EXPECT_LE(steps, most) << b.name;
    steps = 0;
    for (rc = LastKey(ix_.get(), 1, &rec); rc == 0 && steps <= most;
         rc = PrevKey(ix_.get(), 1, &rec))
      ++steps;
    EXPECT_TRUE(rc == kDbEvBadIndex || rc == kDbEvNotFound) << b.name;
    EXPECT_LE(steps, most) << b.name;
    INDEXCHECK check;
    EXPECT_EQ(CheckIndexFile(ix_.get(), kRecords, &check), kDbEvBadIndex) << b.name;
  }
  // Turning round is no loop: forwards two leaves, then back over the first.
  ASSERT_NO_FATAL_FAILURE(Reopen(good_));
  long rec;
  ASSERT_EQ(FirstKey(ix_.get(), 1, &rec), 0);
  for (int k = 0; k < 6; ++k) ASSERT_EQ(NextKey(ix_.get(), 1, &rec), 0);
  for (int k = 0; k < 6; ++k) ASSERT_EQ(PrevKey(ix_.get(), 1, &rec), 0);
  EXPECT_EQ(PrevKey(ix_.get(), 1, &rec), kDbEvNotFound);
}

TEST_F(IndexSurgeryTest, ChildPointersOutOfRangeOrInACircleGiveEvent8) {
  for (int32_t wild : {9999, -2, ix_->index[0].root}) {
    std::string bad = good_;
    Put32(bad, PageAt(ix_->index[0].root) + 12 + 10, wild);
    ASSERT_NO_FATAL_FAILURE(Reopen(bad));
    long rec;
    EXPECT_EQ(FirstKey(ix_.get(), 0, &rec), kDbEvBadIndex) << wild;
    EXPECT_EQ(SeekKey(ix_.get(), 0, "K0", &rec), kDbEvBadIndex) << wild;
    EXPECT_EQ(AddKey(ix_.get(), 0, "K000", 1), kDbEvBadIndex) << wild;
    EXPECT_EQ(RemoveKey(ix_.get(), 0, Key(3).c_str(), 3), kDbEvBadIndex) << wild;
    INDEXCHECK check;
    EXPECT_EQ(CheckIndexFile(ix_.get(), kRecords, &check), kDbEvBadIndex) << wild;
    EXPECT_EQ(EventCodes(), std::vector<int>(4, kDbEvBadIndex));
  }
}

TEST_F(IndexSurgeryTest, RecordNumberOutsideTheDataFileIsEvent14) {
  std::string bad = good_;
  Put32(bad, PageAt(left_) + 12 + 10, 5000);
  ASSERT_NO_FATAL_FAILURE(Reopen(bad));
  INDEXCHECK check;
  EXPECT_EQ(CheckIndexFile(ix_.get(), kRecords, &check), kDbEvBadRecordNumber);
  EXPECT_EQ(check.index, 0);
  EXPECT_EQ(CheckIndexFile(ix_.get(), 10000, &check), 0);
}

TEST_F(IndexSurgeryTest, SeparatorThatIsNotTheGreatestKeyIsCaught) {
  // The kind of fault a removal that leaves stale separators would make.
  std::string bad = good_;
  bad[PageAt(ix_->index[0].root) + 12 + 3] = '9';
  ASSERT_NO_FATAL_FAILURE(Reopen(bad));
  INDEXCHECK check;
  EXPECT_EQ(CheckIndexFile(ix_.get(), kRecords, &check), kDbEvBadIndex);
  EXPECT_NE(check.problem.find("greatest"), std::string::npos) << check.problem;
}

}  // namespace
