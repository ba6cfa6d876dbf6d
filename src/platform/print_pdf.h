// Graphic printing onto PDF pages: a thin canvas over cairo that the document printer draws on as
// it would on a printer's device context. Coordinates are printer dots at the resolution given
// to pdf_create, from the top left of the printable area; the page is A4 with an unprintable
// edge of a quarter inch on every side, as a laser printer has.
//
//   PDF_CANVAS* c = pdf_create("out.pdf", 600, &error);
//   pdf_set_font(c, 100, 30);                 // cells of 100 x 30 dots: 6 lines, 20 columns an
//   inch pdf_begin_page(c); pdf_text(c, 0, 0, "Zażółć", 30); pdf_line(c, 0, 50, 300, 50, 2);
//   pdf_end_page(c); pdf_close(c);             // 0, or -1 when the file could not be written
//
// Texts are UTF-8. The font is DejaVu Sans Mono (found through fontconfig), which holds every
// Polish letter; each character is placed in its own cell, so the pitch is exact whatever the
// font's own advance.
#pragma once

#include <string>

struct PDF_CANVAS;

// nullptr when the file cannot be created; *error then says why.
PDF_CANVAS* pdf_create(const char* path, int dpi, std::string* error);
int pdf_page_width(const PDF_CANVAS* c);
int pdf_page_height(const PDF_CANVAS* c);
int pdf_dpi(const PDF_CANVAS* c);
// Creates the font whose cell is height dots high (ascent plus descent) and whose characters
// advance width dots. 0, or -1 when no font can be had.
int pdf_set_font(PDF_CANVAS* c, int height, int width);
// The advance and the cell height of a text in the current font, rounded up to whole dots.
void pdf_text_extent(PDF_CANVAS* c, const char* utf8, int* width, int* height);
void pdf_begin_page(PDF_CANVAS* c);
// Character i of the text goes into the cell at x + i * pitch; y is the top of the cells.
void pdf_text(PDF_CANVAS* c, int x, int y, const char* utf8, int pitch);
// A solid black line pen dots wide.
void pdf_line(PDF_CANVAS* c, int x1, int y1, int x2, int y2, int pen);
void pdf_end_page(PDF_CANVAS* c);
// Finishes and frees the canvas: 0, or -1 (with *error) when anything failed on the way, such
// as a full disk. pdf_close(nullptr, ...) is 0.
int pdf_close(PDF_CANVAS* c, std::string* error);
