// A file operation failing in the middle of writing a position, at every operation in turn: after
// the database is opened again the position, the stock and the sums agree, the write kept or
// undone as a whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

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
      std::filesystem::copy_file(f.path(), f.path().filename(),
                                 std::filesystem::copy_options::overwrite_existing);
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
      const size_t expected = before.size() + (rc != 0         ? 0
                                               : op == kAdd    ? 1
                                               : op == kRemove ? -1
                                                               : 0);
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

TEST_F(TransactionFaultsTest, ReadsTakeNoFailureForNoneAndWholeTransactionsAreKeptOrUndone) {
  ASSERT_EQ(SetWarnNegativeAmount(0), 0);
  const AMOUNT goods = AddGoods("Anturium", 10, 12, 50);
  const AMOUNT customer = AddContractor("Kwiaciarnia");
  const AMOUNT purchase = AddTransaction('D', DateFromYmd(2014, 3, 1), "PZ", "1");
  AddPositionTo(purchase, goods, 10, 6);
  const AMOUNT sale = AddTransaction('S', DateFromYmd(2014, 3, 2), "WZ", "7/2014", customer);
  AddPositionTo(sale, goods, 1);
  AddPositionTo(sale, goods, 2);
  const TRA_RECORD stored = StoredTransaction(sale);
  const std::map<int64_t, AMOUNT> base = {{goods.Raw(), A(50)}};
  CloseDatabase();
  Keep("start");

  // Each answers 0 when it got the right answer, -1 when it failed, anything else when wrong.
  struct STEP {
    const char* name;
    std::function<int()> run;
  } steps[] = {
      {"NextDocumentNumber",
       [&] {
         std::string n;
         return NextDocumentNumber(stored, kWarehouseDocument, &n) != 0 ? -1
                : n == "8/2014"                                         ? 0
                                                                        : 2;
       }},
      {"DocumentNumberTaken",
       [&] {
         TRA_RECORD other = stored;
         other.ID = AMOUNT();
         const int rc = DocumentNumberTaken(other, kWarehouseDocument);
         return rc == 1 ? 0 : rc < 0 ? -1 : 2;
       }},
      {"LastPurchase",
       [&] {
         POZ_RECORD p{};
         bool net = true;
         const int rc = LastPurchase(goods, &p, &net);
         return rc < 0 ? -1 : rc == 0 && p.TRAID == purchase && !net ? 0 : 2;
       }},
      {"LastSaleToContractor",
       [&] {
         POZ_RECORD p{};
         const int rc = LastSaleToContractor(goods, customer, &p);
         return rc < 0 ? -1 : rc == 0 && p.TRAID == sale ? 0 : 2;
       }},
      {"LatestTransaction",
       [&] {
         TRA_RECORD t{};
         const int rc = LatestTransaction(&t);
         return rc < 0 ? -1 : rc == 0 && t.ID == sale ? 0 : 2;
       }},
      {"FlipTransactionKind", [&] { return FlipTransactionKind(sale, 'D'); }},
      {"DeleteTransaction", [&] { return DeleteTransaction(sale); }},
  };
  for (const STEP& step : steps) {
    bool failed = true;
    for (long n = 1; failed; ++n) {
      SCOPED_TRACE(testing::Message() << step.name << ", failing file operation " << n);
      ASSERT_LT(n, 2000);
      PutBack("start");
      ASSERT_EQ(OpenDatabase(), 0);
      COUNTING_HANDLER handler;
      CFILE::SetHandler(&handler);
      SetFileFault(0, n, false);
      const int rc = step.run();
      ClearFileFault();
      CFILE::SetHandler(nullptr);
      failed = handler.reports > 0;
      EXPECT_TRUE(rc == 0 || (failed && rc == -1)) << rc;
      CloseDatabase();
      ASSERT_EQ(OpenDatabase(), 0);
      // A transaction is of one kind, or gone with all its positions.
      TRA_RECORD t{};
      const int found = ReadRecordById(kTableTransactions, sale, &t);
      ASSERT_GE(found, 0);
      if (found == kTableEnd) EXPECT_EQ(LivePositions(sale), 0);
      else
        EXPECT_EQ(t.RODZAJ[0],
                  rc == 0 && std::string(step.name) == "FlipTransactionKind" ? 'D' : 'S');
      ExpectConsistent(base);
      CloseDatabase();
      if (HasFailure()) return;
    }
  }
  ASSERT_EQ(OpenDatabase(), 0);
}

}  // namespace
