// Printing text documents, and the printer options that steer it (section "Tamsu" of Tamsu.ini).
//
// Text mode sends the document to a port ("LPT1" to "LPT3", device paths in section "Ports",
// default /dev/lp0 to /dev/lp2) with the printer type's initialisation sequence, the control
// codes, margins, copies and form feeds. Graphic mode lays the document out on PDF pages (20
// characters and 6 lines an inch, box characters drawn as lines through the cell centres) and
// sends them to a CUPS printer ("(Domyślna)": the CUPS default) or into a PDF file the user
// names ("(Plik PDF)"). Both show "Drukowanie dokumentu..." with its progress; Esc stops.
// Stream and page layout: docs/formats/text-documents.md.
#pragma once

#include <cstdint>
#include <string>

struct PrinterSettings {
  int32_t type = 0;  // "PrnType": 0 Epson, 1 IBM Proprinter, 2 HP DeskJet, 3 HP LaserJet, 4 other
  int32_t port = 0;  // "PrnPort": 0 LPT1, 1 LPT2, 2 LPT3
  int32_t code_page = 2;    // "PrnPLStandard"
  char codes[162] = "";     // "PrnCodes": "*" (on) or " " (off), then decimal byte values
  int32_t copies = 1;       // "PrnCopies": 1 to 99
  int32_t margin_top = 0;   // "PrnMarginTop", lines
  int32_t margin_left = 0;  // "PrnMarginLeft", columns
  int32_t table_chars = 1;  // "TableChars": 1 box characters as lines, 0 as ASCII
  int32_t form_feed = 1;    // "PrnFormFeed": a form feed after each copy (port)
  int32_t gdi_mode = 1;     // "PrnGDIMode": 1 graphic, 0 text to the port
  char gdi_name[256] = "";  // "PrnGDIName": the printer; empty is the default one
};

// The list entry of graphic printing into a PDF file; stored as it is in "PrnGDIName".
inline constexpr const char* kPdfFilePrinter = "(Plik PDF)";

// Reads the settings (absent keys keep their defaults; out-of-range values take the default).
void load_printer_settings(PrinterSettings* s);
// Writes every key; 0 or -1.
int store_printer_settings(const PrinterSettings& s);

// The dialog "Opcje drukarki"; " &Ok " stores the settings. 0 when stored, -1 when cancelled.
int printer_options();

// Prints a text file in `code_page` with the stored settings. 0, or -1 when it could not be
// printed or the user stopped it.
int doc_print(const char* path, int code_page);

// The parts of printing, for the printers and their tests.
// The bytes sent before the document: the type's initialisation sequence, then the control codes
// when they are on.
std::string printer_prologue(const PrinterSettings& s);
// The device path of port 0..2 ("LPT1" to "LPT3" in section "Ports").
std::string printer_port_path(int port);
// Text mode onto a device or file path. 0 or -1.
int print_to_port(const char* path, int code_page, const PrinterSettings& s, const char* device);
// Graphic mode: into the PDF file `pdf_target`, or, with nullptr, to the CUPS printer of the
// settings. 0 or -1.
int print_graphic(const char* path, int code_page, const PrinterSettings& s,
                  const char* pdf_target);

// The page layout at a resolution: cell size in dots, lines per page, pages per copy.
struct PAGE_LAYOUT {
  int char_width, line_height;  // dots
  int lines_per_page;
  long pages_per_copy;
};
PAGE_LAYOUT page_layout(int dpi, int page_height, int margin_top, long lines);
