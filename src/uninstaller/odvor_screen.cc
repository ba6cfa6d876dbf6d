// The dialog on the character screen, for a computer without a display: the same texts and
// buttons as the window, run by the screen's dialog loop (Tab, arrows, Enter, Alt+letter, Esc).
#include "common/text.h"
#include "ui/dialog.h"
#include "ui/screen.h"
#include "uninstaller/odvor_dialog.h"

namespace {

enum { kFrame, kText, kCheck, kRemove, kCancel, kEnd, kRecords };

constexpr int kWidth = 58, kHeight = 10;

struct SCREEN_DIALOG {
  ControlRecord dlg[kRecords + 1];
  const ODVOR_SETUP* setup;
};
SCREEN_DIALOG* g_dialog = nullptr;

// The result in place of the check box and the two buttons, "&Koniec" focused.
void Finish(ControlRecord* dlg, const char* text) {
  dlg[kText].data.text = text;
  for (int i : {kCheck, kRemove, kCancel}) dlg_set_state(dlg, i, kStateHidden, true, false);
  dlg_set_state(dlg, kEnd, kStateHidden, false, false);
  dlg_draw(dlg, 0);
}

int Callback(ControlRecord* dlg, int code) {
  if (code != kRemove) return -1;
  const ODVOR_SETUP& s = *g_dialog->setup;
  const bool ok = s.uninstall && s.uninstall(dlg_checked(dlg, kCheck)) == 0;
  Finish(dlg, OdvorResultText(ok));
  return kEnd;
}

}  // namespace

int OdvorScreenRun(const ODVOR_SETUP& setup) {
  const bool opened_here = !screen_is_open();
  if (opened_here && screen_open() != 0) return -1;
  SCREEN_DIALOG d;
  d.setup = &setup;
  g_dialog = &d;
  ControlRecord* dlg = d.dlg;
  dlg_frame(dlg, kFrame, 0, 0, kWidth, kHeight, kOdvorTitle);
  dlg_center(dlg);
  dlg_label(dlg, kText, 3, 2, OdvorPromptText());
  dlg_check(dlg, kCheck, 3, 4, "Usuń również pliki z &danymi"_pl, false);
  dlg_button(dlg, kRemove, 35, 7, " &Usuń "_pl);
  dlg_button(dlg, kCancel, 44, 7, " &Anuluj "_pl);
  dlg_button(dlg, kEnd, 44, 7, " &Koniec "_pl);
  dlg_set_state(dlg, kEnd, kStateHidden, true, false);
  dlg_end(dlg, kRecords);
  int start = kRemove;
  if (setup.packaged) {
    dlg[kText].data.text = OdvorPackagedText();
    for (int i : {kCheck, kRemove, kCancel}) dlg_set_state(dlg, i, kStateHidden, true, false);
    dlg_set_state(dlg, kEnd, kStateHidden, false, false);
    start = kEnd;
  }
  clear_screen();
  const int r = dlg_run(dlg, start, Callback);
  g_dialog = nullptr;
  if (opened_here) screen_close();
  return r == kEnd ? 2 : 0;
}
