// Index files: walking the leaf chain and seeking by prefix.
//
// A walk trusts no link blindly: the page a link leads to must be a non-empty leaf that links
// back, and a walk that keeps going one way never comes to a leaf it has been on (a chain that
// loops back, jumps backwards or runs through an inner page). Both are reported as an invalid
// index (event 8) instead of looping forever: a walk in one direction reads each page at most
// once, so it ends within the file's page count.
#include <cstring>
#include <string>
#include <unordered_set>

#include "db/index_internal.h"

namespace {

// Chooses the entry to follow in an inner page with at least one entry.
using ChildChoice = int (*)(const INDEXPAGE& pg, int kl, const char* text, size_t length);

int FirstChild(const INDEXPAGE&, int, const char*, size_t) { return 0; }
int LastChild(const INDEXPAGE& pg, int, const char*, size_t) { return PageCount(pg) - 1; }

// The first separator not below the text, else the last entry.
int SeekChild(const INDEXPAGE& pg, int kl, const char* text, size_t length) {
  const int n = PageCount(pg);
  for (int e = 0; e < n - 1; ++e)
    if (CompareIndexPrefix(EntryKey(pg, kl, e), text, length, kl) >= 0) return e;
  return n - 1;
}

// The entry after the last separator not above the text (entry 0 when there is none).
int SeekLastChild(const INDEXPAGE& pg, int kl, const char* text, size_t length) {
  int j = 0;
  for (int e = 0; e < PageCount(pg) - 1; ++e)
    if (CompareIndexPrefix(EntryKey(pg, kl, e), text, length, kl) <= 0) j = e + 1;
  return j;
}

// Descends to a leaf; 15 when the index is empty.
int Descend(INDEXFILE* ix, int index, ChildChoice choose, const char* text, size_t length,
            int32_t* leaf_no, INDEXPAGE* leaf) {
  const INDEXCURSOR& c = ix->index[index];
  int32_t p = c.root;
  for (int depth = 0;; ++depth) {
    if (depth >= DescentLimit(ix)) return kDbEvBadIndex;
    int rc = ReadIndexPage(ix, index, p, leaf);
    if (rc != 0) return rc;
    const int n = PageCount(*leaf);
    if (n == 0) return depth == 0 ? kDbEvNotFound : kDbEvBadIndex;
    if (PageKind(*leaf) == kPageLeaf) {
      *leaf_no = p;
      return 0;
    }
    p = static_cast<int32_t>(
        EntryValue(*leaf, c.key_length, choose(*leaf, c.key_length, text, length)));
  }
}

int Give(INDEXCURSOR& c, long* record) {
  if (record) *record = static_cast<long>(EntryValue(c.copy, c.key_length, c.position));
  return 0;
}

// Reads the cursor's page again when its copy is no longer valid; the page may have lost entries
// to another workstation meanwhile.
int LoadCursorPage(INDEXFILE* ix, int index) {
  INDEXCURSOR& c = ix->index[index];
  if (c.page == kNoPage) return kDbEvNotFound;
  if (!c.copy_valid) {
    int rc = ReadIndexPage(ix, index, c.page, &c.copy);
    if (rc != 0) {
      c.page = kNoPage;
      return rc;
    }
    if (PageKind(c.copy) != kPageLeaf) {
      c.page = kNoPage;
      return kDbEvBadIndex;
    }
    c.copy_valid = true;
    if (c.position > PageCount(c.copy)) c.position = PageCount(c.copy);
  }
  return 0;
}

// Moves the cursor to the neighbouring leaf `to` (reached from the cursor's page in `direction`).
int Hop(INDEXFILE* ix, int index, int32_t to, int direction) {
  INDEXCURSOR& c = ix->index[index];
  INDEXPAGE pg;
  int rc = ReadIndexPage(ix, index, to, &pg);
  if (rc != 0) return rc;
  const int32_t back = direction > 0 ? PagePrev(pg) : PageNext(pg);
  if (PageKind(pg) != kPageLeaf || PageCount(pg) == 0 || back != c.page) return kDbEvBadIndex;
  // A turn starts a new walk from the page the cursor is on.
  if (c.hop_direction != direction) {
    c.walked.clear();
    c.hop_direction = direction;
  }
  c.walked.insert(c.page);
  if (c.walked.count(to)) return kDbEvBadIndex;
  std::unordered_set<int32_t> walked;
  walked.swap(c.walked);
  walked.insert(to);
  SetIndexCursor(c, to, pg, direction > 0 ? 0 : PageCount(pg) - 1);
  c.hop_direction = direction;
  c.walked.swap(walked);
  return 0;
}

int Walk(INDEXFILE* ix, int index, long* record, int direction) {
  int rc = CheckIndexNumber(ix, index);
  if (rc == 0) rc = LoadCursorPage(ix, index);
  if (rc != 0) return ReportIndexEvent(ix, index, rc);
  INDEXCURSOR& c = ix->index[index];
  const int n = PageCount(c.copy);
  const int want = c.position + direction;
  if (want >= 0 && want < n) {
    c.position = want;
    return Give(c, record);
  }
  const int32_t to = direction > 0 ? PageNext(c.copy) : PagePrev(c.copy);
  if (to == kNoPage) return ReportIndexEvent(ix, index, kDbEvNotFound);
  rc = Hop(ix, index, to, direction);
  if (rc != 0) return ReportIndexEvent(ix, index, rc);
  return Give(c, record);
}

int End(INDEXFILE* ix, int index, long* record, bool last) {
  int rc = CheckIndexNumber(ix, index);
  if (rc != 0) return ReportIndexEvent(ix, index, rc);
  INDEXPAGE leaf;
  int32_t leaf_no;
  rc = Descend(ix, index, last ? LastChild : FirstChild, nullptr, 0, &leaf_no, &leaf);
  if (rc != 0) return ReportIndexEvent(ix, index, rc);
  INDEXCURSOR& c = ix->index[index];
  SetIndexCursor(c, leaf_no, leaf, last ? PageCount(leaf) - 1 : 0);
  return Give(c, record);
}

}  // namespace

int FirstKey(INDEXFILE* ix, int index, long* record) { return End(ix, index, record, false); }
int LastKey(INDEXFILE* ix, int index, long* record) { return End(ix, index, record, true); }
int NextKey(INDEXFILE* ix, int index, long* record) { return Walk(ix, index, record, +1); }
int PrevKey(INDEXFILE* ix, int index, long* record) { return Walk(ix, index, record, -1); }

namespace {

// A seek text compared as the file will hold it (see NormalizeIndexText).
std::string SeekText(const char* text) {
  std::string normalized = text ? text : "";
  NormalizeIndexText(normalized.data(), normalized.size());
  return normalized;
}

template <typename Choose>
int DescendForSeek(INDEXFILE* ix, int index, Choose choose, const std::string& text,
                   int32_t* leaf_no, INDEXPAGE* leaf) {
  int rc = CheckIndexNumber(ix, index);
  if (rc != 0) return rc;
  return Descend(ix, index, choose, text.c_str(), text.size(), leaf_no, leaf);
}

}  // namespace

int SeekKey(INDEXFILE* ix, int index, const char* text_in, long* record) {
  const std::string text = SeekText(text_in);
  const size_t length = text.size();
  INDEXPAGE leaf;
  int32_t leaf_no;
  int rc = DescendForSeek(ix, index, SeekChild, text, &leaf_no, &leaf);
  if (rc != 0) return ReportIndexEvent(ix, index, rc);
  INDEXCURSOR& c = ix->index[index];
  for (int e = 0; e < PageCount(leaf); ++e) {
    if (CompareIndexPrefix(EntryKey(leaf, c.key_length, e), text.c_str(), length, c.key_length) >=
        0) {
      SetIndexCursor(c, leaf_no, leaf, e);
      return Give(c, record);
    }
  }
  return ReportIndexEvent(ix, index, kDbEvNotFound);
}

int SeekLastKey(INDEXFILE* ix, int index, const char* text_in, long* record) {
  const std::string text = SeekText(text_in);
  const size_t length = text.size();
  INDEXPAGE leaf;
  int32_t leaf_no;
  int rc = DescendForSeek(ix, index, SeekLastChild, text, &leaf_no, &leaf);
  if (rc != 0) return ReportIndexEvent(ix, index, rc);
  INDEXCURSOR& c = ix->index[index];
  for (int e = PageCount(leaf) - 1; e >= 0; --e) {
    if (CompareIndexPrefix(EntryKey(leaf, c.key_length, e), text.c_str(), length, c.key_length) <=
        0) {
      SetIndexCursor(c, leaf_no, leaf, e);
      return Give(c, record);
    }
  }
  const int32_t prev = PagePrev(leaf);
  if (prev == kNoPage) return ReportIndexEvent(ix, index, kDbEvNotFound);
  INDEXPAGE pg;
  rc = ReadIndexPage(ix, index, prev, &pg);
  if (rc == 0 && (PageKind(pg) != kPageLeaf || PageCount(pg) == 0 || PageNext(pg) != leaf_no))
    rc = kDbEvBadIndex;
  if (rc != 0) return ReportIndexEvent(ix, index, rc);
  SetIndexCursor(c, prev, pg, PageCount(pg) - 1);
  return Give(c, record);
}

int CurrentKey(INDEXFILE* ix, int index, long* record, char* key_out) {
  int rc = CheckIndexNumber(ix, index);
  if (rc == 0) rc = LoadCursorPage(ix, index);
  if (rc != 0) return ReportIndexEvent(ix, index, rc);
  INDEXCURSOR& c = ix->index[index];
  if (c.position >= PageCount(c.copy)) return ReportIndexEvent(ix, index, kDbEvNotFound);
  if (key_out)
    std::memcpy(key_out, EntryKey(c.copy, c.key_length, c.position),
                static_cast<size_t>(c.key_length));
  return Give(c, record);
}
