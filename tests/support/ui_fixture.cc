#include "support/ui_fixture.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "db/db_events.h"
#include "db/dbtable.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_check.h"
#include "db/table_lock.h"
#include "platform/clipboard.h"
#include "shell/reset.h"
#include "support/program_state.h"
#include "ui/screen.h"

namespace {
constexpr uint8_t kScanSnapshot = 0x7E;
constexpr uint8_t kScanHook = 0x7D;
}  // namespace

int SNAPSHOT_CONSOLE::next_key(KeyEvent* ev, int timeout_ms) {
  for (;;) {
    int r = HEADLESS_CONSOLE::next_key(ev, timeout_ms);
    if (r == 1 && ev->scan == kScanHook && ev->ch == 0) {
      if (hook) hook();
      return 0;
    }
    if (r != 1 || ev->scan != kScanSnapshot || ev->ch != 0) return r;
    SHOT s{screen_text(), {}, caret_x, caret_y, caret_visible, paints.size()};
    for (int y = 0; y < kRows; ++y) s.attrs.push_back(row_attrs(y));
    shots.push_back(std::move(s));
  }
}

void PlayKeys(HEADLESS_CONSOLE* c, std::string_view script) {
  struct NAMED_KEY {
    std::string_view name;
    uint8_t ch, scan;
  };
  static constexpr NAMED_KEY kKeys[] = {{"Enter", 13, kScanEnter},
                                        {"Esc", 27, kScanEsc},
                                        {"Tab", 9, kScanTab},
                                        {"Space", ' ', kScanSpace},
                                        {"Snap", 0, kScanSnapshot},
                                        {"Up", 0, kScanUp},
                                        {"Down", 0, kScanDown},
                                        {"PgUp", 0, kScanPgUp},
                                        {"PgDn", 0, kScanPgDn},
                                        {"Home", 0, kScanHome},
                                        {"End", 0, kScanEnd},
                                        {"Ins", 0, kScanIns},
                                        {"Left", 0, kScanLeft},
                                        {"Right", 0, kScanRight},
                                        {"Del", 0, kScanDel},
                                        {"F1", 0, kScanF1},
                                        {"F2", 0, kScanF2},
                                        {"F3", 0, kScanF3},
                                        {"F4", 0, kScanF4},
                                        {"F5", 0, kScanF5},
                                        {"F7", 0, kScanF7},
                                        {"F8", 0, kScanF8},
                                        {"F9", 0, kScanF9},
                                        {"F10", 0, kScanF10},
                                        {"Backspace", 8, kScanBackspace},
                                        {"Hook", 0, kScanHook}};
  for (size_t i = 0; i < script.size(); ++i) {
    if (script[i] != '{') {
      c->push_key(static_cast<uint8_t>(script[i]), 0x10);
      continue;
    }
    const size_t end = script.find('}', i);
    ASSERT_NE(end, std::string_view::npos) << script;
    std::string_view name = script.substr(i + 1, end - i - 1);
    i = end;
    if (name.starts_with("Raw:")) {
      c->push_key(
          static_cast<uint8_t>(std::strtoul(std::string(name.substr(4)).c_str(), nullptr, 16)), 0);
      continue;
    }
    uint32_t shift = 0;
    for (;;) {
      if (name.starts_with("Shift+")) shift |= kShiftShift;
      else if (name.starts_with("Ctrl+")) shift |= kShiftCtrl;
      else if (name.starts_with("Alt+")) shift |= kShiftAlt;
      else break;
      name.remove_prefix(name.find('+') + 1);
    }
    if (name.size() == 1 && shift == kShiftAlt) {
      c->push_key(static_cast<uint8_t>(name[0]), 0x10, kShiftAlt);
      continue;
    }
    if (name.size() == 1 && shift == kShiftCtrl) {
      c->push_key(static_cast<uint8_t>(std::toupper(name[0]) - '@'), 0x20, kShiftCtrl);
      continue;
    }
    bool known = false;
    for (const NAMED_KEY& k : kKeys)
      if (k.name == name) {
        c->push_key(k.ch, k.scan, shift);
        known = true;
      }
    ASSERT_TRUE(known) << "unknown key {" << name << "}";
  }
}

void UiTest::SetUp() {
  clipboard_use_internal(true);
  con = new SNAPSHOT_CONSOLE;
  ASSERT_EQ(screen_open_on(con), 0);
}

void UiTest::TearDown() {
  if (HasFailure() && screen_console() == con)
    for (size_t i = 0; i < con->shots.size(); ++i)
      std::printf("--- snapshot %zu\n%s", i, con->shots[i].text.c_str());
  RestartState();
}

const std::string& UiTest::Shot(size_t i) const {
  static const std::string empty;
  return i < con->shots.size() ? con->shots[i].text : empty;
}

bool UiTest::AnyShotHas(std::string_view utf8) const {
  for (size_t i = 0; i < Shots(); ++i)
    if (ShotHas(i, utf8)) return true;
  return false;
}

::testing::AssertionResult UiTest::ShotShows(size_t i,
                                             std::initializer_list<std::string_view> texts) const {
  for (std::string_view t : texts)
    if (!ShotHas(i, t)) return ::testing::AssertionFailure() << "snapshot " << i << " lacks " << t;
  return ::testing::AssertionSuccess();
}

std::string UiTest::ShotRow(size_t i, int y) const {
  std::istringstream in(Shot(i));
  std::string line;
  for (int k = 0; k <= y && std::getline(in, line); ++k) {}
  return line;
}

int UiTest::ShotAttr(size_t i, int x, int y) const {
  if (i >= con->shots.size()) return -1;
  return std::stoi(con->shots[i].attrs.at(y).substr(static_cast<size_t>(2 * x), 2), nullptr, 16);
}

std::string UiTest::Cols(const std::string& row, int x, int n) {
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

std::string UiTest::Trim(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s.substr(std::min(s.size(), s.find_first_not_of(' ')));
}

void UiTest::ExpectGolden(const std::string& name, const std::string& dump, const char* folder) {
  const std::string path = std::string(TAMSU_SOURCE_DIR) + "/tests/" + folder + "/golden/" + name;
  if (std::getenv("TAMSU_UPDATE_GOLDEN")) {
    std::ofstream(path, std::ios::binary) << dump;
    return;
  }
  EXPECT_EQ(dump, ReadWholeFile(path)) << "screen differs from " << path;
}

void DataTest::SetUp() {
  UiTest::SetUp();
  ASSERT_EQ(OpenDatabase(), 0);
}

void AddGroup(int id, const char* name) {
  TableClear(kTableGroups);
  Gto.ID = AMOUNT::FromInt(id);
  std::snprintf(Gto.NAZWA, sizeof Gto.NAZWA, "%s", name);
  ASSERT_EQ(TableAppend(kTableGroups), 0);
}

void AddGoods(int id, const char* name, const char* number, int group, double price, double stock) {
  TableClear(kTableGoods);
  Tow.ID = AMOUNT::FromInt(id);
  std::snprintf(Tow.NAZWA, sizeof Tow.NAZWA, "%s", name);
  std::snprintf(Tow.NR, sizeof Tow.NR, "%s", number);
  std::snprintf(Tow.JMIARY, sizeof Tow.JMIARY, "szt.");
  Tow.RODZAJ[0] = 'T';
  Tow.STAN = AMOUNT::FromDouble(stock);
  Tow.CENA = AMOUNT::FromDouble(price);
  Tow.VATID = AMOUNT::FromInt(12);
  Tow.GTOID = AMOUNT::FromInt(group);
  ASSERT_EQ(TableAppend(kTableGoods), 0);
}

void AddContractor(int id, const char* name, const char* nip, const char* town,
                   const char* document) {
  TableClear(kTableContractors);
  Kon.ID = AMOUNT::FromInt(id);
  std::snprintf(Kon.NAZWA, sizeof Kon.NAZWA, "%s", name);
  std::snprintf(Kon.NIP, sizeof Kon.NIP, "%s", nip);
  std::snprintf(Kon.MIASTO, sizeof Kon.MIASTO, "%s", town);
  std::snprintf(Kon.DOKTRATYP, sizeof Kon.DOKTRATYP, "%s", document);
  ASSERT_EQ(TableAppend(kTableContractors), 0);
}

void AddTransaction(int id, int contractor, char kind, const char* warehouse, double transfer,
                    unsigned transfer_paid, double deferred, unsigned deferred_paid) {
  TableClear(kTableTransactions);
  Tra.ID = AMOUNT::FromInt(id);
  Tra.KONID = AMOUNT::FromInt(contractor);
  Tra.RODZAJ[0] = kind;
  std::snprintf(Tra.DOKMAGTYP, sizeof Tra.DOKMAGTYP, "%s", warehouse);
  Tra.PRZ = AMOUNT::FromDouble(transfer);
  Tra.PRZZAPLAC = transfer_paid;
  Tra.ODR = AMOUNT::FromDouble(deferred);
  Tra.ODRZAPLAC = deferred_paid;
  ASSERT_EQ(TableAppend(kTableTransactions), 0);
}

long Count(int table) {
  TableLock(table, false);
  const long n = TableCount(table);
  TableUnlock(table);
  return n;
}

void ExpectTablesSound() {
  for (int t = 0; t < kTableCount; ++t) {
    std::string problem;
    EXPECT_EQ(CheckTable(t, &problem), 0) << t << ": " << problem;
  }
}
