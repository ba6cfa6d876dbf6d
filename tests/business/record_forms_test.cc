#include <gtest/gtest.h>

#include <cstring>

#include "business/contractor_form.h"
#include "business/demo_data.h"
#include "business/document_kinds.h"
#include "business/goods_form.h"
#include "business/options.h"
#include "business/record_lookup.h"
#include "business/transaction_form.h"
#include "common/text.h"
#include "db/db_events.h"
#include "db/dbtable.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "support/temp_dir.h"
#include "ui/field.h"

namespace {

class RecordFormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(OpenDatabase(), 0);
    ASSERT_EQ(CreateDemoDatabase(), 0);
  }
  void TearDown() override { CloseDatabase(); }
  // The text a form shows in field i.
  static std::string Shown(ControlRecord* form, int i) { return format_field(form[i].data.field); }
  static int FieldAfterLabel(ControlRecord* form, const char* label) {
    for (int i = 1; form[i].kind != kKindEnd; ++i)
      if (form[i].kind == kKindText && form[i].data.text &&
          std::strcmp(form[i].data.text, label) == 0)
        return i + 1;
    return -1;
  }
  TempDir dir{true};
};

TEST(ContractorAddressTest, PartsAndSeparatorsOnlyWhenPresent) {
  KON_RECORD k{};
  std::strcpy(k.KOD, "00-001");
  std::strcpy(k.MIASTO, "Warszawa");
  std::strcpy(k.ADRES, "ul. Polna 1");
  EXPECT_EQ(ContractorAddress(k), "00-001 Warszawa, ul. Polna 1");
  k.KOD[0] = 0;
  EXPECT_EQ(ContractorAddress(k), "Warszawa, ul. Polna 1");
  k.MIASTO[0] = 0;
  EXPECT_EQ(ContractorAddress(k), "ul. Polna 1");
  std::memset(k.ADRES, 'x', 50);
  k.ADRES[50] = 0;
  std::strcpy(k.KOD, "00-001");
  EXPECT_EQ(ContractorAddress(k).size(), 50u);
}

TEST_F(RecordFormsTest, GoodsFormShowsGroupKindNetPriceAndQuantityPrecision) {
  TableSetIndex(kTableGoods, 1);
  ASSERT_EQ(TableFirst(kTableGoods), 0);  // "Anturium", 7.38 at 23 %
  TableSetIndex(kTableGroups, 1);
  ASSERT_EQ(TableLast(kTableGroups), 0);
  const long group_at = TableRecNo(kTableGroups);
  const std::string group_name = Gto.NAZWA;

  goods_form_load();
  ControlRecord* f = goods_form();
  EXPECT_STREQ(f[0].data.text, "TOWARY");
  EXPECT_EQ(Shown(f, FieldAfterLabel(f, "&Nazwa:")), "Anturium");
  EXPECT_EQ(Shown(f, FieldAfterLabel(f, "&Grupa:")), "Kwiaty");
  EXPECT_EQ(Shown(f, FieldAfterLabel(f, "Ro&dzaj:")), "produkt własny"_pl);
  EXPECT_EQ(Shown(f, FieldAfterLabel(f, "&Cena sprzedaży netto:              zł"_pl)),
            "        6,00");
  EXPECT_EQ(Shown(f, FieldAfterLabel(f, "Cena sprzedaży &brutto:              zł"_pl)),
            "        7,38");
  EXPECT_EQ(Shown(f, FieldAfterLabel(f, "Stawka &VAT:              %")), "23");
  EXPECT_EQ(Shown(f, FieldAfterLabel(f, "&Marża:              %"_pl)), "  50,00");
  ASSERT_EQ(SetRoundAmount(3), 0);
  goods_form_load();
  EXPECT_EQ(Shown(f, FieldAfterLabel(f, "Stan bieżący:"_pl)), "     190,000");
  // The groups table keeps its own place and record.
  EXPECT_EQ(TableRecNo(kTableGroups), group_at);
  EXPECT_EQ(TableGetIndex(kTableGroups), 1);
  EXPECT_EQ(std::string(Gto.NAZWA), group_name);
}

TEST_F(RecordFormsTest, TransactionFormShowsContractorDocumentsAndNetSum) {
  TableSetIndex(kTableTransactions, 1);
  ASSERT_EQ(TableLast(kTableTransactions), 0);
  ASSERT_EQ(TableFirst(kTableContractors), 0);
  const long contractor_at = TableRecNo(kTableContractors);
  transaction_form_load();
  TRANSACTION_FORM_BUFFER* b = transaction_form_buffer();
  EXPECT_STREQ(b->kind_name, "rozchód"_pl);
  EXPECT_STREQ(b->warehouse_name, "Dowód wydania zewnętrznego"_pl);
  EXPECT_STREQ(b->sales_name, "Faktura VAT");
  EXPECT_GT(std::strlen(b->contractor_name), 0u);
  EXPECT_GT(std::strlen(b->contractor_address), 0u);
  EXPECT_EQ(b->net_sum, RoundTo(Tra.SUMA - Tra.VAT, 2));
  EXPECT_EQ(TableRecNo(kTableContractors), contractor_at);

  // A contractor that is gone leaves the name and address empty.
  Tra.KONID = AMOUNT::FromInt(999);
  transaction_form_load();
  EXPECT_STREQ(b->contractor_name, "");
  EXPECT_STREQ(b->contractor_address, "");
}

TEST_F(RecordFormsTest, ReadRecordByIdFindsOnlyExactIdentifiers) {
  GTO_RECORD g{};
  EXPECT_EQ(ReadRecordById(kTableGroups, AMOUNT::FromInt(2), &g), 0);
  EXPECT_STREQ(g.NAZWA, "Alkohole");
  GTO_RECORD untouched{};
  std::strcpy(untouched.NAZWA, "bez zmian");
  EXPECT_EQ(ReadRecordById(kTableGroups, AMOUNT::FromInt(4), &untouched), kTableEnd);
  EXPECT_EQ(ReadRecordById(kTableGroups, AMOUNT(), &untouched), kTableEnd);
  EXPECT_STREQ(untouched.NAZWA, "bez zmian");
}

}  // namespace
