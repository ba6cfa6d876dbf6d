// The lists of contractors: by name, by NIP, by town, and by the sum of sales to each in a period,
// the largest first.
#pragma once

#include "reports/report_common.h"

enum ContractorListOrder { kContractorsByName = 1, kContractorsByNip = 2, kContractorsByTown = 3 };
// order: the contractors index it follows (ContractorListOrder).
int ContractorListReport(int order);
int contractor_list_command(int order);

struct SALES_SUM_REPORT {
  REPORT_PERIOD period;
  bool positiveOnly = true;
};
int ContractorSalesReport(const SALES_SUM_REPORT& o, const DOCUMENT_FILTER& filter);
int contractor_sales_command();

void ResetContractorReports();
