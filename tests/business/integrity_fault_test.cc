// The business operations that read tables before they write, with a file fault at each of their
// file operations in turn: the data stay as they were or the operation is whole, a failure is
// reported, and no record that others refer to is ever deleted.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "business/contractor_store.h"
#include "business/goods_commands.h"
#include "business/goods_rules.h"
#include "business/options.h"
#include "db/db_events.h"
#include "db/table_check.h"
#include "db/table_lock.h"
#include "forms_fixture.h"
#include "platform/cfile_testing.h"

namespace {

struct Reports : CFILE::HANDLER {
  int count = 0;
  void Report(const char*, int op, int, int) override {
    if (op != kFileOpLock && op != kFileOpUnlock) ++count;
  }
};
Reports g_reports;
int g_events = 0;
AMOUNT g_next_contractor;  // the identifier a new contractor must get
long g_contractors = 0;
int CountEvent(int code, const char*, long) {
  if (code >= kDbEvBadIndexNumber && code != kDbEvNotFound) ++g_events;
  return 0;
}

const char* const kFiles[] = {"Gto.dbf", "Tow.dbf", "Kon.dbf", "Tra.dbf", "Poz.dbf",
                              "Gto.inx", "Tow.inx", "Kon.inx", "Tra.inx", "Poz.inx"};

// The data files without the date of the last change (bytes 1 to 3).
std::string Records() {
  std::string all;
  for (int t = 0; t < 5; ++t) {
    std::string f = ReadWholeFile(kFiles[t]);
    if (f.size() > 4) f.replace(1, 3, "---");
    all += f;
  }
  return all;
}

bool Live(int table, int id) {
  bool deleted = true;
  return FindById(table, AMOUNT::FromInt(id)) == 0 && TableIsDeleted(table, &deleted) == 0 &&
         !deleted;
}

class IntegrityFaultTest : public GoodsTest {
 protected:
  // The demonstration database with a group no goods belong to and goods 13 whose stored stock
  // (0) is not what its positions say (199).
  void MakePristine() {
    Demo();
    TableClear(kTableGroups);
    Gto.ID = AMOUNT::FromInt(9);
    std::strcpy(Gto.NAZWA, "Pusta");
    ASSERT_EQ(TableAppend(kTableGroups), 0);
    ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(13)), 0);
    Tow.STAN = AMOUNT();
    ASSERT_EQ(TableUpdate(kTableGoods), 0);
    ASSERT_EQ(NextRecordId(kTableContractors, &g_next_contractor), 0);
    ASSERT_EQ(TableCount(kTableContractors, &g_contractors), 0);
    CloseDatabase();
    for (const char* f : kFiles) pristine[f] = ReadWholeFile(f);
    before = Records();
  }
  void Restore() {
    for (const char* f : kFiles) WriteWholeFile(f, pristine[f]);
  }
  std::map<std::string, std::string> pristine;
  std::string before;
};

TEST_F(IntegrityFaultTest, AFaultAtAnyStepLeavesTheDataOrTheWholeOperation) {
  MakePristine();
  struct Op {
    const char* name;
    int table, id;  // the record made current first
    int (*run)();
    bool (*whole)();          // the operation's effect, when it succeeded
    int kept_table, kept_id;  // a record others refer to, which must stay
  };
  const Op ops[] = {
      {"delete a group with goods", kTableGroups, 1, [] { return group_delete_current(); },
       [] { return false; }, kTableGroups, 1},
      {"delete sold goods", kTableGoods, 1, [] { return goods_delete_current(); },
       [] { return false; }, kTableGoods, 1},
      {"delete a contractor of a sale", kTableContractors, 6,
       [] { return DeleteCurrentContractor(); }, [] { return false; }, kTableContractors, 6},
      {"delete an unused group", kTableGroups, 9, [] { return group_delete_current(); },
       [] { return !Live(kTableGroups, 9); }, kTableGroups, 1},
      {"recompute stock", kTableGoods, 13, [] { return RecomputeCurrentStock(); },
       [] {
         return FindById(kTableGoods, AMOUNT::FromInt(13)) == 0 && Tow.STAN == AMOUNT::FromInt(199);
       },
       kTableGoods, 13},
      {"add a contractor", kTableContractors, 2,
       [] {
         KON_RECORD k{};
         std::strcpy(k.NAZWA, "Nowy kontrahent");
         ContractorField back;
         return SaveContractor(&k, 0, nullptr, -1, &back);
       },
       [] {
         long n = 0;
         return TableCount(kTableContractors, &n) == 0 && n == g_contractors + 1 &&
                Live(kTableContractors, static_cast<int>(g_next_contractor.Whole())) &&
                std::strcmp(Kon.NAZWA, "Nowy kontrahent") == 0;
       },
       kTableContractors, 6},
  };
  CFILE::SetHandler(&g_reports);
  SetEventHandler(CountEvent);
  int faults = 0;
  for (const Op& op : ops) {
    // The answer without a fault: a failure that differs from it must have been reported.
    Restore();
    ASSERT_EQ(OpenDatabase(), 0);
    ASSERT_EQ(FindById(op.table, AMOUNT::FromInt(op.id)), 0);
    const int clean = op.run();
    CloseDatabase();
    for (long nth = 1;; ++nth) {
      SCOPED_TRACE(std::string(op.name) + ", file operation " + std::to_string(nth));
      Restore();
      ASSERT_EQ(OpenDatabase(), 0);
      ASSERT_EQ(FindById(op.table, AMOUNT::FromInt(op.id)), 0);
      g_reports.count = g_events = 0;
      SetFileFault(0, nth, false);
      const int rc = op.run();
      const bool struck = FileFaultStruck();
      ClearFileFault();
      CloseDatabase();
      ASSERT_EQ(OpenDatabase(), 0);
      for (int t = 0; t < 5; ++t) {
        std::string problem;
        EXPECT_EQ(CheckTable(t, &problem), 0) << t << ": " << problem;
      }
      EXPECT_TRUE(Live(op.kept_table, op.kept_id));
      if (rc == 0) {
        EXPECT_TRUE(op.whole());
      } else {
        CloseDatabase();
        EXPECT_TRUE(Records() == before) << "the data changed";
        ASSERT_EQ(OpenDatabase(), 0);
      }
      if (rc != clean) {
        EXPECT_GT(g_reports.count + g_events, 0);
      }
      CloseDatabase();
      if (!struck) break;
      ++faults;
      ASSERT_LT(nth, 400);
    }
  }
  CFILE::SetHandler(nullptr);
  EXPECT_GT(faults, 60);
}

}  // namespace
