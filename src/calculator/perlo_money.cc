#include "calculator/perlo_money.h"

#include <clocale>
#include <cmath>
#include <langinfo.h>
#include <cstring>

#include "common/text.h"

namespace {

constexpr char kDefaultDecimal = ',';
constexpr char kDefaultThousands = ' ';

char g_decimal = kDefaultDecimal;
char g_thousands = kDefaultThousands;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int64_t Saturate(__int128 v) {
  if (v > INT64_MAX) return INT64_MAX;
  if (v < INT64_MIN) return INT64_MIN;
  return static_cast<int64_t>(v);
}

}  // namespace

PERLO_MONEY PERLO_MONEY::FromDouble(double value) {
  double scaled = std::round(value * kScale);  // std::round goes half away from zero
  if (!(scaled == scaled)) return PERLO_MONEY();
  if (scaled >= 9.2e18) return FromRaw(INT64_MAX);
  if (scaled <= -9.2e18) return FromRaw(INT64_MIN);
  return FromRaw(static_cast<int64_t>(scaled));
}

PERLO_MONEY PERLO_MONEY::MulDouble(double factor) const {
  __int128 f = FromDouble(factor).raw_;
  return FromRaw(Saturate(static_cast<__int128>(raw_) * f / kScale));
}

PERLO_MONEY PERLO_MONEY::Round2() const {
  int64_t v = raw_ / 10;
  v += raw_ < 0 ? -5 : 5;
  v /= 10;
  return FromRaw(v * 100);
}

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
  bool utf8 = codeset != nullptr &&
              (strcmp(codeset, "UTF-8") == 0 || strcmp(codeset, "utf8") == 0);
  char decimal = PerloSeparatorFromLocale(lc ? lc->mon_decimal_point : nullptr, utf8,
                                          kDefaultDecimal);
  char thousands = PerloSeparatorFromLocale(lc ? lc->mon_thousands_sep : nullptr, utf8,
                                            kDefaultThousands);
  PerloSetSeparators(decimal, thousands);
}

std::string PerloFormatAmount(PERLO_MONEY value) {
  int64_t raw = value.Round2().Raw();
  bool negative = raw < 0;
  uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  uint64_t whole = magnitude / PERLO_MONEY::kScale;
  unsigned cents = static_cast<unsigned>(magnitude % PERLO_MONEY::kScale / 100);

  std::string digits = std::to_string(whole);
  std::string out;
  if (negative) out.push_back('-');
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out.push_back(g_thousands);
    out.push_back(digits[i]);
  }
  out.push_back(g_decimal);
  out.push_back(static_cast<char>('0' + cents / 10));
  out.push_back(static_cast<char>('0' + cents % 10));
  out.push_back(' ');
  out += PerloCurrencyText();
  return out;
}

PERLO_AMOUNT_READ PerloReadAmount(std::string_view text) {
  PERLO_AMOUNT_READ r;
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int64_t raw = 0;
  auto add_digit = [&](int64_t weight, char c) {
    int64_t d = (c - '0') * weight;
    if (raw > PERLO_MONEY::kLimitRaw - d) {
      raw = PERLO_MONEY::kLimitRaw;
      r.clamped = true;
    } else {
      raw += d;
    }
  };
  while (i < text.size()) {
    char c = text[i];
    if (IsDigit(c)) {
      if (raw > PERLO_MONEY::kLimitRaw / 10) {
        raw = PERLO_MONEY::kLimitRaw;
        r.clamped = true;
      } else {
        raw *= 10;
        add_digit(PERLO_MONEY::kScale, c);
      }
      r.digits = true;
    } else if (c != g_thousands) {
      break;
    }
    ++i;
  }
  if (i < text.size() && text[i] == g_decimal) {
    ++i;
    int64_t weight = PERLO_MONEY::kScale / 10;
    while (i < text.size() && IsDigit(text[i])) {
      if (weight > 0) add_digit(weight, text[i]);
      weight /= 10;
      r.digits = true;
      ++i;
    }
  }
  if (r.clamped) raw = PERLO_MONEY::kLimitRaw;
  r.value = PERLO_MONEY::FromRaw(negative ? -raw : raw);
  r.end = i;
  return r;
}

PERLO_MONEY PerloParseAmount(std::string_view text) { return PerloReadAmount(text).value; }
