// What every collective report shares: the period and the document filter of its dialog, the
// walks over the records a report reads, the Esc check of long walks, the tables of rows, and
// the run of a report from the database access to the viewer.
//
// A report reads everything it needs first and writes afterwards, so that a failing read stops
// it before any total is printed. The walks are made for a shop's whole history: transactions in
// the order of an index from the first one of the period on, the positions of many transactions
// in one walk of the positions index by transaction, never one search per position.
//
//   std::vector<AMOUNT> ids;  std::vector<DOCUMENT_TOTALS> totals;
//   int rc = WalkTransactions(period, AMOUNT(), [&] { ids.push_back(Tra.ID); return 0; });
//   totals.resize(ids.size());
//   if (rc == 0) rc = WalkPositionsOf(ids, [&](size_t i) { AddToTotals(&totals[i], ...); return 0;
//   }); if (rc != 0) return rc;          // -1: reported; kReportInterrupted: the user pressed Esc
//
// Every walk keeps the table's active index, current record and record structure as they were.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "business/form_edit.h"
#include "business/options.h"
#include "common/amount.h"
#include "common/date.h"
#include "db/schema.h"
#include "db/table.h"
#include "reports/purchases.h"
#include "reports/report_table.h"

// A report stopped by the user (Esc and " &Tak "): nothing is shown.
inline constexpr int kReportInterrupted = 2;

struct REPORT_PERIOD {
  DATE first = 0;  // 0: from the first transaction
  DATE last = 0;
};

using DOCUMENT_FILTER = std::array<uint8_t, kDocumentFilterCount>;

// Whether the filter takes the transaction in (its warehouse document, sales document and
// fiscal receipt).
bool FilterAccepts(const DOCUMENT_FILTER& filter, const TRA_RECORD& t);

// Keeps a table's active index, current record and record structure for the life of the object
// (business/form_edit.h does the saving and the putting back).
class REPORT_TABLE_KEEP {
 public:
  explicit REPORT_TABLE_KEEP(int table) : place_(SaveTablePlace(table)) {}
  ~REPORT_TABLE_KEEP() { Restore(); }
  // 0, or -1 when the record could not be read again (reported): a walk around which the caller
  // walks the same table must then fail, or the caller's walk would go on from nowhere.
  int Restore() {
    if (restored_) return 0;
    restored_ = true;
    return RestoreTablePlace(place_);
  }
  REPORT_TABLE_KEEP(const REPORT_TABLE_KEEP&) = delete;
  REPORT_TABLE_KEEP& operator=(const REPORT_TABLE_KEEP&) = delete;

 private:
  TABLE_PLACE place_;
  bool restored_ = false;
};

// The Esc check of long walks: every 256th call looks at the keyboard and asks "Przerwać
// operację?" on Esc. Once the user said " &Tak ", every later call answers true too, until
// ReportPollReset (each report run starts with it).
bool ReportStopped();
void ReportPollReset();

// Walks the transactions dated in the period in date order (index by date; with a contractor the
// index by contractor, only that contractor's). fn sees each in Tra and answers 0 to go on; any
// other answer ends the walk and is returned. 0 at the end, -1 on a failure (reported),
// kReportInterrupted.
template <typename Fn>
int WalkTransactions(const REPORT_PERIOD& period, AMOUNT contractor, Fn fn);

// Walks the positions of the transactions ids (ascending, no repeats) in the positions index by
// transaction, from the first of them to the last; fn(i) sees each position of ids[i] in Poz,
// those of one transaction in the order they were entered. Runs of positions of other
// transactions are passed by a new search rather than read when they are long. Answers as
// WalkTransactions.
template <typename Fn>
int WalkPositionsOf(const std::vector<AMOUNT>& ids, Fn fn);

// Walks the goods in name order (order 0) or number order (1): all of them, or those of one
// group (group not 0), or all grouped by group (byGroup: by group identifier, then name or
// number; goods without a group first). fn sees each in Tow; answers as WalkTransactions.
template <typename Fn>
int WalkGoods(int order, bool byGroup, AMOUNT group, Fn fn);

// Walks the positions of one goods dated in the period in the positions index by goods (date,
// kind, transaction; entry order within), or with a contractor in the index by contractor and
// goods. fn sees each in Poz; answers as WalkTransactions.
template <typename Fn>
int WalkGoodsPositions(AMOUNT goods, const REPORT_PERIOD& period, AMOUNT contractor, Fn fn);

// The identifiers in ascending order, each with its place in the list given.
struct ID_ORDER {
  std::vector<AMOUNT> ids;
  std::vector<size_t> rows;
};
ID_ORDER OrderById(const std::vector<AMOUNT>& ids);

// Records read once per report by their identifiers. Get answers 0 with the record, kTableEnd
// for 0 or a record that is gone (*out empty), -1 on a failure.
template <typename RECORD>
class RECORD_CACHE {
 public:
  explicit RECORD_CACHE(int table) : table_(table) {}
  int Get(AMOUNT id, const RECORD** out);

 private:
  int table_;
  std::unordered_map<int64_t, RECORD> found_;
  RECORD empty_{};
};
using CONTRACTOR_CACHE = RECORD_CACHE<KON_RECORD>;
using GOODS_CACHE = RECORD_CACHE<TOW_RECORD>;
using GROUP_CACHE = RECORD_CACHE<GTO_RECORD>;

// The purchase value of sale positions: first in first out (reports/purchases.h), with one stock
// mark per goods so that the sales of each goods met in date order are valued in one walk, or
// at the goods' last purchase price (read once per goods).
class PURCHASE_PRICES {
 public:
  explicit PURCHASE_PRICES(bool actual) : actual_(actual) {}
  // The value of the current position (Poz, whose quantity counts); known is false when part of
  // it came from no known delivery. The positions table keeps its place. 0, or -1.
  int Value(PURCHASE_VALUE* value);
  // The dates of the deliveries the last actual value used (0 when none).
  DATE FirstDelivery() const { return first_; }
  DATE LastDelivery() const { return last_; }

 private:
  struct LAST {
    bool found = false;
    POZ_RECORD position{};
    bool net = false;
  };
  bool actual_;
  std::unordered_map<int64_t, STOCK_MARK> marks_;
  std::unordered_map<int64_t, LAST> last_prices_;
  std::unordered_map<int64_t, bool> nets_;  // the net flag of delivery transactions
  DATE first_ = 0, last_ = 0;
};

// ---- writing ----

// The sales document of a transaction as reports show it, or its warehouse document when it has
// no sales document.
std::string TransactionDocumentText(const TRA_RECORD& t);
// A period not yet chosen in this run: from the first day of this month to today.
void DefaultPeriod(REPORT_PERIOD* period);

// An amount with "?" in front when part of it is not known (PutAmountMarked); with dash a known
// 0 shows as "-".
class CELL_MARKED : public RPTTABLE::CELL {
 public:
  CELL_MARKED(const AMOUNT* value, const bool* known, bool dash = false)
      : value_(value), known_(known), dash_(dash) {}
  void Print(int width) const override;

 private:
  const AMOUNT* value_;
  const bool* known_;
  bool dash_;
};
// A text right-aligned.
class CELL_RTEXT : public DKRPT::CELL_TEXT {
 public:
  explicit CELL_RTEXT(const char* text = nullptr) : CELL_TEXT(text) {}
  void Print(int width) const override;
};
// A number whose decimals are the quantity precision.
RPTTABLE::CELL* QuantityCell(const AMOUNT* value, bool dash = false);

// The title centred over the width, then a blank line.
void PutReportTitle(const char* title, int width);
// The period line, the contractor lines (contractor not 0) and the filter summary.
int PutSelectionHeader(const REPORT_PERIOD& period, AMOUNT contractor,
                       const DOCUMENT_FILTER* filter);
// Copies a text into a fixed array, cut to its size.
template <size_t N>
void CopyText(char (&to)[N], const std::string& text) {
  std::snprintf(to, N, "%s", text.c_str());
}

// A table of a report: columns with up to five centred header lines, a body cell and footer
// cells each (the grid owns them), printed by RPTTABLE over a record source; the footer rows
// stand unframed under the table.
//
//   ROW cur;  REPORT_GRID g;
//   g.Column(10, {"Data"}, new DKRPT::CELL_DATE(&cur.date), {new DKRPT::CELL_TEXT("Razem:")});
//   g.Column(13, {"Suma", "brutto"}, new DKRPT::CELL_CURR(&cur.gross), {new
//   DKRPT::CELL_CURR(&sum)}); ROWS_SOURCE<ROW> rows(list, &cur); if (g.Print(&rows) != 0) return
//   -1;
class REPORT_GRID {
 public:
  int Column(int width, std::initializer_list<const char*> heads, RPTTABLE::CELL* body,
             std::initializer_list<RPTTABLE::CELL*> feet = {}, bool visible = true);
  void SetVisible(int column, bool visible) {
    columns_[static_cast<size_t>(column)].visible = visible;
  }
  // Without the top line: the caller wrote a header of its own that ends in the separator.
  void WithoutTop() { top_ = false; }
  void WithoutHeader() { header_ = false; }
  int Width() const;
  int Print(RECORDSET* source);

 private:
  struct COLUMN {
    int width;
    std::vector<std::unique_ptr<RPTTABLE::CELL>> heads;
    std::unique_ptr<RPTTABLE::CELL> body;
    std::vector<std::unique_ptr<RPTTABLE::CELL>> feet;
    bool visible;
  };
  std::vector<COLUMN> columns_;
  bool top_ = true;
  bool header_ = true;
};

// The rows of a vector as a record source: each move copies the row into *current, where the
// cells of the body point.
template <typename ROW>
class ROWS_SOURCE : public RECORD_SOURCE {
 public:
  ROWS_SOURCE(const std::vector<ROW>& rows, ROW* current) : rows_(rows), current_(current) {}
  int First() override {
    at_ = 0;
    return Load();
  }
  int Next() override {
    ++at_;
    return Load();
  }

 private:
  int Load() {
    if (at_ >= rows_.size()) return kTableEnd;
    *current_ = rows_[at_];
    return 0;
  }
  const std::vector<ROW>& rows_;
  ROW* current_;
  size_t at_ = 0;
};

// ---- running a report ----

// Rights the report needs (business/rights.h), asked with the refusal shown: 0 when granted.
int ReportRights(uint32_t mask);
// Runs generate with the tables locked for reading, the status line "Generowanie raportu..."
// and the report output begun, then shows the document. generate answers 0, -1 (failure,
// reported) or kReportInterrupted. 0 when the report was shown.
template <typename Fn>
int RunReport(Fn generate);
int ShowReport(int generated);
int BeginReport();
void EndReport();

#include "reports/report_common_inl.h"
