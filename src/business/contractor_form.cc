#include "business/contractor_form.h"

#include "business/contractor_checks.h"
#include "business/contractor_store.h"
#include "business/document_kinds.h"
#include "business/options.h"
#include "business/record_form.h"
#include "common/text.h"
#include "db/table.h"
#include "ui/dialog.h"
#include "ui/pick_list.h"
#include "ui/record_list.h"

const int CONTRACTOR_DOCUMENTS[kContractorDocumentCount] = {0, 7, 8, 9, 10, 11, 12, 13};
const char* const CONTRACTOR_DOCUMENT_ITEMS[kContractorDocumentCount + 1] = {
    " &Brak dokumentu        ", " &Faktura VAT           ", " F&aktura VAT RR        ",
    " &Rachunek              ", " &Paragon               ", " Fa&ktura VAT (korekta) ",
    " Ra&chunek (korekta)    ", " Para&gon (korekta)     ", nullptr,
};

namespace {

CONTRACTOR_FORM_BUFFER g_buffer;
FieldDescriptor g_fields[18];
ControlRecord g_form[48];
int g_net_check = 0;
int g_name_field = 0;
int g_nip_field = 0;
int g_document_field = 0;
int g_ok = 0;

// The edit in progress: what was stored (for an edit) and what the form decided.
struct EDIT_STATE {
  ContractorFormMode mode = kContractorEdit;
  KON_RECORD stored{};
  long recno = -1;
  int document_kind = 0;
  bool saved = false;
};
EDIT_STATE g_edit;

void Build() {
  if (g_form[0].kind == kKindBox) return;
  KON_RECORD& r = g_buffer.record;
  FieldDescriptor* f = g_fields;
  make_descriptor(&f[0], 'C', 50, 0, r.NAZWA);
  make_descriptor(&f[1], 'C', 50, 0, r.NAZWA2);
  make_descriptor(&f[2], 'C', 50, 0, r.ADRES);
  make_descriptor(&f[3], 'C', 30, 0, r.MIASTO);
  make_descriptor(&f[4], 'C', 6, 0, r.KOD);
  make_descriptor(&f[5], 'C', 50, 0, r.TELEFON);
  make_descriptor(&f[6], 'C', 50, 0, r.FAX);
  make_descriptor(&f[7], 'C', 50, 0, r.BANK);
  make_descriptor(&f[8], 'C', 50, 0, r.KONTO);
  make_descriptor(&f[9], 'C', 30, 0, r.NIP);
  make_descriptor(&f[10], 'C', 50, 0, r.REGON);
  make_descriptor(&f[11], 'C', 50, 0, r.ZEZWOLENIE);
  make_descriptor(&f[12], 'C', 20, 0, r.DOWOD);
  make_descriptor(&f[13], 'C', 50, 0, r.REPREZENT);
  make_descriptor(&f[14], 'N', 7, 2, &r.RABAT);
  make_descriptor(&f[15], 'C', 30, 0, g_buffer.document_name);
  make_descriptor(&f[16], 'C', 50, 0, r.UWAGI);
  make_descriptor(&f[17], 'C', 50, 0, r.UWAGI2);

  ControlRecord* d = g_form;
  int i = 0;
  form_box(d, i++, TABLE_INFO[kTableContractors].title);
  form_label(d, i++, 3, 1, "&Nazwa:");
  g_name_field = i;
  form_text(d, i++, 21, 1, 51, &f[0]);
  form_text(d, i++, 21, 2, 51, &f[1]);
  form_label(d, i++, 3, 3, "&Adres:");
  form_text(d, i++, 21, 3, 51, &f[2]);
  form_label(d, i++, 3, 4, "&Miasto:");
  form_text(d, i++, 21, 4, 31, &f[3]);
  form_label(d, i++, 58, 4, "&Kod:");
  form_text(d, i++, 64, 4, 7, &f[4]);
  form_label(d, i++, 3, 5, "Tele&fon:");
  form_text(d, i++, 21, 5, 51, &f[5]);
  form_label(d, i++, 3, 6, "Fa&x:");
  form_text(d, i++, 21, 6, 51, &f[6]);
  form_label(d, i++, 3, 7, "&Bank:");
  form_text(d, i++, 21, 7, 51, &f[7]);
  form_label(d, i++, 3, 8, "Kon&to:");
  form_text(d, i++, 21, 8, 51, &f[8]);
  form_label(d, i++, 3, 9, "N&IP:");
  g_nip_field = i;
  form_text(d, i++, 21, 9, 31, &f[9]);
  form_label(d, i++, 3, 10, "Re&gon:");
  form_text(d, i++, 21, 10, 51, &f[10]);
  form_label(d, i++, 3, 11, "&Zezwolenie:");
  form_text(d, i++, 21, 11, 51, &f[11]);
  form_label(d, i++, 3, 12, "Do&wód osobisty:"_pl);
  form_text(d, i++, 21, 12, 21, &f[12]);
  form_label(d, i++, 3, 13, "&Przedstawiciel:");
  form_text(d, i++, 21, 13, 51, &f[13]);
  form_label(d, i++, 3, 15, "&Rabat:");
  form_text(d, i++, 21, 15, 7, &f[14]);
  form_label(d, i++, 29, 15, "%");
  form_label(d, i++, 3, 16, "&Dokument:");
  g_document_field = i;
  form_choice(d, i++, 21, 16, 30, &f[15]);
  form_label(d, i++, 3, 17, "W &cenach netto:");
  form_label(d, i++, 21, 17, "[ ]");
  g_net_check = i;
  form_check(d, i++, 22, 17);
  form_label(d, i++, 3, 19, "&Uwagi:");
  form_text(d, i++, 21, 19, 51, &f[16]);
  form_text(d, i++, 21, 20, 51, &f[17]);
  g_ok = i;
  form_button(d, i++, 37, 21, " &Ok ");
  dlg_end(d, i);
}

void ShowDocument(int kind) {
  g_edit.document_kind = kind;
  form_copy_text(g_buffer.document_name, sizeof g_buffer.document_name, DOCUMENT_KINDS[kind].name);
}

void LoadRecord(const KON_RECORD& record) {
  g_buffer.record = record;
  ShowDocument(DocumentKindByCode(record.DOKTRATYP));
  form_set_check(g_form, g_net_check, record.ZAOKRNETTO != 0);
}

// A new choice proposes the net-price working the options give that document.
void ChooseDocument(ControlRecord* dlg) {
  int pre = 0;
  for (int k = 0; k < kContractorDocumentCount; ++k)
    if (CONTRACTOR_DOCUMENTS[k] == g_edit.document_kind) pre = k;
  const int f = g_document_field;
  const int r = menu_list(CONTRACTOR_DOCUMENT_ITEMS, pre, nullptr,
                          dlg_abs_x(dlg, f) + dlg[f].width + 1, dlg_abs_y(dlg, f));
  if (r < 0) return;
  const int kind = CONTRACTOR_DOCUMENTS[r];
  if (kind != g_edit.document_kind) {
    ShowDocument(kind);
    dlg_set_state(dlg, g_net_check, kStateChecked, NetDefaultFor(kind) != 0, true);
  }
  dlg_draw_control(dlg, f);
}

int Save() {
  KON_RECORD edited = g_buffer.record;
  form_copy_text(edited.DOKTRATYP, sizeof edited.DOKTRATYP,
                 DOCUMENT_KINDS[g_edit.document_kind].code);
  edited.ZAOKRNETTO = dlg_checked(g_form, g_net_check) ? 1 : 0;
  const bool adding = g_edit.mode != kContractorEdit;
  ContractorField back = kContractorFieldNone;
  if (SaveContractor(&edited, g_edit.document_kind, adding ? nullptr : &g_edit.stored, g_edit.recno,
                     &back) == 0) {
    g_edit.saved = true;
    return -1;
  }
  switch (back) {
    case kContractorFieldName: return g_name_field;
    case kContractorFieldNip: return g_nip_field;
    case kContractorFieldOk: return g_ok;
    default: return -1;  // nothing left to save into: the form closes
  }
}

int Callback(ControlRecord* dlg, int code) {
  if (code == g_document_field) {
    ChooseDocument(dlg);
    return -1;
  }
  if (code == -2) return Save();
  return -1;
}

int AddCommand(int, int prefilled) {
  return contractor_form_edit(prefilled ? kContractorAddPrefilled : kContractorAddEmpty);
}
int EditCommand(int, int) { return contractor_form_edit(kContractorEdit); }
int DeleteCommand(int, int) { return DeleteCurrentContractor(); }
int FindByNipCommand(int, int) { return FindContractorByNip(); }

}  // namespace

std::string ContractorAddress(const KON_RECORD& c) {
  std::string s = c.KOD;
  if (c.MIASTO[0]) {
    if (!s.empty()) s += ' ';
    s += c.MIASTO;
  }
  if (c.ADRES[0]) {
    if (!s.empty()) s += ", ";
    s += c.ADRES;
  }
  if (s.size() > 50) s.resize(50);
  return s;
}

ControlRecord* contractor_form() {
  Build();
  return g_form;
}

CONTRACTOR_FORM_BUFFER* contractor_form_buffer() { return &g_buffer; }

void contractor_form_load() {
  Build();
  LoadRecord(Kon);
}

void contractor_form_show() {
  contractor_form_load();
  form_redraw_values(g_form);
}

int contractor_form_edit(ContractorFormMode mode) {
  Build();
  const int t = kTableContractors;
  if (!TableIsOpen(t) || (mode == kContractorEdit && TableRecNo(t) < 0)) return -1;
  g_edit = EDIT_STATE{};
  g_edit.mode = mode;
  g_edit.stored = Kon;
  g_edit.recno = TableRecNo(t);
  KON_RECORD start{};
  if (mode == kContractorAddPrefilled && g_edit.recno >= 0) {
    start = Kon;
    start.ID = AMOUNT();
  } else if (mode == kContractorEdit) {
    start = Kon;
  }
  LoadRecord(start);
  dlg_run(g_form, g_name_field, Callback);
  // The form on the main screen shows no focus mark between edits.
  for (int i = 0; g_form[i].kind != kKindEnd; ++i) g_form[i].state &= ~kStateFocus;
  return g_edit.saved ? 0 : -1;
}

void RegisterContractorCommands() {
  set_record_command(kViewContractors, kRecordAdd, AddCommand);
  set_record_command(kViewContractors, kRecordEdit, EditCommand);
  set_record_command(kViewContractors, kRecordDelete, DeleteCommand);
  set_record_command(kViewContractors, kRecordFind1, FindByNipCommand);
}
