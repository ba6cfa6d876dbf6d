// The options dialogs of the fiscal devices: "Drukarka fiskalna" and "Kasa fiskalna" (type,
// port, default or own port settings) and "USTAWIENIA PORTU" (the four settings of a port).
// Confirming with " &Ok " writes the device's section of Tamsu.ini.
#pragma once

#include "devices/device_config.h"
#include "ui/controls.h"

// 0 when confirmed and stored, -1 on Esc or a failed write.
int fiscal_printer_options();
int fiscal_register_options();

// "COM1" to "COM9" for the port lists of the device dialogs.
const NameTableEntry* PortNames();

// Edits *settings; 0 on " &Ok " (the settings changed), -1 on Esc (unchanged). A value that no
// row of a list carries shows empty and is kept as it was.
int port_settings_dialog(PortSettings* settings);
