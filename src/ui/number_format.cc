#include "ui/number_format.h"

#include <cmath>
#include <cstring>

namespace {

constexpr NUMBER_FORMAT kDefaultFormat = {',', ' '};
NUMBER_FORMAT g_format = kDefaultFormat;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

void set_number_format(char decimal, char thousands) {
  if (!IsDigit(thousands)) g_format.thousands = thousands;
  if (decimal != 0 && !IsDigit(decimal)) g_format.decimal = decimal;
}

NUMBER_FORMAT number_format() { return g_format; }

void reset_number_format() { g_format = kDefaultFormat; }

char* format_amount(AMOUNT value, int decimals, char* text) {
  if (decimals < 0) decimals = 0;
  if (decimals > 9) decimals = 9;
  // The display has always been computed in floating point: magnitude scaled, 0.5 added, the
  // fraction cut. The last digit shown follows that arithmetic.
  static const double kPowers[10] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  const double magnitude = std::fabs(value.ToDouble()) * kPowers[decimals];
  unsigned __int128 digits = static_cast<unsigned __int128>(std::floor(magnitude + 0.5));
  const bool negative = value < AMOUNT();

  // Built backwards, then turned round.
  char reversed[kAmountTextSize];
  size_t n = 0;
  for (int i = 0; i < decimals; ++i) {
    reversed[n++] = static_cast<char>('0' + static_cast<int>(digits % 10));
    digits /= 10;
  }
  if (decimals > 0) reversed[n++] = g_format.decimal;
  int integer_digits = 0;
  do {
    if (integer_digits > 0 && integer_digits % 3 == 0 && g_format.thousands != 0)
      reversed[n++] = g_format.thousands;
    reversed[n++] = static_cast<char>('0' + static_cast<int>(digits % 10));
    digits /= 10;
    ++integer_digits;
  } while (digits != 0);
  if (negative) reversed[n++] = '-';
  for (size_t i = 0; i < n; ++i) text[i] = reversed[n - 1 - i];
  text[n] = '\0';
  return text;
}

std::string format_amount(AMOUNT value, int decimals) {
  char text[kAmountTextSize];
  return format_amount(value, decimals, text);
}

char* group_thousands(char* text) {
  if (g_format.thousands == 0) return text;
  const char* decimal = std::strchr(text, g_format.decimal);
  const size_t width = decimal ? static_cast<size_t>(decimal - text) : std::strlen(text);

  char grouped[kAmountTextSize * 2];
  size_t n = 0;  // grouped is filled from the right
  int digits = 0;
  for (size_t i = width; i-- > 0;) {
    const char c = text[i];
    if (IsDigit(c)) {
      if (digits > 0 && digits % 3 == 0) {
        if (n == sizeof grouped) return text;
        grouped[n++] = g_format.thousands;
      }
      ++digits;
    } else if (c != '-') {
      continue;
    }
    if (n == sizeof grouped) return text;
    grouped[n++] = c;
  }
  if (n > width) return text;
  for (size_t i = 0; i < width; ++i) text[width - 1 - i] = i < n ? grouped[i] : ' ';
  return text;
}
