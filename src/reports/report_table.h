// Report tables: a framed table of columns whose cells print themselves, with a header band, a
// body band printed once per record of a record source, and an unframed footer band.
//
//   AMOUNT price;  char name[51];  bool known;
//   DKRPT::CELL_CTEXT h1("Nazwa"), h2("Cena");
//   DKRPT::CELL_TEXT c1(name);
//   DKRPT::CELL_CURR c2(&price, &known, /*dash=*/false);
//   RPTTABLE t(2, 1, 1, 0, &source);          // 2 columns, 1 header row, 1 body row, no footer
//   t.SetColumn(0, 40);  t.SetColumn(1, 12);
//   t.SetCell(RPTTABLE::kHeader, 0, 0, &h1);  t.SetCell(RPTTABLE::kHeader, 0, 1, &h2);
//   t.SetCell(RPTTABLE::kBody, 0, 0, &c1);    t.SetCell(RPTTABLE::kBody, 0, 1, &c2);
//   if (t.Print() != 0) return -1;            // the source failed (reported): stop
//
//   ┌────────────────────────────────────────┬────────────┐
//   │                 Nazwa                  │    Cena    │
//   ├────────────────────────────────────────┼────────────┤
//   │Anturium                                │       7,38 │   one row per record: the source
//   └────────────────────────────────────────┴────────────┘   fills name, price and known
//
// The cells hold pointers to the values they print; the record source changes the values as it
// moves, so one body row serves every record. The table owns neither its cells nor its source.
#pragma once

#include <memory>

#include "common/amount.h"
#include "common/date.h"
#include "db/dbtable.h"
#include "db/table.h"

class RPTTABLE {
 public:
  // A cell prints its value into exactly `width` characters of the current document.
  class CELL {
   public:
    virtual ~CELL() = default;
    virtual void Print(int width) const = 0;
  };

  enum Band { kHeader = 0, kBody = 1, kFooter = 2 };

  // A table of `columns` columns (each visible, 8 wide) and bands of the given numbers of rows
  // (every row visible, without cells). source may be null: the body is then printed once.
  // The table is invalid (and every operation does nothing) when there are no columns, no rows
  // at all, or no memory for them.
  RPTTABLE(int columns, int headerRows, int bodyRows, int footerRows, RECORDSET* source = nullptr);
  virtual ~RPTTABLE();
  RPTTABLE(const RPTTABLE&) = delete;
  RPTTABLE& operator=(const RPTTABLE&) = delete;

  bool IsValid() const { return valid_; }
  void SetColumn(int column, int width, bool visible = true);
  void SetColumnWidth(int column, int width);
  void SetColumnVisible(int column, bool visible);
  void SetRowVisible(Band band, int row, bool visible);
  void SetCell(Band band, int row, int column, const CELL* cell);
  void SetSource(RECORDSET* source) { source_ = source; }
  // Blanks written before every line of the table (a table standing at the right of a page).
  void SetIndent(int columns) { indent_ = columns > 0 ? columns : 0; }
  // Off: no top line, for a header the caller wrote by hand that ends in a separator line.
  void SetTopLine(bool on) { top_line_ = on; }

  // 0 when invalid; else 1 plus, for every visible column, its width plus 1.
  int Width() const;
  // Top frame, header band and separator, the body band per record (First, then Next until the
  // source has no more), bottom frame, unframed footer band. 0; -1 when the source failed
  // (reported; the document holds the table up to there). An invalid table prints nothing.
  int Print();

 private:
  struct BANDROWS {
    int rows = 0;
    std::unique_ptr<bool[]> visible;
    std::unique_ptr<const CELL*[]> cells;  // rows × columns
  };

  void PrintRule(int left, int middle, int right);
  void PrintRow(const BANDROWS& band, int row, bool framed);
  void PrintBand(const BANDROWS& band, bool framed);

  bool valid_ = false;
  int columns_ = 0;
  std::unique_ptr<int[]> widths_;
  std::unique_ptr<bool[]> visible_;
  BANDROWS bands_[3];
  RECORDSET* source_ = nullptr;
  int indent_ = 0;
  bool top_line_ = true;
};

// The cells of the reports.
namespace DKRPT {

// Left-aligned text, cut or padded.
class CELL_TEXT : public RPTTABLE::CELL {
 public:
  explicit CELL_TEXT(const char* text = nullptr) : text_(text) {}
  void Print(int width) const override;
  void Set(const char* text) { text_ = text; }

 protected:
  const char* text_;
};

// Centred: (width - length) / 2 blanks, then the text left-aligned in the rest.
class CELL_CTEXT : public CELL_TEXT {
 public:
  explicit CELL_CTEXT(const char* text = nullptr) : CELL_TEXT(text) {}
  void Print(int width) const override;
};

// An amount right-aligned with `decimals` places: "?" when the known flag (if any) is false, "-"
// for 0 with the dash flag, stars when too wide.
class CELL_NUM : public RPTTABLE::CELL {
 public:
  CELL_NUM(const AMOUNT* value = nullptr, int decimals = 2, const bool* known = nullptr,
           bool dash = false)
      : value_(value), decimals_(decimals), known_(known), dash_(dash) {}
  void Print(int width) const override;

 protected:
  const AMOUNT* value_;
  int decimals_;
  const bool* known_;
  bool dash_;
};

// Money: CELL_NUM with 2 decimals.
class CELL_CURR : public CELL_NUM {
 public:
  explicit CELL_CURR(const AMOUNT* value = nullptr, const bool* known = nullptr, bool dash = false)
      : CELL_NUM(value, 2, known, dash) {}
};

// "%02u.%02u.%04u" left-aligned; the empty date as blanks.
class CELL_DATE : public RPTTABLE::CELL {
 public:
  explicit CELL_DATE(const DATE* date = nullptr) : date_(date) {}
  void Print(int width) const override;

 private:
  const DATE* date_;
};

}  // namespace DKRPT

// A record source that is not a table: it only moves (First, Last, Prev, Next answer 0,
// kTableEnd or -1 as the table layer does) and refuses every write, Go and Reread with -1 (no
// report table asks for them). A source that walks only forwards leaves Last and Prev answering
// kTableEnd. Report sources derive from it and fill the values their cells point to at each move.
class RECORD_SOURCE : public RECORDSET {
 public:
  int Append() override { return -1; }
  int Update() override { return -1; }
  int Delete() override { return -1; }
  int Zap() override { return -1; }
  int Go(long) override { return -1; }
  int Reread() override { return -1; }
  long RecNo() override { return -1; }
  long RecCount() override { return -1; }
  long Count() override { return -1; }
  int Unlock() override { return 0; }
  int Last() override { return kTableEnd; }
  int Prev() override { return kTableEnd; }
};
