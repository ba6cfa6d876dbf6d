#include "reports/report_table.h"

#include <new>

#include "db/table.h"
#include "reports/report_output.h"

namespace {

template <typename T>
std::unique_ptr<T[]> Array(int n) {
  return std::unique_ptr<T[]>(new (std::nothrow) T[static_cast<size_t>(n)]());
}

}  // namespace

RPTTABLE::RPTTABLE(int columns, int headerRows, int bodyRows, int footerRows, RECORDSET* source)
    : source_(source) {
  if (columns < 1 || headerRows < 0 || bodyRows < 0 || footerRows < 0) return;
  if (headerRows + bodyRows + footerRows == 0) return;
  columns_ = columns;
  widths_ = Array<int>(columns);
  visible_ = Array<bool>(columns);
  if (!widths_ || !visible_) return;
  for (int c = 0; c < columns; ++c) {
    widths_[static_cast<size_t>(c)] = 8;
    visible_[static_cast<size_t>(c)] = true;
  }
  const int rows[3] = {headerRows, bodyRows, footerRows};
  for (int b = 0; b < 3; ++b) {
    BANDROWS& band = bands_[b];
    band.rows = rows[b];
    if (band.rows == 0) continue;
    band.visible = Array<bool>(band.rows);
    band.cells = Array<const CELL*>(band.rows * columns);
    if (!band.visible || !band.cells) return;
    for (int r = 0; r < band.rows; ++r) band.visible[static_cast<size_t>(r)] = true;
  }
  valid_ = true;
}

RPTTABLE::~RPTTABLE() = default;

void RPTTABLE::SetColumn(int column, int width, bool visible) {
  SetColumnWidth(column, width);
  SetColumnVisible(column, visible);
}

void RPTTABLE::SetColumnWidth(int column, int width) {
  if (valid_ && column >= 0 && column < columns_) widths_[static_cast<size_t>(column)] = width;
}

void RPTTABLE::SetColumnVisible(int column, bool visible) {
  if (valid_ && column >= 0 && column < columns_) visible_[static_cast<size_t>(column)] = visible;
}

void RPTTABLE::SetRowVisible(Band band, int row, bool visible) {
  if (!valid_ || band < kHeader || band > kFooter) return;
  BANDROWS& b = bands_[band];
  if (row >= 0 && row < b.rows) b.visible[static_cast<size_t>(row)] = visible;
}

void RPTTABLE::SetCell(Band band, int row, int column, const CELL* cell) {
  if (!valid_ || band < kHeader || band > kFooter || column < 0 || column >= columns_) return;
  BANDROWS& b = bands_[band];
  if (row >= 0 && row < b.rows) b.cells[static_cast<size_t>(row * columns_ + column)] = cell;
}

int RPTTABLE::Width() const {
  if (!valid_ || columns_ == 0) return 0;
  int w = 1;
  for (int c = 0; c < columns_; ++c)
    if (visible_[static_cast<size_t>(c)]) w += widths_[static_cast<size_t>(c)] + 1;
  return w;
}

void RPTTABLE::PrintRule(int left, int middle, int right) {
  PutRepeat(' ', indent_);
  bool first = true;
  for (int c = 0; c < columns_; ++c) {
    const int w = widths_[static_cast<size_t>(c)];
    if (!visible_[static_cast<size_t>(c)] || w <= 0) continue;
    PutFrame(first ? left : middle);
    PutFrameLine(w);
    first = false;
  }
  PutFrame(right);
  Put("\n");
}

void RPTTABLE::PrintRow(const BANDROWS& band, int row, bool framed) {
  if (!band.visible[static_cast<size_t>(row)]) return;
  PutRepeat(' ', indent_);
  for (int c = 0; c < columns_; ++c) {
    const int w = widths_[static_cast<size_t>(c)];
    if (!visible_[static_cast<size_t>(c)] || w <= 0) continue;
    if (framed) PutFrame(1);
    else PutRepeat(' ', 1);
    const CELL* cell = band.cells[static_cast<size_t>(row * columns_ + c)];
    if (cell) cell->Print(w);
    else PutRepeat(' ', w);
  }
  if (framed) PutFrame(1);
  else PutRepeat(' ', 1);
  Put("\n");
}

void RPTTABLE::PrintBand(const BANDROWS& band, bool framed) {
  for (int r = 0; r < band.rows; ++r) PrintRow(band, r, framed);
}

int RPTTABLE::Print() {
  if (!valid_) return 0;
  const BANDROWS& header = bands_[kHeader];
  const BANDROWS& body = bands_[kBody];
  if (top_line_) PrintRule(2, 3, 4);
  if (header.rows > 0) {
    PrintBand(header, true);
    PrintRule(5, 6, 7);
  }
  int rc = 0;
  if (body.rows > 0) {
    if (source_) {
      for (rc = source_->First(); rc == 0; rc = source_->Next()) PrintBand(body, true);
      if (rc < 0) return -1;
      rc = 0;
    } else {
      PrintBand(body, true);
    }
  }
  if (header.rows > 0 || body.rows > 0) PrintRule(8, 9, 10);
  PrintBand(bands_[kFooter], false);
  return rc;
}

namespace DKRPT {

void CELL_TEXT::Print(int width) const { PutText(text_ ? text_ : "", width); }

void CELL_CTEXT::Print(int width) const {
  if (text_) PutTextCentered(text_, width);
  else PutText("", width);
}

void CELL_NUM::Print(int width) const {
  if (!value_) {
    PutText("", width);
    return;
  }
  Put("%s", FitAmountRule(*value_, decimals_, !known_ || *known_, dash_, width).c_str());
}

void CELL_DATE::Print(int width) const {
  if (date_) PutDate(*date_, width);
  else PutText("", width);
}

}  // namespace DKRPT
