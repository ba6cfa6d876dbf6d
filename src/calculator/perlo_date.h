// Dates of the calculator are the program's DATE day numbers; here are the texts of its date
// fields and its "today".
//
//   PerloFormatDate(DateFromYmd(2010, 1, 1))   -> "01.01.2010"
//   PerloFormatDate(0)                          -> ten blanks (the field keeps its width)
//   PerloParseDate("5.3.2013")                  -> DateFromYmd(2013, 3, 5)
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "common/date.h"

// "%02u.%02u.%04u"; the empty date gives ten blanks.
std::string PerloFormatDate(DATE date);
// Reads "d.m.yyyy" with one or two digits for the day and month and exactly four for the year,
// blanks around the whole allowed; anything else, and impossible dates, give 0. Stricter than
// the forms' DateFromDisplay: a script's "5.3.13" is refused, not taken as the year 13.
DATE PerloParseDate(std::string_view text);
// The day of a moment by the UTC calendar: the calculator's "today", the same the world over.
DATE PerloDayFromTime(time_t moment);
DATE PerloToday();
