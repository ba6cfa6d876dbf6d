// The integrity checker of index files.
#include "db/index_check.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

class Checker {
 public:
  Checker(INDEXFILE* ix, long record_count, INDEXCHECK* out)
      : ix_(ix), record_count_(record_count), out_(out) {}

  bool CheckHeader();
  bool CheckTree(int index);
  void Finish() {
    long used = 0;
    if (seen_.empty()) return;
    for (bool s : seen_) used += s ? 1 : 0;
    out_->pages_in_trees = used;
    out_->unused_pages = ix_->page_count - used;
    if (out_->event == 0 && record_fault_) {
      out_->event = kDbEvBadRecordNumber;
      out_->index = record_index_;
      out_->page = record_page_;
      out_->problem = record_problem_;
    }
  }

 private:
  bool Fail(int32_t page, const char* format, ...) __attribute__((format(printf, 3, 4)));
  bool Visit(int32_t p, int depth, const uint8_t* lo, const uint8_t* hi, uint8_t* greatest,
             bool* has_greatest);
  bool CheckKeyBytes(int32_t p, const uint8_t* key);

  INDEXFILE* ix_;
  long record_count_;
  INDEXCHECK* out_;
  std::vector<bool> seen_;
  int index_ = -1;
  int kl_ = 0;
  int leaf_depth_ = -1;
  std::vector<std::vector<int32_t>> levels_;
  bool record_fault_ = false;
  int record_index_ = -1;
  int32_t record_page_ = kNoPage;
  std::string record_problem_;
};

bool Checker::Fail(int32_t page, const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  out_->event = kDbEvBadIndex;
  out_->index = index_;
  out_->page = page;
  out_->problem = text;
  return false;
}

bool Checker::CheckHeader() {
  uint8_t block[kIndexBlockSize];
  if (ix_->file.Seek(0, SEEK_SET) < 0 || ix_->file.Read(block, kIndexBlockSize) != kIndexBlockSize)
    return Fail(kNoPage, "header cannot be read");
  INDEXHEADER h;
  if (DecodeIndexHeader(block, &h) != 0)
    return Fail(kNoPage, "header magic text or index count invalid");
  for (int i = kIndexMagicSize; i < 32; ++i)
    if (block[i] != 0) return Fail(kNoPage, "header byte %d is not zero", i);
  for (int i = 40 + 8 * static_cast<int>(h.index_count); i < kIndexBlockSize; ++i)
    if (block[i] != 0) return Fail(kNoPage, "header byte %d is not zero", i);
  if (h.index_count != static_cast<uint32_t>(ix_->index_count))
    return Fail(kNoPage, "index count differs");
  if (h.page_count != static_cast<uint32_t>(ix_->page_count))
    return Fail(kNoPage, "page count %u on disk, %d in memory", h.page_count, ix_->page_count);
  for (int i = 0; i < ix_->index_count; ++i) {
    if (h.key_length[i] != ix_->index[i].key_length)
      return Fail(kNoPage, "key length of index %d differs", i);
    if (h.root[i] != ix_->index[i].root)
      return Fail(kNoPage, "root of index %d differs from memory", i);
  }
  int64_t size = ix_->file.Size();
  int64_t expected = (static_cast<int64_t>(ix_->page_count) + 1) * kIndexBlockSize;
  if (size != expected)
    return Fail(kNoPage, "file has %lld bytes, page count wants %lld", static_cast<long long>(size),
                static_cast<long long>(expected));
  // Only now is the page count known to be backed by the file.
  seen_.assign(static_cast<size_t>(ix_->page_count), false);
  return true;
}

bool Checker::CheckKeyBytes(int32_t p, const uint8_t* key) {
  bool ended = false;
  for (int i = 0; i < kl_; ++i) {
    if (key[i] == 0) ended = true;
    else if (ended || i == kl_ - 1) return Fail(p, "key text not ended by NUL bytes");
  }
  return true;
}

bool Checker::Visit(int32_t p, int depth, const uint8_t* lo, const uint8_t* hi, uint8_t* greatest,
                    bool* has_greatest) {
  *has_greatest = false;
  if (depth >= 64) return Fail(p, "tree deeper than 64 levels");
  if (p < 0 || p >= ix_->page_count) return Fail(p, "page number %d outside the file", p);
  if (seen_[static_cast<size_t>(p)]) return Fail(p, "page %d reached twice", p);
  seen_[static_cast<size_t>(p)] = true;
  INDEXPAGE pg;
  int rc = ReadIndexPage(ix_, index_, p, &pg);
  if (rc == -1) return Fail(p, "page %d cannot be read", p);
  if (rc != 0) return Fail(p, "page %d has an impossible kind, count or link", p);
  if (static_cast<int>(levels_.size()) <= depth) levels_.resize(static_cast<size_t>(depth) + 1);
  levels_[static_cast<size_t>(depth)].push_back(p);
  if (depth + 1 > out_->depth[index_]) out_->depth[index_] = depth + 1;
  const int n = PageCount(pg);
  const bool leaf = PageKind(pg) == kPageLeaf;
  if (n == 0 && depth > 0) return Fail(p, "empty page %d still in the tree", p);
  if (leaf) {
    if (leaf_depth_ < 0) leaf_depth_ = depth;
    if (leaf_depth_ != depth) return Fail(p, "leaves at depths %d and %d", leaf_depth_, depth);
  } else if (leaf_depth_ >= 0 && depth >= leaf_depth_) {
    return Fail(p, "inner page %d at leaf depth", p);
  }
  for (int i = kIndexPageHead + n * (kl_ + 4); i < kIndexBlockSize; ++i)
    if (pg.bytes[i] != 0) return Fail(p, "page %d byte %d after the entries is not zero", p, i);
  const int keyed = leaf ? n : n - 1;  // entries whose key means something
  for (int e = 0; e < n; ++e)
    if (!CheckKeyBytes(p, EntryKey(pg, kl_, e))) return false;
  for (int e = 0; e < keyed; ++e) {
    const uint8_t* key = EntryKey(pg, kl_, e);
    if (e > 0 && CompareIndexKeys(EntryKey(pg, kl_, e - 1), key, kl_) > 0)
      return Fail(p, "page %d entries %d and %d out of order", p, e - 1, e);
    if (lo && CompareIndexKeys(key, lo, kl_) < 0)
      return Fail(p, "page %d entry %d below its separator", p, e);
    if (hi && CompareIndexKeys(key, hi, kl_) > 0)
      return Fail(p, "page %d entry %d above its separator", p, e);
  }
  if (leaf) {
    out_->keys[index_] += n;
    for (int e = 0; e < n && record_count_ >= 0 && !record_fault_; ++e) {
      uint32_t rec = EntryValue(pg, kl_, e);
      if (rec >= static_cast<uint64_t>(record_count_)) {
        record_fault_ = true;
        record_index_ = index_;
        record_page_ = p;
        char text[128];
        std::snprintf(text, sizeof text, "page %d entry %d: record %u outside %ld records", p, e,
                      rec, record_count_);
        record_problem_ = text;
      }
    }
    if (n > 0) {
      std::memcpy(greatest, EntryKey(pg, kl_, n - 1), static_cast<size_t>(kl_));
      *has_greatest = true;
    }
    return true;
  }
  if (n == 0) return true;  // an empty root
  for (int i = 0; i < kl_; ++i)
    if (EntryKey(pg, kl_, n - 1)[i] != 0)
      return Fail(p, "last entry of inner page %d has a key", p);
  for (int e = 0; e < n; ++e) {
    const uint8_t* child_lo = e == 0 ? lo : EntryKey(pg, kl_, e - 1);
    const uint8_t* child_hi = e < n - 1 ? EntryKey(pg, kl_, e) : hi;
    uint8_t child_greatest[kMaxKeyLength];
    bool has = false;
    uint32_t child = EntryValue(pg, kl_, e);
    if (child >= static_cast<uint32_t>(ix_->page_count))
      return Fail(p, "page %d entry %d points to page %u outside the file", p, e, child);
    if (!Visit(static_cast<int32_t>(child), depth + 1, child_lo, child_hi, child_greatest, &has))
      return false;
    if (!has) return Fail(p, "page %d entry %d leads to an empty subtree", p, e);
    if (e < n - 1 &&
        std::memcmp(child_greatest, EntryKey(pg, kl_, e), static_cast<size_t>(kl_)) != 0)
      return Fail(p, "page %d entry %d is not the greatest key of page %u", p, e, child);
    if (e == n - 1) {
      std::memcpy(greatest, child_greatest, static_cast<size_t>(kl_));
      *has_greatest = true;
    }
  }
  return true;
}

bool Checker::CheckTree(int index) {
  index_ = index;
  kl_ = ix_->index[index].key_length;
  leaf_depth_ = -1;
  levels_.clear();
  uint8_t greatest[kMaxKeyLength];
  bool has = false;
  if (!Visit(ix_->index[index].root, 0, nullptr, nullptr, greatest, &has)) return false;
  for (size_t d = 0; d < levels_.size(); ++d) {
    const std::vector<int32_t>& level = levels_[d];
    for (size_t k = 0; k < level.size(); ++k) {
      INDEXPAGE pg;
      if (ReadIndexPage(ix_, index, level[k], &pg) != 0)
        return Fail(level[k], "page %d cannot be read again", level[k]);
      int32_t want_prev = k > 0 ? level[k - 1] : kNoPage;
      int32_t want_next = k + 1 < level.size() ? level[k + 1] : kNoPage;
      if (PagePrev(pg) != want_prev || PageNext(pg) != want_next)
        return Fail(level[k], "chain at level %zu broken at page %d (links %d, %d; want %d, %d)", d,
                    level[k], PagePrev(pg), PageNext(pg), want_prev, want_next);
    }
  }
  return true;
}

}  // namespace

int CheckIndexFile(INDEXFILE* ix, long record_count, INDEXCHECK* check) {
  *check = INDEXCHECK{};
  if (!ix->file.IsOpen()) {
    check->event = kDbEvNotOpen;
    check->problem = "index file not open";
    return check->event;
  }
  // The check looks at the file: what waits to be written goes there first.
  if (FlushIndexFile(ix) != 0) {
    check->event = kDbEvBadIndex;
    check->problem = "changes waiting to be written cannot be written";
    return check->event;
  }
  Checker checker(ix, record_count, check);
  if (checker.CheckHeader()) {
    for (int i = 0; i < ix->index_count; ++i)
      if (!checker.CheckTree(i)) break;
  }
  checker.Finish();
  return check->event;
}
