// The test file systems: files in memory, and faults over whatever file system is installed.
#include "platform/cfile_testing.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

std::string Clean(const char* name) {
  std::string n = name ? name : "";
  while (n.compare(0, 2, "./") == 0) n.erase(0, 2);
  return n;
}

// The directory of a cleaned name, with its slash; "" for the current one.
std::string DirOf(const std::string& name) {
  size_t slash = name.rfind('/');
  return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

std::string CleanDir(const char* dir) {
  std::string d = Clean(dir);
  if (d == "." || d.empty()) return std::string();
  if (d.back() != '/') d += '/';
  return d;
}

int Fail(int error) {
  errno = error;
  return -1;
}

}  // namespace

MEMORY_FILESYSTEM::HANDLE* MEMORY_FILESYSTEM::Find(int h) {
  auto it = handles_.find(h);
  return it == handles_.end() ? nullptr : &it->second;
}

int MEMORY_FILESYSTEM::Open(const char* name_in, int access, int create, bool /*read_only*/) {
  std::string name = Clean(name_in);
  if (name.empty()) return Fail(ENOENT);
  auto it = names_.find(name);
  if (it == names_.end()) {
    if (create == 0) return Fail(ENOENT);
    auto node = std::make_shared<NODE>();
    node->id = next_id_++;
    it = names_.emplace(name, node).first;
  } else if (create == 2) {
    return Fail(EEXIST);
  }
  int h = next_handle_++;
  handles_[h] = HANDLE{it->second, 0, access};
  return h;
}

int MEMORY_FILESYSTEM::Close(int h) {
  HANDLE* f = Find(h);
  if (!f) return Fail(EBADF);
  auto& held = locks_[f->node.get()];
  held.erase(std::remove_if(held.begin(), held.end(), [h](const LOCK& l) { return l.handle == h; }),
             held.end());
  handles_.erase(h);
  return 0;
}

long MEMORY_FILESYSTEM::Read(int h, void* buffer, size_t count) {
  HANDLE* f = Find(h);
  if (!f) return Fail(EBADF);
  long n = ReadAt(h, buffer, count, f->position);
  if (n > 0) f->position += n;
  return n;
}

long MEMORY_FILESYSTEM::ReadAt(int h, void* buffer, size_t count, int64_t offset) {
  HANDLE* f = Find(h);
  if (!f) return Fail(EBADF);
  if (f->access == kAccessWrite) return Fail(EBADF);
  const std::string& d = f->node->data;
  if (offset < 0) return Fail(EINVAL);
  if (offset >= static_cast<int64_t>(d.size())) return 0;
  size_t n = std::min(count, d.size() - static_cast<size_t>(offset));
  std::memcpy(buffer, d.data() + offset, n);
  return static_cast<long>(n);
}

long MEMORY_FILESYSTEM::Write(int h, const void* buffer, size_t count) {
  HANDLE* f = Find(h);
  if (!f) return Fail(EBADF);
  long n = WriteAt(h, buffer, count, f->position);
  if (n > 0) f->position += n;
  return n;
}

long MEMORY_FILESYSTEM::WriteAt(int h, const void* buffer, size_t count, int64_t offset) {
  HANDLE* f = Find(h);
  if (!f) return Fail(EBADF);
  if (f->access == kAccessRead) return Fail(EBADF);
  if (offset < 0) return Fail(EINVAL);
  std::string& d = f->node->data;
  size_t at = static_cast<size_t>(offset);
  if (d.size() < at + count) d.resize(at + count, '\0');
  std::memcpy(d.data() + at, buffer, count);
  f->node->changes++;
  return static_cast<long>(count);
}

int64_t MEMORY_FILESYSTEM::Seek(int h, int64_t offset, int origin) {
  HANDLE* f = Find(h);
  if (!f) return Fail(EBADF);
  int64_t base = origin == SEEK_SET   ? 0
                 : origin == SEEK_CUR ? f->position
                                      : static_cast<int64_t>(f->node->data.size());
  if (base + offset < 0) return Fail(EINVAL);
  f->position = base + offset;
  return f->position;
}

int64_t MEMORY_FILESYSTEM::Size(int h) {
  HANDLE* f = Find(h);
  return f ? static_cast<int64_t>(f->node->data.size()) : Fail(EBADF);
}

int MEMORY_FILESYSTEM::Truncate(int h, int64_t size) {
  HANDLE* f = Find(h);
  if (!f) return Fail(EBADF);
  if (size < 0) return Fail(EINVAL);
  f->node->data.resize(static_cast<size_t>(size), '\0');
  f->node->changes++;
  return 0;
}

int MEMORY_FILESYSTEM::Sync(int h) {
  HANDLE* f = Find(h);
  if (!f) return Fail(EBADF);
  f->node->durable = f->node->data;
  return 0;
}

int MEMORY_FILESYSTEM::GetTime(int h, time_t* when) {
  HANDLE* f = Find(h);
  if (!f) return Fail(EBADF);
  *when = f->node->mtime;
  return 0;
}

int MEMORY_FILESYSTEM::SetTime(int h, time_t when) {
  HANDLE* f = Find(h);
  if (!f) return Fail(EBADF);
  f->node->mtime = when;
  return 0;
}

int MEMORY_FILESYSTEM::Lock(int h, int kind, int64_t offset, int64_t length) {
  HANDLE* f = Find(h);
  if (!f) return Fail(EBADF);
  auto& held = locks_[f->node.get()];
  auto overlaps = [&](const LOCK& l) {
    return l.offset < offset + length && offset < l.offset + l.length;
  };
  if (kind != kLockRelease) {
    for (const LOCK& l : held)
      if (l.handle != h && overlaps(l) && (kind == kLockExclusive || l.kind == kLockExclusive))
        return Fail(EAGAIN);
  }
  held.erase(std::remove_if(held.begin(), held.end(),
                            [&](const LOCK& l) { return l.handle == h && overlaps(l); }),
             held.end());
  if (kind != kLockRelease) held.push_back(LOCK{h, kind, offset, length});
  return 0;
}

int MEMORY_FILESYSTEM::Identity(int h, uint64_t* id) {
  HANDLE* f = Find(h);
  if (!f) return Fail(EBADF);
  *id = f->node->id;
  return 0;
}

int MEMORY_FILESYSTEM::IdentityOf(const char* name, uint64_t* id) {
  auto it = names_.find(Clean(name));
  if (it == names_.end()) return Fail(ENOENT);
  *id = it->second->id;
  return 0;
}

int MEMORY_FILESYSTEM::StampOf(const char* name, FILESTAMP* stamp) {
  auto it = names_.find(Clean(name));
  if (it == names_.end()) return Fail(ENOENT);
  stamp->id = it->second->id;
  stamp->size = static_cast<int64_t>(it->second->data.size());
  stamp->changed_ns = it->second->changes;
  stamp->step_ns = 0;
  return 0;
}

int MEMORY_FILESYSTEM::Rename(const char* from_in, const char* to_in, bool replace) {
  std::string from = Clean(from_in), to = Clean(to_in);
  auto it = names_.find(from);
  if (it == names_.end()) return Fail(ENOENT);
  if (!replace && names_.count(to)) return Fail(EEXIST);
  auto node = it->second;
  names_.erase(it);
  names_[to] = node;
  return 0;
}

int MEMORY_FILESYSTEM::Unlink(const char* name) {
  return names_.erase(Clean(name)) ? 0 : Fail(ENOENT);
}

bool MEMORY_FILESYSTEM::Exists(const char* name) { return names_.count(Clean(name)) != 0; }

int MEMORY_FILESYSTEM::SyncDirectory(const char* dir_in) {
  std::string dir = CleanDir(dir_in);
  for (auto it = durable_names_.begin(); it != durable_names_.end();)
    it = DirOf(it->first) == dir && !names_.count(it->first) ? durable_names_.erase(it)
                                                             : std::next(it);
  for (const auto& [name, node] : names_)
    if (DirOf(name) == dir) durable_names_[name] = node;
  return 0;
}

int MEMORY_FILESYSTEM::List(const char* dir_in, std::vector<std::string>* names) {
  std::string dir = CleanDir(dir_in);
  names->clear();
  for (const auto& entry : names_)
    if (DirOf(entry.first) == dir) names->push_back(entry.first.substr(dir.size()));
  return 0;
}

void MEMORY_FILESYSTEM::PowerLoss() {
  names_ = durable_names_;
  for (auto& entry : names_) {
    entry.second->data = entry.second->durable;
    entry.second->changes++;
  }
  handles_.clear();
  locks_.clear();
}

void MEMORY_FILESYSTEM::SyncAll() {
  for (auto& entry : names_) entry.second->durable = entry.second->data;
  durable_names_ = names_;
}

bool MEMORY_FILESYSTEM::Contents(const std::string& name, std::string* bytes) const {
  auto it = names_.find(Clean(name.c_str()));
  if (it == names_.end()) return false;
  *bytes = it->second->data;
  return true;
}

namespace {

std::unique_ptr<MEMORY_FILESYSTEM> g_memory;

// Faults over the file system that was installed when the first fault was armed.
class FAULT_FILESYSTEM : public FILESYSTEM {
 public:
  FILESYSTEM* inner = nullptr;
  int operation = -1;  // -1: none armed
  long countdown = 0;
  bool from_then_on = false;
  bool struck = false;
  int error = EIO;
  int64_t space = -1;  // bytes the disk still takes; -1 without limit
  long seen = 0;

  int Open(const char* name, int access, int create, bool read_only) override {
    return Hit(kFileOpOpen) ? -1 : inner->Open(name, access, create, read_only);
  }
  int Close(int h) override {
    // The handle goes either way, as with the system's close().
    int rc = inner->Close(h);
    return Hit(kFileOpClose) ? -1 : rc;
  }
  long Read(int h, void* buffer, size_t count) override {
    return Hit(kFileOpRead) ? -1 : inner->Read(h, buffer, count);
  }
  long ReadAt(int h, void* buffer, size_t count, int64_t offset) override {
    return Hit(kFileOpRead) ? -1 : inner->ReadAt(h, buffer, count, offset);
  }
  long Write(int h, const void* buffer, size_t count) override {
    if (Hit(kFileOpWrite)) return -1;
    if (space >= 0) {
      const int64_t size = inner->Size(h), at = inner->Seek(h, 0, SEEK_CUR);
      if (size < 0 || at < 0) return -1;
      // What fits: up to the end the remaining space allows; a write wholly beyond it fails.
      const int64_t n = std::min<int64_t>(static_cast<int64_t>(count), size + space - at);
      if (n <= 0) return Fail(ENOSPC);
      long w = inner->Write(h, buffer, static_cast<size_t>(n));
      if (w > 0) space -= std::max<int64_t>(0, at + w - size);
      return w;
    }
    return inner->Write(h, buffer, count);
  }
  long WriteAt(int h, const void* buffer, size_t count, int64_t offset) override {
    if (Hit(kFileOpWrite)) return -1;
    if (space >= 0) {
      const int64_t size = inner->Size(h);
      if (size < 0) return -1;
      const int64_t n = std::min<int64_t>(static_cast<int64_t>(count), size + space - offset);
      if (n <= 0) return Fail(ENOSPC);
      long w = inner->WriteAt(h, buffer, static_cast<size_t>(n), offset);
      if (w > 0) space -= std::max<int64_t>(0, offset + w - size);
      return w;
    }
    return inner->WriteAt(h, buffer, count, offset);
  }
  int64_t Seek(int h, int64_t offset, int origin) override {
    return Hit(kFileOpSeek) ? -1 : inner->Seek(h, offset, origin);
  }
  int64_t Size(int h) override { return Hit(kFileOpSize) ? -1 : inner->Size(h); }
  int Truncate(int h, int64_t size) override {
    if (Hit(kFileOpSetSize)) return -1;
    if (space >= 0) {
      int64_t old = inner->Size(h);
      if (old < 0) return -1;
      if (size - old > space) return Fail(ENOSPC);
      int rc = inner->Truncate(h, size);
      if (rc == 0) space -= size - old;
      return rc;
    }
    return inner->Truncate(h, size);
  }
  int Sync(int h) override { return Hit(kFileOpFlush) ? -1 : inner->Sync(h); }
  int GetTime(int h, time_t* when) override {
    return Hit(kFileOpGetDate) ? -1 : inner->GetTime(h, when);
  }
  int SetTime(int h, time_t when) override {
    return Hit(kFileOpSetDate) ? -1 : inner->SetTime(h, when);
  }
  int Lock(int h, int kind, int64_t offset, int64_t length) override {
    return Hit(kind == kLockRelease ? kFileOpUnlock : kFileOpLock)
               ? -1
               : inner->Lock(h, kind, offset, length);
  }
  int Identity(int h, uint64_t* id) override {
    return Hit(kFileOpSize) ? -1 : inner->Identity(h, id);
  }
  int IdentityOf(const char* name, uint64_t* id) override {
    return Hit(kFileOpSize) ? -1 : inner->IdentityOf(name, id);
  }
  int StampOf(const char* name, FILESTAMP* stamp) override {
    return Hit(kFileOpGetDate) ? -1 : inner->StampOf(name, stamp);
  }
  int Rename(const char* from, const char* to, bool replace) override {
    return Hit(kFileOpRename) ? -1 : inner->Rename(from, to, replace);
  }
  int Unlink(const char* name) override { return Hit(kFileOpDelete) ? -1 : inner->Unlink(name); }
  bool Exists(const char* name) override { return inner->Exists(name); }
  int SyncDirectory(const char* dir) override {
    return Hit(kFileOpFlush) ? -1 : inner->SyncDirectory(dir);
  }
  int List(const char* dir, std::vector<std::string>* names) override {
    return inner->List(dir, names);
  }

 private:
  // True when the armed fault hits this operation; sets errno like the system would.
  bool Hit(int op) {
    if (operation < 0) return false;
    if (operation != 0 && operation != op) return false;
    ++seen;
    if (struck) {
      if (!from_then_on) return false;
      errno = error;
      return true;
    }
    if (--countdown > 0) return false;
    struck = true;
    errno = error;
    return true;
  }
};

FAULT_FILESYSTEM g_faults;

// A fresh installation starts with nothing armed, whatever an earlier test left.
void InstallFaults() {
  if (FileSystem() == &g_faults) return;
  g_faults = FAULT_FILESYSTEM();
  g_faults.inner = FileSystem();
  SetFileSystem(&g_faults);
}

}  // namespace

MEMORY_FILESYSTEM* UseMemoryFileSystem() {
  ClearFileFault();
  g_memory = std::make_unique<MEMORY_FILESYSTEM>();
  SetFileSystem(g_memory.get());
  return g_memory.get();
}

void StopMemoryFileSystem() {
  ClearFileFault();
  SetFileSystem(nullptr);
  g_memory.reset();
}

void SetFileFault(int operation, long nth, bool from_then_on) {
  InstallFaults();
  g_faults.operation = operation;
  g_faults.countdown = nth < 1 ? 1 : nth;
  g_faults.from_then_on = from_then_on;
  g_faults.struck = false;
  g_faults.seen = 0;
}

void SetFileFaultError(int error) {
  InstallFaults();
  g_faults.error = error;
}

void SetDiskSpace(int64_t bytes) {
  InstallFaults();
  g_faults.space = bytes;
}

bool FileFaultStruck() { return g_faults.struck; }
bool FileFaultTripped() { return g_faults.struck; }
long FileOperationsSeen() { return g_faults.seen; }

void ClearFileFault() {
  if (FileSystem() == &g_faults) SetFileSystem(g_faults.inner);
  g_faults.operation = -1;
}
