// A headless screen over a real database in a temporary directory, for the record list and
// search tests. Typed keys are not seen as waiting (no typeahead), so a search loop that polls
// for Esc does not eat the keys queued for after it; each snapshot also keeps the attributes.
#pragma once

#include <string>
#include <vector>

#include "db/db_events.h"
#include "db/dbtable.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "support/temp_dir.h"
#include "ui/record_list.h"
#include "ui_testing.h"

class RECORD_TEST_CONSOLE : public SNAPSHOT_CONSOLE {
 public:
  bool key_pending() override { return typeahead && SNAPSHOT_CONSOLE::key_pending(); }
  int next_key(KeyEvent* ev, int timeout_ms) override {
    for (;;) {
      int r = HEADLESS_CONSOLE::next_key(ev, timeout_ms);
      if (r != 1 || ev->scan != kScanSnapshot) return r;
      snapshots.push_back(screen_text());
      caret_columns.push_back(caret_x);
      std::vector<std::string> rows;
      for (int y = 0; y < kRows; ++y) rows.push_back(row_attrs(y));
      attrs.push_back(rows);
    }
  }
  bool typeahead = false;
  std::vector<std::vector<std::string>> attrs;  // per snapshot, per row
};

class RecordTest : public UiTest {
 protected:
  RecordTest() : dir(true) {}
  void SetUp() override {
    UiTest::SetUp();
    ScreenReset();
    rc = new RECORD_TEST_CONSOLE;
    con = rc;
    ASSERT_EQ(screen_open_on(con), 0);
    ResetRecordLists();
    ClearRecords();
    ASSERT_EQ(OpenDatabase(), 0);
  }
  void TearDown() override {
    CloseDatabase();
    ResetTables();
    ResetDbEvents();
    ResetTableLocks();
    ResetRecordLists();
    UiTest::TearDown();
  }
  // The attribute of cell (x, y) at snapshot i, as two hex digits.
  std::string ShotAttr(size_t i, int x, int y) { return rc->attrs.at(i).at(y).substr(x * 2, 2); }

  TempDir dir;
  RECORD_TEST_CONSOLE* rc = nullptr;
};
