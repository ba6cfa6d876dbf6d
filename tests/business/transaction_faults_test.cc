// A file operation failing in the middle of writing a position, at every operation in turn: after
// the database is opened again the position, the stock and the sums agree, the write kept or
// undone as a whole.
#include <gtest/gtest.h>

#include <filesystem>

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
  // The data files as they stand, put aside and put back: every run starts from the same files.
  static void Keep(const char* to) {
    std::filesystem::create_directory(to);
    for (const auto& f : std::filesystem::directory_iterator("."))
      if (f.path().extension() == ".dbf" || f.path().extension() == ".inx")
        std::filesystem::copy_file(f.path(), std::filesystem::path(to) / f.path().filename(),
                                   std::filesystem::copy_options::overwrite_existing);
  }
  static void PutBack(const char* from) {
    for (const auto& f : std::filesystem::directory_iterator(from))
      std::filesystem::copy_file(f.path(), f.path().filename(), std::filesystem::copy_options::overwrite_existing);
  }
};

TEST_F(TransactionFaultsTest, AFailureAtAnyStepKeepsOrUndoesTheWholeWrite) {
  ASSERT_EQ(SetWarnNegativeAmount(0), 0);
  const AMOUNT first = AddGoods("Anturium", 10, 12, 50);
  const AMOUNT second = AddGoods("Begonia", 4, 13, 50);
  const AMOUNT sale = AddTransaction('S', DateToday(), "WZ", "1");
  for (int i = 0; i < 3; ++i) AddPositionTo(sale, i % 2 ? first : second, 1 + i);
  const std::map<int64_t, AMOUNT> base = {{first.Raw(), A(50)}, {second.Raw(), A(50)}};
  std::vector<long> before;
  ASSERT_EQ(TransactionPositions(sale, &before), 0);
  POZ_RECORD changed{};
  ASSERT_EQ(ReadPosition(before.front(), &changed), 0);
  changed.ILOSC += A(1);
  changed.TOWID = changed.TOWID == first ? second : first;
  CloseDatabase();
  Keep("start");

  enum { kAdd, kChange, kRemove };
  for (int op : {kAdd, kChange, kRemove}) {
    bool failed = true;
    for (long n = 1; failed; ++n) {
      SCOPED_TRACE(testing::Message() << "operation " << op << ", failing file operation " << n);
      ASSERT_LT(n, 1000) << "the write never got through";
      PutBack("start");
      ASSERT_EQ(OpenDatabase(), 0);
      RUNNING_TOTALS running(false);
      ASSERT_EQ(LoadRunningTotals(sale, false, &running), 0);
      POZ_RECORD p = changed;
      COUNTING_HANDLER handler;
      CFILE::SetHandler(&handler);
      SetFileFault(0, n, false);
      int rc = 0;
      switch (op) {
        case kAdd: rc = AddPosition(&p, &running, nullptr); break;
        case kChange: rc = ChangePosition(before.front(), &p, &running); break;
        default: rc = RemovePosition(before.front(), &running); break;
      }
      ClearFileFault();
      CFILE::SetHandler(nullptr);
      failed = handler.reports > 0;
      if (!failed) {
        EXPECT_EQ(rc, 0);
      }
      CloseDatabase();
      ASSERT_EQ(OpenDatabase(), 0);
      // Kept (0) or undone (-1), never half: the positions show which, the oracle the rest.
      std::vector<long> after;
      ASSERT_EQ(TransactionPositions(sale, &after), 0);
      const size_t expected = before.size() + (rc != 0 ? 0 : op == kAdd ? 1 : op == kRemove ? -1 : 0);
      EXPECT_EQ(after.size(), expected);
      if (op == kChange) {
        POZ_RECORD now{};
        ASSERT_EQ(ReadPosition(before.front(), &now), 0);
        EXPECT_EQ(now.TOWID == changed.TOWID, rc == 0);
      }
      ExpectConsistent(base);
      CloseDatabase();
      if (HasFailure()) return;
    }
  }
  ASSERT_EQ(OpenDatabase(), 0);
}

}  // namespace
