#include "business/goods_form.h"

#include <cstring>

#include "business/options.h"
#include "business/prices.h"
#include "business/record_form.h"
#include "business/record_lookup.h"
#include "business/vat.h"
#include "common/text.h"

namespace {

// ---- groups ----

GTO_RECORD g_group;
FieldDescriptor g_group_fields[3];
ControlRecord g_group_form[8];

void BuildGroupForm() {
  if (g_group_form[0].kind == kKindBox) return;
  ControlRecord* d = g_group_form;
  make_descriptor(&g_group_fields[0], 'C', 50, 0, g_group.NAZWA);
  make_descriptor(&g_group_fields[1], 'C', 50, 0, g_group.UWAGI);
  make_descriptor(&g_group_fields[2], 'C', 50, 0, g_group.UWAGI2);
  form_box(d, 0, TABLE_INFO[kTableGroups].title);
  form_label(d, 1, 3, 2, "&Nazwa:");
  form_text(d, 2, 11, 2, 31, &g_group_fields[0]);
  form_label(d, 3, 3, 4, "&Uwagi:");
  form_text(d, 4, 11, 4, 51, &g_group_fields[1]);
  form_text(d, 5, 11, 5, 51, &g_group_fields[2]);
  form_button(d, kGroupOk, 37, 7, " &Ok ");
  dlg_end(d, kGroupOk + 1);
}

// ---- goods ----

GOODS_FORM_BUFFER g_goods;
char g_vat_label[3];
FieldDescriptor g_goods_fields[20];
ControlRecord g_goods_form[48];

// A field 7 or 12 wide sits in the blanks of its label, one column before the suffix ("%", "zł").
int FieldInLabel(int label_x, const char* label, int suffix, int width) {
  int w = 0, h = 0;
  text_size(label, &w, &h);
  return label_x + w - suffix - 1 - width;
}

void BuildGoodsForm() {
  if (g_goods_form[0].kind == kKindBox) return;
  ControlRecord* d = g_goods_form;
  FieldDescriptor* f = g_goods_fields;
  TOW_RECORD& r = g_goods.record;
  make_descriptor(&f[0], 'C', 50, 0, r.NAZWA);
  make_descriptor(&f[1], 'C', 50, 0, r.OPIS);
  make_descriptor(&f[2], 'C', 20, 0, r.NR);
  make_descriptor(&f[3], 'C', 20, 0, r.EAN);
  make_descriptor(&f[4], 'C', 50, 0, g_goods.group_name);
  make_descriptor(&f[5], 'C', 20, 0, g_goods.kind_name);
  make_descriptor(&f[6], 'C', 20, 0, r.SWW);
  make_descriptor(&f[7], 'N', 12, 2, &r.OPAKOWANIE);
  make_descriptor(&f[8], 'C', 5, 0, r.JMIARY);
  make_descriptor(&f[9], 'N', 12, 2, &r.STANMIN);
  make_descriptor(&f[10], 'N', 12, 2, &r.STAN);
  make_descriptor(&f[11], 'N', 7, 2, &r.MARZA);
  make_descriptor(&f[12], 'N', 12, 2, &g_goods.net_price);
  make_descriptor(&f[13], 'C', 2, 0, g_vat_label);
  make_descriptor(&f[14], 'N', 12, 2, &r.CENA);
  make_descriptor(&f[15], 'N', 7, 2, &r.RABAT);
  make_descriptor(&f[16], 'C', 50, 0, r.UWAGI);
  make_descriptor(&f[17], 'C', 50, 0, r.UWAGI2);

  static const char* const kMargin = "&Marża:              %"_pl;
  static const char* const kNet = "&Cena sprzedaży netto:              zł"_pl;
  static const char* const kVat = "Stawka &VAT:              %";
  static const char* const kGross = "Cena sprzedaży &brutto:              zł"_pl;
  static const char* const kDiscount = "Raba&t:              %";

  int i = 0;
  form_box(d, i++, TABLE_INFO[kTableGoods].title);
  form_label(d, i++, 3, 2, "&Nazwa:");
  form_text(d, i++, 25, 2, 41, &f[0]);
  form_label(d, i++, 3, 3, "O&pis:");
  form_text(d, i++, 25, 3, 51, &f[1]);
  form_label(d, i++, 3, 4, "N&r:");
  form_text(d, i++, 25, 4, 17, &f[2]);
  form_label(d, i++, 47, 4, "&Kod kreskowy:");
  form_text(d, i++, 62, 4, 14, &f[3]);
  form_label(d, i++, 3, 5, "&Grupa:");
  form_choice(d, i++, 25, 5, 30, &f[4]);
  form_label(d, i++, 3, 6, "Ro&dzaj:");
  form_choice(d, i++, 25, 6, 18, &f[5]);
  form_label(d, i++, 47, 6, "&Symbol PKWiU:");
  form_text(d, i++, 62, 6, 15, &f[6]);
  form_label(d, i++, 3, 8, "Opakowanie &zbiorcze:");
  form_text(d, i++, 25, 8, 12, &f[7]);
  form_choice(d, i++, 38, 8, 5, &f[8]);
  form_label(d, i++, 3, 9, "Stan minima&lny:");
  form_text(d, i++, 25, 9, 12, &f[9]);
  form_value(d, i++, 38, 9, 5, &f[8]);
  form_label(d, i++, 3, 10, "Stan bieżący:"_pl);
  form_value(d, i++, 25, 10, 12, &f[10]);
  form_value(d, i++, 38, 10, 5, &f[8]);
  form_label(d, i++, 3, 12, kMargin);
  form_text(d, i++, FieldInLabel(3, kMargin, 1, 7), 12, 7, &f[11]);
  form_label(d, i++, 38, 12, kNet);
  form_text(d, i++, FieldInLabel(38, kNet, 2, 12), 12, 12, &f[12]);
  form_label(d, i++, 3, 13, kVat);
  form_choice(d, i++, FieldInLabel(3, kVat, 1, 2), 13, 2, &f[13]);
  form_label(d, i++, 37, 13, kGross);
  form_text(d, i++, FieldInLabel(37, kGross, 2, 12), 13, 12, &f[14]);
  form_label(d, i++, 3, 14, kDiscount);
  form_text(d, i++, FieldInLabel(3, kDiscount, 1, 7), 14, 7, &f[15]);
  form_label(d, i++, 3, 16, "&Uwagi:");
  form_text(d, i++, 25, 16, 51, &f[16]);
  form_text(d, i++, 25, 17, 51, &f[17]);
  form_button(d, i++, 37, 20, " &Ok ");
  dlg_end(d, i);
}

void SetKindStates(char code) {
  const bool stock = IsStockKind(code);
  dlg_set_state(g_goods_form, kGoodsMargin, kStateDisabled, !stock, false);
  dlg_set_state(g_goods_form, kGoodsMinStock, kStateDisabled, !stock, false);
}

}  // namespace

ControlRecord* group_form() {
  BuildGroupForm();
  return g_group_form;
}

GTO_RECORD* group_form_record() { return &g_group; }

void group_form_load() { group_form_load_record(Gto); }

void group_form_load_record(const GTO_RECORD& record) {
  BuildGroupForm();
  g_group = record;
}

void group_form_show() {
  group_form_load();
  form_redraw_values(g_group_form);
}

ControlRecord* goods_form() {
  BuildGoodsForm();
  return g_goods_form;
}

GOODS_FORM_BUFFER* goods_form_buffer() { return &g_goods; }

void goods_form_load() { goods_form_load_record(Tow); }

void goods_form_load_record(const TOW_RECORD& record) {
  BuildGoodsForm();
  g_goods.record = record;
  const int vat = static_cast<int>(record.VATID.Whole());
  g_goods.net_price = NetFromGross(record.CENA, vat);
  goods_form_set_kind(record.RODZAJ[0]);
  GTO_RECORD group{};
  g_goods.group_name[0] = 0;
  if (ReadRecordById(kTableGroups, record.GTOID, &group) == 0)
    form_copy_text(g_goods.group_name, sizeof g_goods.group_name, group.NAZWA);
  form_copy_text(g_vat_label, sizeof g_vat_label, VatLabel(vat));
  // Quantities follow the quantity precision of the options.
  const int q = RoundAmount();
  g_goods_fields[7].decimals = g_goods_fields[9].decimals = g_goods_fields[10].decimals = q;
}

void goods_form_set_vat(int vatId) {
  BuildGoodsForm();
  g_goods.record.VATID = AMOUNT::FromInt(vatId);
  form_copy_text(g_vat_label, sizeof g_vat_label, VatLabel(vatId));
}

void goods_form_set_kind(char code) {
  BuildGoodsForm();
  g_goods.record.RODZAJ[0] = code;
  g_goods.record.RODZAJ[1] = 0;
  form_copy_text(g_goods.kind_name, sizeof g_goods.kind_name, GoodsKindName(code));
  SetKindStates(code);
}

void goods_form_show() {
  goods_form_load();
  form_redraw_values(g_goods_form);
}
