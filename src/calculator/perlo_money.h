// Money of the calculator is the program's AMOUNT (ten-thousandths of a złoty); here are the
// amount texts shown and typed in the calculator's fields.
//
//   PerloFormatAmount(AMOUNT::FromDouble(1234.5))   -> "1 234,50 zł" (Windows-1250)
//   PerloParseAmount("1 234,5 zł")                   -> 1234.5
//
// The separators of the fields come from the locale's monetary settings (PerloLoadSeparators),
// not from the number format of Tamsu.ini: the calculator has no configuration file. A separator
// that is a digit, empty or not representable falls back to "," for decimals and a blank for
// thousands. Texts are in the data code page, Windows-1250.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/amount.h"

// The largest magnitude an amount may have: 99 999 999 999.9999. Interest over any span of dates
// the calculator accepts stays within 64 bits below it.
inline constexpr AMOUNT kPerloLimit = AMOUNT::FromRaw(999999999999999LL);
// One grosz.
inline constexpr AMOUNT kPerloGrosz = AMOUNT::FromRaw(100);

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
// blank and the currency text; with the separators given, or those of the fields.
std::string PerloFormatAmountWith(AMOUNT value, char decimal, char thousands);
std::string PerloFormatAmount(AMOUNT value);

struct PERLO_AMOUNT_READ {
  AMOUNT value;
  size_t end = 0;          // where reading stopped (the rest of the text is ignored)
  bool digits = false;     // at least one digit was read
  bool too_large = false;  // beyond kPerloLimit: the value is held at the limit
};
// Leading blanks, tabs and line feeds are skipped; then an optional sign; digits with the
// thousands separator skipped wherever it stands among them; an optional decimal separator
// and fraction digits, more than four of them cut. Reading stops at anything else. With the
// separators given, or those of the fields.
PERLO_AMOUNT_READ PerloReadAmountWith(std::string_view text, char decimal, char thousands);
PERLO_AMOUNT_READ PerloReadAmount(std::string_view text);
// The value of PerloReadAmount: anything after the number (the currency text) is ignored, a
// text without a number gives 0.
AMOUNT PerloParseAmount(std::string_view text);
