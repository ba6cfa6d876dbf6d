// The calculator's date texts; the calendar itself is the program's DATE.
#include "calculator/perlo_date.h"

#include <gtest/gtest.h>

namespace {

TEST(PerloDateTest, TextsOfTheDateFieldsAndTheUtcToday) {
  EXPECT_EQ(PerloFormatDate(DateFromYmd(2013, 3, 5)), "05.03.2013");
  EXPECT_EQ(PerloFormatDate(0), "          ");
  EXPECT_EQ(PerloParseDate(" 5.3.2013 "), DateFromYmd(2013, 3, 5));
  for (const char* refused : {"31.02.2013", "5.3.13", "005.03.2013", "05.03.20134", "05-03-2013",
                              "05.03.2013x", "", "          ", "1.1.0000"})
    EXPECT_EQ(PerloParseDate(refused), 0u) << refused;
  EXPECT_EQ(PerloDayFromTime(0), DateFromYmd(1970, 1, 1));
  EXPECT_EQ(PerloDayFromTime(86399), DateFromYmd(1970, 1, 1));
  EXPECT_EQ(PerloDayFromTime(-1), DateFromYmd(1969, 12, 31));
  EXPECT_EQ(PerloDayFromTime(1397865600), DateFromYmd(2014, 4, 19));  // 00:00 UTC
}

}  // namespace
