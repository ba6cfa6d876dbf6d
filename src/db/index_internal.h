// Pieces shared by the index file sources (index_file.cc, index_remove.cc, index_walk.cc); not
// for use outside them. Functions returning int give 0, -1 (file layer failed) or an event code.
#pragma once

#include <cstdint>
#include <vector>

#include "db/index_file.h"

// One page on the way down from a root, with the entry taken in it.
struct PathStep {
  int32_t page_no = kNoPage;
  INDEXPAGE page;
  int entry = 0;
};

// 0 when the file is open and the index number exists; else 16 or 7.
int CheckIndexNumber(INDEXFILE* ix, int index);
// Reports a positive code as an event about the file and returns the code unchanged.
int ReportIndexEvent(INDEXFILE* ix, int index, int rc);
int WriteIndexPage(INDEXFILE* ix, int index, int32_t p, const INDEXPAGE& page);
int WriteIndexHeader(INDEXFILE* ix);
void SetIndexCursor(INDEXCURSOR& c, int32_t page_no, const INDEXPAGE& page, int position);
// Pages that can really be read: the page count, or fewer when the file is shorter than it says.
// Bounds searches and walks in files whose header claims more than they hold. -1 when the size
// cannot be read (reported by the file layer).
int64_t IndexPageBound(INDEXFILE* ix);
// The deepest descent a sound file allows; deeper means a cycle of child pointers.
int DescentLimit(const INDEXFILE* ix);
// Finds the entry (key, record) the way removal looks for it: down through the first separator not
// below the key, on through the following children while the separators equal the key. Fills the
// path from the root to the leaf and the entry's position; 10 when it is not there.
int FindIndexEntry(INDEXFILE* ix, int index, const uint8_t* key, uint32_t record, std::vector<PathStep>* path,
                   int* position);
