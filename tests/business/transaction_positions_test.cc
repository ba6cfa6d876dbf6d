// The position form's rules, the price change of positions, and the fiscal receipt handed to a
// printer.
#include <gtest/gtest.h>

#include <array>

#include "business/positions_window.h"
#include "transaction_testing.h"

namespace {

class TransactionPositionsTest : public TransactionTest {
 protected:
  int PositionWith(AMOUNT transaction, long* recno, std::string_view keys) {
    Play(keys);
    return position_form_edit(StoredTransaction(transaction), recno, nullptr);
  }
  POZ_RECORD Stored(long recno) {
    POZ_RECORD p{};
    EXPECT_EQ(ReadPosition(recno, &p), 0);
    return p;
  }
};

TEST_F(TransactionPositionsTest, PackagesSinglesPricesAndTheQuestionsOfSaving) {
  const AMOUNT goods = AddGoods("Gerbera", 12.30, 12, 500, 12);
  const AMOUNT purchase = AddTransaction('D', DateToday(), "PZ", "1");
  AddPositionTo(purchase, goods, 10, 20);
  const AMOUNT sale = AddTransaction('S', DateToday(), "WZ", "1");
  ASSERT_EQ(SetWarnLowSalePrice(1), 0);

  // 2 packages of 12 and 3 single: 27 (0); the sale price below the purchase price is asked
  // about (1), "Tak".
  long recno = -1;
  ASSERT_EQ(
      PositionWith(sale, &recno, "{Alt+n}G{Enter}{Alt+p}2{Tab}{Alt+j}3{Tab}{Snap}{Alt+o}{Snap}t"),
      0);
  EXPECT_TRUE(ShotHas(0, "27,00"));
  EXPECT_TRUE(ShotHas(1, "nie większą od ceny zakupu?"));
  EXPECT_EQ(Stored(recno).ILOSC, A(27));
  EXPECT_EQ(Stored(recno).CENA, A(12.30));
  ASSERT_EQ(SetWarnLowSalePrice(0), 0);

  // 30 splits into 2 packages and 6 single (2); another VAT rate is asked about (3): "Nie"
  // keeps the form open, Esc leaves the position as stored.
  ASSERT_EQ(PositionWith(sale, &recno, "{Alt+i}30{Tab}{Snap}{Alt+v}b{Alt+o}{Snap}n{Esc}"), -1);
  EXPECT_TRUE(ShotHas(2, "6,00"));
  EXPECT_TRUE(ShotHas(3, "niż zapamiętana dla tego towaru?"));
  EXPECT_EQ(Stored(recno).ILOSC, A(27));

  // Without the right to sale prices a changed price goes back to the goods' (4), then saves.
  ASSERT_EQ(WriteUserRights(kRightModifyGoods), 0);
  SetAdministratorFlag(0);
  ASSERT_EQ(PositionWith(sale, &recno, "{Alt+b}15{Tab}{Alt+o}{Snap}{Enter}{Alt+o}"), 0);
  EXPECT_TRUE(ShotHas(4, "Modyfikacja cen sprzedaży"));
  EXPECT_EQ(Stored(recno).CENA, A(12.30));
  ExpectConsistent({{goods.Raw(), A(500)}});
}

TEST_F(TransactionPositionsTest, PriceChangeOfAllPositionsMovesPricesDiscountsAndSums) {
  const AMOUNT goods = AddGoods("Gerbera", 12.30, 12, 500);
  const AMOUNT sale = AddTransaction('S', DateToday(), "WZ", "1");
  const long a = AddPositionTo(sale, goods, 1, 12.30);
  const long b = AddPositionTo(sale, goods, 2, 10);
  // All positions: price +10 %, discount +5 points, VAT to 8 % with the gross price following.
  Play("{Alt+c}10{Tab}{Alt+r}5{Tab}{Alt+v}b{Alt+a}{Alt+o}");
  const long recnos[] = {a, b};
  RUNNING_TOTALS running(false);
  ASSERT_EQ(LoadRunningTotals(sale, false, &running), 0);
  ASSERT_EQ(reprice_positions(StoredTransaction(sale), recnos, 2, 0, &running), 0);
  // 12.30 + 10 % = 13.53 (net 11.00) at 8 %: 11.88; 10.00 + 10 % = 11.00 (net 8.94): 9.66.
  EXPECT_EQ(Stored(a).CENA, A(11.88));
  EXPECT_EQ(Stored(b).CENA, A(9.66));
  EXPECT_EQ(Stored(b).RABAT, A(5));
  EXPECT_EQ(Stored(b).VATID, AMOUNT::FromInt(13));
  ExpectConsistent({{goods.Raw(), A(500)}});
}

std::vector<RECEIPT_ITEM> g_printed;
bool g_closed = false;
int FakePrinter(const RECEIPT_ITEM* items, long count, bool close) {
  g_printed.assign(items, items + count);
  g_closed = close;
  return close ? 0 : -1;
}

TEST_F(TransactionPositionsTest, FiscalReceiptIsHandedOverByTheFilterAndTheSums) {
  const AMOUNT flower = AddGoods("Gerbera", 10, 12, 50);
  const AMOUNT book = AddGoods("Poradnik", 5, 1, 50);
  const AMOUNT sale = AddTransaction('S', DateToday(), "WZ", "1");
  AddPositionTo(sale, flower, 2, 10);
  AddPositionTo(sale, book, 1, 5, 1);
  ASSERT_EQ(FindById(kTableTransactions, sale), 0);
  Play("{Snap}{Enter}");
  EXPECT_EQ(PrintFiscalReceipt(), -1);  // no printer installed
  EXPECT_TRUE(ShotHas(0, "Funkcja w tym miejscu nieobsługiwana."));

  SetFiscalReceiptPrinter(FakePrinter);
  std::array<uint8_t, kFiscDocumentFilterCount> flags = FiscDocumentFilter();
  flags[0] = 0;  // no sales document
  ASSERT_EQ(SetFiscDocumentFilter(flags), 0);
  Play("{Snap}{Enter}");
  EXPECT_EQ(PrintFiscalReceipt(), -1);
  EXPECT_TRUE(ShotHas(1, "tego dokumentu wyłączony."));
  flags[0] = 1;
  ASSERT_EQ(SetFiscDocumentFilter(flags), 0);
  ASSERT_EQ(PrintFiscalReceipt(), 0);
  ASSERT_EQ(g_printed.size(), 2u);
  EXPECT_EQ(g_printed[0].price, A(10));
  EXPECT_EQ(g_printed[0].quantity, A(2));
  EXPECT_EQ(g_printed[0].rate, A(23));
  EXPECT_EQ(g_printed[1].rate, A(-1));  // "zw"
  EXPECT_TRUE(StoredTransaction(sale).DOKFISKAL);
  // Printed once: asked before a second print; "Nie" prints nothing.
  g_printed.clear();
  Play("{Snap}n");
  EXPECT_EQ(PrintFiscalReceipt(), -1);
  EXPECT_TRUE(ShotHas(2, "został już wydrukowany."));
  EXPECT_TRUE(g_printed.empty());

  // Net prices: two positions of 0.12 at 23 % make 0.25 net-first but 0.24 gross-first.
  const AMOUNT net = AddTransaction('S', DateToday(), "WZ", "2");
  ASSERT_EQ(FindById(kTableTransactions, net), 0);
  Tra.ZAOKRNETTO = 1;
  ASSERT_EQ(TableUpdate(kTableTransactions), 0);
  AddPositionTo(net, flower, 1, 0.12);
  AddPositionTo(net, flower, 1, 0.12);
  ASSERT_EQ(StoredTransaction(net).SUMA, A(0.25));
  Play("{Snap}{Enter}");
  EXPECT_EQ(PrintFiscalReceipt(), -1);
  EXPECT_TRUE(ShotHas(3, "od sumy pozycji."));
  EXPECT_FALSE(g_closed);
  EXPECT_FALSE(StoredTransaction(net).DOKFISKAL);
}

}  // namespace
