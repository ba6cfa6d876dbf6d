// The price change, the sale price calculation and the renumbering of goods, driven through their
// dialogs over the demonstration database: flowers KW0001 to KW0012 in group 1 "Kwiaty", spirits
// AL0001 to AL0004 in group 2 "Alkohole", all at 23 %; Lilia sells at 12.30 and was last bought
// at 10.00 net.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

#include "business/goods_numbering.h"
#include "business/options.h"
#include "business/price_calculation.h"
#include "business/price_change.h"
#include "forms_fixture.h"
#include "platform/cfile_testing.h"
#include "ui/screen.h"

namespace {

constexpr DATE kLongAgo = 700000;
const char* const kFiles[] = {"Gto.dbf", "Tow.dbf", "Kon.dbf", "Tra.dbf", "Poz.dbf",
                              "Gto.inx", "Tow.inx", "Kon.inx", "Tra.inx", "Poz.inx"};

struct Reports : CFILE::HANDLER {
  int count = 0;
  void Report(const char*, int op, int, int) override {
    if (op != kFileOpLock && op != kFileOpUnlock) ++count;
  }
};

// Answers "nothing waiting" to the first quiet_polls polls: a walk that polls for Esc sees the
// queued Esc only after that many goods.
class POLLING_CONSOLE : public SNAPSHOT_CONSOLE {
 public:
  bool key_pending() override {
    if (quiet_polls > 0) {
      --quiet_polls;
      return false;
    }
    return SNAPSHOT_CONSOLE::key_pending();
  }
  long quiet_polls = 0;
};

bool SameGoods(const TOW_RECORD& a, const TOW_RECORD& b) {
  return a.MARZA == b.MARZA && a.CENA == b.CENA && a.RABAT == b.RABAT && a.VATID == b.VATID &&
         a.DATAPRZEC == b.DATAPRZEC && std::string(a.NR) == b.NR;
}

class GoodsPricingTest : public GoodsTest {
 protected:
  void SetUp() override {
    GoodsTest::SetUp();
    polling = new POLLING_CONSOLE;
    polling->typeahead = false;
    ScreenReset();
    ASSERT_EQ(screen_open_on(polling), 0);
    con = polling;
    Demo();
    // Every goods was repriced long ago: a change shows in its date.
    TableSetIndex(kTableGoods, -1);
    for (int rc = TableFirst(kTableGoods); rc == 0; rc = TableNext(kTableGoods)) {
      Tow.DATAPRZEC = kLongAgo;
      ASSERT_EQ(TableUpdate(kTableGoods), 0);
    }
    Keep();
  }
  // What Restore goes back to: the files as they are now.
  void Keep() {
    CloseDatabase();
    for (const char* f : kFiles) pristine[f] = ReadWholeFile(f);
    ASSERT_EQ(OpenDatabase(), 0);
  }
  // The database as SetUp left it, opened, with the options at their defaults.
  void Restore() {
    CloseDatabase();
    for (const char* f : kFiles) WriteWholeFile(f, pristine[f]);
    ResetBusinessOptions();
    ASSERT_EQ(OpenDatabase(), 0);
  }
  // Every goods as stored, by name (UTF-8 names are given as Windows-1250 here).
  static std::map<std::string, TOW_RECORD> Goods() {
    std::map<std::string, TOW_RECORD> all;
    TableSetIndex(kTableGoods, -1);
    for (int rc = TableFirst(kTableGoods); rc == 0; rc = TableNext(kTableGoods))
      all[Tow.NAZWA] = Tow;
    return all;
  }
  static long Changed(const std::map<std::string, TOW_RECORD>& before) {
    long n = 0;
    for (const auto& [name, g] : Goods()) n += !SameGoods(g, before.at(name));
    return n;
  }
  // Makes the view current on the named goods or group, as the main screen would have it.
  static void Current(int view, const char* utf8) {
    set_current_view(view);
    ASSERT_TRUE(Named(view == kViewGroups ? kTableGroups : kTableGoods, utf8)) << utf8;
  }
  void Drain() {
    KeyEvent ev;
    while (con->HEADLESS_CONSOLE::key_pending()) con->HEADLESS_CONSOLE::next_key(&ev, 0);
  }
  std::map<std::string, std::string> pristine;
  POLLING_CONSOLE* polling = nullptr;
};

const TOW_RECORD& Of(const std::map<std::string, TOW_RECORD>& all, const char* utf8) {
  return all.at(Utf8ToCp1250(utf8));
}

struct DialogCase {
  const char* name;
  std::function<void()> prep;  // may be empty
  int view;
  const char* current;
  const char* keys;
  int (*run)();
  const char* goods;  // the goods checked
  std::function<bool(const TOW_RECORD&)> holds;
  long changed;
  const char* shown;  // a text the last snapshot shows, or null
};

TEST_F(GoodsPricingTest, DialogsChangeWhatTheyAreToldAndNothingElse) {
  const DATE today = DateToday();
  auto price = [](double gross, int vat) {
    return [=](const TOW_RECORD& g) {
      return g.CENA == AMOUNT::FromDouble(gross) && g.VATID == AMOUNT::FromInt(vat);
    };
  };
  auto number = [](const char* nr) {
    return [=](const TOW_RECORD& g) { return std::string(g.NR) == nr; };
  };
  const DialogCase cases[] = {
      {"-100 %",
       {},
       kViewGoods,
       "Lilia",
       "{Alt+c}-100{Alt+o}",
       price_change_dialog,
       "Koniak",
       price(0, 12),
       16,
       nullptr},
      {"-150 % gives 0",
       {},
       kViewGoods,
       "Lilia",
       "{Alt+c}-150{Alt+o}",
       price_change_dialog,
       "Storczyk",
       price(0, 12),
       16,
       nullptr},
      {"23 % to 8 %, gross updated",
       {},
       kViewGoods,
       "Lilia",
       "{Alt+j}{Alt+v}b{Alt+o}",
       price_change_dialog,
       "Lilia",
       price(10.80, 13),
       1,
       nullptr},
      {"23 % to 8 %, gross kept",
       {},
       kViewGoods,
       "Lilia",
       "{Alt+j}{Alt+v}b{Alt+a}{Alt+o}",
       price_change_dialog,
       "Lilia",
       price(12.30, 13),
       1,
       nullptr},
      {"-10 % on net prices", [] { SetPriceSaleNettoShow(1); }, kViewGoods, "Frezja",
       "{Alt+j}{Alt+c}-10{Alt+o}", price_change_dialog, "Frezja", price(3.87, 12), 1, nullptr},
      {"the goods of the current group",
       {},
       kViewGroups,
       "Alkohole",
       "{Alt+g}{Alt+m}5{Alt+r}2{Alt+o}",
       price_change_dialog,
       "Koniak",
       [](const TOW_RECORD& g) {
         return g.MARZA == AMOUNT::FromInt(55) && g.RABAT == AMOUNT::FromInt(2) &&
                g.CENA == AMOUNT::FromDouble(147.60);
       },
       4,
       nullptr},
      {"the goods of the current goods' rate",
       [] {
         ASSERT_TRUE(Named(kTableGoods, "Koniak"));
         Tow.VATID = AMOUNT::FromInt(13);
         ASSERT_EQ(TableUpdate(kTableGoods), 0);
       },
       kViewGoods, "Koniak", "{Alt+z}{Alt+c}10{Alt+o}", price_change_dialog, "Koniak",
       price(162.36, 13), 1, nullptr},
      {"price change cancelled",
       {},
       kViewGoods,
       "Lilia",
       "{Alt+c}-50{Esc}",
       price_change_dialog,
       "Lilia",
       price(12.30, 12),
       0,
       nullptr},
      {"all goods renumbered in name order",
       {},
       kViewGoods,
       "Lilia",
       "{Alt+z}{Alt+p}{Ctrl+Y}000001{Alt+o}{Snap}{Enter}",
       goods_numbering_dialog,
       "Wódka żytnia",
       number("000016"),
       16,
       "16 rekordów uaktualnionych."},
      {"only the goods of the group without a number",
       [] {
         ASSERT_TRUE(Named(kTableGoods, "Koniak"));
         Tow.NR[0] = 0;
         ASSERT_EQ(TableUpdate(kTableGoods), 0);
       },
       kViewGroups, "Alkohole", "{Alt+g}{Alt+p}{Ctrl+Y}AL0009{Alt+o}{Snap}{Enter}",
       goods_numbering_dialog, "Koniak", number("AL0009"), 1, "1 rekordów uaktualnionych."},
      {"numbers that would repeat are refused",
       {},
       kViewGroups,
       "Kwiaty",
       "{Alt+g}{Alt+z}{Alt+p}{Ctrl+Y}al0003{Alt+o}{Snap}{Enter}",
       goods_numbering_dialog,
       "Anturium",
       number("KW0001"),
       0,
       "Numer al0003 otrzymałby więcej niż jeden towar."},
      {"renumbering cancelled",
       {},
       kViewGoods,
       "Lilia",
       "{Alt+z}{Alt+p}{Ctrl+Y}000001{Esc}",
       goods_numbering_dialog,
       "Lilia",
       number("KW0007"),
       0,
       nullptr},
  };
  for (const DialogCase& c : cases) {
    SCOPED_TRACE(c.name);
    Restore();
    SetPriceSaleNettoShow(0);  // kept in Tamsu.ini from case to case
    if (c.prep) c.prep();
    const auto before = Goods();
    Current(c.view, c.current);
    con->shots.clear();
    Play(c.keys);
    c.run();
    Drain();
    const auto after = Goods();
    EXPECT_TRUE(c.holds(Of(after, c.goods)));
    EXPECT_EQ(Changed(before), c.changed);
    // What changed carries today's date of the price change; a number is no price.
    for (const auto& [name, g] : after)
      EXPECT_TRUE(SameGoods(g, before.at(name)) || c.run != price_change_dialog ||
                  g.DATAPRZEC == today)
          << name;
    EXPECT_TRUE(!c.shown || ShotHas(Shots() - 1, c.shown));
    ExpectTablesSound();
  }
}

// Stopped half-way, by Esc before any goods or by a fault at any read or write, each goods of the
// group is as it was or wholly changed, the indexes agree with the records and a failure was
// reported.
TEST_F(GoodsPricingTest, AnInterruptedChangeLeavesEachGoodsOldOrNew) {
  // Group 3 "Inne" gets two goods: every step of the walk is interrupted in turn.
  for (const char* name : {"Koniak", "Wino czerwone"}) {
    ASSERT_TRUE(Named(kTableGoods, name));
    Tow.GTOID = AMOUNT::FromInt(3);
    ASSERT_EQ(TableUpdate(kTableGoods), 0);
  }
  Keep();
  struct Op {
    const char* name;
    const char* keys;
    int (*run)();
  };
  const Op ops[] = {
      {"price change", "{Alt+g}{Alt+c}-10{Alt+v}b{Alt+o}", price_change_dialog},
      {"renumbering", "{Alt+g}{Alt+z}{Alt+p}{Ctrl+Y}N001{Alt+o}", goods_numbering_dialog},
  };
  Reports reports;
  CFILE::SetHandler(&reports);
  for (const Op& op : ops) {
    auto run = [&](int kind, long fault_at) {
      Current(kViewGroups, "Inne");
      if (fault_at > 0) SetFileFault(kind, fault_at, false);
      Play(op.keys);
      op.run();
      Drain();
      TableFlushAll();  // as the program does once it waits for the user
      return Goods();
    };
    Restore();
    const auto before = Goods();
    const auto whole = run(0, 0);
    ASSERT_EQ(Changed(before), 2) << op.name;
    auto expect_old_or_new = [&](const std::string& trace) {
      SCOPED_TRACE(trace);
      // As the next run of the program finds the files.
      CloseDatabase();
      EXPECT_EQ(OpenDatabase(), 0);
      long changed = 0;
      for (const auto& [name, g] : Goods()) {
        const bool old = SameGoods(g, before.at(name)), now = SameGoods(g, whole.at(name));
        EXPECT_TRUE(old || now) << name;
        changed += !old;
      }
      ExpectTablesSound();
      return changed;
    };
    std::set<long> partial;
    for (long polls = 0; polls <= 2; ++polls) {
      Restore();
      polling->typeahead = true;
      polling->quiet_polls = polls;
      Play(std::string(op.keys) + "{Esc}{Enter}{Enter}");
      Current(kViewGroups, "Inne");
      op.run();
      polling->typeahead = false;
      Drain();
      partial.insert(
          expect_old_or_new(std::string(op.name) + ", Esc after " + std::to_string(polls)));
    }
    EXPECT_EQ(partial, (std::set<long>{0, 1, 2})) << op.name;
    for (int kind : {kFileOpRead, kFileOpWrite}) {
      long nth = 1;
      for (;; ++nth) {
        Restore();
        reports.count = 0;
        run(kind, nth);
        const bool struck = FileFaultStruck();
        ClearFileFault();
        if (!struck) break;
        expect_old_or_new(std::string(op.name) + (kind == kFileOpRead ? ", read " : ", write ") +
                          std::to_string(nth));
        EXPECT_GT(reports.count, 0);
        ASSERT_LT(nth, 1000);
      }
      // Two goods: their records, the header, and the index pages written in one flush.
      EXPECT_GT(nth, kind == kFileOpRead ? 10 : 5) << op.name;
    }
  }
  CFILE::SetHandler(nullptr);
}

// The calculation over Lilia (sold at 12.30 with margin 50, last bought at 10.00 net, 23 %), from
// the menu and from the position form of a sale and of a purchase.
TEST_F(GoodsPricingTest, CalculationFromAPurchasePriceAndBack) {
  struct Case {
    const char* name;
    const char* keys;
    char kind;  // 0: from the menu; 'S' or 'D': from a position of that kind at 12.30
    double goods_price, goods_margin, position_price;
    const char* shown;  // in the first snapshot
  };
  const Case cases[] = {
      // 10.00 net + 23 % = 12.30, + 25 % = 15.375: 15.38 gross, 12.50 net.
      {"margin to price, margin saved", "{Ctrl+Y}25{Tab}{Snap}{Alt+z}{Alt+o}", 0, 15.38, 25, 0,
       "12,50 zł"},
      {"price to margin, margin kept", "{Tab}{Tab}{Tab}{Ctrl+Y}14,76{Tab}{Snap}{Alt+o}", 0, 14.76,
       50, 0, "      20,00 %"},
      {"a price not above the purchase, refused", "{Tab}{Tab}{Tab}{Ctrl+Y}12,00{Alt+o}{Snap}n{Esc}",
       0, 12.30, 50, 0, "Zaakceptować cenę sprzedaży"},
      {"a sale position takes the price", "{Ctrl+Y}25{Tab}{Snap}{Alt+o}", 'S', 12.30, 50, 15.38,
       "15,38"},
      {"a purchase gives the goods the price", "{Ctrl+Y}25{Tab}{Snap}{Alt+z}{Alt+o}", 'D', 15.38,
       25, 12.30, "15,38"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Restore();
    SetWarnLowSalePrice(1);
    ASSERT_TRUE(Named(kTableGoods, "Lilia"));
    con->shots.clear();
    Play(c.keys);
    POZ_RECORD p{};
    if (c.kind == 0) {
      calculate_current_goods_price();
    } else {
      TRA_RECORD t{};
      t.RODZAJ[0] = c.kind;
      p.TOWID = Tow.ID;
      p.CENA = AMOUNT::FromDouble(12.30);
      p.VATID = AMOUNT::FromInt(12);
      EXPECT_EQ(PositionPriceCalculation(t, &p), c.kind == 'S' ? 0 : -1);
      EXPECT_EQ(p.CENA, AMOUNT::FromDouble(c.position_price));
    }
    Drain();
    EXPECT_TRUE(ShotHas(0, c.shown));
    ASSERT_TRUE(Named(kTableGoods, "Lilia"));
    EXPECT_EQ(Tow.CENA, AMOUNT::FromDouble(c.goods_price));
    EXPECT_EQ(Tow.MARZA, AMOUNT::FromDouble(c.goods_margin));
    EXPECT_EQ(Tow.DATAPRZEC, c.goods_price == 12.30 ? kLongAgo : DateToday());
  }
}

}  // namespace
