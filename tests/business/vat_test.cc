#include "business/vat.h"

#include <gtest/gtest.h>

#include "support/amount_testing.h"

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

TEST(GoodsKinds, OnlyGoodsProductsPackagingAndMaterialsKeepStock) {
  for (char c : std::string("TPOM")) EXPECT_TRUE(IsStockKind(c)) << c;
  for (char c : std::string("UKRWI")) EXPECT_FALSE(IsStockKind(c)) << c;
  EXPECT_FALSE(IsStockKind('X'));
  EXPECT_FALSE(IsStockKind('t'));
  EXPECT_FALSE(IsStockKind('\0'));
}
