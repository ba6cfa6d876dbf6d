#include "business/options.h"

#include <gtest/gtest.h>

#include "business/prices.h"
#include "common/codepage.h"
#include "common/text.h"
#include "platform/inifile.h"
#include "support/amount_testing.h"
#include "support/temp_dir.h"

namespace {

class OptionsTest : public ::testing::Test {
 protected:
  // Lines given in the data code page; the file holds code page 852.
  static void Write(std::string_view lines) {
    WriteWholeFile(ConfigPath(),
                   convert_string(kCodePageWindows, kCodePageLatin2, std::string(lines)));
  }
};

}  // namespace

TEST_F(OptionsTest, KeysOfOtherSectionsOrNamesAreNoOptionsAndReadingWritesNothing) {
  Write("[Console]\nAutoProductNr=0\nRoundPrice=0\nWarnDebtor=0\n[tamsu]\nWarnNoNIP=0\n");
  LoadBusinessOptions();
  EXPECT_EQ(AutoProductNr(), 1);
  EXPECT_EQ(RoundPrice(), 2);
  EXPECT_EQ(WarnDebtor(), 1);
  EXPECT_EQ(WarnNoNIP(), 1);
  EXPECT_EQ(Measure(1), "szt.");
  EXPECT_EQ(Measure(2), "");
  EXPECT_EQ(ReadWholeFile(ConfigPath()),
            "[Console]\nAutoProductNr=0\nRoundPrice=0\nWarnDebtor=0\n[tamsu]\nWarnNoNIP=0\n");
}

TEST_F(OptionsTest, StoredValuesAreRead) {
  Write(
      "[Tamsu]\nAutoProductNr=0\nAutoCustomer=17\nRoundPrice=-1\nRoundAmount=3\n"
      "PriceSaleNettoShow=1\nWarnLowSalePrice=1\nDocumentPlace=Kraków\n"
      "DocumentRowsPerPage=25\nMeasure1=kg\nMeasure3=m2\nCompany=1\n"_plv);
  // The loaded options change only with a load; the others are read when asked.
  EXPECT_EQ(AutoProductNr(), 1);
  EXPECT_EQ(WarnLowSalePrice(), 1);
  LoadBusinessOptions();
  EXPECT_EQ(AutoProductNr(), 0);
  EXPECT_EQ(AutoCustomer(), A("17"));
  EXPECT_EQ(RoundAmount(), 3);
  EXPECT_EQ(DocumentRowsPerPage(), A("25"));
  EXPECT_EQ(Measure(1) + Measure(3), "kgm2");
  EXPECT_EQ(Company(), A("1"));
  // The file is in code page 852; the value comes out in the data code page.
  EXPECT_EQ(DocumentPlace(), "Kraków"_plv);
  // A price precision of −1 rounds prices to whole tens.
  EXPECT_EQ(RoundToPlaces(A("1234.56"), RoundPrice()), A("1230"));
  ResetBusinessOptions();
  EXPECT_EQ(AutoProductNr(), 1);
}

TEST_F(OptionsTest, PrecisionsOutsideTheirChoicesAreBroughtIn) {
  Write("[Tamsu]\nRoundAmount=9\nRoundPay=-9\nRoundPrice=5\n");
  LoadBusinessOptions();
  EXPECT_EQ(RoundAmount(), 4);
  EXPECT_EQ(RoundPay(), -5);
  EXPECT_EQ(RoundPrice(), 2);
}

TEST_F(OptionsTest, SettersWriteAndKeepTheLoadedCopyInStep) {
  Write("");
  ASSERT_EQ(SetPriceSaleNettoShow(1), 0);
  ASSERT_EQ(SetRoundPay(-2), 0);
  ASSERT_EQ(SetAutoCustomer(A("5")), 0);
  ASSERT_EQ(SetWarnNoBank(0), 0);
  ASSERT_EQ(SetDocumentPlace("Łódź"_plv), 0);
  ASSERT_EQ(SetMeasure(2, "opak.xyz"), 0);
  EXPECT_EQ(RoundPay(), -2);
  ResetBusinessOptions();
  LoadBusinessOptions();
  EXPECT_EQ(PriceSaleNettoShow(), 1);
  EXPECT_EQ(RoundPay(), -2);
  EXPECT_EQ(AutoCustomer(), A("5"));
  EXPECT_EQ(WarnNoBank(), 0);
  EXPECT_EQ(DocumentPlace(), "Łódź"_plv);
  EXPECT_EQ(Measure(2), "opak.");  // five characters at most
  EXPECT_EQ(SetMeasure(7, "x"), -1);
}

TEST_F(OptionsTest, NetPriceDocumentFlagsFollowTheirKinds) {
  Write("[Tamsu]\nDocumentRoundNetto=0 1 0 1 0 0 1\n");
  LoadBusinessOptions();
  EXPECT_EQ(NetDefaultFor(7), 1);  // FV
  EXPECT_EQ(NetDefaultFor(8), 0);  // FR has no flag
  EXPECT_EQ(NetDefaultFor(4), 0);  // a warehouse document

  std::array<uint8_t, kRoundNettoCount> flags{};
  flags[0] = 1;
  flags[4] = 1;
  ASSERT_EQ(SetDocumentRoundNetto(flags), 0);
  EXPECT_EQ(NetDefaultFor(11), 1);  // ZF
  std::string stored;
  INIFILE(ConfigPath()).GetString("Tamsu", "DocumentRoundNetto", &stored);
  EXPECT_EQ(stored, "1 0 0 0 1 0 0");
}

TEST_F(OptionsTest, ShortOrBrokenFlagListsKeepTheRestAtDefault) {
  uint8_t flags[5] = {1, 1, 1, 1, 1};
  ParseFlagList("0 0", flags, 5);
  EXPECT_EQ(FormatFlagList(flags, 5), "0 0 1 1 1");
  uint8_t more[5] = {0, 0, 0, 0, 0};
  ParseFlagList(" 1 2 x 1", more, 5);
  EXPECT_EQ(FormatFlagList(more, 5), "1 1 0 0 0");
  Write("[Tamsu]\nFiscDocumentFilter=1 0\nDocumentFilter=\n");
  const auto fisc = FiscDocumentFilter();
  EXPECT_EQ(FormatFlagList(fisc.data(), 8), "1 0 1 1 1 1 1 1");
  EXPECT_EQ(FormatFlagList(DocumentFilter().data(), 14), "1 1 1 1 1 1 1 1 1 1 1 1 1 1");
}

TEST_F(OptionsTest, FiscalAndReportFiltersByDocument) {
  Write("[Tamsu]\nFiscDocumentFilter=0 1 1 1 0 1 1 1\n");
  EXPECT_FALSE(FiscalReceiptAllowed(0));
  EXPECT_TRUE(FiscalReceiptAllowed(7));    // FV
  EXPECT_FALSE(FiscalReceiptAllowed(10));  // PA
  EXPECT_FALSE(FiscalReceiptAllowed(4));   // not a sales document
  std::array<uint8_t, kDocumentFilterCount> flags;
  flags.fill(1);
  EXPECT_TRUE(DocumentFilterAccepts(flags, 4, 7, true));
  flags[DocumentFilterFiscalFlag(true)] = 0;
  EXPECT_FALSE(DocumentFilterAccepts(flags, 4, 7, true));
  EXPECT_TRUE(DocumentFilterAccepts(flags, 4, 7, false));
  flags[2] = 0;  // internal warehouse documents left out
  EXPECT_FALSE(DocumentFilterAccepts(flags, 5, 0, false));
  EXPECT_TRUE(DocumentFilterAccepts(flags, 6, 0, false));
  ASSERT_EQ(SetDocumentFilter(flags), 0);
  EXPECT_EQ(DocumentFilter(), flags);
}

TEST_F(OptionsTest, HeaderAndFooterLinesCarryTheirMark) {
  Write(
      "[Tamsu]\nHdrFtr1H1=*FIRMA HANDLOWA\nHdrFtr1H2= wyłączona\nHdrFtr7F6=bez znacznika\n"
      "HdrFtr2F1=\n"_plv);
  // "*" prints the line, a blank keeps it silent; without a mark the whole value is the text
  // and the line prints nothing.
  auto shown = [](int doc, char part, int line) {
    const HEADER_LINE h = HeaderFooterLine(doc, part, line);
    return (h.enabled ? "+" : "-") + h.text;
  };
  EXPECT_EQ(shown(1, 'H', 1), "+FIRMA HANDLOWA");
  EXPECT_EQ(shown(1, 'H', 2), "-wyłączona"_plv);
  EXPECT_EQ(shown(7, 'F', 6), "-bez znacznika");
  EXPECT_EQ(shown(2, 'F', 1), "-");
  EXPECT_EQ(HeaderFooterKey(3, 'F', 4), "HdrFtr3F4");
  EXPECT_EQ(HeaderFooterKey(8, 'H', 1) + HeaderFooterKey(1, 'X', 1) + HeaderFooterKey(1, 'H', 7),
            "");
  // A text is cut to 160 characters; a silent line is stored after a blank.
  ASSERT_EQ(SetHeaderFooterLine(6, 'F', 3, HEADER_LINE{true, std::string(200, 'x')}), 0);
  EXPECT_EQ(shown(6, 'F', 3), "+" + std::string(160, 'x'));
  ASSERT_EQ(SetHeaderFooterLine(6, 'F', 2, HEADER_LINE{false, "stopka"}), 0);
  std::string stored;
  INIFILE(ConfigPath()).GetString("Tamsu", "HdrFtr6F2", &stored);
  EXPECT_EQ(stored, " stopka");
  EXPECT_EQ(SetHeaderFooterLine(0, 'F', 2, HEADER_LINE{}), -1);
}
