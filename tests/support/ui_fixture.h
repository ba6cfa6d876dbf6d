// The headless screen for every test of dialogs, forms, lists and whole runs. Keys are queued as
// a key script before the code under test runs; {Snap} in the script records the screen at that
// moment (the dialogs are modal, so this is how a test looks at one while it is open).
//
//   Play("Alfa{Alt+m}Warszawa{Tab}00-001{Snap}{Alt+o}");   // typed text, named keys in braces
//   ASSERT_EQ(contractor_form_edit(kContractorAddEmpty), 0);
//   EXPECT_TRUE(ShotHas(0, "Warszawa"));
//
// Named keys: Enter Esc Tab Space Backspace Up Down Left Right PgUp PgDn Home End Ins Del F1..F10,
// Snap and Hook; "Shift+", "Ctrl+" and "Alt+" add the shift state ({Ctrl+Y} is the control
// character, {Alt+m} the hot letter). {Raw:7E} sends a byte with no scan code, as a terminal's
// non-ASCII key arrives. Golden dumps live in tests/<folder>/golden (TAMSU_UPDATE_GOLDEN=1 rewrites
// them).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/headless.h"
#include "support/temp_dir.h"

class SNAPSHOT_CONSOLE : public HEADLESS_CONSOLE {
 public:
  struct SHOT {
    std::string text;                // the screen as UTF-8, rows ended by "\n"
    std::vector<std::string> attrs;  // per row, two hex digits a cell
    int caret_x, caret_y;
    bool caret;
    size_t paints;  // runs painted until then
  };
  // With typeahead off queued keys are not seen as waiting, so that a long operation polling
  // for Esc leaves them to the dialogs that come after it.
  bool key_pending() override { return typeahead && HEADLESS_CONSOLE::key_pending(); }
  int next_key(KeyEvent* ev, int timeout_ms) override;

  bool typeahead = true;
  std::vector<SHOT> shots;
  // Run at {Hook} (a simulated device sends, say); the key itself gives nothing, so that the
  // program reads what other threads posted meanwhile before the queued keys go on.
  std::function<void()> hook;
};

// Queues a key script (see above).
void PlayKeys(HEADLESS_CONSOLE* console, std::string_view script);

class UiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  // A failing test prints what the screen showed; then every global goes back, tables closed.
  void TearDown() override;

  void Play(std::string_view script) { PlayKeys(con, script); }
  size_t Shots() const { return con->shots.size(); }
  const std::string& Shot(size_t i) const;
  bool ShotHas(size_t i, std::string_view utf8) const {
    return Shot(i).find(utf8) != std::string::npos;
  }
  bool AnyShotHas(std::string_view utf8) const;
  // Whether snapshot i shows every one of the texts; a failure names the first missing one.
  ::testing::AssertionResult ShotShows(size_t i,
                                       std::initializer_list<std::string_view> texts) const;
  std::string ShotRow(size_t i, int y) const;
  // n screen columns from column x, of a snapshot row or of the screen now.
  std::string ShotCols(size_t i, int y, int x, int n) const { return Cols(ShotRow(i, y), x, n); }
  std::string Row(int y) const { return con->row_text(y); }
  std::string RowCols(int y, int x, int n) const { return Cols(Row(y), x, n); }
  // The attribute of cell (x, y) at snapshot i.
  int ShotAttr(size_t i, int x, int y) const;
  const SNAPSHOT_CONSOLE::SHOT& ShotAt(size_t i) const { return con->shots.at(i); }
  static std::string Cols(const std::string& utf8_row, int x, int n);
  static std::string Trim(std::string s);
  // Compares a dump with tests/<folder>/golden/<name>.
  void ExpectGolden(const std::string& name, const std::string& dump, const char* folder = "ui");

  SNAPSHOT_CONSOLE* con = nullptr;
};

// The same over an open database in a fresh current directory.
class DataTest : public UiTest {
 protected:
  void SetUp() override;
  TempDir dir{true};
};

// Records appended straight through the table layer; each becomes current.
void AddGroup(int id, const char* name);
void AddGoods(int id, const char* name, const char* number = "", int group = 0, double price = 0,
              double stock = 0);
void AddContractor(int id, const char* name, const char* nip = "", const char* town = "",
                   const char* document = "");
// A transaction of a contractor with its transfer and deferred amounts and their payment days.
void AddTransaction(int id, int contractor, char kind, const char* warehouse, double transfer = 0,
                    unsigned transfer_paid = 0, double deferred = 0, unsigned deferred_paid = 0);
// The live records of a table.
long Count(int table);
// Every table passes the integrity check.
void ExpectTablesSound();
