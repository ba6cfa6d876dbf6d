// Editing of the goods and group forms: the rules run when a field is left, the checks of
// saving, and deleting. The form buffers are those of goods_form.cc.
#include <cstdio>
#include <cstring>
#include <string>

#include "business/form_edit.h"
#include "business/goods_form.h"
#include "business/goods_rules.h"
#include "business/options.h"
#include "business/prices.h"
#include "business/record_form.h"
#include "business/record_lookup.h"
#include "business/rights.h"
#include "business/vat.h"
#include "common/text.h"
#include "db/records.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "ui/field.h"
#include "ui/message_box.h"
#include "ui/pick_list.h"
#include "ui/record_list.h"

namespace {

constexpr int kIndexByName = 1;
constexpr int kIndexGoodsByNumber = 3;
constexpr int kIndexGoodsByBarcode = 5;

bool Blank(const char* text) {
  for (; *text; ++text)
    if (*text != ' ') return false;
  return true;
}

void Copy(char* out, size_t size, const std::string& text) {
  std::snprintf(out, size, "%s", text.c_str());
}

// Refusals once the tables are held: the table goes back where it was and is let go.
int Refuse(const TABLE_PLACE& place, int control) {
  RestoreTablePlace(place);
  UnlockAllTables();
  return control;
}

// ---- goods: field rules ----

int Vat() { return static_cast<int>(goods_form_buffer()->record.VATID.Whole()); }

void Redraw(ControlRecord* dlg, int i) { dlg_draw_control(dlg, i); }

// The net price decides: when it maps to another gross price than the stored one, the gross
// price follows it.
void GrossFollowsNet(ControlRecord* dlg) {
  GOODS_FORM_BUFFER* b = goods_form_buffer();
  if (NetDiffers(b->net_price, Vat(), b->record.CENA)) {
    b->record.CENA = GrossFromNet(b->net_price, Vat());
    Redraw(dlg, kGoodsGross);
  }
}

void ChooseGroup(ControlRecord* dlg) {
  TOW_RECORD& r = goods_form_buffer()->record;
  if (!r.GTOID.IsZero()) FindById(kTableGroups, r.GTOID);
  if (record_list(kViewGroups) != 0) return;
  r.GTOID = Gto.ID;
  form_copy_text(goods_form_buffer()->group_name, sizeof goods_form_buffer()->group_name,
                 Gto.NAZWA);
  Redraw(dlg, kGoodsGroup);
}

void ChooseKind(ControlRecord* dlg) {
  TOW_RECORD& r = goods_form_buffer()->record;
  const char* items[kGoodsKindCount + 1];
  for (int k = 0; k < kGoodsKindCount; ++k) items[k] = GOODS_KINDS[k].list_text;
  items[kGoodsKindCount] = nullptr;
  const char old = r.RODZAJ[0];
  const int row = GoodsKindRow(old);
  const int choice =
      menu_list(items, row < 0 ? 0 : row, "",
                dlg_abs_x(dlg, kGoodsKind) + dlg[kGoodsKind].width + 1, dlg_abs_y(dlg, kGoodsKind));
  if (choice < 0) return;
  const char code = GOODS_KINDS[choice].code;
  if (code == old) return;
  goods_form_set_kind(code);
  if (!IsStockKind(code)) {
    r.MARZA = r.STANMIN = r.STAN = AMOUNT();
  } else if (!IsStockKind(old) && !r.ID.IsZero()) {
    AMOUNT stock;
    if (RecomputeStock(r.ID, &stock) == 0) r.STAN = stock;
  }
  for (int i : {kGoodsKind, kGoodsMargin, kGoodsMinStock, kGoodsStock}) Redraw(dlg, i);
}

void ChooseVat(ControlRecord* dlg) {
  const char* items[kVatChoiceCount + 1];
  int pre = 0;
  for (int k = 0; k < kVatChoiceCount; ++k) {
    items[k] = VAT_CHOICES[k].text;
    if (VAT_CHOICES[k].id == Vat()) pre = k;
  }
  items[kVatChoiceCount] = nullptr;
  const int choice = menu_list(items, pre, "", dlg_abs_x(dlg, kGoodsVat) + dlg[kGoodsVat].width + 1,
                               dlg_abs_y(dlg, kGoodsVat));
  if (choice < 0) return;
  goods_form_set_vat(VAT_CHOICES[choice].id);
  Redraw(dlg, kGoodsVat);
  GrossFollowsNet(dlg);
}

// The six units of measure, each editable where it stands; Enter on one takes it.
void ChooseUnit(ControlRecord* dlg) {
  TOW_RECORD& r = goods_form_buffer()->record;
  char units[kMeasureCount][6];
  FieldDescriptor fields[kMeasureCount];
  ControlRecord list[kMeasureCount + 2];
  dlg_frame(list, 0, dlg_abs_x(dlg, kGoodsUnit), dlg_abs_y(dlg, kGoodsUnit), 12, 8, "");
  int start = 1;
  for (int k = 0; k < kMeasureCount; ++k) {
    Copy(units[k], sizeof units[k], Measure(k + 1));
    if (std::strcmp(units[k], r.JMIARY) == 0 && start == 1) start = k + 1;
    make_descriptor(&fields[k], 'C', 5, 0, units[k]);
    dlg_field(list, k + 1, 3, k + 1, 6, 1, &fields[k]);
    list[k + 1].options |= kOptClosing;
  }
  dlg_end(list, kMeasureCount + 1);
  const int chosen = dlg_run(list, start, nullptr);
  if (chosen < 1) return;
  for (int k = 0; k < kMeasureCount; ++k) SetMeasure(k + 1, units[k]);
  Copy(r.JMIARY, sizeof r.JMIARY, units[chosen - 1]);
  for (int i : {static_cast<int>(kGoodsUnit), kGoodsMinStock + 1, kGoodsStock + 1}) Redraw(dlg, i);
}

// What leaving (or, for the fields chosen from lists, activating) a control does; -1 or the
// control that keeps the cursor.
int GoodsFieldRule(ControlRecord* dlg, int i) {
  GOODS_FORM_BUFFER* b = goods_form_buffer();
  TOW_RECORD& r = b->record;
  switch (i) {
    case kGoodsBarcode:
      if (EANChecksumUpdate()) {
        std::string code = r.EAN;
        if (UpdateEanCheckDigit(&code)) {
          Copy(r.EAN, sizeof r.EAN, code);
          Redraw(dlg, i);
        }
      }
      return -1;
    case kGoodsGroup: ChooseGroup(dlg); return -1;
    case kGoodsKind: ChooseKind(dlg); return -1;
    case kGoodsUnit: ChooseUnit(dlg); return -1;
    case kGoodsVat: ChooseVat(dlg); return -1;
    case kGoodsPackaging: return r.OPAKOWANIE <= AMOUNT() ? i : -1;
    case kGoodsMinStock: return r.STANMIN < AMOUNT() ? i : -1;
    case kGoodsNet:
      if (b->net_price < AMOUNT()) return i;
      GrossFollowsNet(dlg);
      return -1;
    case kGoodsGross:
      if (r.CENA < AMOUNT()) return i;
      b->net_price = NetFromGross(r.CENA, Vat());
      Redraw(dlg, kGoodsNet);
      GrossFollowsNet(dlg);
      return -1;
    default: return -1;
  }
}

// ---- goods: saving ----

int SaveGoods(ControlRecord* dlg) {
  TOW_RECORD& r = goods_form_buffer()->record;
  const int here = dlg_focused(dlg);
  if (Blank(r.NAZWA)) return kGoodsName;
  if (!r.ID.IsZero() && Vat() != 12 && Blank(r.SWW) && WarnNoSWW() &&
      message_box(1, "%s", "Zaakceptować brak symbolu PKWiU towaru?\t &Nie \t &Tak "_pl) != 2)
    return kGoodsSww;
  if (Blank(r.JMIARY)) return kGoodsUnit;
  if (r.VATID.IsZero()) return kGoodsVat;
  if (CheckRights(kRightModifyGoods, true) != 0) return here;
  if (LockAllTables(true) != 0) return here;
  const TABLE_PLACE place = SaveTablePlace(kTableGoods);

  // The record as stored: gone meanwhile abandons the save.
  TOW_RECORD stored{};
  const bool is_new = r.ID.IsZero();
  if (!is_new) {
    const int found = FindById(kTableGoods, r.ID);
    if (found != 0) {
      // A failure has been reported; only a record that is not there is "deleted meanwhile".
      if (found == kTableEnd) deleted_meanwhile(kTableGoods);
      return Refuse(place, here);
    }
    stored = Tow;
  }
  const bool price_changed = is_new || r.VATID != stored.VATID || r.MARZA != stored.MARZA ||
                             r.CENA != stored.CENA || r.RABAT != stored.RABAT;

  // Every look-up that fails stops the save: the failure has been reported.
  int taken = KeyTaken(kTableGoods, kIndexByName, &r, r.ID);
  if (taken < 0) return Refuse(place, here);
  if (taken &&
      message_box(1, "%s",
                  "Towar o podanej nazwie już istnieje.\t &Poprawić \t &Zaakceptować "_pl) != 2)
    return Refuse(place, kGoodsName);

  std::string number;
  taken = r.NR[0] && (is_new || std::strcmp(r.NR, stored.NR) != 0)
              ? KeyTaken(kTableGoods, kIndexGoodsByNumber, &r, r.ID)
              : 0;
  if (taken < 0) return Refuse(place, here);
  if (taken) {
    switch (message_box(
        1, "%s",
        "Towar o podanym numerze już istnieje.\t &Nadać nowy \t &Poprawić \t &Zaakceptować "_pl)) {
      case 1:
        if (NextGoodsNumber(r.ID, r.GTOID, &number) != 0) return Refuse(place, here);
        Copy(r.NR, sizeof r.NR, number);
        break;
      case 3: break;
      default: return Refuse(place, kGoodsNumber);
    }
  } else if (!r.NR[0] && AutoProductNr()) {
    if (NextGoodsNumber(r.ID, r.GTOID, &number) != 0) return Refuse(place, here);
    Copy(r.NR, sizeof r.NR, number);
  }
  Redraw(dlg, kGoodsNumber);

  taken = r.EAN[0] && (is_new || std::strcmp(r.EAN, stored.EAN) != 0)
              ? KeyTaken(kTableGoods, kIndexGoodsByBarcode, &r, r.ID)
              : 0;
  if (taken < 0) return Refuse(place, here);
  if (taken &&
      message_box(
          1, "%s",
          "Towar o podanym kodzie kreskowym już istnieje.\t &Poprawić \t &Zaakceptować "_pl) != 2)
    return Refuse(place, kGoodsBarcode);

  GTO_RECORD group{};
  const int group_found = r.GTOID.IsZero() ? 0 : ReadRecordById(kTableGroups, r.GTOID, &group);
  if (group_found != 0) {
    if (group_found == kTableEnd) deleted_meanwhile(kTableGroups);
    return Refuse(place, kGoodsGroup);
  }

  if (price_changed) r.DATAPRZEC = DateToday();
  int rc;
  if (is_new) {
    rc = NextRecordId(kTableGoods, &r.ID);
    Tow = r;
    if (rc == 0) rc = TableAppend(kTableGoods);
  } else {
    rc = FindById(kTableGoods, r.ID);
    if (rc == 0) {
      Tow = r;
      rc = TableUpdate(kTableGoods);
    }
  }
  if (rc != 0) {
    if (is_new) r.ID = AMOUNT();
    return Refuse(place, here);
  }
  UnlockAllTables();
  return -1;
}

int GoodsCallback(ControlRecord* dlg, int code) {
  if (code == -2) return SaveGoods(dlg);
  if (code < 0) return -1;
  return GoodsFieldRule(dlg, code);
}

// ---- groups ----

int SaveGroup(ControlRecord* dlg) {
  GTO_RECORD& r = *group_form_record();
  const int here = dlg_focused(dlg);
  if (Blank(r.NAZWA)) return kGroupName;
  if (CheckRights(kRightModifyGoods, true) != 0) return here;
  if (LockAllTables(true) != 0) return here;
  const TABLE_PLACE place = SaveTablePlace(kTableGroups);
  const bool is_new = r.ID.IsZero();
  const int found = is_new ? 0 : FindById(kTableGroups, r.ID);
  if (found != 0) {
    if (found == kTableEnd) deleted_meanwhile(kTableGroups);
    return Refuse(place, here);
  }
  const int taken = KeyTaken(kTableGroups, kIndexByName, &r, r.ID);
  if (taken < 0) return Refuse(place, here);
  if (taken &&
      message_box(1, "%s",
                  "Grupa o podanej nazwie już istnieje.\t &Poprawić \t &Zaakceptować "_pl) != 2)
    return Refuse(place, kGroupName);
  int rc;
  if (is_new) {
    rc = NextRecordId(kTableGroups, &r.ID);
    Gto = r;
    if (rc == 0) rc = TableAppend(kTableGroups);
  } else {
    rc = FindById(kTableGroups, r.ID);
    if (rc == 0) {
      Gto = r;
      rc = TableUpdate(kTableGroups);
    }
  }
  if (rc != 0) {
    if (is_new) r.ID = AMOUNT();
    return Refuse(place, here);
  }
  UnlockAllTables();
  return -1;
}

int GroupCallback(ControlRecord* dlg, int code) {
  if (code == -2) return SaveGroup(dlg);
  return -1;
}

// Deleting: the rights, then the record read again under the tables' lock, then its references.
// A record whose references cannot be read is not deleted (the failure has been reported).
int DeleteCurrent(int table, int (*in_use)(AMOUNT)) {
  if (CheckRights(kRightModifyGoods, true) != 0) return -1;
  if (LockAllTables(true) != 0) return -1;
  int rc = RereadCurrent(table);
  if (rc == kTableEnd) deleted_meanwhile(table);
  if (rc == 0) {
    const int used = in_use(CurrentRecordId(table));
    if (used == 1)
      message("%s",
              "Nie można usunąć tego rekordu, ponieważ\n     jest on użyty w innym pliku."_pl);
    rc = used == 0 ? TableDelete(table) : -1;
  }
  UnlockAllTables();
  return rc == 0 ? 0 : -1;
}

}  // namespace

int goods_form_edit(const TOW_RECORD& record, bool in_place) {
  goods_form_load_record(record);
  ControlRecord* form = goods_form();
  return form_edit_run(form, in_place, GoodsCallback) >= 0 ? 0 : -1;
}

int group_form_edit(const GTO_RECORD& record, bool in_place) {
  group_form_load_record(record);
  ControlRecord* form = group_form();
  return form_edit_run(form, in_place, GroupCallback) >= 0 ? 0 : -1;
}

int group_delete_current() { return DeleteCurrent(kTableGroups, GroupInUse); }
int goods_delete_current() { return DeleteCurrent(kTableGoods, GoodsInUse); }
