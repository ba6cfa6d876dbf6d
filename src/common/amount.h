// AMOUNT: the one number type of the program. Money, quantities, percentages and record
// identifiers are all held as a signed 64-bit count of ten-thousandths.
//
//   AMOUNT price = AMOUNT::FromDouble(12.30);      // raw 123000
//   AMOUNT qty   = AMOUNT::FromInt(3);             // raw  30000
//   AMOUNT value = price * qty;                    // 36.90, raw 369000
//   RoundTo(AMOUNT::FromRaw(12345), 2)             // 1.23 (1.2345 rounds half away from zero)
//
// Products and quotients of two AMOUNTs truncate toward zero, as do products and quotients
// with a whole number. Intermediate products are taken in 128 bits, so they never overflow
// where the true result fits in 64 bits; a result that does not fit stops at the largest (or
// smallest) AMOUNT instead of wrapping round to a number of the other sign. Such a number fits
// no table field: storing it is refused.
#pragma once

#include <compare>
#include <cstdint>

class AMOUNT {
 public:
  static constexpr int64_t kScale = 10000;

  constexpr AMOUNT() = default;
  static constexpr AMOUNT FromRaw(int64_t raw) {
    AMOUNT a;
    a.raw_ = raw;
    return a;
  }
  static constexpr AMOUNT FromInt(int64_t whole) { return FromRaw(whole * kScale); }
  // Rounds half away from zero to four decimals.
  static AMOUNT FromDouble(double value);

  constexpr int64_t Raw() const { return raw_; }
  // The whole part, truncated toward zero.
  constexpr int64_t Whole() const { return raw_ / kScale; }
  double ToDouble() const { return static_cast<double>(raw_) / kScale; }
  constexpr bool IsZero() const { return raw_ == 0; }

  constexpr AMOUNT operator-() const { return FromWide(-Wide(raw_)); }
  constexpr AMOUNT operator+(AMOUNT o) const { return FromWide(Wide(raw_) + o.raw_); }
  constexpr AMOUNT operator-(AMOUNT o) const { return FromWide(Wide(raw_) - o.raw_); }
  constexpr AMOUNT& operator+=(AMOUNT o) { return *this = *this + o; }
  constexpr AMOUNT& operator-=(AMOUNT o) { return *this = *this - o; }

  // (a × b) / 10000, truncated toward zero.
  constexpr AMOUNT operator*(AMOUNT o) const { return FromWide(Wide(raw_) * o.raw_ / kScale); }
  // (a × 10000) / b, truncated toward zero; a zero divisor gives zero.
  constexpr AMOUNT operator/(AMOUNT o) const {
    return o.raw_ == 0 ? AMOUNT() : FromWide(Wide(raw_) * kScale / o.raw_);
  }
  constexpr AMOUNT operator*(int64_t n) const { return FromWide(Wide(raw_) * n); }
  // A zero divisor gives zero.
  constexpr AMOUNT operator/(int64_t n) const { return n == 0 ? AMOUNT() : FromRaw(raw_ / n); }
  constexpr AMOUNT& operator*=(AMOUNT o) { return *this = *this * o; }
  constexpr AMOUNT& operator/=(AMOUNT o) { return *this = *this / o; }

  constexpr auto operator<=>(const AMOUNT&) const = default;

  __extension__ typedef __int128 Wide;
  // A raw value computed wide, held at the limits when it does not fit.
  static constexpr AMOUNT FromWide(Wide raw) {
    return FromRaw(raw > INT64_MAX   ? INT64_MAX
                   : raw < INT64_MIN ? INT64_MIN
                                     : static_cast<int64_t>(raw));
  }

 private:
  int64_t raw_ = 0;
};

// Rounds to `decimals` places (0 to 4) half away from zero; other counts leave the value as is.
AMOUNT RoundTo(AMOUNT value, int decimals);
// Cuts to `decimals` places (0 to 4) toward zero.
AMOUNT TruncTo(AMOUNT value, int decimals);
constexpr AMOUNT Abs(AMOUNT a) { return a < AMOUNT() ? -a : a; }
