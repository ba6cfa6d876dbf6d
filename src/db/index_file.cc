// Index files: creating, opening, page input and output, adding and removing keys.
// Walking and seeking live in index_walk.cc. Format: docs/formats/index-file.md.
#include "db/index_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/codepage.h"
#include "db/index_internal.h"

namespace {

bool ValidDefinition(int index_count, const int* key_lengths) {
  if (index_count < 0 || index_count > kMaxIndexCount) return false;
  for (int i = 0; i < index_count; ++i)
    if (key_lengths == nullptr || key_lengths[i] < kMinKeyLength || key_lengths[i] > kMaxKeyLength)
      return false;
  return true;
}

int ReadBlock(INDEXFILE* ix, int64_t offset, uint8_t* block) {
  long n = ix->file.ReadAt(offset, block, kIndexBlockSize);
  if (n < 0) return -1;
  // A block cut off by the end of the file cannot be a page the file ever held.
  return n == kIndexBlockSize ? 0 : kDbEvBadIndex;
}

int WriteBlock(INDEXFILE* ix, int64_t offset, const uint8_t* block) {
  return ix->file.WriteAt(offset, block, kIndexBlockSize) == kIndexBlockSize ? 0 : -1;
}

// Page p as the file holds it: keys in code page 852.
int WritePageBytes(INDEXFILE* ix, int index, int32_t p, const INDEXPAGE& page) {
  INDEXPAGE out = page;
  ConvertIndexPage(out, ix->index[index].key_length, kCodePageWindows, kCodePageLatin2);
  return WriteBlock(ix, (static_cast<int64_t>(p) + 1) * kIndexBlockSize, out.bytes);
}

void ResetCursors(INDEXFILE* ix) {
  ix->damaged = false;
  ClearIndexCache(ix);
  for (INDEXCURSOR& c : ix->index) {
    c.page = kNoPage;
    c.position = 0;
    c.copy_valid = false;
    c.hop_direction = 0;
    c.walked.clear();
  }
}

// Takes the header into the object when it matches the definition (count and key lengths) and its
// page count and roots are possible.
int LoadHeader(INDEXFILE* ix, int index_count, const int* key_lengths) {
  uint8_t block[kIndexBlockSize];
  int rc = ReadBlock(ix, 0, block);
  if (rc != 0) return rc;
  ix->stats.header_reads++;
  INDEXHEADER h;
  if (DecodeIndexHeader(block, &h) != 0) return kDbEvBadIndex;
  if (h.index_count != static_cast<uint32_t>(index_count)) return kDbEvBadIndex;
  if (h.page_count > 0x7FFFFFFFu) return kDbEvBadIndex;
  // A page count beyond the end of the file names pages that were never written.
  int64_t size = ix->file.Size();
  if (size < 0) return -1;
  if ((static_cast<int64_t>(h.page_count) + 1) * kIndexBlockSize > size) return kDbEvBadIndex;
  for (int i = 0; i < index_count; ++i) {
    if (h.key_length[i] != key_lengths[i]) return kDbEvBadIndex;
    if (h.root[i] < 0 || static_cast<uint32_t>(h.root[i]) >= h.page_count) return kDbEvBadIndex;
  }
  ix->page_count = static_cast<int32_t>(h.page_count);
  ix->file_pages = ix->page_count;
  ix->index_count = index_count;
  for (int i = 0; i < index_count; ++i) {
    INDEXCURSOR& c = ix->index[i];
    c.key_length = key_lengths[i];
    c.capacity = IndexCapacity(key_lengths[i]);
    c.root = h.root[i];
  }
  return 0;
}

// Writes a fresh file into the open handle: header, then one empty leaf per index.
int WriteFresh(INDEXFILE* ix, int index_count, const int* key_lengths) {
  ix->index_count = index_count;
  ix->page_count = 0;
  for (int i = 0; i < kMaxIndexCount; ++i) {
    INDEXCURSOR& c = ix->index[i];
    c.key_length = i < index_count ? key_lengths[i] : 0;
    c.capacity = i < index_count ? IndexCapacity(key_lengths[i]) : 0;
    c.root = i < index_count ? 0 : kNoPage;
  }
  ResetCursors(ix);
  int rc = WriteIndexHeader(ix);
  for (int i = 0; i < index_count && rc == 0; ++i) {
    INDEXPAGE leaf;
    InitIndexPage(leaf, kPageLeaf);
    ix->page_count = i + 1;
    rc = WriteIndexPage(ix, i, i, leaf);
    if (rc != 0) break;
    ix->index[i].root = i;
    rc = WriteIndexHeader(ix);
  }
  return rc;
}

int Report(INDEXFILE* ix, int index, int rc) {
  if (rc > 0) ReportDbEvent(rc, ix->file.Name(), index);
  return rc;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal page access shared with the walking code.

int CheckIndexNumber(INDEXFILE* ix, int index) {
  if (!ix->file.IsOpen()) return kDbEvNotOpen;
  if (ix->damaged) return kDbEvBadIndex;
  return index >= 0 && index < ix->index_count ? 0 : kDbEvBadIndexNumber;
}

int ReportIndexEvent(INDEXFILE* ix, int index, int rc) { return Report(ix, index, rc); }

int ViewIndexPage(INDEXFILE* ix, int index, int32_t p, INDEXPAGE* buffer, const INDEXPAGE** view) {
  if (index < 0 || index >= ix->index_count) return kDbEvBadIndexNumber;
  if (p < 0 || p >= ix->page_count) return kDbEvBadIndex;
  const INDEXCURSOR& c = ix->index[index];
  const INDEXPAGE* kept = KeptPage(ix, index, p);
  if (!kept) {
    int rc = ReadBlock(ix, (static_cast<int64_t>(p) + 1) * kIndexBlockSize, buffer->bytes);
    if (rc != 0) return rc;
    ix->stats.page_reads++;
  }
  const INDEXPAGE& page = kept ? *kept : *buffer;
  int kind = PageKind(page);
  int32_t prev = PagePrev(page), next = PageNext(page);
  // Links below -1 are not "none" and would point before the first page.
  if (kind > 1 || PageCount(page) > c.capacity || prev < -1 || prev >= ix->page_count ||
      next < -1 || next >= ix->page_count)
    return kDbEvBadIndex;
  if (!kept) {
    ConvertIndexPage(*buffer, c.key_length, kCodePageLatin2, kCodePageWindows);
    if (KeepPage(ix, index, p, *buffer) != 0) return -1;
    LearnFromPage(ix, index, p, *buffer);
  }
  *view = kept ? kept : buffer;
  return 0;
}

int ReadIndexPage(INDEXFILE* ix, int index, int32_t p, INDEXPAGE* page) {
  const INDEXPAGE* view = nullptr;
  int rc = ViewIndexPage(ix, index, p, page, &view);
  if (rc == 0 && view != page) *page = *view;
  return rc;
}

namespace {

// Marks the index damaged after a waiting change could not be written: the file is behind its
// records now.
int WaitingWriteFailed(INDEXFILE* ix) {
  if (!ix->damaged) {
    ix->damaged = true;
    ReportDbEvent(kDbEvBadIndex, ix->file.Name(), -1);
  }
  return -1;
}

// Writes page p without asking whether the header counts it yet (new pages go first). With
// write-back a page the file already holds waits in memory.
int WritePageAt(INDEXFILE* ix, int index, int32_t p, const INDEXPAGE& page) {
  if (ix->write_back && p < ix->file_pages) {
    if (ix->dirty_pages >= std::max<int>(1, static_cast<int>(ix->cache.limit / 2)) &&
        FlushIndexFile(ix) != 0)
      return -1;
    if (KeepPage(ix, index, p, page, true) != 0) return -1;
    ix->stats.page_writes++;
    LearnFromPage(ix, index, p, page);
    return 0;
  }
  int rc = WritePageBytes(ix, index, p, page);
  if (rc == 0) {
    ix->stats.page_writes++;
    if (p >= ix->file_pages) ix->file_pages = p + 1;
    rc = KeepPage(ix, index, p, page);
    LearnFromPage(ix, index, p, page);
  } else {
    ForgetPage(ix, p);
  }
  return rc;
}

}  // namespace

int WriteIndexPage(INDEXFILE* ix, int index, int32_t p, const INDEXPAGE& page) {
  if (p < 0 || p >= ix->page_count) return kDbEvBadIndex;
  return WritePageAt(ix, index, p, page);
}

PAGEWRITES::PAGEWRITES(INDEXFILE* ix, int index)
    : ix_(ix), index_(index), root_(ix->index[index].root) {}

int PAGEWRITES::Read(int32_t p, INDEXPAGE* page) {
  for (size_t k = 0; k < order_.size(); ++k) {
    if (order_[k] == p) {
      *page = updates_[k];
      return 0;
    }
  }
  return ReadIndexPage(ix_, index_, p, page);
}

void PAGEWRITES::Change(int32_t p, const INDEXPAGE& original, const INDEXPAGE& updated) {
  for (size_t k = 0; k < order_.size(); ++k) {
    if (order_[k] == p) {
      updates_[k] = updated;
      return;
    }
  }
  order_.push_back(p);
  originals_.push_back(original);
  updates_.push_back(updated);
}

int PAGEWRITES::NextNew(int32_t* p) const {
  const int64_t next =
      static_cast<int64_t>(ix_->page_count) + static_cast<int64_t>(appended_.size());
  if (next >= 0x7FFFFFFF) return kDbEvBadIndex;
  *p = static_cast<int32_t>(next);
  return 0;
}

void PAGEWRITES::Append(const INDEXPAGE& page) { appended_.push_back(page); }

int PAGEWRITES::Commit() {
  const int32_t old_count = ix_->page_count;
  const int32_t old_root = ix_->index[index_].root;
  const bool header = !appended_.empty() || root_ != old_root;
  int rc = 0;
  for (size_t k = 0; k < appended_.size() && rc == 0; ++k)
    rc = WritePageAt(ix_, index_, old_count + static_cast<int32_t>(k), appended_[k]);
  if (rc != 0) {
    Undo(0, false);
    return rc;
  }
  if (header) {
    ix_->page_count = old_count + static_cast<int32_t>(appended_.size());
    ix_->index[index_].root = root_;
    if ((rc = WriteIndexHeader(ix_)) != 0) {
      ix_->page_count = old_count;
      ix_->index[index_].root = old_root;
      Undo(0, true);
      return rc;
    }
  }
  for (size_t k = 0; k < order_.size(); ++k) {
    if ((rc = WriteIndexPage(ix_, index_, order_[k], updates_[k])) != 0) {
      if (header) {
        ix_->page_count = old_count;
        ix_->index[index_].root = old_root;
      }
      Undo(k + 1, header);
      return rc;
    }
  }
  return 0;
}

// Puts back the first `written` pages changed in place (the last of them may be half written),
// the header when it was written, and cuts the new pages off. The page count and root in memory
// are the old ones again.
void PAGEWRITES::Undo(size_t written, bool header_written) {
  CFILE::HANDLER* saved = CFILE::Handler();
  CFILE::SetHandler(nullptr);  // the failure has been reported once
  bool ok = true;
  for (size_t k = written; k-- > 0;)
    if (WriteIndexPage(ix_, index_, order_[k], originals_[k]) != 0) ok = false;
  if (header_written && WriteIndexHeader(ix_) != 0) ok = false;
  if (!appended_.empty()) {
    for (size_t k = 0; k < appended_.size(); ++k)
      ForgetPage(ix_, ix_->page_count + static_cast<int32_t>(k));
    if (ix_->file.SetSize((static_cast<int64_t>(ix_->page_count) + 1) * kIndexBlockSize) != 0)
      ok = false;
    else ix_->file_pages = ix_->page_count;
  }
  CFILE::SetHandler(saved);
  for (INDEXCURSOR& c : ix_->index) c.copy_valid = false;
  if (!ok) {
    ix_->damaged = true;
    ReportDbEvent(kDbEvBadIndex, ix_->file.Name(), index_);
  }
}

int WriteIndexHeader(INDEXFILE* ix) {
  INDEXHEADER h;
  h.page_count = static_cast<uint32_t>(ix->page_count);
  h.index_count = static_cast<uint32_t>(ix->index_count);
  for (int i = 0; i < ix->index_count; ++i) {
    h.key_length[i] = ix->index[i].key_length;
    h.root[i] = ix->index[i].root;
  }
  ix->stats.header_writes++;
  if (ix->write_back) {
    ix->header_dirty = true;
    return 0;
  }
  uint8_t block[kIndexBlockSize];
  EncodeIndexHeader(h, block);
  int rc = WriteBlock(ix, 0, block);
  if (rc != 0) ix->stats.header_writes--;
  return rc;
}

int WriteWaitingPage(INDEXFILE* ix, int index, int32_t p, const INDEXPAGE& page) {
  return WritePageBytes(ix, index, p, page) != 0 ? WaitingWriteFailed(ix) : 0;
}

int FlushIndexFile(INDEXFILE* ix) {
  if (ix->dirty_pages == 0 && !ix->header_dirty) return 0;
  if (!ix->file.IsOpen()) return WaitingWriteFailed(ix);
  INDEXCACHE& c = ix->cache;
  std::vector<int32_t> pages;
  pages.reserve(static_cast<size_t>(ix->dirty_pages));
  for (const INDEXCACHE::PAGE& slot : c.slots)
    if (slot.dirty) pages.push_back(slot.page_no);
  std::sort(pages.begin(), pages.end());
  // Pages next to each other go in one write.
  constexpr size_t kRun = 64;
  std::vector<uint8_t> run;
  run.reserve(kRun * kIndexBlockSize);
  int rc = 0;
  for (size_t k = 0; k < pages.size() && rc == 0;) {
    const int32_t first = pages[k];
    run.clear();
    size_t n = 0;
    while (k < pages.size() && n < kRun && pages[k] == first + static_cast<int32_t>(n)) {
      INDEXCACHE::PAGE& slot =
          c.slots[static_cast<size_t>(c.slot_of[static_cast<size_t>(pages[k])])];
      INDEXPAGE out = slot.page;
      ConvertIndexPage(out, ix->index[slot.index].key_length, kCodePageWindows, kCodePageLatin2);
      run.insert(run.end(), out.bytes, out.bytes + kIndexBlockSize);
      slot.dirty = false;
      --ix->dirty_pages;
      ++k;
      ++n;
    }
    const long bytes = static_cast<long>(run.size());
    if (ix->file.WriteAt((static_cast<int64_t>(first) + 1) * kIndexBlockSize, run.data(), bytes) !=
        bytes)
      rc = -1;
  }
  if (rc == 0 && ix->header_dirty) {
    ix->header_dirty = false;
    ix->write_back = false;
    rc = WriteIndexHeader(ix);
    ix->write_back = true;
  }
  if (rc != 0) {
    for (INDEXCACHE::PAGE& slot : c.slots) slot.dirty = false;
    ix->dirty_pages = 0;
    ix->header_dirty = false;
    return WaitingWriteFailed(ix);
  }
  return 0;
}

int ReleaseIndexMemory(INDEXFILE* ix) {
  const int rc = FlushIndexFile(ix);
  ClearIndexCache(ix);
  for (INDEXCURSOR& c : ix->index) c.copy_valid = false;
  return rc;
}

int SyncIndexFile(INDEXFILE* ix) {
  if (FlushIndexFile(ix) != 0) return -1;
  return ix->file.Flush();
}

void DiscardIndexChanges(INDEXFILE* ix) {
  INDEXCACHE& c = ix->cache;
  for (INDEXCACHE::PAGE& slot : c.slots) {
    if (slot.dirty) {
      c.slot_of[static_cast<size_t>(slot.page_no)] = -1;
      slot.page_no = kNoPage;
    }
    slot.dirty = false;
  }
  ++ix->cache.generation;
  ix->dirty_pages = 0;
  ix->header_dirty = false;
}

void SetIndexCursor(INDEXCURSOR& c, int32_t page_no, const INDEXPAGE& page, int position) {
  c.page = page_no;
  c.position = position;
  c.copy = page;
  c.copy_valid = true;
  c.hop_direction = 0;
  c.walked.clear();
}

int DescentLimit(const INDEXFILE* ix) {
  // Every level of a tree holds at least one page of its own, and a split at least halves a
  // page, so no sound tree is deeper than this.
  return ix->page_count < 64 ? ix->page_count : 64;
}

// ---------------------------------------------------------------------------------------------

int CreateIndexFile(INDEXFILE* ix, const char* name, int index_count, const int* key_lengths,
                    int sharing) {
  ix->file.Close();
  if (!ValidDefinition(index_count, key_lengths)) {
    ReportDbEvent(kDbEvBadDefinition, name, index_count);
    return kDbEvBadDefinition;
  }
  if (ix->file.Open(name, kCreateAlways, kAccessReadWrite, sharing) != 0) return -1;
  ix->write_back = false;
  int rc = WriteFresh(ix, index_count, key_lengths);
  if (rc != 0) {
    ix->file.Delete();
    ix->index_count = 0;
    ix->page_count = 0;
    return Report(ix, -1, rc);
  }
  ix->write_back = sharing == kShareNone;
  return 0;
}

int OpenIndexFile(INDEXFILE* ix, const char* name, int index_count, const int* key_lengths,
                  int sharing, bool read_only) {
  ix->file.Close();
  ix->write_back = false;
  ix->index_count = 0;
  ix->page_count = 0;
  ResetCursors(ix);
  if (!ValidDefinition(index_count, key_lengths)) {
    ReportDbEvent(kDbEvBadDefinition, name, index_count);
    return kDbEvBadDefinition;
  }
  if (ix->file.Open(name, kOpenExisting, read_only ? kAccessRead : kAccessReadWrite, sharing) != 0)
    return -1;
  int rc = LoadHeader(ix, index_count, key_lengths);
  if (rc != 0) {
    ix->index_count = 0;
    ix->page_count = 0;
    ix->file.Close();
    // A failed read was reported by the file layer already.
    if (rc > 0) ReportDbEvent(rc, name, -1);
    return rc;
  }
  ix->write_back = sharing == kShareNone && !read_only;
  return 0;
}

int CloseIndexFile(INDEXFILE* ix) {
  int rc = ix->file.IsOpen() ? FlushIndexFile(ix) : 0;
  ResetCursors(ix);
  ix->index_count = 0;
  ix->page_count = 0;
  ix->file_pages = 0;
  ix->write_back = false;
  return ix->file.Close() != 0 ? -1 : rc;
}

int EmptyIndexFile(INDEXFILE* ix) {
  if (!ix->file.IsOpen()) return Report(ix, -1, kDbEvNotOpen);
  // What waits stays until the file is really cut: a refused cut leaves the index in use.
  if (ix->file.SetSize(0) != 0) return -1;
  DiscardIndexChanges(ix);
  ix->file_pages = 0;
  int lengths[kMaxIndexCount];
  for (int i = 0; i < ix->index_count; ++i) lengths[i] = ix->index[i].key_length;
  const bool write_back = ix->write_back;
  ix->write_back = false;
  int rc = WriteFresh(ix, ix->index_count, lengths);
  ix->write_back = write_back;
  // A file cut but not written afresh holds no index at all.
  if (rc != 0 && !ix->damaged) {
    ix->damaged = true;
    ReportDbEvent(kDbEvBadIndex, ix->file.Name(), -1);
  }
  return Report(ix, -1, rc);
}

int RefreshIndexFile(INDEXFILE* ix) {
  if (!ix->file.IsOpen()) return Report(ix, -1, kDbEvNotOpen);
  if (FlushIndexFile(ix) != 0) return -1;
  int lengths[kMaxIndexCount];
  for (int i = 0; i < ix->index_count; ++i) lengths[i] = ix->index[i].key_length;
  for (int i = 0; i < ix->index_count; ++i) ix->index[i].copy_valid = false;
  ++ix->cache.generation;
  return Report(ix, -1, LoadHeader(ix, ix->index_count, lengths));
}

// ---------------------------------------------------------------------------------------------
// Adding.

namespace {

// Child j of an inner page for adding: after every separator not above the key, so that equal keys
// keep their order of insertion.
int AddChild(const INDEXPAGE& pg, int kl, const uint8_t* key) {
  return KeysNotAbove(pg, kl, PageCount(pg) - 1, key);
}

// Where the cursor goes once the new entry is written.
struct CursorTarget {
  int32_t page_no = kNoPage;
  INDEXPAGE page;
  int position = 0;
};

// Inserts (key, value) into the leaf at the end of the path at position pos, splitting upwards
// as needed; the pages go into the write set.
int InsertAt(INDEXFILE* ix, int index, std::vector<PathStep>& path, int pos, const uint8_t* key_in,
             uint32_t value, PAGEWRITES& w, CursorTarget* target) {
  INDEXCURSOR& c = ix->index[index];
  const int kl = c.key_length;
  const int leaf_level = static_cast<int>(path.size()) - 1;
  int level = leaf_level;
  uint8_t key[kMaxKeyLength];
  std::memcpy(key, key_in, static_cast<size_t>(kl));
  for (;;) {
    PathStep& s = path[static_cast<size_t>(level)];
    if (!s.loaded) {
      int rc = ReadIndexPage(ix, index, s.page_no, &s.page);
      if (rc != 0) return rc;
      s.loaded = true;
    }
    INDEXPAGE& pg = s.page;
    // The page as the file holds it, for undoing: taken before the first change to it.
    if (!s.original_taken) {
      s.original = pg;
      s.original_taken = true;
    }
    if (PageCount(pg) < c.capacity) {
      InsertIndexEntry(pg, kl, pos, key, value);
      w.Change(s.page_no, s.original, pg);
      if (level == leaf_level) *target = CursorTarget{s.page_no, pg, pos};
      return 0;
    }
    int32_t new_no;
    int rc = w.NextNew(&new_no);
    if (rc != 0) return rc;
    INDEXPAGE np;
    InitIndexPage(np, PageKind(pg));
    const int half = c.capacity / 2;
    const int h = pos > half ? half + 1 : half;
    const int entry = kl + 4;
    std::memcpy(EntryKey(np, kl, 0), EntryKey(pg, kl, 0), static_cast<size_t>(h * entry));
    SetPageCount(np, h);
    const int rest = c.capacity - h;
    std::memmove(EntryKey(pg, kl, 0), EntryKey(pg, kl, h), static_cast<size_t>(rest * entry));
    std::memset(EntryKey(pg, kl, rest), 0, static_cast<size_t>(h * entry));
    SetPageCount(pg, rest);
    bool into_new = pos <= half;
    if (into_new) InsertIndexEntry(np, kl, pos, key, value);
    else InsertIndexEntry(pg, kl, pos - h, key, value);
    const int target_pos = into_new ? pos : pos - h;
    const int32_t old_prev = PagePrev(pg);
    SetPagePrev(np, old_prev);
    SetPageNext(np, s.page_no);
    SetPagePrev(pg, new_no);
    uint8_t separator[kMaxKeyLength];
    std::memcpy(separator, EntryKey(np, kl, PageCount(np) - 1), static_cast<size_t>(kl));
    if (PageKind(np) == kPageInner)
      std::memset(EntryKey(np, kl, PageCount(np) - 1), 0, static_cast<size_t>(kl));
    w.Append(np);
    if (old_prev != kNoPage) {
      INDEXPAGE prev;
      if ((rc = w.Read(old_prev, &prev)) != 0) return rc;
      INDEXPAGE before = prev;
      SetPageNext(prev, new_no);
      w.Change(old_prev, before, prev);
    }
    w.Change(s.page_no, s.original, pg);
    if (level == leaf_level)
      *target = CursorTarget{into_new ? new_no : s.page_no, into_new ? np : pg, target_pos};
    if (level == 0) {
      int32_t root_no;
      if ((rc = w.NextNew(&root_no)) != 0) return rc;
      INDEXPAGE root;
      InitIndexPage(root, kPageInner);
      uint8_t empty[kMaxKeyLength] = {};
      InsertIndexEntry(root, kl, 0, separator, static_cast<uint32_t>(new_no));
      InsertIndexEntry(root, kl, 1, empty, static_cast<uint32_t>(s.page_no));
      w.Append(root);
      w.SetRoot(root_no);
      return 0;
    }
    --level;
    pos = path[static_cast<size_t>(level)].entry;
    std::memcpy(key, separator, static_cast<size_t>(kl));
    value = static_cast<uint32_t>(new_no);
  }
}

}  // namespace

int AddKey(INDEXFILE* ix, int index, const char* text, long record) {
  int rc = CheckIndexNumber(ix, index);
  if (rc != 0) return Report(ix, index, rc);
  if (record < 0 || record > 0xFFFFFFFFL) return Report(ix, index, kDbEvBadRecordNumber);
  INDEXCURSOR& c = ix->index[index];
  const int kl = c.key_length;
  uint8_t key[kMaxKeyLength];
  MakeIndexKey(text, kl, key);
  std::vector<PathStep> path;
  path.reserve(16);
  int32_t p = c.root;
  for (;;) {
    if (static_cast<int>(path.size()) >= DescentLimit(ix)) return Report(ix, index, kDbEvBadIndex);
    path.emplace_back();
    PathStep& s = path.back();
    s.page_no = p;
    // Inner pages are searched where they are kept; InsertAt copies one only when it splits.
    const INDEXPAGE* view = nullptr;
    if ((rc = ViewIndexPage(ix, index, p, &s.page, &view)) != 0) return Report(ix, index, rc);
    const int n = PageCount(*view);
    if (PageKind(*view) == kPageLeaf || n == 0) {
      if (view != &s.page) s.page = *view;
      if (PageKind(s.page) == kPageLeaf) break;
      // An inner root left empty by removals takes keys again as a leaf.
      if (path.size() != 1) return Report(ix, index, kDbEvBadIndex);
      s.original = s.page;
      s.original_taken = true;
      InitIndexPage(s.page, kPageLeaf);
      break;
    }
    s.loaded = view == &s.page;
    s.entry = AddChild(*view, kl, key);
    p = static_cast<int32_t>(EntryValue(*view, kl, s.entry));
  }
  const INDEXPAGE& leaf = path.back().page;
  // After every equal key: equal keys keep the order they were added in.
  const int pos = KeysNotAbove(leaf, kl, PageCount(leaf), key);
  PAGEWRITES writes(ix, index);
  CursorTarget target;
  rc = InsertAt(ix, index, path, pos, key, static_cast<uint32_t>(record), writes, &target);
  if (rc == 0) rc = writes.Commit();
  if (rc == 0) SetIndexCursor(c, target.page_no, target.page, target.position);
  else c.page = kNoPage;
  return Report(ix, index, rc);
}
