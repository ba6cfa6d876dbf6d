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
  if (s.data.Seek(RecordOffset(s, s.count), SEEK_SET) < 0 || s.data.Write(&mark, 1) != 1) return -1;
  return 0;
}

int AddKeys(TABLESLOT& s, const char* record, long n, const std::vector<bool>* only = nullptr) {
  if (!s.index_open) return 0;
  for (int i = 0; i < s.def->index_count; ++i) {
    if (only && !(*only)[i]) continue;
    std::string key = BuildKey(s, i, record);
    int rc = AddKey(s.index.get(), i, key.c_str(), n);
    if (rc != 0) return rc;
  }
  return 0;
}

int RemoveKeys(TABLESLOT& s, const char* record, long n, const std::vector<bool>* only = nullptr) {
  if (!s.index_open) return 0;
  for (int i = 0; i < s.def->index_count; ++i) {
    if (only && !(*only)[i]) continue;
    std::string key = BuildKey(s, i, record);
    int rc = RemoveKey(s.index.get(), i, key.c_str(), n);
    if (rc != 0) return rc;
  }
  return 0;
}

// Puts the cursor of the active index on record n (whose stored form is raw).
int PlaceCursor(TABLESLOT& s, long n, const std::vector<char>& raw) {
  if (s.current_index < 0 || !s.index_open || n < 0) return 0;
  Unpack(s, raw.data(), s.spare.data());
  std::string key = BuildKey(s, s.current_index, s.spare.data());
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
  if (!Pack(s, s.record, raw.data())) return SlotEvent(s, kDbEvBadDefinition);
  // The structure takes exactly what is stored: texts cut, numbers rounded to their decimals.
  Unpack(s, raw.data(), s.record);
  long n = s.count;
  ++s.count;
  int64_t at = RecordOffset(s, n);
  bool ok = s.data.Seek(at, SEEK_SET) >= 0 && s.data.Write(raw.data(), raw.size()) == static_cast<long>(raw.size()) &&
            WriteEndMark(s) == 0 && WriteHeader(s) == 0;
  if (!ok) {
    // Back to the file as it was: count, length, end mark, header.
    --s.count;
    CFILE::HANDLER* saved = CFILE::Handler();
    CFILE::SetHandler(nullptr);
    s.data.SetSize(at);
    WriteEndMark(s);
    WriteHeader(s);
    CFILE::SetHandler(saved);
    return -1;
  }
  s.raw = raw;
  s.current = n;
  int rc = AddKeys(s, s.record, n);
  if (rc != 0) return rc;
  if (s.current_index >= 0 && s.index_open) return PlaceCursor(s, n, s.raw);
  return 0;
}

int SlotUpdate(TABLESLOT& s) {
  if (s.current < 0) return SlotEvent(s, kDbEvNoCurrentRecord);
  std::vector<char> old;
  int rc = ReadRaw(s, s.current, &old);
  if (rc != 0) return rc;
  if (RawDeleted(old)) return SlotEvent(s, kDbEvRecordDeleted);
  std::vector<char> raw(s.record_length);
  if (!Pack(s, s.record, raw.data())) return SlotEvent(s, kDbEvBadDefinition);
  std::vector<char> old_struct(s.record_size), new_struct(s.record_size);
  Unpack(s, old.data(), old_struct.data());
  Unpack(s, raw.data(), new_struct.data());
  // Only the keys that change are moved: an update of fields no index holds (prices, stock)
  // writes no index page, so nothing it does can leave an index behind its records, and an
  // entry keeps its place among equal keys.
  std::vector<bool> moved(s.index_open ? s.def->index_count : 0);
  for (size_t i = 0; i < moved.size(); ++i)
    moved[i] = BuildKey(s, static_cast<int>(i), old_struct.data()) != BuildKey(s, static_cast<int>(i), new_struct.data());
  if ((rc = RemoveKeys(s, old_struct.data(), s.current, &moved)) != 0) return rc;
  if (s.data.Seek(RecordOffset(s, s.current), SEEK_SET) < 0 ||
      s.data.Write(raw.data(), raw.size()) != static_cast<long>(raw.size())) {
    // The record is as it was: its keys go back in.
    AddKeys(s, old_struct.data(), s.current, &moved);
    return -1;
  }
  std::memcpy(s.record, new_struct.data(), s.record_size);
  s.raw = raw;
  if ((rc = AddKeys(s, s.record, s.current, &moved)) != 0) return rc;
  // The header only dates the change: the record and its keys already agree when it fails.
  if (WriteHeader(s) != 0) return -1;
  return PlaceCursor(s, s.current, s.raw);
}

int SlotDelete(TABLESLOT& s) {
  if (s.current < 0) return SlotEvent(s, kDbEvNoCurrentRecord);
  int rc = ReadRaw(s, s.current, &s.raw);
  if (rc != 0) return rc;
  if (RawDeleted(s.raw)) return SlotEvent(s, kDbEvRecordDeleted);
  char star = '*';
  if (s.data.Seek(RecordOffset(s, s.current), SEEK_SET) < 0 || s.data.Write(&star, 1) != 1 ||
      WriteHeader(s) != 0)
    return -1;
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
  if (index < -1 || index >= count || (index >= 0 && !s.index_open)) return SlotEvent(s, kDbEvBadIndexNumber, index);
  s.current_index = index;
  if (s.current < 0 || index < 0) return 0;
  std::vector<char> raw;
  int rc = ReadRaw(s, s.current, &raw);
  if (rc != 0) return rc;
  return PlaceCursor(s, s.current, raw);
}
