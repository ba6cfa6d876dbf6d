// The reports over goods: the transactions by goods (income and expense of each goods in a
// period with its opening and closing stock valued at purchase prices, as sums or in detail down
// to the deliveries each sale took), the stock on a day (in sale or purchase prices, the
// stocktaking sheet, the goods held by a contractor, the shortages) and the offer.
//
// The stock of a goods on a day is its STAN with the positions dated after the day undone; the
// goods are walked in the order of an index, each goods' positions found by one search in the
// positions index by goods.
#pragma once

#include "reports/report_common.h"

// ---- "TRANSAKCJE WG TOWARÓW" ----

enum GoodsReportKind {
  kGoodsIncome = 0,
  kGoodsExpense,
  kGoodsBoth,
  kGoodsBothPurchase,
  kGoodsProfits
};
enum GoodsReportDetail {
  kDetailTotal = 0,
  kDetailGroups,
  kDetailGoods,
  kDetailPositions,
  kDetailDeliveries
};
enum GoodsScope { kScopeAllGoods = 0, kScopeAllGroups, kScopeGroup, kScopeGoods };
struct GOODS_REPORT {
  REPORT_PERIOD period;
  int kind = kGoodsBoth;
  int detail = kDetailGoods;
  int scope = kScopeAllGoods;
  AMOUNT group, goods, contractor;  // as the scope asks; contractor 0: all
  int order = 0;                    // 0 by name, 1 by number
  bool values = true;               // stock values at purchase prices shown
};
int GoodsTransactionsReport(const GOODS_REPORT& o, const DOCUMENT_FILTER& filter);
int goods_transactions_command();

// ---- "STAN MAGAZYNU" ----

enum StockReportKind {
  kStockSalePrices = 0,
  kStockPurchasePrices,
  kStockSheet,
  kStockAtContractor,
  kStockShortages
};
struct STOCK_REPORT {
  int kind = kStockSalePrices;
  int scope = kScopeAllGoods;  // all goods, all groups, one group
  AMOUNT group, contractor;
  int order = 0;
  bool positive = true, zero = false, negative = true;
  DATE date = 0;
};
int StockReport(const STOCK_REPORT& o);
int stock_command();

// ---- "OFERTA" ----

struct OFFER_REPORT {
  int scope = kScopeAllGoods;  // all goods, one group (kScopeGroup), all groups (kScopeAllGroups)
  AMOUNT group;
  int order = 0;
  bool positive = true, zero = true, negative = true;
  bool netPrices = false;
  DATE date = 0;
};
int OfferReport(const OFFER_REPORT& o);
int offer_command();

void ResetGoodsReports();
