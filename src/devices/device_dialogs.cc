#include "devices/device_dialogs.h"

#include <cstdio>

#include "common/text.h"
#include "devices/device_tables.h"
#include "ui/dialog.h"
#include "ui/pick_list.h"

namespace {

const NameTableEntry kPorts[] = {{"COM1", 1}, {"COM2", 2}, {"COM3", 3}, {"COM4", 4}, {"COM5", 5},
                                 {"COM6", 6}, {"COM7", 7}, {"COM8", 8}, {"COM9", 9}, {nullptr, 0}};
const NameTableEntry kBauds[] = {{"110", 110},     {"150", 150},   {"300", 300},   {"600", 600},
                                 {"1200", 1200},   {"2400", 2400}, {"4800", 4800}, {"9600", 9600},
                                 {"19200", 19200}, {nullptr, 0}};
const NameTableEntry kDataBits[] = {{"5", 5}, {"6", 6}, {"7", 7}, {"8", 8}, {nullptr, 0}};
const NameTableEntry kParities[] = {{"Brak", kParityNone},        {"Parzyste", kParityEven},
                                    {"Nieparzyste", kParityOdd},  {"Ustawione", kParityMark},
                                    {"Wyzerowane", kParitySpace}, {nullptr, 0}};
const NameTableEntry kStopBits[] = {{"1", 1}, {"2", 2}, {nullptr, 0}};

// The value chosen in a choice field, or the old one when the field shows no row.
int32_t Chosen(const NameTableEntry* table, const char* text, int32_t old) {
  return *text ? table_value(table, text) : old;
}

// Port settings dialog: record indexes of its four lists and its button.
constexpr int kBaudField = 2, kBitsField = 4, kParityField = 6, kStopField = 8, kSettingsOk = 9;

int SettingsCallback(ControlRecord* dlg, int code) {
  if (code == kBaudField) choice_field_pick(dlg, code, kBauds);
  if (code == kBitsField) choice_field_pick(dlg, code, kDataBits);
  if (code == kParityField) choice_field_pick(dlg, code, kParities);
  if (code == kStopField) choice_field_pick(dlg, code, kStopBits);
  return -1;
}

// Device dialog: its lists, the second radio button and the button.
constexpr int kTypeField = 2, kPortField = 4, kDefaultRadio = 6, kManualRadio = 7, kDeviceOk = 8;

struct DeviceDialogState {
  const NameTableEntry* types;
  PortSettings settings;
};
DeviceDialogState* g_state = nullptr;

int DeviceCallback(ControlRecord* dlg, int code) {
  if (code == kTypeField) choice_field_pick(dlg, code, g_state->types);
  if (code == kPortField) choice_field_pick(dlg, code, kPorts);
  if (code == kManualRadio && dlg_checked(dlg, kManualRadio))
    port_settings_dialog(&g_state->settings);
  return -1;
}

int DeviceDialog(DeviceKind kind, const char* title, const NameTableEntry* types) {
  DeviceConfig c = ReadDeviceConfig(kind);
  DeviceDialogState state{types, c.settings};
  char type[32], port[8];
  std::snprintf(type, sizeof type, "%s", table_name(types, c.type));
  std::snprintf(port, sizeof port, "%s", table_name(kPorts, c.port));
  FieldDescriptor fd_type, fd_port;
  make_descriptor(&fd_type, 'C', 21, 0, type);
  make_descriptor(&fd_port, 'C', 4, 0, port);
  ControlRecord dlg[10];
  dlg_frame(dlg, 0, 0, 0, 40, 10, title);
  dlg_center(dlg);
  dlg_label(dlg, 1, 3, 1, "&Typ:");
  dlg_choice(dlg, kTypeField, 10, 1, 21, 1, &fd_type);
  dlg_label(dlg, 3, 3, 2, "&Port:");
  dlg_choice(dlg, kPortField, 10, 2, 4, 1, &fd_port);
  dlg_label(dlg, 5, 3, 4, "Ustawienia portu:");
  dlg_radio(dlg, kDefaultRadio, 5, 5, "&Domyślne  "_pl);
  dlg_radio(dlg, kManualRadio, 5, 6, "&Ręczne... "_pl);
  dlg_button(dlg, kDeviceOk, 17, 8, " &Ok ");
  dlg_end(dlg, 9);
  radio_select(dlg, c.portDefaultProperties == 0 ? kManualRadio : kDefaultRadio, false);
  DeviceDialogState* saved = g_state;
  g_state = &state;
  const int r = dlg_run(dlg, 0, DeviceCallback);
  g_state = saved;
  if (r != kDeviceOk) return -1;
  c.type = Chosen(types, type, c.type);
  c.port = Chosen(kPorts, port, c.port);
  c.portDefaultProperties = radio_selected(dlg, kDefaultRadio) == kDefaultRadio ? 1 : 0;
  c.settings = state.settings;
  return WriteDeviceConfig(kind, c);
}

}  // namespace

int port_settings_dialog(PortSettings* s) {
  char baud[8], bits[4], parity[16], stop[4];
  std::snprintf(baud, sizeof baud, "%s", table_name(kBauds, s->baud));
  std::snprintf(bits, sizeof bits, "%s", table_name(kDataBits, s->dataBits));
  std::snprintf(parity, sizeof parity, "%s", table_name(kParities, s->parity));
  std::snprintf(stop, sizeof stop, "%s", table_name(kStopBits, s->stopBits));
  FieldDescriptor fd[4];
  make_descriptor(&fd[0], 'C', 5, 0, baud);
  make_descriptor(&fd[1], 'C', 1, 0, bits);
  make_descriptor(&fd[2], 'C', 11, 0, parity);
  make_descriptor(&fd[3], 'C', 1, 0, stop);
  ControlRecord dlg[11];
  dlg_frame(dlg, 0, 0, 0, 42, 8, "USTAWIENIA PORTU");
  dlg_center(dlg);
  dlg_label(dlg, 1, 3, 1, "&Prędkość transmisji:"_pl);
  dlg_choice(dlg, kBaudField, 26, 1, 5, 1, &fd[0]);
  dlg_label(dlg, 3, 3, 2, "Bity &danych:");
  dlg_choice(dlg, kBitsField, 26, 2, 1, 1, &fd[1]);
  dlg_label(dlg, 5, 3, 3, "Pa&rzystość:"_pl);
  dlg_choice(dlg, kParityField, 26, 3, 11, 1, &fd[2]);
  dlg_label(dlg, 7, 3, 4, "Bity &stopu:");
  dlg_choice(dlg, kStopField, 26, 4, 1, 1, &fd[3]);
  dlg_button(dlg, kSettingsOk, 18, 6, " &Ok ");
  dlg_end(dlg, 10);
  if (dlg_run(dlg, 0, SettingsCallback) != kSettingsOk) return -1;
  s->baud = Chosen(kBauds, baud, s->baud);
  s->dataBits = Chosen(kDataBits, bits, s->dataBits);
  s->parity = Chosen(kParities, parity, s->parity);
  s->stopBits = Chosen(kStopBits, stop, s->stopBits);
  return 0;
}

const NameTableEntry* PortNames() { return kPorts; }

int fiscal_printer_options() {
  return DeviceDialog(kDevicePrinter, "Drukarka fiskalna", FiscalPrinterNames());
}

int fiscal_register_options() {
  return DeviceDialog(kDeviceRegister, "Kasa fiskalna", FiscalRegisterNames());
}
