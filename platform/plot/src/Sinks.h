// The plotter's sinks: one measures what would be drawn, one paints it with cairo, one
// holds primitives back and hands them on farthest first.
#pragma once
#include <cairo.h>

#include <limits>
#include <map>
#include <memory>
#include <variant>

#include "PlotSink.h"

namespace tabrik::plot {

// The extents of everything drawn; text by an estimate of its box.
class BoundsSink : public PlotSink {
 public:
  void path(const std::vector<Point2>& points, bool, bool, const Pen&) override;
  void arc(Point2 center, double radius, double start, double sweep, const Pen&) override;
  void text(const TextRun& run, std::uint32_t) override;

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

// View coordinates onto the page: `scale` device units per view unit, the plotted
// area's lower left at (margin, pageHeight - margin), y up.
struct PageMapping {
  double minX, minY, scale, margin, pageHeight;
  double x(double viewX) const { return margin + (viewX - minX) * scale; }
  double y(double viewY) const { return pageHeight - margin - (viewY - minY) * scale; }
};

// How the device measures lines: device units per millimetre of paper, and the
// thinnest line it shows.
struct DeviceLines {
  double unitsPerMm = 96 / 25.4;
  double thinnest = 1.0;
};

// Paints with cairo. Consecutive strokes of one pen go into one cairo path and are
// stroked together; what lies wholly outside the page is left out.
class CairoSink : public PlotSink {
 public:
  CairoSink(cairo_t* cr, PageMapping page, DeviceLines lines, double pageWidth);
  ~CairoSink() override;
  void path(const std::vector<Point2>& points, bool closed, bool filled, const Pen& pen) override;
  void arc(Point2 center, double radius, double start, double sweep, const Pen& pen) override;
  void text(const TextRun& run, std::uint32_t rgb) override;
  void finish() override { flush(); }

  void clip(double minX, double minY, double maxX, double maxY) override;
  void unclip() override;

 private:
  void flush();              // strokes what is pending
  void use(const Pen& pen);  // the pen of the next stroke (flushes on a change)
  void ink(std::uint32_t rgb);
  bool outside(double minX, double minY, double maxX, double maxY) const;
  void clippedSegment(Point2 a, Point2 b);  // a stroke of the pending path, cut near the page
  cairo_font_face_t* face(const std::string& fontFile);
  static cairo_font_face_t* fileFace(const std::string& path);

  cairo_t* m_cr;
  PageMapping m_page;
  DeviceLines m_lines;
  double m_pageWidth;
  Pen m_pen;
  bool m_penSet = false;
  size_t m_pending = 0;  // segments in the pending path
  bool m_clipped = false;
  std::map<std::string, cairo_font_face_t*> m_faces;
};

// Holds every primitive with the depth given before it, and hands them to `target`
// farthest first (painter's order; equal depths keep their drawing order).
class SortingSink : public PlotSink {
 public:
  explicit SortingSink(PlotSink& target) : m_target(target) {}
  void depth(double z, int tier = 1) override {
    m_depth = z;
    m_tier = tier;
  }
  void path(const std::vector<Point2>& points, bool closed, bool filled, const Pen& pen) override;
  void arc(Point2 center, double radius, double start, double sweep, const Pen& pen) override;
  void text(const TextRun& run, std::uint32_t rgb) override;
  void finish() override;

 private:
  struct Path {
    std::vector<Point2> points;
    bool closed, filled;
    Pen pen;
  };
  struct Arc {
    Point2 center;
    double radius, start, sweep;
    Pen pen;
  };
  struct Text {
    TextRun run;
    std::uint32_t rgb;
  };
  struct Item {
    int tier;
    double depth;
    std::variant<Path, Arc, Text> what;
  };
  PlotSink& m_target;
  double m_depth = 0;
  int m_tier = 1;
  std::vector<Item> m_items;
};

}  // namespace tabrik::plot
