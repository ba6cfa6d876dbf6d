// The goods and group forms driven headless over a real database in a temporary directory with
// its own Tamsu.ini: keys are queued before the form runs, each snapshot keeps the screen and
// where the caret stood, and the tests then read the table files back.
#pragma once

#include <string>
#include <vector>

#include "../shell/key_script.h"
#include "../ui/ui_testing.h"
#include "business/goods_form.h"
#include "business/goods_rules.h"
#include "business/options.h"
#include "common/text.h"
#include "db/db_events.h"
#include "db/dbtable.h"
#include "business/demo_data.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_check.h"
#include "db/table_lock.h"
#include "platform/inifile.h"
#include "business/rights.h"
#include "support/temp_dir.h"
#include "ui/message_box.h"
#include "ui/record_list.h"
#include "ui/record_search.h"

class GOODS_TEST_CONSOLE : public HEADLESS_CONSOLE {
 public:
  // Queued keys are not typeahead: a walk that polls for Esc leaves them to the dialogs.
  bool key_pending() override {
    if (quiet_polls > 0) {
      --quiet_polls;
      return false;
    }
    return typeahead && HEADLESS_CONSOLE::key_pending();
  }
  int next_key(KeyEvent* ev, int timeout_ms) override {
    for (;;) {
      int r = HEADLESS_CONSOLE::next_key(ev, timeout_ms);
      if (r != 1 || ev->scan != kScanSnapshot) return r;
      snapshots.push_back(screen_text());
      carets.push_back(caret_visible ? caret_y * 100 + caret_x : -1);
    }
  }
  bool typeahead = false;
  long quiet_polls = 0;  // polls answered "nothing waiting" first: Esc seen half-way
  std::vector<std::string> snapshots;
  std::vector<int> carets;  // y * 100 + x, or -1 when hidden
};

inline void ShowRefusal(const char* text) { message("%s", text); }

class GoodsTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    ScreenReset();
    gc = new GOODS_TEST_CONSOLE;
    con = nullptr;
    ASSERT_EQ(screen_open_on(gc), 0);
    SetConfigPath(dir.File("Tamsu.ini"));
    ResetRecordLists();
    ResetRights();
    SetRightsReporter(ShowRefusal);
    ResetBusinessOptions();
    ClearRecords();
    ASSERT_EQ(OpenDatabase(), 0);
  }
  void TearDown() override {
    // A failing test shows what the screen showed.
    if (HasFailure())
      for (size_t i = 0; i < gc->snapshots.size(); ++i)
        std::printf("--- snapshot %zu\n%s", i, gc->snapshots[i].c_str());
    CloseDatabase();
    ResetTables();
    ResetDbEvents();
    ResetTableLocks();
    ResetRecordLists();
    ResetRights();
    ResetBusinessOptions();
    ClearRecords();
    SetConfigPath("");
    UiTest::TearDown();
  }

  void Demo() { ASSERT_EQ(CreateDemoDatabase(), 0); }

  void K(uint8_t ch, uint8_t scan = 0x10, uint32_t shift = 0) { gc->push_key(ch, scan, shift); }
  void Keys(const std::string& text) {
    for (char c : text) K(static_cast<uint8_t>(c));
  }
  void AltKey(char letter) { gc->push_key(static_cast<uint8_t>(letter), 0x10, kShiftAlt); }
  void EnterKey() { gc->push_key(13, kScanEnter); }
  void EscKey() { gc->push_key(27, kScanEsc); }
  void TabKey() { gc->push_key(9, kScanTab); }
  void SpaceKey() { gc->push_key(' ', kScanSpace); }
  void CtrlY() { gc->push_key(25, 0x15, kShiftCtrl); }
  void Shoot() { gc->push_key(0, kScanSnapshot); }
  void Play(std::string_view script) { PlayKeys(gc, script); }

  bool ShotHas(size_t i, const std::string& utf8) const {
    return i < gc->snapshots.size() && gc->snapshots[i].find(utf8) != std::string::npos;
  }
  // Whether the caret stood in control i of the form at snapshot k.
  bool CaretIn(size_t k, ControlRecord* form, int i) const {
    if (k >= gc->carets.size() || gc->carets[k] < 0) return false;
    const int x = gc->carets[k] % 100, y = gc->carets[k] / 100;
    const int fx = dlg_abs_x(form, i), fy = dlg_abs_y(form, i);
    return y == fy && x >= fx && x <= fx + form[i].width;
  }

  // The goods or group with that name, made current in its table by the name index.
  static bool GoodsNamed(const std::string& utf8) {
    TableSetIndex(kTableGoods, 1);
    for (int rc = TableFirst(kTableGoods); rc == 0; rc = TableNext(kTableGoods))
      if (Utf8ToCp1250(utf8) == Tow.NAZWA) return true;
    return false;
  }
  static bool GroupNamed(const std::string& utf8) {
    TableSetIndex(kTableGroups, 1);
    for (int rc = TableFirst(kTableGroups); rc == 0; rc = TableNext(kTableGroups))
      if (Utf8ToCp1250(utf8) == Gto.NAZWA) return true;
    return false;
  }
  static void ExpectTablesSound() {
    for (int t : {kTableGroups, kTableGoods}) {
      std::string problem;
      EXPECT_EQ(CheckTable(t, &problem), 0) << t << ": " << problem;
    }
  }
  // Runs the goods form over a record with the queued keys; its result.
  static int EditGoods(const TOW_RECORD& r) { return goods_form_edit(r, false); }
  static int EditGroup(const GTO_RECORD& r) { return group_form_edit(r, false); }

  TempDir dir{true};
  GOODS_TEST_CONSOLE* gc = nullptr;
};
