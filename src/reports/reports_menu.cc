#include "reports/reports_menu.h"

#include "business/contractor_checks.h"
#include "common/text.h"
#include "reports/contractor_reports.h"
#include "reports/goods_reports.h"
#include "reports/money_reports.h"
#include "reports/tax_registers.h"
#include "reports/transaction_reports.h"
#include "ui/pick_list.h"

namespace {

int g_item = 0;
int g_sub_item[3] = {0, 0, 0};

// The submenus stand to the right of the item that opened them (the menu is centred: its items
// start on row 8).
constexpr int kSubX = 30;
constexpr int kFirstItemRow = 8;

int Submenu(int which, const char* const* items) {
  const int r = menu_list(items, g_sub_item[which], nullptr, kSubX, kFirstItemRow + g_item);
  if (r >= 0) g_sub_item[which] = r;
  return r;
}

}  // namespace

int reports_menu() {
  static const char* const kItems[] = {
      " &Oferta...                          ",    " &Stan magazynu...                   ",
      " &Transakcje...                      ",    " Rejestr &VAT...                     ",
      " &Rejestr podatku zryczałtowanego... "_pl, " &Książka przychodów i rozchodów...  "_pl,
      " &Zyski...                           ",    " Ra&port kasowy...                   ",
      " Ko&ntrahenci...                     ",    nullptr};
  static const char* const kTransactions[] = {
      " Wg dokumentów &magazynowych... "_pl, " Wg dokumentów &sprzedaży...    "_pl,
      " Wg &okresu...                  ", " Wg &towarów...                 "_pl, nullptr};
  static const char* const kProfits[] = {" Wg &dokumentów... "_pl, " Wg &towarów...    "_pl,
                                         nullptr};
  static const char* const kContractors[] = {" Wg &nazwy             ", " Wg NI&P               ",
                                             " Wg &miasta            ",
                                             " Wg sumy &sprzedaży... "_pl, nullptr};
  for (;;) {
    const int r = menu_list(kItems, g_item, "RAPORTY ZBIORCZE", -1, -1);
    if (r < 0) return -1;
    g_item = r;
    int s = 0;
    switch (r) {
      case 0: return offer_command();
      case 1: return stock_command();
      case 2:
        if ((s = Submenu(0, kTransactions)) < 0) continue;
        if (s == 0) return warehouse_documents_command();
        if (s == 1) return sales_documents_command();
        if (s == 2) return period_report_command();
        return goods_transactions_command();
      case 3: return vat_register_command();
      case 4: return lump_sum_register_command();
      case 5: return revenue_book_command();
      case 6:
        if ((s = Submenu(1, kProfits)) < 0) continue;
        return s == 0 ? profits_by_documents_command() : profits_by_goods_command();
      case 7: return cash_report_command();
      default:
        if ((s = Submenu(2, kContractors)) < 0) continue;
        if (s == 3) return contractor_sales_command();
        return contractor_list_command(s == 0   ? kContractorsByName
                                       : s == 1 ? kContractorsByNip
                                                : kContractorsByTown);
    }
  }
}

void RegisterReports() { SetDebtorDetails(UnpaidSalesOfContractor); }

void ResetReports() {
  g_item = 0;
  for (int& i : g_sub_item) i = 0;
  ReportPollReset();
  ResetTransactionReports();
  ResetTaxRegisters();
  ResetMoneyReports();
  ResetGoodsReports();
  ResetContractorReports();
}
