// The position form and its rules; the price change of positions.
#include <cstdio>
#include <cstring>

#include "business/options.h"
#include "business/position_store.h"
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
#include "ui/feedback.h"
#include "ui/message_box.h"
#include "ui/pick_list.h"
#include "ui/record_list.h"

namespace {

enum {
  kPosName = 2,
  kPosPackages = 11,
  kPosSingles = 16,
  kPosQuantity = 18,
  kPosNet = 21,
  kPosVat = 23,
  kPosGross = 26,
  kPosDiscount = 28,
  kPosCalculation = 36,
  kPosOk = 37,
};

struct FORM {
  TRA_RECORD t{};
  long recno = -1;
  POZ_RECORD stored{};
  POZ_RECORD p{};
  TOW_RECORD goods{};
  KON_RECORD contractor{};
  RUNNING_TOTALS* running = nullptr;
  bool saved = false;
  char name[51] = "";
  char description[51] = "";
  char number[21] = "";
  char unit[6] = "";
  char vat_label[3] = "";
  AMOUNT stock, packaging, packages, singles, net;
  AMOUNT value_net, value_vat, value_gross;
};

FORM g_form;

bool Income() { return g_form.t.RODZAJ[0] == 'D'; }
int Vat() { return static_cast<int>(g_form.p.VATID.Whole()); }

void Values() {
  FORM& f = g_form;
  const POSITION_VALUES v =
      ComputePositionValues(f.p.ILOSC, f.p.CENA, f.p.RABAT, Vat(), f.t.ZAOKRNETTO != 0);
  f.value_net = v.netValue;
  f.value_vat = v.vatValue;
  f.value_gross = v.grossValue;
  std::snprintf(f.vat_label, sizeof f.vat_label, "%s", VatLabel(Vat()));
}

// Packages and single units from the quantity: the sign of the quantity on both.
void SplitQuantity() {
  FORM& f = g_form;
  const AMOUNT q = f.p.ILOSC;
  const AMOUNT magnitude = q < AMOUNT() ? -q : q;
  if (f.packaging <= AMOUNT()) {
    f.packages = AMOUNT();
    f.singles = q;
    return;
  }
  const AMOUNT whole = AMOUNT::FromInt((magnitude / f.packaging).Whole());
  const AMOUNT rest = magnitude - whole * f.packaging;
  f.packages = q < AMOUNT() ? -whole : whole;
  f.singles = q < AMOUNT() ? -rest : rest;
}

void ShowGoods(const TOW_RECORD& g) {
  FORM& f = g_form;
  f.goods = g;
  std::snprintf(f.name, sizeof f.name, "%s", g.NAZWA);
  std::snprintf(f.description, sizeof f.description, "%s", g.OPIS);
  std::snprintf(f.number, sizeof f.number, "%s", g.NR);
  std::snprintf(f.unit, sizeof f.unit, "%s", g.JMIARY);
  f.stock = g.STAN;
  f.packaging = g.OPAKOWANIE;
}

// The price, discount and VAT a position of these goods starts with.
void Defaults() {
  FORM& f = g_form;
  READ_ACCESS access;
  POZ_RECORD last{};
  // A failed look-up (reported) proposes nothing: the fields stay as they are.
  const int rc = Income()              ? LastPurchase(f.goods.ID, &last, nullptr)
                 : LastCustomerPrice() ? LastSaleToContractor(f.goods.ID, f.t.KONID, &last)
                                       : kTableEnd;
  if (rc < 0) return;
  if (Income()) {
    if (rc == 0) {
      f.p.CENA = last.CENA;
      f.p.RABAT = last.RABAT;
      f.p.VATID = last.VATID;
    } else {
      f.p.CENA = f.p.RABAT = AMOUNT();
      f.p.VATID = f.goods.VATID;
    }
  } else if (rc == 0) {
    f.p.CENA = last.CENA;
    f.p.RABAT = last.RABAT;
    f.p.VATID = last.VATID;
  } else {
    f.p.CENA = f.goods.CENA;
    f.p.VATID = f.goods.VATID;
    f.p.RABAT = f.goods.RABAT + f.contractor.RABAT;
  }
  f.net = NetFromGross(f.p.CENA, Vat());
}

void Redraw(ControlRecord* d) {
  Values();
  for (int i = 1; d[i].kind != kKindEnd; ++i)
    if (d[i].kind == kKindField) dlg_draw_control(d, i);
}

void ChooseGoods(ControlRecord* d) {
  const int t = kTableGoods;
  const long was = TableRecNo(t);
  if (!g_form.goods.ID.IsZero()) FindById(t, g_form.goods.ID);
  const bool chosen = record_list(kViewGoods) == 0;
  const TOW_RECORD picked = Tow;
  TableGo(t, was);
  if (!chosen) return;
  ShowGoods(picked);
  g_form.p.TOWID = picked.ID;
  Defaults();
  SplitQuantity();
  Redraw(d);
}

void ChooseVat(ControlRecord* d) {
  const char* items[kVatChoiceCount + 1];
  int pre = 0;
  for (int k = 0; k < kVatChoiceCount; ++k) {
    items[k] = VAT_CHOICES[k].text;
    if (VAT_CHOICES[k].id == Vat()) pre = k;
  }
  items[kVatChoiceCount] = nullptr;
  const int r = menu_list(items, pre, nullptr, dlg_abs_x(d, kPosVat) + d[kPosVat].width + 1,
                          dlg_abs_y(d, kPosVat));
  if (r < 0) return;
  g_form.p.VATID = AMOUNT::FromInt(VAT_CHOICES[r].id);
  // The net price stays; the gross price follows the new rate.
  if (NetDiffers(g_form.net, Vat(), g_form.p.CENA)) g_form.p.CENA = GrossFromNet(g_form.net, Vat());
  Redraw(d);
}

void Calculation(ControlRecord* d) {
  if (!Income() && CheckRights(kRightPurchaseTransactions, true) != 0) return;
  PositionCalculationFn fn = PositionCalculation();
  if (!fn) return not_supported();
  if (fn(g_form.t, &g_form.p) == 0) {
    g_form.net = NetFromGross(g_form.p.CENA, Vat());
    Redraw(d);
  }
}

int FieldRule(ControlRecord* d, int i) {
  FORM& f = g_form;
  switch (i) {
    case kPosName: ChooseGoods(d); break;
    case kPosPackages:
    case kPosSingles: f.p.ILOSC = RoundTo(f.packages * f.packaging + f.singles, 3); break;
    case kPosQuantity: SplitQuantity(); break;
    case kPosNet:
      if (NetDiffers(f.net, Vat(), f.p.CENA)) f.p.CENA = GrossFromNet(f.net, Vat());
      break;
    case kPosVat: ChooseVat(d); break;
    case kPosGross:
      f.net = NetFromGross(f.p.CENA, Vat());
      if (NetDiffers(f.net, Vat(), f.p.CENA)) f.p.CENA = GrossFromNet(f.net, Vat());
      break;
    case kPosCalculation: Calculation(d); return kPosCalculation;
    default: break;
  }
  Redraw(d);
  return -1;
}

// The sale price not above the purchase price: the net unit value after discount of this
// position against that of the last purchase, each in its own way of computing.
bool LowSalePriceRefused() {
  FORM& f = g_form;
  if (Income() || !WarnLowSalePrice()) return false;
  POZ_RECORD last{};
  bool last_net = false;
  {
    READ_ACCESS access;
    // Not knowing the purchase price is no reason to accept: the failure was reported.
    const int rc = access ? LastPurchase(f.p.TOWID, &last, &last_net) : -1;
    if (rc != 0) return rc < 0;
  }
  const AMOUNT sale = ComputePositionValues(AMOUNT::FromInt(1), f.p.CENA, f.p.RABAT, Vat(),
                                            PriceSaleNettoShow() != 0)
                          .unitNetDisc;
  const AMOUNT cost = ComputePositionValues(AMOUNT::FromInt(1), last.CENA, last.RABAT,
                                            static_cast<int>(last.VATID.Whole()), last_net)
                          .unitNetDisc;
  if (sale - cost > AMOUNT()) return false;
  return message_box(
             1, "%s",
             "Zaakceptować cenę sprzedaży\nnie większą od ceny zakupu?\t &Nie \t &Tak "_pl) != 2;
}

// The price update offered after a sale at another price than the goods'.
void OfferPriceUpdate() {
  FORM& f = g_form;
  if (Income() || !PriceUpdate()) return;
  if (f.p.CENA == f.goods.CENA && f.p.VATID == f.goods.VATID) return;
  if (message_box(
          1, "%s",
          "Zapisać cenę z bieżącej pozycji jako nową\n  przyszłą cenę sprzedaży tego towaru?"
          "\t &Nie \t &Tak "_pl) != 2)
    return;
  if (CheckRights(kRightModifyGoods, true) != 0 || LockAllTables(true) != 0) return;
  const long was = TableRecNo(kTableGoods);
  if (FindById(kTableGoods, f.p.TOWID) == 0) {
    Tow.CENA = f.p.CENA;
    Tow.VATID = f.p.VATID;
    Tow.DATAPRZEC = DateToday();
    WriteRecordSettled(kTableGoods, TableRecNo(kTableGoods));
  }
  TableGo(kTableGoods, was);
  UnlockAllTables();
}

// The negative stock question for what the save moves. 0 to go on, else the refusal.
int StockQuestions() {
  FORM& f = g_form;
  const char kind = f.t.RODZAJ[0];
  if (f.recno < 0) return CheckNegativeStock(f.p.TOWID, f.p.ILOSC, kind);
  if (f.stored.TOWID != f.p.TOWID) {
    const int rc = CheckNegativeStock(f.stored.TOWID, -f.stored.ILOSC, kind);
    if (rc != 0) return rc;
    return CheckNegativeStock(f.p.TOWID, f.p.ILOSC, kind);
  }
  return CheckNegativeStock(f.p.TOWID, f.p.ILOSC - f.stored.ILOSC, kind);
}

int Save(ControlRecord* d) {
  FORM& f = g_form;
  POZ_RECORD& p = f.p;
  if (p.TOWID.IsZero()) return kPosName;
  if (p.ILOSC.IsZero()) return kPosQuantity;
  if (p.CENA < AMOUNT()) return kPosNet;
  if (LowSalePriceRefused()) return kPosNet;
  if (p.VATID.IsZero()) return kPosVat;
  if (p.VATID != f.goods.VATID && WarnChangedVAT() &&
      !(Income() && (Vat() == 1 || Vat() == 3 || Vat() == 8)) &&
      message_box(
          1, "%s",
          "Zaakceptować inną stawkę podatku VAT\n  niż zapamiętana dla tego towaru?\t &Nie \t &Tak "_pl) !=
          2)
    return kPosVat;
  // Sale prices are the goods' unless the user may change them.
  const AMOUNT discount = f.goods.RABAT + f.contractor.RABAT;
  if (!Income() && (p.CENA != f.goods.CENA || p.VATID != f.goods.VATID || p.RABAT != discount) &&
      CheckRights(kRightModifySalePrices, true) != 0) {
    p.CENA = f.goods.CENA;
    p.VATID = f.goods.VATID;
    p.RABAT = discount;
    f.net = NetFromGross(p.CENA, Vat());
    Redraw(d);
    return kPosNet;
  }
  if (LockAllTables(true) != 0) return kPosOk;
  int back = StockQuestions() == 0 ? -1 : kPosQuantity;
  if (back < 0) {
    const int rc =
        f.recno < 0 ? AddPosition(&p, f.running, &f.recno) : ChangePosition(f.recno, &p, f.running);
    if (rc != 0) back = kPosOk;
  }
  UnlockAllTables();
  if (back >= 0) return back;
  f.saved = true;
  OfferPriceUpdate();
  return -1;
}

int Callback(ControlRecord* d, int code) {
  if (code == -2) return dlg_focused(d) == kPosOk ? Save(d) : -1;
  if (code < 0) return -1;
  return FieldRule(d, code);
}

struct LAYOUT {
  ControlRecord d[kPosOk + 2];
  FieldDescriptor name, description, number, unit, stock, packaging, packages, singles, quantity,
      net, vat, gross, discount, values[3];
};
LAYOUT g_layout;

ControlRecord* Build() {
  FORM& f = g_form;
  LAYOUT& l = g_layout;
  ControlRecord* d = l.d;
  const int q = RoundAmount();
  make_descriptor(&l.name, 'C', 50, 0, f.name);
  make_descriptor(&l.description, 'C', 50, 0, f.description);
  make_descriptor(&l.number, 'C', 20, 0, f.number);
  make_descriptor(&l.unit, 'C', 5, 0, f.unit);
  make_descriptor(&l.stock, 'N', 12, q, &f.stock);
  make_descriptor(&l.packaging, 'N', 12, q, &f.packaging);
  make_descriptor(&l.packages, 'N', 12, 0, &f.packages);
  make_descriptor(&l.singles, 'N', 12, q, &f.singles);
  make_descriptor(&l.quantity, 'N', 12, q, &f.p.ILOSC);
  make_descriptor(&l.net, 'N', 12, 2, &f.net);
  make_descriptor(&l.vat, 'C', 2, 0, f.vat_label);
  make_descriptor(&l.gross, 'N', 12, 2, &f.p.CENA);
  make_descriptor(&l.discount, 'N', 7, 2, &f.p.RABAT);
  make_descriptor(&l.values[0], 'N', 14, 2, &f.value_net);
  make_descriptor(&l.values[1], 'N', 14, 2, &f.value_vat);
  make_descriptor(&l.values[2], 'N', 14, 2, &f.value_gross);
  auto value = [&](int i, int x, int y, int w, FieldDescriptor* fd) {
    dlg_field(d, i, x, y, w, 1, fd);
    d[i].options = 0;
  };
  dlg_frame(d, 0, 0, 0, 66, 20, Income() ? "POZYCJA PRZYCHODU" : "POZYCJA ROZCHODU");
  dlg_center(d);
  dlg_label(d, 1, 3, 1, "&Nazwa:");
  dlg_choice(d, kPosName, 18, 1, 41, 1, &l.name);
  dlg_label(d, 3, 3, 2, "Opis:");
  value(4, 18, 2, 41, &l.description);
  dlg_label(d, 5, 3, 3, "Nr:");
  value(6, 18, 3, 17, &l.number);
  dlg_label(d, 7, 38, 3, "Stan:");
  value(8, 44, 3, 12, &l.stock);
  value(9, 57, 3, 5, &l.unit);
  dlg_label(d, 10, 3, 5, "O&pakowań:"_pl);
  dlg_field(d, kPosPackages, 18, 5, 12, 1, &l.packages);
  dlg_label(d, 12, 32, 5, "Opakowanie:");
  value(13, 44, 5, 12, &l.packaging);
  value(14, 57, 5, 5, &l.unit);
  dlg_label(d, 15, 3, 6, "Po&jedynczo:");
  dlg_field(d, kPosSingles, 18, 6, 12, 1, &l.singles);
  dlg_label(d, 17, 3, 7, "&Ilość:"_pl);
  dlg_field(d, kPosQuantity, 18, 7, 12, 1, &l.quantity);
  value(19, 31, 7, 5, &l.unit);
  dlg_label(d, 20, 3, 9, Income() ? "    &Cena zakupu netto:" : " &Cena sprzedaży netto:"_pl);
  dlg_field(d, kPosNet, 26, 9, 12, 1, &l.net);
  dlg_label(d, 22, 14, 10, "Stawka &VAT:");
  dlg_choice(d, kPosVat, 26, 10, 2, 1, &l.vat);
  dlg_label(d, 24, 29, 10, "%");
  dlg_label(d, 25, 3, 11, Income() ? "   Cena zakupu &brutto:" : "Cena sprzedaży &brutto:"_pl);
  dlg_field(d, kPosGross, 26, 11, 12, 1, &l.gross);
  dlg_label(d, 27, 19, 12, "&Rabat:");
  dlg_field(d, kPosDiscount, 26, 12, 7, 1, &l.discount);
  dlg_label(d, 29, 34, 12, "%");
  dlg_label(d, 30, 3, 14, "Wartość netto:"_pl);
  value(31, 26, 14, 14, &l.values[0]);
  dlg_label(d, 32, 3, 15, "Wartość VAT:"_pl);
  value(33, 26, 15, 14, &l.values[1]);
  dlg_label(d, 34, 3, 16, "Wartość brutto:"_pl);
  value(35, 26, 16, 14, &l.values[2]);
  dlg_button(d, kPosCalculation, 26, 18, " &Kalkulacja... ");
  dlg_button(d, kPosOk, 46, 18, " &Ok ");
  dlg_end(d, kPosOk + 1);
  return d;
}

// ---- PRZECENA POZYCJI ----

int g_reprice_vat_field = 0;
char g_reprice_vat[3] = "";
int g_reprice_vat_id = 0;

int RepriceCallback(ControlRecord* d, int code) {
  if (code != g_reprice_vat_field) return -1;
  const char* items[kVatChoiceCount + 2];
  items[0] = " brak    ";
  int pre = 0;
  for (int k = 0; k < kVatChoiceCount; ++k) {
    items[k + 1] = VAT_CHOICES[k].text;
    if (VAT_CHOICES[k].id == g_reprice_vat_id) pre = k + 1;
  }
  items[kVatChoiceCount + 1] = nullptr;
  const int f = g_reprice_vat_field;
  const int r = menu_list(items, pre, nullptr, dlg_abs_x(d, f) + d[f].width + 1, dlg_abs_y(d, f));
  if (r >= 0) {
    g_reprice_vat_id = r == 0 ? 0 : VAT_CHOICES[r - 1].id;
    std::snprintf(g_reprice_vat, sizeof g_reprice_vat, "%s", VatLabel(g_reprice_vat_id));
  }
  dlg_draw_control(d, f);
  return -1;
}

// The price of one position changed as the dialog asked.
POZ_RECORD Repriced(const POZ_RECORD& from, bool netPrices, AMOUNT price, AMOUNT discount, int vat,
                    bool regross) {
  POZ_RECORD p = from;
  const int old_vat = static_cast<int>(p.VATID.Whole());
  if (netPrices) {
    const AMOUNT net =
        RoundToPlaces(PercentChange(NetFromGross(p.CENA, old_vat), price), RoundPrice());
    p.CENA = GrossFromNet(net, old_vat);
  } else {
    p.CENA = RoundToPlaces(PercentChange(p.CENA, price), RoundPrice());
  }
  if (p.CENA < AMOUNT()) p.CENA = AMOUNT();
  p.RABAT += discount;
  if (vat != 0) {
    if (regross) p.CENA = RegrossForVat(p.CENA, old_vat, vat);
    p.VATID = AMOUNT::FromInt(vat);
  }
  return p;
}

}  // namespace

int position_form_edit(const TRA_RECORD& t, long* recno, RUNNING_TOTALS* running) {
  g_form = FORM{};
  FORM& f = g_form;
  f.t = t;
  f.recno = *recno;
  f.running = running;
  {
    READ_ACCESS access;
    if (!access) return -1;
    if (ReadRecordById(kTableContractors, t.KONID, &f.contractor) < 0) return -1;
    if (f.recno >= 0) {
      if (ReadPosition(f.recno, &f.stored) != 0) return -1;
      f.p = f.stored;
      TOW_RECORD g{};
      const int rc = ReadRecordById(kTableGoods, f.p.TOWID, &g);
      if (rc < 0) return -1;
      if (rc == 0) ShowGoods(g);
      f.net = NetFromGross(f.p.CENA, Vat());
      SplitQuantity();
    }
  }
  // The copies of the transaction's fields.
  f.p.RODZAJ[0] = t.RODZAJ[0];
  f.p.RODZAJ[1] = 0;
  f.p.TRAID = t.ID;
  f.p.KONID = t.KONID;
  f.p.DATAMAG = t.DATAMAG;
  f.p.DATATRA = t.DATATRA;
  Values();
  ControlRecord* d = Build();
  d[0].options |= kOptHeap;
  dlg_run(d, kPosName, Callback);
  if (!f.saved) return -1;
  *recno = f.recno;
  return 0;
}

int reprice_positions(const TRA_RECORD& t, const long* recnos, long count, long current,
                      RUNNING_TOTALS* running) {
  if (count <= 0 || CheckRights(kRightModifySalePrices, true) != 0) return -1;
  AMOUNT price, discount;
  FieldDescriptor price_field, discount_field, vat_field;
  make_descriptor(&price_field, 'N', 7, 2, &price);
  make_descriptor(&discount_field, 'N', 7, 2, &discount);
  g_reprice_vat[0] = 0;
  g_reprice_vat_id = 0;
  make_descriptor(&vat_field, 'C', 2, 0, g_reprice_vat);
  ControlRecord d[14];
  dlg_frame(d, 0, 0, 0, 50, 11, "PRZECENA POZYCJI");
  dlg_center(d);
  dlg_radio(d, 1, 3, 1, "&Wszystkie ");
  dlg_radio(d, 2, 3, 2, "&Jedna     ");
  dlg_label(d, 3, 3, 4, "Zmiana &ceny o:         %");
  dlg_field(d, 4, 18, 4, 7, 1, &price_field);
  dlg_label(d, 5, 3, 5, "Zmiana &rabatu o:         %");
  dlg_field(d, 6, 20, 5, 7, 1, &discount_field);
  dlg_label(d, 7, 3, 6, "Zmiana &VAT na:         %");
  g_reprice_vat_field = 8;
  dlg_choice(d, 8, 23, 6, 2, 1, &vat_field);
  dlg_check(d, 9, 2, 7, "&Aktualizacja ceny brutto przy zmianie VAT ", false);
  dlg_button(d, 10, 22, 9, " &Ok ");
  dlg_end(d, 11);
  radio_select(d, 1, false);
  if (dlg_run(d, 1, RepriceCallback) != 10) return 0;
  const bool all = radio_selected(d, 1) == 1;
  const bool regross = dlg_checked(d, 9);
  const long from = all ? 0 : current, to = all ? count : current + 1;
  int rc = 0;
  for (long k = from; k < to && rc == 0; ++k) {
    if (ask_abort()) break;
    POZ_RECORD p;
    if (ReadPosition(recnos[k], &p) != 0) {
      rc = -1;
      break;
    }
    POZ_RECORD next = Repriced(p, t.ZAOKRNETTO != 0, price, discount, g_reprice_vat_id, regross);
    rc = ChangePosition(recnos[k], &next, running);
  }
  return rc;
}
