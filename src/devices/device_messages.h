// What the user sees of device notifications: the application's handler of DEVICE::notify.
//
// Code 1 asks whether to stop (Esc waiting, then "Przerwać operację?"), code 3 shows the record
// count on the status line, 0 and 2 show nothing, and every other code is a message box with
// one button:
//
//   DeviceMessage(11, 5)   -> "Nieprawidłowa nazwa lub numer towaru w pozycji nr 5."
//   DeviceMessage(27, 300) -> "Błąd sprzętowy urządzenia.\nKod: 300 (012Ch)."
#pragma once

#include <cstdint>
#include <string>

// The message text of a code (data code page); empty for 0 to 3.
std::string DeviceMessage(int32_t code, intptr_t argument);

// The handler itself, and its installation at start-up (and removal at the end).
int DeviceNotifyHandler(int32_t code, intptr_t argument);
void InstallDeviceNotifyHook();
void UninstallDeviceNotifyHook();
