#include "business/vat.h"

#include <gtest/gtest.h>

#include <set>

#include "business/amount_testing.h"
#include "common/text.h"

TEST(VatRates, RowsStandInSearchOrderWithTheirLabelsAndRates) {
  const int order[] = {1, 14, 12, 2, 6, 5, 13, 3, 11, 10, 8, 9, 7, 4};
  for (int row = 0; row < kVatRateCount; ++row) {
    EXPECT_EQ(VAT_RATES[row].id, order[row]);
    EXPECT_EQ(VatRow(order[row]), row);
  }
  EXPECT_STREQ(VatLabel(1), "zw");
  EXPECT_STREQ(VatLabel(14), " -");
  EXPECT_STREQ(VatLabel(12), "23");
  EXPECT_STREQ(VatLabel(3), " 7");
  EXPECT_STREQ(VatLabel(4), " 0");
  EXPECT_EQ(VatRate(12), A("23"));
  EXPECT_EQ(VatRate(13), A("8"));
  EXPECT_EQ(VatRate(2), A("22"));
  EXPECT_EQ(VatRate(6), A("17"));
  EXPECT_EQ(VatRate(1), A("0"));
  EXPECT_EQ(VatRate(7), A("2"));
}

TEST(VatRates, IdentifiersOutsideTheTableHaveNoLabelAndRateZero) {
  for (int id : {0, -1, 15, 1000}) {
    EXPECT_STREQ(VatLabel(id), "") << id;
    EXPECT_EQ(VatRate(id), AMOUNT()) << id;
    EXPECT_EQ(VatRow(id), -1) << id;
  }
}

TEST(VatRates, IdFromTextSearchesFromTheSecondRow) {
  EXPECT_EQ(VatIdFromText("0"), 14);
  EXPECT_EQ(VatIdFromText("23"), 12);
  EXPECT_EQ(VatIdFromText("  8"), 13);
  EXPECT_EQ(VatIdFromText("22"), 2);
  EXPECT_EQ(VatIdFromText("17"), 6);
  EXPECT_EQ(VatIdFromText("3"), 9);
  EXPECT_EQ(VatIdFromText("007"), 3);
  // Not a number, a number no rate has, trailing text: "zw".
  EXPECT_EQ(VatIdFromText("zw"), 1);
  EXPECT_EQ(VatIdFromText("text"), 1);
  EXPECT_EQ(VatIdFromText("24"), 1);
  EXPECT_EQ(VatIdFromText("23%"), 1);
  EXPECT_EQ(VatIdFromText(""), 1);
  EXPECT_EQ(VatIdFromText("   "), 1);
  EXPECT_EQ(VatIdFromText("-8"), 1);
  EXPECT_EQ(VatIdFromText("99999999999999999999999"), 1);
}

TEST(VatRates, ChoiceListOffersElevenRatesStartingWithTheBasicOne) {
  EXPECT_STREQ(VAT_CHOICES[0].text, " &A: 23% ");
  EXPECT_EQ(VAT_CHOICES[0].id, 12);
  EXPECT_STREQ(VAT_CHOICES[4].text, " &Z: zw  ");
  EXPECT_EQ(VAT_CHOICES[10].id, 9);
  std::set<int> offered;
  for (const VAT_CHOICE& c : VAT_CHOICES) offered.insert(c.id);
  EXPECT_EQ(offered.size(), 11u);
  for (int hidden : {6, 5, 7}) EXPECT_EQ(offered.count(hidden), 0u) << hidden;
}

TEST(GoodsKinds, OnlyGoodsProductsPackagingAndMaterialsKeepStock) {
  for (char c : std::string("TPOM")) EXPECT_TRUE(IsStockKind(c)) << c;
  for (char c : std::string("UKRWI")) EXPECT_FALSE(IsStockKind(c)) << c;
  EXPECT_FALSE(IsStockKind('X'));
  EXPECT_FALSE(IsStockKind('t'));
  EXPECT_FALSE(IsStockKind('\0'));
}

TEST(GoodsKinds, NamesAndListTexts) {
  EXPECT_EQ(std::string(GoodsKindName('P')), "produkt własny"_plv);
  EXPECT_EQ(std::string(GoodsKindName('U')), "usługa"_plv);
  EXPECT_STREQ(GoodsKindName('Q'), "");
  EXPECT_EQ(std::string(GOODS_KINDS[3].list_text), " &materiał           "_plv);
  EXPECT_STREQ(GOODS_KINDS[6].list_text, " koszt &reklamy      ");
  // The list items share one width.
  for (const GOODS_KIND& k : GOODS_KINDS) EXPECT_EQ(std::string(k.list_text).size(), 21u) << k.code;
}
