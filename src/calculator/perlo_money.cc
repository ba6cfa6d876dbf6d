#include "calculator/perlo_money.h"

#include <langinfo.h>
#include <clocale>
#include <cstring>

#include "common/text.h"

namespace {

constexpr char kDefaultDecimal = ',';
constexpr char kDefaultThousands = ' ';

char g_decimal = kDefaultDecimal;
char g_thousands = kDefaultThousands;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

const char* PerloCurrencyText() { return "zł"_pl; }
char PerloDecimalSeparator() { return g_decimal; }
char PerloThousandsSeparator() { return g_thousands; }

void PerloSetSeparators(char decimal, char thousands) {
  g_decimal = (decimal == 0 || IsDigit(decimal)) ? kDefaultDecimal : decimal;
  g_thousands = (thousands == 0 || IsDigit(thousands)) ? kDefaultThousands : thousands;
}

void PerloResetSeparators() {
  g_decimal = kDefaultDecimal;
  g_thousands = kDefaultThousands;
}

char PerloSeparatorFromLocale(const char* text, bool utf8, char fallback) {
  if (text == nullptr || text[0] == 0) return fallback;
  char c = text[0];
  if (utf8 && static_cast<unsigned char>(c) >= 0x80) {
    // One UTF-8 character: its length comes from the lead byte.
    auto lead = static_cast<unsigned char>(c);
    size_t len = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (strnlen(text, len) < len) return fallback;
    std::string converted = Utf8ToCp1250(std::string_view(text, len));
    if (converted.size() != 1 || converted[0] == '?') return fallback;
    c = converted[0];
  }
  if (IsDigit(c)) return fallback;
  return c;
}

void PerloLoadSeparators() {
  const struct lconv* lc = localeconv();
  const char* codeset = nl_langinfo(CODESET);
  bool utf8 = codeset != nullptr && (strcmp(codeset, "UTF-8") == 0 || strcmp(codeset, "utf8") == 0);
  char decimal =
      PerloSeparatorFromLocale(lc ? lc->mon_decimal_point : nullptr, utf8, kDefaultDecimal);
  char thousands =
      PerloSeparatorFromLocale(lc ? lc->mon_thousands_sep : nullptr, utf8, kDefaultThousands);
  PerloSetSeparators(decimal, thousands);
}

std::string PerloFormatAmountWith(AMOUNT value, char decimal, char thousands) {
  int64_t raw = RoundTo(value, 2).Raw();
  bool negative = raw < 0;
  uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  uint64_t whole = magnitude / AMOUNT::kScale;
  unsigned cents = static_cast<unsigned>(magnitude % AMOUNT::kScale / 100);

  std::string digits = std::to_string(whole);
  std::string out;
  if (negative) out.push_back('-');
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out.push_back(thousands);
    out.push_back(digits[i]);
  }
  out.push_back(decimal);
  out.push_back(static_cast<char>('0' + cents / 10));
  out.push_back(static_cast<char>('0' + cents % 10));
  out.push_back(' ');
  out += PerloCurrencyText();
  return out;
}

std::string PerloFormatAmount(AMOUNT value) {
  return PerloFormatAmountWith(value, g_decimal, g_thousands);
}

PERLO_AMOUNT_READ PerloReadAmountWith(std::string_view text, char decimal, char thousands) {
  PERLO_AMOUNT_READ r;
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const int64_t limit = kPerloLimit.Raw();
  int64_t raw = 0;
  auto add_digit = [&](int64_t weight, char c) {
    int64_t d = (c - '0') * weight;
    if (raw > limit - d) {
      raw = limit;
      r.too_large = true;
    } else {
      raw += d;
    }
  };
  while (i < text.size()) {
    char c = text[i];
    if (IsDigit(c)) {
      if (raw > limit / 10) {
        raw = limit;
        r.too_large = true;
      } else {
        raw *= 10;
        add_digit(AMOUNT::kScale, c);
      }
      r.digits = true;
    } else if (c != thousands) {
      break;
    }
    ++i;
  }
  if (i < text.size() && text[i] == decimal) {
    ++i;
    int64_t weight = AMOUNT::kScale / 10;
    while (i < text.size() && IsDigit(text[i])) {
      if (weight > 0) add_digit(weight, text[i]);
      weight /= 10;
      r.digits = true;
      ++i;
    }
  }
  if (r.too_large) raw = limit;
  r.value = AMOUNT::FromRaw(negative ? -raw : raw);
  r.end = i;
  return r;
}

PERLO_AMOUNT_READ PerloReadAmount(std::string_view text) {
  return PerloReadAmountWith(text, g_decimal, g_thousands);
}

AMOUNT PerloParseAmount(std::string_view text) { return PerloReadAmount(text).value; }
