#include "business/contractor_parent.h"

#include <cstdio>

#include "business/contractor_form.h"
#include "business/options.h"
#include "business/record_form.h"
#include "business/record_lookup.h"
#include "common/text.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "ui/dialog.h"
#include "ui/message_box.h"
#include "ui/record_list.h"

namespace {

KON_RECORD g_loaded{};

// The dialog's fields and the contractor chosen in it.
struct PARENT_DIALOG {
  char name[51];
  char address[51];
  char nip[21];
  AMOUNT chosen;
};
PARENT_DIALOG g_dialog;
constexpr int kNameField = 3;

void Fill(const KON_RECORD& c) {
  g_dialog.chosen = c.ID;
  form_copy_text(g_dialog.name, sizeof g_dialog.name, c.NAZWA);
  form_copy_text(g_dialog.address, sizeof g_dialog.address, ContractorAddress(c).c_str());
  form_copy_text(g_dialog.nip, sizeof g_dialog.nip, c.NIP);
}

int ChooseCallback(ControlRecord* dlg, int code) {
  if (code != kNameField) return -1;
  if (record_list(kViewContractors) == 0) {
    Fill(Kon);
    for (int i = kNameField; i <= kNameField + 4; i += 2) dlg_draw_control(dlg, i);
  }
  return -1;
}

int AddDefaultCompany() {
  static const char* const kName = "Moja firma";
  if (LockAllTables(true) != 0) return -1;
  Kon = KON_RECORD{};
  Kon.ID = AMOUNT::FromInt(1);
  form_copy_text(Kon.NAZWA, sizeof Kon.NAZWA, kName);
  const int rc = TableAppend(kTableContractors);
  UnlockAllTables();
  if (rc != 0) return -1;
  message("Firma macierzysta została dodana jako:\n%s."_pl, kName);
  return 0;
}

}  // namespace

int ParentCompany(KON_RECORD* out) {
  *out = KON_RECORD{};
  const AMOUNT id = Company();
  if (id.IsZero()) return -1;
  if (ReadRecordById(kTableContractors, id, out) != 0) {
    *out = KON_RECORD{};
    return -1;
  }
  return 0;
}

int EnsureParentCompany() {
  const int t = kTableContractors;
  if (!TableIsOpen(t)) return -1;
  if (TableLock(t, false) != 0) return -1;
  long count = 0;
  const int rc = TableCount(t, &count);
  TableUnlock(t);
  if (rc != 0) return -1;
  if (count != 0) return 0;
  message("%s",
          "Wprowadź dane własnej firmy.\n\nZostanie ona dodana jako jeden\nz kontrahentów i "
          "ustawiona jako\nmacierzysta."_pl);
  if (contractor_form_edit(kContractorAddEmpty) != 0 && AddDefaultCompany() != 0) return -1;
  // Either way the new contractor is the current one.
  return SetCompany(Kon.ID) == 0 ? 0 : -1;
}

int parent_company_dialog() {
  static const char* const kText =
      "Dla poprawnego działania programu, należy dodać własną firmę\njako jednego z kontrahentów "
      "i wskazać ją jako macierzystą."_pl;
  const int t = kTableContractors;
  if (!TableIsOpen(t)) return -1;
  g_dialog = PARENT_DIALOG{};
  KON_RECORD current{};
  if (ParentCompany(&current) == 0) Fill(current);
  const long was = TableRecNo(t);
  const int index = TableGetIndex(t);

  FieldDescriptor fields[3];
  make_descriptor(&fields[0], 'C', 50, 0, g_dialog.name);
  make_descriptor(&fields[1], 'C', 50, 0, g_dialog.address);
  make_descriptor(&fields[2], 'C', 20, 0, g_dialog.nip);
  ControlRecord dlg[10];
  dlg_frame(dlg, 0, 0, 0, 66, 10, "FIRMA MACIERZYSTA");
  dlg_center(dlg);
  dlg_label(dlg, 1, 3, 1, kText);
  dlg_label(dlg, 2, 3, 4, "&Nazwa:");
  dlg_choice(dlg, kNameField, 11, 4, 50, 1, &fields[0]);
  dlg_label(dlg, 4, 3, 5, "Adres:");
  dlg_choice(dlg, 5, 11, 5, 50, 1, &fields[1]);
  dlg[5].options = 0;  // shown, never entered
  dlg_label(dlg, 6, 3, 6, "NIP:");
  dlg_choice(dlg, 7, 11, 6, 20, 1, &fields[2]);
  dlg[7].options = 0;
  dlg_button(dlg, 8, 30, 8, " &Ok ");
  dlg_end(dlg, 9);
  const int r = dlg_run(dlg, kNameField, ChooseCallback);

  // The contractor list chose by moving the table: it goes back where it was.
  if (TableLock(t, false) == 0) {
    TableSetIndex(t, index);
    TableGo(t, was);
    TableUnlock(t);
  }
  if (r != 8 || g_dialog.chosen.IsZero()) return -1;
  if (SetCompany(g_dialog.chosen) != 0) return -1;
  LoadParentCompany();
  return 0;
}

int LoadParentCompany() { return ParentCompany(&g_loaded); }

const KON_RECORD& LoadedParentCompany() { return g_loaded; }

void ResetParentCompany() {
  g_loaded = KON_RECORD{};
  g_dialog = PARENT_DIALOG{};
}
