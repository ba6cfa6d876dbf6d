#include "business/numbering.h"

#include <gtest/gtest.h>

#include "support/amount_testing.h"

namespace {
// The next number after the one found, as the numbering does it for a found entry of the same
// year, kind and document.
std::string Next(std::string_view found) {
  return DocumentNumberAfter(found, FirstDigitValue(found) + 1);
}
}  // namespace

TEST(DocumentNumbers, FirstRunOfDigitsCounts) {
  EXPECT_EQ(Next("12/2014"), "13/2014");
  EXPECT_EQ(Next("A009"), "A10");
  EXPECT_EQ(Next("Z"), "Z1");
  EXPECT_EQ(Next(""), "1");
  EXPECT_EQ(Next("FV 99/K/7"), "FV 100/K/7");
  EXPECT_EQ(FirstDigitRun("WZ 45/2014"), "45");
  EXPECT_EQ(FirstDigitValue("no digits"), 0u);
}

TEST(DocumentNumbers, ANewSeriesStartsFromTheTextFound) {
  // The first PZ of a year takes the text of the last WZ of the year before, counter set to 1.
  EXPECT_EQ(DocumentNumberAfter("WZ 45/2014", 1), "WZ 1/2014");
}

TEST(DocumentNumbers, NumberThatWouldPassSixteenCharactersIsKept) {
  EXPECT_EQ(Next("ABCDEFGHIJKLMN99"), "ABCDEFGHIJKLMN99");
  EXPECT_EQ(Next("ABCDEFGHIJKLMNO"), "ABCDEFGHIJKLMNO1");  // exactly 16
  EXPECT_EQ(Next("ABCDEFGHIJKLMNOP"), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(Next("99999999999999/1"), "99999999999999/1");
  // A digit run too long for 64 bits saturates rather than wrapping round.
  EXPECT_EQ(FirstDigitValue("999999999999999999999"), UINT64_MAX);
}

TEST(AmountDue, InternalWarehouseDocumentsOweNothing) {
  for (const char* code : {"PW", "PM", "WW", "WM", "PW "}) {
    EXPECT_TRUE(IsInternalWarehouseDocument(code)) << code;
    EXPECT_EQ(AmountDue(code, A("123.45"), 2), AMOUNT()) << code;
  }
  for (const char* code : {"", "PZ", "WZ", "FV"}) {
    EXPECT_FALSE(IsInternalWarehouseDocument(code)) << code;
    EXPECT_EQ(AmountDue(code, A("123.45"), 2), A("123.45")) << code;
  }
  EXPECT_EQ(AmountDue("WZ", A("123.45"), 0), A("123"));
  EXPECT_EQ(AmountDue("WZ", A("125.00"), -1), A("130"));
  EXPECT_EQ(AmountDue("WZ", A("123.456"), 2), A("123.46"));
}
