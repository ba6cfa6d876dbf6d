#include "business/options.h"

#include <gtest/gtest.h>

#include "support/amount_testing.h"
#include "business/prices.h"
#include "common/text.h"
#include "platform/inifile.h"
#include "support/temp_dir.h"
#include "common/codepage.h"

namespace {

class OptionsTest : public ::testing::Test {
 protected:
  // Lines given in the data code page; the file holds code page 852.
  static void Write(std::string_view lines) {
    WriteWholeFile(ConfigPath(), convert_string(kCodePageWindows, kCodePageLatin2, std::string(lines)));
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
  EXPECT_EQ(ReadWholeFile(ConfigPath()), "[Console]\nAutoProductNr=0\nRoundPrice=0\nWarnDebtor=0\n[tamsu]\nWarnNoNIP=0\n");
}

TEST_F(OptionsTest, StoredValuesAreRead) {
  Write("[Tamsu]\nAutoProductNr=0\nAutoCustomer=17\nRoundPrice=-1\nRoundAmount=3\n"
        "PriceSaleNettoShow=1\nWarnLowSalePrice=1\nDocumentPlace=Kraków\n"
        "DocumentRowsPerPage=25\nMeasure1=kg\nMeasure3=m2\nCompany=1\n"_plv);
  // The loaded options change only with a load; the others are read when asked.
  EXPECT_EQ(AutoProductNr(), 1);
  EXPECT_EQ(WarnLowSalePrice(), 1);
  LoadBusinessOptions();
  EXPECT_EQ(AutoProductNr(), 0);
  EXPECT_EQ(AutoCustomer(), A("17"));
  EXPECT_EQ(RoundPrice(), -1);
  EXPECT_EQ(RoundAmount(), 3);
  EXPECT_EQ(PriceSaleNettoShow(), 1);
  EXPECT_EQ(DocumentRowsPerPage(), A("25"));
  EXPECT_EQ(Measure(1), "kg");
  EXPECT_EQ(Measure(3), "m2");
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
  EXPECT_EQ(PriceSaleNettoShow(), 1);
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
  int32_t stored = 0;
  EXPECT_EQ(INIFILE(ConfigPath()).GetInt("Tamsu", "PriceSaleNettoShow", &stored), 0);
  EXPECT_EQ(stored, 1);
}

TEST_F(OptionsTest, NetPriceDocumentFlagsFollowTheirKinds) {
  Write("[Tamsu]\nDocumentRoundNetto=0 1 0 1 0 0 1\n");
  LoadBusinessOptions();
  EXPECT_EQ(NetDefaultFor(7), 1);   // FV
  EXPECT_EQ(NetDefaultFor(8), 0);   // FR has no flag
  EXPECT_EQ(NetDefaultFor(9), 0);   // RU
  EXPECT_EQ(NetDefaultFor(10), 1);  // PA
  EXPECT_EQ(NetDefaultFor(13), 1);  // ZP
  EXPECT_EQ(NetDefaultFor(0), 0);
  EXPECT_EQ(NetDefaultFor(4), 0);   // a warehouse document
  EXPECT_EQ(NetDefaultFor(99), 0);

  std::array<uint8_t, kRoundNettoCount> flags{};
  flags[0] = 1;
  flags[4] = 1;
  ASSERT_EQ(SetDocumentRoundNetto(flags), 0);
  EXPECT_EQ(NetDefaultFor(0), 1);
  EXPECT_EQ(NetDefaultFor(11), 1);  // ZF
  EXPECT_EQ(NetDefaultFor(7), 0);
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

TEST_F(OptionsTest, FiscalReceiptFilterBySalesDocument) {
  Write("[Tamsu]\nFiscDocumentFilter=0 1 1 1 0 1 1 1\n");
  EXPECT_FALSE(FiscalReceiptAllowed(0));
  EXPECT_TRUE(FiscalReceiptAllowed(7));   // FV
  EXPECT_FALSE(FiscalReceiptAllowed(10));  // PA
  EXPECT_TRUE(FiscalReceiptAllowed(13));
  EXPECT_FALSE(FiscalReceiptAllowed(4));   // not a sales document
}

TEST_F(OptionsTest, ReportFilterCoversWarehouseSalesAndReceipt) {
  EXPECT_EQ(DocumentFilterWarehouseFlag(0), 0);
  EXPECT_EQ(DocumentFilterWarehouseFlag(1), 1);  // PZ
  EXPECT_EQ(DocumentFilterWarehouseFlag(4), 1);  // WZ
  EXPECT_EQ(DocumentFilterWarehouseFlag(5), 2);  // WW
  EXPECT_EQ(DocumentFilterWarehouseFlag(3), 3);  // PM
  EXPECT_EQ(DocumentFilterWarehouseFlag(7), -1);
  EXPECT_EQ(DocumentFilterSalesFlag(0), 4);
  EXPECT_EQ(DocumentFilterSalesFlag(7), 5);
  EXPECT_EQ(DocumentFilterSalesFlag(13), 11);
  EXPECT_EQ(DocumentFilterSalesFlag(2), -1);
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
  Write("[Tamsu]\nHdrFtr1H1=*FIRMA HANDLOWA\nHdrFtr1H2= wyłączona\nHdrFtr7F6=bez znacznika\n"
        "HdrFtr2F1=\n"_plv);
  HEADER_LINE h = HeaderFooterLine(1, 'H', 1);
  EXPECT_TRUE(h.enabled);
  EXPECT_EQ(h.text, "FIRMA HANDLOWA");
  h = HeaderFooterLine(1, 'H', 2);
  EXPECT_FALSE(h.enabled);
  EXPECT_EQ(h.text, "wyłączona"_plv);
  // Without a mark the whole value is the text, and the line prints nothing.
  h = HeaderFooterLine(7, 'F', 6);
  EXPECT_FALSE(h.enabled);
  EXPECT_EQ(h.text, "bez znacznika");
  EXPECT_FALSE(HeaderFooterLine(2, 'F', 1).enabled);
  EXPECT_EQ(HeaderFooterKey(3, 'F', 4), "HdrFtr3F4");
  EXPECT_EQ(HeaderFooterKey(8, 'H', 1), "");
  EXPECT_EQ(HeaderFooterKey(1, 'X', 1), "");
  EXPECT_EQ(HeaderFooterKey(1, 'H', 7), "");

  const std::string long_text(200, 'x');
  ASSERT_EQ(SetHeaderFooterLine(6, 'F', 3, HEADER_LINE{true, long_text}), 0);
  h = HeaderFooterLine(6, 'F', 3);
  EXPECT_TRUE(h.enabled);
  EXPECT_EQ(h.text, std::string(160, 'x'));
  ASSERT_EQ(SetHeaderFooterLine(6, 'F', 2, HEADER_LINE{false, "stopka"}), 0);
  std::string stored;
  INIFILE(ConfigPath()).GetString("Tamsu", "HdrFtr6F2", &stored);
  EXPECT_EQ(stored, " stopka");
  EXPECT_EQ(SetHeaderFooterLine(0, 'F', 2, HEADER_LINE{}), -1);
}
