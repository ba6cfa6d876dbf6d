// Two workstations (two real processes, "Net" = 1) selling the same goods at the same time; each
// sale's WZ is proposed the same number on both before either saves it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>

#include "transaction_testing.h"

namespace {

// Waits for the tables as long as it takes, as a user who never presses Esc.
class PATIENT_WAITER : public LOCK_WAITER {
 public:
  void Begin() override {}
  bool WantsToStop() override { return false; }
  void End() override {}
};

// A key that meets the other workstation: both have proposed a number, neither has saved it.
constexpr uint8_t kScanMeet = 0x7C;
class MEETING_CONSOLE : public SNAPSHOT_CONSOLE {
 public:
  MEETING_CONSOLE(int to_other, int from_other) : to_(to_other), from_(from_other) {}
  int next_key(KeyEvent* ev, int timeout_ms) override {
    for (;;) {
      const int r = SNAPSHOT_CONSOLE::next_key(ev, timeout_ms);
      if (r != 1 || ev->scan != kScanMeet) return r;
      char c = 'm';
      if (write(to_, &c, 1) != 1 || read(from_, &c, 1) != 1) _exit(20);
    }
  }

 private:
  int to_, from_;
};

constexpr int kSales = 10;
constexpr int kPositionsPerSale = 20;

class TransactionSharedTest : public TransactionTest {
 protected:
  // One workstation's work: sales through the form (a WZ numbered by the program), positions
  // written as the positions window writes them. The exit code says where it failed.
  [[noreturn]] void Workstation(int go, int to_other, int from_other, const AMOUNT* goods) {
    char c;
    if (read(go, &c, 1) != 1) _exit(10);
    ScreenReset();
    MEETING_CONSOLE* console = new MEETING_CONSOLE(to_other, from_other);
    console->typeahead = false;
    if (screen_open_on(console) != 0) _exit(14);
    PATIENT_WAITER waiter;
    SetLockWaiter(&waiter);
    SetNetworkFlag(true);
    if (OpenDatabase() != 0) _exit(11);
    for (int s = 0; s < kSales; ++s) {
      PlayKeys(console, "{Alt+m}z");
      console->push_key(0, kScanMeet);
      PlayKeys(console, "{Alt+o}");
      if (transaction_form_edit(kTransactionAdd, false) != 0) _exit(12);
      const TRA_RECORD t = Tra;
      RUNNING_TOTALS running(false);
      for (int i = 0; i < kPositionsPerSale; ++i) {
        POZ_RECORD p{};
        p.RODZAJ[0] = 'S';
        p.TRAID = t.ID;
        p.DATATRA = p.DATAMAG = t.DATATRA;
        p.TOWID = goods[i % 2];
        p.ILOSC = A(1);
        p.CENA = A(10);
        p.VATID = AMOUNT::FromInt(12);
        if (AddPosition(&p, &running, nullptr) != 0) _exit(13);
      }
    }
    CloseDatabase();
    _exit(0);
  }
};

TEST_F(TransactionSharedTest, NoStockChangeIsLostAndEveryNumberIsUnique) {
  const AMOUNT goods[2] = {AddGoods("Anturium", 10, 12, 1000), AddGoods("Begonia", 10, 12, 1000)};
  CloseDatabase();
  int pipes[2], one_two[2], two_one[2];
  ASSERT_EQ(pipe(pipes), 0);
  ASSERT_EQ(pipe(one_two), 0);
  ASSERT_EQ(pipe(two_one), 0);
  pid_t children[2];
  for (int i = 0; i < 2; ++i) {
    children[i] = fork();
    ASSERT_GE(children[i], 0);
    if (children[i] == 0) {
      if (i == 0) Workstation(pipes[0], one_two[1], two_one[0], goods);
      Workstation(pipes[0], two_one[1], one_two[0], goods);
    }
  }
  for (int fd : {one_two[0], one_two[1], two_one[0], two_one[1]}) close(fd);
  close(pipes[0]);
  // Both start at once.
  ASSERT_EQ(write(pipes[1], "gg", 2), 2);
  close(pipes[1]);
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  ASSERT_EQ(OpenDatabase(), 0);
  const int per_goods = 2 * kSales * kPositionsPerSale / 2;
  EXPECT_EQ(Stock(goods[0]), A(1000 - per_goods));
  EXPECT_EQ(Stock(goods[1]), A(1000 - per_goods));
  std::set<std::string> numbers;
  long sales = 0;
  for (int rc = TableFirst(kTableTransactions); rc == 0; rc = TableNext(kTableTransactions)) {
    ++sales;
    numbers.insert(Tra.DOKMAGNR);
    EXPECT_EQ(Tra.SUMA, A(10 * kPositionsPerSale));
  }
  EXPECT_EQ(sales, 2 * kSales);
  EXPECT_EQ(static_cast<long>(numbers.size()), sales);
  ExpectConsistent({{goods[0].Raw(), A(1000)}, {goods[1].Raw(), A(1000)}});
}

}  // namespace
