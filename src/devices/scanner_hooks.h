// A fiscal operation takes a serial port that the barcode scanner watcher may be reading, so
// the watcher is stopped before every fiscal operation and its settings applied again after
// it, whatever the outcome. The watcher registers the two steps here; until it does there is
// no watcher to stop.
#pragma once

struct ScannerHooks {
  void (*stop)();   // stopScanner
  void (*apply)();  // applyScannerSettings
};

void SetScannerHooks(const ScannerHooks& hooks);
void StopScannerForDevice();
void ApplyScannerAfterDevice();
