// The record forms over an open database in a fresh directory: contractors (with their record
// commands registered) and goods and groups (on the demonstration data when wanted).
#pragma once

#include <string>
#include <string_view>

#include "business/contractor_form.h"
#include "business/demo_data.h"
#include "business/goods_form.h"
#include "business/record_lookup.h"
#include "business/rights.h"
#include "common/text.h"
#include "db/dbtable.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "support/ui_fixture.h"
#include "ui/message_box.h"
#include "ui/record_list.h"

class ContractorTest : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    RegisterContractorCommands();
  }
  // The stored contractor with this identifier, read without moving the table.
  static KON_RECORD Stored(int id) {
    KON_RECORD k{};
    ReadRecordById(kTableContractors, AMOUNT::FromInt(id), &k);
    return k;
  }
  // Plays the keys over the form of a new contractor; the form's result.
  int AddWith(std::string_view script) {
    Play(script);
    return contractor_form_edit(kContractorAddEmpty);
  }
};

class GoodsTest : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    con->typeahead = false;
    SetRightsReporter([](const char* text) { message("%s", text); });
  }
  void Demo() { ASSERT_EQ(CreateDemoDatabase(), 0); }
  static int EditGoods(const TOW_RECORD& r) { return goods_form_edit(r, false); }
  static int EditGroup(const GTO_RECORD& r) { return group_form_edit(r, false); }
  // The goods with this identifier, made current.
  static TOW_RECORD Stored(int id) {
    EXPECT_EQ(FindById(kTableGoods, AMOUNT::FromInt(id)), 0) << id;
    return Tow;
  }
  // The goods or group with that name, made current in its table by the name index.
  static bool Named(int table, const std::string& utf8) {
    TableSetIndex(table, 1);
    for (int rc = TableFirst(table); rc == 0; rc = TableNext(table))
      if (Utf8ToCp1250(utf8) == (table == kTableGoods ? Tow.NAZWA : Gto.NAZWA)) return true;
    return false;
  }
  // Whether the caret stood in control i of the form at snapshot k.
  bool CaretIn(size_t k, ControlRecord* form, int i) const {
    if (k >= Shots() || !ShotAt(k).caret) return false;
    const int fx = dlg_abs_x(form, i);
    return ShotAt(k).caret_y == dlg_abs_y(form, i) && ShotAt(k).caret_x >= fx &&
           ShotAt(k).caret_x <= fx + form[i].width;
  }
};
