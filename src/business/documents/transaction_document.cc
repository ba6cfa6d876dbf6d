#include "business/documents/transaction_document.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "business/contractor_form.h"
#include "business/document_kinds.h"
#include "business/documents/document_parts.h"
#include "business/options.h"
#include "business/position_store.h"
#include "business/read_access.h"
#include "business/record_lookup.h"
#include "business/rights.h"
#include "business/transaction_store.h"
#include "business/vat.h"
#include "business/words.h"
#include "common/text.h"
#include "db/table.h"
#include "reports/purchases.h"
#include "reports/report_output.h"
#include "reports/report_table.h"
#include "ui/document/doc_viewer.h"
#include "ui/document/document.h"
#include "ui/feedback.h"
#include "ui/message_box.h"
#include "ui/pick_list.h"

namespace {

// Header and footer sets of the options (business/options.h).
enum { kSetInvoice = 1, kSetBill = 2, kSetReceipt = 3, kSetIssue = 4, kSetReceive = 5 };

struct KIND_TEXTS {
  const char* title;
  const char* date_label;
  int set;
  const char* sign_left;
  const char* sign_right;
};

const char* const kSignSupplier = "Podpis dostawcy";
const char* const kSignRecipient = "Podpis odbiorcy";
const char* const kSignIssuer = "Podpis osoby uprawnionej do wystawiania faktur VAT";
const char* const kSignReceiver = "Podpis osoby uprawnionej do otrzymywania faktur VAT";

// By the number of the document in DOCUMENT_KINDS.
const KIND_TEXTS kKindTexts[kDocumentKindCount] = {
    {"", "Data", 0, "", ""},
    {"D O W Ó D   P R Z Y J Ę C I A   Z E W N Ę T R Z N E G O"_pl, "Data przyjęcia"_pl, kSetReceive,
     kSignSupplier, kSignRecipient},
    {"D O W Ó D   P R Z Y J Ę C I A   W E W N Ę T R Z N E G O"_pl, "Data przyjęcia"_pl, kSetReceive,
     kSignSupplier, kSignRecipient},
    {"D O W Ó D   P R Z Y J Ę C I A   Z   M A G A Z Y N U"_pl, "Data przyjęcia"_pl, kSetReceive,
     kSignSupplier, kSignRecipient},
    {"D O W Ó D   W Y D A N I A   Z E W N Ę T R Z N E G O"_pl, "Data wydania", kSetIssue,
     kSignSupplier, kSignRecipient},
    {"D O W Ó D   W Y D A N I A   W E W N Ę T R Z N E G O"_pl, "Data wydania", kSetIssue,
     kSignSupplier, kSignRecipient},
    {"D O W Ó D   W Y D A N I A   D O   M A G A Z Y N U"_pl, "Data wydania", kSetIssue,
     kSignSupplier, kSignRecipient},
    {"F A K T U R A   V A T", "Data sprzedaży"_pl, kSetInvoice, kSignIssuer, kSignReceiver},
    {"F A K T U R A   V A T   R R", "Data sprzedaży"_pl, kSetInvoice, kSignIssuer, kSignReceiver},
    {"R A C H U N E K", "Data sprzedaży"_pl, kSetBill, "Podpis sprzedawcy", "Podpis nabywcy"},
    {"PARAGON", "Data", kSetReceipt, "", ""},
    {"F A K T U R A   V A T  (korekta)", "Data sprzedaży"_pl, kSetInvoice, kSignIssuer,
     kSignReceiver},
    {"R A C H U N E K  (korekta)", "Data sprzedaży"_pl, kSetBill, "Podpis sprzedawcy",
     "Podpis nabywcy"},
    {"PARAGON (korekta)", "Data", kSetReceipt, "", ""},
};

constexpr int kKindPZ = 1, kKindWZ = 4, kKindFV = 7, kKindFR = 8, kKindPA = 10, kKindZF = 11,
              kKindZP = 13;

bool IsReceipt(int kind) { return kind == kKindPA || kind == kKindZP; }
bool IsIncome(const TRA_RECORD& t) { return t.RODZAJ[0] == 'D'; }
bool HasPayments(int mode) {
  return mode == kModeSalesDocument || mode == kModeSalePrices || mode == kModeIncomePurchasePrices;
}

// Whether the document's prices include the discount: the option of its kind.
bool PricesAfterDiscount(const TRANSACTION_DOCUMENT& doc) {
  if (doc.mode == kModeSalesDocument)
    return doc.kind >= kKindFV && doc.kind != kKindPA && doc.kind != kKindZP && FVPriceD();
  return doc.kind < kKindWZ ? PZPriceD() != 0 : WZPriceD() != 0;
}

// Lines written by hand lose their trailing blanks.
void PutLine(std::string line) {
  while (!line.empty() && line.back() == ' ') line.pop_back();
  Put("%s\n", line.c_str());
}

// ---- reading ----

int Refuse(const char* text) {
  message("%s", text);
  return 1;
}

DOCUMENT_ROW RowOf(const TOW_RECORD* goods, long number, AMOUNT quantity) {
  DOCUMENT_ROW r;
  r.number = number;
  r.quantity = quantity;
  if (goods) {
    r.goodsNumber = goods->NR;
    r.name = goods->NAZWA;
    r.description = goods->OPIS;
    r.sww = goods->SWW;
    r.unit = goods->JMIARY;
  } else {
    r.name = "(towar usunięty)"_pl;
  }
  return r;
}

void Price(DOCUMENT_ROW* r, DOCUMENT_TOTALS* totals, AMOUNT price, AMOUNT discount, int vat,
           bool netFirst) {
  r->vatId = vat;
  r->discount = discount;
  r->values = ComputePositionValues(r->quantity, price, discount, vat, netFirst);
  AddToTotals(totals, r->quantity, r->unit, price, discount, vat, netFirst);
}

// The rows of a sale in the purchase prices of the deliveries it took.
int ActualPurchaseRows(long recno, const TOW_RECORD* goods, long number,
                       TRANSACTION_DOCUMENT* doc) {
  if (TableGo(kTablePositions, recno) != 0) return -1;
  RS_PURCHASES_OF_SALE rows;
  int rc;
  long n = number;
  for (rc = rows.First(); rc == 0; rc = rows.Next()) {
    DOCUMENT_ROW r = RowOf(goods, n, rows.Quantity());
    n = 0;
    if (!rows.Found()) {
      r.known = false;
      doc->allKnown = false;
    } else {
      const POZ_RECORD delivery = Poz;
      TRA_RECORD t{};
      if (ReadRecordById(kTableTransactions, delivery.TRAID, &t) < 0) return -1;
      Price(&r, &doc->totals, delivery.CENA, delivery.RABAT,
            static_cast<int>(delivery.VATID.Whole()), t.ZAOKRNETTO != 0);
    }
    doc->rows.push_back(r);
  }
  return rc < 0 ? -1 : 0;
}

}  // namespace

bool ModeHasPrices(int mode) { return mode != kModeNoPrices && mode != kModeIncomeNoPrices; }

int LoadTransactionDocument(AMOUNT id, int mode, DATE issued, TRANSACTION_DOCUMENT* doc) {
  *doc = TRANSACTION_DOCUMENT{};
  doc->mode = mode;
  doc->issued = issued;
  TRA_RECORD& t = doc->transaction;
  int rc = ReadRecordById(kTableTransactions, id, &t);
  if (rc == kTableEnd) deleted_meanwhile(kTableTransactions);
  if (rc != 0) return -1;
  if (mode == kModeSalesDocument) {
    doc->kind = DocumentKindByCode(t.DOKTRATYP);
    if (doc->kind < kKindFV) return Refuse("Transakcja nie ma dokumentu sprzedaży."_pl);
  } else {
    doc->kind = DocumentKindByCode(t.DOKMAGTYP);
    if (doc->kind == 0 || doc->kind >= kKindFV)
      return Refuse("Transakcja nie ma dokumentu magazynowego."_pl);
  }
  if (DocumentParentCompany(&doc->parent) != 0 || DocumentContractor(t, &doc->contractor) != 0)
    return -1;
  std::vector<long> recnos;
  if (TransactionPositions(id, &recnos) != 0) return -1;
  if (recnos.empty()) return Refuse("Transakcja nie ma żadnych pozycji."_pl);

  const bool netFirst = t.ZAOKRNETTO != 0;
  DOCUMENT_TOTALS own{};
  for (size_t i = 0; i < recnos.size(); ++i) {
    if ((i & 31) == 31 && ask_abort()) return -1;
    POZ_RECORD p;
    if (ReadPosition(recnos[i], &p) != 0) return -1;
    TOW_RECORD g{};
    rc = ReadRecordById(kTableGoods, p.TOWID, &g);
    if (rc < 0) return -1;
    const TOW_RECORD* goods = rc == 0 ? &g : nullptr;
    const long number = static_cast<long>(i) + 1;
    const int vat = static_cast<int>(p.VATID.Whole());
    AddToTotals(&own, p.ILOSC, g.JMIARY, p.CENA, p.RABAT, vat, netFirst);
    AddToTotals(&doc->quantities, p.ILOSC, goods ? g.JMIARY : "", AMOUNT(), AMOUNT(), vat, false);
    if (mode == kModeActualPurchasePrices) {
      if (ActualPurchaseRows(recnos[i], goods, number, doc) != 0) return -1;
      continue;
    }
    DOCUMENT_ROW r = RowOf(goods, number, p.ILOSC);
    switch (mode) {
      case kModeLastPurchasePrices: {
        POZ_RECORD last{};
        bool lastNet = false;
        rc = LastPurchase(p.TOWID, &last, &lastNet);
        if (rc < 0) return -1;
        if (rc == 0) {
          Price(&r, &doc->totals, last.CENA, last.RABAT, static_cast<int>(last.VATID.Whole()),
                lastNet);
        } else {
          r.known = false;
          doc->allKnown = false;
        }
        break;
      }
      case kModeIncomeSalePrices:
        if (goods) {
          Price(&r, &doc->totals, g.CENA, g.RABAT, static_cast<int>(g.VATID.Whole()), netFirst);
        } else {
          r.known = false;
          doc->allKnown = false;
        }
        break;
      case kModeNoPrices:
      case kModeIncomeNoPrices: r.vatId = vat; break;
      default: Price(&r, &doc->totals, p.CENA, p.RABAT, vat, netFirst); break;
    }
    doc->rows.push_back(r);
  }
  doc->sumsAgree =
      RoundTo(own.gross, 2) == RoundTo(t.SUMA, 2) && RoundTo(own.vat, 2) == RoundTo(t.VAT, 2);
  return 0;
}

namespace {

// ---- the positions table ----

// Columns of the positions table; the price columns stand in one of two orders.
enum { kColLp, kColNumber, kColName, kColSww, kColQuantity, kColUnit, kColCount = 11 };

class POSITIONS_TABLE : public RECORD_SOURCE {
 public:
  explicit POSITIONS_TABLE(const TRANSACTION_DOCUMENT& doc);
  int First() override {
    at_ = 0;
    return Load();
  }
  int Next() override {
    ++at_;
    return Load();
  }
  int Print() { return table_.Print(); }
  bool interrupted = false;

 private:
  int Load();

  const TRANSACTION_DOCUMENT& doc_;
  bool after_discount_;
  bool net_value_;
  size_t at_ = 0;
  RPTTABLE table_;
  char lp_[24] = "", number_[21] = "", name_[51] = "", description_[51] = "", sww_[21] = "";
  char unit_[6] = "", vat_[4] = "", total_label_[41] = "", total_unit_[6] = "";
  AMOUNT quantity_, net_, gross_, discount_, value_, total_quantity_;
  bool known_ = true;
  DKRPT::CELL_CTEXT heads_[2][kColCount];
  DKRPT::CELL_TEXT lp_cell_{lp_}, number_cell_{number_}, name_cell_{name_},
      description_cell_{description_};
  DKRPT::CELL_TEXT sww_cell_{sww_}, unit_cell_{unit_}, vat_cell_{vat_};
  DKRPT::CELL_TEXT total_label_cell_{total_label_}, total_unit_cell_{total_unit_};
  DKRPT::CELL_NUM quantity_cell_, total_quantity_cell_, discount_cell_;
  DKRPT::CELL_CURR net_cell_{&net_, &known_}, gross_cell_{&gross_, &known_},
      value_cell_{&value_, &known_};
};

POSITIONS_TABLE::POSITIONS_TABLE(const TRANSACTION_DOCUMENT& doc)
    : doc_(doc),
      after_discount_(PricesAfterDiscount(doc)),
      net_value_(doc.transaction.ZAOKRNETTO != 0),
      table_(kColCount, 2, 2, 1, this),
      quantity_cell_(&quantity_, RoundAmount()),
      total_quantity_cell_(&total_quantity_, RoundAmount()),
      discount_cell_(&discount_, 2, &known_, true) {
  const bool warehouse = doc.mode != kModeSalesDocument;
  struct COLUMN {
    int width;
    const char* top;
    const char* bottom;
    const RPTTABLE::CELL* body;
  };
  const COLUMN fixed[6] = {
      {6, "Lp", "", &lp_cell_},
      {16, "Nr", "towaru", &number_cell_},
      {40, "Nazwa", warehouse ? "towaru" : "towaru/usługi"_pl, &name_cell_},
      {14, "Symbol", "PKWiU", &sww_cell_},
      {12, "Ilość"_pl, "", &quantity_cell_},
      {5, " J.m.", "", &unit_cell_},
  };
  const COLUMN net = {12, "Cena", "netto", &net_cell_};
  const COLUMN vat = {3, "VAT", "%", &vat_cell_};
  const COLUMN gross = {12, "Cena", "brutto", &gross_cell_};
  const COLUMN discount = {5, "Rabat", "%", &discount_cell_};
  const COLUMN value = {12, "Wartość"_pl, net_value_ ? "netto" : "brutto", &value_cell_};
  COLUMN all[kColCount] = {fixed[0], fixed[1], fixed[2], fixed[3], fixed[4], fixed[5]};
  if (after_discount_) {
    all[6] = discount, all[7] = net, all[8] = vat, all[9] = gross;
  } else {
    all[6] = net, all[7] = vat, all[8] = gross, all[9] = discount;
  }
  all[10] = value;
  const bool priced = ModeHasPrices(doc.mode);
  for (int c = 0; c < kColCount; ++c) {
    table_.SetColumn(c, all[c].width, priced || (c != kColSww && c < 6));
    heads_[0][c].Set(all[c].top);
    heads_[1][c].Set(all[c].bottom);
    table_.SetCell(RPTTABLE::kHeader, 0, c, &heads_[0][c]);
    table_.SetCell(RPTTABLE::kHeader, 1, c, &heads_[1][c]);
    table_.SetCell(RPTTABLE::kBody, 0, c, all[c].body);
  }
  table_.SetCell(RPTTABLE::kBody, 1, kColName, &description_cell_);
  table_.SetCell(RPTTABLE::kFooter, 0, kColName, &total_label_cell_);
  table_.SetCell(RPTTABLE::kFooter, 0, kColQuantity, &total_quantity_cell_);
  table_.SetCell(RPTTABLE::kFooter, 0, kColUnit, &total_unit_cell_);
  const bool quantity_line = DocumentAmountTotal() && HasQuantitySum(doc.quantities);
  table_.SetRowVisible(RPTTABLE::kFooter, 0, quantity_line);
  if (quantity_line) {
    std::snprintf(total_label_, sizeof total_label_, "%s", FitTextRight("Razem:", 40).c_str());
    std::snprintf(total_unit_, sizeof total_unit_, "%s", doc.quantities.unit.c_str());
    total_quantity_ = doc.quantities.quantity;
  }
}

int POSITIONS_TABLE::Load() {
  if (at_ >= doc_.rows.size()) return kTableEnd;
  // A long document can be stopped with Esc; what was written stays.
  if ((at_ & 31) == 31 && ask_abort()) {
    interrupted = true;
    return kTableEnd;
  }
  const DOCUMENT_ROW& r = doc_.rows[at_];
  if (r.number > 0) std::snprintf(lp_, sizeof lp_, "%5ld.", r.number);
  else lp_[0] = 0;
  // The goods description goes under the name; a position printed in several rows (one per
  // delivery it took from) has it in its second row.
  const bool described = DocumentProductDescription() && !r.description.empty();
  const bool continued = at_ + 1 < doc_.rows.size() && doc_.rows[at_ + 1].number == 0;
  const bool second = r.number == 0 && at_ > 0 && doc_.rows[at_ - 1].number > 0;
  std::snprintf(number_, sizeof number_, "%s", r.number > 0 ? r.goodsNumber.c_str() : "");
  std::snprintf(name_, sizeof name_, "%s",
                r.number > 0          ? r.name.c_str()
                : described && second ? r.description.c_str()
                                      : "");
  std::snprintf(description_, sizeof description_, "%s", r.description.c_str());
  std::snprintf(sww_, sizeof sww_, "%s", r.number > 0 ? r.sww.c_str() : "");
  std::snprintf(unit_, sizeof unit_, "%s", r.unit.c_str());
  std::snprintf(vat_, sizeof vat_, "%3s", r.known ? VatLabel(r.vatId) : "?");
  known_ = r.known;
  quantity_ = r.quantity;
  discount_ = r.discount;
  net_ = after_discount_ ? r.values.unitNetDisc : r.values.unitNet;
  gross_ = after_discount_ ? r.values.unitGrossDisc : r.values.unitGross;
  value_ = net_value_ ? r.values.netValue : r.values.grossValue;
  table_.SetRowVisible(RPTTABLE::kBody, 1, r.number > 0 && described && !continued);
  return 0;
}

// ---- the VAT table ----

class VAT_TABLE : public RECORD_SOURCE {
 public:
  explicit VAT_TABLE(const DOCUMENT_TOTALS& totals) : totals_(totals), table_(4, 1, 1, 1, this) {
    static const char* const kHeads[4] = {"VAT %", "Wartość netto"_pl, "Wartość VAT"_pl,
                                          " Wartość brutto"_pl};
    static const int kWidths[4] = {5, 14, 14, 15};
    const RPTTABLE::CELL* body[4] = {&label_cell_, &net_cell_, &vat_cell_, &gross_cell_};
    for (int c = 0; c < 4; ++c) {
      table_.SetColumn(c, kWidths[c]);
      heads_[c].Set(kHeads[c]);
      table_.SetCell(RPTTABLE::kHeader, 0, c, &heads_[c]);
      table_.SetCell(RPTTABLE::kBody, 0, c, body[c]);
    }
    table_.SetCell(RPTTABLE::kFooter, 0, 0, &sum_cell_);
    table_.SetCell(RPTTABLE::kFooter, 0, 1, &sum_net_cell_);
    table_.SetCell(RPTTABLE::kFooter, 0, 2, &sum_vat_cell_);
    table_.SetCell(RPTTABLE::kFooter, 0, 3, &sum_gross_cell_);
    table_.SetIndent(kDocumentWidth - table_.Width());
  }
  int First() override {
    row_ = -1;
    return Next();
  }
  int Next() override {
    while (++row_ < kVatRateCount) {
      const VAT_TOTAL& s = totals_.slots[row_];
      if (s.net.IsZero() && s.vat.IsZero() && s.gross.IsZero()) continue;
      std::snprintf(label_, sizeof label_, "%4s", VAT_RATES[row_].label);
      net_ = s.net, vat_ = s.vat, gross_ = s.gross;
      return 0;
    }
    return kTableEnd;
  }
  int Print() { return table_.Print(); }

 private:
  const DOCUMENT_TOTALS& totals_;
  RPTTABLE table_;
  int row_ = -1;
  char label_[8] = "";
  AMOUNT net_, vat_, gross_;
  DKRPT::CELL_CTEXT heads_[4];
  DKRPT::CELL_TEXT label_cell_{label_}, sum_cell_{"Suma:"};
  DKRPT::CELL_CURR net_cell_{&net_}, vat_cell_{&vat_}, gross_cell_{&gross_};
  DKRPT::CELL_CURR sum_net_cell_{&totals_.net}, sum_vat_cell_{&totals_.vat},
      sum_gross_cell_{&totals_.gross};
};

// ---- the other parts ----

// The parties side by side: "%21s %-50s  %13s %s".
void PutParties(const TRANSACTION_DOCUMENT& doc) {
  const bool income = IsIncome(doc.transaction);
  const KON_RECORD& left = income ? doc.contractor : doc.parent;
  const KON_RECORD& right = income ? doc.parent : doc.contractor;
  auto lines = [](const KON_RECORD& k) {
    std::vector<std::string> v;
    if (k.NAZWA[0]) v.push_back(k.NAZWA);
    if (k.NAZWA2[0]) v.push_back(k.NAZWA2);
    const std::string address = ContractorAddress(k);
    if (!address.empty()) v.push_back(address);
    if (k.NIP[0]) v.push_back(std::string("NIP: ") + k.NIP);
    if (k.DOWOD[0]) v.push_back(std::string("Dowód osobisty: "_pl) + k.DOWOD);
    if (k.KONTO[0]) v.push_back(std::string("Konto: ") + k.KONTO);
    return v;
  };
  const std::vector<std::string> l = lines(left), r = lines(right);
  const char* left_label = income ? "Dostawca:" : "Sprzedawca:";
  const char* right_label = income ? "Odbiorca:" : "Nabywca:";
  for (size_t i = 0; i < std::max<size_t>({l.size(), r.size(), 1}); ++i) {
    char line[256];
    std::snprintf(line, sizeof line, "%21s %-50s  %13s %s", i == 0 ? left_label : "",
                  FitText(i < l.size() ? l[i] : "", 50).c_str(), i == 0 ? right_label : "",
                  i < r.size() ? r[i].c_str() : "");
    PutLine(line);
  }
  Put("\n");
}

void PutPayments(const TRA_RECORD& t) {
  Put("%s", "Forma płatności:\n"_pl);
  const char* paid = DocumentPaid() ? "(zapłacono)"_pl : "";
  char line[200];
  if (!t.GOT.IsZero()) {
    std::snprintf(line, sizeof line, "    Gotówka: %15s zł %s"_pl, FitAmount(t.GOT, 2, 0).c_str(),
                  paid);
    PutLine(line);
  }
  if (!t.CZK.IsZero()) {
    std::snprintf(line, sizeof line, "      Karta: %15s zł %s"_pl, FitAmount(t.CZK, 2, 0).c_str(),
                  paid);
    PutLine(line);
  }
  struct TERM {
    const char* label;
    AMOUNT amount, days;
  };
  const TERM terms[2] = {{"    Przelew:", t.PRZ, t.PRZTERMIN},
                         {" Odroczenie:", t.ODR, t.ODRTERMIN}};
  bool deferred = false;
  for (const TERM& term : terms) {
    if (term.amount.IsZero()) continue;
    deferred = true;
    const DATE due = t.DATATRA + static_cast<DATE>(term.days.Whole());
    Put("%s %15s zł w terminie do %3s dni (%s)\n"_pl, term.label,
        FitAmount(term.amount, 2, 0).c_str(), FitAmount(term.days, 0, 0).c_str(),
        DateToDisplay(due).c_str());
  }
  if (deferred)
    Put("%s", "Po przekroczeniu terminu płatności naliczone zostaną ustawowe odsetki.\n\n"_pl);
  else Put("\n");
}

int ComposeReceipt(const TRANSACTION_DOCUMENT& doc) {
  constexpr int kWidth = 52;
  const TRA_RECORD& t = doc.transaction;
  PutHeaderFooterLines(kSetReceipt, 'H');
  PutLine(FitTextCentered(kKindTexts[doc.kind].title, kWidth));
  Put("Data: %s\n", DateToDisplay(t.DATATRA).c_str());
  Put("nr %s\n\n", DocumentNumberText(t.DOKTRATYP, t.DOKTRANR, t.DATATRA).c_str());
  for (size_t i = 0; i < doc.rows.size(); ++i) {
    if ((i & 31) == 31 && ask_abort()) return 1;
    const DOCUMENT_ROW& r = doc.rows[i];
    Put("%s %s %s =%s\n", FitText(r.name, 20).c_str(),
        FitAmount(r.quantity, RoundAmount(), 8).c_str(),
        FitAmount(r.values.unitGrossDisc, 2, 10).c_str(),
        FitAmount(r.values.grossValue, 2, 10).c_str());
  }
  Put("\n%s %s\n\n", FitTextRight("Do zapłaty:"_pl, kWidth - 11).c_str(),
      FitAmount(doc.totals.gross, 2, 10).c_str());
  PutHeaderFooterLines(kSetReceipt, 'F');
  return 0;
}

int ComposeFull(const TRANSACTION_DOCUMENT& doc) {
  const int w = kDocumentWidth;
  const TRA_RECORD& t = doc.transaction;
  const KIND_TEXTS& texts = kKindTexts[doc.kind];
  const bool sales = doc.mode == kModeSalesDocument;
  PutHeaderFooterLines(texts.set, 'H');
  PutPlaceAndDate(doc.issued, w);
  Put("\n");
  PutTitleBlock(texts.title,
                sales ? DocumentNumberText(t.DOKTRATYP, t.DOKTRANR, t.DATATRA)
                      : DocumentNumberText(t.DOKMAGTYP, t.DOKMAGNR, t.DATATRA),
                w);
  const char* mode_text = nullptr;
  if (doc.mode == kModeSalePrices || doc.mode == kModeIncomeSalePrices)
    mode_text = "w cenach sprzedaży"_pl;
  if (doc.mode == kModeActualPurchasePrices || doc.mode == kModeIncomePurchasePrices)
    mode_text = "w cenach zakupu";
  if (doc.mode == kModeLastPurchasePrices) mode_text = "w cenach zakupu ostatnich";
  if (mode_text) PutLine(FitTextCentered(mode_text, w));
  Put("\n");
  PutParties(doc);
  Put("%20s: %s\n", texts.date_label, DateToDisplay(t.DATATRA).c_str());
  if (sales && DocumentKindByCode(t.DOKMAGTYP) != 0)
    Put(" Dokument magazynowy: %s\n",
        DocumentNumberText(t.DOKMAGTYP, t.DOKMAGNR, t.DATATRA).c_str());
  Put("\n");

  POSITIONS_TABLE positions(doc);
  if (positions.Print() != 0) return -1;
  if (positions.interrupted) return 1;
  Put("\n");
  if (ModeHasPrices(doc.mode)) {
    const DOCUMENT_TOTALS& totals = doc.totals;
    VAT_TABLE vat(totals);
    if (vat.Print() != 0) return -1;
    if (DocumentDiscountTotal())
      Put("%*sRabat: %*s %*s %*s\n", w - 53, "", 14, FitAmount(totals.discountNet, 2, 0).c_str(),
          14, FitAmount(totals.discountVat, 2, 0).c_str(), 15,
          FitAmount(totals.discountGross, 2, 0).c_str());
    Put("\n");
    const bool to_pay = sales || doc.kind == kKindPZ || doc.kind == kKindWZ;
    Put("%*s: %15s\n\n", w - 18, to_pay ? "Do zapłaty"_pl : "Razem",
        FitAmount(totals.gross, 2, 0).c_str());
    Put("%s%s\n\n", "Słownie: "_pl, AmountInWords(totals.gross).c_str());
    if (!doc.allKnown) {
      PutUnknownValuesNote();
      Put("\n");
    }
    if (HasPayments(doc.mode)) PutPayments(t);
  }
  if (t.UWAGI[0] || t.UWAGI2[0]) {
    char line[80];
    std::snprintf(line, sizeof line, "%6s %s", "Uwagi:", t.UWAGI);
    PutLine(line);
    std::snprintf(line, sizeof line, "%6s %s", "", t.UWAGI2);
    if (t.UWAGI2[0]) PutLine(line);
    Put("\n");
  }
  PutHeaderFooterLines(texts.set, 'F');
  if (doc.kind == kKindFR) {
    Put("%s",
        "Oświadczam, że jestem rolnikiem ryczałtowym zwolnionym od podatku od towarów i usług na "
        "podstawie art. 43 ust. 1 pkt 3 ustawy\n"_pl);
    Put("%s", "o podatku od towarów i usług.\n\n"_pl);
  }
  PutSignatures(texts.sign_left, texts.sign_right, w);
  const bool company = DocumentCompanyRepresentative() != 0;
  const bool customer = DocumentCustomerRepresentative() != 0;
  if ((company && doc.parent.REPREZENT[0]) || (customer && doc.contractor.REPREZENT[0])) {
    const std::string ours = company ? doc.parent.REPREZENT : "";
    const std::string theirs = customer ? doc.contractor.REPREZENT : "";
    Put("\n");
    if (IsIncome(t)) PutSideBySide(theirs, ours, w);
    else PutSideBySide(ours, theirs, w);
  }
  return 0;
}

}  // namespace

int ComposeTransactionDocument(const TRANSACTION_DOCUMENT& doc) {
  ReportOutputBegin();
  const int rc = IsReceipt(doc.kind) ? ComposeReceipt(doc) : ComposeFull(doc);
  if (ReportOutputEnd() != 0) return -1;
  return rc;
}

namespace {

// Reads, writes and shows a document of the current transaction.
int PrintDocument(int mode) {
  if (TableRecNo(kTableTransactions) < 0) return -1;
  const bool income = Tra.RODZAJ[0] == 'D';
  if ((mode == kModeActualPurchasePrices || mode == kModeLastPurchasePrices || income) &&
      CheckRights(kRightPurchaseTransactions, true) != 0)
    return -1;
  DATE issued;
  if (AskIssueDate(&issued) != 0) return -1;
  TRANSACTION_DOCUMENT doc;
  {
    READ_ACCESS access;
    if (!access) return -1;
    TRA_RECORD t;
    if (CurrentTransaction(&t) != 0) return -1;
    wait_window(0);
    const int rc = LoadTransactionDocument(t.ID, mode, issued, &doc);
    wait_window(2);
    if (rc != 0) return -1;
  }
  if (mode == kModeSalesDocument && (doc.kind == kKindFV || doc.kind == kKindZF) &&
      !doc.contractor.NIP[0] && WarnNoNIP() &&
      message_box(1, "%s", "Zaakceptować brak numeru NIP kontrahenta?\t &Nie \t &Tak "_pl) != 2)
    return -1;
  if (ComposeTransactionDocument(doc) < 0) {
    doc_close();
    return -1;
  }
  if (HasPayments(mode) && !doc.sumsAgree)
    message("%s", "Suma transakcji różna\n  od sumy pozycji."_pl);
  return doc_view();
}

}  // namespace

int PrintWarehouseDocument(int mode) { return PrintDocument(mode); }
int PrintSalesDocument() {
  if (TableRecNo(kTableTransactions) < 0) return -1;
  if (DocumentKindByCode(Tra.DOKTRATYP) < kKindFV) {
    message("%s", "Transakcja nie ma dokumentu sprzedaży."_pl);
    return -1;
  }
  return PrintDocument(kModeSalesDocument);
}

int WarehouseDocumentCommand() {
  if (TableRecNo(kTableTransactions) < 0) return -1;
  const int kind = DocumentKindByCode(Tra.DOKMAGTYP);
  if (kind == 0 || kind >= kKindFV) {
    message("%s", "Transakcja nie ma dokumentu magazynowego."_pl);
    return -1;
  }
  static const char* const kExpense[] = {
      " w cenach &sprzedaży          "_pl, " w cenach &zakupu faktycznych ",
      " w cenach zakupu &ostatnich   ", " &bez cen                     ", nullptr};
  static const char* const kIncome[] = {" w cenach &zakupu    ", " w cenach &sprzedaży "_pl,
                                        " &bez cen            ", nullptr};
  const bool income = Tra.RODZAJ[0] == 'D';
  const int r = menu_list(income ? kIncome : kExpense, 0, nullptr, -1, -1);
  if (r < 0) return -1;
  return PrintDocument(income ? kModeIncomePurchasePrices + r : r);
}
