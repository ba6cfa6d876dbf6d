// The modal run of a dialog and its callback protocol.
//
// The callback gets the dialog and a code: a control index when that control is activated or
// left, -1 once before the first key, -2 when a closing control is confirmed, -3 when the user
// cancels (Esc or Ctrl+F4). It answers -1 to carry on normally, or the index of the control that
// gets the focus next (for -2 and -3 that vetoes closing).
//
//   int r = dlg_run(dlg, 0, nullptr);   // index of the closing control, or -1
#pragma once

#include "ui/controls.h"

typedef int (*DialogCallback)(ControlRecord* dlg, int code);

// Saves the background, draws, runs the key loop and restores; the control that closed the
// dialog, or -1 (cancelled, background not saved, nothing focusable).
int dlg_run(ControlRecord* dlg, int start, DialogCallback callback);
// The key loop alone on a dialog that is already drawn (full-screen record forms).
int dlg_loop(ControlRecord* dlg, int start, DialogCallback callback);
// Saves the background and draws without running; 0 or -1. window_close takes it away again.
int dlg_open(ControlRecord* dlg);
void window_close();

// The dialog of editing keys (F1); it does not open twice.
void help_keys_box();
