// The configuration of the serial devices in Tamsu.ini: one section per kind, read when a device
// is opened and written when its options dialog is confirmed.
//
//   [Fiscal Printer]
//   Type=7
//   Port=1
//   PortDefaultProperties=1        ; 1: the device's own settings, 0: PortProperties
//   PortProperties=9600,8,N,1      ; baud, data bits, parity letter, stop bits
//
// The scanner's section "EAN Scanner" has "Active" where the others have "Type".
#pragma once

#include <cstdint>
#include <string>

#include "devices/port.h"

enum DeviceKind { kDeviceRegister = 0, kDevicePrinter = 1, kDeviceScanner = 2 };

struct DeviceConfig {
  int32_t type = 0;  // "Active" for the scanner
  int32_t port = 1;
  int32_t portDefaultProperties = 1;
  PortSettings settings;
};

// "Fiscal Cash Register", "Fiscal Printer", "EAN Scanner".
const char* DeviceSection(DeviceKind kind);
// The stored configuration; every missing key keeps its default (register type 21, printer
// type 7, scanner inactive, port 1, the device's own settings, 9600,8,N,1).
DeviceConfig ReadDeviceConfig(DeviceKind kind);
// Writes the four keys; 0, or -1 when a key could not be written.
int WriteDeviceConfig(DeviceKind kind, const DeviceConfig& config);

// Parity letters: 0 "N", 8 "O", 24 "E", 40 "M", 56 "S"; any other code is written "N". Reading,
// "E", "M", "O" and "S" give their codes and every other letter 0.
char ParityLetter(int32_t code);
int32_t ParityFromLetter(char letter);
// "%d,%d,%c,%d". Parsing fills the fields in order as far as the text goes; the rest keep what
// *settings held.
std::string FormatPortProperties(const PortSettings& settings);
void ParsePortProperties(const char* text, PortSettings* settings);
