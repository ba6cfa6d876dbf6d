#include "platform/cfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <vector>

#include "common/text.h"

namespace {

CFILE::HANDLER* g_handler = nullptr;

// Sharing modes are held as an OFD lock on this byte, far beyond any data the program writes.
constexpr off_t kShareLockOffset = static_cast<off_t>(1) << 62;

struct Fault {
  int operation = -1;  // -1: none armed
  long countdown = 0;
  bool from_then_on = false;
  bool tripped = false;
} g_fault;

// True when the armed fault hits this operation; sets errno like the system would.
bool FaultHits(int operation) {
  if (g_fault.operation < 0) return false;
  if (g_fault.operation != 0 && g_fault.operation != operation) return false;
  if (g_fault.tripped) {
    if (!g_fault.from_then_on) return false;
    errno = EIO;
    return true;
  }
  if (--g_fault.countdown > 0) return false;
  g_fault.tripped = true;
  errno = EIO;
  return true;
}

int OfdLock(int fd, short type, off_t offset, off_t length) {
  struct flock fl {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = offset;
  fl.l_len = length;
  return fcntl(fd, F_OFD_SETLK, &fl);
}

}  // namespace

void SetFileFault(int operation, long nth, bool from_then_on) {
  g_fault = Fault{operation, nth < 1 ? 1 : nth, from_then_on, false};
}

void ClearFileFault() { g_fault = Fault{}; }

void CFILE::SetHandler(HANDLER* handler) { g_handler = handler; }
CFILE::HANDLER* CFILE::Handler() { return g_handler; }

CFILE::~CFILE() {
  if (fd_ >= 0) ::close(fd_);
}

int CFILE::Fail(int operation, int error_kind, int system_error) const {
  if (g_handler) g_handler->Report(name_.c_str(), operation, error_kind, system_error);
  return -1;
}

int CFILE::Close() {
  if (fd_ < 0) return 0;
  int fd = fd_;
  fd_ = -1;
  // The descriptor is released either way: Linux never leaves it open after close().
  if (FaultHits(kFileOpClose)) {
    ::close(fd);
    return Fail(kFileOpClose, kFileErrSystem, EIO);
  }
  if (::close(fd) != 0) return Fail(kFileOpClose, kFileErrSystem, errno);
  return 0;
}

int CFILE::Flush() {
  if (fd_ < 0) return Fail(kFileOpFlush, kFileErrClosed);
  if (FaultHits(kFileOpFlush) || ::fsync(fd_) != 0) return Fail(kFileOpFlush, kFileErrSystem, errno);
  return 0;
}

int CFILE::Open(const char* name, int disposition, int access, int sharing, int attributes) {
  if (fd_ >= 0) Close();
  name_ = name ? name : "";
  if (name_.empty()) return Fail(kFileOpOpen, kFileErrNoName);
  int flags = O_CLOEXEC;
  switch (access) {
    case kAccessRead: flags |= O_RDONLY; break;
    // Write-only handles are opened for reading too where the file allows it, so that they can
    // carry the shared lock of their sharing mode.
    case kAccessWrite:
    default: flags |= O_RDWR; break;
  }
  switch (disposition) {
    case kOpenExisting: break;
    case kOpenAlways: flags |= O_CREAT; break;
    case kCreateNew: flags |= O_CREAT | O_EXCL; break;
    case kCreateAlways: flags |= O_CREAT | O_TRUNC; break;
    case kTruncateExisting: flags |= O_TRUNC; break;
    default: break;
  }
  mode_t mode = (attributes & kAttrReadOnly) ? 0444 : 0666;
  if (FaultHits(kFileOpOpen)) return Fail(kFileOpOpen, kFileErrSystem, errno);
  // Truncation waits until the sharing lock is held, so that a refused open changes nothing.
  int fd = ::open(name_.c_str(), flags & ~O_TRUNC, mode);
  if (fd < 0 && access == kAccessWrite && (errno == EACCES || errno == EPERM))
    fd = ::open(name_.c_str(), (flags & ~(O_RDWR | O_TRUNC)) | O_WRONLY, mode);
  if (fd < 0) return Fail(kFileOpOpen, kFileErrSystem, errno);
  int acc = fcntl(fd, F_GETFL) & O_ACCMODE;
  short type;
  if (sharing == kShareNone)
    type = acc == O_RDONLY ? F_RDLCK : F_WRLCK;  // a read-only handle cannot hold a write lock
  else
    type = acc == O_WRONLY ? F_WRLCK : F_RDLCK;
  if (OfdLock(fd, type, kShareLockOffset, 1) != 0) {
    int err = errno == EAGAIN ? EBUSY : errno;
    ::close(fd);
    return Fail(kFileOpOpen, kFileErrSystem, err);
  }
  if ((flags & O_TRUNC) && ::ftruncate(fd, 0) != 0) {
    int err = errno;
    ::close(fd);
    return Fail(kFileOpOpen, kFileErrSystem, err);
  }
  fd_ = fd;
  return 0;
}

long CFILE::Read(void* buffer, size_t count) {
  if (fd_ < 0) return Fail(kFileOpRead, kFileErrClosed);
  if (FaultHits(kFileOpRead)) return Fail(kFileOpRead, kFileErrSystem, errno);
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::read(fd_, static_cast<char*>(buffer) + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(kFileOpRead, kFileErrSystem, errno);
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<long>(done);
}

long CFILE::ReadAt(int64_t offset, void* buffer, size_t count) {
  if (fd_ < 0) return Fail(kFileOpRead, kFileErrClosed);
  if (FaultHits(kFileOpSeek)) return Fail(kFileOpSeek, kFileErrSystem, errno);
  if (FaultHits(kFileOpRead)) return Fail(kFileOpRead, kFileErrSystem, errno);
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::pread(fd_, static_cast<char*>(buffer) + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(kFileOpRead, kFileErrSystem, errno);
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<long>(done);
}

long CFILE::Write(const void* buffer, size_t count) {
  if (fd_ < 0) return Fail(kFileOpWrite, kFileErrClosed);
  if (FaultHits(kFileOpWrite)) return Fail(kFileOpWrite, kFileErrSystem, errno);
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(kFileOpWrite, kFileErrSystem, errno);
    }
    done += static_cast<size_t>(n);
  }
  return static_cast<long>(done);
}

int64_t CFILE::Seek(int64_t offset, int origin) {
  if (fd_ < 0) return Fail(kFileOpSeek, kFileErrClosed);
  if (FaultHits(kFileOpSeek)) return Fail(kFileOpSeek, kFileErrSystem, errno);
  off_t r = ::lseek(fd_, static_cast<off_t>(offset), origin);
  if (r < 0) return Fail(kFileOpSeek, kFileErrSystem, errno);
  return r;
}

int64_t CFILE::Tell() {
  if (fd_ < 0) return Fail(kFileOpTell, kFileErrClosed);
  off_t r = ::lseek(fd_, 0, SEEK_CUR);
  if (r < 0) return Fail(kFileOpTell, kFileErrSystem, errno);
  return r;
}

int64_t CFILE::Size() {
  if (fd_ < 0) return Fail(kFileOpSize, kFileErrClosed);
  struct stat st;
  if (FaultHits(kFileOpSize) || ::fstat(fd_, &st) != 0) return Fail(kFileOpSize, kFileErrSystem, errno);
  return st.st_size;
}

int CFILE::SetSize(int64_t size) {
  if (fd_ < 0) return Fail(kFileOpSetSize, kFileErrClosed);
  if (FaultHits(kFileOpSetSize) || size < 0 || ::ftruncate(fd_, static_cast<off_t>(size)) != 0)
    return Fail(kFileOpSetSize, kFileErrSystem, size < 0 ? EINVAL : errno);
  return 0;
}

int CFILE::GetDate(time_t* when) {
  if (fd_ < 0) return Fail(kFileOpGetDate, kFileErrClosed);
  struct stat st;
  if (::fstat(fd_, &st) != 0) return Fail(kFileOpGetDate, kFileErrSystem, errno);
  *when = st.st_mtime;
  return 0;
}

int CFILE::SetDate(time_t when) {
  if (fd_ < 0) return Fail(kFileOpSetDate, kFileErrClosed);
  struct timespec times[2];
  times[0].tv_sec = when;
  times[0].tv_nsec = 0;
  times[1] = times[0];
  if (::futimens(fd_, times) != 0) return Fail(kFileOpSetDate, kFileErrSystem, errno);
  return 0;
}

int CFILE::Lock(int64_t offset, int64_t length, bool exclusive) {
  if (fd_ < 0) return Fail(kFileOpLock, kFileErrClosed);
  if (FaultHits(kFileOpLock) || OfdLock(fd_, exclusive ? F_WRLCK : F_RDLCK, offset, length) != 0)
    return Fail(kFileOpLock, kFileErrSystem, errno);
  return 0;
}

int CFILE::Unlock(int64_t offset, int64_t length) {
  if (fd_ < 0) return Fail(kFileOpUnlock, kFileErrClosed);
  if (FaultHits(kFileOpUnlock) || OfdLock(fd_, F_UNLCK, offset, length) != 0)
    return Fail(kFileOpUnlock, kFileErrSystem, errno);
  return 0;
}

int CFILE::Copy(const char* target) {
  if (name_.empty()) return Fail(kFileOpCopy, kFileErrNoName);
  int rc, err;
  {
    QUIET quiet;  // one report, for the copy as a whole
    CFILE in, out;
    rc = in.Open(name_.c_str(), kOpenExisting, kAccessRead, kShareReadWrite);
    if (rc == 0) rc = out.Open(target, kCreateAlways, kAccessWrite, kShareNone);
    std::vector<char> buf(65536);
    while (rc == 0) {
      long n = in.Read(buf.data(), buf.size());
      if (n < 0) { rc = -1; break; }
      if (n == 0) break;
      if (out.Write(buf.data(), static_cast<size_t>(n)) != n) rc = -1;
    }
    err = errno;
    if (out.Close() != 0) rc = -1;
    in.Close();
  }
  if (rc != 0) {
    ::unlink(target);
    return Fail(kFileOpCopy, kFileErrSystem, err);
  }
  return 0;
}

int CFILE::Rename(const char* new_name, bool replace) {
  if (name_.empty() || !new_name || !*new_name) return Fail(kFileOpRename, kFileErrNoName);
  if (FaultHits(kFileOpRename)) return Fail(kFileOpRename, kFileErrSystem, errno);
  // rename() replaces atomically; without the flag an existing target is refused, as on Windows.
  int r = replace ? ::rename(name_.c_str(), new_name) : ::renameat2(AT_FDCWD, name_.c_str(), AT_FDCWD, new_name, RENAME_NOREPLACE);
  if (r != 0 && !replace && errno == EINVAL) {
    // File systems without RENAME_NOREPLACE: link then unlink keeps the refusal atomic.
    r = ::link(name_.c_str(), new_name);
    if (r == 0) r = ::unlink(name_.c_str());
  }
  if (r != 0) return Fail(kFileOpRename, kFileErrSystem, errno);
  name_ = new_name;
  return 0;
}

int CFILE::Delete() {
  if (name_.empty()) return Fail(kFileOpDelete, kFileErrNoName);
  if (fd_ >= 0) Close();
  if (FaultHits(kFileOpDelete) || ::unlink(name_.c_str()) != 0) return Fail(kFileOpDelete, kFileErrSystem, errno);
  return 0;
}

bool CFILE::Exists(const char* name) {
  struct stat st;
  return name && *name && ::stat(name, &st) == 0;
}

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
    int fd = FaultHits(kFileOpCheckHandles) ? -1 : ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) { err = errno; break; }
    fds.push_back(fd);
  }
  for (int fd : fds) ::close(fd);
  ::unlink(name.c_str());
  if (static_cast<int>(fds.size()) < n) return probe.Fail(kFileOpCheckHandles, kFileErrSystem, err);
  return 0;
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

std::string FileErrorMessage(const char* file_name, int operation, int error_kind, int system_error) {
  std::string m = FileOperationText(operation);
  if (file_name && *file_name) {
    m += ' ';
    m += file_name;
  }
  m += '.';
  std::string detail;
  if (error_kind == kFileErrNoName) detail = "Brak nazwy pliku."_pl;
  else if (error_kind == kFileErrClosed) detail = "Próba operacji na zamkniętym pliku."_pl;
  else if (error_kind == kFileErrSystem) {
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
  int fd = ::open(name.c_str(), O_RDWR | O_CLOEXEC);
  int rc = -1;
  if (fd >= 0) {
    rc = OfdLock(fd, F_WRLCK, 0, 1) == 0 && OfdLock(fd, F_UNLCK, 0, 1) == 0 ? 0 : -1;
    ::close(fd);
  }
  ::unlink(name.c_str());
  return rc;
}

std::string TakeTemporaryName(const std::string& path_in_dir) {
  std::string dir;
  size_t slash = path_in_dir.rfind('/');
  if (slash != std::string::npos) dir = path_in_dir.substr(0, slash + 1);
  char name[32];
  for (unsigned long n = 1; n <= 999999; ++n) {
    std::snprintf(name, sizeof name, "%06lu.tmp", n);
    std::string full = dir + name;
    int fd = ::open(full.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      return full;
    }
    if (errno != EEXIST) return std::string();
  }
  return std::string();
}
