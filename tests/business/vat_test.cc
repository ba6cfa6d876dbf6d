#include "business/vat.h"

#include <gtest/gtest.h>

#include "business/amount_testing.h"

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

TEST(GoodsKinds, OnlyGoodsProductsPackagingAndMaterialsKeepStock) {
  for (char c : std::string("TPOM")) EXPECT_TRUE(IsStockKind(c)) << c;
  for (char c : std::string("UKRWI")) EXPECT_FALSE(IsStockKind(c)) << c;
  EXPECT_FALSE(IsStockKind('X'));
  EXPECT_FALSE(IsStockKind('t'));
  EXPECT_FALSE(IsStockKind('\0'));
}
