// Arbitrary bytes as a table's data file: inspecting, opening (which mends a short file and
// builds the index), walking, seeking and checking must give an event or a clean failure, never
// a crash, a hang or a read outside the file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "db/db_events.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The corpus is read through relative paths: the current directory stays, the table's files
  // live in a directory of their own.
  static std::string dir = [] {
    char templ[] = "/tmp/tamsu-fuzz-table-XXXXXX";
    return std::string(mkdtemp(templ) ? templ : "");
  }();
  if (dir.empty()) return 0;
  static std::string data_file = dir + "/Gto.dbf", index_file = dir + "/Gto.inx";
  static TABLEDEF def = [] {
    TABLEDEF d = TABLE_DEFS[kTableGroups];
    d.data_file = data_file.c_str();
    d.index_file = index_file.c_str();
    return d;
  }();
  static std::string copy_file = data_file + ".001";  // what mending a short file keeps
  std::remove(index_file.c_str());
  std::remove(copy_file.c_str());
  FILE* f = std::fopen(data_file.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  // Inspected first: read-only, in file order, nothing mended.
  TABLEFINDINGS found;
  if (TableOpenToInspect(kTableGroups, &def, &found) == 0) {
    int steps = 0;
    for (int rc = TableFirst(kTableGroups); rc == 0 && steps < 1000; rc = TableNext(kTableGroups))
      ++steps;
    TableClose(kTableGroups);
  }
  if (TableOpen(kTableGroups, &def) == 0) {
    int steps = 0;
    for (int rc = TableFirst(kTableGroups); rc == 0 && steps < 1000; rc = TableNext(kTableGroups))
      ++steps;
    TableSetIndex(kTableGroups, 1);
    TableSeek(kTableGroups, "A");
    TableLast(kTableGroups);
    TablePrev(kTableGroups);
    TableCount(kTableGroups);
    std::string problem;
    if (CheckTable(kTableGroups, &problem) != 0) __builtin_trap();  // built from these very records
    TableGo(kTableGroups, 0);
  }
  ResetTables();
  ResetDbEvents();
  return 0;
}
