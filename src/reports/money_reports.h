// The reports of money: the cash report (what came in and went out by cash, card and transfer in
// a period, the deferred payments settled in it included) and the profits, by documents or by
// goods, at actual first-in first-out purchase prices or at the last purchase prices.
#pragma once

#include <vector>

#include "reports/report_common.h"

// ---- "RAPORT KASOWY" ----

enum CashForm { kFormCash = 0, kFormCard = 1, kFormTransfer = 2, kCashFormCount = 3 };
struct CASH_REPORT {
  REPORT_PERIOD period;
  bool forms[kCashFormCount] = {true, true, true};
  bool groupRetail = false;  // the day's retail cash sales as one row
  bool noDetails = false;
  AMOUNT days;  // how far before the period settled deferments are looked for; 0 all
};
struct CASH_ROW {
  DATE date = 0;  // of the payment
  char form[11] = "";
  AMOUNT in, out;
  DATE documentDate = 0;
  char document[13] = "";
  char contractor[51] = "";
};
struct CASH_SUMS {
  AMOUNT in[kCashFormCount];
  AMOUNT out[kCashFormCount];
};
// The rows (none with noDetails) and the sums of each form.
int CollectCashReport(const CASH_REPORT& o, std::vector<CASH_ROW>* rows, CASH_SUMS* sums);
int CashReport(const CASH_REPORT& o);
int cash_report_command();

// ---- profits ----

struct PROFIT_REPORT {
  REPORT_PERIOD period;
  bool actual = true;  // false: at the last purchase prices
  AMOUNT contractor;   // by documents: 0 all
  AMOUNT group;        // by goods: 0 all goods
  int order = 0;       // by goods: 0 by name, 1 by number
};
int ProfitsByDocumentsReport(const PROFIT_REPORT& o, const DOCUMENT_FILTER& filter);
int ProfitsByGoodsReport(const PROFIT_REPORT& o, const DOCUMENT_FILTER& filter);
int profits_by_documents_command();
int profits_by_goods_command();

void ResetMoneyReports();
