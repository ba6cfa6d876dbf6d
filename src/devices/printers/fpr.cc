#include "devices/printers/fpr.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "common/codepage.h"

int FPR::report(int code, intptr_t argument) {
  if (code != kDevOk) DEVICE::notify(code, argument);
  return code;
}

std::string FPR::deviceText(const char* text) const {
  return convert_string(kCodePageWindows, codePage_, text);
}

int FPR::waitByte(uint8_t* byte, int tries, int step_ms, bool flow, bool cancellable) {
  for (int look = 0;; ++look) {
    const int rc = flow ? port_->readData(byte) : port_->readByte(byte);
    if (rc == kDevOk) return kDevOk;
    // A port that fails outright (the device went away) will not answer later either.
    if (rc != kDevNothingReceived || look + 1 >= tries) return kDevNoAnswer;
    if (cancellable && DEVICE::notify(kDevPoll, 0) != 0) return kDevCancelled;
    port_->waitInput(step_ms);
  }
}

int64_t Hundredths(AMOUNT value) { return RoundTo(value, 2).Raw() / 100; }
int64_t Thousandths(AMOUNT value) { return RoundTo(value, 3).Raw() / 10; }

std::string FormatHundredths(AMOUNT value) {
  const int64_t h = Hundredths(value);
  const uint64_t a = h < 0 ? static_cast<uint64_t>(-h) : static_cast<uint64_t>(h);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%s%" PRIu64 ".%02" PRIu64, h < 0 ? "-" : "", a / 100, a % 100);
  return buf;
}
