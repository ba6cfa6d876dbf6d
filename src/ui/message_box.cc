#include "ui/message_box.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/text.h"
#include "db/db_event_text.h"
#include "db/db_events.h"
#include "db/schema.h"
#include "ui/dialog.h"
#include "ui/keys.h"
#include "ui/screen.h"

namespace {

constexpr int kWrapColumn = 70;
constexpr int kMaxButtons = 5;

int MessageBoxV(int default_button, const char* format, va_list args) {
  char text[1024];
  std::vsnprintf(text, sizeof text, format ? format : "", args);

  // The message, then up to five labels; a further tab ends the last label.
  std::vector<const char*> labels;
  char* tab = std::strchr(text, '\t');
  if (tab) *tab = '\0';
  while (tab && static_cast<int>(labels.size()) < kMaxButtons) {
    char* label = tab + 1;
    tab = std::strchr(label, '\t');
    if (tab) *tab = '\0';
    labels.push_back(label);
  }
  if (labels.empty()) labels.push_back(" &Ok ");
  wrap_message(text);

  int tw, th;
  text_size(text, &tw, &th);
  int bw = -1, bh = 0;
  std::vector<int> widths;
  for (const char* label : labels) {
    int w, h;
    text_size(label, &w, &h);
    widths.push_back(w);
    bw += w + 1;
    bh = std::max(bh, h);
  }
  const int width = std::max(tw, bw) + 6;
  const int height = th + 2 + bh + (th >= 1 && bh >= 1 ? 1 : 0);

  std::vector<ControlRecord> dlg(labels.size() + 3);
  dlg_frame(dlg.data(), 0, 0, 0, width, height, nullptr);
  dlg_center(dlg.data());
  dlg_label(dlg.data(), 1, 3, 1, text);
  int bx = tw > bw ? 3 + (tw - bw) / 2 : 3;
  const int by = height - bh - 1;
  for (size_t i = 0; i < labels.size(); ++i) {
    dlg_button(dlg.data(), static_cast<int>(i) + 2, bx, by, labels[i]);
    bx += widths[i] + 1;
  }
  dlg_end(dlg.data(), static_cast<int>(labels.size()) + 2);

  int start = 2;
  if (default_button >= 1 && default_button <= static_cast<int>(labels.size()))
    start = default_button + 1;
  int r = dlg_run(dlg.data(), start, nullptr);
  return r >= 2 ? r - 1 : 0;
}

}  // namespace

void wrap_message(char* text) {
  int line_start = 0, last_space = -1;
  for (int i = 0; text[i]; ++i) {
    const char c = text[i];
    if (c == '\n' || c == '\t') {
      line_start = i + 1;
      last_space = -1;
      continue;
    }
    if (c == ' ') last_space = i;
    if (i - line_start + 1 >= kWrapColumn && last_space >= 0) {
      text[last_space] = '\n';
      line_start = last_space + 1;
      last_space = -1;
    }
  }
}

int message_box(int default_button, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int r = MessageBoxV(default_button, format, args);
  va_end(args);
  return r;
}

int message(const char* format, ...) {
  va_list args;
  va_start(args, format);
  int r = MessageBoxV(1, format, args);
  va_end(args);
  return r;
}

void not_supported() { message("%s", "Funkcja w tym miejscu nieobsługiwana."_pl); }

void deleted_meanwhile(int table) {
  const char* title = table >= 0 && table < kSchemaTableCount ? TABLE_INFO[table].title : "";
  message("%s", DbEventMessage(kDbEvRecordDeleted, title).c_str());
}

int ask_abort() {
  if (!key_waiting()) return 0;
  KeyEvent ev;
  read_key(&ev);
  if (!key_is_esc(ev)) return 0;
  return message_box(1, "%s", "Przerwać operację?\t &Tak \t &Nie "_pl) == 1 ? 1 : 0;
}
