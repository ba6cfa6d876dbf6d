#include "reports/report_common.h"

#include <algorithm>

#include "business/contractor_form.h"
#include "business/document_kinds.h"
#include "business/position_values.h"
#include "business/rights.h"
#include "business/transaction_store.h"
#include "reports/report_output.h"
#include "ui/document/doc_viewer.h"
#include "ui/document/document.h"
#include "ui/message_box.h"

namespace {

long g_polls = 0;
bool g_stopped = false;

}  // namespace

bool FilterAccepts(const DOCUMENT_FILTER& filter, const TRA_RECORD& t) {
  return DocumentFilterAccepts(filter, DocumentKindByCode(t.DOKMAGTYP),
                               DocumentKindByCode(t.DOKTRATYP), t.DOKFISKAL != 0);
}

bool ReportStopped() {
  if (g_stopped) return true;
  if ((++g_polls & 255) != 0) return false;
  g_stopped = ask_abort() != 0;
  return g_stopped;
}

void ReportPollReset() {
  g_polls = 0;
  g_stopped = false;
}

void PutReportTitle(const char* title, int width) {
  std::string line = FitTextCentered(title, width);
  while (!line.empty() && line.back() == ' ') line.pop_back();
  Put("%s\n\n", line.c_str());
}

int PutSelectionHeader(const REPORT_PERIOD& period, AMOUNT contractor,
                       const DOCUMENT_FILTER* filter) {
  if (period.first == 0) Put("%21s: do %s\n\n", "Okres", DateToDisplay(period.last).c_str());
  else PutPeriodHeader(period.first, period.last);
  if (!contractor.IsZero()) {
    KON_RECORD k{};
    const int rc = ReadRecordById(kTableContractors, contractor, &k);
    if (rc < 0) return -1;
    PutContractorHeader(k);
    Put("\n");
  }
  if (filter) PutDocumentFilterSummary(*filter);
  return 0;
}

ID_ORDER OrderById(const std::vector<AMOUNT>& ids) {
  std::vector<size_t> order(ids.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return ids[a] < ids[b]; });
  ID_ORDER o;
  o.ids.reserve(ids.size());
  for (size_t i : order) o.ids.push_back(ids[i]);
  o.rows = std::move(order);
  return o;
}

std::string TransactionDocumentText(const TRA_RECORD& t) {
  return DocumentKindByCode(t.DOKTRATYP) != 0 ? SalesDocumentText(t) : WarehouseDocumentText(t);
}

void DefaultPeriod(REPORT_PERIOD* p) {
  if (p->first != 0 && p->last != 0) return;
  const DATE today = DateToday();
  const DateParts d = DateToYmd(today);
  p->first = DateFromYmd(d.year, d.month, 1);
  p->last = today;
}

// ---- purchase values ----

int PURCHASE_PRICES::Value(PURCHASE_VALUE* value) {
  *value = PURCHASE_VALUE{};
  first_ = last_ = 0;
  const POZ_RECORD sale = Poz;
  if (actual_) {
    STOCK_MARK& mark = marks_[sale.TOWID.Raw()];
    RS_PURCHASES_OF_SALE rows(&mark);
    int rc;
    for (rc = rows.First(); rc == 0; rc = rows.Next()) {
      if (!rows.Found()) {
        value->known = false;
        continue;
      }
      const POZ_RECORD delivery = Poz;
      auto net = nets_.find(delivery.TRAID.Raw());
      if (net == nets_.end()) {
        TRA_RECORD t{};
        if (ReadRecordById(kTableTransactions, delivery.TRAID, &t) < 0) return -1;
        net = nets_.emplace(delivery.TRAID.Raw(), t.ZAOKRNETTO != 0).first;
      }
      const POSITION_VALUES v =
          ComputePositionValues(rows.Quantity(), delivery.CENA, delivery.RABAT,
                                static_cast<int>(delivery.VATID.Whole()), net->second);
      value->net += v.netValue;
      value->gross += v.grossValue;
      if (first_ == 0 || delivery.DATATRA < first_) first_ = delivery.DATATRA;
      if (delivery.DATATRA > last_) last_ = delivery.DATATRA;
    }
    if (rows.Restore() != 0) return -1;
    return rc < 0 ? -1 : 0;
  }
  auto it = last_prices_.find(sale.TOWID.Raw());
  if (it == last_prices_.end()) {
    LAST l;
    const int rc = LastPurchase(sale.TOWID, &l.position, &l.net);
    if (rc < 0) return -1;
    l.found = rc == 0;
    it = last_prices_.emplace(sale.TOWID.Raw(), l).first;
  }
  const LAST& l = it->second;
  if (!l.found) {
    value->known = false;
    return 0;
  }
  const POSITION_VALUES v =
      ComputePositionValues(sale.ILOSC, l.position.CENA, l.position.RABAT,
                            static_cast<int>(l.position.VATID.Whole()), l.net);
  value->net = v.netValue;
  value->gross = v.grossValue;
  first_ = last_ = l.position.DATATRA;
  return 0;
}

// ---- cells ----

void CELL_MARKED::Print(int width) const {
  if (dash_ && *known_ && value_->IsZero()) PutAmountOrDash(*value_, width);
  else PutAmountMarked(*value_, *known_, width);
}

void CELL_RTEXT::Print(int width) const { PutTextRight(text_ ? text_ : "", width); }

RPTTABLE::CELL* QuantityCell(const AMOUNT* value, bool dash) {
  return new DKRPT::CELL_NUM(value, RoundAmount(), nullptr, dash);
}

// ---- the grid ----

int REPORT_GRID::Column(int width, std::initializer_list<const char*> heads, RPTTABLE::CELL* body,
                        std::initializer_list<RPTTABLE::CELL*> feet, bool visible) {
  COLUMN c;
  c.width = width;
  for (const char* h : heads) c.heads.emplace_back(new DKRPT::CELL_CTEXT(h));
  c.body.reset(body);
  for (RPTTABLE::CELL* f : feet) c.feet.emplace_back(f);
  c.visible = visible;
  columns_.push_back(std::move(c));
  return static_cast<int>(columns_.size()) - 1;
}

int REPORT_GRID::Width() const {
  int w = 1;
  for (const COLUMN& c : columns_)
    if (c.visible) w += c.width + 1;
  return w;
}

int REPORT_GRID::Print(RECORDSET* source) {
  size_t heads = 0, feet = 0;
  for (const COLUMN& c : columns_) {
    if (!c.visible) continue;
    heads = std::max(heads, c.heads.size());
    for (size_t f = 0; f < c.feet.size(); ++f)
      if (c.feet[f]) feet = std::max(feet, f + 1);
  }
  if (!header_) heads = 0;
  const int n = static_cast<int>(columns_.size());
  RPTTABLE t(n, static_cast<int>(heads), 1, static_cast<int>(feet), source);
  if (!t.IsValid()) return -1;
  t.SetTopLine(top_);
  for (int i = 0; i < n; ++i) {
    const COLUMN& c = columns_[static_cast<size_t>(i)];
    t.SetColumn(i, c.width, c.visible);
    for (size_t h = 0; h < heads && h < c.heads.size(); ++h)
      t.SetCell(RPTTABLE::kHeader, static_cast<int>(h), i, c.heads[h].get());
    t.SetCell(RPTTABLE::kBody, 0, i, c.body.get());
    for (size_t f = 0; f < c.feet.size() && f < feet; ++f)
      t.SetCell(RPTTABLE::kFooter, static_cast<int>(f), i, c.feet[f].get());
  }
  return t.Print();
}

// ---- running ----

int ReportRights(uint32_t mask) { return CheckRights(mask, true) == 0 ? 0 : -1; }

int BeginReport() {
  ReportPollReset();
  doc_close();
  ReportOutputBegin();
  ReportStatus(0);
  return 0;
}

void EndReport() { ReportStatus(2); }

int ShowReport(int generated) {
  if (generated != 0 || ReportOutputEnd() != 0) {
    doc_close();
    return -1;
  }
  return doc_view();
}
