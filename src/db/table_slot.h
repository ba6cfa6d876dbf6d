// Inside the table layer: the slot of one open table and the operations on it. The public
// functions of db/table.h check the table number, lock, call these and unlock.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "db/index_file.h"
#include "db/table.h"
#include "db/table_def.h"
#include "db/table_lock.h"

struct RUNFIELD {
  FIELDDEF def;
  uint32_t stored_offset;  // in the stored record; the deletion flag is byte 0
  size_t struct_offset;    // in the record structure
};

struct TABLESLOT;

class SLOTLOCK : public TABLE_LOCK_TARGET {
 public:
  explicit SLOTLOCK(TABLESLOT* slot) : slot_(slot) {}
  CFILE* LockFile() override;
  int64_t LockLength() override;
  void OnFirstLock() override;
  int Refresh(bool exclusive) override;

 private:
  TABLESLOT* slot_;
};

struct TABLESLOT {
  TABLESLOT() : lock(this) {}
  TABLESLOT(const TABLESLOT&) = delete;
  TABLESLOT& operator=(const TABLESLOT&) = delete;

  bool open = false;
  int table = -1;  // the slot's table number, for its lock
  const TABLEDEF* def = nullptr;
  CFILE data;
  std::vector<RUNFIELD> fields;
  uint32_t header_length = 0;
  uint32_t record_length = 0;
  long count = 0;
  long size_checked_count = -1;  // the count the file's size was last found long enough for
  long current = -1;
  std::vector<char> raw;   // the current record as stored
  char* record = nullptr;  // the record structure
  size_t record_size = 0;
  std::vector<char> own_record;  // used when the definition brings no structure
  std::vector<char> spare;       // a second structure: old keys, walks, rebuilds
  std::unique_ptr<INDEXFILE> index;
  bool index_open = false;
  int current_index = -1;
  int sharing = 0;         // as the files were opened
  bool refreshed = false;  // header read again under the current lock
  // The index file is as it was at the last lock (its stamp trusted): nobody appended meanwhile,
  // so a reader need not read the data file's header again.
  bool index_unchanged = false;
  bool header_skipped = false;  // under the current lock, for that reason
  bool index_refresh_failed = false;
  bool index_read_for_writing = false;  // kept index pages forgotten under this exclusive lock
  SLOTLOCK lock;
  // The marker of changes in progress (db/table_mark.h): open while this run holds a place in it.
  bool markable = false;  // opened for work, not to be inspected
  CFILE mark;
  int mark_place = -1;
  bool change_failed = false;  // a change failed and may not have been taken back whole
};

// Opening and closing. With `found` the table is opened to be inspected: read-only, in file
// order, nothing mended, and what would have been mended is told in *found. With new_index the
// index file is built afresh from the records and put in place of whatever was there.
int SlotOpen(TABLESLOT& s, const TABLEDEF* def, int sharing, TABLEFINDINGS* found = nullptr,
             bool new_index = false);
void SlotClose(TABLESLOT& s);
// Writes an empty data file (header, descriptors, terminator, end mark), replacing any file.
int CreateDataFile(const char* name, const TABLEDEF& def);

// Records.
int ReadRaw(TABLESLOT& s, long record, std::vector<char>* raw);
bool RawDeleted(const std::vector<char>& raw);
void Unpack(const TABLESLOT& s, const char* raw, char* record);
bool Pack(const TABLESLOT& s, const char* record, char* raw);
void ClearStruct(const TABLESLOT& s, char* record);
// The key of index i built from a structure: key length bytes, NUL-filled (kept on the stack,
// since every change builds a key per index).
struct KEYTEXT {
  char text[kMaxKeyLength + 2];
  const char* c_str() const { return text; }
};
KEYTEXT BuildKey(const TABLESLOT& s, int i, const char* record);
int WriteHeader(TABLESLOT& s);
// Makes record n current: reads it, fills the structure, places the active index on its key.
int SlotGo(TABLESLOT& s, long n);

int SlotAppend(TABLESLOT& s);
int SlotUpdate(TABLESLOT& s);
int SlotDelete(TABLESLOT& s);
int SlotZap(TABLESLOT& s);
// Walking and seeking answer 0 (a record is current), 15 (kDbEvNotFound: nothing that way,
// silent) or any other non-zero result for a failure that has been reported.
// dir: +1 forwards, -1 backwards; from_end starts at the first (or last) record.
int SlotWalk(TABLESLOT& s, int dir, bool from_end);
int SlotSeek(TABLESLOT& s, const char* text, bool last);
// 0 with the number of live records reachable by walking, or a failure.
int SlotCount(TABLESLOT& s, long* count);
int SlotSetIndex(TABLESLOT& s, int index);
int SlotRebuild(TABLESLOT& s);
// Builds the table's index file from its records under a temporary name, flushes it and puts it
// in place of the index file (the slot's own index object is not touched). 0 or a failure.
int BuildIndexFile(TABLESLOT& s);
int SlotPack(TABLESLOT& s);

// The slot of an open table, or null (for the checker and tools inside the layer).
TABLESLOT* OpenSlot(int table);

// Reports an event about this table's data file.
int SlotEvent(const TABLESLOT& s, int code, long number = 0);
