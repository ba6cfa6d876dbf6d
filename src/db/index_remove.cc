// Index files: finding an exact entry, removing keys, locating the cursor on an entry.
//
// Removal never rebalances. A page left empty is unlinked from its level's chain and its entry is
// removed from the parent; the page itself stays in the file unused until the index is rebuilt.
// Both order rules hold after every removal: a separator is the greatest key below it, and the
// last entry of an inner page has the empty key. So when the last entry of a page goes, the page's
// greatest key changes and the separator for it, up the first ancestor where the page's branch is
// not the last entry, takes the new greatest key; an inner page's new last entry gives its key up
// to the parent and becomes empty.
#include <cstring>
#include <vector>

#include "db/index_internal.h"

namespace {

struct Search {
  INDEXFILE* ix;
  int index;
  int kl;
  const uint8_t* key;
  uint32_t record;
  int64_t budget;  // pages a search may read: a sound tree is read at most once per page
  std::vector<PathStep>* path;
  int position = 0;
  int leaves = 0;  // leaves looked through
};

int SearchPage(Search& s, int32_t p) {
  if (--s.budget < 0 || static_cast<int>(s.path->size()) >= DescentLimit(s.ix))
    return kDbEvBadIndex;
  s.path->emplace_back();
  PathStep& step = s.path->back();
  step.page_no = p;
  int rc = ReadIndexPage(s.ix, s.index, p, &step.page);
  if (rc != 0) return rc;
  step.original = step.page;
  const int n = PageCount(step.page);
  if (PageKind(step.page) == kPageLeaf) {
    // A search that has to look through several leaves of equal keys leaves hints behind.
    if (++s.leaves == 2) UseLeafHints(s.ix, s.index);
    if (s.leaves >= 2) LearnFromPage(s.ix, s.index, p, step.page);
    for (int e = KeysBelow(step.page, s.kl, n, s.key);
         e < n && CompareIndexKeys(EntryKey(step.page, s.kl, e), s.key, s.kl) == 0; ++e) {
      if (EntryValue(step.page, s.kl, e) == s.record) {
        s.position = e;
        return 0;
      }
    }
    s.path->pop_back();
    return kDbEvKeyMissing;
  }
  if (n == 0) {
    if (s.path->size() != 1) return kDbEvBadIndex;
    s.path->pop_back();
    return kDbEvKeyMissing;
  }
  int j = KeysBelow(step.page, s.kl, n - 1, s.key);
  // `step` may move when deeper levels grow the vector; work through the index.
  const size_t at = s.path->size() - 1;
  for (;; ++j) {
    (*s.path)[at].entry = j;
    int32_t child = static_cast<int32_t>(EntryValue((*s.path)[at].page, s.kl, j));
    rc = SearchPage(s, child);
    if (rc != kDbEvKeyMissing) return rc;
    // Equal keys may continue in the next child; the last entry has no key to look at.
    if (j >= n - 1 || CompareIndexKeys(EntryKey((*s.path)[at].page, s.kl, j), s.key, s.kl) != 0)
      break;
  }
  s.path->pop_back();
  return kDbEvKeyMissing;
}

// After the greatest key below path[level] changed to `greatest`: the separator for that page in
// the first ancestor where the branch is not the last entry takes it.
void PropagateGreatest(INDEXFILE* ix, int index, std::vector<PathStep>& path, int level,
                       const uint8_t* greatest, PAGEWRITES& w) {
  const int kl = ix->index[index].key_length;
  for (int l = level - 1; l >= 0; --l) {
    PathStep& s = path[static_cast<size_t>(l)];
    if (s.entry < PageCount(s.page) - 1) {
      std::memcpy(EntryKey(s.page, kl, s.entry), greatest, static_cast<size_t>(kl));
      w.Change(s.page_no, s.original, s.page);
      return;
    }
  }
}

// Joins the neighbours of an emptied page.
int Unlink(const INDEXPAGE& pg, PAGEWRITES& w) {
  const int32_t prev = PagePrev(pg), next = PageNext(pg);
  INDEXPAGE other;
  int rc;
  if (prev != kNoPage) {
    if ((rc = w.Read(prev, &other)) != 0) return rc;
    INDEXPAGE before = other;
    SetPageNext(other, next);
    w.Change(prev, before, other);
  }
  if (next != kNoPage) {
    if ((rc = w.Read(next, &other)) != 0) return rc;
    INDEXPAGE before = other;
    SetPagePrev(other, prev);
    w.Change(next, before, other);
  }
  return 0;
}

int RemoveAt(INDEXFILE* ix, int index, std::vector<PathStep>& path, int level, int pos,
             PAGEWRITES& w) {
  const int kl = ix->index[index].key_length;
  for (;;) {
    PathStep& s = path[static_cast<size_t>(level)];
    INDEXPAGE& pg = s.page;
    const int old_count = PageCount(pg);
    RemoveIndexEntry(pg, kl, pos);
    int rc;
    if (PageCount(pg) == 0) {
      if (level == 0) {
        // The root stays; empty, it is a leaf whatever it was, so that adding works again.
        InitIndexPage(pg, kPageLeaf);
        w.Change(s.page_no, s.original, pg);
        return 0;
      }
      if ((rc = Unlink(pg, w)) != 0) return rc;
      w.Change(s.page_no, s.original, pg);
      --level;
      pos = path[static_cast<size_t>(level)].entry;
      continue;
    }
    w.Change(s.page_no, s.original, pg);
    if (pos != old_count - 1) return 0;
    uint8_t greatest[kMaxKeyLength];
    uint8_t* last = EntryKey(pg, kl, PageCount(pg) - 1);
    std::memcpy(greatest, last, static_cast<size_t>(kl));
    if (PageKind(pg) == kPageInner) std::memset(last, 0, static_cast<size_t>(kl));
    w.Change(s.page_no, s.original, pg);
    PropagateGreatest(ix, index, path, level, greatest, w);
    return 0;
  }
}

// The cursor after a removal at (leaf, pos): the entry now there, else the first entry of the
// next page, else the previous entry, else the last entry of the previous page, else nowhere.
int PlaceAfterRemoval(INDEXFILE* ix, int index, int32_t leaf_no, const INDEXPAGE& leaf,
                      int32_t prev, int32_t next, int pos) {
  INDEXCURSOR& c = ix->index[index];
  c.page = kNoPage;
  const int n = PageCount(leaf);
  if (pos < n) {
    SetIndexCursor(c, leaf_no, leaf, pos);
    return 0;
  }
  INDEXPAGE other;
  int rc;
  if (next != kNoPage) {
    if ((rc = ReadIndexPage(ix, index, next, &other)) != 0) return rc;
    if (PageKind(other) != kPageLeaf || PageCount(other) == 0) return kDbEvBadIndex;
    SetIndexCursor(c, next, other, 0);
    return 0;
  }
  if (pos > 0 && n > 0) {
    SetIndexCursor(c, leaf_no, leaf, pos - 1);
    return 0;
  }
  if (prev != kNoPage) {
    if ((rc = ReadIndexPage(ix, index, prev, &other)) != 0) return rc;
    if (PageKind(other) != kPageLeaf || PageCount(other) == 0) return kDbEvBadIndex;
    SetIndexCursor(c, prev, other, PageCount(other) - 1);
  }
  return 0;
}

}  // namespace

int FindIndexEntry(INDEXFILE* ix, int index, const uint8_t* key, uint32_t record,
                   std::vector<PathStep>* path, int* position) {
  INDEXCURSOR& c = ix->index[index];
  int rc = FindByHints(ix, index, key, record, path, position);
  if (rc <= 0) return rc;
  path->clear();
  // Opening checked that the file holds every page its header counts.
  Search s{ix, index, c.key_length, key, record, static_cast<int64_t>(ix->page_count) + 1, path};
  rc = SearchPage(s, c.root);
  *position = s.position;
  if (rc != 0 || s.leaves < 2) return rc;
  // The entry lay in a run of equal keys over several leaves, whose leaves up to this one the
  // search has learned. The rest of the run is learned too, once, so that the next search for any
  // of its records goes straight to its leaf instead of along the run again.
  INDEXPAGE leaf = path->back().page;
  for (int64_t budget = ix->page_count; budget > 0; --budget) {
    const int32_t next = PageNext(leaf);
    if (next == kNoPage) break;
    if ((rc = ReadIndexPage(ix, index, next, &leaf)) != 0) return rc;
    if (PageKind(leaf) != kPageLeaf) return kDbEvBadIndex;
    if (PageCount(leaf) == 0 ||
        CompareIndexKeys(EntryKey(leaf, c.key_length, 0), key, c.key_length) != 0)
      break;
    LearnFromPage(ix, index, next, leaf);
  }
  return 0;
}

int RemoveKey(INDEXFILE* ix, int index, const char* text, long record) {
  int rc = CheckIndexNumber(ix, index);
  if (rc != 0) return ReportIndexEvent(ix, index, rc);
  INDEXCURSOR& c = ix->index[index];
  uint8_t key[kMaxKeyLength];
  MakeIndexKey(text, c.key_length, key);
  std::vector<PathStep> path;
  int pos = 0;
  if (record < 0 || record > 0xFFFFFFFFL) return ReportIndexEvent(ix, index, kDbEvKeyMissing);
  rc = FindIndexEntry(ix, index, key, static_cast<uint32_t>(record), &path, &pos);
  if (rc != 0) return ReportIndexEvent(ix, index, rc);
  const int leaf_level = static_cast<int>(path.size()) - 1;
  const int32_t leaf_no = path.back().page_no;
  const int32_t prev = PagePrev(path.back().page), next = PageNext(path.back().page);
  PAGEWRITES writes(ix, index);
  rc = RemoveAt(ix, index, path, leaf_level, pos, writes);
  if (rc == 0) rc = writes.Commit();
  if (rc == 0) {
    const INDEXPAGE& leaf = path[static_cast<size_t>(leaf_level)].page;
    // An emptied leaf left its chain: its neighbours no longer point at it.
    bool gone = PageCount(leaf) == 0 && leaf_level > 0;
    rc = PlaceAfterRemoval(ix, index, gone ? kNoPage : leaf_no, leaf, prev, next, pos);
  } else {
    c.page = kNoPage;
  }
  return ReportIndexEvent(ix, index, rc);
}

int LocateKey(INDEXFILE* ix, int index, const char* text, long record) {
  int rc = CheckIndexNumber(ix, index);
  if (rc != 0) return ReportIndexEvent(ix, index, rc);
  INDEXCURSOR& c = ix->index[index];
  uint8_t key[kMaxKeyLength];
  MakeIndexKey(text, c.key_length, key);
  if (record < 0 || record > 0xFFFFFFFFL) return ReportIndexEvent(ix, index, kDbEvKeyMissing);
  std::vector<PathStep> path;
  int pos = 0;
  rc = FindIndexEntry(ix, index, key, static_cast<uint32_t>(record), &path, &pos);
  if (rc != 0) return ReportIndexEvent(ix, index, rc);
  SetIndexCursor(c, path.back().page_no, path.back().page, pos);
  return 0;
}
