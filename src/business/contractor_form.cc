#include "business/contractor_form.h"

#include "business/document_kinds.h"
#include "business/record_form.h"
#include "common/text.h"

namespace {

CONTRACTOR_FORM_BUFFER g_buffer;
FieldDescriptor g_fields[18];
ControlRecord g_form[48];
int g_net_check = 0;

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
  form_choice(d, i++, 21, 16, 30, &f[15]);
  form_label(d, i++, 3, 17, "W &cenach netto:");
  form_label(d, i++, 21, 17, "[ ]");
  g_net_check = i;
  form_check(d, i++, 22, 17);
  form_label(d, i++, 3, 19, "&Uwagi:");
  form_text(d, i++, 21, 19, 51, &f[16]);
  form_text(d, i++, 21, 20, 51, &f[17]);
  form_button(d, i++, 37, 21, " &Ok ");
  dlg_end(d, i);
}

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
  g_buffer.record = Kon;
  const int kind = DocumentKindByCode(Kon.DOKTRATYP);
  form_copy_text(g_buffer.document_name, sizeof g_buffer.document_name, DOCUMENT_KINDS[kind].name);
  form_set_check(g_form, g_net_check, Kon.ZAOKRNETTO != 0);
}

void contractor_form_show() {
  contractor_form_load();
  form_redraw_values(g_form);
}
