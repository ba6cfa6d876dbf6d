#include "business/price_calculation.h"

#include <cstdio>

#include "business/goods_bulk.h"
#include "business/options.h"
#include "business/position_values.h"
#include "business/positions_window.h"
#include "business/prices.h"
#include "business/read_access.h"
#include "business/record_lookup.h"
#include "business/rights.h"
#include "business/transaction_store.h"
#include "business/vat.h"
#include "common/text.h"
#include "db/records.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "ui/dialog.h"
#include "ui/message_box.h"
#include "ui/pick_list.h"

namespace {

const char* const kDeletedMeanwhile = "Bieżący rekord z pliku %s\n  został wcześniej usunięty."_pl;

enum {
  kPurchaseNet = 10,
  kPurchaseVat,
  kPurchaseGross,
  kPurchaseDiscount,
  kCurrentMargin,
  kNewMargin = 19,
  kNewNet,
  kNewVat,
  kNewGross,
  kNewDiscount,
  kSaveMargin,
  kOk,
  kEnd,
};

// Column x positions: the three columns of ten, the units after the last.
constexpr int kColumnX[] = {15, 27, 39};

struct DIALOG {
  PRICE_CALCULATION* c = nullptr;
  PRICE_CALCULATION seen;  // the values as the rules last left them
  char name[51] = "", description[51] = "", number[21] = "";
  char vat[3][3] = {};
  FieldDescriptor texts[3];
  FieldDescriptor fields[3][5];
  ControlRecord d[kEnd + 1];
};
DIALOG g_dialog;

int Vat(const PRICE_COLUMN& p) { return p.vat; }

// The net unit values after discount of the sale and of the purchase, each computed in its way.
AMOUNT SaleNetDisc(const PRICE_CALCULATION& c) {
  return ComputePositionValues(AMOUNT::FromInt(1), c.proposed.gross, c.proposed.discount,
                               Vat(c.proposed), PriceSaleNettoShow() != 0)
      .unitNetDisc;
}
AMOUNT PurchaseNetDisc(const PRICE_CALCULATION& c) {
  return ComputePositionValues(AMOUNT::FromInt(1), c.purchase.gross, c.purchase.discount,
                               Vat(c.purchase), c.purchaseNet)
      .unitNetDisc;
}

// From the purchase and the margin to the new price.
void PriceFromMargin(PRICE_CALCULATION* c) {
  PRICE_COLUMN& n = c->proposed;
  n.gross = SalePriceFromMargin(c->purchase.gross, c->purchase.vat, c->purchase.discount, n.margin,
                                n.vat, n.discount, PriceSaleNettoShow() != 0, RoundPrice());
  n.net = NetFromGross(n.gross, n.vat);
}

// From the new price to the margin it makes on the purchase.
void MarginFromPrice(PRICE_CALCULATION* c) {
  const AMOUNT cost = PurchaseNetDisc(*c);
  c->proposed.margin = ClampMargin(MarginPercent(SaleNetDisc(*c) - cost, cost));
}

// A typed net price moves the gross price only when it maps to another one.
void GrossFollowsNet(PRICE_COLUMN* p) {
  if (NetDiffers(p->net, p->vat, p->gross)) p->gross = GrossFromNet(p->net, p->vat);
}

void SetVatLabels() {
  DIALOG& g = g_dialog;
  const PRICE_COLUMN* columns[] = {&g.c->purchase, &g.c->current, &g.c->proposed};
  for (int k = 0; k < 3; ++k)
    std::snprintf(g.vat[k], sizeof g.vat[k], "%s", VatLabel(columns[k]->vat));
}

bool ChooseVat(ControlRecord* d, int field, PRICE_COLUMN* p) {
  const char* items[kVatChoiceCount + 1];
  int pre = 0;
  for (int k = 0; k < kVatChoiceCount; ++k) {
    items[k] = VAT_CHOICES[k].text;
    if (VAT_CHOICES[k].id == p->vat) pre = k;
  }
  items[kVatChoiceCount] = nullptr;
  const int r =
      menu_list(items, pre, nullptr, dlg_abs_x(d, field) + d[field].width + 1, dlg_abs_y(d, field));
  if (r < 0) return false;
  p->vat = VAT_CHOICES[r].id;
  GrossFollowsNet(p);
  return true;
}

void RedrawValues(ControlRecord* d) {
  SetVatLabels();
  for (int i = kPurchaseNet; i < kSaveMargin; ++i) dlg_draw_control(d, i);
}

// Whether the user keeps a new price that does not make more than the purchase cost.
bool LowPriceAccepted(const PRICE_CALCULATION& c) {
  if (!WarnLowSalePrice() || SaleNetDisc(c) > PurchaseNetDisc(c)) return true;
  return message_box(
             1, "%s",
             "Zaakceptować cenę sprzedaży\nnie większą od ceny zakupu?\t &Nie \t &Tak "_pl) == 2;
}

// The number a field edits, in the calculation given; null for the other controls.
const AMOUNT* NumberOf(const PRICE_CALCULATION& c, int code) {
  switch (code) {
    case kPurchaseNet: return &c.purchase.net;
    case kPurchaseGross: return &c.purchase.gross;
    case kPurchaseDiscount: return &c.purchase.discount;
    case kNewMargin: return &c.proposed.margin;
    case kNewNet: return &c.proposed.net;
    case kNewGross: return &c.proposed.gross;
    case kNewDiscount: return &c.proposed.discount;
    default: return nullptr;
  }
}

int Callback(ControlRecord* d, int code) {
  PRICE_CALCULATION& c = *g_dialog.c;
  PRICE_COLUMN& p = c.purchase;
  PRICE_COLUMN& n = c.proposed;
  // A field is left by every movement: only a value the user changed moves the others.
  const AMOUNT* now = NumberOf(c, code);
  if (now && *now == *NumberOf(g_dialog.seen, code)) return -1;
  switch (code) {
    case kPurchaseNet:
      if (p.net < AMOUNT()) return code;
      GrossFollowsNet(&p);
      PriceFromMargin(&c);
      break;
    case kPurchaseVat:
      if (ChooseVat(d, code, &p)) PriceFromMargin(&c);
      break;
    case kPurchaseGross:
      if (p.gross < AMOUNT()) return code;
      p.net = NetFromGross(p.gross, p.vat);
      PriceFromMargin(&c);
      break;
    case kPurchaseDiscount:
    case kNewMargin: PriceFromMargin(&c); break;
    case kNewNet:
      if (n.net < AMOUNT()) return code;
      GrossFollowsNet(&n);
      MarginFromPrice(&c);
      break;
    case kNewVat:
      if (ChooseVat(d, code, &n)) MarginFromPrice(&c);
      break;
    case kNewGross:
      if (n.gross < AMOUNT()) return code;
      n.net = NetFromGross(n.gross, n.vat);
      MarginFromPrice(&c);
      break;
    case kNewDiscount: MarginFromPrice(&c); break;
    case -2:
      if (p.net < AMOUNT() || p.gross < AMOUNT()) return kPurchaseNet;
      if (n.net < AMOUNT() || n.gross < AMOUNT()) return kNewNet;
      if (!LowPriceAccepted(c)) return kNewNet;
      c.saveMargin = dlg_checked(d, kSaveMargin);
      return -1;
    default: return -1;
  }
  RedrawValues(d);
  g_dialog.seen = c;
  return -1;
}

ControlRecord* Build(PRICE_CALCULATION* c) {
  DIALOG& g = g_dialog;
  g.c = c;
  g.seen = *c;
  ControlRecord* d = g.d;
  std::snprintf(g.name, sizeof g.name, "%s", c->goods.NAZWA);
  std::snprintf(g.description, sizeof g.description, "%s", c->goods.OPIS);
  std::snprintf(g.number, sizeof g.number, "%s", c->goods.NR);
  SetVatLabels();
  make_descriptor(&g.texts[0], 'C', 50, 0, g.name);
  make_descriptor(&g.texts[1], 'C', 50, 0, g.description);
  make_descriptor(&g.texts[2], 'C', 20, 0, g.number);
  PRICE_COLUMN* columns[] = {&c->purchase, &c->current, &c->proposed};
  for (int k = 0; k < 3; ++k) {
    make_descriptor(&g.fields[k][0], 'N', 10, 2, &columns[k]->margin);
    make_descriptor(&g.fields[k][1], 'N', 10, 2, &columns[k]->net);
    make_descriptor(&g.fields[k][2], 'C', 2, 0, g.vat[k]);
    make_descriptor(&g.fields[k][3], 'N', 10, 2, &columns[k]->gross);
    make_descriptor(&g.fields[k][4], 'N', 10, 2, &columns[k]->discount);
  }
  auto value = [&](int i, int x, int y, int w, FieldDescriptor* f) {
    dlg_field(d, i, x, y, w, 1, f);
    d[i].options = 0;
  };
  dlg_frame(d, 0, 0, 0, 54, 19, "KALKULACJA CENY SPRZEDAŻY"_pl);
  dlg_center(d);
  dlg_label(d, 1, 2, 1, "Towar:\n Opis:\n   Nr:");
  for (int k = 0; k < 3; ++k) value(2 + k, 9, 1 + k, 43, &g.texts[k]);
  dlg_label(d, 5, kColumnX[0], 5, "   Cena\n  zakupu");
  dlg_label(d, 6, kColumnX[1], 5, "   Cena\nsprzedaży\n  obecna"_pl);
  dlg_label(d, 7, kColumnX[2], 5, "   Cena\nsprzedaży\n   nowa"_pl);
  dlg_label(d, 8, 2, 8, "      Marża:\n Cena netto:\n Stawka VAT:\nCena brutto:\n      Rabat:"_pl);
  dlg_label(d, 9, 50, 8, "%\nzł\n%\nzł\n%"_pl);
  // The purchase has no margin of its own: its column starts at the net price.
  const int x0 = kColumnX[0], x1 = kColumnX[1], x2 = kColumnX[2];
  dlg_field(d, kPurchaseNet, x0, 9, 10, 1, &g.fields[0][1]);
  dlg_choice(d, kPurchaseVat, x0 + 8, 10, 2, 1, &g.fields[0][2]);
  dlg_field(d, kPurchaseGross, x0, 11, 10, 1, &g.fields[0][3]);
  dlg_field(d, kPurchaseDiscount, x0, 12, 10, 1, &g.fields[0][4]);
  value(kCurrentMargin, x1, 8, 10, &g.fields[1][0]);
  value(kCurrentMargin + 1, x1, 9, 10, &g.fields[1][1]);
  value(kCurrentMargin + 2, x1 + 8, 10, 2, &g.fields[1][2]);
  value(kCurrentMargin + 3, x1, 11, 10, &g.fields[1][3]);
  value(kCurrentMargin + 4, x1, 12, 10, &g.fields[1][4]);
  dlg_field(d, kNewMargin, x2, 8, 10, 1, &g.fields[2][0]);
  dlg_field(d, kNewNet, x2, 9, 10, 1, &g.fields[2][1]);
  dlg_choice(d, kNewVat, x2 + 8, 10, 2, 1, &g.fields[2][2]);
  dlg_field(d, kNewGross, x2, 11, 10, 1, &g.fields[2][3]);
  dlg_field(d, kNewDiscount, x2, 12, 10, 1, &g.fields[2][4]);
  dlg_check(d, kSaveMargin, 2, 14, "&Zapisać nową marżę "_pl, c->saveMargin);
  dlg_button(d, kOk, 24, 16, " &Ok ");
  dlg_end(d, kEnd);
  d[0].options |= kOptHeap;
  return d;
}

PRICE_COLUMN ColumnOf(AMOUNT margin, AMOUNT gross, int vat, AMOUNT discount) {
  PRICE_COLUMN p;
  p.margin = margin;
  p.gross = gross;
  p.vat = vat;
  p.net = NetFromGross(gross, vat);
  p.discount = discount;
  return p;
}

// The goods as stored now; kTableEnd said once as the record gone.
int ReadGoods(AMOUNT id, TOW_RECORD* goods) {
  const int rc = ReadRecordById(kTableGoods, id, goods);
  if (rc == kTableEnd) message(kDeletedMeanwhile, TABLE_INFO[kTableGoods].title);
  return rc == 0 ? 0 : -1;
}

}  // namespace

PRICE_CALCULATION CalculationFor(const TOW_RECORD& goods, const POZ_RECORD* purchase,
                                 bool purchaseNet) {
  PRICE_CALCULATION c;
  c.goods = goods;
  const int vat = static_cast<int>(goods.VATID.Whole());
  c.current = ColumnOf(goods.MARZA, goods.CENA, vat, goods.RABAT);
  c.proposed = c.current;
  if (purchase) {
    c.purchase = ColumnOf(AMOUNT(), purchase->CENA, static_cast<int>(purchase->VATID.Whole()),
                          purchase->RABAT);
    c.purchaseNet = purchaseNet;
  } else {
    c.purchase = ColumnOf(AMOUNT(), AMOUNT(), vat, AMOUNT());
    c.purchaseNet = PricePurchaseNettoShow() != 0;
  }
  return c;
}

int price_calculation_dialog(PRICE_CALCULATION* c) {
  ControlRecord* d = Build(c);
  return dlg_run(d, kNewMargin, Callback) == kOk ? 0 : -1;
}

int StoreCalculatedPrice(const PRICE_CALCULATION& c) {
  if (CheckRights(kRightModifyGoods, true) != 0) return -1;
  if (LockAllTables(true) != 0) return -1;
  const GOODS_PLACE place = SaveGoodsPlace();
  int rc = FindById(kTableGoods, c.goods.ID);
  if (rc == kTableEnd) message(kDeletedMeanwhile, TABLE_INFO[kTableGoods].title);
  if (rc == 0) {
    Tow.CENA = c.proposed.gross;
    Tow.VATID = AMOUNT::FromInt(c.proposed.vat);
    Tow.RABAT = c.proposed.discount;
    if (c.saveMargin) Tow.MARZA = c.proposed.margin;
    Tow.DATAPRZEC = DateToday();
    rc = TableUpdate(kTableGoods);
  }
  RestoreGoodsPlace(place);
  UnlockAllTables();
  return rc == 0 ? 0 : -1;
}

int calculate_current_goods_price() {
  if (TableRecNo(kTableGoods) < 0) return -1;
  if (CheckRights(kRightPurchaseTransactions, true) != 0) return -1;
  PRICE_CALCULATION c;
  {
    READ_ACCESS access;
    if (!access) return -1;
    TOW_RECORD goods{};
    if (ReadGoods(Tow.ID, &goods) != 0) return -1;
    POZ_RECORD last{};
    bool net = false;
    const int rc = LastPurchase(goods.ID, &last, &net);
    if (rc < 0) return -1;
    c = CalculationFor(goods, rc == 0 ? &last : nullptr, net);
  }
  if (price_calculation_dialog(&c) != 0) return -1;
  return StoreCalculatedPrice(c);
}

int PositionPriceCalculation(const TRA_RECORD& t, POZ_RECORD* position) {
  if (position->TOWID.IsZero()) return -1;
  const bool income = t.RODZAJ[0] == 'D';
  PRICE_CALCULATION c;
  {
    READ_ACCESS access;
    if (!access) return -1;
    TOW_RECORD goods{};
    if (ReadGoods(position->TOWID, &goods) != 0) return -1;
    if (income) {
      // This position is the purchase.
      c = CalculationFor(goods, position, t.ZAOKRNETTO != 0);
    } else {
      POZ_RECORD last{};
      bool net = false;
      const int rc = LastPurchase(goods.ID, &last, &net);
      if (rc < 0) return -1;
      c = CalculationFor(goods, rc == 0 ? &last : nullptr, net);
      // The new column starts from the position's price; a price of its own has its own margin.
      PRICE_COLUMN& n = c.proposed;
      const int vat = static_cast<int>(position->VATID.Whole());
      if (position->CENA != n.gross || vat != n.vat || position->RABAT != n.discount) {
        n = ColumnOf(n.margin, position->CENA, vat, position->RABAT);
        MarginFromPrice(&c);
      }
    }
  }
  if (price_calculation_dialog(&c) != 0) return -1;
  if (income) {
    StoreCalculatedPrice(c);
    return -1;  // the position keeps its purchase price
  }
  position->CENA = c.proposed.gross;
  position->VATID = AMOUNT::FromInt(c.proposed.vat);
  position->RABAT = c.proposed.discount;
  return 0;
}

void RegisterPriceCalculation() { SetPositionCalculation(PositionPriceCalculation); }
