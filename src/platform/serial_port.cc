#include "platform/serial_port.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

std::string g_lock_dir;
bool g_lock_dir_set = false;

speed_t SpeedOf(int baud) {
  switch (baud) {
    case 110: return B110;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    default: return 0;
  }
}

bool Gone(int system_error) {
  return system_error == EIO || system_error == ENXIO || system_error == ENODEV ||
         system_error == EPIPE || system_error == EBADF;
}

// The process number in a lock file, or 0 when it cannot be read.
long LockOwner(const std::string& name) {
  int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  char buf[32] = {};
  ssize_t n = ::read(fd, buf, sizeof buf - 1);
  ::close(fd);
  if (n <= 0) return 0;
  return std::strtol(buf, nullptr, 10);
}

bool ProcessRuns(long pid) {
  return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

}  // namespace

void SetSerialLockDirectory(const std::string& dir) {
  g_lock_dir = dir;
  g_lock_dir_set = !dir.empty();
}

const std::string& SerialLockDirectory() {
  if (!g_lock_dir_set) {
    g_lock_dir.clear();
    for (const char* d : {"/run/lock", "/var/lock"})
      if (::access(d, W_OK | X_OK) == 0) {
        g_lock_dir = d;
        break;
      }
  }
  return g_lock_dir;
}

std::string SerialLockName(const std::string& device_path) {
  std::string name = device_path.rfind("/dev/", 0) == 0 ? device_path.substr(5) : device_path;
  for (char& c : name)
    if (c == '/') c = '_';
  return "LCK.." + name;
}

void SerialPause(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

SerialResult SERIAL_LINE::Open(const std::string& path) {
  if (fd_ >= 0) return kSerialOk;
  error_ = kSerialNoError;
  // The lock file first, as serial tools do: a line another program holds is not even opened
  // (opening may move its modem lines).
  if (LockFile(path) != 0) return kSerialBusy;
  SerialResult result = kSerialOk;
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    result = errno == EBUSY ? kSerialBusy
             : errno == ENOENT || errno == ENXIO || errno == ENODEV || errno == ENOTDIR
                 ? kSerialNoDevice
                 : kSerialFailed;
  } else if (!::isatty(fd)) {
    result = kSerialNoDevice;
  } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    result = errno == EWOULDBLOCK ? kSerialBusy : kSerialFailed;
  }
  if (result != kSerialOk) {
    if (fd >= 0) ::close(fd);
    UnlockFile();
    return result;
  }
  ::ioctl(fd, TIOCEXCL);
  fd_ = fd;
  counts_known_ = false;
  LineErrorsGrew(nullptr);  // the driver's counters from here on
  return kSerialOk;
}

int SERIAL_LINE::Configure(const SERIAL_SETTINGS& s) {
  if (fd_ < 0) return -1;
  termios t;
  if (::tcgetattr(fd_, &t) != 0) return -1;
  ::cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD;
  t.c_cflag &= ~CRTSCTS;
  t.c_iflag &= ~(IXON | IXOFF | IXANY);
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  if (speed_t sp = SpeedOf(s.baud)) {
    ::cfsetispeed(&t, sp);
    ::cfsetospeed(&t, sp);
  }
  if (s.data_bits >= 5 && s.data_bits <= 8) {
    static const tcflag_t kSizes[4] = {CS5, CS6, CS7, CS8};
    t.c_cflag = (t.c_cflag & ~CSIZE) | kSizes[s.data_bits - 5];
  }
  if (s.parity == 'N') t.c_cflag &= ~(PARENB | PARODD);
  if (s.parity == 'E') t.c_cflag = (t.c_cflag | PARENB) & ~PARODD;
  if (s.parity == 'O') t.c_cflag |= PARENB | PARODD;
  if (s.stop_bits == 1) t.c_cflag &= ~CSTOPB;
  if (s.stop_bits == 2) t.c_cflag |= CSTOPB;
  if (::tcsetattr(fd_, TCSANOW, &t) == 0) return 0;
  // Pseudo-terminals and some virtual ports carry whole bytes and put parity and character
  // size back as they were (the C library then reports a failure). Such a line is taken as it
  // is; any other refusal is one.
  termios now;
  if (::tcgetattr(fd_, &now) != 0) return -1;
  const tcflag_t frame = PARENB | PARODD | CSIZE | CMSPAR;
  return (now.c_cflag & ~frame) == (t.c_cflag & ~frame) && now.c_iflag == t.c_iflag &&
                 now.c_oflag == t.c_oflag && now.c_lflag == t.c_lflag
             ? 0
             : -1;
}

void SERIAL_LINE::Close(int drain_timeout_ms) {
  if (fd_ < 0) return;
  // Whatever is still on its way to the device goes out first (a cancelled receipt must reach
  // the printer); only a line that does not drain in time is cut, so that close never waits
  // the driver's own half minute.
  if (!DrainOutput(drain_timeout_ms)) DiscardOutput();
  DiscardInput();
  ::ioctl(fd_, TIOCNXCL);
  ::close(fd_);
  fd_ = -1;
  UnlockFile();
}

void SERIAL_LINE::NoteError(int system_error) {
  error_ = Gone(system_error) ? kSerialGone : kSerialIoError;
}

// Compares the driver's error counters with those seen last. Devices without counters (USB
// adapters of some kinds, pseudo-terminals) never report line errors this way.
bool SERIAL_LINE::LineErrorsGrew(SerialError* which) {
  serial_icounter_struct c{};
  if (fd_ < 0 || ::ioctl(fd_, TIOCGICOUNT, &c) != 0) return false;
  const int line = c.frame + c.overrun + c.parity + c.brk;
  const int over = c.buf_overrun;
  const bool grew = counts_known_ && (line != line_errors_ || over != overflows_);
  if (grew && which) *which = over != overflows_ ? kSerialOverflow : kSerialLineError;
  counts_known_ = true;
  line_errors_ = line;
  overflows_ = over;
  return grew;
}

int SERIAL_LINE::Read(uint8_t* byte) {
  if (fd_ < 0) {
    error_ = kSerialGone;
    return -1;
  }
  ssize_t n = ::read(fd_, byte, 1);
  if (n == 1) return 1;
  if (n < 0 && errno != EAGAIN && errno != EINTR) {
    NoteError(errno);
    return -1;
  }
  pollfd p{fd_, POLLIN, 0};
  if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) {
    error_ = kSerialGone;
    return -1;
  }
  SerialError which = kSerialNoError;
  if (LineErrorsGrew(&which)) {
    error_ = which;
    return -1;
  }
  return 0;
}

int SERIAL_LINE::Write(uint8_t byte, int timeout_ms) {
  if (fd_ < 0) {
    error_ = kSerialGone;
    return -1;
  }
  for (int attempt = 0; attempt < 2; ++attempt) {
    ssize_t n = ::write(fd_, &byte, 1);
    if (n == 1) return 1;
    if (n < 0 && errno != EAGAIN && errno != EINTR) {
      NoteError(errno);
      return -1;
    }
    pollfd p{fd_, POLLOUT, 0};
    if (::poll(&p, 1, timeout_ms) <= 0) break;
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
      error_ = kSerialGone;
      return -1;
    }
  }
  error_ = kSerialIoError;
  return -1;
}

bool SERIAL_LINE::WaitInput(int timeout_ms) {
  if (fd_ < 0) return false;
  pollfd p{fd_, POLLIN, 0};
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    until - std::chrono::steady_clock::now())
                                    .count());
    int r = ::poll(&p, 1, left < 0 ? 0 : left);
    if (r > 0) {
      // A hang-up answers at once: the next read tells the caller the device is gone.
      return true;
    }
    if (r == 0 || errno != EINTR) return false;
  }
}

bool SERIAL_LINE::DrainOutput(int timeout_ms) {
  if (fd_ < 0) return true;
  for (int waited = 0;; waited += 5) {
    int queued = 0;
    if (::ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued <= 0) return true;
    if (waited >= timeout_ms) return false;
    SerialPause(5);
  }
}

void SERIAL_LINE::DiscardInput() {
  if (fd_ >= 0) ::tcflush(fd_, TCIFLUSH);
}

void SERIAL_LINE::DiscardOutput() {
  if (fd_ >= 0) ::tcflush(fd_, TCOFLUSH);
}

int SERIAL_LINE::ModemLines() {
  int bits = 0;
  if (fd_ < 0 || ::ioctl(fd_, TIOCMGET, &bits) != 0) return -1;
  int lines = 0;
  if (bits & TIOCM_DTR) lines |= kModemDtr;
  if (bits & TIOCM_RTS) lines |= kModemRts;
  if (bits & TIOCM_CTS) lines |= kModemCts;
  if (bits & TIOCM_DSR) lines |= kModemDsr;
  return lines;
}

int SERIAL_LINE::SetModemLine(int line, bool on) {
  int bits = line == kModemDtr ? TIOCM_DTR : line == kModemRts ? TIOCM_RTS : 0;
  if (fd_ < 0 || bits == 0) return -1;
  return ::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits) == 0 ? 0 : -1;
}

// 0 locked (or no lock file possible: flock and TIOCEXCL still hold), -1 another live process
// holds the lock.
// The file is written under a temporary name and linked into place, so nobody ever reads a
// half-written lock.
int SERIAL_LINE::LockFile(const std::string& path) {
  const std::string& dir = SerialLockDirectory();
  if (dir.empty()) return 0;
  const std::string name = dir + "/" + SerialLockName(path);
  char tmp_name[64];
  std::snprintf(tmp_name, sizeof tmp_name, "/LTMP.%ld", static_cast<long>(::getpid()));
  const std::string tmp = dir + tmp_name;
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return 0;  // a lock directory we may not write in: flock and TIOCEXCL remain
  char text[16];
  int len = std::snprintf(text, sizeof text, "%10ld\n", static_cast<long>(::getpid()));
  const bool written = ::write(fd, text, static_cast<size_t>(len)) == len && ::fsync(fd) == 0;
  ::close(fd);
  int result = 0;
  for (int attempt = 0; written && attempt < 2; ++attempt) {
    if (::link(tmp.c_str(), name.c_str()) == 0) {
      lock_path_ = name;
      result = 0;
      break;
    }
    if (errno != EEXIST) {
      result = 0;  // links refused by the file system: go on without the file
      break;
    }
    const long owner = LockOwner(name);
    if (ProcessRuns(owner)) {
      result = -1;
      break;
    }
    ::unlink(name.c_str());  // left behind by a program that ended without removing it
  }
  ::unlink(tmp.c_str());
  return result;
}

void SERIAL_LINE::UnlockFile() {
  if (lock_path_.empty()) return;
  if (LockOwner(lock_path_) == static_cast<long>(::getpid())) ::unlink(lock_path_.c_str());
  lock_path_.clear();
}
