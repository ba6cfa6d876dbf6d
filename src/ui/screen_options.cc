#include "ui/screen_options.h"

#include <cstdio>
#include <cstring>

#include "common/colours.h"
#include "platform/inifile.h"
#include "ui/dialog.h"
#include "ui/pick_list.h"
#include "ui/screen.h"

const NameTableEntry CODE_PAGE_NAMES[] = {{"Brak", 0},     {"Mazovia", 1},     {"Latin 2", 2},
                                          {"CSK", 3},      {"Cyfromat", 4},    {"DHN", 5},
                                          {"IEA", 6},      {"ISO Latin 2", 7}, {"Logic", 8},
                                          {"Microvex", 9}, {"Windows", 10},    {nullptr, 0}};
const NameTableEntry COLOUR_MODE_NAMES[] = {{"Auto", 0}, {"Kolor", 1}, {"Mono", 2}, {nullptr, 0}};

namespace {

constexpr int kCodePageField = 2;
constexpr int kColourField = 4;

int Callback(ControlRecord* dlg, int code) {
  if (code == kCodePageField) choice_field_pick(dlg, code, CODE_PAGE_NAMES);
  else if (code == kColourField) choice_field_pick(dlg, code, COLOUR_MODE_NAMES);
  return -1;
}

}  // namespace

void load_screen_options() {
  INIFILE ini(ConfigPath());
  int32_t v;
  if (ini.GetInt("Tamsu", "ConPLStandard", &v) == 0) set_screen_code_page(v);
  if (ini.GetInt("Tamsu", "ColorMode", &v) == 0) set_colour_mode(v);
}

int save_screen_options() {
  INIFILE ini(ConfigPath());
  int a = ini.WriteInt("Tamsu", "ConPLStandard", screen_code_page());
  int b = ini.WriteInt("Tamsu", "ColorMode", colour_mode());
  return a == 0 && b == 0 ? 0 : -1;
}

int screen_options() {
  char code_page[16], colours[16];
  std::snprintf(code_page, sizeof code_page, "%s", table_name(CODE_PAGE_NAMES, screen_code_page()));
  std::snprintf(colours, sizeof colours, "%s", table_name(COLOUR_MODE_NAMES, colour_mode()));
  FieldDescriptor fd_code_page, fd_colours;
  make_descriptor(&fd_code_page, 'C', 11, 0, code_page);
  make_descriptor(&fd_colours, 'C', 5, 0, colours);
  ControlRecord dlg[7];
  dlg_frame(dlg, 0, 0, 0, 33, 6, "OPCJE EKRANU");
  dlg_center(dlg);
  dlg_label(dlg, 1, 3, 1, "&Polskie litery:");
  dlg_choice(dlg, kCodePageField, 19, 1, 11, 1, &fd_code_page);
  dlg_label(dlg, 3, 11, 2, "&Kolory:");
  dlg_choice(dlg, kColourField, 19, 2, 5, 1, &fd_colours);
  dlg_button(dlg, 5, 14, 4, " &Ok ");
  dlg_end(dlg, 6);
  if (dlg_run(dlg, 0, Callback) != 5) return -1;
  set_screen_code_page(table_value(CODE_PAGE_NAMES, code_page));
  set_colour_mode(table_value(COLOUR_MODE_NAMES, colours));
  save_screen_options();
  return 0;
}
