#include "common/date.h"

#include <cstdio>
#include <ctime>

bool IsLeapYear(unsigned y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned DaysInMonth(unsigned y, unsigned m) {
  static const unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m < 1 || m > 12) return 0;
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

namespace {
// Days before 1 January of year y (y >= 1).
uint32_t DaysBeforeYear(unsigned y) {
  unsigned p = y - 1;
  return p * 365 + p / 4 - p / 100 + p / 400;
}
}  // namespace

DATE DateFromYmd(unsigned y, unsigned m, unsigned d) {
  if (y < 1 || y > 9999 || d < 1 || d > DaysInMonth(y, m)) return 0;
  uint32_t n = DaysBeforeYear(y);
  for (unsigned i = 1; i < m; ++i) n += DaysInMonth(y, i);
  return n + d;
}

DateParts DateToYmd(DATE date) {
  if (date == 0) return {0, 0, 0};
  // Estimate the year from the mean year length, then correct by at most a step or two.
  unsigned y = static_cast<unsigned>(date / 365.2425) + 1;
  while (y > 1 && DaysBeforeYear(y) >= date) --y;
  while (DaysBeforeYear(y + 1) < date) ++y;
  uint32_t rest = date - DaysBeforeYear(y);
  unsigned m = 1;
  while (rest > DaysInMonth(y, m)) rest -= DaysInMonth(y, m++);
  return {y, m, rest};
}

unsigned DateWeekday(DATE date) { return date == 0 ? 0 : (date + 6) % 7 + 1; }

std::string DateToDisplay(DATE date) {
  if (date == 0) return std::string();
  DateParts p = DateToYmd(date);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02u.%02u.%04u", p.day, p.month, p.year);
  return buf;
}

std::string DateToStored(DATE date) {
  if (date == 0) return std::string(8, ' ');
  DateParts p = DateToYmd(date);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04u%02u%02u", p.year, p.month, p.day);
  return buf;
}

namespace {
bool Digits(const char* s, size_t n, unsigned* out) {
  unsigned v = 0;
  for (size_t i = 0; i < n; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + static_cast<unsigned>(s[i] - '0');
  }
  *out = v;
  return true;
}
}  // namespace

DATE DateFromStored(const char* text, size_t length) {
  unsigned y, m, d;
  if (length != 8 || !Digits(text, 4, &y) || !Digits(text + 4, 2, &m) || !Digits(text + 6, 2, &d))
    return 0;
  return DateFromYmd(y, m, d);
}

DATE DateFromDisplay(const std::string& text) {
  unsigned parts[3] = {0, 0, 0};
  size_t i = 0;
  for (int k = 0; k < 3; ++k) {
    while (i < text.size() && text[i] == ' ') ++i;
    size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 4)
      parts[k] = parts[k] * 10 + static_cast<unsigned>(text[i++] - '0');
    if (i == start) return 0;
    while (i < text.size() && text[i] == ' ') ++i;
    if (k < 2) {
      if (i >= text.size() || text[i] != '.') return 0;
      ++i;
    }
  }
  if (i != text.size()) return 0;
  return DateFromYmd(parts[2], parts[1], parts[0]);
}

DATE DateToday() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return DateFromYmd(static_cast<unsigned>(tm.tm_year + 1900), static_cast<unsigned>(tm.tm_mon + 1),
                     static_cast<unsigned>(tm.tm_mday));
}
