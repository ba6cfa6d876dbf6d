// The per-view state shared by the main window and the record list: sort orders, the record
// commands the forms register and the views the business layer describes.

#include "common/text.h"
#include "ui/message_box.h"
#include "ui/record_list.h"
#include "ui/record_search.h"

namespace {

int g_order[kViewCount] = {1, 1, 1, 1};
RecordCommandFn g_commands[kViewCount][kRecordCommandCount] = {};
const RECORD_VIEW* g_views[kViewCount] = {};
int g_current_view = -1;

bool ValidView(int view) { return view >= 0 && view < kViewCount; }

}  // namespace

int current_view() { return g_current_view; }

void set_current_view(int view) { g_current_view = view; }

int view_order(int view) { return ValidView(view) ? g_order[view] : -1; }

void set_view_order(int view, int order) {
  if (ValidView(view)) g_order[view] = order;
}

void set_record_command(int view, RecordCommand which, RecordCommandFn fn) {
  if (ValidView(view) && which >= 0 && which < kRecordCommandCount) g_commands[view][which] = fn;
}

RecordCommandFn record_command(int view, RecordCommand which) {
  if (!ValidView(view) || which < 0 || which >= kRecordCommandCount) return nullptr;
  return g_commands[view][which];
}

int run_record_command(int view, RecordCommand which, int arg) {
  RecordCommandFn fn = record_command(view, which);
  if (!fn) {
    not_supported();
    return -1;
  }
  return fn(view, arg);
}

void set_record_view(int view, const RECORD_VIEW* def) {
  if (ValidView(view)) g_views[view] = def;
}

const RECORD_VIEW* record_view(int view) { return ValidView(view) ? g_views[view] : nullptr; }

void load_related(int view) {
  const RECORD_VIEW* v = record_view(view);
  if (v && v->load_related) v->load_related();
}

void record_summary(int view, char* out, int size) {
  if (!out || size <= 0) return;
  out[0] = '\0';
  const RECORD_VIEW* v = record_view(view);
  if (v && v->summary) v->summary(out, size);
}

bool record_matches(int view, const char* text, bool match_case, bool whole_words,
                    bool skip_related) {
  const RECORD_VIEW* v = record_view(view);
  if (!text || !*text || !v || !v->matches) return false;
  return v->matches(text, match_case, whole_words, skip_related);
}

void ResetRecordLists() {
  for (int v = 0; v < kViewCount; ++v) {
    g_order[v] = 1;
    for (int c = 0; c < kRecordCommandCount; ++c) g_commands[v][c] = nullptr;
  }
  g_current_view = -1;
  ResetRecordSearch();
}
