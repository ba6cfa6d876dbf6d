// The one event handler of the table layer and the last event code.
#include "db/db_events.h"

namespace {
DbEventHandler g_handler = nullptr;
int g_last_error = 0;
}  // namespace

void SetEventHandler(DbEventHandler handler) { g_handler = handler; }
DbEventHandler EventHandler() { return g_handler; }

int ReportDbEvent(int code, const char* text, long number) {
  g_last_error = code;
  return g_handler ? g_handler(code, text ? text : "", number) : 0;
}

int LastError() { return g_last_error; }

void ResetDbEvents() {
  g_handler = nullptr;
  g_last_error = 0;
}
