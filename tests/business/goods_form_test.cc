// The goods form edited with keys: the price fields, the kind, the automatic number, the
// questions of saving with each answer, the refusals, and what ends up in the files.
#include <cstring>

#include "business/goods_rules.h"
#include "business/options.h"
#include "forms_fixture.h"
#include "platform/inifile.h"

namespace {

AMOUNT A(double v) { return AMOUNT::FromDouble(v); }

using GoodsFormTest = GoodsTest;

TEST_F(GoodsFormTest, NetPriceDecidesTheGrossPriceAndTheVatListKeepsTheNetPrice) {
  Demo();
  const TOW_RECORD anturium = Stored(1);  // 7.38 at 23 %
  ASSERT_EQ(anturium.CENA, A(7.38));
  // 6 maps back to 7.38: the gross price is not touched (0); 6,01 (1); the VAT list (2);
  // " &B:  8% " (3); no PKWiU symbol now that the rate is not the basic one: accepted.
  Play("{Alt+c}6{Tab}{Snap}{Alt+c}6,01{Tab}{Snap}{Alt+v}{Snap}b{Snap}{Alt+o}t");
  ASSERT_EQ(EditGoods(anturium), 0);
  EXPECT_TRUE(ShotHas(0, "7,38"));
  EXPECT_TRUE(ShotHas(1, "7,39"));
  EXPECT_TRUE(ShotHas(2, " A: 23% "));
  EXPECT_TRUE(ShotHas(3, "6,49"));  // 6.01 + 8 %
  const TOW_RECORD t = Stored(1);
  EXPECT_EQ(t.CENA, A(6.49));
  EXPECT_EQ(t.VATID, AMOUNT::FromInt(13));
  EXPECT_EQ(t.DATAPRZEC, DateToday());
  EXPECT_STREQ(t.NR, anturium.NR);  // an unchanged number is not asked about
}

TEST_F(GoodsFormTest, GrossPriceSetsTheNetPriceAndEscStoresNothing) {
  Demo();
  const TOW_RECORD anturium = Stored(1);
  Play("{Alt+b}3,69{Tab}{Snap}{Alt+c}-5{Tab}{Snap}{Esc}");  // a negative net price keeps the cursor
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
  Play("{Alt+d}{Snap}u{Alt+o}");  // the kinds list, " &usługa "
  ASSERT_EQ(EditGoods(anturium), 0);
  EXPECT_TRUE(ShotHas(0, " koszt reklamy "));
  TOW_RECORD t = Stored(1);
  EXPECT_EQ(t.RODZAJ[0], 'U');
  EXPECT_EQ(t.MARZA, AMOUNT());
  EXPECT_EQ(t.STAN, AMOUNT());
  // The margin and minimum stock of a service cannot be edited.
  EXPECT_NE(goods_form()[kGoodsMargin].state & kStateDisabled, 0);

  Play("{Alt+d}t{Alt+o}");  // back to " &towar handlowy ": the stock comes from the positions
  ASSERT_EQ(EditGoods(t), 0);
  t = Stored(1);
  EXPECT_EQ(t.RODZAJ[0], 'T');
  EXPECT_EQ(t.STAN, anturium.STAN);
  EXPECT_EQ(goods_form()[kGoodsMargin].state & kStateDisabled, 0);
}

TEST_F(GoodsFormTest, AutomaticNumbersStartAt000001AndContinueTheGroup) {
  Play("Pierwszy{Alt+o}Drugi{Alt+o}");
  ASSERT_EQ(EditGoods(NewGoodsRecord()), 0);
  ASSERT_EQ(EditGoods(NewGoodsRecord()), 0);
  EXPECT_STREQ(Stored(1).NR, "000001");
  EXPECT_STREQ(Stored(2).NR, "000002");

  // Without the option a new goods keeps an empty number.
  ASSERT_EQ(SetAutoProductNr(0), 0);
  Play("Trzeci{Alt+o}");
  ASSERT_EQ(EditGoods(NewGoodsRecord()), 0);
  EXPECT_STREQ(Stored(3).NR, "");
  ExpectTablesSound();
}

TEST_F(GoodsFormTest, ANewGoodsOfAGroupChosenFromTheListContinuesItsNumbers) {
  Demo();
  TableSetIndex(kTableGroups, 1);
  ASSERT_EQ(TableFirst(kTableGroups), 0);           // "Alkohole", numbers AL0001..AL0004
  Play("Whisky{Alt+g}{Snap}{Enter}{Snap}{Alt+o}");  // the group list, " &Ok " on "Alkohole"
  ASSERT_EQ(EditGoods(NewGoodsRecord()), 0);
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
  Play("{Alt+o}{Snap}n{Snap}{Alt+o}t");  // the question; " &Nie ": back to the symbol; " &Tak "
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
    Play("{Alt+o}{Snap}");
    ASSERT_EQ(EditGoods(u), 0) << round;
    EXPECT_FALSE(ShotHas(2 + round, "PKWiU")) << round;
  }
  // A new goods is never asked about.
  ASSERT_EQ(SetWarnNoSWW(1), 0);
  TOW_RECORD fresh = NewGoodsRecord();
  fresh.VATID = AMOUNT::FromInt(13);
  Play("Nowy{Alt+o}");
  ASSERT_EQ(EditGoods(fresh), 0);
  EXPECT_TRUE(Named(kTableGoods, "Nowy"));
}

TEST_F(GoodsFormTest, DuplicateNameNumberAndBarcodeAreAskedWithEachAnswer) {
  Demo();
  // Name, compared without regard to case: " &Poprawić " (0, 1), then " &Zaakceptować ".
  Play("anturium{Alt+o}{Snap}p{Snap}{Alt+o}z");
  ASSERT_EQ(EditGoods(NewGoodsRecord()), 0);
  EXPECT_TRUE(ShotHas(0, "Towar o podanej nazwie już istnieje."));
  EXPECT_TRUE(CaretIn(1, goods_form(), kGoodsName));
  EXPECT_STREQ(Stored(17).NAZWA, "anturium");
  EXPECT_STREQ(Stored(17).NR, "KW0013");  // after the highest number of the file

  // A taken number: " &Nadać nowy " gives a new one (2).
  Play("Rum{Alt+r}AL0001{Alt+o}{Snap}n");
  ASSERT_EQ(EditGoods(NewGoodsRecord()), 0);
  EXPECT_TRUE(ShotHas(2, "Towar o podanym numerze już istnieje."));
  EXPECT_STREQ(Stored(18).NR, "KW0014");

  // A taken number in other letters: corrected (3), then kept.
  Play("Gin{Alt+r}al0002{Alt+o}p{Snap}{Alt+o}z");
  ASSERT_EQ(EditGoods(NewGoodsRecord()), 0);
  EXPECT_TRUE(CaretIn(3, goods_form(), kGoodsNumber));
  EXPECT_STREQ(Stored(19).NR, "al0002");

  // Barcodes: twelve digits in place of the demonstration code get their check digit when the
  // field is left ("anturium" is there now too: accepted).
  Play("{Alt+k}{Ctrl+Y}590123412345{Tab}{Alt+o}z");
  ASSERT_EQ(EditGoods(Stored(1)), 0);
  EXPECT_STREQ(Stored(1).EAN, "5901234123457");
  Play("Inny{Alt+k}5901234123457{Alt+o}{Snap}p{Snap}{Alt+o}z");  // 4, 5
  ASSERT_EQ(EditGoods(NewGoodsRecord()), 0);
  EXPECT_TRUE(ShotHas(4, "Towar o podanym kodzie kreskowym już istnieje."));
  EXPECT_TRUE(CaretIn(5, goods_form(), kGoodsBarcode));
  EXPECT_STREQ(Stored(20).EAN, "5901234123457");
  // Saving a goods with its own unchanged barcode asks nothing.
  Play("{Alt+o}");
  ASSERT_EQ(EditGoods(Stored(20)), 0);
  ExpectTablesSound();
}

TEST_F(GoodsFormTest, RefusalsKeepTheFormOnTheFieldAndStoreNothing) {
  Demo();
  Play("{Alt+o}{Snap}{Esc}");  // 0: an empty name
  EXPECT_EQ(EditGoods(NewGoodsRecord()), -1);
  EXPECT_TRUE(CaretIn(0, goods_form(), kGoodsName));

  // Packaging of 0 (1) and a negative minimum stock (2) keep the cursor.
  Play("Ser{Alt+z}{Ctrl+Y}{Tab}{Snap}2{Alt+l}-3{Tab}{Snap}{Esc}");
  EXPECT_EQ(EditGoods(NewGoodsRecord()), -1);
  EXPECT_TRUE(CaretIn(1, goods_form(), kGoodsPackaging));
  EXPECT_TRUE(CaretIn(2, goods_form(), kGoodsMinStock));

  // No unit: the cursor on the unit, whose list Space opens (3); no VAT rate: the VAT list (4);
  // a group deleted meanwhile (5), and the cursor on the group, whose list opens (6).
  TOW_RECORD no_unit = NewGoodsRecord();
  std::strcpy(no_unit.NAZWA, "Ser");
  TOW_RECORD no_vat = no_unit, lost = no_unit;
  no_unit.JMIARY[0] = 0;
  no_vat.VATID = AMOUNT();
  lost.GTOID = AMOUNT::FromInt(99);
  for (const TOW_RECORD* r : {&no_unit, &no_vat}) {
    Play("{Alt+o}{Space}{Snap}{Esc}{Esc}");
    EXPECT_EQ(EditGoods(*r), -1);
  }
  Play("{Alt+o}{Snap}{Enter}{Space}{Snap}{Esc}{Esc}");
  EXPECT_EQ(EditGoods(lost), -1);
  EXPECT_TRUE(ShotHas(3, "szt."));
  EXPECT_TRUE(ShotHas(4, " Z: zw  "));
  EXPECT_TRUE(ShotHas(5, "Bieżący rekord z pliku GRUPY TOWARÓW"));
  EXPECT_TRUE(ShotHas(6, "GRUPY TOWARÓW"));  // the group list
  EXPECT_EQ(TableCount(kTableGoods), 16);
}

TEST_F(GoodsFormTest, UnitsAreEditedInTheirListAndWrittenToTheConfiguration) {
  Play("Ser{Alt+z}{Tab}{Enter}{Snap}{Down}kg{Enter}{Alt+o}");  // the unit's list, on "szt."
  ASSERT_EQ(EditGoods(NewGoodsRecord()), 0);
  EXPECT_STREQ(Stored(1).JMIARY, "kg");
  EXPECT_EQ(Measure(1), "szt.");
  EXPECT_EQ(Measure(2), "kg");
  EXPECT_NE(ReadWholeFile(ConfigPath()).find("Measure2=kg"), std::string::npos);
}

TEST_F(GoodsFormTest, WithoutTheRightToModifyGoodsNothingIsSaved) {
  Demo();
  SetAdministratorFlag(0);
  ASSERT_EQ(WriteUserRights(kRightModifyDatabase | kRightReports), 0);
  Play("{Ctrl+Y}Zmiana{Alt+o}{Snap}{Enter}{Esc}");
  EXPECT_EQ(EditGoods(Stored(1)), -1);
  EXPECT_TRUE(ShotHas(0, "Brak uprawnień użytkownika:"));
  EXPECT_STREQ(Stored(1).NAZWA, "Anturium");

  Play("Owoce{Alt+o}{Enter}{Esc}");
  EXPECT_EQ(EditGroup(NewGroupRecord()), -1);
  EXPECT_FALSE(Named(kTableGroups, "Owoce"));
}

}  // namespace
