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
// Tests can make the N-th read, write or other operation fail (SetFileFault).
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

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
enum FileDisposition { kOpenExisting = 0, kOpenAlways = 1, kCreateNew = 2, kCreateAlways = 3, kTruncateExisting = 4 };
enum FileAccess { kAccessRead = 0, kAccessWrite = 1, kAccessReadWrite = 2 };
enum FileSharing { kShareNone = 0, kShareRead = 1, kShareWrite = 2, kShareReadWrite = 3 };
enum FileAttribute { kAttrReadOnly = 1, kAttrSystem = 2, kAttrHidden = 4 };

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
  // Read at an offset in one call, leaving the file position where it was.
  long ReadAt(int64_t offset, void* buffer, size_t count);
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

  static bool Exists(const char* name);
  static int DeleteFile(const char* name);
  // Opens a free temporary name in the current directory n times at once; 0 or -1 (code 17).
  static int CheckHandles(int n);

  bool IsOpen() const { return fd_ >= 0; }
  int Handle() const { return fd_; }
  const char* Name() const { return name_.c_str(); }

 protected:
  // Reports a failure to the handler and returns -1.
  int Fail(int operation, int error_kind, int system_error = 0) const;

 private:
  std::string name_;
  int fd_ = -1;
};

// The message the handler shows: operation text, " name" when there is one, ".", then, when the
// error kind has a text, two line feeds and that text. In the data code page.
std::string FileErrorMessage(const char* file_name, int operation, int error_kind, int system_error);
const char* FileOperationText(int operation);

// "%06lu.tmp": the first number from 1 to 999999 whose file does not exist, in the directory of
// `path_in_dir` (a file path; empty or without a slash means the current directory). The name is
// taken atomically: the file is created empty (O_CREAT | O_EXCL) and the caller owns it. Empty
// when every number is taken.
std::string TakeTemporaryName(const std::string& path_in_dir);

// Whether byte-range locks work in the directory of path_in_dir (some network file systems
// refuse them): 0 when they do, -1 when not. Shared access needs them.
int CheckFileSharing(const std::string& path_in_dir);

// Fault injection for tests: the nth operation of the given kind from now on (1 = the next one)
// fails with EIO; with from_then_on every later one fails too. kind 0 counts every operation.
void SetFileFault(int operation, long nth, bool from_then_on);
void ClearFileFault();
