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
  EXPECT_EQ(VatIdFromText("0"), 14);  // " -" of the second row, not the 0 of "zw"
  EXPECT_EQ(VatIdFromText("  8"), VatIdFromText("008"));
  EXPECT_EQ(VatRate(VatIdFromText("23")), A("23"));
  // Not a number, a number no rate has, trailing text: "zw".
  for (const char* text : {"zw", "24", "23%", "", "   ", "-8", "99999999999999999999999"})
    EXPECT_EQ(VatIdFromText(text), 1) << text;
}

TEST(GoodsKinds, OnlyGoodsProductsPackagingAndMaterialsKeepStock) {
  for (char c : std::string("TPOM")) EXPECT_TRUE(IsStockKind(c)) << c;
  for (char c : std::string("UKRWI")) EXPECT_FALSE(IsStockKind(c)) << c;
  EXPECT_FALSE(IsStockKind('X'));
  EXPECT_FALSE(IsStockKind('t'));
  EXPECT_FALSE(IsStockKind('\0'));
}
