// The debtor check, the contractor's default documents offered after a sale, and the bank
// account a transfer order needs.
#include "business/contractor_checks.h"
#include "business/contractor_parent.h"
#include "business/options.h"
#include "common/date.h"
#include "common/text.h"
#include "forms_fixture.h"

namespace {

using ContractorChecksTest = ContractorTest;

const DATE kPaid = DateFromYmd(2014, 4, 19);
AMOUNT Id(int n) { return AMOUNT::FromInt(n); }

AMOUNT g_details_for;
void RecordDetails(AMOUNT id) { g_details_for = id; }

TEST_F(ContractorChecksTest, OnlyUnpaidTransfersAndDeferredAmountsOfExternalSalesAreDebts) {
  AddContractor(1, "Moja firma");
  for (int k = 2; k <= 8; ++k) AddContractor(k, "Klient");
  // 2: a transfer already paid, and a deferred amount paid: no debt.
  AddTransaction(1, 2, 'S', "WZ", 100, kPaid, 50, kPaid);
  // 3: a transfer without its payment date.
  AddTransaction(2, 3, 'S', "WZ", 100, 0, 0, 0);
  // 4: a deferred amount without its payment date (no warehouse document at all).
  AddTransaction(3, 4, 'S', "", 0, 0, 30, 0);
  // 5: unpaid, but a purchase: what we owe is no debt of the contractor.
  AddTransaction(4, 5, 'D', "PZ", 100, 0, 100, 0);
  // 6: unpaid, but on internal documents that nobody pays.
  AddTransaction(5, 6, 'S', "WW", 100, 0, 0, 0);
  AddTransaction(6, 6, 'S', "WM", 0, 0, 100, 0);
  // 7: a paid sale first, an unpaid one later: the walk goes on past the paid one.
  AddTransaction(7, 7, 'S', "WZ", 10, kPaid, 0, 0);
  AddTransaction(8, 7, 'S', "WZ", 0, 0, 10, 0);
  // 8: negative amounts (returns) are never debts.
  AddTransaction(9, 8, 'S', "WZ", -10, 0, -5, 0);
  ASSERT_EQ(TableSetIndex(kTableTransactions, 1), 0);
  ASSERT_EQ(TableGo(kTableTransactions, 3), 0);

  std::string debts;  // contractors 2 to 9, the last without transactions, then no contractor
  for (int id = 2; id <= 9; ++id) debts += ContractorHasDebts(Id(id)) ? 'D' : '-';
  EXPECT_EQ(debts + (ContractorHasDebts(AMOUNT()) ? 'D' : '-'), "-DD--D---");
  // The transactions view keeps its record and order.
  EXPECT_EQ(TableRecNo(kTableTransactions), 3);
  EXPECT_EQ(TableGetIndex(kTableTransactions), 1);
  EXPECT_EQ(Tra.ID, Id(4));
}

TEST_F(ContractorChecksTest, DebtorQuestionAnswers) {
  AddContractor(2, "Dłużnik"_pl);
  AddContractor(3, "Płatnik"_pl);
  AddTransaction(1, 2, 'S', "WZ", 100, 0, 0, 0);

  Play("{Snap}t");
  EXPECT_EQ(CheckDebtor(Id(2)), 0);
  Play("n");
  EXPECT_EQ(CheckDebtor(Id(2)), -1);
  Play("{Esc}");
  EXPECT_EQ(CheckDebtor(Id(2)), -1);
  // " &Szczegóły... " shows the report and comes back to the question.
  SetDebtorDetails(RecordDetails);
  g_details_for = AMOUNT();
  Play("s{Snap}t");
  EXPECT_EQ(CheckDebtor(Id(2)), 0);
  EXPECT_EQ(g_details_for, Id(2));
  EXPECT_TRUE(ShotShows(0, {"Kontrahent ma nieuregulowane płatności.",
                            "Pozwolić na przeprowadzenie z nim transakcji?", " Szczegóły... "}));
  EXPECT_TRUE(ShotHas(1, "Kontrahent ma nieuregulowane płatności."));
  // A contractor without debts is let through without a question.
  EXPECT_EQ(CheckDebtor(Id(3)), 0);
  EXPECT_EQ(Shots(), 2u);
}

TEST_F(ContractorChecksTest, AutomaticCustomerWarningOffAndNoContractorAreNeverAsked) {
  AddContractor(2, "Klient detaliczny");
  AddTransaction(1, 2, 'S', "WZ", 100, 0, 100, 0);
  ASSERT_TRUE(ContractorHasDebts(Id(2)));
  ASSERT_EQ(SetAutoCustomer(Id(2)), 0);
  Play("{Snap}");
  EXPECT_EQ(CheckDebtor(Id(2)), 0);
  EXPECT_EQ(CheckDebtor(AMOUNT()), 0);
  ASSERT_EQ(SetAutoCustomer(AMOUNT()), 0);
  ASSERT_EQ(SetWarnDebtor(0), 0);
  EXPECT_EQ(CheckDebtor(Id(2)), 0);
  // Nothing read a key: no question was shown, and the short walk left typed-ahead keys alone.
  EXPECT_EQ(Shots(), 0u);
}

TEST_F(ContractorChecksTest, DefaultsAreStoredSilentlyFirstAndAskedAboutLater) {
  AddContractor(2, "Nowy");
  AddContractor(3, "Stały"_pl, "", "", "RU");
  AddContractor(4, "Netto");
  Kon.ZAOKRNETTO = 1;
  ASSERT_EQ(TableUpdate(kTableContractors), 0);
  ASSERT_EQ(FindById(kTableContractors, Id(3)), 0);
  const long current = TableRecNo(kTableContractors);

  // None, corrections and no contractor: nothing happens.
  for (auto [id, kind] : {std::pair{2, 0}, {2, 11}, {2, 13}, {0, 7}, {99, 7}})
    EXPECT_EQ(OfferContractorDefaults(Id(id), kind, kind == 11), 1) << id << " " << kind;
  EXPECT_STREQ(Stored(2).DOKTRATYP, "");

  // A contractor without defaults takes them without a question (none is queued to answer one).
  EXPECT_EQ(OfferContractorDefaults(Id(2), 7, true), 0);
  EXPECT_EQ(Stored(2).DOKTRATYP + std::to_string(Stored(2).ZAOKRNETTO), "FV1");
  // The same values again: nothing to do.
  EXPECT_EQ(OfferContractorDefaults(Id(2), 7, true), 1);

  // A contractor with a document of its own is asked; " &Nie " keeps it, " &Tak " replaces it.
  Play("n");
  EXPECT_EQ(OfferContractorDefaults(Id(3), 10, false), 1);
  EXPECT_STREQ(Stored(3).DOKTRATYP, "RU");
  Play("{Snap}t");
  EXPECT_EQ(OfferContractorDefaults(Id(3), 10, false), 0);
  EXPECT_STREQ(Stored(3).DOKTRATYP, "PA");
  // The net flag alone counts as a default too.
  Play("t");
  EXPECT_EQ(OfferContractorDefaults(Id(4), 9, false), 0);
  EXPECT_EQ(Stored(4).DOKTRATYP + std::to_string(Stored(4).ZAOKRNETTO), "RU0");

  EXPECT_EQ(Shots(), 1u);
  EXPECT_TRUE(ShotHas(0, "jako nowe wartości domyślne dla tego kontrahenta?"));
  // The contractor current before is current again.
  EXPECT_EQ(TableRecNo(kTableContractors), current);
  EXPECT_EQ(Kon.ID, Id(3));
  ExpectTablesSound();
}

TEST_F(ContractorChecksTest, MissingBankAccountStopsATransferOrderWhileTheWarningIsOn) {
  KON_RECORD c{};
  EXPECT_EQ(CheckContractorBank(c), 0);  // no contractor
  c.ID = Id(2);
  Play("{Snap}{Enter}");
  EXPECT_EQ(CheckContractorBank(c), -1);
  EXPECT_TRUE(ShotHas(0, "Brak numeru konta bankowego."));
  std::snprintf(c.KONTO, sizeof c.KONTO, "12 1020 0000");
  EXPECT_EQ(CheckContractorBank(c), 0);
  c.KONTO[0] = 0;
  ASSERT_EQ(SetWarnNoBank(0), 0);
  EXPECT_EQ(CheckContractorBank(c), 0);
}

}  // namespace
