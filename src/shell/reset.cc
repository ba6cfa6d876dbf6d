#include "shell/reset.h"

#include "business/contractor_checks.h"
#include "business/contractor_parent.h"
#include "business/documents/document_menu.h"
#include "business/options.h"
#include "business/positions_window.h"
#include "business/record_views.h"
#include "business/rights.h"
#include "business/transaction_commands.h"
#include "business/transaction_edit.h"
#include "common/colours.h"
#include "db/db_events.h"
#include "db/index_build.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "devices/registers/fcr_posnet.h"
#include "devices/scanner/ean_scanner.h"
#include "platform/cfile.h"
#include "platform/clipboard.h"
#include "platform/console.h"
#include "platform/inifile.h"
#include "platform/removable.h"
#include "reports/reports_menu.h"
#include "shell/command_line.h"
#include "shell/main_menu.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "shell/ui_handlers.h"
#include "ui/feedback.h"
#include "ui/number_format.h"
#include "ui/record_list.h"
#include "ui/record_search.h"
#include "ui/saveunder.h"
#include "ui/screen.h"

void ResetProgramState() {
  // First: the watcher types into the screen that is reset below.
  ResetScanner();
  UninstallUiHandlers();
  ResetTables();
  ClearRecords();
  ResetTableLocks();
  ResetDbEvents();
  ResetKeySortBudget();
  CFILE::SetHandler(nullptr);
  SetFileSystem(nullptr);
  SetRemovableDrives(nullptr);
  ScreenReset();
  SaveUnderReset();
  FeedbackReset();
  ClipboardReset();
  console_select(kConsoleTerminal);
  SetConfigPath("");
  ColoursReset();
  reset_number_format();
  ResetRecordLists();
  ResetRecordSearch();
  ResetBusinessOptions();
  ResetRights();
  ResetContractorChecks();
  ResetTransactionEdit();
  ResetTransactionCommands();
  ResetPositionsWindow();
  ResetParentCompany();
  ResetDocuments();
  ResetReports();
  ResetMainWindow();
  ResetMainMenu();
  ResetCommandLine();
  ResetStartup();
  RegisterRecordViews();
  FCRPOSNET::ResetSequence();
}
