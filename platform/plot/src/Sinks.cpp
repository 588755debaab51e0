#include "Sinks.h"

#include <cmath>

namespace tabrik::plot {

namespace {

// Average advance of a character as a fraction of the text height (the plotter's
// font is proportional; the box only decides the extents).
constexpr double kAdvancePerHeight = 0.6;
constexpr double kLineWidth = 1.0;  // device units: a thin line, as plotted without weights

size_t codePoints(const std::string& utf8) {
  size_t n = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

}  // namespace

void BoundsSink::add(double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  m_minX = std::min(m_minX, x);
  m_minY = std::min(m_minY, y);
  m_maxX = std::max(m_maxX, x);
  m_maxY = std::max(m_maxY, y);
}

void BoundsSink::path(const std::vector<Point2>& points, bool, bool, std::uint32_t) {
  for (const Point2& p : points) add(p.x, p.y);
}

void BoundsSink::arc(Point2 c, double r, double start, double sweep, std::uint32_t) {
  add(c.x + r * std::cos(start), c.y + r * std::sin(start));
  add(c.x + r * std::cos(start + sweep), c.y + r * std::sin(start + sweep));
  // The quadrant points the arc passes.
  const double from = std::min(start, start + sweep), to = std::max(start, start + sweep);
  if (!(std::fabs(from) < 1e6 && std::fabs(to) < 1e6)) return;
  for (int k = static_cast<int>(std::ceil(from / (M_PI / 2))); k * (M_PI / 2) <= to && k < 1e6; ++k)
    add(c.x + r * std::cos(k * M_PI / 2), c.y + r * std::sin(k * M_PI / 2));
}

void BoundsSink::text(Point2 p, double angle, double height, double widthFactor,
                      const std::string& utf8, std::uint32_t) {
  const double length = kAdvancePerHeight * height * widthFactor * codePoints(utf8);
  const double ux = std::cos(angle), uy = std::sin(angle);
  add(p.x, p.y);
  add(p.x + ux * length, p.y + uy * length);
  add(p.x - uy * height, p.y + ux * height);
  add(p.x + ux * length - uy * height, p.y + uy * length + ux * height);
}

void CairoSink::ink(std::uint32_t rgb) {
  cairo_set_source_rgb(m_cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                       (rgb & 0xFF) / 255.0);
}

void CairoSink::path(const std::vector<Point2>& points, bool closed, bool filled,
                     std::uint32_t rgb) {
  if (points.empty()) return;
  cairo_new_path(m_cr);
  cairo_move_to(m_cr, m_page.x(points[0].x), m_page.y(points[0].y));
  if (points.size() == 1) {
    // A point: a dot the size of a line's width.
    cairo_rel_line_to(m_cr, 0, 0);
    cairo_set_line_cap(m_cr, CAIRO_LINE_CAP_ROUND);
  }
  for (size_t i = 1; i < points.size(); ++i)
    cairo_line_to(m_cr, m_page.x(points[i].x), m_page.y(points[i].y));
  if (closed) cairo_close_path(m_cr);
  ink(rgb);
  cairo_set_line_width(m_cr, kLineWidth);
  if (filled) {
    cairo_fill(m_cr);
  } else {
    cairo_stroke(m_cr);
  }
  cairo_set_line_cap(m_cr, CAIRO_LINE_CAP_BUTT);
}

void CairoSink::arc(Point2 c, double r, double start, double sweep, std::uint32_t rgb) {
  cairo_new_path(m_cr);
  const double x = m_page.x(c.x), y = m_page.y(c.y), radius = r * m_page.scale;
  // The page's y runs down: a counter-clockwise arc on the drawing is clockwise on it.
  if (sweep >= 0) {
    cairo_arc_negative(m_cr, x, y, radius, -start, -(start + sweep));
  } else {
    cairo_arc(m_cr, x, y, radius, -start, -(start + sweep));
  }
  ink(rgb);
  cairo_set_line_width(m_cr, kLineWidth);
  cairo_stroke(m_cr);
}

void CairoSink::text(Point2 p, double angle, double height, double widthFactor,
                     const std::string& utf8, std::uint32_t rgb) {
  const double size = height * m_page.scale;
  if (!(size > 0.05) || !std::isfinite(size)) return;  // too small to see
  cairo_save(m_cr);
  cairo_new_path(m_cr);
  cairo_translate(m_cr, m_page.x(p.x), m_page.y(p.y));
  cairo_rotate(m_cr, -angle);
  cairo_scale(m_cr, widthFactor, 1.0);
  cairo_select_font_face(m_cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  // A capital letter is about 0.73 of the font's size: the drawing's height is a capital's.
  cairo_set_font_size(m_cr, size / 0.73);
  ink(rgb);
  cairo_move_to(m_cr, 0, 0);
  cairo_show_text(m_cr, utf8.c_str());
  cairo_restore(m_cr);
}

}  // namespace tabrik::plot
