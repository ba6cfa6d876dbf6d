#include "shell/app.h"

#include "business/contractor_form.h"
#include "business/contractor_parent.h"
#include "business/demo_data.h"
#include "business/documents/document_menu.h"
#include "business/goods_commands.h"
#include "business/options.h"
#include "business/price_calculation.h"
#include "business/record_views.h"
#include "business/transaction_commands.h"
#include "common/text.h"
#include "db/dbtable.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "devices/device_messages.h"
#include "devices/fiscal_receipt.h"
#include "devices/label/label_printer.h"
#include "devices/scanner/ean_scanner.h"
#include "platform/cfile.h"
#include "platform/system.h"
#include "reports/reports_menu.h"
#include "shell/main_window.h"
#include "shell/settings_dialogs.h"
#include "shell/startup.h"
#include "shell/ui_handlers.h"
#include "ui/feedback.h"
#include "ui/message_box.h"
#include "ui/number_options.h"
#include "ui/screen.h"
#include "ui/screen_options.h"

namespace {

const char* const kDataFiles[] = {"Gto.dbf", "Tow.dbf", "Kon.dbf", "Tra.dbf", "Poz.dbf"};

bool AnyDataFileMissing() {
  for (const char* f : kDataFiles)
    if (!CFILE::Exists(f)) return true;
  return false;
}

// Every table on its default order and on its first record; transactions on the last.
int PlaceTables() {
  if (LockAllTables(false) != 0) return -1;
  for (int t = 0; t < kTableCount; ++t) {
    TableSetIndex(t, TABLE_INFO[t].default_index);
    if ((t == kTableTransactions ? TableLast(t) : TableFirst(t)) != 0) TableGo(t, -1);
  }
  UnlockAllTables();
  return 0;
}

int OpenSequence() {
  apply_network_option();
  if (AnyDataFileMissing()) {
    const std::string shown = ShortenPath(CurrentDirectory(), 31);
    if (message_box(
            1,
            "Brak danych w bieżącym katalogu:\n%*s.\n\n      Utworzyć nowe pliki?\t &Tak \t &Nie "_pl,
            31, shown.c_str()) != 1)
      return -1;
  }
  if (OpenDatabase() != 0) return -1;
  const bool empty = DatabaseEmpty();
  EnsureParentCompany();  // a failure was reported; the user may choose one later
  if (empty && message_box(1, "%s", "Utworzyć przykładową bazę danych?\t &Tak \t &Nie "_pl) == 1)
    CreateDemoDatabase();  // what was added before a failure stays
  if (PlaceTables() != 0) return -1;
  if (CFILE::CheckHandles(2) != 0) return -1;
  if (Company().IsZero()) parent_company_dialog();
  if (!Company().IsZero()) LoadParentCompany();
  return 0;
}

}  // namespace

std::string ShortenPath(const std::string& path, size_t width) {
  if (path.size() <= width) return path;
  std::string root;
  char sep = '/';
  if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') {
    root = path.substr(0, 3);
    sep = '\\';
  } else if (!path.empty() && path[0] == '/') {
    root = "/";
  }
  const std::string head = root + "...";
  if (head.size() >= width) return path.substr(path.size() - width);
  const size_t room = width - head.size();
  // The longest tail that starts at a separator and fits.
  size_t from = path.size() - room;
  size_t cut = path.find(sep, from);
  if (cut == std::string::npos) return head + path.substr(from);
  return head + path.substr(cut);
}

int OpenDatabaseAtStartup() {
  wait_window(0);
  const int r = OpenSequence();
  wait_window(2);
  if (r != 0) CloseDatabase();
  return r;
}

int TamsuMain() {
  if (EnterDataDirectory() != 0) return -1;
  const bool own_screen = !screen_is_open();
  if (own_screen && screen_open() != 0) {
    RestoreSavedDirectory();
    return -1;
  }
  InstallUiHandlers();
  InstallDeviceNotifyHook();
  load_screen_options();
  load_number_format();
  LoadBusinessOptions();
  ResetMainWindow();
  // Commands of the record views; the first-run contractor form already needs them.
  RegisterGoodsCommands();
  RegisterContractorCommands();
  RegisterTransactionCommands();
  RegisterRecordViews();
  RegisterDeviceCommands();
  RegisterLabelCommand();
  InstallScannerHooks();
  RegisterDocumentCommands();
  RegisterPriceCalculation();
  RegisterReports();
  main_screen_draw();

  int result = -1;
  if (startup_password() == 0) {
    if (OpenDatabaseAtStartup() == 0 && show_view(kTableTransactions) == 0) {
      applyScannerSettings();
      main_loop();
      stopScanner();
      result = 0;
    }
    CloseDatabase();
  }
  UninstallDeviceNotifyHook();
  UninstallUiHandlers();
  if (own_screen) screen_close();
  RestoreSavedDirectory();
  return result;
}
