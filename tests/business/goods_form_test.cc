// The goods form edited with keys: the price fields, the kind, the automatic number, the
// questions of saving with each answer, the refusals, and what ends up in the files.
#include <gtest/gtest.h>

#include <cstring>

#include "goods_testing.h"

namespace {

TOW_RECORD Stored(int id) {
  EXPECT_EQ(FindById(kTableGoods, AMOUNT::FromInt(id)), 0) << id;
  return Tow;
}

AMOUNT A(double v) { return AMOUNT::FromDouble(v); }

class GoodsFormTest : public GoodsTest {};

TEST_F(GoodsFormTest, NetPriceDecidesTheGrossPriceAndTheVatListKeepsTheNetPrice) {
  Demo();
  const TOW_RECORD anturium = Stored(1);  // 7.38 at 23 %
  ASSERT_EQ(anturium.CENA, A(7.38));
  AltKey('c');
  Keys("6");  // maps back to 7.38: the gross price is not touched
  TabKey();
  Shoot();  // 0
  AltKey('c');
  Keys("6,01");
  TabKey();
  Shoot();  // 1
  AltKey('v');
  Shoot();  // 2: the VAT list
  K('b');   // " &B:  8% "
  Shoot();  // 3
  AltKey('o');
  K('t');  // no PKWiU symbol now that the rate is not the basic one: accepted
  ASSERT_EQ(EditGoods(anturium), 0);

  EXPECT_TRUE(ShotHas(0, "7,38"));
  EXPECT_TRUE(ShotHas(1, "7,39"));
  EXPECT_TRUE(ShotHas(1, "6,01"));
  EXPECT_TRUE(ShotHas(2, " A: 23% "));
  EXPECT_TRUE(ShotHas(2, " N:  -  "));
  EXPECT_TRUE(ShotHas(3, "6,49"));  // 6.01 + 8 %
  EXPECT_TRUE(ShotHas(3, "6,01"));
  const TOW_RECORD t = Stored(1);
  EXPECT_EQ(t.CENA, A(6.49));
  EXPECT_EQ(t.VATID, AMOUNT::FromInt(13));
  EXPECT_EQ(t.DATAPRZEC, DateToday());
  EXPECT_STREQ(t.NR, anturium.NR);  // an unchanged number is not asked about
}

TEST_F(GoodsFormTest, GrossPriceSetsTheNetPriceAndEscStoresNothing) {
  Demo();
  const TOW_RECORD anturium = Stored(1);
  AltKey('b');
  Keys("3,69");
  TabKey();
  Shoot();
  AltKey('c');
  Keys("-5");  // a negative net price keeps the cursor
  TabKey();
  Shoot();
  EscKey();
  EXPECT_EQ(EditGoods(anturium), -1);
  EXPECT_TRUE(ShotHas(0, "3,00"));
  EXPECT_TRUE(CaretIn(1, goods_form(), kGoodsNet));
  EXPECT_EQ(Stored(1).CENA, A(7.38));
  EXPECT_EQ(Stored(1).DATAPRZEC, anturium.DATAPRZEC);
}

TEST_F(GoodsFormTest, ServiceKindClearsMarginAndStockAndStockKindRecomputesIt) {
  Demo();
  const TOW_RECORD anturium = Stored(1);
  ASSERT_GT(anturium.STAN, AMOUNT());
  ASSERT_EQ(anturium.MARZA, AMOUNT::FromInt(50));
  AltKey('d');
  Shoot();  // the kinds list
  K('u');   // " &usługa "
  AltKey('o');
  ASSERT_EQ(EditGoods(anturium), 0);
  EXPECT_TRUE(ShotHas(0, " koszt reklamy "));
  TOW_RECORD t = Stored(1);
  EXPECT_EQ(t.RODZAJ[0], 'U');
  EXPECT_EQ(t.MARZA, AMOUNT());
  EXPECT_EQ(t.STANMIN, AMOUNT());
  EXPECT_EQ(t.STAN, AMOUNT());
  // The margin and minimum stock of a service cannot be edited.
  EXPECT_NE(goods_form()[kGoodsMargin].state & kStateDisabled, 0);

  AltKey('d');
  K('t');  // back to " &towar handlowy ": the stock comes from the positions
  AltKey('o');
  ASSERT_EQ(EditGoods(t), 0);
  t = Stored(1);
  EXPECT_EQ(t.RODZAJ[0], 'T');
  EXPECT_EQ(t.STAN, anturium.STAN);
  EXPECT_EQ(goods_form()[kGoodsMargin].state & kStateDisabled, 0);
}

TEST_F(GoodsFormTest, AutomaticNumbersStartAt000001AndContinueTheGroup) {
  Keys("Pierwszy");
  AltKey('o');
  ASSERT_EQ(EditGoods(NewGoodsRecord()), 0);
  Keys("Drugi");
  AltKey('o');
  ASSERT_EQ(EditGoods(NewGoodsRecord()), 0);
  EXPECT_STREQ(Stored(1).NR, "000001");
  EXPECT_STREQ(Stored(2).NR, "000002");
  EXPECT_STREQ(Stored(2).NAZWA, "Drugi");
  EXPECT_EQ(Stored(2).WOFERCIE, 1);
  EXPECT_STREQ(Stored(2).JMIARY, "szt.");

  // Without the option a new goods keeps an empty number.
  ASSERT_EQ(SetAutoProductNr(0), 0);
  Keys("Trzeci");
  AltKey('o');
  ASSERT_EQ(EditGoods(NewGoodsRecord()), 0);
  EXPECT_STREQ(Stored(3).NR, "");
  ExpectTablesSound();
}

TEST_F(GoodsFormTest, ANewGoodsOfAGroupChosenFromTheListContinuesItsNumbers) {
  Demo();
  TableSetIndex(kTableGroups, 1);
  ASSERT_EQ(TableFirst(kTableGroups), 0);  // "Alkohole", numbers AL0001..AL0004
  Keys("Whisky");
  AltKey('g');
  Shoot();     // the group list
  EnterKey();  // " &Ok " on "Alkohole"
  Shoot();
  AltKey('o');
  ASSERT_EQ(EditGoods(NewGoodsRecord()), 0);
  EXPECT_TRUE(ShotHas(0, "GRUPY TOWARÓW"));
  EXPECT_TRUE(ShotHas(1, "Alkohole"));
  const TOW_RECORD t = Stored(17);
  EXPECT_STREQ(t.NR, "AL0005");
  EXPECT_EQ(t.GTOID, AMOUNT::FromInt(2));
}

TEST_F(GoodsFormTest, MissingPkwiuIsAskedAboutForStoredGoodsOutsideTheBasicRate) {
  Demo();
  ASSERT_EQ(FindById(kTableGoods, AMOUNT::FromInt(1)), 0);
  Tow.VATID = AMOUNT::FromInt(13);
  ASSERT_EQ(TableUpdate(kTableGoods), 0);
  const TOW_RECORD t = Tow;
  AltKey('o');
  Shoot();  // 0: the question
  K('n');   // " &Nie ": back to the symbol
  Shoot();  // 1
  AltKey('o');
  K('t');  // " &Tak "
  ASSERT_EQ(EditGoods(t), 0);
  EXPECT_TRUE(ShotHas(0, "Zaakceptować brak symbolu PKWiU towaru?"));
  EXPECT_TRUE(CaretIn(1, goods_form(), kGoodsSww));

  // A symbol, the basic rate or the warning switched off: no question (the next key would
  // otherwise answer it and the form would still be open when the keys run out).
  for (int round = 0; round < 3; ++round) {
    TOW_RECORD u = Stored(1);
    if (round == 0) std::strcpy(u.SWW, "01.19.21");
    if (round == 1) u.VATID = AMOUNT::FromInt(12);
    if (round == 2) {
      ASSERT_EQ(SetWarnNoSWW(0), 0);
    }
    AltKey('o');
    Shoot();
    ASSERT_EQ(EditGoods(u), 0) << round;
    EXPECT_FALSE(ShotHas(2 + round, "PKWiU")) << round;
  }
  // A new goods is never asked about.
  ASSERT_EQ(SetWarnNoSWW(1), 0);
  TOW_RECORD fresh = NewGoodsRecord();
  fresh.VATID = AMOUNT::FromInt(13);
  Keys("Nowy");
  AltKey('o');
  ASSERT_EQ(EditGoods(fresh), 0);
  EXPECT_TRUE(GoodsNamed("Nowy"));
}

TEST_F(GoodsFormTest, DuplicateNameNumberAndBarcodeAreAskedWithEachAnswer) {
  Demo();
  // Name, compared without regard to case: first corrected, then accepted.
  Keys("anturium");
  AltKey('o');
  Shoot();  // 0
  K('p');   // " &Poprawić "
  Shoot();  // 1
  AltKey('o');
  K('z');  // " &Zaakceptować "
  ASSERT_EQ(EditGoods(NewGoodsRecord()), 0);
  EXPECT_TRUE(ShotHas(0, "Towar o podanej nazwie już istnieje."));
  EXPECT_TRUE(CaretIn(1, goods_form(), kGoodsName));
  EXPECT_STREQ(Stored(17).NAZWA, "anturium");
  EXPECT_STREQ(Stored(17).NR, "KW0013");  // after the highest number of the file

  // A taken number: a new one is given.
  Keys("Rum");
  AltKey('r');
  Keys("AL0001");
  AltKey('o');
  Shoot();  // 2
  K('n');   // " &Nadać nowy "
  ASSERT_EQ(EditGoods(NewGoodsRecord()), 0);
  EXPECT_TRUE(ShotHas(2, "Towar o podanym numerze już istnieje."));
  EXPECT_STREQ(Stored(18).NR, "KW0014");

  // A taken number in other letters: corrected, then kept.
  Keys("Gin");
  AltKey('r');
  Keys("al0002");
  AltKey('o');
  K('p');
  Shoot();  // 3
  AltKey('o');
  K('z');
  ASSERT_EQ(EditGoods(NewGoodsRecord()), 0);
  EXPECT_TRUE(CaretIn(3, goods_form(), kGoodsNumber));
  EXPECT_STREQ(Stored(19).NR, "al0002");

  // Barcodes: twelve digits get their check digit when the field is left.
  AltKey('k');
  Keys("590123412345");
  TabKey();
  AltKey('o');
  K('z');  // "anturium" is there now too
  ASSERT_EQ(EditGoods(Stored(1)), 0);
  EXPECT_STREQ(Stored(1).EAN, "5901234123457");
  Keys("Inny");
  AltKey('k');
  Keys("5901234123457");
  AltKey('o');
  Shoot();  // 4
  K('p');
  Shoot();  // 5
  AltKey('o');
  K('z');
  ASSERT_EQ(EditGoods(NewGoodsRecord()), 0);
  EXPECT_TRUE(ShotHas(4, "Towar o podanym kodzie kreskowym już istnieje."));
  EXPECT_TRUE(CaretIn(5, goods_form(), kGoodsBarcode));
  EXPECT_STREQ(Stored(20).EAN, "5901234123457");
  // Saving a goods with its own unchanged barcode asks nothing.
  AltKey('o');
  ASSERT_EQ(EditGoods(Stored(20)), 0);
  ExpectTablesSound();
}

TEST_F(GoodsFormTest, RefusalsKeepTheFormOnTheFieldAndStoreNothing) {
  Demo();
  // An empty name.
  AltKey('o');
  Shoot();  // 0
  EscKey();
  EXPECT_EQ(EditGoods(NewGoodsRecord()), -1);
  EXPECT_TRUE(CaretIn(0, goods_form(), kGoodsName));

  // Packaging of 0 and a negative minimum stock keep the cursor.
  Keys("Ser");
  AltKey('z');
  CtrlY();
  TabKey();
  Shoot();  // 1
  Keys("2");
  AltKey('l');
  Keys("-3");
  TabKey();
  Shoot();  // 2
  EscKey();
  EXPECT_EQ(EditGoods(NewGoodsRecord()), -1);
  EXPECT_TRUE(CaretIn(1, goods_form(), kGoodsPackaging));
  EXPECT_TRUE(CaretIn(2, goods_form(), kGoodsMinStock));

  // No unit: the cursor on the unit, whose list Space opens; no VAT rate: the VAT list.
  TOW_RECORD no_unit = NewGoodsRecord();
  std::strcpy(no_unit.NAZWA, "Ser");
  no_unit.JMIARY[0] = 0;
  AltKey('o');
  SpaceKey();
  Shoot();  // 3
  EscKey();
  EscKey();
  EXPECT_EQ(EditGoods(no_unit), -1);
  EXPECT_TRUE(ShotHas(3, "szt."));
  TOW_RECORD no_vat = NewGoodsRecord();
  std::strcpy(no_vat.NAZWA, "Ser");
  no_vat.VATID = AMOUNT();
  AltKey('o');
  SpaceKey();
  Shoot();  // 4
  EscKey();
  EscKey();
  EXPECT_EQ(EditGoods(no_vat), -1);
  EXPECT_TRUE(ShotHas(4, " Z: zw  "));

  // A group deleted meanwhile.
  TOW_RECORD lost = NewGoodsRecord();
  std::strcpy(lost.NAZWA, "Ser");
  lost.GTOID = AMOUNT::FromInt(99);
  AltKey('o');
  Shoot();  // 5
  EnterKey();
  SpaceKey();  // the cursor is on the group: its list opens
  Shoot();     // 6
  EscKey();
  EscKey();
  EXPECT_EQ(EditGoods(lost), -1);
  EXPECT_TRUE(ShotHas(5, "Bieżący rekord z pliku GRUPY TOWARÓW"));
  EXPECT_TRUE(ShotHas(5, "został wcześniej usunięty."));
  EXPECT_TRUE(ShotHas(6, "GRUPY TOWARÓW"));  // the group list
  EXPECT_EQ(TableCount(kTableGoods), 16);
}

TEST_F(GoodsFormTest, UnitsAreEditedInTheirListAndWrittenToTheConfiguration) {
  Keys("Ser");
  AltKey('z');
  TabKey();    // to the unit
  EnterKey();  // its list, on "szt."
  Shoot();
  gc->push_key(0, kScanDown);
  Keys("kg");
  EnterKey();
  AltKey('o');
  ASSERT_EQ(EditGoods(NewGoodsRecord()), 0);
  EXPECT_STREQ(Stored(1).JMIARY, "kg");
  EXPECT_EQ(Measure(1), "szt.");
  EXPECT_EQ(Measure(2), "kg");
  EXPECT_NE(ReadWholeFile(dir.File("Tamsu.ini")).find("Measure2=kg"), std::string::npos);
}

TEST_F(GoodsFormTest, WithoutTheRightToModifyGoodsNothingIsSaved) {
  Demo();
  SetAdministratorFlag(0);
  ASSERT_EQ(WriteUserRights(kRightModifyDatabase | kRightReports), 0);
  CtrlY();
  Keys("Zmiana");
  AltKey('o');
  Shoot();
  EnterKey();
  EscKey();
  EXPECT_EQ(EditGoods(Stored(1)), -1);
  EXPECT_TRUE(ShotHas(0, "Brak uprawnień użytkownika:"));
  EXPECT_TRUE(ShotHas(0, "Modyfikacja towarów"));
  EXPECT_STREQ(Stored(1).NAZWA, "Anturium");

  Keys("Owoce");
  AltKey('o');
  EnterKey();
  EscKey();
  EXPECT_EQ(EditGroup(NewGroupRecord()), -1);
  EXPECT_FALSE(GroupNamed("Owoce"));
}

}  // namespace
