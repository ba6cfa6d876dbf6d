// The barcode scanner: a serial device whose bytes Tamsu types into the focused window as key
// strokes. One watcher thread (EANSCANNER_WATCH_THREAD) reads the port and posts each byte as the
// key that gives it into the screen's key queue (ui/screen.h); the user-interface thread reads
// them like typed keys. Its input: docs/formats/label-printer-and-scanner.md.
//
//   applyScannerSettings();   // at start-up and after the scanner's dialog: "Active" decides
//   stopScanner();            // before a fiscal operation takes the ports, and at the end
//
// The watcher and the program share only the key queue. A full queue holds the reading back
// (the port keeps what came meanwhile), so keys are neither lost nor reordered on the way; a
// device that goes away while the program runs ends the watcher and is reported once.
#pragma once

#include <atomic>
#include <cstdint>

#include "common/cell.h"
#include "devices/port.h"
#include "devices/threadloop.h"

// The key stroke a scanner byte stands for, as read_key would give it from the keyboard: the
// byte is a character of the data code page (Windows-1250); Shift comes with the capitals and
// the shifted signs, Ctrl with the control bytes, CR is Enter, Tab and Esc are themselves. False
// for a byte no key types (a code the code page leaves empty, a sign not on the keyboard).
bool ScannerKey(uint8_t byte, KeyEvent* key);

class EANSCANNER_WATCH_THREAD : public THREADLOOP {
 public:
  EANSCANNER_WATCH_THREAD() = default;
  // Stops the worker, then lets the port go.
  ~EANSCANNER_WATCH_THREAD() override;

  // Opens the kept port with the kept settings and starts the worker, unless one runs: 0, or
  // the port's code (18, 32), or 5 when no thread could be made.
  int start() override;
  // Ends the worker (waiting for it: it must be off the port) and closes the port.
  int stop() override;
  // The port's waiting bytes are dropped, then the worker goes on.
  int resume() override;
  THREADPROC threadProc() override { return Watch; }

  // What the next start opens; settings nullptr: 9600, 8, none, 1.
  void setPort(int port, const PortSettings* settings);
  int portNumber() const { return port_number_; }
  // True once the worker ended because the device went away.
  bool lost() const { return lost_; }

 private:
  static uint32_t Watch(THREADLOOP* self);

  PORTCOM port_;
  int port_number_ = 1;
  PortSettings settings_;
  bool own_settings_ = false;
  std::atomic<bool> purge_{false};
  std::atomic<bool> lost_{false};
};

// The program's one scanner. startScanner (re)starts the watcher on a port, settings nullptr
// for the defaults; its failures are shown ("Błąd inicjalizacji czytnika kodów kreskowych.") and
// returned as the device code. stopScanner stops it; it may be started again.
int startScanner(int port, const PortSettings* settings);
void stopScanner();
// Section "EAN Scanner": "Active" 1 starts the scanner (with "PortProperties" only when
// "PortDefaultProperties" is 0), anything else stops it.
void applyScannerSettings();
// Whether a watcher runs now.
bool scannerRunning();
// Makes the fiscal operations stop the scanner and apply its settings again
// (devices/scanner_hooks.h).
void InstallScannerHooks();
// The dialog "Czytnik kodów kreskowych": stores section "EAN Scanner" and applies it. 0 when
// confirmed and stored, -1 on Esc or a failed write.
int scanner_options();

// Stops and forgets the scanner and its hooks (tests, between programs in one process).
void ResetScanner();
