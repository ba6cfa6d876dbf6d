// Record operations of the table layer: append, update, delete, empty, walking and seeking.
#include <cstring>

#include "db/db_events.h"
#include "db/dbf_format.h"
#include "db/table_slot.h"

namespace {

int64_t RecordOffset(const TABLESLOT& s, long n) {
  return static_cast<int64_t>(s.header_length) + static_cast<int64_t>(n) * s.record_length;
}

int WriteEndMark(TABLESLOT& s) {
  uint8_t mark = kDbfEndMark;
  return s.data.WriteAt(RecordOffset(s, s.count), &mark, 1) == 1 ? 0 : -1;
}

// Adds the keys of indexes from..to-1 (all by default); *done tells how many went in.
int AddKeys(TABLESLOT& s, const char* record, long n, int* done = nullptr) {
  if (done) *done = 0;
  if (!s.index_open) return 0;
  for (int i = 0; i < s.def->index_count; ++i) {
    KEYTEXT key = BuildKey(s, i, record);
    int rc = AddKey(s.index.get(), i, key.c_str(), n);
    if (rc != 0) return rc;
    if (done) *done = i + 1;
  }
  return 0;
}

int RemoveKeys(TABLESLOT& s, const char* record, long n, int* done = nullptr) {
  if (done) *done = 0;
  if (!s.index_open) return 0;
  for (int i = 0; i < s.def->index_count; ++i) {
    KEYTEXT key = BuildKey(s, i, record);
    int rc = RemoveKey(s.index.get(), i, key.c_str(), n);
    if (rc != 0) return rc;
    if (done) *done = i + 1;
  }
  return 0;
}

// Silences both handlers while a failed change is taken back: the failure was reported once.
class Undoing {
 public:
  Undoing() : file_(CFILE::Handler()), events_(EventHandler()) {
    CFILE::SetHandler(nullptr);
    SetEventHandler(nullptr);
  }
  ~Undoing() {
    CFILE::SetHandler(file_);
    SetEventHandler(events_);
  }
  Undoing(const Undoing&) = delete;
  Undoing& operator=(const Undoing&) = delete;

 private:
  CFILE::HANDLER* file_;
  DbEventHandler events_;
};

// Keys of the first `count` indexes go in again (add) or out again (remove) while a failed change
// is undone. When that fails the index no longer matches the records: it is marked damaged and
// the user is told to rebuild it.
void UndoKeys(TABLESLOT& s, const char* record, long n, int count, bool add) {
  if (!s.index_open || count == 0) return;
  bool ok = true;
  {
    Undoing quiet;
    for (int i = 0; i < count; ++i) {
      KEYTEXT key = BuildKey(s, i, record);
      if ((add ? AddKey(s.index.get(), i, key.c_str(), n)
               : RemoveKey(s.index.get(), i, key.c_str(), n)) != 0)
        ok = false;
    }
  }
  // The cursors stand wherever the undoing left them: the next walk places them again.
  for (int i = 0; i < s.def->index_count; ++i) s.index->index[i].page = kNoPage;
  if (!ok && !s.index->damaged) {
    s.index->damaged = true;
    ReportDbEvent(kDbEvBadIndex, s.def->index_file, -1);
  }
}

// Writes a stored record at record number n.
int WriteRecord(TABLESLOT& s, long n, const std::vector<char>& raw) {
  return s.data.WriteAt(RecordOffset(s, n), raw.data(), raw.size()) == static_cast<long>(raw.size())
             ? 0
             : -1;
}

// A new last record and the end mark after it, in one write.
int WriteLastRecord(TABLESLOT& s, long n, std::vector<char> raw) {
  raw.push_back(static_cast<char>(kDbfEndMark));
  return WriteRecord(s, n, raw);
}

// Puts the cursor of the active index on record n (whose stored form is raw).
int PlaceCursor(TABLESLOT& s, long n, const std::vector<char>& raw) {
  if (s.current_index < 0 || !s.index_open || n < 0) return 0;
  Unpack(s, raw.data(), s.spare.data());
  KEYTEXT key = BuildKey(s, s.current_index, s.spare.data());
  return LocateKey(s.index.get(), s.current_index, key.c_str(), n);
}

// Moves from the cursor (or from an end) over deleted records to a live one and makes it
// current. On failure nothing changes but the index cursor.
int Scan(TABLESLOT& s, int dir, bool from_end) {
  std::vector<char> raw;
  bool indexed = s.current_index >= 0 && s.index_open;
  long n;
  int rc;
  if (!from_end && s.current < 0) return SlotEvent(s, kDbEvNotFound);
  if (indexed) {
    INDEXFILE* ix = s.index.get();
    int i = s.current_index;
    // A cursor lost to an earlier failure is put back on the current record first: a walk from
    // nowhere would read as the end.
    if (!from_end && ix->index[i].page == kNoPage) {
      if ((rc = ReadRaw(s, s.current, &raw)) != 0) return rc;
      if ((rc = PlaceCursor(s, s.current, raw)) != 0) return rc;
    }
    if (from_end) rc = dir > 0 ? FirstKey(ix, i, &n) : LastKey(ix, i, &n);
    else rc = dir > 0 ? NextKey(ix, i, &n) : PrevKey(ix, i, &n);
    while (rc == 0) {
      if ((rc = ReadRaw(s, n, &raw)) != 0) return rc;
      if (!RawDeleted(raw)) break;
      rc = dir > 0 ? NextKey(ix, i, &n) : PrevKey(ix, i, &n);
    }
    if (rc != 0) return rc;
  } else {
    n = from_end ? (dir > 0 ? 0 : s.count - 1) : s.current + dir;
    for (;; n += dir) {
      if (n < 0 || n >= s.count) return SlotEvent(s, kDbEvNotFound);
      if ((rc = ReadRaw(s, n, &raw)) != 0) return rc;
      if (!RawDeleted(raw)) break;
    }
  }
  s.raw = raw;
  Unpack(s, s.raw.data(), s.record);
  s.current = n;
  return 0;
}

}  // namespace

int SlotAppend(TABLESLOT& s) {
  std::vector<char> raw(s.record_length);
  if (!Pack(s, s.record, raw.data())) return SlotEvent(s, kDbEvNumberTooWide);
  // The structure takes exactly what is stored: texts cut, numbers rounded to their decimals.
  Unpack(s, raw.data(), s.record);
  const long n = s.count;
  const int64_t at = RecordOffset(s, n);
  // Back to the file as it was: count, length, end mark, header.
  auto undo_data = [&] {
    Undoing quiet;
    s.count = n;
    s.data.SetSize(at);
    WriteEndMark(s);
    WriteHeader(s);
  };
  ++s.count;
  if (WriteLastRecord(s, n, raw) != 0 || WriteHeader(s) != 0) {
    undo_data();
    return -1;
  }
  // A record whose keys cannot all be stored is taken out again: the table stays as it was.
  int added = 0;
  int rc = AddKeys(s, s.record, n, &added);
  if (rc != 0) {
    UndoKeys(s, s.record, n, added, false);
    undo_data();
    return rc;
  }
  s.raw = raw;
  s.current = n;
  // Adding the keys left each index's cursor on the new entry.
  return 0;
}

int SlotUpdate(TABLESLOT& s) {
  if (s.current < 0) return SlotEvent(s, kDbEvNoCurrentRecord);
  std::vector<char> old;
  int rc = ReadRaw(s, s.current, &old);
  if (rc != 0) return rc;
  if (RawDeleted(old)) return SlotEvent(s, kDbEvRecordDeleted);
  std::vector<char> raw(s.record_length);
  if (!Pack(s, s.record, raw.data())) return SlotEvent(s, kDbEvNumberTooWide);
  std::vector<char> old_struct(s.record_size);
  Unpack(s, old.data(), old_struct.data());
  const long n = s.current;
  // A failure at any step puts back what the steps before it changed: the old record with its
  // old keys.
  int removed = 0;
  if ((rc = RemoveKeys(s, old_struct.data(), n, &removed)) != 0) {
    UndoKeys(s, old_struct.data(), n, removed, true);
    return rc;
  }
  if (WriteRecord(s, n, raw) != 0 || WriteHeader(s) != 0) {
    {
      Undoing quiet;
      WriteRecord(s, n, old);
    }
    UndoKeys(s, old_struct.data(), n, s.index_open ? s.def->index_count : 0, true);
    return -1;
  }
  std::vector<char> new_struct(s.record_size);
  Unpack(s, raw.data(), new_struct.data());
  int added = 0;
  if ((rc = AddKeys(s, new_struct.data(), n, &added)) != 0) {
    UndoKeys(s, new_struct.data(), n, added, false);
    {
      Undoing quiet;
      WriteRecord(s, n, old);
    }
    UndoKeys(s, old_struct.data(), n, s.def->index_count, true);
    return rc;
  }
  std::memcpy(s.record, new_struct.data(), s.record_size);
  s.raw = raw;
  // Adding the keys left each index's cursor on the record's entry.
  return 0;
}

int SlotDelete(TABLESLOT& s) {
  if (s.current < 0) return SlotEvent(s, kDbEvNoCurrentRecord);
  int rc = ReadRaw(s, s.current, &s.raw);
  if (rc != 0) return rc;
  if (RawDeleted(s.raw)) return SlotEvent(s, kDbEvRecordDeleted);
  char star = '*';
  if (s.data.WriteAt(RecordOffset(s, s.current), &star, 1) != 1 || WriteHeader(s) != 0) {
    // A delete that reports failure must not have deleted.
    Undoing quiet;
    WriteRecord(s, s.current, s.raw);
    return -1;
  }
  s.raw[0] = '*';
  // To the next live record, else the previous one, else to none.
  long gone = s.current;
  if (Scan(s, +1, false) == 0) return 0;
  if (s.current_index >= 0 && s.index_open) {
    std::vector<char> raw = s.raw;
    PlaceCursor(s, gone, raw);
  }
  if (Scan(s, -1, false) == 0) return 0;
  s.current = -1;
  ClearStruct(s, s.record);
  return 0;
}

int SlotZap(TABLESLOT& s) {
  if (s.index_open) {
    int rc = EmptyIndexFile(s.index.get());
    if (rc != 0) return rc;
  }
  // The header goes first: a file cut shorter than its count would no longer open, while a
  // header of no records in front of old bytes is a sound empty table.
  long old_count = s.count;
  s.count = 0;
  s.current = -1;
  if (WriteHeader(s) != 0) {
    s.count = old_count;
    return -1;
  }
  if (s.data.SetSize(s.header_length) != 0 || WriteEndMark(s) != 0) return -1;
  ClearStruct(s, s.record);
  return 0;
}

int SlotWalk(TABLESLOT& s, int dir, bool from_end) {
  long saved = s.current;
  int rc = Scan(s, dir, from_end);
  if (rc == 0) return 0;
  // The walk ran out: the previous record comes back, unless another workstation deleted it
  // meanwhile; then the walk turns round, and failing that no record is current.
  // A failure to put the previous record back is a failure of the walk, not its end.
  if (saved < 0) return rc;
  std::vector<char> raw;
  if (ReadRaw(s, saved, &raw) != 0) {
    s.current = -1;
    return -1;
  }
  if (!RawDeleted(raw)) return SlotGo(s, saved) == 0 ? rc : -1;
  if (PlaceCursor(s, saved, raw) != 0) {
    s.current = -1;
    return -1;
  }
  s.current = saved;
  if (!from_end) {
    int back = Scan(s, -dir, false);
    if (back == 0) return rc;
    if (back != kDbEvNotFound) {
      s.current = -1;
      return back;
    }
  }
  s.current = -1;
  ClearStruct(s, s.record);
  return rc;
}

int SlotSeek(TABLESLOT& s, const char* text, bool last) {
  if (s.current_index < 0 || !s.index_open) return SlotEvent(s, kDbEvNoActiveIndex);
  long saved = s.current;
  INDEXFILE* ix = s.index.get();
  int i = s.current_index;
  long n;
  int rc = last ? SeekLastKey(ix, i, text, &n) : SeekKey(ix, i, text, &n);
  std::vector<char> raw;
  while (rc == 0) {
    if ((rc = ReadRaw(s, n, &raw)) != 0) break;
    if (!RawDeleted(raw)) break;
    rc = last ? PrevKey(ix, i, &n) : NextKey(ix, i, &n);
  }
  if (rc != 0) {
    // Not found (or failed): the position stays where it was.
    if (saved >= 0) {
      int back = ReadRaw(s, saved, &raw);
      if (back == 0) back = PlaceCursor(s, saved, raw);
      if (back != 0) return back;
    }
    return rc;
  }
  s.raw = raw;
  Unpack(s, s.raw.data(), s.record);
  s.current = n;
  return 0;
}

int SlotCount(TABLESLOT& s, long* count) {
  long live = 0;
  std::vector<char> raw;
  int rc = 0;
  if (s.current_index >= 0 && s.index_open) {
    INDEXFILE* ix = s.index.get();
    long n;
    for (rc = FirstKey(ix, s.current_index, &n); rc == 0; rc = NextKey(ix, s.current_index, &n)) {
      if ((rc = ReadRaw(s, n, &raw)) != 0) break;
      if (!RawDeleted(raw)) ++live;
    }
    if (rc == kDbEvNotFound) rc = 0;
    if (s.current >= 0) {
      int back = ReadRaw(s, s.current, &raw);
      if (back == 0) back = PlaceCursor(s, s.current, raw);
      if (rc == 0) rc = back;
    }
  } else {
    for (long n = 0; rc == 0 && n < s.count; ++n) {
      if ((rc = ReadRaw(s, n, &raw)) != 0) break;
      if (!RawDeleted(raw)) ++live;
    }
  }
  if (rc == 0) *count = live;
  return rc;
}

int SlotSetIndex(TABLESLOT& s, int index) {
  int count = s.def->index_count;
  if (index < -1 || index >= count || (index >= 0 && !s.index_open))
    return SlotEvent(s, kDbEvBadIndexNumber, index);
  s.current_index = index;
  if (s.current < 0 || index < 0) return 0;
  std::vector<char> raw;
  int rc = ReadRaw(s, s.current, &raw);
  if (rc != 0) return rc;
  return PlaceCursor(s, s.current, raw);
}
