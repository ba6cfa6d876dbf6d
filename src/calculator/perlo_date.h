// Dates of the calculator: day numbers of the proleptic Gregorian calendar, 1 January of
// year 1 being day 1 and 0 meaning "no valid date", with the "dd.mm.yyyy" texts of the
// date fields.
//
//   PerloDayFromDmy(31, 2, 2013)   -> 0 (February 2013 has 28 days)
//   PerloFormatDate(PerloDayFromDmy(1, 1, 2010)) -> "01.01.2010"   (day 733773)
//   PerloFormatDate(0)             -> ten blanks
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

typedef uint32_t PERLO_DAY;

bool PerloIsLeapYear(unsigned year);
// 0 for a month outside 1..12.
unsigned PerloMonthLength(unsigned year, unsigned month);
// 0 when the year is 0 or above 9999, the month outside 1..12, the day 0 or beyond the
// month's length.
PERLO_DAY PerloDayFromDmy(unsigned day, unsigned month, unsigned year);
// Day, month and year of a day number; false (and zeros) for day 0.
bool PerloDmyFromDay(PERLO_DAY date, unsigned* day, unsigned* month, unsigned* year);

// "%02u.%02u.%04u"; day 0 gives ten blanks.
std::string PerloFormatDate(PERLO_DAY date);
// Reads "d.m.yyyy" with one or two digits for the day and month and four for the year,
// blanks around the whole allowed; anything else, and impossible dates, give 0.
PERLO_DAY PerloParseDate(std::string_view text);
// The day of a moment by the UTC calendar.
PERLO_DAY PerloDayFromTime(time_t moment);
// Today by the system clock, in UTC.
PERLO_DAY PerloToday();
