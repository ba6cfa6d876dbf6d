// ARCHZIP: the archive engine of backups and exports. It packs a list of files into a ZIP
// archive, unpacks listed files from one, and spreads an archive over removable disks and joins
// it again. Format: docs/formats/backup-archive.md.
//
// Everything it has to say goes through virtual operations that ARCHZIP leaves empty (answering
// 0); ARCHIVE (ui/archive_ui.h) shows them, tamsu-admin prints them.
//
//   ARCHIVE z;
//   const char* files[] = {"Gto.dbf", "Gto.inx"};
//   if (z.CreateArchive("/kopie/Tamsu.zip", files, 2) != 0) ...   // reported already
//
// Members are written as zlib streams (two-byte header, deflate data, Adler-32) under method 8,
// which is what every installation of the program reads; with SetStandardMembers(true) they are
// raw deflate data as the ZIP format has it, which other ZIP programs read too. Both forms, and
// stored members, are read.
//
// Unpacking writes only the listed names, into the directory given, never a path taken from the
// archive. Every member is first unpacked into a temporary file and checked (size, CRC); only
// when all are whole do they replace the files, each flushed, renamed over the old one, and the
// directory flushed. A refused or failed unpacking leaves the old files as they were.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/archive/zip_records.h"

// Error codes of the engine (the texts are ArchiveErrorText's).
enum ArchiveError {
  kArchErrOpen = 1,
  kArchErrClose = 2,
  kArchErrCreate = 3,
  kArchErrDelete = 4,
  kArchErrRead = 5,
  kArchErrWrite = 6,
  kArchErrFormat = 7,
  kArchErrMissing = 8,  // a listed file is not there; the answer may go on without it
  kArchErrMemory = 9,
  kArchErrCrc = 10,  // the answer may go on (the member is left out)
  kArchErrCompress = 11,
  kArchErrDecompress = 12,  // the answer may go on (the member is left out)
  kArchErrNoDisk = 13,      // the answer 0 tries again
  kArchErrDiskFull = 14,    // likewise
  kArchErrProtected = 15,   // likewise
};

// The message of an error code with its buttons ("...\t &Tak \t &Nie "), in the data code page;
// "%s" stands for the file name. Empty outside 1 to 15.
const char* ArchiveErrorText(int code);
// Whether the answer to the code decides (8, 10, 12: go on; 13 to 15: try again).
bool ArchiveErrorAsks(int code);

// What the engine is doing when it reports a start, a progress or an end.
enum ArchiveStage {
  kStageCompress = 0,    // "Kompresja pliku %s"
  kStageDecompress = 1,  // "Dekompresja pliku %s"
  kStageDiskWrite = 2,   // "Zapis pliku na dyskietce %s"
  kStageDiskRead = 3,    // "Odtwarzanie pliku z dyskietki %s"
};

// The prompt kinds: 1 "Włóż dyskietkę nr %s." with the number, 2 "Włóż ostatnią dyskietkę.".
inline constexpr int kPromptDisk = 1;
inline constexpr int kPromptLastDisk = 2;

// A member inflating to more than this many times its stored size is refused beyond its
// declared size anyway; the declared size itself must fit the free space of the directory.
inline constexpr uint32_t kZipSizeLimit = 0xFFFFFFFEu;

class ARCHZIP {
 public:
  ARCHZIP() = default;
  ARCHZIP(const ARCHZIP&) = delete;
  ARCHZIP& operator=(const ARCHZIP&) = delete;
  virtual ~ARCHZIP() = default;

  // Packs the files (names relative to dir, stored without it) into the archive, written under a
  // temporary name beside it and renamed over it when whole. 0, or -1 after the error was told.
  int CreateArchive(const char* archive, const char* const* files, int count, const char* dir = "");
  // Unpacks the listed files into dir (the current directory when empty). 0 or -1.
  int ExtractArchive(const char* archive, const char* const* files, int count,
                     const char* dir = "");
  // The names ExtractArchive replaced, in list order.
  const std::vector<std::string>& Extracted() const { return extracted_; }

  // Copies the archive onto removable disks in the drive of target ("A:\Tamsu.zip"), as many as
  // it needs, and joins such a copy again into archive. 0 or -1.
  int WriteToDisks(const char* archive, const char* target);
  int ReadFromDisks(const char* source, const char* archive);

  // The form of the members written (see above); the program's own by default.
  void SetStandardMembers(bool on) { standard_ = on; }
  // The compression level (the program's own is 5).
  void SetLevel(int level) { level_ = level; }

  // The reports. Start and Progress answer non-zero to cancel; DiskPrompt answers 0 for " &Ok ";
  // Error answers non-zero to stop (see ArchiveErrorAsks for the codes where it matters).
  virtual int Start(int /*stage*/, const char* /*name*/) { return 0; }
  virtual int Progress(int /*stage*/, int /*percent*/) { return 0; }
  virtual int End(int /*stage*/) { return 0; }
  virtual int DiskPrompt(int /*kind*/, int /*disk*/) { return 0; }
  virtual int Error(int /*code*/, const char* /*name*/) { return 0; }
  virtual int Idle() { return 0; }

 protected:
  // Tells the error; true when the work stops (always for the codes that do not ask).
  bool Stops(int code, const char* name);
  // Tells an error that always stops; -1.
  int Fail(int code, const char* name);

 private:
  int WriteMember(class CFILE& out, const std::string& path, const char* name, ZIPENTRY* entry,
                  int64_t at);
  int InflateMember(class CFILE& in, const ZIPENTRY& e, int64_t data_at, class CFILE& out,
                    uint32_t* crc);

  const char* archive_ = "";
  bool standard_ = false;
  int level_ = 5;
  std::vector<std::string> extracted_;
};

// The directory of an archive as read from its file: entries with their data offsets, all checked
// against the file size and the central directory. 0, or the error code (5 read, 7 format).
struct ZIPDIRECTORY {
  ZIPEND end;
  std::vector<ZIPENTRY> entries;
  int64_t directory_at = 0;  // where the central directory starts in the file
};
int ReadZipDirectory(class CFILE& file, ZIPDIRECTORY* dir);
// Whether a stored name may be unpacked at all: no directory part, no drive, not "." or "..".
bool SafeMemberName(const std::string& name);
