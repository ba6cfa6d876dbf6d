#include "business/documents/cash_document.h"

#include <cstdio>
#include <string>

#include "business/document_kinds.h"
#include "business/documents/document_parts.h"
#include "business/read_access.h"
#include "common/text.h"
#include "db/table.h"
#include "reports/report_output.h"
#include "reports/report_table.h"
#include "ui/document/doc_viewer.h"
#include "ui/document/document.h"

namespace {

constexpr int kCashSet = 6;  // "Dowód kasowy"

const char* const kFormNames[kPaymentFormCount] = {"gotówka"_pl, "karta", "przelew", "odroczenie"};

AMOUNT FormAmount(const TRA_RECORD& t, int form) {
  switch (form) {
    case kPaymentCash: return t.GOT;
    case kPaymentCard: return t.CZK;
    case kPaymentTransfer: return t.PRZ;
    default: return t.ODR;
  }
}

AMOUNT FormInterest(const TRA_RECORD& t, int form) {
  if (form == kPaymentTransfer) return t.PRZODSETKI;
  if (form == kPaymentDeferment) return t.ODRODSETKI;
  return AMOUNT();
}

DATE FormDate(const TRA_RECORD& t, int form) {
  if (form == kPaymentTransfer) return t.PRZZAPLAC;
  if (form == kPaymentDeferment) return t.ODRZAPLAC;
  return t.DATATRA;
}

// The rows of the table: the payment, the interest, one at a time.
class CASH_ROWS : public RECORD_SOURCE {
 public:
  CASH_ROWS(const TRA_RECORD& t, int form) {
    if (DocumentKindByCode(t.DOKTRATYP) != 0) {
      const std::string document = DocumentNumberText(t.DOKTRATYP, t.DOKTRANR, t.DATATRA);
      const std::string date = DateToDisplay(t.DATATRA);
      std::string text = "Zapłata za "_pl + document + " z dnia " + date;
      // A number too long for the column leaves the date to a line of its own.
      if (text.size() > 50) {
        rows_[count_++] = {"Zapłata za "_pl + document, AMOUNT(), false};
        text = "z dnia " + date;
      }
      rows_[count_++] = {text, Abs(FormAmount(t, form)), true};
    } else {
      rows_[count_++] = {"", Abs(FormAmount(t, form)), true};
    }
    const AMOUNT interest = FormInterest(t, form);
    if (!interest.IsZero()) rows_[count_++] = {"Odsetki", interest, true};
    total_ = Abs(FormAmount(t, form)) + interest;
    table_.SetColumn(0, 50);
    table_.SetColumn(1, 15);
    table_.SetCell(RPTTABLE::kHeader, 0, 0, &head_text_);
    table_.SetCell(RPTTABLE::kHeader, 0, 1, &head_amount_);
    table_.SetCell(RPTTABLE::kBody, 0, 0, &text_cell_);
    table_.SetCell(RPTTABLE::kBody, 0, 1, &amount_cell_);
    table_.SetCell(RPTTABLE::kFooter, 0, 0, &total_label_);
    table_.SetCell(RPTTABLE::kFooter, 0, 1, &total_cell_);
  }
  int First() override {
    at_ = 0;
    return Load();
  }
  int Next() override {
    ++at_;
    return Load();
  }
  int Print() { return table_.Print(); }

 private:
  struct ROW {
    std::string text;
    AMOUNT amount;
    bool priced;
  };
  int Load() {
    if (at_ >= count_) return kTableEnd;
    text_cell_.Set(rows_[at_].text.c_str());
    amount_ = rows_[at_].amount;
    amount_cell_ = DKRPT::CELL_CURR(rows_[at_].priced ? &amount_ : nullptr);
    return 0;
  }

  ROW rows_[3];
  int count_ = 0;
  int at_ = 0;
  AMOUNT amount_, total_;
  RPTTABLE table_{2, 1, 1, 1, this};
  DKRPT::CELL_CTEXT head_text_{"Treść"_pl}, head_amount_{"Należność"_pl};
  const std::string razem_ = FitTextRight("Razem:", 50);
  DKRPT::CELL_TEXT text_cell_, total_label_{razem_.c_str()};
  DKRPT::CELL_CURR amount_cell_, total_cell_{&total_};
};

}  // namespace

bool PaymentFormEnabled(const TRA_RECORD& t, int form) {
  switch (form) {
    case kPaymentCash: return !t.GOT.IsZero();
    case kPaymentCard: return !t.CZK.IsZero();
    case kPaymentTransfer: return t.PRZZAPLAC != 0;
    case kPaymentDeferment: return t.ODRZAPLAC != 0;
    default: return false;
  }
}

bool AnyPaymentForm(const TRA_RECORD& t) {
  for (int f = 0; f < kPaymentFormCount; ++f)
    if (PaymentFormEnabled(t, f)) return true;
  return false;
}

int ComposeCashDocument(const TRA_RECORD& t, int form) {
  const int w = kCashDocumentWidth;
  ReportOutputBegin();
  PutHeaderFooterLines(kCashSet, 'H');
  PutPlaceAndDate(FormDate(t, form), w);
  Put("\n");
  // Money comes in on a sale and goes out on a delivery; a negative amount turns that round.
  const bool received = (t.RODZAJ[0] == 'S') == (FormAmount(t, form) >= AMOUNT());
  PutTitleBlock(received ? "D O W Ó D   W P Ł A T Y"_pl : "D O W Ó D   W Y P Ł A T Y"_pl, "", w);
  Put("\n");
  CASH_ROWS rows(t, form);
  if (rows.Print() != 0) return -1;
  Put("\n%s%s\n\n", "Forma płatności: "_pl, kFormNames[form]);
  PutHeaderFooterLines(kCashSet, 'F');
  Put("\n\n%s\n", FitTextRight("Pieczęć i podpis"_pl, w - 1).c_str());
  return ReportOutputEnd();
}

int CashDocumentCommand() {
  if (TableRecNo(kTableTransactions) < 0) return -1;
  TRA_RECORD t;
  {
    READ_ACCESS access;
    if (!access || CurrentTransaction(&t) != 0) return -1;
  }
  if (!AnyPaymentForm(t)) return -1;
  static const char* const kForms[kPaymentFormCount] = {" &gotówka    "_pl, " &karta      ",
                                                        " &przelew    ", " &odroczenie "};
  const std::vector<const char*> items(kForms, kForms + kPaymentFormCount);
  std::vector<bool> enabled;
  int first = -1;
  for (int f = 0; f < kPaymentFormCount; ++f) {
    enabled.push_back(PaymentFormEnabled(t, f));
    if (first < 0 && enabled.back()) first = f;
  }
  const int form = menu_with_disabled(nullptr, items, enabled, first, 18);
  if (form < 0) return -1;
  if (ComposeCashDocument(t, form) != 0) {
    doc_close();
    return -1;
  }
  return doc_view();
}
