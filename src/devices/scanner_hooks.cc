#include "devices/scanner_hooks.h"

namespace {
ScannerHooks g_hooks{};
}

void SetScannerHooks(const ScannerHooks& hooks) { g_hooks = hooks; }

void StopScannerForDevice() {
  if (g_hooks.stop) g_hooks.stop();
}

void ApplyScannerAfterDevice() {
  if (g_hooks.apply) g_hooks.apply();
}
