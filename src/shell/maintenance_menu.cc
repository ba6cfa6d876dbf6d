#include "shell/maintenance_menu.h"

#include <string>

#include "business/contractor_parent.h"
#include "business/maintenance_commands.h"
#include "db/archive/backup.h"
#include "db/dbtable.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "shell/main_window.h"
#include "ui/archive_ui.h"
#include "ui/record_list.h"

namespace {

enum ToolsItem {
  kItemBackup = 8,
  kItemRestore = 9,
  kItemExport = 11,
  kItemImport = 12,
  kItemDefragment = 14,
  kItemReindex = 15,
  kItemCheck = 16,
  kItemConvert = 18,
  kItemDelete = 19,
};

struct PLACE {
  int index = -1;
  long record = -1;
};

void Remember(PLACE (&places)[kSchemaTableCount]) {
  for (int t = 0; t < kSchemaTableCount; ++t) places[t] = {TableGetIndex(t), TableRecNo(t)};
}

// Every table back on its order and on its record when it is still there (a restored or purged
// database may not have it): else on its first record, the transactions on their last.
void PutBack(const PLACE (&places)[kSchemaTableCount]) {
  if (LockAllTables(false) == 0) {
    for (int t = 0; t < kSchemaTableCount; ++t) {
      TableSetIndex(t, places[t].index >= 0 ? places[t].index : TABLE_INFO[t].default_index);
      bool deleted = true;
      const bool there = places[t].record >= 0 && places[t].record < TableRecCount(t) &&
                         TableGo(t, places[t].record) == 0 && TableIsDeleted(t, &deleted) == 0 &&
                         !deleted;
      if (!there && (t == kTableTransactions ? TableLast(t) : TableFirst(t)) != 0) TableGo(t, -1);
    }
    UnlockAllTables();
  }
}

int Reopen(const PLACE (&places)[kSchemaTableCount]) {
  if (OpenDatabase() != 0) {
    tables_lost_message();
    return 1;
  }
  PutBack(places);
  LoadParentCompany();
  return 0;
}

void ShowAgain() {
  const int v = current_view();
  ResetMainWindow();
  main_screen_draw();
  show_view(v < 0 ? kViewTransactions : v);
}

int Restore() {
  std::string path;
  if (!ask_restore(&path)) return 0;
  PLACE places[kSchemaTableCount];
  Remember(places);
  CloseDatabase();
  ARCHIVE z;
  RestoreFiles(z, path);  // told through the engine; the old files stay on a failure
  const int r = Reopen(places);
  if (r == 0) ShowAgain();
  return r;
}

}  // namespace

bool is_maintenance_item(int item) {
  switch (item) {
    case kItemBackup:
    case kItemRestore:
    case kItemExport:
    case kItemImport:
    case kItemDefragment:
    case kItemReindex:
    case kItemCheck:
    case kItemConvert:
    case kItemDelete: return true;
    default: return false;
  }
}

int backup_command() {
  std::string path;
  if (!ask_backup(&path)) return 0;
  // An index that cannot be written whole would go into the copy without the marker that has it
  // rebuilt: no copy then (the failure was told).
  if (TableFlushAll() != 0) return 0;
  PLACE places[kSchemaTableCount];
  Remember(places);
  CloseDatabase();
  ARCHIVE z;
  BackupFiles(z, path);
  const int r = Reopen(places);
  if (r == 0) ShowAgain();
  return r;
}

int maintenance_command(int item) {
  int r = 0;
  PLACE places[kSchemaTableCount];
  Remember(places);
  switch (item) {
    case kItemBackup: return backup_command();
    case kItemRestore: return Restore();
    case kItemExport: r = export_command(); break;
    case kItemImport: r = import_command(); break;
    case kItemDefragment: r = defragment_command(); break;
    case kItemReindex: r = rebuild_indexes_command(); break;
    case kItemCheck: r = check_command(); break;
    case kItemConvert: r = convert_command(); break;
    case kItemDelete: r = delete_command(); break;
    default: return 0;
  }
  if (r != 0) {
    tables_lost_message();
    return r;
  }
  PutBack(places);
  ShowAgain();
  return 0;
}
