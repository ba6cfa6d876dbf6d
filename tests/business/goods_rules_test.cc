// New identifiers, the automatic goods number, the stock recomputed from the positions and the
// references that keep groups and goods from being deleted.
#include <cstring>

#include "business/goods_rules.h"
#include "business/options.h"
#include "forms_fixture.h"

namespace {

using GoodsRulesTest = GoodsTest;

void AddNumbered(int id, const char* number, int group) {
  AddGoods(id, ("Towar " + std::to_string(id)).c_str(), number, group);
}

TEST_F(GoodsRulesTest, NextRecordIdFollowsTheLastIdentifierAndKeepsThePlace) {
  EXPECT_EQ(NextRecordId(kTableGroups), AMOUNT::FromInt(1));
  AddContractor(-5, "Ujemny");  // an identifier below zero counts as zero
  EXPECT_EQ(NextRecordId(kTableContractors), AMOUNT::FromInt(1));
  Demo();
  TableSetIndex(kTableGoods, 1);
  ASSERT_EQ(TableLast(kTableGoods), 0);
  const long at = TableRecNo(kTableGoods);
  const std::string name = Tow.NAZWA;
  EXPECT_EQ(NextRecordId(kTableGoods), AMOUNT::FromInt(17));
  EXPECT_EQ(NextRecordId(kTableGroups), AMOUNT::FromInt(4));
  EXPECT_EQ(TableRecNo(kTableGoods), at);
  EXPECT_EQ(TableGetIndex(kTableGoods), 1);
  EXPECT_EQ(std::string(Tow.NAZWA), name);
}

TEST_F(GoodsRulesTest, GoodsNumbers) {
  // An empty file: zeros six wide, counted on.
  EXPECT_EQ(NextGoodsNumber(AMOUNT(), AMOUNT()), "000001");
  EXPECT_EQ(NextGoodsNumber(AMOUNT(), AMOUNT::FromInt(3)), "000001");
  AddNumbered(1, "AL0004", 2);
  AddNumbered(2, "AL0002", 2);
  AddNumbered(3, "KW0009", 1);
  AddNumbered(4, "", 3);
  // The group's highest number counted on; other groups and the file's highest.
  EXPECT_EQ(NextGoodsNumber(AMOUNT(), AMOUNT::FromInt(2)), "AL0005");
  EXPECT_EQ(NextGoodsNumber(AMOUNT(), AMOUNT::FromInt(1)), "KW0010");
  EXPECT_EQ(NextGoodsNumber(AMOUNT(), AMOUNT()), "KW0010");
  // A group whose last goods has no number, and a group without goods, go by the file.
  EXPECT_EQ(NextGoodsNumber(AMOUNT(), AMOUNT::FromInt(3)), "KW0010");
  EXPECT_EQ(NextGoodsNumber(AMOUNT(), AMOUNT::FromInt(9)), "KW0010");
  // The goods being numbered does not count itself: being the last of its group and of the
  // file, it starts from zeros again.
  EXPECT_EQ(NextGoodsNumber(AMOUNT::FromInt(3), AMOUNT::FromInt(1)), "000001");
  EXPECT_EQ(NextGoodsNumber(AMOUNT::FromInt(1), AMOUNT::FromInt(2)), "KW0010");
  // The group's next number taken elsewhere: the file's highest number counted on.
  AddNumbered(5, "AL0005", 1);
  EXPECT_EQ(NextGoodsNumber(AMOUNT(), AMOUNT::FromInt(2)), "KW0010");
  // The goods table keeps its place.
  TableSetIndex(kTableGoods, 1);
  ASSERT_EQ(TableFirst(kTableGoods), 0);
  const long at = TableRecNo(kTableGoods);
  NextGoodsNumber(AMOUNT(), AMOUNT::FromInt(2));
  EXPECT_EQ(TableRecNo(kTableGoods), at);
  EXPECT_EQ(TableGetIndex(kTableGoods), 1);
  EXPECT_STREQ(Tow.NAZWA, "Towar 1");
}

TEST_F(GoodsRulesTest, StockIsRecomputedFromIncomeAndExpensePositions) {
  Demo();
  const TOW_RECORD anturium = [] {
    EXPECT_EQ(FindById(kTableGoods, AMOUNT::FromInt(1)), 0);
    return Tow;
  }();
  AMOUNT stock;
  ASSERT_EQ(RecomputeStock(anturium.ID, &stock), 0);
  EXPECT_EQ(stock, anturium.STAN);
  // One more expense of 2.5 lowers it by that.
  TableClear(kTablePositions);
  Poz.RODZAJ[0] = 'S';
  Poz.TOWID = anturium.ID;
  Poz.TRAID = AMOUNT::FromInt(99);
  Poz.ILOSC = AMOUNT::FromDouble(2.5);
  ASSERT_EQ(TableAppend(kTablePositions), 0);
  ASSERT_EQ(RecomputeStock(anturium.ID, &stock), 0);
  EXPECT_EQ(stock, anturium.STAN - AMOUNT::FromDouble(2.5));
  // Goods without positions have none.
  ASSERT_EQ(RecomputeStock(AMOUNT::FromInt(55), &stock), 0);
  EXPECT_EQ(stock, AMOUNT());
}

TEST_F(GoodsRulesTest, EscInterruptsTheRecomputationAndLeavesTheResultAlone) {
  Demo();
  con->typeahead = true;
  Play("{Esc}t");  // "Przerwać operację?" " &Tak "
  AMOUNT stock = AMOUNT::FromInt(7);
  EXPECT_EQ(RecomputeStock(AMOUNT::FromInt(1), &stock), -1);
  EXPECT_EQ(stock, AMOUNT::FromInt(7));
}

TEST_F(GoodsRulesTest, ReferencesToGroupsAndGoods) {
  Demo();
  EXPECT_TRUE(GroupInUse(AMOUNT::FromInt(1)));
  EXPECT_TRUE(GroupInUse(AMOUNT::FromInt(2)));
  EXPECT_FALSE(GroupInUse(AMOUNT::FromInt(3)));
  EXPECT_TRUE(GoodsInUse(AMOUNT::FromInt(1)));
  EXPECT_FALSE(GoodsInUse(AMOUNT::FromInt(77)));
  // A deleted goods no longer holds its group.
  TableClear(kTableGoods);
  Tow.ID = AMOUNT::FromInt(40);
  Tow.GTOID = AMOUNT::FromInt(3);
  std::strcpy(Tow.NAZWA, "Jedyny w grupie");
  ASSERT_EQ(TableAppend(kTableGoods), 0);
  EXPECT_TRUE(GroupInUse(AMOUNT::FromInt(3)));
  ASSERT_EQ(TableDelete(kTableGoods), 0);
  EXPECT_FALSE(GroupInUse(AMOUNT::FromInt(3)));
}

TEST_F(GoodsRulesTest, NewAndPrefilledRecords) {
  ASSERT_EQ(SetMeasure(1, "kg"), 0);  // a new goods takes the first unit of measure
  EXPECT_STREQ(NewGoodsRecord().JMIARY, "kg");
  Demo();
  ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(1)), 0);
  const TOW_RECORD p = PrefilledGoodsRecord(Tow);
  EXPECT_EQ(p.ID + p.STAN, AMOUNT());  // a copy without identifier and stock
  EXPECT_EQ(std::string(p.NAZWA) + std::to_string(p.CENA.Raw()),
            std::string(Tow.NAZWA) + std::to_string(Tow.CENA.Raw()));
}

}  // namespace
