// The label printer: shelf labels on a printer that speaks EPL2, through a serial port or a
// printer queue of the system (CUPS) that passes the bytes unchanged. The printer keeps a form
// ("szablon", the template) that Tamsu sends once; each label then only fills the form's four
// variables. The stream: docs/formats/label-printer-and-scanner.md.
//
//   LABELPRINTER p;
//   if (p.openPrinter("") == 0) {                // "" the default queue
//     const std::string job = LabelJob(fields, 2);
//     p.send(job.data(), job.size());            // one job, two labels
//     p.close();
//   }
//
// Results are the device codes of devices/device.h (18 not open or not found, 21 template too
// large, 8 and 9 template file failures, 2 cancelled) or -1 when the queue refused the job.
// Nothing here shows a message except the cancellation question between the bytes of a serial
// transfer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/amount.h"
#include "devices/device.h"
#include "devices/port.h"

// Section "Label printer" of Tamsu.ini, in the order of its keys.
struct LabelPrinterSettings {
  int32_t printMode = 0;  // 0 serial port, 1 printer queue
  int32_t port = 1;
  int32_t portDefaultProperties = 1;  // 1: 9600, 8, none, 1; 0: portProperties
  PortSettings portProperties;
  char printerName[128] = "";  // empty: the default queue
  int32_t configDefault = 0;   // 1 the built-in template, 0 the file
  char configFile[256] = "";
};
LabelPrinterSettings ReadLabelPrinterSettings();
// 0, or -1 when a key could not be written.
int WriteLabelPrinterSettings(const LabelPrinterSettings& s);

// The built-in template: 14 lines of 202 characters, sent with a zero byte after them.
extern const char kBuiltInLabelTemplate[];
inline constexpr size_t kBuiltInLabelTemplateSize = 203;
// The largest template file sent.
inline constexpr long kMaxLabelTemplateSize = 64000;

// What one label shows, in the data code page.
struct LabelFields {
  const char* name;
  const char* number;
  AMOUNT price;
  const char* code;
};
// The bytes of a label job: the fields in Windows-1250, name and number cut to 127 characters.
std::string LabelJob(const LabelFields& fields, int copies);

class LABELPRINTER : public DEVICE {
 public:
  enum Mode { kNone = 0, kSerial = 1, kPrinter = 2 };

  LABELPRINTER() = default;
  ~LABELPRINTER() override { close(); }
  LABELPRINTER(const LABELPRINTER&) = delete;
  LABELPRINTER& operator=(const LABELPRINTER&) = delete;

  const char* name() const override { return "Drukarka etykiet"; }
  // Port 1 to 9 (else 18); settings nullptr: 9600, 8, none, 1.
  int openSerial(int port, const PortSettings* settings);
  // A queue by name, "" for the default one; 18 when there is no such queue.
  int openPrinter(const char* printer);
  // Serial: each byte once the printer holds DSR (a port without modem lines does not wait), the
  // user asked between bytes. Queue: one raw job "Wydruk naklejki" with all the bytes.
  int send(const void* bytes, size_t size);
  // The built-in template, or the file's bytes as they are (at most 64 000).
  int sendTemplate(bool builtIn, const char* file);
  int close();

  // Tests put a simulated line here before openSerial; the printer does not own it.
  void usePort(PORTCOM* port) { port_ = port; }
  int mode() const { return mode_; }
  // Why the queue was not found or refused the job, as CUPS says it.
  const std::string& error() const { return error_; }

 private:
  int sendSerial(const uint8_t* bytes, size_t size);

  int mode_ = kNone;
  PORTCOM own_port_;
  PORTCOM* port_ = &own_port_;
  std::string printer_;  // the queue's own name once open
  std::string error_;
};

// Opens as the settings say: mode 0 on the serial port (its own settings only when
// "PortDefaultProperties" is 0), 1 on the queue, other modes -1.
int OpenLabelPrinter(LABELPRINTER* p, const LabelPrinterSettings& s);
// Opens, sends the template the settings choose and closes.
int SendLabelTemplate(const LabelPrinterSettings& s);
// F9 for the current goods: asks "Liczba kopii:", prints the label, says what failed. 0 when
// the job went out.
int PrintGoodsLabel();
// Registers F9 of the goods view (again after ResetRecordLists).
void RegisterLabelCommand();
// The dialog "Opcje drukarki etykiet". 0 when confirmed and stored.
int label_printer_options();
