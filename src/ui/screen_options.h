// Screen options: the code page the screen shows Polish letters in ("ConPLStandard", 0..10,
// default 2) and the colour scheme ("ColorMode": 0 "Auto", 1 "Kolor", 2 "Mono"), both in section
// "Tamsu" of the configuration file; and the dialog "OPCJE EKRANU" that changes them.
#pragma once

#include "ui/controls.h"

extern const NameTableEntry CODE_PAGE_NAMES[];
extern const NameTableEntry COLOUR_MODE_NAMES[];

// Reads both keys (absent or unreadable keys keep the current values) and applies them.
void load_screen_options();
// Writes both current values; 0 or -1.
int save_screen_options();
// The dialog; on " &Ok " applies and writes both values and returns 0; -1 when cancelled.
int screen_options();
