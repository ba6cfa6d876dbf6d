// Index rebuilding and packing (removal of deleted records) of one table.

#include "db/db_events.h"
#include "db/dbf_format.h"
#include "db/index_build.h"
#include "db/table_keys.h"
#include "db/table_lock.h"
#include "db/table_slot.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// Progress of record i of count as a percentage; the handler's answer cancels when non-zero.
bool Cancelled(const TABLESLOT& s, int code, long i, long count) {
  long percent = count > 0 ? (i + 1) * 100 / count : 100;
  const char* name = code == kDbEvIndexBuildProgress ? s.def->index_file : s.def->data_file;
  return ReportDbEvent(code, name, percent) != 0;
}

// Deletes a file quietly: it is a leftover of work that failed and was reported already.
void DropQuietly(const std::string& name) {
  if (name.empty()) return;
  CFILE::HANDLER* saved = CFILE::Handler();
  CFILE::SetHandler(nullptr);
  if (CFILE::Exists(name.c_str())) CFILE::DeleteFile(name.c_str());
  CFILE::SetHandler(saved);
}

}  // namespace

int AddRecordKeys(TABLESLOT& s, const char* raw, long number, KEYSORTER& keys) {
  Unpack(s, raw, s.spare.data());
  for (int i = 0; i < s.def->index_count; ++i) {
    KEYTEXT key = BuildKey(s, i, s.spare.data());
    if (keys.Add(i, key.c_str(), static_cast<uint32_t>(number)) != 0) return -1;
  }
  return 0;
}

int BuildIndexFile(TABLESLOT& s) {
  // The index of an empty table is written without a progress window.
  const bool shown = s.count > 0;
  if (shown) ReportDbEvent(kDbEvIndexBuildStart, s.def->index_file, 0);
  // Taken (created empty) before the scratch file of the sort takes a name of its own.
  std::string tmp = TakeTemporaryName(s.def->data_file, true);
  int rc = tmp.empty() ? -1 : 0;
  if (rc == 0) {
    // The keys of all records, deleted ones included (they keep their keys, as they do between
    // rebuilds), sorted, and the trees written bottom up.
    KEYSORTER keys(s.def->index_count, s.def->key_lengths, s.def->data_file);
    rc = ForEachRecord(s, [&](long n, const char* raw) {
      if (AddRecordKeys(s, raw, n, keys) != 0) return -1;
      return Cancelled(s, kDbEvIndexBuildProgress, n, s.count) ? -1 : 0;
    });
    if (rc == 0) rc = keys.Finish();
    if (rc == 0)
      rc = WriteSortedIndexFile(tmp.c_str(), keys, s.def->index_count, s.def->key_lengths);
  }
  // Only a whole index takes the old one's place.
  if (rc == 0) rc = CFILE::Replace(tmp.c_str(), s.def->index_file);
  if (shown) ReportDbEvent(kDbEvIndexBuildEnd, s.def->index_file, 100);
  if (rc != 0) DropQuietly(tmp);
  return rc;
}

int SlotRebuild(TABLESLOT& s) {
  if (!s.index_open) return 0;
  // The old index stays whole and in use until the new one has replaced it.
  // A failed flush leaves the old index marked damaged: the new one replaces it all the same.
  ReleaseIndexMemory(s.index.get());
  int rc = BuildIndexFile(s);
  s.current = -1;
  if (rc != 0) return rc;
  // What waited to be written belonged to the file the new one replaced.
  DiscardIndexChanges(s.index.get());
  CloseIndexFile(s.index.get());
  rc = OpenIndexFile(s.index.get(), s.def->index_file, s.def->index_count, s.def->key_lengths,
                     s.sharing);
  if (rc != 0) s.index_open = false;
  return rc;
}

int SlotPack(TABLESLOT& s) {
  const TABLEDEF* def = s.def;
  // The old index stays in use if the pack fails: it is written whole before the sort takes
  // the memory its kept pages held (when that write fails it is marked damaged, and the pack
  // that replaces it goes on).
  if (s.index_open) ReleaseIndexMemory(s.index.get());
  ReportDbEvent(kDbEvDefragStart, def->data_file, 0);
  std::string data_tmp = TakeTemporaryName(def->data_file, true);
  std::string index_tmp = !data_tmp.empty() && def->index_count > 0
                              ? TakeTemporaryName(def->data_file, true)
                              : std::string();
  auto cleanup = [&] {
    DropQuietly(data_tmp);
    DropQuietly(index_tmp);
  };
  if (data_tmp.empty() || (def->index_count > 0 && index_tmp.empty())) {
    cleanup();
    ReportDbEvent(kDbEvDefragEnd, def->data_file, 100);
    return -1;
  }
  // The new table: the live records copied as they are stored into a new data file, their keys
  // collected on the way under their new numbers, then the index written from them in one build.
  TABLEDEF tmp_def = *def;
  tmp_def.data_file = data_tmp.c_str();
  tmp_def.index_file = nullptr;
  tmp_def.index_count = 0;
  tmp_def.record = nullptr;
  tmp_def.record_size = s.record_size;
  int rc = CreateDataFile(data_tmp.c_str(), tmp_def);
  {
    CFILE out;
    KEYSORTER keys(def->index_count, def->key_lengths, def->data_file);
    if (rc == 0) rc = out.Open(data_tmp.c_str(), kOpenExisting, kAccessReadWrite, kShareNone);
    if (rc == 0 && out.Seek(s.header_length, SEEK_SET) < 0) rc = -1;
    std::vector<char> pending;
    const size_t piece = size_t{64} << 10;
    long live = 0;
    auto write_pending = [&] {
      long n = out.Write(pending.data(), pending.size());
      bool ok = n == static_cast<long>(pending.size());
      pending.clear();
      return ok ? 0 : -1;
    };
    if (rc == 0) {
      rc = ForEachRecord(s, [&](long n, const char* raw) {
        if (raw[0] != '*') {
          pending.insert(pending.end(), raw, raw + s.record_length);
          if (AddRecordKeys(s, raw, live++, keys) != 0) return -1;
          if (pending.size() >= piece && write_pending() != 0) return -1;
        }
        return Cancelled(s, kDbEvDefragProgress, n, s.count) ? -1 : 0;
      });
    }
    pending.push_back(static_cast<char>(kDbfEndMark));
    if (rc == 0) rc = write_pending();
    // The header takes the count of records copied; the rest of it is as CreateDataFile wrote it.
    uint8_t head[32];
    if (rc == 0 && (out.Seek(0, SEEK_SET) < 0 ||
                    out.Read(head, sizeof head) != static_cast<long>(sizeof head)))
      rc = -1;
    if (rc == 0) {
      DBFHEADER h = DecodeDbfHeader(head);
      h.record_count = static_cast<uint32_t>(live);
      EncodeDbfHeader(h, head);
      if (out.Seek(0, SEEK_SET) < 0 ||
          out.Write(head, sizeof head) != static_cast<long>(sizeof head))
        rc = -1;
    }
    // Both new files reach the disk before they take the old ones' places.
    if (rc == 0) rc = out.Flush();
    if (out.Close() != 0 && rc == 0) rc = -1;
    if (rc == 0 && def->index_count > 0) rc = keys.Finish();
    if (rc == 0 && def->index_count > 0)
      rc = WriteSortedIndexFile(index_tmp.c_str(), keys, def->index_count, def->key_lengths);
  }
  ReportDbEvent(kDbEvDefragEnd, def->data_file, 100);
  if (rc != 0) {
    cleanup();
    return rc;
  }
  // Replace the files so that a crash or a power loss at any point leaves a table that opens
  // whole: the old index goes first and that is made durable (a missing index is built on open,
  // an old one beside the new data would be wrong), then the data file is replaced in one rename,
  // then the new index follows. Under shared access the old files are first taken exclusively: a
  // workstation that still has them open would go on writing into files that no longer have a
  // name.
  bool shared = NetworkFlag();
  int sharing = shared ? kShareReadWrite : kShareNone;
  SlotClose(s);
  CFILE old_data, old_index;
  if (shared &&
      (old_data.Open(def->data_file, kOpenExisting, kAccessReadWrite, kShareNone) != 0 ||
       (def->index_count > 0 && CFILE::Exists(def->index_file) &&
        old_index.Open(def->index_file, kOpenExisting, kAccessReadWrite, kShareNone) != 0)))
    rc = -1;
  if (rc == 0 && def->index_count > 0 && CFILE::Exists(def->index_file)) {
    rc = CFILE::DeleteFile(def->index_file);
    if (rc == 0) rc = CFILE::FlushDirectory(def->index_file);
  }
  if (rc == 0) rc = CFILE::Replace(data_tmp.c_str(), def->data_file);
  if (rc == 0 && def->index_count > 0) rc = CFILE::Replace(index_tmp.c_str(), def->index_file);
  old_data.Close();
  old_index.Close();
  if (rc != 0) cleanup();
  int reopened = SlotOpen(s, def, sharing);
  // The caller's lock on the table went with the old handle: take it again on the new one.
  if (reopened == 0 && shared && s.table >= 0 && TableLockDepth(s.table) > 0) {
    CFILE::QUIET quiet;
    if (s.data.Lock(0, s.header_length, true) != 0) reopened = -1;
  }
  return rc != 0 ? rc : reopened;
}
