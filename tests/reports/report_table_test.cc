// The output primitives of reports, report tables with their cells and record sources, and the
// standard header lines, read back from the current text document.
#include <vector>

#include "../ui/document/document_testing.h"
#include "business/options.h"
#include "common/codepage.h"
#include "reports/report_output.h"
#include "reports/report_table.h"

namespace {

class ReportTableTest : public DocumentTest {
 protected:
  // The document's lines with the box characters as ASCII ('-', '|', '+'), closed afterwards.
  static std::vector<std::string> Written() {
    std::vector<std::string> lines;
    EXPECT_EQ(doc_measure(), 0);
    EXPECT_EQ(doc_seek_line(0), 0);
    char buf[kDocLineMax + 2];
    for (long n; (n = doc_read_line(buf, sizeof buf)) >= 0;) {
      for (long i = 0; i < n; ++i)
        if (is_box_char(static_cast<uint8_t>(buf[i])))
          buf[i] = buf[i] == static_cast<char>(box_char(0))   ? '-'
                   : buf[i] == static_cast<char>(box_char(1)) ? '|'
                                                              : '+';
      lines.push_back(Cp1250ToUtf8(std::string(buf, static_cast<size_t>(n))));
    }
    doc_close();
    return lines;
  }
  static AMOUNT A(double v) { return AMOUNT::FromDouble(v); }
};

TEST_F(ReportTableTest, FieldsTakeExactlyTheirWidth) {
  struct CASE {
    std::string got, want;
  } cases[] = {
      {FitAmount(A(123456.78), 2, 8), "********"},
      {FitAmount(A(1234.5), 2, 10), "  1 234,50"},
      {FitAmount(A(-0.5), 2, 6), " -0,50"},
      {FitAmountRule(A(0), 2, true, true, 4), "   -"},
      {FitAmountRule(A(12), 2, false, true, 4), "   ?"},
      {FitAmountRule(A(0), 2, true, false, 5), " 0,00"},
      {FitAmountMarked(A(12.5), false, 8), "  ?12,50"},
      {FitAmountMarked(A(0), false, 3), "  ?"},
      {FitAmountMarked(A(123456.5), false, 6), "******"},
      {FitText("Anturium", 5), "Antur"},
      {FitText("Ala", 5), "Ala  "},
      {FitText(std::string(300, 'x'), 0), std::string(255, 'x')},
      {FitTextRight("Ala", 5), "  Ala"},
      {FitTextCentered("Ala", 8), "  Ala   "},
      {FitTextCentered("Anturium", 4), "Antu"},
      {FitDate(DateFromYmd(2026, 12, 5), 12), "05.12.2026  "},
      {FitDate(0, 4), "    "},
  };
  for (const CASE& c : cases) EXPECT_EQ(c.got, c.want);
}

// Three rows of a name and a price, the middle one unknown.
class ROWS : public RECORD_SOURCE {
 public:
  int First() override { return Load(at_ = 0); }
  int Next() override { return Load(++at_); }
  int Load(int i) {
    if (i == fail_at) return -1;
    if (i >= count) return kTableEnd;
    std::snprintf(name, sizeof name, "Towar %d", i + 1);
    price = AMOUNT::FromInt(i * 10);
    known = i != 1;
    return 0;
  }
  int count = 3, fail_at = -1, at_ = 0;
  char name[20] = "";
  AMOUNT price;
  bool known = true;
};

TEST_F(ReportTableTest, ATablePrintsItsBandsFramedAndItsFooterUnframed) {
  ROWS rows;
  AMOUNT total = AMOUNT::FromInt(30);
  DKRPT::CELL_CTEXT h_name("Nazwa"), h_price("Cena");
  DKRPT::CELL_TEXT name(rows.name), label("Razem");
  DKRPT::CELL_CURR price(&rows.price, &rows.known, true), sum(&total);
  RPTTABLE t(3, 1, 1, 1, &rows);
  ASSERT_TRUE(t.IsValid());
  t.SetColumn(0, 10);
  t.SetColumn(1, 4, false);  // hidden: no gap in frames or rows
  t.SetColumn(2, 8);
  t.SetCell(RPTTABLE::kHeader, 0, 0, &h_name);
  t.SetCell(RPTTABLE::kHeader, 0, 2, &h_price);
  t.SetCell(RPTTABLE::kBody, 0, 0, &name);
  t.SetCell(RPTTABLE::kBody, 0, 1, &label);
  t.SetCell(RPTTABLE::kBody, 0, 2, &price);
  t.SetCell(RPTTABLE::kFooter, 0, 0, &label);
  t.SetCell(RPTTABLE::kFooter, 0, 2, &sum);
  EXPECT_EQ(t.Width(), 21);
  ASSERT_EQ(t.Print(), 0);
  rows.count = 0;  // an empty source: frames, header and footer only
  ASSERT_EQ(t.Print(), 0);
  EXPECT_EQ(Written(), (std::vector<std::string>{
                           "+----------+--------+",
                           "|  Nazwa   |  Cena  |",
                           "+----------+--------+",
                           "|Towar 1   |       -|",
                           "|Towar 2   |       ?|",
                           "|Towar 3   |   20,00|",
                           "+----------+--------+",
                           " Razem         30,00 ",
                           "+----------+--------+",
                           "|  Nazwa   |  Cena  |",
                           "+----------+--------+",
                           "+----------+--------+",
                           " Razem         30,00 ",
                       }));
}

TEST_F(ReportTableTest, AFailingSourceStopsTheTableAndAnInvalidOnePrintsNothing) {
  ROWS rows;
  rows.fail_at = 2;
  DKRPT::CELL_TEXT name(rows.name);
  RPTTABLE t(1, 0, 1, 0, &rows);
  t.SetCell(RPTTABLE::kBody, 0, 0, &name);
  EXPECT_EQ(t.Print(), -1);
  RPTTABLE none(0, 1, 1, 1), empty(2, 0, 0, 0);
  EXPECT_FALSE(none.IsValid());
  EXPECT_FALSE(empty.IsValid());
  EXPECT_EQ(none.Width(), 0);
  EXPECT_EQ(none.Print(), 0);
  EXPECT_EQ(Written().size(), 3u);  // the top frame and two rows of the failing table
}

TEST_F(ReportTableTest, HeaderLinesOfReportsAndDocuments) {
  std::array<uint8_t, kDocumentFilterCount> flags;
  flags.fill(1);
  PutDocumentFilterSummary(flags);  // nothing: every flag set
  flags[2] = 0;
  flags[13] = 0;
  PutDocumentFilterSummary(flags);
  ASSERT_EQ(SetHeaderFooterLine(1, 'H', 1, HEADER_LINE{true, "Kwiaciarnia"}), 0);
  ASSERT_EQ(SetHeaderFooterLine(1, 'H', 3, HEADER_LINE{false, "wyłączona"}), 0);
  EXPECT_EQ(PutHeaderFooterLines(1, 'H'), 1);
  PutPeriodHeader(DateFromYmd(2026, 1, 1), DateFromYmd(2026, 1, 31));
  EXPECT_EQ(ReportOutputEnd(), 0);
  EXPECT_EQ(Written(), (std::vector<std::string>{
                           " Dokumenty magazynowe: Brak+ PZ/WZ+ PW/WW- PM/WM+ ",
                           "    Paragony fiskalne: Brak+ PF- ",
                           "",
                           "Kwiaciarnia",
                           "                Okres: 01.01.2026 - 31.01.2026",
                           "",
                       }));
}

TEST_F(ReportTableTest, AWriteThatFailsIsRememberedUntilTheEnd) {
  ReportOutputBegin();
  SetFileFault(0, 1, true);
  PutText("Ala", 3);  // the document cannot even be created
  ClearFileFault();
  PutText("ma kota", 10);
  EXPECT_EQ(ReportOutputEnd(), -1);
  ReportOutputBegin();
  PutText("Ala", 3);
  EXPECT_EQ(ReportOutputEnd(), 0);
  EXPECT_EQ(Written(), std::vector<std::string>{"ma kota   Ala"});
}

}  // namespace
