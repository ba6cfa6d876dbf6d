// The reports over transactions: by warehouse document, by sales document (with the unpaid
// transfers and deferments and their interest, and the payments that bore interest) and by
// period (days or months).
//
// Each report has its options, a function that writes it into the current document (0, -1 on a
// failure that was reported, kReportInterrupted) and the command that asks its dialog, checks the
// rights and shows it.
//
//   SALES_REPORT o;  o.period = {first, last};  o.variant = kSalesUnpaid;  o.today = DateToday();
//   if (SalesDocumentsReport(o, DocumentFilter()) == 0) doc_view();
#pragma once

#include "reports/report_common.h"

// "TRANSAKCJE WG DOKUMENTÓW MAGAZYNOWYCH".
enum WarehouseReportKind {
  kWarehouseIncome = 0,
  kWarehouseExpense = 1,
  kWarehouseExpensePurchase = 2
};
struct WAREHOUSE_REPORT {
  REPORT_PERIOD period;
  int kind = kWarehouseExpense;
  AMOUNT contractor;  // 0: all
};
int WarehouseDocumentsReport(const WAREHOUSE_REPORT& o, const DOCUMENT_FILTER& filter);
int warehouse_documents_command();

// "TRANSAKCJE WG DOKUMENTÓW SPRZEDAŻY".
enum SalesReportVariant {
  kSalesAll = 0,
  kSalesOfContractor = 1,
  kSalesUnpaid = 2,
  kSalesUnpaidOfContractor = 3,
  kSalesPaidInterest = 4,
};
struct SALES_REPORT {
  REPORT_PERIOD period;
  int variant = kSalesAll;
  bool sales = true;  // false: deliveries
  AMOUNT contractor;
  DATE today = 0;  // the day delays and interest run to
};
int SalesDocumentsReport(const SALES_REPORT& o, const DOCUMENT_FILTER& filter);
int sales_documents_command();
// " &Szczegóły... " of the debtor question: the unpaid sales of the contractor up to today.
void UnpaidSalesOfContractor(AMOUNT contractor);

// "TRANSAKCJE WG OKRESU".
struct PERIOD_REPORT {
  REPORT_PERIOD period;
  bool sales = true;
  bool monthly = false;
};
int PeriodReport(const PERIOD_REPORT& o, const DOCUMENT_FILTER& filter);
int period_report_command();

void ResetTransactionReports();
