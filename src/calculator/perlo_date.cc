#include "calculator/perlo_date.h"

#include <cstdio>

namespace {

// Days before 1 January of some years, so that counting starts near the dates in use.
struct ANCHOR {
  unsigned year;
  PERLO_DAY before;
};
constexpr ANCHOR kAnchors[] = {{2010, 733772}, {2000, 730119}, {1990, 726467}, {1900, 693595}};

unsigned YearLength(unsigned year) { return PerloIsLeapYear(year) ? 366 : 365; }

// Days before 1 January of `year`.
PERLO_DAY DaysBeforeYear(unsigned year) {
  for (const ANCHOR& a : kAnchors) {
    if (year >= a.year) {
      PERLO_DAY n = a.before;
      for (unsigned y = a.year; y < year; ++y) n += YearLength(y);
      return n;
    }
  }
  unsigned y = year - 1;
  return 365 * y + y / 4 - y / 100 + y / 400;
}

// The same count in closed form, for any year a 32-bit day number can reach.
uint64_t DaysBeforeYearWide(uint64_t year) {
  uint64_t y = year - 1;
  return 365 * y + y / 4 - y / 100 + y / 400;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool PerloIsLeapYear(unsigned year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned PerloMonthLength(unsigned year, unsigned month) {
  static constexpr unsigned kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && PerloIsLeapYear(year) ? 29 : kLengths[month - 1];
}

PERLO_DAY PerloDayFromDmy(unsigned day, unsigned month, unsigned year) {
  if (year == 0 || year > 9999 || month < 1 || month > 12) return 0;
  if (day == 0 || day > PerloMonthLength(year, month)) return 0;
  PERLO_DAY n = DaysBeforeYear(year);
  for (unsigned m = 1; m < month; ++m) n += PerloMonthLength(year, m);
  return n + day;
}

bool PerloDmyFromDay(PERLO_DAY date, unsigned* day, unsigned* month, unsigned* year) {
  *day = *month = *year = 0;
  if (date == 0) return false;
  // The 400-year cycle puts the year within one of its true value; step to it exactly.
  uint64_t y = static_cast<uint64_t>(date) * 400 / 146097 + 1;
  while (y > 1 && DaysBeforeYearWide(y) >= date) --y;
  while (DaysBeforeYearWide(y + 1) < date) ++y;
  unsigned rest = static_cast<unsigned>(date - DaysBeforeYearWide(y));
  unsigned year_of_date = static_cast<unsigned>(y);
  unsigned m = 1;
  while (rest > PerloMonthLength(year_of_date, m)) rest -= PerloMonthLength(year_of_date, m++);
  *day = rest;
  *month = m;
  *year = year_of_date;
  return true;
}

std::string PerloFormatDate(PERLO_DAY date) {
  unsigned d, m, y;
  if (!PerloDmyFromDay(date, &d, &m, &y)) return std::string(10, ' ');
  char buffer[32];
  snprintf(buffer, sizeof buffer, "%02u.%02u.%04u", d, m, y);
  return buffer;
}

PERLO_DAY PerloParseDate(std::string_view text) {
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
  return PerloDayFromDmy(d, m, y);
}

PERLO_DAY PerloDayFromTime(time_t moment) {
  // Day 719163 is 1 January 1970.
  long long days = static_cast<long long>(moment) / 86400;
  if (moment < 0 && moment % 86400 != 0) --days;
  long long n = days + 719163;
  return n > 0 && n <= UINT32_MAX ? static_cast<PERLO_DAY>(n) : 0;
}

PERLO_DAY PerloToday() { return PerloDayFromTime(time(nullptr)); }
