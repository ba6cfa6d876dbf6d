#include "business/position_values.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "business/prices.h"
#include "support/amount_testing.h"

namespace {
constexpr int k23 = 12;

void ExpectValues(const POSITION_VALUES& v, const char* const expected[10]) {
  const AMOUNT got[10] = {v.unitNet,     v.unitGross,    v.unitNetDisc, v.unitGrossDisc,
                          v.netValue,    v.vatValue,     v.grossValue,  v.netDiscount,
                          v.vatDiscount, v.grossDiscount};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(got[i], A(expected[i])) << "value " << i;
}
}  // namespace

TEST(PositionValues, GrossFirstWorkedPosition) {
  // Stored price 10.00, discount 5 %, quantity 3, VAT 23 %.
  const char* expected[10] = {"8.13", "10.00", "7.72", "9.50", "23.17",
                              "5.33", "28.50", "1.22", "0.28", "1.50"};
  ExpectValues(ComputePositionValues(A("3"), A("10.00"), A("5"), k23, false), expected);
}

TEST(PositionValues, NetFirstWorkedPosition) {
  // Stored price 12.30, discount 10 %, quantity 2, VAT 23 %.
  const char* expected[10] = {"10.00", "12.30", "9.00", "11.07", "18.00",
                              "4.14",  "22.14", "2.00", "0.46",  "2.46"};
  ExpectValues(ComputePositionValues(A("2"), A("12.30"), A("10"), k23, true), expected);
}

TEST(PositionValues, DiscountFractionIsTruncatedToFourDecimals) {
  // 12.345 % -> 0.1234 (not 0.12345): 1000.00 × 0.8766 = 876.60, where 876.55 would be exact.
  const POSITION_VALUES v = ComputePositionValues(A("1"), A("1000.00"), A("12.345"), k23, false);
  EXPECT_EQ(v.unitGrossDisc, A("876.60"));
  EXPECT_EQ(v.grossDiscount, A("123.40"));
  // Fractional quantities: 9.99 × 0.3335 = 3.331665 -> 3.33.
  EXPECT_EQ(ComputePositionValues(A("0.3335"), A("9.99"), A("0"), k23, false).grossValue,
            A("3.33"));
}

TEST(DocumentTotals, VatIsComputedOncePerRateNetFirst) {
  DOCUMENT_TOTALS t;
  AddToTotals(&t, A("1"), "szt.", A("0.12"), A("0"), k23, true);
  const POSITION_VALUES one = ComputePositionValues(A("1"), A("0.12"), A("0"), k23, true);
  EXPECT_EQ(one.netValue, A("0.10"));
  EXPECT_EQ(one.vatValue, A("0.02"));
  AddToTotals(&t, A("1"), "szt.", A("0.12"), A("0"), k23, true);
  EXPECT_EQ(t.net, A("0.20"));
  EXPECT_EQ(t.gross, A("0.25"));
  EXPECT_EQ(t.vat, A("0.05"));
  const VAT_TOTAL& slot = t.slots[VatRow(k23)];
  EXPECT_EQ(slot.net, A("0.20"));
  EXPECT_EQ(slot.vat, A("0.05"));
  EXPECT_EQ(slot.gross, A("0.25"));
  EXPECT_EQ(t.count, 2);
}

TEST(DocumentTotals, ZeroValuePositionIsCountedOnly) {
  DOCUMENT_TOTALS t;
  AddToTotals(&t, A("4"), "kg", A("0"), A("0"), k23, false);
  EXPECT_EQ(t.count, 1);
  EXPECT_EQ(t.quantity, A("4"));
  EXPECT_EQ(t.gross, AMOUNT());
  EXPECT_EQ(t.net, AMOUNT());
  for (const VAT_TOTAL& s : t.slots) EXPECT_TRUE(s.gross.IsZero() && s.net.IsZero());
  // A full discount also leaves a zero value.
  AddToTotals(&t, A("1"), "kg", A("5.00"), A("100"), k23, true);
  EXPECT_EQ(t.count, 2);
  EXPECT_EQ(t.gross, AMOUNT());
  EXPECT_EQ(t.discountGross, AMOUNT());
}

TEST(DocumentTotals, QuantitySumHoldsOnlyForOneUnit) {
  DOCUMENT_TOTALS t;
  EXPECT_FALSE(HasQuantitySum(t));
  AddToTotals(&t, A("1.5"), "kg", A("2.00"), A("0"), k23, false);
  AddToTotals(&t, A("2.25"), "kg  ", A("2.00"), A("0"), k23, false);
  EXPECT_TRUE(HasQuantitySum(t));
  EXPECT_EQ(t.quantity, A("3.75"));
  EXPECT_EQ(t.unit, "kg");
  AddToTotals(&t, A("1"), "szt.", A("2.00"), A("0"), k23, false);
  EXPECT_FALSE(HasQuantitySum(t));
  EXPECT_EQ(t.quantity, AMOUNT());
  EXPECT_EQ(t.unit, "");
  // Once mixed, a later position of either unit does not bring the sum back.
  AddToTotals(&t, A("1"), "kg", A("2.00"), A("0"), k23, false);
  EXPECT_FALSE(HasQuantitySum(t));
  EXPECT_EQ(t.quantity, AMOUNT());
  EXPECT_EQ(t.count, 4);
}

TEST(DocumentTotals, UnknownRateGoesToTheFirstSlot) {
  DOCUMENT_TOTALS t;
  AddToTotals(&t, A("1"), "szt.", A("9.99"), A("0"), 0, true);
  EXPECT_EQ(t.slots[0].gross, A("9.99"));
  EXPECT_EQ(t.slots[0].vat, AMOUNT());
}

TEST(DocumentTotals, DiscountTotalsSumThePositionsDiscounts) {
  DOCUMENT_TOTALS t;
  AddToTotals(&t, A("3"), "szt.", A("10.00"), A("5"), k23, false);
  AddToTotals(&t, A("2"), "szt.", A("12.30"), A("10"), k23, false);
  const POSITION_VALUES a = ComputePositionValues(A("3"), A("10.00"), A("5"), k23, false);
  const POSITION_VALUES b = ComputePositionValues(A("2"), A("12.30"), A("10"), k23, false);
  EXPECT_EQ(t.discountNet, a.netDiscount + b.netDiscount);
  EXPECT_EQ(t.discountVat, a.vatDiscount + b.vatDiscount);
  EXPECT_EQ(t.discountGross, A("1.50") + A("2.46"));
}

// Random documents against a per-rate computation done from scratch: sum the positions' net
// (or gross) values per rate, derive the other side once, add the rates up.
TEST(DocumentTotals, MatchPerRateSumsOfRandomDocuments) {
  std::mt19937_64 rng(4242);
  for (int doc = 0; doc < 300; ++doc) {
    const bool netFirst = doc % 2 == 0;
    DOCUMENT_TOTALS t;
    std::map<int, AMOUNT> sums;
    const int positions = 1 + static_cast<int>(rng() % 12);
    for (int p = 0; p < positions; ++p) {
      const int vatId = VAT_RATES[rng() % kVatRateCount].id;
      const AMOUNT price = AMOUNT::FromRaw(static_cast<int64_t>(rng() % 10000000) * 100);
      const AMOUNT qty = AMOUNT::FromRaw(static_cast<int64_t>(rng() % 1000000) - 200000);
      const AMOUNT disc = AMOUNT::FromRaw(static_cast<int64_t>(rng() % 5000) * 100);
      AddToTotals(&t, qty, "szt.", price, disc, vatId, netFirst);
      const POSITION_VALUES v = ComputePositionValues(qty, price, disc, vatId, netFirst);
      if (!v.grossValue.IsZero()) sums[vatId] += netFirst ? v.netValue : v.grossValue;
    }
    AMOUNT net, vat, gross;
    for (const auto& [vatId, sum] : sums) {
      const AMOUNT n = netFirst ? sum : NetFromGross(sum, vatId);
      const AMOUNT g = netFirst ? GrossFromNet(sum, vatId) : sum;
      const VAT_TOTAL& slot = t.slots[VatRow(vatId)];
      ASSERT_EQ(slot.net, n) << doc;
      ASSERT_EQ(slot.gross, g) << doc;
      ASSERT_EQ(slot.vat, g - n) << doc;
      net += n;
      vat += g - n;
      gross += g;
    }
    ASSERT_EQ(t.net, net) << doc;
    ASSERT_EQ(t.vat, vat) << doc;
    ASSERT_EQ(t.gross, gross) << doc;
    ASSERT_EQ(t.count, positions);
  }
}
