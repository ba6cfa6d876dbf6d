// Index rebuilding and packing (removal of deleted records) of one table.

#include "db/db_events.h"
#include "db/table_lock.h"
#include "db/table_slot.h"

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

int BuildIndexFile(TABLESLOT& s) {
  // The index of an empty table is written without a progress window.
  const bool shown = s.count > 0;
  if (shown) ReportDbEvent(kDbEvIndexBuildStart, s.def->index_file, 0);
  std::string tmp = TakeTemporaryName(s.def->data_file);
  int rc = tmp.empty() ? -1 : 0;
  auto fresh = std::make_unique<INDEXFILE>();
  if (rc == 0) rc = CreateIndexFile(fresh.get(), tmp.c_str(), s.def->index_count, s.def->key_lengths, kShareNone);
  if (rc == 0) BeginIndexBatch(fresh.get());
  std::vector<char> raw;
  for (long n = 0; rc == 0 && n < s.count; ++n) {
    if ((rc = ReadRaw(s, n, &raw)) != 0) break;
    // Deleted records keep their keys, as they do between rebuilds.
    Unpack(s, raw.data(), s.spare.data());
    for (int i = 0; rc == 0 && i < s.def->index_count; ++i) {
      std::string key = BuildKey(s, i, s.spare.data());
      rc = AddKey(fresh.get(), i, key.c_str(), n);
    }
    if (rc == 0 && Cancelled(s, kDbEvIndexBuildProgress, n, s.count)) rc = -1;
  }
  if (fresh->batching) {
    int written = EndIndexBatch(fresh.get(), rc == 0);
    if (rc == 0) rc = written;
  }
  if (rc == 0 && fresh->file.Flush() != 0) rc = -1;
  if (CloseIndexFile(fresh.get()) != 0 && rc == 0) rc = -1;
  // Only a whole index takes the old one's place.
  if (rc == 0) rc = CFILE::Replace(tmp.c_str(), s.def->index_file);
  if (shown) ReportDbEvent(kDbEvIndexBuildEnd, s.def->index_file, 100);
  if (rc != 0) DropQuietly(tmp);
  return rc;
}

int SlotRebuild(TABLESLOT& s) {
  if (!s.index_open) return 0;
  // The old index stays whole and in use until the new one has replaced it.
  int rc = BuildIndexFile(s);
  s.current = -1;
  if (rc != 0) return rc;
  CloseIndexFile(s.index.get());
  rc = OpenIndexFile(s.index.get(), s.def->index_file, s.def->index_count, s.def->key_lengths, s.sharing);
  if (rc != 0) s.index_open = false;
  return rc;
}

int SlotPack(TABLESLOT& s) {
  const TABLEDEF* def = s.def;
  ReportDbEvent(kDbEvDefragStart, def->data_file, 0);
  std::string data_tmp = TakeTemporaryName(def->data_file);
  std::string index_tmp = def->index_count > 0 ? TakeTemporaryName(def->data_file) : std::string();
  auto cleanup = [&] {
    DropQuietly(data_tmp);
    DropQuietly(index_tmp);
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
    DropQuietly(index_tmp);
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
  // Both new files reach the disk before they take the old ones' places.
  if (rc == 0 && fresh.data.Flush() != 0) rc = -1;
  if (rc == 0 && fresh.index_open && fresh.index->file.Flush() != 0) rc = -1;
  ReportDbEvent(kDbEvDefragEnd, def->data_file, 100);
  SlotClose(fresh);
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
  if (shared && (old_data.Open(def->data_file, kOpenExisting, kAccessReadWrite, kShareNone) != 0 ||
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
