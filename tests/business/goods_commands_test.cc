// The record commands of groups and goods: the group form, deleting with references checked,
// the finds by number and barcode, the stock recomputation.
#include "business/goods_commands.h"
#include "business/goods_rules.h"
#include "business/goods_search.h"
#include "forms_fixture.h"
#include "ui/record_list.h"

namespace {

using GoodsCommandsTest = GoodsTest;

TEST_F(GoodsCommandsTest, GroupFormAddsRenamesAndAsksAboutADuplicateName) {
  Demo();
  Play("Owoce{Alt+o}");
  ASSERT_EQ(EditGroup(NewGroupRecord()), 0);
  ASSERT_TRUE(Named(kTableGroups, "Owoce"));
  EXPECT_EQ(Gto.ID, AMOUNT::FromInt(4));
  EXPECT_EQ(Gto.WOFERCIE, 1);

  // The question (0); " &Poprawić " (1); an empty name keeps the cursor there (2);
  // " &Zaakceptować ".
  Play("kwiaty{Alt+o}{Snap}p{Snap}{Ctrl+Y}{Alt+o}{Snap}KWIATY{Alt+o}z");
  ASSERT_EQ(EditGroup(NewGroupRecord()), 0);
  EXPECT_TRUE(ShotHas(0, "Grupa o podanej nazwie już istnieje."));
  EXPECT_TRUE(CaretIn(1, group_form(), kGroupName));
  EXPECT_TRUE(CaretIn(2, group_form(), kGroupName));
  ASSERT_TRUE(Named(kTableGroups, "KWIATY"));
  EXPECT_EQ(Gto.ID, AMOUNT::FromInt(5));

  // Editing keeps the identifier; its own name is no duplicate.
  ASSERT_TRUE(Named(kTableGroups, "Owoce"));
  Play("{Alt+u}sezonowe{Alt+o}");
  ASSERT_EQ(EditGroup(Gto), 0);
  ASSERT_TRUE(Named(kTableGroups, "Owoce"));
  EXPECT_STREQ(Gto.UWAGI, "sezonowe");
  EXPECT_EQ(Gto.ID, AMOUNT::FromInt(4));
  EXPECT_EQ(TableCount(kTableGroups), 5);
  ExpectTablesSound();
}

TEST_F(GoodsCommandsTest, RecordsInUseAreNotDeleted) {
  Demo();
  ASSERT_EQ(FindById(kTableGroups, AMOUNT::FromInt(1)), 0);  // "Kwiaty", with goods
  Play("{Snap}{Enter}");
  EXPECT_NE(group_delete_current(), 0);
  ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(1)), 0);  // sold and bought
  Play("{Snap}{Enter}");
  EXPECT_NE(goods_delete_current(), 0);
  for (size_t s : {0u, 1u}) {
    EXPECT_TRUE(ShotHas(s, "Nie można usunąć tego rekordu, ponieważ")) << s;
    EXPECT_TRUE(ShotHas(s, "     jest on użyty w innym pliku.")) << s;
  }
  EXPECT_EQ(FindById(kTableGroups, AMOUNT::FromInt(1)), 0);
  EXPECT_EQ(FindById(kTableGoods, AMOUNT::FromInt(1)), 0);

  // An unused group and goods go; the next record becomes current.
  ASSERT_EQ(FindById(kTableGroups, AMOUNT::FromInt(3)), 0);
  EXPECT_EQ(group_delete_current(), 0);
  EXPECT_NE(FindById(kTableGroups, AMOUNT::FromInt(3)), 0);
  Play("Nowy{Alt+o}");
  ASSERT_EQ(EditGoods(NewGoodsRecord()), 0);
  ASSERT_TRUE(Named(kTableGoods, "Nowy"));
  EXPECT_EQ(goods_delete_current(), 0);
  EXPECT_FALSE(Named(kTableGoods, "Nowy"));
  ExpectTablesSound();

  // Without the right nothing goes.
  SetAdministratorFlag(0);
  ASSERT_EQ(WriteUserRights(kRightModifyDatabase), 0);
  ASSERT_EQ(FindById(kTableGroups, AMOUNT::FromInt(2)), 0);
  Play("{Snap}{Enter}");  // 2
  EXPECT_NE(group_delete_current(), 0);
  EXPECT_TRUE(ShotHas(2, "Brak uprawnień użytkownika:"));
}

TEST_F(GoodsCommandsTest, FindByNumberAndBarcodeMakeTheGoodsCurrentOrOfferANewOne) {
  Demo();
  TableSetIndex(kTableGoods, 1);
  ASSERT_EQ(TableFirst(kTableGoods), 0);
  Play("{Snap}AL0003{Enter}");  // 0: the question for the number
  ASSERT_EQ(FindGoodsByNumber(), 0);
  EXPECT_TRUE(ShotHas(0, "WYSZUKANIE TOWARU"));
  EXPECT_STREQ(Tow.NR, "AL0003");
  EXPECT_EQ(TableGetIndex(kTableGoods), 1);  // the order is the list's again

  // The number must match exactly; "Nie" leaves the current goods.
  const long at = TableRecNo(kTableGoods);
  Play("al0003{Enter}{Snap}n");  // 1
  EXPECT_EQ(FindGoodsByNumber(), -1);
  EXPECT_TRUE(ShotShows(1, {"Brak towaru o podanym numerze.", "    Czy chcesz dodać nowy?"}));
  EXPECT_EQ(TableRecNo(kTableGoods), at);
  EXPECT_STREQ(Tow.NR, "AL0003");

  // "Tak": the form of a new goods with the typed number.
  Play("XZ9{Enter}t{Snap}Piwo{Alt+o}");  // 2
  ASSERT_EQ(FindGoodsByNumber(), 0);
  EXPECT_TRUE(ShotHas(2, "XZ9"));
  EXPECT_STREQ(Tow.NAZWA, "Piwo");
  EXPECT_STREQ(Tow.NR, "XZ9");

  // By barcode, also through the registered command (Ctrl+B and the search menu).
  RegisterGoodsCommands();
  Play("5900000000017{Enter}tSok{Alt+o}");
  ASSERT_EQ(run_record_command(kViewGoods, kRecordFindBarcode, 0), 0);
  EXPECT_STREQ(Tow.EAN, "5900000000017");
  ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(1)), 0);
  Play("5900000000017{Enter}");
  EXPECT_EQ(run_record_command(kViewGoods, kRecordFind2, 0), 0);
  EXPECT_STREQ(Tow.NAZWA, "Sok");
  Play("123{Enter}{Snap}n");  // 3
  EXPECT_EQ(FindGoodsByBarcode(), -1);
  EXPECT_TRUE(ShotHas(3, "Brak towaru o podanym kodzie kreskowym."));
  // Esc or an empty text ends the search at once.
  Play("{Esc}");
  EXPECT_EQ(FindGoodsByBarcode(), -1);
  Play("{Enter}");
  EXPECT_EQ(FindGoodsByNumber(), -1);
  EXPECT_EQ(TableCount(kTableGoods), 18);
}

TEST_F(GoodsCommandsTest, F8StoresTheStockOfThePositions) {
  Demo();
  ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(1)), 0);
  const AMOUNT right = Tow.STAN;
  Tow.STAN = AMOUNT::FromInt(5);
  ASSERT_EQ(TableUpdate(kTableGoods), 0);
  RegisterGoodsCommands();
  EXPECT_EQ(run_record_command(kViewGoods, kRecordRecomputeStock, 0), 0);
  ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(1)), 0);
  EXPECT_EQ(Tow.STAN, right);
  // Interrupted: the stored stock stays.
  Tow.STAN = AMOUNT::FromInt(5);
  ASSERT_EQ(TableUpdate(kTableGoods), 0);
  con->typeahead = true;
  Play("{Esc}t");
  EXPECT_NE(RecomputeCurrentStock(), 0);
  ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(1)), 0);
  EXPECT_EQ(Tow.STAN, AMOUNT::FromInt(5));
}

}  // namespace
