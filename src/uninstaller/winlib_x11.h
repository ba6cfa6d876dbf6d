// The window library's display on an X server, over Xlib and its core fonts: a fixed 13-pixel
// font (ISO 10646, else ISO 8859-2, else whatever "fixed" is, with Polish letters shown without
// their marks), colours allocated as needed, keys and mouse buttons turned into WL_EVENTs.
#pragma once

#include "uninstaller/winlib.h"

// Connects to $DISPLAY; null when there is no X server to talk to.
WL_DISPLAY* x11_display_open();
void x11_display_close(WL_DISPLAY* display);
