// The root of every external device, and the one hook through which devices speak to the user.
//
// A device reports progress, asks whether the user wants to stop, and reports its failures with
// DEVICE::notify(code, argument); the application installs its handler once at start-up
// (devices/device_messages.h). Device operations return the code they notified, 0 for success.
//
//   if (DEVICE::notify(kDevPoll, 0)) return kDevCancelled;     // between the steps of a loop
//   return DEVICE::notify(kDevNoPaper, 0), kDevNoPaper;         // a failure, reported once
#pragma once

#include <cstdint>

// The notification codes (and the results of device operations).
enum DeviceCode {
  kDevOk = 0,
  kDevPoll = 1,  // does the user want to stop? the answer is nonzero when so
  kDevCancelled = 2,
  kDevProgress = 3,  // argument: records so far
  kDevNoOption = 4,
  kDevNoMemory = 5,
  kDevNoFile = 6,
  kDevNoMoreRecords = 7,  // a register's end of data, never shown
  kDevFileOpen = 8,
  kDevFileRead = 9,
  kDevFileWrite = 10,
  kDevBadName = 11,  // 11 to 15: argument the position number or 0
  kDevBadTaxRate = 12,
  kDevBadPrice = 13,
  kDevBadValue = 14,
  kDevBadQuantity = 15,
  kDevBadReceiptValue = 16,
  kDevTooManyLines = 17,
  kDevInitFailed = 18,  // port not open, bad port number, settings refused
  kDevNotInitialised = 19,
  kDevNoAnswer = 20,  // no answer or a wrong one
  kDevConfiguration = 21,
  kDevNoPaper = 22,
  kDevDisplay = 23,
  kDevNoFiscalReport = 24,
  kDevTaxRatesUnreadable = 25,
  kDevDuplicateGoods = 26,  // argument: the goods text or 0
  kDevHardware = 27,        // argument: the device's own error number or 0
  kDevNothingReceived = 28,
  kDevWriteFailed = 29,
  kDevLineError = 30,
  kDevPortOverflow = 31,
  kDevPortBusy = 32,
  kDevDriverError = 33,  // argument: the device's own error number or 0
  kDevNak = 35,          // a printer refused a frame outright
};

typedef int (*DeviceNotifyHook)(int32_t code, intptr_t argument);

class DEVICE {
 public:
  virtual ~DEVICE() = default;
  // The display name: "COM1" for a port, the model for a printer or register.
  virtual const char* name() const = 0;

  // The hook's answer, or 0 with no hook installed.
  static int notify(int32_t code, intptr_t argument);
  // nullptr removes the hook.
  static void setNotifyHook(DeviceNotifyHook hook);
  static DeviceNotifyHook notifyHook();
};
