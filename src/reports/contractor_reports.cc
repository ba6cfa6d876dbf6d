#include "reports/contractor_reports.h"

#include <algorithm>

#include "business/contractor_form.h"
#include "business/rights.h"
#include "common/text.h"
#include "reports/report_dialog.h"
#include "reports/report_output.h"

namespace {

struct CONTRACTOR_ROW {
  AMOUNT lp;
  char name[51] = "";
  char address[51] = "";
  char nip[31] = "";
  char phone[51] = "";
  AMOUNT sum;
  long recno = 0;
};

CONTRACTOR_ROW RowOf(const KON_RECORD& k) {
  CONTRACTOR_ROW r;
  CopyText(r.name, k.NAZWA);
  CopyText(r.address, ContractorAddress(k));
  CopyText(r.nip, k.NIP);
  CopyText(r.phone, k.TELEFON);
  return r;
}

SALES_SUM_REPORT g_sales_sum;

}  // namespace

int ContractorListReport(int order) {
  std::vector<CONTRACTOR_ROW> rows;
  {
    REPORT_TABLE_KEEP keep(kTableContractors);
    int rc = TableSetIndex(kTableContractors, order);
    for (rc = rc == 0 ? TableFirst(kTableContractors) : rc; rc == 0;
         rc = TableNext(kTableContractors)) {
      if (ReportStopped()) return kReportInterrupted;
      CONTRACTOR_ROW r = RowOf(Kon);
      r.lp = AMOUNT::FromInt(static_cast<int64_t>(rows.size()) + 1);
      rows.push_back(r);
    }
    if (rc < 0) return -1;
  }
  CONTRACTOR_ROW cur;
  REPORT_GRID g;
  g.Column(6, {"Lp"}, new DKRPT::CELL_NUM(&cur.lp, 0));
  g.Column(50, {"Nazwa"}, new DKRPT::CELL_TEXT(cur.name));
  g.Column(50, {"Adres"}, new DKRPT::CELL_TEXT(cur.address));
  g.Column(15, {"NIP"}, new DKRPT::CELL_TEXT(cur.nip));
  g.Column(20, {"Telefon"}, new DKRPT::CELL_TEXT(cur.phone));
  PutReportTitle("KONTRAHENCI", g.Width());
  ROWS_SOURCE<CONTRACTOR_ROW> source(rows, &cur);
  return g.Print(&source);
}

int ContractorSalesReport(const SALES_SUM_REPORT& o, const DOCUMENT_FILTER& filter) {
  ReportStatus(0, true);
  std::vector<CONTRACTOR_ROW> rows;
  {
    REPORT_TABLE_KEEP keep(kTableContractors);
    int rc = TableSetIndex(kTableContractors, -1);
    for (rc = rc == 0 ? TableFirst(kTableContractors) : rc; rc == 0;
         rc = TableNext(kTableContractors)) {
      if (ReportStopped()) return kReportInterrupted;
      CONTRACTOR_ROW r = RowOf(Kon);
      r.recno = TableRecNo(kTableContractors);
      const int w = WalkTransactions(o.period, Kon.ID, [&] {
        if (Tra.RODZAJ[0] == 'S' && FilterAccepts(filter, Tra)) r.sum += Tra.SUMA - Tra.VAT;
        return 0;
      });
      if (w != 0) return w;
      if (o.positiveOnly && r.sum <= AMOUNT()) continue;
      rows.push_back(r);
    }
    if (rc < 0) return -1;
  }
  ReportStatus(0);
  // The largest sum first; of equal sums the contractor later in the file.
  std::sort(rows.begin(), rows.end(), [](const CONTRACTOR_ROW& a, const CONTRACTOR_ROW& b) {
    return a.sum != b.sum ? a.sum > b.sum : a.recno > b.recno;
  });
  CONTRACTOR_ROW cur, total;
  for (size_t i = 0; i < rows.size(); ++i) {
    rows[i].lp = AMOUNT::FromInt(static_cast<int64_t>(i) + 1);
    total.sum += rows[i].sum;
  }
  REPORT_GRID g;
  g.Column(6, {"Lp"}, new DKRPT::CELL_NUM(&cur.lp, 0));
  g.Column(50, {"Nazwa"}, new DKRPT::CELL_TEXT(cur.name), {new DKRPT::CELL_TEXT("Razem:")});
  g.Column(50, {"Adres"}, new DKRPT::CELL_TEXT(cur.address));
  g.Column(15, {"Suma netto"}, new DKRPT::CELL_CURR(&cur.sum), {new DKRPT::CELL_CURR(&total.sum)});
  PutReportTitle("KONTRAHENCI WG SUMY SPRZEDAŻY"_pl, g.Width());
  if (PutSelectionHeader(o.period, AMOUNT(), &filter) != 0) return -1;
  ROWS_SOURCE<CONTRACTOR_ROW> source(rows, &cur);
  return g.Print(&source);
}

int contractor_list_command(int order) {
  if (ReportRights(kRightReports) != 0) return -1;
  return RunReport([&] { return ContractorListReport(order); });
}

int contractor_sales_command() {
  if (ReportRights(kRightReports) != 0) return -1;
  DefaultPeriod(&g_sales_sum.period);
  REPORT_DIALOG d(38, 9, "KONTRAHENCI WG SUMY SPRZEDAŻY"_pl);
  d.Period(3, 1, &g_sales_sum.period);
  const int positive = d.Check(3, 3, "Tylko sumy dodatnie", g_sales_sum.positiveOnly);
  d.Filter(3, 5);
  d.Ok(16, 7);
  if (d.Run() != 0) return -1;
  g_sales_sum.positiveOnly = d.Checked(positive);
  const SALES_SUM_REPORT o = g_sales_sum;
  return RunReport([&] { return ContractorSalesReport(o, DocumentFilter()); });
}

void ResetContractorReports() { g_sales_sum = SALES_SUM_REPORT{}; }
