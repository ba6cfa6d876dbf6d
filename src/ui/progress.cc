// The progress window: a text, a bar of 50 cells and the percentage.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "common/text.h"
#include "ui/dialog.h"
#include "ui/feedback.h"
#include "ui/keys.h"
#include "ui/message_box.h"
#include "ui/screen.h"

void StatusWaitReset();

namespace {

constexpr int kBar = 50;

struct Progress {
  bool open = false;
  int percent = 0;
  int filled = 0;
  char text[256] = "";
  // What the window shows of it: the first 50 columns, padded, so that a long text (a file path)
  // never draws outside the saved frame.
  char shown[kBar + 1] = "";
  char percent_text[8] = "";
  ControlRecord dlg[6];
};
Progress g_progress;

void Build() {
  Progress& p = g_progress;
  ControlRecord* d = p.dlg;
  p.percent = p.filled = 0;
  std::snprintf(p.percent_text, sizeof p.percent_text, "%3u%%", 0u);
  dlg_frame(d, 0, 0, 0, 56, 5, nullptr);
  dlg_center(d);
  std::snprintf(p.shown, sizeof p.shown, "%-50.50s", p.text);
  dlg_control(d, 1, kKindText, 0, 0, ControlData{p.shown}, 3, 1, kBar, 1, 9);
  dlg_fill(d, 2, 3, 2, kBar, 1, 177, 9);
  dlg_fill(d, 3, 3, 2, 0, 1, 219, 9);
  dlg_label(d, 4, 26, 3, p.percent_text);
  dlg_end(d, 5);
}

}  // namespace

int progress(int mode, const char* format, ...) {
  Progress& p = g_progress;
  if (mode == 0) {
    va_list args;
    va_start(args, format);
    if (format) std::vsnprintf(p.text, sizeof p.text, format, args);
    else p.text[0] = '\0';
    va_end(args);
    // Open already: new text and a fresh start, drawn with the next change.
    Build();
    if (p.open) return 0;
    if (dlg_open(p.dlg) != 0) return -1;
    p.open = true;
    return 0;
  }
  if (mode == 2 && p.open) {
    window_close();
    p.open = false;
  }
  return 0;
}

int progress(int mode, AMOUNT value, const char* format, ...) {
  Progress& p = g_progress;
  if (mode != 1) return progress(mode, "%s", format ? format : "");
  if (p.open) {
    int64_t whole = value.Whole();
    const int percent = whole < 0 ? 0 : whole > 100 ? 100 : static_cast<int>(whole);
    ControlRecord* d = p.dlg;
    if (percent != p.percent) {
      p.percent = percent;
      std::snprintf(p.percent_text, sizeof p.percent_text, "%3u%%", static_cast<unsigned>(percent));
      dlg_draw_control(d, 4);
      const int filled = percent * kBar / 100;
      if (filled != p.filled) {
        p.filled = filled;
        d[3].width = filled;
        d[2].x = 3 + filled;
        d[2].width = kBar - filled;
        dlg_draw_control(d, 3);
        dlg_draw_control(d, 2);
      }
    }
    if (format) {
      char text[256];
      va_list args;
      va_start(args, format);
      std::vsnprintf(text, sizeof text, format, args);
      va_end(args);
      if (std::strcmp(text, p.text) != 0) {
        std::memcpy(p.text, text, sizeof text);
        std::snprintf(p.shown, sizeof p.shown, "%-50.50s", p.text);
        dlg_draw_control(d, 1);
      }
    }
  }
  if (key_waiting()) {
    KeyEvent ev;
    read_key(&ev);
    if (key_is_esc(ev) && message_box(1, "%s", "Przerwać operację?\t &Tak \t &Nie "_pl) == 1)
      return -1;
  }
  return 0;
}

bool progress_is_open() { return g_progress.open; }

void FeedbackReset() {
  StatusWaitReset();
  g_progress = Progress();
}
