// The device selection tables: which model a configured type number means, the text the
// options dialogs list it under, and the class that serves it.
//
//   FiscalPrinterType(7)->text -> "Posnet"        FiscalPrinterType(8)->class_name -> nullptr
#pragma once

#include "ui/controls.h"

struct DeviceTypeRow {
  int type;
  const char* text;        // as the dialog lists it
  const char* class_name;  // nullptr: offered but without a driver
};

inline constexpr int kFiscalRegisterTypeCount = 25;
inline constexpr int kFiscalPrinterTypeCount = 11;
// Registers by type 0 to 24; printers in the order the list shows them.
extern const DeviceTypeRow FISCAL_REGISTER_TYPES[kFiscalRegisterTypeCount];
extern const DeviceTypeRow FISCAL_PRINTER_TYPES[kFiscalPrinterTypeCount];

// The row of a type number, or nullptr.
const DeviceTypeRow* FiscalRegisterType(int type);
const DeviceTypeRow* FiscalPrinterType(int type);

// The same tables as name tables for the choice fields of the dialogs (ended by a null name).
const NameTableEntry* FiscalRegisterNames();
const NameTableEntry* FiscalPrinterNames();
