// Format: docs/formats/open-marker.md
#include "db/table_mark.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "db/db_events.h"
#include "db/table.h"
#include "db/table_check.h"
#include "db/table_lock.h"
#include "db/table_slot.h"
#include "platform/cfile.h"

namespace {

constexpr char kMarkerMagic[16] = "Tamsu open 1.0";
constexpr int kPlaces = 64;
constexpr int64_t kPlaceAt = 16;
// The lock of place k lies beyond the content, so that no lock ever stands in the way of reading
// the places (byte-range locks are binding for reads on some file servers).
constexpr int64_t kPlaceLockAt = 256;
constexpr size_t kMarkerSize = kPlaceAt + kPlaces;

struct MARKER {
  bool sound = false;  // our text and every place are there
  bool places[kPlaces] = {};
};

int ReadMarker(CFILE& f, MARKER* m) {
  *m = MARKER();
  uint8_t buf[kMarkerSize];
  long n = f.ReadAt(0, buf, sizeof buf);
  if (n < 0) return -1;
  if (n != static_cast<long>(kMarkerSize) ||
      std::memcmp(buf, kMarkerMagic, sizeof kMarkerMagic) != 0)
    return 0;
  m->sound = true;
  for (int k = 0; k < kPlaces; ++k) m->places[k] = buf[kPlaceAt + k] != 0;
  return 0;
}

int WriteAt(CFILE& f, int64_t at, const void* bytes, size_t n) {
  if (f.Seek(at, SEEK_SET) < 0 || f.Write(bytes, n) != static_cast<long>(n)) return -1;
  return 0;
}

int WriteWhole(CFILE& f, const bool places[kPlaces]) {
  uint8_t buf[kMarkerSize] = {};
  std::memcpy(buf, kMarkerMagic, sizeof kMarkerMagic);
  for (int k = 0; k < kPlaces; ++k) buf[kPlaceAt + k] = places[k] ? 1 : 0;
  return WriteAt(f, 0, buf, sizeof buf);
}

// Whether a run (another handle than f) holds the lock of place k: it is still at work.
bool PlaceHeld(CFILE& f, int k) {
  // A refused lock is the answer, not a fault to show.
  CFILE::QUIET quiet;
  if (f.Lock(kPlaceLockAt + k, 1, true) != 0) return true;
  f.Unlock(kPlaceLockAt + k, 1);
  return false;
}

int OpenMarker(CFILE& f, const std::string& name, int disposition) {
  // Every run may hold the marker open at once: the places' locks say who is at work.
  return f.Open(name.c_str(), disposition, kAccessReadWrite, kShareReadWrite);
}

// After a repair: the places of runs that have gone are given back; those of runs at work stay
// (this run's own included). No place left: the marker goes.
int ReleaseDeadPlaces(const std::string& name) {
  CFILE f;
  if (OpenMarker(f, name, kOpenExisting) != 0) return -1;
  MARKER m;
  if (ReadMarker(f, &m) != 0) return -1;
  bool places[kPlaces] = {};
  bool any = false;
  for (int k = 0; k < kPlaces; ++k) {
    places[k] = (!m.sound || m.places[k]) && PlaceHeld(f, k);
    any = any || places[k];
  }
  if (!any) {
    f.Close();
    if (CFILE::DeleteFile(name.c_str()) != 0 || CFILE::FlushDirectory(name.c_str()) != 0) return -1;
    return 0;
  }
  if (WriteWhole(f, places) != 0 || f.Flush() != 0) return -1;
  return 0;
}

}  // namespace

std::string MarkerName(const char* data_file) {
  std::string n = data_file ? data_file : "";
  const size_t slash = n.find_last_of("/\\");
  const size_t dot = n.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) n.erase(dot);
  return n + ".opn";
}

int MarkChanging(TABLESLOT& s) {
  if (!s.markable || s.mark_place >= 0) return 0;
  const std::string name = MarkerName(s.def->data_file);
  const bool created = !CFILE::Exists(name.c_str());
  CFILE& f = s.mark;
  if (OpenMarker(f, name, kOpenAlways) != 0) return -1;
  MARKER m;
  int rc = ReadMarker(f, &m);
  int place = -1;
  if (rc == 0) {
    CFILE::QUIET quiet;
    for (int k = 0; k < kPlaces && place < 0; ++k)
      if (!m.places[k] && f.Lock(kPlaceLockAt + k, 1, true) == 0) place = k;
  }
  if (rc == 0 && place < 0) {
    // Every place is taken by a run at work (or by one that has gone, until the next opening
    // checks the table): no change can be noticed after a crash, so none is made.
    if (CFILE::Handler())
      CFILE::Handler()->Report(name.c_str(), kFileOpWrite, kFileErrSystem, EBUSY);
    rc = -1;
  }
  if (rc == 0) {
    // Runs at work keep their places in a marker written afresh.
    if (!m.sound)
      for (int k = 0; k < kPlaces; ++k) m.places[k] = k != place && PlaceHeld(f, k);
    m.places[place] = true;
    // A new marker, or one cut short while it was being made (its run had changed nothing yet),
    // is written whole; otherwise only the place's byte.
    const uint8_t one = 1;
    rc = m.sound ? WriteAt(f, kPlaceAt + place, &one, 1) : WriteWhole(f, m.places);
  }
  // The place is on the disk before the change is: a crash from here on is noticed.
  if (rc == 0) rc = f.Flush();
  if (rc == 0 && (created || !m.sound)) rc = CFILE::FlushDirectory(name.c_str());
  if (rc != 0) {
    f.Close();
    return -1;
  }
  s.mark_place = place;
  return 0;
}

void UnmarkOnClose(TABLESLOT& s) {
  if (s.mark_place < 0) {
    s.mark.Close();
    return;
  }
  const int place = s.mark_place;
  // Under shared access the marker is only changed under the table's write lock; when it cannot
  // be had the place stays taken and the next opening checks the table.
  const bool locked = s.table >= 0 && LockTableWaiting(s.table, true) == 0;
  int rc = locked ? 0 : -1;
  // What this run wrote reaches the disk before its place is given back.
  // A file closed on the way (a failed pack or refresh) may have lost what was not flushed.
  if (rc == 0 && (!s.data.IsOpen() || s.data.Flush() != 0)) rc = -1;
  if (rc == 0 && s.def->index_count > 0 && (!s.index_open || SyncIndexFile(s.index.get()) != 0))
    rc = -1;
  // An index this run knows to disagree with the records, or a change that failed and may not have
  // been taken back whole, is left to the next opening's check.
  if (rc == 0 && ((s.index_open && s.index->damaged) || s.change_failed)) rc = -1;
  MARKER m;
  if (rc == 0) rc = ReadMarker(s.mark, &m);
  if (rc == 0) {
    bool others = !m.sound;
    for (int k = 0; k < kPlaces; ++k) others = others || (k != place && m.places[k]);
    // The name is removed only while it still stands for this marker.
    if (!others && s.mark.Replaced() == 0) {
      const std::string name = s.mark.Name();
      s.mark.Close();
      if (CFILE::DeleteFile(name.c_str()) == 0) CFILE::FlushDirectory(name.c_str());
    } else {
      const uint8_t zero = 0;
      if (WriteAt(s.mark, kPlaceAt + place, &zero, 1) == 0) s.mark.Flush();
    }
  }
  s.mark.Close();
  s.mark_place = -1;
  if (locked) UnlockTable(s.table);
}

int UncleanEnd(const char* data_file) {
  const std::string name = MarkerName(data_file);
  if (!CFILE::Exists(name.c_str())) return 0;
  CFILE f;
  MARKER m;
  if (OpenMarker(f, name, kOpenExisting) != 0 || ReadMarker(f, &m) != 0) return -1;
  // A marker that is not ours to read may hide a run that has gone.
  if (!m.sound) return 1;
  for (int k = 0; k < kPlaces; ++k)
    if (m.places[k] && !PlaceHeld(f, k)) return 1;
  return 0;
}

int MendUncleanEnd(int table) {
  TABLESLOT* s = OpenSlot(table);
  if (!s) return -1;
  const char* data_file = s->def->data_file;
  const std::string name = MarkerName(data_file);
  // After a clean close there is no marker: nothing more is done.
  if (!CFILE::Exists(name.c_str())) return 0;
  if (LockTableWaiting(table, true) != 0) return -1;
  // Another workstation may have mended the table while this one waited for the lock.
  const int unclean = UncleanEnd(data_file);
  if (unclean <= 0) {
    UnlockTable(table);
    return unclean;
  }
  int rc = 0;
  bool rebuilt = false;
  std::string problem;
  if (CheckTable(table, &problem) != 0) {
    rc = TableRebuildIndexes(table) == 0 ? 0 : 1;
    rebuilt = rc == 0;
  }
  // The mended table is on the disk before the places of the runs that have gone are given back.
  s = OpenSlot(table);
  if (rc == 0 &&
      (!s || s->data.Flush() != 0 || (s->index_open && SyncIndexFile(s->index.get()) != 0)))
    rc = 1;
  if (rc == 0 && ReleaseDeadPlaces(name) != 0) rc = 1;
  UnlockTable(table);
  // Said once: when the places cannot be given back the next opening checks again, finds the
  // indexes whole and says nothing.
  if (rebuilt) ReportDbEvent(kDbEvUncleanEnd, data_file, 0);
  return rc;
}
