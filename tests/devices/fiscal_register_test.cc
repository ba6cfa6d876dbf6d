// Key N of the running program against the simulated Posnet ECR register named in Tamsu.ini,
// and the readings taken into the database whole or not at all.
#include <cstring>

#include "business/demo_data.h"
#include "common/text.h"
#include "db/table_check.h"
#include "devices/register_store.h"
#include "platform/cfile.h"
#include "platform/cfile_testing.h"
#include "register_sims.h"
#include "shell/run_fixture.h"
#include "support/program_state.h"

namespace {

RegisterGoods Sale(const char* number, const char* name, double quantity, double value,
                   const char* rate = "23", const char* code = "") {
  RegisterGoods s{};
  SetField(s.number, number);
  SetField(s.name, name);
  SetField(s.code, code);
  SetField(s.taxRate, rate);
  s.quantity = AMOUNT::FromDouble(quantity);
  s.amount = AMOUNT::FromDouble(value);
  return s;
}

class RegisterOpsTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    SetSerialLockDirectory(dir.path());
    // The demonstration goods with numbers a register takes: 000001 to 000016.
    MakeDatabase([] {
      ASSERT_EQ(CreateDemoDatabase(), 0);
      for (int id = 1; id <= 16; ++id) {
        ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(id)), 0);
        std::snprintf(Tow.NR, sizeof Tow.NR, "%06d", id);
        ASSERT_EQ(TableUpdate(kTableGoods), 0);
      }
    });
    const INIFILE ini(TestConfigPath());
    ASSERT_EQ(ini.WriteInt("Fiscal Cash Register", "Type", 21), 0);
    ASSERT_EQ(ini.WriteString("Ports", "COM1", sim.path().c_str()), 0);
    sim.Start();
  }
  void TearDown() override {
    sim.Stop();
    SetSerialLockDirectory("");
    ShellTest::TearDown();
  }
  // Another run of the program on the same data and Tamsu.ini.
  void Again() {
    Restart();
    SetSerialLockDirectory(dir.path());
  }
  bool Painted(const char* text) {
    for (const PaintRecord& p : con->paints)
      if (p.chars.find(text) != std::string::npos) return true;
    return false;
  }
  static constexpr int kTaken[] = {kTableGoods, kTableTransactions, kTablePositions};
  // The live records of goods, transactions and positions field by field; the integrity check
  // too for the tables whose bit (1 goods, 2 transactions, 4 positions) is in check.
  static std::string Contents(int check = 7) {
    std::string all;
    for (int i = 0; i < 3; ++i) {
      const int t = kTaken[i];
      std::string problem;
      if (check & (1 << i)) {
        EXPECT_EQ(CheckTable(t, &problem), 0) << problem;
      }
      const int saved = TableGetIndex(t);
      TableSetIndex(t, -1);
      int rc;
      const TABLEDEF* def = TableDefinition(t);
      for (rc = TableFirst(t); rc == 0; rc = TableNext(t))
        for (int i = 0; i < def->field_count; ++i) {
          const FIELDDEF& f = def->fields[i];
          const char* p = static_cast<const char*>(TableRecord(t)) + f.struct_offset;
          all += (f.type == 'C' ? std::string(p) : std::string(p, FieldStructSize(f))) + "|";
        }
      EXPECT_EQ(rc, kTableEnd);
      TableSetIndex(t, saved);
    }
    return all;
  }
  // The bytes of the goods, transactions and positions files of the data directory (the
  // current one): the table and the index file of each.
  static constexpr const char* kFiles[] = {"Tow.dbf", "Tow.inx", "Tra.dbf",
                                           "Tra.inx", "Poz.dbf", "Poz.inx"};
  static std::vector<std::string> Files() {
    EXPECT_EQ(TableFlushAll(), 0);
    std::vector<std::string> all;
    for (const char* f : kFiles) all.push_back(ReadWholeFile(f));
    return all;
  }
  // Those files written back and the database opened on them afresh.
  static void PutBack(const std::vector<std::string>& files) {
    CloseDatabase();
    for (size_t i = 0; i < files.size(); ++i) WriteWholeFile(kFiles[i], files[i]);
    ASSERT_EQ(OpenDatabase(), 0);
  }
  static AMOUNT Stock(int goods) {
    EXPECT_EQ(FindById(kTableGoods, AMOUNT::FromInt(goods)), 0);
    return Tow.STAN;
  }

  POSNET_REG_SIM sim;
};

TEST_F(RegisterOpsTest, GoodsOutSalesBackAndALineDroppedHalfWayChangesNothing) {
  AMOUNT before;
  InData([&] { before = Stock(1); });
  // "Wysłanie cennika do kasy", "Wszystkie towary"; no key is left for the polls of the transfer,
  // and the end of the keys closes the counts and the program.
  Play("n{Snap}{Enter}{Enter}");
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(ShotHas(0, "Wysłanie cennika do kasy"));
  EXPECT_TRUE(Painted("nych:     16"));
  sim.Stop();
  ASSERT_EQ(sim.goods.size(), 16u);
  EXPECT_EQ(sim.goods[13].name, "Baccardi");
  EXPECT_EQ(sim.goods[13].price, "73.80");
  EXPECT_EQ(sim.goods[1].group, 1);
  sim.Start();
  sim.Sell(1, 10);
  sim.Sell(13, 1);

  Again();
  Play("n{Down}{Down}{Down}{Enter}{Snap}{Down}{Enter}");  // "Odczyt sprzedaży", "Z usunięciem z
                                                          // kasy"
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(ShotHas(0, "Z usunięciem z kasy i raportem fiskalnym"));
  EXPECT_TRUE(Painted("dodanych:      2"));
  sim.Stop();
  EXPECT_EQ(sim.goods[1].sold, 0);  // deleted in the register once stored
  std::string stored;
  InData([&] {
    ASSERT_EQ(TableLast(kTableTransactions), 0);
    const TRA_RECORD t = Tra;
    EXPECT_EQ(t.ID, AMOUNT::FromInt(5));
    EXPECT_EQ(t.RODZAJ[0], 'S');
    EXPECT_EQ(t.SUMA, AMOUNT::FromDouble(147.6));
    EXPECT_EQ(t.DOKFISKAL, 1);
    long n = ForEachPosition(t.ID, [] { return 0; });
    EXPECT_EQ(n, 2);
    EXPECT_EQ(Stock(1), before - AMOUNT::FromInt(10));
    stored = Contents();
  });

  // The same reading again, the line gone after the first record: nothing is written, nothing
  // is deleted in the register.
  sim.Start();
  sim.Sell(1, 3);
  sim.Sell(13, 2);
  sim.drop_after = 1;
  Again();
  Play("n{Down}{Down}{Down}{Enter}{Down}{Enter}");
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(Painted("komunikacji z urz"));
  sim.Stop();
  EXPECT_EQ(sim.goods[1].sold, 3);
  InData([&] { EXPECT_EQ(Contents(), stored); });
}

TEST_F(RegisterOpsTest, WhichSalesAndGoodsAreTakenOver) {
  struct Case {
    RegisterGoods g;
    bool accepted;
  } checks[] = {
      {Sale("000001", "A", 1, 1), true},
      {Sale("999999", "A", 1, 1), true},
      {Sale("1234567", "A", 1, 1), false},
      {Sale("000000", "A", 1, 1), false},
      {Sale("KW0001", "A", 1, 1), false},
      {Sale("", "A", 1, 1, "23", "5901234123457"), true},
      {Sale("", "A", 1, 1, "23", "5901234123458"), false},  // check digit
      {Sale("000001", "A", 1, 1, "23", "12345"), false},
      {Sale("000001", "A", 1, 1, "99"), false},
      {Sale("000001", "A", 1, 1, "zw."), true},
  };
  for (const Case& c : checks)
    EXPECT_EQ(RegisterGoodsAcceptable(c.g), c.accepted) << c.g.number << c.g.code << c.g.taxRate;
  EXPECT_EQ(RegisterVatId("0"), 4);
  EXPECT_EQ(RegisterRateText(14), "zw.");

  InData([&] {
    const AMOUNT stock1 = Stock(1), stock2 = Stock(2);
    REGISTER_COUNTS n;
    const std::vector<RegisterGoods> sales = {
        Sale("000001", "Anturium", 0, 0),          // quantity 0: passed by
        Sale("000001", "Anturium", -2, -14.76),    // a return: turned positive
        Sale("1234567", "Za długi", 1, 1),         // rejected
        Sale("000099", "Nowy towar", 4, 10, "8"),  // added as goods, 2.50 each
        Sale("000002", "Gerbera", 1, 4.92, ""),    // no rate: the goods' own
    };
    ASSERT_EQ(TakeOverSales(sales, &n), 0);
    EXPECT_EQ(n.salesAdded, 3);
    EXPECT_EQ(n.salesRejected, 1);
    EXPECT_EQ(n.added, 1);
    EXPECT_EQ(Stock(1), stock1 - AMOUNT::FromInt(2));
    EXPECT_EQ(Stock(2), stock2 - AMOUNT::FromInt(1));
    ASSERT_EQ(TableSetIndex(kTableGoods, 3), 0);
    ASSERT_EQ(TableSeek(kTableGoods, "000099"), 0);
    EXPECT_EQ(Tow.CENA, AMOUNT::FromDouble(2.5));
    EXPECT_EQ(Tow.VATID, AMOUNT::FromInt(13));

    // The price list: changed goods are counted, unchanged ones not.
    const std::vector<RegisterGoods> goods = {
        Sale("000001", "Anturium", 0, 7.38), Sale("000002", "Gerbera różowa"_pl, 0, 4.92),
        Sale("000100", "Kaktus", 0, 9.99, "8"), Sale("000101", "Bez stawki", 0, 1, "")};
    ASSERT_EQ(TakeOverGoods(goods, &n), 0);
    EXPECT_EQ(n.updated, 1);
    EXPECT_EQ(n.added, 1);
    EXPECT_EQ(n.rejected, 1);
  });
}

// A read or write failing once at any step of a take-over, or the disk filling up at any point
// of it: the take-over either fails and leaves the database as it was, or (a failure the program
// gets over, such as an option read from Tamsu.ini) does the whole work; the indexes stay sound.
TEST_F(RegisterOpsTest, AFailureAtAnyStepOfATakeOverChangesNothing) {
  const std::vector<RegisterGoods> sales = {Sale("000001", "Anturium", 2, 14.76),
                                            Sale("000098", "Nowy", 1, 3, "8")};
  enum Mode { kRead, kWrite, kDiskFull };
  InData([&] {
    for (int op = 0; op < 2; ++op) {
      for (Mode mode : {kRead, kWrite, kDiskFull}) {
        // Each mode's price list changes a goods and adds one.
        const std::vector<RegisterGoods> goods = {
            Sale("000003", "Goździk biały"_pl, 0, 3.69 + static_cast<int>(mode)),
            Sale(("00009" + std::to_string(mode)).c_str(), "Nowy", 0, 3, "8")};
        std::string before = Contents();
        std::vector<std::string> files = Files();
        for (long nth = 1;; ++nth) {
          REGISTER_COUNTS n;
          if (mode == kDiskFull) SetDiskSpace(256 * (nth - 1));
          else SetFileFault(mode == kRead ? kFileOpRead : kFileOpWrite, nth, false);
          const int rc = op == 0 ? TakeOverSales(sales, &n) : TakeOverGoods(goods, &n);
          const bool hit = mode == kDiskFull ? rc != 0 : FileFaultTripped();
          ClearFileFault();
          const std::string what =
              std::to_string(op) + " mode " + std::to_string(mode) + " step " + std::to_string(nth);
          // A take-over that failed before it wrote anything left every byte as it was; one that
          // was undone is checked record by record, its indexes too, and the files are put back
          // as they were so that every step starts from the same database.
          const std::vector<std::string> now = Files();
          int changed = 0;
          for (int i = 0; i < 3; ++i)
            changed |=
                now[2 * i] != files[2 * i] || now[2 * i + 1] != files[2 * i + 1] ? 1 << i : 0;
          if (rc != 0) {
            EXPECT_TRUE(hit && n.salesAdded == 0 && n.added == 0) << what;
            if (changed) {
              EXPECT_EQ(Contents(changed), before) << what;
              PutBack(files);
            }
          } else {
            if (op == 0) {
              EXPECT_EQ(n.salesAdded, 2) << what;
            }
            before = Contents(changed);
            files = now;
          }
          if (!hit) break;
          ASSERT_LT(nth, 2000) << what;
        }
      }
    }
  });
}

}  // namespace
