// Long random sequences of adds and removes against an ordered in-memory model, with the integrity
// checker after every step.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/text.h"
#include "db/index_test_support.h"

namespace {

struct Entry {
  std::string key;  // as stored: cut to key length - 1
  long record;
};

// Equal keys keep their order of insertion; that is the whole model.
class Model {
 public:
  explicit Model(int key_length) : kl_(key_length) {}
  std::string Cut(const std::string& text) const {
    return text.substr(0, static_cast<size_t>(kl_ - 1));
  }
  int Compare(const std::string& a, const std::string& b) const {
    return compare_prefix(a.c_str(), b.c_str(), static_cast<size_t>(kl_ - 1));
  }
  int ComparePrefix(const std::string& key, const std::string& text) const {
    size_t n = std::min(text.size(), static_cast<size_t>(kl_ - 1));
    return compare_prefix(key.c_str(), text.c_str(), n);
  }
  size_t Add(const std::string& text, long record) {
    std::string key = Cut(text);
    size_t at = 0;
    while (at < entries.size() && Compare(entries[at].key, key) <= 0) ++at;
    entries.insert(entries.begin() + static_cast<long>(at), Entry{key, record});
    return at;
  }
  // First entry at or above the text (prefix comparison), or -1.
  long Seek(const std::string& text) const {
    for (size_t i = 0; i < entries.size(); ++i)
      if (ComparePrefix(entries[i].key, text) >= 0) return static_cast<long>(i);
    return -1;
  }
  long SeekLast(const std::string& text) const {
    for (size_t i = entries.size(); i-- > 0;)
      if (ComparePrefix(entries[i].key, text) <= 0) return static_cast<long>(i);
    return -1;
  }
  std::vector<Entry> entries;

 private:
  int kl_;
};

class IndexModelTest : public IndexTest, public ::testing::WithParamInterface<unsigned> {
 protected:
  static constexpr int kIndexes = 4;
  const int lengths_[kIndexes] = {2, 10, 51, 100};
  const size_t targets_[kIndexes] = {300, 1100, 300, 150};

  std::string RandomText(int kl, bool for_seek) {
    // Few letters, short texts: many equal keys and many shared prefixes.
    static const std::string letters = std::string("AaBZ ") + "ĄąŻŹó"_pl;
    int max = for_seek ? 3 : (rng_() % 8 == 0 ? kl + 3 : std::min(kl - 1, 4));
    int n = static_cast<int>(rng_() % static_cast<unsigned>(max + 1));
    std::string s;
    for (int i = 0; i < n; ++i) s.push_back(letters[rng_() % letters.size()]);
    return s;
  }

  void ExpectCursor(int i, long want) {
    long rec = -1;
    int rc = CurrentKey(ix_.get(), i, &rec, nullptr);
    if (want < 0) {
      EXPECT_EQ(rc, kDbEvNotFound);
    } else {
      ASSERT_EQ(rc, 0);
      EXPECT_EQ(rec, want);
    }
  }

  void ExpectSameWalk(int i, const Model& m) {
    std::vector<long> want;
    for (const Entry& e : m.entries) want.push_back(e.record);
    ASSERT_EQ(WalkForward(ix_.get(), i), want) << "index " << i;
    std::vector<long> back;
    long rec;
    for (int rc = LastKey(ix_.get(), i, &rec); rc == 0; rc = PrevKey(ix_.get(), i, &rec))
      back.insert(back.begin(), rec);
    ASSERT_EQ(back, want) << "index " << i << " backwards";
  }

  void Step(int i, Model& m, bool grow) {
    const int kl = lengths_[i];
    // Growing: 6 adds to 2 removes; shrinking: 2 adds to 6 removes; the rest seeks and locates.
    unsigned what = rng_() % 10;
    bool add = grow ? what < 6 : what < 2;
    bool remove = !add && what < 8;
    if (add || (remove && m.entries.empty())) {
      std::string text = RandomText(kl, false);
      long record = next_record_++;
      ASSERT_EQ(AddKey(ix_.get(), i, text.c_str(), record), 0);
      m.Add(text, record);
      ExpectCursor(i, record);
    } else if (remove) {
      size_t at = rng_() % m.entries.size();
      Entry gone = m.entries[at];
      ASSERT_EQ(RemoveKey(ix_.get(), i, gone.key.c_str(), gone.record), 0);
      m.entries.erase(m.entries.begin() + static_cast<long>(at));
      long want = at < m.entries.size() ? m.entries[at].record
                  : at > 0              ? m.entries[at - 1].record
                                        : -1;
      ExpectCursor(i, want);
      EXPECT_EQ(RemoveKey(ix_.get(), i, gone.key.c_str(), gone.record), kDbEvKeyMissing);
    } else if (what == 8) {
      std::string text = RandomText(kl, true);
      long rec = -1;
      long at = m.Seek(text);
      ASSERT_EQ(SeekKey(ix_.get(), i, text.c_str(), &rec), at < 0 ? kDbEvNotFound : 0);
      if (at >= 0) {
        EXPECT_EQ(rec, m.entries[static_cast<size_t>(at)].record);
      }
      at = m.SeekLast(text);
      ASSERT_EQ(SeekLastKey(ix_.get(), i, text.c_str(), &rec), at < 0 ? kDbEvNotFound : 0);
      if (at >= 0) {
        EXPECT_EQ(rec, m.entries[static_cast<size_t>(at)].record);
      }
    } else if (!m.entries.empty()) {
      const Entry& e = m.entries[rng_() % m.entries.size()];
      ASSERT_EQ(LocateKey(ix_.get(), i, e.key.c_str(), e.record), 0);
      ExpectCursor(i, e.record);
    }
  }

  void CheckAll(const std::vector<Model>& models) {
    INDEXCHECK check;
    ASSERT_EQ(CheckIndexFile(ix_.get(), next_record_, &check), 0)
        << check.problem << " (index " << check.index << ", page " << check.page << ")";
    for (int i = 0; i < kIndexes; ++i)
      ASSERT_EQ(check.keys[i], static_cast<long>(models[static_cast<size_t>(i)].entries.size()));
  }

  std::mt19937 rng_{GetParam()};
  long next_record_ = 0;
  std::unique_ptr<INDEXFILE> ix_ = std::make_unique<INDEXFILE>();
};

TEST_P(IndexModelTest, RandomAddsAndRemovesMatchTheModel) {
  ASSERT_EQ(CreateIndexFile(ix_.get(), Name().c_str(), kIndexes, lengths_, kShareNone), 0);
  std::vector<Model> models;
  for (int kl : lengths_) models.emplace_back(kl);
  // Grow every index to its target, empty it, grow it again to half: splits at every level,
  // emptied pages at every level, roots that empty and fill again.
  for (int phase = 0; phase < 3; ++phase) {
    bool grow = phase != 1;
    for (;;) {
      std::vector<int> open;
      for (int i = 0; i < kIndexes; ++i) {
        size_t size = models[static_cast<size_t>(i)].entries.size();
        size_t goal = phase == 0 ? targets_[i] : phase == 1 ? 0 : targets_[i] / 2;
        if (grow ? size < goal : size > goal) open.push_back(i);
      }
      if (open.empty()) break;
      int i = open[rng_() % open.size()];
      Model& m = models[static_cast<size_t>(i)];
      ASSERT_NO_FATAL_FAILURE(Step(i, m, grow));
      ASSERT_NO_FATAL_FAILURE(CheckAll(models));
      if (rng_() % 40 == 0) {
        ASSERT_NO_FATAL_FAILURE(ExpectSameWalk(i, m));
      }
    }
    for (int i = 0; i < kIndexes; ++i)
      ASSERT_NO_FATAL_FAILURE(ExpectSameWalk(i, models[static_cast<size_t>(i)]));
    if (phase == 0) {
      // The targets are meant to give every tree at least three levels (two for key length 2).
      INDEXCHECK check;
      ASSERT_EQ(CheckIndexFile(ix_.get(), next_record_, &check), 0);
      for (int i = 0; i < kIndexes; ++i) EXPECT_GE(check.depth[i], i == 0 ? 2 : 3) << i;
    }
  }
  // What was written reads back the same after closing and opening.
  ASSERT_EQ(CloseIndexFile(ix_.get()), 0);
  ASSERT_EQ(OpenIndexFile(ix_.get(), Name().c_str(), kIndexes, lengths_, kShareNone), 0);
  ASSERT_NO_FATAL_FAILURE(CheckAll(models));
  for (int i = 0; i < kIndexes; ++i)
    ASSERT_NO_FATAL_FAILURE(ExpectSameWalk(i, models[static_cast<size_t>(i)]));
  EXPECT_EQ(EventCodes(), (std::vector<int>(EventCodes().size(), kDbEvKeyMissing)));
}

INSTANTIATE_TEST_SUITE_P(Seeds, IndexModelTest, ::testing::Values(1u, 2u));

}  // namespace
