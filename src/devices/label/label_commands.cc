// The label printer in the application: F9 of the goods ("Drukowanie etykiety") and the dialog
// "Opcje drukarki etykiet".
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/text.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "devices/device_dialogs.h"
#include "devices/label/label_printer.h"
#include "platform/cups_print.h"
#include "ui/dialog.h"
#include "ui/message_box.h"
#include "ui/pick_list.h"
#include "ui/record_list.h"
#include "ui/screen.h"

namespace {

const char* const kDefaultPrinter = "(Domyślna)"_pl;
constexpr int kMaxCopies = 999;

// "Drukowanie etykiety": the number of copies.
constexpr int kCopiesField = 2, kCopiesOk = 3;
AMOUNT* g_copies = nullptr;

int CopiesCallback(ControlRecord*, int code) {
  if (code != kCopiesField && code != -2) return -1;
  if (*g_copies >= AMOUNT::FromInt(1) && *g_copies <= AMOUNT::FromInt(kMaxCopies)) return -1;
  beep();
  return kCopiesField;
}

int AskCopies(int* copies) {
  AMOUNT n = AMOUNT::FromInt(1);
  FieldDescriptor fd;
  make_descriptor(&fd, 'N', 3, 0, &n);
  ControlRecord dlg[5];
  dlg_frame(dlg, 0, 0, 0, 30, 5, "Drukowanie etykiety");
  dlg_center(dlg);
  dlg_label(dlg, 1, 3, 1, "Liczba &kopii:");
  dlg_field(dlg, kCopiesField, 19, 1, 3, 1, &fd);
  // Enter in the field prints at once.
  dlg[kCopiesField].options |= kOptClosing;
  dlg_button(dlg, kCopiesOk, 12, 3, " &Ok ");
  dlg_end(dlg, 4);
  AMOUNT* saved = g_copies;
  g_copies = &n;
  const int r = dlg_run(dlg, kCopiesField, CopiesCallback);
  g_copies = saved;
  if (r != kCopiesOk && r != kCopiesField) return -1;
  *copies = static_cast<int>(n.Whole());
  return 0;
}

// Tells the user why a label did not go out; a cancelled transfer says nothing.
void ReportFailure(int rc, const LabelPrinterSettings& s, const LABELPRINTER& p) {
  if (rc == kDevOk || rc == kDevCancelled) return;
  if (s.printMode == 1) {
    message("Nie można wydrukować etykiety na drukarce %s:\n%s"_pl,
            s.printerName[0] ? s.printerName : kDefaultPrinter, p.error().c_str());
    return;
  }
  // An unknown print mode is a configuration the program cannot follow.
  DEVICE::notify(rc < 0 ? kDevConfiguration : rc, 0);
}

int PrintLabelCommand(int, int) { return PrintGoodsLabel(); }

// The options dialog: records the callback works on.
enum {
  kSerialRadio = 2,
  kPrinterRadio = 3,
  kPortLabel = 4,
  kPort = 5,
  kSettingsLabel = 6,
  kDefaultRadio = 7,
  kManualRadio = 8,
  kNameLabel = 9,
  kName = 10,
  kBuiltInRadio = 12,
  kFileRadio = 13,
  kFile = 14,
  kSend = 15,
  kOk = 16,
  kRecords = 18,
};

struct OPTIONS_DIALOG {
  ControlRecord dlg[kRecords];
  LabelPrinterSettings s;
  char port[8], name[128], file[256];
  std::vector<std::string> printer_names;
  std::vector<NameTableEntry> printers;  // "(Domyślna)" and the queues
};
OPTIONS_DIALOG* g_open = nullptr;

// The port rows serve the serial mode, the printer name the queue; the file name only a
// template from a file.
void ShowState(ControlRecord* dlg, bool redraw) {
  const bool queue = radio_selected(dlg, kSerialRadio) == kPrinterRadio;
  for (int i : {kPortLabel, kPort, kSettingsLabel, kDefaultRadio, kManualRadio})
    dlg_set_state(dlg, i, kStateDisabled, queue, false);
  for (int i : {kNameLabel, kName}) dlg_set_state(dlg, i, kStateDisabled, !queue, false);
  dlg_set_state(dlg, kFile, kStateDisabled, radio_selected(dlg, kBuiltInRadio) == kBuiltInRadio,
                false);
  if (redraw) dlg_draw(dlg, 0);
}

// The settings as the dialog shows them.
LabelPrinterSettings Shown(const OPTIONS_DIALOG& d) {
  LabelPrinterSettings s = d.s;
  const ControlRecord* dlg = d.dlg;
  s.printMode = radio_selected(dlg, kSerialRadio) == kPrinterRadio ? 1 : 0;
  if (d.port[0]) s.port = table_value(PortNames(), d.port);
  s.portDefaultProperties = radio_selected(dlg, kDefaultRadio) == kDefaultRadio ? 1 : 0;
  std::snprintf(s.printerName, sizeof s.printerName, "%s",
                std::strcmp(d.name, kDefaultPrinter) == 0 ? "" : d.name);
  s.configDefault = radio_selected(dlg, kBuiltInRadio) == kBuiltInRadio ? 1 : 0;
  std::snprintf(s.configFile, sizeof s.configFile, "%s", d.file);
  return s;
}

int OptionsCallback(ControlRecord* dlg, int code) {
  OPTIONS_DIALOG& d = *g_open;
  switch (code) {
    case kSerialRadio:
    case kPrinterRadio:
    case kBuiltInRadio:
    case kFileRadio: ShowState(dlg, true); return -1;
    case kPort: choice_field_pick(dlg, code, PortNames()); return -1;
    case kManualRadio:
      if (dlg_checked(dlg, kManualRadio)) port_settings_dialog(&d.s.portProperties);
      return -1;
    case kName: choice_field_pick(dlg, code, d.printers.data()); return -1;
    case kSend:
      if (message_box(1, "%s", "Wysłać szablon do drukarki?\t &Tak \t &Nie "_pl) == 1) {
        if (SendLabelTemplate(Shown(d)) == kDevOk)
          message("%s", "Szablon został wysłany do drukarki."_pl);
        else message("%s", "Szablon nie został wysłany do drukarki."_pl);
      }
      return kSend;
    default: return -1;
  }
}

}  // namespace

int PrintGoodsLabel() {
  int copies = 1;
  if (AskCopies(&copies) != 0) return -1;
  // The goods as stored now: on a shared database its price may have changed meanwhile.
  if (LockAllTables(false) != 0) return -1;
  bool gone = false;
  const int read = TableReread(kTableGoods) != 0 ? -1 : TableIsDeleted(kTableGoods, &gone);
  UnlockAllTables();
  if (read != 0) return -1;
  if (gone) {
    deleted_meanwhile(kTableGoods);
    return -1;
  }
  const LabelPrinterSettings s = ReadLabelPrinterSettings();
  LABELPRINTER p;
  int rc = OpenLabelPrinter(&p, s);
  if (rc == kDevOk) {
    const std::string job = LabelJob(LabelFields{Tow.NAZWA, Tow.NR, Tow.CENA, Tow.EAN}, copies);
    rc = p.send(job.data(), job.size());
  }
  p.close();
  ReportFailure(rc, s, p);
  return rc == kDevOk ? 0 : -1;
}

void RegisterLabelCommand() {
  set_record_command(kViewGoods, kRecordPrintLabel, PrintLabelCommand);
}

int label_printer_options() {
  OPTIONS_DIALOG d;
  d.s = ReadLabelPrinterSettings();
  std::snprintf(d.port, sizeof d.port, "%s", table_name(PortNames(), d.s.port));
  std::snprintf(d.name, sizeof d.name, "%s",
                d.s.printerName[0] ? d.s.printerName : kDefaultPrinter);
  std::snprintf(d.file, sizeof d.file, "%s", d.s.configFile[0] ? d.s.configFile : "Etykieta.epl");
  // The queues; when CUPS cannot be asked the list keeps the default.
  cups_destination_names(&d.printer_names, 18, nullptr);
  d.printers.push_back({kDefaultPrinter, 0});
  for (const std::string& n : d.printer_names) d.printers.push_back({n.c_str(), 0});
  d.printers.push_back({nullptr, 0});

  FieldDescriptor f_port, f_name, f_file;
  make_descriptor(&f_port, 'C', 4, 0, d.port);
  make_descriptor(&f_name, 'C', sizeof d.name - 1, 0, d.name);
  make_descriptor(&f_file, 'C', sizeof d.file - 1, 0, d.file);
  ControlRecord* dlg = d.dlg;
  dlg_frame(dlg, 0, 0, 0, 48, 18, "Opcje drukarki etykiet");
  dlg_center(dlg);
  dlg_label(dlg, 1, 3, 1, "Wydruk poprzez:");
  dlg_radio(dlg, kSerialRadio, 5, 2, "Port &szeregowy ");
  dlg_radio(dlg, kPrinterRadio, 5, 3, "Sterownik Wi&ndows ");
  dlg_label(dlg, kPortLabel, 3, 5, "&Port:");
  dlg_choice(dlg, kPort, 21, 5, 4, 1, &f_port);
  dlg_label(dlg, kSettingsLabel, 3, 6, "Ustawienia portu:");
  dlg_radio(dlg, kDefaultRadio, 5, 7, "&Domyślne           "_pl);
  dlg_radio(dlg, kManualRadio, 5, 8, "&Ręczne...          "_pl);
  dlg_label(dlg, kNameLabel, 3, 10, "Nazwa &drukarki:");
  dlg_choice(dlg, kName, 21, 10, 22, 1, &f_name);
  dlg_label(dlg, 11, 3, 12, "Szablon:");
  dlg_radio(dlg, kBuiltInRadio, 5, 13, "W&budowany ");
  dlg_radio(dlg, kFileRadio, 5, 14, "Z p&liku   ");
  dlg_field(dlg, kFile, 19, 14, 24, 1, &f_file);
  dlg_button(dlg, kSend, 5, 16, " &Wyślij szablon "_pl);
  dlg_button(dlg, kOk, 33, 16, " &Ok ");
  dlg_end(dlg, kOk + 1);
  radio_select(dlg, d.s.printMode == 1 ? kPrinterRadio : kSerialRadio, false);
  radio_select(dlg, d.s.portDefaultProperties == 0 ? kManualRadio : kDefaultRadio, false);
  radio_select(dlg, d.s.configDefault == 1 ? kBuiltInRadio : kFileRadio, false);
  ShowState(dlg, false);

  OPTIONS_DIALOG* saved = g_open;
  g_open = &d;
  const int r = dlg_run(dlg, 0, OptionsCallback);
  g_open = saved;
  if (r != kOk) return -1;
  return WriteLabelPrinterSettings(Shown(d));
}
