#include "business/documents/transfer_order.h"

#include <cstdio>
#include <string>
#include <vector>

#include "business/contractor_checks.h"
#include "business/contractor_parent.h"
#include "business/document_kinds.h"
#include "business/documents/document_parts.h"
#include "business/options.h"
#include "business/read_access.h"
#include "common/codepage.h"
#include "common/text.h"
#include "db/records.h"
#include "db/table.h"
#include "reports/report_output.h"
#include "ui/dialog.h"
#include "ui/document/doc_viewer.h"
#include "ui/document/document.h"
#include "ui/number_format.h"
#include "ui/record_list.h"

namespace {

// ---- the form ----
// Where each datum stands: docs/formats/transfer-order.md.

// Frames are drawn as lines joining in each cell: boxes that touch share their borders, and
// the corners become tees and crosses by themselves.
class CANVAS {
 public:
  CANVAS(int w, int h)
      : w_(w),
        mask_(static_cast<size_t>(w * h), 0),
        form_(static_cast<size_t>(h), std::string(static_cast<size_t>(w), 0)),
        data_(static_cast<size_t>(h), std::string(static_cast<size_t>(w), ' ')) {}

  void Box(int x, int y, int w, int h, const char* label) {
    const int r = x + w - 1, b = y + h - 1;
    for (int i = x; i < r; ++i)
      Join(i, y, kRight), Join(i + 1, y, kLeft), Join(i, b, kRight), Join(i + 1, b, kLeft);
    for (int j = y; j < b; ++j)
      Join(x, j, kDown), Join(x, j + 1, kUp), Join(r, j, kDown), Join(r, j + 1, kUp);
    const std::string text = std::string(" ") + label + " ";
    for (size_t k = 0; k < text.size() && x + 1 + static_cast<int>(k) < r; ++k)
      form_[static_cast<size_t>(y)][static_cast<size_t>(x + 1) + k] = text[k];
  }
  // Data: what a pre-printed form gets. A text too long stops before the right frame.
  void Text(int x, int y, const std::string& text) {
    std::string& row = data_[static_cast<size_t>(y)];
    for (size_t k = 0; k < text.size() && x + k + 1 < row.size(); ++k)
      row[static_cast<size_t>(x) + k] = text[k];
  }
  void Print(bool data_only, int margin) const {
    for (size_t y = 0; y < data_.size(); ++y) {
      std::string line(static_cast<size_t>(margin), ' ');
      for (size_t x = 0; x < static_cast<size_t>(w_); ++x) {
        char c = data_[y][x];
        if (!data_only && c == ' ')
          c = form_[y][x] ? form_[y][x] : Frame(mask_[y * static_cast<size_t>(w_) + x]);
        line += c;
      }
      while (!line.empty() && line.back() == ' ') line.pop_back();
      Put("%s\n", line.c_str());
    }
  }

 private:
  enum { kUp = 1, kDown = 2, kLeft = 4, kRight = 8 };
  void Join(int x, int y, int bit) {
    mask_[static_cast<size_t>(y * w_ + x)] |= static_cast<uint8_t>(bit);
  }
  static char Frame(uint8_t m) {
    // The box characters by the directions they join: ─ │ ┌ ┬ ┐ ├ ┼ ┤ └ ┴ ┘.
    static const int kIndex[16] = {-1, 1, 1, 1, 0, 10, 4, 7, 0, 8, 2, 5, 0, 9, 3, 6};
    return m == 0 ? ' ' : static_cast<char>(box_char(kIndex[m]));
  }

  int w_;
  std::vector<uint8_t> mask_;
  std::vector<std::string> form_;
  std::vector<std::string> data_;
};

constexpr int kFormWidth = 72;
constexpr int kFormHeight = 20;

std::string Joined(const char* a, const char* b) {
  std::string s = a;
  if (*a && *b) s += ", ";
  return s + b;
}

void PutForm(const TRANSFER_ORDER& o, bool data_only, int margin) {
  CANVAS c(kFormWidth, kFormHeight);
  const std::string amount = "**" + format_amount(o.amount, 2) + "**";
  c.Box(0, 0, kFormWidth, 4, "Nazwa odbiorcy");
  c.Text(2, 1, o.payee.name);
  c.Text(2, 2, Joined(o.payee.address, o.payee.city));
  c.Box(0, 3, kFormWidth, 3, "Nr rachunku odbiorcy");
  c.Text(2, 4, o.payee.account);
  c.Box(0, 5, 8, 3, "L.k.");
  c.Box(7, 5, 17, 3, "Waluta");
  c.Box(23, 5, kFormWidth - 23, 3, "Kwota");
  c.Text(8, 6, FitText("    PLN", 15) + " " + FitText(amount, 44));
  c.Box(0, 7, kFormWidth, 4, "Nr rachunku zleceniodawcy");
  c.Text(2, 8, o.payer.account);
  c.Text(kFormWidth - 1 - 37, 9, FitTextRight(amount + "  PLN", 37));
  c.Box(0, 10, kFormWidth, 4, "Nazwa zleceniodawcy");
  c.Text(2, 11, o.payer.name);
  c.Text(2, 12, Joined(o.payer.address, o.payer.city));
  c.Box(0, 13, kFormWidth, 4, "Tytułem"_pl);
  c.Text(2, 14, o.title[0]);
  c.Text(2, 15, o.title[1]);
  c.Box(0, 16, 20, 4, "Stempel dzienny");
  c.Box(19, 16, 12, 4, "Opłata"_pl);
  c.Box(30, 16, kFormWidth - 30, 4, "Data, pieczęć i podpis zleceniodawcy"_pl);
  c.Text(32, 18, DateToDisplay(o.date));
  c.Print(data_only, margin);
}

// ---- the dialog ----

struct ORDER_FORM {
  TRANSFER_ORDER* order;
  int payer_field, payee_field;
};
ORDER_FORM g_form;

void Choose(ControlRecord* d, TRANSFER_PARTY* party) {
  const int t = kTableContractors;
  const long was = TableRecNo(t);
  if (!party->id.IsZero()) FindById(t, party->id);
  const bool chosen = record_list(kViewContractors) == 0;
  const KON_RECORD picked = Kon;
  TableGo(t, was);
  if (!chosen) return;
  FillTransferParty(picked, party);
  CheckContractorBank(picked);
  dlg_draw(d, 1);
}

int OrderCallback(ControlRecord* d, int code) {
  if (code == g_form.payer_field) Choose(d, &g_form.order->payer);
  if (code == g_form.payee_field) Choose(d, &g_form.order->payee);
  return -1;
}

int OrderDialog(TRANSFER_ORDER* o) {
  g_form.order = o;
  FieldDescriptor f[15];
  make_descriptor(&f[0], 'D', 10, 0, &o->date);
  TRANSFER_PARTY* parties[2] = {&o->payer, &o->payee};
  for (int p = 0; p < 2; ++p) {
    make_descriptor(&f[1 + 4 * p], 'C', 50, 0, parties[p]->name);
    make_descriptor(&f[2 + 4 * p], 'C', 50, 0, parties[p]->address);
    make_descriptor(&f[3 + 4 * p], 'C', 50, 0, parties[p]->city);
    make_descriptor(&f[4 + 4 * p], 'C', 50, 0, parties[p]->account);
  }
  make_descriptor(&f[9], 'N', 14, 2, &o->amount);
  make_descriptor(&f[10], 'C', 50, 0, o->title[0]);
  make_descriptor(&f[11], 'C', 50, 0, o->title[1]);
  ControlRecord d[27];
  dlg_frame(d, 0, 0, 0, 72, 20, "POLECENIE PRZELEWU");
  dlg_center(d);
  int n = 1;
  dlg_label(d, n++, 3, 1, "&Data:");
  dlg_field(d, n++, 19, 1, 10, 1, &f[0]);
  const char* names[2] = {"&Zleceniodawca:", "Od&biorca:"};
  for (int p = 0; p < 2; ++p) {
    const int y = 2 + 5 * p;
    dlg_label(d, n++, 3, y, names[p]);
    (p == 0 ? g_form.payer_field : g_form.payee_field) = n;
    dlg_choice(d, n++, 19, y, 50, 1, &f[1 + 4 * p]);
    const char* labels[3] = {"Adres:", "Miasto:", "Konto:"};
    for (int k = 0; k < 3; ++k) {
      dlg_label(d, n++, 3, y + 1 + k, labels[k]);
      dlg_field(d, n++, 19, y + 1 + k, 50, 1, &f[2 + 4 * p + k]);
    }
  }
  dlg_label(d, n++, 3, 12, "&Kwota:");
  dlg_field(d, n++, 19, 12, 14, 1, &f[9]);
  dlg_label(d, n++, 3, 13, "&Tytułem:"_pl);
  dlg_field(d, n++, 19, 13, 50, 1, &f[10]);
  dlg_field(d, n++, 19, 14, 50, 1, &f[11]);
  const int check = n;
  dlg_check(d, n++, 3, 16, "Tylko da&ne ", o->dataOnly);
  const int ok = n;
  dlg_button(d, n++, 33, 18, " &Ok ");
  dlg_end(d, n);
  if (dlg_run(d, 2, OrderCallback) != ok) return -1;
  o->dataOnly = dlg_checked(d, check);
  return 0;
}

}  // namespace

void FillTransferParty(const KON_RECORD& k, TRANSFER_PARTY* party) {
  *party = TRANSFER_PARTY{};
  party->id = k.ID;
  std::snprintf(party->name, sizeof party->name, "%s", k.NAZWA);
  std::snprintf(party->address, sizeof party->address, "%s", k.ADRES);
  std::snprintf(party->city, sizeof party->city, "%s%s%s", k.KOD,
                k.KOD[0] && k.MIASTO[0] ? " " : "", k.MIASTO);
  std::snprintf(party->account, sizeof party->account, "%s", k.KONTO);
}

void ProposeTransferOrder(const TRA_RECORD* t, const KON_RECORD& parent,
                          const KON_RECORD& contractor, TRANSFER_ORDER* o) {
  *o = TRANSFER_ORDER{};
  o->date = DateToday();
  FillTransferParty(parent, &o->payer);
  if (!t) return;
  if (t->PRZZAPLAC) o->date = t->PRZZAPLAC;
  const AMOUNT amount = t->PRZ + t->PRZODSETKI;
  // Who pays: the contractor for a sale, the parent company for a delivery or a refund.
  const bool we_pay = t->RODZAJ[0] == 'D' || amount < AMOUNT();
  o->amount = Abs(amount);
  FillTransferParty(we_pay ? parent : contractor, &o->payer);
  FillTransferParty(we_pay ? contractor : parent, &o->payee);
  // The title names the sales document, or the warehouse document of a transaction without one.
  const bool sales = DocumentKindByCode(t->DOKTRATYP) != 0;
  const char* code = sales ? t->DOKTRATYP : t->DOKMAGTYP;
  const char* number = sales ? t->DOKTRANR : t->DOKMAGNR;
  if (DocumentKindByCode(code) != 0)
    std::snprintf(o->title[0], sizeof o->title[0], "Zapłata za %-2s %s/%u z dnia %s"_pl, code,
                  number, DateToYmd(t->DATATRA).year, DateToDisplay(t->DATATRA).c_str());
}

int ComposeTransferOrder(const TRANSFER_ORDER& o, int marginTop, int marginLeft) {
  ReportOutputBegin();
  const int margin = o.dataOnly ? marginLeft : 0;
  for (int i = 0; o.dataOnly && i < marginTop; ++i) Put("\n");
  for (int copy = 0; copy < 2; ++copy) {
    if (copy > 0) Put("\n\n");
    PutForm(o, o.dataOnly, margin);
  }
  return ReportOutputEnd();
}

int TransferOrderCommand(bool with_transaction) {
  KON_RECORD parent{}, contractor{};
  TRA_RECORD t{};
  {
    READ_ACCESS access;
    if (!access) return -1;
    ParentCompany(&parent);
    if (with_transaction &&
        (CurrentTransaction(&t) != 0 || DocumentContractor(t, &contractor) != 0))
      return -1;
  }
  TRANSFER_ORDER order;
  ProposeTransferOrder(with_transaction ? &t : nullptr, parent, contractor, &order);
  order.dataOnly = DocumentTransferDataOnly() != 0;
  if (OrderDialog(&order) != 0) return -1;
  const int top = DocumentTransferMarginTop(), left = DocumentTransferMarginLeft();
  SetDocumentTransferDataOnly(order.dataOnly ? 1 : 0);
  SetDocumentTransferMarginTop(top);
  SetDocumentTransferMarginLeft(left);
  if (ComposeTransferOrder(order, top, left) != 0) {
    doc_close();
    return -1;
  }
  return doc_view();
}
