#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "calculator/perlo_date.h"

namespace {

TEST(PerloDateTest, CountingAnchorsAgreeWithTheOrdinal) {
  EXPECT_EQ(PerloDayFromDmy(1, 1, 1), 1u);
  EXPECT_EQ(PerloDayFromDmy(1, 1, 1900), 693596u);
  EXPECT_EQ(PerloDayFromDmy(1, 1, 1990), 726468u);
  EXPECT_EQ(PerloDayFromDmy(1, 1, 2000), 730120u);
  EXPECT_EQ(PerloDayFromDmy(1, 1, 2010), 733773u);
  EXPECT_EQ(PerloDayFromDmy(31, 12, 1899) + 1, PerloDayFromDmy(1, 1, 1900));
  EXPECT_EQ(PerloDayFromDmy(31, 12, 2009) + 1, PerloDayFromDmy(1, 1, 2010));
}

TEST(PerloDateTest, ImpossibleDatesAreZero) {
  EXPECT_EQ(PerloDayFromDmy(31, 2, 2013), 0u);
  EXPECT_EQ(PerloDayFromDmy(29, 2, 2013), 0u);
  EXPECT_NE(PerloDayFromDmy(29, 2, 2012), 0u);
  EXPECT_NE(PerloDayFromDmy(29, 2, 2000), 0u);
  EXPECT_EQ(PerloDayFromDmy(29, 2, 1900), 0u);
  EXPECT_EQ(PerloDayFromDmy(31, 4, 2014), 0u);
  EXPECT_EQ(PerloDayFromDmy(0, 1, 2014), 0u);
  EXPECT_EQ(PerloDayFromDmy(1, 13, 2014), 0u);
  EXPECT_EQ(PerloDayFromDmy(1, 0, 2014), 0u);
  EXPECT_EQ(PerloDayFromDmy(1, 1, 0), 0u);
}

TEST(PerloDateTest, AgreesWithTheStandardCalendarOverRandomDays) {
  using namespace std::chrono;
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> day_number(1, 3652059);  // 01.01.0001 .. 31.12.9999
  for (int i = 0; i < 3000; ++i) {
    PERLO_DAY n = static_cast<PERLO_DAY>(day_number(rng));
    year_month_day ymd{sys_days{days{static_cast<int>(n) - 719163}}};
    unsigned d, m, y;
    ASSERT_TRUE(PerloDmyFromDay(n, &d, &m, &y));
    ASSERT_EQ(y, static_cast<unsigned>(static_cast<int>(ymd.year()))) << n;
    ASSERT_EQ(m, static_cast<unsigned>(ymd.month())) << n;
    ASSERT_EQ(d, static_cast<unsigned>(ymd.day())) << n;
    ASSERT_EQ(PerloDayFromDmy(d, m, y), n);
  }
}

TEST(PerloDateTest, TextsOfTheDateFields) {
  EXPECT_EQ(PerloFormatDate(PerloDayFromDmy(5, 3, 2013)), "05.03.2013");
  EXPECT_EQ(PerloFormatDate(0), "          ");
  EXPECT_EQ(PerloParseDate("05.03.2013"), PerloDayFromDmy(5, 3, 2013));
  EXPECT_EQ(PerloParseDate(" 5.3.2013 "), PerloDayFromDmy(5, 3, 2013));
  EXPECT_EQ(PerloParseDate("31.02.2013"), 0u);
  EXPECT_EQ(PerloParseDate("5.3.13"), 0u);
  EXPECT_EQ(PerloParseDate("005.03.2013"), 0u);
  EXPECT_EQ(PerloParseDate("05.03.20134"), 0u);
  EXPECT_EQ(PerloParseDate("05-03-2013"), 0u);
  EXPECT_EQ(PerloParseDate("05.03.2013x"), 0u);
  EXPECT_EQ(PerloParseDate(""), 0u);
  EXPECT_EQ(PerloParseDate("          "), 0u);
}

TEST(PerloDateTest, TodayComesFromTheUtcCalendar) {
  EXPECT_EQ(PerloDayFromTime(0), PerloDayFromDmy(1, 1, 1970));
  EXPECT_EQ(PerloDayFromTime(86399), PerloDayFromDmy(1, 1, 1970));
  EXPECT_EQ(PerloDayFromTime(-1), PerloDayFromDmy(31, 12, 1969));
  EXPECT_EQ(PerloDayFromTime(1397865600), PerloDayFromDmy(19, 4, 2014));  // 00:00 UTC
}

}  // namespace
