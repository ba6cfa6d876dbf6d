// Every collective report on the demonstration database, one golden file per report with its
// main variants one after the other. The sale of the demonstration is paid partly by a transfer
// due in 7 days and not yet paid, so that the payment reports have something to show.
#include "reports/contractor_reports.h"
#include "reports/goods_reports.h"
#include "reports/money_reports.h"
#include "reports/tax_registers.h"
#include "reports/transaction_reports.h"
#include "reports_testing.h"

namespace {

const AMOUNT kSale = AMOUNT::FromInt(4);

class GoldenReportsTest : public ReportsTest {
 protected:
  void SetUp() override {
    ReportsTest::SetUp();
    ASSERT_EQ(FindById(kTableTransactions, kSale), 0);
    Tra.PRZ = AMOUNT::FromInt(50);
    Tra.PRZTERMIN = AMOUNT::FromInt(7);
    Tra.GOT -= Tra.PRZ;
    ASSERT_EQ(TableUpdate(kTableTransactions), 0);
  }
};

TEST_F(GoldenReportsTest, TransactionsByDocumentsAndPeriod) {
  const REPORT_PERIOD p = December();
  Golden("warehouse_documents",
         {Report([&] {
            return WarehouseDocumentsReport({p, kWarehouseIncome, AMOUNT()}, All());
          }),
          Report([&] {
            return WarehouseDocumentsReport({p, kWarehouseExpensePurchase, AMOUNT()}, All());
          })});
  SALES_REPORT s;
  s.period = p;
  s.today = Day(31);
  SALES_REPORT unpaid = s;
  unpaid.variant = kSalesUnpaid;
  Golden("sales_documents", {Report([&] { return SalesDocumentsReport(s, All()); }),
                             Report([&] { return SalesDocumentsReport(unpaid, All()); })});
  Golden("period", {Report([&] {
                      return PeriodReport({p, false, false}, All());
                    }),
                    Report([&] {
                      return PeriodReport({p, true, true}, All());
                    })});
}

TEST_F(GoldenReportsTest, TransactionsByGoods) {
  GOODS_REPORT o;
  o.period = December();
  GOODS_REPORT groups = o, details = o, deliveries = o;
  groups.detail = kDetailGroups;
  details.detail = kDetailPositions;
  details.scope = kScopeGoods;
  details.goods = AMOUNT::FromInt(1);
  deliveries.detail = kDetailDeliveries;
  deliveries.kind = kGoodsProfits;
  deliveries.scope = kScopeGroup;
  deliveries.group = AMOUNT::FromInt(2);
  Golden("goods_transactions",
         {Report([&] { return GoodsTransactionsReport(o, All()); }),
          Report([&] { return GoodsTransactionsReport(groups, All()); }),
          Report([&] { return GoodsTransactionsReport(details, All()); }),
          Report([&] { return GoodsTransactionsReport(deliveries, All()); })});
}

TEST_F(GoldenReportsTest, StockAndOffer) {
  STOCK_REPORT o;
  o.date = Day(5);
  STOCK_REPORT purchase = o, sheet = o, shortages = o, held = o;
  purchase.kind = kStockPurchasePrices;
  purchase.scope = kScopeAllGroups;
  sheet.kind = kStockSheet;
  sheet.order = 1;
  shortages.kind = kStockShortages;
  held.kind = kStockAtContractor;
  held.contractor = AMOUNT::FromInt(6);
  ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(13)), 0);
  Tow.STANMIN = AMOUNT::FromInt(250);
  ASSERT_EQ(TableUpdate(kTableGoods), 0);
  Golden(
      "stock",
      {Report([&] { return StockReport(o); }), Report([&] { return StockReport(purchase); }),
       Report([&] { return StockReport(sheet); }), Report([&] { return StockReport(shortages); }),
       Report([&] { return StockReport(held); })});
  OFFER_REPORT offer;
  offer.date = Day(5);
  offer.scope = kScopeAllGroups;
  offer.netPrices = true;
  ASSERT_EQ(SetHeaderFooterLine(7, 'H', 1, HEADER_LINE{true, "Kwiaciarnia Tamsu poleca:"}), 0);
  Golden("offer", {Report([&] { return OfferReport(offer); })});
}

TEST_F(GoldenReportsTest, CashAndProfits) {
  CASH_REPORT cash;
  cash.period = December();
  Golden("cash", {Report([&] { return CashReport(cash); })});
  PROFIT_REPORT profits;
  profits.period = December();
  PROFIT_REPORT last = profits;
  last.actual = false;
  Golden("profits", {Report([&] { return ProfitsByDocumentsReport(profits, All()); }),
                     Report([&] { return ProfitsByGoodsReport(last, All()); })});
}

TEST_F(GoldenReportsTest, Registers) {
  VAT_REGISTER v;
  v.period = December();
  VAT_REGISTER full = v, deliveries = v;
  full.form = kVatPart1;
  deliveries.form = kVatPart2;
  deliveries.sales = false;
  Golden("vat_register", {Report([&] { return VatRegisterReport(v, All()); }), Report([&] {
                            return VatRegisterReport(full, All(), [] { return true; });
                          }),
                          Report([&] { return VatRegisterReport(deliveries, All()); })});
  Golden("lump_sum", {Report([&] { return LumpSumRegisterReport(December(), All()); })});
  Golden("revenue_book",
         {Report([&] { return RevenueBookReport(December(), 1, All(), [] { return true; }); })});
}

TEST_F(GoldenReportsTest, Contractors) {
  Golden("contractors",
         {Report([&] { return ContractorListReport(kContractorsByTown); }), Report([&] {
            return ContractorSalesReport({December(), false}, All());
          })});
}

}  // namespace
