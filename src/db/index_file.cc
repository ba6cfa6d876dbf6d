// Index files: creating, opening, page input and output, adding and removing keys.
// Walking and seeking live in index_walk.cc. Format: docs/formats/index-file.md.
#include "db/index_file.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "db/index_internal.h"
#include "common/codepage.h"

namespace {

bool ValidDefinition(int index_count, const int* key_lengths) {
  if (index_count < 0 || index_count > kMaxIndexCount) return false;
  for (int i = 0; i < index_count; ++i)
    if (key_lengths == nullptr || key_lengths[i] < kMinKeyLength || key_lengths[i] > kMaxKeyLength) return false;
  return true;
}

int ReadBlock(INDEXFILE* ix, int64_t offset, uint8_t* block) {
  if (ix->batching && offset == 0 && ix->batch_header) {
    std::memcpy(block, ix->batch_header_block.data(), kIndexBlockSize);
    return 0;
  }
  if (ix->file.Seek(offset, SEEK_SET) < 0) return -1;
  long n = ix->file.Read(block, kIndexBlockSize);
  if (n < 0) return -1;
  // A block cut off by the end of the file cannot be a page the file ever held.
  return n == kIndexBlockSize ? 0 : kDbEvBadIndex;
}

int WriteBlock(INDEXFILE* ix, int64_t offset, const uint8_t* block) {
  if (ix->batching && offset == 0) {
    std::memcpy(ix->batch_header_block.data(), block, kIndexBlockSize);
    ix->batch_header = true;
    return 0;
  }
  if (ix->file.Seek(offset, SEEK_SET) < 0) return -1;
  return ix->file.Write(block, kIndexBlockSize) == kIndexBlockSize ? 0 : -1;
}

void ResetCursors(INDEXFILE* ix) {
  for (INDEXCURSOR& c : ix->index) {
    c.page = kNoPage;
    c.position = 0;
    c.copy_valid = false;
    c.hop_direction = 0;
    c.hops = 0;
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
  return index >= 0 && index < ix->index_count ? 0 : kDbEvBadIndexNumber;
}

int ReportIndexEvent(INDEXFILE* ix, int index, int rc) { return Report(ix, index, rc); }

int ReadIndexPage(INDEXFILE* ix, int index, int32_t p, INDEXPAGE* page) {
  if (index < 0 || index >= ix->index_count) return kDbEvBadIndexNumber;
  if (p < 0 || p >= ix->page_count) return kDbEvBadIndex;
  if (ix->batching) {
    auto it = ix->batch.find(p);
    if (it != ix->batch.end()) {
      *page = it->second;
      return 0;
    }
  }
  int rc = ReadBlock(ix, (static_cast<int64_t>(p) + 1) * kIndexBlockSize, page->bytes);
  if (rc != 0) return rc;
  ix->stats.page_reads++;
  const INDEXCURSOR& c = ix->index[index];
  int kind = PageKind(*page);
  int32_t prev = PagePrev(*page), next = PageNext(*page);
  // Links below -1 are not "none" and would point before the first page.
  if (kind > 1 || PageCount(*page) > c.capacity || prev < -1 || prev >= ix->page_count || next < -1 ||
      next >= ix->page_count)
    return kDbEvBadIndex;
  ConvertIndexPage(*page, c.key_length, kCodePageLatin2, kCodePageWindows);
  return 0;
}

int WriteIndexPage(INDEXFILE* ix, int index, int32_t p, const INDEXPAGE& page) {
  if (p < 0 || p >= ix->page_count) return kDbEvBadIndex;
  if (ix->batching) {
    ix->batch[p] = page;
    ix->batch_index[p] = index;
    ix->stats.page_writes++;
    return 0;
  }
  INDEXPAGE out = page;
  ConvertIndexPage(out, ix->index[index].key_length, kCodePageWindows, kCodePageLatin2);
  int rc = WriteBlock(ix, (static_cast<int64_t>(p) + 1) * kIndexBlockSize, out.bytes);
  if (rc == 0) ix->stats.page_writes++;
  return rc;
}

int WriteIndexHeader(INDEXFILE* ix) {
  INDEXHEADER h;
  h.page_count = static_cast<uint32_t>(ix->page_count);
  h.index_count = static_cast<uint32_t>(ix->index_count);
  for (int i = 0; i < ix->index_count; ++i) {
    h.key_length[i] = ix->index[i].key_length;
    h.root[i] = ix->index[i].root;
  }
  uint8_t block[kIndexBlockSize];
  EncodeIndexHeader(h, block);
  int rc = WriteBlock(ix, 0, block);
  if (rc == 0) ix->stats.header_writes++;
  return rc;
}

void BeginIndexBatch(INDEXFILE* ix) {
  ix->batch.clear();
  ix->batch_index.clear();
  ix->batch_header = false;
  ix->batching = true;
}

int EndIndexBatch(INDEXFILE* ix, bool write) {
  ix->batching = false;
  int rc = 0;
  if (write) {
    for (const auto& [p, page] : ix->batch) {
      INDEXPAGE out = page;
      ConvertIndexPage(out, ix->index[ix->batch_index[p]].key_length, kCodePageWindows, kCodePageLatin2);
      if (WriteBlock(ix, (static_cast<int64_t>(p) + 1) * kIndexBlockSize, out.bytes) != 0) {
        rc = -1;
        break;
      }
    }
    if (rc == 0 && ix->batch_header) rc = WriteBlock(ix, 0, ix->batch_header_block.data());
  }
  ix->batch.clear();
  ix->batch_index.clear();
  ix->batch_header = false;
  return rc;
}

void SetIndexCursor(INDEXCURSOR& c, int32_t page_no, const INDEXPAGE& page, int position) {
  c.page = page_no;
  c.position = position;
  c.copy = page;
  c.copy_valid = true;
  c.hop_direction = 0;
  c.hops = 0;
}

int64_t IndexPageBound(INDEXFILE* ix) {
  if (ix->batching) return ix->page_count;  // the file catches up at the end of the batch
  int64_t size = ix->file.Size();
  if (size < 0) return -1;
  int64_t in_file = size > kIndexBlockSize ? size / kIndexBlockSize - 1 : 0;
  return in_file < ix->page_count ? in_file : ix->page_count;
}

int DescentLimit(const INDEXFILE* ix) {
  // Every level of a tree holds at least one page of its own, and a split at least halves a
  // page, so no sound tree is deeper than this.
  return ix->page_count < 64 ? ix->page_count : 64;
}

// ---------------------------------------------------------------------------------------------

int CreateIndexFile(INDEXFILE* ix, const char* name, int index_count, const int* key_lengths, int sharing) {
  ix->file.Close();
  if (!ValidDefinition(index_count, key_lengths)) {
    ReportDbEvent(kDbEvBadDefinition, name, index_count);
    return kDbEvBadDefinition;
  }
  if (ix->file.Open(name, kCreateAlways, kAccessReadWrite, sharing) != 0) return -1;
  int rc = WriteFresh(ix, index_count, key_lengths);
  if (rc != 0) {
    ix->file.Delete();
    ix->index_count = 0;
    ix->page_count = 0;
    return Report(ix, -1, rc);
  }
  return 0;
}

int OpenIndexFile(INDEXFILE* ix, const char* name, int index_count, const int* key_lengths, int sharing) {
  ix->file.Close();
  ix->index_count = 0;
  ix->page_count = 0;
  ResetCursors(ix);
  if (!ValidDefinition(index_count, key_lengths)) {
    ReportDbEvent(kDbEvBadDefinition, name, index_count);
    return kDbEvBadDefinition;
  }
  if (ix->file.Open(name, kOpenExisting, kAccessReadWrite, sharing) != 0) return -1;
  int rc = LoadHeader(ix, index_count, key_lengths);
  if (rc != 0) {
    ix->index_count = 0;
    ix->page_count = 0;
    ix->file.Close();
    // A failed read was reported by the file layer already.
    if (rc > 0) ReportDbEvent(rc, name, -1);
    return rc;
  }
  return 0;
}

int CloseIndexFile(INDEXFILE* ix) {
  ResetCursors(ix);
  ix->index_count = 0;
  ix->page_count = 0;
  return ix->file.Close();
}

int EmptyIndexFile(INDEXFILE* ix) {
  if (!ix->file.IsOpen()) return Report(ix, -1, kDbEvNotOpen);
  if (ix->file.SetSize(0) != 0) return -1;
  int lengths[kMaxIndexCount];
  for (int i = 0; i < ix->index_count; ++i) lengths[i] = ix->index[i].key_length;
  return Report(ix, -1, WriteFresh(ix, ix->index_count, lengths));
}

int RefreshIndexFile(INDEXFILE* ix) {
  if (!ix->file.IsOpen()) return Report(ix, -1, kDbEvNotOpen);
  int lengths[kMaxIndexCount];
  for (int i = 0; i < ix->index_count; ++i) lengths[i] = ix->index[i].key_length;
  for (int i = 0; i < ix->index_count; ++i) ix->index[i].copy_valid = false;
  return Report(ix, -1, LoadHeader(ix, ix->index_count, lengths));
}

// ---------------------------------------------------------------------------------------------
// Adding.

namespace {

// Appends a page at the end: its number is the page count, which grows by one in the header.
int AppendPage(INDEXFILE* ix, int32_t* page_no) {
  if (ix->page_count == 0x7FFFFFFF) return kDbEvBadIndex;
  *page_no = ix->page_count;
  ix->page_count++;
  int rc = WriteIndexHeader(ix);
  if (rc != 0) ix->page_count = *page_no;
  return rc;
}

// Child j of an inner page for adding: after every separator not above the key, so that equal keys
// keep their order of insertion.
int AddChild(const INDEXPAGE& pg, int kl, const uint8_t* key) {
  int j = 0;
  for (int e = 0; e < PageCount(pg) - 1; ++e)
    if (CompareIndexKeys(EntryKey(pg, kl, e), key, kl) <= 0) ++j;
  return j;
}

// Inserts (key, value) at path[level] position pos, splitting upwards as needed.
int InsertAt(INDEXFILE* ix, int index, std::vector<PathStep>& path, int level, int pos, const uint8_t* key_in,
             uint32_t value) {
  INDEXCURSOR& c = ix->index[index];
  const int kl = c.key_length;
  const int leaf_level = static_cast<int>(path.size()) - 1;
  uint8_t key[kMaxKeyLength];
  std::memcpy(key, key_in, static_cast<size_t>(kl));
  for (;;) {
    PathStep& s = path[static_cast<size_t>(level)];
    INDEXPAGE& pg = s.page;
    if (PageCount(pg) < c.capacity) {
      InsertIndexEntry(pg, kl, pos, key, value);
      int rc = WriteIndexPage(ix, index, s.page_no, pg);
      if (rc == 0 && level == leaf_level) SetIndexCursor(c, s.page_no, pg, pos);
      return rc;
    }
    int32_t new_no;
    int rc = AppendPage(ix, &new_no);
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
    int32_t target_no;
    int target_pos;
    if (pos <= half) {
      InsertIndexEntry(np, kl, pos, key, value);
      target_no = new_no;
      target_pos = pos;
    } else {
      InsertIndexEntry(pg, kl, pos - h, key, value);
      target_no = s.page_no;
      target_pos = pos - h;
    }
    const int32_t old_prev = PagePrev(pg);
    SetPagePrev(np, old_prev);
    SetPageNext(np, s.page_no);
    SetPagePrev(pg, new_no);
    uint8_t separator[kMaxKeyLength];
    std::memcpy(separator, EntryKey(np, kl, PageCount(np) - 1), static_cast<size_t>(kl));
    if (PageKind(np) == kPageInner) std::memset(EntryKey(np, kl, PageCount(np) - 1), 0, static_cast<size_t>(kl));
    if ((rc = WriteIndexPage(ix, index, new_no, np)) != 0) return rc;
    if ((rc = WriteIndexPage(ix, index, s.page_no, pg)) != 0) return rc;
    if (old_prev != kNoPage) {
      INDEXPAGE prev;
      if ((rc = ReadIndexPage(ix, index, old_prev, &prev)) != 0) return rc;
      SetPageNext(prev, new_no);
      if ((rc = WriteIndexPage(ix, index, old_prev, prev)) != 0) return rc;
    }
    if (level == leaf_level) SetIndexCursor(c, target_no, target_no == new_no ? np : pg, target_pos);
    if (level == 0) {
      int32_t root_no;
      if ((rc = AppendPage(ix, &root_no)) != 0) return rc;
      INDEXPAGE root;
      InitIndexPage(root, kPageInner);
      uint8_t empty[kMaxKeyLength] = {};
      InsertIndexEntry(root, kl, 0, separator, static_cast<uint32_t>(new_no));
      InsertIndexEntry(root, kl, 1, empty, static_cast<uint32_t>(s.page_no));
      if ((rc = WriteIndexPage(ix, index, root_no, root)) != 0) return rc;
      c.root = root_no;
      return WriteIndexHeader(ix);
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
  int32_t p = c.root;
  for (;;) {
    if (static_cast<int>(path.size()) >= DescentLimit(ix)) return Report(ix, index, kDbEvBadIndex);
    path.emplace_back();
    PathStep& s = path.back();
    s.page_no = p;
    if ((rc = ReadIndexPage(ix, index, p, &s.page)) != 0) return Report(ix, index, rc);
    const int n = PageCount(s.page);
    if (PageKind(s.page) == kPageLeaf) break;
    if (n == 0) {
      // An inner root left empty by removals takes keys again as a leaf.
      if (path.size() != 1) return Report(ix, index, kDbEvBadIndex);
      InitIndexPage(s.page, kPageLeaf);
      break;
    }
    s.entry = AddChild(s.page, kl, key);
    p = static_cast<int32_t>(EntryValue(s.page, kl, s.entry));
  }
  const INDEXPAGE& leaf = path.back().page;
  int pos = 0;
  for (int e = 0; e < PageCount(leaf); ++e)
    if (CompareIndexKeys(EntryKey(leaf, kl, e), key, kl) <= 0) pos = e + 1;
  rc = InsertAt(ix, index, path, static_cast<int>(path.size()) - 1, pos, key, static_cast<uint32_t>(record));
  if (rc != 0) c.page = kNoPage;
  return Report(ix, index, rc);
}
