// Serial ports: docs/formats/serial-ports.md.
// Communication ports: the abstract PORT and its one implementation PORTCOM, a serial port
// COM1 to COM9. Each COMn stands for a device path named in Tamsu.ini, section "Ports", key
// "COMn" (default /dev/ttyS0 for COM1, /dev/ttyS1 for COM2, and so on; a USB adapter is
// typically /dev/ttyUSB0).
//
// Bytes move one per call and no call waits: a read with nothing there answers 28 at once.
// Software flow control is ours: lineState(1) looks at one incoming byte, notes XOFF and XON,
// and keeps a data byte for the next readByte.
//
//   PORTCOM com;
//   if (com.open(2, PortSettings{19200, 8, kParityEven, 1}) == 0) { com.writeByte(0x05); ... }
//
// All results are the device codes of devices/device.h: 18 not open, bad port number or
// settings refused; 28 nothing received; 29 write failed; 30 line error (or the device went
// away); 31 buffer overflow; 32 another program holds the port.
#pragma once

#include <cstdint>
#include <string>

#include "devices/device.h"
#include "platform/serial_port.h"

// Parity codes as the line-control register of the 8250 family carries them (bits 3 to 5).
enum ParityCode {
  kParityNone = 0,
  kParityOdd = 8,
  kParityEven = 24,
  kParityMark = 40,
  kParitySpace = 56
};

struct PortSettings {
  int32_t baud = 9600;
  int32_t dataBits = 8;
  int32_t parity = kParityNone;
  int32_t stopBits = 1;
};

class PORT : public DEVICE {
 public:
  virtual int openDefault(int port) = 0;
  virtual int writeByte(uint8_t byte) = 0;
  virtual int readByte(uint8_t* byte) = 0;
  virtual int close() = 0;
  virtual int open(int port, const PortSettings& settings) = 0;
  virtual int setWaits(int32_t first, int32_t second) = 0;
  // 1 may send (XON/XOFF poll), 2 DSR, 3 CTS: 1 or 0.
  virtual int lineState(int kind) = 0;
  // Kind 1 sends XON (value nonzero) or XOFF; 2 raises or drops DTR; 3 RTS.
  virtual int setLine(int value, int kind) = 0;
};

class PORTCOM : public PORT {
 public:
  static constexpr uint8_t kXon = 0x11;
  static constexpr uint8_t kXoff = 0x13;

  PORTCOM();
  ~PORTCOM() override;
  PORTCOM(const PORTCOM&) = delete;
  PORTCOM& operator=(const PORTCOM&) = delete;

  const char* name() const override { return name_; }
  int openDefault(int port) override;
  int writeByte(uint8_t byte) override;
  int readByte(uint8_t* byte) override;
  int close() override;
  int open(int port, const PortSettings& settings) override;
  int setWaits(int32_t first, int32_t second) override;
  int lineState(int kind) override;
  int setLine(int value, int kind) override;

  // readByte for protocols with software flow control: XOFF and XON met among the incoming
  // bytes set and clear the stopped flag and are never returned as data.
  int readData(uint8_t* byte);
  // Discards what has arrived and not been read (the byte held back included). Output is left
  // to go out: a frame just written must still reach the device.
  void purge();
  // Waits up to ms for a byte to arrive, returning as soon as one does; pause always waits.
  // The protocols pace their polling with these.
  void waitInput(int ms);
  void pause(int ms);
  bool isOpen() const { return opened_ != 0; }
  // Whether the port has modem lines at all (a pseudo-terminal or a virtual port has none).
  bool hasModemLines() { return opened_ && rawModem() >= 0; }
  // After a failed read or write: whether the device itself went away (a USB adapter pulled
  // out), which 30 does not tell from a line error.
  bool lineGone() const { return line_.LastError() == kSerialGone; }
  bool stopped() const { return stopped_ != 0; }

 protected:
  // The line itself. Tests and the fuzz target derive from PORTCOM and put a simulated device
  // behind these; everything above them (numbers, settings, flow control) stays this class's.
  // rawOpen: 0, 18 or 32. rawRead: 1 a byte, 0 none, or a port error code. rawWrite: 0 or a
  // port error code. rawModem: kModem... bits of platform/serial_port.h, or -1 without lines.
  virtual int rawOpen(const std::string& path, const PortSettings& settings);
  virtual void rawClose();
  virtual int rawRead(uint8_t* byte);
  virtual int rawWrite(uint8_t byte);
  virtual void rawDiscardInput();
  virtual int rawModem();
  virtual void rawSetModem(int line, bool on);
  virtual void rawWait(int ms);
  virtual void rawPause(int ms);

 private:
  uint8_t xon_ = kXon;
  uint8_t xoff_ = kXoff;
  int32_t port_ = 1;
  int32_t waits_[2] = {2048, 2048};
  int32_t opened_ = 0;
  int32_t stopped_ = 0;
  int32_t held_ = 0;
  uint8_t heldByte_ = 0;
  char name_[5] = "COM1";
  SERIAL_LINE line_;
};

// The device path of COMn from Tamsu.ini (section "Ports"), or its default.
std::string PortPath(int port);
