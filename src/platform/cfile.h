// The file layer: every file the program touches goes through CFILE.
//
// A CFILE holds a name and an operating-system handle (negative when closed). Operations return
// 0 (or a count) on success and -1 on failure; every failure is reported once to the installed
// CFILE::HANDLER with an operation code and an error kind, and the caller only stops.
//
// Sharing modes are emulated with open-file-description locks on one byte far beyond any data:
// an open without sharing takes it exclusively, an open with sharing takes it shared, so a second
// program that opens a table exclusively is refused as it would be on Windows. The header locks of
// shared (network) mode are OFD locks too and never wait.
//
// Underneath, CFILE calls a FILESYSTEM: the operating system's by default. Tests install others
// (platform/cfile_testing.h, not linked into the programs): one in memory that can lose every
// write made after the last flush, as a power loss does, and one that makes a chosen operation
// fail (SetFileFault) or the disk run full.
//
// A file that replaces another is written under a temporary name, flushed, renamed over the old
// one and its directory flushed (CFILE::Replace), so that a crash or a power loss leaves the old
// file or the new one, never a mixture or nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// Operation codes: what the program was doing when a file operation failed.
enum FileOperation {
  kFileOpOpen = 1,
  kFileOpClose = 2,
  kFileOpRead = 3,
  kFileOpWrite = 4,
  kFileOpFlush = 5,
  kFileOpTell = 6,
  kFileOpSeek = 7,
  kFileOpSize = 8,
  kFileOpSetSize = 9,
  kFileOpGetDate = 10,
  kFileOpSetDate = 11,
  kFileOpLock = 12,
  kFileOpUnlock = 13,
  kFileOpCopy = 14,
  kFileOpRename = 15,
  kFileOpDelete = 16,
  kFileOpCheckHandles = 17,
};

enum FileErrorKind {
  kFileErrNoMemory = 1,
  kFileErrNoName = 2,
  kFileErrClosed = 4,
  kFileErrSystem = 5,
};

// Open dispositions, access and sharing, as the callers pass them.
enum FileDisposition {
  kOpenExisting = 0,
  kOpenAlways = 1,
  kCreateNew = 2,
  kCreateAlways = 3,
  kTruncateExisting = 4
};
enum FileAccess { kAccessRead = 0, kAccessWrite = 1, kAccessReadWrite = 2 };
enum FileSharing { kShareNone = 0, kShareRead = 1, kShareWrite = 2, kShareReadWrite = 3 };
enum FileAttribute { kAttrReadOnly = 1, kAttrSystem = 2, kAttrHidden = 4 };

// Byte-range lock kinds of FILESYSTEM::Lock.
enum FileLockKind { kLockRelease = 0, kLockShared = 1, kLockExclusive = 2 };

// What a name stands for now: which file, its size and when it was last changed. Two stamps with
// equal fields mean the file has not changed, provided the later one was taken more than
// `step_ns` after the earlier change was first seen (the file system's time stamps advance in
// steps: writes within one step leave the same time). step_ns 0: every change is seen.
struct FILESTAMP {
  uint64_t id = 0;
  int64_t size = -1;
  int64_t changed_ns = 0;
  int64_t step_ns = 0;
  bool operator==(const FILESTAMP& o) const {
    return id == o.id && size == o.size && changed_ns == o.changed_ns;
  }
};

// The calls CFILE makes of the system. Every call returns -1 (or false) with errno set on
// failure, like the system calls it stands for; handles are small non-negative numbers.
class FILESYSTEM {
 public:
  virtual ~FILESYSTEM() = default;
  // access: kAccessRead, kAccessWrite or kAccessReadWrite; create 0 no, 1 when missing, 2 only
  // when missing (EEXIST otherwise). Never truncates. read_only gives a new file mode 0444.
  virtual int Open(const char* name, int access, int create, bool read_only) = 0;
  virtual int Close(int h) = 0;
  // One call each; a short count only at the end of the file (reads) or of the space (writes).
  virtual long Read(int h, void* buffer, size_t count) = 0;
  virtual long ReadAt(int h, void* buffer, size_t count, int64_t offset) = 0;
  virtual long Write(int h, const void* buffer, size_t count) = 0;
  virtual long WriteAt(int h, const void* buffer, size_t count, int64_t offset) = 0;
  virtual int64_t Seek(int h, int64_t offset, int origin) = 0;
  virtual int64_t Size(int h) = 0;
  virtual int Truncate(int h, int64_t size) = 0;
  // Makes what was written durable.
  virtual int Sync(int h) = 0;
  virtual int GetTime(int h, time_t* when) = 0;
  virtual int SetTime(int h, time_t when) = 0;
  // Open-file-description semantics: per handle, refused at once (EAGAIN) on a conflict.
  virtual int Lock(int h, int kind, int64_t offset, int64_t length) = 0;
  // Which file a handle or a name stands for: equal numbers for the same file.
  virtual int Identity(int h, uint64_t* id) = 0;
  virtual int IdentityOf(const char* name, uint64_t* id) = 0;
  // The stamp of the file a name stands for (one call: identity, size and time of change).
  virtual int StampOf(const char* name, FILESTAMP* stamp) = 0;
  // Without replace an existing target is refused (EEXIST).
  virtual int Rename(const char* from, const char* to, bool replace) = 0;
  virtual int Unlink(const char* name) = 0;
  virtual bool Exists(const char* name) = 0;
  // Makes the names in a directory ("" the current one) durable: creations, renames, deletions.
  virtual int SyncDirectory(const char* dir) = 0;
  // The names (without the directory) of the files in a directory.
  virtual int List(const char* dir, std::vector<std::string>* names) = 0;
};

// The installed file system; SetFileSystem(nullptr) puts the operating system's back.
FILESYSTEM* FileSystem();
void SetFileSystem(FILESYSTEM* fs);

class CFILE {
 public:
  class HANDLER {
   public:
    virtual ~HANDLER() = default;
    // system_error is errno of the failing call for error kind 5, else 0.
    virtual void Report(const char* file_name, int operation, int error_kind, int system_error) = 0;
  };
  // One global handler; nullptr (the default) only returns failures.
  static void SetHandler(HANDLER* handler);
  static HANDLER* Handler();

  // Puts another handler (nullptr: none) in place for its own lifetime and gives the installed
  // one back at its end, for failures the caller expects and handles itself:
  //   { CFILE::QUIET quiet; CFILE::DeleteFile(temp.c_str()); }
  class QUIET {
   public:
    explicit QUIET(HANDLER* replacement = nullptr) : saved_(Handler()) { SetHandler(replacement); }
    ~QUIET() { SetHandler(saved_); }
    QUIET(const QUIET&) = delete;
    QUIET& operator=(const QUIET&) = delete;
    // The handler that was installed before.
    HANDLER* Outer() const { return saved_; }

   private:
    HANDLER* saved_;
  };

  CFILE() = default;
  CFILE(const CFILE&) = delete;
  CFILE& operator=(const CFILE&) = delete;
  virtual ~CFILE();

  // Closing a closed file succeeds.
  virtual int Close();
  virtual int Flush();

  // An open file is closed first. An empty name fails with error kind 2.
  int Open(const char* name, int disposition, int access, int sharing, int attributes = 0);
  // Bytes moved, or -1.
  long Read(void* buffer, size_t count);
  long Write(const void* buffer, size_t count);
  // Read and write at an offset in one call each, leaving the file position where it was.
  long ReadAt(int64_t offset, void* buffer, size_t count);
  long WriteAt(int64_t offset, const void* buffer, size_t count);
  // origin: SEEK_SET, SEEK_CUR or SEEK_END. The new position, or -1.
  int64_t Seek(int64_t offset, int origin);
  int64_t Tell();
  int64_t Size();
  int SetSize(int64_t size);
  int GetDate(time_t* when);
  int SetDate(time_t when);
  // Byte-range locks that fail at once when another handle holds the range.
  int Lock(int64_t offset, int64_t length, bool exclusive);
  int Unlock(int64_t offset, int64_t length);
  int Copy(const char* target);
  // With replace set an existing target is deleted first. The object keeps the new name.
  int Rename(const char* new_name, bool replace);
  // Closes the file if open and deletes it.
  int Delete();
  // Whether the name now stands for another file than this open one (it was replaced or
  // deleted): 1 yes, 0 no, -1 when it cannot be told (reported, as a failed size read).
  int Replaced();
  // The stamp of the file the name stands for now, and whether that is this open file (*same).
  // 0, or -1 reported as a failed date read; a name that no longer exists is not the same file.
  int Stamp(FILESTAMP* stamp, bool* same);

  static bool Exists(const char* name);
  static int DeleteFile(const char* name);
  // Opens a free temporary name in the current directory n times at once; 0 or -1 (code 17).
  static int CheckHandles(int n);
  // Makes the directory entries of the directory holding path_in_dir durable; 0 or -1 (code 5).
  static int FlushDirectory(const char* path_in_dir);
  // The one way to replace a file: source (written and closed) is flushed, renamed over target
  // and the directory flushed. After a crash at any point target is the old file or the new one.
  static int Replace(const char* source, const char* target);

  bool IsOpen() const { return fd_ >= 0; }
  const char* Name() const { return name_.c_str(); }

 protected:
  // Reports a failure to the handler and returns -1.
  int Fail(int operation, int error_kind, int system_error = 0) const;

 private:
  std::string name_;
  int fd_ = -1;
  uint64_t id_ = 0;  // the identity of the open file, taken at Stamp's first call
  bool id_known_ = false;
};

// The message the handler shows: operation text, " name" when there is one, ".", then, when the
// error kind has a text, two line feeds and that text. In the data code page.
std::string FileErrorMessage(const char* file_name, int operation, int error_kind,
                             int system_error);
const char* FileOperationText(int operation);

// "%06lu.tmp": the first number from 1 to 999999 whose file does not exist, in the directory of
// `path_in_dir` (a file path; empty or without a slash means the current directory). The name is
// taken atomically: the file is created empty (O_CREAT | O_EXCL) and the caller owns it. Empty
// when no name can be taken (the directory refuses new files, or every number is taken); with
// `report` that failure goes to the error handler as one to open the first name tried.
std::string TakeTemporaryName(const std::string& path_in_dir, bool report = false);

// The "%06lu.tmp" names (six digits) in the directory of path_in_dir, with that directory in
// front as TakeTemporaryName gives them. 0 or -1 (the directory cannot be read; not reported).
int ListTemporaryNames(const std::string& path_in_dir, std::vector<std::string>* names);

// Whether byte-range locks work in the directory of path_in_dir (some network file systems
// refuse them): 0 when they do, -1 when not. Shared access needs them.
int CheckFileSharing(const std::string& path_in_dir);

// Tests only (defined in cfile_testing.cc, which the programs do not link): the nth operation of
// the given kind from now on (1 = the next one) fails with EIO; with from_then_on every later one
// fails too. kind 0 counts every operation. See platform/cfile_testing.h for more.
void SetFileFault(int operation, long nth, bool from_then_on);
void ClearFileFault();
// Whether the armed fault has hit an operation (a loop over N stops once it no longer does).
bool FileFaultTripped();
