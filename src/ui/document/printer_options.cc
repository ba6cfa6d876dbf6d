// The printer settings in Tamsu.ini and the dialog "Opcje drukarki".
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/text.h"
#include "platform/cups_print.h"
#include "platform/inifile.h"
#include "ui/dialog.h"
#include "ui/document/printing.h"
#include "ui/pick_list.h"
#include "ui/screen.h"
#include "ui/screen_options.h"

namespace {

const NameTableEntry kPrinterTypes[] = {{"Epson", 0},      {"IBM Proprinter", 1},
                                        {"HP DeskJet", 2}, {"HP LaserJet", 3},
                                        {"(Inna)", 4},     {nullptr, 0}};
const NameTableEntry kPorts[] = {{"LPT1", 0}, {"LPT2", 1}, {"LPT3", 2}, {nullptr, 0}};
const char* const kDefaultPrinter = "(Domyślna)"_pl;

// The records of the dialog that the callback and the mode switch work on.
enum {
  kCopies = 2,
  kMarginTop = 4,
  kMarginLeft = 6,
  kTables = 7,
  kFormFeed = 8,
  kTextMode = 9,
  kGraphicMode = 10,
  kTypeLabel = 11,
  kType = 12,
  kPortLabel = 13,
  kPort = 14,
  kCodePageLabel = 15,
  kCodePage = 16,
  kCodesLabel = 17,
  kCodesOn = 18,
  kCodes = 19,
  kNameLabel = 20,
  kName = 21,
  kOk = 22,
  kRecords = 24,
};

struct OPTIONS_DIALOG {
  ControlRecord dlg[kRecords];
  AMOUNT copies, top, left;
  char type[16], port[8], code_page[16], codes[161], name[256];
  std::vector<std::string> printer_names;
  std::vector<NameTableEntry> printers;  // "(Domyślna)", the CUPS names, "(Plik PDF)"
};
OPTIONS_DIALOG* g_open = nullptr;

// Text mode shows the port rows, graphic mode the printer name.
void ShowMode(ControlRecord* dlg, bool graphic, bool redraw) {
  for (int i : {kTypeLabel, kType, kPortLabel, kPort, kCodePageLabel, kCodePage, kCodesLabel,
                kCodesOn, kCodes})
    dlg_set_state(dlg, i, kStateHidden, graphic, false);
  for (int i : {kNameLabel, kName}) dlg_set_state(dlg, i, kStateHidden, !graphic, false);
  if (redraw) dlg_draw(dlg, 0);
}

bool CopiesValid(const OPTIONS_DIALOG& d) {
  return d.copies >= AMOUNT::FromInt(1) && d.copies <= AMOUNT::FromInt(99);
}

int Callback(ControlRecord* dlg, int code) {
  OPTIONS_DIALOG& d = *g_open;
  switch (code) {
    case kCopies:
    case -2:
      if (!CopiesValid(d)) {
        beep();
        return kCopies;
      }
      return -1;
    case kTextMode:
    case kGraphicMode:
      ShowMode(dlg, radio_selected(dlg, kTextMode) == kGraphicMode, true);
      return -1;
    case kType: choice_field_pick(dlg, code, kPrinterTypes); return -1;
    case kPort: choice_field_pick(dlg, code, kPorts); return -1;
    case kCodePage: choice_field_pick(dlg, code, CODE_PAGE_NAMES); return -1;
    case kName: choice_field_pick(dlg, code, d.printers.data()); return -1;
    default: return -1;
  }
}

// Copies a text, cut to the room of the target.
void Copy(char* to, size_t room, const char* from) {
  const size_t n = std::min(std::strlen(from), room - 1);
  std::memcpy(to, from, n);
  to[n] = '\0';
}

int Clamp(int32_t v, int lo, int hi, int fallback) { return v >= lo && v <= hi ? v : fallback; }

}  // namespace

void load_printer_settings(PrinterSettings* s) {
  const PrinterSettings defaults;
  *s = defaults;
  INIFILE ini(ConfigPath());
  ini.GetInt("Tamsu", "PrnType", &s->type);
  ini.GetInt("Tamsu", "PrnPort", &s->port);
  ini.GetInt("Tamsu", "PrnPLStandard", &s->code_page);
  ini.GetString("Tamsu", "PrnCodes", s->codes, sizeof s->codes);
  ini.GetInt("Tamsu", "PrnCopies", &s->copies);
  ini.GetInt("Tamsu", "PrnMarginTop", &s->margin_top);
  ini.GetInt("Tamsu", "PrnMarginLeft", &s->margin_left);
  ini.GetInt("Tamsu", "TableChars", &s->table_chars);
  ini.GetInt("Tamsu", "PrnFormFeed", &s->form_feed);
  ini.GetInt("Tamsu", "PrnGDIMode", &s->gdi_mode);
  ini.GetString("Tamsu", "PrnGDIName", s->gdi_name, sizeof s->gdi_name);
  s->type = Clamp(s->type, 0, 4, defaults.type);
  s->port = Clamp(s->port, 0, 2, defaults.port);
  s->code_page = Clamp(s->code_page, 0, kCodePageCount - 1, defaults.code_page);
  s->copies = Clamp(s->copies, 1, 99, defaults.copies);
  // A margin as large as the page would leave no room for the document.
  s->margin_top = Clamp(s->margin_top, 0, 99, 0);
  s->margin_left = Clamp(s->margin_left, 0, 99, 0);
  s->table_chars = s->table_chars != 0;
  s->form_feed = s->form_feed != 0;
  s->gdi_mode = s->gdi_mode != 0;
}

int store_printer_settings(const PrinterSettings& s) {
  INIFILE ini(ConfigPath());
  int rc = 0;
  rc |= ini.WriteInt("Tamsu", "PrnType", s.type);
  rc |= ini.WriteInt("Tamsu", "PrnPort", s.port);
  rc |= ini.WriteInt("Tamsu", "PrnPLStandard", s.code_page);
  rc |= ini.WriteString("Tamsu", "PrnCodes", s.codes);
  rc |= ini.WriteInt("Tamsu", "PrnCopies", s.copies);
  rc |= ini.WriteInt("Tamsu", "PrnMarginTop", s.margin_top);
  rc |= ini.WriteInt("Tamsu", "PrnMarginLeft", s.margin_left);
  rc |= ini.WriteInt("Tamsu", "TableChars", s.table_chars);
  rc |= ini.WriteInt("Tamsu", "PrnFormFeed", s.form_feed);
  rc |= ini.WriteInt("Tamsu", "PrnGDIMode", s.gdi_mode);
  rc |= ini.WriteString("Tamsu", "PrnGDIName", s.gdi_name);
  return rc == 0 ? 0 : -1;
}

int printer_options() {
  PrinterSettings s;
  load_printer_settings(&s);
  OPTIONS_DIALOG d;
  d.copies = AMOUNT::FromInt(s.copies);
  d.top = AMOUNT::FromInt(s.margin_top);
  d.left = AMOUNT::FromInt(s.margin_left);
  std::snprintf(d.type, sizeof d.type, "%s", table_name(kPrinterTypes, s.type));
  std::snprintf(d.port, sizeof d.port, "%s", table_name(kPorts, s.port));
  std::snprintf(d.code_page, sizeof d.code_page, "%s", table_name(CODE_PAGE_NAMES, s.code_page));
  // The codes text without its on/off mark.
  Copy(d.codes, sizeof d.codes, s.codes[0] ? s.codes + 1 : "");
  std::snprintf(d.name, sizeof d.name, "%s", s.gdi_name[0] ? s.gdi_name : kDefaultPrinter);
  // The CUPS printers; when CUPS cannot be asked the list keeps the default and the PDF file.
  cups_destination_names(&d.printer_names, 18, nullptr);
  d.printers.push_back({kDefaultPrinter, 0});
  for (const std::string& n : d.printer_names) d.printers.push_back({n.c_str(), 0});
  d.printers.push_back({kPdfFilePrinter, 0});
  d.printers.push_back({nullptr, 0});

  FieldDescriptor f_copies, f_top, f_left, f_type, f_port, f_cp, f_codes, f_name;
  make_descriptor(&f_copies, 'N', 2, 0, &d.copies);
  make_descriptor(&f_top, 'N', 2, 0, &d.top);
  make_descriptor(&f_left, 'N', 2, 0, &d.left);
  make_descriptor(&f_type, 'C', 14, 0, d.type);
  make_descriptor(&f_port, 'C', 4, 0, d.port);
  make_descriptor(&f_cp, 'C', 11, 0, d.code_page);
  make_descriptor(&f_codes, 'C', 160, 0, d.codes);
  make_descriptor(&f_name, 'C', 20, 0, d.name);
  ControlRecord* dlg = d.dlg;
  dlg_frame(dlg, 0, 0, 0, 42, 18, "Opcje drukarki");
  dlg_center(dlg);
  dlg_label(dlg, 1, 5, 1, "Liczba &kopii:");
  dlg_field(dlg, kCopies, 19, 1, 2, 1, &f_copies);
  dlg_label(dlg, 3, 3, 2, "&Margines górny:"_pl);
  dlg_field(dlg, kMarginTop, 19, 2, 2, 1, &f_top);
  dlg_label(dlg, 5, 4, 3, "Margines &lewy:");
  dlg_field(dlg, kMarginLeft, 19, 3, 2, 1, &f_left);
  dlg_check(dlg, kTables, 3, 4, "Ta&belki                  ", s.table_chars != 0);
  dlg_check(dlg, kFormFeed, 3, 5, "&Znak końca strony        "_pl, s.form_feed != 0);
  dlg_radio(dlg, kTextMode, 3, 7, "Tryb t&ekstowy  ");
  dlg_radio(dlg, kGraphicMode, 3, 8, "Tryb &graficzny ");
  dlg_label(dlg, kTypeLabel, 5, 10, "Typ &drukarki:");
  dlg_choice(dlg, kType, 19, 10, 14, 1, &f_type);
  dlg_label(dlg, kPortLabel, 13, 11, "Po&rt:");
  dlg_choice(dlg, kPort, 19, 11, 4, 1, &f_port);
  dlg_label(dlg, kCodePageLabel, 3, 12, "&Polskie litery:");
  dlg_choice(dlg, kCodePage, 19, 12, 11, 1, &f_cp);
  dlg_label(dlg, kCodesLabel, 3, 13, "Kody &sterujące:"_pl);
  dlg_check(dlg, kCodesOn, 3, 14, "", s.codes[0] == '*');
  dlg_field(dlg, kCodes, 9, 14, 24, 1, &f_codes);
  dlg_label(dlg, kNameLabel, 3, 10, "Nazwa &drukarki:");
  dlg_choice(dlg, kName, 19, 10, 20, 1, &f_name);
  dlg_button(dlg, kOk, 19, 16, " &Ok ");
  dlg_end(dlg, kOk + 1);
  radio_select(dlg, s.gdi_mode ? kGraphicMode : kTextMode, false);
  ShowMode(dlg, s.gdi_mode != 0, false);

  g_open = &d;
  const int r = dlg_run(dlg, kCopies, Callback);
  g_open = nullptr;
  if (r != kOk) return -1;
  s.copies = static_cast<int32_t>(d.copies.Whole());
  s.margin_top = std::max<int32_t>(0, static_cast<int32_t>(d.top.Whole()));
  s.margin_left = std::max<int32_t>(0, static_cast<int32_t>(d.left.Whole()));
  s.table_chars = dlg_checked(dlg, kTables);
  s.form_feed = dlg_checked(dlg, kFormFeed);
  s.gdi_mode = radio_selected(dlg, kTextMode) == kGraphicMode;
  s.type = table_value(kPrinterTypes, d.type);
  s.port = table_value(kPorts, d.port);
  s.code_page = table_value(CODE_PAGE_NAMES, d.code_page);
  s.codes[0] = dlg_checked(dlg, kCodesOn) ? '*' : ' ';
  Copy(s.codes + 1, sizeof s.codes - 1, d.codes);
  std::snprintf(s.gdi_name, sizeof s.gdi_name, "%s",
                std::strcmp(d.name, kDefaultPrinter) == 0 ? "" : d.name);
  return store_printer_settings(s);
}
