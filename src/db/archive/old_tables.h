// The data files of older program versions, read for the conversion: the same dBASE III form
// as today's tables (docs/formats/table-file.md) with fewer fields, without index files, and with
// texts in the code page of their version (Mazovia before 6.0, Latin 2 from 6.0).
//
//   OLD_TABLE t;
//   if (t.Open(OLD_TABLE_DEFS[1], "/stare/Tamsu0", 1) != 0) ...     // Tow.dbf, Mazovia
//   for (long n = 0; n < t.Count(); ++n)
//     if (t.Read(n) == 0) use(t.Text("NAZWA"), t.Number("CENA"));
#pragma once

#include <string>
#include <vector>

#include "common/amount.h"
#include "common/date.h"
#include "platform/cfile.h"

struct OLD_FIELD {
  const char* name;
  char type;
  int length;
  int decimals;
};

struct OLD_TABLE_DEF {
  const char* data_file;
  int field_count;
  const OLD_FIELD* fields;
  int record_length;  // with the deletion flag
};

// Groups, goods, contractors, transactions, positions: the table numbers of today.
extern const OLD_TABLE_DEF OLD_TABLE_DEFS[5];

// The path of an old table in dir: its name as written, in capitals or in small letters,
// whichever exists (the name as written when none does).
std::string OldTablePath(const OLD_TABLE_DEF& def, const std::string& dir);

// The answer of Read for a record marked deleted.
inline constexpr int kOldRecordDeleted = 1;

class OLD_TABLE {
 public:
  // Opens dir/data_file (read only) and checks its header and fields against the layout.
  // 0; -1 when the file cannot be opened or read (told by the file layer); kOldBadFormat when
  // it is not a file of that layout.
  static constexpr int kOldBadFormat = 2;
  int Open(const OLD_TABLE_DEF& def, const std::string& dir, int code_page);
  void Close() { file_.Close(); }
  long Count() const { return count_; }
  // Reads record n: 0, kOldRecordDeleted, or -1 on a read failure.
  int Read(long n);
  // A text field in the data code page, blanks trimmed on both sides.
  std::string Text(const char* field) const;
  AMOUNT Number(const char* field) const;
  DATE Date(const char* field) const;

 private:
  const char* Field(const char* field, int* length) const;

  const OLD_TABLE_DEF* def_ = nullptr;
  CFILE file_;
  int code_page_ = 2;
  long count_ = 0;
  uint32_t header_ = 0;
  std::vector<int> offsets_;
  std::vector<char> record_;
};
