#include "devices/scanner/ean_scanner.h"

#include <memory>
#include <new>
#include <string>

#include "common/codepage.h"
#include "common/text.h"
#include "devices/device_config.h"
#include "devices/scanner_hooks.h"
#include "platform/keydecode.h"
#include "ui/message_box.h"
#include "ui/screen.h"

namespace {

// How often the watcher looks at its stop (and waits for input meanwhile), and how soon it tries
// again when the key queue is full.
constexpr int kWatchMs = 50;
constexpr int kFullRetryMs = 5;

std::unique_ptr<EANSCANNER_WATCH_THREAD> g_scanner;

// Runs on the user-interface thread when the watcher found its device gone.
void ReportLost() {
  if (!g_scanner) return;
  const int port = g_scanner->portNumber();
  // The worker has ended; this lets the port go so that the device may come back.
  g_scanner->stop();
  message(
      "Utracono połączenie z czytnikiem\n kodów kreskowych na porcie COM%d.\n\n"
      "Po ponownym podłączeniu czytnika\n   zatwierdź jego opcje."_pl,
      port);
}

}  // namespace

bool ScannerKey(uint8_t byte, KeyEvent* key) {
  if (byte < 0x80) {
    // Exactly what the keyboard decoder makes of the byte typed alone.
    size_t used = 0;
    const char c = static_cast<char>(byte);
    return decode_key(std::string_view(&c, 1), true, kCodePageWindows, key, &used) ==
           kDecodeAccepted;
  }
  // Above ASCII the code page has only its Polish letters; they are typed with AltGr, and the
  // keyboard gives them by their character, with Shift for the capitals.
  if (!is_letter_in(kCodePageWindows, byte)) return false;
  *key = KeyEvent{byte, 0, to_lower_in(kCodePageWindows, byte) != byte ? kShiftShift : 0u};
  return true;
}

EANSCANNER_WATCH_THREAD::~EANSCANNER_WATCH_THREAD() {
  finish();
  if (port_.isOpen()) port_.close();
}

void EANSCANNER_WATCH_THREAD::setPort(int port, const PortSettings* settings) {
  port_number_ = port;
  own_settings_ = settings != nullptr;
  if (settings) settings_ = *settings;
}

int EANSCANNER_WATCH_THREAD::start() {
  if (running()) return kDevOk;
  // A worker that ended by itself (its device went away) is gone for good, and so is its port.
  finish();
  if (port_.isOpen()) port_.close();
  lost_ = false;
  purge_ = false;
  const int rc =
      own_settings_ ? port_.open(port_number_, settings_) : port_.openDefault(port_number_);
  if (rc != kDevOk) return rc;
  if (THREADLOOP::start() != 0) {
    port_.close();
    return kDevNoMemory;
  }
  return kDevOk;
}

int EANSCANNER_WATCH_THREAD::stop() {
  finish();
  if (port_.isOpen()) port_.close();
  return 0;
}

int EANSCANNER_WATCH_THREAD::resume() {
  purge_ = true;
  return THREADLOOP::resume();
}

uint32_t EANSCANNER_WATCH_THREAD::Watch(THREADLOOP* t) {
  auto* self = static_cast<EANSCANNER_WATCH_THREAD*>(t);
  PORTCOM& port = self->port_;
  KeyEvent key{};
  bool held = false;  // a key the full queue has not taken yet; nothing is read past it
  while (!t->waitStop(held ? kFullRetryMs : 0)) {
    if (self->purge_.exchange(false)) {
      port.purge();
      held = false;
    }
    for (;;) {
      if (held) {
        if (post_key(key) != 0) break;
        held = false;
      }
      uint8_t byte = 0;
      const int rc = port.readByte(&byte);
      if (rc == kDevOk) {
        held = ScannerKey(byte, &key);
        continue;
      }
      if (rc != kDevNothingReceived && port.lineGone()) {
        self->lost_ = true;
        while (post_ui_call(ReportLost) != 0)
          if (t->waitStop(kFullRetryMs)) break;
        return 0;
      }
      // Nothing waiting, or a line error that spoiled a byte: wait for more.
      port.waitInput(kWatchMs);
      break;
    }
  }
  return 0;
}

int startScanner(int port, const PortSettings* settings) {
  if (!g_scanner) {
    g_scanner.reset(new (std::nothrow) EANSCANNER_WATCH_THREAD);
    if (!g_scanner) {
      message("%s", "Brak pamięci przy inicjalizacji\n  czytnika kodów kreskowych."_pl);
      return kDevNoMemory;
    }
  }
  g_scanner->stop();
  g_scanner->setPort(port, settings);
  const int rc = g_scanner->start();
  if (rc != kDevOk) message("%s", "Błąd inicjalizacji czytnika\n     kodów kreskowych."_pl);
  return rc;
}

void stopScanner() {
  if (g_scanner) g_scanner->stop();
}

void applyScannerSettings() {
  const DeviceConfig c = ReadDeviceConfig(kDeviceScanner);
  if (c.type == 1) startScanner(c.port, c.portDefaultProperties == 0 ? &c.settings : nullptr);
  else stopScanner();
}

bool scannerRunning() { return g_scanner && g_scanner->running(); }

void InstallScannerHooks() { SetScannerHooks(ScannerHooks{stopScanner, applyScannerSettings}); }

void ResetScanner() {
  g_scanner.reset();
  SetScannerHooks(ScannerHooks{});
}
