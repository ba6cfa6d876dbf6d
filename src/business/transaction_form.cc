#include "business/transaction_form.h"

#include "business/contractor_form.h"
#include "business/document_kinds.h"
#include "business/record_form.h"
#include "business/record_lookup.h"
#include "common/text.h"

namespace {

TRANSACTION_FORM_BUFFER g_buffer;
FieldDescriptor g_fields[26];
ControlRecord g_form[96];

// The payment row: amount, term in days, payment date and interest under their headers.
void PaymentRow(ControlRecord* d, int* i, int y, const char* label, FieldDescriptor* f) {
  form_label(d, (*i)++, 3, y, label);
  form_text(d, (*i)++, 17, y, 14, &f[0]);
  form_label(d, (*i)++, 32, y, "zł"_pl);
  form_text(d, (*i)++, 36, y, 3, &f[1]);
  form_label(d, (*i)++, 40, y, "dni");
  form_text(d, (*i)++, 45, y, 10, &f[2]);
  form_text(d, (*i)++, 57, y, 14, &f[3]);
  form_label(d, (*i)++, 72, y, "zł"_pl);
}

void Build() {
  if (g_form[0].kind == kKindBox) return;
  TRA_RECORD& r = g_buffer.record;
  FieldDescriptor* f = g_fields;
  make_descriptor(&f[0], 'C', 8, 0, g_buffer.kind_name);
  make_descriptor(&f[1], 'D', 10, 0, &r.DATATRA);
  make_descriptor(&f[2], 'C', 50, 0, g_buffer.contractor_name);
  make_descriptor(&f[3], 'C', 50, 0, g_buffer.contractor_address);
  make_descriptor(&f[4], 'C', 28, 0, g_buffer.warehouse_name);
  make_descriptor(&f[5], 'C', 2, 0, r.DOKMAGTYP);
  make_descriptor(&f[6], 'C', 20, 0, r.DOKMAGNR);
  make_descriptor(&f[7], 'C', 28, 0, g_buffer.sales_name);
  make_descriptor(&f[8], 'C', 2, 0, r.DOKTRATYP);
  make_descriptor(&f[9], 'C', 20, 0, r.DOKTRANR);
  make_descriptor(&f[10], 'N', 14, 2, &g_buffer.net_sum);
  make_descriptor(&f[11], 'N', 14, 2, &r.VAT);
  make_descriptor(&f[12], 'N', 14, 2, &r.SUMA);
  make_descriptor(&f[13], 'N', 14, 2, &r.GOT);
  make_descriptor(&f[14], 'N', 14, 2, &r.CZK);
  make_descriptor(&f[15], 'N', 14, 2, &r.PRZ);
  make_descriptor(&f[16], 'N', 3, 0, &r.PRZTERMIN);
  make_descriptor(&f[17], 'D', 10, 0, &r.PRZZAPLAC);
  make_descriptor(&f[18], 'N', 14, 2, &r.PRZODSETKI);
  make_descriptor(&f[19], 'N', 14, 2, &r.ODR);
  make_descriptor(&f[20], 'N', 3, 0, &r.ODRTERMIN);
  make_descriptor(&f[21], 'D', 10, 0, &r.ODRZAPLAC);
  make_descriptor(&f[22], 'N', 14, 2, &r.ODRODSETKI);
  make_descriptor(&f[23], 'C', 50, 0, r.UWAGI);
  make_descriptor(&f[24], 'C', 50, 0, r.UWAGI2);

  ControlRecord* d = g_form;
  int i = 0;
  form_box(d, i++, TABLE_INFO[kTableTransactions].title);
  form_label(d, i++, 3, 1, "&Rodzaj:");
  form_choice(d, i++, 25, 1, 8, &f[0]);
  form_label(d, i++, 47, 1, "&Data:");
  form_text(d, i++, 54, 1, 10, &f[1]);
  form_label(d, i++, 3, 2, "&Kontrahent:");
  form_choice(d, i++, 25, 2, 50, &f[2]);
  form_label(d, i++, 3, 3, "Adres:");
  form_value(d, i++, 25, 3, 50, &f[3]);
  form_label(d, i++, 3, 5, "Dokument &magazynowy:");
  form_choice(d, i++, 25, 5, 28, &f[4]);
  form_label(d, i++, 54, 5, "Nr:");
  form_value(d, i++, 58, 5, 2, &f[5]);
  form_text(d, i++, 61, 5, 17, &f[6]);
  form_label(d, i++, 3, 6, "Dokument &sprzedaży:"_pl);
  form_choice(d, i++, 25, 6, 28, &f[7]);
  form_label(d, i++, 54, 6, "&Nr:");
  form_value(d, i++, 58, 6, 2, &f[8]);
  form_text(d, i++, 61, 6, 17, &f[9]);
  form_label(d, i++, 3, 8, "Paragon &fiskalny:");
  form_label(d, i++, 24, 8, "[ ]");
  form_check(d, i++, 25, 8);
  form_label(d, i++, 3, 9, "W &cenach netto:");
  form_label(d, i++, 24, 9, "[ ]");
  form_check(d, i++, 25, 9);
  form_button(d, i++, 55, 8, " &Pozycje... ");
  form_label(d, i++, 3, 11, "Suma netto:");
  form_value(d, i++, 17, 11, 14, &f[10]);
  form_label(d, i++, 32, 11, "zł"_pl);
  form_label(d, i++, 3, 12, "Suma VAT:");
  form_value(d, i++, 17, 12, 14, &f[11]);
  form_label(d, i++, 32, 12, "zł"_pl);
  form_label(d, i++, 3, 13, "Suma brutto:");
  form_value(d, i++, 17, 13, 14, &f[12]);
  form_label(d, i++, 32, 13, "zł"_pl);
  form_label(d, i++, 45, 11, "&Gotówka:"_pl);
  form_text(d, i++, 57, 11, 14, &f[13]);
  form_label(d, i++, 72, 11, "zł"_pl);
  form_label(d, i++, 45, 12, "Kar&ta:");
  form_text(d, i++, 57, 12, 14, &f[14]);
  form_label(d, i++, 72, 12, "zł"_pl);
  form_label(d, i++, 34, 15, "Termin");
  form_label(d, i++, 45, 15, "Zapłacono"_pl);
  form_label(d, i++, 64, 15, "Odsetki");
  PaymentRow(d, &i, 16, "Prze&lew:", &f[15]);
  PaymentRow(d, &i, 17, "Odrocz&enie:", &f[19]);
  form_label(d, i++, 3, 19, "&Uwagi:");
  form_text(d, i++, 17, 19, 51, &f[23]);
  form_text(d, i++, 17, 20, 51, &f[24]);
  form_button(d, i++, 70, 20, " &Ok ");
  dlg_end(d, i);
}

}  // namespace

ControlRecord* transaction_form() {
  Build();
  return g_form;
}

TRANSACTION_FORM_BUFFER* transaction_form_buffer() { return &g_buffer; }

void transaction_form_load() { transaction_form_load_record(Tra); }

void transaction_form_load_record(const TRA_RECORD& record) {
  Build();
  g_buffer.record = record;
  KON_RECORD contractor{};
  g_buffer.contractor_name[0] = g_buffer.contractor_address[0] = 0;
  if (ReadRecordById(kTableContractors, record.KONID, &contractor) == 0) {
    form_copy_text(g_buffer.contractor_name, sizeof g_buffer.contractor_name, contractor.NAZWA);
    form_copy_text(g_buffer.contractor_address, sizeof g_buffer.contractor_address,
                   ContractorAddress(contractor).c_str());
  }
  transaction_form_derive();
  transaction_form_show_checks();
}

void transaction_form_derive() {
  const TRA_RECORD& r = g_buffer.record;
  form_copy_text(g_buffer.kind_name, sizeof g_buffer.kind_name, TransactionKindName(r.RODZAJ[0]));
  form_copy_text(g_buffer.warehouse_name, sizeof g_buffer.warehouse_name,
                 DOCUMENT_KINDS[DocumentKindByCode(r.DOKMAGTYP)].name);
  form_copy_text(g_buffer.sales_name, sizeof g_buffer.sales_name,
                 DOCUMENT_KINDS[DocumentKindByCode(r.DOKTRATYP)].name);
  g_buffer.net_sum = RoundTo(r.SUMA - r.VAT, 2);
}

void transaction_form_show_checks() {
  form_set_check(g_form, kTraFiscal, g_buffer.record.DOKFISKAL != 0);
  form_set_check(g_form, kTraNet, g_buffer.record.ZAOKRNETTO != 0);
}

void transaction_form_show() {
  transaction_form_load();
  form_redraw_values(g_form);
}
