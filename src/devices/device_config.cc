#include "devices/device_config.h"

#include <cstdio>

#include "platform/inifile.h"

const char* DeviceSection(DeviceKind kind) {
  switch (kind) {
    case kDeviceRegister: return "Fiscal Cash Register";
    case kDevicePrinter: return "Fiscal Printer";
    default: return "EAN Scanner";
  }
}

namespace {
const char* FirstKey(DeviceKind kind) { return kind == kDeviceScanner ? "Active" : "Type"; }
int32_t DefaultType(DeviceKind kind) {
  return kind == kDeviceRegister ? 21 : kind == kDevicePrinter ? 7 : 0;
}
}  // namespace

char ParityLetter(int32_t code) {
  switch (code) {
    case kParityOdd: return 'O';
    case kParityEven: return 'E';
    case kParityMark: return 'M';
    case kParitySpace: return 'S';
    default: return 'N';
  }
}

int32_t ParityFromLetter(char letter) {
  switch (letter) {
    case 'E': return kParityEven;
    case 'M': return kParityMark;
    case 'O': return kParityOdd;
    case 'S': return kParitySpace;
    default: return kParityNone;
  }
}

std::string FormatPortProperties(const PortSettings& s) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d,%d,%c,%d", s.baud, s.dataBits, ParityLetter(s.parity),
                s.stopBits);
  return buf;
}

void ParsePortProperties(const char* text, PortSettings* s) {
  int baud = 0, bits = 0, stop = 0;
  char parity = 0;
  const int n = std::sscanf(text, "%d,%d,%c,%d", &baud, &bits, &parity, &stop);
  if (n >= 1) s->baud = baud;
  if (n >= 2) s->dataBits = bits;
  if (n >= 3) s->parity = ParityFromLetter(parity);
  if (n >= 4) s->stopBits = stop;
}

DeviceConfig ReadDeviceConfig(DeviceKind kind) {
  const INIFILE ini(ConfigPath());
  const char* section = DeviceSection(kind);
  DeviceConfig c;
  c.type = DefaultType(kind);
  ini.GetInt(section, FirstKey(kind), &c.type);
  ini.GetInt(section, "Port", &c.port);
  ini.GetInt(section, "PortDefaultProperties", &c.portDefaultProperties);
  char text[40];
  if (ini.GetString(section, "PortProperties", text, sizeof text - 1) == 0)
    ParsePortProperties(text, &c.settings);
  return c;
}

int WriteDeviceConfig(DeviceKind kind, const DeviceConfig& c) {
  const INIFILE ini(ConfigPath());
  const char* section = DeviceSection(kind);
  int rc = ini.WriteInt(section, FirstKey(kind), c.type);
  rc |= ini.WriteInt(section, "Port", c.port);
  rc |= ini.WriteInt(section, "PortDefaultProperties", c.portDefaultProperties);
  rc |= ini.WriteString(section, "PortProperties", FormatPortProperties(c.settings).c_str());
  return rc == 0 ? 0 : -1;
}
