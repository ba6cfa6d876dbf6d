// The status line and the wait window.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "common/text.h"
#include "ui/dialog.h"
#include "ui/feedback.h"
#include "ui/saveunder.h"
#include "ui/screen.h"

namespace {

constexpr int kTextMax = 79;

struct Status {
  int depth = 0;
  bool saved = false;
  char text[kTextMax + 1] = "";
  ControlRecord dlg[3];
};
Status g_status;

struct Wait {
  int depth = 0;
  bool shown = false;
  char text[kTextMax + 1] = "";
  ControlRecord dlg[3];
};
Wait g_wait;

void FormatInto(char* out, const char* format, va_list args) {
  if (!format) {
    out[0] = '\0';
    return;
  }
  std::vsnprintf(out, kTextMax + 1, format, args);
}

void DrawStatus() {
  ControlRecord* d = g_status.dlg;
  dlg_fill(d, 0, 0, kScreenRows - 1, kScreenColumns, 1, ' ', 9);
  dlg_label(d, 1, 1, 0, g_status.text);
  dlg_end(d, 2);
  dlg_draw(d, 0);
}

}  // namespace

void status_line(int mode, const char* format, ...) {
  va_list args;
  va_start(args, format);
  if (mode == 0) {
    FormatInto(g_status.text, format, args);
    // Without room to save the row the line is still shown, but nothing is popped at the end.
    if (g_status.depth++ == 0)
      g_status.saved = save_under(0, kScreenRows - 1, kScreenColumns, 1, 0) == 0;
    DrawStatus();
  } else if (mode == 1) {
    FormatInto(g_status.text, format, args);
    if (g_status.depth > 0) DrawStatus();
  } else if (mode == 2 && g_status.depth > 0) {
    if (--g_status.depth == 0 && g_status.saved) {
      restore_under();
      g_status.saved = false;
    }
  }
  va_end(args);
}

void wait_window(int mode, const char* format, ...) {
  va_list args;
  va_start(args, format);
  if (mode == 0 || mode == 1) {
    if (format) FormatInto(g_wait.text, format, args);
    else std::snprintf(g_wait.text, sizeof g_wait.text, "%s", "Proszę czekać..."_pl);
  }
  ControlRecord* d = g_wait.dlg;
  if (mode == 0) {
    if (g_wait.depth++ == 0) {
      const int len = static_cast<int>(std::strlen(g_wait.text));
      dlg_frame(d, 0, 0, 0, len + 6, 3, nullptr);
      dlg_center(d);
      dlg_label(d, 1, 3, 1, g_wait.text);
      dlg_end(d, 2);
      g_wait.shown = dlg_open(d) == 0;
    }
  } else if (mode == 1) {
    if (g_wait.depth > 0 && g_wait.shown) {
      // The window keeps its size; the new text is cut to the inside and the rest blanked.
      const int inner = d[0].width - 6;
      char shown[kTextMax + 1];
      std::snprintf(shown, sizeof shown, "%-*.*s", inner, inner, g_wait.text);
      d[1].data.text = shown;
      dlg_draw_control(d, 1);
      d[1].data.text = g_wait.text;
    }
  } else if (mode == 2 && g_wait.depth > 0) {
    if (--g_wait.depth == 0 && g_wait.shown) {
      window_close();
      g_wait.shown = false;
    }
  }
  va_end(args);
}

int status_line_depth() { return g_status.depth; }
int wait_window_depth() { return g_wait.depth; }

void StatusWaitReset() {
  g_status.depth = 0;
  g_status.saved = false;
  g_status.text[0] = '\0';
  g_wait.depth = 0;
  g_wait.shown = false;
  g_wait.text[0] = '\0';
}
