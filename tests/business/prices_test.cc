#include "business/prices.h"

#include <gtest/gtest.h>

#include <random>

#include "business/position_values.h"
#include "business/vat.h"
#include "support/amount_testing.h"

namespace {
constexpr int k23 = 12;
constexpr int k8 = 13;
}  // namespace

TEST(NetAndGross, WorkedPricesAt23Percent) {
  EXPECT_EQ(GrossFromNet(A("6.00"), k23), A("7.38"));
  EXPECT_EQ(NetFromGross(A("7.38"), k23), A("6.00"));
  EXPECT_EQ(NetFromGross(A("3.69"), k23), A("3.00"));
  EXPECT_EQ(GrossFromNet(A("6.01"), k23), A("7.39"));
  EXPECT_EQ(GrossFromNet(A("10.00"), k23), A("12.30"));
}

TEST(NetAndGross, TruncationBeforeRoundingDecides) {
  // 0.0406 × 123 = 4.9938 / 100 = 0.049938 -> 0.0499 -> 0.05; 0.0040 × 123 / 100 = 0.00492 -> 0.00
  EXPECT_EQ(GrossFromNet(A("0.0406"), k23), A("0.05"));
  EXPECT_EQ(GrossFromNet(A("0.004"), k23), A("0.00"));
  // 0.0553 × 100 / 123 = 0.044959 -> 0.0449 -> 0.04; 0.0554 gives 0.0450 -> 0.05.
  EXPECT_EQ(NetFromGross(A("0.0553"), k23), A("0.04"));
  EXPECT_EQ(NetFromGross(A("0.0554"), k23), A("0.05"));
  // Negative prices (corrections) round away from zero.
  EXPECT_EQ(GrossFromNet(A("-6.01"), k23), A("-7.39"));
  EXPECT_EQ(NetFromGross(A("-7.38"), k23), A("-6.00"));
  // Without a rate the price is only rounded.
  EXPECT_EQ(GrossFromNet(A("1.005"), 1), A("1.01"));
  EXPECT_EQ(NetFromGross(A("1.004"), 0), A("1.00"));
}

TEST(NetAndGross, TypedNetPriceChangesTheGrossOnlyWhenItMapsElsewhere) {
  // 6.00 maps back to 7.38: the stored gross stays.
  EXPECT_FALSE(NetDiffers(A("6.00"), k23, A("7.38")));
  EXPECT_TRUE(NetDiffers(A("6.01"), k23, A("7.38")));
  EXPECT_TRUE(NetDiffers(A("5.99"), k23, A("7.38")));
}

TEST(NetAndGross, ChangingTheRateKeepsTheNetPrice) {
  EXPECT_EQ(RegrossForVat(A("7.38"), k23, k8), A("6.48"));
  EXPECT_EQ(RegrossForVat(A("12.30"), k23, k8), A("10.80"));
  // 1.00 gross is net 0.81 at 23 % but 0.82 at 22 %: the net 0.81 is kept, giving 0.99.
  EXPECT_EQ(RegrossForVat(A("1.00"), k23, 2), A("0.99"));
  // A gross whose net is the same at both rates stays as it is: 0.01 is net 0.01 at 23 % and
  // at 8 %.
  EXPECT_EQ(RegrossForVat(A("0.01"), k23, k8), A("0.01"));
}

// Every rate: a price goes there and back within a grosz, comes out in whole grosze, and a
// larger price never gives a smaller one.
TEST(NetAndGross, RoundTripAndOrderForEveryRate) {
  std::mt19937_64 rng(20240401);
  std::uniform_int_distribution<int64_t> grosze(-100000000000LL, 100000000000LL);  // ±10^9 zł
  std::uniform_int_distribution<int64_t> small(-100000, 100000);
  for (const VAT_RATE& rate : VAT_RATES) {
    for (int i = 0; i < 4000; ++i) {
      // Whole grosze (prices) and four-decimal values (unit prices after a division).
      const int64_t raw = i % 2 ? grosze(rng) * 100 : (i % 4 ? small(rng) * 100 : grosze(rng));
      const AMOUNT net = AMOUNT::FromRaw(raw), more = net + AMOUNT::FromRaw(1 + rng() % 2000);
      const AMOUNT gross = GrossFromNet(net, rate.id);
      ASSERT_LE(Abs(NetFromGross(gross, rate.id) - net), A("0.01")) << rate.id << " " << raw;
      ASSERT_EQ(gross.Raw() % 100, 0);
      ASSERT_EQ(NetFromGross(net, rate.id).Raw() % 100, 0);
      ASSERT_LE(gross, GrossFromNet(more, rate.id)) << raw;
      ASSERT_LE(NetFromGross(net, rate.id), NetFromGross(more, rate.id)) << raw;
    }
  }
}

// The largest quantities and prices the fields hold never wrap round to a wrong sign: a position
// of 100 000 at 99 999 999.99 is computed exactly both ways, and a product beyond every field
// stops at the largest number (which the table layer then refuses to store).
TEST(NetAndGross, LargePositionValuesAreExactOrHeldAtTheLimit) {
  const AMOUNT quantity = AMOUNT::FromInt(100000), price = AMOUNT::FromDouble(99999999.99);
  for (bool net_first : {false, true}) {
    const POSITION_VALUES v = ComputePositionValues(quantity, price, AMOUNT(), 12, net_first);
    EXPECT_EQ(v.grossValue, AMOUNT::FromDouble(9999999999000.00)) << net_first;
    EXPECT_EQ(v.netValue, AMOUNT::FromDouble(8130081300000.00)) << net_first;
    EXPECT_EQ(v.vatValue, AMOUNT::FromDouble(1869918699000.00)) << net_first;
  }
  const AMOUNT huge = AMOUNT::FromDouble(999999999.9999) * AMOUNT::FromDouble(999999999.99);
  EXPECT_EQ(huge.Raw(), INT64_MAX);
  EXPECT_EQ((-huge * AMOUNT::FromInt(2)).Raw(), INT64_MIN);
  EXPECT_GT(GrossFromNet(huge, 12), AMOUNT());
}

TEST(Percentages, ChangeTruncatesThePercentOnly) {
  EXPECT_EQ(PercentChange(A("10.00"), A("10")), A("11.00"));
  EXPECT_EQ(PercentChange(A("10.00"), A("-100")), A("0"));
  // 0.005 % is 0.00005 -> truncated to 0.0000: no change at all.
  EXPECT_EQ(PercentChange(A("12345.6789"), A("0.005")), A("12345.6789"));
  // 3.3333 % -> 0.033333 -> 0.0333; 1.2345 × 1.0333 = 1.27560885 -> 1.2756 (not rounded).
  EXPECT_EQ(PercentChange(A("1.2345"), A("3.3333")), A("1.2756"));
  EXPECT_EQ(PercentOf(A("1"), A("3")), A("33.3333"));
  EXPECT_EQ(PercentOf(A("-2"), A("3")), A("-66.6666"));
  EXPECT_EQ(PercentOf(A("5"), A("0")), A("0"));
}

TEST(Percentages, MarginIsAMarkUpOnCost) {
  EXPECT_EQ(MarginPercent(A("25"), A("100")), A("25.00"));
  EXPECT_EQ(MarginPercent(A("2"), A("3")), A("66.67"));
  EXPECT_EQ(MarginPercent(A("-1"), A("3")), A("-33.33"));
  EXPECT_EQ(MarginPercent(A("0.01"), A("0")), A("999.99"));
  EXPECT_EQ(MarginPercent(A("-0.01"), A("0")), A("-999.99"));
  EXPECT_EQ(MarginPercent(A("0"), A("0")), A("0"));
  // Beyond the display range the value is kept; the display clamps it.
  EXPECT_EQ(MarginPercent(A("50"), A("1")), A("5000"));
  EXPECT_EQ(ClampMargin(A("5000")), A("999.99"));
  EXPECT_EQ(ClampMargin(A("-1000")), A("-999.99"));
  EXPECT_EQ(ClampMargin(A("12.5")), A("12.5"));
}

TEST(Rounding, PlacesMayBeNegative) {
  EXPECT_EQ(RoundToPlaces(A("15.375"), 2), A("15.38"));
  EXPECT_EQ(RoundToPlaces(A("-15.375"), 2), A("-15.38"));
  EXPECT_EQ(RoundToPlaces(A("14.99"), -1), A("10"));
  EXPECT_EQ(RoundToPlaces(A("15.00"), -1), A("20"));
  EXPECT_EQ(RoundToPlaces(A("-15.00"), -1), A("-20"));
  EXPECT_EQ(RoundToPlaces(A("149999.99"), -5), A("100000"));
  EXPECT_EQ(RoundToPlaces(A("150000"), -5), A("200000"));
  EXPECT_EQ(RoundToPlaces(A("0.5"), 0), A("1"));
  EXPECT_EQ(RoundToPlaces(A("1.23456"), 4), A("1.2346"));  // four places: as stored
  EXPECT_EQ(RoundToPlaces(AMOUNT::FromRaw(INT64_MAX), -5), AMOUNT::FromRaw(INT64_MAX));
  // Rounding that would leave the range keeps the value.
  EXPECT_EQ(RoundToPlaces(AMOUNT::FromRaw(INT64_MIN + 1), 0), AMOUNT::FromRaw(INT64_MIN + 1));
}

TEST(SalePrice, FromPurchasePriceAndMargin) {
  // Purchase net 10.00 at 23 % (gross 12.30), margin 25 %, no discounts.
  EXPECT_EQ(SalePriceFromMargin(A("12.30"), k23, A("0"), A("25"), k23, A("0"), false, 2),
            A("15.38"));
  EXPECT_EQ(SalePriceFromMargin(A("12.30"), k23, A("0"), A("25"), k23, A("0"), true, 2),
            A("15.38"));
  // A sale discount of 100 % or more has no price.
  EXPECT_EQ(SalePriceFromMargin(A("12.30"), k23, A("0"), A("25"), k23, A("100"), false, 2), A("0"));
  // 10 % purchase discount, 20 % margin, 10 % sale discount on 12.30:
  // 12.30 × 0.9 = 11.07; × 1.2 = 13.284; / 0.9 = 14.76 -> 14.76.
  EXPECT_EQ(SalePriceFromMargin(A("12.30"), k23, A("10"), A("20"), k23, A("10"), false, 2),
            A("14.76"));
  // Price precision −1: whole tens.
  EXPECT_EQ(SalePriceFromMargin(A("12.30"), k23, A("0"), A("25"), k23, A("0"), false, -1), A("20"));
  // A purchase at 8 % sold at 23 %: the net price carries over.
  EXPECT_EQ(SalePriceFromMargin(A("10.80"), k8, A("0"), A("0"), k23, A("0"), false, 2), A("12.30"));
  // Net mode rounds the net price to the precision, then goes back to gross: at 0 decimals
  // gross 12.30 × 1.333 = 16.3959 -> 16, net 10.00 × 1.333 = 13.33 -> 13 -> 15.99.
  EXPECT_EQ(SalePriceFromMargin(A("12.30"), k23, A("0"), A("33.3"), k23, A("0"), false, 0),
            A("16"));
  EXPECT_EQ(SalePriceFromMargin(A("12.30"), k23, A("0"), A("33.3"), k23, A("0"), true, 0),
            A("15.99"));
}

TEST(GoodsNumbers, IncrementCarriesThroughNines) {
  EXPECT_EQ(IncrementNumber("KW0009", 13), "KW0010");
  EXPECT_EQ(IncrementNumber("999", 13), "1000");
  EXPECT_EQ(IncrementNumber("ABC", 13), "ABC1");
  EXPECT_EQ(IncrementNumber("AL0004", 13), "AL0005");
  EXPECT_EQ(IncrementNumber("000000", 13), "000001");
  EXPECT_EQ(IncrementNumber("", 13), "1");
  // Non-digits between digits are skipped.
  EXPECT_EQ(IncrementNumber("1-9/9", 13), "2-0/0");
  EXPECT_EQ(IncrementNumber("A9B9", 13), "A10B0");
  // At the limit a number of nines wraps to zeros.
  EXPECT_EQ(IncrementNumber("9999999999999", 13), "0000000000000");
  EXPECT_EQ(IncrementNumber("X99", 3), "X00");
  EXPECT_EQ(IncrementNumber("ABC", 3), "ABC");
}

TEST(GoodsNumbers, IncrementCountsUpLikeANumber) {
  std::mt19937_64 rng(99);
  for (int i = 0; i < 5000; ++i) {
    const int width = 1 + static_cast<int>(rng() % 12);
    uint64_t limit = 1;
    for (int w = 0; w < width; ++w) limit *= 10;
    const uint64_t n = rng() % limit;
    char text[32], next[32];
    std::snprintf(text, sizeof text, "NR%0*llu", width, static_cast<unsigned long long>(n));
    std::snprintf(next, sizeof next, "NR%0*llu", width, static_cast<unsigned long long>(n + 1));
    ASSERT_EQ(IncrementNumber(text, 16), next) << text;
  }
}

TEST(Barcodes, CheckDigitIsSetOnEan13AndEan8) {
  std::string code = "590123412345";
  EXPECT_TRUE(UpdateEanCheckDigit(&code));
  EXPECT_EQ(code, "5901234123457");
  EXPECT_FALSE(UpdateEanCheckDigit(&code));
  EXPECT_EQ(code, "5901234123457");
  code = "5901234123450";
  EXPECT_TRUE(UpdateEanCheckDigit(&code));
  EXPECT_EQ(code, "5901234123457");
  code = "9638507";  // EAN-8 9638507 4
  EXPECT_TRUE(UpdateEanCheckDigit(&code));
  EXPECT_EQ(code, "96385074");
  for (const char* untouched : {"12345", "", "59012341234A", "5901 23412345", "123456789"}) {
    code = untouched;
    EXPECT_FALSE(UpdateEanCheckDigit(&code)) << untouched;
    EXPECT_EQ(code, untouched);
  }
}

TEST(Barcodes, EveryCompletedCodeValidates) {
  // Validation as a scanner does it: weights 1, 3, 1, ... from the left for 13 digits,
  // 3, 1, 3, ... for 8, over all digits including the check digit.
  std::mt19937_64 rng(13);
  for (int i = 0; i < 3000; ++i) {
    const size_t length = i % 2 ? 12 : 7;
    std::string code;
    for (size_t k = 0; k < length; ++k) code.push_back(static_cast<char>('0' + rng() % 10));
    ASSERT_TRUE(UpdateEanCheckDigit(&code));
    ASSERT_EQ(code.size(), length + 1);
    int sum = 0;
    for (size_t k = 0; k < code.size(); ++k) {
      const int weight = (code.size() == 13) == (k % 2 == 0) ? 1 : 3;
      sum += weight * (code[k] - '0');
    }
    ASSERT_EQ(sum % 10, 0) << code;
  }
}
