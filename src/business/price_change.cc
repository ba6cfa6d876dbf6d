#include "business/price_change.h"

#include <cstdio>
#include <vector>

#include "business/goods_bulk.h"
#include "business/options.h"
#include "business/prices.h"
#include "business/rights.h"
#include "business/vat.h"
#include "common/text.h"
#include "db/records.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "ui/dialog.h"
#include "ui/message_box.h"
#include "ui/pick_list.h"
#include "ui/record_list.h"

namespace {

// What the goods fields hold (N 12.2 for the price, N 8.2 for margin and discount): a change
// beyond them is kept at their limit rather than failing the write half-way through a walk.
constexpr AMOUNT kPriceLimit = AMOUNT::FromRaw(9999999999900);
constexpr AMOUNT kPercentHigh = AMOUNT::FromRaw(999999900);
constexpr AMOUNT kPercentLow = AMOUNT::FromRaw(-99999900);

AMOUNT Within(AMOUNT v, AMOUNT low, AMOUNT high) { return v < low ? low : v > high ? high : v; }

bool SamePrices(const TOW_RECORD& a, const TOW_RECORD& b) {
  return a.MARZA == b.MARZA && a.CENA == b.CENA && a.RABAT == b.RABAT && a.VATID == b.VATID;
}

// ---- the dialog ----

enum {
  kAll = 1,
  kGroup,
  kOne,
  kByVat,
  kScopeVat,
  kMargin = 8,
  kPrice = 10,
  kDiscount = 12,
  kNewVat = 14,
  kRegross,
  kOk,
  kEnd,
};

struct DIALOG {
  AMOUNT margin, price, discount;
  int scopeVat = 0, newVat = 0;
  char scopeVatLabel[3] = "", newVatLabel[3] = "";
};
DIALOG g_dialog;

// A field sits in the blanks of its label, one column before the "%" at its end.
int FieldInLabel(int x, const char* label, int width) {
  int w = 0, h = 0;
  text_size(label, &w, &h);
  return x + w - 2 - width;
}

void ChooseVat(ControlRecord* d, int field, bool withNone) {
  DIALOG& g = g_dialog;
  int& id = field == kScopeVat ? g.scopeVat : g.newVat;
  const char* items[kVatChoiceCount + 2];
  int n = 0, pre = 0;
  if (withNone) items[n++] = " brak    ";
  for (int k = 0; k < kVatChoiceCount; ++k) {
    if (VAT_CHOICES[k].id == id) pre = n;
    items[n++] = VAT_CHOICES[k].text;
  }
  items[n] = nullptr;
  const int r =
      menu_list(items, pre, nullptr, dlg_abs_x(d, field) + d[field].width + 1, dlg_abs_y(d, field));
  if (r < 0) return;
  id = withNone && r == 0 ? 0 : VAT_CHOICES[withNone ? r - 1 : r].id;
  char* label = field == kScopeVat ? g.scopeVatLabel : g.newVatLabel;
  std::snprintf(label, 3, "%s", VatLabel(id));
  dlg_draw_control(d, field);
  // Choosing the rate of the scope chooses that scope.
  if (field == kScopeVat) radio_select(d, kByVat, true);
}

int Callback(ControlRecord* d, int code) {
  if (code == kScopeVat) ChooseVat(d, kScopeVat, false);
  if (code == kNewVat) ChooseVat(d, kNewVat, true);
  return -1;
}

// The dialog; false when left without " &Ok ".
bool RunDialog(PRICE_CHANGE* c, int currentVat) {
  DIALOG& g = g_dialog;
  g = DIALOG{};
  g.scopeVat = currentVat;
  std::snprintf(g.scopeVatLabel, sizeof g.scopeVatLabel, "%s", VatLabel(currentVat));
  FieldDescriptor margin, price, discount, scopeVat, newVat;
  make_descriptor(&margin, 'N', 7, 2, &g.margin);
  make_descriptor(&price, 'N', 7, 2, &g.price);
  make_descriptor(&discount, 'N', 7, 2, &g.discount);
  make_descriptor(&scopeVat, 'C', 2, 0, g.scopeVatLabel);
  make_descriptor(&newVat, 'C', 2, 0, g.newVatLabel);
  static const char* const kMarginLabel = "Zmiana &marży o:         %"_pl;
  static const char* const kPriceLabel = "Zmiana &ceny o:         %";
  static const char* const kDiscountLabel = "Zmiana &rabatu o:         %";
  static const char* const kVatLabel = "Zmiana &VAT na:         %";
  ControlRecord d[kEnd + 1];
  dlg_frame(d, 0, 0, 0, 52, 14, "PRZECENA TOWARÓW"_pl);
  dlg_center(d);
  dlg_radio(d, kAll, 2, 1, "&Wszystkie     ");
  dlg_radio(d, kGroup, 2, 2, "&Grupa         ");
  dlg_radio(d, kOne, 2, 3, "&Jeden         ");
  dlg_radio(d, kByVat, 2, 4, "&Ze stawką VAT "_pl);
  dlg_choice(d, kScopeVat, 22, 4, 2, 1, &scopeVat);
  dlg_label(d, kScopeVat + 1, 25, 4, "%");
  dlg_label(d, kMargin - 1, 3, 6, kMarginLabel);
  dlg_field(d, kMargin, FieldInLabel(3, kMarginLabel, 7), 6, 7, 1, &margin);
  dlg_label(d, kPrice - 1, 3, 7, kPriceLabel);
  dlg_field(d, kPrice, FieldInLabel(3, kPriceLabel, 7), 7, 7, 1, &price);
  dlg_label(d, kDiscount - 1, 3, 8, kDiscountLabel);
  dlg_field(d, kDiscount, FieldInLabel(3, kDiscountLabel, 7), 8, 7, 1, &discount);
  dlg_label(d, kNewVat - 1, 3, 9, kVatLabel);
  dlg_choice(d, kNewVat, FieldInLabel(3, kVatLabel, 2), 9, 2, 1, &newVat);
  dlg_check(d, kRegross, 2, 10, "&Aktualizacja ceny brutto przy zmianie VAT ", true);
  dlg_button(d, kOk, 23, 12, " &Ok ");
  dlg_end(d, kEnd);
  d[0].options |= kOptHeap;
  radio_select(d, kAll, false);
  if (dlg_run(d, kAll, Callback) != kOk) return false;
  c->scope = radio_selected(d, kAll) - kAll;
  c->scopeVat = g.scopeVat;
  c->margin = g.margin;
  c->price = g.price;
  c->discount = g.discount;
  c->newVat = g.newVat;
  c->regross = dlg_checked(d, kRegross);
  return true;
}

// The group or the goods of the scope: the current record of the view on the screen, else the
// one chosen from its list. False when none was chosen.
bool ChooseScopeRecord(PRICE_CHANGE* c) {
  const int view = c->scope == kPriceScopeGroup ? kViewGroups : kViewGoods;
  if (current_view() != view || TableRecNo(view) < 0) {
    if (record_list(view) != 0) return false;
  }
  if (c->scope == kPriceScopeGroup) c->group = Gto.ID;
  else c->goods = Tow.ID;
  return true;
}

}  // namespace

TOW_RECORD RepricedGoods(const TOW_RECORD& goods, const PRICE_CHANGE& c, bool netPrices,
                         int roundPrice, DATE today) {
  TOW_RECORD g = goods;
  const int vat = static_cast<int>(g.VATID.Whole());
  g.MARZA = Within(g.MARZA + c.margin, kPercentLow, kPercentHigh);
  // No change of price leaves the price alone: rounding it again to the price precision, or
  // through the net price, could move it.
  if (!c.price.IsZero()) {
    if (netPrices) {
      const AMOUNT net =
          RoundToPlaces(PercentChange(NetFromGross(g.CENA, vat), c.price), roundPrice);
      g.CENA = GrossFromNet(net, vat);
    } else {
      g.CENA = RoundToPlaces(PercentChange(g.CENA, c.price), roundPrice);
    }
    g.CENA = Within(g.CENA, AMOUNT(), kPriceLimit);
  }
  g.RABAT = Within(g.RABAT + c.discount, kPercentLow, kPercentHigh);
  if (c.newVat != 0) {
    if (c.regross) g.CENA = Within(RegrossForVat(g.CENA, vat, c.newVat), AMOUNT(), kPriceLimit);
    g.VATID = AMOUNT::FromInt(c.newVat);
  }
  g.DATAPRZEC = today;
  return g;
}

bool PriceChangeDoesSomething(const PRICE_CHANGE& c) {
  return !c.margin.IsZero() || !c.price.IsZero() || !c.discount.IsZero() || c.newVat != 0;
}

int ChangeGoodsPrices(const PRICE_CHANGE& c, long* changed) {
  *changed = 0;
  if (LockAllTables(true) != 0) return -1;
  const int t = kTableGoods;
  const GOODS_PLACE place = SaveGoodsPlace();
  std::vector<long> recnos;
  int rc;
  if (c.scope == kPriceScopeOne) {
    rc = FindById(t, c.goods);
    if (rc == 0) recnos.push_back(TableRecNo(t));
    if (rc == kTableEnd) {
      message("Bieżący rekord z pliku %s\n  został wcześniej usunięty."_pl, TABLE_INFO[t].title);
      rc = -1;
    }
  } else {
    rc = WalkGoods(c.scope == kPriceScopeGroup, c.group, [&](long n) { recnos.push_back(n); });
  }
  if (rc == 0) {
    const bool net = PriceSaleNettoShow() != 0;
    const int roundPrice = RoundPrice();
    const DATE today = DateToday();
    const AMOUNT scopeVat = AMOUNT::FromInt(c.scopeVat);
    rc = RewriteGoods(
        recnos, "Przecena towarów..."_pl,
        [&](TOW_RECORD* g) {
          if (c.scope == kPriceScopeVat && g->VATID != scopeVat) return false;
          const TOW_RECORD after = RepricedGoods(*g, c, net, roundPrice, today);
          // A goods the change leaves as it was keeps the date of its last real change.
          if (SamePrices(after, *g)) return false;
          *g = after;
          return true;
        },
        changed);
  }
  RestoreGoodsPlace(place);
  UnlockAllTables();
  return rc;
}

int price_change_dialog() {
  if (CheckRights(kRightModifyGoods, true) != 0) return -1;
  const int currentVat = TableRecNo(kTableGoods) >= 0 ? static_cast<int>(Tow.VATID.Whole()) : 12;
  PRICE_CHANGE c;
  if (!RunDialog(&c, currentVat)) return -1;
  if ((c.scope == kPriceScopeGroup || c.scope == kPriceScopeOne) && !ChooseScopeRecord(&c))
    return -1;
  if (!PriceChangeDoesSomething(c)) return -1;
  long changed = 0;
  const int rc = ChangeGoodsPrices(c, &changed);
  return rc == 0 || changed > 0 ? 0 : -1;
}
