// The deliveries a sale took and a stock consists of, first in first out, checked against a model
// of our own: the goods' movements as a list in index order, the stock as a running sum from the
// initial stock, and each answer as the stretch of the cumulated deliveries that the sale (or the
// stock) occupies. The record sets walk the index backwards from the goods' stock instead; both
// must give the same rows, from either end.
#include <algorithm>
#include <random>
#include <tuple>

#include "../business/transaction_testing.h"
#include "platform/cfile.h"
#include "reports/purchases.h"

namespace {

struct ROW {
  long recno;  // -1 for a row without a delivery
  AMOUNT quantity;
  bool operator==(const ROW&) const = default;
};

std::ostream& operator<<(std::ostream& o, const ROW& r) {
  return o << "{" << r.recno << ", " << r.quantity.ToDouble() << "}";
}

struct MOVE {
  long recno;
  DATE date;
  char kind;
  int64_t transaction;
  AMOUNT quantity;
};

class PurchasesTest : public TransactionTest {
 protected:
  // Movements of one goods; each becomes a transaction of its own unless `same` puts it into the
  // transaction of the movement before.
  void Move(int day, char kind, double quantity, bool same = false) {
    DATE date = DateFromYmd(2026, 1, 1) + day;
    if (same && !moves.empty()) {
      // The position takes the date and kind of the transaction it joins.
      date = moves.back().date;
      kind = moves.back().kind;
    } else {
      transaction = AddTransaction(kind, date);
    }
    const long recno = AddPositionTo(transaction, goods, quantity, 10 + day);
    moves.push_back({recno, date, kind, transaction.Raw(), A(quantity)});
  }
  // The movements as the index by goods orders them (entry order within one key).
  std::vector<MOVE> Ordered() const {
    std::vector<MOVE> m = moves;
    std::stable_sort(m.begin(), m.end(), [](const MOVE& a, const MOVE& b) {
      return std::tie(a.date, a.kind, a.transaction) < std::tie(b.date, b.kind, b.transaction);
    });
    return m;
  }
  static AMOUNT Effect(const MOVE& m) { return m.kind == 'D' ? m.quantity : -m.quantity; }

  // The rows oldest first of the stretch (low, high] of the cumulated deliveries of `before`,
  // with what falls below 0 as one row without a delivery.
  static std::vector<ROW> Stretch(const std::vector<MOVE>& before, AMOUNT low, AMOUNT high) {
    std::vector<ROW> rows;
    AMOUNT covered, cumulated;
    for (const MOVE& m : before) {
      if (m.kind != 'D' || m.quantity <= AMOUNT()) continue;
      const AMOUNT from = std::max(cumulated, low), to = std::min(cumulated + m.quantity, high);
      if (to > from) {
        rows.push_back({m.recno, to - from});
        covered += to - from;
      }
      cumulated += m.quantity;
    }
    if (high - low > covered) rows.insert(rows.begin(), ROW{-1, high - low - covered});
    return rows;
  }

  std::vector<ROW> ModelSale(size_t index) const {
    const std::vector<MOVE> m = Ordered();
    AMOUNT stock = initial, delivered;
    for (size_t i = 0; i <= index; ++i) stock += Effect(m[i]);
    for (size_t i = 0; i < index; ++i)
      if (m[i].kind == 'D' && m[i].quantity > AMOUNT()) delivered += m[i].quantity;
    const int sign = m[index].quantity < AMOUNT() ? -1 : 1;
    const AMOUNT q = sign < 0 ? -m[index].quantity : m[index].quantity;
    if (sign < 0) stock -= q;
    const AMOUNT below = stock < AMOUNT() ? std::min(-stock, q) : AMOUNT();
    const AMOUNT skip = stock < AMOUNT() ? AMOUNT() : stock;
    std::vector<ROW> rows = q.IsZero() ? std::vector<ROW>{}
                                       : Stretch({m.begin(), m.begin() + static_cast<long>(index)},
                                                 delivered - skip - (q - below), delivered - skip);
    if (!below.IsZero()) rows.push_back({-1, below});
    for (ROW& r : rows) r.quantity = sign < 0 ? -r.quantity : r.quantity;
    return rows;
  }

  std::vector<ROW> ModelStock(DATE date) const {
    std::vector<MOVE> upto;
    AMOUNT stock = initial, delivered;
    for (const MOVE& m : Ordered()) {
      if (m.date > date) break;
      upto.push_back(m);
      stock += Effect(m);
      if (m.kind == 'D' && m.quantity > AMOUNT()) delivered += m.quantity;
    }
    if (stock.IsZero()) return {};
    if (stock < AMOUNT()) return {{-1, stock}};
    return Stretch(upto, delivered - stock, delivered);
  }

  // The rows of a record set from First forwards, and from Last backwards (given oldest first);
  // -1 in `rc` when a move failed.
  static std::vector<ROW> Forwards(PURCHASE_WALK* rs, int* rc) {
    std::vector<ROW> rows;
    for (*rc = rs->First(); *rc == 0; *rc = rs->Next())
      rows.push_back({rs->DeliveryRecNo(), rs->Quantity()});
    if (*rc == kTableEnd) *rc = 0;
    return rows;
  }
  static std::vector<ROW> Backwards(PURCHASE_WALK* rs, int* rc) {
    std::vector<ROW> rows;
    for (*rc = rs->Last(); *rc == 0; *rc = rs->Prev())
      rows.insert(rows.begin(), {rs->DeliveryRecNo(), rs->Quantity()});
    if (*rc == kTableEnd) *rc = 0;
    return rows;
  }

  std::vector<ROW> Sale(long recno, STOCK_MARK* mark = nullptr, bool backwards = false) {
    EXPECT_EQ(TableGo(kTablePositions, recno), 0);
    RS_PURCHASES_OF_SALE rs(mark);
    int rc;
    std::vector<ROW> rows = backwards ? Backwards(&rs, &rc) : Forwards(&rs, &rc);
    EXPECT_EQ(rc, 0);
    return rows;
  }
  std::vector<ROW> Stock(DATE date, bool backwards = false) {
    RS_PURCHASES_OF_STOCK rs(goods, date);
    int rc;
    std::vector<ROW> rows = backwards ? Backwards(&rs, &rc) : Forwards(&rs, &rc);
    EXPECT_EQ(rc, 0);
    return rows;
  }

  // Every sale (each way, with and without a mark) and the stock on every date against the model.
  void ExpectModel() {
    const std::vector<MOVE> m = Ordered();
    STOCK_MARK mark;
    for (size_t i = 0; i < m.size(); ++i) {
      if (m[i].kind != 'S') continue;
      SCOPED_TRACE(testing::Message() << "sale at " << i << ", record " << m[i].recno);
      const std::vector<ROW> want = ModelSale(i);
      EXPECT_EQ(Sale(m[i].recno), want);
      EXPECT_EQ(Sale(m[i].recno, nullptr, true), want);
      EXPECT_EQ(Sale(m[i].recno, &mark), want);
    }
    for (DATE d = DateFromYmd(2026, 1, 1); d <= DateFromYmd(2026, 1, 1) + 32; ++d) {
      SCOPED_TRACE(testing::Message() << "stock on day " << d - DateFromYmd(2026, 1, 1));
      const std::vector<ROW> want = ModelStock(d);
      EXPECT_EQ(Stock(d), want);
      EXPECT_EQ(Stock(d, true), want);
    }
  }

  void Start(double stock = 0) {
    initial = A(stock);
    goods = AddGoods("Anturium", 10, 12, stock);
    other = AddGoods("Begonia", 5, 12, 0);
  }

  AMOUNT goods, other, transaction, initial;
  std::vector<MOVE> moves;
};

TEST_F(PurchasesTest, TheCasesOfTheFirstInFirstOutRule) {
  ASSERT_EQ(SetWarnNegativeAmount(0), 0);
  Start();
  Move(1, 'D', 5);   // recno 0
  Move(2, 'D', 5);   // 1
  Move(3, 'S', 7);   // 2: stock 3 left, the second delivery keeps it
  Move(4, 'S', 6);   // 3: stock -3; 3 units nobody delivered
  Move(5, 'S', -4);  // 4: a return of 4 with the stock before it at -3
  Move(6, 'D', 10);  // 5
  Move(7, 'S', 5);   // 6: stock 6 is the newest 6 delivered
  const long d1 = moves[0].recno, d2 = moves[1].recno, d3 = moves[5].recno;
  EXPECT_EQ(Sale(moves[2].recno), (std::vector<ROW>{{d1, A(5)}, {d2, A(2)}}));
  EXPECT_EQ(Sale(moves[3].recno), (std::vector<ROW>{{d2, A(3)}, {-1, A(3)}}));
  EXPECT_EQ(Sale(moves[4].recno), (std::vector<ROW>{{d2, A(-1)}, {-1, A(-3)}}));
  EXPECT_EQ(Sale(moves[6].recno), (std::vector<ROW>{{d2, A(1)}, {d3, A(4)}}));
  EXPECT_EQ(Stock(DateFromYmd(2026, 1, 1)), std::vector<ROW>{});  // before the first delivery
  EXPECT_EQ(Stock(DateFromYmd(2026, 1, 1) + 2), (std::vector<ROW>{{d1, A(5)}, {d2, A(5)}}));
  EXPECT_EQ(Stock(DateFromYmd(2026, 1, 1) + 4), (std::vector<ROW>{{-1, A(-3)}}));
  EXPECT_EQ(Stock(DateFromYmd(2026, 1, 1) + 7), (std::vector<ROW>{{d3, A(6)}}));
  ExpectModel();
}

TEST_F(PurchasesTest, StockBelowZeroAfterTheSaleLeavesItsNewestUnitsUndelivered) {
  Start();
  Move(1, 'D', 3);
  Move(2, 'S', 5);  // stock -2
  EXPECT_EQ(Sale(moves[1].recno), (std::vector<ROW>{{moves[0].recno, A(3)}, {-1, A(2)}}));
  // Stock of 12 of deliveries 10, 5, 4: the oldest delivery gives what the newer do not.
  Move(3, 'D', 2);
  Move(4, 'D', 10);
  Move(5, 'D', 5);
  Move(6, 'D', 4);
  Move(7, 'S', 7);
  EXPECT_EQ(
      Stock(DateFromYmd(2026, 1, 1) + 7),
      (std::vector<ROW>{{moves[3].recno, A(3)}, {moves[4].recno, A(5)}, {moves[5].recno, A(4)}}));
  ExpectModel();
}

TEST_F(PurchasesTest, RandomMovementsAgreeWithTheModel) {
  ASSERT_EQ(SetWarnNegativeAmount(0), 0);
  std::mt19937 random(18);
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round);
    moves.clear();
    Start(round == 1 ? 7 : 0);
    for (int i = 0; i < 60; ++i) {
      const int day = static_cast<int>(random() % 30) + 1;
      const int r = static_cast<int>(random() % 10);
      const char kind = r < 4 ? 'D' : 'S';
      // Now and then a return (a negative sale or delivery), a second position of the same goods
      // in one transaction, or a position of other goods in between.
      double q = static_cast<double>(random() % 9 + 1);
      if (r == 9) q = -q;
      if (kind == 'D' && r == 3 && i % 3 == 0) q = -2;
      Move(day, kind, q, r == 5);
      if (r == 6) AddPositionTo(AddTransaction('S', DateFromYmd(2026, 1, 1) + day), other, 2);
    }
    ExpectModel();
  }
}

TEST_F(PurchasesTest, TheRecordSetsPutThePositionsTableBackAndNeverWrite) {
  Start();
  Move(1, 'D', 5);
  Move(2, 'S', 2);
  ASSERT_EQ(TableSetIndex(kTablePositions, 2), 0);
  ASSERT_EQ(TableGo(kTablePositions, moves[1].recno), 0);
  const POZ_RECORD before = Poz;
  {
    RS_PURCHASES_OF_SALE rs;
    ASSERT_EQ(rs.Last(), 0);
    EXPECT_EQ(Poz.ILOSC, A(0));  // nothing of the delivery is left unattributed: in memory only
    EXPECT_EQ(rs.Update(), -1);
    EXPECT_EQ(rs.Append(), -1);
  }
  EXPECT_EQ(TableGetIndex(kTablePositions), 2);
  EXPECT_EQ(TableRecNo(kTablePositions), moves[1].recno);
  EXPECT_EQ(Poz.ILOSC, before.ILOSC);
  POZ_RECORD delivery{};
  ASSERT_EQ(ReadPosition(moves[0].recno, &delivery), 0);
  EXPECT_EQ(delivery.ILOSC, A(5));
}

class COUNTING_HANDLER : public CFILE::HANDLER {
 public:
  void Report(const char*, int, int, int) override { ++reports; }
  int reports = 0;
};

TEST_F(PurchasesTest, AFailingReadStopsTheWalkAndIsNeverTakenForNoDeliveries) {
  Start();
  for (int i = 0; i < 40; ++i) Move(i % 28 + 1, i % 3 ? 'S' : 'D', i % 3 ? 2 : 5);
  const std::vector<MOVE> m = Ordered();
  const long sale = m.back().kind == 'S' ? m.back().recno : m[m.size() - 2].recno;
  const std::vector<ROW> want = Sale(sale);
  const std::vector<ROW> stock = Stock(DateFromYmd(2026, 1, 1) + 20);
  for (int which = 0; which < 2; ++which) {
    bool tripped = true;
    for (long n = 1; tripped; ++n) {
      SCOPED_TRACE(testing::Message()
                   << (which ? "stock" : "sale") << ", failing file operation " << n);
      ASSERT_LT(n, 5000);
      CloseDatabase();  // nothing cached: every page is read from the file again
      ASSERT_EQ(OpenDatabase(), 0);
      ASSERT_EQ(TableGo(kTablePositions, sale), 0);
      COUNTING_HANDLER handler;
      CFILE::SetHandler(&handler);
      SetFileFault(0, n, false);
      int rc;
      std::vector<ROW> rows;
      if (which == 0) {
        RS_PURCHASES_OF_SALE rs;
        rows = Forwards(&rs, &rc);
      } else {
        RS_PURCHASES_OF_STOCK rs(goods, DateFromYmd(2026, 1, 1) + 20);
        rows = Forwards(&rs, &rc);
      }
      tripped = FileFaultTripped();
      ClearFileFault();
      CFILE::SetHandler(nullptr);
      // Either the rows are right (a failure came after the walk, putting the table back), or
      // the walk answered -1 with the failure reported.
      if (rc == 0) EXPECT_EQ(rows, which ? stock : want);
      else EXPECT_TRUE(rc == -1 && handler.reports > 0) << rc;
    }
  }
}

TEST_F(PurchasesTest, PurchaseValueOfASaleAddsItsDeliveriesAtTheirPrices) {
  Start();
  Move(1, 'D', 5);  // at 11.00 gross
  Move(2, 'D', 5);  // at 12.00 gross
  Move(3, 'S', 7);
  Move(4, 'S', 10);  // 3 of the second delivery, 7 nobody delivered
  STOCK_MARK mark;
  PURCHASE_VALUE v;
  ASSERT_EQ(TableGo(kTablePositions, moves[2].recno), 0);
  ASSERT_EQ(PurchaseValueOfSale(&mark, &v), 0);
  EXPECT_TRUE(v.known);
  EXPECT_EQ(v.gross, A(5 * 11 + 2 * 12));
  ASSERT_EQ(TableGo(kTablePositions, moves[3].recno), 0);
  ASSERT_EQ(PurchaseValueOfSale(&mark, &v), 0);
  EXPECT_FALSE(v.known);
  EXPECT_EQ(v.gross, A(3 * 12));
}

}  // namespace
