// The transaction form and the positions window driven with keys; the files read back.
#include <gtest/gtest.h>

#include <cstring>

#include "business/document_kinds.h"
#include "business/numbering.h"
#include "business/positions_window.h"
#include "business/transaction_form.h"
#include "transaction_testing.h"

namespace {

class TransactionFormTest : public TransactionTest {
 protected:
  int AddWith(std::string_view keys) {
    Play(keys);
    return transaction_form_edit(kTransactionAdd, false);
  }
  int EditWith(AMOUNT id, std::string_view keys) {
    EXPECT_EQ(FindById(kTableTransactions, id), 0);
    Play(keys);
    return transaction_form_edit(kTransactionEdit, false);
  }
};

TEST_F(TransactionFormTest, WarehouseNumbersFollowTheLastOfTheirYearKindAndDocument) {
  struct CASE {
    const char* seed;  // a WZ of 2014 before the new transaction, or none
    const char* keys;
    const char* expected;
  } cases[] = {
      {"12/2014", "{Alt+d}01052014{Tab}{Alt+m}z{Alt+o}", "13/2014"},
      {"A009", "{Alt+d}01052014{Tab}{Alt+m}z{Alt+o}", "A10"},
      {"Z", "{Alt+d}01052014{Tab}{Alt+m}z{Alt+o}", "Z1"},
      // The first PZ of 2015 takes the entry just below it in the index: the last WZ of 2014.
      {"WZ 45/2014", "{Alt+r}p{Alt+d}10012015{Tab}{Alt+m}z{Alt+o}", "WZ 1/2014"},
      {nullptr, "{Alt+m}z{Alt+o}", "1"},
  };
  for (const CASE& c : cases) {
    ASSERT_EQ(TableZap(kTableTransactions), 0);
    if (c.seed) AddTransaction('S', DateFromYmd(2014, 3, 1), "WZ", c.seed);
    ASSERT_EQ(AddWith(c.keys), 0) << c.keys;
    EXPECT_STREQ(Tra.DOKMAGNR, c.expected) << c.keys;
    EXPECT_EQ(DocumentKindByCode(Tra.DOKMAGTYP), Tra.RODZAJ[0] == 'D' ? 1 : 4);
  }
}

TEST_F(TransactionFormTest, DuplicateNumbersAreAskedAbout) {
  // A number that would grow past 16 characters stays as it is, and so is taken.
  AddTransaction('S', DateToday(), "WZ", "ABCDEFGHIJKLMN99");
  ASSERT_EQ(AddWith("{Alt+m}z{Alt+o}{Snap}p{Snap}{Alt+o}z"), 0);
  EXPECT_TRUE(ShotHas(0, "Dokument magazynowy o podanym numerze już istnieje."));
  EXPECT_TRUE(CaretIn(1, transaction_form(), kTraWarehouseNumber));  // "Poprawić"
  EXPECT_STREQ(Tra.DOKMAGNR, "ABCDEFGHIJKLMN99");                    // "Zaakceptować"

  // A typed duplicate, "Nadać nowy": the next number of its series (2014's).
  AddTransaction('S', DateFromYmd(2014, 3, 1), "WZ", "5/A");
  ASSERT_EQ(AddWith("{Alt+d}01052014{Tab}{Alt+m}z{Ctrl+Y}5/A{Alt+o}n"), 0);
  EXPECT_STREQ(Tra.DOKMAGNR, "6/A");
  long with_five = 0;
  for (int rc = TableFirst(kTableTransactions); rc == 0; rc = TableNext(kTableTransactions))
    with_five += std::strcmp(Tra.DOKMAGNR, "5/A") == 0;
  EXPECT_EQ(with_five, 1);
}

TEST_F(TransactionFormTest, TurningAnExpenseIntoIncomeMovesTwiceItsQuantity) {
  const AMOUNT goods = AddGoods("Anturium", 10, 12, 20);
  const AMOUNT sale = AddTransaction('S', DateToday(), "WZ", "1");
  AddPositionTo(sale, goods, 5);
  ASSERT_EQ(Stock(goods), A(15));
  // The positions turn at once; Esc afterwards does not turn them back.
  ASSERT_EQ(EditWith(sale, "{Alt+r}p{Esc}"), 0);
  EXPECT_EQ(Stock(goods), A(25));
  const TRA_RECORD t = StoredTransaction(sale);
  EXPECT_EQ(t.RODZAJ[0], 'D');
  EXPECT_STREQ(t.DOKMAGTYP, "");  // a WZ is no document of an income
  ExpectConsistent({{goods.Raw(), A(20)}});
}

TEST_F(TransactionFormTest, InternalReceiptHasNothingDueAndKeepsCashAtZero) {
  const AMOUNT goods = AddGoods("Anturium", 10, 12, 0);
  // PW, then " &Pozycje... ": one position of 3 at net 10.00, then back and saved.
  ASSERT_EQ(
      AddWith(
          "{Alt+r}p{Alt+m}w{Snap}{Alt+p}{Ins}{Alt+n}Ant{Enter}{Alt+c}10{Tab}{Alt+i}3{Tab}{Alt+o}"
          "{Snap}{Esc}{Snap}{Alt+o}"),
      0);
  EXPECT_NE(transaction_form()[kTraCash].state & kStateDisabled, 0);
  EXPECT_TRUE(ShotHas(1, "POZYCJE PRZYCHODU"));
  EXPECT_TRUE(ShotHas(1, "36,90"));  // 3 x 12.30
  const TRA_RECORD t = Tra;
  EXPECT_STREQ(t.DOKMAGTYP, "PW");
  EXPECT_EQ(t.SUMA, A(36.90));
  EXPECT_EQ(t.GOT, AMOUNT());
  EXPECT_EQ(AmountDue(t.DOKMAGTYP, t.SUMA, RoundPay()), AMOUNT());
  EXPECT_EQ(Stock(goods), A(3));
  ExpectConsistent({{goods.Raw(), AMOUNT()}});
}

TEST_F(TransactionFormTest, PositionsAreRefusedAskedAboutEditedAndDeletedWithTheirStock) {
  const AMOUNT goods = AddGoods("Anturium", 10, 12, 1);
  const AMOUNT sale = AddTransaction('S', DateToday(), "WZ", "1");
  ASSERT_EQ(FindById(kTableTransactions, sale), 0);
  // Quantity 0 is refused; 2 of a stock of 1: asked, "Nie" refuses, "Tak" stores; then the
  // position is edited to 5 (asked again) and deleted.
  Play(
      "{Ins}{Alt+n}Ant{Enter}{Alt+o}{Snap}{Alt+i}2{Alt+o}{Snap}n{Alt+o}t{Snap}"
      "{F2}{Alt+i}5{Alt+o}t{Snap}{Del}t{Snap}{Esc}");
  ASSERT_EQ(positions_window(sale), 0);
  EXPECT_TRUE(ShotHas(0, "POZYCJA ROZCHODU"));  // quantity 0: the form stays
  EXPECT_TRUE(ShotHas(1, "Zmniejszyć stan poniżej zera?"));
  EXPECT_TRUE(ShotHas(2, "20,00"));  // 2 x 10.00 in the totals
  EXPECT_TRUE(ShotHas(3, "50,00"));
  EXPECT_FALSE(ShotHas(4, "50,00"));
  EXPECT_EQ(Stock(goods), A(1));
  EXPECT_EQ(LivePositions(sale), 0);
  EXPECT_EQ(StoredTransaction(sale).SUMA, AMOUNT());
  ExpectConsistent({{goods.Raw(), A(1)}});
}

TEST_F(TransactionFormTest, PaymentsBalanceAndInterestIsOffered) {
  const AMOUNT goods = AddGoods("Anturium", 1000, 12, 5);
  const AMOUNT sale = AddTransaction('S', DateFromYmd(2008, 12, 31), "WZ", "1");
  AddPositionTo(sale, goods, 1, 1000);
  ASSERT_EQ(StoredTransaction(sale).GOT, A(1000));
  // Card 300: cash takes the rest. Transfer 700: cash again, to 0. Paid 30.01.2009, a month
  // late: 30 days at 13 % of 700.
  ASSERT_EQ(
      EditWith(sale,
               "{Alt+t}300{Tab}g{Alt+l}700{Tab}g{Alt+l}{Tab}{Tab}30012009{Tab}{Snap}t{Alt+o}"),
      0);
  EXPECT_TRUE(ShotHas(0, "Uaktualnić odsetki?"));
  const TRA_RECORD t = StoredTransaction(sale);
  EXPECT_EQ(t.CZK, A(300));
  EXPECT_EQ(t.PRZ, A(700));
  EXPECT_EQ(t.GOT, AMOUNT());
  EXPECT_EQ(t.PRZZAPLAC, DateFromYmd(2009, 1, 30));
  EXPECT_EQ(t.PRZODSETKI, A(7.48));
}

TEST_F(TransactionFormTest, RefusedSaveKeepsTheFormAndStoresNothing) {
  const long before = TableCount(kTableTransactions);
  // No date; then income without the right to it.
  ASSERT_EQ(AddWith("{Alt+d}{Ctrl+Y}{Tab}{Alt+o}{Snap}{Esc}"), -1);
  EXPECT_TRUE(CaretIn(0, transaction_form(), kTraDate));
  ASSERT_EQ(WriteUserRights(kRightModifyGoods), 0);
  SetAdministratorFlag(0);
  ASSERT_EQ(AddWith("{Alt+r}p{Alt+o}{Snap}{Enter}{Esc}"), -1);
  EXPECT_TRUE(ShotHas(1, "Dostęp do transakcji przychodów"));
  EXPECT_EQ(TableCount(kTableTransactions), before);
}

TEST_F(TransactionFormTest, ChoosingADebtorForASaleIsAsked) {
  const AMOUNT debtor = AddContractor("Dłużnik"_pl);
  TRA_RECORD unpaid{};
  unpaid.RODZAJ[0] = 'S';
  unpaid.DATATRA = unpaid.DATAMAG = DateToday();
  unpaid.KONID = debtor;
  unpaid.PRZ = A(50);
  ASSERT_EQ(StoreTransaction(&unpaid), 0);
  // "Nie" keeps no contractor; the second choice, "Tak", takes it.
  ASSERT_EQ(AddWith("{Alt+k}D{Enter}{Snap}n{Alt+k}D{Enter}t{Alt+o}"), 0);
  EXPECT_TRUE(ShotHas(0, "Kontrahent ma nieuregulowane płatności."));
  EXPECT_EQ(Tra.KONID, debtor);
}

TEST_F(TransactionFormTest, SearchesFindByDocumentNumberOrByDate) {
  const AMOUNT seven = AddTransaction('S', DateFromYmd(2014, 5, 2), "WZ", "7/2014");
  AddTransaction('S', DateFromYmd(2014, 5, 1), "WZ", "3/2014");
  const AMOUNT later = AddTransaction('S', DateFromYmd(2014, 6, 1), "WZ", "9/2014");
  Play("{Alt+d}01012014{Tab}{Alt+m}z{Alt+n}7{Alt+o}");
  ASSERT_EQ(FindTransactionByWarehouseDocument(), 0);
  EXPECT_EQ(Tra.ID, seven);
  // The kind, date and document are remembered; no document: the first at or after the date.
  Play("{Alt+d}15052014{Tab}{Alt+m}b{Alt+o}");
  ASSERT_EQ(FindTransactionByWarehouseDocument(), 0);
  EXPECT_EQ(Tra.ID, later);
}

}  // namespace
