// The label printer's stream: docs/formats/label-printer-and-scanner.md.
#include "devices/label/label_printer.h"

#include <cstdio>
#include <vector>

#include "common/codepage.h"
#include "devices/device_config.h"
#include "platform/cfile.h"
#include "platform/cups_print.h"
#include "platform/inifile.h"

namespace {

constexpr const char* kSection = "Label printer";
// Between two looks at DSR while the printer is busy.
constexpr int kDsrLookMs = 10;

// A field of the job: in Windows-1250, at most 127 characters, and on one line whatever it
// holds (a line feed inside would move every later field to the wrong variable).
std::string JobField(const char* text, bool convert) {
  std::string s = text ? text : "";
  if (s.size() > 127) s.resize(127);
  if (convert) s = convert_string(data_code_page(), kCodePageWindows, s);
  for (char& c : s)
    if (static_cast<uint8_t>(c) < 0x20) c = ' ';
  return s;
}

}  // namespace

const char kBuiltInLabelTemplate[] =
    "FK\"form01\"\n"
    "FK\"form01\"\n"
    "FS\"form01\"\n"
    "V00,26,L,\"Nazwa\"\n"
    "V01,16,L,\"Numer\"\n"
    "V02,7,R,\"Cena\"\n"
    "V03,13,L,\"Kod\"\n"
    "q320\n"
    "Q240,16\n"
    "A8,8,0,2,1,1,N,V00\n"
    "A8,34,0,2,1,1,N,V01\n"
    "A200,34,0,4,1,3,N,V02\n"
    "B100,110,0,E30,2,4,80,B,V03\n"
    "FE\n";
static_assert(sizeof kBuiltInLabelTemplate == kBuiltInLabelTemplateSize);

LabelPrinterSettings ReadLabelPrinterSettings() {
  const INIFILE ini(ConfigPath());
  LabelPrinterSettings s;
  ini.GetInt(kSection, "PrintMode", &s.printMode);
  ini.GetInt(kSection, "Port", &s.port);
  ini.GetInt(kSection, "PortDefaultProperties", &s.portDefaultProperties);
  char text[40];
  if (ini.GetString(kSection, "PortProperties", text, sizeof text - 1) == 0)
    ParsePortProperties(text, &s.portProperties);
  ini.GetString(kSection, "PrinterName", s.printerName, sizeof s.printerName - 1);
  ini.GetInt(kSection, "ConfigDefault", &s.configDefault);
  ini.GetString(kSection, "ConfigFile", s.configFile, sizeof s.configFile - 1);
  return s;
}

int WriteLabelPrinterSettings(const LabelPrinterSettings& s) {
  const INIFILE ini(ConfigPath());
  int rc = ini.WriteInt(kSection, "PrintMode", s.printMode);
  rc |= ini.WriteInt(kSection, "Port", s.port);
  rc |= ini.WriteInt(kSection, "PortDefaultProperties", s.portDefaultProperties);
  rc |= ini.WriteString(kSection, "PortProperties", FormatPortProperties(s.portProperties).c_str());
  rc |= ini.WriteString(kSection, "PrinterName", s.printerName);
  rc |= ini.WriteInt(kSection, "ConfigDefault", s.configDefault);
  rc |= ini.WriteString(kSection, "ConfigFile", s.configFile);
  return rc == 0 ? 0 : -1;
}

std::string LabelJob(const LabelFields& f, int copies) {
  char price[32];
  std::snprintf(price, sizeof price, "%.2f", f.price.ToDouble());
  std::string job = "\nN\nJF\nI8,B\nFR\"form01\"\n?\n";
  job += JobField(f.name, true) + "\n";
  job += JobField(f.number, true) + "\n";
  job += std::string(price) + "\n";
  job += JobField(f.code, false) + "\n";
  job += "P" + std::to_string(copies) + "\n";
  return job;
}

int LABELPRINTER::openSerial(int port, const PortSettings* settings) {
  if (mode_ != kNone) return kDevOk;
  if (port < 1 || port > 9) return kDevInitFailed;
  const int rc = settings ? port_->open(port, *settings) : port_->openDefault(port);
  if (rc != kDevOk) return rc;
  mode_ = kSerial;
  return kDevOk;
}

int LABELPRINTER::openPrinter(const char* printer) {
  if (mode_ != kNone) return kDevOk;
  if (cups_find_destination(printer ? printer : "", &printer_, &error_) != 0) return kDevInitFailed;
  mode_ = kPrinter;
  return kDevOk;
}

int LABELPRINTER::close() {
  if (mode_ == kSerial) port_->close();
  mode_ = kNone;
  printer_.clear();
  return kDevOk;
}

int LABELPRINTER::sendSerial(const uint8_t* bytes, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    // The printer holds DSR while it can take a byte; the user may give up meanwhile. A port
    // without modem lines has no DSR to wait for.
    while (port_->hasModemLines() && port_->lineState(2) == 0) {
      if (notify(kDevPoll, 0)) return kDevCancelled;
      port_->pause(kDsrLookMs);
    }
    const int rc = port_->writeByte(bytes[i]);
    if (rc != kDevOk) return rc;
    if (i + 1 < size && notify(kDevPoll, 0)) return kDevCancelled;
  }
  return kDevOk;
}

int LABELPRINTER::send(const void* bytes, size_t size) {
  switch (mode_) {
    case kSerial: return sendSerial(static_cast<const uint8_t*>(bytes), size);
    case kPrinter:
      return cups_print_raw(printer_, bytes, size, "Wydruk naklejki", &error_) > 0 ? kDevOk : -1;
    default: return kDevInitFailed;
  }
}

int LABELPRINTER::sendTemplate(bool builtIn, const char* file) {
  if (mode_ == kNone) return kDevInitFailed;
  if (builtIn) return send(kBuiltInLabelTemplate, kBuiltInLabelTemplateSize);
  CFILE f;
  if (f.Open(file, kOpenExisting, kAccessRead, kShareRead) != 0) return kDevFileOpen;
  const int64_t size = f.Size();
  if (size < 0) return kDevFileRead;
  if (size > kMaxLabelTemplateSize) return kDevConfiguration;
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (f.Read(bytes.data(), bytes.size()) != static_cast<long>(bytes.size())) return kDevFileRead;
  f.Close();
  return send(bytes.data(), bytes.size());
}

int OpenLabelPrinter(LABELPRINTER* p, const LabelPrinterSettings& s) {
  switch (s.printMode) {
    case 0:
      return p->openSerial(s.port, s.portDefaultProperties == 0 ? &s.portProperties : nullptr);
    case 1: return p->openPrinter(s.printerName);
    default: return -1;
  }
}

int SendLabelTemplate(const LabelPrinterSettings& s) {
  LABELPRINTER p;
  int rc = OpenLabelPrinter(&p, s);
  if (rc == kDevOk) rc = p.sendTemplate(s.configDefault == 1, s.configFile);
  p.close();
  return rc;
}
