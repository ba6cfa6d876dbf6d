#include "devices/port.h"

#include <cstdio>

#include "platform/inifile.h"

std::string PortPath(int port) {
  char key[8], fallback[32];
  std::snprintf(key, sizeof key, "COM%d", port);
  std::snprintf(fallback, sizeof fallback, "/dev/ttyS%d", port - 1);
  std::string path = fallback;
  INIFILE(ConfigPath()).GetString("Ports", key, &path);
  return path;
}

PORTCOM::PORTCOM() = default;

PORTCOM::~PORTCOM() {
  if (opened_) close();
}

int PORTCOM::openDefault(int port) { return open(port, PortSettings{}); }

int PORTCOM::open(int port, const PortSettings& s) {
  if (opened_) return kDevOk;
  if (port < 1 || port > 9) return kDevInitFailed;
  port_ = port;
  std::snprintf(name_, sizeof name_, "COM%d", port);
  const int rc = rawOpen(PortPath(port), s);
  if (rc != 0) return rc;
  rawDiscardInput();
  opened_ = 1;
  stopped_ = 0;
  held_ = 0;
  return kDevOk;
}

int PORTCOM::close() {
  if (!opened_) return kDevInitFailed;
  rawClose();
  opened_ = 0;
  stopped_ = 0;
  held_ = 0;
  return kDevOk;
}

int PORTCOM::setWaits(int32_t first, int32_t second) {
  waits_[0] = first;
  waits_[1] = second;
  return kDevOk;
}

int PORTCOM::readByte(uint8_t* byte) {
  if (!opened_) return kDevInitFailed;
  if (held_) {
    held_ = 0;
    *byte = heldByte_;
    return kDevOk;
  }
  const int rc = rawRead(byte);
  if (rc == 1) return kDevOk;
  return rc == 0 ? kDevNothingReceived : rc;
}

int PORTCOM::readData(uint8_t* byte) {
  for (;;) {
    const int rc = readByte(byte);
    if (rc != kDevOk) return rc;
    if (*byte == xoff_) stopped_ = 1;
    else if (*byte == xon_) stopped_ = 0;
    else return kDevOk;
  }
}

int PORTCOM::writeByte(uint8_t byte) {
  if (!opened_) return kDevInitFailed;
  return rawWrite(byte);
}

int PORTCOM::lineState(int kind) {
  if (!opened_) return kDevInitFailed;
  if (kind == 1) {
    // One held byte is enough: reading on would lose it.
    if (held_) return stopped_ ? 0 : 1;
    uint8_t b;
    if (rawRead(&b) != 1) return stopped_ ? 0 : 1;
    if (b == xoff_) {
      stopped_ = 1;
      return 0;
    }
    if (b == xon_) {
      stopped_ = 0;
      return 1;
    }
    if (stopped_) return 0;  // data while stopped is dropped
    held_ = 1;
    heldByte_ = b;
    return 1;
  }
  const int lines = rawModem();
  // A port without modem lines (a virtual one) has nothing to wait for: clear to send, and no
  // data set signalling busy.
  if (kind == 2) return lines < 0 ? 0 : (lines & kModemDsr) ? 1 : 0;
  if (kind == 3) return lines < 0 ? 1 : (lines & kModemCts) ? 1 : 0;
  return 0;
}

int PORTCOM::setLine(int value, int kind) {
  if (!opened_) return kDevOk;
  switch (kind) {
    case 1: return rawWrite(value ? xon_ : xoff_);
    case 2: rawSetModem(kModemDtr, value != 0); return kDevOk;
    case 3: rawSetModem(kModemRts, value != 0); return kDevOk;
    default: return kDevOk;
  }
}

void PORTCOM::purge() {
  if (!opened_) return;
  held_ = 0;
  rawDiscardInput();
}

void PORTCOM::waitInput(int ms) {
  if (held_) return;
  rawWait(ms);
}

void PORTCOM::pause(int ms) { rawPause(ms); }

int PORTCOM::rawOpen(const std::string& path, const PortSettings& s) {
  const SerialResult r = line_.Open(path);
  if (r == kSerialBusy) return kDevPortBusy;
  if (r != kSerialOk) return kDevInitFailed;
  // 150 baud, and mark and space parity, keep what the port has.
  SERIAL_SETTINGS ss{};
  ss.baud = s.baud == 150 ? 0 : s.baud;
  ss.data_bits = s.dataBits;
  ss.parity = s.parity == kParityNone   ? 'N'
              : s.parity == kParityOdd  ? 'O'
              : s.parity == kParityEven ? 'E'
                                        : 0;
  ss.stop_bits = s.stopBits;
  if (line_.Configure(ss) != 0) {
    line_.Close(0);
    return kDevInitFailed;
  }
  return kDevOk;
}

void PORTCOM::rawClose() { line_.Close(); }

static int PortError(SerialError e, int otherwise) {
  switch (e) {
    case kSerialGone:
    case kSerialLineError: return kDevLineError;
    case kSerialOverflow: return kDevPortOverflow;
    default: return otherwise;
  }
}

int PORTCOM::rawRead(uint8_t* byte) {
  const int r = line_.Read(byte);
  return r >= 0 ? r : PortError(line_.LastError(), kDevNothingReceived);
}

int PORTCOM::rawWrite(uint8_t byte) {
  if (line_.Write(byte) == 1) return kDevOk;
  return line_.LastError() == kSerialGone ? kDevWriteFailed
                                          : PortError(line_.LastError(), kDevWriteFailed);
}

void PORTCOM::rawDiscardInput() { line_.DiscardInput(); }
int PORTCOM::rawModem() { return line_.ModemLines(); }
void PORTCOM::rawSetModem(int line, bool on) { line_.SetModemLine(line, on); }
void PORTCOM::rawWait(int ms) { line_.WaitInput(ms); }
void PORTCOM::rawPause(int ms) { SerialPause(ms); }
