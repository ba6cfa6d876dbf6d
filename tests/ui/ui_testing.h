// A headless screen for the dialog, menu and window tests: keys are queued before the code under
// test runs, a "snapshot" key in the queue records the screen as UTF-8 text at that moment
// (the dialogs are modal, so this is how a test looks at one while it is open), and golden
// dumps live in tests/ui/golden (TAMSU_UPDATE_GOLDEN=1 rewrites them).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/console.h"
#include "platform/headless.h"
#include "ui/feedback.h"
#include "ui/number_format.h"
#include "ui/screen.h"

inline constexpr uint8_t kScanSnapshot = 0x7E;
// A "hook" key runs the test's hook there (a simulated device sends, say) and gives no key, so
// that the program reads what other threads posted meanwhile before the queued keys go on.
inline constexpr uint8_t kScanHook = 0x7D;

class SNAPSHOT_CONSOLE : public HEADLESS_CONSOLE {
 public:
  int next_key(KeyEvent* ev, int timeout_ms) override {
    for (;;) {
      int r = HEADLESS_CONSOLE::next_key(ev, timeout_ms);
      if (r == 1 && ev->scan == kScanHook) {
        if (hook) hook();
        return 0;
      }
      if (r != 1 || ev->scan != kScanSnapshot) return r;
      snapshots.push_back(screen_text());
      caret_columns.push_back(caret_x);
      std::vector<std::string> attrs;
      for (int y = 0; y < 25; ++y) attrs.push_back(row_attrs(y));
      attr_snapshots.push_back(attrs);
    }
  }
  // The attribute of cell (x, y) in snapshot i, or -1.
  int shot_attr(size_t i, int x, int y) const {
    if (i >= attr_snapshots.size()) return -1;
    return std::stoi(attr_snapshots[i][static_cast<size_t>(y)].substr(static_cast<size_t>(2 * x), 2), nullptr, 16);
  }
  std::vector<std::string> snapshots;
  std::vector<std::vector<std::string>> attr_snapshots;
  std::vector<int> caret_columns;  // where the caret was at each snapshot
  std::function<void()> hook;
};

// The screen opened on the stock headless console, for tests of the screen layer itself.
class HeadlessScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ScreenReset();
    console_select(kConsoleHeadless);
    ASSERT_EQ(screen_open(), 0);
    hl = headless_current();
    ASSERT_NE(hl, nullptr);
    hl->paints.clear();
  }
  void TearDown() override {
    ScreenReset();
    console_select(kConsoleTerminal);
  }
  HEADLESS_CONSOLE* hl = nullptr;
};

class UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ScreenReset();
    FeedbackReset();
    ClipboardReset();
    clipboard_use_internal(true);
    reset_number_format();
    con = new SNAPSHOT_CONSOLE;
    ASSERT_EQ(screen_open_on(con), 0);
  }
  void TearDown() override {
    ScreenReset();
    FeedbackReset();
    ClipboardReset();
    reset_number_format();
  }

  void Key(uint8_t ch, uint8_t scan = 0, uint32_t shift = 0) { con->push_key(ch, scan, shift); }
  void Scan(uint8_t scan, uint32_t shift = 0) { con->push_key(0, scan, shift); }
  void Alt(char letter) { con->push_key(static_cast<uint8_t>(letter), 0x10, kShiftAlt); }
  void Ctrl(uint8_t control_char) { con->push_key(control_char, 0x20, kShiftCtrl); }
  void Enter() { con->push_key(13, kScanEnter); }
  void Esc() { con->push_key(27, kScanEsc); }
  void Tab(uint32_t shift = 0) { con->push_key(9, kScanTab, shift); }
  void Space() { con->push_key(' ', kScanSpace); }
  void Backspace() { con->push_key(8, kScanBackspace); }
  void Type(const std::string& ascii) {
    for (char c : ascii) con->push_key(static_cast<uint8_t>(c), 0x10);
  }
  void Snapshot() { con->push_key(0, kScanSnapshot); }
  const std::string& Shot(size_t i) {
    static const std::string empty;
    return i < con->snapshots.size() ? con->snapshots[i] : empty;
  }
  std::string Row(int y) { return con->row_text(y); }
  // Row y of snapshot i.
  std::string ShotRow(size_t i, int y) {
    std::istringstream in(Shot(i));
    std::string line;
    for (int k = 0; k <= y && std::getline(in, line); ++k) {
    }
    return line;
  }

  // n screen columns from column x of a UTF-8 row.
  static std::string Cols(const std::string& row, int x, int n) {
    size_t start = 0, i = 0;
    int col = 0;
    for (; i <= row.size(); ++i) {
      if (i < row.size() && (static_cast<unsigned char>(row[i]) & 0xC0) == 0x80) continue;
      if (col == x) start = i;
      if (col == x + n) break;
      ++col;
    }
    return row.substr(start, i - start);
  }
  std::string ShotCols(size_t shot, int y, int x, int n) { return Cols(ShotRow(shot, y), x, n); }
  std::string RowCols(int y, int x, int n) { return Cols(Row(y), x, n); }

  // folder is the test folder whose golden/ holds the dump.
  void ExpectGolden(const std::string& name, const std::string& dump, const char* folder = "ui") {
    const std::string path = std::string(TAMSU_SOURCE_DIR) + "/tests/" + folder + "/golden/" + name;
    if (std::getenv("TAMSU_UPDATE_GOLDEN")) {
      std::ofstream(path, std::ios::binary) << dump;
      return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in.good()) << "missing golden dump " << path;
    std::stringstream want;
    want << in.rdbuf();
    EXPECT_EQ(dump, want.str()) << "screen differs from " << path;
  }

  SNAPSHOT_CONSOLE* con = nullptr;
};
