// Index rebuilding and packing (removal of deleted records) of one table.

#include "db/db_events.h"
#include "db/table_lock.h"
#include "db/table_slot.h"

namespace {

// Progress of record i of count as a percentage; the handler's answer cancels when non-zero.
bool Cancelled(const TABLESLOT& s, int code, long i, long count) {
  long percent = count > 0 ? (i + 1) * 100 / count : 100;
  const char* name = code == kDbEvIndexBuildProgress ? s.def->index_file : s.def->data_file;
  return ReportDbEvent(code, name, percent) != 0;
}

}  // namespace

int SlotRebuild(TABLESLOT& s) {
  if (!s.index_open) return 0;
  ReportDbEvent(kDbEvIndexBuildStart, s.def->index_file, 0);
  int rc = EmptyIndexFile(s.index.get());
  if (rc == 0) BeginIndexBatch(s.index.get());
  std::vector<char> raw;
  for (long n = 0; rc == 0 && n < s.count; ++n) {
    if ((rc = ReadRaw(s, n, &raw)) != 0) break;
    // Deleted records keep their keys, as they do between rebuilds.
    Unpack(s, raw.data(), s.spare.data());
    for (int i = 0; rc == 0 && i < s.def->index_count; ++i) {
      std::string key = BuildKey(s, i, s.spare.data());
      rc = AddKey(s.index.get(), i, key.c_str(), n);
    }
    if (rc == 0 && Cancelled(s, kDbEvIndexBuildProgress, n, s.count)) rc = -1;
  }
  if (s.index->batching) {
    int written = EndIndexBatch(s.index.get(), rc == 0);
    if (rc == 0) rc = written;
  }
  ReportDbEvent(kDbEvIndexBuildEnd, s.def->index_file, 100);
  if (rc != 0) {
    // An incomplete index is worse than none: the next open builds it again.
    CloseIndexFile(s.index.get());
    s.index_open = false;
    CFILE::DeleteFile(s.def->index_file);
    s.current = -1;
    return rc;
  }
  s.current = -1;
  return 0;
}

int SlotPack(TABLESLOT& s) {
  const TABLEDEF* def = s.def;
  ReportDbEvent(kDbEvDefragStart, def->data_file, 0);
  std::string data_tmp = TakeTemporaryName(def->data_file);
  std::string index_tmp = def->index_count > 0 ? TakeTemporaryName(def->data_file) : std::string();
  auto cleanup = [&] {
    CFILE::QUIET quiet;
    if (!data_tmp.empty()) CFILE::DeleteFile(data_tmp.c_str());
    if (!index_tmp.empty()) CFILE::DeleteFile(index_tmp.c_str());
  };
  if (data_tmp.empty() || (def->index_count > 0 && index_tmp.empty())) {
    cleanup();
    ReportDbEvent(kDbEvDefragEnd, def->data_file, 100);
    return -1;
  }
  // The new table: the same definition under the temporary names, with buffers of its own so the
  // program's record structure is left alone.
  TABLEDEF tmp_def = *def;
  tmp_def.data_file = data_tmp.c_str();
  tmp_def.index_file = def->index_count > 0 ? index_tmp.c_str() : nullptr;
  tmp_def.record = nullptr;
  tmp_def.record_size = s.record_size;
  int rc = CreateDataFile(data_tmp.c_str(), tmp_def);
  TABLESLOT fresh;
  if (rc == 0) {
    CFILE::DeleteFile(index_tmp.c_str());
    rc = SlotOpen(fresh, &tmp_def, kShareNone);
  }
  std::vector<char> raw;
  for (long n = 0; rc == 0 && n < s.count; ++n) {
    if ((rc = ReadRaw(s, n, &raw)) != 0) break;
    if (!RawDeleted(raw)) {
      Unpack(s, raw.data(), fresh.record);
      rc = SlotAppend(fresh);
    }
    if (rc == 0 && Cancelled(s, kDbEvDefragProgress, n, s.count)) rc = -1;
  }
  ReportDbEvent(kDbEvDefragEnd, def->data_file, 100);
  SlotClose(fresh);
  if (rc != 0) {
    cleanup();
    return rc;
  }
  // Replace the files so that a crash at any point leaves a table that opens: the old index goes
  // first (a missing index is rebuilt on open), the data file is replaced in one rename, the new
  // index follows. Under shared access the old files are first taken exclusively: a workstation
  // that still has them open would go on writing into files that no longer have a name.
  bool shared = NetworkFlag();
  int sharing = shared ? kShareReadWrite : kShareNone;
  SlotClose(s);
  CFILE old_data, old_index;
  if (shared && (old_data.Open(def->data_file, kOpenExisting, kAccessReadWrite, kShareNone) != 0 ||
                 (def->index_count > 0 && CFILE::Exists(def->index_file) &&
                  old_index.Open(def->index_file, kOpenExisting, kAccessReadWrite, kShareNone) != 0)))
    rc = -1;
  CFILE index_file, data_file;
  if (rc == 0 && def->index_count > 0 && CFILE::Exists(def->index_file)) rc = CFILE::DeleteFile(def->index_file);
  if (rc == 0) {
    if (data_file.Open(data_tmp.c_str(), kOpenExisting, kAccessRead, kShareReadWrite) != 0) rc = -1;
    data_file.Close();
  }
  if (rc == 0) rc = data_file.Rename(def->data_file, true);
  if (rc == 0 && def->index_count > 0) {
    if (index_file.Open(index_tmp.c_str(), kOpenExisting, kAccessRead, kShareReadWrite) != 0) rc = -1;
    index_file.Close();
    if (rc == 0) rc = index_file.Rename(def->index_file, true);
  }
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
