#include "shell/ui_handlers.h"

#include <string>

#include "business/rights.h"
#include "common/text.h"
#include "db/db_event_text.h"
#include "db/db_events.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "platform/cfile.h"
#include "ui/dialog.h"
#include "ui/feedback.h"
#include "ui/keys.h"
#include "ui/message_box.h"
#include "ui/screen.h"

namespace {

class FILE_ERROR_BOX : public CFILE::HANDLER {
 public:
  void Report(const char* file_name, int operation, int error_kind, int system_error) override {
    // A refused lock is the caller's business: it waits or gives up.
    if (operation == kFileOpLock || operation == kFileOpUnlock) return;
    message("%s", FileErrorMessage(file_name, operation, error_kind, system_error).c_str());
  }
};

class LOCK_WAIT_WINDOW : public LOCK_WAITER {
 public:
  // A window of its own: the start-up's "Proszę czekać..." may already be open below it.
  void Begin() override {
    const char* text = "Oczekiwanie na prawo dostępu..."_pl;
    dlg_frame(dlg_, 0, 0, 0, 31 + 6, 3, nullptr);
    dlg_center(dlg_);
    dlg_label(dlg_, 1, 3, 1, text);
    dlg_end(dlg_, 2);
    shown_ = dlg_open(dlg_) == 0;
    screen_flush();
  }
  bool WantsToStop() override { return LockWaitWantsToStop(); }
  void End() override {
    if (shown_) window_close();
    shown_ = false;
  }

 private:
  ControlRecord dlg_[3];
  bool shown_ = false;
};

FILE_ERROR_BOX g_file_errors;
LOCK_WAIT_WINDOW g_lock_wait;

void ShowRightsMessage(const char* text) { message("%s", text); }

// What the tables kept back goes to the files while the user is not typing. The message about a
// failed write waits for a key too: that wait does not flush again.
void FlushTablesWhileIdle() {
  static bool flushing = false;
  if (flushing) return;
  flushing = true;
  TableFlushAll();
  flushing = false;
}

}  // namespace

bool LockWaitWantsToStop() {
  if (!key_waiting()) return false;
  KeyEvent ev;
  read_key(&ev);
  if (key_is_ctrl_f4(ev)) return true;
  if (!key_is_esc(ev)) return false;
  return message_box(1, "%s", "Przerwać operację?\t &Tak \t &Nie "_pl) == 1;
}

int ShowDbEvent(int code, const char* text, long number) {
  switch (code) {
    case kDbEvDefragStart:
      progress(0, "Defragmentacja pliku %s ..."_pl, text ? text : "");
      return 0;
    case kDbEvIndexBuildStart:
      progress(0, "Tworzenie indeksu %s ..."_pl, text ? text : "");
      return 0;
    case kDbEvDefragProgress:
    case kDbEvIndexBuildProgress: return progress(1, AMOUNT::FromInt(number)) != 0 ? 1 : 0;
    case kDbEvDefragEnd:
    case kDbEvIndexBuildEnd: progress(2); return 0;
    default: break;
  }
  const std::string m = DbEventMessage(code, text, number);
  if (!m.empty()) message("%s", m.c_str());
  return 0;
}

void InstallUiHandlers() {
  CFILE::SetHandler(&g_file_errors);
  SetEventHandler(ShowDbEvent);
  SetLockWaiter(&g_lock_wait);
  SetRightsReporter(ShowRightsMessage);
  set_idle_work(FlushTablesWhileIdle);
}

void UninstallUiHandlers() {
  CFILE::SetHandler(nullptr);
  SetEventHandler(nullptr);
  SetLockWaiter(nullptr);
  SetRightsReporter(nullptr);
  set_idle_work(nullptr);
}
