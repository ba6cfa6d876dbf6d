// A file operation failing in the middle of writing a position, at every operation in turn: after
// the database is opened again the position, the stock and the sums agree, the write kept or
// undone as a whole.
#include <gtest/gtest.h>

#include "platform/cfile.h"
#include "transaction_testing.h"

namespace {

class COUNTING_HANDLER : public CFILE::HANDLER {
 public:
  void Report(const char*, int, int, int) override { ++reports; }
  int reports = 0;
};

class TransactionFaultsTest : public TransactionTest {
 protected:
  // Runs write with the n-th file operation from now failing; whether the failure happened.
  template <typename Write>
  bool WithFault(long n, Write write, int* rc) {
    COUNTING_HANDLER handler;
    CFILE::SetHandler(&handler);
    SetFileFault(0, n, false);
    *rc = write();
    ClearFileFault();
    CFILE::SetHandler(nullptr);
    CloseDatabase();
    EXPECT_EQ(OpenDatabase(), 0);
    return handler.reports > 0;
  }
};

TEST_F(TransactionFaultsTest, AFailureAtAnyStepKeepsOrUndoesTheWholeWrite) {
  ASSERT_EQ(SetWarnNegativeAmount(0), 0);
  const AMOUNT first = AddGoods("Anturium", 10, 12, 50);
  const AMOUNT second = AddGoods("Begonia", 4, 13, 50);
  const AMOUNT sale = AddTransaction('S', DateToday(), "WZ", "1");
  for (int i = 0; i < 3; ++i) AddPositionTo(sale, i % 2 ? first : second, 1 + i);
  const std::map<int64_t, AMOUNT> base = {{first.Raw(), A(50)}, {second.Raw(), A(50)}};
  RUNNING_TOTALS running(false);
  ASSERT_EQ(LoadRunningTotals(sale, false, &running), 0);

  enum { kAdd, kChange, kRemove };
  for (int op : {kAdd, kChange, kRemove}) {
    bool failed = true;
    for (long n = 1; failed; ++n) {
      ASSERT_LT(n, 2000) << "the write never got through";
      std::vector<long> before;
      ASSERT_EQ(TransactionPositions(sale, &before), 0);
      if (op == kRemove && before.size() < 2) {
        AddPositionTo(sale, first, 2);
        ASSERT_EQ(TransactionPositions(sale, &before), 0);
      }
      POZ_RECORD p{};
      ASSERT_EQ(ReadPosition(before.front(), &p), 0);
      p.ILOSC += A(1);
      p.TOWID = p.TOWID == first ? second : first;
      int rc = 0;
      failed = WithFault(n, [&] {
        switch (op) {
          case kAdd: return AddPosition(&p, &running, nullptr);
          case kChange: return ChangePosition(before.front(), &p, &running);
          default: return RemovePosition(before.front(), &running);
        }
      }, &rc);
      SCOPED_TRACE(testing::Message() << "operation " << op << ", failing file operation " << n);
      std::vector<long> after;
      ASSERT_EQ(TransactionPositions(sale, &after), 0);
      // Kept (0) or undone (-1), never half: the positions show which, the oracle the rest.
      const size_t expected = before.size() + (rc != 0 ? 0 : op == kAdd ? 1 : op == kRemove ? -1 : 0);
      EXPECT_EQ(after.size(), expected);
      if (op == kChange) {
        POZ_RECORD now{};
        ASSERT_EQ(ReadPosition(before.front(), &now), 0);
        EXPECT_EQ(now.TOWID == p.TOWID, rc == 0);
      }
      if (!failed) {
        EXPECT_EQ(rc, 0);
      }
      ExpectConsistent(base);
      if (HasFailure()) return;
    }
  }
}

}  // namespace
