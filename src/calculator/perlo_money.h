// Money of the calculator: a signed 64-bit count of ten-thousandths of a złoty, with the few
// operations the tax and interest arithmetic needs, and the amount texts shown and typed in
// the calculator's fields.
//
//   PERLO_MONEY income = PERLO_MONEY::FromInt(3089) + PERLO_MONEY::FromRaw(200);  // 3089.02
//   income.MulDouble(0.18)            // 556.0236 (the factor becomes 1800 ten-thousandths first)
//   PerloFormatAmount(PERLO_MONEY::FromDouble(1234.5))   -> "1 234,50 zł" (Windows-1250)
//   PerloParseAmount("1 234,5 zł")                        -> 1234.5
//
// The separators come from the locale's monetary settings (PerloLoadSeparators); a separator
// that is a digit, empty or not representable falls back to "," for decimals and a blank for
// thousands. Texts are in the data code page, Windows-1250.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class PERLO_MONEY {
 public:
  static constexpr int64_t kScale = 10000;
  // The largest magnitude an amount text can give: 99 999 999 999.9999. Interest over any
  // span of dates the calculator accepts stays within 64 bits below it.
  static constexpr int64_t kLimitRaw = 999999999999999LL;

  constexpr PERLO_MONEY() = default;
  static constexpr PERLO_MONEY FromRaw(int64_t raw) { PERLO_MONEY m; m.raw_ = raw; return m; }
  static constexpr PERLO_MONEY FromInt(int64_t whole) { return FromRaw(whole * kScale); }
  // Times 10000, rounded half away from zero.
  static PERLO_MONEY FromDouble(double value);

  constexpr int64_t Raw() const { return raw_; }

  // The factor is first made fixed point (rounded half away from zero); the product of the
  // two fixed-point values is divided by 10000, truncating toward zero.
  PERLO_MONEY MulDouble(double factor) const;
  // Truncates toward zero; a zero divisor gives zero.
  constexpr PERLO_MONEY DivInt(int64_t n) const { return n == 0 ? PERLO_MONEY() : FromRaw(raw_ / n); }
  // Half away from zero to the grosz, looking at the third decimal only (the fourth is cut
  // first): 0.0049 -> 0.00, 0.0050 -> 0.01, -0.0050 -> -0.01.
  PERLO_MONEY Round2() const;

  constexpr PERLO_MONEY operator+(PERLO_MONEY o) const { return FromRaw(raw_ + o.raw_); }
  constexpr PERLO_MONEY operator-(PERLO_MONEY o) const { return FromRaw(raw_ - o.raw_); }
  constexpr PERLO_MONEY operator-() const { return FromRaw(-raw_); }
  constexpr auto operator<=>(const PERLO_MONEY&) const = default;

 private:
  int64_t raw_ = 0;
};

// One grosz.
inline constexpr PERLO_MONEY kPerloGrosz = PERLO_MONEY::FromRaw(100);

// ---- separators and the currency text ----

// The currency text after every shown amount (Windows-1250).
const char* PerloCurrencyText();
char PerloDecimalSeparator();
char PerloThousandsSeparator();
// Takes the separators from the current C locale (localeconv, monetary fields). The caller
// sets the locale up (setlocale(LC_MONETARY, "")) before.
void PerloLoadSeparators();
// Sets the separators directly (Windows-1250 bytes); a digit or 0 takes the default.
void PerloSetSeparators(char decimal, char thousands);
// Back to "," and a blank.
void PerloResetSeparators();
// Turns a locale separator text into one Windows-1250 byte: the first character of the text,
// converted from UTF-8 when `utf8`; `fallback` when it is empty, a digit or has no
// Windows-1250 form.
char PerloSeparatorFromLocale(const char* text, bool utf8, char fallback);

// ---- amount texts ----

// Rounded to the grosz, thousands grouped, the decimal separator, "-" when negative, then a
// blank and the currency text.
std::string PerloFormatAmount(PERLO_MONEY value);

struct PERLO_AMOUNT_READ {
  PERLO_MONEY value;
  size_t end = 0;        // where reading stopped (the rest of the text is ignored)
  bool digits = false;   // at least one digit was read
  bool clamped = false;  // the number was beyond kLimitRaw and was held at the limit
};
// Leading blanks, tabs and line feeds are skipped; then an optional sign; digits with the
// thousands separator skipped wherever it stands among them; an optional decimal separator
// and fraction digits, more than four of them cut. Reading stops at anything else.
PERLO_AMOUNT_READ PerloReadAmount(std::string_view text);
// The value of PerloReadAmount: anything after the number (the currency text) is ignored, a
// text without a number gives 0.
PERLO_MONEY PerloParseAmount(std::string_view text);
