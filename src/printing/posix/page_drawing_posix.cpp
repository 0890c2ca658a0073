#include "printing/posix/page_drawing_posix.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <memory>

#include "printing/code_pages.h"
#include "printing/posix/print_libraries_posix.h"

namespace valico {
namespace {

constexpr const char* kMonoFace = "DejaVu Sans Mono";
constexpr const char* kNoteFace = "DejaVu Sans";

// Dots around the printable area, and the width of the notes' column.
struct Frame {
  int margin;
  int notes;
  int width, height;  // the whole drawing
};

Frame FrameFor(const PageLayout& page, int dpi) {
  Frame f;
  f.margin = std::max(8, dpi / 8);
  f.notes = std::max(120, dpi * 5 / 4);
  f.width = page.width + 2 * f.margin + f.notes;
  f.height = std::max(page.height, 1) + 2 * f.margin;
  return f;
}

void SetMonoFont(cairo_t* cr, bool bold, double advance, int height) {
  cairo_select_font_face(cr, kMonoFace, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  // Measure the face at one unit, then stretch it so that one character takes exactly the
  // font's cell: columns line up as on the printer.
  cairo_set_font_size(cr, 1);
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  cairo_text_extents_t te;
  cairo_text_extents(cr, "0", &te);
  double x_scale = te.x_advance > 0 ? advance / te.x_advance : advance;
  double y_scale = fe.ascent + fe.descent > 0 ? height / (fe.ascent + fe.descent) : height;
  cairo_matrix_t m;
  cairo_matrix_init_scale(&m, x_scale, y_scale);
  cairo_set_font_matrix(cr, &m);
}

void DrawText(cairo_t* cr, const PageLayout::Text& t) {
  SetMonoFont(cr, t.bold, t.advance - t.spacing, t.height);
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  if (t.red)
    cairo_set_source_rgb(cr, 0.85, 0, 0);
  else
    cairo_set_source_rgb(cr, 0, 0, 0);
  if (t.spacing <= 0) {
    cairo_move_to(cr, t.x, t.y + fe.ascent);
    cairo_show_text(cr, Cp1252ToUtf8(t.text).c_str());
    return;
  }
  // Right spacing: each character in its cell, the rest of the cell blank.
  for (size_t i = 0; i < t.text.size(); ++i) {
    cairo_move_to(cr, t.x + i * t.advance, t.y + fe.ascent);
    cairo_show_text(cr, Cp1252ToUtf8(t.text.substr(i, 1)).c_str());
  }
}

void DrawBars(cairo_t* cr, const PageLayout::Bars& b) {
  cairo_set_source_rgb(cr, 0, 0, 0);
  for (size_t i = 0; i < b.modules.size(); ++i)
    if (b.modules[i] == '1')
      cairo_rectangle(cr, b.x + static_cast<double>(i) * b.module, b.y, b.module, b.height);
  cairo_fill(cr);
  if (b.digits.empty()) return;
  PageLayout::Text digits;
  digits.advance = 12;
  digits.height = 24;
  digits.text = b.digits;
  double width = b.modules.size() * b.module;
  digits.x = b.x + static_cast<int>((width - digits.advance * b.digits.size()) / 2);
  digits.y = b.y + b.height + 2;
  DrawText(cr, digits);
}

void DrawImage(cairo_t* cr, const PageLayout::Image& img) {
  const Bitmap& b = *img.bitmap;
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> s(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, b.width, b.height), cairo_surface_destroy);
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) return;
  cairo_surface_flush(s.get());
  unsigned char* data = cairo_image_surface_get_data(s.get());
  int stride = cairo_image_surface_get_stride(s.get());
  for (int y = 0; y < b.height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<size_t>(y) * stride);
    const std::uint8_t* px = &b.rgb[static_cast<size_t>(y) * b.width * 3];
    for (int x = 0; x < b.width; ++x, px += 3)
      row[x] = static_cast<std::uint32_t>(px[0]) << 16 | px[1] << 8 | px[2];
  }
  cairo_surface_mark_dirty(s.get());
  cairo_save(cr);
  cairo_rectangle(cr, img.x, img.y, img.width, img.height);
  cairo_clip(cr);
  cairo_translate(cr, img.x, img.y);
  cairo_scale(cr, static_cast<double>(img.picture_width) / b.width,
              static_cast<double>(img.height) / b.height);
  cairo_set_source_surface(cr, s.get(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
  cairo_restore(cr);
}

// Draws a note beside its line, or below the note before it when they would overlap; returns
// where the next note may start.
double DrawNote(cairo_t* cr, const PageLayout::Note& n, const Frame& f, int paper_right, int dpi,
                double free_from) {
  double size = std::max(9.0, dpi / 14.0);
  double y = std::max(static_cast<double>(n.y + f.margin), free_from);
  // A short mark from the paper's edge to the note, at the note's line.
  cairo_set_source_rgb(cr, 0.1, 0.3, 0.8);
  cairo_rectangle(cr, paper_right - f.margin / 2.0, n.y + f.margin, f.margin, 2);
  cairo_fill(cr);
  cairo_select_font_face(cr, kNoteFace, CAIRO_FONT_SLANT_ITALIC, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_move_to(cr, paper_right + f.margin, y + size * 0.8);
  cairo_show_text(cr, Cp1252ToUtf8(n.text).c_str());
  return y + size * 1.3;
}

bool Draw(cairo_t* cr, const PageLayout& page, int dpi, std::string* err) {
  Frame f = FrameFor(page, dpi);
  int paper_right = page.width + 2 * f.margin;
  cairo_set_source_rgb(cr, 0.9, 0.9, 0.9);
  cairo_paint(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_rectangle(cr, 0, 0, paper_right, f.height);
  cairo_fill(cr);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);

  cairo_save(cr);
  cairo_translate(cr, f.margin, f.margin);
  for (const auto& img : page.images) DrawImage(cr, img);
  for (const auto& b : page.bars) DrawBars(cr, b);
  for (const auto& t : page.texts) DrawText(cr, t);
  cairo_restore(cr);
  double free_from = 0;
  for (const auto& n : page.notes) free_from = DrawNote(cr, n, f, paper_right, dpi, free_from);

  if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
    *err = std::string("drawing the page failed: ") + cairo_status_to_string(cairo_status(cr));
    return false;
  }
  return true;
}

cairo_status_t AppendTo(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

bool DrawPagePng(const PageLayout& page, int dpi, const std::string& native_path,
                 std::string* err) {
  if (!LoadCairo(err)) return false;
  Frame f = FrameFor(page, dpi);
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, f.width, f.height), cairo_surface_destroy);
  std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cr(cairo_create(surface.get()), cairo_destroy);
  if (!Draw(cr.get(), page, dpi, err)) return false;
  cairo_surface_flush(surface.get());
  cairo_status_t st = cairo_surface_write_to_png(surface.get(), native_path.c_str());
  if (st != CAIRO_STATUS_SUCCESS) {
    *err = "cannot write " + native_path + ": " + cairo_status_to_string(st);
    return false;
  }
  return true;
}

bool DrawPagePdf(const PageLayout& page, int dpi, std::string* pdf, std::string* err) {
  if (!LoadCairo(err)) return false;
  Frame f = FrameFor(page, dpi);
  double points_per_dot = 72.0 / dpi;
  pdf->clear();
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
      cairo_pdf_surface_create_for_stream(AppendTo, pdf, f.width * points_per_dot,
                                          f.height * points_per_dot),
      cairo_surface_destroy);
  {
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cr(cairo_create(surface.get()),
                                                          cairo_destroy);
    cairo_scale(cr.get(), points_per_dot, points_per_dot);
    if (!Draw(cr.get(), page, dpi, err)) return false;
  }
  cairo_surface_finish(surface.get());
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    *err = std::string("writing the PDF failed: ") +
           cairo_status_to_string(cairo_surface_status(surface.get()));
    return false;
  }
  return true;
}

}  // namespace valico
