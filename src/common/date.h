// DATE: a day number of the proleptic Gregorian calendar, 1 January of year 1 being day 1.
// 0 is the empty date; every impossible date (31.02, month 13, year 0) becomes 0.
//
//   DATE d = DateFromYmd(2014, 4, 19);   // a Saturday: DateWeekday(d) == 6
//   DateToDisplay(d)  -> "19.04.2014"     DateToStored(d) -> "20140419"
//   DateToStored(0)   -> "        "       (eight blanks, as table fields hold it)
#pragma once

#include <cstdint>
#include <string>

typedef uint32_t DATE;

struct DateParts {
  unsigned year;
  unsigned month;
  unsigned day;
};

bool IsLeapYear(unsigned year);
unsigned DaysInMonth(unsigned year, unsigned month);  // 0 for a month outside 1..12
// Years 1 to 9999 (the four-digit forms cannot hold more).
DATE DateFromYmd(unsigned year, unsigned month, unsigned day);
// The empty date gives {0, 0, 0}.
DateParts DateToYmd(DATE date);
// 1 Monday ... 7 Sunday; 0 for the empty date.
unsigned DateWeekday(DATE date);

// "%02u.%02u.%04u"; the empty date gives an empty text.
std::string DateToDisplay(DATE date);
// "%04u%02u%02u"; the empty date gives eight blanks.
std::string DateToStored(DATE date);
// Reads the stored form: exactly eight digits, else (blanks, garbage, impossible) 0.
DATE DateFromStored(const char* text, size_t length);
// Reads "dd.mm.yyyy" (blanks around the parts allowed); anything else gives 0.
DATE DateFromDisplay(const std::string& text);
// Today by the local clock.
DATE DateToday();
