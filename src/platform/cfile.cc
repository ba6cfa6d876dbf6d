#include "platform/cfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <vector>

#include "common/text.h"

namespace {

CFILE::HANDLER* g_handler = nullptr;

// Sharing modes are held as an OFD lock on this byte, far beyond any data the program writes.
constexpr int64_t kShareLockOffset = static_cast<int64_t>(1) << 62;

// The directory part of a path, with its slash ("" for the current directory).
std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The operating system's files.
class OS_FILESYSTEM : public FILESYSTEM {
 public:
  int Open(const char* name, int access, int create, bool read_only) override {
    int flags = O_CLOEXEC;
    flags |= access == kAccessRead ? O_RDONLY : access == kAccessWrite ? O_WRONLY : O_RDWR;
    if (create == 1) flags |= O_CREAT;
    if (create == 2) flags |= O_CREAT | O_EXCL;
    return ::open(name, flags, read_only ? 0444 : 0666);
  }
  int Close(int h) override { return ::close(h); }
  long Read(int h, void* buffer, size_t count) override {
    for (;;) {
      ssize_t n = ::read(h, buffer, count);
      if (n >= 0 || errno != EINTR) return static_cast<long>(n);
    }
  }
  long ReadAt(int h, void* buffer, size_t count, int64_t offset) override {
    for (;;) {
      ssize_t n = ::pread(h, buffer, count, static_cast<off_t>(offset));
      if (n >= 0 || errno != EINTR) return static_cast<long>(n);
    }
  }
  long Write(int h, const void* buffer, size_t count) override {
    for (;;) {
      ssize_t n = ::write(h, buffer, count);
      if (n >= 0 || errno != EINTR) return static_cast<long>(n);
    }
  }
  long WriteAt(int h, const void* buffer, size_t count, int64_t offset) override {
    for (;;) {
      ssize_t n = ::pwrite(h, buffer, count, static_cast<off_t>(offset));
      if (n >= 0 || errno != EINTR) return static_cast<long>(n);
    }
  }
  int64_t Seek(int h, int64_t offset, int origin) override {
    return ::lseek(h, static_cast<off_t>(offset), origin);
  }
  int64_t Size(int h) override {
    struct stat st;
    return ::fstat(h, &st) == 0 ? st.st_size : -1;
  }
  int Truncate(int h, int64_t size) override { return ::ftruncate(h, static_cast<off_t>(size)); }
  int Sync(int h) override { return ::fsync(h); }
  int GetTime(int h, time_t* when) override {
    struct stat st;
    if (::fstat(h, &st) != 0) return -1;
    *when = st.st_mtime;
    return 0;
  }
  int SetTime(int h, time_t when) override {
    struct timespec times[2];
    times[0].tv_sec = when;
    times[0].tv_nsec = 0;
    times[1] = times[0];
    return ::futimens(h, times);
  }
  int Lock(int h, int kind, int64_t offset, int64_t length) override {
    struct flock fl {};
    fl.l_type = static_cast<short>(kind == kLockExclusive ? F_WRLCK
                                   : kind == kLockShared  ? F_RDLCK
                                                          : F_UNLCK);
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(offset);
    fl.l_len = static_cast<off_t>(length);
    return fcntl(h, F_OFD_SETLK, &fl);
  }
  int Identity(int h, uint64_t* id) override {
    struct stat st;
    if (::fstat(h, &st) != 0) return -1;
    *id = (static_cast<uint64_t>(st.st_dev) << 40) ^ static_cast<uint64_t>(st.st_ino);
    return 0;
  }
  int IdentityOf(const char* name, uint64_t* id) override {
    struct stat st;
    if (::stat(name, &st) != 0) return -1;
    *id = (static_cast<uint64_t>(st.st_dev) << 40) ^ static_cast<uint64_t>(st.st_ino);
    return 0;
  }
  int StampOf(const char* name, FILESTAMP* stamp) override {
    struct stat st;
    if (::stat(name, &st) != 0) return -1;
    stamp->id = (static_cast<uint64_t>(st.st_dev) << 40) ^ static_cast<uint64_t>(st.st_ino);
    stamp->size = st.st_size;
    stamp->changed_ns = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    // File systems that keep fractions of a second stamp with a clock that advances in steps of
    // at most a few milliseconds (the kernel's tick, a Windows server's 15.6 ms); those that keep
    // whole seconds (ext3, small ext4 inodes) or two (FAT) show no fraction: three seconds cover
    // them. A stamp of a fine file system that happens to fall on a whole second is taken as
    // coarse, which only costs time.
    stamp->step_ns = st.st_mtim.tv_nsec != 0 ? static_cast<int64_t>(50) * 1000000
                                             : static_cast<int64_t>(3) * 1000000000;
    return 0;
  }
  int Rename(const char* from, const char* to, bool replace) override {
    if (replace) return ::rename(from, to);
    int r = ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
    if (r != 0 && errno == EINVAL) {
      // File systems without RENAME_NOREPLACE: link then unlink keeps the refusal atomic.
      r = ::link(from, to);
      if (r == 0) r = ::unlink(from);
    }
    return r;
  }
  int Unlink(const char* name) override { return ::unlink(name); }
  bool Exists(const char* name) override {
    struct stat st;
    return ::stat(name, &st) == 0;
  }
  int SyncDirectory(const char* dir) override {
    int fd = ::open(*dir ? dir : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return -1;
    int r = ::fsync(fd);
    int err = errno;
    ::close(fd);
    errno = err;
    return r;
  }
  int List(const char* dir, std::vector<std::string>* names) override {
    DIR* d = ::opendir(*dir ? dir : ".");
    if (!d) return -1;
    names->clear();
    while (struct dirent* e = ::readdir(d)) {
      if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
        names->push_back(e->d_name);
    }
    ::closedir(d);
    return 0;
  }
};

// Never destroyed: files held by other static objects are closed through it at exit.
OS_FILESYSTEM* const g_os = new OS_FILESYSTEM;
FILESYSTEM* g_fs = g_os;

}  // namespace

FILESYSTEM* FileSystem() { return g_fs; }
void SetFileSystem(FILESYSTEM* fs) { g_fs = fs ? fs : g_os; }

void CFILE::SetHandler(HANDLER* handler) { g_handler = handler; }
CFILE::HANDLER* CFILE::Handler() { return g_handler; }

CFILE::~CFILE() {
  if (fd_ >= 0) g_fs->Close(fd_);
}

int CFILE::Fail(int operation, int error_kind, int system_error) const {
  if (g_handler) g_handler->Report(name_.c_str(), operation, error_kind, system_error);
  return -1;
}

int CFILE::Close() {
  if (fd_ < 0) return 0;
  int fd = fd_;
  fd_ = -1;
  // The handle is released either way: Linux never leaves it open after close().
  if (g_fs->Close(fd) != 0) return Fail(kFileOpClose, kFileErrSystem, errno);
  return 0;
}

int CFILE::Flush() {
  if (fd_ < 0) return Fail(kFileOpFlush, kFileErrClosed);
  if (g_fs->Sync(fd_) != 0) return Fail(kFileOpFlush, kFileErrSystem, errno);
  return 0;
}

int CFILE::Open(const char* name, int disposition, int access, int sharing, int attributes) {
  if (fd_ >= 0) Close();
  name_ = name ? name : "";
  if (name_.empty()) return Fail(kFileOpOpen, kFileErrNoName);
  int create = disposition == kOpenAlways || disposition == kCreateAlways ? 1
               : disposition == kCreateNew                                ? 2
                                                                          : 0;
  bool truncate = disposition == kCreateAlways || disposition == kTruncateExisting;
  bool read_only = (attributes & kAttrReadOnly) != 0;
  // Write-only handles are opened for reading too where the file allows it, so that they can
  // carry the shared lock of their sharing mode.
  int got = access == kAccessRead ? kAccessRead : kAccessReadWrite;
  int fd = g_fs->Open(name_.c_str(), got, create, read_only);
  if (fd < 0 && access == kAccessWrite && (errno == EACCES || errno == EPERM)) {
    got = kAccessWrite;
    fd = g_fs->Open(name_.c_str(), got, create, read_only);
  }
  if (fd < 0) return Fail(kFileOpOpen, kFileErrSystem, errno);
  int kind;
  if (sharing == kShareNone)
    kind = got == kAccessRead ? kLockShared
                              : kLockExclusive;  // a read-only handle cannot hold a write lock
  else kind = got == kAccessWrite ? kLockExclusive : kLockShared;
  // Truncation waits until the sharing lock is held, so that a refused open changes nothing.
  if (g_fs->Lock(fd, kind, kShareLockOffset, 1) != 0) {
    int err = errno == EAGAIN || errno == EACCES ? EBUSY : errno;
    g_fs->Close(fd);
    return Fail(kFileOpOpen, kFileErrSystem, err);
  }
  if (truncate && g_fs->Truncate(fd, 0) != 0) {
    int err = errno;
    g_fs->Close(fd);
    return Fail(kFileOpOpen, kFileErrSystem, err);
  }
  fd_ = fd;
  id_known_ = false;
  return 0;
}

long CFILE::Read(void* buffer, size_t count) {
  if (fd_ < 0) return Fail(kFileOpRead, kFileErrClosed);
  size_t done = 0;
  while (done < count) {
    long n = g_fs->Read(fd_, static_cast<char*>(buffer) + done, count - done);
    if (n < 0) return Fail(kFileOpRead, kFileErrSystem, errno);
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<long>(done);
}

long CFILE::ReadAt(int64_t offset, void* buffer, size_t count) {
  if (fd_ < 0) return Fail(kFileOpRead, kFileErrClosed);
  size_t done = 0;
  while (done < count) {
    long n = g_fs->ReadAt(fd_, static_cast<char*>(buffer) + done, count - done,
                          offset + static_cast<int64_t>(done));
    if (n < 0) return Fail(kFileOpRead, kFileErrSystem, errno);
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<long>(done);
}

long CFILE::Write(const void* buffer, size_t count) {
  if (fd_ < 0) return Fail(kFileOpWrite, kFileErrClosed);
  size_t done = 0;
  while (done < count) {
    long n = g_fs->Write(fd_, static_cast<const char*>(buffer) + done, count - done);
    if (n < 0) return Fail(kFileOpWrite, kFileErrSystem, errno);
    if (n == 0) return Fail(kFileOpWrite, kFileErrSystem, ENOSPC);
    done += static_cast<size_t>(n);
  }
  return static_cast<long>(done);
}

long CFILE::WriteAt(int64_t offset, const void* buffer, size_t count) {
  if (fd_ < 0) return Fail(kFileOpWrite, kFileErrClosed);
  size_t done = 0;
  while (done < count) {
    long n = g_fs->WriteAt(fd_, static_cast<const char*>(buffer) + done, count - done,
                           offset + static_cast<int64_t>(done));
    if (n < 0) return Fail(kFileOpWrite, kFileErrSystem, errno);
    if (n == 0) return Fail(kFileOpWrite, kFileErrSystem, ENOSPC);
    done += static_cast<size_t>(n);
  }
  return static_cast<long>(done);
}

int64_t CFILE::Seek(int64_t offset, int origin) {
  if (fd_ < 0) return Fail(kFileOpSeek, kFileErrClosed);
  int64_t r = g_fs->Seek(fd_, offset, origin);
  if (r < 0) return Fail(kFileOpSeek, kFileErrSystem, errno);
  return r;
}

int64_t CFILE::Tell() {
  if (fd_ < 0) return Fail(kFileOpTell, kFileErrClosed);
  int64_t r = g_fs->Seek(fd_, 0, SEEK_CUR);
  if (r < 0) return Fail(kFileOpTell, kFileErrSystem, errno);
  return r;
}

int64_t CFILE::Size() {
  if (fd_ < 0) return Fail(kFileOpSize, kFileErrClosed);
  int64_t r = g_fs->Size(fd_);
  if (r < 0) return Fail(kFileOpSize, kFileErrSystem, errno);
  return r;
}

int CFILE::SetSize(int64_t size) {
  if (fd_ < 0) return Fail(kFileOpSetSize, kFileErrClosed);
  if (size < 0) return Fail(kFileOpSetSize, kFileErrSystem, EINVAL);
  if (g_fs->Truncate(fd_, size) != 0) return Fail(kFileOpSetSize, kFileErrSystem, errno);
  return 0;
}

int CFILE::GetDate(time_t* when) {
  if (fd_ < 0) return Fail(kFileOpGetDate, kFileErrClosed);
  if (g_fs->GetTime(fd_, when) != 0) return Fail(kFileOpGetDate, kFileErrSystem, errno);
  return 0;
}

int CFILE::SetDate(time_t when) {
  if (fd_ < 0) return Fail(kFileOpSetDate, kFileErrClosed);
  if (g_fs->SetTime(fd_, when) != 0) return Fail(kFileOpSetDate, kFileErrSystem, errno);
  return 0;
}

int CFILE::Lock(int64_t offset, int64_t length, bool exclusive) {
  if (fd_ < 0) return Fail(kFileOpLock, kFileErrClosed);
  if (g_fs->Lock(fd_, exclusive ? kLockExclusive : kLockShared, offset, length) != 0)
    return Fail(kFileOpLock, kFileErrSystem, errno);
  return 0;
}

int CFILE::Unlock(int64_t offset, int64_t length) {
  if (fd_ < 0) return Fail(kFileOpUnlock, kFileErrClosed);
  if (g_fs->Lock(fd_, kLockRelease, offset, length) != 0)
    return Fail(kFileOpUnlock, kFileErrSystem, errno);
  return 0;
}

int CFILE::Copy(const char* target) {
  if (name_.empty()) return Fail(kFileOpCopy, kFileErrNoName);
  CFILE in, out;
  CFILE::HANDLER* saved = g_handler;
  g_handler = nullptr;  // one report, for the copy as a whole
  int rc = in.Open(name_.c_str(), kOpenExisting, kAccessRead, kShareReadWrite);
  if (rc == 0) rc = out.Open(target, kCreateAlways, kAccessWrite, kShareNone);
  std::vector<char> buf(65536);
  int err = 0;
  while (rc == 0) {
    long n = in.Read(buf.data(), buf.size());
    if (n < 0) {
      rc = -1;
      break;
    }
    if (n == 0) break;
    if (out.Write(buf.data(), static_cast<size_t>(n)) != n) rc = -1;
  }
  if (rc != 0) err = errno;
  // A copy is a file of its own: it is on the disk before it counts as made.
  if (rc == 0 && out.Flush() != 0) {
    rc = -1;
    err = errno;
  }
  if (out.Close() != 0 && rc == 0) {
    rc = -1;
    err = errno;
  }
  in.Close();
  if (rc == 0 && FlushDirectory(target) != 0) {
    rc = -1;
    err = errno;
  }
  g_handler = saved;
  if (rc != 0) {
    g_fs->Unlink(target);
    return Fail(kFileOpCopy, kFileErrSystem, err ? err : EIO);
  }
  return 0;
}

int CFILE::Rename(const char* new_name, bool replace) {
  if (name_.empty() || !new_name || !*new_name) return Fail(kFileOpRename, kFileErrNoName);
  // rename() replaces atomically; without the flag an existing target is refused, as on Windows.
  if (g_fs->Rename(name_.c_str(), new_name, replace) != 0)
    return Fail(kFileOpRename, kFileErrSystem, errno);
  name_ = new_name;
  return 0;
}

int CFILE::Delete() {
  if (name_.empty()) return Fail(kFileOpDelete, kFileErrNoName);
  if (fd_ >= 0) Close();
  if (g_fs->Unlink(name_.c_str()) != 0) return Fail(kFileOpDelete, kFileErrSystem, errno);
  return 0;
}

int CFILE::Replaced() {
  if (fd_ < 0) return Fail(kFileOpSize, kFileErrClosed);
  uint64_t mine = 0, named = 0;
  if (g_fs->Identity(fd_, &mine) != 0) return Fail(kFileOpSize, kFileErrSystem, errno);
  if (g_fs->IdentityOf(name_.c_str(), &named) != 0)
    return errno == ENOENT ? 1 : Fail(kFileOpSize, kFileErrSystem, errno);
  return mine == named ? 0 : 1;
}

int CFILE::Stamp(FILESTAMP* stamp, bool* same) {
  if (fd_ < 0) return Fail(kFileOpGetDate, kFileErrClosed);
  if (!id_known_) {
    if (g_fs->Identity(fd_, &id_) != 0) return Fail(kFileOpGetDate, kFileErrSystem, errno);
    id_known_ = true;
  }
  *stamp = FILESTAMP();
  if (g_fs->StampOf(name_.c_str(), stamp) != 0) {
    if (errno != ENOENT) return Fail(kFileOpGetDate, kFileErrSystem, errno);
    *same = false;
    return 0;
  }
  *same = stamp->id == id_;
  return 0;
}

bool CFILE::Exists(const char* name) { return name && *name && g_fs->Exists(name); }

int CFILE::DeleteFile(const char* name) {
  CFILE f;
  f.name_ = name ? name : "";
  return f.Delete();
}

int CFILE::CheckHandles(int n) {
  std::string name = TakeTemporaryName("");
  CFILE probe;
  probe.name_ = name;
  if (name.empty()) return probe.Fail(kFileOpCheckHandles, kFileErrSystem, EEXIST);
  std::vector<int> fds;
  int err = 0;
  for (int i = 0; i < n; ++i) {
    int fd = g_fs->Open(name.c_str(), kAccessReadWrite, 1, false);
    if (fd < 0) {
      err = errno;
      break;
    }
    fds.push_back(fd);
  }
  for (int fd : fds) g_fs->Close(fd);
  g_fs->Unlink(name.c_str());
  if (static_cast<int>(fds.size()) < n) return probe.Fail(kFileOpCheckHandles, kFileErrSystem, err);
  return 0;
}

int CFILE::FlushDirectory(const char* path_in_dir) {
  std::string dir = DirectoryOf(path_in_dir ? path_in_dir : "");
  if (g_fs->SyncDirectory(dir.c_str()) != 0) {
    CFILE d;
    d.name_ = dir.empty() ? "." : dir;
    return d.Fail(kFileOpFlush, kFileErrSystem, errno);
  }
  return 0;
}

int CFILE::Replace(const char* source, const char* target) {
  CFILE f;
  if (f.Open(source, kOpenExisting, kAccessReadWrite, kShareNone) != 0) return -1;
  if (f.Flush() != 0) return -1;
  if (f.Close() != 0) return -1;
  if (f.Rename(target, true) != 0) return -1;
  return FlushDirectory(target);
}

const char* FileOperationText(int operation) {
  static const char* const kTexts[] = {
      "Błąd przy próbie otwarcia pliku"_pl,
      "Błąd przy próbie zamknięcia pliku"_pl,
      "Błąd przy próbie odczytu pliku"_pl,
      "Błąd przy próbie zapisu pliku"_pl,
      "Błąd przy próbie opróżnienia buforów pliku"_pl,
      "Błąd przy próbie odczytu pozycji pliku"_pl,
      "Błąd przy próbie ustawienia pozycji pliku"_pl,
      "Błąd przy próbie odczytu rozmiaru pliku"_pl,
      "Błąd przy próbie ustawienia rozmiaru pliku"_pl,
      "Błąd przy próbie odczytu daty pliku"_pl,
      "Błąd przy próbie ustawienia daty pliku"_pl,
      "Błąd przy próbie zablokowania pliku"_pl,
      "Błąd przy próbie odblokowania pliku"_pl,
      "Błąd przy próbie kopiowania pliku"_pl,
      "Błąd przy próbie zmiany nazwy pliku"_pl,
      "Błąd przy próbie usunięcia pliku"_pl,
      "Błąd przy próbie sprawdzenia możliwości otwarcia wymaganej liczby plików"_pl,
  };
  if (operation < 1 || operation > 17) return "";
  return kTexts[operation - 1];
}

namespace {

// The common errors in the program's own words; others keep the system's text.
const char* PolishSystemErrorText(int error) {
  switch (error) {
    case EBUSY:
    case EAGAIN:
    case ETXTBSY: return "Plik jest używany przez inny program."_pl;
    case ENOSPC:
    case EDQUOT: return "Brak miejsca na dysku."_pl;
    case EACCES:
    case EPERM: return "Brak uprawnień do pliku."_pl;
    case EROFS: return "Dysk jest tylko do odczytu."_pl;
    case ENOENT: return "Plik nie istnieje."_pl;
    case EIO: return "Błąd odczytu lub zapisu na dysku."_pl;
    default: return nullptr;
  }
}

}  // namespace

std::string FileErrorMessage(const char* file_name, int operation, int error_kind,
                             int system_error) {
  std::string m = FileOperationText(operation);
  if (file_name && *file_name) {
    m += ' ';
    m += file_name;
  }
  m += '.';
  std::string detail;
  if (error_kind == kFileErrNoName) detail = "Brak nazwy pliku."_pl;
  else if (error_kind == kFileErrClosed) detail = "Próba operacji na zamkniętym pliku."_pl;
  else if (error_kind == kFileErrSystem && PolishSystemErrorText(system_error)) {
    detail = PolishSystemErrorText(system_error);
  } else if (error_kind == kFileErrSystem) {
    // The system's text (in the user's locale, UTF-8) without line breaks.
    char buf[256];
    const char* s = strerror_r(system_error, buf, sizeof buf);
    detail = Utf8ToCp1250(s ? s : "");
    for (char& c : detail)
      if (c == '\n' || c == '\r') c = ' ';
  }
  if (!detail.empty()) m += "\n\n" + detail;
  return m;
}

int CheckFileSharing(const std::string& path_in_dir) {
  std::string name = TakeTemporaryName(path_in_dir);
  if (name.empty()) return -1;
  int fd = g_fs->Open(name.c_str(), kAccessReadWrite, 0, false);
  int rc = -1;
  if (fd >= 0) {
    rc = g_fs->Lock(fd, kLockExclusive, 0, 1) == 0 && g_fs->Lock(fd, kLockRelease, 0, 1) == 0 ? 0
                                                                                              : -1;
    g_fs->Close(fd);
  }
  g_fs->Unlink(name.c_str());
  return rc;
}

std::string TakeTemporaryName(const std::string& path_in_dir, bool report) {
  std::string dir = DirectoryOf(path_in_dir);
  char name[32];
  int err = EEXIST;
  for (unsigned long n = 1; n <= 999999; ++n) {
    std::snprintf(name, sizeof name, "%06lu.tmp", n);
    std::string full = dir + name;
    int fd = g_fs->Open(full.c_str(), kAccessWrite, 2, false);
    if (fd >= 0) {
      g_fs->Close(fd);
      return full;
    }
    if (errno != EEXIST) {
      err = errno;
      break;
    }
  }
  if (report && CFILE::Handler())
    CFILE::Handler()->Report((dir + "000001.tmp").c_str(), kFileOpOpen, kFileErrSystem, err);
  return std::string();
}

int ListTemporaryNames(const std::string& path_in_dir, std::vector<std::string>* names) {
  std::string dir = DirectoryOf(path_in_dir);
  std::vector<std::string> all;
  names->clear();
  if (g_fs->List(dir.c_str(), &all) != 0) return -1;
  for (const std::string& n : all) {
    if (n.size() != 10 || n.compare(6, 4, ".tmp") != 0) continue;
    if (n.find_first_not_of("0123456789") != 6) continue;
    names->push_back(dir + n);
  }
  return 0;
}
