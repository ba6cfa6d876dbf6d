#include "calculator/perlo_date.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string PerloFormatDate(DATE date) {
  return date == 0 ? std::string(10, ' ') : DateToDisplay(date);
}

DATE PerloParseDate(std::string_view text) {
  size_t i = 0;
  auto skip_blanks = [&] {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  };
  // Reads min..max digits; false when the count is outside.
  auto number = [&](size_t min, size_t max, unsigned* out) {
    size_t start = i;
    unsigned v = 0;
    while (i < text.size() && IsDigit(text[i]) && i - start < max) v = v * 10 + (text[i++] - '0');
    *out = v;
    return i - start >= min && !(i < text.size() && IsDigit(text[i]));
  };
  unsigned d, m, y;
  skip_blanks();
  if (!number(1, 2, &d)) return 0;
  if (i >= text.size() || text[i++] != '.') return 0;
  if (!number(1, 2, &m)) return 0;
  if (i >= text.size() || text[i++] != '.') return 0;
  if (!number(4, 4, &y)) return 0;
  skip_blanks();
  if (i != text.size()) return 0;
  return DateFromYmd(y, m, d);
}

DATE PerloDayFromTime(time_t moment) {
  // Day 719163 is 1 January 1970.
  long long days = static_cast<long long>(moment) / 86400;
  if (moment < 0 && moment % 86400 != 0) --days;
  long long n = days + 719163;
  return n > 0 && n <= UINT32_MAX ? static_cast<DATE>(n) : 0;
}

DATE PerloToday() { return PerloDayFromTime(time(nullptr)); }
