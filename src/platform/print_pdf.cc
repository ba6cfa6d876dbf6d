#include "platform/print_pdf.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <cmath>

namespace {

constexpr double kA4Width = 595.276;  // points
constexpr double kA4Height = 841.890;
constexpr double kEdge = 18.0;  // a quarter inch the printer cannot reach
constexpr const char* kFace = "DejaVu Sans Mono";

}  // namespace

struct PDF_CANVAS {
  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;
  int dpi = 600;
  double ascent = 0;  // of the current font, in dots
  bool page_open = false;
};

PDF_CANVAS* pdf_create(const char* path, int dpi, std::string* error) {
  cairo_surface_t* s = cairo_pdf_surface_create(path, kA4Width, kA4Height);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    if (error) *error = cairo_status_to_string(cairo_surface_status(s));
    cairo_surface_destroy(s);
    return nullptr;
  }
  cairo_pdf_surface_set_metadata(s, CAIRO_PDF_METADATA_CREATOR, "Tamsu");
  auto* c = new PDF_CANVAS;
  c->surface = s;
  c->dpi = dpi > 0 ? dpi : 600;
  c->cr = cairo_create(s);
  cairo_translate(c->cr, kEdge, kEdge);
  cairo_scale(c->cr, 72.0 / c->dpi, 72.0 / c->dpi);
  cairo_select_font_face(c->cr, kFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_source_rgb(c->cr, 0, 0, 0);
  cairo_set_line_cap(c->cr, CAIRO_LINE_CAP_SQUARE);
  return c;
}

int pdf_page_width(const PDF_CANVAS* c) {
  return static_cast<int>((kA4Width - 2 * kEdge) * c->dpi / 72.0);
}

int pdf_page_height(const PDF_CANVAS* c) {
  return static_cast<int>((kA4Height - 2 * kEdge) * c->dpi / 72.0);
}

int pdf_dpi(const PDF_CANVAS* c) { return c->dpi; }

int pdf_set_font(PDF_CANVAS* c, int height, int width) {
  if (height < 1 || width < 1) return -1;
  // Measure the face at one dot per em, then stretch it to the wanted cell.
  cairo_set_font_size(c->cr, 1.0);
  cairo_font_extents_t fe;
  cairo_font_extents(c->cr, &fe);
  cairo_text_extents_t te;
  cairo_text_extents(c->cr, "A", &te);
  if (cairo_status(c->cr) != CAIRO_STATUS_SUCCESS || fe.ascent + fe.descent <= 0 ||
      te.x_advance <= 0)
    return -1;
  cairo_matrix_t m;
  cairo_matrix_init_scale(&m, width / te.x_advance, height / (fe.ascent + fe.descent));
  cairo_set_font_matrix(c->cr, &m);
  cairo_font_extents(c->cr, &fe);
  c->ascent = fe.ascent;
  return cairo_status(c->cr) == CAIRO_STATUS_SUCCESS ? 0 : -1;
}

void pdf_text_extent(PDF_CANVAS* c, const char* utf8, int* width, int* height) {
  cairo_font_extents_t fe;
  cairo_font_extents(c->cr, &fe);
  cairo_text_extents_t te;
  cairo_text_extents(c->cr, utf8, &te);
  // A hair of floating-point noise must not count as a whole dot.
  *width = static_cast<int>(std::ceil(te.x_advance - 1e-6));
  *height = static_cast<int>(std::ceil(fe.ascent + fe.descent - 1e-6));
}

void pdf_begin_page(PDF_CANVAS* c) { c->page_open = true; }

void pdf_text(PDF_CANVAS* c, int x, int y, const char* utf8, int pitch) {
  cairo_scaled_font_t* font = cairo_get_scaled_font(c->cr);
  cairo_glyph_t* glyphs = nullptr;
  int count = 0;
  const double baseline = y + c->ascent;
  if (cairo_scaled_font_text_to_glyphs(font, 0, 0, utf8, -1, &glyphs, &count, nullptr, nullptr,
                                       nullptr) != CAIRO_STATUS_SUCCESS)
    return;
  // One glyph per character: each goes to the left edge of its own cell.
  for (int i = 0; i < count; ++i) {
    glyphs[i].x = x + static_cast<double>(i) * pitch;
    glyphs[i].y = baseline;
  }
  cairo_show_glyphs(c->cr, glyphs, count);
  cairo_glyph_free(glyphs);
}

void pdf_line(PDF_CANVAS* c, int x1, int y1, int x2, int y2, int pen) {
  cairo_set_line_width(c->cr, pen);
  cairo_move_to(c->cr, x1, y1);
  cairo_line_to(c->cr, x2, y2);
  cairo_stroke(c->cr);
}

void pdf_end_page(PDF_CANVAS* c) {
  cairo_show_page(c->cr);
  c->page_open = false;
}

int pdf_close(PDF_CANVAS* c, std::string* error) {
  if (!c) return 0;
  cairo_status_t st = cairo_status(c->cr);
  cairo_destroy(c->cr);
  cairo_surface_finish(c->surface);
  if (st == CAIRO_STATUS_SUCCESS) st = cairo_surface_status(c->surface);
  cairo_surface_destroy(c->surface);
  delete c;
  if (st != CAIRO_STATUS_SUCCESS) {
    if (error) *error = cairo_status_to_string(st);
    return -1;
  }
  return 0;
}
