#include "business/positions_window.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "business/options.h"
#include "business/position_store.h"
#include "business/position_values.h"
#include "business/read_access.h"
#include "business/record_lookup.h"
#include "business/vat.h"
#include "common/codepage.h"
#include "common/text.h"
#include "db/records.h"
#include "db/table.h"
#include "ui/dialog.h"
#include "ui/keys.h"
#include "ui/message_box.h"
#include "ui/number_format.h"
#include "ui/screen.h"

namespace {

constexpr int kRows = 10;
constexpr int kWidth = 76;
constexpr int kHeight = 20;
constexpr int kRowWidth = 70;

enum {
  kRecFrame = 0,
  kRecHeader,
  kRecTopLine,
  kRecBottomLine,
  kRecTotalsLabel,
  kRecNet,
  kRecVat,
  kRecGross,
  kRecFirstRow,
  kRecEnd = kRecFirstRow + kRows
};
enum { kBtnBar = 0, kBtnAdd, kBtnEdit, kBtnDelete, kBtnReprice, kBtnExit, kBtnEnd };

const char* const kButtons[] = {" &Dodanie ", " &Edycja ", " &Usunięcie "_pl, " &Przecena ",
                                " &Wyjście "_pl};
const int kButtonX[] = {0, 11, 21, 34, 46};
constexpr int kBarWidth = 56;

struct WINDOW {
  TRA_RECORD t{};
  std::vector<long> recnos;
  long current = 0;  // index into recnos
  long top = 0;      // index shown on the first row
  RUNNING_TOTALS running;
  ControlRecord dlg[kRecEnd + 1];
  ControlRecord bar[kBtnEnd + 1];
  char rows[kRows][kRowWidth + 1];
  FieldDescriptor row_fields[kRows];
  AMOUNT net, vat, gross;
  FieldDescriptor totals[3];
  int button = kBtnAdd;
};

bool Income(const TRA_RECORD& t) { return t.RODZAJ[0] == 'D'; }

// One row: goods name, number, quantity, the unit price (net or gross as the options show it),
// the VAT label and the discount.
void RowText(const WINDOW& w, const POZ_RECORD& p, char* out) {
  TOW_RECORD g{};
  ReadRecordById(kTableGoods, p.TOWID, &g);
  const int vat = static_cast<int>(p.VATID.Whole());
  const POSITION_VALUES v =
      ComputePositionValues(p.ILOSC, p.CENA, p.RABAT, vat, w.t.ZAOKRNETTO != 0);
  const bool net = Income(w.t) ? PricePurchaseNettoShow() : PriceSaleNettoShow();
  std::snprintf(out, kRowWidth + 1, "%-27.27s %-13.13s %10.10s %10.10s %2.2s %3.3s", g.NAZWA, g.NR,
                format_amount(p.ILOSC, RoundAmount()).c_str(),
                format_amount(net ? v.unitNet : v.unitGross, 2).c_str(), VatLabel(vat),
                format_amount(p.RABAT, 0).c_str());
}

void DrawTotals(WINDOW& w) {
  const DOCUMENT_TOTALS d = w.running.Totals();
  w.net = d.net;
  w.vat = d.vat;
  w.gross = d.gross;
  for (int i = kRecNet; i <= kRecGross; ++i) dlg_draw_control(w.dlg, i);
}

void Draw(WINDOW& w) {
  READ_ACCESS access;
  const long n = static_cast<long>(w.recnos.size());
  if (w.current >= n) w.current = n - 1;
  if (w.current < 0) w.current = 0;
  if (w.current < w.top) w.top = w.current;
  if (w.current >= w.top + kRows) w.top = w.current - kRows + 1;
  for (int r = 0; r < kRows; ++r) {
    const long k = w.top + r;
    w.rows[r][0] = 0;
    POZ_RECORD p;
    if (k < n && ReadPosition(w.recnos[static_cast<size_t>(k)], &p) == 0) RowText(w, p, w.rows[r]);
    ControlRecord& c = w.dlg[kRecFirstRow + r];
    if (k == w.current && k < n) c.state |= kStateFocus;
    else c.state &= ~kStateFocus;
    dlg_draw_control(w.dlg, kRecFirstRow + r);
  }
  DrawTotals(w);
  for (int b = kBtnAdd; b < kBtnEnd; ++b) {
    dlg_set_state(w.bar, b, kStateFocus, b == w.button, false);
    dlg_set_state(w.bar, b, kStateDisabled,
                  n == 0 && (b == kBtnEdit || b == kBtnDelete || b == kBtnReprice), false);
  }
  dlg_draw(w.bar, 0);
}

void Build(WINDOW& w) {
  ControlRecord* d = w.dlg;
  const char* title = Income(w.t) ? "POZYCJE PRZYCHODU" : "POZYCJE ROZCHODU";
  dlg_control(d, kRecFrame, kKindDialog, kOptHeap, kStateShadow, ControlData{title}, 0, 0, kWidth,
              kHeight, 9);
  dlg_center(d);
  dlg_label(d, kRecHeader, 3, 1,
            "            Nazwa                 Nr          Ilość       Cena  VAT Rbt"_pl);
  dlg_line(d, kRecTopLine, 3, 2, kRowWidth);
  dlg_line(d, kRecBottomLine, 3, 13, kRowWidth);
  dlg_label(d, kRecTotalsLabel, 3, 14, " Suma netto:\n   Suma VAT:\nSuma brutto:");
  AMOUNT* values[3] = {&w.net, &w.vat, &w.gross};
  for (int i = 0; i < 3; ++i) {
    make_descriptor(&w.totals[i], 'N', 15, 2, values[i]);
    ControlData cd;
    cd.field = &w.totals[i];
    dlg_control(d, kRecNet + i, kKindField, 0, 0, cd, 16, 14 + i, 15, 1, 11);
  }
  for (int r = 0; r < kRows; ++r) {
    w.rows[r][0] = 0;
    make_descriptor(&w.row_fields[r], 'C', kRowWidth, 0, w.rows[r]);
    ControlData cd;
    cd.field = &w.row_fields[r];
    dlg_control(d, kRecFirstRow + r, kKindField, 0, 0, cd, 3, 3 + r, kRowWidth, 1, 11);
  }
  dlg_end(d, kRecEnd);
  ControlRecord* b = w.bar;
  dlg_fill(b, kBtnBar, d[0].x + (kWidth - kBarWidth) / 2, d[0].y + 18, kBarWidth, 1, ' ', 9);
  for (int i = 0; i < 5; ++i) dlg_button(b, kBtnAdd + i, kButtonX[i], 0, kButtons[i]);
  dlg_end(b, kBtnEnd);
}

// Positions and totals as the file holds them, after anything went wrong.
void Reload(WINDOW& w) {
  READ_ACCESS access;
  TransactionPositions(w.t.ID, &w.recnos);
  LoadRunningTotals(w.t.ID, w.t.ZAOKRNETTO != 0, &w.running);
}

void Add(WINDOW& w) {
  long recno = -1;
  if (position_form_edit(w.t, &recno, &w.running) != 0) return;
  if (recno < 0) return Reload(w);
  w.recnos.push_back(recno);
  w.current = static_cast<long>(w.recnos.size()) - 1;
}

void Edit(WINDOW& w) {
  if (w.recnos.empty()) return;
  long recno = w.recnos[static_cast<size_t>(w.current)];
  if (position_form_edit(w.t, &recno, &w.running) != 0) Reload(w);
}

void Delete(WINDOW& w) {
  if (w.recnos.empty()) return;
  if (message_box(1, "%s", "Usunąć ten rekord?\t &Nie \t &Tak "_pl) != 2) return;
  const size_t k = static_cast<size_t>(w.current);
  if (RemovePosition(w.recnos[k], &w.running) == 0)
    w.recnos.erase(w.recnos.begin() + static_cast<long>(k));
  else Reload(w);
}

void Reprice(WINDOW& w) {
  if (w.recnos.empty()) return;
  if (reprice_positions(w.t, w.recnos.data(), static_cast<long>(w.recnos.size()), w.current,
                        &w.running) != 0)
    Reload(w);
}

// Runs button b; true when the window is to close.
bool Run(WINDOW& w, int b) {
  switch (b) {
    case kBtnAdd: Add(w); break;
    case kBtnEdit: Edit(w); break;
    case kBtnDelete: Delete(w); break;
    case kBtnReprice: Reprice(w); break;
    case kBtnExit: return true;
    default: break;
  }
  w.button = b;
  return false;
}

PositionCalculationFn g_calculation = nullptr;

}  // namespace

int positions_window(AMOUNT transactionId) {
  WINDOW w;
  {
    READ_ACCESS access;
    if (!access || FindById(kTableTransactions, transactionId) != 0) return -1;
    w.t = Tra;
    w.running = RUNNING_TOTALS(w.t.ZAOKRNETTO != 0);
    if (TransactionPositions(w.t.ID, &w.recnos) != 0 ||
        LoadRunningTotals(w.t.ID, w.t.ZAOKRNETTO != 0, &w.running) != 0)
      return -1;
  }
  Build(w);
  if (dlg_open(w.dlg) != 0) return -1;
  for (bool done = false; !done;) {
    Draw(w);
    KeyEvent ev;
    read_key(&ev);
    const long n = static_cast<long>(w.recnos.size());
    if (ev.ch == 0) {
      switch (ev.scan) {
        case kScanIns: done = Run(w, kBtnAdd); break;
        case kScanF2: done = Run(w, kBtnEdit); break;
        case kScanDel: done = Run(w, kBtnDelete); break;
        case kScanUp: w.current = std::max(0L, w.current - 1); break;
        case kScanDown: w.current = std::min(n - 1, w.current + 1); break;
        case kScanPgUp: w.current = std::max(0L, w.current - kRows); break;
        case kScanPgDn: w.current = std::min(n - 1, w.current + kRows); break;
        case kScanHome: w.current = 0; break;
        case kScanEnd: w.current = n - 1; break;
        case kScanLeft: w.button = w.button == kBtnAdd ? kBtnExit : w.button - 1; break;
        case kScanRight: w.button = w.button == kBtnExit ? kBtnAdd : w.button + 1; break;
        default: break;
      }
      continue;
    }
    if (key_is_esc(ev)) break;
    if (key_is_enter(ev)) {
      done = Run(w, w.button);
      continue;
    }
    if (key_is_tab(ev)) {
      w.button = w.button == kBtnExit ? kBtnAdd : w.button + 1;
      continue;
    }
    switch (to_lower(ev.ch)) {
      case 'd': done = Run(w, kBtnAdd); break;
      case 'e': done = Run(w, kBtnEdit); break;
      case 'u': done = Run(w, kBtnDelete); break;
      case 'p': done = Run(w, kBtnReprice); break;
      case 'w': done = true; break;
      default: break;
    }
  }
  window_close();
  // The sums from all positions once more: without "TraRecalc" this is where they are stored.
  return RecalculateTransaction(w.t.ID);
}

void SetPositionCalculation(PositionCalculationFn fn) { g_calculation = fn; }
PositionCalculationFn PositionCalculation() { return g_calculation; }

void ResetPositionsWindow() { g_calculation = nullptr; }
