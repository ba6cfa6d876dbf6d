// The integrity checker of index files: walks every tree of an open index file and tells the
// first fault it finds. Used by the tests after every step, by tamsu-admin and by the database
// check. It reads pages only, reports no events and changes nothing.
//
// What a sound file satisfies: the header has the magic text, zeros where nothing is stored, the
// definition's key lengths and a page count that matches the file size; every page reached from a
// root has a possible kind, count and links, keys of at most key length - 1 characters with NUL
// bytes to the end and zeros after the last entry; no page is reached twice; all leaves of a tree
// are at one depth and only the root may be empty; keys ascend within a page and stay within the
// separators above them; each separator equals the greatest key below it and the last entry of
// an inner page has the empty key; the pages of every level form one chain in key order, linked
// both ways; every record number lies below the record count of the data file.
//
//   INDEXCHECK check;
//   if (CheckIndexFile(ix, record_count, &check) != 0) printf("%s\n", check.problem.c_str());
#pragma once

#include <string>

#include "db/index_file.h"

struct INDEXCHECK {
  int event = 0;   // 0 sound, 8 structure, 14 a record number outside the data file
  int index = -1;  // where the fault lies (-1: the header or the file)
  int32_t page = kNoPage;
  std::string problem;             // one line for developers, in English
  long keys[kMaxIndexCount] = {};  // entries in the leaves of each tree
  int depth[kMaxIndexCount] = {};  // levels of each tree
  long pages_in_trees = 0;
  long unused_pages = 0;  // emptied pages that wait for a rebuild
};

// record_count < 0 skips the record number check. Returns check->event.
int CheckIndexFile(INDEXFILE* ix, long record_count, INDEXCHECK* check);
