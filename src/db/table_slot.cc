// Format: docs/formats/table-file.md
#include "db/table_slot.h"

#include <time.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/date.h"
#include "db/db_events.h"
#include "db/dbf_format.h"

namespace {

DBFHEADER HeaderOf(const TABLESLOT& s) {
  DateParts today = DateToYmd(DateToday());
  DBFHEADER h;
  h.version = kDbfVersion;
  h.year = static_cast<uint8_t>(today.year % 100);
  h.month = static_cast<uint8_t>(today.month);
  h.day = static_cast<uint8_t>(today.day);
  h.record_count = static_cast<uint32_t>(s.count);
  h.header_length = static_cast<uint16_t>(s.header_length);
  h.record_length = static_cast<uint16_t>(s.record_length);
  return h;
}

// Builds the runtime fields, lengths and buffers of a definition.
void Layout(TABLESLOT& s, const TABLEDEF* def) {
  s.def = def;
  s.fields.clear();
  uint32_t stored = 1;
  size_t packed = 0;
  size_t needed = 0;
  for (int i = 0; i < def->field_count; ++i) {
    const FIELDDEF& f = def->fields[i];
    RUNFIELD r{f, stored, f.struct_offset == kPackedOffset ? packed : f.struct_offset};
    stored += static_cast<uint32_t>(f.length);
    packed = r.struct_offset + FieldStructSize(f);
    needed = std::max(needed, packed);
    s.fields.push_back(r);
  }
  s.header_length = static_cast<uint32_t>(32 * def->field_count + 33);
  s.record_length = stored;
  s.raw.assign(s.record_length, ' ');
  s.record_size = def->record && def->record_size ? def->record_size : needed;
  if (def->record) {
    s.record = static_cast<char*>(def->record);
  } else {
    s.own_record.assign(s.record_size, 0);
    s.record = s.own_record.data();
  }
  s.spare.assign(s.record_size, 0);
}

// Reads the header and checks it against the definition; the record count on success. A file
// shorter than its count claims has lost records: with `whole` it answers kShortFile and the
// number of whole records the file holds, else it is refused (event 19).
constexpr int kShortFile = -2;
int ReadHeader(TABLESLOT& s, bool check_fields, long* whole = nullptr) {
  uint8_t h[32];
  long n = s.data.ReadAt(0, h, 32);
  if (n < 0) return -1;
  DBFHEADER hd = DecodeDbfHeader(h);
  if (n != 32 || hd.version != kDbfVersion || hd.header_length != s.header_length ||
      hd.record_length != s.record_length)
    return SlotEvent(s, kDbEvBadTableFile);
  if (check_fields) {
    std::vector<uint8_t> desc(32 * s.fields.size());
    if (s.data.ReadAt(32, desc.data(), desc.size()) != static_cast<long>(desc.size()))
      return SlotEvent(s, kDbEvBadTableFile);
    for (size_t i = 0; i < s.fields.size(); ++i)
      if (!FieldDescriptorMatches(s.fields[i].def, desc.data() + 32 * i))
        return SlotEvent(s, kDbEvBadTableFile);
  }
  // The file was long enough for this count when it was last read: no need to ask again.
  if (!check_fields && !whole && static_cast<long>(hd.record_count) == s.size_checked_count) {
    s.count = s.size_checked_count;
    return 0;
  }
  int64_t size = s.data.Size();
  if (size < 0) return -1;
  if (static_cast<int64_t>(s.header_length) +
          static_cast<int64_t>(hd.record_count) * s.record_length >
      size) {
    if (!whole) return SlotEvent(s, kDbEvBadTableFile);
    s.count = static_cast<long>(hd.record_count);
    *whole =
        size > s.header_length ? static_cast<long>((size - s.header_length) / s.record_length) : 0;
    return kShortFile;
  }
  s.count = static_cast<long>(hd.record_count);
  s.size_checked_count = s.count;
  return 0;
}

}  // namespace

int SlotEvent(const TABLESLOT& s, int code, long number) {
  ReportDbEvent(code, s.def ? s.def->data_file : "", number);
  return code == kDbEvNotFound ? kDbEvNotFound : (code ? code : -1);
}

int CreateDataFile(const char* name, const TABLEDEF& def) {
  TABLESLOT s;
  Layout(s, &def);
  std::vector<uint8_t> bytes(s.header_length + 1, 0);
  DBFHEADER h = HeaderOf(s);
  EncodeDbfHeader(h, bytes.data());
  for (size_t i = 0; i < s.fields.size(); ++i)
    EncodeFieldDescriptor(s.fields[i].def, s.fields[i].stored_offset, bytes.data() + 32 + 32 * i);
  bytes[s.header_length - 1] = kDbfTerminator;
  bytes[s.header_length] = kDbfEndMark;
  // Written whole under a temporary name first: a crash never leaves a half-written header that
  // would refuse every later open.
  std::string tmp = TakeTemporaryName(name, true);
  if (tmp.empty()) return -1;
  CFILE f;
  int rc = f.Open(tmp.c_str(), kCreateAlways, kAccessReadWrite, kShareNone);
  if (rc == 0 && f.Write(bytes.data(), bytes.size()) != static_cast<long>(bytes.size())) rc = -1;
  if (f.Close() != 0) rc = -1;
  if (rc == 0) rc = CFILE::Replace(tmp.c_str(), name);
  if (rc != 0) {
    CFILE::HANDLER* saved = CFILE::Handler();
    CFILE::SetHandler(nullptr);
    CFILE::DeleteFile(tmp.c_str());
    CFILE::SetHandler(saved);
  }
  return rc;
}

namespace {

// The lock an opening takes on a shared table: exclusive when it can be had within a moment,
// else shared (then nothing is mended). While another workstation holds the table for writing
// the opening waits, behind the waiting window when one is installed (the user may give up);
// without one it gives up after about a second and says why. Quiet otherwise: a refused lock is
// expected.
class OpenLock {
 public:
  OpenLock(TABLESLOT& s, bool shared, bool inspect) : s_(s), shared_(shared) {
    if (!shared_) {
      held_ = exclusive_ = true;
      return;
    }
    CFILE::HANDLER* saved = CFILE::Handler();
    CFILE::SetHandler(nullptr);
    LOCK_WAITER* waiter = LockWaiter();
    bool waiting = false;
    for (int attempt = 0; !held_; ++attempt) {
      bool want_exclusive = !inspect && attempt < 50;
      if (s_.data.Lock(0, s_.header_length, want_exclusive) == 0) {
        held_ = true;
        exclusive_ = want_exclusive;
        break;
      }
      if (attempt >= 100) {
        if (!waiter) break;
        if (!waiting) {
          waiting = true;
          waiter->Begin();
        }
        if (waiter->WantsToStop()) break;
      }
      struct timespec pause = {0, 10 * 1000 * 1000};
      nanosleep(&pause, nullptr);
    }
    if (waiting) waiter->End();
    CFILE::SetHandler(saved);
    // Nobody could be asked: the user learns why the table did not open.
    if (!held_ && !waiting) ReportBusy();
  }
  ~OpenLock() {
    if (shared_ && held_ && s_.data.IsOpen()) {
      CFILE::QUIET quiet;
      s_.data.Unlock(0, s_.header_length);
    }
  }
  bool held() const { return held_; }
  bool exclusive() const { return exclusive_; }

 private:
  void ReportBusy() {
    if (CFILE::Handler())
      CFILE::Handler()->Report(s_.def->data_file, kFileOpOpen, kFileErrSystem, EBUSY);
  }

  TABLESLOT& s_;
  bool shared_;
  bool held_ = false;
  bool exclusive_ = false;
};

// The copy of a damaged data file kept before it is mended: "Tow.dbf.001", the first free number.
std::string FreeCopyName(const char* name) {
  char buf[32];
  for (int n = 1; n <= 999; ++n) {
    std::snprintf(buf, sizeof buf, ".%03d", n);
    std::string copy = std::string(name) + buf;
    if (!CFILE::Exists(copy.c_str())) return copy;
  }
  return std::string();
}

// Copies a file through its open handle (which holds the file's sharing lock) into a new file,
// flushed with its directory.
int CopyOpenFile(CFILE& from, const char* to) {
  CFILE out;
  if (out.Open(to, kCreateNew, kAccessWrite, kShareNone) != 0) return -1;
  std::vector<char> buf(65536);
  int rc = 0;
  for (int64_t at = 0;; at += static_cast<int64_t>(buf.size())) {
    long n = from.ReadAt(at, buf.data(), buf.size());
    if (n < 0 || (n > 0 && out.Write(buf.data(), static_cast<size_t>(n)) != n)) rc = -1;
    if (rc != 0 || n < static_cast<long>(buf.size())) break;
  }
  if (rc == 0) rc = out.Flush();
  if (out.Close() != 0) rc = -1;
  if (rc == 0) rc = CFILE::FlushDirectory(to);
  if (rc != 0) {
    CFILE::HANDLER* saved = CFILE::Handler();
    CFILE::SetHandler(nullptr);
    CFILE::DeleteFile(to);
    CFILE::SetHandler(saved);
  }
  return rc;
}

// A data file shorter than its header says: a copy of it is kept, then the header counts the
// whole records, the end mark follows them and the cut record is gone; the index (which may
// name the lost records) is built again. The user is told (event 21) what was lost and where the
// copy is.
int MendShortFile(TABLESLOT& s, long whole) {
  const long lost = s.count - whole;
  std::string copy = FreeCopyName(s.def->data_file);
  if (copy.empty() || CopyOpenFile(s.data, copy.c_str()) != 0) return -1;
  s.count = whole;
  const int64_t end =
      static_cast<int64_t>(s.header_length) + static_cast<int64_t>(whole) * s.record_length;
  uint8_t mark = kDbfEndMark;
  if (WriteHeader(s) != 0 || s.data.SetSize(end) != 0 || s.data.Seek(end, SEEK_SET) < 0 ||
      s.data.Write(&mark, 1) != 1 || s.data.Flush() != 0)
    return -1;
  if (s.def->index_count > 0 && CFILE::Exists(s.def->index_file)) {
    if (CFILE::DeleteFile(s.def->index_file) != 0 || CFILE::FlushDirectory(s.def->index_file) != 0)
      return -1;
  }
  ReportDbEvent(kDbEvFileMended, copy.c_str(), lost);
  return 0;
}

}  // namespace

int SlotOpen(TABLESLOT& s, const TABLEDEF* def, int sharing, TABLEFINDINGS* found, bool new_index) {
  SlotClose(s);
  s.def = def;
  if (!def || !CheckTableDef(*def)) {
    ReportDbEvent(kDbEvBadDefinition, def && def->data_file ? def->data_file : "", 0);
    s.def = nullptr;
    return kDbEvBadDefinition;
  }
  Layout(s, def);
  s.sharing = sharing;
  const bool inspect = found != nullptr;
  if (inspect) *found = TABLEFINDINGS();
  if (!inspect && !CFILE::Exists(def->data_file)) {
    if (CreateDataFile(def->data_file, *def) != 0) return -1;
    // A stale index cannot belong to a new data file.
    if (def->index_file && CFILE::Exists(def->index_file)) CFILE::DeleteFile(def->index_file);
  }
  if (s.data.Open(def->data_file, kOpenExisting, inspect ? kAccessRead : kAccessReadWrite,
                  sharing) != 0)
    return -1;
  // Shared: another workstation may be in the middle of a write. The header is read, the end
  // mark mended and a missing index rebuilt only under the table's lock.
  OpenLock lock(s, sharing != kShareNone, inspect);
  if (!lock.held()) {
    s.data.Close();
    return -1;
  }
  const bool may_mend = !inspect && lock.exclusive();
  long whole = 0;
  int rc = ReadHeader(s, true, inspect || may_mend ? &whole : nullptr);
  if (rc == kShortFile) {
    if (inspect) {
      found->claimed_records = s.count;
      found->whole_records = whole;
      s.count = whole;
      rc = 0;
    } else {
      rc = MendShortFile(s, whole);
    }
  }
  if (rc != 0) {
    s.data.Close();
    return rc;
  }
  int64_t end =
      static_cast<int64_t>(s.header_length) + static_cast<int64_t>(s.count) * s.record_length;
  int64_t size = s.data.Size();
  if (size < 0) {
    s.data.Close();
    return -1;
  }
  if (size != end + 1) {
    if (inspect) {
      found->end_mark_missing = found->whole_records < 0;  // a short file has lost it with its tail
    } else if (lock.exclusive()) {
      uint8_t mark = kDbfEndMark;
      if (s.data.Seek(end, SEEK_SET) < 0 || s.data.Write(&mark, 1) != 1) {
        s.data.Close();
        return -1;
      }
    }
  }
  if (def->index_count > 0) {
    s.index = std::make_unique<INDEXFILE>();
    if (new_index || !CFILE::Exists(def->index_file)) {
      if (inspect) {
        found->index_missing = true;
        rc = 0;
      } else if (!lock.exclusive()) {
        rc = -1;  // others are working on the table: no rebuild behind their backs
      } else {
        // Built whole under a temporary name, then put in place: a crash on the way leaves no
        // index, and the next opening builds it again.
        rc = BuildIndexFile(s);
        if (rc == 0)
          rc = OpenIndexFile(s.index.get(), def->index_file, def->index_count, def->key_lengths,
                             sharing);
      }
    } else if (inspect) {
      DbEventHandler saved = EventHandler();
      SetEventHandler(nullptr);
      rc = OpenIndexFile(s.index.get(), def->index_file, def->index_count, def->key_lengths,
                         sharing, true);
      SetEventHandler(saved);
      if (rc > 0) {
        found->index_refused = true;
        rc = 0;
      }
    } else {
      rc = OpenIndexFile(s.index.get(), def->index_file, def->index_count, def->key_lengths,
                         sharing);
    }
    if (rc != 0) {
      s.index.reset();
      s.data.Close();
      return rc;
    }
    s.index_open = s.index->file.IsOpen();
    if (!s.index_open) s.index.reset();
  }
  s.open = true;
  s.current = -1;
  // Inspection walks in file order: an index may be damaged, and the records are what counts.
  s.current_index = s.index_open && !inspect ? 0 : -1;
  rc = s.count == 0 ? kDbEvNotFound : SlotWalk(s, +1, true);
  if (rc != 0) {
    ClearStruct(s, s.record);
    if (rc != kDbEvNotFound) {
      SlotClose(s);
      return rc;
    }
  }
  return 0;
}

void SlotClose(TABLESLOT& s) {
  if (s.index_open) CloseIndexFile(s.index.get());
  s.index_open = false;
  s.index.reset();
  s.data.Close();
  s.open = false;
  s.count = 0;
  s.size_checked_count = -1;
  s.current = -1;
  s.current_index = -1;
  s.refreshed = false;
}

int ReadRaw(TABLESLOT& s, long record, std::vector<char>* raw) {
  if (record < 0 || record >= s.count) return SlotEvent(s, kDbEvBadRecordNumber, record);
  raw->resize(s.record_length);
  int64_t at =
      static_cast<int64_t>(s.header_length) + static_cast<int64_t>(record) * s.record_length;
  long n = s.data.ReadAt(at, raw->data(), s.record_length);
  if (n < 0) return -1;
  if (n != static_cast<long>(s.record_length)) return SlotEvent(s, kDbEvBadRecordNumber, record);
  return 0;
}

bool RawDeleted(const std::vector<char>& raw) { return !raw.empty() && raw[0] == '*'; }

void Unpack(const TABLESLOT& s, const char* raw, char* record) {
  for (const RUNFIELD& f : s.fields) {
    const char* in = raw + f.stored_offset;
    char* out = record + f.struct_offset;
    switch (f.def.type) {
      case 'C': UnpackText(in, f.def.length, out); break;
      case 'D': {
        DATE d = UnpackDate(in);
        std::memcpy(out, &d, sizeof d);
        break;
      }
      case 'L': {
        int32_t v = in[0] == 'T' ? 1 : 0;
        std::memcpy(out, &v, sizeof v);
        break;
      }
      default: {
        int64_t v = UnpackNumber(in, f.def.length).Raw();
        std::memcpy(out, &v, sizeof v);
      }
    }
  }
}

bool Pack(const TABLESLOT& s, const char* record, char* raw) {
  raw[0] = ' ';
  for (const RUNFIELD& f : s.fields) {
    const char* in = record + f.struct_offset;
    char* out = raw + f.stored_offset;
    switch (f.def.type) {
      case 'C': {
        // The structure holds length + 1 bytes; a missing NUL ends the text at the field length.
        PackText(in, f.def.length, out);
        break;
      }
      case 'D': {
        DATE d;
        std::memcpy(&d, in, sizeof d);
        PackDate(d, out);
        break;
      }
      case 'L': {
        int32_t v;
        std::memcpy(&v, in, sizeof v);
        out[0] = v ? 'T' : 'F';
        break;
      }
      default: {
        int64_t v;
        std::memcpy(&v, in, sizeof v);
        if (!PackNumber(AMOUNT::FromRaw(v), f.def.length, f.def.decimals, out)) return false;
      }
    }
  }
  return true;
}

void ClearStruct(const TABLESLOT& s, char* record) {
  for (const RUNFIELD& f : s.fields)
    std::memset(record + f.struct_offset, 0, FieldStructSize(f.def));
}

KEYTEXT BuildKey(const TABLESLOT& s, int i, const char* record) {
  KEYTEXT key;
  const int length = s.def->key_lengths[i];
  std::memset(key.text, 0, static_cast<size_t>(length) + 1);
  s.def->key_builders[i](record, key.text);
  std::memset(key.text + length - 1, 0, sizeof key.text - static_cast<size_t>(length) + 1);
  return key;
}

int WriteHeader(TABLESLOT& s) {
  uint8_t h[32];
  EncodeDbfHeader(HeaderOf(s), h);
  return s.data.WriteAt(0, h, 32) == 32 ? 0 : -1;
}

int SlotGo(TABLESLOT& s, long n) {
  if (n < 0) {
    ClearStruct(s, s.record);
    s.current = -1;
    return 0;
  }
  int rc = ReadRaw(s, n, &s.raw);
  if (rc != 0) return rc;
  Unpack(s, s.raw.data(), s.record);
  s.current = n;
  if (s.current_index >= 0 && s.index_open) {
    KEYTEXT key = BuildKey(s, s.current_index, s.record);
    rc = LocateKey(s.index.get(), s.current_index, key.c_str(), n);
    if (rc != 0) return rc;
  }
  return 0;
}

CFILE* SLOTLOCK::LockFile() { return &slot_->data; }
int64_t SLOTLOCK::LockLength() { return slot_->header_length; }

void SLOTLOCK::OnFirstLock() {
  TABLESLOT& s = *slot_;
  s.refreshed = false;
  s.index_read_for_writing = false;
  s.index_unchanged = false;
  s.header_skipped = false;
  if (!s.index_open) return;
  // Another workstation that rebuilt the index put a new file in place of the one this handle
  // still reads: the new one is opened. Otherwise what is kept of the index stays as long as the
  // file has not changed.
  bool replaced = false;
  int rc = RevalidateIndexFile(s.index.get(), &replaced);
  if (rc == 0 && replaced) {
    s.index_refresh_failed = OpenIndexFile(s.index.get(), s.def->index_file, s.def->index_count,
                                           s.def->key_lengths, s.sharing) != 0;
    if (s.index_refresh_failed) s.index_open = false;
    return;
  }
  s.index_refresh_failed = rc != 0;
  s.index_unchanged = rc == 0 && s.index->cache.unchanged;
}

namespace {

// Whether the cursor of an index still stands where it stood: its page, read again, holds what
// the copy holds. Then the entry under it is the same. 1 yes, 0 no, -1 when the read failed.
int CursorStands(INDEXFILE* ix, int index) {
  INDEXCURSOR& c = ix->index[index];
  if (c.page == kNoPage) return 0;
  if (c.copy_valid) return 1;
  INDEXPAGE now;
  int rc = ReadIndexPage(ix, index, c.page, &now);
  if (rc < 0) return -1;
  if (rc != 0 || std::memcmp(now.bytes, c.copy.bytes, sizeof now.bytes) != 0) return 0;
  c.copy_valid = true;
  return 1;
}

}  // namespace

int SLOTLOCK::Refresh(bool exclusive) {
  TABLESLOT& s = *slot_;
  // An index whose header cannot be read again must not be written through with stale roots.
  if (s.index_refresh_failed) return kDbEvBadIndex;
  // Changes are made only on pages read under this lock: a time stamp that missed another
  // workstation's change may cost a reader a stale page for a moment, never the index a write.
  if (exclusive && s.index_open && !s.index_read_for_writing) {
    ForgetKeptIndexPages(s.index.get());
    s.index_read_for_writing = true;
  }
  if (!s.open) return 0;
  int rc;
  if (s.refreshed) {
    // A read lock that turns into a write lock.
    if (exclusive && s.header_skipped) {
      if ((rc = ReadHeader(s, false)) != 0) return rc;
      s.header_skipped = false;
    }
    return 0;
  }
  // Every change but a deletion writes the index file, and a deletion leaves the count as it
  // is: a reader in index order whose index file has not changed since its last lock keeps the
  // header it has. A writer always reads it (the count decides where an append goes), and so
  // does a reader in the order of the file, which goes by the count.
  s.header_skipped = !exclusive && s.index_unchanged && s.current_index >= 0;
  if (!s.header_skipped && (rc = ReadHeader(s, false)) != 0) return rc;
  s.refreshed = true;
  if (s.count == 0 || s.current >= s.count) {
    s.current = -1;
    return 0;
  }
  if (s.current < 0) return 0;
  // Usually nothing changed, or not under the cursor: it stays on the current record.
  if (s.current_index >= 0 && s.index_open) {
    int stands = CursorStands(s.index.get(), s.current_index);
    if (stands < 0) return -1;
    if (stands == 1) return 0;
  }
  if ((rc = ReadRaw(s, s.current, &s.raw)) != 0) return rc;
  // The cursor of the active index goes back onto the current record; the structure the caller
  // has filled is left alone (the key is built from a copy).
  // A record another workstation deleted meanwhile keeps its keys until the table is packed, so
  // the cursor finds it all the same and walks on from there.
  if (s.current_index >= 0 && s.index_open) {
    Unpack(s, s.raw.data(), s.spare.data());
    KEYTEXT key = BuildKey(s, s.current_index, s.spare.data());
    if (LocateKey(s.index.get(), s.current_index, key.c_str(), s.current) != 0) s.current = -1;
  }
  return 0;
}
