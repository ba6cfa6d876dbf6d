// File systems for tests, under CFILE (platform/cfile.h). Built into a library of their own that
// only the tests link: the programs carry no fault injection.
//
//   SetFileFault(kFileOpWrite, 3, false);    // the third write from now fails with EIO
//   SetDiskSpace(1000);                      // the disk takes 1000 more bytes, then ENOSPC
//   ClearFileFault();                        // back to the file system underneath
//
//   MEMORY_FILESYSTEM* fs = UseMemoryFileSystem();
//   ... work ...; fs->PowerLoss();           // every write since the last flush is gone
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/cfile.h"

// Files in memory, with what a power loss keeps: the contents of a file as of its last Sync, and
// the names of a directory as of its last SyncDirectory. Byte-range locks as the system's
// open-file-description locks. Names are taken as given ("./" in front is dropped).
class MEMORY_FILESYSTEM : public FILESYSTEM {
 public:
  int Open(const char* name, int access, int create, bool read_only) override;
  int Close(int h) override;
  long Read(int h, void* buffer, size_t count) override;
  long ReadAt(int h, void* buffer, size_t count, int64_t offset) override;
  long Write(int h, const void* buffer, size_t count) override;
  long WriteAt(int h, const void* buffer, size_t count, int64_t offset) override;
  int64_t Seek(int h, int64_t offset, int origin) override;
  int64_t Size(int h) override;
  int Truncate(int h, int64_t size) override;
  int Sync(int h) override;
  int GetTime(int h, time_t* when) override;
  int SetTime(int h, time_t when) override;
  int Lock(int h, int kind, int64_t offset, int64_t length) override;
  int Identity(int h, uint64_t* id) override;
  int IdentityOf(const char* name, uint64_t* id) override;
  int StampOf(const char* name, FILESTAMP* stamp) override;
  int Rename(const char* from, const char* to, bool replace) override;
  int Unlink(const char* name) override;
  bool Exists(const char* name) override;
  int SyncDirectory(const char* dir) override;
  int List(const char* dir, std::vector<std::string>* names) override;

  // The power goes: unflushed contents and unflushed names are lost, every open handle dies.
  void PowerLoss();
  // Everything written so far becomes durable, as if the system had flushed it.
  void SyncAll();
  // The current contents of a file; false when there is none of that name.
  bool Contents(const std::string& name, std::string* bytes) const;

 private:
  struct NODE {
    std::string data, durable;
    uint64_t id = 0;
    time_t mtime = 0;
    int64_t changes = 0;  // every change counts: the stamps of this file system miss none
  };
  struct LOCK {
    int handle, kind;
    int64_t offset, length;
  };
  struct HANDLE {
    std::shared_ptr<NODE> node;
    int64_t position = 0;
    int access = 0;
  };
  HANDLE* Find(int h);

  std::map<std::string, std::shared_ptr<NODE>> names_, durable_names_;
  std::map<int, HANDLE> handles_;
  std::map<NODE*, std::vector<LOCK>> locks_;
  int next_handle_ = 3;
  uint64_t next_id_ = 1;
};

// Installs a fresh, empty memory file system under CFILE (the previous one goes).
MEMORY_FILESYSTEM* UseMemoryFileSystem();
// Back to the operating system's files.
void StopMemoryFileSystem();

// The error the next injected faults give (EIO until changed; ClearFileFault resets it).
void SetFileFaultError(int error);
// From now on the disk takes this many more bytes; a write or an extension beyond them fails
// with ENOSPC (a write that half fits writes what fits). Shrinking a file gives space back.
void SetDiskSpace(int64_t bytes);
// Whether the armed fault has struck.
bool FileFaultStruck();
// File operations counted towards the armed fault since it was armed (of its kind, or all).
long FileOperationsSeen();
