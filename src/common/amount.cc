#include "common/amount.h"

#include <cmath>

namespace {
constexpr int64_t kPow10[] = {1, 10, 100, 1000, 10000};
}

AMOUNT AMOUNT::FromDouble(double value) {
  // std::round rounds half away from zero; the scaled value is formed first so that
  // 0.00005 (binary 0.0000500000000000000024) still rounds up to one ten-thousandth.
  return FromRaw(static_cast<int64_t>(std::round(value * kScale)));
}

AMOUNT RoundTo(AMOUNT value, int decimals) {
  if (decimals < 0 || decimals >= 4) return value;
  const AMOUNT::Wide unit = kPow10[4 - decimals];
  const AMOUNT::Wide raw = value.Raw();
  const AMOUNT::Wide half = unit / 2;
  const AMOUNT::Wide q = raw >= 0 ? (raw + half) / unit : -((-raw + half) / unit);
  return AMOUNT::FromWide(q * unit);
}

AMOUNT TruncTo(AMOUNT value, int decimals) {
  if (decimals < 0 || decimals >= 4) return value;
  const int64_t unit = kPow10[4 - decimals];
  return AMOUNT::FromRaw(value.Raw() / unit * unit);
}
