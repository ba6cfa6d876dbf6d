// The clipboard that Ctrl+V pastes from. In a terminal the text of the desktop's clipboard is
// fetched through a standard helper program when one is present: wl-paste under Wayland
// (WAYLAND_DISPLAY set), else xclip or xsel under X11 (DISPLAY set). The helper runs through
// popen with a fixed command line; its UTF-8 output is converted to the data code page. Without
// a display or a helper (or after clipboard_use_internal(true), which the tests use) an internal
// clipboard inside the process is used; clipboard_set_text always fills that one, so copying and
// pasting inside the program works everywhere.
#pragma once

#include <string>

// The clipboard text in the data code page; 0, or -1 when there is no text.
int clipboard_get_text(std::string* text);
// Stores a data-code-page text in the internal clipboard.
void clipboard_set_text(const std::string& text);
// True: never ask a desktop helper.
void clipboard_use_internal(bool internal_only);
// Empties the internal clipboard and goes back to asking the desktop helpers.
void ClipboardReset();
