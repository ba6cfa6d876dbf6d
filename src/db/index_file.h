// Index files: up to 59 B-trees of 512-byte pages in one file per table, leaves chained both ways.
//
// Keys are fixed-length texts in the data code page, compared with the Polish collation; on disk
// they are in code page 852. Every operation returns 0 on success; a failure returns the event
// code it reported (kDbEvBadIndex 8 for an impossible header or page, kDbEvKeyMissing 10,
// kDbEvNotFound 15, which is silent, kDbEvBadIndexNumber 7, kDbEvBadRecordNumber 14 for a record
// number AddKey cannot store) or -1 when the file layer failed and
// reported it through CFILE::HANDLER. Events go through ReportDbEvent with the file name and the
// index number.
//
//   INDEXFILE* ix = new INDEXFILE;
//   int lengths[2] = {11, 51};
//   CreateIndexFile(ix, "Tow.inx", 2, lengths, kShareNone);   // header + two empty leaves
//   AddKey(ix, 0, "KOD1", 0);
//   long rec;
//   if (SeekKey(ix, 0, "KO", &rec) == 0) { /* rec is the first record whose key starts "KO" */ }
//
// Pages read or written stay in memory (INDEXCACHE, keys already in the data code page) up to a
// limit. With the file held exclusively they are the file's. With shared access (several
// workstations) the table layer calls RevalidateIndexFile at its first lock level: when the file
// may have changed since, the header is read again and the kept pages and cursor page copies are
// no longer trusted, to be read again before their next use.
//
// Entries of long runs of equal keys (goods without a barcode) are found again through hints: the
// leaf where a record's entry was last seen and the parent of each page. A hint is verified on use
// (the leaf holds the entry, each parent holds its child up to the root) and a wrong one only
// means the ordinary search.
//
// After AddKey the cursor of that index stands on the new entry; after RemoveKey on the entry that
// took the removed one's place, else the first entry of the next page, else the previous entry,
// else the last entry of the previous page, else nowhere.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "db/db_events.h"
#include "db/index_page.h"
#include "platform/cfile.h"

struct INDEXCURSOR {
  int key_length = 0;
  int capacity = 0;
  int32_t root = kNoPage;
  int32_t page = kNoPage;  // the cursor's page, kNoPage for none
  int position = 0;
  bool copy_valid = false;  // `copy` holds `page` as read under the current lock
  // The leaves a walk in one direction has been on since the cursor was placed (or turned): a
  // sound chain never comes back to one, so a leaf reached twice means a chain that loops.
  int hop_direction = 0;
  std::unordered_set<int32_t> walked;
  INDEXPAGE copy;
};

struct INDEXCACHE {
  struct PAGE {
    INDEXPAGE page;
    int32_t page_no = kNoPage;  // kNoPage: a free slot
    int index = 0;
    uint32_t generation = 0;
    bool used = false;   // used since the clock hand last passed
    bool dirty = false;  // changed and not yet written (write-back)
  };
  std::vector<PAGE> slots;       // up to `limit`; a clock hand picks the slot to reuse
  std::vector<int32_t> slot_of;  // page -> slot, -1 none
  size_t hand = 0;
  uint32_t generation = 1;  // pages kept under an older generation are not trusted
  size_t limit = 65536;     // pages (32 MB)
  // Hints, verified on use: the parent page of each page, and per index the leaf that held the
  // entry of each record (kNoPage: not known). Leaves are remembered only for indexes where a
  // search had to go through more than one leaf of equal keys.
  std::vector<int32_t> parent;
  std::vector<int32_t> leaf_of[kMaxIndexCount];
  bool hinted[kMaxIndexCount] = {};
  // Shared access: the file as last seen, when that was first seen (steady clock), and whether
  // pages kept under the last lock may have missed a change within one step of the time stamp.
  FILESTAMP stamp;
  int64_t stamp_seen_ns = 0;
  bool racy = true;
  // The last RevalidateIndexFile found the file as the look before it, and trusted that look.
  bool unchanged = false;
};

struct INDEXSTATS {
  long page_reads = 0;
  long page_writes = 0;
  long header_reads = 0;
  long header_writes = 0;
};

struct INDEXFILE {
  CFILE file;
  // A change failed and could not be undone: every operation answers event 8 until the file is
  // opened again (or rebuilt).
  bool damaged = false;
  int32_t page_count = 0;
  int index_count = 0;
  INDEXCURSOR index[kMaxIndexCount];
  INDEXSTATS stats;
  INDEXCACHE cache;
  // Write-back, while the file is held alone (opened without sharing, for writing): pages changed
  // in place wait in the kept pages (marked dirty) and the header in memory until FlushIndexFile,
  // which the close, the check and a full set of dirty pages call. New pages are written at once,
  // so that a full disk still meets the change that needs the room. A run that ends without the
  // flush leaves the file behind its records; the marker of changes in progress makes the next
  // opening check the indexes and rebuild them.
  bool write_back = false;
  bool header_dirty = false;
  int dirty_pages = 0;
  int32_t file_pages = 0;  // pages the file itself holds
};

// Writes a fresh file (header, then one empty leaf per index as pages 0..n-1) and keeps it open.
// A failed write deletes the file. An index count outside 0..59 or a key length outside 2..100:
// event 17.
int CreateIndexFile(INDEXFILE* ix, const char* name, int index_count, const int* key_lengths,
                    int sharing);
// Opens an existing file and checks its header against the definition: event 8 on any difference.
int OpenIndexFile(INDEXFILE* ix, const char* name, int index_count, const int* key_lengths,
                  int sharing, bool read_only = false);
int CloseIndexFile(INDEXFILE* ix);
// Writes the pages and the header that wait (write-back) in the order of the file. A failed write
// leaves the file behind its records: the index is marked damaged (event 8) and -1 returned.
int FlushIndexFile(INDEXFILE* ix);
// FlushIndexFile, then everything written reaches the disk.
int SyncIndexFile(INDEXFILE* ix);
// Forgets the pages that wait: the file is about to be replaced or emptied.
void DiscardIndexChanges(INDEXFILE* ix);
// FlushIndexFile, then the kept pages and hints give their memory back (a rebuild or a pack is
// about to need it for sorting keys), also when the flush failed (the index is then damaged).
int ReleaseIndexMemory(INDEXFILE* ix);
// Cuts the open file to nothing and writes it afresh in place, for rebuilding.
int EmptyIndexFile(INDEXFILE* ix);
// Shared access: read the header again and forget every cursor page copy and kept page.
int RefreshIndexFile(INDEXFILE* ix);
// Shared access, at the first lock level: whether the file may have changed since it was last
// seen (another workstation wrote it). If so, the header is read again and the kept pages and the
// cursor page copies are no longer trusted; if not, everything stays. *replaced: the name now
// stands for another file (rebuilt elsewhere), which the caller opens. 0, -1 or event 8.
int RevalidateIndexFile(INDEXFILE* ix, bool* replaced);
// The kept pages are read from the file again before their next use (cursor copies stay).
void ForgetKeptIndexPages(INDEXFILE* ix);

int AddKey(INDEXFILE* ix, int index, const char* key, long record);
int RemoveKey(INDEXFILE* ix, int index, const char* key, long record);

// Walking; record (may be null) receives the record number of the entry reached.
int FirstKey(INDEXFILE* ix, int index, long* record);
int LastKey(INDEXFILE* ix, int index, long* record);
int NextKey(INDEXFILE* ix, int index, long* record);
int PrevKey(INDEXFILE* ix, int index, long* record);
// The first entry whose key, compared over the text's length, is not below the text.
int SeekKey(INDEXFILE* ix, int index, const char* text, long* record);
// The last entry whose key, compared over the text's length, is not above the text.
int SeekLastKey(INDEXFILE* ix, int index, const char* text, long* record);
// Puts the cursor on the entry with exactly this key and record number; event 10 when missing.
int LocateKey(INDEXFILE* ix, int index, const char* key, long record);
// The entry under the cursor: its record number and key (key_out takes key length bytes); 15
// when the cursor is nowhere.
int CurrentKey(INDEXFILE* ix, int index, long* record, char* key_out);

// Page access for the checker and tools: reads page p of an index (keys converted to the data code
// page) and checks its kind, count and links. 0, -1 (file layer) or 8; reports nothing.
int ReadIndexPage(INDEXFILE* ix, int index, int32_t p, INDEXPAGE* page);
