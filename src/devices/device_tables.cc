#include "devices/device_tables.h"

const DeviceTypeRow FISCAL_REGISTER_TYPES[kFiscalRegisterTypeCount] = {
    {0, "Sharp ER-A495PN", "FCRSHARP"},
    {1, "Elzab System 600", "FCRELZAB_SYSTEM600"},
    {2, "Elzab Alfa", "FCRELZAB_ALFA"},
    {3, "Elzab Alfa Plus", "FCRELZAB_ALFAPLUS"},
    {4, "Elzab FP600 lub XCEL", "FCRELZAB_FP600XCEL"},
    {5, "Elzab Alfa Super 767", "FCRELZAB_ALFASUPER767"},
    {6, "Elzab Alfa Super 1279", "FCRELZAB_ALFASUPER1279"},
    {7, "Elzab Alfa Super 2047", "FCRELZAB_ALFASUPER2047"},
    {8, "Elzab Alfa Super 4095", "FCRELZAB_ALFASUPER4095"},
    {9, "Elzab Alfa Lux 1279", "FCRELZAB_ALFALUX1279"},
    {10, "Elzab Alfa Lux 2047", "FCRELZAB_ALFALUX2047"},
    {11, "Elzab Alfa Lux 4095", "FCRELZAB_ALFALUX4095"},
    {12, "Elzab Delta 9983", "FCRELZAB_DELTA9983"},
    {13, "Elzab Delta 20479", "FCRELZAB_DELTA20479"},
    {14, "Optimus Tango", "FCROPTIMUS_TANGO"},
    {15, "Optimus System", "FCROPTIMUS_SYSTEM"},
    {16, "Optimus Fiesta", "FCROPTIMUS_FIESTA"},
    {17, "Optimus Rumba", "FCROPTIMUS_RUMBA"},
    {18, "Optimus Bonita", "FCROPTIMUS_BONITA"},
    {19, "Optimus Bravo", "FCROPTIMUS_BRAVO"},
    {20, "Optimus Frigo", "FCROPTIMUS_FRIGO"},
    {21, "Posnet ECR", "FCRPOSNET"},
    {22, "Posnet ECR 2001", "FCRPECR2"},
    {23, "Posnet Bingo", "FCRBINGO"},
    {24, "Posnet Bingo Plus", "FCRBINGOPLUS"},
};

const DeviceTypeRow FISCAL_PRINTER_TYPES[kFiscalPrinterTypeCount] = {
    {0, "Elzab FP-600", "FPRFP600"},
    {1, "Emar Duo", "FPREMAR"},
    {9, "Innova Profit", "FPRINNOVA"},
    {2, "Megabyte MB-270", "FPRMB270"},
    {3, "Optimus Wiking", "FPROPTIMUS_WIKING"},
    {4, "Optimus Vega", "FPROPTIMUS_VEGA"},
    {5, "Optimus Vivo", "FPROPTIMUS_VIVO"},
    {6, "Optimus Vento", "FPROPTIMUS_VENTO"},
    {7, "Posnet", "FPRDF301"},
    {10, "Torell Duo", "FPRTORELL"},
    {8, "Upos CSF-1", nullptr},
};

namespace {

template <int N>
const DeviceTypeRow* Find(const DeviceTypeRow (&rows)[N], int type) {
  for (const DeviceTypeRow& r : rows)
    if (r.type == type) return &r;
  return nullptr;
}

template <int N>
const NameTableEntry* Names(const DeviceTypeRow (&rows)[N], NameTableEntry (&names)[N + 1]) {
  for (int i = 0; i < N; ++i) names[i] = NameTableEntry{rows[i].text, rows[i].type};
  names[N] = NameTableEntry{nullptr, 0};
  return names;
}

}  // namespace

const DeviceTypeRow* FiscalRegisterType(int type) { return Find(FISCAL_REGISTER_TYPES, type); }
const DeviceTypeRow* FiscalPrinterType(int type) { return Find(FISCAL_PRINTER_TYPES, type); }

const NameTableEntry* FiscalRegisterNames() {
  static NameTableEntry names[kFiscalRegisterTypeCount + 1];
  static const NameTableEntry* built = Names(FISCAL_REGISTER_TYPES, names);
  return built;
}

const NameTableEntry* FiscalPrinterNames() {
  static NameTableEntry names[kFiscalPrinterTypeCount + 1];
  static const NameTableEntry* built = Names(FISCAL_PRINTER_TYPES, names);
  return built;
}
