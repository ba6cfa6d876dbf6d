#include "ui/number_options.h"

#include <string>

#include "common/text.h"
#include "platform/inifile.h"
#include "ui/dialog.h"
#include "ui/number_format.h"

namespace {

constexpr int kDecimalField = 2;
constexpr int kThousandsField = 4;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char FieldChar(const ControlRecord* dlg, int i) {
  return static_cast<const char*>(dlg[i].data.field->variable)[0];
}

// The focus stays on a separator field until it holds something usable.
int Callback(ControlRecord* dlg, int code) {
  if (code == kDecimalField) {
    char c = FieldChar(dlg, code);
    if (c == 0 || IsDigit(c)) return code;
  } else if (code == kThousandsField) {
    if (IsDigit(FieldChar(dlg, code))) return code;
  }
  return -1;
}

}  // namespace

void load_number_format() {
  INIFILE ini(ConfigPath());
  NUMBER_FORMAT f = number_format();
  std::string v;
  char decimal = f.decimal, thousands = f.thousands;
  if (ini.GetString("Tamsu", "NumDecimalSeparator", &v) == 0) decimal = v.empty() ? 0 : v[0];
  if (ini.GetString("Tamsu", "NumThousandSeparator", &v) == 0) thousands = v.empty() ? 0 : v[0];
  set_number_format(decimal, thousands);
}

int save_number_format() {
  INIFILE ini(ConfigPath());
  NUMBER_FORMAT f = number_format();
  char decimal[2] = {f.decimal, 0}, thousands[2] = {f.thousands, 0};
  int a = ini.WriteString("Tamsu", "NumDecimalSeparator", decimal);
  int b = ini.WriteString("Tamsu", "NumThousandSeparator", thousands);
  return a == 0 && b == 0 ? 0 : -1;
}

int number_format_options() {
  NUMBER_FORMAT f = number_format();
  char decimal[2] = {f.decimal, 0}, thousands[2] = {f.thousands, 0};
  FieldDescriptor fd_decimal, fd_thousands;
  make_descriptor(&fd_decimal, 'C', 1, 0, decimal);
  make_descriptor(&fd_thousands, 'C', 1, 0, thousands);
  ControlRecord dlg[7];
  dlg_frame(dlg, 0, 0, 0, 30, 6, "FORMAT LICZB");
  dlg_center(dlg);
  dlg_label(dlg, 1, 3, 1, "Separator &dziesiętny:"_pl);
  dlg_field(dlg, kDecimalField, 25, 1, 2, 1, &fd_decimal);
  dlg_label(dlg, 3, 6, 2, "Separator &tysięcy:"_pl);
  dlg_field(dlg, kThousandsField, 25, 2, 2, 1, &fd_thousands);
  dlg_button(dlg, 5, 13, 4, " &Ok ");
  dlg_end(dlg, 6);
  if (dlg_run(dlg, 0, Callback) != 5) return -1;
  set_number_format(decimal[0], thousands[0]);
  save_number_format();
  return 0;
}
