#include "admin/admin_common.h"

#include <cerrno>
#include <cstring>

#include "common/text.h"
#include "db/db_event_text.h"
#include "db/db_events.h"
#include "db/dbtable.h"
#include "db/table.h"
#include "platform/system.h"

namespace {

FILE* g_err = stderr;

int PrintEvent(int code, const char* name, long number) {
  std::string m = DbEventMessage(code, name, number);
  if (!m.empty()) Say(g_err, m);
  return 0;
}

}  // namespace

void Say(FILE* f, const std::string& data_text) {
  std::fprintf(f, "%s\n", Cp1250ToUtf8(data_text).c_str());
}

void IN_DATA_DIRECTORY::PRINT_FILE_ERROR::Report(const char* name, int op, int kind, int err) {
  if (op == kFileOpLock || op == kFileOpUnlock) return;
  Say(g_err, FileErrorMessage(name, op, kind, err));
}

IN_DATA_DIRECTORY::IN_DATA_DIRECTORY(const char* dir, FILE* err, void (*before_close)())
    : before_close_(before_close) {
  g_err = err;
  SetEventHandler(PrintEvent);
  CFILE::SetHandler(&handler_);
  saved_ = CurrentDirectory();
  ok_ = ChangeDirectory(dir) == 0;
  if (!ok_)
    std::fprintf(err, "Nie można otworzyć katalogu \"%s\": %s.\n", dir, std::strerror(errno));
}

IN_DATA_DIRECTORY::~IN_DATA_DIRECTORY() {
  if (before_close_) before_close_();
  CloseDatabase();
  ResetTables();
  SetEventHandler(nullptr);
  CFILE::SetHandler(nullptr);
  if (!saved_.empty()) (void)ChangeDirectory(saved_.c_str());
}
