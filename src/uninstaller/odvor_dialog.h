// The uninstaller's dialog, once as a window (MAIN_DIALOG on the window library) and once on
// the character screen when there is no display; both with the same texts and buttons:
//
//   "Wybierz "Usuń", aby usunąć Tamsu z tego komputera."
//   [ ] Usuń również pliki z danymi
//                         [ Usuń ] [ Anuluj ]
//
// "&Anuluj" or Esc closes without changes. "&Usuń" runs the uninstall; then the check box and
// both buttons give way to "&Koniec" and the text tells the result. An installation made by the
// Debian package starts in that last state with a text that sends the user to the package
// manager.
#pragma once

#include <cstdint>

#include "uninstaller/winlib.h"

inline constexpr const char* kOdvorTitle = "Tamsu - program deinstalacyjny";

struct ODVOR_SETUP {
  bool packaged = false;
  // Runs the uninstall (and starts the second stage); 0 on success, -1 on failure.
  int (*uninstall)(bool data_files) = nullptr;
};

// The closing command: 0 "&Anuluj" (or Esc, or the window closed), 2 "&Koniec"; -1 when the
// dialog could not be shown.
int OdvorWindowRun(WL_DISPLAY* display, const ODVOR_SETUP& setup);
int OdvorScreenRun(const ODVOR_SETUP& setup);

// The dialog's icon: 48 x 48 pixels 0xAARRGGBB.
const uint32_t* OdvorIcon();

// The texts, in the data code page.
const char* OdvorPromptText();
const char* OdvorResultText(bool ok);
const char* OdvorPackagedText();
