#include "db/archive/backup.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "db/archive/archzip.h"
#include "db/schema.h"
#include "platform/inifile.h"
#include "platform/removable.h"

const char* const BACKUP_FILES[kBackupFileCount] = {"Tamsu.ini", "Gto.dbf", "Kon.dbf", "Poz.dbf",
                                                    "Tow.dbf",   "Tra.dbf", "Gto.inx", "Kon.inx",
                                                    "Poz.inx",   "Tow.inx", "Tra.inx"};

namespace {

std::string BaseName(const std::string& path) {
  const size_t cut = path.find_last_of("/\\:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

std::string BackupArchivePathFor(const std::string& archive_dir, int name_type, DATE today) {
  std::string dir = archive_dir.substr(0, 79);
  if (!dir.empty() && dir.back() != '/' && dir.back() != '\\')
    dir += DiskDriveOfPath(dir) >= 0 ? '\\' : '/';
  if (name_type != 1) return dir + "Tamsu.zip";
  const DateParts p = DateToYmd(today);
  char name[32];
  std::snprintf(name, sizeof name, "%04u%02u%02u.zip", p.year, p.month, p.day);
  return dir + name;
}

std::string ArchiveDirectory() {
  std::string dir;
  INIFILE(ConfigPath()).GetString("Tamsu", "ArchiveDir", &dir, 79);
  const std::string path = BackupArchivePathFor(dir, 0, 0);
  return path.substr(0, path.size() - std::strlen("Tamsu.zip"));
}

std::string BackupArchivePath(DATE today) {
  const INIFILE ini(ConfigPath());
  std::string dir;
  int32_t type = 0;
  ini.GetString("Tamsu", "ArchiveDir", &dir, 79);
  ini.GetInt("Tamsu", "ArchiveNameType", &type);
  return BackupArchivePathFor(dir, type, today);
}

bool StandardArchiveMembers() {
  int32_t on = 0;
  INIFILE(ConfigPath()).GetInt("Tamsu", "ArchiveStandardZip", &on);
  return on == 1;
}

int DATABASE_GUARD::Take(bool exclusive) {
  Release();
  CFILE::HANDLER* saved = CFILE::Handler();
  CFILE::SetHandler(nullptr);  // a refusal is the caller's to tell
  int rc = 0;
  for (int t = 0; t < kSchemaTableCount && rc == 0; ++t) {
    const char* name = TABLE_DEFS[t].data_file;
    if (!CFILE::Exists(name)) continue;
    const int64_t header = 32LL * TABLE_DEFS[t].field_count + 33;
    // A workstation in the middle of a write holds its lock for milliseconds: a few tries.
    for (int attempt = 0;; ++attempt) {
      if (exclusive) rc = files_[t].Open(name, kOpenExisting, kAccessReadWrite, kShareNone);
      else
        rc = files_[t].Open(name, kOpenExisting, kAccessRead, kShareRead) != 0
                 ? -1
                 : files_[t].Lock(0, header, false);
      if (rc == 0 || attempt == 10) break;
      files_[t].Close();
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    if (rc != 0) refused_ = name;
  }
  CFILE::SetHandler(saved);
  if (rc != 0) Release();
  return rc;
}

void DATABASE_GUARD::Release() {
  for (CFILE& f : files_) f.Close();  // closing drops the locks with the handle
}

int BackupFiles(ARCHZIP& z, const std::string& path) {
  z.SetStandardMembers(StandardArchiveMembers());
  DATABASE_GUARD guard;
  if (guard.Take(false) != 0) {
    z.Error(kArchErrOpen, guard.Refused().c_str());
    return -1;
  }
  if (DiskDriveOfPath(path) < 0)
    return z.CreateArchive(path.c_str(), BACKUP_FILES, kBackupFileCount);
  const std::string local = BaseName(path);
  if (z.CreateArchive(local.c_str(), BACKUP_FILES, kBackupFileCount) != 0) return -1;
  guard.Release();
  return z.WriteToDisks(local.c_str(), path.c_str());
}

int RestoreFiles(ARCHZIP& z, const std::string& path) {
  DATABASE_GUARD guard;
  if (guard.Take(true) != 0) {
    z.Error(kArchErrOpen, guard.Refused().c_str());
    return -1;
  }
  std::string from = path;
  std::string joined;
  if (DiskDriveOfPath(path) >= 0) {
    joined = TakeTemporaryName("");
    if (joined.empty()) {
      z.Error(kArchErrCreate, "");
      return -1;
    }
    if (z.ReadFromDisks(path.c_str(), joined.c_str()) != 0) {
      CFILE::DeleteFile(joined.c_str());
      return -1;
    }
    from = joined;
  }
  int rc = z.ExtractArchive(from.c_str(), BACKUP_FILES, kBackupFileCount);
  if (!joined.empty()) CFILE::DeleteFile(joined.c_str());
  if (rc != 0) return rc;
  // An index that belongs to the old data file would point at the wrong records.
  for (const TABLEDEF& def : TABLE_DEFS) {
    bool data = false, index = false;
    for (const std::string& name : z.Extracted()) {
      data = data || name == def.data_file;
      index = index || name == def.index_file;
    }
    if (data && !index && CFILE::Exists(def.index_file)) CFILE::DeleteFile(def.index_file);
  }
  return 0;
}
