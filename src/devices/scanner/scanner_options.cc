// The scanner's options dialog, laid out as the fiscal devices' dialogs with the check box in
// place of their type list.
#include <cstdio>

#include "common/text.h"
#include "devices/device_dialogs.h"
#include "devices/scanner/ean_scanner.h"
#include "ui/dialog.h"
#include "ui/pick_list.h"

namespace {

constexpr int kActive = 1, kPortField = 3, kDefaultRadio = 5, kManualRadio = 6, kOk = 7;

PortSettings* g_settings = nullptr;

int Callback(ControlRecord* dlg, int code) {
  if (code == kPortField) choice_field_pick(dlg, code, PortNames());
  if (code == kManualRadio && dlg_checked(dlg, kManualRadio)) port_settings_dialog(g_settings);
  return -1;
}

}  // namespace

int scanner_options() {
  DeviceConfig c = ReadDeviceConfig(kDeviceScanner);
  PortSettings settings = c.settings;
  char port[8];
  std::snprintf(port, sizeof port, "%s", table_name(PortNames(), c.port));
  FieldDescriptor fd_port;
  make_descriptor(&fd_port, 'C', 4, 0, port);
  ControlRecord dlg[9];
  dlg_frame(dlg, 0, 0, 0, 40, 10, "Czytnik kodów kreskowych"_pl);
  dlg_center(dlg);
  dlg_check(dlg, kActive, 3, 1, "&Aktywny ", c.type == 1);
  dlg_label(dlg, 2, 3, 2, "&Port:");
  dlg_choice(dlg, kPortField, 10, 2, 4, 1, &fd_port);
  dlg_label(dlg, 4, 3, 4, "Ustawienia portu:");
  dlg_radio(dlg, kDefaultRadio, 5, 5, "&Domyślne  "_pl);
  dlg_radio(dlg, kManualRadio, 5, 6, "&Ręczne... "_pl);
  dlg_button(dlg, kOk, 17, 8, " &Ok ");
  dlg_end(dlg, 8);
  radio_select(dlg, c.portDefaultProperties == 0 ? kManualRadio : kDefaultRadio, false);
  PortSettings* saved = g_settings;
  g_settings = &settings;
  const int r = dlg_run(dlg, 0, Callback);
  g_settings = saved;
  if (r != kOk) return -1;
  c.type = dlg_checked(dlg, kActive) ? 1 : 0;
  if (*port) c.port = table_value(PortNames(), port);
  c.portDefaultProperties = radio_selected(dlg, kDefaultRadio) == kDefaultRadio ? 1 : 0;
  c.settings = settings;
  if (WriteDeviceConfig(kDeviceScanner, c) != 0) return -1;
  applyScannerSettings();
  return 0;
}
