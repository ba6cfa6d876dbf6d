// Pieces shared by the index file sources (index_file.cc, index_remove.cc, index_walk.cc); not
// for use outside them. Functions returning int give 0, -1 (file layer failed) or an event code.
#pragma once

#include <cstdint>
#include <vector>

#include "db/index_file.h"

// One page on the way down from a root, with the entry taken in it; `original` is the page as
// read, `page` as a change makes it.
struct PathStep {
  PathStep() {}  // the pages are filled when read: no need to clear 1 KB at every level first
  int32_t page_no = kNoPage;
  INDEXPAGE page;
  INDEXPAGE original;
  bool original_taken = false;  // adding copies `original` only for the pages it changes
  bool loaded = true;           // adding copies an inner page into `page` only when it splits
  int entry = 0;
};

// The page writes of one change to an index (adding or removing a key), made so that a failing
// write leaves the file as it was: the new pages go to the end of the file first, where nothing
// points at them yet; then the header that counts them (and names a new root); then the pages
// changed in place. A failure on the way writes back what was there and cuts the new pages off
// again, so that a full disk (which only refuses the growing writes) never damages the index.
// Only when the undoing fails too is the index marked damaged: event 8 until it is rebuilt.
class PAGEWRITES {
 public:
  PAGEWRITES(INDEXFILE* ix, int index);
  // The page as this change sees it: changed here, else as the file holds it.
  int Read(int32_t p, INDEXPAGE* page);
  // A page changed in place; `original` is what the file holds. The first original counts.
  void Change(int32_t p, const INDEXPAGE& original, const INDEXPAGE& updated);
  // The number the next new page will get (event 8 when the file cannot hold another).
  int NextNew(int32_t* p) const;
  // A new page at the end of the file, numbered as NextNew said.
  void Append(const INDEXPAGE& page);
  void SetRoot(int32_t root) { root_ = root; }
  // Writes everything in the safe order; 0, -1 (file layer) or 8.
  int Commit();

 private:
  void Undo(size_t written, bool header_written);

  INDEXFILE* ix_;
  int index_;
  int32_t root_;
  std::vector<INDEXPAGE> appended_;
  std::vector<int32_t> order_;
  std::vector<INDEXPAGE> originals_, updates_;
};

// 0 when the file is open and the index number exists; else 16 or 7.
int CheckIndexNumber(INDEXFILE* ix, int index);
// Reports a positive code as an event about the file and returns the code unchanged.
int ReportIndexEvent(INDEXFILE* ix, int index, int rc);
int WriteIndexPage(INDEXFILE* ix, int index, int32_t p, const INDEXPAGE& page);
// ReadIndexPage without the copy where the page is kept: *view points at the kept page (valid
// until the next page is read, written or kept) or at *buffer, which took the page from the file.
int ViewIndexPage(INDEXFILE* ix, int index, int32_t p, INDEXPAGE* buffer, const INDEXPAGE** view);
int WriteIndexHeader(INDEXFILE* ix);
void SetIndexCursor(INDEXCURSOR& c, int32_t page_no, const INDEXPAGE& page, int position);
// The deepest descent a sound file allows; deeper means a cycle of child pointers.
int DescentLimit(const INDEXFILE* ix);
// Finds the entry (key, record) the way removal looks for it: down through the first separator not
// below the key, on through the following children while the separators equal the key. Fills the
// path from the root to the leaf and the entry's position; 10 when it is not there.
int FindIndexEntry(INDEXFILE* ix, int index, const uint8_t* key, uint32_t record,
                   std::vector<PathStep>* path, int* position);

// Kept pages and hints (index_cache.cc). Pages are kept with their keys in the data code page.
// A page kept for index `index` under the current generation, or null.
const INDEXPAGE* KeptPage(INDEXFILE* ix, int index, int32_t p);
// Keeps a page, dirty when it waits to be written (write-back). Taking the slot of a dirty page
// writes that page first: -1 when that write failed (the index is then marked damaged).
int KeepPage(INDEXFILE* ix, int index, int32_t p, const INDEXPAGE& page, bool dirty = false);
// A page whose bytes in the file are not known (a write failed, the file was cut); a change that
// waited for it is dropped.
void ForgetPage(INDEXFILE* ix, int32_t p);
// Writes a page that waited (write-back) to the file; a failure marks the index damaged.
int WriteWaitingPage(INDEXFILE* ix, int index, int32_t p, const INDEXPAGE& page);
// Everything kept goes, waiting changes included: pages, hints and the stamp (the file was
// emptied, opened or closed).
void ClearIndexCache(INDEXFILE* ix);
// The hints a page gives: the parent of each child of an inner page; the leaf of each record of
// a leaf of an index that uses leaf hints.
void LearnFromPage(INDEXFILE* ix, int index, int32_t p, const INDEXPAGE& page);
// Turns leaf hints on for an index (a search went through several leaves of equal keys).
void UseLeafHints(INDEXFILE* ix, int index);
// Finds the entry (key, record) through the hints and verifies it: the leaf holds the entry and
// each page up to the root holds its child. 0 with the path and position as FindIndexEntry gives
// them; 1 when the hints do not lead there (the caller searches); -1 when the file layer failed.
int FindByHints(INDEXFILE* ix, int index, const uint8_t* key, uint32_t record,
                std::vector<PathStep>* path, int* position);
