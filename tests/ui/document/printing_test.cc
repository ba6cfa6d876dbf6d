// Printing: the byte stream of a port printer, the PDF pages of graphic printing, and a real CUPS
// job through a private scheduler.
#include "ui/document/printing.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "document_testing.h"
#include "platform/cups_print.h"
#include "support/private_cupsd.h"
#include "support/ui_fixture.h"
#include "ui/feedback.h"

// fontconfig keeps a few blocks of its configuration for the life of the process (cairo finds
// the PDF font through it); they are not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

// Runs a command and gives its standard output.
std::string CommandOutput(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

// Runs of blanks as one space, none at the ends: pdftotext sets the columns as it sees fit.
std::string Squeeze(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == ' ' && (out.empty() || out.back() == ' ' || out.back() == '\n')) continue;
    if (c == '\n' && !out.empty() && out.back() == ' ') out.pop_back();
    out.push_back(c);
  }
  return out;
}

// The lines of a small framed report: a header row, `rows` rows, the frame around.
void FramedReport(int rows) {
  doc_printf("%s\n", "┌──────────┬──────┐"_pl);
  doc_printf("%s\n", "│Towar     │ Cena │"_pl);
  doc_printf("%s\n", "├──────────┼──────┤"_pl);
  for (int i = 0; i < rows; ++i) doc_printf("│Łódź %-5d│%5d │\n"_pl, i, i * 10);
  doc_printf("%s\n", "└──────────┴──────┘"_pl);
}

TEST_F(DocumentTest, APortGetsThePrologueTheLinesCopiesAndFormFeeds) {
  doc_printf("%s\n", "┌─┐\n│ł│\n└─┘"_pl);
  doc_measure();  // the text is on the disk
  const std::string port = dir.File("lpt2");
  INIFILE ini(ConfigPath());
  ini.WriteString("Ports", "LPT2", port.c_str());
  struct CASE {
    const char* name;
    int type, copies, top, left, tables, form_feed;
    const char* codes;
    std::string want;
  } const kCases[] = {
      // Epson, codes on, table characters replaced: "-" for the frame, a space for the sides.
      {"ascii", 0, 2, 1, 2, 0, 1, "*27, 64",
       std::string("\x1bM\x0f\x1b@") + "\r\n  ---\r\n   \x88 \r\n  ---\r\n\f" +
           "\r\n  ---\r\n   \x88 \r\n  ---\r\n\f"},
      // No sequence, codes off, table characters as the printer's code page 852 has them.
      {"tables", 4, 1, 0, 0, 1, 0, " 27", "\xDA\xC4\xBF\r\n\xB3\x88\xB3\r\n\xC0\xC4\xD9\r\n"},
  };
  for (const CASE& c : kCases) {
    SCOPED_TRACE(c.name);
    WriteWholeFile(port, "");
    ini.WriteInt("Tamsu", "PrnGDIMode", 0);
    ini.WriteInt("Tamsu", "PrnPort", 1);
    ini.WriteInt("Tamsu", "PrnType", c.type);
    ini.WriteInt("Tamsu", "PrnCopies", c.copies);
    ini.WriteInt("Tamsu", "PrnMarginTop", c.top);
    ini.WriteInt("Tamsu", "PrnMarginLeft", c.left);
    ini.WriteInt("Tamsu", "TableChars", c.tables);
    ini.WriteInt("Tamsu", "PrnFormFeed", c.form_feed);
    ini.WriteString("Tamsu", "PrnCodes", c.codes);
    ASSERT_EQ(doc_print(doc_name(), doc_code_page()), 0);
    EXPECT_EQ(ReadWholeFile(port), c.want);
  }
}

TEST_F(DocumentTest, PortPrintingStopsOnAMissingPortAFailedWriteOrEsc) {
  Lines(50);
  doc_measure();
  PrinterSettings s;
  s.type = 4;
  const std::string port = dir.File("lpt1");
  EXPECT_EQ(print_to_port(doc_name(), doc_code_page(), s, dir.File("brak/lp0").c_str()), -1);

  WriteWholeFile(port, "");
  SetFileFault(kFileOpWrite, 3, false);
  EXPECT_EQ(print_to_port(doc_name(), doc_code_page(), s, port.c_str()), -1);
  ClearFileFault();
  EXPECT_EQ(ReadWholeFile(port), "Linia 0\r\nLinia 1\r\n");
  EXPECT_FALSE(progress_is_open());

  WriteWholeFile(port, "");
  Play("{Esc}");
  Play("t");  // "Przerwać operację?" -> " &Tak "
  EXPECT_EQ(print_to_port(doc_name(), doc_code_page(), s, port.c_str()), -1);
  EXPECT_EQ(ReadWholeFile(port), "");  // stopped before the first line went out
  EXPECT_FALSE(progress_is_open());
}

TEST_F(DocumentTest, PagesHoldWholeLinesAndNoEmptyPageFollowsAFullOne) {
  // A4 less the unprintable edge at 600 dots an inch: 6715 dots, 67 lines of 100 dots.
  struct CASE {
    int top;
    long lines;
    int per_page;
    long pages;
  } const kCases[] = {
      {0, 0, 67, 1}, {0, 67, 67, 1}, {0, 68, 67, 2}, {7, 120, 60, 2}, {80, 3, 1, 3}};
  for (const CASE& c : kCases) {
    const PAGE_LAYOUT g = page_layout(600, 6715, c.top, c.lines);
    EXPECT_EQ(g.char_width, 30);
    EXPECT_EQ(g.line_height, 100);
    EXPECT_EQ(g.lines_per_page, c.per_page) << c.top;
    EXPECT_EQ(g.pages_per_copy, c.pages) << c.lines;
  }
}

TEST_F(DocumentTest, AFramedReportBecomesAPdfWhoseFrameIsDrawnAsLines) {
  FramedReport(64);  // 68 lines: two pages
  doc_measure();
  PrinterSettings s;
  s.copies = 2;
  const std::string pdf = dir.File("raport.pdf");
  ASSERT_EQ(print_graphic(doc_name(), doc_code_page(), s, pdf.c_str()), 0);
  const std::string info = Squeeze(CommandOutput("pdfinfo '" + pdf + "'"));
  EXPECT_NE(info.find("Pages: 4\n"), std::string::npos) << info;

  const std::string text = CommandOutput("pdftotext -layout -f 1 -l 2 '" + pdf + "' -");
  std::istringstream in(text);
  std::string line;
  std::vector<std::string> lines;
  while (std::getline(in, line))
    if (line.find_first_not_of(" \f") != std::string::npos) lines.push_back(Squeeze(line));
  ASSERT_EQ(lines.size(), 65u);  // the header and the 64 rows; the frame lines hold no text
  EXPECT_EQ(lines[0], "Towar Cena");
  EXPECT_EQ(lines[64], "Łódź 63 630");
  for (const char* glyph : {"─", "│", "┌", "-"})
    EXPECT_EQ(text.find(glyph), std::string::npos) << glyph;

  // The frame as pixels at 600 dots an inch: the page starts a quarter inch (150 dots) in, a
  // cell is 30 x 100. The lines run through the cell centres, 2 dots wide.
  const std::string pgm =
      CommandOutput("pdftoppm -r 600 -gray -f 1 -l 1 -x 0 -y 0 -W 800 -H 600 '" + pdf + "'");
  ASSERT_GT(pgm.size(), 800u * 600u);
  const unsigned char* px =
      reinterpret_cast<const unsigned char*>(pgm.data() + pgm.size() - 800 * 600);
  auto dark = [&](int x, int y) { return px[y * 800 + x] < 96; };
  EXPECT_TRUE(dark(150 + 30 * 5 + 3, 150 + 50));   // ─ of the top line, centre row
  EXPECT_FALSE(dark(150 + 30 * 5 + 3, 150 + 20));  // above it the cell is empty
  EXPECT_TRUE(dark(150 + 15, 150 + 100 + 5));      // │ at the left of the header row, full height
  EXPECT_FALSE(dark(150 + 5, 150 + 100 + 50));     // left of the centre line nothing
  EXPECT_TRUE(dark(150 + 30 * 11 + 15, 150 + 60));   // ┬ goes down from the centre
  EXPECT_FALSE(dark(150 + 30 * 11 + 15, 150 + 40));  // but not up
}

TEST_F(DocumentTest, AJobReachesARealCupsSchedulerAndADownOneIsReported) {
  PRIVATE_CUPSD cupsd(dir.File("cups"));
  const std::string why = cupsd.Start();
  if (!why.empty()) GTEST_SKIP() << "SKIPPED: no private CUPS scheduler could run here: " << why;
  cups_set_server(cupsd.Socket().c_str());
  std::vector<std::string> names;
  ASSERT_EQ(cups_destination_names(&names, 18, nullptr), 0);
  EXPECT_NE(std::find(names.begin(), names.end(), "tamsuq"), names.end());

  FramedReport(3);
  doc_measure();
  PrinterSettings s;  // no name: the CUPS default, which is the test's queue
  ASSERT_EQ(print_graphic(doc_name(), doc_code_page(), s, nullptr), 0);
  std::error_code ec;
  for (int i = 0; i < 200 && std::filesystem::file_size(cupsd.Output(), ec) + 1 < 101; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const std::string text = Squeeze(CommandOutput("pdftotext -layout '" + cupsd.Output() + "' -"));
  EXPECT_NE(text.find("Towar Cena\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Łódź 2 20\n"), std::string::npos) << text;

  cupsd.Stop();
  // The progress takes the "x" off the queue after the page; the message box takes the rest.
  PlayKeys(con, "x{Snap}{Enter}");
  EXPECT_EQ(print_graphic(doc_name(), doc_code_page(), s, nullptr), -1);
  EXPECT_TRUE(AnyShotHas("Nie można wydrukować dokumentu na drukarce (Domyślna):"));
  cups_set_server(nullptr);
  // Only the document itself is left in the current directory: the pages were not kept.
  long tmp = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path()))
    tmp += e.path().extension() == ".tmp";
  EXPECT_EQ(tmp, 1);
}

}  // namespace
