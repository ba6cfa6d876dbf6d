// The option dialogs driven with keys: what " &Ok " writes and Esc does not.
#include <gtest/gtest.h>

#include "business/options_dialogs.h"
#include "transaction_testing.h"

namespace {

class OptionsDialogsTest : public TransactionTest {};

TEST_F(OptionsDialogsTest, ServiceOptionsAndTheAutomaticCustomerAreWrittenOnOkOnly) {
  const AMOUNT customer = AddContractor("Kwiaciarnia");
  // The automatic WZ on, the automatic customer ticked and chosen from the list.
  Play("{Alt+m}{Alt+k}{Tab}{Enter}K{Enter}{Snap}{Alt+o}");
  ASSERT_EQ(service_options_dialog(), 0);
  EXPECT_TRUE(ShotHas(0, "Kwiaciarnia"));
  EXPECT_EQ(AutoWZ(), 1);
  EXPECT_EQ(AutoCustomer(), customer);
  Play("{Alt+m}{Alt+k}{Esc}");
  EXPECT_EQ(service_options_dialog(), 1);
  LoadBusinessOptions();
  EXPECT_EQ(AutoWZ(), 1);
  EXPECT_EQ(AutoCustomer(), customer);
  // Clearing the box clears the customer.
  Play("{Alt+k}{Alt+o}");
  ASSERT_EQ(service_options_dialog(), 0);
  EXPECT_EQ(AutoCustomer(), AMOUNT());
}

TEST_F(OptionsDialogsTest, PrecisionsAreChosenAsStepsAndNetDocumentsTicked) {
  // Prices to whole tens: the fourth step from 0,01; net prices proposed for "Faktura VAT".
  Play("{Alt+t}{Snap}{Down}{Down}{Down}{Enter}{Alt+f}{Alt+o}");
  ASSERT_EQ(rounding_options_dialog(), 0);
  EXPECT_TRUE(ShotHas(0, " 100 000 "));
  EXPECT_EQ(RoundPrice(), -1);
  EXPECT_EQ(RoundPay(), 2);
  EXPECT_EQ(NetDefaultFor(7), 1);
  LoadBusinessOptions();
  EXPECT_EQ(RoundPrice(), -1);
  EXPECT_EQ(RoundToPlaces(A(123.45), RoundPrice()), A(120));
}

TEST_F(OptionsDialogsTest, AHeaderLineWithoutItsMarkShowsUntickedAndIsStoredWithOne) {
  ASSERT_EQ(INIFILE(ConfigPath()).WriteString(kOptionsSection, "HdrFtr5H1", "Bez znaku"), 0);
  EXPECT_FALSE(HeaderFooterLine(5, 'H', 1).enabled);
  Play("{Snap}{Space}{Alt+o}");
  ASSERT_EQ(header_footer_dialog(5), 0);
  EXPECT_TRUE(ShotHas(0, "Dowód przyjęcia"));
  EXPECT_TRUE(ShotHas(0, "[ ] Bez znaku"));
  const HEADER_LINE line = HeaderFooterLine(5, 'H', 1);
  EXPECT_TRUE(line.enabled);
  EXPECT_EQ(line.text, "Bez znaku");
}

}  // namespace
