#include "business/prices.h"

#include "business/vat.h"

namespace {

const AMOUNT kOne = AMOUNT::FromInt(1);
const AMOUNT kHundred = AMOUNT::FromInt(100);
const AMOUNT kMarginLimit = AMOUNT::FromRaw(9999900);  // 999.99

int64_t PowerOfTen(int n) {
  int64_t p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

}  // namespace

AMOUNT RoundToPlaces(AMOUNT value, int places) {
  if (places < -14 || places >= 4) return value;
  const int64_t unit = PowerOfTen(4 - places);
  const int64_t raw = value.Raw();
  const int64_t half = unit / 2;
  // Work on the magnitude with the quotient first, so that values near the limits cannot
  // overflow when the half unit is added.
  const uint64_t magnitude = raw < 0 ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  uint64_t q = magnitude / static_cast<uint64_t>(unit);
  if (magnitude % static_cast<uint64_t>(unit) >= static_cast<uint64_t>(half)) ++q;
  if (q > static_cast<uint64_t>(INT64_MAX) / static_cast<uint64_t>(unit)) return value;
  const int64_t rounded = static_cast<int64_t>(q * static_cast<uint64_t>(unit));
  return AMOUNT::FromRaw(raw < 0 ? -rounded : rounded);
}

namespace {

// value × multiplier / divisor (raw AMOUNTs), truncated, in 128 bits from end to end: the
// product of a large value (a position's value of a full field's quantity at a full field's
// price) and a rate never wraps round before the division brings it back.
AMOUNT ScaleWide(AMOUNT value, AMOUNT::Wide multiplier, AMOUNT::Wide divisor) {
  return divisor == 0 ? AMOUNT()
                      : AMOUNT::FromWide(AMOUNT::Wide(value.Raw()) * multiplier / divisor);
}

}  // namespace

AMOUNT GrossFromNet(AMOUNT net, int vatId) {
  // net × (100 + rate) truncated to four decimals, then divided by 100 and truncated: one
  // truncating division by both gives the same.
  return RoundTo(
      ScaleWide(net, (kHundred + VatRate(vatId)).Raw(), AMOUNT::Wide(AMOUNT::kScale) * 100), 2);
}

AMOUNT NetFromGross(AMOUNT gross, int vatId) {
  return RoundTo(ScaleWide(gross, 100 * AMOUNT::kScale, (kHundred + VatRate(vatId)).Raw()), 2);
}

bool NetDiffers(AMOUNT net, int vatId, AMOUNT gross) {
  return !RoundTo(net - NetFromGross(gross, vatId), 2).IsZero();
}

AMOUNT RegrossForVat(AMOUNT gross, int oldVatId, int newVatId) {
  AMOUNT net = NetFromGross(gross, oldVatId);
  if (!NetDiffers(net, newVatId, gross)) return gross;
  return GrossFromNet(net, newVatId);
}

AMOUNT PercentChange(AMOUNT x, AMOUNT percent) { return x * (kOne + percent / 100); }

AMOUNT PercentOf(AMOUNT a, AMOUNT b) {
  if (b.IsZero()) return AMOUNT();
  return a * 100 / b;
}

AMOUNT MarginPercent(AMOUNT profit, AMOUNT cost) {
  if (cost.IsZero()) {
    if (profit > AMOUNT()) return kMarginLimit;
    if (profit < AMOUNT()) return -kMarginLimit;
    return AMOUNT();
  }
  return RoundTo(PercentOf(profit, cost), 2);
}

AMOUNT ClampMargin(AMOUNT margin) {
  if (margin > kMarginLimit) return kMarginLimit;
  if (margin < -kMarginLimit) return -kMarginLimit;
  return margin;
}

AMOUNT SalePriceFromMargin(AMOUNT purchaseGross, int purchaseVatId, AMOUNT purchaseDiscount,
                           AMOUNT margin, int saleVatId, AMOUNT saleDiscount, bool netPrices,
                           int roundPrice) {
  if (saleDiscount >= kHundred) return AMOUNT();
  AMOUNT price = RegrossForVat(purchaseGross, purchaseVatId, saleVatId);
  if (netPrices) price = NetFromGross(price, saleVatId);
  price = price * (kOne - purchaseDiscount / 100);
  price = price * (kOne + margin / 100);
  price = price / (kOne - saleDiscount / 100);
  price = RoundToPlaces(price, roundPrice);
  return netPrices ? GrossFromNet(price, saleVatId) : price;
}

std::string IncrementNumber(std::string_view text, size_t maxLength) {
  std::string out(text);
  size_t leftmost_digit = std::string::npos;
  for (size_t i = out.size(); i-- > 0;) {
    char& c = out[i];
    if (c < '0' || c > '9') continue;
    if (c < '9') {
      ++c;
      return out;
    }
    c = '0';
    leftmost_digit = i;
  }
  // Every digit was a nine (now a zero), or there was none: the number grows by a place while
  // there is room, else it wraps around.
  if (out.size() < maxLength) {
    if (leftmost_digit == std::string::npos) out.push_back('1');
    else out.insert(leftmost_digit, 1, '1');
  }
  return out;
}

bool UpdateEanCheckDigit(std::string* code) {
  for (char c : *code)
    if (c < '0' || c > '9') return false;
  std::string digits = *code;
  if (digits.size() == 7 || digits.size() == 12) digits.push_back('0');
  if (digits.size() != 8 && digits.size() != 13) return false;
  // Weights 3, 1, 3, ... from the data digit next to the check digit leftwards.
  int sum = 0;
  int position = 1;
  for (size_t i = digits.size() - 1; i-- > 0; ++position) {
    int d = digits[i] - '0';
    sum += position % 2 == 1 ? 3 * d : d;
  }
  const char check = static_cast<char>('0' + (10 - sum % 10) % 10);
  const bool extended = digits.size() != code->size();
  if (!extended && digits.back() == check) return false;
  digits.back() = check;
  *code = digits;
  return true;
}
