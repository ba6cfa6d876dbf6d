// A serial line on a device path: termios in raw mode, non-blocking, one byte at a time.
//
// Opening takes the line for this program alone, the way serial tools do: an exclusive flock on
// the device, TIOCEXCL (which keeps other users' opens out; root passes it) and a UUCP lock file
// "LCK..<name>" holding our process number in the lock directory (/run/lock or /var/lock, when
// writable). A lock file of a process that no longer runs is taken over.
//
//   SERIAL_LINE line;
//   if (line.Open("/dev/ttyUSB0") == kSerialOk && line.Configure({9600, 8, 'N', 1}) == 0) ...
//   uint8_t b; if (line.Read(&b) == 1) ...;  line.WaitInput(200);
//
// Nothing here blocks for longer than the time a call is given. A device that goes away (a USB
// adapter pulled out, the far end of a pseudo-terminal closed) answers every later call with
// kSerialGone.
#pragma once

#include <cstdint>
#include <string>

enum SerialResult {
  kSerialOk = 0,
  kSerialNoDevice = -1,  // the path does not exist or is not a terminal
  kSerialBusy = -2,      // another program holds the line
  kSerialFailed = -3,    // any other refusal of the system
};

// What went wrong with the last read or write.
enum SerialError {
  kSerialNoError = 0,
  kSerialGone,       // the device is no longer there
  kSerialLineError,  // overrun, parity, framing or break seen by the driver
  kSerialOverflow,   // the driver's receive buffer overflowed
  kSerialIoError,    // any other failure
};

// Zero (or an unknown value) in a field keeps what the line has: baud rates other than 110, 300,
// 600, 1200, 2400, 4800, 9600 and 19200, data bits outside 5..8, parity other than 'N', 'O'
// and 'E', stop bits other than 1 and 2.
struct SERIAL_SETTINGS {
  int baud;
  int data_bits;
  char parity;
  int stop_bits;
};

// Modem lines for ModemLines and SetModemLine.
enum SerialModemLine { kModemDtr = 1, kModemRts = 2, kModemCts = 4, kModemDsr = 8 };

class SERIAL_LINE {
 public:
  SERIAL_LINE() = default;
  ~SERIAL_LINE() { Close(); }
  SERIAL_LINE(const SERIAL_LINE&) = delete;
  SERIAL_LINE& operator=(const SERIAL_LINE&) = delete;

  SerialResult Open(const std::string& path);
  // Raw mode, no flow control of the driver, receiver on, modem status ignored; then the given
  // settings. 0 or -1.
  int Configure(const SERIAL_SETTINGS& settings);
  bool IsOpen() const { return fd_ >= 0; }
  // Lets the output go out (at most timeout_ms), discards the input and closes; the lock file
  // goes with it.
  void Close(int drain_timeout_ms = 2000);

  // 1 a byte was read, 0 nothing is waiting, -1 failure (LastError says which).
  int Read(uint8_t* byte);
  // 1 written, -1 failure. A full output buffer is waited for at most timeout_ms.
  int Write(uint8_t byte, int timeout_ms = 1000);
  // Waits until a byte can be read or the time is up; true when one can.
  bool WaitInput(int timeout_ms);
  // Waits until the output has gone out, at most timeout_ms; true when it has.
  bool DrainOutput(int timeout_ms);
  void DiscardInput();
  void DiscardOutput();
  SerialError LastError() const { return error_; }

  // The modem lines as kModem... bits, or -1 when the device has none (a pseudo-terminal,
  // some virtual ports).
  int ModemLines();
  // Raises or drops DTR or RTS; -1 when the device has no modem lines.
  int SetModemLine(int line, bool on);

 private:
  void NoteError(int system_error);
  bool LineErrorsGrew(SerialError* which);
  int LockFile(const std::string& path);
  void UnlockFile();

  int fd_ = -1;
  std::string lock_path_;
  SerialError error_ = kSerialNoError;
  bool counts_known_ = false;
  int line_errors_ = 0;
  int overflows_ = 0;
};

// Where the lock files go; an empty text restores the default (tests use a folder of their own).
void SetSerialLockDirectory(const std::string& dir);
const std::string& SerialLockDirectory();

// The lock file name of a device path: "/dev/ttyS0" -> "LCK..ttyS0", "/dev/pts/3" -> "LCK..pts_3".
std::string SerialLockName(const std::string& device_path);

// Sleeps for ms milliseconds.
void SerialPause(int ms);
