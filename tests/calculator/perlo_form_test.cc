#include <gtest/gtest.h>

#include "calculator/perlo_form.h"
#include "common/text.h"

namespace {

constexpr unsigned Bit(PERLO_FIELD f) { return PerloFieldBit(f); }

class PerloFormTest : public ::testing::Test {
 protected:
  void SetUp() override { PerloFormInit(&form, DateFromYmd(2014, 4, 19)); }
  const std::string& Text(PERLO_FIELD f) const { return form.text[f]; }

  PERLO_FORM form;
  unsigned changed = 0;
};

TEST_F(PerloFormTest, StartingState) {
  EXPECT_EQ(form.year, 2014);
  EXPECT_EQ(form.table, kPerloStatutory);
  std::string all;
  for (const std::string& t : form.text) all += t + "|";
  EXPECT_EQ(all, "2014|0,00 zł|0,00 zł|0,00 zł|18.04.2014|19.04.2014|0,00 zł|0,00 zł|"_pl);

  PerloFormInit(&form, DateFromYmd(2026, 1, 1));
  EXPECT_EQ(form.year, 2014);
  PerloFormInit(&form, DateFromYmd(1993, 12, 31));
  EXPECT_EQ(form.year, 1995);
  EXPECT_EQ(Text(kPerloDueField), "30.12.1993");
}

TEST_F(PerloFormTest, LeavingTheIncomeReformatsItAndShowsItsTax) {
  ASSERT_EQ(PerloFormLeave(&form, kPerloIncomeField, "3 089,03", &changed), 0);
  EXPECT_EQ(Text(kPerloIncomeField), "3 089,03 zł"_pl);
  EXPECT_EQ(Text(kPerloTaxField), "0,01 zł"_pl);
  EXPECT_EQ(changed, Bit(kPerloIncomeField) | Bit(kPerloTaxField));
  // Leaving it again as shown rewrites nothing.
  ASSERT_EQ(PerloFormLeave(&form, kPerloIncomeField, Text(kPerloIncomeField), &changed), 0);
  EXPECT_EQ(changed, 0u);
  // A new income with the same tax rewrites only the income.
  ASSERT_EQ(PerloFormLeave(&form, kPerloIncomeField, "3089,04zł"_pl, &changed), 0);
  EXPECT_EQ(changed, Bit(kPerloIncomeField));
}

TEST_F(PerloFormTest, ChoosingAYearRecomputesTheTax) {
  PerloFormLeave(&form, kPerloIncomeField, "30000", &changed);
  EXPECT_EQ(Text(kPerloTaxField), "4 843,98 zł"_pl);  // 5400.00 - 556.02
  ASSERT_EQ(PerloFormSelectYear(&form, 2003, &changed), 0);
  EXPECT_EQ(Text(kPerloTaxField), "5 169,92 zł"_pl);
  EXPECT_EQ(changed, Bit(kPerloYearField) | Bit(kPerloTaxField));
  ASSERT_EQ(PerloFormSelectYear(&form, 2005, &changed), 0);
  EXPECT_EQ(changed, Bit(kPerloYearField));  // same scale, same tax
  EXPECT_EQ(PerloFormSelectYear(&form, 2015, &changed), -1);
  EXPECT_EQ(form.year, 2005);
  EXPECT_EQ(changed, 0u);
  ASSERT_EQ(PerloFormLeave(&form, kPerloYearField, "2014", &changed), 0);
  EXPECT_EQ(Text(kPerloTaxField), "4 843,98 zł"_pl);
}

TEST_F(PerloFormTest, TypingATaxFindsTheIncome) {
  ASSERT_EQ(PerloFormLeave(&form, kPerloTaxField, "0,01", &changed), 0);
  EXPECT_EQ(Text(kPerloIncomeField), "3 089,08 zł"_pl);
  EXPECT_EQ(Text(kPerloTaxField), "0,01 zł"_pl);
  EXPECT_EQ(changed, Bit(kPerloIncomeField) | Bit(kPerloTaxField));
  // Zero finds the largest tax-free income.
  ASSERT_EQ(PerloFormLeave(&form, kPerloTaxField, "0", &changed), 0);
  EXPECT_EQ(Text(kPerloIncomeField), "3 089,02 zł"_pl);
  EXPECT_EQ(Text(kPerloTaxField), "0,00 zł"_pl);
  // A tax that differs from the shown one by less than half a grosz changes nothing, not
  // even the typed text.
  ASSERT_EQ(PerloFormLeave(&form, kPerloTaxField, "0,004", &changed), 0);
  EXPECT_EQ(changed, 0u);
  EXPECT_EQ(Text(kPerloIncomeField), "3 089,02 zł"_pl);
  EXPECT_EQ(Text(kPerloTaxField), "0,004");
}

TEST_F(PerloFormTest, DatesAndAmountsAreCheckedWhenLeft) {
  PerloFormLeave(&form, kPerloAmountField, "1000", &changed);
  EXPECT_EQ(changed, Bit(kPerloAmountField) | Bit(kPerloInterestField) | Bit(kPerloTotalField));
  EXPECT_EQ(Text(kPerloInterestField), "0,36 zł"_pl);  // one day at 13 %
  EXPECT_EQ(Text(kPerloTotalField), "1 000,36 zł"_pl);

  // An impossible date sends the focus back and leaves the rest alone.
  EXPECT_EQ(PerloFormLeave(&form, kPerloDueField, "31.02.2013", &changed), -1);
  EXPECT_EQ(changed, 0u);
  EXPECT_EQ(Text(kPerloInterestField), "0,36 zł"_pl);
  EXPECT_EQ(PerloFormLeave(&form, kPerloPaidField, "", &changed), -1);
  // So does an amount beyond the limit, which is refused rather than cut down.
  EXPECT_EQ(PerloFormLeave(&form, kPerloAmountField, "100 000 000 000", &changed), -1);
  EXPECT_EQ(PerloFormLeave(&form, kPerloTotalField, "-100 000 000 000 zł"_pl, &changed), -1);
  EXPECT_EQ(changed, 0u);
  EXPECT_EQ(Text(kPerloAmountField), "1 000,00 zł"_pl);

  ASSERT_EQ(PerloFormLeave(&form, kPerloDueField, "30.11.2008", &changed), 0);
  ASSERT_EQ(PerloFormLeave(&form, kPerloPaidField, " 1.12.2008", &changed), 0);
  EXPECT_EQ(Text(kPerloPaidField), "01.12.2008");
  EXPECT_EQ(Text(kPerloInterestField), "0,32 zł"_pl);  // one day at 11.5 %
  EXPECT_EQ(changed, Bit(kPerloPaidField) | Bit(kPerloInterestField) | Bit(kPerloTotalField));
}

TEST_F(PerloFormTest, InterestIsRecomputedOverHandTypedValues) {
  PerloFormLeave(&form, kPerloDueField, "30.11.2008", &changed);
  PerloFormLeave(&form, kPerloPaidField, "31.12.2008", &changed);
  PerloFormLeave(&form, kPerloAmountField, "1 000 zł"_pl, &changed);
  EXPECT_EQ(Text(kPerloAmountField), "1 000,00 zł"_pl);
  ASSERT_EQ(PerloFormLeave(&form, kPerloInterestField, "999", &changed), 0);
  EXPECT_EQ(Text(kPerloInterestField), "10,46 zł"_pl);
  EXPECT_EQ(changed, Bit(kPerloInterestField));

  ASSERT_EQ(PerloFormSelectTable(&form, kPerloTaxInterest, &changed), 0);
  // 1-23.12 at 14.5 % (23 days: 9.1370), 24-31.12 at 13 % (8 days: 2.8493).
  EXPECT_EQ(Text(kPerloInterestField), "11,99 zł"_pl);
  EXPECT_EQ(Text(kPerloTotalField), "1 011,99 zł"_pl);
  EXPECT_EQ(form.table, kPerloTaxInterest);
  ASSERT_EQ(PerloFormSelectTable(&form, kPerloTaxInterest, &changed), 0);
  EXPECT_EQ(changed, 0u);
}

TEST_F(PerloFormTest, TypingATotalSplitsIt) {
  PerloFormLeave(&form, kPerloDueField, "30.11.2008", &changed);
  PerloFormLeave(&form, kPerloPaidField, "31.12.2008", &changed);
  ASSERT_EQ(PerloFormLeave(&form, kPerloTotalField, "1 010,46 zł"_pl, &changed), 0);
  EXPECT_EQ(Text(kPerloAmountField), "1 000,00 zł"_pl);
  EXPECT_EQ(Text(kPerloInterestField), "10,46 zł"_pl);
  EXPECT_EQ(Text(kPerloTotalField), "1 010,46 zł"_pl);
  EXPECT_EQ(changed, Bit(kPerloAmountField) | Bit(kPerloInterestField));
  // 1000.03 gives 1010.49 and 1000.04 gives 1010.51: a total of 1010.50 is not reached and
  // the largest principal below it is shown with its own total.
  ASSERT_EQ(PerloFormLeave(&form, kPerloTotalField, "1010,50", &changed), 0);
  EXPECT_EQ(Text(kPerloAmountField), "1 000,03 zł"_pl);
  EXPECT_EQ(Text(kPerloInterestField), "10,46 zł"_pl);
  EXPECT_EQ(Text(kPerloTotalField), "1 010,49 zł"_pl);
  EXPECT_EQ(changed, Bit(kPerloAmountField) | Bit(kPerloTotalField));
}

}  // namespace
