// Sorting the keys of a whole index file and writing its trees bottom up.
// Format: docs/formats/index-file.md.
#include "db/index_build.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "common/codepage.h"
#include "db/db_events.h"
#include "platform/paths.h"

namespace {

constexpr size_t kDefaultBudget = size_t{24} << 20;
size_t g_budget = kDefaultBudget;
constexpr size_t kIoBlock = size_t{64} << 10;

struct WEIGHTTABLES {
  uint8_t weight[256];
  uint8_t byte[2][256];  // [0] data code page, [1] code page 852
  WEIGHTTABLES() {
    for (int b = 0; b < 256; ++b)
      weight[b] = collation_weight(kCodePageWindows, static_cast<uint8_t>(b));
    for (int b = 0; b < 256; ++b) {
      uint8_t c = static_cast<uint8_t>(b);
      byte[0][weight[b]] = c;
      convert_buffer(kCodePageWindows, kCodePageLatin2, &c, 1);
      byte[1][weight[b]] = c;
    }
  }
};

const WEIGHTTABLES& Tables() {
  static const WEIGHTTABLES t;
  return t;
}

// Deletes the scratch file with the handler silenced: a leftover of work that has ended (any
// failure was reported already). The name may be taken while the file never opened.
void DropQuietly(CFILE& f, const std::string& name) {
  CFILE::QUIET quiet;
  f.Close();
  if (!name.empty()) CFILE::DeleteFile(name.c_str());
}

}  // namespace

void SortWeights(const uint8_t* key, int n, uint8_t* out) {
  const WEIGHTTABLES& t = Tables();
  for (int i = 0; i < n; ++i) out[i] = t.weight[key[i]];
}

void KeyFromWeights(const uint8_t* weights, int n, int code_page, uint8_t* out) {
  const uint8_t* to = Tables().byte[code_page == kCodePageLatin2 ? 1 : 0];
  for (int i = 0; i < n; ++i) out[i] = to[weights[i]];
}

void SetKeySortBudget(size_t bytes) { g_budget = bytes; }
void ResetKeySortBudget() { g_budget = kDefaultBudget; }

// ---------------------------------------------------------------------------------------------
// Sorting.

KEYSORTER::KEYSORTER(int index_count, const int* key_lengths, const std::string& near_path)
    : index_count_(index_count), near_(near_path) {
  for (int i = 0; i < index_count; ++i) key_length_[i] = key_lengths[i];
}

KEYSORTER::~KEYSORTER() { DropQuietly(scratch_, scratch_name_); }

int KEYSORTER::Add(int index, const char* text, uint32_t record) {
  const size_t entry = static_cast<size_t>(key_length_[index]) + 4;
  if (held_ > 0 && held_ + entry + sizeof(uint32_t) > g_budget && Spill() != 0) return -1;
  std::vector<uint8_t>& m = memory_[index];
  const size_t at = m.size();
  m.resize(at + entry);
  uint8_t key[kMaxKeyLength];
  MakeIndexKey(text, key_length_[index], key);
  SortWeights(key, key_length_[index], m.data() + at);
  for (int b = 0; b < 4; ++b)
    m[at + static_cast<size_t>(key_length_[index] + b)] =
        static_cast<uint8_t>(record >> (24 - 8 * b));
  held_ += entry + sizeof(uint32_t);
  ++count_[index];
  return 0;
}

void KEYSORTER::SortMemory(int index) {
  const size_t entry = static_cast<size_t>(key_length_[index]) + 4;
  const uint8_t* base = memory_[index].data();
  std::vector<uint32_t>& order = order_[index];
  order.resize(memory_[index].size() / entry);
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(), [base, entry](uint32_t a, uint32_t b) {
    return std::memcmp(base + a * entry, base + b * entry, entry) < 0;
  });
}

// The keys in memory go out as one sorted run per index. The scratch file starts with the magic
// text of index files, so that one left behind by a crash is taken for what it is (a piece of an
// index build) and removed at the next start like any other.
int KEYSORTER::Spill() {
  if (!scratch_.IsOpen()) {
    // Beside the table; where its directory takes no new files (a check of a copy on read-only
    // media), in the temporary folder.
    scratch_name_ = TakeTemporaryName(near_);
    if (scratch_name_.empty()) scratch_name_ = TakeTemporaryName(TemporaryFolder() + "/", true);
    if (scratch_name_.empty()) return -1;
    if (scratch_.Open(scratch_name_.c_str(), kCreateAlways, kAccessReadWrite, kShareNone) != 0)
      return -1;
    uint8_t head[kIndexBlockSize] = {};
    std::memcpy(head, kIndexMagic, kIndexMagicSize);
    if (scratch_.Write(head, sizeof head) != static_cast<long>(sizeof head)) return -1;
    scratch_end_ = kIndexBlockSize;
  }
  if (scratch_.Seek(scratch_end_, SEEK_SET) < 0) return -1;
  std::vector<uint8_t> out;
  out.reserve(kIoBlock);
  for (int i = 0; i < index_count_; ++i) {
    if (memory_[i].empty()) continue;
    SortMemory(i);
    const size_t entry = static_cast<size_t>(key_length_[i]) + 4;
    const uint8_t* base = memory_[i].data();
    const std::vector<uint32_t>& order = order_[i];
    runs_[i].push_back(RUN{scratch_end_, static_cast<long>(order.size())});
    for (size_t k = 0; k < order.size(); ++k) {
      out.insert(out.end(), base + order[k] * entry, base + order[k] * entry + entry);
      if (out.size() + entry > kIoBlock || k + 1 == order.size()) {
        if (scratch_.Write(out.data(), out.size()) != static_cast<long>(out.size())) return -1;
        scratch_end_ += static_cast<int64_t>(out.size());
        out.clear();
      }
    }
    std::vector<uint8_t>().swap(memory_[i]);
    std::vector<uint32_t>().swap(order_[i]);
  }
  held_ = 0;
  return 0;
}

int KEYSORTER::Finish() {
  for (int i = 0; i < index_count_; ++i) SortMemory(i);
  return 0;
}

int KEYSORTER::Advance(SOURCE& src) {
  const size_t entry = static_cast<size_t>(key_length_[reading_]) + 4;
  if (src.in_memory) {
    const std::vector<uint32_t>& order = order_[reading_];
    src.head = src.at < order.size() ? memory_[reading_].data() + order[src.at++] * entry : nullptr;
    return 0;
  }
  if (src.at == src.filled) {
    src.head = nullptr;
    if (src.left == 0) return 0;
    const size_t take =
        std::min(static_cast<size_t>(src.left), std::max<size_t>(1, kIoBlock / entry));
    src.buffer.resize(take * entry);
    long got = scratch_.ReadAt(src.next_offset, src.buffer.data(), take * entry);
    if (got < 0) return -1;
    // The scratch file is ours and was written whole: a short read is a failing disk.
    if (got != static_cast<long>(take * entry)) {
      ReportDbEvent(kDbEvBadIndex, scratch_name_.c_str(), reading_);
      return -1;
    }
    src.next_offset += static_cast<int64_t>(take * entry);
    src.left -= static_cast<long>(take);
    src.at = 0;
    src.filled = take;
  }
  src.head = src.buffer.data() + src.at++ * entry;
  return 0;
}

int KEYSORTER::Rewind(int index) {
  reading_ = index;
  sources_.clear();
  sources_.resize(runs_[index].size() + 1);
  for (size_t k = 0; k < runs_[index].size(); ++k) {
    sources_[k].next_offset = runs_[index][k].offset;
    sources_[k].left = runs_[index][k].count;
  }
  sources_.back().in_memory = true;
  last_.resize(static_cast<size_t>(key_length_[index]) + 4);
  for (SOURCE& s : sources_)
    if (Advance(s) != 0) return -1;
  return 0;
}

int KEYSORTER::Next(const uint8_t** weights, uint32_t* record) {
  const size_t entry = static_cast<size_t>(key_length_[reading_]) + 4;
  SOURCE* best = nullptr;
  for (SOURCE& s : sources_)
    if (s.head && (!best || std::memcmp(s.head, best->head, entry) < 0)) best = &s;
  if (!best) return 0;
  std::memcpy(last_.data(), best->head, entry);
  if (Advance(*best) != 0) return -1;
  const uint8_t* r = last_.data() + key_length_[reading_];
  *record = (static_cast<uint32_t>(r[0]) << 24) | (static_cast<uint32_t>(r[1]) << 16) |
            (static_cast<uint32_t>(r[2]) << 8) | r[3];
  *weights = last_.data();
  return 1;
}

// ---------------------------------------------------------------------------------------------
// Writing.

namespace {

// Pages reach the file through a window of consecutive page numbers written in large pieces;
// pages that come after their window has gone are written one by one.
class PAGESINK {
 public:
  explicit PAGESINK(CFILE* f)
      : f_(f), buffer_(kWindow * kIndexBlockSize), present_(kWindow, false) {}
  int Put(int32_t p, const INDEXPAGE& page) {
    if (p < base_) return WriteAt(p, page.bytes, 1);
    if (p >= base_ + kWindow) {
      if (Flush() != 0) return -1;
      base_ = p;
    }
    const size_t slot = static_cast<size_t>(p - base_);
    std::memcpy(buffer_.data() + slot * kIndexBlockSize, page.bytes, kIndexBlockSize);
    present_[slot] = true;
    return 0;
  }
  int Flush() {
    for (int32_t k = 0; k < kWindow;) {
      if (!present_[static_cast<size_t>(k)]) {
        ++k;
        continue;
      }
      int32_t run = 1;
      while (k + run < kWindow && present_[static_cast<size_t>(k + run)]) ++run;
      if (WriteAt(base_ + k, buffer_.data() + static_cast<size_t>(k) * kIndexBlockSize, run) != 0)
        return -1;
      k += run;
    }
    std::fill(present_.begin(), present_.end(), false);
    base_ += kWindow;
    return 0;
  }

 private:
  static constexpr int32_t kWindow = 256;
  int WriteAt(int32_t p, const uint8_t* bytes, int32_t pages) {
    const size_t n = static_cast<size_t>(pages) * kIndexBlockSize;
    if (f_->Seek((static_cast<int64_t>(p) + 1) * kIndexBlockSize, SEEK_SET) < 0) return -1;
    return f_->Write(bytes, n) == static_cast<long>(n) ? 0 : -1;
  }
  CFILE* f_;
  int32_t base_ = 0;
  std::vector<uint8_t> buffer_;
  std::vector<bool> present_;
};

// One tree written as AddKey would grow it from keys in ascending order: every key goes to the
// end of the rightmost leaf, every separator in front of the last entry of the rightmost inner
// page, so only the rightmost page of each level and the page split off last before it (whose
// next link the following split changes) are still open. Pages are kept in code page 852.
class TREEWRITER {
 public:
  TREEWRITER(int key_length, int32_t first_leaf, int32_t* next_page, PAGESINK* sink)
      : kl_(key_length), capacity_(IndexCapacity(key_length)), next_page_(next_page), sink_(sink) {
    levels_.emplace_back();
    InitIndexPage(levels_[0].right, kPageLeaf);
    levels_[0].right_no = first_leaf;
  }

  int Add(const uint8_t* key, uint32_t record) { return Insert(0, key, record); }

  int Finish(int32_t* root) {
    for (LEVEL& l : levels_) {
      if (l.left_no != kNoPage && sink_->Put(l.left_no, l.left) != 0) return -1;
      if (sink_->Put(l.right_no, l.right) != 0) return -1;
    }
    *root = levels_.back().right_no;
    return 0;
  }

 private:
  struct LEVEL {
    INDEXPAGE right;
    int32_t right_no = kNoPage;
    INDEXPAGE left;
    int32_t left_no = kNoPage;
  };

  int NewPage(int32_t* p) {
    if (*next_page_ >= 0x7FFFFFFF) return kDbEvBadIndex;
    *p = (*next_page_)++;
    return 0;
  }

  // The split is AddKey's: the new page in front takes the first half of the entries (one more
  // when the new entry goes beyond the middle), the old page keeps the rest.
  int Insert(size_t level, const uint8_t* key, uint32_t value) {
    LEVEL& l = levels_[level];
    INDEXPAGE& pg = l.right;
    const int n = PageCount(pg);
    const int pos = level == 0 ? n : n - 1;
    if (n < capacity_) {
      InsertIndexEntry(pg, kl_, pos, key, value);
      return 0;
    }
    int32_t new_no;
    int rc = NewPage(&new_no);
    if (rc != 0) return rc;
    INDEXPAGE np;
    InitIndexPage(np, PageKind(pg));
    const int half = capacity_ / 2;
    const int h = pos > half ? half + 1 : half;
    const int entry = kl_ + 4;
    std::memcpy(EntryKey(np, kl_, 0), EntryKey(pg, kl_, 0), static_cast<size_t>(h * entry));
    SetPageCount(np, h);
    const int rest = capacity_ - h;
    std::memmove(EntryKey(pg, kl_, 0), EntryKey(pg, kl_, h), static_cast<size_t>(rest * entry));
    std::memset(EntryKey(pg, kl_, rest), 0, static_cast<size_t>(h * entry));
    SetPageCount(pg, rest);
    if (pos <= half) InsertIndexEntry(np, kl_, pos, key, value);
    else InsertIndexEntry(pg, kl_, pos - h, key, value);
    const int32_t old_prev = PagePrev(pg);
    SetPagePrev(np, old_prev);
    SetPageNext(np, l.right_no);
    SetPagePrev(pg, new_no);
    if (old_prev != kNoPage) {
      // The page split off before this one: its next link was the last thing still open.
      SetPageNext(l.left, new_no);
      if (sink_->Put(l.left_no, l.left) != 0) return -1;
    }
    l.left = np;
    l.left_no = new_no;
    uint8_t separator[kMaxKeyLength];
    std::memcpy(separator, EntryKey(l.left, kl_, PageCount(l.left) - 1), static_cast<size_t>(kl_));
    if (PageKind(l.left) == kPageInner)
      std::memset(EntryKey(l.left, kl_, PageCount(l.left) - 1), 0, static_cast<size_t>(kl_));
    if (level + 1 < levels_.size())
      return Insert(level + 1, separator, static_cast<uint32_t>(new_no));
    // The root split: a new root above it.
    int32_t root_no;
    if ((rc = NewPage(&root_no)) != 0) return rc;
    const int32_t old_root = l.right_no;
    LEVEL up;
    InitIndexPage(up.right, kPageInner);
    const uint8_t empty[kMaxKeyLength] = {};
    InsertIndexEntry(up.right, kl_, 0, separator, static_cast<uint32_t>(new_no));
    InsertIndexEntry(up.right, kl_, 1, empty, static_cast<uint32_t>(old_root));
    up.right_no = root_no;
    levels_.push_back(up);
    return 0;
  }

  int kl_;
  int capacity_;
  int32_t* next_page_;
  PAGESINK* sink_;
  std::vector<LEVEL> levels_;
};

int WriteTrees(CFILE& f, KEYSORTER& keys, int index_count, const int* key_lengths) {
  PAGESINK sink(&f);
  INDEXHEADER h;
  h.index_count = static_cast<uint32_t>(index_count);
  int32_t next_page = index_count;  // pages 0..n-1 are the first leaves, as in a fresh file
  for (int i = 0; i < index_count; ++i) {
    const int kl = key_lengths[i];
    h.key_length[i] = kl;
    TREEWRITER tree(kl, i, &next_page, &sink);
    if (keys.Rewind(i) != 0) return -1;
    const uint8_t* weights;
    uint32_t record;
    uint8_t key[kMaxKeyLength];
    int got;
    while ((got = keys.Next(&weights, &record)) == 1) {
      KeyFromWeights(weights, kl, kCodePageLatin2, key);
      int rc = tree.Add(key, record);
      if (rc != 0) return rc;
    }
    if (got < 0) return -1;
    if (tree.Finish(&h.root[i]) != 0) return -1;
  }
  if (sink.Flush() != 0) return -1;
  h.page_count = static_cast<uint32_t>(next_page);
  uint8_t block[kIndexBlockSize];
  EncodeIndexHeader(h, block);
  if (f.Seek(0, SEEK_SET) < 0 || f.Write(block, kIndexBlockSize) != kIndexBlockSize) return -1;
  return f.Flush();
}

}  // namespace

int WriteSortedIndexFile(const char* name, KEYSORTER& keys, int index_count,
                         const int* key_lengths) {
  bool valid = index_count >= 0 && index_count <= kMaxIndexCount;
  for (int i = 0; valid && i < index_count; ++i)
    valid = key_lengths[i] >= kMinKeyLength && key_lengths[i] <= kMaxKeyLength;
  if (!valid) {
    ReportDbEvent(kDbEvBadDefinition, name, index_count);
    return kDbEvBadDefinition;
  }
  CFILE f;
  if (f.Open(name, kCreateAlways, kAccessReadWrite, kShareNone) != 0) return -1;
  int rc = WriteTrees(f, keys, index_count, key_lengths);
  if (rc > 0) ReportDbEvent(rc, name, -1);
  if (f.Close() != 0 && rc == 0) rc = -1;
  return rc;
}
