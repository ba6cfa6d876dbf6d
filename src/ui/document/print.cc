// Printing a text file: to a port as text with control codes, or laid out on PDF pages for a
// CUPS printer or a PDF file. Stream and page layout: docs/formats/text-documents.md.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/codepage.h"
#include "common/text.h"
#include "platform/cfile.h"
#include "platform/cfiletxt.h"
#include "platform/cups_print.h"
#include "platform/inifile.h"
#include "platform/print_pdf.h"
#include "platform/system.h"
#include "ui/dialog.h"
#include "ui/document/document.h"
#include "ui/document/printing.h"
#include "ui/feedback.h"
#include "ui/message_box.h"

namespace {

const char* const kInitSequences[5] = {
    "\x1bM\x0f",  // Epson: elite, condensed
    "\x1b\x0f",   // IBM Proprinter: condensed
    "\x1b"
    "E\x1b(17U\x1b(s4102T\x1b(s20H",  // HP DeskJet
    "\x1b"
    "E\x1b(17U\x1b(s4102T\x1b(s7B\x1b(s20H",  // HP LaserJet
    "",                                       // other: nothing
};

constexpr int kDpi = 600;  // printer dots of the PDF layout
constexpr int kPen = 2;

// A text file opened for printing, with its line count; the caller's document stays untouched.
struct PRINT_SOURCE {
  CFILETXT file;
  long lines = 0;

  int Open(const char* path, int code_page) {
    file.SetCodePage(code_page);
    if (file.Open(path, kOpenExisting, kAccessRead, kShareReadWrite) != 0) return -1;
    long longest = 0;
    return file.Measure(&lines, &longest);
  }
  int Rewind() { return file.SeekTo(0); }
  // The next line without CR LF, at most kDocLineMax characters; the rest of a longer line is
  // skipped. The length, kDocEnd or -1.
  long Next(char* out) {
    char buf[kDocLineMax + 2];
    long n = file.ReadLine(buf, sizeof buf);
    if (n < 0) return -1;
    if (n == 0) return kDocEnd;
    bool whole = buf[n - 1] == '\n';
    while (!whole && n == static_cast<long>(sizeof buf) - 1) {
      char rest[256];
      const long m = file.ReadLine(rest, sizeof rest);
      if (m < 0) return -1;
      if (m == 0 || rest[m - 1] == '\n') break;
    }
    if (whole) {
      --n;
      if (n > 0 && buf[n - 1] == '\r') --n;
    }
    n = std::min<long>(n, kDocLineMax);
    std::memcpy(out, buf, static_cast<size_t>(n));
    out[n] = '\0';
    return n;
  }
};

int Percent(long done, long total) {
  return total > 0 ? static_cast<int>(std::min<long>(100, done * 100 / total)) : 100;
}

// The cell of one box character, drawn through its centre lines.
void DrawBox(PDF_CANVAS* c, int box, int x, int y, int w, int h) {
  const int mx = x + w / 2, my = y + h / 2;
  const bool left =
      box == 0 || box == 3 || box == 4 || box == 6 || box == 7 || box == 9 || box == 10;
  const bool right =
      box == 0 || box == 2 || box == 3 || box == 5 || box == 6 || box == 8 || box == 9;
  const bool up = box == 1 || box == 5 || box == 6 || box == 7 || box == 8 || box == 9 || box == 10;
  const bool down =
      box == 1 || box == 2 || box == 3 || box == 4 || box == 5 || box == 6 || box == 7;
  if (left || right) pdf_line(c, left ? x : mx, my, right ? x + w : mx, my, kPen);
  if (up || down) pdf_line(c, mx, up ? y : my, mx, down ? y + h : my, kPen);
}

int BoxIndex(uint8_t ch) {
  for (int i = 0; i < 11; ++i)
    if (box_char(i) == ch) return i;
  return -1;
}

void PrintLine(PDF_CANVAS* c, const char* line, int x, int y, const PAGE_LAYOUT& g, bool tables) {
  char text[kDocLineMax + 1];
  std::snprintf(text, sizeof text, "%s", line);
  if (tables) {
    for (char* p = text; *p; ++p)
      if (is_box_char(static_cast<uint8_t>(*p))) *p = ' ';
  } else {
    box_to_ascii(text);
  }
  pdf_text(c, x, y, Cp1250ToUtf8(text).c_str(), g.char_width);
  if (!tables) return;
  for (int i = 0; line[i]; ++i) {
    const int box = BoxIndex(static_cast<uint8_t>(line[i]));
    if (box >= 0) DrawBox(c, box, x + i * g.char_width, y, g.char_width, g.line_height);
  }
}

// Creates the font of the layout: a cell of line height by character width, made smaller while
// the letter "A" does not fit it.
int ChooseFont(PDF_CANVAS* c, const PAGE_LAYOUT& g) {
  int height = g.line_height, width = g.char_width;
  for (int guard = 0; guard < 1000; ++guard) {
    if (pdf_set_font(c, height, width) != 0) return -1;
    int w, h;
    pdf_text_extent(c, "A", &w, &h);
    if (h > g.line_height && height > 1) --height;
    else if (w > g.char_width && width > 1) --width;
    else return 0;
  }
  return 0;
}

// The file name of graphic printing into a file; false when the user gives none.
bool AskPdfName(std::string* name) {
  static char remembered[81] = "";
  FieldDescriptor f;
  make_descriptor(&f, 'C', 80, 0, remembered);
  ControlRecord dlg[5];
  dlg_frame(dlg, 0, 0, 0, 58, 6, "WYDRUK DO PLIKU PDF");
  dlg_center(dlg);
  dlg_label(dlg, 1, 3, 1, "Na&zwa pliku PDF:");
  dlg_field(dlg, 2, 3, 2, 52, 1, &f);
  dlg_button(dlg, 3, 27, 4, " &Ok ");
  dlg_end(dlg, 4);
  if (dlg_run(dlg, 2, nullptr) != 3 || !remembered[0]) return false;
  *name = remembered;
  return true;
}

// Replaces the target by the finished temporary file.
int Publish(const std::string& temp, const char* target) {
  CFILE f;
  if (f.Open(temp.c_str(), kOpenExisting, kAccessReadWrite, kShareNone) != 0) return -1;
  int rc = f.Flush();
  if (f.Close() != 0) rc = -1;
  if (rc == 0) rc = f.Rename(target, true);
  if (rc == 0) SyncDirectoryOf(target);
  return rc;
}

}  // namespace

std::string printer_prologue(const PrinterSettings& s) {
  std::string out = s.type >= 0 && s.type < 5 ? kInitSequences[s.type] : "";
  if (s.codes[0] != '*') return out;
  // Each run of digits is one byte; anything else separates them.
  int value = -1;
  for (const char* p = s.codes + 1;; ++p) {
    if (*p >= '0' && *p <= '9') {
      value = (value < 0 ? 0 : value * 10) + (*p - '0');
      if (value > 255) value = 255;
    } else {
      if (value >= 0) out.push_back(static_cast<char>(value));
      value = -1;
      if (!*p) break;
    }
  }
  return out;
}

std::string printer_port_path(int port) {
  if (port < 0 || port > 2) port = 0;
  char key[8], fallback[16];
  std::snprintf(key, sizeof key, "LPT%d", port + 1);
  std::snprintf(fallback, sizeof fallback, "/dev/lp%d", port);
  std::string path = fallback;
  INIFILE(ConfigPath()).GetString("Ports", key, &path);
  return path;
}

int print_to_port(const char* path, int code_page, const PrinterSettings& s, const char* device) {
  PRINT_SOURCE src;
  if (src.Open(path, code_page) != 0) return -1;
  CFILE port;
  if (port.Open(device, kOpenExisting, kAccessWrite, kShareReadWrite) != 0) return -1;
  if (progress(0, "Drukowanie dokumentu...") != 0) return -1;
  const std::string prologue = printer_prologue(s);
  int rc = prologue.empty() || port.Write(prologue.data(), prologue.size()) ==
                                   static_cast<long>(prologue.size())
               ? 0
               : -1;
  const long total = static_cast<long>(s.copies) * src.lines;
  long sent = 0;
  char line[kDocLineMax + 1];
  std::string out;
  for (int copy = 0; rc == 0 && copy < s.copies; ++copy) {
    if (src.Rewind() != 0) rc = -1;
    out.assign(2 * static_cast<size_t>(s.margin_top), '\0');
    for (size_t i = 0; i < out.size(); i += 2) out[i] = '\r', out[i + 1] = '\n';
    if (rc == 0 && !out.empty() &&
        port.Write(out.data(), out.size()) != static_cast<long>(out.size()))
      rc = -1;
    for (long k = 0; rc == 0 && k < src.lines; ++k) {
      const long n = src.Next(line);
      if (n == kDocEnd) break;
      if (n < 0) {
        rc = -1;
        break;
      }
      if (!s.table_chars) box_to_ascii(line);
      convert_text(kCodePageWindows, s.code_page, line);
      out.assign(static_cast<size_t>(s.margin_left), ' ');
      out.append(line, static_cast<size_t>(n));
      out.append("\r\n");
      // The user may stop between lines; a line already sent stays on the paper.
      if (progress(1, AMOUNT::FromInt(Percent(++sent, total))) != 0) rc = -1;
      else if (port.Write(out.data(), out.size()) != static_cast<long>(out.size())) rc = -1;
    }
    if (rc == 0 && s.form_feed && port.Write("\f", 1) != 1) rc = -1;
  }
  progress(2);
  if (port.Close() != 0) rc = -1;
  return rc;
}

PAGE_LAYOUT page_layout(int dpi, int page_height, int margin_top, long lines) {
  PAGE_LAYOUT g;
  g.char_width = dpi / 20;
  g.line_height = dpi / 6;
  g.lines_per_page = std::max(1, page_height / g.line_height - margin_top);
  // Whole pages only: a document that fills its last page exactly gets no empty page after it.
  g.pages_per_copy = std::max(1L, (lines + g.lines_per_page - 1) / g.lines_per_page);
  return g;
}

int print_graphic(const char* path, int code_page, const PrinterSettings& s,
                  const char* pdf_target) {
  PRINT_SOURCE src;
  if (src.Open(path, code_page) != 0) return -1;
  const std::string temp = TakeTemporaryName(pdf_target ? pdf_target : "");
  if (temp.empty()) {
    message("%s", "Nie można utworzyć pliku tymczasowego wydruku."_pl);
    return -1;
  }
  std::string error;
  PDF_CANVAS* c = pdf_create(temp.c_str(), kDpi, &error);
  if (!c) {
    CFILE::DeleteFile(temp.c_str());
    message("Nie można utworzyć wydruku:\n%s"_pl, error.c_str());
    return -1;
  }
  const PAGE_LAYOUT g = page_layout(kDpi, pdf_page_height(c), s.margin_top, src.lines);
  int rc = ChooseFont(c, g);
  if (rc != 0) message("%s", "Brak czcionki o stałej szerokości znaków do wydruku."_pl);
  if (rc == 0 && progress(0, "Drukowanie dokumentu...") != 0) rc = -1;
  const bool progress_open = rc == 0;
  const long total = static_cast<long>(s.copies) * g.pages_per_copy;
  long printed = 0;
  char line[kDocLineMax + 1];
  for (int copy = 0; rc == 0 && copy < s.copies; ++copy) {
    if (src.Rewind() != 0) rc = -1;
    for (long page = 0; rc == 0 && page < g.pages_per_copy; ++page) {
      pdf_begin_page(c);
      for (int i = 0; rc == 0 && i < g.lines_per_page; ++i) {
        const long n = src.Next(line);
        if (n == kDocEnd) break;
        if (n < 0) rc = -1;
        else
          PrintLine(c, line, s.margin_left * g.char_width, (s.margin_top + i) * g.line_height, g,
                    s.table_chars != 0);
      }
      pdf_end_page(c);
      if (rc == 0 && progress(1, AMOUNT::FromInt(Percent(++printed, total))) != 0) rc = -1;
    }
  }
  if (progress_open) progress(2);
  if (pdf_close(c, &error) != 0 && rc == 0) {
    message("Błąd zapisu wydruku do pliku %s:\n%s"_pl, pdf_target ? pdf_target : temp.c_str(),
            error.c_str());
    rc = -1;
  }
  // A stopped or failed print leaves nothing behind and sends nothing.
  if (rc == 0 && pdf_target) {
    rc = Publish(temp, pdf_target);
  } else if (rc == 0) {
    const int job = cups_print_pdf(s.gdi_name, temp.c_str(), "Tamsu - Dokument", &error);
    if (job <= 0) {
      message("Nie można wydrukować dokumentu na drukarce %s:\n%s"_pl,
              s.gdi_name[0] ? s.gdi_name : "(Domyślna)"_pl, error.c_str());
      rc = -1;
    }
  }
  if (CFILE::Exists(temp.c_str())) CFILE::DeleteFile(temp.c_str());
  return rc;
}

int doc_print(const char* path, int code_page) {
  PrinterSettings s;
  load_printer_settings(&s);
  if (!s.gdi_mode) return print_to_port(path, code_page, s, printer_port_path(s.port).c_str());
  if (std::strcmp(s.gdi_name, kPdfFilePrinter) == 0) {
    std::string target;
    if (!AskPdfName(&target)) return -1;
    return print_graphic(path, code_page, s, target.c_str());
  }
  return print_graphic(path, code_page, s, nullptr);
}
