// Backup and restore of the database files: which files, the archive's name, packing them with
// the tables closed, and unpacking them again. Format: docs/formats/backup-archive.md.
//
//   CloseDatabase();
//   ARCHIVE z;
//   BackupFiles(z, BackupArchivePath(DateToday()));     // "Tamsu.zip" or "20261205.zip"
//   OpenDatabase();
//
// While files are packed the data files are held for reading (another workstation waits before
// it writes), so that the archive is one moment of the database; while they are replaced no other
// program may have them open at all.
#pragma once

#include <string>

#include "common/date.h"
#include "platform/cfile.h"

class ARCHZIP;

// The files of a backup, in archive order.
inline constexpr int kBackupFileCount = 11;
extern const char* const BACKUP_FILES[kBackupFileCount];

// "ArchiveDir" (at most 79 characters) with a final separator, empty for the data directory.
std::string ArchiveDirectory();
// The archive of a backup made today: the directory, then "Tamsu.zip", or "%04d%02d%02d.zip"
// when "ArchiveNameType" is 1.
std::string BackupArchivePath(DATE today);
std::string BackupArchivePathFor(const std::string& archive_dir, int name_type, DATE today);
// Whether archives are written with standard raw deflate members ("ArchiveStandardZip" = 1) or
// as every installation of the program reads them (0, the default).
bool StandardArchiveMembers();

// Holds the five data files against other programs: shared, they may read but not write (each
// file's header region locked for reading, as a reader of the table layer does); exclusive, none
// may have them open. A file that another program holds refuses at once, after a few short
// retries for a writer that is finishing.
class DATABASE_GUARD {
 public:
  DATABASE_GUARD() = default;
  DATABASE_GUARD(const DATABASE_GUARD&) = delete;
  DATABASE_GUARD& operator=(const DATABASE_GUARD&) = delete;
  ~DATABASE_GUARD() { Release(); }
  // 0, or -1 with Refused() naming the file held by another program.
  int Take(bool exclusive);
  void Release();
  const std::string& Refused() const { return refused_; }

 private:
  CFILE files_[5];
  std::string refused_;
};

// Packs the backup files of the current directory into path; a path on drive "A:" or "B:" is
// first made under its own name in the data directory, where it stays, then spread over disks.
// The tables must be closed. 0 or -1 (told through the engine).
int BackupFiles(ARCHZIP& z, const std::string& path);
// Unpacks the backup files from path (a disk path is first joined into a temporary file) into
// the current directory. A data file restored without its index file loses the old index, which
// the next open builds again. The tables must be closed. 0 or -1.
int RestoreFiles(ARCHZIP& z, const std::string& path);
