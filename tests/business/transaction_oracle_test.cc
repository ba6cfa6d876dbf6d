// Hundreds of random transactions entered, edited, turned and deleted through the program's own
// functions; afterwards the stored sums, the stock and the indexes must agree with what the
// positions say.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "transaction_testing.h"

namespace {

class TransactionOracleTest : public TransactionTest {};

TEST_F(TransactionOracleTest, RandomWorkKeepsSumsStockAndIndexesInStep) {
  ASSERT_EQ(SetWarnNegativeAmount(0), 0);
  std::mt19937 rng(16);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  static const int kVats[] = {12, 13, 4, 14, 1, 2, 3};
  std::map<int64_t, AMOUNT> base;
  std::vector<AMOUNT> goods;
  for (int g = 0; g < 12; ++g) {
    const AMOUNT id =
        AddGoods(("Towar " + std::to_string(g)).c_str(), 1 + pick(300), kVats[g % 7], pick(100));
    // Two services: positions of theirs move no stock.
    if (g >= 10) {
      ASSERT_EQ(FindById(kTableGoods, id), 0);
      Tow.RODZAJ[0] = 'U';
      Tow.STAN = AMOUNT();
      ASSERT_EQ(TableUpdate(kTableGoods), 0);
    }
    base[id.Raw()] = Stock(id);
    goods.push_back(id);
  }
  struct OPEN {
    AMOUNT id;
    RUNNING_TOTALS running;
  };
  std::vector<OPEN> open;
  static const char* const kIncome[] = {"", "PZ", "PW", "PM"};
  static const char* const kExpense[] = {"", "WZ", "WW", "WM"};
  int created = 0;
  for (int step = 0; step < 1500; ++step) {
    const int r = pick(100);
    if (open.empty() || r < 15) {
      TRA_RECORD t{};
      t.RODZAJ[0] = pick(2) ? 'S' : 'D';
      t.DATATRA = t.DATAMAG = DateFromYmd(2014 + pick(2), 1 + pick(12), 1 + pick(28));
      std::snprintf(t.DOKMAGTYP, sizeof t.DOKMAGTYP, "%s",
                    (t.RODZAJ[0] == 'D' ? kIncome : kExpense)[pick(4)]);
      t.ZAOKRNETTO = pick(3) == 0;
      ASSERT_EQ(LockAllTables(true), 0);
      ASSERT_EQ(StoreTransaction(&t), 0);
      UnlockAllTables();
      open.push_back({t.ID, RUNNING_TOTALS(t.ZAOKRNETTO != 0)});
      ++created;
      continue;
    }
    OPEN& o = open[static_cast<size_t>(pick(static_cast<int>(open.size())))];
    std::vector<long> recnos;
    ASSERT_EQ(TransactionPositions(o.id, &recnos), 0);
    const TRA_RECORD t = StoredTransaction(o.id);
    const bool adding = r < 60 || (r < 85 && recnos.empty());
    const long recno = adding || recnos.empty()
                           ? -1
                           : recnos[static_cast<size_t>(pick(static_cast<int>(recnos.size())))];
    POZ_RECORD p{};
    if (recno >= 0) {
      ASSERT_EQ(ReadPosition(recno, &p), 0);
    } else {
      p.RODZAJ[0] = t.RODZAJ[0];
      p.TRAID = t.ID;
      p.DATATRA = p.DATAMAG = t.DATATRA;
    }
    if (adding || r < 75) {
      // A new position, or a stored one with new goods, quantity and price.
      p.TOWID = goods[static_cast<size_t>(pick(12))];
      p.ILOSC = AMOUNT::FromRaw((1 + pick(200000)) * (pick(20) == 0 ? -1 : 1));
      p.CENA = AMOUNT::FromRaw(100 * (1 + pick(50000)));
      p.VATID = AMOUNT::FromInt(kVats[pick(7)]);
      p.RABAT = AMOUNT::FromInt(pick(4) == 0 ? pick(30) : 0);
      if (recno < 0) ASSERT_EQ(AddPosition(&p, &o.running, nullptr), 0);
      else ASSERT_EQ(ChangePosition(recno, &p, &o.running), 0);
    } else if (r < 85) {
      ASSERT_EQ(RemovePosition(recno, &o.running), 0);
    } else if (r < 92) {
      ASSERT_EQ(FlipTransactionKind(o.id, t.RODZAJ[0] == 'D' ? 'S' : 'D'), 0);
    } else if (r < 96) {
      // Net prices on or off: the sums are worked out again.
      TRA_RECORD changed = t;
      changed.ZAOKRNETTO = !t.ZAOKRNETTO;
      ASSERT_EQ(LockAllTables(true), 0);
      ASSERT_EQ(StoreTransaction(&changed), 0);
      UnlockAllTables();
      ASSERT_EQ(RecalculateTransaction(o.id), 0);
    } else {
      ASSERT_EQ(DeleteTransaction(o.id), 0);
      open.erase(open.begin() + (&o - open.data()));
    }
  }
  EXPECT_GT(created, 200);
  ExpectConsistent(base);
  // Cash balances what is due whenever the sums changed.
  for (int rc = TableFirst(kTableTransactions); rc == 0; rc = TableNext(kTableTransactions))
    EXPECT_EQ(Tra.GOT + Tra.CZK + Tra.PRZ + Tra.ODR, AmountDue(Tra.DOKMAGTYP, Tra.SUMA, RoundPay()))
        << Tra.ID.Whole();
}

}  // namespace
