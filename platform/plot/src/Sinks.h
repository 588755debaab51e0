// The plotter's two sinks: one measures what would be drawn, one paints it with cairo.
#pragma once
#include <cairo.h>

#include <limits>

#include "PlotSink.h"

namespace tabrik::plot {

// The extents of everything drawn; text by an estimate of its box.
class BoundsSink : public PlotSink {
 public:
  void path(const std::vector<Point2>& points, bool, bool, std::uint32_t) override;
  void arc(Point2 center, double radius, double start, double sweep, std::uint32_t) override;
  void text(Point2 position, double angle, double height, double widthFactor,
            const std::string& utf8, std::uint32_t) override;

  bool empty() const { return m_minX > m_maxX; }
  double minX() const { return m_minX; }
  double minY() const { return m_minY; }
  double maxX() const { return m_maxX; }
  double maxY() const { return m_maxY; }

 private:
  void add(double x, double y);
  double m_minX = std::numeric_limits<double>::infinity();
  double m_minY = std::numeric_limits<double>::infinity();
  double m_maxX = -std::numeric_limits<double>::infinity();
  double m_maxY = -std::numeric_limits<double>::infinity();
};

// Model coordinates onto the page: `scale` device units per drawing unit, the window's
// lower left at (margin, height - margin), y up.
struct PageMapping {
  double minX, minY, scale, margin, pageHeight;
  double x(double modelX) const { return margin + (modelX - minX) * scale; }
  double y(double modelY) const { return pageHeight - margin - (modelY - minY) * scale; }
};

class CairoSink : public PlotSink {
 public:
  CairoSink(cairo_t* cr, PageMapping page) : m_cr(cr), m_page(page) {}
  void path(const std::vector<Point2>& points, bool closed, bool filled,
            std::uint32_t rgb) override;
  void arc(Point2 center, double radius, double start, double sweep, std::uint32_t rgb) override;
  void text(Point2 position, double angle, double height, double widthFactor,
            const std::string& utf8, std::uint32_t rgb) override;

 private:
  void ink(std::uint32_t rgb);
  cairo_t* m_cr;
  PageMapping m_page;
};

}  // namespace tabrik::plot
